#pragma once

// One run of a conversion tool as a hidden child process. A run never blocks
// the event loop: Start returns at once, output is read as it arrives (raw
// bytes, standard output and error merged, in chunks of at most 4095 bytes,
// numbered from 0), and the run ends with one `finished` signal whose
// TRunResult says how it went. Standard input is /dev/null.
//
// Three kinds of run exist for each item: TPreliminaryRun (its output is
// thrown away), TFirstStageRun (mencoder, "Pos:" status) and TSecondStageRun
// (ffmpeg, "time=" status). The stage runs signal progressChanged only when
// the figures change and at most once per progress interval (200 ms unless
// set), however fast the tool prints; the last figures are signalled before
// `finished`.

#include "conversion/Progress.h"

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QTimer>

enum class TRunOutcome {
    Finished,     // the tool did its work
    Failed,       // it exited non-zero, crashed, or stopped responding (see Detail)
    Cancelled,    // ended by Terminate (Stop)
    LaunchFailed, // the tool could not be started
};

struct TRunResult
{
    TRunOutcome Outcome = TRunOutcome::Failed;
    int ExitCode = -1; // the tool's exit code when it exited on its own, else -1
    QString Detail;    // a sentence for a failure: 'exited with code 1', 'could not be started: ...'
};

class TToolRun : public QObject
{
    Q_OBJECT

public:
    static constexpr int ChunkSize = 4095;

    // `argumentText` is split with SplitArguments.
    TToolRun(const QString &program, const QString &argumentText, QObject *parent = nullptr);
    ~TToolRun() override; // a child still running is killed

    QString Program() const { return m_program; }
    QStringList Arguments() const { return m_arguments; }

    void SetWorkingDirectory(const QString &folder);
    // A run whose tool prints nothing for this long is ended and fails
    // ("stopped responding"); 0 switches the guard off. Default 120 s.
    void SetSilenceTimeout(int milliseconds);
    void SetProgressInterval(int milliseconds);

    // Starts the child; `started` or a `finished` with LaunchFailed follows
    // from the event loop.
    void Start();
    // Kills the child at once (Stop, exit code of a killed process); the run
    // ends Cancelled. A run that has ended is not affected.
    void Terminate();

    bool IsRunning() const { return m_running; }
    bool HasFinished() const { return m_finished; }
    const TRunResult &Result() const { return m_result; }
    int ChunkCount() const { return m_chunks; }
    TProgressFigures LastFigures() const { return m_lastSignalled; }

    // Runs a local event loop until the run has finished; for callers that
    // have no state machine of their own. Starts the run when needed.
    TRunResult WaitForFinished();

Q_SIGNALS:
    void started();
    void progressChanged(const TProgressFigures &figures);
    void finished(const TRunResult &result);

protected:
    // Each chunk in order; number counts from 0.
    virtual void HandleChunk(int number, const QByteArray &chunk);
    // Whether a non-zero exit code makes the run fail.
    virtual bool ExitCodeMatters() const { return true; }
    // Reports figures through the progress throttle.
    void ReportProgress(const TProgressFigures &figures);
    // Ends a tool that has done its work but does not exit: it is asked to
    // quit (SIGTERM), killed when it does not within a grace period, and the
    // run counts as finished.
    void EndAsFinished(const QString &detail);

private:
    void OnReadyRead();
    void OnProcessFinished(int exitCode, QProcess::ExitStatus status);
    void OnProcessError(QProcess::ProcessError error);
    void OnSilence();
    void SignalPending();
    void Conclude(); // the one place that maps how the child ended to the outcome

    QString m_program;
    QStringList m_arguments;
    QProcess m_process;
    QTimer m_silence;
    QTimer m_throttle;
    QTimer m_killTimer;
    bool m_running = false;
    bool m_finished = false;
    bool m_cancelled = false;
    bool m_stalled = false;
    bool m_endedAsFinished = false;
    bool m_launchFailed = false;
    bool m_hasPending = false;
    QString m_launchError;
    QString m_endDetail;
    int m_chunks = 0;
    TProgressFigures m_pending;
    TProgressFigures m_lastSignalled;
    TRunResult m_result;
};

// The short first-stage run before each item. Its output and exit code are
// not looked at; only a launch failure counts.
class TPreliminaryRun : public TToolRun
{
    Q_OBJECT
public:
    using TToolRun::TToolRun;

protected:
    bool ExitCodeMatters() const override { return false; }
};

// The first stage: reads the "Pos:" status from chunk 20 on and places it in
// the batch. Debian's mencoder 1.5 may not exit when the span ends exactly at
// the end of the title: once it has printed its closing summary and not
// exited within two seconds, or once it has reached the end of the item and
// stayed silent for three, it is ended and the stage counts as finished.
class TFirstStageRun : public TToolRun
{
    Q_OBJECT
public:
    static constexpr int SkippedChunks = 20;
    static constexpr int SummaryGraceMs = 2000;
    static constexpr int AtEndSilenceMs = 3000;

    TFirstStageRun(const QString &program, const QString &argumentText, const TStageContext &context,
                   QObject *parent = nullptr);

    // The last position read, in seconds from the item's start (0 before any).
    double Position() const { return m_position; }

protected:
    void HandleChunk(int number, const QByteArray &chunk) override;

private:
    TStageContext m_context;
    double m_position = 0;
    double m_newest = 0;
    QByteArray m_tail;
    QTimer m_endGuard;
    bool m_summarySeen = false;
};

// The second stage: reads the "time=" status from chunk 2 on; the position
// never decreases.
class TSecondStageRun : public TToolRun
{
    Q_OBJECT
public:
    static constexpr int SkippedChunks = 2;

    TSecondStageRun(const QString &program, const QString &argumentText, const TStageContext &context,
                    QObject *parent = nullptr);

    double Position() const { return m_position; }

protected:
    void HandleChunk(int number, const QByteArray &chunk) override;

private:
    TStageContext m_context;
    double m_position = 0;
};
