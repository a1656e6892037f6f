// The status parsers on the forms Debian's mencoder 1.5 and ffmpeg 5.1 really
// print (captured from a fixture disc into tests/conversion/data), the
// progress figures of both stages and the batch clock.

#include "conversion/Progress.h"

#include <gtest/gtest.h>

#include <QFile>

namespace {

QByteArray ReadData(const char *name)
{
    QFile f(QStringLiteral(VELMORA_SOURCE_DIR "/tests/conversion/data/") + QLatin1String(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

// Status lines end in "\r", other lines in "\n".
QList<QByteArray> Pieces(const QByteArray &bytes)
{
    QByteArray copy = bytes;
    copy.replace('\r', '\n');
    return copy.split('\n');
}

} // namespace

TEST(Progress, RealMencoderStatus)
{
    const QByteArray output = ReadData("mencoder_output.txt");
    QList<double> positions;
    for (const QByteArray &line : Pieces(output))
        if (line.startsWith("Pos:"))
            positions.append(ParseFirstStagePosition(line));
    ASSERT_GT(positions.size(), 40);
    EXPECT_EQ(positions.first(), 0.0);
    EXPECT_NEAR(positions.last(), 2.0, 0.05); // a 2-second chapter
    for (double p : positions)
        EXPECT_NE(p, NoPosition);
    // A whole chunk: the first status counts; the summary marks the end.
    EXPECT_EQ(ParseFirstStagePosition(output), 0.0);
    EXPECT_NEAR(ParseLastFirstStagePosition(output), 2.0, 0.05);
    EXPECT_TRUE(HasClosingSummary(output));
    EXPECT_FALSE(HasClosingSummary(output.left(output.indexOf("Pos:"))));
}

TEST(Progress, FirstStageForms)
{
    const QList<QPair<QByteArray, double>> cases = {
        {"Pos: 123.4s   3085f ( 50%)", 123.4},
        {"Pos:  12.3s    308f (20%) Pos:  12.4s    309f", 12.3},
        {"banner\nPos:   0.0s      1f (20%)  0.00fps", 0.0},
        {"no status here", NoPosition},
        {"Pos: abc s", NoPosition},
        {"Pos: 12.3", 12.3}, // cut by the chunk before its "s"
        {QByteArray("Pos:\0 5.0s", 10), NoPosition},
        {"Pos: -1.0s", NoPosition},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ParseFirstStagePosition(c.first), c.second) << c.first.constData();
}

TEST(Progress, RealFfmpegStatus)
{
    for (const char *name : {"ffmpeg_output.txt", "ffmpeg_output_creation_time.txt"}) {
        SCOPED_TRACE(name);
        const QByteArray output = ReadData(name);
        QList<double> times;
        for (const QByteArray &line : Pieces(output))
            if (line.startsWith("frame="))
                times.append(ParseSecondStageTime(line));
        ASSERT_FALSE(times.isEmpty());
        for (double t : times)
            EXPECT_NE(t, NoPosition);
        EXPECT_GT(times.last(), 0.9);
        // The whole output as one chunk: its creation_time lines are passed
        // over and the first status is read.
        EXPECT_EQ(ParseSecondStageTime(output), times.first());
    }
    // The banner alone (a chunk with creation_time but no status) reads as nothing.
    const QByteArray banner = ReadData("ffmpeg_output_creation_time.txt");
    EXPECT_EQ(ParseSecondStageTime(banner.left(banner.indexOf("frame="))), NoPosition);
}

TEST(Progress, SecondStageForms)
{
    const QList<QPair<QByteArray, double>> cases = {
        {"time=95.20 bitrate=1000", 95.2},
        {"frame= 12 time=00:01:35.20 bitrate= 700.1kbits/s", 95.2},
        {"time=01:00:00.50 ", 3600.5},
        {"size= 0kB time=N/A bitrate=N/A", NoPosition},
        {"time=-00:00:00.04 bitrate", NoPosition},
        {"creation_time   : 2024-01-01 frame= 1 time=00:00:02.00 bit", 2.0},
        {"time:12.5 x", 12.5}, // no "time=": after "time" and one character
        {"abcdefgh 12", NoPosition},
        {"", NoPosition},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ParseSecondStageTime(c.first), c.second) << c.first.constData();
}

TEST(Progress, StageFigures)
{
    TStageContext c;
    c.ItemSeconds = 246.8;
    c.ItemFrames = 6170;
    c.TotalSeconds = 2 * 246.8;
    c.DoneSeconds = 0;
    c.FrameRate = 25;
    TProgressFigures f = FirstStageFigures(123.4, c);
    EXPECT_EQ(f.CurrentPercent, 25);
    EXPECT_EQ(f.FrameText, "1542 / 6170"); // 123.4 x 25 / 2 = 1542.5, halves to even
    EXPECT_EQ(f.TotalPercent, 25);

    f = SecondStageFigures(123.4, c);
    EXPECT_EQ(f.CurrentPercent, 75);
    EXPECT_EQ(f.FrameText, "4628 / 6170");
    EXPECT_EQ(f.TotalPercent, 75);

    // An item or a batch without length leaves the figures as shown.
    TStageContext empty;
    EXPECT_EQ(FirstStageFigures(5, empty), TProgressFigures());
    EXPECT_EQ(SecondStageFigures(5, empty), TProgressFigures());

    // Positions beyond the item show as the bar's end.
    c.ItemSeconds = 10;
    c.TotalSeconds = 20;
    EXPECT_EQ(FirstStageFigures(400, c).CurrentPercent, 100);
    EXPECT_EQ(BarPosition(-3), 0);
    EXPECT_EQ(BarPosition(12.5), 12);
}

TEST(Progress, BatchClock)
{
    TBatchClock clock;
    for (int i = 0; i < 99; ++i)
        clock.Tick(0);
    EXPECT_EQ(clock.RemainingText(), ""); // nothing to go on while the bar is at 0
    clock.Tick(25);
    EXPECT_EQ(clock.Elapsed(), 100);
    EXPECT_EQ(clock.ElapsedText(), "00:01:40");
    EXPECT_EQ(clock.RemainingText(), "00:05:00");
    clock.Tick(0);
    EXPECT_EQ(clock.RemainingText(), "00:05:00"); // the last value stays
    clock.Reset();
    EXPECT_EQ(clock.Elapsed(), 0);
    EXPECT_EQ(clock.RemainingText(), "");
}
