// The command lines of both tools: the worked example piece by piece, the
// profile's resolution and its errors, quoting and the argument split.

#include "conversion/CommandLines.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

namespace {

TProfileParameter Param(const QString &name, int sort, const QString &cmd, bool list, const QString &caption,
                        const QString &value, bool readOnly = false)
{
    TProfileParameter p;
    p.Name = name;
    p.Sort = sort;
    p.Cmd = cmd;
    p.List = list;
    p.Caption = caption;
    p.Value = value;
    p.ReadOnly = readOnly;
    return p;
}

// The profile of the worked example: an editable size row, a list aspect, a
// read-only bit rate and a list sample rate, plus a row without a switch.
TProfile ExampleProfile()
{
    TProfile p;
    p.Parameters = {
        Param("Frame Size", 1, "-s", false, "352x288", ""),
        Param("Aspect", 1, "-aspect", true, "4:3,16:9,", "4:3,16:9,"),
        Param("Bitrate", 1, "-b", false, "1150 kbps", "1150", true),
        Param("Note", 3, "", false, "free text", ""),
        Param("Sample Rate", 2, "-ar", true, "44100 Hz,48000 Hz,", "44100,48000,"),
    };
    return p;
}

struct Grids
{
    QMap<QPair<int, QString>, QString> rows{
        {{1, "Frame Size"}, "352x288"},
        {{1, "Aspect"}, "4:3"},
        {{1, "Bitrate"}, "1150 kbps"},
        {{2, "Sample Rate"}, "44100 hz"},
    };
    TGridLookup Lookup() const
    {
        return [this](int sort, const QString &name) { return rows.value({sort, name}); };
    }
};

TaskItem ExampleTitle()
{
    TaskItem t;
    t.IsTitle = true;
    t.Number = 1;
    t.AspectRatio = "16:9";
    t.AudioLanguages = {"en", "fr"};
    t.TrimStartText = "00:00:00";
    t.TrimEndText = "00:10:30";
    return t;
}

TaskItem ExampleChapter()
{
    TaskItem c;
    c.Number = 2;
    c.OutputName = "Title01-Chapter02";
    c.TrimStartText = "00:05:12";
    c.TrimEndText = "00:10:30";
    c.AudioLanguageIndex = 0;
    return c;
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(CommandLines, WorkedExamplePieceByPiece)
{
    Grids grids;
    TMencOutputSettings settings;
    const TBuildResult encoder = BuildEncoderOptions(ExampleProfile(), grids.Lookup(), settings);
    ASSERT_TRUE(encoder.Ok()) << encoder.Error.toStdString();
    EXPECT_EQ(settings.VideoSize, "352:288");
    EXPECT_EQ(settings.Width, "352");
    EXPECT_EQ(settings.Height, "288");
    EXPECT_EQ(settings.Aspect, "4:3");
    EXPECT_EQ(settings.VideoBitrate, "1150");
    EXPECT_EQ(settings.AudioRate, "44100");
    const QString options = " -ovc lavc -lavcopts vcodec=mpeg4:vbitrate=1150:mbd=2:autoaspect -oac mp3lame "
                            "-lameopts vbr=2:q=5 -channels 2 -srate 44100 -af volume=10:0";
    EXPECT_EQ(encoder.Text, options);

    const TBuildResult args = BuildFirstStageArguments(ExampleChapter(), ExampleTitle(), encoder.Text,
                                                       "/tmp/Temp/", "/media/cdrom/VIDEO_TS/", settings);
    ASSERT_TRUE(args.Ok());
    const QStringList pieces = {
        " dvd://1",
        " -dvd-device \"/media/cdrom/VIDEO_TS\"",
        " -ss 312.000",
        " -endpos 318.000",
        options,
        " -alang en",
        " -vf scale=352:264,expand=352:288",
        " -o \"/tmp/Temp/temp.avi\"",
    };
    QString rest = args.Text;
    for (const QString &piece : pieces) {
        ASSERT_TRUE(rest.startsWith(piece))
            << "expected " << piece.toStdString() << "\nat " << rest.toStdString();
        rest = rest.mid(piece.size());
    }
    EXPECT_EQ(rest, "");

    TaskItem withSubtitle = ExampleChapter();
    withSubtitle.SubtitleIndex = 2;
    const QString sub = BuildFirstStageArguments(withSubtitle, ExampleTitle(), encoder.Text, "/tmp/Temp",
                                                 "/d/VIDEO_TS", settings)
                            .Text;
    EXPECT_TRUE(sub.endsWith(" -vf scale=352:264,expand=352:288 -sid 1 -o \"/tmp/Temp/temp.avi\""))
        << sub.toStdString();

    const TBuildResult converter = BuildConverterOptions(ExampleProfile(), grids.Lookup());
    ASSERT_TRUE(converter.Ok());
    EXPECT_EQ(converter.Text, " -s 352x288 -aspect 4:3 -b 1150 -ar 44100");

    const TBuildResult second =
        BuildSecondStageArguments(converter.Text, "/tmp/Temp", "/rips/Title01-Chapter02.mp4");
    ASSERT_TRUE(second.Ok());
    EXPECT_EQ(second.Text, " -y -i \"/tmp/Temp/temp.avi\" -s 352x288 -aspect 4:3 -b 1150 -ar 44100 "
                           "\"/rips/Title01-Chapter02.mp4\"");
}

TEST(CommandLines, EncoderOptionEdgeCases)
{
    struct Case
    {
        const char *what;
        QList<TProfileParameter> params;
        QString titleAspect;
        TMencOutputSettings expected;
        QString scalePiece; // empty: no -vf piece
        QString bitrate;
        QString srate;
    };
    const QList<Case> cases = {
        {"no -s, no -aspect",
         {Param("B", 1, "-b", false, "", "900", true)},
         "16:9",
         {"", "", "", "", "900", ""},
         "",
         "900",
         ""},
        {"empty -s value", {Param("S", 1, "-s", false, "", "", false)}, "4:3", {}, "", "800", ""},
        {"capital X, 16:9 aspect",
         {Param("S", 1, "-s", false, "", "720X576", true), Param("A", 1, "-aspect", false, "", "16:9", true)},
         "4:3",
         {"720:576", "720", "576", "16:9", "", ""},
         " -vf scale=720:405,expand=720:576",
         "800",
         ""},
        {"4:3 aspect with width 720",
         {Param("S", 1, "-s", false, "", "720x576", true), Param("A", 1, "-aspect", false, "", "4:3", true)},
         "16:9",
         {"720:576", "720", "576", "4:3", "", ""},
         " -vf scale=720:540,expand=720:576",
         "800",
         ""},
        {"ffmpeg's kbit/s form of -b",
         {Param("B", 1, "-b", false, "", "1500k", true)},
         "4:3",
         {"", "", "", "", "1500k", ""},
         "",
         "1500",
         ""},
        {"later -s wins, title aspect decides",
         {Param("S1", 1, "-s", false, "", "720x576", true), Param("S2", 1, "-s", false, "", "352x288", true),
          Param("R", 2, "-ar", false, "", "48000", true)},
         "16:9",
         {"352:288", "352", "288", "", "", "48000"},
         " -vf scale=352:198,expand=352:288",
         "800",
         "48000"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TProfile profile;
        profile.Parameters = c.params;
        TMencOutputSettings settings;
        const TBuildResult r = BuildEncoderOptions(profile, TGridLookup(), settings);
        ASSERT_TRUE(r.Ok()) << r.Error.toStdString();
        EXPECT_EQ(settings, c.expected);
        EXPECT_TRUE(r.Text.contains("vbitrate=" + c.bitrate + ":mbd=2")) << r.Text.toStdString();
        EXPECT_TRUE(r.Text.endsWith(" -srate " + c.srate + " -af volume=10:0")) << r.Text.toStdString();

        TaskItem title = ExampleTitle();
        title.AspectRatio = c.titleAspect;
        const QString args =
            BuildFirstStageArguments(title, title, r.Text, "/w", "/d/VIDEO_TS", settings).Text;
        if (c.scalePiece.isEmpty())
            EXPECT_FALSE(args.contains(" -vf ")) << args.toStdString();
        else
            EXPECT_TRUE(args.contains(c.scalePiece + " -o ")) << args.toStdString();
    }
}

TEST(CommandLines, ConverterOptionsPassSwitchesAsTheProfileHasThem)
{
    TProfile profile;
    profile.Parameters = {
        Param("Flag", 3, "-an", false, "(none)", "\\", true),
        Param("Two", 3, "-x", false, "", "\\\\", true),
        Param("Empty", 3, "-y2", false, "", "", true),
        Param("NoSwitch", 3, "", false, "", "value", true),
        Param("Threads", 3, "-threads", false, "2", ""),
    };
    const TBuildResult r = BuildConverterOptions(profile, [](int sort, const QString &name) {
        return sort == 3 && name == "Threads" ? QString("2") : QString();
    });
    ASSERT_TRUE(r.Ok());
    EXPECT_EQ(r.Text, " -an  -x \\\\ -threads 2");
}

TEST(CommandLines, ChapterUsesItsTitleButItsOwnChoices)
{
    TaskItem title = ExampleTitle();
    title.Number = 3;
    title.AspectRatio = "4:3";
    TaskItem chapter = ExampleChapter();
    chapter.AudioLanguageIndex = 1;
    chapter.TrimStartText = "00:00:00";
    chapter.TrimEndText = "00:00:07.5";
    TMencOutputSettings settings;
    settings.VideoSize = "352:288";
    settings.Width = "352";
    const QString args =
        BuildFirstStageArguments(chapter, title, " -enc", "/w/", "/d/VIDEO_TS", settings).Text;
    EXPECT_TRUE(
        args.startsWith(" dvd://3 -dvd-device \"/d/VIDEO_TS\" -ss 0.000 -endpos 7.500 -enc -alang fr"))
        << args.toStdString();
    EXPECT_TRUE(args.contains(" -vf scale=352:264,")) << args.toStdString();
}

TEST(CommandLines, NoAudioLanguagePieceWithoutALanguageAtTheIndex)
{
    // A disc stores two zero bytes (or blanks) for a stream without a language.
    const QString zeroBytes(2, QChar(0));
    for (const QStringList &languages : {QStringList{}, QStringList{"en"}, QStringList{"en", ""},
                                         QStringList{"en", zeroBytes}, QStringList{"en", "  "}}) {
        TaskItem title = ExampleTitle();
        title.AudioLanguages = languages;
        TaskItem chapter = ExampleChapter();
        chapter.AudioLanguageIndex = languages.isEmpty() ? 0 : 1;
        const TBuildResult r =
            BuildFirstStageArguments(chapter, title, "", "/w", "/d", TMencOutputSettings());
        ASSERT_TRUE(r.Ok());
        EXPECT_FALSE(r.Text.contains("-alang")) << r.Text.toStdString();
    }
}

TEST(CommandLines, PathsWithBlanksSurviveTheSplit)
{
    TaskItem title = ExampleTitle();
    title.TrimEndText = "00:00:02";
    const QString device = "/media/my user/My Disc/VIDEO_TS/";
    const QString work = "/tmp/work dir/";
    const TBuildResult first = BuildFirstStageArguments(title, title, " -ovc lavc", work, device, {});
    ASSERT_TRUE(first.Ok());
    const QStringList args = SplitArguments(first.Text);
    EXPECT_EQ(args, QStringList({"dvd://1", "-dvd-device", "/media/my user/My Disc/VIDEO_TS", "-ss", "0.000",
                                 "-endpos", "2.000", "-ovc", "lavc", "-alang", "en", "-o",
                                 "/tmp/work dir/temp.avi"}));

    const TBuildResult second = BuildSecondStageArguments(" -b:v 800k", work, "/home/me/My Rips/A B.mp4");
    EXPECT_EQ(SplitArguments(second.Text), QStringList({"-y", "-i", "/tmp/work dir/temp.avi", "-b:v", "800k",
                                                        "/home/me/My Rips/A B.mp4"}));

    // The preliminary run gets the mount point of the disc folder, quoted.
    QTemporaryDir dir;
    const QString disc = dir.path() + "/My Disc/VIDEO_TS/";
    ASSERT_TRUE(QDir().mkpath(disc));
    const QString mount = PreliminaryDrivePart(disc);
    EXPECT_FALSE(mount.isEmpty());
    EXPECT_TRUE(disc.startsWith(mount)) << mount.toStdString();
    const QStringList pre = SplitArguments(BuildPreliminaryArguments(title, disc));
    EXPECT_EQ(pre, QStringList({"dvd://1", "-dvd-device", mount, "-o", "temp.avi"}));

    // A double quote cannot be carried through the split: a clear error instead.
    EXPECT_FALSE(BuildFirstStageArguments(title, title, "", "/tmp/a\"b", device, {}).Ok());
    EXPECT_FALSE(BuildSecondStageArguments("", work, "/out/\"x\".mp4").Ok());
}

TEST(CommandLines, BadSpansAreErrors)
{
    TaskItem title = ExampleTitle();
    title.TrimStartText = "00:00:05";
    title.TrimEndText = "00:00:04";
    EXPECT_FALSE(BuildFirstStageArguments(title, title, "", "/w", "/d", {}).Ok());
    title.TrimStartText = "later";
    EXPECT_FALSE(BuildFirstStageArguments(title, title, "", "/w", "/d", {}).Ok());
}

TEST(CommandLines, UnresolvableProfilesAreReported)
{
    struct Case
    {
        const char *what;
        QList<TProfileParameter> params;
        QString rowText;
        QString errorPart;
    };
    const QList<Case> cases = {
        {"first parameter names no grid",
         {Param("Size", 0, "-s", false, "352x288", "")},
         "352x288",
         "no grid"},
        {"row text not among the choices",
         {Param("Rate", 2, "-ar", true, "44100,48000,", "44100,48000,")},
         "22050",
         "not one of its choices"},
        {"Value shorter than Caption",
         {Param("Rate", 2, "-ar", true, "44100,48000,", "44100,")},
         "48000",
         "no converter value"},
        {"Caption lacks its final comma",
         {Param("Rate", 2, "-ar", true, "44100,48000", "44100,48000,")},
         "48000",
         "not one of its choices"},
        {"width not a whole number", {Param("Size", 1, "-s", false, "", "")}, "wide x 288", "whole pixels"},
        {"width with a fraction", {Param("Size", 1, "-s", false, "", "")}, "352.5x288", "whole pixels"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TProfile profile;
        profile.Parameters = c.params;
        const TGridLookup lookup = [&](int, const QString &) { return c.rowText; };
        TMencOutputSettings settings;
        settings.Width = "stale";
        const TBuildResult encoder = BuildEncoderOptions(profile, lookup, settings);
        EXPECT_FALSE(encoder.Ok());
        EXPECT_TRUE(encoder.Error.contains(c.errorPart)) << encoder.Error.toStdString();
        EXPECT_TRUE(encoder.Text.isEmpty());
        EXPECT_EQ(settings, TMencOutputSettings());
        if (QString(c.errorPart) != "whole pixels") {
            EXPECT_FALSE(BuildConverterOptions(profile, lookup).Ok());
        }
    }

    // A broken parameter without a switch is never needed, so it is no error;
    // a later parameter with a bad Sort takes the grid of the one before it.
    TProfile profile;
    profile.Parameters = {Param("Comment", 0, "", true, "a,", "a,"),
                          Param("Rate", 2, "-ar", true, "1,", "11,"),
                          Param("Rate2", 7, "-ar2", true, "2,", "22,")};
    const TBuildResult ok = BuildConverterOptions(
        profile, [](int sort, const QString &name) { return sort == 2 ? (name == "Rate" ? "1" : "2") : ""; });
    EXPECT_TRUE(ok.Ok()) << ok.Error.toStdString();
    EXPECT_EQ(ok.Text, " -ar 11 -ar2 22");
    EXPECT_EQ(ResolveParameterValue(profile, "rate2", TGridLookup()).Error.isEmpty(), false);
    EXPECT_FALSE(ResolveParameterValue(profile, "Missing", TGridLookup()).Ok());
}

TEST(CommandLines, ProfileFiles)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/Simple.apf";
    WriteFile(path,
              "[Main]\r\nType=mp4\r\nPara=2\r\n0=Video Size\r\n1=Video Bitrate\r\n"
              "[Video Size]\r\nSort=1\r\ncmd=-s\r\nCaption=352x288,720x576,\r\nValue=352x288,720x576,\r\n"
              "Index=0\r\n"
              "[Video Bitrate]\r\nSort=1\r\nList=0\r\ncmd=-b:v\r\nCaption=900k\r\nValue=900k\r\n");
    const TGridLookup lookup = [](int, const QString &name) {
        return name == "Video Size" ? QString("720x576") : QString("1200k");
    };
    TMencOutputSettings settings;
    const TBuildResult encoder = BuildEncoderOptions(path, lookup, settings);
    ASSERT_TRUE(encoder.Ok()) << encoder.Error.toStdString();
    EXPECT_EQ(settings.VideoSize, "720:576");
    EXPECT_EQ(BuildConverterOptions(path, lookup).Text, " -s 720x576 -b:v 1200k");

    // A missing file gives empty texts and an empty record, and no error.
    settings.Width = "stale";
    const TBuildResult missing = BuildEncoderOptions(dir.path() + "/Gone.apf", lookup, settings);
    EXPECT_TRUE(missing.Ok());
    EXPECT_TRUE(missing.Text.isEmpty());
    EXPECT_EQ(settings, TMencOutputSettings());
    EXPECT_TRUE(BuildConverterOptions(dir.path() + "/Gone.apf", lookup).Text.isEmpty());
}

TEST(CommandLines, SplitArguments)
{
    const QList<QPair<QString, QStringList>> cases = {
        {"", {}},
        {"   ", {}},
        {" -a  b\tc ", {"-a", "b", "c"}},
        {" -o \"C:\\My Dir\\temp.avi\"", {"-o", "C:\\My Dir\\temp.avi"}},
        {"a\"b c\"d e", {"ab cd", "e"}},
        {"x \"\" y", {"x", "", "y"}},
        {"-i \"unclosed  stretch", {"-i", "unclosed  stretch"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SplitArguments(c.first), c.second) << c.first.toStdString();
}
