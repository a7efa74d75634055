// A 2,000-character paragraph laid out and drawn into a 32-bit frame with
// DejaVu Sans at 12 points: cold (every glyph rendered by FreeType first)
// against warm (the glyph cache already full). Reports characters per second.
#include "bench/BenchSupport.h"
#include "images/CFont.h"
#include "images/CFrame.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr const char* kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

bool PrepareFontFolder()
{
    static const bool ready = [] {
        if (!std::filesystem::exists(kDejaVu))
            return false;
        const std::filesystem::path folder = bench::MakeFolder("fonts");
        std::filesystem::create_directories(folder / "Resources");
        std::filesystem::copy_file(kDejaVu, folder / "Resources" / "!default.ttf");
        std::filesystem::current_path(folder);
        RegisterImagesClasses();
        CFrame::SetGlobalBitDepth(32);
        EnumerateFontFiles();
        return true;
    }();
    return ready;
}

const CJString& Paragraph()
{
    static const CJString text = [] {
        const std::string words = "The crew raised the frame of the bakery before noon, and the foreman counted "
                                  "every plank twice. Customers queued at the corner, patient but curious. ";
        std::string all;
        while (all.size() < 2000)
            all += words;
        all.resize(2000);
        return CJString(all.c_str());
    }();
    return text;
}

void LayOutAndDraw(CFont& font, CFrame& frame)
{
    SParagraphLayout layout;
    layout.x = 8;
    layout.width = int32_t(frame.GetWidth()) - 16;
    layout.lineSpacing = 2;
    layout.firstIndent = 20;
    int32_t y = 4;
    benchmark::DoNotOptimize(font.DrawWrappedParagraphs(&frame, y, Paragraph(), layout));
}

void BM_FontParagraphCold(benchmark::State& state)
{
    if (!PrepareFontFolder()) {
        state.SkipWithError("DejaVuSans.ttf is missing (fonts-dejavu-core)");
        return;
    }
    auto frame = CFrame::MakeOwned(640, 480, 32);
    for (auto _ : state) {
        CFont font;
        LayOutAndDraw(font, *frame);
    }
    state.SetItemsProcessed(state.iterations() * 2000);
}
BENCHMARK(BM_FontParagraphCold)->Unit(benchmark::kMicrosecond);

void BM_FontParagraphWarm(benchmark::State& state)
{
    if (!PrepareFontFolder()) {
        state.SkipWithError("DejaVuSans.ttf is missing (fonts-dejavu-core)");
        return;
    }
    auto frame = CFrame::MakeOwned(640, 480, 32);
    CFont font;
    LayOutAndDraw(font, *frame);
    for (auto _ : state)
        LayOutAndDraw(font, *frame);
    state.SetItemsProcessed(state.iterations() * 2000);
}
BENCHMARK(BM_FontParagraphWarm)->Unit(benchmark::kMicrosecond);
// Warm over cold: what the glyph cache saves.
OMBRISALT_BENCH_PEER(BM_FontParagraphWarm, BM_FontParagraphCold);

} // namespace
