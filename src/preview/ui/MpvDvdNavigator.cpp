#include "preview/ui/MpvDvdNavigator.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <mpv/client.h>

#include <cstring>

namespace {

void WakeUp(void *context)
{
    // Called on one of mpv's threads: hand over to the GUI thread.
    QMetaObject::invokeMethod(static_cast<QObject *>(context), "ReadEvents", Qt::QueuedConnection);
}

bool WindowSystemDrawable()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

void SetOption(mpv_handle *mpv, const char *name, const char *value)
{
    mpv_set_option_string(mpv, name, value);
}

constexpr std::uint64_t kTrackListReply = 1;

} // namespace

TMpvDvdNavigator::TMpvDvdNavigator(QWidget *videoWindow, QObject *parent)
    : TMpvDvdNavigator(videoWindow, Options(), parent)
{
}

TMpvDvdNavigator::TMpvDvdNavigator(QWidget *videoWindow, const Options &options, QObject *parent)
    : QObject(parent), m_videoWindow(videoWindow), m_options(options)
{
}

TMpvDvdNavigator::~TMpvDvdNavigator()
{
    DestroyCore();
}

void TMpvDvdNavigator::Activate()
{
    if (m_mpv)
        return;
    mpv_handle *mpv = mpv_create();
    if (!mpv)
        return;

    QString videoOutput = m_options.VideoOutput;
    QString audioOutput = m_options.AudioOutput;
    if (!WindowSystemDrawable()) {
        videoOutput = QStringLiteral("null");
        audioOutput = QStringLiteral("null");
    }
    SetOption(mpv, "config", "no");
    // VELMORA_MPV_LOG=<msg-level>, e.g. "all=v", prints mpv's messages on the terminal.
    const QByteArray log = qgetenv("VELMORA_MPV_LOG");
    if (!log.isEmpty()) {
        SetOption(mpv, "terminal", "yes");
        SetOption(mpv, "msg-level", log.constData());
    }
    SetOption(mpv, "load-scripts", "no");
    SetOption(mpv, "ytdl", "no");
    SetOption(mpv, "osc", "no");
    SetOption(mpv, "input-default-bindings", "no");
    SetOption(mpv, "input-vo-keyboard", "no");
    SetOption(mpv, "input-cursor", "no");
    SetOption(mpv, "idle", "yes");
    SetOption(mpv, "force-window", "no");
    SetOption(mpv, "keep-open", "yes"); // the last picture of an item stays until Stop
    SetOption(mpv, "sub-auto", "no");
    SetOption(mpv, "audio-file-auto", "no");
    SetOption(mpv, "sid", "no");
    SetOption(mpv, "demuxer-lavf-format", "mpeg"); // a disc stream is an MPEG program stream
    // mpv's own list ends in outputs (sdl, the terminal ones) that open a
    // window of their own: keep to those that draw into the video window.
    if (videoOutput.isEmpty() && m_videoWindow)
        videoOutput = QStringLiteral("gpu,vdpau,xv,x11");
    if (!videoOutput.isEmpty())
        SetOption(mpv, "vo", videoOutput.toUtf8().constData());
    if (!audioOutput.isEmpty())
        SetOption(mpv, "ao", audioOutput.toUtf8().constData());
    if (m_videoWindow && videoOutput != QLatin1String("null")) {
        m_videoWindow->setAttribute(Qt::WA_DontCreateNativeAncestors);
        m_videoWindow->setAttribute(Qt::WA_NativeWindow);
        std::int64_t wid = std::int64_t(m_videoWindow->winId());
        mpv_set_option(mpv, "wid", MPV_FORMAT_INT64, &wid);
    }
    if (mpv_initialize(mpv) < 0) {
        mpv_terminate_destroy(mpv);
        return;
    }
    auto protocol = std::make_unique<TDiscStreamProtocol>();
    if (!protocol->Register(mpv)) {
        mpv_terminate_destroy(mpv);
        return;
    }
    m_mpv = mpv;
    m_protocol = std::move(protocol);
    mpv_observe_property(m_mpv, kTrackListReply, "track-list", MPV_FORMAT_NONE);
    mpv_set_wakeup_callback(m_mpv, WakeUp, this);
    m_state = TGraphState::Stopped;
}

void TMpvDvdNavigator::DestroyCore()
{
    if (!m_mpv)
        return;
    mpv_handle *mpv = m_mpv;
    m_mpv = nullptr;
    mpv_set_wakeup_callback(mpv, nullptr, nullptr);
    mpv_terminate_destroy(mpv); // closes every disc stream before returning
    m_protocol.reset();
}

void TMpvDvdNavigator::Deactivate()
{
    DestroyCore();
    m_state = TGraphState::Uninitialized;
    m_device.clear();
    m_request.reset();
    m_title = 0;
    m_fileLoaded = false;
}

void TMpvDvdNavigator::Clear()
{
    if (!m_mpv)
        return;
    const char *stop[] = {"stop", nullptr};
    mpv_command(m_mpv, stop);
    m_state = TGraphState::Stopped;
    m_device.clear();
    m_request.reset();
    m_title = 0;
    m_fileLoaded = false;
}

void TMpvDvdNavigator::RenderDvdVideoVolume(const QString &videoTsIfoPath, unsigned flags)
{
    if (!m_mpv)
        return;
    m_device = QFileInfo(videoTsIfoPath).absolutePath();
    m_hardwareDecoding = (flags & AM_DVD_HWDEC_PREFER) != 0;
    mpv_set_property_string(m_mpv, "hwdec", m_hardwareDecoding ? "auto-safe" : "no");
}

void TMpvDvdNavigator::Run()
{
    if (!m_mpv || m_device.isEmpty())
        return;
    mpv_set_property_string(m_mpv, "pause", "no");
    m_state = TGraphState::Playing;
}

void TMpvDvdNavigator::Pause()
{
    if (!m_mpv || m_device.isEmpty())
        return;
    mpv_set_property_string(m_mpv, "pause", "yes");
    m_state = TGraphState::Paused;
}

void TMpvDvdNavigator::Stop()
{
    if (!m_mpv)
        return;
    const char *stop[] = {"stop", nullptr};
    mpv_command(m_mpv, stop);
    mpv_set_property_string(m_mpv, "pause", "no");
    m_state = TGraphState::Stopped;
    m_fileLoaded = false;
}

void TMpvDvdNavigator::CheckNavigator() const
{
    if (!m_mpv || m_device.isEmpty())
        throw TNavigatorUnavailable(
            QStringLiteral("The DVD navigator is not available: no disc has been rendered."));
}

void TMpvDvdNavigator::Load(int title, int chapter, double seconds)
{
    m_request = std::make_shared<TDiscPlayRequest>(QFile::encodeName(m_device).toStdString(), title, chapter,
                                                   seconds);
    const std::string url = m_protocol->Offer(m_request);
    m_title = title;
    m_fileLoaded = false;
    const char *load[] = {"loadfile", url.c_str(), "replace", nullptr};
    mpv_command(m_mpv, load);
    ApplySubtitles();
}

bool TMpvDvdNavigator::PlayTitle(int title, unsigned)
{
    CheckNavigator();
    if (m_state == TGraphState::Stopped || title < 1 || title > 99)
        return false;
    Load(title, 0, -1);
    return true;
}

bool TMpvDvdNavigator::PlayChapterInTitle(int title, int chapter, unsigned)
{
    CheckNavigator();
    if (m_state == TGraphState::Stopped || title < 1 || title > 99 || chapter < 1 || chapter > 999)
        return false;
    Load(title, chapter, -1);
    return true;
}

bool TMpvDvdNavigator::PlayAtTime(const TDvdTimeCode &time, unsigned)
{
    CheckNavigator();
    if (m_state == TGraphState::Stopped || m_title < 1)
        return false;
    const double seconds = time.Hours * 3600.0 + time.Minutes * 60.0 + time.Seconds + time.Frames / 25.0;
    Load(m_title, 0, seconds);
    return true;
}

bool TMpvDvdNavigator::SetSubpictureState(bool on, unsigned)
{
    CheckNavigator();
    m_subtitlesOn = on;
    ApplySubtitles();
    return true;
}

bool TMpvDvdNavigator::SelectSubpictureStream(int stream, unsigned)
{
    CheckNavigator();
    if (stream < 0 || stream > 31)
        return false;
    m_subtitleStream = stream;
    ApplySubtitles();
    return true;
}

void TMpvDvdNavigator::ApplySubtitles()
{
    if (!m_mpv)
        return;
    mpv_set_property_string(m_mpv, "sub-visibility", m_subtitlesOn ? "yes" : "no");
    std::int64_t track = -1;
    if (m_subtitlesOn && m_subtitleStream >= 0 && m_fileLoaded) {
        int physical = m_request ? m_request->PhysicalSubpictureStream(m_subtitleStream) : -1;
        if (physical < 0)
            physical = m_subtitleStream;
        // In the program stream a subpicture stream n is the substream 0x20 + n.
        const std::int64_t sourceId = 0x20 + physical;
        mpv_node list;
        if (mpv_get_property(m_mpv, "track-list", MPV_FORMAT_NODE, &list) >= 0) {
            if (list.format == MPV_FORMAT_NODE_ARRAY) {
                for (int i = 0; i < list.u.list->num && track < 0; ++i) {
                    const mpv_node &entry = list.u.list->values[i];
                    if (entry.format != MPV_FORMAT_NODE_MAP)
                        continue;
                    bool isSub = false;
                    std::int64_t id = -1, source = -1;
                    for (int k = 0; k < entry.u.list->num; ++k) {
                        const char *key = entry.u.list->keys[k];
                        const mpv_node &value = entry.u.list->values[k];
                        if (std::strcmp(key, "type") == 0 && value.format == MPV_FORMAT_STRING)
                            isSub = std::strcmp(value.u.string, "sub") == 0;
                        else if (std::strcmp(key, "id") == 0 && value.format == MPV_FORMAT_INT64)
                            id = value.u.int64;
                        else if (std::strcmp(key, "src-id") == 0 && value.format == MPV_FORMAT_INT64)
                            source = value.u.int64;
                    }
                    if (isSub && source == sourceId)
                        track = id;
                }
            }
            mpv_free_node_contents(&list);
        }
    }
    if (track >= 0)
        mpv_set_property(m_mpv, "sid", MPV_FORMAT_INT64, &track);
    else
        mpv_set_property_string(m_mpv, "sid", "no");
}

void TMpvDvdNavigator::ReadEvents()
{
    while (m_mpv) {
        mpv_event *event = mpv_wait_event(m_mpv, 0);
        if (event->event_id == MPV_EVENT_NONE)
            break;
        switch (event->event_id) {
        case MPV_EVENT_FILE_LOADED:
            m_fileLoaded = true;
            ApplySubtitles();
            emit PlaybackStarted();
            break;
        case MPV_EVENT_END_FILE:
            m_fileLoaded = false;
            emit PlaybackEnded();
            break;
        case MPV_EVENT_PROPERTY_CHANGE:
            if (event->reply_userdata == kTrackListReply && m_fileLoaded)
                ApplySubtitles();
            break;
        default:
            break;
        }
    }
}

TDiscStreamPosition TMpvDvdNavigator::StartPosition() const
{
    return m_request ? m_request->StartPosition() : TDiscStreamPosition();
}

TDiscStreamPosition TMpvDvdNavigator::ReadPosition() const
{
    return m_request ? m_request->ReadPosition() : TDiscStreamPosition();
}

bool TMpvDvdNavigator::Idle() const
{
    int idle = 1;
    if (m_mpv)
        mpv_get_property(m_mpv, "idle-active", MPV_FORMAT_FLAG, &idle);
    return idle != 0;
}

double TMpvDvdNavigator::PlaybackSeconds() const
{
    double seconds = -1;
    if (!m_mpv || mpv_get_property(m_mpv, "playback-time", MPV_FORMAT_DOUBLE, &seconds) < 0)
        return -1;
    return seconds;
}

bool TMpvDvdNavigator::Paused() const
{
    int paused = 0;
    if (m_mpv)
        mpv_get_property(m_mpv, "pause", MPV_FORMAT_FLAG, &paused);
    return paused != 0;
}

QString TMpvDvdNavigator::SubtitleTrack() const
{
    if (!m_mpv)
        return QString();
    char *value = mpv_get_property_string(m_mpv, "sid");
    const QString text = value ? QString::fromUtf8(value) : QString();
    mpv_free(value);
    return text;
}

bool TMpvDvdNavigator::SubtitlesVisible() const
{
    int visible = 0;
    if (m_mpv)
        mpv_get_property(m_mpv, "sub-visibility", MPV_FORMAT_FLAG, &visible);
    return visible != 0;
}
