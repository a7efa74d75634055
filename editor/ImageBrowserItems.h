#pragma once
// The general thumbnails the browser makes itself: a line of text (the
// "Not Loaded" placeholder), a frame (folder cells), and nothing at all for
// lists without images.

#include "foundation/CJString.h"
#include "objects/CImageBrowserItemBridge.h"

class CFont;
class CFrame;

class CTextImageBrowserItemBridge : public CImageBrowserItemBridge {
public:
    // The font is not owned and may be null (nothing drawn, no width).
    CTextImageBrowserItemBridge(CVirtualArray* list, uint32_t index, const CJString& text, CFont* font);
    void Draw(CFrameInterface& target, CPoint point) override;
    void GetBounds(CRect& out) override;

private:
    CJString m_Text;
    CFont* m_Font;
};

class CFrameImageBrowserItemBridge : public CImageBrowserItemBridge {
public:
    // The frame is not owned; null draws nothing.
    CFrameImageBrowserItemBridge(CVirtualArray* list, uint32_t index, CFrame* frame);
    void Draw(CFrameInterface& target, CPoint point) override;
    void GetBounds(CRect& out) override;

private:
    CFrame* m_Frame;
};

// Bounds 1000 wide and no height, so the caption always fits one line.
class CNoImageBrowserItemBridge : public CImageBrowserItemBridge {
public:
    using CImageBrowserItemBridge::CImageBrowserItemBridge;
    void GetBounds(CRect& out) override;
};

std::unique_ptr<CImageBrowserItemBridge> CreateNoImageBrowserItem(CVirtualArray* list, uint32_t index);
