#include "editor/CSplitBarVertical.h"

#include "ui/CJFrameWindow.h"

#include <algorithm>

CSplitBarVertical::CSplitBarVertical(CJWindow* parent)
    : CJWindow(parent, "Split Bar")
{
    SetSize(8, 8);
}

void CSplitBarVertical::SetRange(int32_t minimum, int32_t maximum)
{
    m_Minimum = minimum;
    m_Maximum = std::max(minimum, maximum);
}

void CSplitBarVertical::Draw(CFrameInterface& frame)
{
    DrawBevelBox(GetFont(), frame, CRect{0, 0, GetWidth(), GetHeight()}, true, 15, false);
    CJWindow::Draw(frame);
}

CCursorSequence* CSplitBarVertical::GetCursor(CPoint)
{
    return GetStandardCursor(m_Dragged ? kCursorMovingX : kCursorCanMoveX);
}

bool CSplitBarVertical::OnMouseDown(uint32_t button, CPoint point)
{
    if (button != 0)
        return CJWindow::OnMouseDown(button, point);
    // The press becomes a hold, so the drag follows.
    CJWindow::OnMouseDown(button, point);
    return true;
}

bool CSplitBarVertical::OnMouseDrag(CPoint, CPoint movement, uint32_t buttons, CCursorSequence*& cursor)
{
    if (!(buttons & 1u))
        return false;
    m_Dragged = true;
    cursor = GetStandardCursor(kCursorMovingX);
    const int32_t left = GetRect().left;
    const int32_t x = std::clamp(left + movement.x, m_Minimum, m_Maximum);
    if (x != left) {
        MoveToX(x);
        NotifyParent(kNotifyChanged);
    }
    return true;
}

void CSplitBarVertical::OnMouseRelease(CPoint point, uint32_t buttons)
{
    CJWindow::OnMouseRelease(point, buttons);
    m_Dragged = false;
}
