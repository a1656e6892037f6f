#pragma once

#include "tasks/TaskModel.h"

#include <QObject>
#include <QPixmap>
#include <QPointer>

class QAction;
class QComboBox;
class QMenu;
class QTreeView;

// The main window's controls that the task tree drives.
struct TTaskTreeControls
{
    QTreeView *ltvTask = nullptr;
    QComboBox *cmbAudio = nullptr;
    QComboBox *cmbSub = nullptr;
    QComboBox *cmbAngle = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QAction *pmiOpenDVD = nullptr;
    QAction *pmiOpenDir = nullptr;
    QMenu *pmiCheck = nullptr;
    QAction *pmiCheckTitleChapter = nullptr;
    QAction *pmiCheckTitle = nullptr;
    QAction *pmiCheckChapter = nullptr;
    QAction *pmiUncheck = nullptr;
    QAction *pmiTrimTime = nullptr;
    QAction *pmiDVDVolume = nullptr;
};

// The pictures of the tree. Null pictures are replaced by the tree's own drawings.
struct TTaskTreePictures
{
    QPixmap TitleIcon;   // image 0
    QPixmap ChapterIcon; // image 1
    QPixmap HeaderTile;  // 16 x 17, tiled over the header
};

// The handlers of the task tree ltvTask: its settings and pictures, check
// boxes, the focused item with the audio, subtitle and angle boxes below the
// tree, and the check commands of its popup menu. The popup's other entries
// (open, trim, volume) belong to the main window.
class TTaskTree : public QObject
{
    Q_OBJECT

public:
    TTaskTree(const TTaskTreeControls &controls, TTaskModel *model, const TTaskTreePictures &pictures = {},
              QObject *parent = nullptr);

    TTaskModel *Model() const { return m_model; }

    // The focused node (column 0), invalid when none.
    QModelIndex FocusedIndex() const;
    TaskItem *FocusedItem() const;
    // The focused node's title: itself, or the parent of a focused chapter.
    TaskItem *FocusedTitle() const;
    void SetFocusedIndex(const QModelIndex &index);

    // ---- handlers
    // The user toggled the box of `index` (the record already holds the new state).
    void ltvTaskChecking(const QModelIndex &index);
    // The focused node changed: the boxes show its title's lists and its own choices.
    void ltvTaskChange();
    void cmbAudioSelect(int position);
    void cmbSubSelect(int position);
    void cmbAngleSelect(int position);
    void PopupMenu1Popup();
    void pmiCheckTitleChapterClick();
    void pmiCheckTitleClick();
    void pmiCheckChapterClick();
    void pmiUncheckClick();
    void Repaint();

    // The tree's own pictures, used where none are given.
    static QPixmap DefaultTitleIcon();
    static QPixmap DefaultChapterIcon();
    static QPixmap DefaultHeaderTile();

Q_SIGNALS:
    // A node was double-clicked: the main window plays it in the preview.
    void itemDoubleClicked(const QModelIndex &index);

private:
    void SetUpTree(const TTaskTreePictures &pictures);
    void RunCheckCommand(TTaskModel::CheckCommand command);

    TTaskTreeControls m_controls;
    QPointer<TTaskModel> m_model;
};
