#include "dvd/ui/OpenDVDForm.h"

TOpenDVDForm::TOpenDVDForm(QWidget *mainWindow) : QDialog(mainWindow)
{
    setWindowTitle(QStringLiteral("Open a DVD"));
}
