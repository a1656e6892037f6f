#pragma once

// velmora-ripper --rip FOLDER --output DIR [--profile NAME] [--items LIST]
//                [--overwrite ask|overwrite|rename] [--work DIR]
//
// The conversion batch without a window: the same driver as the Start button,
// with a view that writes to the terminal. Progress goes to standard error as
// one line per report; questions are answered with y/n on standard input.
// Ctrl-C and SIGTERM stop the tools and remove the intermediate file.
//
// Exit status: 0 when every item converted, 1 when an item failed or the run
// was cancelled, 2 for bad arguments (with a clear message).

#include "conversion/BatchDriver.h"
#include "dvd/LoadDvdTitles.h"
#include "profiles/Profile.h"

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>

constexpr int RipExitOk = 0;
constexpr int RipExitFailed = 1;
constexpr int RipExitUsage = 2;

QString RipUsage();

// What the command line asks for. Empty texts and false flags: not given.
struct TRipArguments
{
    QString Folder;    // the disc folder (or its VIDEO_TS folder)
    QString OutputDir; // --output
    QString Profile;   // --profile: a profile's name as the window lists it
    QString Items;     // --items: '3' is title 3, '3.2' its chapter 2, comma-separated
    QString WorkDir;   // --work: the folder for the intermediate file
    bool HasOverwrite = false;
    TOverwriteMode Overwrite = TOverwriteMode::Ask;
};

// `arguments` are those after the program name, the first being "--rip".
// False with `error` set when they cannot be understood.
bool ParseRipArguments(const QStringList &arguments, TRipArguments &parsed, QString &error);

// The items a LIST names, in its order (an item named twice counts once),
// each with its title. An empty LIST names the title the open checks (the
// longest). False with `error` set for a piece that is not 'N' or 'N.M' or
// names no title or chapter of the disc.
bool SelectRipItems(const QList<TTitleNode> &titles, const QString &list, QList<TBatchItem> &items,
                    QString &error);

// The rows the main window's grids show right after loading `profile`: a list
// parameter's choice at its Index, any other parameter's Caption.
TGridLookup ProfileOwnValues(const TProfile &profile);

// The overwrite choice stored in the preferences file (Main: Overwrite wins,
// then Ask; neither is rename).
TOverwriteMode PreferredOverwriteMode(const QString &preferencesPath);

// The profile remembered in the preferences (Main/Profile, a position in the
// sorted list of profiles in `profilesDir`); empty when it names none.
QString PreferredProfileName(const QString &preferencesPath, const QString &profilesDir);

// The work folder of the preferences (Main/"Work Dir", the program folder when missing).
QString PreferredWorkDir(const QString &preferencesPath, const QString &programDir);

// The terminal's view of a batch: messages and progress lines on `err`,
// questions answered from `answers` (a line starting with y or n; the end of
// the input or an interrupted read is No).
class TTerminalBatchView : public TBatchView
{
public:
    using TLineReader = std::function<bool(QString &line)>; // false at the end of the input

    TTerminalBatchView(QTextStream &err, TLineReader answers);

    // The item now running: its position (0-based), the count and its file.
    void SetItem(int index, int count, const QString &outputPath);

    void ShowMessage(const QString &text, const QString &caption, TMessageKind kind) override;
    bool AskYesNo(const QString &text, const QString &caption) override;
    void ShowProgress(const TProgressFigures &figures) override;
    void ShowClock(const QString &elapsed, const QString &remaining) override;

    // The progress line as it would be printed now.
    QString ProgressLine() const;

private:
    void PrintProgress(bool force);

    QTextStream &m_err;
    TLineReader m_answers;
    QString m_itemName;
    int m_index = -1;
    int m_count = 0;
    int m_current = 0;
    int m_total = 0;
    QString m_elapsed = QStringLiteral("00:00:00");
    QString m_remaining;
    QString m_lastLine;
    QElapsedTimer m_sinceLine;
};

// Remembers each item's output file as it starts, so that a batch that ends
// in the middle of an item can remove the half-written file: a file that did
// not exist before, or whose size or time changed since, was written by this
// batch's unfinished item. Files of finished items are never touched.
class TPartialOutputGuard
{
public:
    void ItemStarted(const QString &outputPath);
    // After the batch: removes the unfinished item's output when it ended in
    // the middle (cancelled, aborted or the item failed). True when it removed one.
    bool Clean(const TBatchSummary &summary);

private:
    QString m_path;
    bool m_existed = false;
    qint64 m_size = -1;
    qint64 m_modified = 0;
};

// Runs `request` through `driver` to its end in a local event loop. SIGINT
// and SIGTERM stop the batch while it runs. `started` is false when the
// driver refused the request (its message has gone to the view).
TBatchSummary RunBatchToEnd(TBatchDriver &driver, const TBatchRequest &request, bool &started);

// The exit status of a finished batch.
int RipExitStatus(const TBatchSummary &summary);

// The whole command. Needs a QCoreApplication, and AppValues() filled by the
// program's start-up (program folder and tool paths). `in` answers "ask".
int RunRipCommand(const QStringList &arguments, QTextStream &out, QTextStream &err,
                  TTerminalBatchView::TLineReader answers = {});
