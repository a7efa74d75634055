#include "game/screens/CMainMenu.h"

#include "foundation/CCommand.h"
#include "foundation/CLocalizedString.h"
#include "foundation/ShellServices.h"
#include "game/business/CCrew.h"
#include "game/screens/COptionsMenu.h"
#include "game/screens/CPlayerSelect.h"
#include "game/screens/CStats.h"
#include "game/screens/CStory.h"
#include "game/screens/CTownMap.h"
#include "game/screens/GameWindows.h"
#include "game/screens/OverlayScreen.h"
#include "game/screens/ScreensHooks.h"
#include "game/screens/ScreensGlobals.h"
#include "game/world/CGameApp.h"
#include "game/world/CLevelSet.h"
#include "game/world/CRules.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CTextSubstitutionList.h"
#include "shell/CScreenFrame.h"
#include "ui/CJButton.h"
#include "ui/CJMessageBox.h"
#include "ui/CScreenWindow.h"

#include <cstdio>
#include <cstring>

namespace {

CMainMenu* g_MainMenu = nullptr;

CLocalizedString& NewPlayerTitle()
{
    static CLocalizedString text("New Player");
    return text;
}

CLocalizedString& StartOverTitle()
{
    static CLocalizedString text("Start Over?");
    return text;
}

CLocalizedString& StartOverText()
{
    static CLocalizedString text("You have finished the game. Would you like to create a new player profile to start "
                                 "the game over from the beginning?  Your old player profile will still be "
                                 "accessible.");
    return text;
}

CLocalizedString& StartOverYes()
{
    static CLocalizedString text("Yes - Create a new player profile");
    return text;
}

CLocalizedString& StartOverNo()
{
    static CLocalizedString text("No - Keep using completed profile");
    return text;
}

CLocalizedString& RetiredWord()
{
    static CLocalizedString text("Retired");
    return text;
}

CLocalizedString& BuildWord()
{
    static CLocalizedString text("Build");
    return text;
}

CFrameOverlayOptions* MainMenuOverlay()
{
    CFrameOverlayOptionsList& overlays = GetFrameOverlayOptionsList();
    const int32_t index = CRules::SGetInstance().m_MainMenuOverlay;
    return index >= 0 && index < overlays.GetCount() ? overlays.GetObject(index) : nullptr;
}

bool IsUnnamed(const CPlayerStats* player)
{
    return player && player->m_Name.IsEmpty();
}

// A profile named in the player list comes back to this menu before its
// first street; one named through "PlayGame" goes straight on. Both are new
// until they have spent time playing a street: a record marked played is not
// enough, a street's introduction left by "Back" marks one too.
bool HasPlayedALevel(const CPlayerStats& player)
{
    return player.m_SecondsPlaying > 0.0f;
}

// The dialogs stand beside the menu on the screen window: a completion that
// closes the menu must not take the dialog running it along.
void OpenNamingDialog(CPlayerStats* player)
{
    OpenNewPlayerDialog(nullptr, NewPlayerTitle(), player, new CFunctionCommand(&RunPlayGame));
}

void DoNothing() {}

void CloseMainMenu()
{
    if (CMainMenu* menu = GetMainMenu())
        CloseScreenMenu(*menu);
}

void PlayTutorial()
{
    CLevelSet* levels = FindLevels();
    const uint32_t first = levels ? levels->GetFirstTutorialLevelIndex() : CLevelSet::kNoTutorialLevel;
    CGameApp* game = CGameApp::SGetInstance();
    if (!game)
        return;
    if (first == CLevelSet::kNoTutorialLevel)
        game->OpenDecadeTransition();
    else
        game->StartLevelByIndex(first);
}

void StartCareerAfterStory()
{
    if (CGameApp* game = CGameApp::SGetInstance())
        game->OpenDecadeTransition();
}

void SkipTutorial()
{
    CStats& stats = CStats::SGetInstance();
    if (CPlayerStats* player = stats.GetCurrentPlayer())
        player->MarkTutorialCompleted();
    // A choice is kept when made: a kill before the first street ends must
    // not offer the tutorial again.
    stats.SetNeedsSave();
    stats.SaveIfNeeded();
    AddGameScreenWindow(new CStoryWindow(nullptr, 1, false, new CFunctionCommand(&StartCareerAfterStory), nullptr));
}

void AskStartOver()
{
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    if (!screen) {
        ContinuePlaying();
        return;
    }
    auto* box = new CJMessageBox(screen, StartOverTitle(), StartOverText(), screen, StartOverYes().GetString(),
                                 new CFunctionCommand(&RetireCurrentPlayer));
    box->AddButton(StartOverNo(), new CFunctionCommand(&ContinuePlaying));
    // Yes retires the profile: only a click or Enter may answer it.
    box->SetEscapeCancels(true);
}

} // namespace

// --- the flow ---

CJString GetVersionText()
{
    char text[64];
    std::snprintf(text, sizeof text, "1.0 %s %u", BuildWord().GetString(), GetGameBuildNumber());
    return CJString(text);
}

CJString MakeRetiredName(const CStats& stats, const CJString& name, const CPlayerStats* retiring)
{
    CJString candidate;
    for (uint32_t k = 1; k <= kMaxRetiredNameNumber; ++k) {
        candidate = name;
        candidate += " ";
        candidate += RetiredWord();
        if (k > 1) {
            char number[16];
            std::snprintf(number, sizeof number, " %u", k);
            candidate += number;
        }
        if (!stats.IsNameUsed(candidate, retiring))
            break;
    }
    return candidate;
}

void RunPlayGame()
{
    CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer();
    if (IsUnnamed(player)) {
        OpenNamingDialog(player);
        return;
    }
    if (player && player->GetStarCount() >= kStarsToFinishGame && !player->m_HasBeenRetired) {
        AskStartOver();
        return;
    }
    ContinuePlaying();
}

void RetireCurrentPlayer()
{
    CStats& stats = CStats::SGetInstance();
    CPlayerStats* old = stats.GetCurrentPlayer();
    if (!old)
        return;
    const CJString name = old->m_Name;
    old->m_Name = CJString();
    old->m_Name = MakeRetiredName(stats, name, old);
    old->m_HasBeenRetired = true;
    stats.AddNewPlayer();
    stats.SetNeedsSave();
    CPlayerStats* fresh = stats.GetCurrentPlayer();
    if (!fresh)
        return;
    fresh->m_Name = name;
    OpenNamingDialog(fresh);
}

void ContinuePlaying()
{
    CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer();
    CGameApp* game = CGameApp::SGetInstance();
    if (player && !player->IsLastTutorialLevelCompleted()) {
        CloseMainMenu();
        if (!player->IsFirstTutorialLevelPlayed())
            AddGameScreenWindow(new CStoryWindow(nullptr, 0, false, new CFunctionCommand(&PlayTutorial),
                                                 new CFunctionCommand(&SkipTutorial)));
        else if (game)
            game->StartLevelByIndex(uint32_t(player->GetLastCompletedTutorialLevel() + 1));
        return;
    }
    CloseMainMenu();
    OpenTownMap();
}

// --- the window ---

CMainMenu::CMainMenu(CJWindow* parent)
    : CMenuWindow(parent)
{
    g_MainMenu = this;
    if (CGameApp* game = CGameApp::SGetInstance()) {
        game->StartLastLevel();
        // The street stands still behind the menu: its crews wait in their
        // yard as in play, not on the bar where they came in.
        PlaceIdleCrewsAtTheirPlaces();
    }
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    SetSize(int32_t(screen.GetWidth()), int32_t(screen.GetHeight()));

    CFrameOverlayOptions* set = MainMenuOverlay();
    if (!set)
        return;
    CTextSubstitutionList values;
    FillSubstitutions(values);
    AddButton(*set, values, "ChangePlayer", &CMainMenu::ChangePlayer);
    CJButton* play = AddButton(*set, values, "PlayGame", &CMainMenu::PlayGame);
    AddButton(*set, values, "Options", &CMainMenu::Options);
    AddButton(*set, values, "Exit", &CMainMenu::Exit);
    if (play) {
        SetDefaultButton(play);
        BringChildToFront(play);
    }
}

CMainMenu::~CMainMenu()
{
    if (g_MainMenu == this)
        g_MainMenu = nullptr;
}

CJButton* CMainMenu::AddButton(CFrameOverlayOptions& set, CTextSubstitutionList& values, const char* id,
                               void (CMainMenu::*action)())
{
    CJButton* button = AddOverlayButton(*this, set, id, values, action);
    if (button)
        m_Buttons.emplace_back(id, button);
    return button;
}

CJButton* CMainMenu::GetButton(const char* id) const
{
    for (const auto& [name, button] : m_Buttons)
        if (std::strcmp(name, id) == 0)
            return button;
    return nullptr;
}

void CMainMenu::Update(float seconds)
{
    CMenuWindow::Update(seconds);
    // The base update may have closed the window.
    if (g_MainMenu == this)
        m_OverlayClock += seconds;
}

void CMainMenu::SetFocus(bool focus)
{
    CMenuWindow::SetFocus(focus);
    if (focus)
        m_OverlayClock = 0.0f;
}

void CMainMenu::FillSubstitutions(CTextSubstitutionList& values) const
{
    CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer();
    values.AddText("%s[PlayerName]", player ? player->m_Name : CJString());
    // The greeting's choice: empty for a builder who has not played yet.
    values.AddText("%s[ReturningPlayerName]",
                   player && HasPlayedALevel(*player) ? player->m_Name : CJString());
    values.AddText("%s[Channel]", GetChannelName());
    values.AddText("%s[VerionNumber]", GetVersionText());
}

void CMainMenu::Draw(CFrameInterface& frame)
{
    CTextSubstitutionList values;
    FillSubstitutions(values);
    DrawOverlaySet(MainMenuOverlay(), frame, values, m_OverlayClock);
    DrawChildren(frame, 0);
    DrawChildren(frame, 1);
}

void CMainMenu::ChangePlayer()
{
    CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer();
    if (IsUnnamed(player))
        OpenNamingDialog(player);
    else
        OpenChangePlayerWindow(nullptr, new CFunctionCommand(&DoNothing));
}

void CMainMenu::PlayGame()
{
    RunPlayGame();
}

void CMainMenu::Options()
{
    OpenOptionsMenu(this, false);
}

void CMainMenu::Exit()
{
    // The program's close request, not this window's.
    ::RequestClose();
}

CMainMenu* GetMainMenu()
{
    return g_MainMenu;
}

CMainMenu* OpenMainMenu()
{
    // One main menu at a time.
    if (g_MainMenu)
        g_MainMenu->Close();
    auto* menu = new CMainMenu(nullptr);
    AddGameScreenWindow(menu);
    // Without a screen window the menu is gone already.
    return g_MainMenu == menu ? menu : nullptr;
}

void InstallMainMenuScreen()
{
    SGameScreenEntry entry;
    entry.open = [] { return OpenMainMenu() != nullptr; };
    entry.close = [] { CloseMainMenu(); };
    entry.isOpen = [] { return GetMainMenu() != nullptr; };
    SetGameScreenEntry(EGameScreen::MainMenu, entry);
}

void RegisterMainMenuTexts()
{
    NewPlayerTitle();
    StartOverTitle();
    StartOverText();
    StartOverYes();
    StartOverNo();
    RetiredWord();
    BuildWord();
}
