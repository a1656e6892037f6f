// End to end with the real mencoder and ffmpeg on the test discs: the built
// program's --rip, and the same batch driven through the core for what the
// command line does not choose (trimmed times, the audio track). The outputs
// are checked with ffprobe (duration, codecs) and, for the audio track, by the
// pitch of its test tone (the first stage's AVI keeps no language tags).

#include "app/helpers/AppValues.h"
#include "app/helpers/Helpers.h"
#include "conversion/RipCommand.h"
#include "profiles/ProfileFormat.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ostream>

// Readable QString values in failure messages.
void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

const QString kBinDir = QStringLiteral(VELMORA_BIN_DIR "/");
const QString kProgram = kBinDir + QStringLiteral("velmora-ripper");
const QString kPalTwoSets = QStringLiteral(VELMORA_FIXTURE_DIR "/pal_two_sets");
constexpr int kRunTimeoutMs = 600000; // two shared cores: real encodes may be slow

void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "test_e2e_rip";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

struct TRipRun
{
    int ExitCode = -1;
    QString Err;
    QString Out;
};

TRipRun RunRip(const QStringList &arguments)
{
    QProcess p;
    p.setProgram(kProgram);
    p.setArguments(QStringList{QStringLiteral("--rip")} + arguments);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start();
    TRipRun run;
    if (!p.waitForStarted(30000) || !p.waitForFinished(kRunTimeoutMs)) {
        p.kill();
        p.waitForFinished();
        run.Err = QStringLiteral("did not finish: ") + QString::fromLocal8Bit(p.readAllStandardError());
        return run;
    }
    run.ExitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.Err = QString::fromLocal8Bit(p.readAllStandardError());
    run.Out = QString::fromLocal8Bit(p.readAllStandardOutput());
    return run;
}

QString Capture(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    p.waitForFinished(120000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

double ProbeDuration(const QString &file)
{
    bool ok = false;
    const double d = Capture(QStringLiteral("ffprobe"),
                             {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                              QStringLiteral("format=duration"), QStringLiteral("-of"),
                              QStringLiteral("default=nw=1:nk=1"), file})
                         .toDouble(&ok);
    return ok ? d : -1;
}

// The codec of the first stream of a kind ("v" or "a"); empty when there is none.
QString ProbeCodec(const QString &file, const QString &kind)
{
    return Capture(QStringLiteral("ffprobe"),
                   {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"),
                    kind + QStringLiteral(":0"), QStringLiteral("-show_entries"),
                    QStringLiteral("stream=codec_name"), QStringLiteral("-of"),
                    QStringLiteral("default=nw=1:nk=1"), file})
        .section(QLatin1Char('\n'), 0, 0);
}

// The pitch of the output's tone: zero crossings of one second of mono audio.
double ToneFrequency(const QString &file)
{
    QProcess p;
    p.start(QStringLiteral("ffmpeg"),
            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-nostdin"), QStringLiteral("-ss"),
             QStringLiteral("0.5"), QStringLiteral("-i"), file, QStringLiteral("-t"), QStringLiteral("1"),
             QStringLiteral("-vn"), QStringLiteral("-ac"), QStringLiteral("1"), QStringLiteral("-ar"),
             QStringLiteral("48000"), QStringLiteral("-f"), QStringLiteral("s16le"), QStringLiteral("-")});
    p.waitForFinished(120000);
    const QByteArray raw = p.readAllStandardOutput();
    const auto *samples = reinterpret_cast<const qint16 *>(raw.constData());
    const int count = raw.size() / 2;
    if (count < 24000)
        return -1;
    // With hysteresis at a fifth of the peak, so that coding noise around
    // zero does not count as crossings.
    int peak = 1;
    for (int i = 0; i < count; ++i)
        peak = std::max(peak, std::abs(int(samples[i])));
    const int threshold = peak / 5;
    int crossings = 0;
    int side = 0;
    for (int i = 0; i < count; ++i) {
        const int now = samples[i] > threshold ? 1 : samples[i] < -threshold ? -1 : 0;
        if (now != 0 && now != side) {
            if (side != 0)
                ++crossings;
            side = now;
        }
    }
    return crossings / 2.0 / (count / 48000.0);
}

QString EncoderToCodec(const QString &encoder)
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("libx264"), QStringLiteral("h264")},
        {QStringLiteral("libvpx-vp9"), QStringLiteral("vp9")},
        {QStringLiteral("libmp3lame"), QStringLiteral("mp3")},
        {QStringLiteral("libopus"), QStringLiteral("opus")},
    };
    return names.value(encoder, encoder);
}

// The value a profile passes for a switch (read-only codec rows).
QString SwitchValue(const TProfile &profile, const QString &cmd)
{
    for (const TProfileParameter &p : profile.Parameters)
        if (p.Cmd == cmd)
            return p.Value;
    return QString();
}

QString OnlyFile(const QString &folder)
{
    const QStringList files = QDir(folder).entryList(QDir::Files);
    return files.size() == 1 ? QDir(folder).filePath(files.first()) : QString();
}

class E2eRip : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFileInfo(kProgram).isExecutable()) << "build velmora-ripper first";
        ASSERT_TRUE(QFileInfo::exists(kPalTwoSets + QStringLiteral("/VIDEO_TS/VIDEO_TS.IFO")));
        ASSERT_TRUE(m_out.isValid() && m_work.isValid());
    }

    QStringList Common() const
    {
        return {kPalTwoSets,
                QStringLiteral("--output"),
                m_out.path(),
                QStringLiteral("--work"),
                m_work.path(),
                QStringLiteral("--overwrite"),
                QStringLiteral("overwrite")};
    }

    void ExpectNoIntermediate() const
    {
        EXPECT_FALSE(QFileInfo::exists(m_work.filePath(QStringLiteral("temp.avi"))));
    }

    QTemporaryDir m_out;
    QTemporaryDir m_work;
};

} // namespace

TEST_F(E2eRip, WholeTitleWithTheDefaultProfileAndItem)
{
    // No --items: the longest title (Title01, 6 s), whose span ends exactly at
    // the title's end, where Debian's mencoder would never exit on its own.
    const TRipRun run = RunRip(Common());
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    const QString file = OnlyFile(m_out.path());
    ASSERT_FALSE(file.isEmpty()) << run.Err.toStdString();
    EXPECT_TRUE(QFileInfo(file).fileName().startsWith(QLatin1String("Title01.")));
    EXPECT_NEAR(ProbeDuration(file), 6.0, 0.5);
    EXPECT_EQ(run.Out.trimmed(), file);
    EXPECT_TRUE(run.Err.contains(QLatin1String("1/1 Title01.")));
    EXPECT_TRUE(run.Err.contains(QLatin1String("1 converted, 0 skipped, 0 failed")));
    ExpectNoIntermediate();
}

TEST_F(E2eRip, ChapterGivesItsOwnSpan)
{
    const TRipRun run = RunRip(Common() + QStringList{QStringLiteral("--items"), QStringLiteral("1.2")});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    const QString file = OnlyFile(m_out.path());
    ASSERT_FALSE(file.isEmpty());
    EXPECT_TRUE(QFileInfo(file).fileName().startsWith(QLatin1String("Title01-Chapter02.")));
    EXPECT_NEAR(ProbeDuration(file), 2.0, 0.5);
    ExpectNoIntermediate();
}

// Through the core: a trimmed title and the second audio track.
TEST_F(E2eRip, TrimmedItemAndChosenAudioTrack)
{
    EnsureApplication();
    TAppValues &app = AppValues();
    app.ProgramDir = kBinDir;
    app.FirstStageToolPath = QStringLiteral("mencoder");
    app.SecondStageToolPath = QStringLiteral("ffmpeg");

    const QList<TTitleNode> titles = LoadDvdTitles(kPalTwoSets);
    ASSERT_EQ(titles.size(), 2);
    const QString profilePath = ProfilePath(kBinDir, QStringLiteral("AVI - MPEG-4 MP3"));
    const TProfile profile = ReadProfile(profilePath);

    struct
    {
        int audioIndex;
        double frequency;
        const char *outputName;
    } tracks[] = {{0, 440, "en"}, {1, 660, "fr"}};

    TBatchRequest request = DefaultBatchRequest();
    for (const auto &t : tracks) {
        TBatchItem b{titles[0].title, titles[0].title};
        b.Item.TrimStart = 1;
        b.Item.TrimStartText = QStringLiteral("00:00:01");
        b.Item.TrimEnd = 4;
        b.Item.TrimEndText = QStringLiteral("00:00:04");
        b.Item.AudioIndex = b.Item.AudioLanguageIndex = t.audioIndex;
        b.Item.OutputName = QString::fromLatin1(t.outputName);
        request.Items.append(b);
    }
    request.OutputFolder = m_out.path();
    request.ProfilePath = profilePath;
    request.GridText = ProfileOwnValues(profile);
    request.OutputExtension = OutputExtension(profile);
    request.WorkDir = m_work.path() + QLatin1Char('/');
    request.Overwrite = TOverwriteMode::Overwrite;

    QString printed;
    QTextStream err(&printed);
    TTerminalBatchView view(err, [](QString &) { return false; });
    struct : TPowerControl
    {
        bool PowerOff() override { return false; }
    } power;
    TBatchDriver driver(view, power);
    bool started = false;
    const TBatchSummary summary = RunBatchToEnd(driver, request, started);
    ASSERT_TRUE(started) << printed.toStdString();
    ASSERT_EQ(summary.Outcome, TBatchOutcome::Completed) << printed.toStdString();
    ASSERT_EQ(summary.OutputFiles.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const QString &file = summary.OutputFiles[i];
        EXPECT_NEAR(ProbeDuration(file), 3.0, 0.5) << file.toStdString();
        EXPECT_NEAR(ToneFrequency(file), tracks[i].frequency, 25) << file.toStdString();
    }
    ExpectNoIntermediate();
}

class E2eProfiles : public ::testing::TestWithParam<QString>
{
};

TEST_P(E2eProfiles, TwoSecondItemComesOutInTheProfilesCodecs)
{
    const QString name = GetParam();
    QTemporaryDir out, work;
    ASSERT_TRUE(out.isValid() && work.isValid());
    const TRipRun run =
        RunRip({kPalTwoSets, QStringLiteral("--output"), out.path(), QStringLiteral("--work"), work.path(),
                QStringLiteral("--profile"), name, QStringLiteral("--items"), QStringLiteral("1.1")});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    const TProfile profile = ReadProfile(ProfilePath(kBinDir, name));
    const QString file = OnlyFile(out.path());
    ASSERT_EQ(QFileInfo(file).fileName(), QStringLiteral("Title01-Chapter01") + OutputExtension(profile));
    const QString video = SwitchValue(profile, QStringLiteral("-vcodec"));
    const QString audio = SwitchValue(profile, QStringLiteral("-acodec"));
    ASSERT_FALSE(video.isEmpty() && audio.isEmpty());
    if (!video.isEmpty()) {
        EXPECT_EQ(ProbeCodec(file, QStringLiteral("v")), EncoderToCodec(video));
    } else {
        EXPECT_EQ(ProbeCodec(file, QStringLiteral("v")), QString()) << "an audio-only profile";
    }
    if (!audio.isEmpty()) {
        EXPECT_EQ(ProbeCodec(file, QStringLiteral("a")), EncoderToCodec(audio));
    }
    EXPECT_NEAR(ProbeDuration(file), 2.0, 0.5);
    EXPECT_FALSE(QFileInfo::exists(work.filePath(QStringLiteral("temp.avi"))));
}

namespace {
std::vector<QString> ShippedProfiles()
{
    std::vector<QString> names;
    // The shipped ones; the program uses its copies beside the executable.
    for (const QString &file :
         ListFilesByExtension(QStringLiteral(VELMORA_SOURCE_DIR "/Profiles/"), QStringLiteral(".apf")))
        names.push_back(StripExtension(file));
    return names;
}

std::string ProfileTestName(const ::testing::TestParamInfo<QString> &info)
{
    std::string name;
    for (const QChar c : info.param)
        name += c.isLetterOrNumber() ? static_cast<char>(c.toLatin1()) : '_';
    return name;
}
} // namespace

INSTANTIATE_TEST_SUITE_P(Shipped, E2eProfiles, ::testing::ValuesIn(ShippedProfiles()), ProfileTestName);
