#include "profiles/ui/SettingForm.h"

#include "app/helpers/AppValues.h"
#include "app/helpers/Helpers.h"
#include "app/helpers/ui/Dialogs.h"
#include "profiles/NewInifiles.h"
#include "profiles/ProfileFormat.h"
#include "profiles/ui/ProfileGrids.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHideEvent>
#include <QLabel>
#include <QShowEvent>
#include <QStyle>

namespace {
constexpr int kClientWidth = 391;
constexpr int kClientHeight = 498;

const QString kMain = QStringLiteral("Main");
const QString kDefault = QStringLiteral("Default");

template <typename W> W *Named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel *Caption(QWidget *parent, const QString &text, int x, int y, int width)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(x, y, width, 21);
    return label;
}
} // namespace

TSettingForm::TSettingForm(QWidget *mainWindow, QComboBox *mainProfile, QLineEdit *mainOutputDir,
                           std::function<void()> mainProfileChange)
    : QDialog(mainWindow), m_mainWindow(mainWindow), m_mainProfile(mainProfile),
      m_mainOutputDir(mainOutputDir), m_mainProfileChange(std::move(mainProfileChange))
{
    setObjectName(QStringLiteral("SettingForm"));
    BuildLayout();
    FormCreate();
}

TSettingForm::TSettingForm(QWidget *mainWindow) : TSettingForm(mainWindow, nullptr, nullptr, {}) {}

// ---------------------------------------------------------------- layout

void TSettingForm::BuildLayout()
{
    setWindowTitle(QStringLiteral("Settings"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientWidth, kClientHeight);

    pgcSetting = Named(new QTabWidget(this), "pgcSetting");
    pgcSetting->setGeometry(4, 4, kClientWidth - 8, 452);
    tabGeneral = BuildGeneralPage();
    tabProfiles = BuildProfilesPage();
    pgcSetting->addTab(tabGeneral, QStringLiteral("     General     "));
    pgcSetting->addTab(tabProfiles, QStringLiteral("     Profiles     "));

    btnDefault = Named(new QPushButton(QStringLiteral("&Load Default"), this), "btnDefault");
    btnDefault->setGeometry(8, 464, 100, 25);
    btnOK = Named(new QPushButton(QStringLiteral("&OK"), this), "btnOK");
    btnOK->setGeometry(226, 464, 75, 25);
    btnOK->setDefault(true);
    btnCancel = Named(new QPushButton(QStringLiteral("&Cancel"), this), "btnCancel");
    btnCancel->setGeometry(308, 464, 75, 25);

    connect(btnOK, &QPushButton::clicked, this, &TSettingForm::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TSettingForm::btnCancelClick);
    connect(btnDefault, &QPushButton::clicked, this, &TSettingForm::btnDefaultClick);
    connect(sbtnBrowse, &QToolButton::clicked, this, &TSettingForm::sbtnBrowseClick);
    connect(SpeedButton1, &QToolButton::clicked, this, &TSettingForm::SpeedButton1Click);
    connect(cmbProfile, QOverload<int>::of(&QComboBox::activated), this, &TSettingForm::cmbProfileChange);
    connect(btnSaveAs, &QPushButton::clicked, this, &TSettingForm::btnSaveAsClick);
}

QWidget *TSettingForm::BuildGeneralPage()
{
    auto *page = Named(new QWidget, "tabGeneral");
    const QIcon folder = style()->standardIcon(QStyle::SP_DirOpenIcon);
    auto browseButton = [&](const char *name, int y) {
        auto *button = Named(new QToolButton(page), name);
        button->setIcon(folder);
        button->setGeometry(342, y, 23, 21);
        return button;
    };

    Caption(page, QStringLiteral("Default Output Path:"), 12, 20, 150);
    edtOutputDir = Named(new QLineEdit(page), "edtOutputDir");
    edtOutputDir->setGeometry(164, 20, 174, 21);
    sbtnBrowse = browseButton("sbtnBrowse", 20);

    Caption(page, QStringLiteral("Work (temp) Directory:"), 12, 52, 150);
    edtWorkDir = Named(new QLineEdit(page), "edtWorkDir");
    edtWorkDir->setGeometry(164, 52, 174, 21);
    SpeedButton1 = browseButton("SpeedButton1", 52);

    Caption(page, QStringLiteral("Synchronization Mode:"), 12, 84, 150);
    cmbSyn = Named(new QComboBox(page), "cmbSyn");
    cmbSyn->setGeometry(164, 84, 174, 22);
    cmbSyn->addItems(
        {QStringLiteral("Auto"), QStringLiteral("Force Mode"), QStringLiteral("Progressive Mode")});

    chkOpenDir =
        Named(new QCheckBox(QStringLiteral("Open the output directory when the task is completed. "), page),
              "chkOpenDir");
    chkOpenDir->setGeometry(12, 126, 353, 21);
    chkExit =
        Named(new QCheckBox(QStringLiteral("Exit the program when the task is completed."), page), "chkExit");
    chkExit->setGeometry(12, 152, 353, 21);
    chkTurnoff =
        Named(new QCheckBox(QStringLiteral("Turn off the computer when the task is completed."), page),
              "chkTurnoff");
    chkTurnoff->setGeometry(12, 178, 353, 21);

    gpbOverWrite = Named(new QGroupBox(QStringLiteral("Output File Overwrite"), page), "gpbOverWrite");
    gpbOverWrite->setGeometry(12, 214, 353, 112);
    rdbAsk = Named(new QRadioButton(QStringLiteral("Ask Me"), gpbOverWrite), "rdbAsk");
    rdbAsk->setGeometry(16, 26, 320, 21);
    rdbOverWrite = Named(new QRadioButton(QStringLiteral("Overwrite"), gpbOverWrite), "rdbOverWrite");
    rdbOverWrite->setGeometry(16, 52, 320, 21);
    rdbRename =
        Named(new QRadioButton(QStringLiteral("Not overwrite (Rename to <Filename> + Index"), gpbOverWrite),
              "rdbRename");
    rdbRename->setGeometry(16, 78, 320, 21);
    rdbAsk->setChecked(true);
    return page;
}

QWidget *TSettingForm::BuildProfilesPage()
{
    auto *page = Named(new QWidget, "tabProfiles");
    cmbProfile = Named(new QComboBox(page), "cmbProfile");
    cmbProfile->setGeometry(8, 8, 283, 22);
    btnSaveAs = Named(new QPushButton(QStringLiteral("&Save as..."), page), "btnSaveAs");
    btnSaveAs->setGeometry(297, 7, 77, 24);
    ProfileGrids = new TProfileGrids(TProfileGrids::Settings, page);
    ProfileGrids->setGeometry(8, 36, 366, 373);
    return page;
}

// ---------------------------------------------------------------- preferences

void TSettingForm::SetOverwriteChoice(bool ask, bool overwrite)
{
    // The three buttons are one group, so checking one unchecks the others:
    // Overwrite wins over Ask, and neither means Rename.
    if (overwrite)
        rdbOverWrite->setChecked(true);
    else if (ask)
        rdbAsk->setChecked(true);
    else
        rdbRename->setChecked(true);
}

bool TSettingForm::LoadPreferences(bool defaults, QString *error)
{
    const QString section = defaults ? kDefault : kMain;
    const QString programDir = AppValues().ProgramDir;
    TNewInifile ini(PreferencesPath());
    edtOutputDir->setText(ini.ReadString(section, QStringLiteral("Output Path"), programDir));
    edtWorkDir->setText(ini.ReadString(section, QStringLiteral("Work Dir"), programDir));
    AppValues().WorkDir = AddTrailingBackslash(edtWorkDir->text());
    const int syn = ini.ReadInteger(section, QStringLiteral("Syn Mode"), 0);
    cmbSyn->setCurrentIndex(syn >= 0 && syn < cmbSyn->count() ? syn : -1);
    chkOpenDir->setChecked(ini.ReadBool(section, QStringLiteral("Auto Open Dir"), true));
    chkExit->setChecked(ini.ReadBool(section, QStringLiteral("Auto Exit"), false));
    chkTurnoff->setChecked(ini.ReadBool(section, QStringLiteral("Auto Turn Off"), false));
    SetOverwriteChoice(ini.ReadBool(section, QStringLiteral("Ask"), true),
                       ini.ReadBool(section, QStringLiteral("Overwrite"), false));
    return ini.UpdateAndFree(error);
}

bool TSettingForm::SavePreferences(QString *error)
{
    TNewInifile ini(PreferencesPath());
    ini.WriteString(kMain, QStringLiteral("Output Path"), edtOutputDir->text());
    ini.WriteString(kMain, QStringLiteral("Work Dir"), edtWorkDir->text());
    ini.WriteInteger(kMain, QStringLiteral("Syn Mode"), cmbSyn->currentIndex());
    ini.WriteBool(kMain, QStringLiteral("Auto Open Dir"), chkOpenDir->isChecked());
    ini.WriteBool(kMain, QStringLiteral("Auto Exit"), chkExit->isChecked());
    ini.WriteBool(kMain, QStringLiteral("Auto Turn Off"), chkTurnoff->isChecked());
    ini.WriteBool(kMain, QStringLiteral("Ask"), rdbAsk->isChecked());
    ini.WriteBool(kMain, QStringLiteral("Overwrite"), rdbOverWrite->isChecked());
    return ini.UpdateAndFree(error);
}

QString TSettingForm::WorkDir()
{
    return AppValues().WorkDir;
}

// ---------------------------------------------------------------- profiles page

bool TSettingForm::LoadProfile(const QString &path)
{
    return ProfileGrids->LoadProfile(path);
}

bool TSettingForm::SaveProfile(const QString &path, QString *error)
{
    return ProfileGrids->SaveProfile(path, error);
}

bool TSettingForm::SaveProfileAs(const QString &source, const QString &target, QString *error)
{
    return ProfileGrids->SaveProfileAs(source, target, error);
}

void TSettingForm::cmbProfileChange()
{
    const QString path = ProfilePath(AppValues().ProgramDir, cmbProfile->currentText());
    if (cmbProfile->currentText().isEmpty() || !QFileInfo(path).isFile())
        return;
    try {
        LoadProfile(path);
    } catch (const TProfileError &error) {
        ShowError(this, error.Text());
    }
}

bool TSettingForm::RunSaveDialog(QString &fileName)
{
    if (m_saveDialog)
        return m_saveDialog(this, fileName);
    QFileDialog dialog(this);
    dialog.setObjectName(QStringLiteral("SaveDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("Profiles (*.apf)"));
    dialog.setDefaultSuffix(QStringLiteral("apf"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setDirectory(ProfilesDir());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    fileName = dialog.selectedFiles().first();
    return !fileName.isEmpty();
}

void TSettingForm::btnSaveAsClick()
{
    QString target;
    if (!RunSaveDialog(target))
        return;
    // With no profile chosen there is nothing to copy.
    if (cmbProfile->currentText().isEmpty())
        return;
    const QString source = ProfilePath(AppValues().ProgramDir, cmbProfile->currentText());
    QString error;
    if (!SaveProfileAs(source, target, &error))
        ShowError(this, error);
}

// ---------------------------------------------------------------- handlers

void TSettingForm::FormCreate()
{
    cmbProfile->clear();
    if (m_mainProfile) {
        for (int i = 0; i < m_mainProfile->count(); ++i)
            cmbProfile->addItem(m_mainProfile->itemText(i));
    }
    cmbProfile->setCurrentIndex(-1);
    // A preferences file that cannot be written back is only noticed on OK;
    // loading changes nothing in it.
    LoadPreferences(false);
}

void TSettingForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TSettingForm::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        FormClose();
}

void TSettingForm::FormShow()
{
    if (m_mainWindow) {
        m_mainWindow->setEnabled(false);
        // Disabling the owner disables its child windows too; this one stays usable.
        setEnabled(true);
    }
    if (m_mainOutputDir)
        edtOutputDir->setText(m_mainOutputDir->text());
    m_snapshot.OutputDir = edtOutputDir->text();
    m_snapshot.WorkDir = edtWorkDir->text();
    m_snapshot.SynMode = cmbSyn->currentIndex();
    m_snapshot.OpenDir = chkOpenDir->isChecked();
    m_snapshot.Exit = chkExit->isChecked();
    m_snapshot.Turnoff = chkTurnoff->isChecked();
    m_snapshot.Ask = rdbAsk->isChecked();
    m_snapshot.OverWrite = rdbOverWrite->isChecked();
    m_snapshot.Rename = rdbRename->isChecked();
}

void TSettingForm::FormClose()
{
    if (m_mainWindow)
        m_mainWindow->setEnabled(true);
}

void TSettingForm::btnOKClick()
{
    if (m_mainOutputDir)
        m_mainOutputDir->setText(edtOutputDir->text());
    AppValues().WorkDir = edtWorkDir->text();
    QString error;
    if (!SavePreferences(&error)) {
        ShowError(this, error);
        return;
    }
    const QString path = ProfilePath(AppValues().ProgramDir, cmbProfile->currentText());
    if (!cmbProfile->currentText().isEmpty() && QFileInfo(path).isFile() && !SaveProfile(path, &error)) {
        ShowError(this, error);
        return;
    }
    if (m_mainProfile && m_mainProfileChange && m_mainProfile->currentText() == cmbProfile->currentText())
        m_mainProfileChange();
    close();
}

void TSettingForm::btnCancelClick()
{
    close();
    edtOutputDir->setText(m_snapshot.OutputDir);
    edtWorkDir->setText(m_snapshot.WorkDir);
    cmbSyn->setCurrentIndex(m_snapshot.SynMode);
    chkOpenDir->setChecked(m_snapshot.OpenDir);
    chkExit->setChecked(m_snapshot.Exit);
    chkTurnoff->setChecked(m_snapshot.Turnoff);
    if (m_snapshot.Ask)
        rdbAsk->setChecked(true);
    if (m_snapshot.OverWrite)
        rdbOverWrite->setChecked(true);
    if (m_snapshot.Rename)
        rdbRename->setChecked(true);
}

void TSettingForm::btnDefaultClick()
{
    if (AskYesNo(this, QStringLiteral("Load Default"),
                 QStringLiteral("Are you sure to load the default preferences?")))
        LoadPreferences(true);
}

void TSettingForm::sbtnBrowseClick()
{
    QString folder;
    if (BrowseForFolder(this, QStringLiteral("Select the output directory."), folder))
        edtOutputDir->setText(AddTrailingBackslash(folder));
}

void TSettingForm::SpeedButton1Click()
{
    QString folder;
    if (BrowseForFolder(this, QStringLiteral("Select the output directory."), folder))
        edtWorkDir->setText(AddTrailingBackslash(folder));
}
