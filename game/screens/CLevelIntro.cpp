#include "game/screens/CLevelIntro.h"

#include "blit/CFrameInterface.h"
#include "foundation/CCommand.h"
#include "game/screens/CTownMap.h"
#include "game/screens/GameWindows.h"
#include "game/screens/OverlayScreen.h"
#include "game/screens/ScreensHooks.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CGameState.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CPlayfield.h"
#include "game/world/CRules.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CTextSubstitutionList.h"
#include "shell/CScreenFrame.h"
#include "ui/CJButton.h"

namespace {

CLevelIntroWindow* g_LevelIntroWindow = nullptr;

constexpr const char* kHiddenLayers[] = {"UI", "Crew"};

void ShowPlayLayers(bool visible)
{
    CPlayfield* playfield = GetCurrentPlayfield();
    if (!playfield)
        return;
    for (const char* name : kHiddenLayers) {
        // Hiding makes the layer if need be; showing never adds one.
        CPlayfieldLayer* layer = visible ? playfield->FindLayer(name) : playfield->FindOrAddLayer(name);
        if (layer)
            layer->m_VisibleInEditor = visible;
    }
}

CFrameOverlayOptions* IntroOverlay()
{
    return GetFrameOverlayOptionsList().GetObject(CRules::SGetInstance().m_LevelIntroductionMenuOverlay);
}

} // namespace

CLevelIntroWindow::CLevelIntroWindow(CJWindow* parent)
    : CMenuWindow(parent)
{
    g_LevelIntroWindow = this;
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    SetSize(int32_t(screen.GetWidth()), int32_t(screen.GetHeight()));
    CreateButtons();
    ShowPlayLayers(false);
}

CLevelIntroWindow::~CLevelIntroWindow()
{
    if (g_LevelIntroWindow == this)
        g_LevelIntroWindow = nullptr;
    ShowPlayLayers(true);
}

void CLevelIntroWindow::CreateButtons()
{
    CFrameOverlayOptions* overlay = IntroOverlay();
    if (!overlay)
        return;
    CTextSubstitutionList values;
    FillSubstitutions(values);
    if (CJButton* play = AddOverlayButton(*this, *overlay, "Continue", values, &CLevelIntroWindow::Continue)) {
        BringChildToFront(play);
        SetDefaultButton(play);
        SetCancelButton(play);
    }
    if (CJButton* back = AddOverlayButton(*this, *overlay, "Back", values, &CLevelIntroWindow::Back))
        SetCancelButton(back);
}

void CLevelIntroWindow::FillSubstitutions(CTextSubstitutionList& values)
{
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    CJString goal;
    goal.FormatThousands(level ? WholeDollars(level->m_RequiredRevenue) : 0);
    values.AddText("%s[LevelIntro]", level ? level->m_LevelIntro : CJString());
    values.AddText("%s[LevelName]", level ? level->m_DisplayName.GetTranslation() : CJString());
    values.AddText("%s[RequiredGoal]", goal);
    values.AddNumber("%s[Decade]", level ? level->m_Period + 1 : 1);
}

void CLevelIntroWindow::Update(float seconds)
{
    m_OverlayTime += seconds;
    CMenuWindow::Update(seconds);
}

void CLevelIntroWindow::Draw(CFrameInterface& frame)
{
    if (CFrameOverlayOptions* overlay = IntroOverlay()) {
        CTextSubstitutionList values;
        FillSubstitutions(values);
        DrawOverlaySet(overlay, frame, values, m_OverlayTime);
    }
    DrawChildren(frame, 0);
    DrawChildren(frame, 1);
}

bool CLevelIntroWindow::OnKeyDown(uint32_t key)
{
    if (!GetDefaultButton() && !GetCancelButton() && IsMenuCloseKey(key)) {
        Continue();
        return true;
    }
    return CMenuWindow::OnKeyDown(key);
}

void CLevelIntroWindow::Continue()
{
    Close();
}

void CLevelIntroWindow::Back()
{
    // Closed first, so the level's layers are whole again before the shop
    // lets the level go.
    Close();
    CGameSongPlayer::SGetInstance().PlayIntermissionSong();
    CGameApp* game = CGameApp::SGetInstance();
    if (GetCurrentLevelIndex() != 0 && game)
        game->EnterCurrentLevel();
    else
        OpenTownMap();
}

CLevelIntroWindow* GetLevelIntroWindow()
{
    return g_LevelIntroWindow;
}

CLevelIntroWindow* OpenLevelIntro()
{
    // A level started again while its introduction shows gets a fresh one
    // over its new playfield.
    if (g_LevelIntroWindow)
        g_LevelIntroWindow->Destroy();
    auto* window = new CLevelIntroWindow(nullptr);
    AddGameScreenWindow(window);
    // Without a screen window the new one is already gone.
    return g_LevelIntroWindow;
}

void InstallLevelIntroScreen()
{
    SetGameScreenEntry(EGameScreen::LevelIntro,
                       SGameScreenEntry{[] { return OpenLevelIntro() != nullptr; },
                                        [] {
                                            if (CLevelIntroWindow* window = GetLevelIntroWindow())
                                                window->Close();
                                        },
                                        [] { return GetLevelIntroWindow() != nullptr; }});
}
