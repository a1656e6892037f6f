#include "app/helpers/Helpers.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

TEST(FormatSeconds, RoundsHalvesToEvenAndPadsFields)
{
    const struct
    {
        double seconds;
        const char *text;
    } cases[] = {
        {0, "00:00:00"},       {3725, "01:02:05"},    {5039.6, "01:24:00"}, {59.4, "00:00:59"},
        {59.5, "00:01:00"},    {58.5, "00:00:58"},    {60.5, "00:01:00"},   {3599.7, "01:00:00"},
        {360000, "100:00:00"}, {86399.5, "24:00:00"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatSeconds(c.seconds).toStdString(), c.text) << c.seconds;
}

TEST(ParseTimeText, ReadsEveryShapeAndRejectsMalformedTexts)
{
    const struct
    {
        const char *text;
        double seconds;
    } cases[] = {
        {"01:02:05", 3725},  {"1:02:05.040", 3725.04},
        {"0:00:10.5", 10.5}, {"0:00:00.000", 0},
        {"0:75:90", 4590},   {"-1:00:00", -3600},
        {"1:2:5.5", 3725.5}, {" 1:02:05", 3725},
        {"0:0:1e1", 10},     {"12:34", -1},
        {"0:0:.5", -1},      {"1:2:", -1},
        {"a:b:c", -1},       {"", -1},
        {"1:2:3:4", -1},     {"1::3", -1},
        {"1:2:3,5", -1},     {"1:2:3 ", -1},
        {"+:1:1", -1},
    };
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(ParseTimeText(QString::fromLatin1(c.text)), c.seconds) << c.text;
}

TEST(ParseTimeText, FailureIsExactlyMinusOne)
{
    const double failed = ParseTimeText(QStringLiteral("x"));
    EXPECT_FALSE(std::isnan(failed));
    EXPECT_EQ(failed, -1.0);
}

TEST(ParseTimeText, IgnoresTheLocaleDecimalSeparator)
{
    const char *previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    const bool haveComma = std::setlocale(LC_ALL, "de_DE.UTF-8") || std::setlocale(LC_ALL, "fr_FR.UTF-8");
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_DOUBLE_EQ(ParseTimeText(QStringLiteral("1:02:05.040")), 3725.04);
    EXPECT_EQ(ParseTimeText(QStringLiteral("1:02:05,040")), -1.0);
    EXPECT_EQ(FormatSeconds(3725.04), QStringLiteral("01:02:05"));
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_ALL, saved.c_str());
    if (!haveComma)
        GTEST_LOG_(INFO)
            << "no C locale with a comma separator installed; checked with Qt's German locale only";
}

TEST(ParseTimeText, ReadsBackWhatFormatSecondsWrites)
{
    for (double x = 0; x < 200000; x += 37.25) {
        const double rounded = static_cast<double>(RoundHalfEven(x));
        EXPECT_EQ(ParseTimeText(FormatSeconds(x)), rounded) << x;
    }
}

TEST(StripExtension, DropsTheLastDotAndWhatFollows)
{
    EXPECT_EQ(StripExtension(QStringLiteral("Normal.apf")), QStringLiteral("Normal"));
    EXPECT_EQ(StripExtension(QStringLiteral("/out/Title01.mp4")), QStringLiteral("/out/Title01"));
    EXPECT_EQ(StripExtension(QStringLiteral("C:\\a.b\\file")), QStringLiteral("C:\\a"));
    EXPECT_EQ(StripExtension(QStringLiteral("MP4 - H.264 AAC.apf")), QStringLiteral("MP4 - H.264 AAC"));
}

TEST(AddTrailingBackslash, AppendsTheSeparatorOnlyWhenMissing)
{
    EXPECT_EQ(AddTrailingBackslash(QStringLiteral("/media/")), QStringLiteral("/media/"));
    EXPECT_EQ(AddTrailingBackslash(QStringLiteral("C:\\")), QStringLiteral("C:\\"));
    EXPECT_EQ(AddTrailingBackslash(QStringLiteral("/out")), QStringLiteral("/out/"));
    EXPECT_EQ(AddTrailingBackslash(QString()), QStringLiteral("/"));
}

TEST(SplitCommaList, TakesOnlyTextsThatACommaEnds)
{
    const struct
    {
        const char *text;
        QStringList items;
    } cases[] = {
        {"A,B,C,", {"A", "B", "C"}}, {"A,B,C", {"A", "B"}}, {"A", {}}, {"", {}}, {",x,", {"", "x"}},
        {" a ,b,", {" a ", "b"}},    {"x,x,", {"x", "x"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SplitCommaList(QString::fromLatin1(c.text)), c.items) << c.text;
}
