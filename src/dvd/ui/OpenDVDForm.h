#pragma once

#include <QDialog>

// The disc chooser "Open a DVD".
class TOpenDVDForm : public QDialog
{
    Q_OBJECT

public:
    explicit TOpenDVDForm(QWidget *mainWindow = nullptr);
};
