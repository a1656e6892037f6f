#include "app/helpers/AppValues.h"
#include "app/helpers/ui/Dialogs.h"
#include "dvd/DriveList.h"
#include "dvd/ui/OpenDVDForm.h"

#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

class TFakeDrives : public TDriveSource
{
public:
    QList<TOpticalDrive> OpticalDrives() const override { return drives; }
    QList<TOpticalDrive> drives;
};

QStringList Items(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

} // namespace

class OpenDVDFormTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        messages.clear();
        SetMessageHandler([this](const TMessageRequest &request) {
            messages << request;
            return QMessageBox::Ok;
        });
        DVDInfo().VolumeName = QStringLiteral("OLD");
    }
    void cleanup() { SetMessageHandler({}); }

    void controls()
    {
        TOpenDVDForm form(nullptr, std::make_shared<TFakeDrives>());
        QCOMPARE(form.windowTitle(), QStringLiteral("Open a DVD"));
        QCOMPARE(form.btnOpen->text(), QStringLiteral("&Open"));
        QCOMPARE(form.btnCancel->text(), QStringLiteral("&Cancel"));
        QCOMPARE(form.btnRefresh->text(), QStringLiteral("&Refresh"));
        QVERIFY(form.findChild<QComboBox *>(QStringLiteral("cmbDrive")));
    }

    // Drives without a disc get no entry; an empty label shows as "No Disc";
    // the last labelled disc is preselected, else the first entry.
    void driveList_data()
    {
        QTest::addColumn<QList<TOpticalDrive>>("drives");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<int>("selected");
        const TOpticalDrive empty{"/dev/sr0", "", ""};
        const TOpticalDrive movie{"/dev/sr1", "/media/cdrom1", "MY_MOVIE"};
        const TOpticalDrive blank{"/dev/sr2", "/media/cdrom2", ""};
        const TOpticalDrive other{"/dev/sr3", "/media/user/HOLIDAY", "HOLIDAY"};
        QTest::newRow("none") << QList<TOpticalDrive>{} << QStringList{} << -1;
        QTest::newRow("only empty drives") << QList<TOpticalDrive>{empty, empty} << QStringList{} << -1;
        QTest::newRow("labelled then unlabelled")
            << QList<TOpticalDrive>{empty, movie, blank}
            << QStringList{"/media/cdrom1 [MY_MOVIE]", "/media/cdrom2 [No Disc]"} << 0;
        QTest::newRow("unlabelled only")
            << QList<TOpticalDrive>{blank} << QStringList{"/media/cdrom2 [No Disc]"} << 0;
        QTest::newRow("last labelled wins")
            << QList<TOpticalDrive>{movie, blank, other, empty}
            << QStringList{"/media/cdrom1 [MY_MOVIE]", "/media/cdrom2 [No Disc]",
                           "/media/user/HOLIDAY [HOLIDAY]"}
            << 2;
    }
    void driveList()
    {
        QFETCH(QList<TOpticalDrive>, drives);
        QFETCH(QStringList, items);
        QFETCH(int, selected);
        auto fake = std::make_shared<TFakeDrives>();
        fake->drives = drives;
        QWidget mainWindow;
        mainWindow.show();
        TOpenDVDForm form(&mainWindow, fake);
        form.show();
        QCOMPARE(Items(form.cmbDrive), items);
        QCOMPARE(form.cmbDrive->currentIndex(), selected);
        QVERIFY(!mainWindow.isEnabled());
        QVERIFY(form.isEnabled());
        QTest::mouseClick(form.btnCancel, Qt::LeftButton);
        QVERIFY(!form.isVisible());
        QVERIFY(mainWindow.isEnabled());
    }

    void refreshReadsTheDrivesAgain()
    {
        auto fake = std::make_shared<TFakeDrives>();
        TOpenDVDForm form(nullptr, fake);
        form.show();
        QCOMPARE(form.cmbDrive->count(), 0);
        fake->drives = {{"/dev/sr0", "/media/cdrom0", "DISC"}};
        QTest::mouseClick(form.btnRefresh, Qt::LeftButton);
        QCOMPARE(Items(form.cmbDrive), QStringList({"/media/cdrom0 [DISC]"}));
    }

    void openGivesTheVideoTsFolderAndTheLabel_data()
    {
        QTest::addColumn<QString>("folderName");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("volume");
        QTest::newRow("upper case") << "VIDEO_TS"
                                    << "MY_MOVIE"
                                    << "MY_MOVIE";
        QTest::newRow("lower case") << "video_ts"
                                    << "MY_MOVIE"
                                    << "MY_MOVIE";
        QTest::newRow("no label") << "VIDEO_TS"
                                  << ""
                                  << "No Disc";
    }
    void openGivesTheVideoTsFolderAndTheLabel()
    {
        QFETCH(QString, folderName);
        QFETCH(QString, label);
        QFETCH(QString, volume);
        QTemporaryDir disc;
        // A mount point with a bracket must not cut the label short.
        const QString mount = disc.path() + QStringLiteral("/media [x]");
        QVERIFY(QDir().mkpath(mount + QLatin1Char('/') + folderName));
        auto fake = std::make_shared<TFakeDrives>();
        fake->drives = {{"/dev/sr0", mount, label}};
        QWidget mainWindow;
        mainWindow.show();
        TOpenDVDForm form(&mainWindow, fake);
        QSignalSpy opened(&form, &TOpenDVDForm::OpenFolder);
        form.show();
        QTest::mouseClick(form.btnOpen, Qt::LeftButton);
        QVERIFY(messages.isEmpty());
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened.at(0).at(0).toString(), mount + QLatin1Char('/') + folderName + QLatin1Char('/'));
        QCOMPARE(DVDInfo().VolumeName, volume);
        QVERIFY(!form.isVisible());
        QVERIFY(mainWindow.isEnabled());
    }

    void openWithoutVideoTsSaysSoAndStays()
    {
        QTemporaryDir disc;
        auto fake = std::make_shared<TFakeDrives>();
        fake->drives = {{"/dev/sr0", disc.path(), "AUDIO_CD"}};
        TOpenDVDForm form(nullptr, fake);
        QSignalSpy opened(&form, &TOpenDVDForm::OpenFolder);
        form.show();
        QTest::mouseClick(form.btnOpen, Qt::LeftButton);
        QCOMPARE(opened.count(), 0);
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].caption, QStringLiteral("No DVD Detected."));
        QCOMPARE(messages[0].text,
                 disc.path() + QStringLiteral("/VIDEO_TS/ is not found. Please insert a DVD disc."));
        QCOMPARE(messages[0].icon, QMessageBox::Information);
        QCOMPARE(messages[0].owner, &form);
        QVERIFY(form.isVisible());
        QCOMPARE(DVDInfo().VolumeName, QStringLiteral("OLD"));
    }

    void openWithAnEmptyListSaysSoAndStays()
    {
        TOpenDVDForm form(nullptr, std::make_shared<TFakeDrives>());
        QSignalSpy opened(&form, &TOpenDVDForm::OpenFolder);
        form.show();
        QTest::mouseClick(form.btnOpen, Qt::LeftButton);
        QCOMPARE(opened.count(), 0);
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].caption, QStringLiteral("No DVD Detected."));
        QVERIFY(messages[0].text.contains(QStringLiteral("Please insert a DVD disc")));
        QVERIFY(form.isVisible());
    }

    void cdromInfoNames()
    {
        const QString info = QStringLiteral("CD-ROM information, Id: cdrom.c 3.20 2003/12/17\n\n"
                                            "drive name:\t\tsr10\tsr1\tsr0\n"
                                            "drive speed:\t\t24\t24\t1\n");
        QCOMPARE(CdromDriveNames(info), QStringList({"sr0", "sr1", "sr10"}));
        QCOMPARE(CdromDriveNames(QString()), QStringList());
    }

private:
    QList<TMessageRequest> messages;
};

QTEST_MAIN(OpenDVDFormTest)
#include "uitest_OpenDVDForm.moc"
