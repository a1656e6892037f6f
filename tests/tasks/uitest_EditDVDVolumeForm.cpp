#include "app/helpers/AppValues.h"
#include "tasks/ui/EditDVDVolumeForm.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

class EditDVDVolumeFormTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { DVDInfo().VolumeName = QStringLiteral("MY_MOVIE"); }

    void layoutAndTexts()
    {
        QWidget mainWindow;
        TEditDVDVolumeForm form(&mainWindow);
        QCOMPARE(form.windowTitle(), QStringLiteral("Edit the DVD Volume"));
        QCOMPARE(form.size(), QSize(409, 159));
        QVERIFY(form.minimumSize() != form.maximumSize()); // resizable
        QCOMPARE(form.labDVDVolume->text(), QStringLiteral("DVD Volume (Prefixsion of output files:)"));
        QCOMPARE(form.btnOK->text(), QStringLiteral("&OK"));
        QCOMPARE(form.btnCancel->text(), QStringLiteral("&Cancel"));
        QVERIFY(!form.isVisible());
    }

    // OK takes the text exactly as typed (an empty one removes the prefix);
    // Cancel and the close box leave the volume alone.
    void okCancelAndClose_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("volume");
        QTest::newRow("ok") << "HOLIDAY"
                            << "ok"
                            << "HOLIDAY";
        QTest::newRow("ok as typed") << " a/b: ?"
                                     << "ok"
                                     << " a/b: ?";
        QTest::newRow("ok empty") << ""
                                  << "ok"
                                  << "";
        QTest::newRow("cancel") << "HOLIDAY"
                                << "cancel"
                                << "MY_MOVIE";
        QTest::newRow("close box") << "HOLIDAY"
                                   << "close"
                                   << "MY_MOVIE";
        QTest::newRow("escape") << "HOLIDAY"
                                << "escape"
                                << "MY_MOVIE";
    }
    void okCancelAndClose()
    {
        QFETCH(QString, typed);
        QFETCH(QString, how);
        QFETCH(QString, volume);
        QWidget mainWindow;
        mainWindow.show();
        TEditDVDVolumeForm form(&mainWindow);
        QSignalSpy changed(&form, &TEditDVDVolumeForm::VolumeChanged);

        form.ShowForCurrentVolume();
        QVERIFY(form.isVisible());
        QCOMPARE(form.edtDVDVolume->text(), QStringLiteral("MY_MOVIE"));
        QVERIFY(!mainWindow.isEnabled()); // the main window takes no input meanwhile
        QVERIFY(form.isEnabled());
        form.edtDVDVolume->clear();
        QTest::keyClicks(form.edtDVDVolume, typed);
        if (how == "ok")
            QTest::mouseClick(form.btnOK, Qt::LeftButton);
        else if (how == "cancel")
            QTest::mouseClick(form.btnCancel, Qt::LeftButton);
        else if (how == "close")
            form.close();
        else
            QTest::keyClick(form.edtDVDVolume, Qt::Key_Escape);

        QVERIFY(!form.isVisible());
        QVERIFY(mainWindow.isEnabled());
        QCOMPARE(DVDInfo().VolumeName, volume);
        QCOMPARE(changed.count(), how == "ok" ? 1 : 0);

        // Every use fills the box afresh.
        DVDInfo().VolumeName = QStringLiteral("NEXT");
        form.ShowForCurrentVolume();
        QCOMPARE(form.edtDVDVolume->text(), QStringLiteral("NEXT"));
        form.close();
    }
};

QTEST_MAIN(EditDVDVolumeFormTest)
#include "uitest_EditDVDVolumeForm.moc"
