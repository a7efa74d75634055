#pragma once
// The grip in a window's bottom-right corner that resizes its parent.
//
// Dragging the grip moves the parent's right and bottom edges. A frame
// window parent resizes itself (its minimum size and the pointer correction
// apply, ui/CJFrameWindow.h); any other parent simply grows by the drag.
// A frame window also keeps here the edges its own press grabbed, so the
// same edges follow the pointer until the button is released.

#include "ui/CJWindow.h"

// Resize-edge mask.
inline constexpr uint32_t kEdgeLeft = 1;
inline constexpr uint32_t kEdgeTop = 2;
inline constexpr uint32_t kEdgeRight = 4;
inline constexpr uint32_t kEdgeBottom = 8;

class CJResize : public CJWindow {
public:
    // Square, as wide as the grip character in the window's font.
    explicit CJResize(CJWindow* parent);

    void Draw(CFrameInterface& frame) override;
    CCursorSequence* GetCursor(CPoint point) override;
    bool OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*& cursor) override;

    // The edges the last press on the parent frame window grabbed.
    uint32_t GetEdgeMask() const { return m_EdgeMask; }
    void SetEdgeMask(uint32_t mask) { m_EdgeMask = mask; }

private:
    uint32_t m_EdgeMask = 0;
};
