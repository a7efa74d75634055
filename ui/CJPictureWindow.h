#pragma once
// A menu window that shows one picture; it is never dragged.

#include "ui/CMenuWindow.h"

class CFrame;

class CJPictureWindow : public CMenuWindow {
public:
    // The picture is not owned; with one, the window takes its size.
    CJPictureWindow(CJWindow* parent, CFrame* picture, int32_t x, int32_t y);

    // The picture at its position with the blitter's alpha, then the
    // children.
    void Draw(CFrameInterface& frame) override;
    bool OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*& cursor) override;

    CFrame* GetPicture() const { return m_Picture; }

private:
    CFrame* m_Picture = nullptr;
    int32_t m_PictureX = 0;
    int32_t m_PictureY = 0;
};
