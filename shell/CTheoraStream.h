#pragma once
// The Theora stream of an Ogg file held in memory: finds the first Theora
// logical stream, reads its three header packets, then decodes its packets
// one by one. Pages of other streams (a Vorbis track) are passed over.

#include "shell/YCbCrConversion.h"

#include <cstddef>
#include <cstdint>
#include <memory>

enum class TheoraOpenResult {
    Ok,
    // The data ended before three Theora headers were read.
    MissingHeaders,
    // The header decoder refused a Theora header.
    CorruptHeaders,
    // A pixel format other than 4:2:0, or a frame too large to decode.
    Unsupported,
};

enum class TheoraPacketResult {
    // A frame was decoded (or repeated, for an empty packet).
    Frame,
    // The packet could not be decoded; the next one may.
    Bad,
    // No packet is left.
    End,
};

class CTheoraStream {
public:
    // Frames wider or taller than this are refused before anything is
    // allocated for them.
    static constexpr uint32_t kMaxFrameSide = 4096;

    CTheoraStream();
    ~CTheoraStream();
    CTheoraStream(const CTheoraStream&) = delete;
    CTheoraStream& operator=(const CTheoraStream&) = delete;

    // Takes a copy of the file's bytes and reads the headers.
    TheoraOpenResult Open(const uint8_t* data, size_t size);
    bool IsOpen() const;

    // The next packet of the stream. On Frame, frameIndex is the frame's
    // number counted from 0 (from the granule position).
    TheoraPacketResult DecodeNext(int64_t& frameIndex);
    // The last decoded frame; false before the first.
    bool GetPicture(SYCbCrPicture& out);

    // The time frame n starts, in milliseconds, rounded up.
    int64_t FrameStartMilliseconds(int64_t frameIndex) const;
    int32_t GetMaxPostProcessingLevel();
    void SetPostProcessingLevel(int32_t level);

    uint32_t GetSerial() const;
    uint32_t GetFrameWidth() const;
    uint32_t GetFrameHeight() const;
    uint32_t GetPictureWidth() const;
    uint32_t GetPictureHeight() const;
    uint32_t GetPictureX() const;
    uint32_t GetPictureY() const;
    double GetFramesPerSecond() const;

private:
    struct SState;
    std::unique_ptr<SState> m_State;
};
