#include "render/CProxyFrame.h"
#include "ui/CJWindow.h"
#include "ui/CSkinBorder.h"

CParentClip::CParentClip(CJWindow* window, CFrameInterface& frame)
    : m_Frame(frame)
{
    auto* proxy = dynamic_cast<COffsetClippedProxyFrame*>(&frame);
    CJWindow* parent = window ? window->GetParent() : nullptr;
    if (!proxy || !parent)
        return;
    proxy->GetBounds(m_Saved);
    // The parent's visible content, seen from the window's content.
    const CRect& area = parent->GetClipRect();
    const int32_t dx = SaturatingSub(window->GetScrollOffsetX(), window->GetRect().left);
    const int32_t dy = SaturatingSub(window->GetScrollOffsetY(), window->GetRect().top);
    proxy->SetClipRect(MoveRect(area, dx, dy));
    m_Changed = true;
}

CParentClip::~CParentClip()
{
    if (m_Changed)
        static_cast<COffsetClippedProxyFrame&>(m_Frame).SetClipRect(m_Saved);
}
