#include "preview/ui/MpvDiscStream.h"

#include <mpv/client.h>
#include <mpv/stream_cb.h>

#include <dvdnav/dvdnav.h>

#include <atomic>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

TDiscStreamPosition TDiscPlayRequest::StartPosition() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_start;
}

TDiscStreamPosition TDiscPlayRequest::ReadPosition() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_read;
}

bool TDiscPlayRequest::Opened() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_opened;
}

bool TDiscPlayRequest::Finished() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_finished;
}

int TDiscPlayRequest::PhysicalSubpictureStream(int logical) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_opened || logical < 0 || logical >= int(m_logicalToPhysical.size()))
        return -1;
    return m_logicalToPhysical[logical];
}

void TDiscPlayRequest::SetOpened(const std::array<int, 32> &logicalToPhysical)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_opened = true;
    m_logicalToPhysical = logicalToPhysical;
}

void TDiscPlayRequest::SetStart(const TDiscStreamPosition &position)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_started) {
        m_started = true;
        m_start = position;
    }
    m_read = position;
}

void TDiscPlayRequest::SetRead(const TDiscStreamPosition &position)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_read = position;
}

void TDiscPlayRequest::SetFinished()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_finished = true;
}

namespace {

// libdvdnav and libdvdread talk on stderr about every folder they open
// ("not a DVD-ROM device", the CSS notice); the preview has no use for it.
void QuietLog(void *, dvdnav_logger_level_t, const char *, va_list) {}
const dvdnav_logger_cb kQuietLogger = {QuietLog};

// Enough events without a data block to be sure the disc is looping in a
// menu or between still pictures.
constexpr int kMaxEventsWithoutData = 20000;

struct TDiscStream
{
    dvdnav_t *nav = nullptr;
    std::shared_ptr<TDiscPlayRequest> request;
    std::uint8_t block[DVD_VIDEO_LB_LEN];
    int have = 0;
    int offset = 0;
    bool positioned = false;
    bool finished = false;
    int lastCell = 0;
    std::atomic<bool> cancelled{false};

    ~TDiscStream()
    {
        if (nav)
            dvdnav_close(nav);
    }

    std::int64_t Finish()
    {
        finished = true;
        request->SetFinished();
        return 0;
    }

    // The part of the title the request asks for, as it is read: the title's
    // cells in order from the start point; leaving the title (the end of the
    // chain, a jump to a menu or another title, the chain starting over) ends
    // the stream.
    std::int64_t Read(char *buffer, std::uint64_t size)
    {
        if (finished || cancelled)
            return 0;
        int events = 0;
        while (have == 0) {
            if (cancelled)
                return 0;
            int event = DVDNAV_NOP;
            int length = 0;
            std::uint8_t *data = block;
            if (dvdnav_get_next_block(nav, data, &event, &length) != DVDNAV_STATUS_OK)
                return Finish();
            switch (event) {
            case DVDNAV_BLOCK_OK:
            case DVDNAV_NAV_PACKET: {
                std::int32_t title = 0, part = 0;
                dvdnav_current_title_info(nav, &title, &part);
                if (title != request->Title)
                    return Finish();
                if (!positioned) {
                    positioned = true;
                    std::array<int, 32> map;
                    map.fill(-1);
                    for (int physical = 0; physical < 32; ++physical) {
                        const int logical = dvdnav_get_spu_logical_stream(nav, std::uint8_t(physical));
                        if (logical >= 0 && logical < 32 && map[logical] < 0)
                            map[logical] = physical;
                    }
                    request->SetOpened(map);
                    if (request->StartSeconds >= 0 &&
                        dvdnav_time_search(nav, std::uint64_t(request->StartSeconds * 90000.0)) ==
                            DVDNAV_STATUS_OK) {
                        lastCell = 0;
                        continue; // this block lies before the moment asked for
                    }
                }
                request->SetStart({title, part, double(dvdnav_get_current_time(nav)) / 90000.0});
                have = DVD_VIDEO_LB_LEN;
                offset = 0;
                break;
            }
            case DVDNAV_STILL_FRAME:
                dvdnav_still_skip(nav);
                break;
            case DVDNAV_WAIT:
                dvdnav_wait_skip(nav);
                break;
            case DVDNAV_STOP:
                return Finish();
            case DVDNAV_CELL_CHANGE: {
                const auto *change = reinterpret_cast<const dvdnav_cell_change_event_t *>(data);
                if (positioned && (!dvdnav_is_domain_vts(nav) || (lastCell > 0 && change->cellN <= lastCell)))
                    return Finish();
                lastCell = change->cellN;
                break;
            }
            default:
                break;
            }
            if (have == 0 && ++events > kMaxEventsWithoutData)
                return Finish();
        }
        const int count = size < std::uint64_t(have) ? int(size) : have;
        std::memcpy(buffer, block + offset, std::size_t(count));
        offset += count;
        have -= count;
        return count;
    }
};

std::int64_t StreamRead(void *cookie, char *buffer, std::uint64_t size)
{
    return static_cast<TDiscStream *>(cookie)->Read(buffer, size);
}

void StreamClose(void *cookie)
{
    delete static_cast<TDiscStream *>(cookie);
}

void StreamCancel(void *cookie)
{
    static_cast<TDiscStream *>(cookie)->cancelled = true;
}

int StreamOpen(void *userData, char *uri, mpv_stream_cb_info *info)
{
    auto *protocol = static_cast<TDiscStreamProtocol *>(userData);
    const std::string text(uri);
    const std::string prefix = std::string(TDiscStreamProtocol::Scheme) + "://";
    if (text.compare(0, prefix.size(), prefix) != 0)
        return MPV_ERROR_LOADING_FAILED;
    const unsigned long long id = std::strtoull(text.c_str() + prefix.size(), nullptr, 10);
    std::shared_ptr<TDiscPlayRequest> request = protocol->Take(id);
    if (!request)
        return MPV_ERROR_LOADING_FAILED;

    auto stream = std::make_unique<TDiscStream>();
    stream->request = request;
    if (dvdnav_open2(&stream->nav, nullptr, &kQuietLogger, request->Device.c_str()) != DVDNAV_STATUS_OK) {
        stream->nav = nullptr;
        request->SetFinished();
        return MPV_ERROR_LOADING_FAILED;
    }
    dvdnav_set_readahead_flag(stream->nav, 1);
    dvdnav_set_PGC_positioning_flag(stream->nav, 1);
    const dvdnav_status_t status = request->Chapter > 0
                                       ? dvdnav_part_play(stream->nav, request->Title, request->Chapter)
                                       : dvdnav_title_play(stream->nav, request->Title);
    if (status != DVDNAV_STATUS_OK) {
        request->SetFinished();
        return MPV_ERROR_LOADING_FAILED;
    }
    info->cookie = stream.release();
    info->read_fn = StreamRead;
    info->seek_fn = nullptr;
    info->size_fn = nullptr;
    info->close_fn = StreamClose;
    info->cancel_fn = StreamCancel;
    return 0;
}

} // namespace

bool TDiscStreamProtocol::Register(mpv_handle *mpv)
{
    return mpv_stream_cb_add_ro(mpv, Scheme, this, StreamOpen) >= 0;
}

std::string TDiscStreamProtocol::Offer(std::shared_ptr<TDiscPlayRequest> request)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_offeredId = m_nextId++;
    m_offered = std::move(request);
    return std::string(Scheme) + "://" + std::to_string(m_offeredId);
}

std::shared_ptr<TDiscPlayRequest> TDiscStreamProtocol::Take(unsigned long long id)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (id != m_offeredId)
        return nullptr;
    return m_offered;
}
