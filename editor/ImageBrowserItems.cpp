#include "editor/ImageBrowserItems.h"

#include "blit/CBlitTypeList.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "images/CFrameBrowserItem.h"

CTextImageBrowserItemBridge::CTextImageBrowserItemBridge(CVirtualArray* list, uint32_t index, const CJString& text,
                                                         CFont* font)
    : CImageBrowserItemBridge(list, index)
    , m_Text(text)
    , m_Font(font)
{
}

void CTextImageBrowserItemBridge::Draw(CFrameInterface& target, CPoint point)
{
    if (m_Font)
        m_Font->DrawText(target, point.x, point.y, m_Text);
}

void CTextImageBrowserItemBridge::GetBounds(CRect& out)
{
    if (!m_Font) {
        out = CRect{0, 0, 0, 0};
        return;
    }
    out = CRect{0, 0, m_Font->GetTextWidth(m_Text), m_Font->GetPointSize()};
}

CFrameImageBrowserItemBridge::CFrameImageBrowserItemBridge(CVirtualArray* list, uint32_t index, CFrame* frame)
    : CImageBrowserItemBridge(list, index)
    , m_Frame(frame)
{
}

void CFrameImageBrowserItemBridge::Draw(CFrameInterface& target, CPoint point)
{
    if (m_Frame)
        DrawWholeFrame(target, *m_Frame, point.x, point.y, GetNormalBlitType());
}

void CFrameImageBrowserItemBridge::GetBounds(CRect& out)
{
    if (m_Frame)
        m_Frame->GetBounds(out);
    else
        out = CRect{0, 0, 0, 0};
}

void CNoImageBrowserItemBridge::GetBounds(CRect& out)
{
    out = CRect{0, 0, 1000, 0};
}

std::unique_ptr<CImageBrowserItemBridge> CreateNoImageBrowserItem(CVirtualArray* list, uint32_t index)
{
    return std::make_unique<CNoImageBrowserItemBridge>(list, index);
}
