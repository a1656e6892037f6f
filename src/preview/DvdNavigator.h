#pragma once

#include <QString>

#include <cstdint>
#include <stdexcept>

// The DVD playback graph as the preview drives it: a graph that is built
// from a disc's VIDEO_TS.IFO, run, paused and stopped, and a navigator on it
// that plays a title, a chapter of a title or a moment of the current title,
// and turns the subpictures on and off.

enum class TGraphState { Uninitialized, Stopped, Paused, Playing };

// Hours, minutes, seconds and frames of the current title, one byte each.
struct TDvdTimeCode
{
    std::uint8_t Hours = 0;
    std::uint8_t Minutes = 0;
    std::uint8_t Seconds = 0;
    std::uint8_t Frames = 0;
};

// Render flag: prefer hardware decoding.
constexpr unsigned AM_DVD_HWDEC_PREFER = 1;
// Navigator command flags.
constexpr unsigned DVD_CMD_FLAG_None = 0;
constexpr unsigned DVD_CMD_FLAG_Flush = 1;

// Thrown by the navigator calls when there is no navigator to call (no graph,
// or no volume rendered into it).
class TNavigatorUnavailable : public std::runtime_error
{
public:
    explicit TNavigatorUnavailable(const QString &text) : std::runtime_error(text.toStdString()) {}
};

class TDvdNavigator
{
public:
    virtual ~TDvdNavigator() = default;

    // Graph life: Activate creates an empty graph; Deactivate releases it
    // (State then reads Uninitialized); Clear stops the graph and removes
    // what Render built, and does nothing when there is no graph.
    virtual void Activate() = 0;
    virtual void Deactivate() = 0;
    virtual void Clear() = 0;
    virtual TGraphState State() const = 0;

    // Builds the playback chain for the disc whose VIDEO_TS.IFO is at
    // videoTsIfoPath. Results are not reported; a volume that cannot be
    // played simply shows nothing.
    virtual void RenderDvdVideoVolume(const QString &videoTsIfoPath, unsigned flags) = 0;

    virtual void Run() = 0;
    virtual void Pause() = 0;
    virtual void Stop() = 0;

    // Navigator calls. Titles and chapters count from 1, subpicture streams
    // from 0. They return whether the command was accepted and throw
    // TNavigatorUnavailable when there is no rendered graph.
    virtual bool PlayTitle(int title, unsigned flags) = 0;
    virtual bool PlayChapterInTitle(int title, int chapter, unsigned flags) = 0;
    virtual bool PlayAtTime(const TDvdTimeCode &time, unsigned flags) = 0;
    virtual bool SetSubpictureState(bool on, unsigned flags) = 0;
    virtual bool SelectSubpictureStream(int stream, unsigned flags) = 0;
};

QString GraphStateName(TGraphState state);
