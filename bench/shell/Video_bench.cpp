// The video player's per-frame work on the logo clip's size: decoding a
// 544 x 400 Theora frame, converting it to 32 bits and stretching it over a
// 1024 x 768 buffer with "Normal Scale". FramesPerSecond is the whole
// frame's rate on one core and ClipRates that rate over the clip's own
// (30 frames a second; the goal is at least 4). The conversion alone, plain
// and as used, is beside it in pixels per second.
#include "shell/CTheoraStream.h"
#include "shell/YCbCrConversion.h"

#include "TheoraClips.h"
#include "blit/CBlitTypeList.h"
#include "images/CFrame.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr uint32_t kClipWidth = 544, kClipHeight = 400, kClipFps = 30;

const std::string& Clip()
{
    static const std::string clip = [] {
        SClipOptions options;
        options.width = kClipWidth;
        options.height = kClipHeight;
        options.quality = 48;
        options.fpsNumerator = kClipFps;
        options.content = ClipContent::Moving;
        options.frameCount = 60;
        return MakeTheoraClip(options);
    }();
    return clip;
}

void Open(CTheoraStream& stream)
{
    const std::string& clip = Clip();
    if (stream.Open(reinterpret_cast<const uint8_t*>(clip.data()), clip.size()) != TheoraOpenResult::Ok)
        std::abort();
    stream.SetPostProcessingLevel(stream.GetMaxPostProcessingLevel());
}

void DecodeConvertAndScale(benchmark::State& state)
{
    CTheoraStream stream;
    Open(stream);
    CFrame picture, screen;
    picture.Create(kClipWidth, kClipHeight, 32);
    screen.Create(1024, 768, 32);
    CBlitTypeList& list = CBlitTypeList::SGetInstance();
    CBlitType* scale = list.GetBlitType(list.Find("Normal Scale"));
    CRect source, whole{0, 0, 1024, 768};
    picture.GetBounds(source);
    for (auto _ : state) {
        int64_t frame = 0;
        TheoraPacketResult result;
        while ((result = stream.DecodeNext(frame)) != TheoraPacketResult::Frame) {
            if (result == TheoraPacketResult::End)
                Open(stream);
        }
        SYCbCrPicture decoded;
        stream.GetPicture(decoded);
        ConvertYCbCrPicture(decoded, picture.GetPixels(), picture.GetPitch() * 4, kClipWidth, kClipHeight);
        screen.Blit(picture, source, whole, *scale);
        benchmark::DoNotOptimize(screen.GetPixels());
    }
    state.counters["FramesPerSecond"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["ClipRates"]
        = benchmark::Counter(double(state.iterations()) / kClipFps, benchmark::Counter::kIsRate);
}
BENCHMARK(DecodeConvertAndScale)->Unit(benchmark::kMillisecond);

void Conversion(benchmark::State& state)
{
    SetPlainYCbCrRows(state.range(0) == 0);
    CTheoraStream stream;
    Open(stream);
    int64_t frame = 0;
    while (stream.DecodeNext(frame) != TheoraPacketResult::Frame) {}
    SYCbCrPicture decoded;
    stream.GetPicture(decoded);
    CFrame picture;
    picture.Create(kClipWidth, kClipHeight, 32);
    for (auto _ : state) {
        ConvertYCbCrPicture(decoded, picture.GetPixels(), picture.GetPitch() * 4, kClipWidth, kClipHeight);
        benchmark::DoNotOptimize(picture.GetPixels());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kClipWidth * kClipHeight);
    SetPlainYCbCrRows(false);
}
BENCHMARK(Conversion)->Arg(0)->Arg(1)->ArgName("chosen");

} // namespace
