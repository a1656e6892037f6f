#include "app/helpers/Helpers.h"

#include <cmath>
#include <cstdlib>

long long RoundHalfEven(double value)
{
    return static_cast<long long>(std::nearbyint(value)); // default FE_TONEAREST: halves to even
}

QString FormatSeconds(double seconds)
{
    const long long n = RoundHalfEven(seconds);
    const long long h = n / 3600;
    const long long m = (n - 3600 * h) / 60;
    const long long s = n - 3600 * h - 60 * m;
    auto two = [](long long v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    return two(h) + QLatin1Char(':') + two(m) + QLatin1Char(':') + two(s);
}

namespace {

// An optional sign and decimal digits; leading blanks are tolerated.
bool ParseIntegerField(const QString &text, long long &value)
{
    int i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    const QString rest = text.mid(i);
    if (rest.isEmpty())
        return false;
    int j = 0;
    if (rest.at(0) == QLatin1Char('+') || rest.at(0) == QLatin1Char('-'))
        j = 1;
    if (j >= rest.size())
        return false;
    for (int k = j; k < rest.size(); ++k)
        if (!rest.at(k).isDigit() || rest.at(k).unicode() > 127)
            return false;
    bool ok = false;
    value = rest.toLongLong(&ok);
    return ok && value >= INT32_MIN && value <= INT32_MAX;
}

// Optional sign, digits, optionally "." and digits, optionally an exponent;
// it must not begin with ".". Parsed with the C locale so "." is the separator.
bool ParseSecondsField(const QString &text, double &value)
{
    const QByteArray bytes = text.toLatin1();
    int i = 0;
    const int n = bytes.size();
    if (i < n && (bytes[i] == '+' || bytes[i] == '-'))
        ++i;
    const int digitsStart = i;
    while (i < n && bytes[i] >= '0' && bytes[i] <= '9')
        ++i;
    if (i == digitsStart)
        return false; // also rejects a leading "."
    if (i < n && bytes[i] == '.') {
        ++i;
        while (i < n && bytes[i] >= '0' && bytes[i] <= '9')
            ++i;
    }
    if (i < n && (bytes[i] == 'e' || bytes[i] == 'E')) {
        ++i;
        if (i < n && (bytes[i] == '+' || bytes[i] == '-'))
            ++i;
        const int expStart = i;
        while (i < n && bytes[i] >= '0' && bytes[i] <= '9')
            ++i;
        if (i == expStart)
            return false;
    }
    if (i != n)
        return false;
    bool ok = false;
    value = QString::fromLatin1(bytes).toDouble(&ok); // QString::toDouble is locale independent
    return ok && std::isfinite(value);
}

} // namespace

double ParseTimeText(const QString &text)
{
    const int first = text.indexOf(QLatin1Char(':'));
    if (first < 0)
        return -1.0;
    const QString hours = text.left(first);
    const QString rest = text.mid(first + 1);
    const int second = rest.indexOf(QLatin1Char(':'));
    if (second < 0)
        return -1.0;
    const QString minutes = rest.left(second);
    const QString secs = rest.mid(second + 1);
    long long h = 0, m = 0;
    double s = 0;
    if (!ParseIntegerField(hours, h) || !ParseIntegerField(minutes, m) || !ParseSecondsField(secs, s))
        return -1.0;
    const auto whole = static_cast<int32_t>(static_cast<uint32_t>(h * 3600 + m * 60));
    return static_cast<double>(whole) + s;
}

QString StripExtension(const QString &name)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString AddTrailingBackslash(const QString &path)
{
    if (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\')))
        return path;
    return path + QLatin1Char('/');
}

QStringList SplitCommaList(const QString &text)
{
    QStringList items;
    int from = 0;
    for (int comma = text.indexOf(QLatin1Char(','), from); comma >= 0;
         comma = text.indexOf(QLatin1Char(','), from)) {
        items.append(text.mid(from, comma - from));
        from = comma + 1;
    }
    return items;
}
