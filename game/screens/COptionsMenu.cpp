#include "game/screens/COptionsMenu.h"

namespace {
COptionsMenuWindow* g_OptionsMenu = nullptr;
} // namespace

COptionsMenuWindow::COptionsMenuWindow(CJWindow* parent, bool fromPause)
    : CMenuWindow(parent, "Options")
    , m_FromPause(fromPause)
{
    g_OptionsMenu = this;
}

COptionsMenuWindow::~COptionsMenuWindow()
{
    if (g_OptionsMenu == this)
        g_OptionsMenu = nullptr;
}

void COptionsMenuWindow::Update(float seconds)
{
    CMenuWindow::Update(seconds);
    m_OverlayTime += seconds;
}

void COptionsMenuWindow::SetFocus(bool focus)
{
    CMenuWindow::SetFocus(focus);
    m_OverlayTime = 0.0f;
}

void COptionsMenuWindow::Draw(CFrameInterface& frame)
{
    DrawChildren(frame, 0);
    DrawChildren(frame, 1);
}

void COptionsMenuWindow::AudioOptions() {}
void COptionsMenuWindow::DisplayOptions() {}
void COptionsMenuWindow::UserManual() {}
void COptionsMenuWindow::Credits() {}

void COptionsMenuWindow::Done()
{
    Close();
}

void COptionsMenuWindow::FillSubstitutions(CTextSubstitutionList&) const {}

COptionsMenuWindow* GetOptionsMenu()
{
    return g_OptionsMenu;
}

// Not opened yet: the callers can link against it meanwhile.
COptionsMenuWindow* OpenOptionsMenu(CMenuWindow*, bool)
{
    return nullptr;
}
