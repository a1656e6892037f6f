#include "app/helpers/AppValues.h"
#include "tasks/TaskModel.h"
#include "tasks/ui/TaskTree.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QMenu>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTreeView>

#include <memory>

namespace {

TaskItem MakeTitle(int number, int chapters)
{
    TaskItem t;
    t.IsTitle = true;
    t.Number = number;
    t.DisplayName = QStringLiteral("Title%1 [MPEG2 720x576 PAL 16:9]").arg(number, 2, 10, QLatin1Char('0'));
    t.OutputName = QStringLiteral("Title%1").arg(number, 2, 10, QLatin1Char('0'));
    t.DiscEnd = t.TrimEnd = 2.0 * chapters;
    t.TrimStartText = QStringLiteral("00:00:00");
    t.TrimEndText = QStringLiteral("00:00:06");
    t.AudioTracks = {QStringLiteral("English AC3 6ch"), QStringLiteral("Francais AC3 2ch")};
    t.AudioLanguages = {QStringLiteral("en"), QStringLiteral("fr")};
    t.Subtitles = {QStringLiteral("None"), QStringLiteral("English")};
    t.AngleCount = 3;
    return t;
}

QList<TaskItem> MakeChapters(int title, int count)
{
    QList<TaskItem> list;
    for (int c = 1; c <= count; ++c) {
        TaskItem ch;
        ch.Number = c;
        ch.ImageIndex = 1;
        ch.DisplayName = QStringLiteral("Chapter%1").arg(c, 2, 10, QLatin1Char('0'));
        ch.OutputName = QStringLiteral("Title%1-Chapter%2")
                            .arg(title, 2, 10, QLatin1Char('0'))
                            .arg(c, 2, 10, QLatin1Char('0'));
        list.append(ch);
    }
    return list;
}

// The main window's part that the tree works on.
struct TWindow
{
    TWindow()
    {
        tree = new QTreeView(&window);
        tree->setGeometry(0, 0, 600, 300);
        cmbAudio = new QComboBox(&window);
        cmbSub = new QComboBox(&window);
        cmbAngle = new QComboBox(&window);
        menu = new QMenu(&window);
        controls.ltvTask = tree;
        controls.cmbAudio = cmbAudio;
        controls.cmbSub = cmbSub;
        controls.cmbAngle = cmbAngle;
        controls.PopupMenu1 = menu;
        controls.pmiOpenDVD = menu->addAction(QStringLiteral("Open DVD"));
        controls.pmiOpenDir = menu->addAction(QStringLiteral("Open Directory"));
        controls.pmiCheck = menu->addMenu(QStringLiteral("Check"));
        controls.pmiCheckTitleChapter =
            controls.pmiCheck->addAction(QStringLiteral("All Titles and Chapters"));
        controls.pmiCheckTitle = controls.pmiCheck->addAction(QStringLiteral("All Titles"));
        controls.pmiCheckChapter = controls.pmiCheck->addAction(QStringLiteral("All Chapters"));
        controls.pmiUncheck = menu->addAction(QStringLiteral("Uncheck All"));
        controls.pmiTrimTime = menu->addAction(QStringLiteral("Edit Start && End Time"));
        controls.pmiDVDVolume = menu->addAction(QStringLiteral("Change DVD Volume"));
        taskTree = std::make_unique<TTaskTree>(controls, &model);
        window.resize(600, 400);
        window.show();
    }
    void Fill()
    {
        model.AddTitle(MakeTitle(1, 3), MakeChapters(1, 3));
        model.AddTitle(MakeTitle(2, 2), MakeChapters(2, 2));
        tree->expandAll();
    }
    QModelIndex Chapter(int title, int chapter) const
    {
        return model.index(chapter - 1, 0, model.index(title - 1, 0));
    }
    // Where the delegate draws the check box of a node.
    QPoint CheckBoxCentre(const QModelIndex &index) const
    {
        QStyleOptionViewItem option;
        option.initFrom(tree->viewport());
        option.rect = tree->visualRect(index);
        option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay |
                          QStyleOptionViewItem::HasDecoration;
        option.decorationSize = tree->iconSize();
        option.text = index.data().toString();
        option.font = tree->font();
        option.fontMetrics = tree->fontMetrics();
        return tree->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, tree).center();
    }
    void ClickBox(const QModelIndex &index)
    {
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, CheckBoxCentre(index));
    }
    void Pick(QComboBox *box, int position)
    {
        box->setCurrentIndex(position);
        Q_EMIT box->activated(position);
    }
    QStringList Items(const QComboBox *box) const
    {
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        return items;
    }

    QWidget window;
    QTreeView *tree;
    QComboBox *cmbAudio, *cmbSub, *cmbAngle;
    QMenu *menu;
    TTaskTreeControls controls;
    TTaskModel model;
    std::unique_ptr<TTaskTree> taskTree;
};

} // namespace

class TaskTreeTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { AppValues().OutputExtension = QStringLiteral(".mp4"); }

    void settingsOfTheTree()
    {
        TWindow w;
        w.Fill();
        const QHeaderView *header = w.tree->header();
        QVERIFY(!header->isHidden());
        const int widths[] = {175, 80, 80, 200, 10};
        for (int c = 0; c < 5; ++c)
            QCOMPARE(header->sectionSize(c), widths[c]);
        QCOMPARE(header->sectionResizeMode(0), QHeaderView::Interactive);
        QCOMPARE(w.tree->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(w.tree->visualRect(w.model.index(0, 0)).height(), 20);
        QCOMPARE(w.tree->visualRect(w.Chapter(1, 2)).height(), 20);
        QVERIFY(!w.model.data(w.model.index(0, 0), Qt::DecorationRole).isNull());
        QVERIFY(!w.model.data(w.Chapter(1, 1), Qt::DecorationRole).isNull());
    }

    void clickingABoxTogglesOnlyThatNodeAndFocusesIt()
    {
        TWindow w;
        w.Fill();
        const QModelIndex chapter3 = w.Chapter(1, 3);
        w.model.Item(chapter3)->AudioIndex = 1;
        w.model.Item(chapter3)->AudioLanguageIndex = 1;
        w.model.Item(chapter3)->AngleIndex = 2;

        w.ClickBox(chapter3);
        QVERIFY(w.model.Item(chapter3)->Checked);
        QVERIFY(!w.model.Item(w.model.index(0, 0))->Checked);
        QCOMPARE(w.taskTree->FocusedIndex(), chapter3);
        QCOMPARE(w.taskTree->FocusedTitle(), w.model.Item(w.model.index(0, 0)));
        // A chapter shows its title's lists with its own choices.
        QCOMPARE(w.Items(w.cmbAudio), QStringList({"English AC3 6ch", "Francais AC3 2ch"}));
        QCOMPARE(w.cmbAudio->currentIndex(), 1);
        QCOMPARE(w.Items(w.cmbSub), QStringList({"None", "English"}));
        QCOMPARE(w.Items(w.cmbAngle), QStringList({"1", "2", "3"}));
        QCOMPARE(w.cmbAngle->currentIndex(), 2);
        QCOMPARE(w.model.data(chapter3, Qt::CheckStateRole).toInt(), int(Qt::Checked));

        w.ClickBox(w.model.index(0, 0));
        QVERIFY(w.model.Item(w.model.index(0, 0))->Checked);
        QCOMPARE(w.cmbAudio->currentIndex(), 0);
        w.ClickBox(chapter3);
        QVERIFY(!w.model.Item(chapter3)->Checked);
        QCOMPARE(w.model.CheckedItems().size(), 1);

        // The keyboard toggles the focused node too.
        w.tree->setFocus();
        QTest::keyClick(w.tree, Qt::Key_Space);
        QVERIFY(w.model.Item(chapter3)->Checked);
    }

    void titleChoicePropagatesChapterChoiceStaysOwn()
    {
        TWindow w;
        w.Fill();
        w.taskTree->SetFocusedIndex(w.model.index(0, 0));
        w.Pick(w.cmbAudio, 1);
        w.Pick(w.cmbSub, 1);
        w.taskTree->SetFocusedIndex(w.Chapter(1, 3));
        QCOMPARE(w.cmbAudio->currentIndex(), 1);
        w.Pick(w.cmbAudio, 0);
        w.Pick(w.cmbAngle, 2);
        const int audio[] = {1, 1, 1, 0};
        QList<const TaskItem *> items = {w.model.Item(w.model.index(0, 0))};
        for (int c = 1; c <= 3; ++c)
            items << w.model.Item(w.Chapter(1, c));
        for (int i = 0; i < items.size(); ++i) {
            QCOMPARE(items[i]->AudioIndex, audio[i]);
            QCOMPARE(items[i]->AudioLanguageIndex, audio[i]);
            QCOMPARE(items[i]->SubtitleIndex, 1);
            QCOMPARE(items[i]->AngleIndex, i == 3 ? 2 : 0);
        }
        QCOMPARE(w.model.Item(w.Chapter(2, 1))->AudioIndex, 0);
        // Back on the title: its own choice is shown again.
        w.taskTree->SetFocusedIndex(w.model.index(0, 0));
        QCOMPARE(w.cmbAudio->currentIndex(), 1);
        QCOMPARE(w.cmbAngle->currentIndex(), 0);
    }

    void boxesDoNothingWithoutAFocusedNode()
    {
        TWindow w;
        w.Fill();
        w.cmbAudio->addItems({"a", "b"});
        w.Pick(w.cmbAudio, 1);
        for (const auto &entry : w.model.AllItems())
            QCOMPARE(entry.Item->AudioIndex, 0);
        QVERIFY(!w.taskTree->FocusedItem());
    }

    void popupEntriesFollowTheTree()
    {
        TWindow w;
        Q_EMIT w.menu->aboutToShow();
        QVERIFY(!w.controls.pmiCheck->menuAction()->isEnabled());
        QVERIFY(!w.controls.pmiUncheck->isEnabled());
        QVERIFY(!w.controls.pmiDVDVolume->isEnabled());
        QVERIFY(w.controls.pmiOpenDVD->isEnabled());
        QVERIFY(w.controls.pmiOpenDir->isEnabled());
        QVERIFY(w.controls.pmiTrimTime->isEnabled());
        // The check commands on an empty tree do nothing.
        w.controls.pmiCheckTitleChapter->trigger();
        QVERIFY(w.model.CheckedItems().isEmpty());

        w.Fill();
        Q_EMIT w.menu->aboutToShow();
        QVERIFY(w.controls.pmiCheck->menuAction()->isEnabled());
        QVERIFY(w.controls.pmiUncheck->isEnabled());
        QVERIFY(w.controls.pmiDVDVolume->isEnabled());
    }

    void checkCommandsReachCollapsedChapters()
    {
        TWindow w;
        w.Fill();
        w.tree->collapseAll();
        w.controls.pmiCheckTitle->trigger();
        QCOMPARE(w.model.CheckedItems().size(), 2);
        w.controls.pmiUncheck->trigger();
        QVERIFY(w.model.CheckedItems().isEmpty());
        w.model.SetChecked(w.model.index(1, 0), true);
        w.controls.pmiCheckChapter->trigger();
        QStringList names;
        for (const auto &entry : w.model.CheckedItems())
            names << entry.Item->OutputName;
        QCOMPARE(names, QStringList({"Title01-Chapter01", "Title01-Chapter02", "Title01-Chapter03", "Title02",
                                     "Title02-Chapter01", "Title02-Chapter02"}));
        w.controls.pmiCheckTitleChapter->trigger();
        QCOMPARE(w.model.CheckedItems().size(), 7);
        // What the conversion reads is what the tree shows once expanded.
        w.tree->expandAll();
        QCOMPARE(w.model.data(w.Chapter(2, 2), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    }

    void doubleClickAsksForThePreview()
    {
        TWindow w;
        w.Fill();
        QSignalSpy spy(w.taskTree.get(), &TTaskTree::itemDoubleClicked);
        const QModelIndex chapter = w.Chapter(1, 2);
        const QPoint at = w.tree->visualRect(chapter.siblingAtColumn(3)).center();
        QTest::mouseClick(w.tree->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(w.tree->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<QModelIndex>(), chapter);
    }

    void headerIsTiledFromOnePixelIn()
    {
        TWindow w;
        w.Fill();
        const QImage tile = TTaskTree::DefaultHeaderTile().toImage();
        const QImage header = w.tree->header()->grab().toImage();
        // Section 1 begins at 175; its first tile column starts one pixel in.
        const int left = w.tree->header()->sectionViewportPosition(1);
        QCOMPARE(QColor(header.pixel(left + 1, 0)), QColor(tile.pixel(0, 0)));
        QCOMPARE(QColor(header.pixel(left + 17, 16)), QColor(tile.pixel(0, 16)));
        QCOMPARE(QColor(header.pixel(left, 2)), QColor(Qt::black));
        // The part right of the last column is tiled as well.
        const int right = w.tree->header()->length() + 1;
        QVERIFY(right < header.width());
        QCOMPARE(QColor(header.pixel(right, 3)), QColor(tile.pixel(0, 3)));
    }
};

QTEST_MAIN(TaskTreeTest)
#include "uitest_TaskTree.moc"
