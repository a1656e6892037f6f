#include "dvd/Ifo.h"

#include "app/helpers/Helpers.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstring>

namespace {

// "h:mm:ss.zzz"; written by hand because an open formats thousands of these.
QString ClockText(quint64 hours, quint64 minutes, quint64 seconds, quint64 ms)
{
    char text[40];
    const int n =
        std::snprintf(text, sizeof text, "%llu:%02llu:%02llu.%03llu", static_cast<unsigned long long>(hours),
                      static_cast<unsigned long long>(minutes), static_cast<unsigned long long>(seconds),
                      static_cast<unsigned long long>(ms));
    return QString::fromLatin1(text, n);
}

struct TLanguage
{
    const char *Code;
    const char *Name;
};

// Two-letter codes of ISO 639 with the withdrawn "in", "iw" and "ji", and two
// blanks for a stream whose language is not given.
const TLanguage Languages[] = {
    {"  ", "Not Specified"},
    {"aa", "Afar"},
    {"ab", "Abkhazian"},
    {"af", "Afrikaans"},
    {"am", "Amharic"},
    {"ar", "Arabic"},
    {"as", "Assamese"},
    {"ay", "Aymara"},
    {"az", "Azerbaijani"},
    {"ba", "Bashkir"},
    {"be", "Byelorussian"},
    {"bg", "Bulgarian"},
    {"bh", "Bihari"},
    {"bi", "Bislama"},
    {"bn", "Bengali; Bangla"},
    {"bo", "Tibetan"},
    {"br", "Breton"},
    {"ca", "Catalan"},
    {"co", "Corsican"},
    {"cs", "Czech(Ceske)"},
    {"cy", "Welsh"},
    {"da", "Dansk"},
    {"de", "Deutsch"},
    {"dz", "Bhutani"},
    {"el", "Greek"},
    {"en", "English"},
    {"eo", "Esperanto"},
    {"es", "Espanol"},
    {"et", "Estonian"},
    {"eu", "Basque"},
    {"fa", "Persian"},
    {"fi", "Suomi"},
    {"fj", "Fiji"},
    {"fo", "Faroese"},
    {"fr", "French"},
    {"fy", "Frisian"},
    {"ga", "Irish"},
    {"gd", "Scots Gaelic"},
    {"gl", "Galician"},
    {"gn", "Guarani"},
    {"gu", "Gujarati"},
    {"ha", "Hausa"},
    {"he", "Hebrew"},
    {"hi", "Hindi"},
    {"hr", "Hrvatski"},
    {"hu", "Magyar"},
    {"hy", "Armenian"},
    {"ia", "Interlingua"},
    {"id", "Indonesian"},
    {"ie", "Interlingue"},
    {"ik", "Inupiak"},
    {"in", "Indonesian"},
    {"is", "Islenska"},
    {"it", "Italiano"},
    {"iu", "Inuktitut"},
    {"iw", "Hebrew"},
    {"ja", "Japanese"},
    {"ji", "Yiddish"},
    {"jw", "Javanese"},
    {"ka", "Georgian"},
    {"kk", "Kazakh"},
    {"kl", "Greenlandic"},
    {"km", "Cambodian"},
    {"kn", "Kannada"},
    {"ko", "Korean"},
    {"ks", "Kashmiri"},
    {"ku", "Kurdish"},
    {"ky", "Kirghiz"},
    {"la", "Latin"},
    {"ln", "Lingala"},
    {"lo", "Laothian"},
    {"lt", "Lithuanian"},
    {"lv", "Latvian, Lettish"},
    {"mg", "Malagasy"},
    {"mi", "Maori"},
    {"mk", "Macedonian"},
    {"ml", "Malayalam"},
    {"mn", "Mongolian"},
    {"mo", "Moldavian"},
    {"mr", "Marathi"},
    {"ms", "Malay"},
    {"mt", "Maltese"},
    {"my", "Burmese"},
    {"na", "Nauru"},
    {"ne", "Nepali"},
    {"nl", "Nederlands"},
    {"no", "Norsk"},
    {"oc", "Occitan"},
    {"om", "(Afan) Oromo"},
    {"or", "Oriya"},
    {"pa", "Punjabi"},
    {"pl", "Polish"},
    {"ps", "Pashto, Pushto"},
    {"pt", "Portugues"},
    {"qu", "Quechua"},
    {"rm", "Rhaeto-Romance"},
    {"rn", "Kirundi"},
    {"ro", "Romanian"},
    {"ru", "Russian"},
    {"rw", "Kinyarwanda"},
    {"sa", "Sanskrit"},
    {"sd", "Sindhi"},
    {"sg", "Sangho"},
    {"sh", "Serbo-Croatian"},
    {"si", "Sinhalese"},
    {"sk", "Slovak"},
    {"sl", "Slovenian"},
    {"sm", "Samoan"},
    {"sn", "Shona"},
    {"so", "Somali"},
    {"sq", "Albanian"},
    {"sr", "Serbian"},
    {"ss", "Siswati"},
    {"st", "Sesotho"},
    {"su", "Sundanese"},
    {"sv", "Svenska"},
    {"sw", "Swahili"},
    {"ta", "Tamil"},
    {"te", "Telugu"},
    {"tg", "Tajik"},
    {"th", "Thai"},
    {"ti", "Tigrinya"},
    {"tk", "Turkmen"},
    {"tl", "Tagalog"},
    {"tn", "Setswana"},
    {"to", "Tonga"},
    {"tr", "Turkish"},
    {"ts", "Tsonga"},
    {"tt", "Tatar"},
    {"tw", "Twi"},
    {"ug", "Uighur"},
    {"uk", "Ukrainian"},
    {"ur", "Urdu"},
    {"uz", "Uzbek"},
    {"vi", "Vietnamese"},
    {"vo", "Volapuk"},
    {"wo", "Wolof"},
    {"xh", "Xhosa"},
    {"yi", "Yiddish"},
    {"yo", "Yoruba"},
    {"za", "Zhuang"},
    {"zh", "Chinese"},
    {"zu", "Zulu"},
};

// Each chapter, flag and map entry that the chains describe is held in
// memory. A genuine file spends far more than two bytes per entry, so a file
// whose chains claim more than this is refused rather than letting a few
// hundred overlapping bytes expand into gigabytes.
constexpr quint64 EntriesPerFileByte = 2;
constexpr quint64 EntryAllowance = 65536;

// Bounds-checked big-endian reads over the bytes of one file.
class TIfoReader
{
public:
    TIfoReader(const QByteArray &data, const QString &name) : Data(data), Name(name) {}

    quint8 U8(quint64 offset) const
    {
        Need(offset, 1);
        return static_cast<quint8>(Data[static_cast<qsizetype>(offset)]);
    }
    quint16 U16(quint64 offset) const
    {
        Need(offset, 2);
        return static_cast<quint16>((Byte(offset) << 8) | Byte(offset + 1));
    }
    quint32 U32(quint64 offset) const
    {
        Need(offset, 4);
        return (quint32(Byte(offset)) << 24) | (quint32(Byte(offset + 1)) << 16) |
               (quint32(Byte(offset + 2)) << 8) | quint32(Byte(offset + 3));
    }
    QByteArray Bytes(quint64 offset, int count) const
    {
        Need(offset, quint64(count));
        return Data.mid(static_cast<qsizetype>(offset), count);
    }

    // Milliseconds of the coded time at offset; `clock` receives it as a
    // clock text of the decoded fields.
    quint64 CodedTime(quint64 offset, QString *clock = nullptr) const
    {
        Need(offset, 4);
        const quint8 b[4] = {Byte(offset), Byte(offset + 1), Byte(offset + 2), Byte(offset + 3)};
        for (int k = 0; k < 3; ++k)
            if ((b[k] >> 4) > 9 || (b[k] & 0x0F) > 9)
                Fail(QStringLiteral("a coded time at offset %1 holds a digit above 9").arg(offset));
        if ((b[3] & 0x0F) > 9)
            Fail(QStringLiteral("a coded time at offset %1 holds a digit above 9").arg(offset));
        const quint64 hours = (b[0] >> 4) * 10 + (b[0] & 0x0F);
        const quint64 minutes = (b[1] >> 4) * 10 + (b[1] & 0x0F);
        const quint64 seconds = (b[2] >> 4) * 10 + (b[2] & 0x0F);
        const int rate = (b[3] >> 6) == 3 ? 30 : 25;
        const int frames = ((b[3] >> 4) & 0x03) * 10 + (b[3] & 0x0F);
        const quint64 ms = quint64(RoundHalfEven(frames * 1000.0 / rate));
        if (clock)
            *clock = ClockText(hours, minutes, seconds, ms);
        return hours * 3600000 + minutes * 60000 + seconds * 1000 + ms;
    }

    // Counts the entries about to be held against what the file can justify.
    void Spend(quint64 entries)
    {
        Spent += entries;
        if (Spent > quint64(Data.size()) * EntriesPerFileByte + EntryAllowance)
            Fail(QStringLiteral("its program chains describe more entries than the file's %1 bytes can hold")
                     .arg(Data.size()));
    }

    [[noreturn]] void Fail(const QString &fault) const
    {
        throw TIfoError(QStringLiteral("Error reading \"%1\": %2").arg(Name, fault));
    }

private:
    quint8 Byte(quint64 offset) const { return static_cast<quint8>(Data[static_cast<qsizetype>(offset)]); }
    void Need(quint64 offset, quint64 count) const
    {
        if (offset > quint64(Data.size()) || count > quint64(Data.size()) - offset)
            Fail(QStringLiteral("read past the end of the file at offset %1 (the file has %2 bytes)")
                     .arg(offset)
                     .arg(Data.size()));
    }

    const QByteArray &Data;
    QString Name;
    quint64 Spent = 0;
};

TVideoStream DecodeVideo(quint16 word)
{
    static const char *const Coding[] = {"MPEG1", "MPEG2", "???", "???"};
    static const char *const Standard[] = {"NTSC", "PAL", "???", "???"};
    static const char *const Aspect[] = {"4:3", "???", "???", "16:9"};
    static const char *const NtscSize[] = {"720x480", "704x480", "352x480", "352x240"};
    static const char *const PalSize[] = {"720x576", "704x576", "352x576", "352x288"};
    TVideoStream video;
    video.CodingMode = QLatin1String(Coding[(word >> 14) & 3]);
    video.VideoStandard = QLatin1String(Standard[(word >> 12) & 3]);
    video.DisplayAspect = QLatin1String(Aspect[(word >> 10) & 3]);
    const int size = (word >> 2) & 3;
    if (video.VideoStandard == QLatin1String("NTSC"))
        video.PictureSize = QLatin1String(NtscSize[size]);
    else if (video.VideoStandard == QLatin1String("PAL"))
        video.PictureSize = QLatin1String(PalSize[size]);
    else
        video.PictureSize = QStringLiteral("???");
    return video;
}

TAudioStream DecodeAudio(const TIfoReader &in, quint64 entry)
{
    static const char *const Formats[] = {"AC3", "???", "MPEG1", "MPEG2", "LPCM", "???", "DTS", "???"};
    static const char *const Extensions[] = {"unspecified", "normal", "for visually impaired",
                                             "director's comments", "alternate director's comments"};
    TAudioStream audio;
    const quint16 word = in.U16(entry);
    audio.AudioFormat = QLatin1String(Formats[(word >> 13) & 7]);
    audio.Channels = (word & 7) + 1;
    const QByteArray code = in.Bytes(entry + 2, 2);
    audio.LanguageCode = QString::fromLatin1(code);
    audio.LanguageName = LanguageNameOfCode(code);
    const quint8 extension = in.U8(entry + 5);
    audio.CodeExtension = extension < 5 ? QLatin1String(Extensions[extension]) : QStringLiteral("???");
    return audio;
}

TProgramChain ReadChain(TIfoReader &in, quint64 g, const TVTS_VOBS &vobs)
{
    TProgramChain chain;
    chain.ProgramCount = in.U8(g + 2);
    chain.CellCount = in.U8(g + 3);
    in.CodedTime(g + 4, &chain.PlaybackTime);
    in.Spend(quint64(vobs.AudioCount) + vobs.SubtitleCount + 3 * quint64(chain.ProgramCount));

    chain.AudioAvailable.reserve(int(vobs.AudioCount));
    for (unsigned k = 0; k < vobs.AudioCount; ++k)
        chain.AudioAvailable += (in.U8(g + 12 + 2 * quint64(k)) & 0x80) ? QLatin1Char('1') : QLatin1Char('0');
    chain.SubtitleAvailable.reserve(int(vobs.SubtitleCount));
    for (unsigned k = 0; k < vobs.SubtitleCount; ++k)
        chain.SubtitleAvailable +=
            (in.U8(g + 28 + 4 * quint64(k)) & 0x80) ? QLatin1Char('1') : QLatin1Char('0');

    const quint64 map = g + in.U16(g + 230);
    for (unsigned j = 0; j < chain.ProgramCount; ++j)
        chain.ProgramMap.append(in.U8(map + j));

    // Programs take the cells strictly in sequence: each continues with the
    // entry after the last one the previous program used.
    quint64 cell = g + in.U16(g + 232);
    quint64 start = 0;
    for (unsigned j = 0; j < chain.ProgramCount; ++j) {
        const unsigned first = chain.ProgramMap[int(j)];
        const unsigned last =
            j + 1 < chain.ProgramCount ? quint8(chain.ProgramMap[int(j) + 1] - 1) : chain.CellCount;
        quint64 length = 0;
        if (last >= first) {
            for (unsigned c = first; c <= last; ++c) {
                length += in.CodedTime(cell + 4);
                cell += 24;
            }
        }
        chain.ChapterLengths.append(MillisecondsToClockText(length));
        chain.ChapterStarts.append(MillisecondsToClockText(start));
        start += length;
    }
    return chain;
}

} // namespace

QString LanguageNameOfCode(const QByteArray &code)
{
    if (code.size() == 2)
        for (const TLanguage &language : Languages)
            if (std::memcmp(language.Code, code.constData(), 2) == 0)
                return QString::fromLatin1(language.Name);
    return QStringLiteral("???");
}

QString MillisecondsToClockText(quint64 ms)
{
    return ClockText(ms / 3600000, (ms % 3600000) / 60000, (ms % 60000) / 1000, ms % 1000);
}

TIFO ReadIfoData(const QByteArray &data, const QString &name)
{
    TIfoReader in(data, name);
    TIFO ifo;

    // The chain table's byte offset and each chain's offset in it are read at
    // their full width, so tables and chains past 64 KiB are found.
    const quint64 p = quint64(in.U32(204)) * 2048;

    TVTS_VOBS &vobs = ifo.VOBS;
    vobs.Video = DecodeVideo(in.U16(512));
    vobs.AudioCount = in.U16(514);
    in.Spend(vobs.AudioCount);
    for (unsigned k = 0; k < vobs.AudioCount; ++k)
        vobs.Audio.append(DecodeAudio(in, 516 + 8 * quint64(k)));
    vobs.SubtitleCount = in.U16(596) & 0xFF;
    in.Spend(vobs.SubtitleCount);
    for (unsigned k = 0; k < vobs.SubtitleCount; ++k)
        vobs.SubtitleLanguages.append(LanguageNameOfCode(in.Bytes(598 + 6 * quint64(k) + 2, 2)));

    TVTS_PGCI &pgci = ifo.PGCI;
    pgci.ChainCount = in.U16(p);
    in.Spend(pgci.ChainCount);
    for (unsigned i = 0; i < pgci.ChainCount; ++i) {
        const quint64 g = p + in.U32(p + 12 + 8 * quint64(i));
        pgci.Chains.append(ReadChain(in, g, vobs));
    }
    return ifo;
}

TIFO ReadIfoFile(const QString &path)
{
    // Title-set information files are a few hundred kilobytes at most; a far
    // larger file is refused before it is read into memory.
    constexpr qint64 LargestIfoFile = 64 * 1024 * 1024;
    const QFileInfo info(path);
    QFile file(path);
    if (info.isDir())
        throw TIfoError(QStringLiteral("Cannot open file \"%1\". It is a folder.").arg(path));
    if (!file.open(QIODevice::ReadOnly))
        throw TIfoError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    if (file.size() > LargestIfoFile)
        throw TIfoError(
            QStringLiteral("Error reading \"%1\": the file has %2 bytes, too many for a title-set "
                           "information file")
                .arg(path)
                .arg(file.size()));
    const QByteArray data = file.read(file.size());
    if (file.error() != QFileDevice::NoError)
        throw TIfoError(QStringLiteral("Error reading \"%1\": %2").arg(path, file.errorString()));
    file.close();
    return ReadIfoData(data, path);
}
