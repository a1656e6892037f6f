#include "tasks/ui/EditDVDVolumeForm.h"

TEditDVDVolumeForm::TEditDVDVolumeForm(QWidget *mainWindow) : QDialog(mainWindow)
{
    setWindowTitle(QStringLiteral("Edit the DVD Volume"));
}
