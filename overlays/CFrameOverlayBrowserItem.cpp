#include "overlays/CFrameOverlayBrowserItem.h"

#include "blit/CBlitTypeList.h"
#include "blit/CColor.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "overlays/CFrameOverlay.h"
#include "render/CScaledOffsetProxyFrame.h"

#include <algorithm>

CFrameOverlayBrowserItem::CFrameOverlayBrowserItem(CVirtualArray* list, uint32_t index)
    : CImageBrowserItemBridge(list, index)
{
    if (auto* sets = dynamic_cast<CFrameOverlayOptionsList*>(list); sets && int32_t(index) < sets->GetCount())
        m_Set = sets->GetObject(int32_t(index));
    BuildThumbnail();
}

CFrameOverlayBrowserItem::~CFrameOverlayBrowserItem() = default;

void CFrameOverlayBrowserItem::BuildThumbnail()
{
    if (!m_Set)
        return;
    CFrameList& frames = GetFrameLibrary();
    // Entry 0 is the data's "none", as for every frame reference.
    CFrame* preview = m_Set->m_PreviewFrame > 0 && m_Set->m_PreviewFrame < frames.GetCount()
                          ? frames.GetObject(m_Set->m_PreviewFrame)
                          : nullptr;
    const uint32_t width = preview && preview->GetWidth() > 0 ? preview->GetWidth() : kBlankWidth;
    const uint32_t height = preview && preview->GetHeight() > 0 ? preview->GetHeight() : kBlankHeight;
    if (!m_Picture || m_Picture->GetWidth() != width || m_Picture->GetHeight() != height)
        m_Picture = CFrame::MakeOwned(width, height, 32);
    CColor background(48, 48, 48, 255);
    m_Picture->Fill(background);
    const CRect whole = SizeToRect(int32_t(width), int32_t(height));
    if (preview)
        m_Picture->Blit(*preview, whole, whole, GetNormalBlitType());
    m_Set->DrawOnFrame(*m_Picture, m_Set->m_pPreviewSubstitutions, false, nullptr);

    m_Thumbnail = MakeBrowserThumbnail(*m_Picture, kThumbnailSide);
    m_SinceBuild = 0.0f;
    m_Stale = false;
}

void CFrameOverlayBrowserItem::Update(float seconds)
{
    m_SinceBuild += seconds;
    if (m_SinceBuild >= kRebuildSeconds)
        m_Stale = true;
}

void CFrameOverlayBrowserItem::Draw(CFrameInterface& target, CPoint point)
{
    if (m_Stale)
        BuildThumbnail();
    if (!m_Thumbnail)
        return;
    const int32_t width = int32_t(m_Thumbnail->GetWidth());
    const int32_t height = int32_t(m_Thumbnail->GetHeight());
    target.Blit(*m_Thumbnail, SizeToRect(width, height), CRect{point.x, point.y, point.x + width, point.y + height},
                GetNormalBlitType());
}

void CFrameOverlayBrowserItem::GetBounds(CRect& out)
{
    out = m_Thumbnail ? SizeToRect(int32_t(m_Thumbnail->GetWidth()), int32_t(m_Thumbnail->GetHeight()))
                      : CRect{0, 0, 0, 0};
}

std::unique_ptr<CFrame> MakeBrowserThumbnail(CFrame& source, uint32_t side)
{
    const uint32_t width = source.GetWidth();
    const uint32_t height = source.GetHeight();
    if (width == 0 || height == 0)
        return nullptr;
    const float scale = std::min(1.0f, float(side) / float(std::max(width, height)));
    const uint32_t thumbWidth = std::max(1u, uint32_t(float(width) * scale));
    const uint32_t thumbHeight = std::max(1u, uint32_t(float(height) * scale));
    auto thumbnail = CFrame::MakeOwned(thumbWidth, thumbHeight, 32);
    CColor background(48, 48, 48, 255);
    thumbnail->Fill(background);
    const CRect whole = SizeToRect(int32_t(width), int32_t(height));
    if (scale == 1.0f) {
        thumbnail->Blit(source, whole, whole, GetNormalBlitType());
        return thumbnail;
    }
    CScaledOffsetProxyFrame shrink(thumbnail.get());
    shrink.Set(scale, 0.0f, 0.0f);
    shrink.SetCentre(0.0f, 0.0f);
    shrink.Blit(source, whole, whole, GetNormalBlitType());
    return thumbnail;
}

std::unique_ptr<CImageBrowserItemBridge> CFrameOverlayBrowserItem::SCreate(CVirtualArray* list, uint32_t index)
{
    return std::make_unique<CFrameOverlayBrowserItem>(list, index);
}

ImageBrowserItemFactory CFrameOverlayOptionsList::GetItemFactory()
{
    return &CFrameOverlayBrowserItem::SCreate;
}
