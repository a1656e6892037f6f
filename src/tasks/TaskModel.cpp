#include "tasks/TaskModel.h"

#include "tasks/OutputFileName.h"

struct TTaskModel::TNode
{
    TaskItem Item;
    TNode *Parent = nullptr;
    int Row = 0;
    std::vector<std::unique_ptr<TNode>> Children;
};

namespace {
constexpr int kColumnWidths[TTaskModel::ColumnCount] = {175, 80, 80, 200, 10};
}

TTaskModel::TTaskModel(QObject *parent) : QAbstractItemModel(parent) {}

TTaskModel::~TTaskModel() = default;

QString TTaskModel::ColumnHeader(int column)
{
    switch (column) {
    case colTitle:
        return QStringLiteral("Title");
    case colStart:
        return QStringLiteral("Start");
    case colEnd:
        return QStringLiteral("End");
    case colOutputFile:
        return QStringLiteral("Output File");
    default:
        return QString();
    }
}

int TTaskModel::ColumnWidth(int column)
{
    return column >= 0 && column < ColumnCount ? kColumnWidths[column] : 0;
}

void TTaskModel::SetImages(const QList<QVariant> &images)
{
    m_images = images;
    RefreshAll();
}

// ---------------------------------------------------------------- building

QModelIndex TTaskModel::AddTitle(const TaskItem &title, const QList<TaskItem> &chapters)
{
    const int row = TitleCount();
    beginInsertRows(QModelIndex(), row, row);
    auto node = std::make_unique<TNode>();
    node->Item = title;
    node->Row = row;
    for (const TaskItem &chapter : chapters) {
        auto child = std::make_unique<TNode>();
        child->Item = chapter;
        child->Parent = node.get();
        child->Row = static_cast<int>(node->Children.size());
        node->Children.push_back(std::move(child));
    }
    m_titles.push_back(std::move(node));
    endInsertRows();
    return index(row, 0);
}

QModelIndex TTaskModel::AddChapter(const QModelIndex &title, const TaskItem &chapter)
{
    TNode *parentNode = NodeOf(title);
    if (!parentNode || parentNode->Parent)
        return QModelIndex();
    const int row = static_cast<int>(parentNode->Children.size());
    beginInsertRows(IndexOfNode(parentNode), row, row);
    auto child = std::make_unique<TNode>();
    child->Item = chapter;
    child->Parent = parentNode;
    child->Row = row;
    parentNode->Children.push_back(std::move(child));
    endInsertRows();
    return index(row, 0, IndexOfNode(parentNode));
}

void TTaskModel::Clear()
{
    ++m_generation;
    beginResetModel();
    m_titles.clear();
    endResetModel();
}

// ---------------------------------------------------------------- access

TTaskModel::TNode *TTaskModel::NodeOf(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    return static_cast<TNode *>(index.internalPointer());
}

QModelIndex TTaskModel::IndexOfNode(const TNode *node, int column) const
{
    if (!node)
        return QModelIndex();
    return createIndex(node->Row, column, const_cast<TNode *>(node));
}

TaskItem *TTaskModel::Item(const QModelIndex &index) const
{
    TNode *node = NodeOf(index);
    return node ? &node->Item : nullptr;
}

TaskItem *TTaskModel::TitleOf(const QModelIndex &index) const
{
    TNode *node = NodeOf(index);
    if (!node)
        return nullptr;
    return node->Parent ? &node->Parent->Item : &node->Item;
}

QModelIndex TTaskModel::TitleIndexOf(const QModelIndex &index) const
{
    TNode *node = NodeOf(index);
    if (!node)
        return QModelIndex();
    return IndexOfNode(node->Parent ? node->Parent : node);
}

int TTaskModel::Level(const QModelIndex &index) const
{
    TNode *node = NodeOf(index);
    if (!node)
        return -1;
    return node->Parent ? 1 : 0;
}

QModelIndex TTaskModel::IndexOf(const TaskItem *item) const
{
    if (!item)
        return QModelIndex();
    for (const auto &title : m_titles) {
        if (&title->Item == item)
            return IndexOfNode(title.get());
        for (const auto &chapter : title->Children)
            if (&chapter->Item == item)
                return IndexOfNode(chapter.get());
    }
    return QModelIndex();
}

QList<QModelIndex> TTaskModel::NodesInTreeOrder() const
{
    QList<QModelIndex> nodes;
    for (const auto &title : m_titles) {
        nodes.append(IndexOfNode(title.get()));
        for (const auto &chapter : title->Children)
            nodes.append(IndexOfNode(chapter.get()));
    }
    return nodes;
}

QList<TTaskModel::TCheckedItem> TTaskModel::AllItems() const
{
    QList<TCheckedItem> items;
    for (const auto &title : m_titles) {
        items.append(TCheckedItem{&title->Item, &title->Item});
        for (const auto &chapter : title->Children)
            items.append(TCheckedItem{&chapter->Item, &title->Item});
    }
    return items;
}

QList<TTaskModel::TCheckedItem> TTaskModel::CheckedItems() const
{
    QList<TCheckedItem> items;
    for (const TCheckedItem &entry : AllItems())
        if (entry.Item->Checked)
            items.append(entry);
    return items;
}

// ---------------------------------------------------------------- changes

void TTaskModel::RowChanged(const TNode *node)
{
    Q_EMIT dataChanged(IndexOfNode(node, 0), IndexOfNode(node, ColumnCount - 1));
}

void TTaskModel::SetChecked(const QModelIndex &index, bool checked)
{
    TNode *node = NodeOf(index);
    if (!node)
        return;
    node->Item.Checked = checked;
    RowChanged(node);
}

bool TTaskModel::RunCheckCommand(CheckCommand command, const TProgress &progress)
{
    const quint64 generation = m_generation;
    for (const QModelIndex &index : NodesInTreeOrder()) {
        if (progress)
            progress();
        if (generation != m_generation)
            return false;
        TNode *node = NodeOf(index);
        const int level = node->Parent ? 1 : 0;
        switch (command) {
        case CheckCommand::AllTitlesAndChapters:
            node->Item.Checked = true;
            break;
        case CheckCommand::AllTitles:
            if (level == 0)
                node->Item.Checked = true;
            break;
        case CheckCommand::AllChapters:
            if (level == 1)
                node->Item.Checked = true;
            break;
        case CheckCommand::UncheckAll:
            node->Item.Checked = false;
            break;
        }
        RowChanged(node);
    }
    return true;
}

void TTaskModel::SetChoice(const QModelIndex &index, const std::function<void(TaskItem &)> &apply,
                           const TProgress &progress)
{
    TNode *node = NodeOf(index);
    if (!node)
        return;
    apply(node->Item);
    RowChanged(node);
    if (!node->Item.IsTitle)
        return;
    const quint64 generation = m_generation;
    for (std::size_t i = 0; i < node->Children.size(); ++i) {
        if (progress)
            progress();
        if (generation != m_generation)
            return;
        apply(node->Children[i]->Item);
        RowChanged(node->Children[i].get());
    }
}

void TTaskModel::SetAudioIndex(const QModelIndex &index, int position, const TProgress &progress)
{
    SetChoice(
        index,
        [position](TaskItem &item) {
            item.AudioIndex = position;
            item.AudioLanguageIndex = position;
        },
        progress);
}

void TTaskModel::SetSubtitleIndex(const QModelIndex &index, int position, const TProgress &progress)
{
    SetChoice(
        index, [position](TaskItem &item) { item.SubtitleIndex = position; }, progress);
}

void TTaskModel::SetAngleIndex(const QModelIndex &index, int position, const TProgress &progress)
{
    SetChoice(
        index, [position](TaskItem &item) { item.AngleIndex = position; }, progress);
}

void TTaskModel::ItemChanged(const QModelIndex &index)
{
    if (TNode *node = NodeOf(index))
        RowChanged(node);
}

void TTaskModel::ItemChanged(const TaskItem *item)
{
    ItemChanged(IndexOf(item));
}

void TTaskModel::RefreshAll()
{
    for (const QModelIndex &index : NodesInTreeOrder())
        RowChanged(NodeOf(index));
}

// ---------------------------------------------------------------- texts

QString TTaskModel::ColumnText(const TaskItem &item, int column)
{
    switch (column) {
    case colTitle:
        return item.DisplayName;
    case colStart:
        // The comparison is exact: any trim at all is marked.
        return item.TrimStart != item.DiscStart ? QStringLiteral("[ ") + item.TrimStartText
                                                : item.TrimStartText;
    case colEnd:
        return item.TrimEnd != item.DiscEnd ? item.TrimEndText + QStringLiteral(" ]") : item.TrimEndText;
    case colOutputFile:
        return OutputFileName(item);
    default:
        return QString();
    }
}

// ---------------------------------------------------------------- QAbstractItemModel

QModelIndex TTaskModel::index(int row, int column, const QModelIndex &parent) const
{
    if (row < 0 || column < 0 || column >= ColumnCount)
        return QModelIndex();
    if (!parent.isValid()) {
        if (row >= TitleCount())
            return QModelIndex();
        return createIndex(row, column, m_titles[row].get());
    }
    TNode *parentNode = NodeOf(parent);
    if (!parentNode || parentNode->Parent || row >= static_cast<int>(parentNode->Children.size()))
        return QModelIndex();
    return createIndex(row, column, parentNode->Children[row].get());
}

QModelIndex TTaskModel::parent(const QModelIndex &child) const
{
    TNode *node = NodeOf(child);
    if (!node || !node->Parent)
        return QModelIndex();
    return IndexOfNode(node->Parent);
}

int TTaskModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return TitleCount();
    if (parent.column() != 0)
        return 0;
    TNode *node = NodeOf(parent);
    if (!node || node->Parent)
        return 0;
    return static_cast<int>(node->Children.size());
}

int TTaskModel::columnCount(const QModelIndex &) const
{
    return ColumnCount;
}

QVariant TTaskModel::data(const QModelIndex &index, int role) const
{
    TNode *node = NodeOf(index);
    if (!node)
        return QVariant();
    const TaskItem &item = node->Item;
    switch (role) {
    case Qt::DisplayRole:
        return ColumnText(item, index.column());
    case Qt::ToolTipRole:
        if (index.column() == colTitle || index.column() == colOutputFile)
            return ColumnText(item, index.column());
        return QVariant();
    case Qt::CheckStateRole:
        if (index.column() == colTitle)
            return item.Checked ? Qt::Checked : Qt::Unchecked;
        return QVariant();
    case Qt::DecorationRole:
        if (index.column() == colTitle && item.ImageIndex >= 0 && item.ImageIndex < m_images.size())
            return m_images.at(item.ImageIndex);
        return QVariant();
    case ImageIndexRole:
        return item.ImageIndex;
    default:
        return QVariant();
    }
}

QVariant TTaskModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QVariant();
    if (role == Qt::DisplayRole)
        return ColumnHeader(section);
    return QVariant();
}

Qt::ItemFlags TTaskModel::flags(const QModelIndex &index) const
{
    if (!NodeOf(index))
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == colTitle)
        result |= Qt::ItemIsUserCheckable;
    return result;
}

bool TTaskModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    TNode *node = NodeOf(index);
    if (!node || role != Qt::CheckStateRole || index.column() != colTitle)
        return false;
    // A plain two-state box: anything but "checked" clears it.
    node->Item.Checked = value.toInt() == Qt::Checked;
    RowChanged(node);
    Q_EMIT ItemChecking(IndexOfNode(node));
    return true;
}
