#include "conversion/RipCommand.h"

#include "app/helpers/AppValues.h"
#include "app/helpers/Helpers.h"
#include "app/helpers/IniFile.h"
#include "profiles/ProfileFormat.h"

#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

const QString kMain = QStringLiteral("Main");

// ---------------------------------------------------------------- stop signals

// The self-pipe of SIGINT and SIGTERM: the handler only writes a byte, the
// event loop reads it and stops the batch.
int g_stopPipe[2] = {-1, -1};

extern "C" void OnStopSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    const ssize_t written = ::write(g_stopPipe[1], &byte, 1);
    (void)written;
    errno = saved;
}

class TStopSignals
{
public:
    explicit TStopSignals(std::function<void()> onStop)
    {
        if (::pipe2(g_stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
            g_stopPipe[0] = g_stopPipe[1] = -1;
            return;
        }
        m_notifier = std::make_unique<QSocketNotifier>(g_stopPipe[0], QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [onStop = std::move(onStop)] {
            char bytes[16];
            while (::read(g_stopPipe[0], bytes, sizeof bytes) > 0) {
            }
            onStop();
        });
        struct sigaction action = {};
        action.sa_handler = OnStopSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0; // no SA_RESTART: a y/n question waiting on the terminal gives up
        sigaction(SIGINT, &action, &m_oldInt);
        sigaction(SIGTERM, &action, &m_oldTerm);
        m_installed = true;
    }

    ~TStopSignals()
    {
        if (m_installed) {
            sigaction(SIGINT, &m_oldInt, nullptr);
            sigaction(SIGTERM, &m_oldTerm, nullptr);
        }
        m_notifier.reset();
        for (int &fd : g_stopPipe) {
            if (fd >= 0)
                ::close(fd);
            fd = -1;
        }
    }

    TStopSignals(const TStopSignals &) = delete;
    TStopSignals &operator=(const TStopSignals &) = delete;

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
    struct sigaction m_oldInt = {};
    struct sigaction m_oldTerm = {};
    bool m_installed = false;
};

// One line of standard input, read byte by byte so that nothing beyond it is
// consumed; false at the end of the input or when a signal interrupts the read.
bool ReadStandardInputLine(QString &line)
{
    QByteArray bytes;
    while (true) {
        char c = 0;
        const ssize_t n = ::read(STDIN_FILENO, &c, 1);
        if (n < 0)
            return false; // EINTR included: Ctrl-C while the question waits
        if (n == 0) {
            if (bytes.isEmpty())
                return false;
            break;
        }
        if (c == '\n')
            break;
        bytes.append(c);
    }
    line = QString::fromLocal8Bit(bytes);
    return true;
}

class TNoPowerControl : public TPowerControl
{
public:
    bool PowerOff() override { return false; }
};

QString OverwriteName(TOverwriteMode mode)
{
    switch (mode) {
    case TOverwriteMode::Ask:
        return QStringLiteral("ask");
    case TOverwriteMode::Rename:
        return QStringLiteral("rename");
    case TOverwriteMode::Overwrite:
        break;
    }
    return QStringLiteral("overwrite");
}

} // namespace

// ---------------------------------------------------------------- arguments

QString RipUsage()
{
    return QStringLiteral(
        "usage: velmora-ripper --rip FOLDER --output DIR [--profile NAME] [--items LIST]\n"
        "                      [--overwrite ask|overwrite|rename] [--work DIR]\n"
        "  FOLDER     a DVD-Video folder (or its VIDEO_TS folder)\n"
        "  --output   the folder that receives the converted files\n"
        "  --profile  a profile of the program's Profiles folder (default: the one last chosen)\n"
        "  --items    comma-separated: 3 is title 3, 3.2 is its chapter 2 (default: the longest title)\n"
        "  --overwrite what to do with an output file that exists (default: the Settings choice)\n"
        "  --work     the folder for the intermediate file (default: the Settings work folder)\n");
}

bool ParseRipArguments(const QStringList &arguments, TRipArguments &parsed, QString &error)
{
    parsed = TRipArguments();
    if (arguments.isEmpty() || arguments.first() != QLatin1String("--rip")) {
        error = QStringLiteral("the first argument must be --rip");
        return false;
    }
    bool haveFolder = false, haveOutput = false, haveProfile = false, haveItems = false, haveWork = false;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        auto value = [&](bool &seen, QString &target) {
            if (seen) {
                error = a + QStringLiteral(" is given twice");
                return false;
            }
            if (i + 1 >= arguments.size()) {
                error = a + QStringLiteral(" needs a value");
                return false;
            }
            seen = true;
            target = arguments.at(++i);
            return true;
        };
        if (a == QLatin1String("--output")) {
            if (!value(haveOutput, parsed.OutputDir))
                return false;
        } else if (a == QLatin1String("--profile")) {
            if (!value(haveProfile, parsed.Profile))
                return false;
        } else if (a == QLatin1String("--items")) {
            if (!value(haveItems, parsed.Items))
                return false;
        } else if (a == QLatin1String("--work")) {
            if (!value(haveWork, parsed.WorkDir))
                return false;
        } else if (a == QLatin1String("--overwrite")) {
            QString mode;
            if (!value(parsed.HasOverwrite, mode))
                return false;
            if (mode == QLatin1String("ask"))
                parsed.Overwrite = TOverwriteMode::Ask;
            else if (mode == QLatin1String("overwrite"))
                parsed.Overwrite = TOverwriteMode::Overwrite;
            else if (mode == QLatin1String("rename"))
                parsed.Overwrite = TOverwriteMode::Rename;
            else {
                error = QStringLiteral("--overwrite takes ask, overwrite or rename, not '%1'").arg(mode);
                return false;
            }
        } else if (a.startsWith(QLatin1String("--"))) {
            error = QStringLiteral("unknown option %1").arg(a);
            return false;
        } else if (haveFolder) {
            error = QStringLiteral("only one disc folder can be given ('%1' and '%2')").arg(parsed.Folder, a);
            return false;
        } else {
            haveFolder = true;
            parsed.Folder = a;
        }
    }
    if (!haveFolder || parsed.Folder.isEmpty()) {
        error = QStringLiteral("no disc folder given");
        return false;
    }
    if (!haveOutput || parsed.OutputDir.isEmpty()) {
        error = QStringLiteral("no output folder given (--output DIR)");
        return false;
    }
    if (haveProfile && parsed.Profile.isEmpty()) {
        error = QStringLiteral("--profile needs a profile name");
        return false;
    }
    if (haveWork && parsed.WorkDir.isEmpty()) {
        error = QStringLiteral("--work needs a folder");
        return false;
    }
    return true;
}

bool SelectRipItems(const QList<TTitleNode> &titles, const QString &list, QList<TBatchItem> &items,
                    QString &error)
{
    items.clear();
    if (list.trimmed().isEmpty()) {
        const int longest = CheckLongestTitle(titles);
        if (longest < 0) {
            error = QStringLiteral("the disc has no titles");
            return false;
        }
        items.append({titles[longest].title, titles[longest].title});
        return true;
    }
    static const QRegularExpression pattern(QStringLiteral("^(\\d+)(?:\\.(\\d+))?$"));
    QStringList seen;
    for (const QString &rawPiece : list.split(QLatin1Char(','))) {
        const QString piece = rawPiece.trimmed();
        const QRegularExpressionMatch match = pattern.match(piece);
        if (!match.hasMatch()) {
            error = QStringLiteral("'%1' in --items is neither a title (3) nor a chapter (3.2)").arg(piece);
            return false;
        }
        const int titleNumber = match.captured(1).toInt();
        const TTitleNode *node = nullptr;
        for (const TTitleNode &t : titles) {
            if (t.title.Number == titleNumber) {
                node = &t;
                break;
            }
        }
        if (!node) {
            error = QStringLiteral("the disc has no title %1").arg(titleNumber);
            return false;
        }
        const TaskItem *item = &node->title;
        if (!match.captured(2).isEmpty()) {
            const int chapterNumber = match.captured(2).toInt();
            item = nullptr;
            for (const TaskItem &c : node->chapters) {
                if (c.Number == chapterNumber) {
                    item = &c;
                    break;
                }
            }
            if (!item) {
                error = QStringLiteral("title %1 has no chapter %2").arg(titleNumber).arg(chapterNumber);
                return false;
            }
        }
        const QString key = QString::number(titleNumber) + QLatin1Char('.') +
                            (item->IsTitle ? QString() : QString::number(item->Number));
        if (seen.contains(key))
            continue;
        seen.append(key);
        TBatchItem b{*item, node->title};
        b.Item.Checked = true;
        items.append(b);
    }
    return true;
}

TGridLookup ProfileOwnValues(const TProfile &profile)
{
    return [profile](int sort, const QString &name) -> QString {
        for (int i = 0; i < profile.Parameters.size(); ++i) {
            const TProfileParameter &p = profile.Parameters.at(i);
            if (p.Name.compare(name, Qt::CaseInsensitive) != 0 || EffectiveGrid(profile, i) != sort)
                continue;
            if (!p.List)
                return p.Caption;
            const QStringList choices = SplitCommaList(p.Caption);
            return p.Index >= 0 && p.Index < choices.size() ? choices.at(p.Index) : QString();
        }
        return QString();
    };
}

TOverwriteMode PreferredOverwriteMode(const QString &preferencesPath)
{
    const TIniFile ini(preferencesPath);
    if (ini.ReadBool(kMain, QStringLiteral("Overwrite"), false))
        return TOverwriteMode::Overwrite;
    if (ini.ReadBool(kMain, QStringLiteral("Ask"), true))
        return TOverwriteMode::Ask;
    return TOverwriteMode::Rename;
}

QString PreferredProfileName(const QString &preferencesPath, const QString &profilesDir)
{
    const QStringList files = ListFilesByExtension(profilesDir, QStringLiteral(".apf"));
    const int index = TIniFile(preferencesPath).ReadInteger(kMain, QStringLiteral("Profile"), 0);
    return index >= 0 && index < files.size() ? StripExtension(files.at(index)) : QString();
}

QString PreferredWorkDir(const QString &preferencesPath, const QString &programDir)
{
    const QString folder =
        TIniFile(preferencesPath).ReadString(kMain, QStringLiteral("Work Dir"), programDir);
    return AddTrailingBackslash(folder.isEmpty() ? programDir : folder);
}

// ---------------------------------------------------------------- terminal view

TTerminalBatchView::TTerminalBatchView(QTextStream &err, TLineReader answers)
    : m_err(err), m_answers(answers ? std::move(answers) : TLineReader(ReadStandardInputLine))
{
}

void TTerminalBatchView::SetItem(int index, int count, const QString &outputPath)
{
    m_index = index;
    m_count = count;
    m_itemName = QFileInfo(outputPath).fileName();
    m_current = 0;
    m_err
        << QStringLiteral("%1/%2 %3: converting to %4").arg(index + 1).arg(count).arg(m_itemName, outputPath)
        << Qt::endl;
    m_lastLine.clear();
}

QString TTerminalBatchView::ProgressLine() const
{
    return QStringLiteral("%1/%2 %3: %4% (total %5%) elapsed %6 remaining %7")
        .arg(m_index + 1)
        .arg(m_count)
        .arg(m_itemName)
        .arg(m_current)
        .arg(m_total)
        .arg(m_elapsed, m_total >= 100          ? QStringLiteral("00:00:00")
                        : m_remaining.isEmpty() ? QStringLiteral("--:--:--")
                                                : m_remaining);
}

void TTerminalBatchView::PrintProgress(bool force)
{
    if (m_index < 0)
        return;
    const QString line = ProgressLine();
    if (line == m_lastLine)
        return;
    // At most about one line a second, whatever the rate of reports; the
    // end of an item is always shown.
    if (!force && m_sinceLine.isValid() && m_sinceLine.elapsed() < 900 && m_current < 100)
        return;
    m_err << line << Qt::endl;
    m_lastLine = line;
    m_sinceLine.start();
}

void TTerminalBatchView::ShowMessage(const QString &text, const QString &caption, TMessageKind kind)
{
    QString shown = text;
    shown.replace(QLatin1Char('\n'), QStringLiteral("\n  "));
    const QString prefix = kind == TMessageKind::Warning ? QStringLiteral("warning: ") : QString();
    if (caption.isEmpty())
        m_err << prefix << shown << Qt::endl;
    else
        m_err << prefix << caption << QStringLiteral(": ") << shown << Qt::endl;
}

bool TTerminalBatchView::AskYesNo(const QString &text, const QString &caption)
{
    m_err << caption << QStringLiteral(": ") << text << Qt::endl;
    while (true) {
        m_err << QStringLiteral("Overwrite? [y/n] ") << Qt::flush;
        QString line;
        if (!m_answers(line)) {
            m_err << QStringLiteral("n") << Qt::endl;
            return false;
        }
        const QString answer = line.trimmed().toLower();
        if (answer == QLatin1String("y") || answer == QLatin1String("yes"))
            return true;
        if (answer == QLatin1String("n") || answer == QLatin1String("no"))
            return false;
    }
}

void TTerminalBatchView::ShowProgress(const TProgressFigures &figures)
{
    if (figures.CurrentPercent >= 0)
        m_current = figures.CurrentPercent;
    if (figures.TotalPercent >= 0)
        m_total = figures.TotalPercent;
    PrintProgress(false);
}

void TTerminalBatchView::ShowClock(const QString &elapsed, const QString &remaining)
{
    if (!elapsed.isEmpty())
        m_elapsed = elapsed;
    m_remaining = remaining;
    PrintProgress(false);
}

// ---------------------------------------------------------------- partial output

void TPartialOutputGuard::ItemStarted(const QString &outputPath)
{
    const QFileInfo info(outputPath);
    m_path = outputPath;
    m_existed = info.exists();
    m_size = m_existed ? info.size() : -1;
    m_modified = m_existed ? info.lastModified().toMSecsSinceEpoch() : 0;
}

bool TPartialOutputGuard::Clean(const TBatchSummary &summary)
{
    if (m_path.isEmpty() || summary.OutputFiles.contains(m_path))
        return false;
    if (summary.Outcome == TBatchOutcome::Completed)
        return false;
    bool unfinished =
        summary.Outcome == TBatchOutcome::Cancelled || summary.Outcome == TBatchOutcome::Aborted;
    const QString name = QFileInfo(m_path).fileName();
    for (const TItemFailure &f : summary.Failures)
        unfinished = unfinished || f.FileName == name;
    if (!unfinished)
        return false;
    const QFileInfo info(m_path);
    if (!info.exists())
        return false;
    const bool touched =
        !m_existed || info.size() != m_size || info.lastModified().toMSecsSinceEpoch() != m_modified;
    return touched && QFile::remove(m_path);
}

// ---------------------------------------------------------------- running

TBatchSummary RunBatchToEnd(TBatchDriver &driver, const TBatchRequest &request, bool &started)
{
    TBatchSummary summary;
    bool done = false;
    QEventLoop loop;
    const QMetaObject::Connection finished =
        QObject::connect(&driver, &TBatchDriver::batchFinished, &loop, [&](const TBatchSummary &s) {
            summary = s;
            done = true;
            loop.quit();
        });
    {
        TStopSignals stopSignals([&driver] { driver.Stop(); });
        started = driver.Start(request);
        if (started && !done)
            loop.exec();
    }
    QObject::disconnect(finished);
    return summary;
}

int RipExitStatus(const TBatchSummary &summary)
{
    return summary.Outcome == TBatchOutcome::Completed && summary.Failures.isEmpty() ? RipExitOk
                                                                                     : RipExitFailed;
}

int RunRipCommand(const QStringList &arguments, QTextStream &out, QTextStream &err,
                  TTerminalBatchView::TLineReader answers)
{
    auto usageError = [&err](const QString &text) {
        err << QStringLiteral("velmora-ripper: ") << text << Qt::endl << RipUsage() << Qt::flush;
        return RipExitUsage;
    };
    auto argumentError = [&err](const QString &text) {
        err << QStringLiteral("velmora-ripper: ") << text << Qt::endl;
        return RipExitUsage;
    };

    TRipArguments args;
    QString error;
    if (!ParseRipArguments(arguments, args, error))
        return usageError(error);

    TAppValues &app = AppValues();
    if (!QFileInfo(args.Folder).isDir())
        return argumentError(QStringLiteral("the disc folder '%1' does not exist").arg(args.Folder));
    if (!QFileInfo(args.OutputDir).isDir())
        return argumentError(QStringLiteral("the output folder '%1' does not exist").arg(args.OutputDir));
    if (!args.WorkDir.isEmpty() && !QFileInfo(args.WorkDir).isDir())
        return argumentError(QStringLiteral("the work folder '%1' does not exist").arg(args.WorkDir));

    const QString preferences = PreferencesPath();
    const QStringList profileFiles = ListFilesByExtension(ProfilesDir(), QStringLiteral(".apf"));
    QString profileName;
    if (args.Profile.isEmpty()) {
        profileName = PreferredProfileName(preferences, ProfilesDir());
        if (profileName.isEmpty())
            return argumentError(
                QStringLiteral("no profile is chosen in the preferences; name one with --profile"));
    } else {
        for (const QString &file : profileFiles) {
            const QString name = StripExtension(file);
            if (name == args.Profile) {
                profileName = name;
                break;
            }
            if (profileName.isEmpty() && name.compare(args.Profile, Qt::CaseInsensitive) == 0)
                profileName = name;
        }
        if (profileName.isEmpty()) {
            QString known;
            for (const QString &file : profileFiles)
                known += QStringLiteral("\n  ") + StripExtension(file);
            return argumentError(
                QStringLiteral("there is no profile '%1' in %2; the profiles are:%3")
                    .arg(args.Profile, ProfilesDir(), known.isEmpty() ? QStringLiteral(" (none)") : known));
        }
    }
    const QString profilePath = ProfilePath(app.ProgramDir, profileName);
    if (!QFileInfo(profilePath).isFile())
        return argumentError(QStringLiteral("the profile file '%1' does not exist").arg(profilePath));

    QList<TTitleNode> titles;
    try {
        titles = LoadDvdTitles(args.Folder);
    } catch (const std::exception &e) {
        return argumentError(QStringLiteral("cannot open the disc folder '%1': %2")
                                 .arg(args.Folder, QString::fromLocal8Bit(e.what())));
    }
    if (titles.isEmpty())
        return argumentError(QStringLiteral("'%1' holds no DVD-Video titles").arg(args.Folder));
    QList<TBatchItem> items;
    if (!SelectRipItems(titles, args.Items, items, error))
        return argumentError(error);

    const TProfile profile = ReadProfile(profilePath);
    app.OutputExtension = OutputExtension(profile);

    TBatchRequest request = DefaultBatchRequest();
    request.Items = items;
    request.OutputFolder = args.OutputDir;
    request.ProfilePath = profilePath;
    request.GridText = ProfileOwnValues(profile);
    request.OutputExtension = app.OutputExtension;
    request.WorkDir = args.WorkDir.isEmpty() ? PreferredWorkDir(preferences, app.ProgramDir)
                                             : AddTrailingBackslash(args.WorkDir);
    request.Overwrite = args.HasOverwrite ? args.Overwrite : PreferredOverwriteMode(preferences);

    err << QStringLiteral("Converting %1 item(s) of %2 with the profile '%3' into %4 (existing files: %5)")
               .arg(items.size())
               .arg(args.Folder, profileName, args.OutputDir, OverwriteName(request.Overwrite))
        << Qt::endl;

    TTerminalBatchView view(err, std::move(answers));
    TNoPowerControl power;
    TBatchDriver driver(view, power);
    TPartialOutputGuard guard;
    const int count = items.size();
    QObject::connect(&driver, &TBatchDriver::itemStarted, &driver, [&](int index, const QString &path) {
        view.SetItem(index, count, path);
        guard.ItemStarted(path);
    });

    bool started = false;
    const TBatchSummary summary = RunBatchToEnd(driver, request, started);
    if (!started)
        return RipExitUsage; // the refusal has been printed (e.g. a profile that cannot be resolved)

    if (guard.Clean(summary))
        err << QStringLiteral("Removed the unfinished output file.") << Qt::endl;
    switch (summary.Outcome) {
    case TBatchOutcome::LaunchFailed:
        err << QStringLiteral("velmora-ripper: the first-stage tool '%1' could not be started")
                   .arg(request.FirstStageTool)
            << Qt::endl;
        break;
    case TBatchOutcome::Cancelled:
    case TBatchOutcome::Aborted:
        err << QStringLiteral("velmora-ripper: cancelled") << Qt::endl;
        break;
    case TBatchOutcome::Failed:
    case TBatchOutcome::Completed:
        break;
    }
    err << QStringLiteral("%1 converted, %2 skipped, %3 failed")
               .arg(summary.Converted)
               .arg(summary.Skipped)
               .arg(summary.Failures.size())
        << Qt::endl;
    for (const QString &file : summary.OutputFiles)
        out << file << Qt::endl;
    return RipExitStatus(summary);
}
