// One frame of the zoom editor at work: the 600-pixel, 25-line editor holding
// 5,000 characters of wrapped words, one typed key (a letter, then a
// Backspace, in turn, so the text keeps its size) read by the screen window
// and the whole screen drawn. The goal is under 2 ms per frame.
#include "bench/ui/UiBenchFolder.h"

#include "blit/ColorTables.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "objects/CObject.h"
#include "shell/CKeyboardState.h"
#include "ui/CJEdit.h"
#include "ui/CScreenWindow.h"
#include "ui/RegisterUiClasses.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

namespace {


bool PrepareFolder()
{
    static const bool ready = bench::PrepareUiFolder("ui_edit");
    return ready;
}

// Words of 1 to 9 letters with a line break now and then, fixed seed.
CJString MakeText(int length)
{
    std::mt19937 random(5000);
    std::string text;
    while (int(text.size()) < length) {
        const int word = 1 + int(random() % 9);
        for (int i = 0; i < word; ++i)
            text += char('a' + random() % 26);
        text += random() % 40 == 0 ? '\n' : ' ';
    }
    text.resize(size_t(length));
    return CJString(text.c_str());
}

void BM_ZoomEditorTypeAndDraw(benchmark::State& state)
{
    if (!PrepareFolder()) {
        state.SkipWithError("DejaVuSans.ttf is missing (fonts-dejavu-core)");
        return;
    }
    auto target = CFrame::MakeOwned(800, 600, 32);
    auto font = std::make_unique<CFont>();
    {
        CScreenWindow screen(target.get(), font.get());
        auto* source = new CJEdit(&screen, MakeText(int(state.range(0))));
        source->SetCanZoom(true);
        screen.AddChild(source, EPlace::TopLeft);
        source->OpenZoomEditor();
        CJEdit* inner = source->GetZoomWindow()->GetInnerEdit();
        inner->OnKeyDown(14); // End
        CKeyboardState& keyboard = CKeyboardState::SGetInstance();
        bool letter = true;
        for (auto _ : state) {
            keyboard.OnCharacter(letter ? 'q' : 8);
            letter = !letter;
            screen.Update(1.0f / 60.0f);
            screen.DrawToScreen();
            benchmark::DoNotOptimize(target->Row(0));
        }
        state.counters["characters"] = double(inner->GetTitle().GetLength());
    }
    CJWindow::SetDefaultFont(nullptr);
}
BENCHMARK(BM_ZoomEditorTypeAndDraw)->Arg(5000)->Unit(benchmark::kMicrosecond);

} // namespace
