#pragma once
// The browser's picture of an overlay set: the set drawn over its preview
// frame with its preview substitutions, made again every third of a second
// so animated overlays move, and shrunk to a thumbnail (the browser draws
// every picture at its own size, and sets are usually whole screens). The
// picture is made again only when it is drawn, so sets scrolled out of view
// cost nothing.

#include "objects/CImageBrowserItemBridge.h"

#include <memory>

class CFrame;
class CFrameOverlayOptions;

class CFrameOverlayBrowserItem : public CImageBrowserItemBridge {
public:
    static constexpr float kRebuildSeconds = 0.33333f;
    // The thumbnail's longer side at most.
    static constexpr uint32_t kThumbnailSide = 160;
    // The picture a set without a preview frame is drawn on.
    static constexpr uint32_t kBlankWidth = 1024;
    static constexpr uint32_t kBlankHeight = 768;

    CFrameOverlayBrowserItem(CVirtualArray* list, uint32_t index);
    ~CFrameOverlayBrowserItem() override;

    void Draw(CFrameInterface& target, CPoint point) override;
    void Update(float seconds) override;
    // The thumbnail's size, from its top-left corner.
    void GetBounds(CRect& out) override;

    // Draws the set again into the thumbnail.
    void BuildThumbnail();
    CFrame* GetThumbnail() const { return m_Thumbnail.get(); }

    static std::unique_ptr<CImageBrowserItemBridge> SCreate(CVirtualArray* list, uint32_t index);

private:
    CFrameOverlayOptions* m_Set = nullptr;
    std::unique_ptr<CFrame> m_Picture;   // full size, kept between builds
    std::unique_ptr<CFrame> m_Thumbnail;
    float m_SinceBuild = 0.0f;
    bool m_Stale = false;
};

// A copy of the source shrunk (never grown) so its longer side is at most
// side pixels, on an opaque background; the style sheets' pictures use it
// too.
std::unique_ptr<CFrame> MakeBrowserThumbnail(CFrame& source, uint32_t side);
