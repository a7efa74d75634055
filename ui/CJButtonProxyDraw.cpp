#include "ui/CJButtonProxyDraw.h"

CPointerToBeNulledArray& SProxyDrawPointerAccess::Get(CJWindowControlProxyDrawMixIn& mixIn)
{
    return mixIn.GetPointerToBeNulledArray();
}

CJWindowControlProxyDrawMixIn::~CJWindowControlProxyDrawMixIn()
{
    ReleaseWeakReference();
}

CPointerToBeNulledArray& CJWindowControlProxyDrawMixIn::GetPointerToBeNulledArray()
{
    if (!m_WeakReference)
        m_WeakReference = new CPointerToBeNulledArray();
    return *m_WeakReference;
}

void CJWindowControlProxyDrawMixIn::ReleaseWeakReference()
{
    CPointerToBeNulledArray* array = m_WeakReference;
    m_WeakReference = nullptr;
    delete array;
}

void CJWindowControlProxyDrawMixIn::DrawAtControl(CJWindow& control, COffsetClippedProxyFrame& target,
                                                  void (*draw)(CJWindow& control, CFrameInterface& frame))
{
    const int32_t offsetX = target.GetOwnOffsetX();
    const int32_t offsetY = target.GetOwnOffsetY();
    CRect bounds{};
    target.GetBounds(bounds);

    const CRect& screen = control.GetScreenRect();
    target.SetOffset(control.GetScrollOffsetX() - screen.left, control.GetScrollOffsetY() - screen.top);
    target.SetClipRect(control.GetClipRect());
    draw(control, target);

    target.SetOffset(offsetX, offsetY);
    target.SetClipRect(bounds);
}

CFPoint CJWindowControlProxyDrawMixIn::CenterOf(const CRect& rect)
{
    return CFPoint{float(rect.left + (rect.right - rect.left) / 2), float(rect.top + (rect.bottom - rect.top) / 2)};
}

template class CJButtonProxyDrawTemplate<CJButton>;
template class CJButtonProxyDrawTemplate<CJCheckBox>;
template class CJButtonProxyDrawTemplate<CJImageCheckBox>;
