#include "conversion/ToolRun.h"

#include "conversion/CommandLines.h"

#include <QEventLoop>

#include <algorithm>

namespace {
constexpr int DefaultSilenceTimeoutMs = 120000;
constexpr int DefaultProgressIntervalMs = 200;
constexpr int QuitGraceMs = 3000; // how long a tool asked to quit may take before it is killed
} // namespace

TToolRun::TToolRun(const QString &program, const QString &argumentText, QObject *parent)
    : QObject(parent), m_program(program), m_arguments(SplitArguments(argumentText))
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_silence.setSingleShot(true);
    m_silence.setInterval(DefaultSilenceTimeoutMs);
    m_throttle.setSingleShot(true);
    m_throttle.setInterval(DefaultProgressIntervalMs);
    m_killTimer.setSingleShot(true);
    m_killTimer.setInterval(QuitGraceMs);

    connect(&m_process, &QProcess::readyReadStandardOutput, this, &TToolRun::OnReadyRead);
    connect(&m_process, &QProcess::finished, this, &TToolRun::OnProcessFinished);
    connect(&m_process, &QProcess::errorOccurred, this, &TToolRun::OnProcessError);
    connect(&m_process, &QProcess::started, this, [this] { Q_EMIT started(); });
    connect(&m_silence, &QTimer::timeout, this, &TToolRun::OnSilence);
    connect(&m_throttle, &QTimer::timeout, this, &TToolRun::SignalPending);
    connect(&m_killTimer, &QTimer::timeout, this, [this] { m_process.kill(); });
}

TToolRun::~TToolRun()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.disconnect(this);
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

void TToolRun::SetWorkingDirectory(const QString &folder)
{
    m_process.setWorkingDirectory(folder);
}

void TToolRun::SetSilenceTimeout(int milliseconds)
{
    m_silence.setInterval(milliseconds);
}

void TToolRun::SetProgressInterval(int milliseconds)
{
    m_throttle.setInterval(milliseconds);
}

void TToolRun::Start()
{
    if (m_running || m_finished)
        return;
    m_running = true;
    if (m_silence.interval() > 0)
        m_silence.start();
    m_process.start(m_program, m_arguments, QIODevice::ReadOnly);
}

void TToolRun::Terminate()
{
    if (!m_running || m_finished)
        return;
    m_cancelled = true;
    m_process.kill();
}

TRunResult TToolRun::WaitForFinished()
{
    if (!m_running && !m_finished)
        Start();
    if (!m_finished) {
        QEventLoop loop;
        connect(this, &TToolRun::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return m_result;
}

void TToolRun::HandleChunk(int, const QByteArray &) {}

void TToolRun::ReportProgress(const TProgressFigures &figures)
{
    m_pending = figures;
    m_hasPending = figures != m_lastSignalled;
    if (m_hasPending && !m_throttle.isActive())
        SignalPending();
}

void TToolRun::SignalPending()
{
    if (!m_hasPending)
        return;
    m_hasPending = false;
    m_lastSignalled = m_pending;
    m_throttle.start();
    Q_EMIT progressChanged(m_lastSignalled);
}

void TToolRun::EndAsFinished(const QString &detail)
{
    if (m_finished || m_endedAsFinished || m_cancelled)
        return;
    m_endedAsFinished = true;
    m_endDetail = detail;
    m_process.terminate();
    m_killTimer.start();
}

void TToolRun::OnReadyRead()
{
    while (m_process.bytesAvailable() > 0) {
        const QByteArray chunk = m_process.read(ChunkSize);
        if (chunk.isEmpty())
            break;
        if (m_silence.interval() > 0 && !m_finished)
            m_silence.start();
        HandleChunk(m_chunks++, chunk);
    }
}

void TToolRun::OnProcessFinished(int, QProcess::ExitStatus)
{
    Conclude();
}

void TToolRun::OnProcessError(QProcess::ProcessError error)
{
    if (error != QProcess::FailedToStart || m_finished)
        return;
    m_launchFailed = true;
    m_launchError = m_process.errorString();
    // QProcess may report this from inside start(); the caller hears of it
    // from the event loop, after Start has returned.
    QMetaObject::invokeMethod(this, &TToolRun::Conclude, Qt::QueuedConnection);
}

void TToolRun::OnSilence()
{
    if (m_finished || m_process.state() == QProcess::NotRunning)
        return;
    m_stalled = true;
    m_process.kill();
}

void TToolRun::Conclude()
{
    if (m_finished)
        return;
    if (!m_launchFailed)
        OnReadyRead();
    m_finished = true;
    m_running = false;
    m_silence.stop();
    m_killTimer.stop();
    m_throttle.stop();
    SignalPending();
    m_throttle.stop();

    TRunResult r;
    const bool crashed = m_process.exitStatus() == QProcess::CrashExit;
    if (!crashed && !m_launchFailed)
        r.ExitCode = m_process.exitCode();
    if (m_launchFailed) {
        r.Outcome = TRunOutcome::LaunchFailed;
        r.Detail = QStringLiteral("could not be started (%1)").arg(m_launchError);
    } else if (m_cancelled) {
        r.Outcome = TRunOutcome::Cancelled;
        r.Detail = QStringLiteral("was stopped");
    } else if (m_endedAsFinished) {
        r.Outcome = TRunOutcome::Finished;
        r.Detail = m_endDetail;
    } else if (m_stalled) {
        r.Outcome = TRunOutcome::Failed;
        r.Detail = QStringLiteral("stopped responding (no output for %1 s)").arg(m_silence.interval() / 1000);
    } else if (!ExitCodeMatters()) {
        r.Outcome = TRunOutcome::Finished;
    } else if (crashed) {
        r.Outcome = TRunOutcome::Failed;
        r.Detail = QStringLiteral("crashed");
    } else if (r.ExitCode != 0) {
        r.Outcome = TRunOutcome::Failed;
        r.Detail = QStringLiteral("exited with code %1").arg(r.ExitCode);
    } else {
        r.Outcome = TRunOutcome::Finished;
    }
    m_result = r;
    Q_EMIT finished(m_result);
}

TFirstStageRun::TFirstStageRun(const QString &program, const QString &argumentText,
                               const TStageContext &context, QObject *parent)
    : TToolRun(program, argumentText, parent), m_context(context)
{
    m_endGuard.setSingleShot(true);
    connect(&m_endGuard, &QTimer::timeout, this, [this] {
        EndAsFinished(m_summarySeen ? QStringLiteral("did not exit after its closing summary")
                                    : QStringLiteral("did not exit at the end of the item"));
    });
}

void TFirstStageRun::HandleChunk(int number, const QByteArray &chunk)
{
    const QByteArray window = m_tail + chunk;
    m_tail = chunk.right(16);
    if (!m_summarySeen && HasClosingSummary(window)) {
        m_summarySeen = true;
        m_endGuard.start(SummaryGraceMs);
    }
    const double newest = ParseLastFirstStagePosition(chunk);
    if (newest != NoPosition)
        m_newest = newest;
    // At the end of the item mencoder may spin silently instead of exiting;
    // each chunk pushes the guard back, so only silence there ends the run.
    const double tolerance = std::min(1.0, m_context.ItemSeconds / 4);
    if (!m_summarySeen && m_context.ItemSeconds > 0 && m_newest >= m_context.ItemSeconds - tolerance)
        m_endGuard.start(AtEndSilenceMs);

    if (number < SkippedChunks)
        return;
    const double position = ParseFirstStagePosition(chunk);
    if (position != NoPosition)
        m_position = position;
    ReportProgress(FirstStageFigures(m_position, m_context));
}

TSecondStageRun::TSecondStageRun(const QString &program, const QString &argumentText,
                                 const TStageContext &context, QObject *parent)
    : TToolRun(program, argumentText, parent), m_context(context)
{
}

void TSecondStageRun::HandleChunk(int number, const QByteArray &chunk)
{
    if (number < SkippedChunks)
        return;
    const double position = ParseSecondStageTime(chunk);
    if (position != NoPosition && position > m_position)
        m_position = position;
    ReportProgress(SecondStageFigures(m_position, m_context));
}
