#include "game/screens/COptionsMenu.h"

#include "blit/CFrameInterface.h"
#include "foundation/CLocalizedString.h"
#include "game/screens/CCredits.h"
#include "game/screens/CGameOptionsWindows.h"
#include "game/screens/CTips.h"
#include "game/screens/GameWindows.h"
#include "game/screens/OverlayScreen.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CRules.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CTextSubstitutionList.h"
#include "shell/CScreenFrame.h"
#include "ui/CJButton.h"

namespace {

COptionsMenuWindow* g_OptionsMenu = nullptr;

const CJString& OptionsTitle()
{
    static CLocalizedString text("Options");
    return text;
}

CFrameOverlayOptions* MenuOverlay(bool fromPause)
{
    const CRules& rules = CRules::SGetInstance();
    return GetFrameOverlayOptionsList().GetObject(fromPause ? rules.m_OptionsMenuFromPauseOverlay
                                                            : rules.m_OptionsMenuOverlay);
}

} // namespace

COptionsMenuWindow::COptionsMenuWindow(CJWindow* parent, bool fromPause)
    : CMenuWindow(parent, OptionsTitle())
    , m_FromPause(fromPause)
{
    g_OptionsMenu = this;
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    SetSize(int32_t(screen.GetWidth()), int32_t(screen.GetHeight()));
    m_Overlay = MenuOverlay(fromPause);
    if (!m_Overlay)
        return;
    CTextSubstitutionList values;
    FillSubstitutions(values);
    auto add = [&](const char* name, void (COptionsMenuWindow::*action)()) {
        return AddOverlayButton(*this, *m_Overlay, name, values, action);
    };
    add("AudioOptions", &COptionsMenuWindow::AudioOptions);
    add("DisplayOptions", &COptionsMenuWindow::DisplayOptions);
    add("UserManual", &COptionsMenuWindow::UserManual);
    add("Credits", &COptionsMenuWindow::Credits);
    if (CJButton* done = add("Done", &COptionsMenuWindow::Done))
        SetCancelButton(done);
}

COptionsMenuWindow::~COptionsMenuWindow()
{
    if (g_OptionsMenu == this)
        g_OptionsMenu = nullptr;
}

void COptionsMenuWindow::Update(float seconds)
{
    // A requested close ends this window inside the base update.
    const bool closing = IsCloseRequested();
    CMenuWindow::Update(seconds);
    if (!closing)
        m_OverlayTime += seconds;
}

void COptionsMenuWindow::SetFocus(bool focus)
{
    CMenuWindow::SetFocus(focus);
    m_OverlayTime = 0.0f;
}

void COptionsMenuWindow::Draw(CFrameInterface& frame)
{
    if (m_Overlay) {
        CTextSubstitutionList values;
        FillSubstitutions(values);
        DrawOverlaySet(m_Overlay, frame, values, m_OverlayTime);
    }
    DrawChildren(frame, 0);
    DrawChildren(frame, 1);
}

bool COptionsMenuWindow::OnKeyDown(uint32_t key)
{
    // A set without "Done" would leave no way out.
    if (!GetCancelButton() && IsMenuCloseKey(key)) {
        Done();
        return true;
    }
    return CMenuWindow::OnKeyDown(key);
}

void COptionsMenuWindow::AudioOptions()
{
    SwitchTo(new CGameSoundOptions(nullptr), true);
}

void COptionsMenuWindow::DisplayOptions()
{
    SwitchTo(new CGameVideoOptions(nullptr), true);
}

void COptionsMenuWindow::UserManual()
{
    SwitchTo(new CTipsMenu(nullptr), true);
}

void COptionsMenuWindow::Credits()
{
    SwitchTo(new CCreditsWindow(nullptr, "Credits.txt"), true);
}

void COptionsMenuWindow::Done()
{
    Close();
}

void COptionsMenuWindow::FillSubstitutions(CTextSubstitutionList& values) const
{
    const CLevelOptions* level = CLevelOptions::SGetCurrent();
    values.AddText("%s[LevelName]", level ? level->m_DisplayName.GetTranslation() : CJString());
    values.AddNumber("%s[Decade]", level ? level->m_Period + 1 : 1);
}

COptionsMenuWindow* GetOptionsMenu()
{
    return g_OptionsMenu;
}

COptionsMenuWindow* OpenOptionsMenu(CMenuWindow* replacing, bool fromPause)
{
    if (g_OptionsMenu)
        return g_OptionsMenu;
    auto* menu = new COptionsMenuWindow(nullptr, fromPause);
    // A menu outside the window tree has no place to give.
    if (replacing && replacing->GetParent())
        replacing->SwitchTo(menu, true);
    else
        AddGameScreenWindow(menu);
    // Without a screen window the menu is already gone.
    return g_OptionsMenu;
}

void RegisterOptionsMenuTexts()
{
    OptionsTitle();
    RegisterGameOptionsTexts();
}
