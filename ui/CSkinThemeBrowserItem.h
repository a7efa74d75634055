#pragma once
// The browser's picture of a skin theme: a small frame window built under
// the theme, holding a button, a check box, a static text and a text edit,
// so a designer sees the theme's look at a glance. The window is lent to
// the screen window only while it draws, so its controls measure and clip
// as they would on screen.

#include "objects/CImageBrowserItemBridge.h"

#include <memory>

class CJFrameWindow;

class CSkinThemeBrowserItem : public CImageBrowserItemBridge {
public:
    // Margin round the preview window in the bounds.
    static constexpr int32_t kMargin = 50;

    CSkinThemeBrowserItem(CVirtualArray* list, uint32_t index);
    ~CSkinThemeBrowserItem() override;

    void Draw(CFrameInterface& target, CPoint point) override;
    void Update(float seconds) override;
    // The preview window's size, kMargin more on every side.
    void GetBounds(CRect& out) override;

    // Builds the preview again under the item's theme (the theme may have
    // been edited since).
    void BuildPreview();
    CJFrameWindow* GetPreview() const { return m_Preview; }

    static std::unique_ptr<CImageBrowserItemBridge> SCreate(CVirtualArray* list, uint32_t index);

private:
    CJFrameWindow* m_Preview = nullptr;
    // Counts down to the one rebuild after creation.
    float m_RebuildTimer = 0.0f;
    bool m_Rebuilt = false;
};
