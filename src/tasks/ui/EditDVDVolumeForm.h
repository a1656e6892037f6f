#pragma once

#include <QDialog>

// "Edit the DVD Volume": the prefix of every output file name.
class TEditDVDVolumeForm : public QDialog
{
    Q_OBJECT

public:
    explicit TEditDVDVolumeForm(QWidget *mainWindow = nullptr);
};
