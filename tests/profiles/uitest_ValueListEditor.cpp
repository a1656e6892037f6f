#include "profiles/ui/ProfileGrids.h"
#include "profiles/ui/ValueListEditor.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

namespace {
// The darkest channel value inside the value cell of row (away from the grid lines).
int DarkestInValueCell(TValueListEditor &grid, int row)
{
    const QImage image = grid.grab().toImage();
    const QRect cell = grid.visualRect(grid.model()->index(row, 1)).adjusted(1, 1, -2, -2);
    int darkest = 255;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            darkest = std::min({darkest, c.red(), c.green(), c.blue()});
        }
    return darkest;
}

// A pixel of the key cell's background, right of its text.
QColor KeyBackground(TValueListEditor &grid, int row)
{
    const QImage image = grid.grab().toImage();
    const QRect cell = grid.visualRect(grid.model()->index(row, 0));
    return image.pixelColor(cell.right() - 3, cell.top() + 3);
}

bool IsGreyish(int darkest)
{
    return darkest >= 0xB0 && darkest < 0xF0; // grey text, no black anywhere
}
} // namespace

class TestValueListEditor : public QObject
{
    Q_OBJECT

    // A grey read-only text row, a black pick-list row, an editable text row.
    void Fill(TValueListEditor &grid)
    {
        grid.SetKeyColumnWidth(95);
        grid.InsertRow(QStringLiteral("Codec"), QStringLiteral("H.264"));
        grid.SetReadOnly(0, true);
        grid.InsertRow(QStringLiteral("Size"), QStringLiteral("720x576"));
        grid.SetPickList(1, {QStringLiteral("720x576"), QStringLiteral("352x288")});
        grid.SetReadOnly(1, true);
        grid.InsertRow(QStringLiteral("Title"), QStringLiteral("MMMMMM"));
        grid.resize(210, grid.RowCount() * TValueListEditor::RowPixels);
    }

private Q_SLOTS:
    void rowsAndKeys()
    {
        TValueListEditor grid;
        QCOMPARE(grid.ItemCount(), 0);
        QCOMPARE(grid.RowCount(), 1); // the empty row
        Fill(grid);
        QCOMPARE(grid.ItemCount(), 3);
        QCOMPARE(grid.FindRow(QStringLiteral("SIZE")), 1);
        QCOMPARE(grid.Values(QStringLiteral("title")), QStringLiteral("MMMMMM"));
        QCOMPARE(grid.Values(QStringLiteral("none")), QString());
        QCOMPARE(grid.rowHeight(0), 18);
        grid.ClearRows();
        QCOMPARE(grid.ItemCount(), 0);
        QCOMPARE(grid.RowCount(), 1);
        QCOMPARE(grid.Key(0), QString());
    }

    void cellColours()
    {
        QWidget window;
        auto *grid = new TValueListEditor(&window);
        auto *other = new QLineEdit(&window);
        other->move(0, 100);
        Fill(*grid);
        window.resize(220, 140);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        QVERIFY(IsGreyish(DarkestInValueCell(*grid, 0))); // read-only text row
        QVERIFY(DarkestInValueCell(*grid, 1) < 0x40);     // pick list: black though read-only
        QVERIFY(DarkestInValueCell(*grid, 2) < 0x40);     // editable text row

        grid->setFocus();
        grid->setCurrentCell(0, 1);
        QTRY_VERIFY(grid->HasInputFocus());
        QCOMPARE(KeyBackground(*grid, 0), TValueListEditor::RowMarkerBlue());
        QCOMPARE(KeyBackground(*grid, 1), grid->palette().color(QPalette::Button));
        // The current value cell shows no selection highlight: grey stays grey on white.
        QVERIFY(IsGreyish(DarkestInValueCell(*grid, 0)));

        other->setFocus();
        QTRY_VERIFY(!grid->HasInputFocus());
        QCOMPARE(KeyBackground(*grid, 0), grid->palette().color(QPalette::Base));
    }

    void pickListEditsThroughADropDownAndReadOnlyTextNot()
    {
        QWidget window;
        auto *grid = new TValueListEditor(&window);
        Fill(*grid);
        window.resize(220, 80);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // Moving the current cell alone opens no editor; a click on the value does.
        grid->setCurrentCell(1, 1);
        QVERIFY(!grid->findChild<QComboBox *>(QStringLiteral("PickListEditor")));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(1, 1)).center());
        auto *combo = grid->findChild<QComboBox *>(QStringLiteral("PickListEditor"));
        QVERIFY(combo);
        QCOMPARE(combo->currentText(), QStringLiteral("720x576"));
        combo->setCurrentIndex(1);
        Q_EMIT combo->activated(1);
        QCOMPARE(grid->Value(1), QStringLiteral("352x288"));

        grid->setCurrentCell(0, 1);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(0, 1)).center());
        QTest::keyClick(grid, Qt::Key_X);
        QCOMPARE(grid->Value(0), QStringLiteral("H.264"));
        QVERIFY(!grid->findChild<QLineEdit *>());

        // A click on a key makes its value the current cell.
        const QRect key = grid->visualRect(grid->model()->index(2, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, key.center());
        QCOMPARE(grid->currentColumn(), 1);
        QCOMPARE(grid->currentRow(), 2);

        // An editable text row takes what is typed.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(2, 1)).center());
        auto *edit = grid->findChild<QLineEdit *>();
        QVERIFY(edit);
        edit->setText(QStringLiteral("typed"));
        QTest::keyClick(edit, Qt::Key_Return);
        QTRY_COMPARE(grid->Value(2), QStringLiteral("typed")); // committed through a queued call
    }

    void mousePressOnOneGridRepaintsAll()
    {
        TProfileGrids grids(TProfileGrids::MainWindow);
        grids.resize(210, 400);
        grids.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grids));
        QSignalSpy spy(grids.vleAudio, &TValueListEditor::MouseDown);
        QTest::mousePress(grids.vleAudio->viewport(), Qt::LeftButton, {}, QPoint(120, 5));
        QCOMPARE(spy.count(), 1);
    }
};

QTEST_MAIN(TestValueListEditor)
#include "uitest_ValueListEditor.moc"
