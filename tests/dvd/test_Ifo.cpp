// The IFO parser on the authored test discs and on small files built here.
#include "dvd/Ifo.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <optional>

namespace {

const QString Fixtures = QStringLiteral(VELMORA_FIXTURE_DIR);

QByteArray Bcd(int h, int m, int s, int frames, bool thirty)
{
    auto bcd = [](int v) { return char(((v / 10) << 4) | (v % 10)); };
    QByteArray t;
    t.append(bcd(h)).append(bcd(m)).append(bcd(s));
    t.append(char((thirty ? 0xC0 : 0x40) | ((frames / 10) << 4) | (frames % 10)));
    return t;
}

QByteArray Seconds(int s)
{
    return Bcd(s / 3600, (s / 60) % 60, s % 60, 0, false);
}

struct TChainSpec
{
    QByteArray PlaybackTime = Seconds(0);
    QList<int> ProgramMap;
    int CellCount = 0;
    QList<QByteArray> CellTimes; // defaults to CellCount cells of 1 s
    QByteArray AudioControl;     // one byte per stream; default all available
    QByteArray SubtitleControl;
};

// A title-set information file laid out as a real one: the chain table at
// sector PgciSector, each chain after its search pointers.
struct TIfoLayout
{
    quint16 Video = 0x5000 | (3 << 10); // MPEG2 PAL 16:9, 720x576
    QList<QByteArray> Audio;            // 8-byte attribute entries
    QList<QByteArray> SubtitleCodes;    // 2 bytes each
    QList<TChainSpec> Chains;
    quint32 PgciSector = 1;
    quint32 FirstChainOffset = 0; // 0: right after the search pointers
};

void Put16(QByteArray &d, qint64 at, quint16 v)
{
    d[at] = char(v >> 8);
    d[at + 1] = char(v);
}
void Put32(QByteArray &d, qint64 at, quint32 v)
{
    Put16(d, at, quint16(v >> 16));
    Put16(d, at + 2, quint16(v));
}
void PutBytes(QByteArray &d, qint64 at, const QByteArray &b)
{
    if (d.size() < at + b.size())
        d.resize(at + b.size(), '\0');
    d.replace(at, b.size(), b);
}

QByteArray AudioEntry(int format, int channels, const char *code, int extension)
{
    QByteArray e(8, '\0');
    Put16(e, 0, quint16((format << 13) | (channels - 1)));
    e[2] = code[0];
    e[3] = code[1];
    e[5] = char(extension);
    return e;
}

QByteArray BuildIfo(const TIfoLayout &layout)
{
    QByteArray d(2048, '\0');
    Put32(d, 204, layout.PgciSector);
    Put16(d, 512, layout.Video);
    Put16(d, 514, quint16(layout.Audio.size()));
    for (int k = 0; k < layout.Audio.size(); ++k)
        PutBytes(d, 516 + 8 * k, layout.Audio[k]);
    Put16(d, 596, quint16(layout.SubtitleCodes.size()));
    for (int k = 0; k < layout.SubtitleCodes.size(); ++k)
        PutBytes(d, 598 + 6 * k + 2, layout.SubtitleCodes[k]);

    const qint64 p = qint64(layout.PgciSector) * 2048;
    d.resize(p + 8 + 8 * layout.Chains.size(), '\0');
    Put16(d, p, quint16(layout.Chains.size()));
    qint64 offset = layout.FirstChainOffset ? layout.FirstChainOffset : 8 + 8 * layout.Chains.size();
    for (int i = 0; i < layout.Chains.size(); ++i) {
        const TChainSpec &c = layout.Chains[i];
        const qint64 g = p + offset;
        const int mapOffset = 0xEC;
        const int cellOffset = mapOffset + int(c.ProgramMap.size() + 1) / 2 * 2;
        d.resize(g + cellOffset + 24 * c.CellCount, '\0');
        Put32(d, p + 12 + 8 * i, quint32(offset));
        d[g + 2] = char(c.ProgramMap.size());
        d[g + 3] = char(c.CellCount);
        PutBytes(d, g + 4, c.PlaybackTime);
        for (int k = 0; k < layout.Audio.size(); ++k)
            d[g + 12 + 2 * k] = k < c.AudioControl.size() ? c.AudioControl[k] : char(0x80 | k);
        for (int k = 0; k < layout.SubtitleCodes.size(); ++k)
            d[g + 28 + 4 * k] = k < c.SubtitleControl.size() ? c.SubtitleControl[k] : char(0x80 | k);
        Put16(d, g + 230, quint16(mapOffset));
        Put16(d, g + 232, quint16(cellOffset));
        for (int j = 0; j < c.ProgramMap.size(); ++j)
            d[g + mapOffset + j] = char(c.ProgramMap[j]);
        for (int cell = 0; cell < c.CellCount; ++cell)
            PutBytes(d, g + cellOffset + 24 * cell + 4,
                     cell < c.CellTimes.size() ? c.CellTimes[cell] : Seconds(1));
        offset = g + cellOffset + 24 * c.CellCount - p;
    }
    return d;
}

TIFO Parse(const QByteArray &data)
{
    return ReadIfoData(data, QStringLiteral("TEST.IFO"));
}

// The error text of parsing `data`, or nothing when it parses.
std::optional<QString> ParseError(const QByteArray &data)
{
    try {
        Parse(data);
    } catch (const TIfoError &e) {
        return e.Text();
    }
    return std::nullopt;
}

TEST(IfoFixture, PalTwoSetsFirstSet)
{
    const TIFO ifo = ReadIfoFile(Fixtures + "/pal_two_sets/VIDEO_TS/VTS_01_0.IFO");
    const TVideoStream &v = ifo.VOBS.Video;
    EXPECT_EQ(v.CodingMode, "MPEG2");
    EXPECT_EQ(v.VideoStandard, "PAL");
    EXPECT_EQ(v.DisplayAspect, "16:9");
    EXPECT_EQ(v.PictureSize, "720x576");

    ASSERT_EQ(ifo.VOBS.AudioCount, 2u);
    ASSERT_EQ(ifo.VOBS.Audio.size(), 2);
    EXPECT_EQ(ifo.VOBS.Audio[0].LanguageName, "English");
    EXPECT_EQ(ifo.VOBS.Audio[0].LanguageCode, "en");
    EXPECT_EQ(ifo.VOBS.Audio[0].AudioFormat, "AC3");
    EXPECT_EQ(ifo.VOBS.Audio[0].Channels, 6u);
    EXPECT_EQ(ifo.VOBS.Audio[1].LanguageName, "French");
    EXPECT_EQ(ifo.VOBS.Audio[1].AudioFormat, "AC3");
    EXPECT_EQ(ifo.VOBS.Audio[1].Channels, 2u);
    EXPECT_EQ(ifo.VOBS.SubtitleCount, 1u);
    EXPECT_EQ(ifo.VOBS.SubtitleLanguages, QStringList{"English"});

    ASSERT_EQ(ifo.PGCI.ChainCount, 1u);
    const TProgramChain &c = ifo.PGCI.Chains[0];
    EXPECT_EQ(c.ProgramCount, 3u);
    EXPECT_EQ(c.CellCount, 3u);
    EXPECT_EQ(c.ProgramMap, (QList<unsigned>{1, 2, 3}));
    EXPECT_EQ(c.PlaybackTime, "0:00:06.040");
    EXPECT_EQ(c.ChapterStarts, (QStringList{"0:00:00.000", "0:00:02.000", "0:00:04.000"}));
    EXPECT_EQ(c.ChapterLengths, (QStringList{"0:00:02.000", "0:00:02.000", "0:00:02.000"}));
    EXPECT_EQ(c.AudioAvailable, "11");
    EXPECT_EQ(c.SubtitleAvailable, "1");
}

TEST(IfoFixture, SecondSetAndOtherDiscs)
{
    const TIFO second = ReadIfoFile(Fixtures + "/pal_two_sets/VIDEO_TS/VTS_02_0.IFO");
    ASSERT_EQ(second.VOBS.Audio.size(), 1);
    EXPECT_EQ(second.VOBS.Audio[0].AudioFormat, "MPEG1");
    EXPECT_EQ(second.VOBS.Audio[0].LanguageName, "French");
    EXPECT_EQ(second.VOBS.SubtitleCount, 0u);
    ASSERT_EQ(second.PGCI.Chains.size(), 1);
    // Chapter 1 is made of two cells (1.2 s and 1.8 s).
    EXPECT_EQ(second.PGCI.Chains[0].CellCount, 3u);
    EXPECT_EQ(second.PGCI.Chains[0].ProgramMap, (QList<unsigned>{1, 3}));
    EXPECT_EQ(second.PGCI.Chains[0].ChapterLengths, (QStringList{"0:00:03.000", "0:00:02.000"}));

    const TIFO ntsc = ReadIfoFile(Fixtures + "/ntsc_4x3/VIDEO_TS/VTS_01_0.IFO");
    EXPECT_EQ(ntsc.VOBS.Video.VideoStandard, "NTSC");
    EXPECT_EQ(ntsc.VOBS.Video.DisplayAspect, "4:3");
    EXPECT_EQ(ntsc.VOBS.Video.PictureSize, "720x480");
    EXPECT_EQ(ntsc.PGCI.ChainCount, 2u);

    const TIFO two = ReadIfoFile(Fixtures + "/two_pgcs/VIDEO_TS/VTS_01_0.IFO");
    ASSERT_EQ(two.PGCI.Chains.size(), 2);
    EXPECT_EQ(two.PGCI.Chains[0].AudioAvailable, "111");
    EXPECT_EQ(two.PGCI.Chains[1].AudioAvailable, "101");
}

TEST(IfoLanguages, TableLookup)
{
    const struct
    {
        QByteArray Code;
        const char *Name;
    } cases[] = {
        {QByteArray("en"), "English"}, {QByteArray("  "), "Not Specified"},
        {QByteArray(2, '\0'), "???"},  {QByteArray("EN"), "???"}, // letter case matters
        {QByteArray("iw"), "Hebrew"},  {QByteArray("ji"), "Yiddish"},
        {QByteArray("de"), "Deutsch"}, {QByteArray("om"), "(Afan) Oromo"},
        {QByteArray("zu"), "Zulu"},    {QByteArray("aa"), "Afar"},
        {QByteArray("xx"), "???"},     {QByteArray("e"), "???"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(LanguageNameOfCode(c.Code), QString::fromLatin1(c.Name)) << c.Code.toHex().constData();
}

TEST(IfoAttributes, AudioStreamsAndSubtitleLanguages)
{
    TIfoLayout layout;
    layout.Audio = {AudioEntry(0, 6, "en", 0), AudioEntry(0, 2, "fr", 1), AudioEntry(6, 8, "de", 3),
                    AudioEntry(4, 2, "ja", 4), AudioEntry(7, 1, "xx", 9)};
    layout.SubtitleCodes = {QByteArray(2, '\0'), QByteArray("  "), QByteArray("en")};
    layout.Chains = {TChainSpec{}};
    const TIFO ifo = Parse(BuildIfo(layout));
    const QList<TAudioStream> &a = ifo.VOBS.Audio;
    ASSERT_EQ(a.size(), 5);
    EXPECT_EQ(a[0].LanguageName, "English");
    EXPECT_EQ(a[0].AudioFormat, "AC3");
    EXPECT_EQ(a[0].Channels, 6u);
    EXPECT_EQ(a[0].CodeExtension, "unspecified");
    EXPECT_EQ(a[1].LanguageName, "French");
    EXPECT_EQ(a[1].Channels, 2u);
    EXPECT_EQ(a[1].CodeExtension, "normal");
    EXPECT_EQ(a[2].AudioFormat, "DTS");
    EXPECT_EQ(a[2].Channels, 8u);
    EXPECT_EQ(a[2].CodeExtension, "director's comments");
    EXPECT_EQ(a[3].AudioFormat, "LPCM");
    EXPECT_EQ(a[3].CodeExtension, "alternate director's comments");
    EXPECT_EQ(a[4].AudioFormat, "???");
    EXPECT_EQ(a[4].LanguageCode, "xx");
    EXPECT_EQ(a[4].LanguageName, "???");
    EXPECT_EQ(a[4].CodeExtension, "???");
    EXPECT_EQ(ifo.VOBS.SubtitleLanguages, (QStringList{"???", "Not Specified", "English"}));
}

TEST(IfoAttributes, VideoWord)
{
    const struct
    {
        quint16 Word;
        const char *Coding, *Standard, *Aspect, *Size;
    } cases[] = {
        {0x5000 | (3 << 10) | (3 << 2), "MPEG2", "PAL", "16:9", "352x288"},
        {0x4000 | (1 << 2), "MPEG2", "NTSC", "4:3", "704x480"},
        {0x0000 | (3 << 2), "MPEG1", "NTSC", "4:3", "352x240"},
        {0x1000 | (2 << 2), "MPEG1", "PAL", "4:3", "352x576"},
        {0x6000 | (1 << 10), "MPEG2", "???", "???", "???"},
        {0xF000, "???", "???", "4:3", "???"},
    };
    for (const auto &c : cases) {
        TIfoLayout layout;
        layout.Video = c.Word;
        const TVideoStream v = Parse(BuildIfo(layout)).VOBS.Video;
        EXPECT_EQ(v.CodingMode, c.Coding) << std::hex << c.Word;
        EXPECT_EQ(v.VideoStandard, c.Standard) << std::hex << c.Word;
        EXPECT_EQ(v.DisplayAspect, c.Aspect) << std::hex << c.Word;
        EXPECT_EQ(v.PictureSize, c.Size) << std::hex << c.Word;
    }
}

TEST(IfoChains, CodedTimes)
{
    const struct
    {
        QByteArray Time;
        const char *Text;
    } cases[] = {
        {QByteArray("\x01\x02\x05\xC1", 4), "1:02:05.033"}, // 30 frames per second
        {QByteArray("\x01\x02\x05\x41", 4), "1:02:05.040"}, // 25 frames per second
        {QByteArray("\x00\x00\x00\x00", 4), "0:00:00.000"},
        {QByteArray("\x99\x59\x59\xE9", 4), "99:59:59.967"},
        {QByteArray("\x00\x00\x01\x80", 4), "0:00:01.000"}, // rate bits 10 count as 25
    };
    for (const auto &c : cases) {
        TIfoLayout layout;
        TChainSpec chain;
        chain.PlaybackTime = c.Time;
        layout.Chains = {chain};
        EXPECT_EQ(Parse(BuildIfo(layout)).PGCI.Chains[0].PlaybackTime, c.Text) << c.Time.toHex().constData();
    }
}

TEST(IfoChains, ChapterWalk)
{
    const struct
    {
        QList<int> Map;
        int Cells;
        QStringList Lengths, Starts;
    } cases[] = {
        // Programs at cells 1, 3 and 4 of 5 (cells of 1, 2, 3, 4, 5 s).
        {{1, 3, 4},
         5,
         {"0:00:03.000", "0:00:03.000", "0:00:09.000"},
         {"0:00:00.000", "0:00:03.000", "0:00:06.000"}},
        // The same first cell twice: the first of the two is empty and takes no cell.
        {{1, 1, 2},
         3,
         {"0:00:00.000", "0:00:01.000", "0:00:05.000"},
         {"0:00:00.000", "0:00:00.000", "0:00:01.000"}},
        // Entries are taken in sequence, not looked up by cell number: a
        // chain whose first program starts at cell 2 still begins with entry 1.
        {{2, 3}, 3, {"0:00:01.000", "0:00:02.000"}, {"0:00:00.000", "0:00:01.000"}},
        // No programs.
        {{}, 2, {}, {}},
    };
    for (const auto &c : cases) {
        TIfoLayout layout;
        TChainSpec chain;
        chain.ProgramMap = c.Map;
        chain.CellCount = c.Cells;
        for (int s = 1; s <= c.Cells; ++s)
            chain.CellTimes.append(Seconds(s));
        layout.Chains = {chain};
        const TProgramChain got = Parse(BuildIfo(layout)).PGCI.Chains[0];
        EXPECT_EQ(got.ProgramCount, unsigned(c.Map.size()));
        EXPECT_EQ(got.ChapterLengths, c.Lengths);
        EXPECT_EQ(got.ChapterStarts, c.Starts);
    }
}

TEST(IfoChains, StreamFlagsPerChain)
{
    TIfoLayout layout;
    layout.Audio = {AudioEntry(0, 2, "en", 0), AudioEntry(0, 2, "fr", 0), AudioEntry(0, 2, "de", 0)};
    layout.SubtitleCodes = {QByteArray("en"), QByteArray("fr")};
    TChainSpec chain;
    chain.AudioControl = QByteArray("\x80\x00\x82", 3);
    chain.SubtitleControl = QByteArray("\x00\x81", 2);
    layout.Chains = {TChainSpec{}, chain};
    const TIFO ifo = Parse(BuildIfo(layout));
    EXPECT_EQ(ifo.PGCI.Chains[0].AudioAvailable, "111");
    EXPECT_EQ(ifo.PGCI.Chains[0].SubtitleAvailable, "11");
    EXPECT_EQ(ifo.PGCI.Chains[1].AudioAvailable, "101");
    EXPECT_EQ(ifo.PGCI.Chains[1].SubtitleAvailable, "01");
}

// The chain table and the chains may lie past 64 KiB: offsets are not cut to 16 bits.
TEST(IfoChains, OffsetsBeyond64KiB)
{
    TIfoLayout layout;
    layout.PgciSector = 40;          // 81920
    layout.FirstChainOffset = 70000; // 151920
    TChainSpec chain;
    chain.PlaybackTime = Seconds(7);
    chain.ProgramMap = {1, 2};
    chain.CellCount = 2;
    layout.Chains = {chain, chain};
    const TIFO ifo = Parse(BuildIfo(layout));
    ASSERT_EQ(ifo.PGCI.ChainCount, 2u);
    for (const TProgramChain &c : ifo.PGCI.Chains) {
        EXPECT_EQ(c.PlaybackTime, "0:00:07.000");
        EXPECT_EQ(c.ChapterStarts, (QStringList{"0:00:00.000", "0:00:01.000"}));
    }
}

TEST(IfoErrors, FaultsNameTheFileAndTheFault)
{
    TIfoLayout layout;
    TChainSpec chain;
    chain.ProgramMap = {1};
    chain.CellCount = 1;
    layout.Chains = {chain};
    const QByteArray good = BuildIfo(layout);
    const qint64 chainAt = 2048 + 16;

    QByteArray badTime = good;
    badTime[chainAt + 5] = char(0x6A); // minutes 6 and 10
    QByteArray badFrames = good;
    badFrames[chainAt + 7] = char(0x4C);
    QByteArray badCell = good;
    badCell[chainAt + 0xEE + 4] = char(0xA0);

    const struct
    {
        const char *Name;
        QByteArray Data;
        const char *Fault;
    } cases[] = {
        {"empty file", QByteArray(), "read past the end of the file at offset 204"},
        {"ends before the audio count", good.left(514), "at offset 514"},
        {"ends inside the chain table", good.left(2048 + 10), "at offset 2060"},
        {"ends inside the cell table", good.left(good.size() - 18),
         "read past the end of the file at offset"},
        {"chain table sector past the end",
         [&] {
             QByteArray d = good;
             d[204] = char(0x7F);
             return d;
         }(),
         "at offset 4363686774784"},
        {"hour digit above 9",
         [&] {
             QByteArray d = good;
             d[chainAt + 4] = char(0xA0);
             return d;
         }(),
         "digit above 9"},
        {"minute digit above 9", badTime, "a coded time at offset 2068 holds a digit above 9"},
        {"frame digit above 9", badFrames, "digit above 9"},
        {"cell time digit above 9", badCell, "digit above 9"},
    };
    EXPECT_FALSE(ParseError(good));
    for (const auto &c : cases) {
        const auto error = ParseError(c.Data);
        ASSERT_TRUE(error) << c.Name;
        EXPECT_TRUE(error->contains("TEST.IFO")) << c.Name << ": " << error->toStdString();
        EXPECT_TRUE(error->contains(QLatin1String(c.Fault))) << c.Name << ": " << error->toStdString();
    }
}

TEST(IfoErrors, FilesThatCannotBeOpened)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("VTS_01_0.IFO");
    try {
        ReadIfoFile(missing);
        FAIL() << "no error";
    } catch (const TIfoError &e) {
        EXPECT_TRUE(e.Text().startsWith("Cannot open file \"" + missing + "\"")) << e.what();
    }
    QDir(dir.path()).mkdir("VTS_02_0.IFO");
    EXPECT_THROW(ReadIfoFile(dir.filePath("VTS_02_0.IFO")), TIfoError);

    // A file that ends inside the chain table, read from disk.
    QFile file(dir.filePath("VTS_03_0.IFO"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    TIfoLayout layout;
    layout.Chains = {TChainSpec{}};
    file.write(BuildIfo(layout).left(2050));
    file.close();
    try {
        ReadIfoFile(file.fileName());
        FAIL() << "no error";
    } catch (const TIfoError &e) {
        EXPECT_TRUE(e.Text().contains(file.fileName())) << e.what();
        EXPECT_TRUE(e.Text().contains("read past the end of the file at offset 2060")) << e.what();
    }
}

// Counts far beyond what the file holds end in the parser's error, with no
// allocation on the counts' word.
TEST(IfoErrors, CountsBeyondTheFile)
{
    TIfoLayout layout;
    layout.Chains = {TChainSpec{}};
    QByteArray many = BuildIfo(layout);
    Put16(many, 514, 0xFFFF); // 65535 audio streams in a 2 KiB header
    EXPECT_TRUE(ParseError(many)->contains("read past the end"));

    QByteArray chains = BuildIfo(layout);
    Put16(chains, 2048, 0xFFFF);
    EXPECT_TRUE(ParseError(chains)->contains("read past the end"));

    // Every search pointer names the same chain of 255 programs: the chains
    // would describe millions of chapters from a few hundred kilobytes.
    TIfoLayout bomb;
    bomb.Audio = {AudioEntry(0, 2, "en", 0)};
    TChainSpec wide;
    wide.CellCount = 255;
    for (int j = 1; j <= 255; ++j)
        wide.ProgramMap.append(j);
    bomb.Chains = {wide};
    QByteArray d = BuildIfo(bomb);
    const qint64 p = 2048;
    const quint32 offset = 8 + 8 * 0xFFFF;
    const QByteArray chain = d.mid(p + 16);
    d.resize(p + 8 + 8 * 0xFFFF, '\0');
    Put16(d, p, 0xFFFF);
    for (int i = 0; i < 0xFFFF; ++i)
        Put32(d, p + 12 + 8 * i, offset);
    d.append(chain);
    const auto error = ParseError(d);
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->contains("more entries than the file")) << error->toStdString();
}

} // namespace
