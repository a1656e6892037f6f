// The main window's part of the preview and the time editor.
#include "app/ui/MainForm.h"

void TMainForm::SetUpPreview() {}

void TMainForm::PreviewStop() {}

void TMainForm::sbtnSegmentClick() {}
