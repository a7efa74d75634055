#pragma once
// The thumbnail of one frame of a frame list; loads the frame when made.

#include "objects/CImageBrowserItemBridge.h"

class CBlitType;
class CFrame;

class CFrameBrowserItem : public CImageBrowserItemBridge {
public:
    CFrameBrowserItem(CVirtualArray* list, uint32_t index);
    // A frame held elsewhere (an object editor's own frame).
    CFrameBrowserItem(CVirtualArray* list, uint32_t index, CFrame* frame);

    // A stand-alone frame draws with its own blit type, others with the
    // normal one.
    void Draw(CFrameInterface& target, CPoint point) override;
    // The frame's bounds; empty when the entry holds no frame.
    void GetBounds(CRect& out) override;

    CFrame* GetFrame() const { return m_Frame; }

    static std::unique_ptr<CImageBrowserItemBridge> SCreate(CVirtualArray* list, uint32_t index);

private:
    CFrame* m_Frame = nullptr;
};

// Draws a whole frame with its hot spot at (x, y).
void DrawWholeFrame(CFrameInterface& target, CFrame& frame, int32_t x, int32_t y, CBlitType& blitType);
