// The parser on damaged copies of real title-set information files: every
// call returns a record or raises TIfoError, never anything else. Run under
// -DVELMORA_SANITIZE=ON this also shows that no read leaves the file's bytes.
#include "dvd/Ifo.h"

#include <gtest/gtest.h>

#include <QFile>

#include <random>

namespace {

QByteArray FixtureIfo(const char *disc, const char *file)
{
    QFile f(
        QStringLiteral(VELMORA_FIXTURE_DIR "/%1/VIDEO_TS/%2").arg(QLatin1String(disc), QLatin1String(file)));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// True when parsing returns or raises the parser's own error.
::testing::AssertionResult ParsesCleanly(const QByteArray &data)
{
    // A copy exactly the file's size, so a sanitizer sees any read past it.
    const QByteArray exact(data.constData(), data.size());
    try {
        const TIFO ifo = ReadIfoData(exact, QStringLiteral("MUTANT.IFO"));
        if (ifo.PGCI.Chains.size() != int(ifo.PGCI.ChainCount) ||
            ifo.VOBS.Audio.size() != int(ifo.VOBS.AudioCount))
            return ::testing::AssertionFailure() << "counts and lists disagree";
    } catch (const TIfoError &) {
    } catch (const std::exception &e) {
        return ::testing::AssertionFailure() << "unexpected exception: " << e.what();
    }
    return ::testing::AssertionSuccess();
}

class IfoRobustness : public ::testing::TestWithParam<const char *>
{
};

TEST_P(IfoRobustness, EveryTruncation)
{
    const QByteArray ifo = FixtureIfo(GetParam(), "VTS_01_0.IFO");
    ASSERT_FALSE(ifo.isEmpty()) << "test discs not built";
    for (int length = 0; length <= ifo.size(); ++length)
        ASSERT_TRUE(ParsesCleanly(ifo.left(length))) << "length " << length;
}

TEST_P(IfoRobustness, SeededMutations)
{
    const QByteArray ifo = FixtureIfo(GetParam(), "VTS_01_0.IFO");
    ASSERT_FALSE(ifo.isEmpty()) << "test discs not built";
    auto byte = [&](int at) { return quint64(quint8(ifo[at])); };
    const quint64 pgci = (byte(204) << 24 | byte(205) << 16 | byte(206) << 8 | byte(207)) * 2048;
    std::mt19937 random(20240611);
    for (int round = 0; round < 3000; ++round) {
        QByteArray mutant = ifo;
        const int changes = 1 + int(random() % 8);
        for (int k = 0; k < changes; ++k) {
            // Most changes go where the parser looks: the header, the stream
            // attributes and the chain table with its first chains.
            qint64 at;
            switch (random() % 4) {
            case 0:
                at = 200 + random() % 12;
                break;
            case 1:
                at = 512 + random() % 300;
                break;
            case 2:
                at = qint64(pgci) + random() % 1024;
                break;
            default:
                at = random() % mutant.size();
                break;
            }
            if (at >= mutant.size())
                continue;
            mutant[at] = char(random() % 3 == 0 ? 0xFF : random());
        }
        if (random() % 5 == 0)
            mutant.truncate(int(random() % mutant.size()));
        ASSERT_TRUE(ParsesCleanly(mutant)) << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, IfoRobustness, ::testing::Values("pal_two_sets", "many_titles"));

} // namespace
