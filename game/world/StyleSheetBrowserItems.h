#pragma once
// The browser's pictures of the style sheets: a customer style as its
// customer stands (the angry background behind the appearance, both at
// their first frame), a background style sheet as its level's background
// picture, shrunk to a thumbnail.

#include "objects/CImageBrowserItemBridge.h"

#include <memory>

class CCustomerStyleSheet;
class CFrame;

class CCustomerStyleSheetBrowserItem : public CImageBrowserItemBridge {
public:
    CCustomerStyleSheetBrowserItem(CVirtualArray* list, uint32_t index);

    void Draw(CFrameInterface& target, CPoint point) override;
    // The appearance's bounds.
    void GetBounds(CRect& out) override;

    static std::unique_ptr<CImageBrowserItemBridge> SCreate(CVirtualArray* list, uint32_t index);

private:
    CCustomerStyleSheet* m_Style = nullptr;
};

class CBackgroundStyleSheetBrowserItem : public CImageBrowserItemBridge {
public:
    static constexpr uint32_t kThumbnailSide = 160;

    CBackgroundStyleSheetBrowserItem(CVirtualArray* list, uint32_t index);
    ~CBackgroundStyleSheetBrowserItem() override;

    void Draw(CFrameInterface& target, CPoint point) override;
    void GetBounds(CRect& out) override;

    static std::unique_ptr<CImageBrowserItemBridge> SCreate(CVirtualArray* list, uint32_t index);

private:
    std::unique_ptr<CFrame> m_Thumbnail;
};
