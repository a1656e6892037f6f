#pragma once

#include <array>
#include <memory>
#include <mutex>
#include <string>

struct mpv_handle;

// A disc stream for mpv: the MPEG program stream of one title of a DVD-Video
// folder or disc, read block by block through libdvdnav from a given title,
// chapter or moment of the title up to the end of that title. mpv's own
// dvd:// support is not used: Debian's libmpv 0.35 often reports the first
// title's length and chapters while it plays another title (so its chapter
// and time seeks land in the wrong place), and at the end of a title it
// plays on into whatever the disc's commands jump to.

// Where the disc reader stood: title and chapter count from 1, Seconds from
// the start of the title (-1 until a block has been read).
struct TDiscStreamPosition
{
    int Title = 0;
    int Chapter = 0;
    double Seconds = -1;
};

// One request to play, shared between the navigator (GUI thread) and the
// stream that mpv opens for it (mpv's demuxer thread).
class TDiscPlayRequest
{
public:
    TDiscPlayRequest(std::string device, int title, int chapter, double seconds)
        : Device(std::move(device)), Title(title), Chapter(chapter), StartSeconds(seconds)
    {
    }

    const std::string Device;  // the folder holding VIDEO_TS.IFO, or a device or image
    const int Title;           // from 1
    const int Chapter;         // from 1, or 0 for the start of the title
    const double StartSeconds; // moment of the title to start at, or -1

    TDiscStreamPosition StartPosition() const;
    TDiscStreamPosition ReadPosition() const;
    bool Opened() const;   // the disc was opened and the title found
    bool Finished() const; // the title's last block has been handed to mpv
    // The MPEG subpicture stream (0..31) that carries logical stream
    // `logical`, or -1 when the title does not map it.
    int PhysicalSubpictureStream(int logical) const;

    // Called by the stream only.
    void SetOpened(const std::array<int, 32> &logicalToPhysical);
    void SetStart(const TDiscStreamPosition &position);
    void SetRead(const TDiscStreamPosition &position);
    void SetFinished();

private:
    mutable std::mutex m_mutex;
    bool m_opened = false;
    bool m_finished = false;
    bool m_started = false;
    TDiscStreamPosition m_start;
    TDiscStreamPosition m_read;
    std::array<int, 32> m_logicalToPhysical{};
};

// The protocol that mpv opens the requests with: "velmoradvd://<n>".
class TDiscStreamProtocol
{
public:
    static constexpr const char *Scheme = "velmoradvd";

    // Registers the protocol on an mpv core (after mpv_initialize). The
    // protocol object must outlive the core.
    bool Register(mpv_handle *mpv);
    // Makes request the one that the next opened URL plays, and returns that URL.
    std::string Offer(std::shared_ptr<TDiscPlayRequest> request);

    std::shared_ptr<TDiscPlayRequest> Take(unsigned long long id);

private:
    std::mutex m_mutex;
    unsigned long long m_nextId = 1;
    unsigned long long m_offeredId = 0;
    std::shared_ptr<TDiscPlayRequest> m_offered;
};
