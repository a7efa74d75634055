// The game program as the launcher builds it, on the headless platform with a
// hand-driven clock, taken along one road that reaches every loader a screen
// reads late: the main menu, the options and the credits, a new player, the
// story, a street, its results, the map, the shop, the next street's
// introduction, the pause menu, the level editor and its scrap book, "Exit".
// Damaged data may leave a screen out; the road then goes on with the next.
//
//   ombrisalt-hostile-road <program folder> [passes per step]
//
// The exit status is the program's: 0, or 255 after a fatal data report.
#include "editor/CLevelEditorWindow.h"
#include "editor/CScrapBook.h"
#include "game/business/CCustomerArrivals.h"
#include "game/screens/CCredits.h"
#include "game/screens/CDecadeTransition.h"
#include "game/screens/CEndOfLevel.h"
#include "game/screens/CLevelIntro.h"
#include "game/screens/CMainMenu.h"
#include "game/screens/COptionsMenu.h"
#include "game/screens/CPauseMenu.h"
#include "game/screens/CPlayerSelect.h"
#include "game/screens/CShop.h"
#include "game/screens/CStory.h"
#include "game/screens/CTownMap.h"
#include "game/screens/ScreensHooks.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameState.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "platform/CPlatformHeadless.h"
#include "platform/WindowDevice.h"
#include "program/RegisterAllClasses.h"
#include "shell/StartGame.h"
#include "ui/CJButton.h"
#include "ui/CJWindow.h"
#include "ui/CScreenWindow.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

namespace {

plat::CPlatformHeadless g_Platform;
int g_PassesPerStep = 30;
bool g_Ended = false;
// Owned by main, as the launcher owns it: a fatal exit must not run its
// destructor in the middle of a frame.
CGameBase* g_Game = nullptr;

void Passes(int count)
{
    for (int i = 0; i < count && !g_Ended; ++i) {
        g_Platform.AdvanceClock(17);
        g_Ended = !RunOnePass(g_Game);
    }
}

void Step()
{
    Passes(g_PassesPerStep);
}

void PushMouse(plat::WindowEvent::Kind kind, int32_t x, int32_t y, bool down)
{
    plat::WindowEvent event;
    event.kind = kind;
    event.x = x;
    event.y = y;
    event.button = 1;
    event.down = down;
    event.heldButtons = down ? 1u : 0u;
    g_Platform.GetHeadlessWindow().PushEvent(event);
}

// A click in the middle of the window (none: nothing happens).
void ClickOn(const CJWindow* window)
{
    if (!window || g_Ended)
        return;
    const CRect rect = window->GetScreenRect();
    const int32_t x = (rect.left + rect.right) / 2, y = (rect.top + rect.bottom) / 2;
    PushMouse(plat::WindowEvent::Kind::MouseMove, x, y, false);
    PushMouse(plat::WindowEvent::Kind::MouseButton, x, y, true);
    PushMouse(plat::WindowEvent::Kind::MouseButton, x, y, false);
    Passes(3);
}

void PushKey(uint16_t virtualKey)
{
    plat::WindowEvent event;
    event.virtualKey = virtualKey;
    event.kind = plat::WindowEvent::Kind::KeyDown;
    g_Platform.GetHeadlessWindow().PushEvent(event);
    event.kind = plat::WindowEvent::Kind::KeyUp;
    g_Platform.GetHeadlessWindow().PushEvent(event);
    Passes(2);
}

void Type(const char* text)
{
    for (const char* c = text; *c; ++c) {
        plat::WindowEvent event;
        event.kind = plat::WindowEvent::Kind::Char;
        event.character = uint8_t(*c);
        g_Platform.GetHeadlessWindow().PushEvent(event);
    }
    Passes(2);
}

void Say(const char* step)
{
    if (!g_Ended && std::getenv("OMBRISALT_HOSTILE_TRACE"))
        std::fprintf(stderr, "road: %s\n", step);
}

CCreditsWindow* OpenCredits()
{
    for (CJWindow* child = CScreenWindow::GetScreenWindow()->GetFirstChild(); child; child = child->GetNextSibling())
        if (auto* credits = dynamic_cast<CCreditsWindow*>(child))
            return credits;
    return nullptr;
}

void MenuOptionsAndCredits()
{
    Say("main menu");
    Step();
    CMainMenu* menu = GetMainMenu();
    if (!menu)
        return;
    ClickOn(menu->GetButton("Options"));
    Say("options");
    if (COptionsMenuWindow* options = GetOptionsMenu()) {
        Step();
        options->Credits();
        Say("credits");
        Passes(g_PassesPerStep * 4);
        ClickOn(OpenCredits() ? OpenCredits()->GetCloseButton() : nullptr);
        if (OpenCredits())
            PushKey(plat::vk::kEscape);
        Step();
        // The options menu waits hidden behind open credits.
        COptionsMenuWindow* back = GetOptionsMenu();
        if (back && !OpenCredits())
            back->Done();
        Step();
    }
}

// Play, a new player named in the dialog, the story skipped, the street.
void IntoTheFirstStreet()
{
    CMainMenu* menu = GetMainMenu();
    if (!menu)
        return;
    ClickOn(menu->GetButton("PlayGame"));
    if (CNewPlayerDialog* dialog = GetNewPlayerDialog()) {
        Say("new player");
        Type("Hostile");
        ClickOn(dialog->GetSaveButton());
    }
    Step();
    if (CStoryWindow* story = GetStoryWindow()) {
        Say("story");
        Step();
        story->Skip();
    }
    Step();
}

// Past a transition and an introduction when they show.
void PastTheOpening()
{
    if (GetDecadeTransitionWindow()) {
        Say("transition");
        Passes(g_PassesPerStep * 3);
        if (CDecadeTransitionWindow* transition = GetDecadeTransitionWindow())
            ClickOn(transition->GetDefaultButton());
    }
    if (CLevelIntroWindow* intro = GetLevelIntroWindow()) {
        Say("introduction");
        Step();
        ClickOn(intro->GetDefaultButton());
    }
}

// One street played to its results and on; true once the map shows.
bool StreetToResults()
{
    PastTheOpening();
    if (!CLevelOptions::SGetCurrent())
        return false;
    Say("street");
    Passes(g_PassesPerStep * 10);
    if (g_Ended)
        return false;
    CGameState::SGetCurrent()->m_RevenueK = 100.0f;
    CompleteLevel();
    if (CEndOfLevelWindow* results = GetEndOfLevelWindow()) {
        Say("results");
        Passes(g_PassesPerStep * 5);
        ClickOn(results->GetDefaultButton());
    } else if (CTutorialEndOfLevelWindow* tutorial = GetTutorialEndOfLevelWindow()) {
        Say("tutorial results");
        Passes(g_PassesPerStep * 3);
        ClickOn(tutorial->GetDefaultButton());
    }
    Step();
    if (GetStoryWindow())
        ClickOn(GetStoryWindow()->GetDefaultButton());
    return GetTownMapWindow() != nullptr;
}

// The tutorial streets, then a career street: its results lead to the map.
void StreetResultsMapShop()
{
    bool map = StreetToResults();
    // Past the tutorial: the first career street, as the level select
    // starts it.
    CLevelSet* levels = map || g_Ended ? nullptr : FindLevels();
    for (uint32_t i = 0; levels && i < levels->GetCount(); ++i)
        if (CLevelOptions* level = levels->GetLevel(i); level && !level->m_IsTutorialLevel) {
            if (CGameApp* app = CGameApp::SGetInstance())
                app->StartLevelByIndex(i);
            Step();
            StreetToResults();
            break;
        }
    if (CTownMapWindow* shown = GetTownMapWindow()) {
        Say("map");
        Passes(g_PassesPerStep * 3);
        ClickOn(shown->GetButton("Continue"));
    }
    if (CShopWindow* shop = GetShopWindow()) {
        Say("shop");
        Passes(g_PassesPerStep * 2);
        ClickOn(shop->GetDefaultButton());
    }
    PastTheOpening();
}

void PauseAndEditor()
{
    if (!CLevelOptions::SGetCurrent())
        return;
    Say("next street");
    Step();
    if (CGameApp* app = CGameApp::SGetInstance()) {
        app->OpenPauseMenu();
        Say("pause");
        Step();
        if (CPauseMenuWindow* pause = GetPauseMenuWindow())
            ClickOn(pause->GetDefaultButton());
    }
    PushKey(plat::vk::kF7);
    if (CLevelEditorWindow* editor = GetLevelEditorWindow()) {
        Say("editor");
        Step();
        if (CScrapBookWindow* book = OpenScrapBook(editor)) {
            Say("scrap book");
            Step();
            book->RequestClose();
            Step();
        }
        PushKey(plat::vk::kF7);
    }
    Step();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <program folder> [passes per step]\n", argv[0]);
        return 2;
    }
    if (argc > 2)
        g_PassesPerStep = std::max(1, std::atoi(argv[2]));
    plat::ReplacePlatform(&g_Platform);
    g_Platform.StartManualClock(1000);
    RegisterAllClasses();
    SetRunGame(RunGame);
    SetIdleWait(IdleWait::Spin);
    const std::string programPath = std::string(argv[1]) + "/ombrisalt";
    SLauncherRecord record;
    record.gameName = "Ombrisalt";
    record.programPath = programPath.c_str();
    int32_t exitCode = 0;
    std::unique_ptr<CGameBase> game;
    if (!StartUp(record, "ombrisalt", exitCode, game))
        return exitCode;
    g_Game = game.get();
    MenuOptionsAndCredits();
    IntoTheFirstStreet();
    StreetResultsMapShop();
    PauseAndEditor();
    Say("exit");
    g_Game = nullptr;
    const int32_t status = ShutDown(std::move(game));
    plat::ReplacePlatform(nullptr);
    return status;
}
