#include "game/screens/CTrophyRoom.h"

#include "blit/CColor.h"
#include "blit/CFrameInterface.h"
#include "foundation/CCommand.h"
#include "foundation/CLocalizedString.h"
#include "foundation/MathHelpers.h"
#include "foundation/SaturatingArithmetic.h"
#include "game/screens/CAchievement.h"
#include "game/screens/CNeighborhoodViewer.h"
#include "game/screens/CStats.h"
#include "game/screens/GameWindows.h"
#include "game/screens/ScreensGlobals.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "images/CFrame.h"
#include "objects/CListProperty.h"
#include "objects/CPointProperty.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "shell/CMouseState.h"
#include "shell/CScreenFrame.h"
#include "ui/CJButton.h"

namespace {

CTrophyRoomWindow* g_Room = nullptr;
int32_t g_HoveredTrophy = -1;

CLocalizedString& RoomTitle()
{
    static CLocalizedString text("Trophy Room");
    return text;
}

CLocalizedString& ClickMessage()
{
    static CLocalizedString text("Click on trophy to view more information");
    return text;
}

// Index 0 is the list's "none" entry.
CAchievement* AchievementAt(int32_t index)
{
    CAchievementList& list = GetAchievementList();
    return index > 0 && index < list.GetCount() ? list.GetObject(index) : nullptr;
}

bool IsEarned(int32_t index)
{
    CAchievementHistory* history = GetAchievementHistory();
    return history && history->HasBeenEarned(index);
}

CFrameOverlayOptions* RoomOverlay()
{
    return FindFrameOverlayOptions("Trophy Screen Overlay");
}

bool Contains(const CJWindow* window, CPoint point)
{
    return window && window->IsVisible() && window->GetRect().ContainsPoint(point.x, point.y);
}

} // namespace

// --- the trophy overlay ---

OMBRISALT_IMPLEMENT_CLASS(CAchievementFrameOverlayOverlay, 1.0)

void CAchievementFrameOverlayOverlay::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CAchievementFrameOverlayOverlay;
    d.AddListReference<CDataReferenceProperty>(&C::m_Achievement, "Achievement", &GetAchievementList(), nullptr);
    d.Add(&C::m_Position, "Position", CPoint{0, 0});
}

CAchievementFrameOverlayOverlay::CAchievementFrameOverlayOverlay()
{
    InitDeclaredProperties();
}

CAchievementFrameOverlayOverlay::~CAchievementFrameOverlayOverlay()
{
    delete m_pCommand;
    m_pCommand = nullptr;
    DestroyDeclaredProperties();
}

void CAchievementFrameOverlayOverlay::SetCommand(CCommand* command)
{
    if (command == m_pCommand)
        return;
    delete m_pCommand;
    m_pCommand = command;
}

void CAchievementFrameOverlayOverlay::Draw(CFrameOverlayDrawContext& context)
{
    CAchievement* achievement = AchievementAt(m_Achievement);
    if (!achievement || !context.m_pTarget)
        return;
    const int32_t imageIndex = IsEarned(m_Achievement) ? achievement->m_EarnedImage : achievement->m_UnEarnedImage;
    CSequence* image = GetOverlaySequence(imageIndex);
    // Without frame 0 there is nothing to hit: the trophy is left out.
    CFrame* first = image ? image->GetFrame(0) : nullptr;
    if (!first)
        return;
    const int32_t x = SaturatingAdd(RoundToIntHeld(context.m_OffsetX), m_Position.x);
    const int32_t y = SaturatingAdd(RoundToIntHeld(context.m_OffsetY), m_Position.y);
    CFrameInterface& target = *context.m_pTarget;
    image->DrawCurrentFrame(target, x, y);
    if (!context.HasMouse() || !first->HitTest(SaturatingSub(context.m_MouseX, x), SaturatingSub(context.m_MouseY, y)))
        return;
    if (CSequence* hover = GetOverlaySequence(achievement->m_HoverSequence))
        hover->DrawCurrentFrame(target, x, y);
    SetHoveredTrophy(m_Achievement);
    if (m_pCommand && (CMouseState::SGetInstance().GetButtons() & 1u))
        m_pCommand->Execute();
}

void CAchievementFrameOverlayOverlay::MoveBy(int32_t dx, int32_t dy)
{
    m_Position.x = SaturatingAdd(m_Position.x, dx);
    m_Position.y = SaturatingAdd(m_Position.y, dy);
}

int32_t GetHoveredTrophy()
{
    return g_HoveredTrophy;
}

void SetHoveredTrophy(int32_t achievement)
{
    g_HoveredTrophy = achievement;
}

// --- the room ---

CTrophyRoomWindow::CTrophyRoomWindow(CJWindow* parent)
    : CMenuWindow(parent, RoomTitle())
{
    g_Room = this;
    // A mark left by a set drawn elsewhere is not this room's.
    g_HoveredTrophy = -1;
    if (CGameApp* game = CGameApp::SGetInstance())
        game->IncrementOpenScreens();
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    SetSize(int32_t(screen.GetWidth()), int32_t(screen.GetHeight()));

    CFrameOverlayOptions* set = RoomOverlay();
    if (!set)
        return;
    CTextSubstitutionList values;
    FillSubstitutions(values, CPoint{-1, -1});
    m_ContinueButton = set->CreateButtonWindow(CJString("Continue"), &values);
    if (m_ContinueButton) {
        m_ContinueButton->SetCommand(new CObjectFunctionCommand<CTrophyRoomWindow>(this, &CTrophyRoomWindow::Continue));
        AddChild(m_ContinueButton, kAsIsNoGrow);
        BringChildToFront(m_ContinueButton);
        SetDefaultButton(m_ContinueButton);
        SetCancelButton(m_ContinueButton);
    }
    m_ScrapbookButton = set->CreateButtonWindow(CJString("Scrapbook"), &values);
    if (m_ScrapbookButton) {
        m_ScrapbookButton->SetCommand(
            new CObjectFunctionCommand<CTrophyRoomWindow>(this, &CTrophyRoomWindow::OpenScrapbook));
        AddChild(m_ScrapbookButton, kAsIsNoGrow);
    }
    // Front child: the one with the focus.
    if (m_ContinueButton)
        BringChildToFront(m_ContinueButton);
}

CTrophyRoomWindow::~CTrophyRoomWindow()
{
    if (CGameApp* game = CGameApp::SGetInstance())
        game->DecrementOpenScreens();
    if (g_Room == this)
        g_Room = nullptr;
}

void CTrophyRoomWindow::Update(float seconds)
{
    m_ElapsedTime += seconds;
    CJWindow::Update(seconds);
}

void CTrophyRoomWindow::FillSubstitutions(CTextSubstitutionList& values, CPoint mouse)
{
    const int32_t hovered = g_HoveredTrophy;
    g_HoveredTrophy = -1;
    CJString name;
    CJString description;
    CJString click;
    if (CAchievement* trophy = AchievementAt(hovered)) {
        const bool earned = IsEarned(hovered);
        name = ShownText(trophy->m_DisplayName);
        description = ShownText(earned ? trophy->m_JustEarnedDescription : trophy->m_Description);
        if (earned && trophy->m_IsClickableWhenEarned)
            click = ClickMessage();
    } else if (Contains(m_ScrapbookButton, mouse)) {
        CAchievementOptions& options = GetAchievementOptions();
        name = ShownText(options.m_ScrapbookHoverName);
        description = ShownText(options.m_ScrapbookHoverDescription);
    }
    values.AddText("%s[Name]", name);
    values.AddText("%s[Description]", description);
    values.AddText("%s[ClickMessage]", click);

    CAchievementWorkVariables* work = GetAchievementWorkVariables();
    CJString earnings;
    earnings.FormatThousands(WholeDollars(work ? work->m_CareerRevenueK : 0.0f));
    values.AddText("%s[CareerEarnings]", earnings);
    CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer();
    values.AddText("%s[PlayerName]", player ? player->m_Name : CJString());
}

void CTrophyRoomWindow::Draw(CFrameInterface& frame)
{
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    CColor& black = GetOpaqueBlack();
    frame.FillRect(CRect{0, 0, int32_t(screen.GetWidth()), int32_t(screen.GetHeight())}, black);

    const CPoint mouse = ScreenToClient(CMouseState::SGetInstance().GetPositionPoint());
    CTextSubstitutionList values;
    FillSubstitutions(values, mouse);
    if (CFrameOverlayOptions* set = RoomOverlay()) {
        CFrameOverlayDrawContext context;
        context.m_pTarget = &frame;
        context.m_pSubstitutions = &values;
        context.m_Opacity = 1.0f;
        context.m_Time = m_ElapsedTime;
        context.m_MouseX = mouse.x;
        context.m_MouseY = mouse.y;
        set->Draw(context);
    }
    DrawChildren(frame, 0);
    DrawChildren(frame, 1);
}

uint32_t CTrophyRoomWindow::GetScrapbookLevel(const CPlayerStats& player)
{
    // Signed: a fresh profile's level 0 must not wrap to the largest index.
    const int64_t before = int64_t(player.m_SelectedLevel) - 1;
    return before < 0 ? 0u : uint32_t(before);
}

void CTrophyRoomWindow::OpenScrapbook()
{
    CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer();
    // The record is made on demand only below the level count.
    CPlayerStatsForLevel* record = player ? player->GetLevelStats(GetScrapbookLevel(*player)) : nullptr;
    if (record && record->HasSavedLotInfo()) {
        SwitchTo(new CNeighborhoodViewer(nullptr), true);
        return;
    }
    CAchievementOptions& options = GetAchievementOptions();
    ShowMessageBox(ShownText(options.m_NoLevelsToShowTitle), ShownText(options.m_NoLevelsToShowMessage));
}

void CTrophyRoomWindow::Continue()
{
    Close();
}

CTrophyRoomWindow* GetTrophyRoomWindow()
{
    return g_Room;
}

CTrophyRoomWindow* OpenTrophyRoom(CMenuWindow* replacing)
{
    auto* room = new CTrophyRoomWindow(nullptr);
    // A menu outside the window tree has no place to give.
    if (replacing && replacing->GetParent())
        replacing->SwitchTo(room, true);
    else
        AddGameScreenWindow(room);
    return room;
}

void RegisterTrophyRoomTexts()
{
    RoomTitle();
    ClickMessage();
}
