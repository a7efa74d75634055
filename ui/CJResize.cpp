#include "ui/CJResize.h"

#include "images/CFont.h"
#include "ui/CJFrameWindow.h"

namespace {

// FRACTION SLASH: a diagonal stroke that reads as a corner grip.
const char16_t kGripText[] = {0x2044, 0};

} // namespace

CJResize::CJResize(CJWindow* parent)
    : CJWindow(parent, "Resize Control")
{
    const int32_t side = m_Font ? m_Font->GetTextWidth(CJString(kGripText)) : 0;
    SetSize(side, side);
}

void CJResize::Draw(CFrameInterface& frame)
{
    // The font's own colour: the grip takes no colour record of the window.
    if (m_Font)
        m_Font->DrawText(frame, 0, 0, CJString(kGripText));
    CJWindow::Draw(frame);
}

CCursorSequence* CJResize::GetCursor(CPoint)
{
    return GetStandardCursor(kCursorCanResize);
}

bool CJResize::OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*& cursor)
{
    if (!(buttons & 1))
        return CJWindow::OnMouseDrag(point, movement, buttons, cursor);
    cursor = GetStandardCursor(kCursorResizing);
    if (!m_Parent || (movement.x == 0 && movement.y == 0))
        return true;
    if (auto* frame = dynamic_cast<CJFrameWindow*>(m_Parent)) {
        frame->ResizeByDrag(kEdgeRight | kEdgeBottom, point, movement);
    } else {
        CRect rect = m_Parent->GetRect();
        rect.right += movement.x;
        rect.bottom += movement.y;
        m_Parent->SetRect(rect);
    }
    return true;
}
