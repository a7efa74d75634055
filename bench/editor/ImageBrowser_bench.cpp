// The thumbnail grid over 1,000 items in one folder: filling it (each cell
// sized and its caption wrapped) and laying it out again after a resize
// (goal under 5 ms for the fill with layout).
#include "bench/ui/UiBenchFolder.h"

#include "editor/CImageBrowser.h"
#include "foundation/CDirectoryTree.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "ui/CScreenWindow.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int32_t kItems = 1000;

class CManyItems : public CSimpleVirtualArray {
public:
    CManyItems()
    {
        char name[96];
        for (int32_t i = 0; i < kItems; ++i) {
            std::snprintf(name, sizeof name, "Props/Garden ornament number %04d with a long name", i);
            m_Names.emplace_back(name);
        }
    }
    const char* GetItemName(int32_t i) override { return m_Names[size_t(i)].c_str(); }
    CJString GetItemNameString(int32_t i) override { return CJString(GetItemName(i)); }
    int32_t GetCount() override { return int32_t(m_Names.size()); }

private:
    std::vector<std::string> m_Names;
};

class CSizedItem : public CImageBrowserItemBridge {
public:
    using CImageBrowserItemBridge::CImageBrowserItemBridge;
    void GetBounds(CRect& out) override
    {
        const int32_t i = int32_t(GetIndex());
        out = CRect{-(20 + i % 50), -(10 + i % 70), 20 + i % 50, 10};
    }
};

bool PrepareFolder()
{
    static const bool ready = bench::PrepareUiFolder("editor_browser");
    return ready;
}

std::unique_ptr<CImageBrowserItemBridge> MakeSized(CVirtualArray* list, uint32_t index)
{
    return std::make_unique<CSizedItem>(list, index);
}

struct SBrowserScene {
    std::unique_ptr<CFrame> target = CFrame::MakeOwned(800, 600, 32);
    std::unique_ptr<CFont> font = std::make_unique<CFont>();
    std::unique_ptr<CScreenWindow> screen;
    CManyItems items;
    std::unique_ptr<CDirectoryTree> tree;
    CImageBrowser* browser = nullptr;
    int32_t folder = -1;

    SBrowserScene()
    {
        screen = std::make_unique<CScreenWindow>(target.get(), font.get());
        tree = std::make_unique<CDirectoryTree>(items);
        browser = new CImageBrowser(screen.get());
        browser->SetRect(CRect{0, 0, 640, 480});
        screen->AddChild(browser, kAsIsNoGrow);
        browser->SetTree(tree.get(), &MakeSized);
        folder = tree->GetChild(tree->GetRoot(), 0);
    }
    ~SBrowserScene()
    {
        screen.reset();
        CJWindow::SetDefaultFont(nullptr);
    }
};

void BM_ImageBrowserFillThousandCells(benchmark::State& state)
{
    if (!PrepareFolder()) {
        state.SkipWithError("DejaVuSans.ttf is missing (fonts-dejavu-core)");
        return;
    }
    SBrowserScene scene;
    scene.browser->ShowFolder(scene.folder, false, false); // glyphs cached
    for (auto _ : state) {
        scene.browser->ShowFolder(scene.folder, false, false);
        benchmark::DoNotOptimize(scene.browser->GetContentHeight());
    }
    if (scene.browser->GetCellCount() != kItems + 1)
        state.SkipWithError("the folder did not show every item");
}
BENCHMARK(BM_ImageBrowserFillThousandCells)->Unit(benchmark::kMillisecond);

void BM_ImageBrowserRelayoutThousandCells(benchmark::State& state)
{
    if (!PrepareFolder()) {
        state.SkipWithError("DejaVuSans.ttf is missing (fonts-dejavu-core)");
        return;
    }
    SBrowserScene scene;
    scene.browser->ShowFolder(scene.folder, false, false);
    int32_t width = 600;
    for (auto _ : state) {
        width = width == 600 ? 640 : 600;
        scene.browser->LayOut(width);
        benchmark::DoNotOptimize(scene.browser->GetContentHeight());
    }
}
BENCHMARK(BM_ImageBrowserRelayoutThousandCells)->Unit(benchmark::kMicrosecond);

} // namespace
