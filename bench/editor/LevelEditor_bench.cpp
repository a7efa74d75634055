// One level editor frame, headless: a playfield of 300 sprites, all of them
// selected, drawn with their selection marks (an enlarged tinted silhouette
// behind each), then the editor window over it (goal under 8 ms). Beside it
// the same playfield drawn with nothing selected.
#include "bench/ui/UiBenchFolder.h"

#include "editor/CLevelEditorWindow.h"
#include "game/scripting/CSprite.h"
#include "game/world/CPlayfield.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "platform/CPlatform.h"
#include "platform/CPlatformHeadless.h"
#include "program/RegisterAllClasses.h"
#include "ui/CScreenWindow.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr uint32_t kSprites = 300;

bool PrepareFolder()
{
    static const bool ready = [] {
        if (!bench::PrepareUiFolder("editor_level"))
            return false;
        RegisterAllClasses();
        return true;
    }();
    return ready;
}

// A sprite showing a frame of its own, as scenery of the demo's size does.
class CPictureSprite : public CSprite {
public:
    explicit CPictureSprite(CFrame* frame)
        : m_Frame(frame)
    {
    }
    CFrame* GetCurrentFrame() override { return m_Frame; }

private:
    CFrame* m_Frame;
};

struct SEditorScene {
    plat::CPlatformHeadless platform;
    plat::CPlatform* previous = nullptr;
    std::unique_ptr<CFrame> target = CFrame::MakeOwned(1024, 768, 32);
    std::unique_ptr<CFont> font = std::make_unique<CFont>();
    std::unique_ptr<CScreenWindow> screen;
    std::unique_ptr<CFrame> picture = CFrame::MakeOwned(48, 48, 32);
    CPlayfield playfield;
    CLevelEditorWindow* editor = nullptr;

    SEditorScene()
    {
        previous = plat::ReplacePlatform(&platform);
        screen = std::make_unique<CScreenWindow>(target.get(), font.get());
        for (uint32_t y = 0; y < 48; ++y)
            for (uint32_t x = 0; x < 48; ++x)
                reinterpret_cast<uint32_t*>(picture->Row(y))[x]
                    = (x - 24) * (x - 24) + (y - 24) * (y - 24) < 500 ? 0xFF40A060u : 0u;
        playfield.DeleteAllLayers();
        CPlayfieldLayer* layer = playfield.FindOrAddLayer("Scenery");
        for (uint32_t s = 0; s < kSprites; ++s) {
            auto* sprite = new CPictureSprite(picture.get());
            sprite->SetPosition(float((s * 37) % 980), float((s * 53) % 720));
            layer->AddSprite(sprite);
        }
        SetCurrentPlayfield(&playfield);
        editor = OpenLevelEditor(CLevelEditorWindow::kModePlayedLevel);
        layer->m_VisibleInEditor = true;
        layer->m_SelectableInEditor = true;
    }
    ~SEditorScene()
    {
        if (editor)
            editor->Destroy();
        SetCurrentPlayfield(nullptr);
        screen.reset();
        CJWindow::SetDefaultFont(nullptr);
        plat::ReplacePlatform(previous);
    }
    void DrawFrame()
    {
        playfield.Draw(*target);
        editor->Draw(*target);
    }
};

void BM_LevelEditorFrameWith300SpritesSelected(benchmark::State& state)
{
    if (!PrepareFolder()) {
        state.SkipWithError("DejaVuSans.ttf is missing (fonts-dejavu-core)");
        return;
    }
    SEditorScene scene;
    if (!scene.editor) {
        state.SkipWithError("the editor did not open");
        return;
    }
    scene.editor->SelectAll();
    if (scene.editor->GetSelectedCount() != kSprites) {
        state.SkipWithError("not every sprite is selected");
        return;
    }
    for (auto _ : state) {
        scene.DrawFrame();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LevelEditorFrameWith300SpritesSelected)->Unit(benchmark::kMillisecond);

void BM_LevelEditorFrameWithNothingSelected(benchmark::State& state)
{
    if (!PrepareFolder()) {
        state.SkipWithError("DejaVuSans.ttf is missing (fonts-dejavu-core)");
        return;
    }
    SEditorScene scene;
    if (!scene.editor) {
        state.SkipWithError("the editor did not open");
        return;
    }
    for (auto _ : state) {
        scene.DrawFrame();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LevelEditorFrameWithNothingSelected)->Unit(benchmark::kMillisecond);

} // namespace
