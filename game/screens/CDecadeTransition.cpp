#include "game/screens/CDecadeTransition.h"

#include "blit/CColor.h"
#include "blit/CFrameInterface.h"
#include "foundation/CCommand.h"
#include "game/screens/GameWindows.h"
#include "game/screens/OverlayScreen.h"
#include "game/screens/ScreensHooks.h"
#include "game/screens/ScreensGlobals.h"
#include "game/scripting/CAudio.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelSet.h"
#include "game/world/CPeriod.h"
#include "game/world/CRules.h"
#include "objects/CIntProperty.h"
#include "objects/CListProperty.h"
#include "objects/CStringProperty.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CTextSubstitutionList.h"
#include "shell/CScreenFrame.h"
#include "ui/CJButton.h"

namespace {

CDecadeTransitionWindow* g_TransitionWindow = nullptr;

} // namespace

OMBRISALT_IMPLEMENT_CLASS(CDecadeTransition, 1.0)

void CDecadeTransition::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CDecadeTransition;
    d.Add(&C::m_PositionMarkerName, "Position Marker Name", "");
    d.Add(&C::m_LevelToDisplayBefore, "Level To Display Before", 0u);
    d.AddListReference<CDataReferenceProperty>(&C::m_DecadeTransitionOverlay, "Decade Transition Overlay",
                                               &GetFrameOverlayOptionsList(), nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_Period, "Period", &GetPeriodList(), nullptr);
}

CDecadeTransition::CDecadeTransition()
{
    InitDeclaredProperties();
}

CDecadeTransition::~CDecadeTransition()
{
    DestroyDeclaredProperties();
}

CDecadeTransitionList::CDecadeTransitionList()
    : CObjectArrayBaseTemplate<CDecadeTransition>("DecadeTransition.txt")
{
}

CDecadeTransitionList& GetDecadeTransitionList()
{
    static auto* list = [] {
        auto* made = new CDecadeTransitionList;
        made->SetSource("DecadeTransition", "Resources", 0);
        return made;
    }();
    return *list;
}

CDecadeTransition* FindDecadeTransitionForLevel(CDecadeTransitionList& list, uint32_t levelIndex)
{
    const int32_t count = list.GetCount();
    for (int32_t i = 0; i < count; ++i) {
        CDecadeTransition* transition = list.GetObject(i);
        // 0 is before any level: never matched, not even by a wrapped index.
        if (transition && transition->m_LevelToDisplayBefore != 0 &&
            transition->m_LevelToDisplayBefore - 1u == levelIndex)
            return transition;
    }
    return nullptr;
}

CDecadeTransitionWindow::CDecadeTransitionWindow(CJWindow* parent, CDecadeTransition* transition,
                                                 CCommand* continuation)
    : CMenuWindow(parent)
    , m_Transition(transition)
    , m_Continuation(continuation)
{
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    SetSize(int32_t(screen.GetWidth()), int32_t(screen.GetHeight()));
    g_TransitionWindow = this;

    CFrameOverlayOptions* overlay =
        m_Transition ? GetFrameOverlayOptionsList().GetObject(m_Transition->m_DecadeTransitionOverlay) : nullptr;
    CTextSubstitutionList none;
    m_ContinueButton = overlay ? overlay->CreateButtonWindow(CJString("Continue"), &none) : nullptr;
    if (m_ContinueButton) {
        m_ContinueButton->SetCommand(
            new CObjectFunctionCommand<CDecadeTransitionWindow>(this, &CDecadeTransitionWindow::Continue));
        AddChild(m_ContinueButton, kAsIsNoGrow);
        BringChildToFront(m_ContinueButton);
        SetDefaultButton(m_ContinueButton);
        SetCancelButton(m_ContinueButton);
    }
    if (m_Transition)
        CGameSongPlayer::SGetInstance().SetPeriod(m_Transition->m_Period, true);
}

CDecadeTransitionWindow::~CDecadeTransitionWindow()
{
    // Only a screen that covered the playfield counted itself as open.
    if (m_Covered)
        if (CGameApp* game = CGameApp::SGetInstance())
            game->DecrementOpenScreens();
    if (g_TransitionWindow == this)
        g_TransitionWindow = nullptr;
    RunContinuation();
}

void CDecadeTransitionWindow::RunContinuation()
{
    CCommand* continuation = m_Continuation;
    m_Continuation = nullptr;
    if (continuation) {
        continuation->Execute();
        delete continuation;
    }
}

void CDecadeTransitionWindow::Update(float seconds)
{
    m_ElapsedTime += seconds;
    CJWindow::Update(seconds);
}

void CDecadeTransitionWindow::SetFocus(bool focus)
{
    CMenuWindow::SetFocus(focus);
    m_ElapsedTime = 0.0f;
}

void CDecadeTransitionWindow::Draw(CFrameInterface& frame)
{
    if (m_ElapsedTime > 1.0f) {
        CScreenFrame& screen = CScreenFrame::SGetInstance();
        CColor& black = GetOpaqueBlack();
        frame.FillRect(CRect{0, 0, int32_t(screen.GetWidth()), int32_t(screen.GetHeight())}, black);
        if (!m_Covered) {
            m_Covered = true;
            if (CGameApp* game = CGameApp::SGetInstance())
                game->IncrementOpenScreens();
        }
    }
    if (m_FrameCountdown > 0) {
        --m_FrameCountdown;
        if (m_FrameCountdown == 0) {
            CAudioPlaySettings settings;
            settings.pitch = 1.0f;
            settings.volume = 1.0f;
            settings.pan = 0.0f;
            settings.noPlay = false;
            GetAudioList().PlayAudioByIndex(CRules::SGetInstance().m_OpenDecadeTransitionAudio, settings);
        }
    }
    if (m_Transition)
        if (CFrameOverlayOptions* overlay =
                GetFrameOverlayOptionsList().GetObject(m_Transition->m_DecadeTransitionOverlay)) {
            CTextSubstitutionList none;
            DrawOverlaySet(overlay, frame, none, m_ElapsedTime);
        }
    DrawChildren(frame, 0);
    DrawChildren(frame, 1);
}

void CDecadeTransitionWindow::Continue()
{
    RunContinuation();
    // The continuation may have closed every screen, this one too.
    if (g_TransitionWindow == this)
        Close();
}

CDecadeTransitionWindow* GetDecadeTransitionWindow()
{
    return g_TransitionWindow;
}

namespace {

void RestartFromFirstLevel()
{
    if (CGameApp* game = CGameApp::SGetInstance())
        game->RestartFromFirstLevel();
}

} // namespace

bool OpenDecadeTransitionForNewGame()
{
    SetCurrentLevelIndex(0);
    CDecadeTransition* transition = FindDecadeTransitionForLevel(GetDecadeTransitionList(), 0);
    if (!transition) {
        RestartFromFirstLevel();
        return true;
    }
    AddGameScreenWindow(new CDecadeTransitionWindow(nullptr, transition, new CFunctionCommand(&RestartFromFirstLevel)));
    return true;
}

void InstallDecadeTransitionScreen()
{
    SGameScreenEntry entry;
    entry.open = &OpenDecadeTransitionForNewGame;
    entry.close = [] {
        if (CDecadeTransitionWindow* window = GetDecadeTransitionWindow())
            window->Close();
    };
    entry.isOpen = [] { return GetDecadeTransitionWindow() != nullptr; };
    SetGameScreenEntry(EGameScreen::DecadeTransition, entry);
    AddProgressionListMaker([] { GetDecadeTransitionList(); });
}
