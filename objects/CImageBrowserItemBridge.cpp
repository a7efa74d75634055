#include "objects/CImageBrowserItemBridge.h"

void CImageBrowserItemBridge::Draw(CFrameInterface&, CPoint) {}

void CImageBrowserItemBridge::Update(float) {}

bool CImageBrowserItemBridge::Click(uint32_t, CPoint)
{
    return false;
}

void CImageBrowserItemBridge::GetBounds(CRect& out)
{
    out = CRect{0, 0, 0, 0};
}
