#include "SoundFiles.h"

#include <ogg/ogg.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

std::string Le16(uint16_t value)
{
    return std::string{char(value & 0xFF), char(value >> 8)};
}

std::string Le32(uint32_t value)
{
    return Le16(uint16_t(value)) + Le16(uint16_t(value >> 16));
}

std::string Pcm16(const std::vector<int16_t>& samples)
{
    std::string bytes;
    for (int16_t s : samples)
        bytes += Le16(uint16_t(s));
    return bytes;
}

CWaveBuilder& CWaveBuilder::Format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, uint16_t blockAlign,
                                   const std::string& extra)
{
    if (blockAlign == 0)
        blockAlign = uint16_t(channels * bits / 8);
    std::string fmt
        = Le16(tag) + Le16(channels) + Le32(rate) + Le32(rate * blockAlign) + Le16(blockAlign) + Le16(bits) + extra;
    return Chunk("fmt ", fmt);
}

CWaveBuilder& CWaveBuilder::Chunk(const std::string& id, const std::string& data)
{
    m_Chunks += id.substr(0, 4) + Le32(uint32_t(data.size())) + data;
    if (m_Pad && (data.size() & 1))
        m_Chunks += '\0';
    return *this;
}

CWaveBuilder& CWaveBuilder::Fact(uint32_t frames)
{
    return Chunk("fact", Le32(frames));
}

CWaveBuilder& CWaveBuilder::RiffSize(uint32_t size)
{
    m_RiffSizeSet = true;
    m_RiffSize = size;
    return *this;
}

CWaveBuilder& CWaveBuilder::WithoutPadding()
{
    m_Pad = false;
    return *this;
}

std::string CWaveBuilder::Build() const
{
    const uint32_t size = m_RiffSizeSet ? m_RiffSize : uint32_t(4 + m_Chunks.size());
    return "RIFF" + Le32(size) + "WAVE" + m_Chunks;
}

std::vector<int16_t> Sine(uint32_t frames, uint16_t channels, double period, double amplitude)
{
    std::vector<int16_t> samples;
    for (uint32_t i = 0; i < frames; ++i)
        for (uint16_t c = 0; c < channels; ++c)
            samples.push_back(int16_t(
                std::lround(amplitude * 32767.0 * std::sin(2.0 * M_PI * (double(i) + c * period / 4) / period))));
    return samples;
}

std::vector<int16_t> Noise(size_t count)
{
    std::vector<int16_t> noise(count);
    uint32_t seed = 1;
    for (int16_t& sample : noise)
        sample = int16_t((seed = seed * 1103515245u + 12345u) >> 16);
    return noise;
}

// --- IMA ADPCM ---

namespace {

const int kImaSteps[89]
    = {7,    8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,   28,
       31,   34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,  118,
       130,  143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,  494,
       544,  598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878, 2066,
       2272, 2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845, 8630,
       9493, 10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
const int kImaIndex[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

struct ImaChannel {
    int predictor = 0;
    int index = 0;

    int Decode(uint8_t nibble)
    {
        const int step = kImaSteps[index];
        int delta = step >> 3;
        if (nibble & 4)
            delta += step;
        if (nibble & 2)
            delta += step >> 1;
        if (nibble & 1)
            delta += step >> 2;
        predictor = std::clamp(nibble & 8 ? predictor - delta : predictor + delta, -32768, 32767);
        index = std::clamp(index + kImaIndex[nibble], 0, 88);
        return predictor;
    }
};

} // namespace

ImaAdpcm RandomImaAdpcm(uint32_t frames, uint16_t channels, uint16_t blockAlign)
{
    ImaAdpcm out;
    out.blockAlign = blockAlign;
    out.framesPerBlock = uint16_t((blockAlign - 4u * channels) * 2 / channels + 1);
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return uint8_t(seed >> 16);
    };
    for (uint32_t first = 0; first < frames; first += out.framesPerBlock) {
        std::vector<ImaChannel> state(channels);
        std::vector<std::vector<int16_t>> decoded(channels);
        for (uint16_t c = 0; c < channels; ++c) {
            state[c].predictor = int16_t(next() | next() << 8);
            state[c].index = next() % 89;
            out.data += Le16(uint16_t(state[c].predictor)) + char(state[c].index) + '\0';
            decoded[c].push_back(int16_t(state[c].predictor));
        }
        // Groups of 8 frames per channel in 4 bytes, low nibble first.
        for (uint32_t group = 0; group < (out.framesPerBlock - 1u) / 8; ++group)
            for (uint16_t c = 0; c < channels; ++c)
                for (int i = 0; i < 4; ++i) {
                    const uint8_t byte = next();
                    out.data += char(byte);
                    decoded[c].push_back(int16_t(state[c].Decode(byte & 15)));
                    decoded[c].push_back(int16_t(state[c].Decode(byte >> 4)));
                }
        for (size_t i = 0; i < decoded[0].size(); ++i)
            for (uint16_t c = 0; c < channels; ++c)
                out.decoded.push_back(decoded[c][i]);
    }
    return out;
}

std::string ImaWaveFile(const ImaAdpcm& adpcm, uint16_t channels, uint32_t rate, uint32_t factFrames)
{
    return CWaveBuilder()
        .Format(0x11, channels, rate, 4, adpcm.blockAlign, Le16(2) + Le16(adpcm.framesPerBlock))
        .Fact(factFrames)
        .Data(adpcm.data)
        .Build();
}

// --- Vorbis ---

std::string EncodeVorbis(const std::vector<int16_t>& samples, uint16_t channels, uint32_t rate, float quality,
                         int serial, size_t commentBytes)
{
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, long(rate), quality) != 0)
        std::abort();
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, serial);

    std::string out;
    ogg_page page;
    auto flush = [&] {
        while (ogg_stream_flush(&stream, &page)) {
            out.append(reinterpret_cast<const char*>(page.header), size_t(page.header_len));
            out.append(reinterpret_cast<const char*>(page.body), size_t(page.body_len));
        }
    };
    ogg_packet headers[3];
    vorbis_analysis_headerout(&dsp, &comment, &headers[0], &headers[1], &headers[2]);
    // A long comment made here: the library's writer grows its buffer a few
    // bytes at a time. Type 3, "vorbis", the vendor, one comment, framing bit.
    const std::string tag = "PADDING=" + std::string(commentBytes, 'p');
    std::string longComment = "\3vorbis" + Le32(0) + Le32(1) + Le32(uint32_t(tag.size())) + tag + '\1';
    if (commentBytes) {
        headers[1].packet = reinterpret_cast<unsigned char*>(longComment.data());
        headers[1].bytes = long(longComment.size());
    }
    for (ogg_packet& header : headers)
        ogg_stream_packetin(&stream, &header);
    flush();

    const int frames = int(samples.size() / channels);
    if (frames > 0) {
        float** buffer = vorbis_analysis_buffer(&dsp, frames);
        for (int i = 0; i < frames; ++i)
            for (uint16_t c = 0; c < channels; ++c)
                buffer[c][i] = float(samples[size_t(i) * channels + c]) / 32768.0f;
        vorbis_analysis_wrote(&dsp, frames);
    }
    vorbis_analysis_wrote(&dsp, 0);
    ogg_packet packet;
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
        vorbis_analysis(&block, nullptr);
        vorbis_bitrate_addblock(&block);
        while (vorbis_bitrate_flushpacket(&dsp, &packet))
            ogg_stream_packetin(&stream, &packet);
    }
    flush();
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

std::string WithLastGranule(const std::string& ogg, int64_t granule)
{
    std::string out = ogg;
    const size_t start = out.rfind("OggS");
    if (start == std::string::npos || out.size() < start + 27)
        return out;
    // Page header: "OggS", version, type, granule (8 bytes at 6), serial,
    // sequence, checksum (at 22), segment count (at 26), lacing values.
    auto* header = reinterpret_cast<unsigned char*>(out.data() + start);
    for (int i = 0; i < 8; ++i)
        header[6 + i] = uint8_t(uint64_t(granule) >> (8 * i));
    const long headerBytes = 27 + header[26];
    ogg_page page;
    page.header = header;
    page.header_len = headerBytes;
    page.body = header + headerBytes;
    page.body_len = long(out.size() - start) - headerBytes;
    ogg_page_checksum_set(&page);
    return out;
}

std::string EmptyOggPage(int serial, uint32_t sequence, bool rightChecksum)
{
    // Granule -1: no packet ends here.
    std::string out = "OggS" + std::string(2, '\0') + std::string(8, '\xFF') + Le32(uint32_t(serial)) + Le32(sequence)
        + std::string(5, '\0');
    auto* header = reinterpret_cast<unsigned char*>(out.data());
    ogg_page page{header, 27, header + 27, 0};
    ogg_page_checksum_set(&page);
    header[22] ^= rightChecksum ? 0 : 1;
    return out;
}
