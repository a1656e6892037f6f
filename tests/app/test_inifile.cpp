#include "app/helpers/IniFile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class IniFileTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("Preferences.ini")); }
};

} // namespace

TEST_F(IniFileTest, NamesMatchWithoutCaseAndValuesAreTrimmed)
{
    WriteAll(path(), "[main]\r\nOUTPUT PATH =  /out/dir  \r\nProfile=3\r\nFlag=1\r\nBad=x3\r\n");
    const TIniFile ini(path());
    EXPECT_EQ(ini.ReadString(QStringLiteral("Main"), QStringLiteral("Output Path"), QString()),
              QStringLiteral("/out/dir"));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("MAIN"), QStringLiteral("profile"), 0), 3);
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("Main"), QStringLiteral("Flag"), false));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Main"), QStringLiteral("Bad"), 7), 7);
    EXPECT_EQ(ini.ReadString(QStringLiteral("Main"), QStringLiteral("Missing"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("Other"), QStringLiteral("Profile"), QStringLiteral("d")),
              QStringLiteral("d"));
}

TEST_F(IniFileTest, LongValuesAreCut)
{
    WriteAll(path(), "[Main]\r\nKey=" + QByteArray(3000, 'v') + "\r\n");
    EXPECT_EQ(TIniFile(path()).ReadString(QStringLiteral("Main"), QStringLiteral("Key"), QString()).size(),
              TIniFile::MaxValueLength);
}

TEST_F(IniFileTest, WritesReplaceInPlaceOrAppendToTheirSection)
{
    WriteAll(path(), "[Main]\nVersion=2.0\nProfile=1\n\n[Default]\nAsk=1\n");
    TIniFile ini(path());
    ASSERT_TRUE(ini.WriteInteger(QStringLiteral("main"), QStringLiteral("PROFILE"), 4));
    ASSERT_TRUE(
        ini.WriteString(QStringLiteral("Main"), QStringLiteral("Output Path"), QStringLiteral("/out/")));
    ASSERT_TRUE(ini.WriteBool(QStringLiteral("Extra"), QStringLiteral("FirstUse"), false));
    EXPECT_EQ(ReadAll(path()), QByteArray("[Main]\r\nVersion=2.0\r\nPROFILE=4\r\nOutput Path=/out/\r\n\r\n"
                                          "[Default]\r\nAsk=1\r\n[Extra]\r\nFirstUse=0\r\n"));
    EXPECT_EQ(TIniFile(path()).ReadInteger(QStringLiteral("Main"), QStringLiteral("Profile"), 0), 4);
}

TEST_F(IniFileTest, AMissingFileReadsEmptyAndIsCreatedOnWrite)
{
    TIniFile ini(path());
    EXPECT_EQ(ini.ReadString(QStringLiteral("Main"), QStringLiteral("Version"), QStringLiteral("2.0")),
              QStringLiteral("2.0"));
    EXPECT_FALSE(QFile::exists(path()));
    ASSERT_TRUE(ini.WriteInteger(QStringLiteral("Main"), QStringLiteral("Profile"), -1));
    EXPECT_EQ(ReadAll(path()), QByteArray("[Main]\r\nProfile=-1\r\n"));
}

TEST_F(IniFileTest, KeepsBytesAboveAsciiAndReadsEveryLineEnd)
{
    WriteAll(path(), "[Main]\rName=Caf\xe9\nOther=\xff\r\nLast=1");
    TIniFile ini(path());
    EXPECT_EQ(ini.ReadString(QStringLiteral("Main"), QStringLiteral("Name"), QString()),
              QString::fromLatin1("Caf\xe9"));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Main"), QStringLiteral("Last"), 0), 1);
    ASSERT_TRUE(ini.WriteString(QStringLiteral("Main"), QStringLiteral("Last"), QStringLiteral("2")));
    EXPECT_EQ(ReadAll(path()), QByteArray("[Main]\r\nName=Caf\xe9\r\nOther=\xff\r\nLast=2\r\n"));
}

TEST_F(IniFileTest, AFailedWriteLeavesTheFileAsItWas)
{
    WriteAll(path(), "[Main]\r\nProfile=1\r\n");
    TIniFile ini(path());
    // A read-only folder stops an ordinary user; root needs the file made immutable.
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool immutable = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path()}) == 0;
    const bool written = ini.WriteInteger(QStringLiteral("Main"), QStringLiteral("Profile"), 2);
    if (immutable)
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path()});
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (written)
        GTEST_SKIP() << "neither a read-only folder nor an immutable file stops this user here";
    EXPECT_TRUE(ini.LastError().startsWith(QStringLiteral("Cannot create file \"") + path() +
                                           QStringLiteral("\". ")));
    EXPECT_EQ(ReadAll(path()), QByteArray("[Main]\r\nProfile=1\r\n"));
}

TEST_F(IniFileTest, AWriteThatCannotHappenSaysWhy)
{
    // A path below a plain file cannot be created, whoever runs the test.
    WriteAll(path(), "[Main]\r\n");
    TIniFile ini(path() + QStringLiteral("/inner.ini"));
    EXPECT_FALSE(ini.WriteInteger(QStringLiteral("Main"), QStringLiteral("Profile"), 2));
    EXPECT_TRUE(ini.LastError().startsWith(QStringLiteral("Cannot create file \"") + path()));
    EXPECT_EQ(ReadAll(path()), QByteArray("[Main]\r\n"));
}
