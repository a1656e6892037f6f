// The libmpv navigator on a real test disc, without picture or sound output.
#include "preview/ui/MpvDvdNavigator.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

namespace {

const int kWait = 30000; // generous: the machine is shared

QString DiscIfo(const QString &disc)
{
    return QStringLiteral(VELMORA_FIXTURE_DIR) + QLatin1Char('/') + disc +
           QStringLiteral("/VIDEO_TS/VIDEO_TS.IFO");
}

TMpvDvdNavigator::Options NoOutput()
{
    TMpvDvdNavigator::Options options;
    options.VideoOutput = QStringLiteral("null");
    options.AudioOutput = QStringLiteral("null");
    return options;
}

} // namespace

class MpvNavigatorTest : public QObject
{
    Q_OBJECT

private:
    QWidget m_window;
    std::unique_ptr<TMpvDvdNavigator> m_navigator;

    // A graph built and running on a disc, as the preview's Play leaves it.
    void Start(const QString &disc)
    {
        QVERIFY2(QFileInfo::exists(DiscIfo(disc)), qPrintable(DiscIfo(disc)));
        m_navigator->Activate();
        QCOMPARE(m_navigator->State(), TGraphState::Stopped);
        m_navigator->RenderDvdVideoVolume(DiscIfo(disc), AM_DVD_HWDEC_PREFER);
        m_navigator->Run();
        QCOMPARE(m_navigator->State(), TGraphState::Playing);
    }

    void WaitPlaying()
    {
        QTRY_VERIFY_WITH_TIMEOUT(m_navigator->FileLoaded(), kWait);
        QTRY_VERIFY_WITH_TIMEOUT(m_navigator->StartPosition().Seconds >= 0, kWait);
        // mpv's clock advances: the stream decodes and plays.
        QTRY_VERIFY_WITH_TIMEOUT(m_navigator->PlaybackSeconds() > 0.2, kWait);
    }

private slots:
    void init() { m_navigator = std::make_unique<TMpvDvdNavigator>(&m_window, NoOutput()); }
    void cleanup() { m_navigator.reset(); }

    void startsUninitializedAndRefusesCallsWithoutAGraph()
    {
        QCOMPARE(m_navigator->State(), TGraphState::Uninitialized);
        m_navigator->Clear(); // nothing happens without a graph
        QCOMPARE(m_navigator->State(), TGraphState::Uninitialized);
        QVERIFY_THROWS_EXCEPTION(TNavigatorUnavailable, m_navigator->PlayTitle(1, DVD_CMD_FLAG_Flush));
        m_navigator->Activate();
        // A graph without a rendered volume has no navigator either.
        QVERIFY_THROWS_EXCEPTION(TNavigatorUnavailable, m_navigator->PlayTitle(1, DVD_CMD_FLAG_Flush));
        m_navigator->Deactivate();
        QCOMPARE(m_navigator->State(), TGraphState::Uninitialized);
    }

    // Title 2 of the two-set disc lies in the second title set: it is the
    // title that plays, not the first one.
    void playTitlePlaysThatTitle()
    {
        Start(QStringLiteral("pal_two_sets"));
        QVERIFY(m_navigator->PlayTitle(2, DVD_CMD_FLAG_Flush));
        WaitPlaying();
        const TDiscStreamPosition start = m_navigator->StartPosition();
        QCOMPARE(start.Title, 2);
        QCOMPARE(start.Chapter, 1);
        QVERIFY(start.Seconds < 0.5);
        QCOMPARE(m_navigator->CurrentTitle(), 2);
        // The stream ends with the title: no block of another title is read.
        QTRY_VERIFY_WITH_TIMEOUT(m_navigator->ReadPosition().Chapter == 2, kWait);
        QCOMPARE(m_navigator->ReadPosition().Title, 2);
    }

    void playChapterInTitleStartsInThatChapter()
    {
        Start(QStringLiteral("pal_two_sets"));
        QVERIFY(m_navigator->PlayChapterInTitle(1, 3, DVD_CMD_FLAG_Flush));
        WaitPlaying();
        const TDiscStreamPosition start = m_navigator->StartPosition();
        QCOMPARE(start.Title, 1);
        QCOMPARE(start.Chapter, 3);
        QVERIFY2(start.Seconds > 3.5 && start.Seconds < 4.5, qPrintable(QString::number(start.Seconds)));
    }

    void playAtTimeMovesThePosition()
    {
        Start(QStringLiteral("pal_two_sets"));
        QVERIFY(m_navigator->PlayTitle(2, DVD_CMD_FLAG_Flush));
        WaitPlaying();
        TDvdTimeCode time;
        time.Seconds = 4;
        QVERIFY(m_navigator->PlayAtTime(time, DVD_CMD_FLAG_None));
        WaitPlaying();
        const TDiscStreamPosition start = m_navigator->StartPosition();
        QCOMPARE(start.Title, 2); // the moment is one of the current title
        QCOMPARE(start.Chapter, 2);
        QVERIFY2(start.Seconds > 3.0 && start.Seconds <= 4.5, qPrintable(QString::number(start.Seconds)));
    }

    void pauseAndRunHoldAndReleaseThePicture()
    {
        Start(QStringLiteral("pal_two_sets"));
        QVERIFY(m_navigator->PlayTitle(1, DVD_CMD_FLAG_Flush));
        WaitPlaying();
        m_navigator->Pause();
        QCOMPARE(m_navigator->State(), TGraphState::Paused);
        QVERIFY(m_navigator->Paused());
        m_navigator->Run();
        QCOMPARE(m_navigator->State(), TGraphState::Playing);
        QVERIFY(!m_navigator->Paused());
    }

    void stopAndClearLeaveItStopped()
    {
        Start(QStringLiteral("pal_two_sets"));
        QVERIFY(m_navigator->PlayTitle(1, DVD_CMD_FLAG_Flush));
        WaitPlaying();
        m_navigator->Stop();
        QCOMPARE(m_navigator->State(), TGraphState::Stopped);
        QTRY_VERIFY_WITH_TIMEOUT(m_navigator->Idle(), kWait);
        // A stopped graph takes no navigation: a late seek shows nothing.
        TDvdTimeCode time;
        time.Seconds = 2;
        QVERIFY(!m_navigator->PlayAtTime(time, DVD_CMD_FLAG_None));
        m_navigator->Clear();
        QCOMPARE(m_navigator->State(), TGraphState::Stopped);
        QVERIFY(m_navigator->Idle());
        // Cleared, the graph has no volume until the next render.
        QVERIFY_THROWS_EXCEPTION(TNavigatorUnavailable, m_navigator->PlayAtTime(time, DVD_CMD_FLAG_None));
        QTest::qWait(500);
        QVERIFY(m_navigator->Idle());
        QCOMPARE(m_navigator->State(), TGraphState::Stopped);
    }

    void subtitlesFollowTheSubpictureCalls()
    {
        Start(QStringLiteral("pal_two_sets"));
        QVERIFY(m_navigator->PlayTitle(1, DVD_CMD_FLAG_Flush));
        QVERIFY(m_navigator->SetSubpictureState(true, DVD_CMD_FLAG_None));
        QVERIFY(m_navigator->SelectSubpictureStream(0, DVD_CMD_FLAG_None));
        WaitPlaying();
        // Title 1 carries one subpicture stream (English): mpv shows it.
        QTRY_VERIFY_WITH_TIMEOUT(m_navigator->SubtitleTrack() == QLatin1String("1"), kWait);
        QVERIFY(m_navigator->SubtitlesVisible());
        QVERIFY(m_navigator->SetSubpictureState(false, DVD_CMD_FLAG_None));
        QCOMPARE(m_navigator->SubtitleTrack(), QStringLiteral("no"));
        QVERIFY(!m_navigator->SubtitlesVisible());
    }

    void aFolderThatIsNoDiscPlaysNothing()
    {
        m_navigator->Activate();
        m_navigator->RenderDvdVideoVolume(QDir::tempPath() + QStringLiteral("/no-such-disc/VIDEO_TS.IFO"), 0);
        m_navigator->Run();
        QVERIFY(m_navigator->PlayTitle(1, DVD_CMD_FLAG_Flush)); // not examined by the preview
        QTest::qWait(1000);
        QVERIFY(!m_navigator->FileLoaded());
        QTRY_VERIFY_WITH_TIMEOUT(m_navigator->Idle(), kWait);
    }
};

QTEST_MAIN(MpvNavigatorTest)
#include "uitest_mpv_navigator.moc"
