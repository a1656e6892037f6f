// The preview player on the main window's preview controls, with a fake navigator.
#include "preview/FakeDvdNavigator.h"
#include "preview/ui/PreviewPlayer.h"

#include "app/helpers/Helpers.h"
#include "app/helpers/IniFile.h"
#include "app/helpers/ui/Dialogs.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

TaskItem MakeItem(bool isTitle, int number, double start, double end)
{
    TaskItem item;
    item.IsTitle = isTitle;
    item.Number = number;
    item.DiscStart = start;
    item.DiscEnd = end;
    item.DiscStartText = FormatSeconds(start);
    item.DiscEndText = FormatSeconds(end);
    // The preview plays the span on the disc, never the trimmed one.
    item.TrimStart = start + 1;
    item.TrimEnd = end - 1;
    item.TrimStartText = FormatSeconds(item.TrimStart);
    item.TrimEndText = FormatSeconds(item.TrimEnd);
    return item;
}

} // namespace

class PreviewPlayerTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QWidget> m_window;
    TPreviewWidgets m_w;
    std::unique_ptr<TFakeDvdNavigator> m_navigator;
    std::unique_ptr<TPreviewPlayer> m_player;
    QString m_videoTsPath;
    TaskItem m_title;
    TaskItem m_chapter;
    const TaskItem *m_focused = nullptr;
    QStringList m_hints; // "show <text>" and "hide", in order
    QList<TMessageRequest> m_messages;

    QString PreferencesFile() const { return m_dir->filePath(QStringLiteral("Preferences.ini")); }

    int NoticeCount() const
    {
        int count = 0;
        for (const TMessageRequest &message : m_messages)
            count += message.text == TPreviewPlayer::FirstUseText();
        return count;
    }

    void Tick(int count = 1)
    {
        for (int i = 0; i < count; ++i)
            m_player->tmrPreviewTimer();
    }

    QStringList Seeks() const { return m_navigator->Calls.filter(QStringLiteral("PlayAtTime")); }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("DISC/VIDEO_TS")));
        m_videoTsPath = m_dir->filePath(QStringLiteral("DISC/VIDEO_TS")) + QLatin1Char('/');
        QFile ifo(m_videoTsPath + QStringLiteral("VIDEO_TS.IFO"));
        QVERIFY(ifo.open(QIODevice::WriteOnly));
        ifo.close();
        // The notice has been seen, unless a test says otherwise.
        QVERIFY(
            TIniFile(PreferencesFile()).WriteBool(QStringLiteral("Main"), QStringLiteral("FirstUse"), false));

        m_window = std::make_unique<QWidget>();
        m_w = TPreviewWidgets();
        m_w.owner = m_window.get();
        m_w.panPreview = new QWidget(m_window.get());
        m_w.VideoWindow = new QWidget(m_w.panPreview);
        m_w.TrackBar = new QSlider(Qt::Horizontal, m_w.panPreview);
        m_w.TrackBar->setRange(0, 100);
        m_w.labStart = new QLabel(QStringLiteral("00:00:00"), m_w.panPreview);
        m_w.labEnd = new QLabel(QStringLiteral("00:00:00"), m_w.panPreview);
        m_w.labPreviewPlayTime = new QLabel(QStringLiteral("00:00:00"), m_w.panPreview);
        m_w.sbtnPlay = new QToolButton(m_w.panPreview);
        m_w.sbtnPause = new QToolButton(m_w.panPreview);
        m_w.sbtnStop = new QToolButton(m_w.panPreview);
        m_w.tmrPreview = new QTimer(m_window.get());
        m_w.tmrPreview->setInterval(1000);
        m_w.tmrPreviewDragDelay = new QTimer(m_window.get());
        m_w.tmrPreviewDragDelay->setInterval(200);
        m_w.cmbSub = new QComboBox(m_window.get());
        m_w.cmbSub->addItems({QStringLiteral("None"), QStringLiteral("English"), QStringLiteral("Francais")});

        m_title = MakeItem(true, 2, 0, 10);
        m_chapter = MakeItem(false, 3, 65, 69);
        m_focused = &m_title;
        m_hints.clear();
        m_messages.clear();
        SetMessageHandler([this](const TMessageRequest &request) {
            m_messages << request;
            return QMessageBox::Ok;
        });

        m_navigator = std::make_unique<TFakeDvdNavigator>();
        TPreviewHooks hooks;
        hooks.FocusedItem = [this] { return m_focused; };
        hooks.FocusedTitle = [this]() -> const TaskItem * { return m_focused ? &m_title : nullptr; };
        hooks.ShowHint = [this](const QString &text) { m_hints << QStringLiteral("show ") + text; };
        hooks.HideHint = [this] { m_hints << QStringLiteral("hide"); };
        hooks.VideoTsPath = [this] { return m_videoTsPath; };
        hooks.PreferencesFile = [this] { return PreferencesFile(); };
        hooks.ProductName = [] { return QStringLiteral("Velmora DVD to MPEG Ripper"); };
        m_player = std::make_unique<TPreviewPlayer>(m_w, *m_navigator, hooks);
    }

    void cleanup()
    {
        SetMessageHandler({});
        m_player.reset();
        m_navigator.reset();
        m_window.reset();
        m_dir.reset();
    }

    void playOfATitleRebuildsTheGraphAndPlaysTheTitle()
    {
        QTest::mouseClick(static_cast<QToolButton *>(m_w.sbtnPlay), Qt::LeftButton);
        const QString ifo = m_videoTsPath + QStringLiteral("VIDEO_TS.IFO");
        QCOMPARE(m_navigator->Calls, QStringList({"Clear", "Deactivate", "Activate", "Render " + ifo + " 1",
                                                  "Run", "PlayTitle 2 1", "Subpicture off 0"}));
        QCOMPARE(m_player->GraphState(), TGraphState::Playing);
        QCOMPARE(m_hints, QStringList({"show Loading.   Please wait....", "hide"}));
        QCOMPARE(m_w.labStart->text(), QStringLiteral("00:00:00"));
        QCOMPARE(m_w.labEnd->text(), QStringLiteral("00:00:10"));
        QCOMPARE(m_player->PreviewLength(), 10);
        QCOMPARE(m_player->PreviewElapsed(), 0);
        QVERIFY(m_w.tmrPreview->isActive());
        QCOMPARE(m_player->TrackBarMode(), 0);
        QVERIFY(m_messages.isEmpty());
    }

    void playOfAChapterPlaysItInItsTitle()
    {
        m_focused = &m_chapter;
        m_player->sbtnPlayClick();
        QVERIFY(m_navigator->Calls.contains(QStringLiteral("PlayChapterInTitle 2 3 1")));
        QVERIFY(m_navigator->Calls.filter(QStringLiteral("PlayTitle")).isEmpty());
        QCOMPARE(m_w.labStart->text(), QStringLiteral("00:01:05")); // the disc's span, not the trimmed one
        QCOMPARE(m_w.labEnd->text(), QStringLiteral("00:01:09"));
        QCOMPARE(m_player->PreviewStart(), 65);
        QCOMPARE(m_player->PreviewLength(), 4);
        Tick();
        QCOMPARE(m_w.labPreviewPlayTime->text(), QStringLiteral("00:01:06"));
        QCOMPARE(m_w.TrackBar->value(), 25);
    }

    void playWithoutAFocusedItemDoesNothing()
    {
        QVERIFY(QFile::remove(PreferencesFile())); // not even the notice
        m_focused = nullptr;
        m_player->sbtnPlayClick();
        QVERIFY(m_navigator->Calls.isEmpty());
        QVERIFY(m_messages.isEmpty());
        QVERIFY(m_hints.isEmpty());
        QVERIFY(!QFile::exists(PreferencesFile()));
    }

    void firstUseNoticeIsShownOnce_data()
    {
        QTest::addColumn<QByteArray>("preferences");
        QTest::addColumn<int>("notices");
        QTest::newRow("no file") << QByteArray() << 1;
        QTest::newRow("no key") << QByteArray("[Main]\r\nOutputDir=/tmp\r\n") << 1;
        QTest::newRow("true") << QByteArray("[Main]\r\nFirstUse=1\r\n") << 1;
        QTest::newRow("false") << QByteArray("[Main]\r\nFirstUse=0\r\n") << 0;
    }

    void firstUseNoticeIsShownOnce()
    {
        QFETCH(QByteArray, preferences);
        QFETCH(int, notices);
        QFile::remove(PreferencesFile());
        if (!preferences.isEmpty()) {
            QFile file(PreferencesFile());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(preferences);
        }
        m_player->sbtnPlayClick();
        m_player->sbtnPlayClick();
        QCOMPARE(NoticeCount(), notices);
        if (notices) {
            const TMessageRequest &notice = m_messages.first();
            QCOMPARE(notice.owner, m_window.get());
            QCOMPARE(notice.caption, QStringLiteral("Velmora DVD to MPEG Ripper"));
            QCOMPARE(notice.icon, QMessageBox::Information);
            QCOMPARE(notice.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
            QVERIFY(notice.text.startsWith(
                QStringLiteral("This product is not desinged for playing DVD movies, so it\n\r"
                               "may not play")));
        }
        QVERIFY(
            !TIniFile(PreferencesFile()).ReadBool(QStringLiteral("Main"), QStringLiteral("FirstUse"), true));
        if (preferences.contains("OutputDir")) // the rest of the file is kept
            QCOMPARE(TIniFile(PreferencesFile())
                         .ReadString(QStringLiteral("Main"), QStringLiteral("OutputDir"), {}),
                     QStringLiteral("/tmp"));
    }

    void missingVideoTsIfoIsReported()
    {
        QVERIFY(QFile::remove(m_videoTsPath + QStringLiteral("VIDEO_TS.IFO")));
        m_player->sbtnPlayClick();
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0].caption, QStringLiteral("VIDEO_TS.IFO not found"));
        QCOMPARE(m_messages[0].text,
                 m_videoTsPath +
                     QStringLiteral("VIDEO_TS.IFO can not be found. Please insert and open the DVD."));
        QCOMPARE(m_messages[0].icon, QMessageBox::Information);
        QCOMPARE(m_hints, QStringList({"show Loading.   Please wait....", "hide"}));
        QCOMPARE(m_navigator->Calls, QStringList({"Clear", "Deactivate"}));
        QCOMPARE(m_player->GraphState(), TGraphState::Uninitialized);
        QVERIFY(!m_w.tmrPreview->isActive());
    }

    void aFolderNeverOpenedCountsAsMissing()
    {
        m_videoTsPath.clear();
        m_player->sbtnPlayClick();
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0].caption, QStringLiteral("VIDEO_TS.IFO not found"));
        QCOMPARE(m_player->GraphState(), TGraphState::Uninitialized);
    }

    void aLowerCaseIfoIsFound()
    {
        QVERIFY(QFile::rename(m_videoTsPath + QStringLiteral("VIDEO_TS.IFO"),
                              m_videoTsPath + QStringLiteral("video_ts.ifo")));
        m_player->sbtnPlayClick();
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(m_navigator->RenderedPath, m_videoTsPath + QStringLiteral("video_ts.ifo"));
        QCOMPARE(m_player->GraphState(), TGraphState::Playing);
    }

    void pauseStopsTheClockAndResumeRestartsIt()
    {
        m_player->sbtnPlayClick();
        Tick(2);
        m_player->sbtnPauseClick();
        QCOMPARE(m_player->GraphState(), TGraphState::Paused);
        QVERIFY(!m_w.tmrPreview->isActive());
        QTest::qWait(1300); // no tick comes while paused
        QCOMPARE(m_player->PreviewElapsed(), 2);
        QCOMPARE(m_w.labPreviewPlayTime->text(), QStringLiteral("00:00:02"));
        m_player->sbtnPauseClick();
        QCOMPARE(m_player->GraphState(), TGraphState::Playing);
        QVERIFY(m_w.tmrPreview->isActive());
        QCOMPARE(m_navigator->Calls.mid(m_navigator->Calls.size() - 2), QStringList({"Pause", "Run"}));
    }

    void pauseWithoutAGraphDoesNothing()
    {
        m_player->sbtnPauseClick();
        QVERIFY(m_navigator->Calls.isEmpty());
        QVERIFY(!m_w.tmrPreview->isActive());
    }

    void theClockStopsAtTheItemsLength()
    {
        m_title = MakeItem(true, 2, 0, 3);
        m_player->sbtnPlayClick();
        Tick(2);
        QCOMPARE(m_w.TrackBar->value(), 67);
        QCOMPARE(m_player->GraphState(), TGraphState::Playing);
        Tick();
        QCOMPARE(m_w.labPreviewPlayTime->text(), QStringLiteral("00:00:03"));
        QCOMPARE(m_player->GraphState(), TGraphState::Stopped);
        QVERIFY(!m_w.tmrPreview->isActive());
        QCOMPARE(m_w.TrackBar->value(), 0);
        QCOMPARE(m_navigator->Calls.mid(m_navigator->Calls.size() - 2), QStringList({"Stop", "Clear"}));
        // The thumb went home under the clock's own hand: no seek follows.
        QCOMPARE(m_player->TrackBarMode(), 0);
        QVERIFY(!m_w.tmrPreviewDragDelay->isActive());
    }

    void anItemOfNoLengthStopsAtTheFirstTick()
    {
        m_title = MakeItem(true, 2, 7, 7.4);
        m_player->sbtnPlayClick();
        QCOMPARE(m_player->PreviewLength(), 0);
        Tick();
        QCOMPARE(m_w.TrackBar->value(), 0);
        QCOMPARE(m_player->GraphState(), TGraphState::Stopped);
        QVERIFY(!m_w.tmrPreview->isActive());
    }

    void stopReturnsTheThumbToZero()
    {
        m_focused = &m_chapter;
        m_player->sbtnPlayClick();
        Tick(2);
        QCOMPARE(m_w.TrackBar->value(), 50);
        QTest::mouseClick(static_cast<QToolButton *>(m_w.sbtnStop), Qt::LeftButton);
        QCOMPARE(m_w.TrackBar->value(), 0);
        QCOMPARE(m_w.labPreviewPlayTime->text(), QStringLiteral("00:01:05"));
        QCOMPARE(m_player->GraphState(), TGraphState::Stopped);
        QVERIFY(!m_w.tmrPreview->isActive());
        // The seek that the thumb's return scheduled reaches a cleared graph and is dropped.
        m_player->tmrPreviewDragDelayTimer();
        m_player->tmrPreviewDragDelayTimer();
        QCOMPARE(Seeks().size(), 1);
        QCOMPARE(m_player->GraphState(), TGraphState::Stopped);
        QCOMPARE(m_player->TrackBarMode(), 0);
        QVERIFY(m_messages.isEmpty());
        // Stop again: nothing to stop.
        const int calls = m_navigator->Calls.size();
        m_player->sbtnStopClick();
        QCOMPARE(m_navigator->Calls.size(), calls);
    }

    void theSeekComesOnTheSecondQuietDelayTick()
    {
        m_chapter = MakeItem(false, 3, 3725, 3825);
        m_focused = &m_chapter;
        m_player->sbtnPlayClick();
        m_w.TrackBar->setValue(30);
        QCOMPARE(m_player->TrackBarMode(), 3);
        QCOMPARE(m_w.labPreviewPlayTime->text(), QStringLiteral("01:02:35"));
        QVERIFY(m_w.tmrPreviewDragDelay->isActive());
        Tick(); // the clock waits for the seek
        QCOMPARE(m_player->PreviewElapsed(), 0);
        m_player->tmrPreviewDragDelayTimer();
        QCOMPARE(m_player->SeekDelayFlag(), 1);
        m_w.TrackBar->setValue(50); // the thumb moved again
        QCOMPARE(m_player->SeekDelayFlag(), 0);
        m_player->tmrPreviewDragDelayTimer();
        QVERIFY(Seeks().isEmpty());
        m_player->tmrPreviewDragDelayTimer();
        QCOMPARE(Seeks(), QStringList({"PlayAtTime 1:02:55.0 0"}));
        QCOMPARE(m_player->PreviewElapsed(), 50);
        QCOMPARE(m_player->TrackBarMode(), 0);
        QVERIFY(!m_w.tmrPreviewDragDelay->isActive());
        Tick();
        QCOMPARE(m_w.labPreviewPlayTime->text(), QStringLiteral("01:02:56"));
    }

    void aFailedSeekIsSilent()
    {
        m_player->sbtnPlayClick();
        m_navigator->FailNavigatorCalls = true;
        m_w.TrackBar->setValue(40);
        m_player->tmrPreviewDragDelayTimer();
        m_player->tmrPreviewDragDelayTimer();
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(m_player->PreviewElapsed(), 4);
        QCOMPARE(m_player->TrackBarMode(), 0);
    }

    // A drag of two seconds with the real timers: one seek, made after the
    // thumb came to rest (200 to 400 ms on an idle machine).
    void aLongDragMakesOneSeekAfterItEnds()
    {
        m_title = MakeItem(true, 2, 0, 100);
        m_player->sbtnPlayClick();
        QElapsedTimer drag;
        drag.start();
        int position = 0;
        while (drag.elapsed() < 2000) {
            m_w.TrackBar->setValue(++position % 90 + 1);
            QTest::qWait(40);
        }
        QElapsedTimer rest;
        rest.start();
        // On an idle machine no seek is made during the drag; a stalled one may let a tick pair through.
        const int seeksDuringDrag = Seeks().size();
        QTRY_COMPARE_WITH_TIMEOUT(Seeks().size(), seeksDuringDrag + 1, 10000);
        QVERIFY2(rest.elapsed() >= 150, qPrintable(QString::number(rest.elapsed())));
        const int s = m_w.TrackBar->value(); // 100 s over 100 steps: one second a step
        QCOMPARE(Seeks().last(), QStringLiteral("PlayAtTime 0:%1:%2.0 0")
                                     .arg(s / 60, 2, 10, QLatin1Char('0'))
                                     .arg(s % 60, 2, 10, QLatin1Char('0')));
        QTest::qWait(600);
        QCOMPARE(Seeks().size(), seeksDuringDrag + 1);
        QVERIFY(!m_w.tmrPreviewDragDelay->isActive());
    }

    void subtitlesFollowTheSubtitleBox_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("None") << 0 << QStringList({"Subpicture off 0"});
        QTest::newRow("first stream") << 1 << QStringList({"Subpicture on 0", "SelectSubpicture 0 0"});
        QTest::newRow("second stream") << 2 << QStringList({"Subpicture on 0", "SelectSubpicture 1 0"});
        QTest::newRow("empty box") << -1 << QStringList({"Subpicture off 0"});
    }

    void subtitlesFollowTheSubtitleBox()
    {
        QFETCH(int, entry);
        QFETCH(QStringList, calls);
        if (entry < 0)
            m_w.cmbSub->clear();
        else
            m_w.cmbSub->setCurrentIndex(entry);
        m_player->sbtnPlayClick();
        QCOMPARE(m_navigator->NavigatorCalls().mid(1), calls);
    }

    void playWhilePlayingStartsTheNewItemAfresh()
    {
        m_player->sbtnPlayClick();
        Tick(3);
        m_focused = &m_chapter;
        m_navigator->Calls.clear();
        m_player->sbtnPlayClick();
        QCOMPARE(m_navigator->Calls.mid(0, 4), QStringList({"Stop", "Clear", "Clear", "Deactivate"}));
        QVERIFY(m_navigator->Calls.contains(QStringLiteral("PlayChapterInTitle 2 3 1")));
        QCOMPARE(m_player->PreviewElapsed(), 0);
        QCOMPARE(m_player->GraphState(), TGraphState::Playing);
        QVERIFY(m_w.tmrPreview->isActive());
    }

    void aGraphWithoutNavigatorEndsPlayWithTheErrorReport()
    {
        m_navigator->FailNavigatorCalls = true;
        m_player->sbtnPlayClick();
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0].icon, QMessageBox::Critical);
        QVERIFY(!m_w.tmrPreview->isActive());
        QCOMPARE(m_hints.last(), QStringLiteral("hide"));
    }
};

QTEST_MAIN(PreviewPlayerTest)
#include "uitest_preview_player.moc"
