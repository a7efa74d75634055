// How a list box draws itself each frame: background, selection bar with
// the typed part, rows, tree icons and connector lines, children, and the
// one glide step that ends every draw.
#include "ui/CJListBox.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "blit/CFrameInterface.h"
#include "foundation/CVirtualArray.h"
#include "foundation/MillisecondClock.h"
#include "foundation/SaturatingArithmetic.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "render/CProxyFrame.h"
#include "render/SurfaceHelpers.h"
#include "ui/CJScrollBar.h"
#include "ui/CJHeader.h"

#include <algorithm>
#include <optional>

namespace {

struct SIconFrames {
    bool lookedUp = false;
    CFrame* open = nullptr;
    CFrame* closed = nullptr;
    CFrame* file = nullptr;
};

SIconFrames& IconFrames()
{
    static SIconFrames frames;
    if (!frames.lookedUp) {
        frames.lookedUp = true;
        CFrameList& library = GetFrameLibrary();
        auto find = [&library](const char* name) -> CFrame* {
            const int32_t index = library.Find(name);
            return index >= 0 ? library.GetObject(index) : nullptr;
        };
        frames.open = find("Folder Open Icon");
        frames.closed = find("Folder Closed Icon");
        frames.file = find("File Icon");
    }
    return frames;
}

void DrawCentred(CFrameInterface& target, CFrame* icon, int32_t x, int32_t y)
{
    if (!icon)
        return;
    BlitAt(target, *icon, x - int32_t(icon->GetWidth()) / 2, y - int32_t(icon->GetHeight()) / 2,
           GetTransparentMaskBlitType());
}

} // namespace

CFrame* CJListBox::GetOpenFolderIconFrame()
{
    return IconFrames().open;
}

CFrame* CJListBox::GetClosedFolderIconFrame()
{
    return IconFrames().closed;
}

CFrame* CJListBox::GetFileIconFrame()
{
    return IconFrames().file;
}

void CJListBox::ResetIconFrames()
{
    IconFrames() = SIconFrames{};
}

int32_t CJListBox::GetIconWidth() const
{
    int32_t width = 0;
    for (CFrame* icon : {GetOpenFolderIconFrame(), GetClosedFolderIconFrame(), GetFileIconFrame()})
        if (icon)
            width = std::max(width, int32_t(icon->GetWidth()));
    return width;
}

void CJListBox::Draw(CFrameInterface& frame)
{
    DrawList(frame, false);
}

void CJListBox::DrawList(CFrameInterface& frame, bool raised)
{
    // Dimmed blits go back to what they were, so a greyed list inside a
    // greyed parent leaves the parent's drawing greyed.
    const bool greyed = !IsEnabledWithParent() || IsGrayed();
    std::optional<CScopedBlitOpacity> dimMask, dimBlack;
    if (greyed) {
        dimMask.emplace(GetTransparentMaskBlitType(), 0.4f);
        dimBlack.emplace(GetBlackBiasBlitType(), 0.6f);
    }
    const int32_t u = GetFontUnit();
    const int32_t rowHeight = GetRowHeight();
    const int32_t textLeft = u + 1;
    if (m_DrawBevel)
        DrawBevelBox(m_Font, frame, CRect{0, 0, GetWidth(), GetHeight()}, raised, 15, false);

    const int32_t rows = GetRowCount();
    if (m_SelectedRow >= 0 && m_SelectedRow < rows && (m_VisibleRows > 1 || rows == 1))
        DrawSelectionBar(frame, m_SelectedRow * rowHeight - m_ShownOffset + textLeft);

    const bool icons = m_TreeMode && !m_NoIndent && !m_NoIcons;
    const int32_t indent = GetIndent();
    const int32_t iconWidth = m_TreeMode ? GetIconWidth() : 0;
    const int32_t visibleHeight = GetVisibleHeight();
    const int32_t firstRow = rowHeight > 0 ? m_ShownOffset / rowHeight : 0;
    const int32_t endRow =
        rowHeight > 0 ? std::min(rows, (m_ShownOffset + rowHeight + visibleHeight - 1) / rowHeight) : 0;
    const int32_t firstLevel = m_LevelOffset == 1 ? 0 : 1;
    for (int32_t r = std::max(firstRow, 0); r < endRow; ++r) {
        const SListBoxRow& row = m_Rows[size_t(r)];
        const int32_t y = r * rowHeight - m_ShownOffset + textLeft;
        const int32_t indentX =
            (m_NoIndent || m_NoIcons) ? 0 : (int32_t(row.level) + m_LevelOffset) * indent;
        DrawRow(frame, indentX + iconWidth + textLeft, y, indentX, m_RowSpacing / 2, r);
        if (!icons)
            continue;
        const int32_t iconX = indentX + iconWidth / 2 + textLeft;
        const int32_t iconY = y + rowHeight / 2;
        if (row.hasChildren && row.expanded)
            DrawOpenFolderIcon(frame, iconX, iconY);
        else if (row.hasChildren)
            DrawClosedFolderIcon(frame, iconX, iconY);
        else
            DrawFileIcon(frame, iconX, iconY);
        for (int32_t j = firstLevel; j <= int32_t(row.level); ++j) {
            const int32_t x = textLeft + (j - firstLevel) * indent;
            const bool last = j < 32 && (row.lastChildMask & (1u << j)) != 0;
            if (j == int32_t(row.level)) {
                if (last)
                    DrawLastChildLine(frame, x, y, j, !row.hasChildren);
                else
                    DrawMiddleChildLine(frame, x, y, j, !row.hasChildren);
            } else if (!last) {
                DrawVerticalLine(frame, x, y, j, false);
            }
        }
    }

    CJWindow::Draw(frame);
    if (m_Header) {
        const int32_t columns = m_Header->GetColumnCount();
        CColor colour = m_Color1;
        int32_t x = 0;
        for (int32_t c = 0; c + 1 < columns; ++c) {
            x += m_Header->GetColumnWidth(c);
            frame.DrawLine(x, textLeft, x, GetHeight() - textLeft - 1, colour);
        }
    }
    StepScroll();
}

void CJListBox::DrawSelectionBar(CFrameInterface& frame, int32_t y)
{
    if (!IsEnabledWithParent() || IsGrayed())
        return;
    const int32_t u = GetFontUnit();
    const int32_t rowHeight = GetRowHeight();
    CRect area{0, 0, m_ContentWidth, m_ContentHeight};
    if (m_ScrollBar)
        m_ScrollBar->ClipRectToBar(area, CPoint{m_ScreenRect.left, m_ScreenRect.top});
    CColor barColour = m_Color4;
    frame.FillRect(CRect{area.left + u + 1, y, area.right - (u + 1), y + rowHeight}, barColour);

    const bool fresh = m_TypedText.IsNotEmpty() && uint32_t(MillisecondClock()) - m_TypedTick < 2000;
    if (!fresh || !m_Font)
        return;
    const SListBoxRow& row = m_Rows[size_t(m_SelectedRow)];
    const int32_t indent = (m_NoIndent || m_NoIcons) ? 0 : (int32_t(row.level) + m_LevelOffset) * GetIndent();
    const int32_t textX = indent + (m_TreeMode ? GetIconWidth() : 0) + u + 1;
    const CJString text = GetRowText(m_SelectedRow);
    const int32_t start = textX + m_Font->GetTextWidth(text, m_TypedMatchIndex);
    const int32_t typedWidth = m_Font->GetTextWidth(text.Mid(m_TypedMatchIndex, m_TypedText.GetLength()));
    CColor textColour = m_TextColor;
    frame.FillRect(CRect{start, y, start + typedWidth, y + rowHeight}, textColour);
    const bool caret = m_HasFocus && m_VisibleRows == 1 && (!m_TreeMode || m_NoIcons) && IsEnabledWithParent();
    if (caret && (uint32_t(MillisecondClock()) & 256u) != 0)
        frame.DrawLine(start + typedWidth, y + 1, start + typedWidth, y + rowHeight - 2, textColour);
}

void CJListBox::DrawRow(CFrameInterface& frame, int32_t x, int32_t y, int32_t, int32_t halfSpacing, int32_t row)
{
    if (!m_Font)
        return;
    std::optional<CScopedBlitOpacity> dim;
    if (!IsRowSelectable(row)) {
        if (CBlitType* type = m_Font->GetBlitType())
            dim.emplace(*type, type->GetOpacity() * 0.4f);
    }
    DrawRowColumns(frame, x, y + halfSpacing, m_TextColor, GetRowText(row));
}

void CJListBox::DrawRowColumns(CFrameInterface& frame, int32_t x, int32_t y, const CColor& colour,
                               const CJString& text)
{
    const int32_t columns = m_Header ? m_Header->GetColumnCount() : 0;
    if (columns < 2) {
        m_Font->DrawText(frame, x, y, text);
        return;
    }
    // Each field is cut at its column's edges, as the header's titles are,
    // so a long one never runs into the next.
    auto* proxy = dynamic_cast<COffsetClippedProxyFrame*>(&frame);
    CRect bounds{};
    frame.GetBounds(bounds);
    int32_t start = 0;
    int32_t columnLeft = 0;
    const int32_t length = text.GetLength();
    for (int32_t c = 0; c < columns && start <= length; ++c) {
        int32_t end = c + 1 == columns ? -1 : text.FindChar(u'\t', start);
        if (end < 0)
            end = length;
        const int32_t width = m_Header->GetColumnWidth(c);
        const int32_t left = c == 0 ? x : columnLeft + GetFontUnit() + 1;
        const CRect cell{c == 0 ? bounds.left : columnLeft, bounds.top,
                         c + 1 == columns ? bounds.right : SaturatingAdd(columnLeft, width), bounds.bottom};
        CRect clip{};
        if (!proxy || IntersectRects(clip, cell, bounds)) {
            if (proxy)
                proxy->SetClipRect(clip);
            DrawColumnText(frame, left, y, colour, c, text.Mid(start, end - start), m_Font);
        }
        columnLeft = SaturatingAdd(columnLeft, width);
        start = end + 1;
    }
    if (proxy)
        proxy->SetClipRect(bounds);
}

void CJListBox::DrawColumnText(CFrameInterface& frame, int32_t x, int32_t y, const CColor&, int32_t column,
                               const CJString& text, CFont* font)
{
    if (!font)
        return;
    const uint32_t alignment = m_Header ? m_Header->GetColumnAlignment(column) : 0;
    if (alignment == 0) {
        font->DrawText(frame, x, y, text);
        return;
    }
    int32_t right = 0;
    for (int32_t c = 0; c <= column; ++c)
        right += m_Header->GetColumnWidth(c);
    int32_t left = 0;
    for (int32_t c = 0; c < column; ++c)
        left += m_Header->GetColumnWidth(c);
    const int32_t width = font->GetTextWidth(text);
    if (alignment == 2)
        font->DrawText(frame, right - 2 - width, y, text);
    else
        font->DrawText(frame, (left + right - width) / 2, y, text);
}

void CJListBox::DrawLastChildLine(CFrameInterface& frame, int32_t x, int32_t y, int32_t, bool)
{
    const int32_t h = GetIndent() / 2;
    const int32_t half = GetRowHeight() / 2;
    CColor colour = m_Color1;
    frame.DrawLine(x + h, y, x + h, y + half, colour);
    frame.DrawLine(x + h, y + half, x + 2 * h, y + half, colour);
}

void CJListBox::DrawFirstChildLine(CFrameInterface& frame, int32_t x, int32_t y, int32_t, bool)
{
    const int32_t h = GetIndent() / 2;
    const int32_t rowHeight = GetRowHeight();
    const int32_t half = rowHeight / 2;
    CColor colour = m_Color1;
    frame.DrawLine(x + h, y + half, x + h, y + (rowHeight & ~1), colour);
    frame.DrawLine(x + h, y + half, x + 2 * h, y + half, colour);
}

void CJListBox::DrawMiddleChildLine(CFrameInterface& frame, int32_t x, int32_t y, int32_t, bool)
{
    const int32_t h = GetIndent() / 2;
    const int32_t rowHeight = GetRowHeight();
    const int32_t half = rowHeight / 2;
    CColor colour = m_Color1;
    frame.DrawLine(x + h, y, x + h, y + (rowHeight & ~1), colour);
    frame.DrawLine(x + h, y + half, x + 2 * h, y + half, colour);
}

void CJListBox::DrawVerticalLine(CFrameInterface& frame, int32_t x, int32_t y, int32_t, bool)
{
    const int32_t h = GetIndent() / 2;
    CColor colour = m_Color1;
    frame.DrawLine(x + h, y, x + h, y + GetRowHeight(), colour);
}

void CJListBox::DrawOpenFolderIcon(CFrameInterface& frame, int32_t x, int32_t y)
{
    DrawCentred(frame, GetOpenFolderIconFrame(), x, y);
}

void CJListBox::DrawClosedFolderIcon(CFrameInterface& frame, int32_t x, int32_t y)
{
    DrawCentred(frame, GetClosedFolderIconFrame(), x, y);
}

void CJListBox::DrawFileIcon(CFrameInterface& frame, int32_t x, int32_t y)
{
    DrawCentred(frame, GetFileIconFrame(), x, y);
}
