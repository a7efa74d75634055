#pragma once
// A thin vertical bar the user drags sideways to share a window between
// the columns on either side. It keeps its own range; its owner lays the
// columns out again when told (code 1) that the bar moved.

#include "ui/CJWindow.h"

class CSplitBarVertical : public CJWindow {
public:
    explicit CSplitBarVertical(CJWindow* parent);

    // The x the bar's left edge may take, in its parent's coordinates.
    void SetRange(int32_t minimum, int32_t maximum);
    int32_t GetMinimum() const { return m_Minimum; }
    int32_t GetMaximum() const { return m_Maximum; }
    bool IsDragged() const { return m_Dragged; }

    void Draw(CFrameInterface& frame) override;
    CCursorSequence* GetCursor(CPoint point) override;
    bool OnMouseDown(uint32_t button, CPoint point) override;
    bool OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*& cursor) override;
    void OnMouseRelease(CPoint point, uint32_t buttons) override;

private:
    int32_t m_Minimum = 0;
    int32_t m_Maximum = 1 << 30;
    bool m_Dragged = false;
};
