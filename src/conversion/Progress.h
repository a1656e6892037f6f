#pragma once

// Reading the tools' status texts and turning positions into the figures of
// the progress panel. All free functions, so they can be checked on their own.

#include <QByteArray>
#include <QString>

// What the parsers answer for a chunk that holds no readable position.
constexpr double NoPosition = -1.0;

// The first-stage position in seconds from the first "Pos:" of the chunk: the
// text after it up to the next "s" ('Pos:  12.3s   308f' gives 12.3). A chunk
// is cut at its first zero byte. NoPosition when there is no "Pos:" or the
// text is not a decimal number.
double ParseFirstStagePosition(const QByteArray &chunk);

// The same from the last "Pos:" of the chunk (the newest status).
double ParseLastFirstStagePosition(const QByteArray &chunk);

// The second-stage position in seconds: the text after the first "time=" up to
// the next blank, or, in a chunk without "time=", after the first "time" and
// one character. Both 'time=95.20' and the clock form 'time=00:01:35.20' read
// as 95.2; 'time=N/A', a negative time and a chunk without "time" give
// NoPosition.
double ParseSecondStageTime(const QByteArray &chunk);

// A decimal number with "." as separator and optional leading blanks
// ("  12.3"); no sign, exponent or trailing text. False when it is not one.
bool ReadDecimal(const QString &text, double &value);

// Whether the first stage has printed the closing summary of a finished
// encode (its "Video stream:" line).
bool HasClosingSummary(const QByteArray &text);

// The figures of the progress panel. A negative percent or an empty frame
// text means "leave as shown" (the item or the batch has no length).
struct TProgressFigures
{
    int CurrentPercent = -1; // pgbCurrent and labCurProgress, 0..100
    int TotalPercent = -1;   // pgbTotal and labTotalProgress, 0..100
    QString FrameText;       // labFrame, e.g. '1234 / 2500'

    bool operator==(const TProgressFigures &o) const
    {
        return CurrentPercent == o.CurrentPercent && TotalPercent == o.TotalPercent &&
               FrameText == o.FrameText;
    }
    bool operator!=(const TProgressFigures &o) const { return !(*this == o); }
};

// What a stage needs to know about the batch to place its position.
struct TStageContext
{
    double ItemSeconds = 0;   // TrimEnd - TrimStart of the item
    long long ItemFrames = 0; // ItemSeconds x FrameRate, rounded
    double TotalSeconds = 0;  // twice the sum of the item seconds of the batch
    double DoneSeconds = 0;   // seconds credited to the items before this one
    double FrameRate = 25;
};

// First stage at `position` seconds into the item: the current bar runs from
// 0 to 50 %, the frame label shows position x FrameRate / 2.
TProgressFigures FirstStageFigures(double position, const TStageContext &context);

// Second stage at `position` seconds into the output: the current bar runs
// from 50 to 100 %, counting the first stage as if it had covered the item.
TProgressFigures SecondStageFigures(double position, const TStageContext &context);

// A bar position: rounded half to even, shown as the nearer end when outside 0..100.
int BarPosition(double percent);

// The batch clock of timerTime: one Tick a second. The remaining time is
// elapsed / (p / 100) - elapsed for the total bar's position p, and keeps its
// last value while p is 0.
class TBatchClock
{
public:
    void Reset();
    void Tick(int totalPercent);
    int Elapsed() const { return m_elapsed; }
    int Remaining() const { return m_remaining; }
    QString ElapsedText() const;   // FormatSeconds of Elapsed
    QString RemainingText() const; // empty until a remaining time has been computed

private:
    int m_elapsed = 0;
    int m_remaining = 0;
    bool m_haveRemaining = false;
};
