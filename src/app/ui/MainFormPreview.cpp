// The main window's part of the preview and the time editor.
#include "app/ui/MainForm.h"

#include "preview/ui/EditTimeForm.h"
#include "preview/ui/MpvDvdNavigator.h"
#include "preview/ui/PreviewPlayer.h"

void TMainForm::SetUpPreview()
{
    m_previewNavigator = new TMpvDvdNavigator(VideoWindow, this);

    TPreviewWidgets widgets;
    widgets.owner = this;
    widgets.panPreview = panPreview;
    widgets.VideoWindow = VideoWindow;
    widgets.TrackBar = TrackBar;
    widgets.labStart = labStart;
    widgets.labEnd = labEnd;
    widgets.labPreviewPlayTime = labPreviewPlayTime;
    widgets.sbtnPlay = sbtnPlay;
    widgets.sbtnPause = sbtnPause;
    widgets.sbtnStop = sbtnStop;
    widgets.tmrPreview = tmrPreview;
    widgets.tmrPreviewDragDelay = tmrPreviewDragDelay;
    widgets.cmbSub = cmbSub;

    TPreviewHooks hooks;
    hooks.FocusedItem = [this]() -> const TaskItem * { return FocusedItem(); };
    hooks.FocusedTitle = [this]() -> const TaskItem * { return FocusedTitle(); };
    hooks.ShowHint = [this](const QString &text) { ShowHintPanel(text); };
    hooks.HideHint = [this] { HideHintPanel(); };
    // VideoTsPath, Preferences.ini and the product name: the application-wide values.

    m_previewPlayer = new TPreviewPlayer(widgets, *m_previewNavigator, hooks, this);
    // A double click in the task tree clicks sbtnPlay (wired with the tree).

    connect(sbtnSegment, &QToolButton::clicked, this, &TMainForm::sbtnSegmentClick);
}

void TMainForm::PreviewStop()
{
    if (m_previewPlayer)
        m_previewPlayer->StopAction();
}

void TMainForm::sbtnSegmentClick()
{
    if (!EditTimeForm)
        return;
    // The tree shows the trimmed ends once the editor has stored them.
    connect(EditTimeForm, &TEditTimeForm::ItemChanged, ltvTask->viewport(), qOverload<>(&QWidget::update),
            Qt::UniqueConnection);
    EditTimeForm->Open(FocusedItem(), FocusedTitle(), this);
}
