#include "preview/ui/PreviewPlayer.h"

#include "app/helpers/AppValues.h"
#include "app/helpers/Helpers.h"
#include "app/helpers/IniFile.h"
#include "app/helpers/ui/Dialogs.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QSlider>
#include <QTimer>
#include <QVariant>

#include <exception>

namespace {

const char *const kTag = "Tag";

} // namespace

TPreviewPlayer::TPreviewPlayer(const TPreviewWidgets &widgets, TDvdNavigator &navigator, TPreviewHooks hooks,
                               QObject *parent)
    : QObject(parent), m_w(widgets), m_navigator(navigator), m_hooks(std::move(hooks))
{
    if (!m_hooks.VideoTsPath)
        m_hooks.VideoTsPath = [] { return DVDInfo().VideoTsPath; };
    if (!m_hooks.PreferencesFile)
        m_hooks.PreferencesFile = [] { return PreferencesPath(); };
    if (!m_hooks.ProductName)
        m_hooks.ProductName = [] { return AppValues().ProductName; };

    SetTrackBarMode(tbIdle);
    SetSeekDelayFlag(0);
    m_w.tmrPreview->setSingleShot(false);
    m_w.tmrPreviewDragDelay->setSingleShot(false);

    connect(m_w.sbtnPlay, &QAbstractButton::clicked, this, &TPreviewPlayer::sbtnPlayClick);
    connect(m_w.sbtnPause, &QAbstractButton::clicked, this, &TPreviewPlayer::sbtnPauseClick);
    connect(m_w.sbtnStop, &QAbstractButton::clicked, this, &TPreviewPlayer::sbtnStopClick);
    connect(m_w.TrackBar, &QSlider::valueChanged, this, &TPreviewPlayer::TrackBarChange);
    connect(m_w.tmrPreview, &QTimer::timeout, this, &TPreviewPlayer::tmrPreviewTimer);
    connect(m_w.tmrPreviewDragDelay, &QTimer::timeout, this, &TPreviewPlayer::tmrPreviewDragDelayTimer);
}

int TPreviewPlayer::TrackBarMode() const
{
    return m_w.TrackBar->property(kTag).toInt();
}

int TPreviewPlayer::SeekDelayFlag() const
{
    return m_w.tmrPreviewDragDelay->property(kTag).toInt();
}

void TPreviewPlayer::SetTrackBarMode(int mode)
{
    m_w.TrackBar->setProperty(kTag, mode);
}

void TPreviewPlayer::SetSeekDelayFlag(int flag)
{
    m_w.tmrPreviewDragDelay->setProperty(kTag, flag);
}

QString TPreviewPlayer::FirstUseText()
{
    // The line breaks are a line feed followed by a carriage return.
    return QStringLiteral("This product is not desinged for playing DVD movies, so it\n\r"
                          "may not play some copyright (region) protected DVD properly.\n\r"
                          "Note: Ripping copyright protected DVD is illegal in come countries.");
}

void TPreviewPlayer::ShowFirstUseNotice()
{
    TIniFile preferences(m_hooks.PreferencesFile());
    if (!preferences.ReadBool(QStringLiteral("Main"), QStringLiteral("FirstUse"), true))
        return;
    ShowMessage(m_w.owner, m_hooks.ProductName(), FirstUseText(), QMessageBox::Information, QMessageBox::Ok);
    preferences.WriteBool(QStringLiteral("Main"), QStringLiteral("FirstUse"), false);
}

// Disc folders copied from elsewhere may spell the file in lower case; the
// path shown in the message stays the one formed from the opened folder.
QString TPreviewPlayer::ExistingIfoPath(const QString &path) const
{
    const QFileInfo info(path);
    if (info.isFile())
        return path;
    const QDir folder = info.dir();
    if (!folder.exists())
        return QString();
    const QStringList entries = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : entries)
        if (name.compare(info.fileName(), Qt::CaseInsensitive) == 0)
            return folder.filePath(name);
    return QString();
}

void TPreviewPlayer::sbtnPlayClick()
{
    // Showing the hint panel lets other clicks run; a second Play waits for none.
    if (m_inPlay)
        return;
    m_inPlay = true;
    try {
        Play();
    } catch (const std::exception &error) {
        if (m_hooks.HideHint)
            m_hooks.HideHint();
        ShowError(m_w.owner, QString::fromUtf8(error.what()));
    }
    m_inPlay = false;
}

void TPreviewPlayer::Play()
{
    const TaskItem *item = m_hooks.FocusedItem ? m_hooks.FocusedItem() : nullptr;
    if (!item)
        return;
    const TaskItem *title = item->IsTitle ? item : (m_hooks.FocusedTitle ? m_hooks.FocusedTitle() : nullptr);
    if (!title)
        return;

    ShowFirstUseNotice();
    if (m_hooks.ShowHint)
        m_hooks.ShowHint(LoadingText());
    // The hint panel let other handlers run: take the focused item afresh.
    item = m_hooks.FocusedItem ? m_hooks.FocusedItem() : nullptr;
    title = item && item->IsTitle ? item : (m_hooks.FocusedTitle ? m_hooks.FocusedTitle() : nullptr);

    if (m_navigator.State() == TGraphState::Playing)
        StopAction();
    m_navigator.Clear();
    m_navigator.Deactivate();

    const QString videoTsPath = m_hooks.VideoTsPath();
    const QString path = videoTsPath + QStringLiteral("VIDEO_TS.IFO");
    const QString existing = videoTsPath.isEmpty() ? QString() : ExistingIfoPath(path);
    if (existing.isEmpty() || !item || !title) {
        if (m_hooks.HideHint)
            m_hooks.HideHint();
        if (existing.isEmpty())
            ShowMessage(m_w.owner, QStringLiteral("VIDEO_TS.IFO not found"),
                        path + QStringLiteral(" can not be found. Please insert and open the DVD."),
                        QMessageBox::Information, QMessageBox::Ok);
        return;
    }

    m_navigator.Activate();
    m_navigator.RenderDvdVideoVolume(existing, AM_DVD_HWDEC_PREFER);
    m_navigator.Run();
    m_previewElapsed = 0;
    m_w.TrackBar->setValue(0);

    m_w.labStart->setText(item->DiscStartText);
    m_w.labEnd->setText(item->DiscEndText);
    m_previewStart = int(RoundHalfEven(item->DiscStart));
    m_previewLength =
        int(RoundHalfEven(ParseTimeText(item->DiscEndText) - ParseTimeText(item->DiscStartText)));

    if (item->IsTitle)
        m_navigator.PlayTitle(item->Number, DVD_CMD_FLAG_Flush);
    else
        m_navigator.PlayChapterInTitle(title->Number, item->Number, DVD_CMD_FLAG_Flush);

    if (m_hooks.HideHint)
        m_hooks.HideHint();
    SetTrackBarMode(tbIdle);
    m_w.tmrPreview->start();

    const int subtitle = m_w.cmbSub ? m_w.cmbSub->currentIndex() : -1;
    if (subtitle >= 1) {
        m_navigator.SetSubpictureState(true, DVD_CMD_FLAG_None);
        m_navigator.SelectSubpictureStream(subtitle - 1, DVD_CMD_FLAG_None);
    } else {
        m_navigator.SetSubpictureState(false, DVD_CMD_FLAG_None);
    }
}

void TPreviewPlayer::StopAction()
{
    const TGraphState state = m_navigator.State();
    if (state != TGraphState::Playing && state != TGraphState::Paused)
        return;
    m_navigator.Stop();
    m_w.tmrPreview->stop();
    m_w.TrackBar->setValue(0);
    m_navigator.Clear();
}

void TPreviewPlayer::sbtnPauseClick()
{
    const TGraphState state = m_navigator.State();
    if (state == TGraphState::Playing) {
        m_w.tmrPreview->stop();
        m_navigator.Pause();
    } else if (state == TGraphState::Paused) {
        m_w.tmrPreview->start();
        m_navigator.Run();
    }
}

void TPreviewPlayer::tmrPreviewTimer()
{
    if (TrackBarMode() == tbSeekPending)
        return;
    SetTrackBarMode(tbTimerMoving);
    ++m_previewElapsed;
    m_w.labPreviewPlayTime->setText(FormatSeconds(ParseTimeText(m_w.labStart->text()) + m_previewElapsed));
    if (m_previewLength != 0)
        m_w.TrackBar->setValue(
            int(RoundHalfEven(double(m_previewElapsed) / double(m_previewLength) * m_w.TrackBar->maximum())));
    if (m_previewElapsed >= m_previewLength)
        StopAction(); // the end of the item
    SetTrackBarMode(tbIdle);
}

int TPreviewPlayer::SliderSeconds() const
{
    const int maximum = m_w.TrackBar->maximum();
    if (maximum == 0)
        return 0;
    const qint64 product = qint64(m_w.TrackBar->value()) * m_previewLength;
    return int(RoundHalfEven(double(product) / double(maximum)));
}

void TPreviewPlayer::TrackBarChange()
{
    if (TrackBarMode() == tbTimerMoving)
        return;
    const int seconds = SliderSeconds() + m_previewStart;
    m_w.labPreviewPlayTime->setText(FormatSeconds(seconds));
    SetSeekDelayFlag(0);
    if (!m_w.tmrPreviewDragDelay->isActive()) // enabling a running timer keeps its period
        m_w.tmrPreviewDragDelay->start();
    SetTrackBarMode(tbSeekPending);
}

void TPreviewPlayer::tmrPreviewDragDelayTimer()
{
    if (TrackBarMode() == tbTimerMoving)
        return;
    if (SeekDelayFlag() == 0) {
        SetSeekDelayFlag(1);
        return;
    }
    SetSeekDelayFlag(0);
    m_w.tmrPreviewDragDelay->stop();
    SetTrackBarMode(tbSeekPending);
    m_previewElapsed = SliderSeconds();
    int s = m_previewElapsed + m_previewStart;
    if (s < 0)
        s = 0;
    TDvdTimeCode time;
    const int hours = s / 3600;
    const int minutes = (s - 3600 * hours) / 60;
    time.Hours = std::uint8_t(hours > 255 ? 255 : hours);
    time.Minutes = std::uint8_t(minutes);
    time.Seconds = std::uint8_t(s - 3600 * hours - 60 * minutes);
    time.Frames = 0;
    try {
        m_navigator.PlayAtTime(time, DVD_CMD_FLAG_None);
    } catch (...) {
        // A seek that cannot be made leaves the clock at the slider's position.
    }
    SetTrackBarMode(tbIdle);
}
