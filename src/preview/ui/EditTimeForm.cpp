#include "preview/ui/EditTimeForm.h"

TEditTimeForm::TEditTimeForm(QWidget *parent) : QDialog(parent) {}
