#include "profiles/ui/SettingForm.h"

TSettingForm::TSettingForm(QWidget *mainWindow) : QDialog(mainWindow)
{
    setWindowTitle(QStringLiteral("Settings"));
}
