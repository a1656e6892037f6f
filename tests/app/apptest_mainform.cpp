#include "app/ProgramInfo.h"
#include "app/helpers/AppValues.h"
#include "app/helpers/ui/Dialogs.h"
#include "app/ui/MainForm.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

void WritePreferences(const QString &folder, const QByteArray &bytes)
{
    QFile file(folder + QStringLiteral("/Preferences.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A mouse move as the window system delivers it to a widget that tracks the mouse.
void MoveMouseOver(QWidget *widget, const QPoint &pos)
{
    QMouseEvent move(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

} // namespace

class MainFormTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        ProgramInfo::OverrideProgramDir(m_dir.path());
        // A click on Start with nothing checked answers with a message box.
        m_messages.clear();
        SetMessageHandler([this](const TMessageRequest &request) {
            m_messages << request.caption;
            return QMessageBox::Ok;
        });
        QFile::remove(m_dir.filePath(QStringLiteral("Preferences.ini")));
    }

    void captionComesFromTheVersionKey_data()
    {
        QTest::addColumn<QByteArray>("preferences");
        QTest::addColumn<QString>("caption");
        QTest::newRow("no file") << QByteArray() << QStringLiteral("Velmora DVD to MPEG Ripper V2.0");
        QTest::newRow("no key") << QByteArray("[Main]\r\nProfile=0\r\n")
                                << QStringLiteral("Velmora DVD to MPEG Ripper V2.0");
        QTest::newRow("key") << QByteArray("[Main]\r\nVersion=2.5 beta\r\n")
                             << QStringLiteral("Velmora DVD to MPEG Ripper V2.5 beta");
    }
    void captionComesFromTheVersionKey()
    {
        QFETCH(QByteArray, preferences);
        QFETCH(QString, caption);
        if (!preferences.isEmpty())
            WritePreferences(m_dir.path(), preferences);
        TMainForm form;
        QCOMPARE(form.windowTitle(), caption);
        QCOMPARE(form.labProgramName->text(), QStringLiteral("DVD to MPEG Ripper"));
        QCOMPARE(AppValues().ProgramDir, m_dir.path() + QLatin1Char('/'));
        QVERIFY(AppValues().HelpFile.endsWith(QStringLiteral("/ripdeck.html")));
        QVERIFY(AppValues().FirstStageToolPath.endsWith(QStringLiteral("mencoder")));
        QVERIFY(AppValues().SecondStageToolPath.endsWith(QStringLiteral("ffmpeg")));
    }

    void layoutHasItsFixedSizeAndRegions()
    {
        TMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.size(), QSize(868, 554));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QCOMPARE(form.panProfile->width(), 230);
        QCOMPARE(form.panPreview->size(), QSize(230, 205));
        QCOMPARE(form.PanHint->width(), 398);
        QVERIFY(!form.PanHint->isVisible());
        QVERIFY(!form.panBottomLeft->isVisible());
        QVERIFY(form.panBottomCenter->isVisible());
        QVERIFY(form.imgStart->isVisible());
        QVERIFY(!form.imgStop->isVisible());
        QCOMPARE(form.imgStart->size(), QSize(133, 65));
        for (const char *name :
             {"ltvTask",      "cmbAudio",     "cmbSub",       "cmbAngle",    "cmbProfile",  "bbtnSetting",
              "edtOutputDir", "bbtnBrowser",  "bbtnOpen",     "sbtnOpenDVD", "sbtnOpenDir", "sbtnSegment",
              "sbtnOptions",  "pgbCurrent",   "pgbTotal",     "labFrame",    "labElapsed",  "labRemaining",
              "TrackBar",     "sbtnPlay",     "sbtnPause",    "sbtnStop",    "vleVideo",    "vleAudio",
              "vleAdvanced",  "SpeedButton1", "SpeedButton2", "SpeedButton3"})
            QVERIFY2(form.findChild<QWidget *>(QString::fromLatin1(name)), name);
        const QStringList popup = {QStringLiteral("Open DVD"),
                                   QStringLiteral("Open Directory"),
                                   QString(),
                                   QStringLiteral("Check"),
                                   QStringLiteral("Uncheck All"),
                                   QString(),
                                   QStringLiteral("Edit Start && End Time"),
                                   QStringLiteral("Change DVD Volume")};
        QStringList shown;
        for (QAction *action : form.PopupMenu1->actions())
            shown << action->text();
        QCOMPARE(shown, popup);
    }

    void hintPanelSlidesOpenAndClosed()
    {
        TMainForm form;
        form.show();
        form.PanHint->installEventFilter(this);
        form.chkTurnoff->show();
        form.ShowHintPanel(QStringLiteral("Opening the DVD.   Please wait...."));
        QVERIFY(form.PanHint->isVisible());
        QVERIFY(!form.chkTurnoff->isVisible());
        QCOMPARE(form.labHint->text(), QStringLiteral("Opening the DVD.   Please wait...."));
        QCOMPARE(m_heights.last(), 109);
        QCOMPARE(form.PanHint->height(), 109);

        // Shown again while open: it slides open again from 0 with the new text.
        m_heights.clear();
        form.ShowHintPanel(QStringLiteral("second"));
        QCOMPARE(form.labHint->text(), QStringLiteral("second"));
        QCOMPARE(m_heights.first(), 0);
        QCOMPARE(m_heights.last(), 109);

        m_heights.clear();
        form.HideHintPanel();
        QVERIFY(!form.PanHint->isVisible());
        QCOMPARE(m_heights.size(), 22);
        QCOMPARE(m_heights.first(), 105);
        QCOMPARE(m_heights.last(), 0);
    }

    void pictureButtonsFollowTheStateTable()
    {
        TMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        TPictureButton *start = form.imgStart;
        QSignalSpy clicks(start, &TPictureButton::clicked);
        QCOMPARE(start->ButtonState(), 0);
        MoveMouseOver(start, QPoint(20, 20));
        QCOMPARE(start->ButtonState(), 1);
        QCOMPARE(start->PictureShown(), 1);
        QTest::mousePress(start, Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(start->ButtonState(), 2);
        QCOMPARE(start->PictureShown(), 2);
        QTest::mouseRelease(start, Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(start->ButtonState(), 1);
        QCOMPARE(start->PictureShown(), 1);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(m_messages, QStringList{QStringLiteral("No Title or Chapter checked")});
        // Moving on to the picture around the buttons shows the normal picture.
        MoveMouseOver(form.panStartStop, QPoint(5, 90));
        QCOMPARE(start->ButtonState(), 0);
        QCOMPARE(start->PictureShown(), 0);
        // A press while pressed changes nothing; the bottom margin resets too.
        QTest::mousePress(start, Qt::LeftButton, {}, QPoint(20, 20));
        QTest::mousePress(start, Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(start->ButtonState(), 2);
        MoveMouseOver(form.panBottom, QPoint(10, 2));
        QCOMPARE(start->ButtonState(), 0);
        // The hidden Stop picture keeps its state.
        QCOMPARE(form.imgStop->ButtonState(), 0);
    }

    void resizeArrangesTheBottomPanels()
    {
        TMainForm form;
        form.panMain->resize(700, form.panMain->height());
        form.FormResize();
        QCOMPARE(form.panBottomCenter->width(), 700);
        QCOMPARE(form.panBottomLeft->width(), 700);
        QCOMPARE(form.bbtnSetting->x(), 610);
        QCOMPARE(form.bbtnOpen->x(), 610);
        QCOMPARE(form.cmbProfile->width(), 538);
        QCOMPARE(form.bbtnBrowser->x(), 527);
        QCOMPARE(form.edtOutputDir->width(), 455);
        QCOMPARE(form.labCurProgress->x(), 675);
        QCOMPARE(form.labTotalProgress->x(), 675);
        QCOMPARE(form.panCurrentProgress->width(), 570);
        QCOMPARE(form.panTotalProgress->width(), 570);
        QCOMPARE(form.pgbCurrent->width(), 569);
        QCOMPARE(form.pgbTotal->width(), 569);
        QCOMPARE(form.TrackBar->width(), form.VideoWindow->width() - 4);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize)
            m_heights << static_cast<QWidget *>(watched)->height();
        return QObject::eventFilter(watched, event);
    }

private:
    QTemporaryDir m_dir;
    QList<int> m_heights;
    QStringList m_messages;
};

QTEST_MAIN(MainFormTest)
#include "apptest_mainform.moc"
