#include "game/screens/OverlayScreen.h"

#include "ui/CMenuWindow.h"
#include "ui/CScreenWindow.h"

void ClearOverlayButtons(CMenuWindow& window)
{
    window.SetDefaultButton(nullptr);
    window.SetCancelButton(nullptr);
    while (CJWindow* child = window.GetFirstChild())
        child->Destroy();
}

void DrawOverlaySet(CFrameOverlayOptions* set, CFrameInterface& frame, CTextSubstitutionList& values, float time)
{
    if (!set)
        return;
    CFrameOverlayDrawContext context;
    context.m_pTarget = &frame;
    context.m_pSubstitutions = &values;
    context.m_Opacity = 1.0f;
    context.m_Time = time;
    set->Draw(context);
}

bool IsMenuCloseKey(uint32_t key)
{
    return key == kKeyEnter || key == kKeyEscape || key == kKeyActivateDefault;
}

namespace {

// The window of the screen window that stands in for `menu`, directly or
// through the windows it stands in for in turn; null when none does.
CMenuWindow* FindStandIn(const CMenuWindow& menu)
{
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    if (!screen)
        return nullptr;
    for (CJWindow* child = screen->GetFirstChild(); child; child = child->GetNextSibling()) {
        auto* top = dynamic_cast<CMenuWindow*>(child);
        for (CMenuWindow* held = top; held;) {
            CJWindow* replaced = held->GetReplacedWindow();
            if (replaced == &menu)
                return top;
            held = dynamic_cast<CMenuWindow*>(replaced);
        }
    }
    return nullptr;
}

} // namespace

void CloseScreenMenu(CMenuWindow& menu)
{
    if (!menu.GetParent())
        if (CMenuWindow* standIn = FindStandIn(menu)) {
            standIn->ReleaseReplacedWindow();
            standIn->Close();
            return;
        }
    menu.Close();
}
