// The object editor on a level options object (goal under 20 ms): building
// it with a row per shown property, and what every rebuild and Back pays,
// closing the editor before (which saves its window settings) and building
// the new one.
#include "bench/ui/UiBenchFolder.h"

#include "editor/CObjectEditor.h"
#include "editor/CPropertyEditor.h"
#include "editor/RegisterEditorClasses.h"
#include "game/world/CLevelOptions.h"
#include "ui/CScreenWindow.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

bool PrepareFolder()
{
    static const bool ready = [] {
        if (!bench::PrepareUiFolder("editor_object_editor"))
            return false;
        RegisterEditorClasses();
        return true;
    }();
    return ready;
}

struct SEditorScene {
    std::unique_ptr<CFrame> target = CFrame::MakeOwned(1024, 768, 32);
    std::unique_ptr<CFont> font = std::make_unique<CFont>();
    std::unique_ptr<CScreenWindow> screen;

    SEditorScene() { screen = std::make_unique<CScreenWindow>(target.get(), font.get()); }
    ~SEditorScene()
    {
        OpenObjectEditor(nullptr, nullptr);
        screen.reset();
        CJWindow::SetDefaultFont(nullptr);
    }
};

void BM_ObjectEditorOnLevelOptions(benchmark::State& state)
{
    if (!PrepareFolder()) {
        state.SkipWithError("DejaVuSans.ttf is missing (fonts-dejavu-core)");
        return;
    }
    SEditorScene scene;
    CLevelOptions options;
    OpenObjectEditor(&options, &options); // glyphs cached
    for (auto _ : state) {
        OpenObjectEditor(&options, &options);
        benchmark::DoNotOptimize(GetCurrentObjectEditor());
    }
    const CObjectEditor* editor = GetCurrentObjectEditor();
    state.counters["rows"] = editor ? double(editor->GetPropertyEditors().GetCount()) : 0.0;
    OpenObjectEditor(nullptr, nullptr);
}
BENCHMARK(BM_ObjectEditorOnLevelOptions)->Unit(benchmark::kMillisecond);

void BM_ObjectEditorBuildOnLevelOptions(benchmark::State& state)
{
    if (!PrepareFolder()) {
        state.SkipWithError("DejaVuSans.ttf is missing (fonts-dejavu-core)");
        return;
    }
    SEditorScene scene;
    CLevelOptions options;
    OpenObjectEditor(&options, &options);
    for (auto _ : state) {
        state.PauseTiming();
        OpenObjectEditor(nullptr, nullptr);
        state.ResumeTiming();
        OpenObjectEditor(&options, &options);
        benchmark::DoNotOptimize(GetCurrentObjectEditor());
    }
    OpenObjectEditor(nullptr, nullptr);
}
BENCHMARK(BM_ObjectEditorBuildOnLevelOptions)->Unit(benchmark::kMillisecond);

} // namespace
