#pragma once

#include <QString>
#include <QStringList>

// The Settings dialog's ini text class: the file is read once into a list of
// lines and written back whole by UpdateAndFree. Sections and keys are found by
// a case-insensitive text search (a line "contains" the key followed by "="
// anywhere in it), a key missing from an existing section goes directly below
// the section's header line, and a new section goes at the end of the file.
// Stored preferences and profiles rely on these rules, so they stay as they are.
//
// Lines are single-byte text (Latin-1 bytes are kept); on loading a line ends at
// CR LF, a lone CR or a lone LF, on saving every line is followed by CR LF.
//
// Use: create, a run of reads and writes, UpdateAndFree. The object stays valid
// after UpdateAndFree (also after a failed save); its destructor writes nothing.
class TNewInifile
{
public:
    explicit TNewInifile(const QString &fileName);

    QString FileName() const { return m_fileName; }
    const QStringList &Lines() const { return m_lines; }

    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    bool ReadBool(const QString &section, const QString &key, bool defaultValue) const;

    // These change the lines in memory only.
    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    void WriteBool(const QString &section, const QString &key, bool value);

    // Saves all lines to the file (created or replaced), even after reads alone.
    // The file is written through a temporary file that is renamed over it, so
    // when it cannot be written it keeps its old content; then the result is
    // false and error (if given) is 'Cannot create file "<name>". <reason>',
    // for the caller to show.
    bool UpdateAndFree(QString *error = nullptr);

    // The text after "[section]" up to the next "[", with lines joined by CR LF.
    QString GetSectionText(const QString &section) const;
    // Index of the first line containing "[section]", or -1.
    int FindSectionLine(const QString &section) const;
    // Index k among the lines of the section text (0 is the rest of the header
    // line) of the first line containing key + "=", or -1.
    int FindKeyLine(const QString &section, const QString &key) const;

private:
    // Start (just after "]") and end of the section text in JoinedText(), or false.
    bool SectionRange(const QString &lowerJoined, const QString &section, int *start, int *end) const;
    QString JoinedText() const;

    QString m_fileName;
    QStringList m_lines;
};
