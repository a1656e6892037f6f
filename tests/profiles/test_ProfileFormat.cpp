#include "app/helpers/Helpers.h"
#include "profiles/NewInifiles.h"
#include "profiles/ProfileFormat.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
void WriteText(const QString &path, const QByteArray &text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

QString ShippedProfilesDir()
{
    return QStringLiteral(VELMORA_SOURCE_DIR "/Profiles/");
}

QStringList ShippedProfiles()
{
    return ListFilesByExtension(ShippedProfilesDir(), QStringLiteral(".apf"));
}
} // namespace

TEST(ListFilesByExtension, PlainFilesOfTheExtensionSortedWithoutCase)
{
    QTemporaryDir dir;
    for (const char *name : {"b.apf", "A.apf", "c.APF", "d.apf.bak", "e.txt", ".hidden.apf", "noext"})
        WriteText(dir.filePath(QString::fromLatin1(name)), "x");
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.apf")));
    EXPECT_EQ(ListFilesByExtension(dir.path(), QStringLiteral(".apf")),
              QStringList({"A.apf", "b.apf", "c.APF"}));
    EXPECT_TRUE(
        ListFilesByExtension(dir.filePath(QStringLiteral("missing")), QStringLiteral(".apf")).isEmpty());
}

TEST(ProfilePath, FindsTheListedFileWhateverTheCaseOfItsExtension)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Profiles")));
    const QString programDir = dir.path() + QLatin1Char('/');
    WriteText(programDir + QStringLiteral("Profiles/c.APF"), "[Main]\r\nType=webm\r\n");
    EXPECT_EQ(ProfilePath(programDir, QStringLiteral("c")), programDir + QStringLiteral("Profiles/c.APF"));
    EXPECT_EQ(ReadProfile(ProfilePath(programDir, QStringLiteral("c"))).Type, QStringLiteral("webm"));
    EXPECT_EQ(ProfilePath(programDir, QStringLiteral("none")),
              programDir + QStringLiteral("Profiles/none.apf"));
}

TEST(ReadProfile, DefaultsAndTypes)
{
    QTemporaryDir dir;
    const QString noType = dir.filePath(QStringLiteral("n.apf"));
    WriteText(noType, "[Main]\r\nPara=2\r\n0=P\r\n1=Q\r\n[P]\r\nCaption=x,\r\n[Q]\r\nSort=2\r\nList=0\r\n"
                      "ReadOnly=1\r\ncmd=-an\r\nValue=\\\r\nIndex=4\r\n");
    const TProfile p = ReadProfile(noType);
    EXPECT_EQ(OutputExtension(p), QStringLiteral(".mp4"));
    ASSERT_EQ(p.Parameters.size(), 2);
    const TProfileParameter &a = p.Parameters.at(0);
    EXPECT_EQ(a.Name, QStringLiteral("P"));
    EXPECT_EQ(a.Sort, -1);
    EXPECT_FALSE(a.ReadOnly);
    EXPECT_TRUE(a.List); // a section without List is a pick list
    EXPECT_EQ(a.Caption, QStringLiteral("x,"));
    EXPECT_EQ(a.Index, 0);
    EXPECT_TRUE(a.Cmd.isEmpty());
    const TProfileParameter &b = p.Parameters.at(1);
    EXPECT_EQ(b.Sort, 2);
    EXPECT_FALSE(b.List);
    EXPECT_TRUE(b.ReadOnly);
    EXPECT_EQ(b.Cmd, QStringLiteral("-an"));
    EXPECT_EQ(b.Value, QStringLiteral("\\"));
    EXPECT_EQ(EffectiveGrid(p, 0), 0); // no grid before the first parameter
    EXPECT_EQ(EffectiveGrid(p, 1), pgAudio);

    const QString avi = dir.filePath(QStringLiteral("a.apf"));
    WriteText(avi, "[Main]\nType=avi\n");
    EXPECT_EQ(OutputExtension(ReadProfile(avi)), QStringLiteral(".avi"));
    EXPECT_EQ(OutputExtension(ReadProfile(dir.filePath(QStringLiteral("missing.apf")))),
              QStringLiteral(".mp4"));
}

TEST(ReadProfile, DamagedParameterCountDoesNotRunAway)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.apf"));
    WriteText(path, "[Main]\r\nPara=2000000000\r\n0=P\r\n[P]\r\nSort=1\r\n");
    EXPECT_LE(ReadProfile(path).Parameters.size(), 5);
}

TEST(ReadProfile, GridFallsBackToThePreviousParameter)
{
    TProfile p;
    for (int sort : {3, -1, 7, 1, 0}) {
        TProfileParameter parameter;
        parameter.Sort = sort;
        p.Parameters.append(parameter);
    }
    const int expected[] = {3, 3, 3, 1, 1};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(EffectiveGrid(p, i), expected[i]) << i;
}

TEST(IndexOfChoice, FirstMatchWithoutCase)
{
    const QStringList choices = {"Stereo", "stereo", "Mono"};
    EXPECT_EQ(IndexOfChoice(choices, QStringLiteral("STEREO")), 0);
    EXPECT_EQ(IndexOfChoice(choices, QStringLiteral("mono")), 2);
    EXPECT_EQ(IndexOfChoice(choices, QStringLiteral("Quad")), -1);
}

// Every shipped profile follows the rules that make all readers agree, reads
// the same through both ini classes, and lists the main-window default first.
TEST(ShippedProfiles, AreValidAndReadAlikeByBothReaders)
{
    const QStringList names = ShippedProfiles();
    ASSERT_GE(names.size(), 8);
    EXPECT_TRUE(names.first().startsWith(QStringLiteral("Any device - MP4"))) << names.first().toStdString();
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString path = ShippedProfilesDir() + name;
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        EXPECT_TRUE(bytes.endsWith("\r\n"));
        EXPECT_FALSE(bytes.contains("\r\n\r\n"));
        for (const QByteArray &line : bytes.split('\n')) {
            const QByteArray l = line.endsWith('\r') ? line.chopped(1) : line;
            if (l.isEmpty())
                continue;
            EXPECT_TRUE(l.startsWith('[') ? l.endsWith(']') && l.count('[') == 1
                                          : !l.contains('[') && l.contains('='))
                << l.constData();
        }
        const TProfile viaIniFile = ReadProfile(path);
        const TNewInifile ini(path);
        const TProfile viaNewInifile = ReadProfile(ini);
        EXPECT_EQ(viaIniFile.Type, viaNewInifile.Type);
        ASSERT_EQ(viaIniFile.Parameters.size(), viaNewInifile.Parameters.size());
        ASSERT_FALSE(viaIniFile.Parameters.isEmpty());
        QSet<QString> seen;
        for (int i = 0; i < viaIniFile.Parameters.size(); ++i) {
            const TProfileParameter &a = viaIniFile.Parameters.at(i);
            const TProfileParameter &b = viaNewInifile.Parameters.at(i);
            SCOPED_TRACE(a.Name.toStdString());
            EXPECT_EQ(a.Name, b.Name);
            EXPECT_EQ(a.Sort, b.Sort);
            EXPECT_EQ(a.ReadOnly, b.ReadOnly);
            EXPECT_EQ(a.Cmd, b.Cmd);
            EXPECT_EQ(a.List, b.List);
            EXPECT_EQ(a.Caption, b.Caption);
            EXPECT_EQ(a.Value, b.Value);
            EXPECT_EQ(a.Index, b.Index);
            EXPECT_FALSE(a.Name.isEmpty());
            EXPECT_NE(a.Name.toLower(), QStringLiteral("main"));
            EXPECT_FALSE(seen.contains(a.Name.toLower()));
            seen.insert(a.Name.toLower());
            EXPECT_TRUE(a.Sort >= 1 && a.Sort <= 3);
            if (a.List) {
                const QStringList captions = SplitCommaList(a.Caption);
                EXPECT_FALSE(captions.isEmpty());
                EXPECT_TRUE(a.Index >= 0 && a.Index < captions.size());
                EXPECT_GE(SplitCommaList(a.Value).size(), captions.size());
                QSet<QString> distinct;
                for (const QString &c : captions)
                    distinct.insert(c.toLower());
                EXPECT_EQ(distinct.size(), captions.size());
            }
        }
    }
}

// The default choices of every shipped profile, turned into converter switches
// (the effective value of each parameter, a lone "\" meaning no argument), are
// accepted by the installed ffmpeg and give a file.
TEST(ShippedProfiles, DefaultChoicesRunThroughFfmpeg)
{
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty())
        GTEST_SKIP() << "ffmpeg is not installed";
    QTemporaryDir dir;
    for (const QString &name : ShippedProfiles()) {
        SCOPED_TRACE(name.toStdString());
        const TProfile profile = ReadProfile(ShippedProfilesDir() + name);
        QStringList args = {"-hide_banner", "-loglevel",   "error", "-y",    "-f", "lavfi",
                            "-i",           "testsrc=d=1", "-f",    "lavfi", "-i", "sine=d=1"};
        for (const TProfileParameter &p : profile.Parameters) {
            QString value = p.List       ? SplitCommaList(p.Value).value(p.Index)
                            : p.ReadOnly ? p.Value
                                         : p.Caption;
            if (p.Cmd.isEmpty() || value.isEmpty())
                continue;
            args << p.Cmd;
            if (value != QLatin1String("\\"))
                args << value;
        }
        const QString out = dir.filePath(QStringLiteral("out") + OutputExtension(profile));
        args << out;
        QProcess run;
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.start(ffmpeg, args);
        ASSERT_TRUE(run.waitForFinished(120000));
        EXPECT_EQ(run.exitCode(), 0) << args.join(' ').toStdString() << "\n" << run.readAll().toStdString();
        EXPECT_GT(QFileInfo(out).size(), 0);
    }
}
