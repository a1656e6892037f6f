// The Settings dialog on a program folder of its own: the General page from
// and into Preferences.ini, Cancel, Load Default, and the Profiles page's OK
// and "Save as".
#include "profiles/ui/SettingForm.h"

#include "app/helpers/AppValues.h"
#include "app/helpers/ui/Dialogs.h"
#include "profiles/ui/ProfileGrids.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

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

QByteArray Crlf(const char *text)
{
    return QByteArray(text).replace("\n", "\r\n");
}

const QByteArray ClipProfile = Crlf("[Main]\nType=avi\nPara=3\n0=Video Codec\n1=Bit Rate\n2=Audio Codec\n"
                                    "[Video Codec]\nSort=1\ncmd=-vcodec\nCaption=MPEG-4,H.264,\n"
                                    "Value=mpeg4,libx264,\nIndex=0\n"
                                    "[Bit Rate]\nSort=1\nList=0\ncmd=-b\nCaption=800000\nValue=800000\n"
                                    "[Audio Codec]\nSort=2\ncmd=-acodec\nCaption=MP3,AAC,\n"
                                    "Value=libmp3lame,aac,\nIndex=1\n");

// Makes a file impossible to replace for the rest of its scope: a read-only
// folder where rights count, the immutable attribute where they do not (root).
class TUnwritable
{
public:
    explicit TUnwritable(const QString &file) : m_file(file), m_folder(QFileInfo(file).absolutePath())
    {
        QFile::setPermissions(m_folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        m_folderLocked = true;
        if (!CanCreateIn(m_folder))
            return;
        Unlock();
        m_immutable = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), m_file}) == 0;
    }
    ~TUnwritable() { Unlock(); }
    bool Holds() const { return m_folderLocked || m_immutable; }

private:
    static bool CanCreateIn(const QString &folder)
    {
        QFile probe(folder + QStringLiteral("/probe"));
        const bool ok = probe.open(QIODevice::WriteOnly);
        probe.remove();
        return ok;
    }
    void Unlock()
    {
        if (m_folderLocked)
            QFile::setPermissions(m_folder,
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        m_folderLocked = false;
        if (m_immutable)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_file});
        m_immutable = false;
    }

    QString m_file;
    QString m_folder;
    bool m_folderLocked = false;
    bool m_immutable = false;
};
} // namespace

class TestSettingForm : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_programDir;
    std::unique_ptr<QWidget> m_main; // stands in for the main window
    QComboBox *m_mainProfile = nullptr;
    QLineEdit *m_mainOutputDir = nullptr;
    int m_mainProfileChanges = 0;
    QList<TMessageRequest> m_messages;
    QMessageBox::StandardButton m_answer = QMessageBox::Yes;

    QString Prefs() const { return m_programDir + QStringLiteral("Preferences.ini"); }
    QString Profile(const QString &name) const
    {
        return m_programDir + QStringLiteral("Profiles/") + name + ".apf";
    }

    std::unique_ptr<TSettingForm> MakeForm(const QByteArray &preferences)
    {
        if (!preferences.isNull())
            WriteBytes(Prefs(), preferences);
        return std::make_unique<TSettingForm>(m_main.get(), m_mainProfile, m_mainOutputDir,
                                              [this] { ++m_mainProfileChanges; });
    }

    static QString Choice(const TSettingForm &form)
    {
        if (form.rdbAsk->isChecked())
            return QStringLiteral("ask");
        if (form.rdbOverWrite->isChecked())
            return QStringLiteral("overwrite");
        if (form.rdbRename->isChecked())
            return QStringLiteral("rename");
        return QStringLiteral("none");
    }

    // The General page as a line of text, to compare whole states.
    static QString General(const TSettingForm &form)
    {
        return QStringList{form.edtOutputDir->text(),
                           form.edtWorkDir->text(),
                           QString::number(form.cmbSyn->currentIndex()),
                           QString::number(form.chkOpenDir->isChecked()),
                           QString::number(form.chkExit->isChecked()),
                           QString::number(form.chkTurnoff->isChecked()),
                           Choice(form)}
            .join(QLatin1Char('|'));
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_programDir = m_dir->path() + QStringLiteral("/");
        QDir(m_programDir).mkdir(QStringLiteral("Profiles"));
        WriteBytes(Profile(QStringLiteral("Clip")), ClipProfile);
        WriteBytes(Profile(QStringLiteral("Other")), ClipProfile);
        AppValues().ProgramDir = m_programDir;
        AppValues().WorkDir.clear();

        m_main = std::make_unique<QWidget>();
        m_mainProfile = new QComboBox(m_main.get());
        m_mainProfile->addItems({QStringLiteral("Clip"), QStringLiteral("Other")});
        m_mainProfile->setCurrentIndex(0);
        m_mainOutputDir = new QLineEdit(QStringLiteral("/main/out/"), m_main.get());
        m_mainProfileChanges = 0;
        m_messages.clear();
        m_answer = QMessageBox::Yes;
        SetMessageHandler([this](const TMessageRequest &request) {
            m_messages << request;
            return m_answer;
        });
        SetFolderHandler({});
    }

    void cleanup()
    {
        SetMessageHandler({});
        SetFolderHandler({});
        m_main.reset();
        m_dir.reset();
    }

    void windowAndPages()
    {
        auto form = MakeForm(QByteArray());
        QCOMPARE(form->windowTitle(), QStringLiteral("Settings"));
        QCOMPARE(form->size(), QSize(391, 498));
        QCOMPARE(form->pgcSetting->count(), 2);
        QCOMPARE(form->pgcSetting->tabText(0), QStringLiteral("     General     "));
        QCOMPARE(form->pgcSetting->tabText(1), QStringLiteral("     Profiles     "));
        QCOMPARE(form->btnDefault->text(), QStringLiteral("&Load Default"));
        QCOMPARE(form->btnSaveAs->text(), QStringLiteral("&Save as..."));
        QCOMPARE(form->rdbRename->text(), QStringLiteral("Not overwrite (Rename to <Filename> + Index"));
        QCOMPARE(form->chkOpenDir->text(),
                 QStringLiteral("Open the output directory when the task is completed. "));
        QCOMPARE(form->cmbSyn->count(), 3);
        QCOMPARE(form->cmbSyn->itemText(2), QStringLiteral("Progressive Mode"));
        QCOMPARE(form->ProfileGrids->geometry(), QRect(8, 36, 366, 373));
        // The profile names are copied from the main window, with none chosen.
        QCOMPARE(form->cmbProfile->count(), 2);
        QCOMPARE(form->cmbProfile->itemText(1), QStringLiteral("Other"));
        QCOMPARE(form->cmbProfile->currentIndex(), -1);
    }

    void overwriteChoiceFromAskAndOverwrite_data()
    {
        QTest::addColumn<QByteArray>("keys");
        QTest::addColumn<QString>("shown");
        QTest::newRow("Ask=1 Overwrite=1") << QByteArray("Ask=1\r\nOverwrite=1\r\n") << "overwrite";
        QTest::newRow("Ask=0 Overwrite=0") << QByteArray("Ask=0\r\nOverwrite=0\r\n") << "rename";
        QTest::newRow("Ask=1 Overwrite=0") << QByteArray("Ask=1\r\nOverwrite=0\r\n") << "ask";
        QTest::newRow("Ask=0 Overwrite=1") << QByteArray("Ask=0\r\nOverwrite=1\r\n") << "overwrite";
        QTest::newRow("both missing") << QByteArray() << "ask";
        QTest::newRow("Ask=0 only") << QByteArray("Ask=0\r\n") << "rename";
    }
    void overwriteChoiceFromAskAndOverwrite()
    {
        QFETCH(QByteArray, keys);
        QFETCH(QString, shown);
        auto form = MakeForm("[Main]\r\n" + keys);
        QCOMPARE(Choice(*form), shown);
    }

    void okWithRenameStoresNeitherKey()
    {
        auto form = MakeForm(Crlf("[Main]\nAsk=1\nOverwrite=1\nVersion=2.0\n"));
        form->show();
        form->rdbRename->setChecked(true);
        form->edtOutputDir->setText(QStringLiteral("/videos/"));
        form->edtWorkDir->setText(QStringLiteral("/scratch"));
        form->btnOK->click();
        QVERIFY(!form->isVisible());
        QVERIFY(m_messages.isEmpty());
        // Existing keys in place, the missing ones directly below the header.
        QCOMPARE(ReadBytes(Prefs()),
                 Crlf("[Main]\nAuto Turn Off=0\nAuto Exit=0\nAuto Open Dir=1\nSyn Mode=0\nWork Dir=/scratch\n"
                      "Output Path=/videos/\nAsk=0\nOverwrite=0\nVersion=2.0\n"));
        // OK hands the output folder to the main window and the work folder as typed.
        QCOMPARE(m_mainOutputDir->text(), QStringLiteral("/videos/"));
        QCOMPARE(TSettingForm::WorkDir(), QStringLiteral("/scratch"));
    }

    void synModeOutsideTheListShowsNoneAndStoresMinusOne()
    {
        auto form = MakeForm(Crlf("[Main]\nSyn Mode=7\n"));
        QCOMPARE(form->cmbSyn->currentIndex(), -1);
        QVERIFY(form->cmbSyn->currentText().isEmpty());
        form->show();
        form->btnOK->click();
        QVERIFY(ReadBytes(Prefs()).contains("Syn Mode=-1\r\n"));
        // A text that is no number gives the first mode.
        auto again = MakeForm(Crlf("[Main]\nSyn Mode=fast\n"));
        QCOMPARE(again->cmbSyn->currentIndex(), 0);
    }

    void loadDefaultThenCancelRestoresTheControls()
    {
        const QByteArray prefs = Crlf("[Main]\nOutput Path=/main/out/\nWork Dir=/main/work\nSyn Mode=2\n"
                                      "Auto Open Dir=0\nAuto Exit=1\nAuto Turn Off=1\nAsk=0\nOverwrite=1\n"
                                      "[Default]\nOutput Path=/def/out\nWork Dir=/def/work\nSyn Mode=1\n"
                                      "Auto Open Dir=1\nAuto Exit=0\nAuto Turn Off=0\nAsk=0\nOverwrite=0\n");
        auto form = MakeForm(prefs);
        QCOMPARE(TSettingForm::WorkDir(), QStringLiteral("/main/work/"));
        form->show();
        const QString opened = General(*form);
        QCOMPARE(opened, QStringLiteral("/main/out/|/main/work|2|0|1|1|overwrite"));

        m_answer = QMessageBox::No;
        form->btnDefault->click();
        QCOMPARE(General(*form), opened);
        m_answer = QMessageBox::Yes;
        form->btnDefault->click();
        QCOMPARE(m_messages.size(), 2);
        QCOMPARE(m_messages.last().caption, QStringLiteral("Load Default"));
        QCOMPARE(m_messages.last().text, QStringLiteral("Are you sure to load the default preferences?"));
        QCOMPARE(m_messages.last().icon, QMessageBox::Question);
        QCOMPARE(m_messages.last().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(General(*form), QStringLiteral("/def/out|/def/work|1|1|0|0|rename"));
        QCOMPARE(TSettingForm::WorkDir(), QStringLiteral("/def/work/"));

        form->btnCancel->click();
        QVERIFY(!form->isVisible());
        QCOMPARE(General(*form), opened);
        // The work folder keeps the default until the next load or OK; the file is untouched.
        QCOMPARE(TSettingForm::WorkDir(), QStringLiteral("/def/work/"));
        QCOMPARE(ReadBytes(Prefs()), prefs);
    }

    void openingShowsTheMainWindowsOutputFolderAndDisablesIt()
    {
        auto form = MakeForm(Crlf("[Main]\nOutput Path=/from/file/\n"));
        QCOMPARE(form->edtOutputDir->text(), QStringLiteral("/from/file/"));
        m_main->show();
        form->show();
        QCOMPARE(form->edtOutputDir->text(), QStringLiteral("/main/out/"));
        QVERIFY(!m_main->isEnabled());
        QVERIFY(form->isEnabled());
        QVERIFY(form->btnOK->isEnabled());
        // The window's close button neither saves nor restores.
        form->edtWorkDir->setText(QStringLiteral("/edited"));
        form->close();
        QVERIFY(m_main->isEnabled());
        QCOMPARE(form->edtWorkDir->text(), QStringLiteral("/edited"));
        QCOMPARE(ReadBytes(Prefs()), Crlf("[Main]\nOutput Path=/from/file/\n"));
    }

    void missingPreferencesGiveTheBuiltInValues()
    {
        auto form = MakeForm(QByteArray());
        const QString builtIn = m_programDir + "|" + m_programDir + "|0|1|0|0|ask";
        QCOMPARE(General(*form), builtIn);
        // The first load leaves an empty file behind.
        QCOMPARE(ReadBytes(Prefs()), QByteArray());

        // A missing Default section loads the same values.
        WriteBytes(Prefs(), Crlf("[Main]\nOutput Path=/x/\nWork Dir=/y/\nSyn Mode=2\nAuto Open Dir=0\n"
                                 "Auto Exit=1\nAuto Turn Off=1\nAsk=0\n"));
        auto other = MakeForm(QByteArray());
        QCOMPARE(General(*other), QStringLiteral("/x/|/y/|2|0|1|1|rename"));
        other->btnDefault->click();
        QCOMPARE(General(*other), builtIn);
    }

    void mainSectionMissingIsAddedAtTheEndInReverseOrder()
    {
        auto form = MakeForm(Crlf("[Default]\nAsk=1\n"));
        form->show();
        form->edtOutputDir->setText(QStringLiteral("/o/"));
        form->edtWorkDir->setText(QStringLiteral("/w/"));
        form->rdbOverWrite->setChecked(true);
        form->btnOK->click();
        QCOMPARE(ReadBytes(Prefs()),
                 Crlf("[Default]\nAsk=1\n[Main]\nOverwrite=1\nAsk=0\nAuto Turn Off=0\n"
                      "Auto Exit=0\nAuto Open Dir=1\nSyn Mode=0\nWork Dir=/w/\nOutput Path=/o/\n"));
    }

    void unwritablePreferencesKeepTheDialogOpenAndTheFileWhole()
    {
        const QByteArray prefs = Crlf("[Main]\nAsk=1\nOverwrite=0\n");
        auto form = MakeForm(prefs);
        form->show();
        form->rdbRename->setChecked(true);
        {
            TUnwritable lock(Prefs());
            if (!lock.Holds())
                QSKIP("the file cannot be made unwritable here");
            form->btnOK->click();
        }
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages.first().icon, QMessageBox::Critical);
        QVERIFY2(
            m_messages.first().text.startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(Prefs())),
            qPrintable(m_messages.first().text));
        QVERIFY(form->isVisible());
        QVERIFY(!m_main->isEnabled());
        QCOMPARE(ReadBytes(Prefs()), prefs);
        // Once it can be written again, OK goes through.
        form->btnOK->click();
        QVERIFY(!form->isVisible());
        QVERIFY(ReadBytes(Prefs()).contains("Ask=0\r\nOverwrite=0\r\n"));
    }

    void okWritesTheProfilesPageAndReloadsTheMainWindowsProfile()
    {
        auto form = MakeForm(QByteArray());
        form->show();
        form->pgcSetting->setCurrentIndex(1);
        form->cmbProfile->setCurrentIndex(0);
        form->cmbProfileChange();
        TValueListEditor *video = form->ProfileGrids->vleVideo;
        QCOMPARE(video->Values(QStringLiteral("Bit Rate")), QStringLiteral("800000"));
        video->SetValue(video->FindRow(QStringLiteral("Bit Rate")), QStringLiteral("1200000"));
        video->SetValue(video->FindRow(QStringLiteral("Video Codec")), QStringLiteral("H.264"));
        form->btnOK->click();
        const QByteArray clip = ReadBytes(Profile(QStringLiteral("Clip")));
        QVERIFY(clip.contains(
            "[Bit Rate]\r\nSort=1\r\nList=0\r\ncmd=-b\r\nCaption=1200000\r\nValue=1200000\r\n"));
        QVERIFY(clip.contains("Value=mpeg4,libx264,\r\nIndex=1\r\n"));
        QCOMPARE(ReadBytes(Profile(QStringLiteral("Other"))), ClipProfile);
        QCOMPARE(m_mainProfileChanges, 1);

        // Another profile than the main window's: written, but no reload there.
        form->show();
        form->cmbProfile->setCurrentIndex(1);
        form->cmbProfileChange();
        form->btnOK->click();
        QCOMPARE(m_mainProfileChanges, 1);
    }

    void saveAsReplacesAnExistingFileWithTheEdits()
    {
        auto form = MakeForm(QByteArray());
        form->cmbProfile->setCurrentIndex(0);
        form->cmbProfileChange();
        TValueListEditor *video = form->ProfileGrids->vleVideo;
        video->SetValue(video->FindRow(QStringLiteral("Bit Rate")), QStringLiteral("64000"));
        const QString target = m_dir->filePath(QStringLiteral("copy.apf"));
        WriteBytes(target, "old text\r\n");
        QString asked;
        form->SetSaveDialogHandler([&](QWidget *owner, QString &fileName) {
            asked = owner == form.get() ? QStringLiteral("owned") : QStringLiteral("not owned");
            fileName = target;
            return true;
        });
        form->btnSaveAs->click();
        QCOMPARE(asked, QStringLiteral("owned"));
        QVERIFY(m_messages.isEmpty());
        QByteArray expected = ClipProfile;
        expected.replace("Caption=800000\r\nValue=800000", "Caption=64000\r\nValue=64000");
        QCOMPARE(ReadBytes(target), expected);
        QCOMPARE(ReadBytes(Profile(QStringLiteral("Clip"))), ClipProfile);
    }

    void saveAsWithoutAProfileOrWhenCancelledWritesNothing()
    {
        auto form = MakeForm(QByteArray());
        const QString target = m_dir->filePath(QStringLiteral("new.apf"));
        bool answer = true;
        form->SetSaveDialogHandler([&](QWidget *, QString &fileName) {
            fileName = target;
            return answer;
        });
        QCOMPARE(form->cmbProfile->currentIndex(), -1);
        form->btnSaveAs->click();
        QVERIFY(!QFile::exists(target));
        form->cmbProfile->setCurrentIndex(0);
        answer = false;
        form->btnSaveAs->click();
        QVERIFY(!QFile::exists(target));
        QVERIFY(m_messages.isEmpty());
    }

    void browseButtonsFillTheirBoxes()
    {
        auto form = MakeForm(QByteArray());
        QStringList captions;
        QString picked = QStringLiteral("/picked");
        bool confirm = true;
        SetFolderHandler([&](QWidget *owner, const QString &caption, QString &folder) {
            captions << caption + (owner == form.get() ? "" : " (not owned)") +
                            (folder.isEmpty() ? "" : " preset");
            folder = picked;
            return confirm;
        });
        form->sbtnBrowse->click();
        form->SpeedButton1->click();
        QCOMPARE(form->edtOutputDir->text(), QStringLiteral("/picked/"));
        QCOMPARE(form->edtWorkDir->text(), QStringLiteral("/picked/"));
        confirm = false;
        picked = QStringLiteral("/other");
        form->sbtnBrowse->click();
        QCOMPARE(form->edtOutputDir->text(), QStringLiteral("/picked/"));
        QCOMPARE(captions, QStringList(3, QStringLiteral("Select the output directory.")));
    }
};

QTEST_MAIN(TestSettingForm)
#include "uitest_settings.moc"
