#include "TheoraClips.h"

#include <ogg/ogg.h>
#include <theora/theoraenc.h>
#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr uint32_t kAudioRate = 22050;

void Append(std::string& out, const ogg_page& page)
{
    out.append(reinterpret_cast<const char*>(page.header), size_t(page.header_len));
    out.append(reinterpret_cast<const char*>(page.body), size_t(page.body_len));
}

struct SAudio {
    vorbis_info info;
    vorbis_comment comment;
    vorbis_dsp_state dsp;
    vorbis_block block;
    ogg_stream_state stream;
    uint64_t written = 0;

    SAudio()
    {
        vorbis_info_init(&info);
        if (vorbis_encode_init_vbr(&info, 1, kAudioRate, 0.1f) != 0)
            std::abort();
        vorbis_comment_init(&comment);
        vorbis_analysis_init(&dsp, &info);
        vorbis_block_init(&dsp, &block);
        ogg_stream_init(&stream, 0x5A5A);
    }
    ~SAudio()
    {
        ogg_stream_clear(&stream);
        vorbis_block_clear(&block);
        vorbis_dsp_clear(&dsp);
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
    }
    // Samples up to the given count in total (0 ends the stream), and the pages they filled.
    void Feed(uint64_t total, bool end, std::string& out)
    {
        if (total > written) {
            const int count = int(total - written);
            float** buffer = vorbis_analysis_buffer(&dsp, count);
            for (int i = 0; i < count; ++i)
                buffer[0][i] = 0.25f * float(std::sin(double(written + uint64_t(i)) * 0.05));
            vorbis_analysis_wrote(&dsp, count);
            written = total;
        }
        if (end)
            vorbis_analysis_wrote(&dsp, 0);
        ogg_packet packet;
        ogg_page page;
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page))
                    Append(out, page);
            }
        }
        if (end)
            while (ogg_stream_flush(&stream, &page))
                Append(out, page);
    }
};

void FillPlane(std::vector<uint8_t>& plane, uint32_t width, uint32_t height, uint32_t fromRow, uint32_t toRow,
               uint8_t value)
{
    for (uint32_t r = fromRow; r < toRow && r < height; ++r)
        std::memset(plane.data() + size_t(r) * width, value, width);
}

} // namespace

std::string MakeTheoraClip(const SClipOptions& options)
{
    th_info info;
    th_info_init(&info);
    info.pic_width = options.width;
    info.pic_height = options.height;
    info.pic_x = options.picX;
    info.pic_y = options.picY;
    info.frame_width = (options.picX + options.width + 15) & ~15u;
    info.frame_height = (options.picY + options.height + 15) & ~15u;
    info.fps_numerator = options.fpsNumerator;
    info.fps_denominator = options.fpsDenominator;
    info.aspect_numerator = 1;
    info.aspect_denominator = 1;
    info.colorspace = TH_CS_UNSPECIFIED;
    info.pixel_fmt = TH_PF_420;
    info.target_bitrate = 0;
    info.quality = options.quality;
    th_enc_ctx* encoder = th_encode_alloc(&info);
    if (!encoder)
        std::abort();
    th_comment comment;
    th_comment_init(&comment);
    ogg_stream_state video;
    ogg_stream_init(&video, 0x7E0);
    SAudio* audio = options.withVorbis ? new SAudio : nullptr;

    std::string out;
    ogg_packet packet;
    ogg_page page;
    // Every beginning-of-stream page first, then the other headers.
    if (th_encode_flushheader(encoder, &comment, &packet) <= 0)
        std::abort();
    ogg_stream_packetin(&video, &packet);
    while (ogg_stream_flush(&video, &page))
        Append(out, page);
    ogg_packet vorbisHeaders[3];
    if (audio) {
        vorbis_analysis_headerout(&audio->dsp, &audio->comment, &vorbisHeaders[0], &vorbisHeaders[1],
                                  &vorbisHeaders[2]);
        ogg_stream_packetin(&audio->stream, &vorbisHeaders[0]);
        while (ogg_stream_flush(&audio->stream, &page))
            Append(out, page);
    }
    while (th_encode_flushheader(encoder, &comment, &packet) > 0)
        ogg_stream_packetin(&video, &packet);
    while (ogg_stream_flush(&video, &page))
        Append(out, page);
    if (audio) {
        ogg_stream_packetin(&audio->stream, &vorbisHeaders[1]);
        ogg_stream_packetin(&audio->stream, &vorbisHeaders[2]);
        while (ogg_stream_flush(&audio->stream, &page))
            Append(out, page);
    }

    const uint32_t frameWidth = info.frame_width;
    const uint32_t frameHeight = info.frame_height;
    std::vector<uint8_t> y(size_t(frameWidth) * frameHeight), cb(y.size() / 4), cr(y.size() / 4);
    const uint32_t count = options.content == ClipContent::Flat ? uint32_t(options.frames.size()) : options.frameCount;
    for (uint32_t f = 0; f < count; ++f) {
        if (options.content == ClipContent::Flat) {
            const SClipFrame& frame = options.frames[f];
            const uint32_t middle = options.picY + options.height / 2;
            FillPlane(y, frameWidth, frameHeight, 0, middle, frame.top.y);
            FillPlane(y, frameWidth, frameHeight, middle, frameHeight, frame.bottom.y);
            FillPlane(cb, frameWidth / 2, frameHeight / 2, 0, middle / 2, frame.top.cb);
            FillPlane(cb, frameWidth / 2, frameHeight / 2, middle / 2, frameHeight / 2, frame.bottom.cb);
            FillPlane(cr, frameWidth / 2, frameHeight / 2, 0, middle / 2, frame.top.cr);
            FillPlane(cr, frameWidth / 2, frameHeight / 2, middle / 2, frameHeight / 2, frame.bottom.cr);
        } else {
            // Gradients and a grid drifting by a few pixels a frame.
            for (uint32_t r = 0; r < frameHeight; ++r)
                for (uint32_t c = 0; c < frameWidth; ++c)
                    y[size_t(r) * frameWidth + c]
                        = uint8_t(16 + ((c + 3 * f) * 7 + (r + 2 * f) * 3) % 200 + (((c + f) / 8 + r / 8) % 2) * 20);
            for (uint32_t r = 0; r < frameHeight / 2; ++r)
                for (uint32_t c = 0; c < frameWidth / 2; ++c) {
                    cb[size_t(r) * (frameWidth / 2) + c] = uint8_t(64 + (c * 2 + f) % 128);
                    cr[size_t(r) * (frameWidth / 2) + c] = uint8_t(64 + (r * 2 + 2 * f) % 128);
                }
        }
        th_ycbcr_buffer planes;
        planes[0] = {int(frameWidth), int(frameHeight), int(frameWidth), y.data()};
        planes[1] = {int(frameWidth / 2), int(frameHeight / 2), int(frameWidth / 2), cb.data()};
        planes[2] = {int(frameWidth / 2), int(frameHeight / 2), int(frameWidth / 2), cr.data()};
        if (th_encode_ycbcr_in(encoder, planes) != 0)
            std::abort();
        while (th_encode_packetout(encoder, f + 1 == count, &packet) > 0) {
            ogg_stream_packetin(&video, &packet);
            while (ogg_stream_flush(&video, &page)) {
                if (int64_t(f) == options.bogusGranuleFrame) {
                    const uint64_t bogus = uint64_t(1) << 50;
                    for (int i = 0; i < 8; ++i)
                        page.header[6 + i] = uint8_t(bogus >> (8 * i));
                    ogg_page_checksum_set(&page);
                }
                Append(out, page);
            }
        }
        if (audio)
            audio->Feed(uint64_t(f + 1) * kAudioRate * options.fpsDenominator / options.fpsNumerator, f + 1 == count,
                        out);
    }
    delete audio;
    ogg_stream_clear(&video);
    th_comment_clear(&comment);
    th_encode_free(encoder);
    th_info_clear(&info);
    return out;
}
