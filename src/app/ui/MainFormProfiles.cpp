// The main window's part of profiles, preferences, inputs and remembered choices.
#include "app/ui/MainForm.h"

void TMainForm::SetUpProfiles() {}

void TMainForm::ProcessCommandLine(const QStringList &arguments)
{
    Q_UNUSED(arguments);
}

void TMainForm::RestoreChoices() {}

void TMainForm::SaveChoices() {}

void TMainForm::OpenDroppedPath(const QString &path)
{
    Q_UNUSED(path);
}

void TMainForm::cmbProfileChange() {}

void TMainForm::bbtnBrowserClick() {}

void TMainForm::sbtnOptionsClick() {}

void TMainForm::bbtnSettingClick() {}
