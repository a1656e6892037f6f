// The built program's --rip run from a program folder of its own (the
// executable hard-linked into it, with its own Preferences.ini, Profiles/ and
// the fake mencoder and ffmpeg), so the remembered choices, the exit status,
// the overwrite modes, a failing tool, a tool that cannot be started and a
// SIGTERM in the middle can all be seen from outside.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <ostream>
#include <unistd.h>

// QString in failure messages.
std::ostream &operator<<(std::ostream &os, const QString &text)
{
    return os << text.toStdString();
}

namespace {

const QString kFixtures = QStringLiteral(VELMORA_SOURCE_DIR "/tests/fixtures/");
const QString kPalTwoSets = QStringLiteral(VELMORA_FIXTURE_DIR "/pal_two_sets");

struct TRun
{
    int ExitCode = -1;
    QString Err;
    QString Out;
};

class RipCommand : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_program.isValid() && m_out.isValid() && m_work.isValid());
        const QString exe = QStringLiteral(VELMORA_BIN_DIR "/velmora-ripper");
        ASSERT_TRUE(QFileInfo(exe).isExecutable()) << "build velmora-ripper first";
        m_exe = m_program.filePath(QStringLiteral("velmora-ripper"));
        // The program finds its folder from its own path, so it must lie here.
        if (::link(QFile::encodeName(exe).constData(), QFile::encodeName(m_exe).constData()) != 0) {
            ASSERT_TRUE(QFile::copy(exe, m_exe));
        }
        ASSERT_TRUE(QDir(m_program.path()).mkdir(QStringLiteral("Profiles")));
        for (const char *profile : {"AVI - MPEG-4 MP3.apf", "VCD - MPEG-1.apf"})
            ASSERT_TRUE(
                QFile::copy(QStringLiteral(VELMORA_SOURCE_DIR "/Profiles/") + QLatin1String(profile),
                            m_program.filePath(QStringLiteral("Profiles/")) + QLatin1String(profile)));
        InstallFakes();
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert(QStringLiteral("FAKE_TOOL_PACE"), QStringLiteral("0.005"));
        m_env.insert(QStringLiteral("FAKE_TOOL_STEPS"), QStringLiteral("30"));
    }

    void InstallFakes()
    {
        for (const char *tool : {"mencoder", "ffmpeg"}) {
            const QString target = m_program.filePath(QLatin1String(tool));
            ASSERT_TRUE(QFile::copy(kFixtures + QStringLiteral("fake_") + QLatin1String(tool), target));
            QFile::setPermissions(target, QFile::permissions(target) | QFile::ExeOwner | QFile::ExeUser);
        }
    }

    void WritePreferences(const QByteArray &text)
    {
        QFile f(m_program.filePath(QStringLiteral("Preferences.ini")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

    QStringList Common() const
    {
        return {QStringLiteral("--rip"),  kPalTwoSets,  QStringLiteral("--output"), m_out.path(),
                QStringLiteral("--work"), m_work.path()};
    }

    TRun Run(const QStringList &arguments, const QByteArray &input = QByteArray(),
             const std::function<void(QProcess &)> &during = {})
    {
        QProcess p;
        p.setProcessEnvironment(m_env);
        p.start(m_exe, arguments);
        EXPECT_TRUE(p.waitForStarted(30000));
        if (!input.isEmpty())
            p.write(input);
        p.closeWriteChannel();
        if (during)
            during(p);
        TRun run;
        if (!p.waitForFinished(300000)) {
            p.kill();
            p.waitForFinished();
            return run;
        }
        run.ExitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        run.Err = QString::fromLocal8Bit(p.readAllStandardError());
        run.Out = QString::fromLocal8Bit(p.readAllStandardOutput());
        return run;
    }

    QString Output(const QString &name) const { return m_out.filePath(name); }
    QStringList OutputFiles() const { return QDir(m_out.path()).entryList(QDir::Files, QDir::Name); }
    bool HasIntermediate() const { return QFileInfo::exists(m_work.filePath(QStringLiteral("temp.avi"))); }

    static QByteArray Content(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void Write(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QTemporaryDir m_program;
    QTemporaryDir m_out;
    QTemporaryDir m_work;
    QString m_exe;
    QProcessEnvironment m_env;
};

} // namespace

TEST_F(RipCommand, ConvertsWithTheRememberedProfileAndPrintsProgress)
{
    WritePreferences("[Main]\r\nProfile=1\r\n"); // the second profile by name: VCD - MPEG-1
    const TRun run = Run(Common() + QStringList{QStringLiteral("--items"), QStringLiteral("1.1,2")});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(OutputFiles(),
              (QStringList{QStringLiteral("Title01-Chapter01.mpg"), QStringLiteral("Title02.mpg")}));
    EXPECT_EQ(run.Out, Output(QStringLiteral("Title01-Chapter01.mpg")) + QLatin1Char('\n') +
                           Output(QStringLiteral("Title02.mpg")) + QLatin1Char('\n'));
    EXPECT_TRUE(run.Err.contains(QLatin1String("profile 'VCD - MPEG-1'"))) << run.Err;
    EXPECT_TRUE(run.Err.contains(QRegularExpression(
        QStringLiteral("2/2 Title02.mpg: \\d+% \\(total \\d+%\\) elapsed \\d\\d:\\d\\d:\\d\\d "
                       "remaining (\\d\\d:\\d\\d:\\d\\d|--:--:--)"))))
        << run.Err;
    EXPECT_TRUE(run.Err.contains(QLatin1String("2/2 Title02.mpg: 100% (total 100%)"))) << run.Err;
    EXPECT_TRUE(run.Err.contains(QLatin1String("Complete: The conversion is completed successfully.")));
    EXPECT_FALSE(HasIntermediate());
}

TEST_F(RipCommand, ExistingOutputInEachMode)
{
    const QString existing = Output(QStringLiteral("Title01-Chapter01.avi"));
    const struct
    {
        const char *name;
        QByteArray preferences; // Main section
        QStringList option;
        QByteArray input;
        bool replaced;
        int files;
    } cases[] = {
        {"rename from the preferences", "Ask=0\r\nOverwrite=0\r\n", {}, {}, false, 2},
        {"overwrite from the preferences", "Ask=1\r\nOverwrite=1\r\n", {}, {}, true, 1},
        {"ask, answered no", "", {}, "n\n", false, 1},
        {"ask, answered yes after a wrong answer", "", {}, "perhaps\ny\n", true, 1},
        {"ask with no answer at all", "", {}, {}, false, 1},
        {"the option wins over the preferences",
         "Ask=1\r\nOverwrite=1\r\n",
         {QStringLiteral("--overwrite"), QStringLiteral("rename")},
         {},
         false,
         2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        for (const QString &f : OutputFiles())
            QFile::remove(Output(f));
        Write(existing, "an earlier rip");
        WritePreferences("[Main]\r\nProfile=0\r\n" + c.preferences);
        const TRun run =
            Run(Common() + QStringList{QStringLiteral("--items"), QStringLiteral("1.1")} + c.option, c.input);
        ASSERT_EQ(run.ExitCode, 0) << run.Err;
        EXPECT_EQ(Content(existing) != "an earlier rip", c.replaced) << run.Err;
        EXPECT_EQ(OutputFiles().size(), c.files) << OutputFiles().join(QLatin1Char(' '));
        if (c.files == 2) {
            QStringList files = OutputFiles();
            files.removeAll(QStringLiteral("Title01-Chapter01.avi"));
            ASSERT_EQ(files.size(), 1);
            const QString renamed = files.first();
            EXPECT_TRUE(QRegularExpression(QStringLiteral("^Title01-Chapter01-\\d{8}-\\d{6}\\.avi$"))
                            .match(renamed)
                            .hasMatch())
                << renamed;
            EXPECT_EQ(run.Out.trimmed(), Output(renamed));
        }
        if (!c.replaced && c.files == 1) {
            EXPECT_TRUE(run.Err.contains(QLatin1String("0 converted, 1 skipped, 0 failed"))) << run.Err;
        }
    }
}

TEST_F(RipCommand, FailingToolsExitWithOne)
{
    WritePreferences("[Main]\r\nProfile=0\r\nOverwrite=1\r\n");
    {
        SCOPED_TRACE("both tools exit with code 1; every item is tried");
        m_env.insert(QStringLiteral("FAKE_TOOL_EXIT"), QStringLiteral("1"));
        const TRun run = Run(Common() + QStringList{QStringLiteral("--items"), QStringLiteral("1.1,1.2")});
        EXPECT_EQ(run.ExitCode, 1) << run.Err;
        EXPECT_TRUE(run.Err.contains(QLatin1String("Title01-Chapter01.avi: the first stage"))) << run.Err;
        EXPECT_TRUE(run.Err.contains(QLatin1String("Title01-Chapter02.avi: the first stage"))) << run.Err;
        EXPECT_TRUE(run.Err.contains(QLatin1String("0 converted, 0 skipped, 2 failed"))) << run.Err;
        EXPECT_FALSE(run.Err.contains(QLatin1String("completed successfully")));
        EXPECT_TRUE(OutputFiles().isEmpty());
        EXPECT_FALSE(HasIntermediate());
        m_env.remove(QStringLiteral("FAKE_TOOL_EXIT"));
    }
    {
        SCOPED_TRACE("no tool can be started");
        QFile::remove(m_program.filePath(QStringLiteral("mencoder")));
        QFile::remove(m_program.filePath(QStringLiteral("ffmpeg")));
        m_env.insert(QStringLiteral("PATH"), m_work.filePath(QStringLiteral("nothing-here")));
        const TRun run = Run(Common() + QStringList{QStringLiteral("--items"), QStringLiteral("1.1,1.2")});
        EXPECT_EQ(run.ExitCode, 1) << run.Err;
        EXPECT_TRUE(run.Err.contains(QLatin1String("Error. Please re-install Velmora DVD to MPEG Ripper")))
            << run.Err;
        EXPECT_TRUE(run.Err.contains(QLatin1String("'mencoder' could not be started"))) << run.Err;
        EXPECT_FALSE(run.Err.contains(QLatin1String("2/2"))) << "no further item is tried";
        EXPECT_TRUE(OutputFiles().isEmpty());
    }
}

TEST_F(RipCommand, SigtermStopsTheToolsAndRemovesTheIntermediateFile)
{
    WritePreferences("[Main]\r\nProfile=0\r\nOverwrite=1\r\n");
    m_env.insert(QStringLiteral("FAKE_TOOL_PACE"), QStringLiteral("0.2")); // about 6 s per stage
    const QString temp = m_work.filePath(QStringLiteral("temp.avi"));
    bool inSecondStage = false;
    bool tempExisted = false;
    QString seen;
    const TRun run = Run(
        Common() + QStringList{QStringLiteral("--items"), QStringLiteral("1.1,1.2")}, {}, [&](QProcess &p) {
            // Into the second stage of the first item (temp.avi written), then SIGTERM.
            const QRegularExpression secondStage(QStringLiteral("1/2 Title01-Chapter01.avi: ([6-9]\\d)% "));
            for (int i = 0; i < 600 && !inSecondStage; ++i) {
                p.waitForReadyRead(100);
                seen += QString::fromLocal8Bit(p.readAllStandardError());
                inSecondStage = seen.contains(secondStage);
            }
            tempExisted = QFileInfo::exists(temp);
            p.terminate();
        });
    ASSERT_TRUE(inSecondStage) << seen;
    EXPECT_TRUE(tempExisted);
    EXPECT_EQ(run.ExitCode, 1) << run.Err;
    EXPECT_TRUE(run.Err.contains(QLatin1String("Cancel: The conversion is canceled."))) << run.Err;
    EXPECT_FALSE(run.Err.contains(QLatin1String("2/2"))) << "the second item never starts";
    EXPECT_FALSE(QFileInfo::exists(temp));
    EXPECT_TRUE(OutputFiles().isEmpty());
    // The tools are gone with the batch.
    QProcess pgrep;
    pgrep.start(QStringLiteral("pgrep"), {QStringLiteral("-f"), m_program.path()});
    pgrep.waitForFinished();
    EXPECT_EQ(pgrep.exitCode(), 1) << pgrep.readAllStandardOutput().toStdString();
}

TEST_F(RipCommand, BadArgumentsExitWithTwo)
{
    WritePreferences("[Main]\r\nProfile=0\r\n");
    const struct
    {
        QStringList arguments;
        const char *complaint;
    } cases[] = {
        {{QStringLiteral("--rip")}, "no disc folder given"},
        {{QStringLiteral("--rip"), kPalTwoSets}, "no output folder given"},
        {{QStringLiteral("--rip"), m_out.filePath(QStringLiteral("missing")), QStringLiteral("--output"),
          m_out.path()},
         "does not exist"},
        {{QStringLiteral("--rip"), kPalTwoSets, QStringLiteral("--output"),
          m_out.filePath(QStringLiteral("missing"))},
         "the output folder"},
        {Common() + QStringList{QStringLiteral("--profile"), QStringLiteral("Nothing like it")},
         "there is no profile 'Nothing like it'"},
        {Common() + QStringList{QStringLiteral("--items"), QStringLiteral("7")}, "the disc has no title 7"},
        {Common() + QStringList{QStringLiteral("--overwrite"), QStringLiteral("never")},
         "ask, overwrite or rename"},
        {{QStringLiteral("--rip"), m_out.path(), QStringLiteral("--output"), m_out.path()},
         "holds no DVD-Video titles"},
    };
    for (const auto &c : cases) {
        const TRun run = Run(c.arguments);
        EXPECT_EQ(run.ExitCode, 2) << c.arguments.join(QLatin1Char(' ')) << run.Err;
        EXPECT_TRUE(run.Err.contains(QLatin1String(c.complaint))) << c.complaint << " in " << run.Err;
        EXPECT_TRUE(OutputFiles().isEmpty());
    }
    WritePreferences("[Main]\r\nProfile=5\r\n"); // only two profiles here
    const TRun run = Run(Common());
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_TRUE(run.Err.contains(QLatin1String("--profile"))) << run.Err;
}
