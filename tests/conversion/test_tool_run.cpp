// The tool runs with the fake tools of tests/fixtures: progress figures and
// their pace, Stop, tools that cannot be started, non-zero exits, and tools
// that never exit.

#include "conversion/ToolRun.h"

#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

namespace {

const QString FakeMencoder = QStringLiteral(VELMORA_SOURCE_DIR "/tests/fixtures/fake_mencoder");
const QString FakeFfmpeg = QStringLiteral(VELMORA_SOURCE_DIR "/tests/fixtures/fake_ffmpeg");

struct Observed
{
    QList<TProgressFigures> figures;
    bool started = false;
    TRunResult result;
    qint64 ms = 0;
};

// Runs to the end; `during` is called once the run has signalled progress.
Observed RunToEnd(TToolRun &run, std::function<void()> during = {})
{
    Observed o;
    QObject::connect(&run, &TToolRun::started, [&] { o.started = true; });
    QObject::connect(&run, &TToolRun::progressChanged, [&](const TProgressFigures &f) {
        o.figures.append(f);
        if (during) {
            auto d = during;
            during = {};
            d();
        }
    });
    QElapsedTimer clock;
    clock.start();
    o.result = run.WaitForFinished();
    o.ms = clock.elapsed();
    return o;
}

TStageContext TwoSecondItem()
{
    TStageContext c;
    c.ItemSeconds = 2;
    c.ItemFrames = 50;
    c.TotalSeconds = 8;
    c.DoneSeconds = 2;
    c.FrameRate = 25;
    return c;
}

TProgressFigures Figures(int current, int total, const QString &frames)
{
    TProgressFigures f;
    f.CurrentPercent = current;
    f.TotalPercent = total;
    f.FrameText = frames;
    return f;
}

class ToolRunTest : public ::testing::Test
{
protected:
    QTemporaryDir dir{QDir::tempPath() + "/tool run XXXXXX"}; // a blank in every path
    QString Intermediate() const { return dir.path() + "/temp.avi"; }
    QString FirstStageArgs(const char *endpos = "2.000") const
    {
        return QStringLiteral(" dvd://1 -dvd-device \"/media/My Disc/VIDEO_TS\" -ss 0.000 -endpos ") +
               endpos + " -ovc lavc -o \"" + Intermediate() + "\"";
    }
    QString SecondStageArgs() const
    {
        return " -y -i \"" + Intermediate() + "\" -s 352x288 \"" + dir.path() + "/My Out.mp4\"";
    }
    void MakeIntermediate() const
    {
        QFile f(Intermediate());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("avi");
    }
};

} // namespace

TEST_F(ToolRunTest, FirstStageProgressFromStatusLines)
{
    TScopedEnv env{{"FAKE_TOOL_PACE", "0.01"}, {"FAKE_TOOL_STEPS", "60"}};
    TFirstStageRun run(FakeMencoder, FirstStageArgs(), TwoSecondItem());
    const Observed o = RunToEnd(run);
    EXPECT_TRUE(o.started);
    EXPECT_EQ(o.result.Outcome, TRunOutcome::Finished) << o.result.Detail.toStdString();
    EXPECT_EQ(o.result.ExitCode, 0);
    EXPECT_TRUE(QFile::exists(Intermediate())); // the quoted -o path arrived whole
    ASSERT_FALSE(o.figures.isEmpty());
    // 2 s of a 2 s item: half the current bar, 25 frames shown of 50, (2 + 2) / 8 of the batch.
    EXPECT_EQ(o.figures.last(), Figures(50, 50, "25 / 50"));
    EXPECT_DOUBLE_EQ(run.Position(), 2.0);
    for (int i = 1; i < o.figures.size(); ++i) {
        EXPECT_NE(o.figures[i], o.figures[i - 1]); // only changes are signalled
        EXPECT_GE(o.figures[i].CurrentPercent, o.figures[i - 1].CurrentPercent);
    }
    EXPECT_GT(run.ChunkCount(), TFirstStageRun::SkippedChunks);
}

TEST_F(ToolRunTest, SecondStageProgressFromClockForm)
{
    MakeIntermediate();
    TScopedEnv env{{"FAKE_TOOL_PACE", "0.01"}, {"FAKE_TOOL_DURATION", "2"}};
    TSecondStageRun run(FakeFfmpeg, SecondStageArgs(), TwoSecondItem());
    const Observed o = RunToEnd(run);
    EXPECT_EQ(o.result.Outcome, TRunOutcome::Finished) << o.result.Detail.toStdString();
    EXPECT_TRUE(QFile::exists(dir.path() + "/My Out.mp4"));
    ASSERT_FALSE(o.figures.isEmpty());
    EXPECT_EQ(o.figures.last(), Figures(100, 75, "50 / 50"));
    EXPECT_GE(o.figures.first().CurrentPercent, 50);
}

TEST_F(ToolRunTest, ProgressIsSignalledAtMostOncePerInterval)
{
    // A status line every millisecond, as mencoder prints one per frame.
    TScopedEnv env{{"FAKE_TOOL_PACE", "0.001"}, {"FAKE_TOOL_STEPS", "300"}};
    TFirstStageRun run(FakeMencoder, FirstStageArgs("30.000"), TStageContext{30, 750, 60, 0, 25});
    run.SetProgressInterval(100);
    const Observed o = RunToEnd(run);
    ASSERT_EQ(o.result.Outcome, TRunOutcome::Finished);
    EXPECT_LE(o.figures.size(), o.ms / 100 + 2) << "run of " << o.ms << " ms";
    ASSERT_FALSE(o.figures.isEmpty());
    EXPECT_EQ(o.figures.last().CurrentPercent, 50); // the last figures are never dropped
}

TEST_F(ToolRunTest, StopEndsEitherStage)
{
    MakeIntermediate();
    TScopedEnv env{{"FAKE_TOOL_PACE", "0.05"}, {"FAKE_TOOL_STEPS", "400"}};
    TFirstStageRun first(FakeMencoder, FirstStageArgs(), TwoSecondItem());
    TSecondStageRun second(FakeFfmpeg, SecondStageArgs(), TwoSecondItem());
    for (TToolRun *run : {static_cast<TToolRun *>(&first), static_cast<TToolRun *>(&second)}) {
        const Observed o = RunToEnd(*run, [run] { run->Terminate(); });
        EXPECT_EQ(o.result.Outcome, TRunOutcome::Cancelled);
        EXPECT_LT(o.ms, 15000);
        run->Terminate(); // a run that has ended is not affected
        EXPECT_EQ(run->Result().Outcome, TRunOutcome::Cancelled);
    }
    EXPECT_FALSE(QFile::exists(dir.path() + "/My Out.mp4"));
}

TEST_F(ToolRunTest, ToolThatCannotBeStarted)
{
    const QString missing = dir.path() + "/no such tool";
    TPreliminaryRun pre(missing, " dvd://1");
    TFirstStageRun first(missing, FirstStageArgs(), TwoSecondItem());
    TSecondStageRun second(missing, SecondStageArgs(), TwoSecondItem());
    for (TToolRun *run :
         {static_cast<TToolRun *>(&pre), static_cast<TToolRun *>(&first), static_cast<TToolRun *>(&second)}) {
        bool finishedInsideStart = false;
        bool inStart = true;
        QObject::connect(run, &TToolRun::finished, [&] { finishedInsideStart = inStart; });
        run->Start();
        inStart = false;
        const TRunResult r = run->WaitForFinished();
        EXPECT_EQ(r.Outcome, TRunOutcome::LaunchFailed);
        EXPECT_FALSE(finishedInsideStart);
        EXPECT_TRUE(r.Detail.startsWith("could not be started")) << r.Detail.toStdString();
    }
}

TEST_F(ToolRunTest, NonZeroExitFailsTheStagesButNotThePreliminaryRun)
{
    MakeIntermediate();
    TScopedEnv env{{"FAKE_TOOL_EXIT", "3"}, {"FAKE_TOOL_STEPS", "5"}};
    TFirstStageRun first(FakeMencoder, FirstStageArgs(), TwoSecondItem());
    EXPECT_EQ(first.WaitForFinished().Outcome, TRunOutcome::Failed);
    EXPECT_EQ(first.Result().ExitCode, 3);
    EXPECT_EQ(first.Result().Detail, "exited with code 3");
    TSecondStageRun second(FakeFfmpeg, SecondStageArgs(), TwoSecondItem());
    EXPECT_EQ(second.WaitForFinished().Outcome, TRunOutcome::Failed);

    // The preliminary run has no encoder options: mencoder complains and exits 1.
    TPreliminaryRun pre(FakeMencoder, " dvd://1 -dvd-device \"/\" -o temp.avi");
    EXPECT_EQ(pre.WaitForFinished().Outcome, TRunOutcome::Finished);
    EXPECT_EQ(pre.Result().ExitCode, 1);
}

TEST_F(ToolRunTest, FirstStageThatNeverExitsIsEndedAsFinished)
{
    struct Case
    {
        const char *hang;
        const char *detail;
    };
    for (const Case &c : {Case{"summary", "did not exit after its closing summary"},
                          Case{"at-end", "did not exit at the end of the item"}}) {
        SCOPED_TRACE(c.hang);
        TScopedEnv env{{"FAKE_TOOL_HANG", c.hang}, {"FAKE_TOOL_STEPS", "40"}};
        TFirstStageRun run(FakeMencoder, FirstStageArgs(), TwoSecondItem());
        const Observed o = RunToEnd(run);
        EXPECT_EQ(o.result.Outcome, TRunOutcome::Finished);
        EXPECT_EQ(o.result.Detail, c.detail);
        EXPECT_GE(o.ms, TFirstStageRun::SummaryGraceMs);
        EXPECT_LT(o.ms, 30000);
        ASSERT_FALSE(o.figures.isEmpty());
        EXPECT_EQ(o.figures.last().CurrentPercent, 50);
    }
}

TEST_F(ToolRunTest, SilentToolIsEndedAsFailed)
{
    MakeIntermediate();
    TScopedEnv env{{"FAKE_TOOL_HANG", "silent"}};
    TFirstStageRun first(FakeMencoder, FirstStageArgs(), TwoSecondItem());
    TSecondStageRun second(FakeFfmpeg, SecondStageArgs(), TwoSecondItem());
    for (TToolRun *run : {static_cast<TToolRun *>(&first), static_cast<TToolRun *>(&second)}) {
        run->SetSilenceTimeout(1500);
        const TRunResult r = run->WaitForFinished();
        EXPECT_EQ(r.Outcome, TRunOutcome::Failed);
        EXPECT_TRUE(r.Detail.startsWith("stopped responding")) << r.Detail.toStdString();
    }
}

TEST_F(ToolRunTest, EventLoopRunsWhileAToolIsSilent)
{
    TScopedEnv env{{"FAKE_TOOL_HANG", "silent"}};
    TFirstStageRun run(FakeMencoder, FirstStageArgs(), TwoSecondItem());
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (++ticks == 5)
            run.Terminate(); // Stop works although the tool prints nothing
    });
    timer.start(50);
    EXPECT_EQ(run.WaitForFinished().Outcome, TRunOutcome::Cancelled);
    EXPECT_GE(ticks, 5);
}

TEST_F(ToolRunTest, ArgumentsArriveSplitAtBlanksOutsideQuotes)
{
    const QString log = dir.path() + "/args.log";
    TScopedEnv env{{"FAKE_TOOL_LOG", log.toUtf8().constData()}, {"FAKE_TOOL_STEPS", "1"}};
    TFirstStageRun run(FakeMencoder, FirstStageArgs(), TwoSecondItem());
    run.WaitForFinished();
    QFile f(log);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split('\n');
    EXPECT_EQ(lines.mid(0, 4),
              QStringList({"fake_mencoder", "dvd://1", "-dvd-device", "/media/My Disc/VIDEO_TS"}));
    EXPECT_TRUE(lines.contains(Intermediate()));
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
