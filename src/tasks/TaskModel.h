#pragma once

#include "tasks/TaskItem.h"

#include <QAbstractItemModel>
#include <QList>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

// The task list: one top-level node per title of the opened disc, one child
// node per chapter, each owning its TaskItem. The record's Checked is the one
// truth about a check box: the view shows it and the conversion reads it.
class TTaskModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    enum Column { colTitle = 0, colStart, colEnd, colOutputFile, colEmpty, ColumnCount };
    enum Role { ImageIndexRole = Qt::UserRole + 1 };
    enum class CheckCommand { AllTitlesAndChapters, AllTitles, AllChapters, UncheckAll };

    // Called between nodes of a long walk; the window passes ProcessPendingMessages.
    using TProgress = std::function<void()>;

    // An item and the title it belongs to (the item itself for a title).
    struct TCheckedItem
    {
        TaskItem *Item = nullptr;
        TaskItem *Title = nullptr;
    };

    explicit TTaskModel(QObject *parent = nullptr);
    ~TTaskModel() override;

    // Header texts and widths of the columns.
    static QString ColumnHeader(int column);
    static int ColumnWidth(int column);

    // The images given for ImageIndex 0 (title) and 1 (chapter), as the view
    // wants them (QPixmap or QIcon inside the QVariant).
    void SetImages(const QList<QVariant> &images);

    // ---- building
    QModelIndex AddTitle(const TaskItem &title, const QList<TaskItem> &chapters = {});
    QModelIndex AddChapter(const QModelIndex &title, const TaskItem &chapter);
    // Frees every node and its record.
    void Clear();
    bool IsEmpty() const { return m_titles.empty(); }
    int TitleCount() const { return static_cast<int>(m_titles.size()); }

    // ---- access (null or invalid results when the index is not a node)
    TaskItem *Item(const QModelIndex &index) const;
    // The title whose lists, aspect and number a node uses: itself for a
    // title, the parent for a chapter.
    TaskItem *TitleOf(const QModelIndex &index) const;
    QModelIndex TitleIndexOf(const QModelIndex &index) const;
    // 0 for a title, 1 for a chapter, -1 for no node.
    int Level(const QModelIndex &index) const;
    QModelIndex IndexOf(const TaskItem *item) const;
    // Every node in tree order: a title, its chapters, the next title.
    QList<QModelIndex> NodesInTreeOrder() const;
    QList<TCheckedItem> AllItems() const;
    // The items to convert, in tree order, each with its title.
    QList<TCheckedItem> CheckedItems() const;

    // ---- changes
    void SetChecked(const QModelIndex &index, bool checked);
    // The popup's check commands over all nodes in tree order. False when the
    // tree was cleared while the walk let other handlers run.
    bool RunCheckCommand(CheckCommand command, const TProgress &progress = {});
    // The audio, subtitle and angle choices. A choice made on a title is also
    // made on each of its chapters; a choice made on a chapter is its own.
    void SetAudioIndex(const QModelIndex &index, int position, const TProgress &progress = {});
    void SetSubtitleIndex(const QModelIndex &index, int position, const TProgress &progress = {});
    void SetAngleIndex(const QModelIndex &index, int position, const TProgress &progress = {});
    // Tells the views that a record was changed from outside (trimmed times).
    void ItemChanged(const QModelIndex &index);
    void ItemChanged(const TaskItem *item);
    // Tells the views that every text may have changed (volume name, output extension).
    void RefreshAll();

    // The text a node shows in a column.
    static QString ColumnText(const TaskItem &item, int column);

    // ---- QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

Q_SIGNALS:
    // The user toggled a node's check box (the record already holds the new state).
    void ItemChecking(const QModelIndex &index);

private:
    struct TNode;
    TNode *NodeOf(const QModelIndex &index) const;
    QModelIndex IndexOfNode(const TNode *node, int column = 0) const;
    void RowChanged(const TNode *node);
    // Applies `apply` to the node and, when it is a title, to each chapter after `progress`.
    void SetChoice(const QModelIndex &index, const std::function<void(TaskItem &)> &apply,
                   const TProgress &progress);

    std::vector<std::unique_ptr<TNode>> m_titles;
    QList<QVariant> m_images;
    // Changes with every Clear, so a walk that let other handlers run can tell
    // that its nodes are gone.
    quint64 m_generation = 0;
};
