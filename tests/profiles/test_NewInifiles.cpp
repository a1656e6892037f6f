#include "profiles/NewInifiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
QByteArray ReadBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class NewInifileTest : public ::testing::Test
{
protected:
    QString File(const QByteArray &content)
    {
        const QString path = dir.filePath(QStringLiteral("test.ini"));
        WriteBytes(path, content);
        return path;
    }
    QTemporaryDir dir;
};
} // namespace

TEST_F(NewInifileTest, ReadsByTextSearch)
{
    TNewInifile ini(File("[main]\r\n11=x\r\n1=y\r\nKey = spaced\r\nCaption=  keep blanks \r\n"
                         "Bracket=a[b\r\nBelow=z\r\n[Other]\r\nOnly=o\r\n"));
    struct Case
    {
        const char *section, *key, *expected;
    } cases[] = {
        {"Main", "1", "x"},                    // '1=' is contained in '11=x'
        {"MAIN", "11", "x"},                   // header and section name match without case
        {"Main", "Key", "dflt"},               // 'Key = value' does not contain 'Key='
        {"Main", "CAPTION", "  keep blanks "}, // key without case, value unchanged
        {"Main", "Bracket", "a"},              // a '[' ends the section text
        {"Main", "Below", "dflt"},             // keys below it read as their defaults
        {"Other", "Only", "o"},
        {"Other", "Caption", "dflt"},
        {"Missing", "Only", "dflt"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ini.ReadString(QString::fromLatin1(c.section), QString::fromLatin1(c.key),
                                 QStringLiteral("dflt")),
                  QString::fromLatin1(c.expected))
            << c.section << "/" << c.key;
}

TEST_F(NewInifileTest, ConvertsIntegersAndBooleans)
{
    TNewInifile ini(File("[S]\nI=42\nNeg=-7\nBad=4x\nEmpty=\nT=TRUE\nF=false\nN=0\nM=-1\nW=yes\n"));
    EXPECT_EQ(ini.ReadInteger("S", "I", 5), 42);
    EXPECT_EQ(ini.ReadInteger("S", "Neg", 5), -7);
    EXPECT_EQ(ini.ReadInteger("S", "Bad", 5), 5);
    EXPECT_EQ(ini.ReadInteger("S", "Empty", 5), 5);
    EXPECT_EQ(ini.ReadInteger("S", "None", 5), 5);
    EXPECT_EQ(ini.ReadString("S", "Empty", "d"), QString());
    EXPECT_TRUE(ini.ReadBool("S", "T", false));
    EXPECT_FALSE(ini.ReadBool("S", "F", true));
    EXPECT_FALSE(ini.ReadBool("S", "N", true));
    EXPECT_TRUE(ini.ReadBool("S", "M", false));
    EXPECT_TRUE(ini.ReadBool("S", "W", true));
    EXPECT_FALSE(ini.ReadBool("S", "W", false));
    EXPECT_FALSE(ini.ReadBool("S", "Empty", false));
    EXPECT_TRUE(ini.ReadBool("S", "None", true));
}

TEST_F(NewInifileTest, WritesNewSectionInReverseOrderAtEnd)
{
    const QString path = File("[A]\r\nX=1\r\n");
    TNewInifile ini(path);
    ini.WriteString("New", "K1", "1");
    ini.WriteString("New", "K2", "2");
    ini.WriteInteger("New", "K3", 3);
    ASSERT_TRUE(ini.UpdateAndFree());
    EXPECT_EQ(ReadBytes(path), QByteArray("[A]\r\nX=1\r\n[New]\r\nK3=3\r\nK2=2\r\nK1=1\r\n"));
}

TEST_F(NewInifileTest, ReplacesInPlaceAndInsertsMissingKeyBelowHeader)
{
    const QString path = File("[Main]\r\nA=1\r\nb=2\r\nC=3\r\n[Next]\r\nb=9\r\n");
    TNewInifile ini(path);
    ini.WriteString("main", "B", "two"); // spelled as the caller spells it
    ini.WriteBool("Main", "D", true);
    ini.WriteBool("Next", "E", false);
    EXPECT_EQ(ini.ReadString("Main", "b", ""), QStringLiteral("two"));
    ASSERT_TRUE(ini.UpdateAndFree());
    EXPECT_EQ(ReadBytes(path),
              QByteArray("[Main]\r\nD=1\r\nA=1\r\nB=two\r\nC=3\r\n[Next]\r\nE=0\r\nb=9\r\n"));
}

TEST_F(NewInifileTest, WritesBackLineEndsAsCrLfAndKeepsLatin1Bytes)
{
    const QByteArray latin1 = "caf\xE9 \xC4\xFF";
    const QString path = File("[S]\nA=" + latin1 + "\rB=2\r\n\nC=3");
    {
        TNewInifile ini(path);
        EXPECT_EQ(ini.ReadString("S", "A", ""), QString::fromLatin1(latin1));
        EXPECT_EQ(ini.ReadString("S", "C", ""), QStringLiteral("3"));
        ASSERT_TRUE(ini.UpdateAndFree()); // reads alone still write the whole file
    }
    EXPECT_EQ(ReadBytes(path), "[S]\r\nA=" + latin1 + "\r\nB=2\r\n\r\nC=3\r\n");
    {
        TNewInifile ini(path);
        ini.WriteString("S", "D", QString::fromLatin1(latin1));
        ASSERT_TRUE(ini.UpdateAndFree());
    }
    EXPECT_EQ(ReadBytes(path), "[S]\r\nD=" + latin1 + "\r\nA=" + latin1 + "\r\nB=2\r\n\r\nC=3\r\n");
}

TEST_F(NewInifileTest, MissingFileReadsEmptyAndIsCreatedOnUpdate)
{
    const QString path = dir.filePath(QStringLiteral("none.ini"));
    TNewInifile ini(path);
    EXPECT_EQ(ini.ReadString("S", "K", "d"), QStringLiteral("d"));
    EXPECT_EQ(ini.ReadInteger("S", "K", 3), 3);
    ASSERT_TRUE(ini.UpdateAndFree());
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(ReadBytes(path), QByteArray());
}

TEST_F(NewInifileTest, UnwritableFileKeepsItsContentAndReportsError)
{
    const QByteArray before = "[S]\r\nK=old\r\n";
    const QString sub = dir.filePath(QStringLiteral("ro"));
    ASSERT_TRUE(QDir().mkpath(sub));
    const QString path = sub + QStringLiteral("/p.ini");
    WriteBytes(path, before);
    QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (QFileInfo(sub).isWritable())
        GTEST_SKIP() << "running with rights that ignore folder permissions";
    TNewInifile ini(path);
    ini.WriteString("S", "K", "new");
    QString error;
    EXPECT_FALSE(ini.UpdateAndFree(&error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(path)))
        << error.toStdString();
    EXPECT_EQ(ReadBytes(path), before);
    QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(NewInifileTest, UnwritablePathReportsError)
{
    // A folder in place of the file: cannot be replaced whatever the rights.
    const QString path = dir.filePath(QStringLiteral("isdir"));
    ASSERT_TRUE(QDir().mkpath(path));
    TNewInifile ini(path);
    QString error;
    EXPECT_FALSE(ini.UpdateAndFree(&error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(path)));
    EXPECT_TRUE(QFileInfo(path).isDir());
}
