#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <stdexcept>
#include <string>

// One title-set information file (VTS_nn_0.IFO) as the program uses it: the
// video attributes, the audio and subpicture streams with their languages, and
// every program chain with its chapters.

struct TVideoStream
{
    QString DisplayAspect; // "4:3", "16:9", "???"
    QString VideoStandard; // "NTSC", "PAL", "???"
    QString CodingMode;    // "MPEG1", "MPEG2", "???"
    QString PictureSize;   // "720x576", ... ("???" when the standard is unknown)
};

struct TAudioStream
{
    QString LanguageName;  // from the language table, "???" when unknown
    QString LanguageCode;  // the two code bytes as stored, e.g. "en"
    QString AudioFormat;   // "AC3", "MPEG1", "MPEG2", "LPCM", "DTS" or "???"
    unsigned Channels = 0; // 1 to 8
    QString CodeExtension; // "unspecified", "normal", ..., "???" past the table
};

struct TVTS_VOBS
{
    unsigned AudioCount = 0;    // 16-bit in the file
    unsigned SubtitleCount = 0; // low 8 bits of the file's 16-bit count
    TVideoStream Video;
    QList<TAudioStream> Audio;     // AudioCount entries, in stream order
    QStringList SubtitleLanguages; // SubtitleCount language names, in stream order
};

struct TProgramChain
{
    unsigned ProgramCount = 0; // programs, which the program calls chapters
    unsigned CellCount = 0;
    QString PlaybackTime;       // the chain's playing time as "h:mm:ss.zzz"
    QList<unsigned> ProgramMap; // 1-based first cell of each program
    QStringList ChapterLengths; // "h:mm:ss.zzz", one per program
    QStringList ChapterStarts;  // from the start of the chain, "h:mm:ss.zzz"
    QString AudioAvailable;     // AudioCount characters, '1' when the chain may play stream k
    QString SubtitleAvailable;  // SubtitleCount characters, '1' when the chain may show stream k
};

struct TVTS_PGCI
{
    unsigned ChainCount = 0; // 16-bit in the file
    QList<TProgramChain> Chains;
};

struct TIFO
{
    TVTS_VOBS VOBS;
    TVTS_PGCI PGCI;
};

// Raised when a file cannot be read: its text names the file and the fault.
class TIfoError : public std::runtime_error
{
public:
    explicit TIfoError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString Text() const { return QString::fromStdString(what()); }
};

// Reads one VTS_nn_0.IFO file. Throws TIfoError when the file cannot be opened,
// when a read would go past its end, or when a coded time holds a digit above 9.
TIFO ReadIfoFile(const QString &path);

// Reads the same record from bytes already in memory; `name` is used in error texts.
TIFO ReadIfoData(const QByteArray &data, const QString &name);

// The name of a two-character language code ("en" -> "English"); "???" when unknown.
QString LanguageNameOfCode(const QByteArray &code);

// Milliseconds as "h:mm:ss.zzz".
QString MillisecondsToClockText(quint64 ms);
