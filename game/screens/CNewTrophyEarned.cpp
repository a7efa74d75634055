#include "game/screens/CNewTrophyEarned.h"

#include "blit/CFrameInterface.h"
#include "foundation/CCommand.h"
#include "game/screens/CAchievement.h"
#include "game/screens/CStats.h"
#include "game/screens/CTrophyRoom.h"
#include "game/screens/GameWindows.h"
#include "game/screens/OverlayScreen.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameState.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CPlayfield.h"
#include "game/world/CTypedCommands.h"
#include "objects/CMessage.h"
#include "overlays/CFrameOverlay.h"
#include "overlays/ImageOverlays.h"
#include "sequences/CTextSubstitutionList.h"
#include "shell/CScreenFrame.h"
#include "ui/CJButton.h"

namespace {

CNewTrophyEarnedMenu* g_Menu = nullptr;

CJButton* AddButton(CNewTrophyEarnedMenu& menu, CFrameOverlayOptions& set, const char* id,
                    CTextSubstitutionList& values, void (CNewTrophyEarnedMenu::*action)())
{
    CJButton* button = AddOverlayButton(menu, set, id, values, action);
    if (button)
        menu.BringChildToFront(button);
    return button;
}

void RestartLevel()
{
    if (CGameApp* game = CGameApp::SGetInstance())
        game->StartLevel(true);
}

} // namespace

CFrameOverlayOptions* FindNewTrophyEarnedOverlay()
{
    CFrameOverlayOptionsList& sets = GetFrameOverlayOptionsList();
    const int32_t index = sets.Find("New Trophy Earned");
    return index >= 0 ? sets.GetObject(index) : nullptr;
}

CNewTrophyEarnedMenu* GetNewTrophyEarnedMenu()
{
    return g_Menu;
}

CNewTrophyEarnedMenu::CNewTrophyEarnedMenu(CJWindow* parent, CCommand* next)
    : CMenuWindow(parent)
    , m_Next(next)
{
    g_Menu = this;
    if (CGameApp* game = CGameApp::SGetInstance())
        game->IncrementOpenScreens();
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    SetSize(int32_t(screen.GetWidth()), int32_t(screen.GetHeight()));
    if (CFrameOverlayOptions* set = FindNewTrophyEarnedOverlay()) {
        CTextSubstitutionList values;
        FillSubstitutions(values);
        CJButton* done = AddButton(*this, *set, "DoneButton", values, &CNewTrophyEarnedMenu::Done);
        AddButton(*this, *set, "TrophyRoom", values, &CNewTrophyEarnedMenu::OpenTrophyRoom);
        // Enter goes to the button in front: a player pressing it to go on
        // means "Done", not a detour through the room.
        if (done) {
            SetDefaultButton(done);
            SetCancelButton(done);
            BringChildToFront(done);
        }
    }
}

CNewTrophyEarnedMenu::~CNewTrophyEarnedMenu()
{
    if (CGameApp* game = CGameApp::SGetInstance())
        game->DecrementOpenScreens();
    if (g_Menu == this)
        g_Menu = nullptr;
    RunNext();
}

void CNewTrophyEarnedMenu::RunNext()
{
    CCommand* next = m_Next;
    m_Next = nullptr;
    if (next) {
        next->Execute();
        delete next;
    }
}

void CNewTrophyEarnedMenu::Update(float seconds)
{
    m_ElapsedTime += seconds;
    CJWindow::Update(seconds);
}

void CNewTrophyEarnedMenu::FillSubstitutions(CTextSubstitutionList& values) const
{
    CAchievementHistory* history = GetAchievementHistory();
    CAchievement* trophy = history ? history->GetFirstToShow() : nullptr;
    if (!trophy)
        return;
    values.AddText("%s[TrophyName]", trophy->m_DisplayName.GetTranslation());
    values.AddText("%s[TrophyReason]", trophy->m_JustEarnedDescription.GetTranslation());
}

void CNewTrophyEarnedMenu::Draw(CFrameInterface& frame)
{
    CFrameOverlayOptions* set = FindNewTrophyEarnedOverlay();
    if (set) {
        CTextSubstitutionList values;
        FillSubstitutions(values);
        CAchievementHistory* history = GetAchievementHistory();
        CAchievement* trophy = history ? history->GetFirstToShow() : nullptr;
        if (trophy)
            if (auto* image = dynamic_cast<CFrameOverlaySequenceOverlay*>(
                    set->FindOverlay(CJString("TrophyImage"), &values, nullptr)))
                image->m_Sequence = trophy->m_NewTrophyEarnedMenuImage;
        DrawOverlaySet(set, frame, values, m_ElapsedTime);
    }
    DrawChildren(frame, 0);
    DrawChildren(frame, 1);
}

void CNewTrophyEarnedMenu::Done()
{
    CAchievementHistory* history = GetAchievementHistory();
    if (history && history->GetCountToShow() > 1) {
        history->DropFirstToShow();
        CStats::SMarkChanged();
        return;
    }
    // Dropped before what follows runs: the results save as they open, and
    // a kill there must not announce the card again.
    if (history) {
        history->DropFirstToShow();
        CStats::SMarkChanged();
    }
    CCommand* next = m_Next;
    m_Next = nullptr;
    Close();
    if (next) {
        next->Execute();
        delete next;
    }
}

void CNewTrophyEarnedMenu::OpenTrophyRoom()
{
    // Leaving for the room, where every earned trophy stands, dismisses the
    // card: what it had still to show is not announced after a later level.
    if (CAchievementHistory* history = GetAchievementHistory()) {
        while (history->GetCountToShow() > 0)
            history->DropFirstToShow();
        CStats::SMarkChanged();
    }
    // A menu outside the window tree has no place to give.
    if (!GetParent()) {
        Close();
        return;
    }
    CTrophyRoomWindow* room = ::OpenTrophyRoom(this);
    // The room takes the menu's place for good: the menu goes now, and with
    // it the game goes on behind the room.
    room->ReleaseReplacedWindow();
}

void AnnounceEarnedTrophies(CCommand* next)
{
    CAchievementHistory* history = GetAchievementHistory();
    // Without the overlay set the menu would have no way out.
    if (!history || history->GetCountToShow() == 0 || !FindNewTrophyEarnedOverlay()) {
        if (next) {
            next->Execute();
            delete next;
        }
        return;
    }
    PlayJustEarnedSound();
    AddGameScreenWindow(new CNewTrophyEarnedMenu(nullptr, next));
}

void CompleteLevelAndAnnounceTrophies()
{
    CMessage message = CMessage::CMessageByName("LevelComplete");
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    if (level)
        level->HandleMessage(message);
    if (CPlayfield* playfield = GetCurrentPlayfield())
        playfield->BroadcastMessage(message);
    CGameState* state = CGameState::SGetCurrent();
    const CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer();
    const bool won = (player && player->IsKidsMode())
                     || (state && state->m_RevenueK >= (level ? level->m_RequiredRevenue : 0.0f));
    STypedCommandSwitches& switches = GetTypedCommandSwitches();
    switches.levelFinishedByCommand = false;
    switches.levelFailedByCommand = false;
    AchievementLevelComplete(won);
    AnnounceEarnedTrophies(new CFunctionCommand(&RestartLevel));
}
