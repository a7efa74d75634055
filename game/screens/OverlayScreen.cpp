#include "game/screens/OverlayScreen.h"

#include "ui/CMenuWindow.h"

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
