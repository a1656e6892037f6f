#pragma once

#include <QColor>
#include <QStringList>
#include <QTableWidget>

// The key/value grid: two columns, the keys (column 0, drawn like a header
// column, never edited) and the values (column 1). Each row (item) carries a
// read-only flag, an edit style (plain text or pick list) and the choices of a
// pick list; pick-list rows are edited through a drop-down, also when they are
// read-only, read-only text rows not at all. A grid without items shows one
// empty row. Rows are 17 pixels high plus a grid line of 1, so a grid shows
// its rows exactly when it is RowCount() * 18 pixels high.
//
// The drawing keeps the value column free of any selection highlight: the
// values of read-only text rows are grey, all other values black, and the
// current row is marked by its key cell, blue while the grid has the input
// focus and window-coloured when it has not.
class TValueListEditor : public QTableWidget
{
    Q_OBJECT

public:
    explicit TValueListEditor(QWidget *parent = nullptr);

    static constexpr int RowPixels = 18; // 17 of row and 1 of grid line
    static QColor ReadOnlyGrey() { return QColor(0xC0, 0xC0, 0xC0); }
    static QColor RowMarkerBlue() { return QColor(49, 106, 197); }

    // Items: the rows that hold a key. Indices count from 0.
    int ItemCount() const { return m_placeholder ? 0 : rowCount(); }
    // Rows shown: ItemCount(), or 1 for the empty row of a grid without items.
    int RowCount() const { return rowCount(); }

    // Appends a row and returns its index.
    int InsertRow(const QString &key, const QString &value);
    void DeleteRow(int index);
    // Deletes all rows, from the last to the first.
    void ClearRows();

    // The first row whose key equals key without regard to letter case; -1 if none.
    int FindRow(const QString &key) const;
    QString Key(int index) const;
    QString Value(int index) const;
    void SetValue(int index, const QString &value);
    // The value of the row with that key; empty when there is none.
    QString Values(const QString &key) const;

    bool IsReadOnly(int index) const;
    void SetReadOnly(int index, bool readOnly);
    bool IsPickList(int index) const;
    QStringList PickList(int index) const;
    // Makes the row a pick list with these choices.
    void SetPickList(int index, const QStringList &choices);

    // Width of the key column; the value column takes the rest of the grid.
    void SetKeyColumnWidth(int width);

    // True while the grid or its in-place editor has the input focus.
    bool HasInputFocus() const;

Q_SIGNALS:
    // A mouse press on the grid, before the grid handles it.
    void MouseDown();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    bool NearColumnBorder(int x) const;
    void AddPlaceholder();
    QTableWidgetItem *ValueItem(int index) const;

    bool m_placeholder = false;
    bool m_draggingBorder = false;
};
