// The clipboard window's frame while the clipboard holds a selection of 200
// sprites copied from the level editor (goal under 1 ms), beside what the
// frame would cost if it read the object back on every draw.
#include "bench/ui/UiBenchFolder.h"

#include "editor/CClipboardWindow.h"
#include "editor/CSelectedObjects.h"
#include "game/scripting/CSprite.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "platform/CPlatform.h"
#include "platform/CPlatformHeadless.h"
#include "program/RegisterAllClasses.h"
#include "shell/CClipboard.h"
#include "ui/CScreenWindow.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr uint32_t kSprites = 200;

bool PrepareFolder()
{
    static const bool ready = [] {
        if (!bench::PrepareUiFolder("editor_clipboard"))
            return false;
        RegisterAllClasses();
        return true;
    }();
    return ready;
}

struct SClipboardScene {
    plat::CPlatformHeadless platform;
    plat::CPlatform* previous = nullptr;
    std::unique_ptr<CFrame> target = CFrame::MakeOwned(800, 600, 32);
    std::unique_ptr<CFont> font = std::make_unique<CFont>();
    std::unique_ptr<CScreenWindow> screen;
    CClipboardWindow* window = nullptr;
    std::unique_ptr<CFrame> canvas;
    bool copied = false;

    SClipboardScene()
    {
        previous = plat::ReplacePlatform(&platform);
        screen = std::make_unique<CScreenWindow>(target.get(), font.get());
        window = OpenClipboardWindow(screen.get());
        canvas = CFrame::MakeOwned(uint32_t(window->GetWidth()), uint32_t(window->GetHeight()), 32);
        CSelectedObjects selection;
        for (uint32_t s = 0; s < kSprites; ++s) {
            auto* sprite = new CSprite;
            sprite->SetPosition(float((s * 37) % 1024), float((s * 53) % 768));
            sprite->SetScale({1.0f + float(s % 3) * 0.25f, 1.0f});
            selection.Append(sprite, CJString(s % 2 ? "Lot" : "Effects"));
        }
        copied = CClipboard::SGetInstance().CopyObject(&selection);
    }
    ~SClipboardScene()
    {
        screen.reset();
        CJWindow::SetDefaultFont(nullptr);
        plat::ReplacePlatform(previous);
    }
    bool DescribesTheSelection() const { return GetClipboardDescription().Find("200 Objects: ") == 0; }
};

void BM_ClipboardWindowFrameWith200SpritesCopied(benchmark::State& state)
{
    if (!PrepareFolder()) {
        state.SkipWithError("DejaVuSans.ttf is missing (fonts-dejavu-core)");
        return;
    }
    SClipboardScene scene;
    if (!scene.copied || !scene.DescribesTheSelection()) {
        state.SkipWithError("the copied selection is not described");
        return;
    }
    for (auto _ : state) {
        scene.window->Draw(*scene.canvas);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ClipboardWindowFrameWith200SpritesCopied)->Unit(benchmark::kMicrosecond);

// The object read back and described on every frame.
void BM_ReadAndDescribe200CopiedSprites(benchmark::State& state)
{
    if (!PrepareFolder()) {
        state.SkipWithError("DejaVuSans.ttf is missing (fonts-dejavu-core)");
        return;
    }
    SClipboardScene scene;
    for (auto _ : state) {
        std::unique_ptr<CObject> object(CClipboard::SGetInstance().PasteObject(CClipboard::AllowText::No));
        CJString description;
        if (object)
            object->GetDescription(description);
        benchmark::DoNotOptimize(description.GetLength());
    }
}
BENCHMARK(BM_ReadAndDescribe200CopiedSprites)->Unit(benchmark::kMicrosecond);

} // namespace
