#pragma once

#include <QDialog>

// The Settings dialog: General preferences and the Profiles page.
class TSettingForm : public QDialog
{
    Q_OBJECT

public:
    explicit TSettingForm(QWidget *mainWindow = nullptr);
};
