#include "dvd/ui/OpenDVDForm.h"

#include "app/helpers/AppValues.h"
#include "app/helpers/ui/Dialogs.h"

#include <QComboBox>
#include <QDir>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>

namespace {
const QString kNoDvdCaption = QStringLiteral("No DVD Detected.");
}

TOpenDVDForm::TOpenDVDForm(QWidget *mainWindow, std::shared_ptr<TDriveSource> drives)
    : QDialog(mainWindow), m_mainWindow(mainWindow), m_drives(std::move(drives))
{
    setObjectName(QStringLiteral("OpenDVDForm"));
    setWindowTitle(QStringLiteral("Open a DVD"));
    setModal(false);
    setFixedSize(392, 112);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    labDrive = new QLabel(QStringLiteral("DVD Disc:"), this);
    labDrive->setObjectName(QStringLiteral("labDrive"));
    labDrive->setGeometry(16, 22, 60, 22);
    cmbDrive = new QComboBox(this);
    cmbDrive->setObjectName(QStringLiteral("cmbDrive"));
    cmbDrive->setGeometry(80, 22, 296, 24);
    labDrive->setBuddy(cmbDrive);

    btnOpen = new QPushButton(QStringLiteral("&Open"), this);
    btnOpen->setObjectName(QStringLiteral("btnOpen"));
    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnRefresh = new QPushButton(QStringLiteral("&Refresh"), this);
    btnRefresh->setObjectName(QStringLiteral("btnRefresh"));
    btnRefresh->setGeometry(16, 68, 84, 26);
    btnOpen->setGeometry(200, 68, 84, 26);
    btnCancel->setGeometry(292, 68, 84, 26);
    btnOpen->setDefault(true);

    connect(btnOpen, &QPushButton::clicked, this, &TOpenDVDForm::btnOpenClick);
    connect(btnCancel, &QPushButton::clicked, this, &TOpenDVDForm::btnCancelClick);
    connect(btnRefresh, &QPushButton::clicked, this, &TOpenDVDForm::btnRefreshClick);
}

void TOpenDVDForm::SetDriveSource(std::shared_ptr<TDriveSource> drives)
{
    m_drives = std::move(drives);
}

void TOpenDVDForm::FillDriveList()
{
    cmbDrive->clear();
    m_driveList = BuildDriveList(m_drives ? m_drives->OpticalDrives() : QList<TOpticalDrive>());
    for (const TDriveEntry &entry : m_driveList.Entries)
        cmbDrive->addItem(entry.Text);
    cmbDrive->setCurrentIndex(m_driveList.Selected);
}

void TOpenDVDForm::btnOpenClick()
{
    const int position = cmbDrive->currentIndex();
    if (position < 0 || position >= m_driveList.Entries.size()) {
        ShowNotice(this, kNoDvdCaption,
                   QStringLiteral("No drive holds a disc. Please insert a DVD disc and press Refresh."));
        return;
    }
    const TDriveEntry entry = m_driveList.Entries.at(position);
    const QString folder = DiscVideoTsFolder(entry.MountPoint);
    if (!QDir(folder).exists()) {
        ShowNotice(this, kNoDvdCaption, folder + QStringLiteral(" is not found. Please insert a DVD disc."));
        return;
    }
    hide();
    // The label as listed between the brackets, taken from the entry itself so
    // a mount point holding "[" does not cut it short.
    DVDInfo().VolumeName = entry.Label;
    Q_EMIT OpenFolder(folder);
}

void TOpenDVDForm::btnCancelClick()
{
    hide();
}

void TOpenDVDForm::btnRefreshClick()
{
    FillDriveList();
}

void TOpenDVDForm::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        FillDriveList();
        if (m_mainWindow) {
            m_mainWindow->setEnabled(false);
            setEnabled(true); // a window stays usable when its owner is disabled
            move(m_mainWindow->geometry().center() - rect().center());
        }
    }
    QDialog::showEvent(event);
}

void TOpenDVDForm::hideEvent(QHideEvent *event)
{
    // A spontaneous hide comes from minimising the main window, not from closing.
    if (m_mainWindow && !event->spontaneous())
        m_mainWindow->setEnabled(true);
    QDialog::hideEvent(event);
}
