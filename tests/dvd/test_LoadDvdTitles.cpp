// Building titles and chapters from the authored test discs, and from fake
// title tables over them.
#include "app/helpers/AppValues.h"
#include "dvd/LoadDvdTitles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QString Fixtures = QStringLiteral(VELMORA_FIXTURE_DIR);

QString Disc(const char *name)
{
    return Fixtures + QLatin1Char('/') + QLatin1String(name);
}

QStringList Names(const QList<TTitleNode> &titles)
{
    QStringList names;
    for (const TTitleNode &t : titles)
        names << t.title.OutputName;
    return names;
}

// Everything the tree shows of a disc, as one text, to compare opens.
QString Describe(const QList<TTitleNode> &titles)
{
    QString text;
    for (const TTitleNode &t : titles) {
        text += t.title.DisplayName + ' ' + t.title.DiscStartText + '-' + t.title.DiscEndText + ' ' +
                t.title.AudioTracks.join(',') + ' ' + t.title.Subtitles.join(',') + '\n';
        for (const TaskItem &c : t.chapters)
            text += "  " + c.DisplayName + ' ' + c.DiscStartText + '-' + c.DiscEndText + ' ' + c.OutputName +
                    '\n';
    }
    return text;
}

class TFakeDisc : public TDiscInfoSource
{
public:
    explicit TFakeDisc(QList<TTitleIndex> titles) : Titles(std::move(titles)) {}
    bool IsOpen() const override { return true; }
    int TitleCount() const override { return int(Titles.size()); }
    TTitleIndex IndexInfo(int title) const override { return Titles.value(title); }
    int TitleAngle(int title) const override { return title + 1; }
    QList<TTitleIndex> Titles;
};

TEST(LoadDvdTitles, PalTwoSets)
{
    int pumps = 0;
    const QList<TTitleNode> titles = LoadDvdTitles(Disc("pal_two_sets"), [&] { ++pumps; });
    ASSERT_EQ(titles.size(), 2);
    EXPECT_EQ(IfoList().size(), 2);
    EXPECT_EQ(DVDInfo().Standard, "PAL");
    EXPECT_EQ(DVDInfo().FrameRate, 25);
    EXPECT_EQ(DVDInfo().VideoTsPath, Disc("pal_two_sets") + "/VIDEO_TS/");
    EXPECT_GE(pumps, 4); // before each file and each title at least

    const TaskItem &t1 = titles[0].title;
    EXPECT_TRUE(t1.IsTitle);
    EXPECT_EQ(t1.Number, 1);
    EXPECT_EQ(t1.DisplayName, "Title01 [MPEG2 720x576 PAL 16:9]");
    EXPECT_EQ(t1.AspectRatio, "16:9");
    EXPECT_EQ(t1.DiscStartText, "00:00:00");
    EXPECT_EQ(t1.DiscEndText, "00:00:06");
    EXPECT_EQ(t1.TrimEndText, "00:00:06");
    EXPECT_EQ(t1.DiscEnd, 6);
    EXPECT_EQ(t1.Duration, 6);
    EXPECT_EQ(t1.OutputName, "Title01");
    EXPECT_EQ(t1.ImageIndex, 0);
    EXPECT_EQ(t1.AudioTracks, (QStringList{"English AC3 6ch", "French AC3 2ch"}));
    EXPECT_EQ(t1.AudioLanguages, (QStringList{"en", "fr"}));
    EXPECT_EQ(t1.Subtitles, (QStringList{"None", "English"}));
    EXPECT_EQ(t1.AngleCount, 1);
    EXPECT_FALSE(t1.Checked);

    ASSERT_EQ(titles[0].chapters.size(), 3);
    const QStringList starts{"00:00:00", "00:00:02", "00:00:04"}, ends{"00:00:02", "00:00:04", "00:00:06"};
    for (int j = 0; j < 3; ++j) {
        const TaskItem &c = titles[0].chapters[j];
        EXPECT_FALSE(c.IsTitle);
        EXPECT_EQ(c.Number, j + 1);
        EXPECT_EQ(c.DisplayName, QStringLiteral("Chapter0%1").arg(j + 1));
        EXPECT_EQ(c.OutputName, QStringLiteral("Title01-Chapter0%1").arg(j + 1));
        EXPECT_EQ(c.DiscStartText, starts[j]);
        EXPECT_EQ(c.DiscEndText, ends[j]);
        EXPECT_EQ(c.TrimStart, c.DiscStart);
        EXPECT_EQ(c.ImageIndex, 1);
        EXPECT_EQ(c.Duration, 0);
        EXPECT_TRUE(c.AudioTracks.isEmpty());
    }

    const TaskItem &t2 = titles[1].title;
    EXPECT_EQ(t2.Number, 2);
    EXPECT_EQ(t2.DiscEndText, "00:00:05");
    EXPECT_EQ(t2.AudioTracks, QStringList{"French MPEG1 2ch"});
    EXPECT_EQ(t2.Subtitles, QStringList{"None"});
    ASSERT_EQ(titles[1].chapters.size(), 2);
    EXPECT_EQ(titles[1].chapters[1].DiscStartText, "00:00:03");
    EXPECT_EQ(titles[1].chapters[1].DiscEndText, "00:00:05");
    EXPECT_EQ(CheckLongestTitle(titles), 0);
}

TEST(LoadDvdTitles, NtscDiscWithTwoEqualTitles)
{
    const QList<TTitleNode> titles = LoadDvdTitles(Disc("ntsc_4x3"));
    ASSERT_EQ(titles.size(), 2);
    EXPECT_EQ(DVDInfo().Standard, "NTSC");
    EXPECT_DOUBLE_EQ(DVDInfo().FrameRate, 29.97);
    EXPECT_EQ(titles[0].title.DisplayName, "Title01 [MPEG2 720x480 NTSC 4:3]");
    EXPECT_EQ(titles[0].title.Duration, titles[1].title.Duration);
    EXPECT_EQ(CheckLongestTitle(titles), 0); // the first of two equals
}

TEST(LoadDvdTitles, AudioFilteredByTheChain)
{
    const QList<TTitleNode> titles = LoadDvdTitles(Disc("two_pgcs"));
    ASSERT_EQ(titles.size(), 2);
    EXPECT_EQ(titles[0].title.AudioTracks,
              (QStringList{"English AC3 2ch", "French AC3 2ch", "Deutsch AC3 2ch"}));
    // The second chain allows streams 0 and 2 of three.
    EXPECT_EQ(titles[1].title.AudioTracks, (QStringList{"English AC3 2ch", "Deutsch AC3 2ch"}));
    EXPECT_EQ(titles[1].title.AudioLanguages, (QStringList{"en", "de"}));
    EXPECT_EQ(titles[1].chapters.size(), 1);
}

TEST(LoadDvdTitles, TwelveTitles)
{
    const QList<TTitleNode> titles = LoadDvdTitles(Disc("many_titles"));
    QStringList expected;
    for (int n = 1; n <= 12; ++n)
        expected << QStringLiteral("Title%1").arg(n, 2, 10, QLatin1Char('0'));
    EXPECT_EQ(Names(titles), expected);
    ASSERT_EQ(titles[2].chapters.size(), 10);
    EXPECT_EQ(titles[2].chapters[9].DisplayName, "Chapter10");
    EXPECT_EQ(titles[2].chapters[9].OutputName, "Title03-Chapter10");
    EXPECT_EQ(titles[2].chapters[9].DiscStartText, "00:00:09");
    EXPECT_EQ(titles[11].title.DisplayName, "Title12 [MPEG2 720x576 PAL 16:9]");
    EXPECT_EQ(CheckLongestTitle(titles), 2);
}

TEST(LoadDvdTitles, FolderFormsOpenTheSameTitles)
{
    const QString parent = Disc("pal_two_sets");
    const QString expected = Describe(LoadDvdTitles(parent));
    const QString path = DVDInfo().VideoTsPath;
    ASSERT_FALSE(expected.isEmpty());
    for (const QString &form :
         {parent + "/", parent + "/VIDEO_TS", parent + "/VIDEO_TS/", parent + "//VIDEO_TS//"}) {
        EXPECT_EQ(Describe(LoadDvdTitles(form)), expected) << form.toStdString();
        EXPECT_TRUE(DVDInfo().VideoTsPath.endsWith("/")) << form.toStdString();
        EXPECT_EQ(QDir(DVDInfo().VideoTsPath).canonicalPath(), QDir(path).canonicalPath())
            << form.toStdString();
    }
}

TEST(LoadDvdTitles, LowerCaseFileNames)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("video_ts"));
    const QDir source(Disc("pal_two_sets") + "/VIDEO_TS");
    for (const QString &name : source.entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(source.filePath(name), dir.filePath("video_ts/" + name.toLower())));
    const QString expected = Describe(LoadDvdTitles(Disc("pal_two_sets")));

    for (const QString &form : {dir.path(), dir.path() + "/video_ts", dir.path() + "/video_ts/"}) {
        const QList<TTitleNode> titles = LoadDvdTitles(form);
        EXPECT_EQ(Describe(titles), expected) << form.toStdString();
        EXPECT_EQ(DVDInfo().VideoTsPath, dir.path() + "/video_ts/") << form.toStdString();
    }
}

TEST(LoadDvdTitles, TitlesOutsideTheIfoListAreLeftOut)
{
    // pal_two_sets: two files of one chain each.
    const QList<TTitleIndex> table{{0, 0}, {-1, -1}, {0, -1}, {5, 0}, {0, 7}, {1, 0}, {2, 0}, {-1, 0}};
    const QList<TTitleNode> titles = LoadDvdTitles(
        Disc("pal_two_sets"), {}, [&](const QString &) { return std::make_unique<TFakeDisc>(table); });
    EXPECT_EQ(Names(titles), (QStringList{"Title01", "Title06"}));
    ASSERT_EQ(titles.size(), 2);
    EXPECT_EQ(titles[1].title.Number, 6);
    EXPECT_EQ(titles[1].title.AngleCount, 6);
    EXPECT_EQ(titles[1].chapters[0].OutputName, "Title06-Chapter01");
    EXPECT_EQ(titles[1].title.AudioTracks, QStringList{"French MPEG1 2ch"});
}

TEST(LoadDvdTitles, FoldersWithoutADisc)
{
    QTemporaryDir dir;
    bool opened = true;
    EXPECT_TRUE(LoadDvdTitles(dir.path(), {}, {}, &opened).isEmpty());
    EXPECT_FALSE(opened);
    EXPECT_EQ(DVDInfo().VideoTsPath, dir.path() + "/VIDEO_TS/");
    EXPECT_TRUE(IfoList().isEmpty());
}

TEST(LoadDvdTitles, UnreadableIfoEndsTheOpen)
{
    QTemporaryDir dir;
    const QDir source(Disc("pal_two_sets") + "/VIDEO_TS");
    ASSERT_TRUE(QDir(dir.path()).mkdir("VIDEO_TS"));
    for (const QString &name : source.entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(source.filePath(name), dir.filePath("VIDEO_TS/" + name)));
    LoadDvdTitles(Disc("pal_two_sets"));
    ASSERT_EQ(IfoList().size(), 2);

    QFile broken(dir.filePath("VIDEO_TS/VTS_02_0.IFO"));
    ASSERT_TRUE(broken.open(QIODevice::ReadWrite));
    ASSERT_TRUE(broken.resize(300));
    broken.close();
    try {
        LoadDvdTitles(dir.path());
        FAIL() << "no error";
    } catch (const TIfoError &e) {
        EXPECT_TRUE(e.Text().contains("VTS_02_0.IFO")) << e.what();
    }
    EXPECT_TRUE(IfoList().isEmpty());
}

TEST(CheckLongestTitle, FirstOfTheLongest)
{
    const struct
    {
        QList<double> Durations;
        int Kept;
    } cases[] = {
        {{}, -1}, {{5}, 0}, {{3, 5, 5}, 1}, {{5, 3}, 0}, {{0, 0}, 0}, {{1, 2, 3, 4, 4.5, 4}, 4},
    };
    for (const auto &c : cases) {
        QList<TTitleNode> titles;
        for (double d : c.Durations) {
            TTitleNode node;
            node.title.IsTitle = true;
            node.title.Duration = d;
            node.chapters.append(TaskItem{});
            titles.append(node);
        }
        EXPECT_EQ(CheckLongestTitle(titles), c.Kept);
    }
}

} // namespace
