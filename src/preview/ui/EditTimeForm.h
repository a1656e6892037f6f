#pragma once

#include <QDialog>

// The start and end time editor.
class TEditTimeForm : public QDialog
{
    Q_OBJECT

public:
    explicit TEditTimeForm(QWidget *parent = nullptr);
};
