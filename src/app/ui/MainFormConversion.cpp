// The main window's part of a conversion batch.
#include "app/ui/MainForm.h"

void TMainForm::SetUpConversion() {}

void TMainForm::imgStartClick() {}

void TMainForm::imgStopClick() {}

void TMainForm::bbtnOpenClick() {}

void TMainForm::StopConversionForClose() {}
