#include "game/scripting/program/ScriptingShowcase.h"

#include "game/scripting/CAudio.h"
#include "game/scripting/CExpression.h"
#include "game/scripting/CFrameSelector.h"
#include "shell/CKeyboardState.h"
#include "shell/program/CStandInGame.h"

#include <memory>
#include <string>

namespace {

constexpr const char* kSequence = "Flag";
constexpr const char* kAudio = "Shuffled Chimes";
// The set-1 scan code of the space bar.
constexpr uint32_t kSpaceScan = 0x39;
constexpr int32_t kSelectorY = 540;
constexpr int32_t kSelectorX[] = {260, 420, 580};

struct SShowcase {
    SStandInHooks previous;
    std::unique_ptr<CFrameSelector> selectors[3];
    std::string year;
    bool spaceDown = false;
};
SShowcase* g_Showcase = nullptr;

void Init()
{
    // Before the showcases below load sequences: their poke sounds name audio.
    GetAudioList().SetSource("Resources/Audio");
    if (g_Showcase->previous.init)
        g_Showcase->previous.init();

    auto still = std::make_unique<CStillFrameSelector>();
    still->m_Frame = 2;
    auto loop = std::make_unique<CLoopFrameSelector>();
    auto pingPong = std::make_unique<CPingPongFrameSelector>();
    pingPong->m_EaseInOut = 50.0f;
    g_Showcase->selectors[0] = std::move(still);
    g_Showcase->selectors[1] = std::move(loop);
    g_Showcase->selectors[2] = std::move(pingPong);
    for (auto& selector : g_Showcase->selectors)
        selector->SetImageByName(kSequence);

    std::unique_ptr<CObject> object(LoadObjectFromFile("Resources/Expressions/Roman Year.txt", 0,
                                                       IdMode::WithoutIds, ReportUnknownClass::Quiet));
    if (auto* expression = dynamic_cast<CExpression*>(object.get())) {
        CScriptValue value;
        expression->Evaluate(nullptr, value);
        g_Showcase->year = value.GetText().GetString();
    }
}

void Update(float seconds)
{
    if (g_Showcase->previous.update)
        g_Showcase->previous.update(seconds);
    for (auto& selector : g_Showcase->selectors) {
        CSelectorUpdate record;
        record.seconds = seconds;
        if (selector)
            selector->Update(record);
    }
    // One play per press, not one per update while the bar is held.
    const bool down = CKeyboardState::SGetInstance().IsKeyDown(kSpaceScan);
    if (down && !g_Showcase->spaceDown)
        GetAudioList().PlayAudioByName(kAudio);
    g_Showcase->spaceDown = down;
}

void Draw(CFrameInterface& screen)
{
    if (g_Showcase->previous.draw)
        g_Showcase->previous.draw(screen);
    for (int32_t i = 0; i < 3; ++i)
        if (g_Showcase->selectors[i])
            g_Showcase->selectors[i]->Draw(screen, kSelectorX[i], kSelectorY, 0);
    if (!g_Showcase->year.empty())
        DrawTinyTextCentred(screen, 860, 620, g_Showcase->year.c_str());
}

} // namespace

void InstallScriptingShowcase()
{
    // Kept for the whole run, as the hooks are.
    g_Showcase = new SShowcase;
    g_Showcase->previous = GetStandInHooks();
    SStandInHooks hooks;
    hooks.init = &Init;
    hooks.update = &Update;
    hooks.draw = &Draw;
    SetStandInHooks(hooks);
}
