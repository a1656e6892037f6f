// The main window's part of opening a disc or folder and of the task tree.
#include "app/ui/MainForm.h"

void TMainForm::SetUpTasks() {}

void TMainForm::SetUpDvd() {}

void TMainForm::OpenDvdFolder(const QString &folder)
{
    Q_UNUSED(folder);
}

void TMainForm::sbtnOpenDVDClick() {}

void TMainForm::sbtnOpenDirClick() {}
