#include "app/helpers/AppValues.h"
#include "tasks/OutputFileName.h"
#include "tasks/TaskModel.h"

#include <gtest/gtest.h>

namespace {

TaskItem Title(int number, int chapters)
{
    TaskItem t;
    t.IsTitle = true;
    t.Number = number;
    t.DisplayName = QStringLiteral("Title%1 [MPEG2 720x576 PAL 16:9]").arg(number, 2, 10, QLatin1Char('0'));
    t.OutputName = QStringLiteral("Title%1").arg(number, 2, 10, QLatin1Char('0'));
    t.DiscEnd = t.TrimEnd = 2.0 * chapters;
    t.DiscStartText = t.TrimStartText = QStringLiteral("00:00:00");
    t.DiscEndText = t.TrimEndText = QStringLiteral("00:00:%1").arg(2 * chapters, 2, 10, QLatin1Char('0'));
    t.AudioTracks = {QStringLiteral("English AC3 6ch"), QStringLiteral("Francais AC3 2ch")};
    t.AudioLanguages = {QStringLiteral("en"), QStringLiteral("fr")};
    t.Subtitles = {QStringLiteral("None"), QStringLiteral("English")};
    t.AngleCount = 2;
    return t;
}

QList<TaskItem> Chapters(int title, int count)
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
        ch.DiscStart = ch.TrimStart = 2.0 * (c - 1);
        ch.DiscEnd = ch.TrimEnd = 2.0 * c;
        list.append(ch);
    }
    return list;
}

class TaskModelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DVDInfo().VolumeName.clear();
        AppValues().OutputExtension = QStringLiteral(".mp4");
        model.AddTitle(Title(1, 3), Chapters(1, 3));
        model.AddTitle(Title(2, 2), Chapters(2, 2));
    }
    void TearDown() override { DVDInfo().VolumeName.clear(); }

    QString Text(const QModelIndex &index, int column) const
    {
        return model.data(index.siblingAtColumn(column)).toString();
    }
    QModelIndex ChapterIndex(int title, int chapter) const
    {
        return model.index(chapter - 1, 0, model.index(title - 1, 0));
    }
    QStringList CheckedNames() const
    {
        QStringList names;
        for (const auto &entry : model.CheckedItems())
            names << entry.Item->OutputName + QLatin1Char('@') + entry.Title->OutputName;
        return names;
    }

    TTaskModel model;
};

TEST_F(TaskModelTest, ColumnsHeadersAndTexts)
{
    ASSERT_EQ(model.columnCount(), 5);
    const QStringList headers = {"Title", "Start", "End", "Output File", ""};
    const int widths[] = {175, 80, 80, 200, 10};
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(model.headerData(c, Qt::Horizontal).toString(), headers[c]);
        EXPECT_EQ(TTaskModel::ColumnWidth(c), widths[c]);
    }
    const QModelIndex chapter2 = ChapterIndex(1, 2);
    EXPECT_EQ(Text(chapter2, 0), "Chapter02");
    EXPECT_EQ(Text(chapter2, 3), "Title01-Chapter02.mp4");
    EXPECT_EQ(Text(chapter2, 4), "");
    EXPECT_EQ(Text(model.index(0, 0), 0), "Title01 [MPEG2 720x576 PAL 16:9]");
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 3);
    EXPECT_EQ(model.rowCount(chapter2), 0);
    EXPECT_EQ(model.data(chapter2, TTaskModel::ImageIndexRole).toInt(), 1);
}

TEST_F(TaskModelTest, TrimMarksOnlyWhereTimesDiffer)
{
    const QModelIndex title = model.index(0, 0);
    EXPECT_EQ(Text(title, 1), "00:00:00");
    EXPECT_EQ(Text(title, 2), "00:00:06");
    TaskItem *item = model.Item(title);
    item->TrimStart = 60;
    item->TrimStartText = "00:01:00";
    model.ItemChanged(item);
    EXPECT_EQ(Text(title, 1), "[ 00:01:00");
    EXPECT_EQ(Text(title, 2), "00:00:06");
    item->TrimEnd = 5.999;
    item->TrimEndText = "00:00:06";
    EXPECT_EQ(Text(title, 2), "00:00:06 ]"); // exact comparison, not the rounded text
}

TEST_F(TaskModelTest, VolumePrefixInOutputColumn)
{
    struct Case
    {
        QString volume;
        QString shown;
    };
    const QList<Case> cases = {
        {"", "Title01-Chapter02.mp4"},
        {"MY_MOVIE", "MY_MOVIE-Title01-Chapter02.mp4"},
        {"a/b", "a_b-Title01-Chapter02.mp4"},
        {QString("x") + QChar(0) + "y/", "x_y_-Title01-Chapter02.mp4"},
        {"  spaced \\ : ?", "  spaced \\ : ?-Title01-Chapter02.mp4"},
    };
    for (const Case &c : cases) {
        DVDInfo().VolumeName = c.volume;
        EXPECT_EQ(Text(ChapterIndex(1, 2), 3), c.shown) << c.volume.toStdString();
        EXPECT_EQ(DVDInfo().VolumeName, c.volume); // the prefix itself is kept as typed
    }
    DVDInfo().VolumeName = "a/b";
    EXPECT_EQ(OutputFilePrefix(), "a_b-");
    EXPECT_EQ(OutputFilePrefix(QString()), "");
}

TEST_F(TaskModelTest, CheckCommandsAndTreeOrder)
{
    using C = TTaskModel::CheckCommand;
    int steps = 0;
    model.RunCheckCommand(C::AllTitles, [&] { ++steps; });
    EXPECT_EQ(steps, 7); // one step per node
    EXPECT_EQ(CheckedNames(), QStringList({"Title01@Title01", "Title02@Title02"}));
    model.RunCheckCommand(C::UncheckAll);
    EXPECT_TRUE(model.CheckedItems().isEmpty());

    model.SetChecked(model.index(1, 0), true);
    model.RunCheckCommand(C::AllChapters);
    EXPECT_EQ(CheckedNames(), QStringList({"Title01-Chapter01@Title01", "Title01-Chapter02@Title01",
                                           "Title01-Chapter03@Title01", "Title02@Title02",
                                           "Title02-Chapter01@Title02", "Title02-Chapter02@Title02"}));
    model.RunCheckCommand(C::AllTitlesAndChapters);
    EXPECT_EQ(model.CheckedItems().size(), 7);
    // The view reads the record's state.
    EXPECT_EQ(model.data(ChapterIndex(2, 2), Qt::CheckStateRole).toInt(), Qt::Checked);
}

TEST_F(TaskModelTest, CheckBoxToggleChangesOnlyThatNode)
{
    QList<QModelIndex> toggled;
    QObject::connect(&model, &TTaskModel::ItemChecking, [&](const QModelIndex &i) { toggled << i; });
    ASSERT_TRUE(model.setData(model.index(0, 0), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(CheckedNames(), QStringList({"Title01@Title01"}));
    ASSERT_TRUE(model.setData(ChapterIndex(1, 3), Qt::Checked, Qt::CheckStateRole));
    ASSERT_TRUE(model.setData(model.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_EQ(CheckedNames(), QStringList({"Title01-Chapter03@Title01"}));
    EXPECT_EQ(toggled.size(), 3);
    EXPECT_FALSE(model.setData(model.index(0, 1), Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(model.flags(model.index(0, 0)).testFlag(Qt::ItemIsUserCheckable));
    EXPECT_FALSE(model.flags(model.index(0, 0)).testFlag(Qt::ItemIsAutoTristate));
}

TEST_F(TaskModelTest, TitleChoicePropagatesChapterChoiceStaysOwn)
{
    const QModelIndex title = model.index(0, 0);
    model.SetAudioIndex(title, 1);
    model.SetAudioIndex(ChapterIndex(1, 3), 0);
    model.SetSubtitleIndex(title, 1);
    model.SetAngleIndex(ChapterIndex(1, 1), 1);
    const TaskItem *t = model.Item(title);
    EXPECT_EQ(t->AudioIndex, 1);
    EXPECT_EQ(t->AudioLanguageIndex, 1);
    const int audio[] = {1, 1, 0};
    for (int c = 1; c <= 3; ++c) {
        const TaskItem *ch = model.Item(ChapterIndex(1, c));
        EXPECT_EQ(ch->AudioIndex, audio[c - 1]) << c;
        EXPECT_EQ(ch->AudioLanguageIndex, ch->AudioIndex);
        EXPECT_EQ(ch->SubtitleIndex, 1);
        EXPECT_EQ(ch->AngleIndex, c == 1 ? 1 : 0);
    }
    EXPECT_EQ(model.Item(ChapterIndex(2, 1))->AudioIndex, 0); // other titles untouched
    EXPECT_EQ(t->AngleIndex, 0);
    EXPECT_EQ(model.TitleOf(ChapterIndex(1, 2)), t);
    EXPECT_EQ(model.TitleIndexOf(ChapterIndex(1, 2)), title);
    EXPECT_EQ(model.Level(ChapterIndex(1, 2)), 1);
    EXPECT_EQ(model.Level(title), 0);
    EXPECT_EQ(model.Level(QModelIndex()), -1);
}

TEST_F(TaskModelTest, ClearDuringAWalkStopsIt)
{
    int steps = 0;
    const bool finished = model.RunCheckCommand(TTaskModel::CheckCommand::AllTitlesAndChapters, [&] {
        if (++steps == 3)
            model.Clear();
    });
    EXPECT_FALSE(finished);
    EXPECT_TRUE(model.IsEmpty());
    EXPECT_TRUE(model.CheckedItems().isEmpty());

    model.AddTitle(Title(1, 3), Chapters(1, 3));
    steps = 0;
    model.SetAudioIndex(model.index(0, 0), 1, [&] {
        if (++steps == 2)
            model.Clear();
    });
    EXPECT_TRUE(model.IsEmpty());
    EXPECT_EQ(model.Item(QModelIndex()), nullptr);
    EXPECT_EQ(model.TitleOf(QModelIndex()), nullptr);
}

} // namespace
