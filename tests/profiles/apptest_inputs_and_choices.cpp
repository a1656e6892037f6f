// The whole main window on a program folder of its own: the profile list at
// start-up, the remembered profile and output folder, the command line, drops,
// the output-folder button and the two ways into the Settings dialog.
#include "app/ProgramInfo.h"
#include "app/helpers/AppValues.h"
#include "app/helpers/ui/Dialogs.h"
#include "app/ui/MainForm.h"
#include "profiles/ui/SettingForm.h"
#include "tasks/TaskModel.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

namespace {
QByteArray ReadBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A profile of one editable video row and one audio pick list.
QByteArray ProfileText(const char *type, const char *bitRate)
{
    QByteArray text =
        "[Main]\nType=" + QByteArray(type) +
        "\nPara=2\n0=Bit Rate\n1=Audio Codec\n"
        "[Bit Rate]\nSort=1\nList=0\ncmd=-b\nCaption=" +
        QByteArray(bitRate) + "\nValue=" + QByteArray(bitRate) +
        "\n"
        "[Audio Codec]\nSort=2\ncmd=-acodec\nCaption=MP3,AAC,\nValue=libmp3lame,aac,\nIndex=0\n";
    return text.replace("\n", "\r\n");
}

QString Disc(const char *name)
{
    return QStringLiteral(VELMORA_FIXTURE_DIR "/") + QLatin1String(name);
}

QString Shown()
{
    return QDir::cleanPath(DVDInfo().VideoTsPath);
}

QString VideoTs(const char *name)
{
    return QDir::cleanPath(Disc(name) + QStringLiteral("/VIDEO_TS"));
}

void Drop(QWidget *window, const QStringList &paths)
{
    auto *data = new QMimeData;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    data->setUrls(urls);
    // As the window system delivers a drop: the window accepts the drag on
    // entering, then receives the drop.
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
    delete data;
}
} // namespace

class InputsAndChoicesTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_programDir;
    QList<TMessageRequest> m_messages;

    QString Prefs() const { return m_programDir + QStringLiteral("Preferences.ini"); }

    // The main window with its Settings dialog, as the program entry makes them.
    struct TApp
    {
        explicit TApp(const QStringList &arguments)
            : form(arguments),
              settings(&form, form.cmbProfile, form.edtOutputDir, [this] { form.cmbProfileChange(); })
        {
            form.AttachDialogs(nullptr, &settings, nullptr, nullptr, nullptr);
        }
        TMainForm form;
        TSettingForm settings; // a child of the form: destroyed first
    };

    static QString Rows(const TValueListEditor *grid)
    {
        QStringList rows;
        for (int i = 0; i < grid->ItemCount(); ++i)
            rows << grid->Key(i) + QLatin1Char('=') + grid->Value(i);
        return rows.join(QLatin1Char('|'));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(Disc("pal_two_sets") + QStringLiteral("/VIDEO_TS/VIDEO_TS.IFO")),
                 "the test discs are missing: build the velmora_fixture_discs target");
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_programDir = m_dir->path() + QStringLiteral("/");
        ProgramInfo::OverrideProgramDir(m_dir->path());
        QDir(m_programDir).mkdir(QStringLiteral("Profiles"));
        const QString profiles = m_programDir + QStringLiteral("Profiles/");
        WriteBytes(profiles + "b.apf", ProfileText("mkv", "2000000"));
        WriteBytes(profiles + "A.apf", ProfileText("avi", "800000"));
        WriteBytes(profiles + "c.APF", ProfileText("webm", "1000000"));
        WriteBytes(profiles + "d.apf.bak", ProfileText("mov", "1"));
        AppValues().OutputExtension.clear();
        DVDInfo().VideoTsPath.clear();
        m_messages.clear();
        SetMessageHandler([this](const TMessageRequest &request) {
            m_messages << request;
            return QMessageBox::Yes;
        });
        SetFolderHandler({});
    }

    void cleanup()
    {
        SetMessageHandler({});
        SetFolderHandler({});
        ProgramInfo::OverrideProgramDir(QString());
        m_dir.reset();
    }

    void profileListAndTheRememberedChoice()
    {
        WriteBytes(Prefs(), "[Main]\r\nProfile=1\r\nOutput Path=/films/\r\n");
        TApp app({});
        QCOMPARE(app.form.cmbProfile->count(), 3);
        QCOMPARE(app.form.cmbProfile->itemText(0), QStringLiteral("A"));
        QCOMPARE(app.form.cmbProfile->itemText(1), QStringLiteral("b"));
        QCOMPARE(app.form.cmbProfile->itemText(2), QStringLiteral("c"));
        QCOMPARE(app.form.cmbProfile->currentIndex(), -1);
        QCOMPARE(app.settings.cmbProfile->count(), 3);

        app.form.show();
        QCOMPARE(app.form.cmbProfile->currentIndex(), 1);
        QCOMPARE(AppValues().OutputExtension, QStringLiteral(".mkv"));
        QCOMPARE(Rows(app.form.vleVideo), QStringLiteral("Bit Rate=2000000"));
        QCOMPARE(Rows(app.form.vleAudio), QStringLiteral("Audio Codec=MP3"));
        QCOMPARE(app.form.ProfileGrids->RowText(1, QStringLiteral("bit rate")), QStringLiteral("2000000"));
        QCOMPARE(app.form.edtOutputDir->text(), QStringLiteral("/films/"));
        QVERIFY(m_messages.isEmpty());

        // A choice made by the user loads that profile.
        app.form.cmbProfile->setCurrentIndex(0);
        Q_EMIT app.form.cmbProfile->activated(0);
        QCOMPARE(AppValues().OutputExtension, QStringLiteral(".avi"));
        QCOMPARE(Rows(app.form.vleVideo), QStringLiteral("Bit Rate=800000"));
    }

    void storedProfileIndexBeyondTheListSelectsNone_data()
    {
        QTest::addColumn<QByteArray>("preferences");
        QTest::addColumn<int>("index");
        QTest::newRow("5 of 3") << QByteArray("[Main]\r\nProfile=5\r\n") << -1;
        QTest::newRow("-1") << QByteArray("[Main]\r\nProfile=-1\r\n") << -1;
        QTest::newRow("no file") << QByteArray() << 0;
    }
    void storedProfileIndexBeyondTheListSelectsNone()
    {
        QFETCH(QByteArray, preferences);
        QFETCH(int, index);
        if (!preferences.isEmpty())
            WriteBytes(Prefs(), preferences);
        TApp app({});
        app.form.show();
        QCOMPARE(app.form.cmbProfile->currentIndex(), index);
        if (index < 0) {
            QCOMPARE(Rows(app.form.vleVideo),
                     QStringLiteral("Video Codec=|Video Size=|Bit Rate=|Frame Rate=|Aspect=|"
                                    "Disable Video="));
            QVERIFY(AppValues().OutputExtension.isEmpty());
        } else {
            QCOMPARE(AppValues().OutputExtension, QStringLiteral(".avi"));
        }
        QCOMPARE(app.form.edtOutputDir->text(), m_programDir);
    }

    void brokenProfileIsReportedByBothWindows()
    {
        QByteArray broken = ProfileText("avi", "64000");
        broken.replace("Index=0", "Index=5");
        WriteBytes(m_programDir + "Profiles/e.apf", broken);
        WriteBytes(Prefs(), "[Main]\r\nProfile=3\r\n");
        TApp app({});
        app.form.show();
        QCOMPARE(app.form.cmbProfile->currentText(), QStringLiteral("e"));
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages.last().text, QStringLiteral("List index out of bounds (5)"));
        QCOMPARE(m_messages.last().icon, QMessageBox::Critical);
        // The rows before the broken one stay.
        QCOMPARE(Rows(app.form.vleVideo), QStringLiteral("Bit Rate=64000"));

        app.form.bbtnSetting->click();
        QCOMPARE(m_messages.size(), 2);
        QCOMPARE(m_messages.last().text, QStringLiteral("List index out of bounds (5)"));
        QCOMPARE(m_messages.last().owner, static_cast<QWidget *>(&app.settings));
        app.settings.btnCancel->click();
        QVERIFY(app.form.isEnabled());
    }

    void choicesSavedOnCloseAndRestoredOnShow()
    {
        WriteBytes(Prefs(), "[Main]\r\nVersion=2.0\r\n[Default]\r\nAsk=1\r\n");
        {
            TApp app({});
            app.form.show();
            app.form.cmbProfile->setCurrentIndex(1);
            app.form.edtOutputDir->setText(QStringLiteral("/saved/here/"));
            app.form.close();
        }
        QCOMPARE(ReadBytes(Prefs()),
                 QByteArray("[Main]\r\nVersion=2.0\r\nProfile=1\r\nOutput Path=/saved/here/\r\n"
                            "[Default]\r\nAsk=1\r\n"));
        {
            TApp app({});
            app.form.show();
            QCOMPARE(app.form.cmbProfile->currentIndex(), 1);
            QCOMPARE(AppValues().OutputExtension, QStringLiteral(".mkv"));
            QCOMPARE(app.form.edtOutputDir->text(), QStringLiteral("/saved/here/"));
            app.form.cmbProfile->setCurrentIndex(-1);
            app.form.close();
        }
        QVERIFY(ReadBytes(Prefs()).contains("Profile=-1\r\n"));
    }

    void commandLineInputs_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("listFile"); // written to LIST.TMP when given
        QTest::addColumn<QString>("shown");       // the VIDEO_TS folder shown, empty for none
        QTest::addColumn<int>("titles");

        QTest::newRow("none") << QStringList() << QByteArray() << QString() << 0;
        QTest::newRow("a disc folder")
            << QStringList{Disc("ntsc_4x3")} << QByteArray() << VideoTs("ntsc_4x3") << 2;
        QTest::newRow("two folders: the second")
            << QStringList{Disc("pal_two_sets"), Disc("many_titles") + "/VIDEO_TS"} << QByteArray()
            << VideoTs("many_titles") << 12;
        QTest::newRow("a file inside VIDEO_TS")
            << QStringList{Disc("pal_two_sets") + "/VIDEO_TS/VTS_01_1.VOB"} << QByteArray()
            << VideoTs("pal_two_sets") << 2;
        QTest::newRow("nothing there, then a disc, then nothing")
            << QStringList{QStringLiteral("/no/such/disc"), Disc("two_pgcs"),
                           QStringLiteral("/no/such/file.vob")}
            << QByteArray() << VideoTs("two_pgcs") << 2;
        QTest::newRow("a list file: its lines, other arguments ignored")
            << QStringList{QStringLiteral("LIST.TMP"), Disc("ntsc_4x3")}
            << ("/no/such/line\r\n\r\n" + Disc("many_titles").toLocal8Bit() + "\n" +
                Disc("pal_two_sets").toLocal8Bit() + "/VIDEO_TS/VIDEO_TS.IFO\r\n\r\n")
            << VideoTs("pal_two_sets") << 2;
        QTest::newRow("a list file naming nothing")
            << QStringList{QStringLiteral("LIST.TMP"), Disc("ntsc_4x3")} << QByteArray("/no/such/line")
            << QString() << 0;
    }
    void commandLineInputs()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, listFile);
        QFETCH(QString, shown);
        QFETCH(int, titles);
        for (QString &argument : arguments) {
            if (argument == QLatin1String("LIST.TMP")) {
                argument = m_programDir + argument;
                QVERIFY(WriteBytes(argument, listFile));
            }
        }
        TApp app(arguments);
        QCOMPARE(m_messages.size(), 0);
        QCOMPARE(app.form.TaskModel->TitleCount(), titles);
        if (!shown.isEmpty())
            QCOMPARE(Shown(), shown);
        else
            QVERIFY(DVDInfo().VideoTsPath.isEmpty());
    }

    void unreadableListFileIsReportedAndStartUpGoesOn()
    {
        TApp app({m_programDir + QStringLiteral("missing.tmp"), Disc("ntsc_4x3")});
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages.first().text.startsWith(
                     QStringLiteral("Cannot open file \"%1missing.tmp\".").arg(m_programDir)),
                 qPrintable(m_messages.first().text));
        QCOMPARE(app.form.TaskModel->TitleCount(), 0);
        QVERIFY(app.form.acceptDrops());
    }

    void dropsOpenTheFirstItemOnlyAndNothingWhileTheTreeIsDisabled()
    {
        TApp app({});
        app.form.show();
        Drop(&app.form, {Disc("many_titles"), Disc("pal_two_sets"), Disc("ntsc_4x3")});
        QCOMPARE(Shown(), VideoTs("many_titles"));
        QCOMPARE(app.form.TaskModel->TitleCount(), 12);

        // During a conversion the tree is disabled: drops do nothing.
        app.form.ltvTask->setEnabled(false);
        Drop(&app.form, {Disc("ntsc_4x3")});
        QCOMPARE(Shown(), VideoTs("many_titles"));
        app.form.ltvTask->setEnabled(true);

        // Something that is neither file nor folder: nothing, silently.
        Drop(&app.form, {QStringLiteral("/no/such/folder")});
        QCOMPARE(Shown(), VideoTs("many_titles"));
        QVERIFY(m_messages.isEmpty());

        // Later drops still work, a file opening its folder.
        Drop(&app.form, {Disc("ntsc_4x3") + "/VIDEO_TS/VIDEO_TS.IFO", Disc("pal_two_sets")});
        QCOMPARE(Shown(), VideoTs("ntsc_4x3"));
        QCOMPARE(app.form.TaskModel->TitleCount(), 2);
    }

    void browseForTheOutputFolder()
    {
        TApp app({});
        QString picked = m_dir->path();
        QStringList asked;
        SetFolderHandler([&](QWidget *owner, const QString &caption, QString &folder) {
            asked << caption + (owner == &app.form ? "" : " (not owned)") +
                         (folder.isEmpty() ? "" : " preset");
            folder = picked;
            return true;
        });
        app.form.bbtnBrowser->click();
        QCOMPARE(app.form.edtOutputDir->text(), m_programDir);
        QCOMPARE(asked, QStringList{QStringLiteral("Select the output directory.")});
        // A folder that does not exist leaves the box as it was.
        picked = QStringLiteral("/no/such/folder");
        app.form.bbtnBrowser->click();
        QCOMPARE(app.form.edtOutputDir->text(), m_programDir);
    }

    void settingsOpenOnTheirPagesAndOkReloadsTheMainGrids()
    {
        WriteBytes(Prefs(), "[Main]\r\nProfile=0\r\n");
        TApp app({});
        app.form.show();
        TValueListEditor *video = app.form.vleVideo;
        video->SetValue(video->FindRow(QStringLiteral("Bit Rate")), QStringLiteral("999"));

        // "Settings" beside the profile box: the Profiles page on the main
        // window's profile as its file has it, not as edited in the window.
        app.form.bbtnSetting->click();
        QVERIFY(app.settings.isVisible());
        QVERIFY(!app.form.isEnabled());
        QCOMPARE(app.settings.pgcSetting->currentIndex(), 1);
        QCOMPARE(app.settings.cmbProfile->currentIndex(), 0);
        TValueListEditor *dialogVideo = app.settings.ProfileGrids->vleVideo;
        QCOMPARE(Rows(dialogVideo), QStringLiteral("Bit Rate=800000"));

        // OK writes the dialog's edit and the main window reloads the profile.
        dialogVideo->SetValue(dialogVideo->FindRow(QStringLiteral("Bit Rate")), QStringLiteral("640000"));
        app.settings.edtOutputDir->setText(QStringLiteral("/from/settings/"));
        app.settings.btnOK->click();
        QVERIFY(!app.settings.isVisible());
        QVERIFY(app.form.isEnabled());
        QCOMPARE(Rows(app.form.vleVideo), QStringLiteral("Bit Rate=640000"));
        QCOMPARE(app.form.edtOutputDir->text(), QStringLiteral("/from/settings/"));
        QVERIFY(ReadBytes(m_programDir + "Profiles/A.apf").contains("Caption=640000\r\nValue=640000\r\n"));

        // The toolbar's "Settings": the General page, the Profiles page as it was.
        dialogVideo->SetValue(dialogVideo->FindRow(QStringLiteral("Bit Rate")), QStringLiteral("1"));
        app.form.sbtnOptions->click();
        QCOMPARE(app.settings.pgcSetting->currentIndex(), 0);
        QCOMPARE(app.settings.edtOutputDir->text(), QStringLiteral("/from/settings/"));
        QCOMPARE(Rows(dialogVideo), QStringLiteral("Bit Rate=1"));
        app.settings.btnCancel->click();
        QVERIFY(app.form.isEnabled());
        QVERIFY(m_messages.isEmpty());
    }
};

QTEST_MAIN(InputsAndChoicesTest)
#include "apptest_inputs_and_choices.moc"
