// The main window's part of profiles, preferences, inputs and remembered choices.
#include "app/ui/MainForm.h"

#include "app/helpers/AppValues.h"
#include "app/helpers/Helpers.h"
#include "app/helpers/IniFile.h"
#include "app/helpers/ui/Dialogs.h"
#include "profiles/ProfileFormat.h"
#include "profiles/ui/SettingForm.h"
#include "tasks/TaskModel.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <stdexcept>

namespace {
const QString kMain = QStringLiteral("Main");
const QString kProfileKey = QStringLiteral("Profile");
const QString kOutputPathKey = QStringLiteral("Output Path");

// The inputs named on the command line: the lines of a ".tmp" list file given
// first, or else every argument.
QStringList CommandLineInputs(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return {};
    const QString first = arguments.first();
    const int dot = first.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || first.mid(dot).toLower() != QLatin1String(".tmp"))
        return arguments;
    QFile list(first);
    if (!list.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            QStringLiteral("Cannot open file \"%1\". %2").arg(first, list.errorString()).toStdString());
    const QString text = QString::fromLocal8Bit(list.readAll());
    return text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")), Qt::SkipEmptyParts);
}
} // namespace

void TMainForm::SetUpProfiles()
{
    // The profile grids take the place of the scroll box laid out for them.
    auto *grids = new TProfileGrids(TProfileGrids::MainWindow, panProfile);
    grids->setGeometry(ScrollBox1->geometry());
    delete ScrollBox1;
    ScrollBox1 = grids;
    ProfileGrids = grids;
    panVideo = grids->panVideo;
    panAudio = grids->panAudio;
    panAdvanced = grids->panAdvanced;
    vleVideo = grids->vleVideo;
    vleAudio = grids->vleAudio;
    vleAdvanced = grids->vleAdvanced;
    grids->show();

    cmbProfile->clear();
    for (const QString &name : ListFilesByExtension(ProfilesDir(), QStringLiteral(".apf")))
        cmbProfile->addItem(StripExtension(name));
    cmbProfile->setCurrentIndex(-1);

    // A choice made by the user; the start-up choice runs the handler itself.
    connect(cmbProfile, QOverload<int>::of(&QComboBox::activated), this, &TMainForm::cmbProfileChange);
    connect(bbtnBrowser, &QPushButton::clicked, this, &TMainForm::bbtnBrowserClick);
    connect(sbtnOptions, &QToolButton::clicked, this, &TMainForm::sbtnOptionsClick);
    connect(bbtnSetting, &QPushButton::clicked, this, &TMainForm::bbtnSettingClick);
}

void TMainForm::OpenInput(const QString &input)
{
    if (input.isEmpty())
        return;
    const QFileInfo info(input);
    if (info.isFile())
        OpenDvdFolder(AddTrailingBackslash(info.absolutePath()));
    else if (info.isDir())
        OpenDvdFolder(AddTrailingBackslash(info.absoluteFilePath()));
}

void TMainForm::ProcessCommandLine(const QStringList &arguments)
{
    // Every open replaces the tree, so the last input that opens is the one shown.
    for (const QString &input : CommandLineInputs(arguments))
        OpenInput(input);
}

void TMainForm::OpenDroppedPath(const QString &path)
{
    OpenInput(path);
}

void TMainForm::RestoreChoices()
{
    const TIniFile ini(PreferencesPath());
    if (cmbProfile->count() > 0) {
        const int index = ini.ReadInteger(kMain, kProfileKey, 0);
        cmbProfile->setCurrentIndex(index >= 0 && index < cmbProfile->count() ? index : -1);
        cmbProfileChange();
    }
    edtOutputDir->setText(ini.ReadString(kMain, kOutputPathKey, AppValues().ProgramDir));
}

void TMainForm::SaveChoices()
{
    TIniFile ini(PreferencesPath());
    if (!ini.WriteInteger(kMain, kProfileKey, cmbProfile->currentIndex()) ||
        !ini.WriteString(kMain, kOutputPathKey, edtOutputDir->text()))
        ShowError(this, ini.LastError());
}

void TMainForm::cmbProfileChange()
{
    // With no profile chosen the path names no file: the grids and the
    // extension stay as they are.
    if (!cmbProfile->currentText().isEmpty()) {
        try {
            ProfileGrids->LoadProfile(ProfilePath(AppValues().ProgramDir, cmbProfile->currentText()));
        } catch (const TProfileError &error) {
            ShowError(this, error.Text());
        }
    }
    // The "Output File" column shows the extension.
    if (TaskModel)
        TaskModel->RefreshAll();
    ltvTask->viewport()->update();
}

void TMainForm::bbtnBrowserClick()
{
    QString folder;
    if (BrowseForFolder(this, QStringLiteral("Select the output directory."), folder) &&
        QFileInfo(folder).isDir())
        edtOutputDir->setText(AddTrailingBackslash(folder));
}

void TMainForm::sbtnOptionsClick()
{
    if (!SettingForm)
        return;
    SettingForm->pgcSetting->setCurrentIndex(0);
    SettingForm->show();
}

void TMainForm::bbtnSettingClick()
{
    if (!SettingForm)
        return;
    SettingForm->show();
    SettingForm->pgcSetting->setCurrentIndex(1);
    SettingForm->cmbProfile->setCurrentIndex(cmbProfile->currentIndex());
    SettingForm->cmbProfileChange();
}
