// The batch with the real mencoder and ffmpeg on a fixture disc: a 2-second
// chapter, and a whole title (where Debian's mencoder 1.5 does not exit by
// itself), each checked with ffprobe.

#include "conversion/BatchDriver.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

namespace {

const QString Disc = QStringLiteral(VELMORA_FIXTURE_DIR "/pal_two_sets/VIDEO_TS/");

class QuietView : public TBatchView
{
public:
    QStringList messages;
    void ShowMessage(const QString &text, const QString &, TMessageKind) override { messages << text; }
    bool AskYesNo(const QString &, const QString &) override { return true; }
};

class NoPower : public TPowerControl
{
public:
    bool PowerOff() override { return false; }
};

double ProbeDuration(const QString &file, QString *streams)
{
    QProcess probe;
    probe.start("ffprobe", {"-v", "error", "-show_entries", "format=duration:stream=codec_type", "-of",
                            "default=noprint_wrappers=1:nokey=1", file});
    probe.waitForFinished(60000);
    const QStringList lines =
        QString::fromUtf8(probe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    *streams = lines.mid(0, lines.size() - 1).join(',');
    return lines.isEmpty() ? -1 : lines.last().toDouble();
}

TaskItem Item(bool isTitle, int number, double start, double end, const QString &name)
{
    TaskItem t;
    t.IsTitle = isTitle;
    t.Number = number;
    t.AspectRatio = "16:9";
    t.TrimStart = start;
    t.TrimEnd = end;
    t.TrimStartText = QString("00:00:%1").arg(start, 6, 'f', 3, QChar('0'));
    t.TrimEndText = QString("00:00:%1").arg(end, 6, 'f', 3, QChar('0'));
    t.OutputName = name;
    return t;
}

} // namespace

TEST(EndToEnd, RealToolsConvertAChapterAndAWholeTitle)
{
    if (!QFile::exists(Disc + "VIDEO_TS.IFO"))
        GTEST_SKIP() << "test discs not built: " << Disc.toStdString();
    QTemporaryDir dir(QDir::tempPath() + "/end to end XXXXXX");
    const QString out = dir.path() + "/My Rips", work = dir.path() + "/work dir";
    QDir().mkpath(out);
    QDir().mkpath(work);
    const QString profile = dir.path() + "/Simple.apf";
    {
        QFile f(profile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(
            "[Main]\r\nType=mp4\r\nPara=3\r\n0=Video Size\r\n1=Video Bitrate\r\n2=Sample Rate\r\n"
            "[Video Size]\r\nSort=1\r\nList=0\r\nReadOnly=1\r\ncmd=-s\r\nCaption=352x288\r\nValue=352x288\r\n"
            "[Video Bitrate]\r\nSort=1\r\nList=0\r\ncmd=-b:v\r\nCaption=600k\r\n"
            "[Sample Rate]\r\nSort=2\r\ncmd=-ar\r\nCaption=44100,48000,\r\nValue=44100,48000,\r\n");
    }

    // Title 1, chapter 2 (2 s to 4 s) with the second audio language; the
    // whole of title 2 (5 s), whose span ends exactly at the title's end.
    TaskItem title1 = Item(true, 1, 0, 6, "Title01");
    title1.AudioLanguages = {"en", "fr"};
    TaskItem chapter = Item(false, 2, 2, 4, "Title01-Chapter02");
    chapter.AudioLanguageIndex = 1;
    TaskItem title2 = Item(true, 2, 0, 5, "Title02");
    title2.AudioLanguages = {"fr"};

    TBatchRequest r;
    r.Items = {{chapter, title1}, {title2, title2}};
    r.OutputFolder = out;
    r.ProfilePath = profile;
    r.GridText = [](int sort, const QString &name) {
        return sort == 1 && name == "Video Bitrate" ? QString("600k") : QString("44100");
    };
    r.OutputExtension = ".mp4";
    r.VolumeName = "PAL DISC";
    r.VideoTsPath = Disc;
    r.FrameRate = 25;
    r.WorkDir = work;
    r.ProgramDir = dir.path() + "/";
    r.FirstStageTool = "mencoder";
    r.SecondStageTool = "ffmpeg";

    QuietView view;
    NoPower power;
    TBatchDriver driver(view, power);
    TBatchSummary summary;
    bool finished = false;
    QEventLoop loop;
    QObject::connect(&driver, &TBatchDriver::batchFinished, [&](const TBatchSummary &s) {
        summary = s;
        finished = true;
        loop.quit();
    });
    ASSERT_TRUE(driver.Start(r));
    QTimer::singleShot(240000, &loop, &QEventLoop::quit);
    loop.exec();
    ASSERT_TRUE(finished);
    ASSERT_EQ(summary.Outcome, TBatchOutcome::Completed) << view.messages.join('\n').toStdString();
    EXPECT_EQ(view.messages, QStringList({"The conversion is completed successfully."}));
    EXPECT_FALSE(QFile::exists(work + "/temp.avi"));

    const QList<QPair<QString, double>> expected = {{out + "/PAL DISC-Title01-Chapter02.mp4", 2.0},
                                                    {out + "/PAL DISC-Title02.mp4", 5.0}};
    for (const auto &e : expected) {
        SCOPED_TRACE(e.first.toStdString());
        QString streams;
        const double duration = ProbeDuration(e.first, &streams);
        EXPECT_NEAR(duration, e.second, 0.5);
        EXPECT_TRUE(streams.contains("video")) << streams.toStdString();
        EXPECT_TRUE(streams.contains("audio")) << streams.toStdString();
    }
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
