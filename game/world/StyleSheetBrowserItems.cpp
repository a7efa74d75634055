#include "game/world/StyleSheetBrowserItems.h"

#include "blit/CBlitTypeList.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/scripting/NoneEntries.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "overlays/CFrameOverlayBrowserItem.h"
#include "sequences/CSequence.h"

// --- Customer style sheets ---

CCustomerStyleSheetBrowserItem::CCustomerStyleSheetBrowserItem(CVirtualArray* list, uint32_t index)
    : CImageBrowserItemBridge(list, index)
{
    if (auto* styles = dynamic_cast<CCustomerStyleSheetList*>(list); styles && int32_t(index) < styles->GetCount())
        m_Style = styles->GetObject(int32_t(index));
}

void CCustomerStyleSheetBrowserItem::Draw(CFrameInterface& target, CPoint point)
{
    if (!m_Style)
        return;
    if (CSequence* background = SequenceUnlessNone(m_Style->m_AngryBackground))
        background->DrawFrameAtPosition(target, 0.0f, point.x, point.y);
    if (CSequence* appearance = SequenceUnlessNone(m_Style->m_Appearance))
        appearance->DrawFrameAtPosition(target, 0.0f, point.x, point.y);
}

void CCustomerStyleSheetBrowserItem::GetBounds(CRect& out)
{
    CSequence* appearance = m_Style ? SequenceUnlessNone(m_Style->m_Appearance) : nullptr;
    out = appearance ? appearance->GetBounds() : CRect{0, 0, 0, 0};
}

std::unique_ptr<CImageBrowserItemBridge> CCustomerStyleSheetBrowserItem::SCreate(CVirtualArray* list, uint32_t index)
{
    return std::make_unique<CCustomerStyleSheetBrowserItem>(list, index);
}

ImageBrowserItemFactory CCustomerStyleSheetList::GetItemFactory()
{
    return &CCustomerStyleSheetBrowserItem::SCreate;
}

// --- Background style sheets ---

CBackgroundStyleSheetBrowserItem::CBackgroundStyleSheetBrowserItem(CVirtualArray* list, uint32_t index)
    : CImageBrowserItemBridge(list, index)
{
    auto* sheets = dynamic_cast<CBackgroundStyleSheetList*>(list);
    CBackgroundStyleSheet* sheet =
        sheets && int32_t(index) < sheets->GetCount() ? sheets->GetObject(int32_t(index)) : nullptr;
    CFrameList& frames = GetFrameLibrary();
    if (!sheet || sheet->m_BackgroundImage < 0 || sheet->m_BackgroundImage >= frames.GetCount())
        return;
    if (CFrame* picture = frames.GetObject(sheet->m_BackgroundImage))
        m_Thumbnail = MakeBrowserThumbnail(*picture, kThumbnailSide);
}

CBackgroundStyleSheetBrowserItem::~CBackgroundStyleSheetBrowserItem() = default;

void CBackgroundStyleSheetBrowserItem::Draw(CFrameInterface& target, CPoint point)
{
    if (!m_Thumbnail)
        return;
    const int32_t width = int32_t(m_Thumbnail->GetWidth());
    const int32_t height = int32_t(m_Thumbnail->GetHeight());
    target.Blit(*m_Thumbnail, SizeToRect(width, height), CRect{point.x, point.y, point.x + width, point.y + height},
                GetNormalBlitType());
}

void CBackgroundStyleSheetBrowserItem::GetBounds(CRect& out)
{
    out = m_Thumbnail ? SizeToRect(int32_t(m_Thumbnail->GetWidth()), int32_t(m_Thumbnail->GetHeight()))
                      : CRect{0, 0, 0, 0};
}

std::unique_ptr<CImageBrowserItemBridge> CBackgroundStyleSheetBrowserItem::SCreate(CVirtualArray* list,
                                                                                    uint32_t index)
{
    return std::make_unique<CBackgroundStyleSheetBrowserItem>(list, index);
}

ImageBrowserItemFactory CBackgroundStyleSheetList::GetItemFactory()
{
    return &CBackgroundStyleSheetBrowserItem::SCreate;
}
