// One frame of a busy screen's overlay set into 1024 x 768: 20 text
// overlays in DejaVu (5 shrinking to fit their boxes), 5 still images, 5
// animations, a gauge and a timeline with motion blur at its defaults
// holding a text and an image, drawn at the middle of its slide. The goal is
// under 4 ms a frame.
#include "bench/BenchPng.h"
#include "bench/BenchSupport.h"
#include "images/CFont.h"
#include "images/CFontList.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "overlays/CFrameOverlayTimeline.h"
#include "overlays/ImageOverlays.h"
#include "overlays/RegisterOverlaysClasses.h"
#include "overlays/TextOverlays.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "sequences/RegisterSequencesClasses.h"
#include "shell/RegisterShellClasses.h"
#include "ui/RegisterUiClasses.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kPlainTexts = 15;
constexpr uint32_t kShrinkingTexts = 5;
constexpr uint32_t kSide = 64;

std::vector<uint8_t> Disc(uint32_t seed)
{
    std::vector<uint8_t> rgba(size_t(kSide) * kSide * 4);
    for (uint32_t y = 0; y < kSide; ++y)
        for (uint32_t x = 0; x < kSide; ++x) {
            const int dx = int(x) - 32, dy = int(y) - 32;
            uint8_t* p = &rgba[(size_t(y) * kSide + x) * 4];
            p[0] = uint8_t(x * 3 + seed * 40);
            p[1] = uint8_t(y * 3);
            p[2] = uint8_t(200 - seed * 20);
            p[3] = dx * dx + dy * dy < 900 ? 255 : 0;
        }
    return rgba;
}

void WriteText(const std::filesystem::path& path, const std::string& text)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

template <typename T>
T* Add(CFrameOverlayOptions& set)
{
    auto* overlay = new T;
    set.Append(overlay);
    return overlay;
}

// The set, made once with its data folder.
CFrameOverlayOptions& BusySet()
{
    static CFrameOverlayOptions* set = [] {
        RegisterShellClasses();
        RegisterSequencesClasses();
        RegisterUiClasses();
        RegisterOverlaysClasses();
        CFrame::SetGlobalBitDepth(32);
        const std::filesystem::path folder = bench::MakeFolder("overlays");
        std::filesystem::create_directories(folder / "Resources");
        std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                                   folder / "Resources" / "!default.ttf");
        WriteText(folder / "Resources/Fonts/Body.FONT.TXT", "CFont\r\n{\r\n}\r\n");
        std::filesystem::create_directories(folder / "Resources/Frames");
        for (uint32_t i = 0; i < 5; ++i) {
            const std::string name = std::to_string(i);
            bench::WritePng((folder / "Resources/Frames" / ("Still " + name + ".png")).string(), Disc(i), kSide, kSide);
            const std::filesystem::path images = folder / "Resources/Sequences" / ("-Spin " + name);
            std::filesystem::create_directories(images);
            for (uint32_t f = 0; f < 4; ++f)
                bench::WritePng((images / ("f" + std::to_string(f) + ".png")).string(), Disc(i + f), kSide, kSide);
        }
        std::filesystem::current_path(folder);
        EnumerateFontFiles();
        GetFontList().SetSource(nullptr, "Resources|Fonts", 0);
        GetFrameLibrary().SetSource(nullptr, "Resources/Frames", 0);
        GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
        GetSequenceList().LoadAllEntries();

        auto* made = new CFrameOverlayOptions;
        made->m_TextFont = GetFontList().Find("Body");
        for (uint32_t i = 0; i < kPlainTexts + kShrinkingTexts; ++i) {
            auto* text = Add<CFrameOverlayTextOverlay>(*made);
            text->m_BoundsLeft = CPoint{int32_t(20 + (i % 3) * 330), int32_t(20 + (i / 3) * 100)};
            text->m_BoundsWidth = 300;
            text->m_Justification = int32_t(i % 3);
            if (i < kPlainTexts) {
                text->m_Text.SetText(CJString("Score %s[Score] at %s[Clock]"));
            } else {
                text->m_Text.SetText(CJString("A long designer text that wraps over several lines and must shrink "
                                              "to fit the small box it was given, %s[Score] points"));
                text->m_BoundsHeight = 30;
                text->m_bScaleTextToFitBox = true;
            }
        }
        for (uint32_t i = 0; i < 5; ++i) {
            auto* still = Add<CFrameOverlayFrameOverlay>(*made);
            still->m_Image = GetFrameLibrary().Find(("Still " + std::to_string(i)).c_str());
            still->m_Position = CPoint{int32_t(100 + i * 150), 600};
            auto* spin = Add<CFrameOverlaySequenceOverlay>(*made);
            spin->m_Sequence = GetSequenceList().Find(("Spin " + std::to_string(i)).c_str());
            spin->m_Position = CPoint{int32_t(100 + i * 150), 680};
        }
        auto* gauge = Add<CThermometerFrameOverlay>(*made);
        gauge->m_BackgroundSequence = GetSequenceList().Find("Spin 0");
        gauge->m_FillSequence = GetSequenceList().Find("Spin 1");
        gauge->m_Position = CPoint{900, 600};
        auto* timeline = Add<CFrameOverlayTimeline>(*made);
        timeline->m_bUseMotionBlur = true;
        auto* slide = new CFrameOverlayOffsetMilestone;
        slide->m_Offset = CFPoint{300.0f, 0.0f};
        auto* array = static_cast<CPropertyArrayProperty*>(timeline->GetClassInfo()->FindProperty("Offset Milestones"));
        array->ArrayProperty_SetCount(timeline, 1);
        timeline->m_OffsetMilestoneList[0] = slide;
        auto* panelText = new CFrameOverlayTextOverlay;
        panelText->m_Text.SetText(CJString("Panel %s[Score]"));
        panelText->m_BoundsLeft = CPoint{40, 500};
        timeline->Append(panelText);
        auto* panelImage = new CFrameOverlayFrameOverlay;
        panelImage->m_Image = GetFrameLibrary().Find("Still 0");
        panelImage->m_Position = CPoint{40, 530};
        timeline->Append(panelImage);
        return made;
    }();
    return *set;
}

void BM_DrawBusyOverlaySet(benchmark::State& state)
{
    CFrameOverlayOptions& set = BusySet();
    std::unique_ptr<CFrame> screen = CFrame::MakeOwned(1024, 768, 32);
    CTextSubstitutionList values;
    values.AddNumber("%s[Score]", 1234567);
    values.AddText("%s[Clock]", CJString("12:34"));
    for (auto _ : state) {
        CFrameOverlayDrawContext context;
        context.m_pTarget = screen.get();
        context.m_pSubstitutions = &values;
        context.m_Time = 0.5f;
        set.Draw(context);
        benchmark::ClobberMemory();
    }
    // Wrapped layouts each frame, by construction: a plain text is measured
    // and laid out to draw (2), a shrinking one adds six bisection steps and
    // a measure at its width (9); the timeline's text is drawn once sharp
    // and once per ghost (19 draws at the defaults), each moved (3).
    state.counters["layouts"] = double(kPlainTexts * 2 + kShrinkingTexts * 9 + 19 * 3);
}
BENCHMARK(BM_DrawBusyOverlaySet)->Unit(benchmark::kMillisecond);

} // namespace
