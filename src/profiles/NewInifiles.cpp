#include "profiles/NewInifiles.h"

#include "app/helpers/IniFile.h"

#include <QFile>

namespace {
const QString CrLf = QStringLiteral("\r\n");

// Lower case that keeps every character's position, so indices found in the
// lowered text hold for the original text too.
QString Lower(const QString &text)
{
    QString result = text;
    for (QChar &c : result) {
        const QChar l = c.toLower();
        if (l.unicode() <= 0xFF)
            c = l;
    }
    return result;
}

bool ParseInteger(const QString &text, int *value)
{
    bool ok = false;
    int v = text.toInt(&ok, 10);
    if (!ok && text.startsWith(QLatin1Char('$')))
        v = text.mid(1).toInt(&ok, 16);
    else if (!ok && text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        v = text.mid(2).toInt(&ok, 16);
    if (ok)
        *value = v;
    return ok;
}
} // namespace

TNewInifile::TNewInifile(const QString &fileName) : m_fileName(fileName)
{
    QFile file(m_fileName);
    if (file.open(QIODevice::ReadOnly))
        m_lines = SplitIniLines(file.readAll());
}

QString TNewInifile::JoinedText() const
{
    QString text;
    for (const QString &line : m_lines) {
        text += line;
        text += CrLf;
    }
    return text;
}

bool TNewInifile::SectionRange(const QString &lowerJoined, const QString &section, int *start, int *end) const
{
    const QString header = Lower(QLatin1Char('[') + section + QLatin1Char(']'));
    const int at = lowerJoined.indexOf(header);
    if (at < 0)
        return false;
    *start = at + header.size();
    const int next = lowerJoined.indexOf(QLatin1Char('['), *start);
    *end = next < 0 ? lowerJoined.size() : next;
    return true;
}

QString TNewInifile::GetSectionText(const QString &section) const
{
    const QString joined = JoinedText();
    int start = 0, end = 0;
    if (!SectionRange(Lower(joined), section, &start, &end))
        return QString();
    return joined.mid(start, end - start);
}

int TNewInifile::FindSectionLine(const QString &section) const
{
    const QString header = Lower(QLatin1Char('[') + section + QLatin1Char(']'));
    for (int i = 0; i < m_lines.size(); ++i)
        if (Lower(m_lines.at(i)).contains(header))
            return i;
    return -1;
}

int TNewInifile::FindKeyLine(const QString &section, const QString &key) const
{
    const QString needle = Lower(key + QLatin1Char('='));
    const QStringList lines = SplitIniLines(Lower(GetSectionText(section)).toLatin1());
    for (int k = 0; k < lines.size(); ++k)
        if (lines.at(k).contains(needle))
            return k;
    return -1;
}

QString TNewInifile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const QString needle = Lower(key + QLatin1Char('='));
    // Lines are Latin-1, so the round trip through bytes keeps them whole.
    const QStringList lines = SplitIniLines(GetSectionText(section).toLatin1());
    for (const QString &line : lines) {
        const int at = Lower(line).indexOf(needle);
        if (at >= 0)
            return line.mid(at + needle.size());
    }
    return defaultValue;
}

int TNewInifile::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    int value = defaultValue;
    if (!ParseInteger(ReadString(section, key, QString::number(defaultValue)), &value))
        return defaultValue;
    return value;
}

bool TNewInifile::ReadBool(const QString &section, const QString &key, bool defaultValue) const
{
    const QString text = ReadString(section, key, defaultValue ? QStringLiteral("-1") : QStringLiteral("0"));
    int number = 0;
    if (ParseInteger(text, &number))
        return number != 0;
    bool ok = false;
    const double real = text.toDouble(&ok);
    if (ok)
        return real != 0.0;
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    return defaultValue;
}

void TNewInifile::WriteString(const QString &section, const QString &key, const QString &value)
{
    const QString entry = key + QLatin1Char('=') + value;
    const int h = FindSectionLine(section);
    if (h < 0) {
        m_lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        m_lines.append(entry);
        return;
    }
    const int k = FindKeyLine(section, key);
    if (k < 0)
        m_lines.insert(h + 1, entry);
    else
        m_lines[h + k] = entry;
}

void TNewInifile::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TNewInifile::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool TNewInifile::UpdateAndFree(QString *error)
{
    return WriteIniLines(m_fileName, m_lines, error);
}
