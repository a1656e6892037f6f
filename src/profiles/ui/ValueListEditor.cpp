#include "profiles/ui/ValueListEditor.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {
enum ItemRoles {
    ReadOnlyRole = Qt::UserRole + 1,
    PickListRole, // bool: the edit style is pick list
    ChoicesRole,  // QStringList
};

// Draws the cells and gives pick-list rows their drop-down.
class TValueListDelegate : public QStyledItemDelegate
{
public:
    explicit TValueListDelegate(TValueListEditor *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const int row = index.row();
        const bool isItem = row < m_grid->ItemCount();
        const bool current = m_grid->currentIndex().isValid() && m_grid->currentIndex().row() == row;
        const QPalette &pal = m_grid->palette();
        const QColor window = pal.color(QPalette::Base);
        QColor background;
        QColor text = Qt::black;
        if (index.column() == 0) {
            background = pal.color(QPalette::Button);
            if (current)
                background = m_grid->HasInputFocus() ? TValueListEditor::RowMarkerBlue() : window;
        } else {
            background = window;
            if (isItem && m_grid->IsReadOnly(row) && !m_grid->IsPickList(row))
                text = TValueListEditor::ReadOnlyGrey();
        }
        const QRect r = option.rect;
        painter->save();
        painter->fillRect(r, background);
        if (index.column() == 0 && !(current && m_grid->HasInputFocus())) {
            // The raised edges of a header cell.
            painter->setPen(pal.color(QPalette::Light));
            painter->drawLine(r.topLeft(), r.topRight());
            painter->drawLine(r.topLeft(), r.bottomLeft());
        }
        painter->setPen(text);
        painter->setFont(option.font);
        painter->drawText(r.adjusted(2, 2, -1, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                          index.data(Qt::DisplayRole).toString());
        painter->restore();
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        const int row = index.row();
        if (index.column() != 1 || row >= m_grid->ItemCount())
            return nullptr;
        if (m_grid->IsPickList(row)) {
            auto *combo = new QComboBox(parent);
            combo->setObjectName(QStringLiteral("PickListEditor"));
            combo->addItems(m_grid->PickList(row));
            combo->setFont(option.font);
            // A choice takes effect as soon as it is made.
            connect(combo, QOverload<int>::of(&QComboBox::activated), combo,
                    [this, combo] { Q_EMIT const_cast<TValueListDelegate *>(this)->commitData(combo); });
            return combo;
        }
        if (m_grid->IsReadOnly(row))
            return nullptr;
        return QStyledItemDelegate::createEditor(parent, option, index);
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        if (auto *combo = qobject_cast<QComboBox *>(editor)) {
            const QString text = index.data(Qt::EditRole).toString();
            int at = -1;
            for (int i = 0; i < combo->count() && at < 0; ++i)
                if (combo->itemText(i).compare(text, Qt::CaseInsensitive) == 0)
                    at = i;
            combo->setCurrentIndex(at);
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        if (auto *combo = qobject_cast<QComboBox *>(editor)) {
            if (combo->currentIndex() >= 0)
                model->setData(index, combo->currentText(), Qt::EditRole);
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
    }

    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &) const override
    {
        // The editor covers the cell, not the grid line below it.
        editor->setGeometry(option.rect.adjusted(0, 0, 0, -1));
    }

private:
    TValueListEditor *m_grid;
};

QTableWidgetItem *KeyItem(const QString &key)
{
    auto *item = new QTableWidgetItem(key);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}
} // namespace

TValueListEditor::TValueListEditor(QWidget *parent) : QTableWidget(0, 2, parent)
{
    setFrameShape(QFrame::NoFrame);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(RowPixels);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setStretchLastSection(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // A click on a value opens its editor (see mouseReleaseEvent); a change of
    // the current cell alone does not, so loading rows never moves the focus.
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setShowGrid(true);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setItemDelegate(new TValueListDelegate(this));
    viewport()->setMouseTracking(true);
    QFont f = font();
    f.setPointSize(8);
    setFont(f);
    setColumnWidth(0, 95);
    AddPlaceholder();
    // The key cell of the current row shows whether the grid has the focus,
    // and the focus may sit in the in-place editor.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if ((old && (old == this || isAncestorOf(old))) || (now && (now == this || isAncestorOf(now))))
            viewport()->update();
    });
}

void TValueListEditor::AddPlaceholder()
{
    setRowCount(1);
    setItem(0, 0, KeyItem(QString()));
    auto *value = new QTableWidgetItem();
    value->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    setItem(0, 1, value);
    m_placeholder = true;
}

QTableWidgetItem *TValueListEditor::ValueItem(int index) const
{
    if (index < 0 || index >= ItemCount())
        return nullptr;
    return item(index, 1);
}

int TValueListEditor::InsertRow(const QString &key, const QString &value)
{
    if (m_placeholder) {
        setRowCount(0);
        m_placeholder = false;
    }
    const int row = rowCount();
    insertRow(row);
    setItem(row, 0, KeyItem(key));
    auto *v = new QTableWidgetItem(value);
    v->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
    setItem(row, 1, v);
    return row;
}

void TValueListEditor::DeleteRow(int index)
{
    if (index < 0 || index >= ItemCount())
        return;
    removeRow(index);
    if (rowCount() == 0)
        AddPlaceholder();
}

void TValueListEditor::ClearRows()
{
    // An open editor belongs to a row that is going away.
    if (QWidget *editor = indexWidget(currentIndex()))
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    for (int i = ItemCount() - 1; i >= 0; --i)
        DeleteRow(i);
}

int TValueListEditor::FindRow(const QString &key) const
{
    for (int i = 0; i < ItemCount(); ++i)
        if (item(i, 0)->text().compare(key, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString TValueListEditor::Key(int index) const
{
    return index >= 0 && index < ItemCount() ? item(index, 0)->text() : QString();
}

QString TValueListEditor::Value(int index) const
{
    const QTableWidgetItem *v = ValueItem(index);
    return v ? v->text() : QString();
}

void TValueListEditor::SetValue(int index, const QString &value)
{
    if (QTableWidgetItem *v = ValueItem(index))
        v->setText(value);
}

QString TValueListEditor::Values(const QString &key) const
{
    return Value(FindRow(key));
}

bool TValueListEditor::IsReadOnly(int index) const
{
    const QTableWidgetItem *v = ValueItem(index);
    return v && v->data(ReadOnlyRole).toBool();
}

void TValueListEditor::SetReadOnly(int index, bool readOnly)
{
    if (QTableWidgetItem *v = ValueItem(index))
        v->setData(ReadOnlyRole, readOnly);
}

bool TValueListEditor::IsPickList(int index) const
{
    const QTableWidgetItem *v = ValueItem(index);
    return v && v->data(PickListRole).toBool();
}

QStringList TValueListEditor::PickList(int index) const
{
    const QTableWidgetItem *v = ValueItem(index);
    return v ? v->data(ChoicesRole).toStringList() : QStringList();
}

void TValueListEditor::SetPickList(int index, const QStringList &choices)
{
    if (QTableWidgetItem *v = ValueItem(index)) {
        v->setData(PickListRole, true);
        v->setData(ChoicesRole, choices);
    }
}

void TValueListEditor::SetKeyColumnWidth(int width)
{
    setColumnWidth(0, width);
}

bool TValueListEditor::HasInputFocus() const
{
    const QWidget *focus = QApplication::focusWidget();
    return focus && (focus == this || isAncestorOf(focus));
}

bool TValueListEditor::NearColumnBorder(int x) const
{
    return std::abs(x - columnWidth(0)) <= 2;
}

void TValueListEditor::mousePressEvent(QMouseEvent *event)
{
    Q_EMIT MouseDown();
    if (event->button() == Qt::LeftButton && NearColumnBorder(event->position().toPoint().x())) {
        m_draggingBorder = true;
        return;
    }
    QTableWidget::mousePressEvent(event);
}

void TValueListEditor::mouseMoveEvent(QMouseEvent *event)
{
    const int x = event->position().toPoint().x();
    if (m_draggingBorder) {
        setColumnWidth(0, std::clamp(x, 8, std::max(8, viewport()->width() - 8)));
        return;
    }
    if (NearColumnBorder(x))
        viewport()->setCursor(Qt::SplitHCursor);
    else
        viewport()->unsetCursor();
    QTableWidget::mouseMoveEvent(event);
}

void TValueListEditor::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_draggingBorder) {
        m_draggingBorder = false;
        return;
    }
    QTableWidget::mouseReleaseEvent(event);
    const QModelIndex at = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && at.isValid() && at.column() == 1 && at == currentIndex() &&
        state() != QAbstractItemView::EditingState)
        edit(at);
}

void TValueListEditor::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    // The keys are not edited: a click on a key makes its value the current cell.
    if (current.isValid() && current.column() == 0) {
        setCurrentIndex(model()->index(current.row(), 1));
        return;
    }
    QTableWidget::currentChanged(current, previous);
    viewport()->update();
}
