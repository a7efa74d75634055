// A new player's first hour in the real window, full screen as the settings
// file's default has it, on a virtual X display larger than the game and with
// no window manager: the main menu, a new player, the first career street
// where the level editor is opened with F7 and left by File > Exit and the
// player still moves customers in, played to results that pay a move-in bonus,
// the map offering "Play" on the next street, the trophy room and its
// scrapbook, the next street. There a designer's edit of the street's
// required revenue, once through F7 (for this play only) and once through F6
// (saved), and what the next play of the street asks each time.
//
// Every click, key and drag is a real one through the XTEST extension, aimed
// at what the running game shows.
#include "../game/screens/RealWindowRoad.h"

#include "editor/CEditorToolPalette.h"
#include "editor/CLevelEditorWindow.h"
#include "editor/CObjectEditor.h"
#include "editor/ValuePropertyEditors.h"
#include "game/scripting/ScriptingHooks.h"
#include "game/screens/CNeighborhoodViewer.h"
#include "game/screens/CTrophyRoom.h"
#include "sequences/CTextSubstitutionList.h"
#include "ui/CJMenu.h"
#include "ui/CScreenWindow.h"
#include "ui/CJSpin.h"
#include "ui/CJTabControl.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr char kChildTest[] = "NewPlayerRoadWindowChild.ANewPlayersRoad";

class NewPlayerRoadWindow : public CRealWindowRoadRun {};

TEST_F(NewPlayerRoadWindow, ANewPlayerInFullScreenPlaysClicksWhatShowsAndADesignersEditIsKeptOrTold)
{
    // The display is larger than the game, as a player's desktop is: full
    // screen covers it, the game's picture stretched over it.
    PlayRoad(kChildTest, 12,
             "full screen over the whole display\n"
             "main menu\n"
             "new player dialog\n"
             "named newcomer\n"
             "story page 0\n"
             "tutorial skipped\n"
             "career street\n"
             "level editor\n"
             "File > Exit\n"
             "customers moved in\n"
             "street won\n"
             "results with a move-in bonus\n"
             "map offers Play on the next street\n"
             "map offers Replay on the street played\n"
             "trophy room\n"
             "scrapbook\n"
             "map\n"
             "next street\n"
             "F7: required revenue 5 in play\n"
             "F7: the level file untouched\n"
             "replay asks the stored revenue\n"
             "F6: required revenue 5 saved\n"
             "replay asks 5\n");
}

class NewPlayerRoadWindowChild : public CRealWindowRoad {
protected:
    static CJWindow* ChildTitled(CJWindow* window, const char* title)
    {
        for (CJWindow* child = window ? window->GetFirstChild() : nullptr; child; child = child->GetNextSibling()) {
            if (std::string(child->GetTitleText()) == title)
                return child;
            if (CJWindow* found = ChildTitled(child, title))
                return found;
        }
        return nullptr;
    }
    static CJWindow* SpinEdit(CJSpin& spin)
    {
        for (CJWindow* child = spin.GetFirstChild(); child; child = child->GetNextSibling())
            if (dynamic_cast<CJEdit*>(child))
                return child;
        return &spin;
    }
    // The open menu's entry of that title, wherever the menu was attached.
    static CJWindow* MenuEntry(const char* title)
    {
        return dynamic_cast<CJMenuItem*>(ChildTitled(CScreenWindow::GetScreenWindow(), title));
    }
    static std::string Substituted(const CTextSubstitutionList& values, const char* token)
    {
        return values.Apply(CJString(token)).GetString();
    }
    // What the map's play button says.
    static std::string PlayButtonText()
    {
        CJButton* play = GetTownMapWindow() ? GetTownMapWindow()->GetButton("Continue") : nullptr;
        return play ? play->GetTitleText() : "";
    }
    static CEditorToolPalette* Palette()
    {
        CLevelEditorWindow* editor = GetLevelEditorWindow();
        return editor ? dynamic_cast<CEditorToolPalette*>(editor->GetToolPalette()) : nullptr;
    }
    std::string LevelFile() const
    {
        return ReadBytes(PathOf("Data/Resources/Levels.Object.txt"));
    }
    // F7 or F6 pressed until the editor is open.
    void OpenEditor(const char* key)
    {
        for (int attempt = 0; attempt < 6 && !IsLevelEditorOpen(); ++attempt)
            Play(std::string("wait:300 key:") + key, [] { return IsLevelEditorOpen(); }, 5.0);
        ASSERT_TRUE(IsLevelEditorOpen()) << key << " did not open the editor";
    }
    // The street's options in the object editor, from the palette's "Level
    // Properties"; the required revenue typed into its row, then the key
    // that closes the editor.
    void EditRequiredRevenue(const char* value, const char* closeKey)
    {
        ASSERT_NO_FATAL_FAILURE(ClickUntil([] { return Palette() ? Palette()->GetLevelPropertiesButton() : nullptr; },
                                           [] { return GetCurrentObjectEditor() != nullptr; }, "the level's properties"));
        auto* options = dynamic_cast<CLevelOptions*>(GetCurrentObjectEditor()->GetEditedObject());
        ASSERT_NE(options, nullptr);
        const auto row = [options]() -> CFloatSpinPropertyEditor* {
            return dynamic_cast<CFloatSpinPropertyEditor*>(
                FindPropertyEditor(options, options->GetClassInfo()->FindProperty("Required Revenue"), 0));
        };
        ASSERT_TRUE(RunUntil([&] { return row() != nullptr; }, 5.0)) << "no required revenue row";
        // Its category's tab first.
        const auto shown = [&] { return row()->GetSpin()->IsShownOnScreen(); };
        for (int attempt = 0; attempt < 4 && !shown(); ++attempt) {
            CObjectEditor* objectEditor = GetCurrentObjectEditor();
            CJTabControl* tabs = objectEditor->GetTabControl();
            CPropertyPane* pane = objectEditor->GetPropertyEditorCategoryPane(row());
            ASSERT_TRUE(tabs && pane);
            for (uint32_t i = 0; i < tabs->GetPageCount(); ++i)
                if (tabs->GetPage(i) == pane) {
                    const CRect tab = tabs->GetTabRect(i);
                    const CRect at = tabs->GetScreenRect();
                    Play(At(CFPoint{float(at.left + (tab.left + tab.right) / 2), float(at.top + tab.bottom / 2)})
                             + " wait:100 down wait:80 up",
                         shown, 3.0);
                }
        }
        ASSERT_TRUE(shown()) << "the required revenue's tab";
        const std::string typed = std::string(" down up key:End") + " key:BackSpace key:BackSpace key:BackSpace"
            + " key:BackSpace key:BackSpace key:BackSpace key:BackSpace key:BackSpace key:" + value + " key:Return";
        const float wanted = std::stof(value);
        for (int attempt = 0; attempt < 4 && options->m_RequiredRevenue != wanted; ++attempt)
            Play(At(Middle(*SpinEdit(*row()->GetSpin()))) + typed, [&] { return options->m_RequiredRevenue == wanted; },
                 3.0);
        ASSERT_EQ(options->m_RequiredRevenue, wanted);
        for (int attempt = 0; attempt < 6 && IsLevelEditorOpen(); ++attempt)
            Play(std::string("wait:300 key:") + closeKey, [] { return !IsLevelEditorOpen(); }, 5.0);
        ASSERT_FALSE(IsLevelEditorOpen());
    }
    // From the street in play: the pause menu's "Quit Street", the map, the
    // street selected and played again; the revenue its introduction asks.
    void ReplayTheStreet(uint32_t street, float& asked)
    {
        const auto hudMenu = []() -> CJWindow* {
            CPlayfield* playfield = GetCurrentPlayfield();
            for (uint32_t i = 0; playfield && i < playfield->GetLayerCount(); ++i)
                if (auto* hud = dynamic_cast<CHUD*>(playfield->GetLayer(i)))
                    return hud->GetMenuControl();
            return nullptr;
        };
        ASSERT_NO_FATAL_FAILURE(ClickUntil(hudMenu, [] { return GetPauseMenuWindow() != nullptr; }, "the pause menu"));
        ASSERT_NO_FATAL_FAILURE(
            ClickUntil([] { return GetPauseMenuWindow() ? Button(GetPauseMenuWindow(), "Quit Street") : nullptr; },
                       [] { return GetTownMapWindow() != nullptr; }, "the map"));
        ASSERT_NO_FATAL_FAILURE(
            ClickUntil([street] { return GetTownMapWindow() ? GetTownMapWindow()->GetLevelButton(street) : nullptr; },
                       [street] { return GetTownMapWindow() && GetTownMapWindow()->GetSelectedLevel() == street; },
                       "the street on the map"));
        ASSERT_NO_FATAL_FAILURE(
            ClickUntil([] { return GetTownMapWindow() ? GetTownMapWindow()->GetButton("Continue") : nullptr; },
                       [] { return GetTownMapWindow() == nullptr; }, "playing it"));
        // The shop may stand before the street.
        if (RunUntil([] { return GetShopWindow() != nullptr || InStreet(); }, 10.0) && GetShopWindow()) {
            ASSERT_NO_FATAL_FAILURE(
                ClickUntil([] { return GetShopWindow() ? GetShopWindow()->GetDefaultButton() : nullptr; },
                           [] { return GetShopWindow() == nullptr; }, "past the shop"));
        }
        ASSERT_NO_FATAL_FAILURE(ClickIntoTheStreet());
        ASSERT_EQ(GetCurrentLevelIndex(), street);
        asked = CLevelOptions::SGetCurrent()->m_RequiredRevenue;
    }
};

TEST_F(NewPlayerRoadWindowChild, ANewPlayersRoad)
{
    m_Platform.StopManualClock();
    std::unique_ptr<plat::CPlatform> real = plat::CreatePlatform(plat::PlatformKind::SDL);
    ASSERT_NE(real, nullptr);
    CScopedPlatform installed{real.get()};
    // No settings file: the game's defaults, full screen among them.
    ASSERT_FALSE(DiskHas("Ombrisalt.CFG"));
    ASSERT_TRUE(Start());
    ASSERT_TRUE(RunUntil([] { return SDL_GL_GetCurrentContext() != nullptr && GetMainMenu() != nullptr; }, 30.0));
    {
        SDL_Window* window = SDL_GL_GetCurrentWindow();
        ASSERT_NE(window, nullptr);
        int w = 0, h = 0;
        SDL_GetWindowSize(window, &w, &h);
        int x = -1, y = -1;
        SDL_GetWindowPosition(window, &x, &y);
        std::printf("window %dx%d at %d,%d, flags %#x\n", w, h, x, y, SDL_GetWindowFlags(window));
        int displayWidth = 0, displayHeight = 0;
        SDL_DisplayMode mode;
        if (SDL_GetDesktopDisplayMode(0, &mode) == 0)
            displayWidth = mode.w, displayHeight = mode.h;
        if (w == displayWidth && h == displayHeight && x == 0 && y == 0
            && plat::GetPlatform().GetGraphicsDevice().GetBackBufferWidth() == 1024)
            Note("full screen over the whole display");
    }
    Note("main menu");

    uint32_t career = 0;
    ASSERT_NO_FATAL_FAILURE(EnterTheFirstCareerStreet("newcomer", career));

    // The level editor over the street, left by its File menu's "Exit"; the
    // street takes the player's clicks again.
    ASSERT_NO_FATAL_FAILURE(OpenEditor("F7"));
    Note("level editor");
    ASSERT_NO_FATAL_FAILURE(ClickUntil(
        [] { return Palette() ? ChildTitled(Palette()->GetMenuBar(), "File") : nullptr; },
        [] { return MenuEntry("Exit") != nullptr || !IsLevelEditorOpen(); }, "the File menu"));
    ASSERT_NO_FATAL_FAILURE(ClickUntil([] { return MenuEntry("Exit"); },
                                       [] { return !IsLevelEditorOpen(); }, "File > Exit"));
    RunUntil([] { return false; }, 1.0);
    Note("File > Exit");

    ASSERT_NO_FATAL_FAILURE(PlayTheStreet());
    if (m_MoveIns > 0)
        Note("customers moved in");
    ASSERT_NO_FATAL_FAILURE(PastTheTrophiesToTheResults());
    ASSERT_TRUE(Player().FindLevelStats(career) && Player().FindLevelStats(career)->HasBeenCompleted())
        << "the street was lost";
    Note("street won");
    // Counted up.
    RunUntil([] { return false; }, 6.0);
    {
        CTextSubstitutionList values;
        GetEndOfLevelWindow()->FillSubstitutions(values);
        const std::string bonus = Substituted(values, "%s[TotalEarlyMoveInBonus]");
        std::printf("move-in bonus %s\n", bonus.c_str());
        if (!bonus.empty() && bonus != "0")
            Note("results with a move-in bonus");
    }
    ASSERT_NO_FATAL_FAILURE(
        ClickUntil([] { return GetEndOfLevelWindow() ? GetEndOfLevelWindow()->GetDefaultButton() : nullptr; },
                   [] { return GetEndOfLevelWindow() == nullptr && GetTownMapWindow() != nullptr; }, "the map"));
    RunUntil([] { return GetTownMapWindow() && GetTownMapWindow()->GetSelectedLevel() == GetCurrentLevelIndex() + 1; },
             5.0);
    if (GetTownMapWindow()->GetSelectedLevel() == career + 1 && PlayButtonText() == "Play")
        Note("map offers Play on the next street");
    ASSERT_NO_FATAL_FAILURE(
        ClickUntil([career] { return GetTownMapWindow() ? GetTownMapWindow()->GetLevelButton(career) : nullptr; },
                   [career] { return GetTownMapWindow() && GetTownMapWindow()->GetSelectedLevel() == career; },
                   "the street played"));
    if (PlayButtonText() == "Replay")
        Note("map offers Replay on the street played");
    ASSERT_NO_FATAL_FAILURE(
        ClickUntil([career] { return GetTownMapWindow() ? GetTownMapWindow()->GetLevelButton(career + 1) : nullptr; },
                   [career] { return GetTownMapWindow() && GetTownMapWindow()->GetSelectedLevel() == career + 1; },
                   "the next street"));

    // The trophy room from the map, its scrapbook, and back.
    ASSERT_NO_FATAL_FAILURE(
        ClickUntil([] { return GetTownMapWindow() ? GetTownMapWindow()->GetButton("TrophyRoom") : nullptr; },
                   [] { return GetTrophyRoomWindow() != nullptr; }, "the trophy room"));
    Note("trophy room");
    ASSERT_NO_FATAL_FAILURE(
        ClickUntil([] { return GetTrophyRoomWindow() ? GetTrophyRoomWindow()->GetScrapbookButton() : nullptr; },
                   [] { return GetNeighborhoodViewer() != nullptr; }, "the scrapbook"));
    RunUntil([] { return false; }, 2.0);
    Note("scrapbook");
    ASSERT_NO_FATAL_FAILURE(ClickUntil(
        [] { return GetNeighborhoodViewer() ? GetNeighborhoodViewer()->GetContinueButton() : nullptr; },
        [] { return GetNeighborhoodViewer() == nullptr; }, "out of the scrapbook"));
    if (RunUntil([] { return GetTrophyRoomWindow() != nullptr || GetTownMapWindow() != nullptr; }, 3.0)
        && GetTrophyRoomWindow()) {
        ASSERT_NO_FATAL_FAILURE(
            ClickUntil([] { return GetTrophyRoomWindow() ? GetTrophyRoomWindow()->GetContinueButton() : nullptr; },
                       [] { return GetTrophyRoomWindow() == nullptr; }, "out of the trophy room"));
    }
    ASSERT_TRUE(RunUntil([] { return GetTownMapWindow() != nullptr; }, 5.0));
    Note("map");

    // "Play": the shop, then the introduction, then the street.
    ASSERT_NO_FATAL_FAILURE(
        ClickUntil([] { return GetTownMapWindow() ? GetTownMapWindow()->GetButton("Continue") : nullptr; },
                   [] { return GetShopWindow() != nullptr || GetLevelIntroWindow() != nullptr; }, "the shop"));
    if (GetShopWindow()) {
        ASSERT_NO_FATAL_FAILURE(
            ClickUntil([] { return GetShopWindow() ? GetShopWindow()->GetDefaultButton() : nullptr; },
                       [] { return GetShopWindow() == nullptr; }, "past the shop"));
    }
    ASSERT_NO_FATAL_FAILURE(ClickIntoTheStreet());
    const uint32_t street = GetCurrentLevelIndex();
    ASSERT_EQ(street, career + 1);
    Note("next street");


    // F7: the street in play changes, the stored level does not; the
    // designer is told.
    const std::string before = LevelFile();
    ASSERT_FALSE(before.empty());
    const float stored = CLevelOptions::SGetCurrent()->m_RequiredRevenue;
    ASSERT_NE(stored, 5.0f);
    ASSERT_NO_FATAL_FAILURE(OpenEditor("F7"));
    ASSERT_NO_FATAL_FAILURE(EditRequiredRevenue("5", "F7"));
    RunUntil([] { return false; }, 1.0);
    if (CLevelOptions::SGetCurrent() && CLevelOptions::SGetCurrent()->m_RequiredRevenue == 5.0f)
        Note("F7: required revenue 5 in play");
    if (LevelFile() == before)
        Note("F7: the level file untouched");
    float asked = 0.0f;
    ASSERT_NO_FATAL_FAILURE(ReplayTheStreet(street, asked));
    if (asked == stored)
        Note("replay asks the stored revenue");

    // F6: the stored level is edited and saved; the game plays it again.
    ASSERT_NO_FATAL_FAILURE(OpenEditor("F6"));
    ASSERT_NO_FATAL_FAILURE(EditRequiredRevenue("5", "F6"));
    RunUntil([] { return InStreet(); }, 10.0);
    const std::string after = LevelFile();
    if (after != before && after.find("Required Revenue") != std::string::npos)
        Note("F6: required revenue 5 saved");
    ASSERT_NO_FATAL_FAILURE(ReplayTheStreet(street, asked));
    if (asked == 5.0f)
        Note("replay asks 5");
    EndRun();
}

} // namespace
