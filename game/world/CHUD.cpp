#include "game/world/CHUD.h"

#include "blit/CColor.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/world/CGameApp.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CGoal.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CPeriod.h"
#include "game/world/CPlayfieldMouseMessage.h"
#include "game/world/CRules.h"
#include "game/world/WorldHooks.h"
#include "images/CFrame.h"
#include "objects/CMessage.h"
#include "objects/CPointProperty.h"
#include "overlays/CFrameOverlay.h"
#include "overlays/ImageOverlays.h"
#include "render/CProxyFrame.h"
#include "sequences/CTextSubstitutionList.h"
#include "shell/CMouseState.h"
#include "ui/CJButton.h"
#include "ui/CScreenWindow.h"

#include <memory>

namespace {

CFrameOverlayOptions* OverlaySetAt(int32_t index)
{
    CFrameOverlayOptionsList& sets = GetFrameOverlayOptionsList();
    if (index < 0 || index >= sets.GetCount())
        return nullptr;
    return sets.GetObject(index);
}

CFrameOverlayOptions* GetHudOverlayOptions()
{
    CRules* rules = CRules::SFindInstance();
    return rules ? OverlaySetAt(rules->m_GameplayOverlayMenuButton) : nullptr;
}

// Puts the current period's backdrop into the set's "PeriodBackdrop" for
// one draw and the designer's sequence back afterwards.
class CPeriodBackdropSwap {
public:
    explicit CPeriodBackdropSwap(CFrameOverlayOptions& set)
    {
        CPeriod* period = GetCurrentPeriod();
        if (!period)
            return;
        m_pOverlay = dynamic_cast<CFrameOverlaySequenceOverlay*>(
            set.FindOverlay(CJString("PeriodBackdrop"), nullptr, nullptr));
        if (!m_pOverlay)
            return;
        m_Saved = m_pOverlay->m_Sequence;
        m_pOverlay->m_Sequence = period->m_HudBackground;
    }
    ~CPeriodBackdropSwap()
    {
        if (m_pOverlay)
            m_pOverlay->m_Sequence = m_Saved;
    }
    CPeriodBackdropSwap(const CPeriodBackdropSwap&) = delete;
    CPeriodBackdropSwap& operator=(const CPeriodBackdropSwap&) = delete;

private:
    CFrameOverlaySequenceOverlay* m_pOverlay = nullptr;
    int32_t m_Saved = 0;
};

bool IsOpen(EGameScreen screen)
{
    return GetGameScreensHooks().IsScreenOpen(screen);
}

// The end-of-level window folded away leaves the playfield to the player's
// eye but not to the HUD.
bool IsEndOfLevelFolded()
{
    return IsOpen(EGameScreen::EndOfLevel) && GetGameScreensHooks().IsEndOfLevelWindowHidden();
}

bool TakesMouse()
{
    return !IsOpen(EGameScreen::NeighbourhoodViewer) && !IsEndOfLevelFolded();
}

CPoint MousePosition()
{
    return CMouseState::SGetInstance().GetPositionPoint();
}

// The one-pixel frame the backdrop test draws into, kept between calls and
// remade when the global depth changes.
CFrame& BackdropProbe()
{
    static std::unique_ptr<CFrame> probe;
    const uint32_t depth = CFrame::SGetBitDepth();
    if (!probe || probe->GetBitDepth() != depth) {
        probe = std::make_unique<CFrame>();
        probe->Create(1, 1, depth);
    }
    return *probe;
}

} // namespace

OMBRISALT_IMPLEMENT_CLASS(CHUD, 1)

void CHUD::DeclareProperties(CPropertyDeclarer&) {}

CHUD::CHUD()
{
    InitDeclaredProperties();
    if (CFrameOverlayOptions* set = GetHudOverlayOptions())
        m_pMenuControl = set->CreateButtonWindow(CJString("Menu"), nullptr);
}

CHUD::~CHUD()
{
    if (m_pMenuControl)
        m_pMenuControl->Destroy();
    DestroyDeclaredProperties();
}

bool CHUD::IsOverMenu(CPoint point) const
{
    return m_pMenuControl && m_pMenuControl->GetRect().ContainsPoint(point.x, point.y);
}

void CHUD::Update(float seconds)
{
    m_bHovering = IsOverMenu(MousePosition());
    GetIllegalMoveDisplay().Update(seconds);
}

void CHUD::Draw(CFrameInterface& frame)
{
    if (IsOpen(EGameScreen::Shop) || IsOpen(EGameScreen::NeighbourhoodViewer) || IsEndOfLevelFolded())
        return;

    CTextSubstitutionList values;
    AddGoalTextVariables(values);
    CPlayfield* playfield = GetCurrentPlayfield();
    CPlayfieldLayer* crew = playfield ? playfield->FindLayer("Crew") : nullptr;
    values.AddNumber("%s[Crews]", crew ? int32_t(crew->GetSpriteCount()) : 0);

    if (CFrameOverlayOptions* gameplay = GetGameplayOverlayOptions()) {
        CPeriodBackdropSwap backdrop(*gameplay);
        const CPoint mouse = MousePosition();
        gameplay->DrawOnFrame(frame, &values, false, &mouse);
    }
    DrawTip(frame);
    GetIllegalMoveDisplay().Draw(frame);

    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    if (screen && screen->HasChildren())
        return;
    if (CFrameOverlayOptions* hud = GetHudOverlayOptions()) {
        values.AddNumber("%s[IsHovering]", m_bHovering ? 1 : 0);
        hud->DrawOnFrame(frame, &values, false, nullptr);
    }
}

void CHUD::HandleMessage(CMessage& message)
{
    const uint32_t type = message.GetType();
    const bool press
        = type == CPlayfieldMouseMessage::SGetMouseDownType() || type == CPlayfieldMouseMessage::SGetMouseUpType();
    const bool move = type == CPlayfieldMouseMessage::SGetMouseMovedType();
    if ((!press && !move) || !TakesMouse())
        return;
    auto* mouse = dynamic_cast<CPlayfieldMouseMessage*>(&message);
    if (!mouse)
        return;
    const CPoint point = mouse->GetPosition();
    if (press && TakeMenuPress(message))
        return;
    if (IsOverMenu(point)) {
        message.SetHandled();
        return;
    }
    if (HitsPeriodBackdrop(point.x, point.y))
        message.SetHandled();
}

bool CHUD::TakeMenuPress(CMessage& message)
{
    const uint32_t type = message.GetType();
    auto* mouse = dynamic_cast<CPlayfieldMouseMessage*>(&message);
    if (!mouse || !TakesMouse() || !IsOverMenu(mouse->GetPosition())
        || (type != CPlayfieldMouseMessage::SGetMouseDownType() && type != CPlayfieldMouseMessage::SGetMouseUpType()))
        return false;
    // Down and up both open it; the game object opens none while a window
    // is already up, so one click opens one menu.
    if (CGameApp* game = CGameApp::SGetInstance())
        game->OpenPauseMenu();
    message.SetHandled();
    return true;
}

bool CHUD::HitsPeriodBackdrop(int32_t x, int32_t y)
{
    CFrameOverlayOptions* gameplay = GetGameplayOverlayOptions();
    if (!gameplay)
        return false;
    CFrame& probe = BackdropProbe();
    probe.Clear();
    COffsetClippedProxyFrame place(&probe);
    place.SetOffset(x, y);
    place.SetClipRect(MoveRect(SizeToRect(1, 1), x, y));
    {
        CPeriodBackdropSwap backdrop(*gameplay);
        gameplay->DrawOnFrame(place, nullptr, false, nullptr);
    }
    CColor pixel{0, 0, 0, 0};
    if (!probe.GetPixel(0, 0, pixel))
        return false;
    return pixel.GetRed() != 0 || pixel.GetGreen() != 0 || pixel.GetBlue() != 0 || pixel.GetAlpha() != 0;
}

bool CHUD::ShouldShowTip()
{
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    if (!level)
        return false;
    CGameScreensHooks& hooks = GetGameScreensHooks();
    const float played = level->m_SecondsPlayed;
    if (played > hooks.GetTipDuration())
        return false;
    if (hooks.GetTipText(GetCurrentLevelIndex()).IsEmpty())
        return false;
    return played > 0.0f || IsOpen(EGameScreen::LevelIntro);
}

void CHUD::DrawTip(CFrameInterface& frame)
{
    if (!ShouldShowTip())
        return;
    CGameScreensHooks& hooks = GetGameScreensHooks();
    CFrameOverlayOptions* set = OverlaySetAt(hooks.GetTipOverlay());
    if (!set)
        return;
    CTextSubstitutionList values;
    values.AddText("%s[Tip]", hooks.GetTipText(GetCurrentLevelIndex()));
    CFrameOverlayDrawContext context;
    context.m_pTarget = &frame;
    context.m_pSubstitutions = &values;
    context.m_Opacity = 1.0f;
    context.m_ScaleX = 1.0f;
    context.m_ScaleY = 1.0f;
    context.m_Time = CLevelOptions::SGetCurrent()->m_SecondsPlayed;
    set->Draw(context);
}

CFrameOverlayOptions* GetGameplayOverlayOptions()
{
    CRules* rules = CRules::SFindInstance();
    return rules ? OverlaySetAt(rules->GetGameplayOverlay()) : nullptr;
}

OMBRISALT_IMPLEMENT_CLASS(CHudPosition, 1)

void CHudPosition::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CHudPosition::m_Position, "Position", CPoint{0, 0});
}

CHudPosition::CHudPosition()
{
    InitDeclaredProperties();
}

CHudPosition::~CHudPosition()
{
    DestroyDeclaredProperties();
}

OMBRISALT_IMPLEMENT_CLASS(CHudOptions, 1)

void CHudOptions::DeclareProperties(CPropertyDeclarer&) {}

CHudOptions::CHudOptions()
{
    InitDeclaredProperties();
}

CHudOptions::~CHudOptions()
{
    DestroyDeclaredProperties();
}
