// A list of 100,000 rows of five tab-separated columns under a header:
// one glide step and the draw of 40 visible rows per frame (goal under
// 1 ms); building the rows, and a numeric sort beside std::sort of the
// same numbers parsed beforehand (goal within 2x); one typed key that
// matches nothing (goal under 8 ms).
#include "bench/ui/UiBenchFolder.h"

#include "blit/ColorTables.h"
#include "foundation/CVirtualArray.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "objects/CObject.h"
#include "ui/CJHeader.h"
#include "ui/CJListBox.h"
#include "ui/CScreenWindow.h"
#include "ui/RegisterUiClasses.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int32_t kRows = 100000;

bool PrepareFolder()
{
    static const bool ready = bench::PrepareUiFolder("ui_list");
    return ready;
}

class CRows : public CSimpleVirtualArray {
public:
    CRows()
    {
        uint32_t seed = 99;
        char line[96];
        for (int32_t i = 0; i < kRows; ++i) {
            seed = seed * 1103515245u + 12345u;
            const uint32_t number = (seed >> 8) % 1000000;
            m_Numbers.push_back(int32_t(number));
            std::snprintf(line, sizeof line, "Row %06d\t%u\t%u.%u\tKind %u\tnote %u", i, number, (seed >> 4) % 977,
                          (seed >> 2) % 10, (seed >> 12) % 7, (seed >> 16) % 50);
            m_Texts.emplace_back(line);
        }
    }
    const char* GetItemName(int32_t i) override { return m_Texts[size_t(i)].c_str(); }
    CJString GetItemNameString(int32_t i) override { return CJString(GetItemName(i)); }
    int32_t GetCount() override { return int32_t(m_Texts.size()); }

    std::vector<std::string> m_Texts;
    std::vector<int32_t> m_Numbers;
};

CRows& Rows()
{
    static CRows rows;
    return rows;
}

// A screen with a header of five columns and the list below it.
struct SListScene {
    std::unique_ptr<CFrame> target = CFrame::MakeOwned(800, 900, 32);
    std::unique_ptr<CFont> font = std::make_unique<CFont>();
    std::unique_ptr<CScreenWindow> screen;
    CJHeader* header = nullptr;
    CJListBox* list = nullptr;

    SListScene()
    {
        screen = std::make_unique<CScreenWindow>(target.get(), font.get());
        header = new CJHeader(screen.get());
        header->SetSize(700, header->GetHeight());
        header->AddColumn(CJString("Name"), 200);
        header->AddColumn(CJString("Number"), 120, nullptr, kHeaderAlignRight, kHeaderSortNumeric);
        header->AddColumn(CJString("Size"), 100, nullptr, kHeaderAlignRight, kHeaderSortNumeric);
        header->AddColumn(CJString("Kind"), 120);
        header->AddColumn(CJString("Notes"), 160);
        screen->AddChild(header, kAsIsNoGrow);
        list = new CJListBox(screen.get(), &Rows(), nullptr, 300, 40);
        screen->AddChild(list, kAsIsNoGrow);
        list->SetRect(CRect{0, header->GetHeight(), 700, header->GetHeight() + list->GetHeight()});
        list->SetSortMode(1);
        list->SetHeader(header);
    }
    ~SListScene()
    {
        screen.reset();
        CJWindow::SetDefaultFont(nullptr);
    }
};

void BM_ListGlideStepAndDraw(benchmark::State& state)
{
    if (!PrepareFolder()) {
        state.SkipWithError("DejaVuSans.ttf is missing (fonts-dejavu-core)");
        return;
    }
    SListScene scene;
    CJListBox& list = *scene.list;
    const int32_t far = list.GetRowHeight() * 50000;
    for (auto _ : state) {
        // Keep the glide moving: a new target whenever it arrives.
        if (list.GetScrollOffset() == list.GetTargetScrollOffset())
            list.OnMouseWheel(list.GetScrollOffset() < far ? -300 : 300, CPoint{0, 0});
        list.DrawList(*scene.target, false);
        benchmark::DoNotOptimize(scene.target->Row(0));
    }
    state.counters["rows"] = double(list.GetRowCount());
    state.counters["visible"] = double(list.GetVisibleRows());
}
BENCHMARK(BM_ListGlideStepAndDraw)->Unit(benchmark::kMicrosecond);

void BM_ListBuildRows(benchmark::State& state)
{
    if (!PrepareFolder()) {
        state.SkipWithError("DejaVuSans.ttf is missing (fonts-dejavu-core)");
        return;
    }
    SListScene scene;
    scene.list->SetSortMode(0);
    for (auto _ : state)
        scene.list->Refresh();
}
BENCHMARK(BM_ListBuildRows)->Unit(benchmark::kMillisecond);

void BM_ListNumericSort(benchmark::State& state)
{
    if (!PrepareFolder()) {
        state.SkipWithError("DejaVuSans.ttf is missing (fonts-dejavu-core)");
        return;
    }
    SListScene scene;
    scene.header->SetSortColumn(1);
    uint32_t direction = 0;
    for (auto _ : state) {
        // Alternate directions so every sort has work to do.
        direction ^= 1;
        scene.header->SetSortDirection(1, direction);
        scene.list->SortAllRows();
    }
}
BENCHMARK(BM_ListNumericSort)->Unit(benchmark::kMillisecond);

void BM_StdSortOfParsedNumbers(benchmark::State& state)
{
    const std::vector<int32_t>& numbers = Rows().m_Numbers;
    std::vector<std::pair<int32_t, int32_t>> keyed(numbers.size());
    bool descending = false;
    for (auto _ : state) {
        descending = !descending;
        for (size_t i = 0; i < numbers.size(); ++i)
            keyed[i] = {numbers[i], int32_t(i)};
        std::sort(keyed.begin(), keyed.end(), [descending](const auto& a, const auto& b) {
            return descending ? a.first > b.first : a.first < b.first;
        });
        benchmark::DoNotOptimize(keyed.data());
    }
}
BENCHMARK(BM_StdSortOfParsedNumbers)->Unit(benchmark::kMillisecond);

void BM_ListTypeAheadMiss(benchmark::State& state)
{
    if (!PrepareFolder()) {
        state.SkipWithError("DejaVuSans.ttf is missing (fonts-dejavu-core)");
        return;
    }
    SListScene scene;
    scene.list->SetErrorSound(false);
    for (auto _ : state) {
        scene.list->ClearTypedText();
        benchmark::DoNotOptimize(scene.list->OnKeyDown('#'));
    }
}
BENCHMARK(BM_ListTypeAheadMiss)->Unit(benchmark::kMillisecond);

} // namespace
