// The main window's part of opening a disc or folder and of the task tree.
#include "app/ui/MainForm.h"

#include "app/helpers/AppValues.h"
#include "app/helpers/Helpers.h"
#include "app/helpers/ui/Dialogs.h"
#include "app/ui/Pictures.h"
#include "dvd/LoadDvdTitles.h"
#include "dvd/ui/OpenDVDForm.h"
#include "tasks/TaskModel.h"
#include "tasks/ui/EditDVDVolumeForm.h"
#include "tasks/ui/TaskTree.h"

#include <QDir>
#include <QScrollBar>
#include <QThread>

#include <exception>

// ---------------------------------------------------------------- task tree

void TMainForm::SetUpTasks()
{
    TaskModel = new TTaskModel(this);
    TTaskTreeControls controls;
    controls.ltvTask = ltvTask;
    controls.cmbAudio = cmbAudio;
    controls.cmbSub = cmbSub;
    controls.cmbAngle = cmbAngle;
    controls.PopupMenu1 = PopupMenu1;
    controls.pmiOpenDVD = pmiOpenDVD;
    controls.pmiOpenDir = pmiOpenDir;
    controls.pmiCheck = pmiCheck;
    controls.pmiCheckTitleChapter = pmiCheckTitleChapter;
    controls.pmiCheckTitle = pmiCheckTitle;
    controls.pmiCheckChapter = pmiCheckChapter;
    controls.pmiUncheck = pmiUncheck;
    controls.pmiTrimTime = pmiTrimTime;
    controls.pmiDVDVolume = pmiDVDVolume;
    TTaskTreePictures pictures;
    pictures.TitleIcon = Pictures::TitleIcon();
    pictures.ChapterIcon = Pictures::ChapterIcon();
    pictures.HeaderTile = Pictures::HeaderTile();
    TaskTree = new TTaskTree(controls, TaskModel, pictures, this);
    // A double click plays the node in the preview (and expands or collapses a title).
    connect(TaskTree, &TTaskTree::itemDoubleClicked, this, [this] {
        if (sbtnPlay)
            sbtnPlay->click();
    });
}

TaskItem *TMainForm::FocusedItem() const
{
    return TaskTree ? TaskTree->FocusedItem() : nullptr;
}

TaskItem *TMainForm::FocusedTitle() const
{
    return TaskTree ? TaskTree->FocusedTitle() : nullptr;
}

QModelIndex TMainForm::FocusedIndex() const
{
    return TaskTree ? TaskTree->FocusedIndex() : QModelIndex();
}

void TMainForm::pmiDVDVolumeClick()
{
    if (!EditDVDVolumeForm)
        return;
    connect(EditDVDVolumeForm, &TEditDVDVolumeForm::VolumeChanged, TaskModel, &TTaskModel::RefreshAll,
            Qt::UniqueConnection);
    EditDVDVolumeForm->ShowForCurrentVolume();
}

// ---------------------------------------------------------------- opening

void TMainForm::SetUpDvd()
{
    connect(sbtnOpenDVD, &QToolButton::clicked, this, &TMainForm::sbtnOpenDVDClick);
    connect(sbtnOpenDir, &QToolButton::clicked, this, &TMainForm::sbtnOpenDirClick);
    // The popup entries perform the buttons' clicks.
    connect(pmiOpenDVD, &QAction::triggered, sbtnOpenDVD, &QToolButton::click);
    connect(pmiOpenDir, &QAction::triggered, sbtnOpenDir, &QToolButton::click);
    connect(pmiTrimTime, &QAction::triggered, this, [this] { sbtnSegmentClick(); });
    connect(pmiDVDVolume, &QAction::triggered, this, &TMainForm::pmiDVDVolumeClick);
    connect(ltvTask, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu1->popup(ltvTask->viewport()->mapToGlobal(pos)); });
}

void TMainForm::OpenDvdFolder(const QString &folder)
{
    // Opening lets other handlers run (hint panel, progress); a second open
    // then would pull the IFO list from under the first.
    if (m_opening)
        return;
    m_opening = true;
    struct TOpeningGuard
    {
        bool &flag;
        ~TOpeningGuard() { flag = false; }
    } guard{m_opening};

    const QString path = AddTrailingBackslash(folder);
    panbg->hide();
    PreviewStop();
    TaskModel->Clear();
    ShowHintPanel(QStringLiteral("Opening the DVD.   Please wait...."));
    // A plain wait: the window does not process messages meanwhile.
    QThread::msleep(600);

    QList<TTitleNode> titles;
    QString error;
    try {
        titles = LoadDvdTitles(path, ProcessPendingMessages);
    } catch (const std::exception &e) {
        error = QString::fromLocal8Bit(e.what());
    } catch (...) {
        error = QStringLiteral("The DVD could not be opened: ") + path;
    }
    if (!error.isEmpty()) {
        TaskModel->Clear();
        HideHintPanel();
        ShowError(this, error);
        return;
    }

    for (const TTitleNode &node : titles)
        TaskModel->AddTitle(node.title, node.chapters);
    HideHintPanel();

    const int longest = CheckLongestTitle(titles);
    if (longest >= 0 && longest < TaskModel->TitleCount())
        TaskModel->SetChecked(TaskModel->index(longest, 0), true);

    if (!TaskModel->IsEmpty()) {
        // Centred vertically, never scrolled sideways.
        const int horizontal = ltvTask->horizontalScrollBar()->value();
        ltvTask->scrollTo(TaskModel->index(0, 0), QAbstractItemView::PositionAtCenter);
        ltvTask->horizontalScrollBar()->setValue(horizontal);
        sbtnSegment->setEnabled(true);
    }
}

void TMainForm::sbtnOpenDVDClick()
{
    if (!OpenDVDForm)
        return;
    connect(OpenDVDForm, &TOpenDVDForm::OpenFolder, this, &TMainForm::OpenDvdFolder, Qt::UniqueConnection);
    OpenDVDForm->show();
    OpenDVDForm->raise();
    OpenDVDForm->activateWindow();
}

void TMainForm::sbtnOpenDirClick()
{
    PreviewStop();
    QString folder;
    if (BrowseForFolder(this, QStringLiteral("Please specify a DVD-ROM"), folder) && QDir(folder).exists())
        OpenDvdFolder(AddTrailingBackslash(folder));
}
