#include "tasks/ui/EditDVDVolumeForm.h"

#include "app/helpers/AppValues.h"

#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TEditDVDVolumeForm::TEditDVDVolumeForm(QWidget *mainWindow) : QDialog(mainWindow), m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("EditDVDVolumeForm"));
    setWindowTitle(QStringLiteral("Edit the DVD Volume"));
    setModal(false);
    resize(409, 159);

    labDVDVolume = new QLabel(QStringLiteral("DVD Volume (Prefixsion of output files:)"), this);
    labDVDVolume->setObjectName(QStringLiteral("labDVDVolume"));
    edtDVDVolume = new QLineEdit(this);
    edtDVDVolume->setObjectName(QStringLiteral("edtDVDVolume"));
    labDVDVolume->setBuddy(edtDVDVolume);
    btnOK = new QPushButton(QStringLiteral("&OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addWidget(labDVDVolume);
    layout->addWidget(edtDVDVolume);
    layout->addStretch(1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons);

    connect(btnOK, &QPushButton::clicked, this, &TEditDVDVolumeForm::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TEditDVDVolumeForm::btnCancelClick);
}

void TEditDVDVolumeForm::ShowForCurrentVolume()
{
    edtDVDVolume->setText(DVDInfo().VolumeName);
    show();
    raise();
    activateWindow();
    edtDVDVolume->setFocus();
}

void TEditDVDVolumeForm::btnOKClick()
{
    // Taken exactly as typed; making it fit a file name is left to where it becomes one.
    DVDInfo().VolumeName = edtDVDVolume->text();
    hide();
    Q_EMIT VolumeChanged();
}

void TEditDVDVolumeForm::btnCancelClick()
{
    hide();
}

void TEditDVDVolumeForm::showEvent(QShowEvent *event)
{
    if (m_mainWindow) {
        m_mainWindow->setEnabled(false);
        setEnabled(true); // a window stays usable when its owner is disabled
        move(m_mainWindow->geometry().center() - rect().center());
    }
    QDialog::showEvent(event);
}

void TEditDVDVolumeForm::hideEvent(QHideEvent *event)
{
    // A spontaneous hide comes from minimising the main window, not from closing.
    if (m_mainWindow && !event->spontaneous())
        m_mainWindow->setEnabled(true);
    QDialog::hideEvent(event);
}
