#include "ui/CJPictureWindow.h"

#include "blit/CBlitTypeList.h"
#include "images/CFrame.h"
#include "render/SurfaceHelpers.h"

CJPictureWindow::CJPictureWindow(CJWindow* parent, CFrame* picture, int32_t x, int32_t y)
    : CMenuWindow(parent, "CJPictureWindow")
    , m_Picture(picture)
    , m_PictureX(x)
    , m_PictureY(y)
{
    if (picture)
        SetSize(int32_t(picture->GetWidth()), int32_t(picture->GetHeight()));
    SetBorderWidthUnits(2);
}

void CJPictureWindow::Draw(CFrameInterface& frame)
{
    if (m_Picture)
        BlitAt(frame, *m_Picture, m_PictureX, m_PictureY, GetTransparentMaskBlitType());
    CJWindow::Draw(frame);
}

bool CJPictureWindow::OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*& cursor)
{
    return CJWindow::OnMouseDrag(point, movement, buttons, cursor);
}
