// One frame of a busy window tree: 500 windows in three levels (ten frame
// windows, half in the classic and half in an alpha theme, each with seven
// panels of six titled leaves), a pointer move and a click per frame, input
// dispatch, update and draw into a 1024 x 768 32-bit frame. Measured with
// and without window image caches on the ten frame windows. The cache
// here is the benchmark's own record (the toolkit leaves its making to the
// program): it records each frame window's drawing, plays only the area the
// pointer dirtied into the window's image and puts the image on the screen.
#include "bench/BenchSupport.h"
#include "blit/CBlitTypeList.h"
#include "blit/ColorTables.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "images/CFrameFilter.h"
#include "images/CFrameList.h"
#include "program/RegisterAllClasses.h"
#include "render/CBatchedProxyFrame.h"
#include "render/CProxyFrame.h"
#include "shell/CMouseState.h"
#include "ui/CAlphaSkinData.h"
#include "ui/CAlphaTheme.h"
#include "ui/CControlSkins.h"
#include "ui/CJWindow.h"
#include "ui/CScreenWindow.h"
#include "ui/CSkinBorder.h"
#include "ui/CWindowImageCache.h"
#include "ui/SkinResources.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

void WriteTga(const std::filesystem::path& path, uint32_t width, uint32_t height, uint32_t (*pixel)(uint32_t, uint32_t))
{
    std::string bytes("\0\0\2\0\0\0\0\0\0\0\0\0", 12);
    for (uint32_t v : {width, height})
        bytes += char(v & 0xFF), bytes += char(v >> 8);
    bytes += char(32);
    bytes += char(0x28);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            for (int shift = 0; shift < 32; shift += 8)
                bytes += char((pixel(x, y) >> shift) & 0xFF);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// A window drawn as a frame window is: its theme's frame-window skin behind
// and in front of the children. Leaves draw only their title. Every window
// takes presses.
class CBenchWindow : public CJWindow {
public:
    CBenchWindow(CJWindow* themeParent, const char* title, bool framed)
        : CJWindow(themeParent, title)
    {
        if (framed)
            m_Skin = GetSkinTheme()->CreateFrameWindowSkin(*this);
    }
    void Draw(CFrameInterface& frame) override
    {
        auto* skin = dynamic_cast<CFrameWindowSkin*>(m_Skin.get());
        if (skin)
            skin->DrawBack(frame);
        else
            DrawTitle(frame, 1, 1, 0);
        CJWindow::Draw(frame);
        if (skin)
            skin->DrawFront(frame);
    }
    bool OnMouseDrag(CPoint, CPoint, uint32_t, CCursorSequence*&) override { return true; }

private:
    std::unique_ptr<CWindowSkin> m_Skin;
};

// A cached image of a window: its drawing is recorded every frame, and only
// the region the pointer dirtied (or everything, after a flush) is played
// into the image, which is then put on the target.
class CRecordedWindowImage : public CWindowImageCache {
public:
    void BeginWindow(CJWindow&, COffsetClippedProxyFrame& target) override
    {
        m_Recorder.Clear();
        m_Recorder.SetFrame(target.GetFrame());
        target.SetFrame(&m_Recorder);
    }
    void EndWindow(CJWindow& window, COffsetClippedProxyFrame& target) override
    {
        m_Recorder.EndRecording();
        const CRect& screen = window.GetScreenRect();
        const uint32_t width = uint32_t(screen.GetWidth());
        const uint32_t height = uint32_t(screen.GetHeight());
        if (!m_Image || m_Image->GetWidth() != width || m_Image->GetHeight() != height) {
            m_Image = CFrame::MakeOwned(width, height, 32);
            m_Valid = false;
        }
        COffsetProxyFrame toImage(m_Image.get(), screen.left, screen.top);
        if (!m_Valid || CJWindow::IsFlushCachedWindowsRaised()) {
            m_Image->Clear();
            m_Recorder.SetFrame(&toImage);
            m_Recorder.Replay();
            m_Valid = true;
        } else if (m_Dirty.GetWidth() > 0 && m_Dirty.GetHeight() > 0) {
            CClippedProxyFrame clip(&toImage);
            clip.SetClipRect(m_Dirty);
            m_Recorder.SetFrame(&clip);
            m_Recorder.Replay();
        }
        // The pointer's area is redrawn next frame.
        const CPoint pointer = CMouseState::SGetInstance().GetPositionPoint();
        if (!IntersectRects(m_Dirty, CRect{pointer.x, pointer.y, pointer.x + 32, pointer.y + 32}, screen))
            m_Dirty = CRect{};
        target.Blit(*m_Image, CRect{0, 0, int32_t(width), int32_t(height)}, window.GetRect(), GetNormalBlitType());
    }

private:
    std::unique_ptr<CFrame> m_Image;
    CBatchedProxyFrame m_Recorder;
    CRect m_Dirty{};
    bool m_Valid = false;
};

struct SScene {
    std::filesystem::path folder;
    std::unique_ptr<CFont> font;
    std::unique_ptr<CFrameList> frames;
    std::unique_ptr<CFrame> screen;
    std::unique_ptr<CScreenWindow> root;
    CJWindowAlphaTheme alpha;
    std::unique_ptr<CJWindow> alphaParent;
    std::vector<CJWindow*> tops;
    int32_t windows = 0;

    explicit SScene(bool cached)
    {
        folder = bench::MakeFolder(cached ? "ui_cached" : "ui");
        std::filesystem::current_path(folder);
        std::filesystem::create_directories("Resources");
        std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", "Resources/!default.ttf",
                                   std::filesystem::copy_options::overwrite_existing);
        RegisterAllClasses();
        InitBlitTables();
        CFrame::SetGlobalBitDepth(32);
        WriteTga("Interface/Window Texture.tga", 64, 64, [](uint32_t x, uint32_t y) {
            return 0xFF000000u | ((x * 3) & 0xFF) << 16 | ((y * 5) & 0xFF) << 8 | 0x60u;
        });
        WriteTga("Interface/Window Title Tile.tga", 16, 16,
                 [](uint32_t, uint32_t y) { return 0xFF203060u + (y << 2); });
        WriteTga("Interface/Alpha Texture.tga", 64, 64,
                 [](uint32_t x, uint32_t y) { return 0xFF406080u ^ ((x ^ y) & 0x1F); });
        WriteTga("Interface/Corner.tga", 16, 16, [](uint32_t x, uint32_t y) {
            return (x + y > 8 ? 0xFF000000u : 0x40000000u) | 0xFFFFFFu;
        });
        WriteTga("Interface/Top Highlight.tga", 32, 6, [](uint32_t, uint32_t y) { return (0x80u - y * 16) << 24 | 0xFFFFFFu; });
        frames = std::make_unique<CFrameList>(nullptr);
        frames->SetFilters(CFrameFilter());
        frames->SetSource(nullptr, "Interface", 0);
        SetSkinResources(nullptr, frames.get());
        EnumerateFontFiles();
        font = std::make_unique<CFont>();

        CAlphaSkinData& data = alpha.GetData();
        if (auto* border = dynamic_cast<CAlphaSkinBorder*>(data.m_WindowBorder)) {
            border->m_BackgroundTexture = frames->Find("Alpha Texture");
            border->m_TopLeftAlpha = border->m_TopRightAlpha = frames->Find("Corner");
            border->m_BottomLeftAlpha = border->m_BottomRightAlpha = frames->Find("Corner");
            border->m_TopCenterHighlight = frames->Find("Top Highlight");
        }

        screen = CFrame::MakeOwned(1024, 768, 32);
        root = std::make_unique<CScreenWindow>(screen.get(), font.get());
        alphaParent = std::make_unique<CJWindow>(nullptr);
        alphaParent->SetSkinTheme(&alpha);
        for (int32_t t = 0; t < 10; ++t) {
            CJWindow* theme = (t % 2) ? alphaParent.get() : root.get();
            auto* top = new CBenchWindow(theme, ("Window " + std::to_string(t)).c_str(), true);
            top->SetRectXYWH(20 + 60 * t, 20 + 40 * t, 330, 260);
            root->AddChild(top, {.dx = 0, .dy = 0, .flags = kPlaceNoGrow});
            tops.push_back(top);
            if (cached)
                top->SetImageCache(new CRecordedWindowImage);
            for (int32_t p = 0; p < 7; ++p) {
                auto* panel = new CBenchWindow(top, ("Panel " + std::to_string(p)).c_str(), true);
                panel->SetRectXYWH(10 + (p % 4) * 78, 30 + (p / 4) * 110, 74, 104);
                top->AddChild(panel, {.dx = 0, .dy = 0, .flags = kPlaceNoGrow});
                for (int32_t l = 0; l < 6; ++l) {
                    auto* leaf = new CBenchWindow(panel, ("&Item " + std::to_string(l)).c_str(), false);
                    leaf->SetRectXYWH(4, 20 + 13 * l, 66, 13);
                    panel->AddChild(leaf, {.dx = 0, .dy = 0, .flags = kPlaceNoGrow});
                    ++windows;
                }
                ++windows;
            }
            ++windows;
        }
        SetWindowImageCacheEnabled(cached);
    }
    ~SScene()
    {
        root.reset();
        alphaParent.reset();
        SetSkinResources(nullptr, nullptr);
        SetWindowImageCacheEnabled(true);
        std::filesystem::current_path(folder.parent_path());
        std::filesystem::remove_all(folder);
    }

    // A move, then a click on a frame window that is not in front.
    void Frame(uint32_t n)
    {
        CMouseState& mouse = CMouseState::SGetInstance();
        CJWindow* target = tops[(n * 3) % tops.size()];
        const CRect& r = target->GetScreenRect();
        mouse.SetPosition(r.left + 20 + int32_t(n % 7), r.top + 50 + int32_t(n % 5));
        mouse.SetButtons(1);
        mouse.SetButtons(0);
        root->Update(1.0f / 60.0f);
        root->DrawToScreen();
    }
};

void RunTree(benchmark::State& state, bool cached)
{
    SScene scene(cached);
    if (scene.windows != 500) {
        state.SkipWithError("the scene does not hold 500 windows");
        return;
    }
    uint32_t n = 0;
    scene.Frame(n++);
    // A frame window's inside must have been drawn.
    CColor pixel;
    const CRect& r = scene.tops.back()->GetScreenRect();
    if (!scene.screen->GetPixel(r.left + 40, r.top + 120, pixel) || (pixel.GetRed() | pixel.GetGreen() | pixel.GetBlue()) == 0) {
        state.SkipWithError("nothing was drawn");
        return;
    }
    for (auto _ : state)
        scene.Frame(n++);
    state.counters["windows"] = double(scene.windows);
}

void BM_WindowTreeFrame(benchmark::State& state)
{
    RunTree(state, false);
}
BENCHMARK(BM_WindowTreeFrame)->Unit(benchmark::kMillisecond);

void BM_WindowTreeFrameImageCache(benchmark::State& state)
{
    RunTree(state, true);
}
BENCHMARK(BM_WindowTreeFrameImageCache)->Unit(benchmark::kMillisecond);
OMBRISALT_BENCH_PEER(BM_WindowTreeFrameImageCache, BM_WindowTreeFrame);

} // namespace
