#include "conversion/Progress.h"

#include "app/helpers/Helpers.h"

#include <algorithm>
#include <cmath>

namespace {

QByteArray UpToZero(const QByteArray &chunk)
{
    const int zero = chunk.indexOf('\0');
    return zero < 0 ? chunk : chunk.left(zero);
}

double PositionAfter(const QByteArray &text, int marker)
{
    if (marker < 0)
        return NoPosition;
    const int from = marker + 4;
    const int end = text.indexOf('s', from);
    const QByteArray number = end < 0 ? text.mid(from) : text.mid(from, end - from);
    double value = 0;
    return ReadDecimal(QString::fromLatin1(number), value) ? value : NoPosition;
}

} // namespace

bool ReadDecimal(const QString &text, double &value)
{
    int i = 0;
    const int n = text.size();
    while (i < n && text.at(i) == QLatin1Char(' '))
        ++i;
    const int digits = i;
    while (i < n && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'))
        ++i;
    bool any = i > digits;
    if (i < n && text.at(i) == QLatin1Char('.')) {
        ++i;
        const int fraction = i;
        while (i < n && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'))
            ++i;
        any = any || i > fraction;
    }
    if (!any || i != n)
        return false;
    bool ok = false;
    const double v = text.mid(digits).toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

double ParseFirstStagePosition(const QByteArray &chunk)
{
    const QByteArray text = UpToZero(chunk);
    return PositionAfter(text, text.indexOf("Pos:"));
}

double ParseLastFirstStagePosition(const QByteArray &chunk)
{
    const QByteArray text = UpToZero(chunk);
    return PositionAfter(text, text.lastIndexOf("Pos:"));
}

double ParseSecondStageTime(const QByteArray &chunk)
{
    const QByteArray text = UpToZero(chunk);
    int from = text.indexOf("time=");
    if (from >= 0) {
        from += 5;
    } else {
        from = text.indexOf("time");
        if (from < 0)
            return NoPosition;
        from += 5;
    }
    int end = from;
    while (end < text.size() && text.at(end) != ' ' && text.at(end) != '\r' && text.at(end) != '\n' &&
           text.at(end) != '\t')
        ++end;
    const QString field = QString::fromLatin1(text.mid(from, end - from));
    if (field.contains(QLatin1Char(':'))) {
        if (field.startsWith(QLatin1Char('-')))
            return NoPosition;
        const double seconds = ParseTimeText(field);
        return seconds < 0 ? NoPosition : seconds;
    }
    double value = 0;
    return ReadDecimal(field, value) ? value : NoPosition;
}

bool HasClosingSummary(const QByteArray &text)
{
    return text.contains("Video stream:");
}

int BarPosition(double percent)
{
    if (!std::isfinite(percent))
        return 0;
    const double clamped = std::clamp(percent, 0.0, 100.0);
    return static_cast<int>(RoundHalfEven(clamped));
}

TProgressFigures FirstStageFigures(double position, const TStageContext &c)
{
    TProgressFigures f;
    if (c.ItemSeconds != 0) {
        f.CurrentPercent = BarPosition(position / c.ItemSeconds * 100 / 2);
        f.FrameText = QString::number(RoundHalfEven(position * c.FrameRate / 2)) + QStringLiteral(" / ") +
                      QString::number(c.ItemFrames);
    }
    if (c.TotalSeconds != 0)
        f.TotalPercent = BarPosition((c.DoneSeconds + position) / c.TotalSeconds * 100);
    return f;
}

TProgressFigures SecondStageFigures(double position, const TStageContext &c)
{
    TProgressFigures f;
    const double d = c.ItemSeconds;
    if (d != 0) {
        f.CurrentPercent = BarPosition((d + position) / (2 * d) * 100);
        f.FrameText = QString::number(RoundHalfEven((d + position) / 2 * c.FrameRate)) +
                      QStringLiteral(" / ") + QString::number(RoundHalfEven(d * c.FrameRate));
    }
    if (c.TotalSeconds != 0)
        f.TotalPercent = BarPosition((c.DoneSeconds + d + position) / c.TotalSeconds * 100);
    return f;
}

void TBatchClock::Reset()
{
    *this = TBatchClock();
}

void TBatchClock::Tick(int totalPercent)
{
    ++m_elapsed;
    if (totalPercent != 0) {
        const double p = totalPercent / 100.0;
        m_remaining = static_cast<int>(RoundHalfEven(m_elapsed / p - m_elapsed));
        m_haveRemaining = true;
    }
}

QString TBatchClock::ElapsedText() const
{
    return FormatSeconds(m_elapsed);
}

QString TBatchClock::RemainingText() const
{
    return m_haveRemaining ? FormatSeconds(m_remaining) : QString();
}
