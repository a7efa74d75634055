#include "images/CFrameBrowserItem.h"

#include "blit/CBlitTypeList.h"
#include "images/CFrame.h"
#include "images/CStandAloneFrame.h"
#include "objects/CObjectFileArray.h"

CFrameBrowserItem::CFrameBrowserItem(CVirtualArray* list, uint32_t index)
    : CImageBrowserItemBridge(list, index)
{
    // Only object lists can hand out objects; any other list shows nothing.
    if (auto* objects = dynamic_cast<CObjectFileArray*>(list); objects && int32_t(index) < objects->GetCount())
        m_Frame = dynamic_cast<CFrame*>(objects->GetItemObject(int32_t(index)));
}

CFrameBrowserItem::CFrameBrowserItem(CVirtualArray* list, uint32_t index, CFrame* frame)
    : CImageBrowserItemBridge(list, index)
    , m_Frame(frame)
{
}

void CFrameBrowserItem::Draw(CFrameInterface& target, CPoint point)
{
    if (!m_Frame)
        return;
    CBlitType* blitType = nullptr;
    if (auto* standAlone = dynamic_cast<CStandAloneFrame*>(m_Frame))
        blitType = standAlone->GetBlitType();
    DrawWholeFrame(target, *m_Frame, point.x, point.y, blitType ? *blitType : GetNormalBlitType());
}

void CFrameBrowserItem::GetBounds(CRect& out)
{
    if (m_Frame)
        m_Frame->GetBounds(out);
    else
        out = CRect{0, 0, 0, 0};
}

std::unique_ptr<CImageBrowserItemBridge> CFrameBrowserItem::SCreate(CVirtualArray* list, uint32_t index)
{
    return std::make_unique<CFrameBrowserItem>(list, index);
}

void DrawWholeFrame(CFrameInterface& target, CFrame& frame, int32_t x, int32_t y, CBlitType& blitType)
{
    // A blit's source rectangle is in the frame's own coordinates, hot spot
    // at 0: its bounds are the whole frame.
    CRect bounds;
    frame.GetBounds(bounds);
    const CRect destination{x + bounds.left, y + bounds.top, x + bounds.right, y + bounds.bottom};
    target.Blit(frame, bounds, destination, blitType);
}
