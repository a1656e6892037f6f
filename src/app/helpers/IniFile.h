#pragma once

#include <QString>
#include <QStringList>

// The program's ini reader-writer for Preferences.ini and the profiles, with
// the rules of the classic private-profile functions: section and key names
// match without regard to letter case, values are trimmed of blanks and cut
// at 2047 characters, integers that do not parse give the default. A write
// goes to disk at once: it replaces the value in place, or adds the key after
// the last entry of its section, or adds the section at the end of the file.
// Lines end in CR LF; bytes above 127 are kept as they are (Latin-1).
class TIniFile
{
public:
    explicit TIniFile(const QString &fileName);

    QString FileName() const { return m_fileName; }

    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    bool ReadBool(const QString &section, const QString &key, bool defaultValue) const;
    bool SectionExists(const QString &section) const;

    // Each write saves the whole file; false (with LastError) when it cannot be written,
    // in which case the file on disk keeps its old content.
    bool WriteString(const QString &section, const QString &key, const QString &value);
    bool WriteInteger(const QString &section, const QString &key, int value);
    bool WriteBool(const QString &section, const QString &key, bool value);

    QString LastError() const { return m_lastError; }

    static constexpr int MaxValueLength = 2047;

private:
    void Load();
    bool Save();
    int FindSection(const QString &section) const;         // header line index or -1
    int FindKey(int headerLine, const QString &key) const; // entry line index or -1
    int SectionEnd(int headerLine) const;                  // index of the next header or size

    QString m_fileName;
    QStringList m_lines;
    QString m_lastError;
};

// Splits text into lines at CR LF, a lone CR or a lone LF; a last line end
// does not start a further, empty line.
QStringList SplitIniLines(const QByteArray &bytes);

// Writes lines, each followed by CR LF, through a temporary file beside the
// target that is renamed over it, so a failed write leaves the old file whole.
// On failure returns false and sets error to 'Cannot create file "<name>". <reason>'.
bool WriteIniLines(const QString &fileName, const QStringList &lines, QString *error);
