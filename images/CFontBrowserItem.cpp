#include "images/CFontBrowserItem.h"

#include "blit/CBlitTypeList.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "images/CFrameBrowserItem.h"
#include "objects/CObjectFileArray.h"

#include <string_view>

CFontBrowserItem::CFontBrowserItem(CVirtualArray* list, uint32_t index)
    : CImageBrowserItemBridge(list, index)
{
    auto* objects = dynamic_cast<CObjectFileArray*>(list);
    if (!objects || int32_t(index) >= objects->GetCount())
        return;
    if (index == 0 && std::string_view(objects->GetItemName(0)) == "none")
        return;
    m_Font = dynamic_cast<CFont*>(objects->GetItemObject(int32_t(index)));
}

void CFontBrowserItem::Draw(CFrameInterface& target, CPoint point)
{
    CFrame* glyph = m_Font ? m_Font->GetGlyphFrame('A') : nullptr;
    if (!glyph)
        return;
    CBlitType* blitType = m_Font->GetBlitType();
    DrawWholeFrame(target, *glyph, point.x, point.y, blitType ? *blitType : GetNormalBlitType());
}

void CFontBrowserItem::GetBounds(CRect& out)
{
    CFrame* glyph = m_Font ? m_Font->GetGlyphFrame('A') : nullptr;
    if (glyph)
        glyph->GetBounds(out);
    else
        out = CRect{0, 0, 0, 0};
}

std::unique_ptr<CImageBrowserItemBridge> CFontBrowserItem::SCreate(CVirtualArray* list, uint32_t index)
{
    return std::make_unique<CFontBrowserItem>(list, index);
}
