#pragma once

#include "preview/DvdNavigator.h"
#include "preview/ui/MpvDiscStream.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <memory>

struct mpv_handle;

// The preview's DVD graph on libmpv. Activate creates an mpv core that draws
// into the video window (mpv's "wid"); Render names the disc; each of
// PlayTitle, PlayChapterInTitle and PlayAtTime opens the title afresh at the
// place asked for (a disc stream read through libdvdnav, see MpvDiscStream.h).
// mpv's events arrive through its wakeup callback on the Qt event loop; no
// call here waits for playback.
class TMpvDvdNavigator : public QObject, public TDvdNavigator
{
    Q_OBJECT

public:
    struct Options
    {
        // mpv's video and audio outputs; empty for mpv's own choice. Without
        // a window system that mpv can draw into (the offscreen platform),
        // "null" is used for both whatever is given.
        QString VideoOutput;
        QString AudioOutput;
    };

    explicit TMpvDvdNavigator(QWidget *videoWindow, QObject *parent = nullptr);
    TMpvDvdNavigator(QWidget *videoWindow, const Options &options, QObject *parent = nullptr);
    ~TMpvDvdNavigator() override;

    void Activate() override;
    void Deactivate() override;
    void Clear() override;
    TGraphState State() const override { return m_state; }
    void RenderDvdVideoVolume(const QString &videoTsIfoPath, unsigned flags) override;
    void Run() override;
    void Pause() override;
    void Stop() override;
    bool PlayTitle(int title, unsigned flags) override;
    bool PlayChapterInTitle(int title, int chapter, unsigned flags) override;
    bool PlayAtTime(const TDvdTimeCode &time, unsigned flags) override;
    bool SetSubpictureState(bool on, unsigned flags) override;
    bool SelectSubpictureStream(int stream, unsigned flags) override;

    // What is playing, for the curious and for tests.
    int CurrentTitle() const { return m_title; }
    // Where the disc stream of the last play call began and how far it has
    // been read (read-ahead included).
    TDiscStreamPosition StartPosition() const;
    TDiscStreamPosition ReadPosition() const;
    bool FileLoaded() const { return m_fileLoaded; } // mpv has opened the current stream
    bool Idle() const;                               // mpv plays nothing
    double PlaybackSeconds() const;                  // mpv's playback clock, -1 when none
    bool Paused() const;                             // mpv's pause flag
    QString SubtitleTrack() const;                   // mpv's "sid": a track id, or "no"
    bool SubtitlesVisible() const;                   // mpv's "sub-visibility"

signals:
    void PlaybackStarted(); // mpv has opened the stream of a play call
    void PlaybackEnded();   // ... and has reached its end or been stopped

private:
    Q_INVOKABLE void ReadEvents();
    void Load(int title, int chapter, double seconds);
    void ApplySubtitles();
    void CheckNavigator() const;
    void DestroyCore();

    QPointer<QWidget> m_videoWindow;
    Options m_options;
    mpv_handle *m_mpv = nullptr;
    std::unique_ptr<TDiscStreamProtocol> m_protocol;
    std::shared_ptr<TDiscPlayRequest> m_request;
    TGraphState m_state = TGraphState::Uninitialized;
    QString m_device; // the folder (or device) of the rendered volume; empty when none
    bool m_hardwareDecoding = false;
    int m_title = 0;
    bool m_fileLoaded = false;
    bool m_subtitlesOn = false;
    int m_subtitleStream = -1;
};
