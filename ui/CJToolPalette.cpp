#include "ui/CJToolPalette.h"

namespace {

constexpr uint32_t kAllEdges = 15;

} // namespace

CJToolPalette::CJToolPalette(CJWindow* parent, uint32_t orientation)
    : CJFrameWindow(parent)
    , m_Orientation(orientation)
{
    const int32_t unit = GetFontUnit();
    SetEdgeMargin(2 * unit);
    SetSpacing(unit, unit);
}

int32_t CJToolPalette::GetClientTopInset() const
{
    return m_Orientation == 1 ? 8 * GetFontUnit() : 0;
}

int32_t CJToolPalette::GetClientLeftInset() const
{
    return m_Orientation == 0 ? 8 * GetFontUnit() : 0;
}

void CJToolPalette::Draw(CFrameInterface& frame)
{
    DrawSkinBack(frame);
    CJWindow::Draw(frame);
}

void CJToolPalette::DrawSkinBack(CFrameInterface& frame)
{
    CJFrameWindow::DrawSkinBack(frame);
    if (m_Orientation == 0) {
        const int32_t bottom = m_ContentHeight - 1;
        DrawBevelBox(m_Font, frame, CRect{3, 1, 9, bottom}, true, kAllEdges, false);
        DrawBevelBox(m_Font, frame, CRect{10, 1, 16, bottom}, true, kAllEdges, false);
    } else {
        const int32_t right = m_ContentWidth - 1;
        DrawBevelBox(m_Font, frame, CRect{1, 3, right, 9}, true, kAllEdges, false);
        DrawBevelBox(m_Font, frame, CRect{1, 10, right, 16}, true, kAllEdges, false);
    }
}
