// The whole main window converting the test disc with the fake mencoder and
// ffmpeg (placed as the program folder's own tools): the window's state during
// and after a batch, the progress figures of both stages, Stop in each stage,
// an existing output file in each overwrite mode, tools that cannot be started
// or exit non-zero, the completion actions, and closing the window during a
// batch. Message boxes go through the message seam; the folder opening through
// a file URL handler; the power-off through a fake.
#include "app/ProgramInfo.h"
#include "app/helpers/AppValues.h"
#include "app/helpers/ui/Dialogs.h"
#include "app/ui/MainForm.h"
#include "conversion/BatchDriver.h"
#include "profiles/ui/SettingForm.h"
#include "tasks/TaskModel.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>

namespace {

const QString kFixtures = QStringLiteral(VELMORA_SOURCE_DIR "/tests/fixtures/");
const QString kDisc = QStringLiteral(VELMORA_FIXTURE_DIR "/pal_two_sets");
const QString kProduct = QStringLiteral("Velmora DVD to MPEG Ripper");
const QString kCompleted = QStringLiteral("The conversion is completed successfully.");
constexpr int kBatchTimeoutMs = 120000;

QByteArray ReadBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

void MakeExecutable(const QString &path)
{
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeUser);
}

class TFakePower : public TPowerControl
{
public:
    int Calls = 0;
    bool PowerOff() override
    {
        ++Calls;
        return true;
    }
};

// What the progress panel showed at one moment.
struct TSample
{
    int Current = 0;
    QString CurrentText;
    int Total = 0;
    QString TotalText;
    QString Frame;
    QString Elapsed;
    QString Remaining;
    QString Hint;
};

} // namespace

class ConversionWindowTest : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    void openUrl(const QUrl &url) { m_events << QStringLiteral("open:") + url.toLocalFile(); }

private Q_SLOTS:
    void init();
    void cleanup();

    void progressOfBothStages();
    void stopInEachStage_data();
    void stopInEachStage();
    void existingOutputInEachMode_data();
    void existingOutputInEachMode();
    void toolThatCannotBeStarted_data();
    void toolThatCannotBeStarted();
    void toolExitingNonZero_data();
    void toolExitingNonZero();
    void completionActions_data();
    void completionActions();
    void closingDuringBatch_data();
    void closingDuringBatch();
    void closingWhileTheBatchStarts();
    void refusedStartLeavesWindowIdle_data();
    void refusedStartLeavesWindowIdle();
    void openButtonOpensOutputFolder();

private:
    // Checks exactly these items: {title, 0} is a title, {title, chapter} a chapter.
    void CheckOnly(const QList<QPair<int, int>> &items);
    void Start() { QTest::mouseClick(m_form->imgStart, Qt::LeftButton); }
    // Polls rather than running a nested event loop: a window that closes
    // asks the application to quit, which ends every later nested loop at once.
    bool WaitForBatch()
    {
        return QTest::qWaitFor([this] { return !m_finished.isEmpty(); }, kBatchTimeoutMs);
    }
    // Waits until the current bar satisfies `condition` while a batch runs.
    bool WaitForCurrent(const std::function<bool(int)> &condition);
    void VerifyIdle();
    void VerifyBusy();
    QStringList Messages() const;
    int LogCount(const char *tool) const;
    QString Output(const QString &name) const { return m_out->filePath(name); }
    bool HasIntermediate() const { return QFileInfo::exists(m_work->filePath(QStringLiteral("temp.avi"))); }
    // A tool wrapper in the program folder that runs the fake with extra environment.
    void WrapTool(const char *tool, const QByteArray &environment);
    bool ToolsStillRunning() const;

    std::unique_ptr<QTemporaryDir> m_program, m_out, m_work;
    std::unique_ptr<TMainForm> m_form;
    std::unique_ptr<TSettingForm> m_settings;
    TFakePower m_power;
    QList<TMessageRequest> m_messages;
    QStringList m_events; // messages and folder openings, in order
    QMessageBox::StandardButton m_answer = QMessageBox::Yes;
    QList<TBatchSummary> m_finished;
};

void ConversionWindowTest::init()
{
    m_program = std::make_unique<QTemporaryDir>();
    m_out = std::make_unique<QTemporaryDir>();
    m_work = std::make_unique<QTemporaryDir>();
    QVERIFY(m_program->isValid() && m_out->isValid() && m_work->isValid());
    for (const char *tool : {"mencoder", "ffmpeg"}) {
        const QString target = m_program->filePath(QLatin1String(tool));
        QVERIFY(QFile::copy(kFixtures + QStringLiteral("fake_") + QLatin1String(tool), target));
        MakeExecutable(target);
    }
    QVERIFY(QDir(m_program->path()).mkdir(QStringLiteral("Profiles")));
    QVERIFY(QFile::copy(QStringLiteral(VELMORA_SOURCE_DIR "/Profiles/AVI - MPEG-4 MP3.apf"),
                        m_program->filePath(QStringLiteral("Profiles/AVI - MPEG-4 MP3.apf"))));
    const QByteArray preferences =
        "[Main]\r\nProfile=0\r\nOutput Path=" + QFile::encodeName(m_out->path()) +
        "/\r\nWork Dir=" + QFile::encodeName(m_work->path()) +
        "/\r\nAuto Open Dir=0\r\nAuto Exit=0\r\nAuto Turn Off=0\r\nAsk=1\r\nOverwrite=0\r\n";
    QVERIFY(WriteBytes(m_program->filePath(QStringLiteral("Preferences.ini")), preferences));

    qputenv("FAKE_TOOL_PACE", "0.02");
    qputenv("FAKE_TOOL_STEPS", "50");
    qputenv("FAKE_TOOL_DURATION", "2");
    qputenv("FAKE_TOOL_LOG", QFile::encodeName(m_program->filePath(QStringLiteral("tools.log"))));

    m_messages.clear();
    m_events.clear();
    m_answer = QMessageBox::Yes;
    m_power.Calls = 0;
    SetMessageHandler([this](const TMessageRequest &request) {
        m_messages << request;
        m_events << QStringLiteral("message:") + request.caption;
        return request.buttons.testFlag(QMessageBox::Yes) ? m_answer : QMessageBox::Ok;
    });
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openUrl");

    ProgramInfo::OverrideProgramDir(m_program->path());
    m_form = std::make_unique<TMainForm>();
    TMainForm *form = m_form.get();
    m_settings = std::make_unique<TSettingForm>(form, form->cmbProfile, form->edtOutputDir,
                                                [form] { form->cmbProfileChange(); });
    m_form->AttachDialogs(nullptr, m_settings.get(), nullptr, nullptr, nullptr);
    m_form->SetPowerControl(&m_power);
    QVERIFY(m_form->BatchDriver());
    m_finished.clear();
    connect(m_form->BatchDriver(), &TBatchDriver::batchFinished, this,
            [this](const TBatchSummary &summary) { m_finished << summary; });
    m_form->BatchDriver()->SetClockInterval(100); // the batch clock ticks ten times as fast
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    QCOMPARE(m_form->cmbProfile->currentText(), QStringLiteral("AVI - MPEG-4 MP3"));
    QCOMPARE(AppValues().OutputExtension, QStringLiteral(".avi"));
    m_form->OpenDvdFolder(kDisc);
    QCOMPARE(m_form->TaskModel->TitleCount(), 2);
    m_messages.clear();
    m_events.clear();
}

void ConversionWindowTest::cleanup()
{
    m_settings.reset();
    m_form.reset();
    SetMessageHandler({});
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    for (const char *name : {"FAKE_TOOL_PACE", "FAKE_TOOL_STEPS", "FAKE_TOOL_DURATION", "FAKE_TOOL_LOG"})
        qunsetenv(name);
    ProgramInfo::OverrideProgramDir(QString());
    m_program.reset();
    m_out.reset();
    m_work.reset();
}

void ConversionWindowTest::CheckOnly(const QList<QPair<int, int>> &items)
{
    TTaskModel *model = m_form->TaskModel;
    model->RunCheckCommand(TTaskModel::CheckCommand::UncheckAll);
    for (const auto &[title, chapter] : items) {
        const QModelIndex t = model->index(title - 1, 0);
        model->SetChecked(chapter == 0 ? t : model->index(chapter - 1, 0, t), true);
    }
}

bool ConversionWindowTest::WaitForCurrent(const std::function<bool(int)> &condition)
{
    return QTest::qWaitFor(
        [&] { return m_form->BatchDriver()->IsRunning() && condition(m_form->pgbCurrent->value()); },
        kBatchTimeoutMs);
}

void ConversionWindowTest::VerifyIdle()
{
    QVERIFY(!m_form->BatchDriver()->IsRunning());
    QVERIFY(m_form->imgStart->isVisible());
    QVERIFY(!m_form->imgStop->isVisible());
    for (QWidget *w :
         {static_cast<QWidget *>(m_form->sbtnOpenDVD), static_cast<QWidget *>(m_form->sbtnOpenDir),
          static_cast<QWidget *>(m_form->sbtnOptions), static_cast<QWidget *>(m_form->ltvTask),
          m_form->panPreview, static_cast<QWidget *>(m_form->ScrollBox1)})
        QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(m_form->panBottomCenter->isVisible());
    QVERIFY(!m_form->panBottomLeft->isVisible());
    QVERIFY(!m_form->PanHint->isVisible());
    QVERIFY(!HasIntermediate());
}

void ConversionWindowTest::VerifyBusy()
{
    QVERIFY(m_form->BatchDriver()->IsRunning());
    QVERIFY(!m_form->imgStart->isVisible());
    QVERIFY(m_form->imgStop->isVisible());
    for (QWidget *w :
         {static_cast<QWidget *>(m_form->sbtnOpenDVD), static_cast<QWidget *>(m_form->sbtnOpenDir),
          static_cast<QWidget *>(m_form->sbtnSegment), static_cast<QWidget *>(m_form->sbtnOptions),
          static_cast<QWidget *>(m_form->ltvTask), m_form->panPreview,
          static_cast<QWidget *>(m_form->ScrollBox1)})
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(!m_form->panBottomCenter->isVisible());
    QVERIFY(m_form->panBottomLeft->isVisible());
    QVERIFY(m_form->PanHint->isVisible());
    QVERIFY(m_form->chkTurnoff->isVisible());
}

QStringList ConversionWindowTest::Messages() const
{
    QStringList texts;
    for (const TMessageRequest &m : m_messages)
        texts << m.caption + QStringLiteral(": ") + m.text;
    return texts;
}

int ConversionWindowTest::LogCount(const char *tool) const
{
    const QByteArray log = ReadBytes(m_program->filePath(QStringLiteral("tools.log")));
    return log.split('\n').count(QByteArray("fake_") + tool);
}

void ConversionWindowTest::WrapTool(const char *tool, const QByteArray &environment)
{
    const QString fake = m_program->filePath(QStringLiteral("real-fake-") + QLatin1String(tool));
    const QString target = m_program->filePath(QLatin1String(tool));
    QVERIFY(QFile::rename(target, fake));
    QVERIFY(
        WriteBytes(target, "#!/bin/sh\n" + environment + " exec '" + QFile::encodeName(fake) + "' \"$@\"\n"));
    MakeExecutable(target);
}

bool ConversionWindowTest::ToolsStillRunning() const
{
    QProcess pgrep;
    pgrep.start(QStringLiteral("pgrep"), {QStringLiteral("-f"), m_program->path()});
    pgrep.waitForFinished();
    return pgrep.exitCode() == 0;
}

// ---------------------------------------------------------------- progress

void ConversionWindowTest::progressOfBothStages()
{
    CheckOnly({{1, 1}, {1, 2}}); // two chapters of 2 s: 50 frames each on this PAL disc
    QList<TSample> samples;
    bool busyChecked = false;
    QTimer sampler;
    sampler.setInterval(10);
    connect(&sampler, &QTimer::timeout, this, [&] {
        if (!m_form->BatchDriver()->IsRunning() ||
            !m_form->labHint->text().startsWith(QLatin1String("Converting")))
            return;
        if (!busyChecked) {
            busyChecked = true;
            VerifyBusy();
        }
        samples.append({m_form->pgbCurrent->value(), m_form->labCurProgress->text(),
                        m_form->pgbTotal->value(), m_form->labTotalProgress->text(), m_form->labFrame->text(),
                        m_form->labElapsed->text(), m_form->labRemaining->text(), m_form->labHint->text()});
    });
    sampler.start();
    Start();
    QVERIFY(WaitForBatch());
    sampler.stop();
    QVERIFY(busyChecked);

    const auto summary = m_finished.first();
    QCOMPARE(summary.Outcome, TBatchOutcome::Completed);
    QCOMPARE(summary.Converted, 2);
    QVERIFY(QFileInfo::exists(Output(QStringLiteral("Title01-Chapter01.avi"))));
    QVERIFY(QFileInfo::exists(Output(QStringLiteral("Title01-Chapter02.avi"))));
    QCOMPARE(Messages(), QStringList{QStringLiteral("Complete: ") + kCompleted});
    QCOMPARE(m_messages.first().icon, QMessageBox::Information);
    QCOMPARE(m_form->pgbTotal->value(), 100);
    QCOMPARE(m_form->labTotalProgress->text(), QStringLiteral("100%"));
    VerifyIdle();

    const QRegularExpression frame(QStringLiteral("^(\\d+) / 50$"));
    const QRegularExpression clock(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$"));
    bool firstStage = false, secondStage = false, secondItemFirstStage = false, remainingShown = false;
    int lastTotal = 0;
    QStringList hints;
    for (const TSample &s : samples) {
        QCOMPARE(s.CurrentText, QString::number(s.Current) + QLatin1Char('%'));
        QCOMPARE(s.TotalText, QString::number(s.Total) + QLatin1Char('%'));
        const QRegularExpressionMatch m = frame.match(s.Frame);
        QVERIFY2(m.hasMatch(), qPrintable(s.Frame));
        // For a 2-second PAL item the frame count is half the current percent in both stages.
        QVERIFY2(qAbs(m.captured(1).toInt() - s.Current / 2.0) <= 1.0,
                 qPrintable(s.Frame + QStringLiteral(" at ") + s.CurrentText));
        QVERIFY(s.Total >= lastTotal);
        lastTotal = s.Total;
        firstStage = firstStage || (s.Current > 0 && s.Current < 50);
        secondStage = secondStage || (s.Current > 50 && s.Current < 100);
        secondItemFirstStage = secondItemFirstStage || (s.Current > 0 && s.Current < 50 && s.Total > 50);
        if (!s.Remaining.isEmpty()) {
            QVERIFY2(clock.match(s.Remaining).hasMatch(), qPrintable(s.Remaining));
            QVERIFY2(clock.match(s.Elapsed).hasMatch(), qPrintable(s.Elapsed));
            remainingShown = true;
        }
        if (!hints.contains(s.Hint))
            hints << s.Hint;
    }
    QVERIFY(firstStage);
    QVERIFY(secondStage);
    QVERIFY(secondItemFirstStage);
    QVERIFY(remainingShown);
    QCOMPARE(hints, (QStringList{QStringLiteral("Converting: -Title01-Chapter01.avi"),
                                 QStringLiteral("Converting: -Title01-Chapter02.avi")}));
    QCOMPARE(LogCount("mencoder"), 4); // preliminary and first stage for each item
    QCOMPARE(LogCount("ffmpeg"), 2);
}

// ---------------------------------------------------------------- stop

void ConversionWindowTest::stopInEachStage_data()
{
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::addColumn<int>("ffmpegRuns");
    QTest::newRow("first stage") << 0 << 50 << 0;
    QTest::newRow("second stage") << 50 << 100 << 1;
}

void ConversionWindowTest::stopInEachStage()
{
    QFETCH(int, low);
    QFETCH(int, high);
    QFETCH(int, ffmpegRuns);
    qputenv("FAKE_TOOL_PACE", "0.05");
    CheckOnly({{1, 1}, {1, 2}});
    Start();
    QVERIFY(WaitForCurrent([&](int current) { return current > low && current < high; }));
    const bool intermediateBefore = HasIntermediate();
    QTest::mouseClick(m_form->imgStop, Qt::LeftButton);
    QVERIFY(WaitForBatch());
    QCOMPARE(m_finished.first().Outcome, TBatchOutcome::Cancelled);
    QCOMPARE(intermediateBefore, ffmpegRuns == 1); // the fake writes temp.avi at the end of the first stage
    QCOMPARE(Messages(), QStringList{QStringLiteral("Cancel: The conversion is canceled.")});
    QCOMPARE(m_messages.first().icon, QMessageBox::Information);
    VerifyIdle();
    QVERIFY(!QFileInfo::exists(Output(QStringLiteral("Title01-Chapter01.avi"))));
    QVERIFY(!QFileInfo::exists(Output(QStringLiteral("Title01-Chapter02.avi"))));
    QTest::qWait(300);
    QCOMPARE(LogCount("mencoder"), 2); // the second item never started
    QCOMPARE(LogCount("ffmpeg"), ffmpegRuns);
    QVERIFY(!ToolsStillRunning());
    // Stop while idle does nothing.
    m_form->imgStopClick();
    QCOMPARE(m_messages.size(), 1);
}

// ---------------------------------------------------------------- overwrite

void ConversionWindowTest::existingOutputInEachMode_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("replaced");
    QTest::addColumn<bool>("renamed");
    QTest::newRow("ask, yes") << "ask" << int(QMessageBox::Yes) << true << true << false;
    QTest::newRow("ask, no") << "ask" << int(QMessageBox::No) << true << false << false;
    QTest::newRow("overwrite") << "overwrite" << 0 << false << true << false;
    QTest::newRow("rename") << "rename" << 0 << false << false << true;
}

void ConversionWindowTest::existingOutputInEachMode()
{
    QFETCH(QString, mode);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(bool, replaced);
    QFETCH(bool, renamed);
    const QString existing = Output(QStringLiteral("Title01-Chapter01.avi"));
    QVERIFY(WriteBytes(existing, "an earlier rip"));
    (mode == QLatin1String("ask")         ? m_settings->rdbAsk
     : mode == QLatin1String("overwrite") ? m_settings->rdbOverWrite
                                          : m_settings->rdbRename)
        ->setChecked(true);
    m_answer = QMessageBox::StandardButton(answer);
    CheckOnly({{1, 1}});
    Start();
    QVERIFY(WaitForBatch());

    QStringList expected;
    if (asked)
        expected << QStringLiteral(
            "Output File Exists: The output file Title01-Chapter01.avi is already existent.\n"
            "Click \"Yes\" to overwrite it. Click \"No\" to skip this file");
    expected << QStringLiteral("Complete: ") + kCompleted;
    QCOMPARE(Messages(), expected);
    if (asked) {
        QCOMPARE(m_messages.first().icon, QMessageBox::Question);
        QCOMPARE(m_messages.first().buttons, QMessageBox::Yes | QMessageBox::No);
    }
    QCOMPARE(ReadBytes(existing) != "an earlier rip", replaced);
    QStringList others = QDir(m_out->path()).entryList(QDir::Files);
    others.removeAll(QStringLiteral("Title01-Chapter01.avi"));
    if (renamed) {
        QCOMPARE(others.size(), 1);
        QVERIFY2(QRegularExpression(QStringLiteral("^Title01-Chapter01-\\d{8}-\\d{6}\\.avi$"))
                     .match(others.first())
                     .hasMatch(),
                 qPrintable(others.first()));
    } else {
        QVERIFY2(others.isEmpty(), qPrintable(others.join(QLatin1Char(' '))));
    }
    // Answered No: nothing ran for the item.
    QCOMPARE(LogCount("ffmpeg"), asked && !replaced ? 0 : 1);
    VerifyIdle();
}

// ---------------------------------------------------------------- failing tools

void ConversionWindowTest::toolThatCannotBeStarted_data()
{
    QTest::addColumn<int>("stage");
    QTest::newRow("first stage") << 1;
    QTest::newRow("second stage") << 2;
}

void ConversionWindowTest::toolThatCannotBeStarted()
{
    QFETCH(int, stage);
    const QString missing = m_program->filePath(QStringLiteral("no-such-tool"));
    if (stage == 1)
        AppValues().FirstStageToolPath = missing;
    else
        AppValues().SecondStageToolPath = missing;
    CheckOnly({{1, 1}, {1, 2}});
    Start();
    QVERIFY(WaitForBatch());
    const auto summary = m_finished.first();
    const QString reinstall = kProduct + QStringLiteral(": Error. Please re-install ") + kProduct;
    if (stage == 1) {
        // The preliminary run and the first stage each report it; no further
        // item is tried and no completion message follows.
        QCOMPARE(summary.Outcome, TBatchOutcome::LaunchFailed);
        QCOMPARE(Messages(), (QStringList{reinstall, reinstall}));
        QCOMPARE(m_messages.first().icon, QMessageBox::NoIcon);
    } else {
        QCOMPARE(summary.Outcome, TBatchOutcome::Failed);
        QCOMPARE(summary.Failures.size(), 2);
        const QStringList messages = Messages();
        QCOMPARE(messages.size(), 3);
        QCOMPARE(messages[0], kProduct + QStringLiteral(": Error"));
        QCOMPARE(messages[1], kProduct + QStringLiteral(": Error"));
        QVERIFY2(messages[2].startsWith(QStringLiteral("Complete: ")), qPrintable(messages[2]));
        QVERIFY(!messages[2].contains(kCompleted));
        QVERIFY(messages[2].contains(QLatin1String("Title01-Chapter01.avi")));
        QVERIFY(messages[2].contains(QLatin1String("Title01-Chapter02.avi")));
        QCOMPARE(m_messages[2].icon, QMessageBox::Warning);
    }
    VerifyIdle();
}

void ConversionWindowTest::toolExitingNonZero_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QString>("stage");
    QTest::newRow("mencoder") << "mencoder"
                              << "the first stage";
    QTest::newRow("ffmpeg") << "ffmpeg"
                            << "the second stage";
}

void ConversionWindowTest::toolExitingNonZero()
{
    QFETCH(QString, tool);
    QFETCH(QString, stage);
    WrapTool(qPrintable(tool), "FAKE_TOOL_EXIT=3");
    CheckOnly({{1, 1}, {1, 2}});
    Start();
    QVERIFY(WaitForBatch());
    const auto summary = m_finished.first();
    QCOMPARE(summary.Outcome, TBatchOutcome::Failed);
    QCOMPARE(summary.Failures.size(), 2); // the batch went on with the second item
    const QStringList messages = Messages();
    QCOMPARE(messages.size(), 1);
    QVERIFY(!messages[0].contains(kCompleted));
    for (const char *name : {"Title01-Chapter01.avi: ", "Title01-Chapter02.avi: "})
        QVERIFY2(messages[0].contains(QLatin1String(name) + stage), qPrintable(messages[0]));
    QCOMPARE(LogCount("ffmpeg"), tool == QLatin1String("ffmpeg") ? 2 : 0);
    VerifyIdle();
}

// ---------------------------------------------------------------- completion

void ConversionWindowTest::completionActions_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<int>("powerOffs");
    QTest::newRow("message") << "" << QStringList{QStringLiteral("message:Complete")} << false << 0;
    QTest::newRow("open folder") << "open"
                                 << QStringList{QStringLiteral("message:Complete"),
                                                QStringLiteral("open:OUT/")}
                                 << false << 0;
    QTest::newRow("exit") << "exit" << QStringList() << true << 0;
    QTest::newRow("turn off") << "turnoff" << QStringList() << true << 1;
    QTest::newRow("turn off ticked during the batch") << "tick" << QStringList() << true << 1;
    QTest::newRow("turn off unticked during the batch")
        << "untick" << QStringList{QStringLiteral("message:Complete")} << false << 0;
}

void ConversionWindowTest::completionActions()
{
    QFETCH(QString, setting);
    QFETCH(QStringList, events);
    QFETCH(bool, closes);
    QFETCH(int, powerOffs);
    m_settings->chkOpenDir->setChecked(setting == QLatin1String("open"));
    m_settings->chkExit->setChecked(setting == QLatin1String("exit"));
    m_settings->chkTurnoff->setChecked(setting == QLatin1String("turnoff") ||
                                       setting == QLatin1String("untick"));
    CheckOnly({{1, 1}});
    Start();
    QCOMPARE(m_form->chkTurnoff->isChecked(), m_settings->chkTurnoff->isChecked());
    if (setting == QLatin1String("tick") || setting == QLatin1String("untick")) {
        // The hint panel's box stays usable during the batch and decides at the end.
        QVERIFY(m_form->chkTurnoff->isEnabled() && m_form->chkTurnoff->isVisible());
        QTest::mouseClick(m_form->chkTurnoff, Qt::LeftButton, {},
                          QPoint(8, m_form->chkTurnoff->height() / 2));
        QCOMPARE(m_form->chkTurnoff->isChecked(), setting == QLatin1String("tick"));
    }
    QVERIFY(WaitForBatch());
    QCOMPARE(m_finished.first().Outcome, TBatchOutcome::Completed);
    if (closes) {
        QTRY_VERIFY(!m_form->isVisible());
        if (powerOffs)
            QCOMPARE(m_form->labHint->text(),
                     QStringLiteral("Conversion is completed. Turning off the computer..."));
    } else {
        QTest::qWait(200);
        QVERIFY(m_form->isVisible());
        VerifyIdle();
    }
    events.replaceInStrings(QStringLiteral("OUT/"), m_form->edtOutputDir->text());
    QCOMPARE(m_events, events);
    QCOMPARE(m_power.Calls, powerOffs);
    QVERIFY(QFileInfo::exists(Output(QStringLiteral("Title01-Chapter01.avi"))));
}

// ---------------------------------------------------------------- closing

void ConversionWindowTest::closingDuringBatch_data()
{
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::newRow("first stage") << 0 << 50;
    QTest::newRow("second stage") << 55 << 100;
}

void ConversionWindowTest::closingDuringBatch()
{
    QFETCH(int, low);
    QFETCH(int, high);
    qputenv("FAKE_TOOL_PACE", "0.05");
    CheckOnly({{1, 1}, {1, 2}});
    Start();
    QVERIFY(WaitForCurrent([&](int current) { return current > low && current < high; }));
    QVERIFY(ToolsStillRunning());
    m_form->close();
    QCOMPARE(m_finished.size(), 1); // at once, inside the close
    QCOMPARE(m_finished.first().Outcome, TBatchOutcome::Aborted);
    QVERIFY(!m_form->BatchDriver()->IsRunning());
    QVERIFY(!HasIntermediate());
    QVERIFY(!ToolsStillRunning());
    const int mencoderRuns = LogCount("mencoder");
    QTest::qWait(500);
    QCOMPARE(LogCount("mencoder"), mencoderRuns); // no further item
    QCOMPARE(mencoderRuns, 2);
    QVERIFY2(m_messages.isEmpty(), qPrintable(Messages().join(QLatin1Char('|'))));
    QVERIFY(!QFileInfo::exists(Output(QStringLiteral("Title01-Chapter01.avi"))));
    QVERIFY(!QFileInfo::exists(Output(QStringLiteral("Title01-Chapter02.avi"))));
}

void ConversionWindowTest::closingWhileTheBatchStarts()
{
    // The close comes while the hint panel slides in, before the first item.
    CheckOnly({{1, 1}});
    QTimer::singleShot(0, m_form.get(), [this] { m_form->close(); });
    Start();
    QCOMPARE(m_finished.size(), 1);
    QCOMPARE(m_finished.first().Outcome, TBatchOutcome::Aborted);
    QVERIFY(!m_form->BatchDriver()->IsRunning());
    QTest::qWait(500);
    QCOMPARE(LogCount("mencoder"), 0);
    QVERIFY(m_messages.isEmpty());
}

// ---------------------------------------------------------------- refusals, open

void ConversionWindowTest::refusedStartLeavesWindowIdle_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("message");
    QTest::newRow("nothing checked")
        << "nothing"
        << "No Title or Chapter checked: Please have Titles and Chapters you want to convert checked.";
    QTest::newRow("no output folder")
        << "output"
        << "Output path does not exist: The output path does not exist. Please specify another one.";
    QTest::newRow("no profile") << "profile"
                                << "Profile: Please select a valid output profile.";
}

void ConversionWindowTest::refusedStartLeavesWindowIdle()
{
    QFETCH(QString, what);
    QFETCH(QString, message);
    CheckOnly(what == QLatin1String("nothing") ? QList<QPair<int, int>>{} : QList<QPair<int, int>>{{1, 1}});
    if (what == QLatin1String("output"))
        m_form->edtOutputDir->setText(m_out->filePath(QStringLiteral("missing")));
    if (what == QLatin1String("profile"))
        m_form->cmbProfile->setCurrentIndex(-1);
    Start();
    QCOMPARE(Messages(), QStringList{message});
    QCOMPARE(m_messages.first().icon, QMessageBox::Information);
    if (what == QLatin1String("output"))
        QCOMPARE(m_form->focusWidget(), m_form->edtOutputDir);
    if (what == QLatin1String("profile"))
        QCOMPARE(m_form->focusWidget(), m_form->cmbProfile);
    VerifyIdle();
    QTest::qWait(200);
    QCOMPARE(LogCount("mencoder"), 0);
}

void ConversionWindowTest::openButtonOpensOutputFolder()
{
    QTest::mouseClick(m_form->bbtnOpen, Qt::LeftButton);
    QCOMPARE(m_events, QStringList{QStringLiteral("open:") + m_form->edtOutputDir->text()});
}

QTEST_MAIN(ConversionWindowTest)
#include "apptest_conversion.moc"
