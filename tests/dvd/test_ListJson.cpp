// velmora-ripper --list: the JSON document, its errors, and agreement with
// lsdvd (libdvdread's own reading of the same folders) on every test disc.
#include "app/helpers/AppValues.h"
#include "app/helpers/Helpers.h"
#include "dvd/Ifo.h"
#include "dvd/ListJson.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cmath>

namespace {

const QString Fixtures = QStringLiteral(VELMORA_FIXTURE_DIR);
const QString Executable = QStringLiteral(VELMORA_BIN_DIR "/velmora-ripper");
const char *const Discs[] = {"pal_two_sets", "ntsc_4x3", "two_pgcs", "many_titles"};

struct TListRun
{
    int Status = -1;
    QString Out, Err;
    QJsonObject Json() const { return QJsonDocument::fromJson(Out.toUtf8()).object(); }
};

TListRun RunInProcess(const QString &folder)
{
    TListRun run;
    QTextStream out(&run.Out), err(&run.Err);
    run.Status = RunListCommand(folder, out, err);
    return run;
}

TListRun RunExecutable(const QString &folder)
{
    QProcess process;
    process.start(Executable, {QStringLiteral("--list"), folder});
    TListRun run;
    if (!process.waitForFinished(120000))
        return run;
    run.Status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Out = QString::fromUtf8(process.readAllStandardOutput());
    run.Err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// What lsdvd -x says of a disc, in seconds and language codes.
struct TLsdvdTitle
{
    double Length = 0;
    int Angles = 0;
    QList<double> ChapterLengths;
    QStringList Audio, Subtitles;
};

QList<TLsdvdTitle> Lsdvd(const QString &folder)
{
    QProcess process;
    process.start(QStringLiteral("lsdvd"), {QStringLiteral("-x"), folder});
    process.waitForFinished(120000);
    const QString text = QString::fromUtf8(process.readAllStandardOutput());

    auto seconds = [](const QRegularExpressionMatch &m, int from) {
        return m.captured(from).toInt() * 3600 + m.captured(from + 1).toInt() * 60 +
               m.captured(from + 2).toDouble();
    };
    static const QRegularExpression title(R"(^Title: \d+, Length: (\d+):(\d+):([\d.]+) Chapters: (\d+))");
    static const QRegularExpression angles(R"(^\s+Number of Angles: (\d+))");
    static const QRegularExpression audio(R"(^\s+Audio: \d+, Language: (\S*) - )");
    static const QRegularExpression chapter(R"(^\s+Chapter: \d+, Length: (\d+):(\d+):([\d.]+))");
    static const QRegularExpression subtitle(R"(^\s+Subtitle: \d+, Language: (\S*) - )");
    QList<TLsdvdTitle> titles;
    for (const QString &line : text.split('\n')) {
        QRegularExpressionMatch m;
        if ((m = title.match(line)).hasMatch()) {
            titles.append(TLsdvdTitle{});
            titles.last().Length = seconds(m, 1);
        } else if (titles.isEmpty()) {
            continue;
        } else if ((m = angles.match(line)).hasMatch()) {
            titles.last().Angles = m.captured(1).toInt();
        } else if ((m = audio.match(line)).hasMatch()) {
            titles.last().Audio << m.captured(1);
        } else if ((m = chapter.match(line)).hasMatch()) {
            titles.last().ChapterLengths << seconds(m, 1);
        } else if ((m = subtitle.match(line)).hasMatch()) {
            titles.last().Subtitles << m.captured(1);
        }
    }
    return titles;
}

// Our clock texts are whole seconds rounded from the disc's frames; lsdvd
// keeps milliseconds (and counts NTSC frames at 29.97 where we count 30).
void ExpectSameTime(const QString &clock, double lsdvdSeconds, const std::string &where)
{
    const double ours = ParseTimeText(clock);
    EXPECT_LE(std::fabs(ours - lsdvdSeconds), 0.5 + 0.035)
        << where << ": " << clock.toStdString() << " vs " << lsdvdSeconds;
}

void ExpectAgreement(const QJsonObject &disc, const QList<TLsdvdTitle> &lsdvd, const std::string &name)
{
    const QJsonArray titles = disc["titles"].toArray();
    ASSERT_EQ(titles.size(), lsdvd.size()) << name;
    ASSERT_FALSE(lsdvd.isEmpty()) << name;
    for (int t = 0; t < titles.size(); ++t) {
        const std::string where = name + " title " + std::to_string(t + 1);
        const QJsonObject title = titles[t].toObject();
        const TLsdvdTitle &ref = lsdvd[t];
        EXPECT_EQ(title["number"].toInt(), t + 1) << where;
        EXPECT_EQ(title["start"].toString(), "00:00:00") << where;
        ExpectSameTime(title["end"].toString(), ref.Length, where);
        EXPECT_EQ(title["angleCount"].toInt(), ref.Angles) << where;

        QStringList audio;
        for (const QJsonValue &v : title["audioLanguages"].toArray())
            audio << v.toString();
        EXPECT_EQ(audio, ref.Audio) << where;
        EXPECT_EQ(title["audioTracks"].toArray().size(), ref.Audio.size()) << where;

        QStringList subtitles{QStringLiteral("None")};
        for (const QString &code : ref.Subtitles)
            subtitles << LanguageNameOfCode(code.toLatin1());
        QStringList ours;
        for (const QJsonValue &v : title["subtitles"].toArray())
            ours << v.toString();
        EXPECT_EQ(ours, subtitles) << where;

        const QJsonArray chapters = title["chapters"].toArray();
        ASSERT_EQ(chapters.size(), ref.ChapterLengths.size()) << where;
        double start = 0;
        for (int c = 0; c < chapters.size(); ++c) {
            const QJsonObject chapter = chapters[c].toObject();
            ExpectSameTime(chapter["start"].toString(), start, where + " chapter " + std::to_string(c + 1));
            start += ref.ChapterLengths[c];
        }
    }
}

TEST(ListCommand, AgreesWithLsdvdOnEveryDisc)
{
    for (const char *name : Discs) {
        const QString folder = Fixtures + '/' + name;
        const TListRun run = RunInProcess(folder);
        ASSERT_EQ(run.Status, 0) << name << run.Err.toStdString();
        ExpectAgreement(run.Json(), Lsdvd(folder), name);
    }
}

TEST(ListCommand, ExecutableAgreesWithLsdvd)
{
    if (!QFileInfo(Executable).isExecutable())
        GTEST_SKIP() << "velmora-ripper not built";
    for (const char *name : Discs) {
        const QString folder = Fixtures + '/' + name;
        const TListRun run = RunExecutable(folder);
        ASSERT_EQ(run.Status, 0) << name << run.Err.toStdString();
        ExpectAgreement(run.Json(), Lsdvd(folder), name);
    }
}

TEST(ListCommand, DocumentTexts)
{
    AppValues().OutputExtension = ".mp4";
    DVDInfo().VolumeName = QStringLiteral("MY/MO") + QChar(0) + QStringLiteral("VIE");
    const TListRun run = RunInProcess(Fixtures + "/pal_two_sets/VIDEO_TS");
    AppValues().OutputExtension.clear();
    DVDInfo().VolumeName.clear();
    ASSERT_EQ(run.Status, 0) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.isEmpty());

    const QJsonObject disc = run.Json();
    EXPECT_EQ(disc["standard"].toString(), "PAL");
    EXPECT_EQ(disc["frameRate"].toDouble(), 25);
    EXPECT_EQ(disc["videoTsPath"].toString(), Fixtures + "/pal_two_sets/VIDEO_TS/");
    const QJsonArray titles = disc["titles"].toArray();
    ASSERT_EQ(titles.size(), 2);
    const QJsonObject t1 = titles[0].toObject();
    EXPECT_EQ(t1["displayName"].toString(), "Title01 [MPEG2 720x576 PAL 16:9]");
    EXPECT_EQ(t1["aspect"].toString(), "16:9");
    EXPECT_EQ(t1["end"].toString(), "00:00:06");
    EXPECT_EQ(t1["outputName"].toString(), "MY_MO_VIE-Title01.mp4");
    EXPECT_EQ(t1["audioTracks"].toArray(), (QJsonArray{"English AC3 6ch", "French AC3 2ch"}));
    EXPECT_EQ(t1["subtitles"].toArray(), (QJsonArray{"None", "English"}));
    EXPECT_TRUE(t1["checked"].toBool());
    EXPECT_FALSE(titles[1].toObject()["checked"].toBool());
    const QJsonObject c2 = t1["chapters"].toArray()[1].toObject();
    EXPECT_EQ(c2["number"].toInt(), 2);
    EXPECT_EQ(c2["displayName"].toString(), "Chapter02");
    EXPECT_EQ(c2["start"].toString(), "00:00:02");
    EXPECT_EQ(c2["end"].toString(), "00:00:04");
    EXPECT_EQ(c2["outputName"].toString(), "MY_MO_VIE-Title01-Chapter02.mp4");
}

TEST(ListCommand, FoldersThatCannotBeOpened)
{
    QTemporaryDir empty;
    QTemporaryDir broken;
    QDir(broken.path()).mkdir("VIDEO_TS");
    const QDir source(Fixtures + "/two_pgcs/VIDEO_TS");
    for (const QString &name : source.entryList(QDir::Files))
        QFile::copy(source.filePath(name), broken.filePath("VIDEO_TS/" + name));
    QFile::resize(broken.filePath("VIDEO_TS/VTS_01_0.IFO"), 1000);

    const struct
    {
        QString Folder;
        QString Fault;
    } cases[] = {
        {empty.filePath("missing"), "missing"},
        {empty.path(), "no DVD-Video folder"},
        {broken.path(), "VTS_01_0.IFO"},
    };
    for (const auto &c : cases) {
        const TListRun run = RunInProcess(c.Folder);
        EXPECT_EQ(run.Status, 1) << c.Folder.toStdString();
        EXPECT_TRUE(run.Out.isEmpty()) << c.Folder.toStdString();
        EXPECT_TRUE(run.Err.contains(c.Fault)) << run.Err.toStdString();
        if (QFileInfo(Executable).isExecutable()) {
            const TListRun exe = RunExecutable(c.Folder);
            EXPECT_EQ(exe.Status, 1) << c.Folder.toStdString();
            EXPECT_TRUE(exe.Err.contains(c.Fault)) << exe.Err.toStdString();
        }
    }
}

} // namespace
