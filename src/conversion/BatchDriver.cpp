#include "conversion/BatchDriver.h"

#include "app/helpers/Helpers.h"
#include "tasks/OutputFileName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString PreparingHint = QStringLiteral("Preparing to convert. Please wait...");

QString ToolOrDefault(const QString &path, const QString &name)
{
    return path.isEmpty() ? name : path;
}

bool IsNonEmptyFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.size() > 0;
}

} // namespace

TBatchRequest DefaultBatchRequest()
{
    const TAppValues &app = AppValues();
    TBatchRequest r;
    r.OutputExtension = app.OutputExtension;
    r.VolumeName = app.DVDInfo.VolumeName;
    r.VideoTsPath = app.DVDInfo.VideoTsPath;
    r.FrameRate = app.DVDInfo.FrameRate;
    r.WorkDir = app.WorkDir;
    r.ProgramDir = app.ProgramDir;
    r.FirstStageTool = ToolOrDefault(app.FirstStageToolPath, QStringLiteral("mencoder"));
    r.SecondStageTool = ToolOrDefault(app.SecondStageToolPath, QStringLiteral("ffmpeg"));
    r.ProductName = app.ProductName;
    return r;
}

TBatchDriver::TBatchDriver(TBatchView &view, TPowerControl &power, QObject *parent)
    : QObject(parent), m_view(view), m_power(power), m_now([] { return QDateTime::currentDateTime(); })
{
    timerTime.setInterval(1000);
    connect(&timerTime, &QTimer::timeout, this, &TBatchDriver::timerTimeTimer);
}

TBatchDriver::~TBatchDriver()
{
    if (m_run) {
        m_run->disconnect(this);
        delete m_run;
    }
    if (m_active)
        DeleteIntermediate();
}

QString TBatchDriver::OutputPathFor(const QString &outputFolder, const QString &volumeName,
                                    const TaskItem &item, const QString &extension)
{
    return AddTrailingBackslash(outputFolder) + OutputFilePrefix(volumeName) +
           SanitizeVolumeName(item.OutputName) + extension;
}

QString TBatchDriver::ConvertingHint(const QString &volumeName, const TaskItem &item,
                                     const QString &extension)
{
    const QString volume = volumeName.size() > 18 ? volumeName.left(15) + QStringLiteral("...") : volumeName;
    return QStringLiteral("Converting: ") + volume + QLatin1Char('-') + item.OutputName + extension;
}

QString TBatchDriver::RenamedPath(const QString &path, const QString &extension, const QDateTime &now)
{
    const QString stem =
        !extension.isEmpty() && path.endsWith(extension) ? path.left(path.size() - extension.size()) : path;
    const QString stamp = now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString candidate = stem + QLatin1Char('-') + stamp + extension;
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = stem + QLatin1Char('-') + stamp + QLatin1Char('-') + QString::number(n) + extension;
    return candidate;
}

bool TBatchDriver::Start(const TBatchRequest &request)
{
    if (m_active)
        return false;
    if (request.Items.isEmpty()) {
        m_view.ShowMessage(QStringLiteral("Please have Titles and Chapters you want to convert checked."),
                           QStringLiteral("No Title or Chapter checked"), TMessageKind::Information);
        return false;
    }
    if (request.OutputFolder.isEmpty() || !QFileInfo(request.OutputFolder).isDir()) {
        m_view.ShowMessage(QStringLiteral("The output path does not exist. Please specify another one."),
                           QStringLiteral("Output path does not exist"), TMessageKind::Information);
        m_view.FocusField(TFocusTarget::OutputFolder);
        return false;
    }
    if (!QFileInfo(request.ProfilePath).isFile()) {
        m_view.ShowMessage(QStringLiteral("Please select a valid output profile."), QStringLiteral("Profile"),
                           TMessageKind::Information);
        m_view.FocusField(TFocusTarget::Profile);
        return false;
    }
    // A profile that cannot give both command lines is refused before
    // anything changes, so the window stays idle.
    TMencOutputSettings settings;
    const TBuildResult encoder = BuildEncoderOptions(request.ProfilePath, request.GridText, settings);
    TBuildResult converter;
    if (encoder.Ok())
        converter = BuildConverterOptions(request.ProfilePath, request.GridText);
    const QString profileError = !encoder.Ok() ? encoder.Error : converter.Error;
    if (!profileError.isEmpty()) {
        m_view.ShowMessage(profileError + QStringLiteral("\nPlease select a valid output profile."),
                           QStringLiteral("Profile"), TMessageKind::Information);
        m_view.FocusField(TFocusTarget::Profile);
        return false;
    }

    m_request = request;
    m_view.LockForConversion(PreparingHint, request.TurnOffWhenDone);
    MencOutputSettings() = settings;
    m_encoderOptions = encoder.Text;

    m_view.ShowClock(QString(), QString());
    TProgressFigures zero;
    zero.CurrentPercent = 0;
    zero.TotalPercent = 0;
    m_view.ShowProgress(zero);
    m_view.ShowProgressPanel(true);

    m_state = csConverting;
    m_active = true;
    m_outputFolder = AddTrailingBackslash(request.OutputFolder);
    m_workDir = request.WorkDir;
    m_batchClock.Reset();
    timerTime.start();
    m_doneSeconds = 0;
    m_totalPercent = 0;
    m_totalSeconds = 0;
    for (const TBatchItem &b : request.Items)
        m_totalSeconds += b.Item.TrimEnd - b.Item.TrimStart;
    m_totalSeconds *= 2;
    m_index = -1;
    m_summary = TBatchSummary();
    QMetaObject::invokeMethod(this, &TBatchDriver::NextItem, Qt::QueuedConnection);
    return true;
}

void TBatchDriver::Stop()
{
    if (!m_active || m_state != csConverting)
        return;
    m_state = csCancelled;
    if (m_run)
        m_run->Terminate();
}

void TBatchDriver::Abort()
{
    if (!m_active)
        return;
    m_state = csCancelled;
    if (m_run) {
        m_run->disconnect(this);
        m_run->Terminate(); // killed now; the object goes once control is back in the event loop
        m_run->deleteLater();
        m_run = nullptr;
    }
    timerTime.stop();
    DeleteIntermediate();
    Finish(TBatchOutcome::Aborted);
}

TStageContext TBatchDriver::Context() const
{
    TStageContext c;
    c.ItemSeconds = m_itemSeconds;
    c.ItemFrames = m_itemFrames;
    c.TotalSeconds = m_totalSeconds;
    c.DoneSeconds = m_doneSeconds;
    c.FrameRate = m_request.FrameRate;
    return c;
}

void TBatchDriver::NextItem()
{
    if (!m_active)
        return;
    while (true) {
        if (m_state == csCancelled) {
            CancelBatch();
            return;
        }
        ++m_index;
        if (m_index >= m_request.Items.size()) {
            EndBatch();
            return;
        }
        const TaskItem &item = m_request.Items.at(m_index).Item;
        m_itemSeconds = item.TrimEnd - item.TrimStart;
        m_itemFrames = RoundHalfEven(m_itemSeconds * m_request.FrameRate);
        TProgressFigures start;
        start.CurrentPercent = 0;
        start.FrameText = QStringLiteral("0 / ") + QString::number(m_itemFrames);
        m_view.ShowProgress(start);

        m_outputPath = OutputPathFor(m_outputFolder, m_request.VolumeName, item, m_request.OutputExtension);
        if (QFileInfo::exists(m_outputPath)) {
            if (m_request.Overwrite == TOverwriteMode::Ask) {
                const bool overwrite = m_view.AskYesNo(
                    QStringLiteral("The output file ") + QFileInfo(m_outputPath).fileName() +
                        QStringLiteral(
                            " is already existent.\nClick \"Yes\" to overwrite it. Click \"No\" to "
                            "skip this file"),
                    QStringLiteral("Output File Exists"));
                if (!m_active)
                    return; // the window closed while the question was open
                if (!overwrite) {
                    m_doneSeconds += 2 * m_itemSeconds;
                    ++m_summary.Skipped;
                    continue;
                }
            } else if (m_request.Overwrite == TOverwriteMode::Rename) {
                m_outputPath = RenamedPath(m_outputPath, m_request.OutputExtension, m_now());
            }
        }
        Q_EMIT itemStarted(m_index, m_outputPath);
        StartPreliminary();
        return;
    }
}

void TBatchDriver::StartPreliminary()
{
    const TBatchItem &b = m_request.Items.at(m_index);
    m_phase = TPhase::Preliminary;
    auto *run = new TPreliminaryRun(m_request.FirstStageTool,
                                    BuildPreliminaryArguments(b.Title, m_request.VideoTsPath), this);
    if (QFileInfo(m_workDir).isDir())
        run->SetWorkingDirectory(m_workDir); // a stray relative temp.avi lands where it is cleaned up
    run->SetSilenceTimeout(m_request.SilenceTimeoutMs);
    m_run = run;
    connect(run, &TToolRun::finished, this, [this](const TRunResult &r) {
        if (r.Outcome == TRunOutcome::LaunchFailed)
            m_view.ShowMessage(QStringLiteral("Error. Please re-install ") + m_request.ProductName, QString(),
                               TMessageKind::Plain);
        OnPreliminaryFinished();
    });
    run->Start();
}

void TBatchDriver::OnPreliminaryFinished()
{
    DropRun();
    if (!m_active)
        return;
    if (m_state == csCancelled) {
        CancelBatch();
        return;
    }
    StartFirstStage();
}

void TBatchDriver::StartFirstStage()
{
    if (!QFileInfo(m_workDir).isDir()) {
        // Kept for the later items and batches until the preferences set it again.
        m_workDir = m_request.ProgramDir;
        AppValues().WorkDir = m_request.ProgramDir;
    }
    const TBatchItem &b = m_request.Items.at(m_index);
    const TBuildResult args = BuildFirstStageArguments(b.Item, b.Title, m_encoderOptions, m_workDir,
                                                       m_request.VideoTsPath, MencOutputSettings());
    if (!args.Ok()) {
        FailItem(args.Error);
        return;
    }
    m_phase = TPhase::FirstStage;
    auto *run = new TFirstStageRun(m_request.FirstStageTool, args.Text, Context(), this);
    AdoptRun(run);
    const QString hint = ConvertingHint(m_request.VolumeName, b.Item, m_request.OutputExtension);
    connect(run, &TToolRun::started, this, [this, hint] { m_view.ShowHint(hint); });
    connect(run, &TToolRun::progressChanged, this, &TBatchDriver::OnProgress);
    connect(run, &TToolRun::finished, this, &TBatchDriver::OnFirstStageFinished);
    run->Start();
}

void TBatchDriver::OnFirstStageFinished(const TRunResult &result)
{
    DropRun();
    if (!m_active)
        return;
    if (m_state == csCancelled) {
        CancelBatch();
        return;
    }
    switch (result.Outcome) {
    case TRunOutcome::LaunchFailed:
        m_view.ShowMessage(QStringLiteral("Error. Please re-install ") + m_request.ProductName, QString(),
                           TMessageKind::Plain);
        EndAfterLaunchFailure();
        return;
    case TRunOutcome::Failed:
    case TRunOutcome::Cancelled:
        FailItem(QStringLiteral("the first stage ") + result.Detail);
        return;
    case TRunOutcome::Finished:
        break;
    }
    if (!IsNonEmptyFile(IntermediateFilePath(m_workDir))) {
        FailItem(QStringLiteral("the first stage wrote no intermediate file"));
        return;
    }
    StartSecondStage();
}

void TBatchDriver::AdoptRun(TToolRun *run)
{
    run->SetWorkingDirectory(m_workDir);
    run->SetSilenceTimeout(m_request.SilenceTimeoutMs);
    run->SetProgressInterval(m_request.ProgressIntervalMs);
    m_run = run;
}

void TBatchDriver::StartSecondStage()
{
    const TBuildResult options = BuildConverterOptions(m_request.ProfilePath, m_request.GridText);
    if (!options.Ok()) {
        FailItem(options.Error);
        return;
    }
    const TBuildResult args = BuildSecondStageArguments(options.Text, m_workDir, m_outputPath);
    if (!args.Ok()) {
        FailItem(args.Error);
        return;
    }
    m_phase = TPhase::SecondStage;
    auto *run = new TSecondStageRun(m_request.SecondStageTool, args.Text, Context(), this);
    AdoptRun(run);
    connect(run, &TToolRun::progressChanged, this, &TBatchDriver::OnProgress);
    connect(run, &TToolRun::finished, this, &TBatchDriver::OnSecondStageFinished);
    run->Start();
}

void TBatchDriver::OnSecondStageFinished(const TRunResult &result)
{
    DropRun();
    if (!m_active)
        return;
    if (result.Outcome == TRunOutcome::LaunchFailed)
        m_view.ShowMessage(QStringLiteral("Error"), QString(), TMessageKind::Plain);
    TProgressFigures full;
    full.CurrentPercent = 100;
    full.FrameText = QString::number(m_itemFrames) + QStringLiteral(" / ") + QString::number(m_itemFrames);
    m_view.ShowProgress(full);
    if (m_state == csCancelled) {
        CancelBatch();
        return;
    }
    if (result.Outcome != TRunOutcome::Finished) {
        FailItem(QStringLiteral("the second stage ") + result.Detail);
        return;
    }
    if (!IsNonEmptyFile(m_outputPath)) {
        FailItem(QStringLiteral("the second stage wrote no output file"));
        return;
    }
    ++m_summary.Converted;
    m_summary.OutputFiles.append(m_outputPath);
    ItemDone();
}

void TBatchDriver::FailItem(const QString &reason)
{
    m_summary.Failures.append({QFileInfo(m_outputPath).fileName(), reason});
    ItemDone();
}

void TBatchDriver::ItemDone()
{
    m_phase = TPhase::None;
    m_doneSeconds += 2 * m_itemSeconds;
    QMetaObject::invokeMethod(this, &TBatchDriver::NextItem, Qt::QueuedConnection);
}

void TBatchDriver::EndBatch()
{
    TProgressFigures full;
    full.TotalPercent = 100;
    OnProgress(full);
    DeleteIntermediate();
    timerTime.stop();
    m_view.HideHint();
    const TBatchOutcome outcome =
        m_summary.Failures.isEmpty() ? TBatchOutcome::Completed : TBatchOutcome::Failed;
    m_state = csIdle;
    if (m_view.TurnOffChecked(m_request.TurnOffWhenDone)) {
        m_view.ShowHint(QStringLiteral("Conversion is completed. Turning off the computer..."));
        m_power.PowerOff();
        m_view.CloseProgram();
    } else if (m_request.ExitWhenDone) {
        m_view.CloseProgram();
    } else {
        if (m_summary.Failures.isEmpty()) {
            m_view.ShowMessage(QStringLiteral("The conversion is completed successfully."),
                               QStringLiteral("Complete"), TMessageKind::Information);
        } else {
            QString text = QStringLiteral("The conversion is completed, but these items failed:");
            for (const TItemFailure &f : m_summary.Failures)
                text += QLatin1Char('\n') + f.FileName + QStringLiteral(": ") + f.Reason;
            m_view.ShowMessage(text, QStringLiteral("Complete"), TMessageKind::Warning);
        }
        if (m_request.OpenFolderWhenDone)
            m_view.OpenFolder(m_request.OutputFolder);
        m_view.ShowProgressPanel(false);
    }
    m_view.RestoreAfterConversion();
    Finish(outcome);
}

void TBatchDriver::CancelBatch()
{
    timerTime.stop();
    DeleteIntermediate();
    m_view.ShowMessage(QStringLiteral("The conversion is canceled."), QStringLiteral("Cancel"),
                       TMessageKind::Information);
    m_view.ShowProgressPanel(false);
    m_view.RestoreAfterConversion();
    Finish(TBatchOutcome::Cancelled);
}

void TBatchDriver::EndAfterLaunchFailure()
{
    timerTime.stop();
    DeleteIntermediate();
    m_state = csIdle;
    m_view.ShowProgressPanel(false);
    m_view.RestoreAfterConversion();
    Finish(TBatchOutcome::LaunchFailed);
}

void TBatchDriver::Finish(TBatchOutcome outcome)
{
    m_active = false;
    m_phase = TPhase::None;
    m_summary.Outcome = outcome;
    Q_EMIT batchFinished(m_summary);
}

void TBatchDriver::DeleteIntermediate()
{
    if (m_workDir.isEmpty())
        return;
    const QString path = IntermediateFilePath(m_workDir);
    if (QFileInfo::exists(path))
        QFile::remove(path);
}

void TBatchDriver::timerTimeTimer()
{
    m_batchClock.Tick(m_totalPercent);
    m_view.ShowClock(m_batchClock.ElapsedText(), m_batchClock.RemainingText());
}

void TBatchDriver::OnProgress(const TProgressFigures &figures)
{
    if (figures.TotalPercent >= 0)
        m_totalPercent = figures.TotalPercent;
    m_view.ShowProgress(figures);
}

void TBatchDriver::DropRun()
{
    if (!m_run)
        return;
    m_run->disconnect(this);
    m_run->deleteLater();
    m_run = nullptr;
}
