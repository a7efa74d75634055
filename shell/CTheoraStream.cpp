#include "shell/CTheoraStream.h"

#include <ogg/ogg.h>
#include <theora/theoradec.h>

#include <cmath>
#include <cstring>

struct CTheoraStream::SState {
    ogg_sync_state sync;
    ogg_stream_state stream;
    th_info info;
    th_comment comment;
    th_setup_info* setup = nullptr;
    th_dec_ctx* decoder = nullptr;
    bool streamStarted = false;
    bool decoded = false;

    SState()
    {
        ogg_sync_init(&sync);
        th_info_init(&info);
        th_comment_init(&comment);
    }
    ~SState()
    {
        if (decoder)
            th_decode_free(decoder);
        if (setup)
            th_setup_free(setup);
        th_comment_clear(&comment);
        th_info_clear(&info);
        if (streamStarted)
            ogg_stream_clear(&stream);
        ogg_sync_clear(&sync);
    }

    // Takes the next page of the data; false when none is left. Bytes the
    // sync layer skipped (a damaged page) are passed over.
    bool NextPage(ogg_page& page)
    {
        for (;;) {
            const int result = ogg_sync_pageout(&sync, &page);
            if (result > 0)
                return true;
            if (result == 0)
                return false;
        }
    }

    TheoraOpenResult ReadHeaders()
    {
        int headers = 0;
        ogg_page page;
        ogg_packet packet;
        while (headers < 3) {
            if (streamStarted) {
                const int peeked = ogg_stream_packetpeek(&stream, &packet);
                if (peeked < 0) {
                    ogg_stream_packetout(&stream, &packet);
                    continue;
                }
                if (peeked > 0) {
                    // 0 would be a video packet before the last header.
                    if (th_decode_headerin(&info, &comment, &setup, &packet) <= 0)
                        return TheoraOpenResult::CorruptHeaders;
                    ogg_stream_packetout(&stream, &packet);
                    ++headers;
                    continue;
                }
            }
            if (!NextPage(page))
                return TheoraOpenResult::MissingHeaders;
            if (streamStarted) {
                // Pages of other streams are refused here, as they should be.
                ogg_stream_pagein(&stream, &page);
                continue;
            }
            if (!ogg_page_bos(&page))
                continue;
            ogg_stream_state probe;
            ogg_stream_init(&probe, ogg_page_serialno(&page));
            ogg_stream_pagein(&probe, &page);
            if (ogg_stream_packetpeek(&probe, &packet) > 0) {
                const int result = th_decode_headerin(&info, &comment, &setup, &packet);
                if (result > 0) {
                    ogg_stream_packetout(&probe, &packet);
                    stream = probe;
                    streamStarted = true;
                    headers = 1;
                    continue;
                }
                if (result != TH_ENOTFORMAT) {
                    ogg_stream_clear(&probe);
                    return TheoraOpenResult::CorruptHeaders;
                }
            }
            ogg_stream_clear(&probe);
        }
        return TheoraOpenResult::Ok;
    }
};

CTheoraStream::CTheoraStream() = default;
CTheoraStream::~CTheoraStream() = default;

TheoraOpenResult CTheoraStream::Open(const uint8_t* data, size_t size)
{
    m_State = std::make_unique<SState>();
    SState& s = *m_State;
    if (size > 0) {
        char* buffer = ogg_sync_buffer(&s.sync, long(size));
        if (!buffer) {
            m_State.reset();
            return TheoraOpenResult::MissingHeaders;
        }
        std::memcpy(buffer, data, size);
        ogg_sync_wrote(&s.sync, long(size));
    }
    TheoraOpenResult result = s.ReadHeaders();
    if (result == TheoraOpenResult::Ok) {
        const th_info& info = s.info;
        if (info.pixel_fmt != TH_PF_420 || info.frame_width > kMaxFrameSide || info.frame_height > kMaxFrameSide
            || info.fps_numerator == 0 || info.fps_denominator == 0)
            result = TheoraOpenResult::Unsupported;
        else if (!(s.decoder = th_decode_alloc(&s.info, s.setup)))
            result = TheoraOpenResult::CorruptHeaders;
    }
    if (s.setup) {
        th_setup_free(s.setup);
        s.setup = nullptr;
    }
    if (result != TheoraOpenResult::Ok)
        m_State.reset();
    return result;
}

bool CTheoraStream::IsOpen() const
{
    return m_State != nullptr;
}

TheoraPacketResult CTheoraStream::DecodeNext(int64_t& frameIndex)
{
    if (!m_State)
        return TheoraPacketResult::End;
    SState& s = *m_State;
    ogg_packet packet;
    ogg_page page;
    for (;;) {
        const int result = ogg_stream_packetout(&s.stream, &packet);
        if (result < 0)
            continue; // a gap in the stream: go on after it
        if (result > 0)
            break;
        if (!s.NextPage(page))
            return TheoraPacketResult::End;
        ogg_stream_pagein(&s.stream, &page);
    }
    if (packet.granulepos >= 0) {
        ogg_int64_t granule = packet.granulepos;
        th_decode_ctl(s.decoder, TH_DECCTL_SET_GRANPOS, &granule, sizeof granule);
    }
    ogg_int64_t granule = -1;
    const int decoded = th_decode_packetin(s.decoder, &packet, &granule);
    if (decoded != 0 && decoded != TH_DUPFRAME)
        return TheoraPacketResult::Bad;
    s.decoded = true;
    frameIndex = th_granule_frame(s.decoder, granule);
    return TheoraPacketResult::Frame;
}

bool CTheoraStream::GetPicture(SYCbCrPicture& out)
{
    if (!m_State || !m_State->decoded)
        return false;
    th_ycbcr_buffer planes;
    if (th_decode_ycbcr_out(m_State->decoder, planes) != 0)
        return false;
    const th_info& info = m_State->info;
    out.y = {planes[0].data, planes[0].stride};
    out.cb = {planes[1].data, planes[1].stride};
    out.cr = {planes[2].data, planes[2].stride};
    out.frameWidth = uint32_t(planes[0].width);
    out.frameHeight = uint32_t(planes[0].height);
    out.picX = info.pic_x;
    out.picY = info.pic_y;
    out.picWidth = info.pic_width;
    out.picHeight = info.pic_height;
    return true;
}

int64_t CTheoraStream::FrameStartMilliseconds(int64_t frameIndex) const
{
    if (!m_State || frameIndex <= 0)
        return 0;
    const th_info& info = m_State->info;
    const double ms
        = std::ceil(double(frameIndex) * 1000.0 * double(info.fps_denominator) / double(info.fps_numerator));
    // A bogus granule position must not overflow the clock arithmetic.
    constexpr double kLimit = 4.0e18;
    return ms >= kLimit ? int64_t(kLimit) : int64_t(ms);
}

int32_t CTheoraStream::GetMaxPostProcessingLevel()
{
    int level = 0;
    if (m_State && th_decode_ctl(m_State->decoder, TH_DECCTL_GET_PPLEVEL_MAX, &level, sizeof level) != 0)
        level = 0;
    return level;
}

void CTheoraStream::SetPostProcessingLevel(int32_t level)
{
    if (!m_State)
        return;
    int value = level;
    th_decode_ctl(m_State->decoder, TH_DECCTL_SET_PPLEVEL, &value, sizeof value);
}

uint32_t CTheoraStream::GetSerial() const
{
    return m_State ? uint32_t(m_State->stream.serialno) : 0;
}

uint32_t CTheoraStream::GetFrameWidth() const
{
    return m_State ? m_State->info.frame_width : 0;
}

uint32_t CTheoraStream::GetFrameHeight() const
{
    return m_State ? m_State->info.frame_height : 0;
}

uint32_t CTheoraStream::GetPictureWidth() const
{
    return m_State ? m_State->info.pic_width : 0;
}

uint32_t CTheoraStream::GetPictureHeight() const
{
    return m_State ? m_State->info.pic_height : 0;
}

uint32_t CTheoraStream::GetPictureX() const
{
    return m_State ? m_State->info.pic_x : 0;
}

uint32_t CTheoraStream::GetPictureY() const
{
    return m_State ? m_State->info.pic_y : 0;
}

double CTheoraStream::GetFramesPerSecond() const
{
    return m_State ? double(m_State->info.fps_numerator) / double(m_State->info.fps_denominator) : 0.0;
}
