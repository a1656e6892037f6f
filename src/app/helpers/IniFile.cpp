#include "app/helpers/IniFile.h"

#include <QFile>
#include <QSaveFile>

QStringList SplitIniLines(const QByteArray &bytes)
{
    QStringList lines;
    int start = 0;
    const int n = bytes.size();
    for (int i = 0; i < n; ++i) {
        const char c = bytes.at(i);
        if (c != '\r' && c != '\n')
            continue;
        lines.append(QString::fromLatin1(bytes.mid(start, i - start)));
        if (c == '\r' && i + 1 < n && bytes.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(QString::fromLatin1(bytes.mid(start)));
    return lines;
}

bool WriteIniLines(const QString &fileName, const QStringList &lines, QString *error)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += line.toLatin1();
        bytes += "\r\n";
    }
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString());
    return false;
}

TIniFile::TIniFile(const QString &fileName) : m_fileName(fileName)
{
    Load();
}

void TIniFile::Load()
{
    m_lines.clear();
    QFile file(m_fileName);
    if (file.open(QIODevice::ReadOnly))
        m_lines = SplitIniLines(file.readAll());
}

bool TIniFile::Save()
{
    m_lastError.clear();
    return WriteIniLines(m_fileName, m_lines, &m_lastError);
}

namespace {
bool IsHeader(const QString &line, QString *name = nullptr)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return false;
    const int close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        return false;
    if (name)
        *name = t.mid(1, close - 1).trimmed();
    return true;
}

bool IsComment(const QString &line)
{
    const QString t = line.trimmed();
    return t.isEmpty() || t.startsWith(QLatin1Char(';'));
}
} // namespace

int TIniFile::FindSection(const QString &section) const
{
    QString name;
    for (int i = 0; i < m_lines.size(); ++i)
        if (IsHeader(m_lines.at(i), &name) && name.compare(section.trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int TIniFile::SectionEnd(int headerLine) const
{
    for (int i = headerLine + 1; i < m_lines.size(); ++i)
        if (IsHeader(m_lines.at(i)))
            return i;
    return m_lines.size();
}

int TIniFile::FindKey(int headerLine, const QString &key) const
{
    const int end = SectionEnd(headerLine);
    for (int i = headerLine + 1; i < end; ++i) {
        const QString &line = m_lines.at(i);
        if (IsComment(line))
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq >= 0 && line.left(eq).trimmed().compare(key.trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool TIniFile::SectionExists(const QString &section) const
{
    return FindSection(section) >= 0;
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const int header = FindSection(section);
    if (header < 0)
        return defaultValue;
    const int line = FindKey(header, key);
    if (line < 0)
        return defaultValue;
    const QString &text = m_lines.at(line);
    return text.mid(text.indexOf(QLatin1Char('=')) + 1).trimmed().left(MaxValueLength);
}

int TIniFile::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    const QString text = ReadString(section, key, QString());
    bool ok = false;
    const int value = text.toInt(&ok);
    if (ok)
        return value;
    // Hexadecimal as "0x1F" or "$1F" is an integer as well.
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        const int hex = text.mid(2).toInt(&ok, 16);
        if (ok)
            return hex;
    } else if (text.startsWith(QLatin1Char('$'))) {
        const int hex = text.mid(1).toInt(&ok, 16);
        if (ok)
            return hex;
    }
    return defaultValue;
}

bool TIniFile::ReadBool(const QString &section, const QString &key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    const QString entry = key + QLatin1Char('=') + value;
    const int header = FindSection(section);
    if (header < 0) {
        m_lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        m_lines.append(entry);
    } else if (const int line = FindKey(header, key); line >= 0) {
        m_lines[line] = entry;
    } else {
        // After the last entry of the section, before any blank lines that end it.
        int at = SectionEnd(header);
        while (at > header + 1 && m_lines.at(at - 1).trimmed().isEmpty())
            --at;
        m_lines.insert(at, entry);
    }
    return Save();
}

bool TIniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    return WriteString(section, key, QString::number(value));
}

bool TIniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    return WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}
