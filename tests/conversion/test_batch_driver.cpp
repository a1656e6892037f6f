// The batch driver with a fake view, a fake power control and the fake tools:
// the refusals to start, output names and the overwrite modes, cancel,
// failures named at the end, the completion actions and the work folder.

#include "conversion/BatchDriver.h"

#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

namespace {

const QString FakeMencoder = QStringLiteral(VELMORA_SOURCE_DIR "/tests/fixtures/fake_mencoder");
const QString FakeFfmpeg = QStringLiteral(VELMORA_SOURCE_DIR "/tests/fixtures/fake_ffmpeg");

struct Message
{
    QString text, caption;
    TMessageKind kind;
};

class FakeView : public TBatchView
{
public:
    QList<Message> messages;
    QStringList questions;
    QList<bool> answers; // the answers to the next questions; Yes when empty
    QStringList hints;
    QList<TProgressFigures> progress;
    QList<TFocusTarget> focus;
    QStringList opened;
    QStringList events; // the order of the visible steps
    bool turnOffNow = false;
    bool overrideTurnOff = false;
    int clockShown = 0;
    std::function<void(const TProgressFigures &)> onProgress;

    void ShowMessage(const QString &text, const QString &caption, TMessageKind kind) override
    {
        messages.append({text, caption, kind});
        events << "message";
    }
    bool AskYesNo(const QString &text, const QString &caption) override
    {
        questions << caption + ": " + text;
        return answers.isEmpty() ? true : answers.takeFirst();
    }
    void FocusField(TFocusTarget t) override { focus << t; }
    void LockForConversion(const QString &hint, bool turnOff) override
    {
        events << "lock";
        hints << hint;
        turnOffNow = overrideTurnOff ? turnOffNow : turnOff;
    }
    void ShowProgressPanel(bool shown) override { events << (shown ? "progress panel" : "input panel"); }
    void ShowHint(const QString &text) override { hints << text; }
    void HideHint() override { events << "hide hint"; }
    void ShowProgress(const TProgressFigures &f) override
    {
        progress << f;
        if (onProgress)
            onProgress(f);
    }
    void ShowClock(const QString &, const QString &) override { ++clockShown; }
    bool TurnOffChecked(bool) override { return turnOffNow; }
    void OpenFolder(const QString &path) override
    {
        opened << path;
        events << "open folder";
    }
    void CloseProgram() override { events << "close"; }
    void RestoreAfterConversion() override { events << "restore"; }

    QStringList Texts() const
    {
        QStringList t;
        for (const Message &m : messages)
            t << m.text;
        return t;
    }
};

class FakePower : public TPowerControl
{
public:
    int calls = 0;
    bool PowerOff() override
    {
        ++calls;
        return true;
    }
};

TaskItem Title(int number, double start, double end)
{
    TaskItem t;
    t.IsTitle = true;
    t.Number = number;
    t.AspectRatio = "16:9";
    t.AudioLanguages = {"en"};
    t.TrimStart = start;
    t.TrimEnd = end;
    t.TrimStartText = QString("00:00:%1").arg(start, 2, 'f', 0, QChar('0'));
    t.TrimEndText = QString("00:00:%1").arg(end, 2, 'f', 0, QChar('0'));
    t.OutputName = QString("Title%1").arg(number, 2, 10, QChar('0'));
    return t;
}

TaskItem Chapter(const TaskItem &title, int number, double start, double end)
{
    TaskItem c = Title(title.Number, start, end);
    c.IsTitle = false;
    c.Number = number;
    c.AudioLanguages.clear();
    c.OutputName = title.OutputName + QString("-Chapter%1").arg(number, 2, 10, QChar('0'));
    return c;
}

class BatchTest : public ::testing::Test
{
protected:
    QTemporaryDir dir{QDir::tempPath() + "/batch test XXXXXX"};
    QString out, work, program, log;
    FakeView view;
    FakePower power;
    TBatchDriver driver{view, power};
    TBatchSummary summary;
    bool finished = false;

    void SetUp() override
    {
        out = dir.path() + "/My Rips";
        work = dir.path() + "/work dir";
        program = dir.path() + "/program/";
        log = dir.path() + "/tools.log";
        QDir().mkpath(out);
        QDir().mkpath(work);
        QDir().mkpath(program + "Profiles");
        QDir().mkpath(dir.path() + "/My Disc/VIDEO_TS");
        WriteProfile("Simple", "[Main]\r\nType=mp4\r\nPara=2\r\n0=Video Size\r\n1=Video Bitrate\r\n"
                               "[Video Size]\r\nSort=1\r\ncmd=-s\r\nCaption=352x288,720x576,\r\n"
                               "Value=352x288,720x576,\r\n"
                               "[Video Bitrate]\r\nSort=1\r\nList=0\r\ncmd=-b:v\r\nCaption=800k\r\n");
        driver.SetNow([] { return QDateTime(QDate(2026, 12, 11), QTime(14, 30, 5)); });
        QObject::connect(&driver, &TBatchDriver::batchFinished, [this](const TBatchSummary &s) {
            summary = s;
            finished = true;
        });
    }

    void WriteProfile(const QString &name, const QByteArray &text)
    {
        QFile f(program + "Profiles/" + name + ".apf");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

    TBatchRequest Request(QList<TBatchItem> items = {})
    {
        if (items.isEmpty()) {
            const TaskItem t = Title(1, 0, 2);
            items = {{t, t}, {Chapter(t, 2, 2, 4), t}};
        }
        TBatchRequest r;
        r.Items = items;
        r.OutputFolder = out;
        r.ProfilePath = program + "Profiles/Simple.apf";
        r.GridText = [](int, const QString &name) {
            return name == "Video Size" ? QString("352x288") : QString("800k");
        };
        r.OutputExtension = ".mp4";
        r.VolumeName = "MY/DISC";
        r.VideoTsPath = dir.path() + "/My Disc/VIDEO_TS/";
        r.FrameRate = 25;
        r.WorkDir = work;
        r.ProgramDir = program;
        r.FirstStageTool = FakeMencoder;
        r.SecondStageTool = FakeFfmpeg;
        r.Overwrite = TOverwriteMode::Overwrite;
        r.ProgressIntervalMs = 50;
        return r;
    }

    // Starts the batch and waits for its end.
    bool Run(const TBatchRequest &r)
    {
        if (!driver.Start(r))
            return false;
        QEventLoop loop;
        QObject::connect(&driver, &TBatchDriver::batchFinished, &loop, &QEventLoop::quit);
        QTimer::singleShot(120000, &loop, &QEventLoop::quit);
        if (!finished)
            loop.exec();
        EXPECT_TRUE(finished);
        return true;
    }

    // Tool names and their last arguments, one entry per run.
    QStringList Runs() const
    {
        QFile f(log);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringList runs, current;
        for (const QString &line : QString::fromUtf8(f.readAll()).split('\n')) {
            if (line == "--") {
                runs << current.first() + " " + current.last();
                current.clear();
            } else if (!line.isEmpty() || !current.isEmpty()) {
                current << line;
            }
        }
        return runs;
    }

    QString Read(const QString &path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
};

} // namespace

TEST_F(BatchTest, RefusesToStartWithItsMessages)
{
    struct Case
    {
        const char *what;
        std::function<void(TBatchRequest &)> change;
        QString text, caption;
        bool focusProfile;
    };
    const QList<Case> cases = {
        {"nothing checked", [](TBatchRequest &r) { r.Items.clear(); },
         "Please have Titles and Chapters you want to convert checked.", "No Title or Chapter checked",
         false},
        {"empty output folder", [](TBatchRequest &r) { r.OutputFolder.clear(); },
         "The output path does not exist. Please specify another one.", "Output path does not exist", false},
        {"missing output folder", [this](TBatchRequest &r) { r.OutputFolder = out + "/gone/"; },
         "The output path does not exist. Please specify another one.", "Output path does not exist", false},
        {"missing profile", [this](TBatchRequest &r) { r.ProfilePath = program + "Profiles/Gone.apf"; },
         "Please select a valid output profile.", "Profile", true},
        {"value not among the choices",
         [](TBatchRequest &r) { r.GridText = [](int, const QString &) { return QString("1x1"); }; },
         "The value \"1x1\" of the profile parameter \"Video Size\" is not one of its choices.\nPlease "
         "select a "
         "valid output profile.",
         "Profile", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        view.messages.clear();
        view.events.clear();
        view.focus.clear();
        TBatchRequest r = Request();
        c.change(r);
        EXPECT_FALSE(driver.Start(r));
        ASSERT_EQ(view.messages.size(), 1);
        EXPECT_EQ(view.messages[0].text, c.text);
        EXPECT_EQ(view.messages[0].caption, c.caption);
        EXPECT_EQ(view.messages[0].kind, TMessageKind::Information);
        EXPECT_EQ(view.events, QStringList({"message"})); // the window stays idle
        if (c.focusProfile) {
            EXPECT_EQ(view.focus, QList<TFocusTarget>({TFocusTarget::Profile}));
        }
        EXPECT_EQ(driver.State(), csIdle);
        EXPECT_FALSE(driver.IsRunning());
    }
    // A width that is not a whole number is refused the same way.
    WriteProfile("Odd", "[Main]\r\nPara=1\r\n0=Size\r\n[Size]\r\nSort=1\r\nReadOnly=1\r\nList=0\r\ncmd=-s\r\n"
                        "Value=hd720\r\n");
    TBatchRequest r = Request();
    r.ProfilePath = program + "Profiles/Odd.apf";
    view.messages.clear();
    EXPECT_FALSE(driver.Start(r));
    ASSERT_EQ(view.messages.size(), 1);
    EXPECT_TRUE(view.messages[0].text.contains("whole pixels")) << view.messages[0].text.toStdString();
}

TEST_F(BatchTest, ConvertsEveryItemInOrder)
{
    TScopedEnv env{{"FAKE_TOOL_LOG", log.toUtf8()}, {"FAKE_TOOL_STEPS", "30"}};
    TBatchRequest r = Request();
    r.OpenFolderWhenDone = true;
    QList<int> started;
    QObject::connect(&driver, &TBatchDriver::itemStarted, [&](int i, const QString &) { started << i; });
    driver.SetClockInterval(100);
    ASSERT_TRUE(Run(r));
    EXPECT_EQ(summary.Outcome, TBatchOutcome::Completed);
    EXPECT_EQ(started, QList<int>({0, 1}));

    // "/" in the volume prefix is no folder in the file name; the hint shows the prefix as it is.
    const QString first = out + "/MY_DISC-Title01.mp4", second = out + "/MY_DISC-Title01-Chapter02.mp4";
    EXPECT_EQ(summary.OutputFiles, QStringList({first, second}));
    EXPECT_TRUE(QFile::exists(first));
    EXPECT_TRUE(QFile::exists(second));
    EXPECT_EQ(view.hints,
              QStringList({"Preparing to convert. Please wait...", "Converting: MY/DISC-Title01.mp4",
                           "Converting: MY/DISC-Title01-Chapter02.mp4"}));
    const QString temp = work + "/temp.avi";
    EXPECT_EQ(Runs(),
              QStringList({"fake_mencoder temp.avi", "fake_mencoder " + temp, "fake_ffmpeg " + first,
                           "fake_mencoder temp.avi", "fake_mencoder " + temp, "fake_ffmpeg " + second}));
    EXPECT_FALSE(QFile::exists(temp));

    EXPECT_EQ(view.Texts(), QStringList({"The conversion is completed successfully."}));
    EXPECT_EQ(view.messages[0].caption, "Complete");
    EXPECT_EQ(view.opened, QStringList({out}));
    EXPECT_EQ(view.events, QStringList({"lock", "progress panel", "hide hint", "message", "open folder",
                                        "input panel", "restore"}));
    EXPECT_EQ(power.calls, 0);
    EXPECT_EQ(driver.State(), csIdle);

    // Each item starts at 0 of its frames and ends full; the batch ends at 100 %.
    ASSERT_FALSE(view.progress.isEmpty());
    TProgressFigures itemStart, itemEnd, batchEnd;
    itemStart.CurrentPercent = 0;
    itemStart.FrameText = "0 / 50";
    itemEnd.CurrentPercent = 100;
    itemEnd.FrameText = "50 / 50";
    batchEnd.TotalPercent = 100;
    EXPECT_EQ(view.progress.count(itemStart), 2);
    EXPECT_EQ(view.progress.count(itemEnd), 2);
    EXPECT_EQ(view.progress.last(), batchEnd);
    int lastTotal = 0;
    for (const TProgressFigures &f : view.progress) {
        if (f.TotalPercent < 0)
            continue;
        EXPECT_GE(f.TotalPercent, lastTotal);
        lastTotal = f.TotalPercent;
    }
    EXPECT_GT(view.clockShown, 1);
}

TEST_F(BatchTest, ExistingOutputInEachOverwriteMode)
{
    const QString existing = out + "/MY_DISC-Title01.mp4";
    const QString stamped = out + "/MY_DISC-Title01-20261211-143005.mp4";
    struct Case
    {
        const char *what;
        TOverwriteMode mode;
        bool answer;
        bool stampedExists;
        QString written; // the file the item was converted to; empty: skipped
    };
    const QList<Case> cases = {
        {"ask, no", TOverwriteMode::Ask, false, false, ""},
        {"ask, yes", TOverwriteMode::Ask, true, false, existing},
        {"overwrite", TOverwriteMode::Overwrite, true, false, existing},
        {"rename", TOverwriteMode::Rename, true, false, stamped},
        {"rename, stamped name taken", TOverwriteMode::Rename, true, true,
         out + "/MY_DISC-Title01-20261211-143005-2.mp4"},
    };
    TScopedEnv env{{"FAKE_TOOL_LOG", log.toUtf8()}, {"FAKE_TOOL_STEPS", "5"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        QFile::remove(log);
        for (const QString &path : c.stampedExists ? QStringList{existing, stamped} : QStringList{existing}) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("keep me");
        }
        view.messages.clear();
        view.questions.clear();
        view.answers = {c.answer};
        finished = false;
        TBatchRequest r = Request();
        r.Items.removeLast();
        r.Overwrite = c.mode;
        ASSERT_TRUE(Run(r));
        if (c.mode == TOverwriteMode::Ask) {
            EXPECT_EQ(
                view.questions,
                QStringList({"Output File Exists: The output file MY_DISC-Title01.mp4 is already existent.\n"
                             "Click \"Yes\" to overwrite it. Click \"No\" to skip this file"}));
        } else {
            EXPECT_TRUE(view.questions.isEmpty());
        }
        EXPECT_EQ(view.Texts(), QStringList({"The conversion is completed successfully."}));
        if (c.written.isEmpty()) {
            EXPECT_TRUE(Runs().isEmpty()); // no tool runs for a skipped item
            EXPECT_EQ(summary.Skipped, 1);
        } else {
            EXPECT_EQ(summary.OutputFiles, QStringList({c.written}));
            EXPECT_TRUE(Read(c.written).startsWith("fake output"));
        }
        if (c.written != existing) {
            EXPECT_EQ(Read(existing), "keep me");
        }
        if (c.stampedExists) {
            EXPECT_EQ(Read(stamped), "keep me");
        }
    }
}

TEST_F(BatchTest, StopInEachStageCancels)
{
    for (const bool inSecondStage : {false, true}) {
        SCOPED_TRACE(inSecondStage ? "second stage" : "first stage");
        TScopedEnv env{
            {"FAKE_TOOL_LOG", log.toUtf8()}, {"FAKE_TOOL_STEPS", "100"}, {"FAKE_TOOL_PACE", "0.05"}};
        QFile::remove(log);
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        view.messages.clear();
        view.events.clear();
        finished = false;
        view.onProgress = [&](const TProgressFigures &f) {
            const bool second = f.CurrentPercent > 50 && f.CurrentPercent < 100;
            const bool first = f.CurrentPercent > 0 && f.CurrentPercent < 50;
            if (inSecondStage ? second : first)
                driver.Stop();
        };
        ASSERT_TRUE(Run(Request()));
        view.onProgress = nullptr;
        EXPECT_EQ(summary.Outcome, TBatchOutcome::Cancelled);
        EXPECT_EQ(driver.State(), csCancelled);
        EXPECT_EQ(view.Texts(), QStringList({"The conversion is canceled."}));
        EXPECT_EQ(view.messages[0].caption, "Cancel");
        EXPECT_FALSE(QFile::exists(work + "/temp.avi"));
        EXPECT_FALSE(QFile::exists(out + "/MY_DISC-Title01.mp4"));
        const QStringList runs = Runs();
        EXPECT_EQ(runs.size(), inSecondStage ? 3 : 2); // nothing after the stage that was stopped
        EXPECT_TRUE(view.events.endsWith("restore"));
        driver.Stop(); // no batch: nothing happens
    }
}

TEST_F(BatchTest, FailedItemsAreNamedAndTheBatchGoesOn)
{
    const TaskItem t1 = Title(1, 0, 2), t2 = Title(2, 0, 2), t3 = Title(3, 0, 2);
    // The second stage fails for every item, the first stage exits 2 for none; then
    // a first stage that fails.
    {
        TScopedEnv env{{"FAKE_FFMPEG_EXIT", "1"}, {"FAKE_TOOL_STEPS", "5"}};
        ASSERT_TRUE(Run(Request({{t1, t1}, {t2, t2}})));
        EXPECT_EQ(summary.Outcome, TBatchOutcome::Failed);
        EXPECT_EQ(view.Texts(), QStringList({"The conversion is completed, but these items failed:\n"
                                             "MY_DISC-Title01.mp4: the second stage exited with code 1\n"
                                             "MY_DISC-Title02.mp4: the second stage exited with code 1"}));
        EXPECT_EQ(view.messages[0].caption, "Complete");
    }
    {
        TScopedEnv env{
            {"FAKE_MENCODER_EXIT", "2"}, {"FAKE_TOOL_STEPS", "5"}, {"FAKE_TOOL_LOG", log.toUtf8()}};
        view.messages.clear();
        finished = false;
        QFile::remove(out + "/MY_DISC-Title01.mp4");
        ASSERT_TRUE(Run(Request({{t1, t1}})));
        EXPECT_EQ(view.Texts(), QStringList({"The conversion is completed, but these items failed:\n"
                                             "MY_DISC-Title01.mp4: the first stage exited with code 2"}));
        EXPECT_EQ(Runs().size(), 2); // no second stage after a failed first stage
    }
    {
        // No output file after the second stage is a failure too; the next item still runs.
        TScopedEnv env{{"FAKE_FFMPEG_NO_FILE", "1"}, {"FAKE_TOOL_STEPS", "5"}};
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        view.messages.clear();
        finished = false;
        ASSERT_TRUE(Run(Request({{t3, t3}})));
        EXPECT_EQ(view.Texts(), QStringList({"The conversion is completed, but these items failed:\n"
                                             "MY_DISC-Title03.mp4: the second stage wrote no output file"}));
    }
}

TEST_F(BatchTest, ToolsThatCannotBeStarted)
{
    TScopedEnv env{{"FAKE_TOOL_STEPS", "5"}};
    TBatchRequest r = Request();
    r.FirstStageTool = dir.path() + "/missing mencoder";
    ASSERT_TRUE(Run(r));
    EXPECT_EQ(summary.Outcome, TBatchOutcome::LaunchFailed);
    // The preliminary run reports and the batch goes on to the first stage,
    // which reports and ends the batch: no further item, no completion message.
    const QString reinstall = "Error. Please re-install Velmora DVD to MPEG Ripper";
    EXPECT_EQ(view.Texts(), QStringList({reinstall, reinstall}));
    EXPECT_EQ(view.messages[0].kind, TMessageKind::Plain);
    EXPECT_TRUE(view.events.endsWith("restore"));
    EXPECT_TRUE(view.events.contains("input panel"));
    EXPECT_FALSE(driver.IsRunning());

    // A second stage that cannot be started fails its item; the batch goes on.
    view.messages.clear();
    finished = false;
    r = Request();
    r.SecondStageTool = dir.path() + "/missing ffmpeg";
    ASSERT_TRUE(Run(r));
    EXPECT_EQ(summary.Outcome, TBatchOutcome::Failed);
    ASSERT_EQ(view.messages.size(), 3);
    EXPECT_EQ(view.messages[0].text, "Error");
    EXPECT_EQ(view.messages[1].text, "Error");
    EXPECT_TRUE(view.messages[2].text.contains("MY_DISC-Title01-Chapter02.mp4: the second stage could not be "
                                               "started"))
        << view.messages[2].text.toStdString();
}

TEST_F(BatchTest, CompletionActions)
{
    TScopedEnv env{{"FAKE_TOOL_STEPS", "5"}};
    const TaskItem t = Title(1, 0, 2);
    struct Case
    {
        const char *what;
        bool turnOffAtStart, turnOffAtEnd, exit, openDir;
        QStringList events;
        int powerCalls;
    };
    const QList<Case> cases = {
        {"turn off", true, true, true, true, {"lock", "progress panel", "hide hint", "close", "restore"}, 1},
        {"turn off unchecked during the batch",
         true,
         false,
         false,
         false,
         {"lock", "progress panel", "hide hint", "message", "input panel", "restore"},
         0},
        {"exit", false, false, true, true, {"lock", "progress panel", "hide hint", "close", "restore"}, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        view.events.clear();
        view.hints.clear();
        view.messages.clear();
        power.calls = 0;
        finished = false;
        view.overrideTurnOff = true;
        view.turnOffNow = c.turnOffAtEnd;
        TBatchRequest r = Request({{t, t}});
        r.TurnOffWhenDone = c.turnOffAtStart;
        r.ExitWhenDone = c.exit;
        r.OpenFolderWhenDone = c.openDir;
        ASSERT_TRUE(Run(r));
        EXPECT_EQ(view.events, c.events);
        EXPECT_EQ(power.calls, c.powerCalls);
        if (c.powerCalls) {
            EXPECT_EQ(view.hints.last(), "Conversion is completed. Turning off the computer...");
        }
    }
}

TEST_F(BatchTest, MissingWorkFolderFallsBackToTheProgramFolder)
{
    TScopedEnv env{{"FAKE_TOOL_LOG", log.toUtf8()}, {"FAKE_TOOL_STEPS", "5"}};
    const TaskItem t = Title(1, 0, 2);
    TBatchRequest r = Request({{t, t}});
    r.WorkDir = dir.path() + "/no such work dir";
    ASSERT_TRUE(Run(r));
    EXPECT_EQ(summary.Outcome, TBatchOutcome::Completed);
    EXPECT_TRUE(Runs().contains("fake_mencoder " + program + "temp.avi"));
    EXPECT_EQ(driver.WorkDir(), program);
    EXPECT_EQ(AppValues().WorkDir, program);
    EXPECT_FALSE(QFile::exists(program + "temp.avi"));
}

TEST_F(BatchTest, ClosingTheWindowAbortsAtOnce)
{
    TScopedEnv env{{"FAKE_TOOL_STEPS", "400"}, {"FAKE_TOOL_PACE", "0.05"}};
    view.onProgress = [&](const TProgressFigures &f) {
        if (f.CurrentPercent > 0 && QFile::exists(work + "/temp.avi"))
            driver.Abort();
    };
    QFile(work + "/temp.avi").open(QIODevice::WriteOnly);
    ASSERT_TRUE(Run(Request()));
    EXPECT_EQ(summary.Outcome, TBatchOutcome::Aborted);
    EXPECT_TRUE(view.messages.isEmpty());
    EXPECT_FALSE(QFile::exists(work + "/temp.avi"));
    EXPECT_FALSE(driver.IsRunning());
}

TEST(BatchNames, OutputPathAndHint)
{
    TaskItem item;
    item.OutputName = "Title01-Chapter02";
    EXPECT_EQ(TBatchDriver::OutputPathFor("/rips", "MYDISC", item, ".mpg"),
              "/rips/MYDISC-Title01-Chapter02.mpg");
    EXPECT_EQ(TBatchDriver::OutputPathFor("/rips/", "", item, ".mpg"), "/rips/Title01-Chapter02.mpg");
    EXPECT_EQ(TBatchDriver::OutputPathFor("/rips/", QString("A/B") + QChar(0) + "C", item, ".mp4"),
              "/rips/A_B_C-Title01-Chapter02.mp4");
    EXPECT_EQ(TBatchDriver::ConvertingHint("", item, ".mpg"), "Converting: -Title01-Chapter02.mpg");
    EXPECT_EQ(TBatchDriver::ConvertingHint("ABCDEFGHIJKLMNOPQR", item, ".mpg"),
              "Converting: ABCDEFGHIJKLMNOPQR-Title01-Chapter02.mpg");
    EXPECT_EQ(TBatchDriver::ConvertingHint("ABCDEFGHIJKLMNOPQRS", item, ".mpg"),
              "Converting: ABCDEFGHIJKLMNO...-Title01-Chapter02.mpg");
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
