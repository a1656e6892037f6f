#pragma once

// The conversion batch: the checks of the Start button, the loop over the
// checked items (preliminary run, first stage, second stage for each), the
// output file names and the overwrite choice, progress and the batch clock,
// Stop, and the end of the batch with its completion action.
//
// The driver decides; a TBatchView shows and asks. The main window implements
// TBatchView on its controls, `--rip` on the terminal, the tests with a fake.
// Everything runs on the caller's thread without blocking: Start returns at
// once and the batch goes on from the event loop until `batchFinished`.

#include "app/helpers/AppValues.h"
#include "conversion/CommandLines.h"
#include "conversion/Progress.h"
#include "conversion/ToolRun.h"
#include "tasks/TaskItem.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

// The Settings dialog's choice for an output file that exists.
enum class TOverwriteMode { Ask, Rename, Overwrite };

enum class TMessageKind { Information, Warning, Plain };

// Where the window puts the focus after a refused start.
enum class TFocusTarget { OutputFolder, Profile };

// One checked node of the task tree with the title it belongs to (the item
// itself when it is a title).
struct TBatchItem
{
    TaskItem Item;
    TaskItem Title;
};

// Everything a batch reads, taken once when it starts.
struct TBatchRequest
{
    QList<TBatchItem> Items; // the checked items in tree order
    QString OutputFolder;    // the text of edtOutputDir
    QString ProfilePath;     // ProgramDir + "Profiles/" + cmbProfile text + ".apf"
    TGridLookup GridText;    // the rows of the main window's profile grids
    QString OutputExtension; // "." + the profile's Type
    QString VolumeName;      // DVDInfo().VolumeName, may be empty
    QString VideoTsPath;     // DVDInfo().VideoTsPath
    double FrameRate = 25;   // DVDInfo().FrameRate
    QString WorkDir;         // the preferences' work folder
    QString ProgramDir;      // the fallback work folder
    QString FirstStageTool;  // mencoder
    QString SecondStageTool; // ffmpeg
    QString ProductName = QStringLiteral("Velmora DVD to MPEG Ripper");
    TOverwriteMode Overwrite = TOverwriteMode::Ask;
    bool OpenFolderWhenDone = false; // chkOpenDir
    bool ExitWhenDone = false;       // chkExit
    bool TurnOffWhenDone = false;    // chkTurnoff of the Settings dialog (the hint panel's starts with it)
    int SilenceTimeoutMs = 120000;   // a tool silent this long is ended and its item fails
    int ProgressIntervalMs = 200;    // the least time between two progress reports of a run
};

// A request with the application-wide values filled in (disc record, work and
// program folder, tool paths, output extension, product name); the caller adds
// the items, output folder, profile, grid lookup and the Settings choices.
TBatchRequest DefaultBatchRequest();

// How the window shows a batch and answers its questions. Only ShowMessage and
// AskYesNo must be implemented; the rest defaults to doing nothing.
class TBatchView
{
public:
    virtual ~TBatchView() = default;

    // A message box: information icon and OK for notices (captions "No Title
    // or Chapter checked", "Cancel", "Complete", ...), Plain for the tools'
    // launch failures (empty caption: the product name).
    virtual void ShowMessage(const QString &text, const QString &caption, TMessageKind kind) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool AskYesNo(const QString &text, const QString &caption) = 0;

    virtual void FocusField(TFocusTarget) {}
    // LockUiForConversion: disable the inputs, show Stop instead of Start, stop
    // the preview, show the hint panel with `hint` and its turn-off check box
    // set to `turnOff`.
    virtual void LockForConversion(const QString &hint, bool turnOff) { (void)hint, (void)turnOff; }
    // true: progress panel (panBottomLeft) shown and panBottomCenter hidden; false: the reverse.
    virtual void ShowProgressPanel(bool) {}
    virtual void ShowHint(const QString &) {}
    virtual void HideHint() {}
    virtual void ShowProgress(const TProgressFigures &) {}
    // labElapsed and labRemaining; empty texts clear them.
    virtual void ShowClock(const QString &elapsed, const QString &remaining)
    {
        (void)elapsed, (void)remaining;
    }
    // The hint panel's turn-off check box now; `initial` is what LockForConversion set.
    virtual bool TurnOffChecked(bool initial) { return initial; }
    virtual void OpenFolder(const QString &) {}
    // Close the main window (the program ends).
    virtual void CloseProgram() {}
    // RestoreUiAfterConversion: inputs enabled, Start shown, hint panel hidden.
    virtual void RestoreAfterConversion() {}
};

// Turns the computer off (logind over D-Bus in the program, a fake in tests).
class TPowerControl
{
public:
    virtual ~TPowerControl() = default;
    // Asks the system to power off; false when it refused (which is ignored).
    virtual bool PowerOff() = 0;
};

enum class TBatchOutcome {
    Completed,    // every item converted (or skipped at the overwrite question)
    Failed,       // the batch ran to its end but some item failed
    Cancelled,    // Stop
    LaunchFailed, // the first stage could not be started
    Aborted,      // the window closed during the batch
};

struct TItemFailure
{
    QString FileName; // the output file name, e.g. 'MYDISC-Title01-Chapter02.mp4'
    QString Reason;   // e.g. 'the first stage exited with code 1'
};

struct TBatchSummary
{
    TBatchOutcome Outcome = TBatchOutcome::Completed;
    int Converted = 0;
    int Skipped = 0;
    QList<TItemFailure> Failures;
    QStringList OutputFiles; // the files written, in order
};

class TBatchDriver : public QObject
{
    Q_OBJECT

public:
    TBatchDriver(TBatchView &view, TPowerControl &power, QObject *parent = nullptr);
    ~TBatchDriver() override;

    // imgStartClick. Refuses (message through the view, false) when nothing is
    // checked, the output folder does not exist, the profile file does not
    // exist, or the profile's values cannot be resolved; otherwise locks the
    // view, fills MencOutputSettings() and starts the batch (true).
    bool Start(const TBatchRequest &request);

    // imgStopClick: while converting, cancels and kills both tools; the batch
    // then ends with the cancel message. Does nothing otherwise.
    void Stop();

    // The window is closing: kills the tools, deletes temp.avi and ends the
    // batch at once, without messages. Does nothing when no batch runs.
    void Abort();

    ConversionState State() const { return m_state; }
    bool IsRunning() const { return m_active; }
    // The work folder in use (the program folder when the preferences' one is missing).
    QString WorkDir() const { return m_workDir; }

    // The output path of an item: output folder + [volume "-"] + OutputName +
    // extension; "/" and NUL in the volume and the name become "_".
    static QString OutputPathFor(const QString &outputFolder, const QString &volumeName, const TaskItem &item,
                                 const QString &extension);
    // "Converting: " + volume (first 15 characters + "..." when longer than
    // 18) + "-" + OutputName + extension.
    static QString ConvertingHint(const QString &volumeName, const TaskItem &item, const QString &extension);
    // The rename target for an existing `path` whose extension is `extension`:
    // stem + "-" + 'yyyyMMdd-HHmmss' of `now`, with "-2", "-3", ... when that
    // exists too.
    static QString RenamedPath(const QString &path, const QString &extension, const QDateTime &now);

    // Test seams: the clock of the rename suffix, the batch clock's interval.
    void SetNow(std::function<QDateTime()> now) { m_now = std::move(now); }
    void SetClockInterval(int milliseconds) { timerTime.setInterval(milliseconds); }

Q_SIGNALS:
    void batchFinished(const TBatchSummary &summary);
    // The item that runs now (0-based position in the request) and its file.
    void itemStarted(int index, const QString &outputPath);

private:
    enum class TPhase { None, Preliminary, FirstStage, SecondStage };

    void NextItem();
    void StartPreliminary();
    void OnPreliminaryFinished();
    void StartFirstStage();
    void OnFirstStageFinished(const TRunResult &result);
    void StartSecondStage();
    // The current run of a main stage, started in the work folder with the batch's limits.
    void AdoptRun(TToolRun *run);
    void OnSecondStageFinished(const TRunResult &result);
    void ItemDone();
    void FailItem(const QString &reason);
    void EndBatch();
    void CancelBatch();
    void EndAfterLaunchFailure();
    void Finish(TBatchOutcome outcome);
    void DeleteIntermediate();
    void timerTimeTimer();
    void OnProgress(const TProgressFigures &figures);
    void DropRun();
    TStageContext Context() const;

    TBatchView &m_view;
    TPowerControl &m_power;
    TBatchRequest m_request;
    ConversionState m_state = csIdle;
    bool m_active = false;
    TPhase m_phase = TPhase::None;
    QPointer<TToolRun> m_run;
    QString m_encoderOptions;
    QString m_workDir;
    QString m_outputFolder;
    int m_index = -1;
    QString m_outputPath;
    double m_itemSeconds = 0;
    long long m_itemFrames = 0;
    double m_totalSeconds = 0;
    double m_doneSeconds = 0;
    int m_totalPercent = 0;
    TBatchClock m_batchClock;
    QTimer timerTime; // the batch clock, one tick a second
    TBatchSummary m_summary;
    std::function<QDateTime()> m_now;
};
