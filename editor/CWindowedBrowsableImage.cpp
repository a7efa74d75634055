#include "editor/CWindowedBrowsableImage.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"

namespace {

constexpr int32_t kUnknownBound = -9999;
constexpr int32_t kUnknownSize = 300;

} // namespace

CWindowedBrowsableImage::CWindowedBrowsableImage(CJWindow* parent)
    : CJWindow(parent, "~CWindowedBrowsableImage")
{
}

CWindowedBrowsableImage::~CWindowedBrowsableImage() = default;

bool CWindowedBrowsableImage::BoundsValid() const
{
    return m_Bounds.left > kUnknownBound && m_Bounds.top > kUnknownBound;
}

void CWindowedBrowsableImage::SetItem(std::unique_ptr<CImageBrowserItemBridge> item)
{
    m_Item = std::move(item);
    m_Bounds = CRect{0, 0, 0, 0};
    if (m_Item)
        m_Item->GetBounds(m_Bounds);
    if (BoundsValid()) {
        SetSize(m_Bounds.GetWidth(), m_Bounds.GetHeight());
        m_ImageOrigin = CPoint{-m_Bounds.left, -m_Bounds.top};
    } else {
        SetSize(kUnknownSize, kUnknownSize);
        m_ImageOrigin = CPoint{kUnknownSize / 2, kUnknownSize / 2};
    }
}

CPoint CWindowedBrowsableImage::CentringShift() const
{
    if (!BoundsValid())
        return CPoint{0, 0};
    return CPoint{m_CentreHorizontally ? (GetWidth() - m_Bounds.GetWidth()) / 2 : 0,
                  m_CentreVertically ? (GetHeight() - m_Bounds.GetHeight()) / 2 : 0};
}

void CWindowedBrowsableImage::Update(float seconds)
{
    CJWindow::Update(seconds);
    if (m_Item)
        m_Item->Update(seconds);
}

void CWindowedBrowsableImage::Draw(CFrameInterface& frame)
{
    CJWindow::Draw(frame);
    if (m_Item) {
        // The target holds this window's content coordinates.
        const CPoint shift = CentringShift();
        m_Item->Draw(frame, CPoint{GetScrollOffsetX() + m_ImageOrigin.x + shift.x,
                                   GetScrollOffsetY() + m_ImageOrigin.y + shift.y});
    }
    // Previews may fade their blits; later drawing must not inherit that.
    GetNormalBlitType().SetOpacity(1.0f);
    GetTransparentMaskBlitType().SetOpacity(1.0f);
}

bool CWindowedBrowsableImage::OnMouseDown(uint32_t button, CPoint point)
{
    if (CJWindow::OnMouseDown(button, point))
        return true;
    const CPoint client = ScreenToClient(point);
    const CPoint shift = CentringShift();
    const CPoint relative{client.x - m_ImageOrigin.x - shift.x, client.y - m_ImageOrigin.y - shift.y};
    if (m_Item && m_Item->Click(button, relative))
        return true;
    if (button == 0 && m_NotifyOnClick) {
        NotifyParent(0);
        return true;
    }
    return false;
}
