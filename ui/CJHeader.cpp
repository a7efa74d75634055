#include "ui/CJHeader.h"

#include "blit/CBlitTypeList.h"
#include "blit/CFrameInterface.h"
#include "foundation/SettingsFiles.h"
#include "images/CFont.h"
#include "render/CProxyFrame.h"
#include "render/SurfaceHelpers.h"
#include "ui/CJFrameWindow.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// Within 3 pixels either side of a right edge counts as on it.
constexpr int32_t kEdgeGrab = 4;

// Wider than any screen shows; the columns' sums stay far inside the int32 range.
constexpr int32_t kMaximumStoredColumnWidth = 16384;

} // namespace

CJHeaderColumn::~CJHeaderColumn()
{
    delete image;
    image = nullptr;
}

CJHeader::CJHeader(CJWindow* parent)
    : CJWindow(parent, "~CJHeader")
    , m_HighlightColor(175, 146, 54, 255)
{
    const int32_t height = m_Font ? m_Font->GetPointSize() + 1 : 1;
    SetSize(100, height);
}

CJHeader::~CJHeader()
{
    SetCommand(nullptr);
    SetWidthCommand(nullptr);
    RemoveAllColumns();
}

// ---- Columns ------------------------------------------------------------------

int32_t CJHeader::AddColumn(const CJString& title, int32_t width, CFont* font, uint32_t alignment, uint32_t sortKind,
                            uint32_t direction, int32_t flags)
{
    auto* column = new CJHeaderColumn;
    const uint32_t count = m_Columns.GetCount();
    if (count > 0) {
        const CJHeaderColumn* previous = m_Columns[count - 1];
        column->x = previous->x + previous->width;
    }
    column->width = width;
    const int32_t headerWidth = GetWidth();
    column->widthFraction = headerWidth != 0 ? float(width) / float(headerWidth) : 0.0f;
    column->title = title;
    column->font = font ? font : m_Font;
    column->alignment = alignment;
    column->sortKind = sortKind;
    column->sortDirection = direction;
    column->flags = flags;
    m_Columns.Append(column);
    return int32_t(count);
}

void CJHeader::RemoveAllColumns()
{
    for (uint32_t i = m_Columns.GetCount(); i > 0; --i)
        delete m_Columns[i - 1];
    m_Columns.RemoveAll();
    m_DraggedEdge = -1;
    m_PressedColumn = -1;
    m_TitlePressed = false;
    m_StillOverPressed = false;
}

void CJHeader::LayoutColumns()
{
    int32_t x = 0;
    for (uint32_t i = 0; i < m_Columns.GetCount(); ++i) {
        m_Columns[i]->x = x;
        x += m_Columns[i]->width;
    }
    if (m_TotalWidth != 0 && m_Columns.GetCount() > 0) {
        CJHeaderColumn* last = m_Columns[m_Columns.GetCount() - 1];
        if (last->x + last->width < m_TotalWidth)
            last->width = m_TotalWidth - last->x;
    }
}

void CJHeader::SetColumnWidth(int32_t column, int32_t width, bool limited)
{
    if (!GetColumn(column))
        return;
    const int32_t count = GetColumnCount();
    if (limited) {
        width = std::max(width, kHeaderMinimumColumnWidth);
        if (m_TotalWidth != 0 && column != count - 1) {
            int32_t others = 0;
            for (int32_t i = 0; i < count - 1; ++i)
                if (i != column)
                    others += m_Columns[uint32_t(i)]->width;
            width = std::min(width, m_TotalWidth - kHeaderMinimumColumnWidth - others);
        }
    }
    m_Columns[uint32_t(column)]->width = width;
    LayoutColumns();
    if (m_Parent)
        NotifyParent(kNotifyChanged);
    if (m_WidthCommand)
        m_WidthCommand->Execute();
}

void CJHeader::ResizeColumnBy(int32_t column, int32_t delta, bool limited)
{
    if (const CJHeaderColumn* c = GetColumn(column))
        SetColumnWidth(column, c->width + delta, limited);
}

const CJHeaderColumn* CJHeader::GetColumn(int32_t column) const
{
    if (column < 0 || uint32_t(column) >= m_Columns.GetCount())
        return nullptr;
    return m_Columns[uint32_t(column)];
}

int32_t CJHeader::GetColumnWidth(int32_t column) const
{
    const CJHeaderColumn* c = GetColumn(column);
    return c ? c->width : 0;
}

int32_t CJHeader::GetColumnX(int32_t column) const
{
    const CJHeaderColumn* c = GetColumn(column);
    return c ? c->x : 0;
}

uint32_t CJHeader::GetColumnAlignment(int32_t column) const
{
    const CJHeaderColumn* c = GetColumn(column);
    return c ? c->alignment : kHeaderAlignLeft;
}

bool CJHeader::IsNumericColumn(int32_t column) const
{
    const CJHeaderColumn* c = GetColumn(column);
    return c && c->sortKind == kHeaderSortNumeric;
}

uint32_t CJHeader::GetSortDirection(int32_t column) const
{
    const CJHeaderColumn* c = GetColumn(column);
    return c ? c->sortDirection : 0;
}

void CJHeader::SetSortDirection(int32_t column, uint32_t direction)
{
    if (GetColumn(column))
        m_Columns[uint32_t(column)]->sortDirection = direction;
}

bool CJHeader::IsHighlighted(int32_t column) const
{
    const CJHeaderColumn* c = GetColumn(column);
    return c && c->highlighted;
}

void CJHeader::SetHighlighted(int32_t column, bool highlighted)
{
    if (GetColumn(column))
        m_Columns[uint32_t(column)]->highlighted = highlighted;
}

void CJHeader::SetResizable(int32_t column, bool resizable)
{
    if (GetColumn(column))
        m_Columns[uint32_t(column)]->resizable = resizable;
}

void CJHeader::SetColumnImage(int32_t column, CFrameInterface* image)
{
    if (!GetColumn(column)) {
        delete image;
        return;
    }
    CJHeaderColumn* c = m_Columns[uint32_t(column)];
    if (c->image != image)
        delete c->image;
    c->image = image;
}

int32_t CJHeader::GetEdgeAt(int32_t x) const
{
    for (uint32_t i = 0; i < m_Columns.GetCount(); ++i) {
        const CJHeaderColumn* c = m_Columns[i];
        if (c->resizable && std::abs(x - (c->x + c->width) + 1) < kEdgeGrab)
            return int32_t(i);
    }
    return -1;
}

int32_t CJHeader::GetColumnAt(int32_t x) const
{
    for (uint32_t i = 0; i < m_Columns.GetCount(); ++i)
        if (m_Columns[i]->x + m_Columns[i]->width >= x)
            return int32_t(i);
    return -1;
}

// ---- Commands -----------------------------------------------------------------

void CJHeader::SetCommand(CCommand* command)
{
    if (command == m_SortCommand)
        return;
    delete m_SortCommand;
    m_SortCommand = command;
}

void CJHeader::SetWidthCommand(CCommand* command)
{
    if (command == m_WidthCommand)
        return;
    delete m_WidthCommand;
    m_WidthCommand = command;
}

// ---- Settings -----------------------------------------------------------------

CJString CJHeader::GetWidthKey(const CJString& title)
{
    CJString key(title);
    key += " Column Width";
    return key;
}

const CJWindow* CJHeader::GetSettingsOwner() const
{
    for (const CJWindow* window = m_Parent; window; window = window->GetParent())
        if (window->HasSettingsKey())
            return window;
    return nullptr;
}

CJString CJHeader::GetOwnWidthKey(const CJString& title) const
{
    if (m_WidthKeyPrefix.IsEmpty())
        return GetWidthKey(title);
    CJString key(m_WidthKeyPrefix);
    key += " ";
    key += GetWidthKey(title);
    return key;
}

void CJHeader::SaveColumnWidths()
{
    const CJWindow* owner = GetSettingsOwner();
    if (!owner || m_Columns.GetCount() == 0)
        return;
    std::vector<CJString> keys;
    std::vector<SIniInt> values;
    keys.reserve(m_Columns.GetCount());
    for (uint32_t i = 0; i < m_Columns.GetCount(); ++i)
        keys.push_back(GetOwnWidthKey(m_Columns[i]->title));
    for (uint32_t i = 0; i < m_Columns.GetCount(); ++i)
        values.push_back(SIniInt{keys[i].GetString(), m_Columns[i]->width});
    (void)SetIniInts(GetWindowSettingsFile(), owner->GetSettingsKey().GetString(), values.data(), values.size());
}

void CJHeader::LoadColumnWidths()
{
    const CJWindow* owner = GetSettingsOwner();
    if (!owner)
        return;
    const char* section = owner->GetSettingsKey().GetString();
    const char* file = GetWindowSettingsFile();
    for (uint32_t i = 0; i < m_Columns.GetCount(); ++i) {
        CJHeaderColumn* c = m_Columns[i];
        int32_t width = GetIniInt(file, section, GetWidthKey(c->title).GetString(), c->width);
        if (!m_WidthKeyPrefix.IsEmpty())
            width = GetIniInt(file, section, GetOwnWidthKey(c->title).GetString(), width);
        // A stored 0 or a negative width would hide the column for good.
        c->width = std::clamp(width, kHeaderMinimumColumnWidth, kMaximumStoredColumnWidth);
    }
    LayoutColumns();
}

// ---- Input --------------------------------------------------------------------

bool CJHeader::OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*& cursor)
{
    if (m_Fixed || !(buttons & 1))
        return CJWindow::OnMouseDrag(point, movement, buttons, cursor);
    const int32_t x = point.x - m_ScreenRect.left + GetScrollOffsetX();
    if (m_DraggedEdge < 0 && !m_TitlePressed) {
        m_DraggedEdge = GetEdgeAt(x);
        if (m_DraggedEdge < 0) {
            m_PressedColumn = GetColumnAt(x);
            m_TitlePressed = true;
            m_StillOverPressed = m_PressedColumn >= 0;
        }
    }
    if (m_DraggedEdge >= 0) {
        ResizeColumnBy(m_DraggedEdge, movement.x, true);
        cursor = GetStandardCursor(kCursorMovingX);
        return true;
    }
    if (m_TitlePressed) {
        m_StillOverPressed = m_PressedColumn >= 0 && GetColumnAt(x) == m_PressedColumn;
        return true;
    }
    return CJWindow::OnMouseDrag(point, movement, buttons, cursor);
}

bool CJHeader::OnMouseUp(uint32_t button, CPoint point)
{
    if (button == 0) {
        // A drag ends with the button, whoever sees the release.
        m_DraggedEdge = -1;
        if (m_TitlePressed) {
            m_TitlePressed = false;
            if (m_StillOverPressed && m_PressedColumn >= 0) {
                if (m_PressedColumn == m_SortColumn) {
                    CJHeaderColumn* c = m_Columns[uint32_t(m_PressedColumn)];
                    c->sortDirection = c->sortDirection == kHeaderAscending ? kHeaderDescending : kHeaderAscending;
                }
                m_SortColumn = m_PressedColumn;
                m_PressedColumn = -1;
                m_StillOverPressed = false;
                if (m_Parent)
                    m_Parent->OnNotify(this, kNotifyClicked);
                if (m_SortCommand)
                    m_SortCommand->Execute();
            }
            m_PressedColumn = -1;
            m_StillOverPressed = false;
        }
    }
    return CJWindow::OnMouseUp(button, point);
}

void CJHeader::OnMouseCaptureLost(uint32_t buttons)
{
    m_DraggedEdge = -1;
    m_TitlePressed = false;
    m_StillOverPressed = false;
    m_PressedColumn = -1;
    CJWindow::OnMouseCaptureLost(buttons);
}

CCursorSequence* CJHeader::GetCursor(CPoint point)
{
    if (!m_Fixed && GetEdgeAt(point.x + GetScrollOffsetX()) >= 0)
        return GetStandardCursor(kCursorCanMoveX);
    return CJWindow::GetCursor(point);
}

// ---- Drawing ------------------------------------------------------------------

void CJHeader::Draw(CFrameInterface& frame)
{
    auto* proxy = dynamic_cast<COffsetClippedProxyFrame*>(&frame);
    CRect bounds{};
    frame.GetBounds(bounds);
    const int32_t height = GetHeight();
    const int32_t top = GetScrollOffsetY();
    const int32_t left = GetScrollOffsetX();
    for (uint32_t i = 0; i < m_Columns.GetCount(); ++i) {
        CJHeaderColumn* c = m_Columns[i];
        const CRect cell{left + c->x, top, left + c->x + c->width, top + height};
        CRect clip{};
        if (!IntersectRects(clip, cell, bounds))
            continue;
        if (proxy)
            proxy->SetClipRect(clip);
        if (c->highlighted)
            frame.FillRect(cell, m_HighlightColor);
        const bool sorted = int32_t(i) == m_SortColumn;
        DrawBevelBox(m_Font, frame, cell, true, 15, sorted);
        if (sorted)
            DrawSortMark(frame, cell, c->sortDirection, c->alignment);
        if (c->image) {
            CRect imageBounds{};
            c->image->GetBounds(imageBounds);
            const int32_t x = cell.left + (cell.GetWidth() - imageBounds.GetWidth()) / 2;
            const int32_t y = cell.top + (cell.GetHeight() - imageBounds.GetHeight()) / 2;
            BlitAt(frame, *c->image, x, y, GetTransparentMaskBlitType());
        } else if (CFont* font = c->font ? c->font : m_Font) {
            const int32_t pad = m_BorderWidth + 1;
            const int32_t y = cell.top + std::max(0, (height - font->GetLineHeight()) / 2);
            if (c->alignment == kHeaderAlignLeft)
                font->DrawText(frame, cell.left + pad, y, c->title, TextAlign::Left);
            else if (c->alignment == kHeaderAlignRight)
                font->DrawText(frame, cell.right - pad, y, c->title, TextAlign::Right);
            else
                font->DrawText(frame, cell.left + cell.GetWidth() / 2, y, c->title, TextAlign::Centre);
        }
        if (proxy)
            proxy->SetClipRect(bounds);
    }
    CJWindow::Draw(frame);
}

void CJHeader::DrawSortMark(CFrameInterface& frame, const CRect& cell, uint32_t direction, uint32_t alignment)
{
    // A small triangle at the end away from the title: point up while
    // ascending, down while descending.
    const int32_t size = std::max(2, GetFontUnit());
    const int32_t inset = m_BorderWidth + 2;
    const int32_t x = alignment == kHeaderAlignRight ? cell.left + inset : cell.right - inset - 2 * size;
    const int32_t y = cell.top + (cell.GetHeight() - size) / 2;
    for (int32_t row = 0; row < size; ++row) {
        const int32_t half = direction == kHeaderDescending ? size - row : row + 1;
        const int32_t middle = x + size;
        frame.FillRect(CRect{middle - half, y + row, middle + half, y + row + 1}, m_TextColor);
    }
}
