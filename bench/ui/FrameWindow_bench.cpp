// One frame of a busy alpha-themed screen: a full-screen frame window with
// a masked-corner border, close button, toggle and grip, holding 50 alpha
// buttons of which 10 are caught half-way through their hover zoom, drawn
// by the screen window into a 1024 x 768 32-bit frame. Measured with the
// masked corners kept between frames and made afresh every time; the goal
// is under 3 ms per frame.
#include "bench/ui/UiBenchFolder.h"

#include "blit/ColorTables.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "images/CFrameFilter.h"
#include "images/CFrameList.h"
#include "objects/CObject.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJButton.h"
#include "ui/CJFrameWindow.h"
#include "ui/CScreenWindow.h"
#include "ui/CSkinBorder.h"
#include "ui/RegisterUiClasses.h"
#include "ui/SkinResources.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

namespace {

constexpr int32_t kScreenWidth = 1024;
constexpr int32_t kScreenHeight = 768;

void WriteTga(const std::filesystem::path& path, uint32_t width, uint32_t height,
              const std::function<uint32_t(uint32_t, uint32_t)>& pixel)
{
    std::string bytes("\0\0\2\0\0\0\0\0\0\0\0\0", 12);
    for (uint32_t v : {width, height}) {
        bytes.push_back(char(v & 0xFF));
        bytes.push_back(char(v >> 8));
    }
    bytes.push_back(32);
    bytes.push_back(0x28);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            for (int shift = 0; shift < 32; shift += 8)
                bytes.push_back(char((pixel(x, y) >> shift) & 0xFF));
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// A quarter circle of radius side, opaque inside; corner selects which.
std::function<uint32_t(uint32_t, uint32_t)> RoundMask(uint32_t side, bool right, bool bottom)
{
    return [=](uint32_t x, uint32_t y) {
        const int32_t dx = int32_t(right ? x : side - 1 - x), dy = int32_t(bottom ? y : side - 1 - y);
        return dx * dx + dy * dy < int32_t(side * side) ? 0xFFFFFFFFu : 0x00000000u;
    };
}

void WriteBorder(std::string& theme, const char* key, const char* texture, const char* prefix)
{
    theme += std::string("\t\t") + key + "=CAlphaSkinBorder\r\n\t\t{\r\n";
    theme += std::string("\t\t\tBackground Texture=") + texture + "\r\n";
    for (const char* corner : {"Top Left", "Top Right", "Bottom Left", "Bottom Right"})
        theme += std::string("\t\t\t") + corner + " Alpha=" + prefix + " " + corner + "\r\n";
    theme += std::string("\t\t\tTop Left Highlight=") + prefix + " Piece\r\n";
    theme += std::string("\t\t\tTop Center Highlight=") + prefix + " Edge\r\n";
    theme += std::string("\t\t\tTop Right Highlight=") + prefix + " Piece\r\n";
    theme += std::string("\t\t\tBottom Left Highlight=") + prefix + " Piece\r\n";
    theme += std::string("\t\t\tBottom Right Highlight=") + prefix + " Piece\r\n";
    theme += "\t\t}\r\n";
}

// The alpha theme the benchmark draws with, its textures and masks.
void WriteSkin(const std::filesystem::path& folder)
{
    std::filesystem::create_directories(folder / "Resources" / "Interface" / "JWindowSkins");
    std::filesystem::create_directories(folder / "Interface");
    const std::filesystem::path art = folder / "Interface";
    WriteTga(art / "Paper.tga", 64, 64, [](uint32_t x, uint32_t y) {
        return 0xFF000000u | ((x * 3 + y) & 0x3F) << 16 | (0x60 + (y & 0x1F)) << 8 | 0x90;
    });
    WriteTga(art / "Cloth.tga", 32, 32,
             [](uint32_t x, uint32_t y) { return 0xFF000000u | (0x80 + ((x ^ y) & 0x3F)) << 16 | 0x4030; });
    WriteTga(art / "Shine.tga", 32, 32,
             [](uint32_t x, uint32_t y) { return 0xFF000000u | (0xC0 + ((x + y) & 0x3F)) << 16 | 0x8060; });
    for (const char* prefix : {"Window", "Button"}) {
        const uint32_t side = prefix[0] == 'W' ? 24 : 6;
        WriteTga(art / (std::string(prefix) + " Top Left.tga"), side, side, RoundMask(side, false, false));
        WriteTga(art / (std::string(prefix) + " Top Right.tga"), side, side, RoundMask(side, true, false));
        WriteTga(art / (std::string(prefix) + " Bottom Left.tga"), side, side, RoundMask(side, false, true));
        WriteTga(art / (std::string(prefix) + " Bottom Right.tga"), side, side, RoundMask(side, true, true));
        WriteTga(art / (std::string(prefix) + " Piece.tga"), side, side,
                 [](uint32_t, uint32_t) { return 0xC0FFFFFFu; });
        WriteTga(art / (std::string(prefix) + " Edge.tga"), 1, side / 2,
                 [](uint32_t, uint32_t) { return 0x80FFFFFFu; });
    }
    std::string theme = "CJWindowAlphaTheme\r\n{\r\n\tOptions=CAlphaSkinData\r\n\t{\r\n";
    WriteBorder(theme, "Window Border", "Paper", "Window");
    WriteBorder(theme, "Button Border", "Cloth", "Button");
    WriteBorder(theme, "Hover Button Border", "Shine", "Button");
    theme += "\t}\r\n}\r\n";
    std::ofstream(folder / "Resources" / "Interface" / "JWindowSkins" / "Bench.JWindowSkin", std::ios::binary)
        << theme;
}

bool PrepareFolder()
{
    static const bool ready = [] {
        if (!bench::PrepareUiFolder("ui_frames", WriteSkin))
            return false;
        static CFrameList frames(nullptr);
        frames.SetFilters(CFrameFilter());
        frames.SetSource(nullptr, "Interface", 0);
        SetSkinResources(nullptr, &frames);
        GetSkinThemeList().SetSource(nullptr, "Resources/Interface/JWindowSkins", 0);
        return true;
    }();
    return ready;
}

// A button held half-way through its hover zoom without a pointer over it.
class CHalfZoomedButton : public CJButton {
public:
    CHalfZoomedButton(CJWindow* parent, const char* title)
        : CJButton(parent, title)
    {
        SetHoverZoom(0.5f, 0.1f);
        m_Hovered = true;
        m_HoverTime = 0.05f;
    }
};

struct SScreen {
    std::unique_ptr<CFrame> target = CFrame::MakeOwned(kScreenWidth, kScreenHeight, 32);
    std::unique_ptr<CFont> font = std::make_unique<CFont>();
    CScreenWindow* screen = nullptr;

    SScreen()
    {
        screen = new CScreenWindow(target.get(), font.get());
        auto* specifier = new CThemeSpecifier("Bench");
        auto* frame = new CJFrameWindow(specifier, "A full-screen frame window");
        frame->SetRect(CRect{0, 0, kScreenWidth, kScreenHeight});
        frame->AddCloseButton();
        frame->AddTransparencyToggle();
        frame->AddResizeGrip();
        for (int32_t i = 0; i < 50; ++i) {
            char title[32];
            std::snprintf(title, sizeof title, "Button %d", i + 1);
            CJButton* button = i % 5 == 2 ? new CHalfZoomedButton(frame, title) : new CJButton(frame, title);
            button->SetRect(CRect{0, 0, 150, 40});
            button->MoveTo(40 + (i % 5) * 190, 60 + (i / 5) * 66);
            frame->AddChild(button, kAsIsNoGrow);
        }
        screen->AddChild(frame, kAsIsNoGrow);
        specifier->Destroy();
    }
    ~SScreen()
    {
        delete screen;
        CJWindow::SetDefaultFont(nullptr);
    }
};

void DrawFrames(benchmark::State& state, bool keepCorners)
{
    if (!PrepareFolder()) {
        state.SkipWithError("DejaVuSans.ttf is missing (fonts-dejavu-core)");
        return;
    }
    CAlphaSkinBorder::SetMaskedCornerCache(keepCorners);
    SScreen screen;
    screen.screen->DrawToScreen();
    for (auto _ : state) {
        screen.screen->DrawToScreen();
        benchmark::DoNotOptimize(screen.target->Row(0));
    }
    CAlphaSkinBorder::SetMaskedCornerCache(true);
}

void BM_AlphaFrameWindowCornersKept(benchmark::State& state)
{
    DrawFrames(state, true);
}
BENCHMARK(BM_AlphaFrameWindowCornersKept)->Unit(benchmark::kMicrosecond);

void BM_AlphaFrameWindowCornersMadeEveryFrame(benchmark::State& state)
{
    DrawFrames(state, false);
}
BENCHMARK(BM_AlphaFrameWindowCornersMadeEveryFrame)->Unit(benchmark::kMicrosecond);
OMBRISALT_BENCH_PEER(BM_AlphaFrameWindowCornersKept, BM_AlphaFrameWindowCornersMadeEveryFrame);

} // namespace
