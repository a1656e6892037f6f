// The pieces of --rip that decide before anything runs: the arguments, the
// items a LIST names on a real test disc, the profile's own grid values, the
// remembered choices of Preferences.ini, the terminal's y/n question and the
// removal of a half-written output file.

#include "app/helpers/Helpers.h"
#include "conversion/CommandLines.h"
#include "conversion/RipCommand.h"
#include "profiles/ProfileFormat.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

namespace {

const QString kPalTwoSets = QStringLiteral(VELMORA_FIXTURE_DIR "/pal_two_sets");
const QString kShippedProfiles = QStringLiteral(VELMORA_SOURCE_DIR "/Profiles/");

QStringList Args(const QString &line)
{
    return line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

} // namespace

TEST(RipArguments, GoodCommandLines)
{
    TRipArguments a;
    QString error;
    ASSERT_TRUE(ParseRipArguments(Args("--rip /discs/A --output /out"), a, error)) << error.toStdString();
    EXPECT_EQ(a.Folder, QStringLiteral("/discs/A"));
    EXPECT_EQ(a.OutputDir, QStringLiteral("/out"));
    EXPECT_TRUE(a.Profile.isEmpty());
    EXPECT_TRUE(a.Items.isEmpty());
    EXPECT_FALSE(a.HasOverwrite);

    ASSERT_TRUE(ParseRipArguments(
        {QStringLiteral("--rip"), QStringLiteral("--output"), QStringLiteral("/my out"),
         QStringLiteral("--profile"), QStringLiteral("VCD - MPEG-1"), QStringLiteral("--items"),
         QStringLiteral("1,2.1"), QStringLiteral("--overwrite"), QStringLiteral("rename"),
         QStringLiteral("--work"), QStringLiteral("/tmp/w"), QStringLiteral("/discs/with blank")},
        a, error))
        << error.toStdString();
    EXPECT_EQ(a.Folder, QStringLiteral("/discs/with blank"));
    EXPECT_EQ(a.OutputDir, QStringLiteral("/my out"));
    EXPECT_EQ(a.Profile, QStringLiteral("VCD - MPEG-1"));
    EXPECT_EQ(a.Items, QStringLiteral("1,2.1"));
    EXPECT_EQ(a.WorkDir, QStringLiteral("/tmp/w"));
    EXPECT_TRUE(a.HasOverwrite);
    EXPECT_EQ(a.Overwrite, TOverwriteMode::Rename);

    for (const auto &[word, mode] :
         {std::pair{"ask", TOverwriteMode::Ask}, std::pair{"overwrite", TOverwriteMode::Overwrite}}) {
        ASSERT_TRUE(ParseRipArguments(
            Args(QStringLiteral("--rip D --output O --overwrite ") + QLatin1String(word)), a, error));
        EXPECT_EQ(a.Overwrite, mode) << word;
    }
}

TEST(RipArguments, BadCommandLinesSayWhatIsWrong)
{
    const struct
    {
        const char *line;
        const char *complaint;
    } cases[] = {
        {"--rip", "no disc folder"},
        {"--rip D", "no output folder"},
        {"--rip --output O", "no disc folder"},
        {"--rip D --output", "--output needs a value"},
        {"--rip D E --output O", "only one disc folder"},
        {"--rip D --output O --output P", "--output is given twice"},
        {"--rip D --output O --overwrite sometimes", "ask, overwrite or rename"},
        {"--rip D --output O --verbose", "unknown option --verbose"},
        {"--list D", "--rip"},
    };
    for (const auto &c : cases) {
        TRipArguments a;
        QString error;
        EXPECT_FALSE(ParseRipArguments(Args(QString::fromLatin1(c.line)), a, error)) << c.line;
        EXPECT_TRUE(error.contains(QLatin1String(c.complaint))) << c.line << " -> " << error.toStdString();
    }
}

TEST(RipItems, ListNamesTitlesAndChaptersOfTheDisc)
{
    const QList<TTitleNode> titles = LoadDvdTitles(kPalTwoSets);
    ASSERT_EQ(titles.size(), 2);

    QList<TBatchItem> items;
    QString error;
    ASSERT_TRUE(SelectRipItems(titles, QString(), items, error));
    ASSERT_EQ(items.size(), 1); // the longest title, as the open checks it
    EXPECT_EQ(items[0].Item.OutputName, QStringLiteral("Title01"));
    EXPECT_TRUE(items[0].Item.IsTitle);

    ASSERT_TRUE(SelectRipItems(titles, QStringLiteral("2, 1.3,1.3,2.1,2"), items, error))
        << error.toStdString();
    QStringList names;
    for (const TBatchItem &b : items)
        names << b.Item.OutputName + QLatin1Char('<') + b.Title.OutputName;
    EXPECT_EQ(names,
              (QStringList{QStringLiteral("Title02<Title02"), QStringLiteral("Title01-Chapter03<Title01"),
                           QStringLiteral("Title02-Chapter01<Title02")}));
    // A chapter brings its title's languages for the -alang piece.
    EXPECT_EQ(items[1].Title.AudioLanguages, (QStringList{QStringLiteral("en"), QStringLiteral("fr")}));

    const struct
    {
        const char *list;
        const char *complaint;
    } bad[] = {
        {"3", "no title 3"}, {"1.4", "title 1 has no chapter 4"},
        {"1.", "neither"},   {"x", "neither"},
        {"1,,2", "neither"}, {"-1", "neither"},
    };
    for (const auto &c : bad) {
        EXPECT_FALSE(SelectRipItems(titles, QString::fromLatin1(c.list), items, error)) << c.list;
        EXPECT_TRUE(error.contains(QLatin1String(c.complaint))) << c.list << " -> " << error.toStdString();
    }
}

TEST(RipProfile, GridValuesAreTheProfilesOwn)
{
    TProfile profile;
    auto param = [&](const char *name, int sort, bool list, const char *cmd, const char *caption,
                     const char *value, int index = 0) {
        TProfileParameter p;
        p.Name = QString::fromLatin1(name);
        p.Sort = sort;
        p.List = list;
        p.Cmd = QString::fromLatin1(cmd);
        p.Caption = QString::fromLatin1(caption);
        p.Value = QString::fromLatin1(value);
        p.Index = index;
        profile.Parameters.append(p);
    };
    param("Video Size", 1, true, "-s", "Original,720x576,352x288,", ",720x576,352x288,", 2);
    param("Bit Rate", 0, false, "-b", "1150000", ""); // no grid of its own: the Video grid
    param("Sample Rate", 2, true, "-ar", "44100 Hz,48000 Hz,", "44100,48000,", 7); // Index out of range

    const TGridLookup rows = ProfileOwnValues(profile);
    EXPECT_EQ(rows(1, QStringLiteral("video size")), QStringLiteral("352x288"));
    EXPECT_EQ(rows(1, QStringLiteral("Bit Rate")), QStringLiteral("1150000"));
    EXPECT_EQ(rows(2, QStringLiteral("Bit Rate")), QString());
    EXPECT_EQ(rows(2, QStringLiteral("Sample Rate")), QString());
    EXPECT_EQ(rows(3, QStringLiteral("Nothing")), QString());
}

TEST(RipProfile, EveryShippedProfileBuildsBothCommandLines)
{
    const QStringList files = ListFilesByExtension(kShippedProfiles, QStringLiteral(".apf"));
    ASSERT_GE(files.size(), 9);
    for (const QString &file : files) {
        const TProfile profile = ReadProfile(kShippedProfiles + file);
        TMencOutputSettings settings;
        const TBuildResult encoder = BuildEncoderOptions(profile, ProfileOwnValues(profile), settings);
        const TBuildResult converter = BuildConverterOptions(profile, ProfileOwnValues(profile));
        EXPECT_TRUE(encoder.Ok()) << file.toStdString() << ": " << encoder.Error.toStdString();
        EXPECT_TRUE(converter.Ok()) << file.toStdString() << ": " << converter.Error.toStdString();
        EXPECT_TRUE(converter.Text.contains(QLatin1String("codec "))) << file.toStdString();
    }
}

TEST(RipPreferences, RememberedChoices)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString prefs = dir.filePath(QStringLiteral("Preferences.ini"));

    const struct
    {
        const char *text;
        TOverwriteMode mode;
    } modes[] = {
        {"", TOverwriteMode::Ask},
        {"[Main]\r\nAsk=1\r\nOverwrite=0\r\n", TOverwriteMode::Ask},
        {"[Main]\r\nAsk=1\r\nOverwrite=1\r\n", TOverwriteMode::Overwrite},
        {"[Main]\r\nAsk=0\r\nOverwrite=0\r\n", TOverwriteMode::Rename},
        {"[Default]\r\nAsk=0\r\n", TOverwriteMode::Ask},
    };
    for (const auto &m : modes) {
        WriteFile(prefs, m.text);
        EXPECT_EQ(PreferredOverwriteMode(prefs), m.mode) << m.text;
    }

    EXPECT_EQ(PreferredProfileName(dir.filePath(QStringLiteral("missing.ini")), kShippedProfiles),
              StripExtension(ListFilesByExtension(kShippedProfiles, QStringLiteral(".apf")).first()));
    WriteFile(prefs, "[Main]\r\nProfile=6\r\nWork Dir=/var/tmp\r\n");
    EXPECT_EQ(PreferredProfileName(prefs, kShippedProfiles), QStringLiteral("VCD - MPEG-1"));
    EXPECT_EQ(PreferredWorkDir(prefs, QStringLiteral("/prog/")), QStringLiteral("/var/tmp/"));
    WriteFile(prefs, "[Main]\r\nProfile=-1\r\n");
    EXPECT_EQ(PreferredProfileName(prefs, kShippedProfiles), QString());
    EXPECT_EQ(PreferredWorkDir(prefs, QStringLiteral("/prog/")), QStringLiteral("/prog/"));
    WriteFile(prefs, "[Main]\r\nProfile=99\r\n");
    EXPECT_EQ(PreferredProfileName(prefs, kShippedProfiles), QString());
}

TEST(RipTerminal, QuestionReadsYesOrNo)
{
    const struct
    {
        QStringList lines;
        bool answer;
    } cases[] = {
        {{QStringLiteral("y")}, true},
        {{QStringLiteral(" YES ")}, true},
        {{QStringLiteral("n")}, false},
        {{QStringLiteral("maybe"), QStringLiteral(""), QStringLiteral("y")}, true},
        {{}, false}, // end of the input
    };
    for (const auto &c : cases) {
        QString printed;
        QTextStream err(&printed);
        QStringList lines = c.lines;
        TTerminalBatchView view(err, [&lines](QString &line) {
            if (lines.isEmpty())
                return false;
            line = lines.takeFirst();
            return true;
        });
        EXPECT_EQ(view.AskYesNo(QStringLiteral("The output file a.avi is already existent."),
                                QStringLiteral("Output File Exists")),
                  c.answer)
            << c.lines.join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(lines.isEmpty());
        EXPECT_TRUE(printed.contains(
            QLatin1String("Output File Exists: The output file a.avi is already existent.")));
    }
}

TEST(RipTerminal, ProgressLineNamesItemPercentAndTimes)
{
    QString printed;
    QTextStream err(&printed);
    TTerminalBatchView view(err, {});
    view.SetItem(1, 3, QStringLiteral("/out/Title01-Chapter02.avi"));
    TProgressFigures f;
    f.CurrentPercent = 45;
    f.TotalPercent = 48;
    view.ShowProgress(f);
    view.ShowClock(QStringLiteral("00:00:12"), QStringLiteral("00:00:13"));
    EXPECT_EQ(
        view.ProgressLine(),
        QStringLiteral("2/3 Title01-Chapter02.avi: 45% (total 48%) elapsed 00:00:12 remaining 00:00:13"));
    EXPECT_TRUE(printed.contains(
        QLatin1String("2/3 Title01-Chapter02.avi: converting to /out/Title01-Chapter02.avi")));
    EXPECT_TRUE(printed.contains(QLatin1String("2/3 Title01-Chapter02.avi: 45% (total 48%)")));
}

TEST(RipPartialOutput, OnlyTheUnfinishedItemsFreshFileGoes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString done = dir.filePath(QStringLiteral("Title01.avi"));
    const QString fresh = dir.filePath(QStringLiteral("Title02.avi"));
    const QString old = dir.filePath(QStringLiteral("Title03.avi"));
    WriteFile(done, "done");
    WriteFile(old, "from an earlier run");

    TBatchSummary cancelled;
    cancelled.Outcome = TBatchOutcome::Cancelled;
    cancelled.OutputFiles = {done};

    TPartialOutputGuard guard;
    guard.ItemStarted(fresh);
    WriteFile(fresh, "half");
    EXPECT_TRUE(guard.Clean(cancelled));
    EXPECT_FALSE(QFile::exists(fresh));

    // Stopped in the first stage: the old file was not touched and stays.
    guard.ItemStarted(old);
    EXPECT_FALSE(guard.Clean(cancelled));
    EXPECT_TRUE(QFile::exists(old));

    // A finished item's file stays whatever the outcome.
    guard.ItemStarted(done);
    EXPECT_FALSE(guard.Clean(cancelled));
    EXPECT_TRUE(QFile::exists(done));

    // A completed batch keeps everything; a failed item's fresh file goes.
    guard.ItemStarted(fresh);
    WriteFile(fresh, "half");
    TBatchSummary completed;
    EXPECT_FALSE(guard.Clean(completed));
    EXPECT_TRUE(QFile::exists(fresh));
    TBatchSummary failed;
    failed.Outcome = TBatchOutcome::Failed;
    failed.Failures = {
        {QStringLiteral("Title02.avi"), QStringLiteral("the second stage exited with code 1")}};
    QFile::remove(fresh);
    guard.ItemStarted(fresh);
    WriteFile(fresh, "half");
    EXPECT_TRUE(guard.Clean(failed));
    EXPECT_FALSE(QFile::exists(fresh));
}
