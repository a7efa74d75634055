// The Theora stream over arbitrary bytes: Ogg pages, the three headers, then
// a few packets decoded and converted into a small picture. Whatever the
// headers claim, the conversion stays inside the planes and the output.
#include "shell/CTheoraStream.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 20))
        return 0;
    CTheoraStream stream;
    if (stream.Open(data, size) != TheoraOpenResult::Ok)
        return 0;
    if (stream.GetFrameWidth() > CTheoraStream::kMaxFrameSide || stream.GetFrameHeight() > CTheoraStream::kMaxFrameSide)
        std::abort();
    constexpr uint32_t kWidth = 48, kHeight = 40;
    std::vector<uint32_t> out(kWidth * kHeight);
    for (int packets = 0; packets < 16; ++packets) {
        int64_t frame = 0;
        const TheoraPacketResult result = stream.DecodeNext(frame);
        if (result == TheoraPacketResult::End)
            break;
        if (result != TheoraPacketResult::Frame)
            continue;
        (void)stream.FrameStartMilliseconds(frame);
        SYCbCrPicture picture;
        if (stream.GetPicture(picture))
            ConvertYCbCrPicture(picture, reinterpret_cast<uint8_t*>(out.data()), kWidth * 4, kWidth, kHeight);
    }
    return 0;
}
