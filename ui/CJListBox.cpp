// Rows, selection, keys, mouse, scrolling, trees and sorting of the list
// box; its drawing is in ui/ListBoxDrawing.cpp.
#include "ui/CJListBox.h"

#include "foundation/CVirtualArray.h"
#include "foundation/MillisecondClock.h"
#include "images/CFont.h"
#include "objects/CMessage.h"
#include "shell/CKeyboardState.h"
#include "ui/CJScrollBar.h"
#include "ui/CScreenWindow.h"
#include "ui/CJHeader.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr uint32_t kKeyBackspace = 8;
constexpr uint32_t kKeyHome = 5;
constexpr uint32_t kKeyUp = 6;
constexpr uint32_t kKeyPageUp = 7;
constexpr uint32_t kKeyDown = 10;
constexpr uint32_t kKeyLeft = 11;
constexpr uint32_t kKeyRight = 12;
constexpr uint32_t kKeyEnd = 14;
constexpr uint32_t kKeyPageDown = 15;
// Typed text older than this starts afresh.
constexpr uint32_t kTypeAheadMilliseconds = 2000;
// Sources smaller than this open whole.
constexpr int32_t kOpenWholeBelow = 15;

bool IsControlHeld()
{
    const CKeyboardState& keyboard = CKeyboardState::SGetInstance();
    return keyboard.IsKeyDown(kScanControlLeft) || keyboard.IsKeyDown(kScanControlRight);
}

char FoldAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(const char* text, const char* prefix, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == 0 || FoldAscii(text[i]) != FoldAscii(prefix[i]))
            return false;
    }
    return true;
}

// Position of needle in text ignoring ASCII case; -1 when absent.
int32_t FindNoCase(const char* text, const char* needle, size_t length)
{
    if (length == 0)
        return 0;
    const char first = FoldAscii(needle[0]);
    for (const char* p = text; *p; ++p)
        if (FoldAscii(*p) == first && StartsWithNoCase(p, needle, length))
            return int32_t(p - text);
    return -1;
}

// The text's 8-bit form (wide units above 255 become '?', which no typed
// key matches).
std::string Narrow(const CJString& text)
{
    if (!text.IsWide())
        return std::string(text.GetString());
    std::string out;
    const int32_t length = text.GetLength();
    out.reserve(size_t(length));
    for (int32_t i = 0; i < length; ++i) {
        const char16_t unit = text.GetAt(i);
        out.push_back(unit < 256 ? char(unit) : '?');
    }
    return out;
}

// ---- Sort keys ---------------------------------------------------------------------

bool IsLeadingBlank(char16_t c)
{
    return c == '\t' || c == ' ' || c == '\r' || c == '\n';
}

// The column-th tab-separated field; the last field runs to the end.
std::u16string CutColumn(const CJString& text, int32_t column)
{
    const int32_t length = text.GetLength();
    int32_t start = 0;
    for (int32_t field = 0; field < column && start <= length; ++field) {
        const int32_t tab = text.FindChar(u'\t', start);
        if (tab < 0) {
            start = length + 1;
            break;
        }
        start = tab + 1;
    }
    std::u16string out;
    if (start > length)
        return out;
    int32_t end = text.FindChar(u'\t', start);
    if (end < 0)
        end = length;
    out.reserve(size_t(end - start));
    for (int32_t i = start; i < end; ++i)
        out.push_back(text.GetAt(i));
    return out;
}

std::u16string WholeText(const CJString& text)
{
    std::u16string out;
    const int32_t length = text.GetLength();
    out.reserve(size_t(length));
    for (int32_t i = 0; i < length; ++i)
        out.push_back(text.GetAt(i));
    return out;
}

void KeepNumberCharacters(std::u16string& text)
{
    std::u16string out;
    for (char16_t c : text)
        if ((c >= u'0' && c <= u'9') || c == u'.')
            out.push_back(c);
    text.swap(out);
}

void TrimLeadingBlanks(std::u16string& text)
{
    size_t i = 0;
    while (i < text.size() && IsLeadingBlank(text[i]))
        ++i;
    text.erase(0, i);
}

// The leading decimal digits as an integer, held within int32.
int64_t LeadingInteger(const std::u16string& text)
{
    int64_t value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9')
            break;
        value = std::min<int64_t>(value * 10 + (c - u'0'), INT32_MAX);
    }
    return value;
}

// The column-th field's number characters ("0123456789.") read as an
// integer up to the first '.', as the cut, kept and trimmed text reads.
int64_t NumericKey(const char* text, int32_t column)
{
    if (!text)
        return 0;
    for (int32_t field = 0; field < column; ++field) {
        const char* tab = std::strchr(text, '\t');
        if (!tab)
            return 0;
        text = tab + 1;
    }
    int64_t value = 0;
    for (; *text && *text != '\t'; ++text) {
        if (*text == '.')
            break;
        if (*text >= '0' && *text <= '9')
            value = std::min<int64_t>(value * 10 + (*text - '0'), INT32_MAX);
    }
    return value;
}

CJString ToJString(const std::u16string& text)
{
    return CJString(text.c_str(), int(text.size()));
}

// A row with its key, cut and parsed once per sort.
struct SSortEntry {
    SListBoxRow row;
    int64_t number = 0;
    std::u16string text;
};

// Order of two keys: negative, zero or positive.
int CompareFolded(const std::u16string& a, const std::u16string& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        char16_t x = a[i], y = b[i];
        if (x >= u'A' && x <= u'Z')
            x = char16_t(x - u'A' + u'a');
        if (y >= u'A' && y <= u'Z')
            y = char16_t(y - u'A' + u'a');
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

} // namespace

// ---- Construction ------------------------------------------------------------------

CJListBox::CJListBox(CJWindow* parent, CVirtualArray* source, CListBoxFilter* filter, int32_t widthUnits,
                     int32_t visibleRows)
    : CJWindow(parent, "~CJListBox")
{
    Construct(source, nullptr, filter, widthUnits, visibleRows);
}

CJListBox::CJListBox(CJWindow* parent, CVirtualTree* tree, CListBoxFilter* filter, int32_t widthUnits,
                     int32_t visibleRows)
    : CJWindow(parent, "~CJListBox")
{
    Construct(nullptr, tree, filter, widthUnits, visibleRows);
}

void CJListBox::Construct(CVirtualArray* source, CVirtualTree* tree, CListBoxFilter* filter, int32_t widthUnits,
                          int32_t visibleRows)
{
    const int32_t u = GetFontUnit();
    m_RowSpacing = 2 * u;
    m_RequestedWidth = widthUnits * u;
    m_RequestedRows = std::max(visibleRows, 0);
    SetTabStop(true);
    // The rows first, without a bar: the bar needs the final size.
    m_NoScrollBar = true;
    if (tree)
        SetVirtualTree(tree, filter);
    else
        SetVirtualArray(source, filter, false);
    m_NoScrollBar = false;
    const int32_t width = std::min(m_WidestText, m_RequestedWidth) + 2 * u + 3;
    const int32_t height = m_RequestedRows * GetRowHeight() + 2 * u + 2;
    SetSize(width, height);
    m_SelectedRow = -1;
    SetVisibleRows(m_RequestedRows);
}

CJListBox::~CJListBox() = default;

// ---- Sources -----------------------------------------------------------------------

void CJListBox::SetVirtualArray(CVirtualArray* source, CListBoxFilter* filter, bool keepScroll)
{
    if (source != m_Bridge.get()) {
        m_Tree = nullptr;
        m_Bridge.reset();
    }
    m_Source = source;
    m_Filter = filter;
    RebuildRows(keepScroll);
}

void CJListBox::SetVirtualTree(CVirtualTree* tree, CListBoxFilter* filter)
{
    m_Tree = tree;
    m_Bridge = tree ? std::make_unique<CVirtualTreeToVirtualArrayBridge>(*tree) : nullptr;
    m_Source = m_Bridge.get();
    m_Filter = filter;
    RebuildRows(false);
}

void CJListBox::Refresh()
{
    RebuildRows(false);
}

void CJListBox::DeleteItem(int32_t item)
{
    if (!m_Tree)
        return;
    CVirtualArray* beneath = m_Tree->GetSourceArray();
    if (!beneath || item < 0 || item >= beneath->GetCount())
        return;
    beneath->RemoveAt(item);
    RebuildRows(false);
}

namespace {

// Counts the tree's items, stopping once limit is reached.
int32_t CountTreeItems(CVirtualTree& tree, int32_t id, int32_t limit)
{
    int32_t count = 0;
    const int32_t children = tree.GetChildCount(id);
    for (int32_t i = 0; i < children && count < limit; ++i) {
        ++count;
        count += CountTreeItems(tree, tree.GetChild(id, i), limit - count);
    }
    return count;
}

} // namespace

void CJListBox::RebuildRows(bool keepScroll)
{
    const int32_t selectedItem = GetSelectedItem();
    m_Rows.clear();
    m_TreeMode = false;
    if (m_Tree) {
        const int32_t root = m_Tree->GetRoot();
        const bool whole = CountTreeItems(*m_Tree, root, kOpenWholeBelow) < kOpenWholeBelow;
        AppendChildRows(m_Rows, root, 0, 0, whole);
    } else if (m_Source) {
        const int32_t count = m_Source->GetCount();
        m_Rows.reserve(size_t(std::max(count, 0)));
        for (int32_t i = 0; i < count; ++i)
            if (!m_Filter || m_Filter->IsItemShown(nullptr, i)) {
                SListBoxRow row;
                row.item = i;
                m_Rows.push_back(row);
            }
        if (m_SortMode == 1)
            SortRows(0, GetRowCount());
    }
    for (const SListBoxRow& row : m_Rows)
        if (row.hasChildren) {
            m_TreeMode = true;
            break;
        }
    m_SelectedRow = selectedItem >= 0 ? FindRowOfItem(selectedItem) : -1;
    UpdateWidth();
    m_VisibleRows = std::min(m_RequestedRows, GetRowCount());
    if (!keepScroll) {
        m_ShownOffset = 0;
        m_TargetOffset = 0;
    } else {
        m_TargetOffset = std::clamp(m_TargetOffset, 0, GetMaxScrollOffset());
        m_ShownOffset = std::clamp(m_ShownOffset, 0, GetMaxScrollOffset());
    }
    UpdateListScrollBar();
}

bool CJListBox::IsTreeItemShown(int32_t item)
{
    if (!m_Filter)
        return true;
    const int32_t children = m_Tree->GetChildCount(item);
    if (children == 0)
        return m_Filter->IsItemShown(m_Tree, item);
    for (int32_t i = 0; i < children; ++i)
        if (IsTreeItemShown(m_Tree->GetChild(item, i)))
            return true;
    return false;
}

void CJListBox::AppendChildRows(std::vector<SListBoxRow>& out, int32_t parent, uint32_t level, uint32_t mask,
                                bool deep)
{
    const size_t first = out.size();
    const int32_t children = m_Tree->GetChildCount(parent);
    for (int32_t i = 0; i < children; ++i) {
        const int32_t child = m_Tree->GetChild(parent, i);
        if (!IsTreeItemShown(child))
            continue;
        SListBoxRow row;
        row.item = child;
        row.hasChildren = m_Tree->GetChildCount(child) > 0;
        row.level = level;
        row.parentItem = parent;
        row.lastChildMask = mask;
        out.push_back(row);
    }
    const size_t count = out.size() - first;
    if (count == 0)
        return;
    if (m_SortMode == 1) {
        // Sorting works on m_Rows; sort a detached group the same way.
        std::vector<SListBoxRow> group(out.begin() + std::ptrdiff_t(first), out.end());
        std::swap(group, m_Rows);
        SortRows(0, int32_t(count));
        std::swap(group, m_Rows);
        std::copy(group.begin(), group.end(), out.begin() + std::ptrdiff_t(first));
    }
    if (level < 32)
        out.back().lastChildMask |= 1u << level;
    if (!deep && count != 1)
        return;
    // Open the folders among them (all, or the lone child), children right
    // after each: move the group aside and append it back row by row.
    std::vector<SListBoxRow> group(out.begin() + std::ptrdiff_t(first), out.end());
    out.resize(first);
    for (SListBoxRow row : group) {
        const bool open = row.hasChildren;
        row.expanded = open;
        out.push_back(row);
        if (open)
            AppendChildRows(out, row.item, level + 1, row.lastChildMask, deep);
    }
}

// ---- Rows --------------------------------------------------------------------------

int32_t CJListBox::FindRowOfItem(int32_t item) const
{
    for (size_t i = 0; i < m_Rows.size(); ++i)
        if (m_Rows[i].item == item)
            return int32_t(i);
    return -1;
}

CJString CJListBox::GetItemText(int32_t item) const
{
    if (m_Tree)
        return m_Tree->GetDisplayName(item);
    if (!m_Source || item < 0 || item >= m_Source->GetCount())
        return CJString();
    return m_Source->GetItemNameString(item);
}

CJString CJListBox::GetRowText(int32_t row) const
{
    if (row < 0 || row >= GetRowCount())
        return CJString();
    return GetItemText(m_Rows[size_t(row)].item);
}

bool CJListBox::IsRowSelectable(int32_t row) const
{
    if (row < 0 || row >= GetRowCount())
        return false;
    if (m_Tree || !m_Source)
        return true;
    return m_Source->CanSelectItem(m_Rows[size_t(row)].item);
}

int32_t CJListBox::GetSelectedItem() const
{
    return m_SelectedRow >= 0 && m_SelectedRow < GetRowCount() ? m_Rows[size_t(m_SelectedRow)].item : -1;
}

CJString CJListBox::GetSelectedText() const
{
    return GetRowText(m_SelectedRow);
}

int32_t CJListBox::GetSelection() const
{
    return GetSelectedItem();
}

CJString CJListBox::GetRowToolTip(int32_t, int32_t)
{
    return CJString();
}

int32_t CJListBox::GetRowHeight() const
{
    CFont* font = GetFont();
    return (font ? int32_t(font->GetHeight()) : 0) + m_RowSpacing;
}

int32_t CJListBox::GetRowSpacing() const
{
    return m_RowSpacing;
}

int32_t CJListBox::GetIndent() const
{
    return 4 * GetFontUnit();
}

void CJListBox::UpdateWidth()
{
    CFont* font = GetFont();
    int32_t widest = 0;
    if (font)
        for (const SListBoxRow& row : m_Rows)
            widest = std::max(widest, font->GetTextWidth(GetItemText(row.item)));
    if (m_TreeMode)
        widest += GetIconWidth() + 4 * GetIndent();
    m_WidestText = widest;
}

// ---- Selection ---------------------------------------------------------------------

void CJListBox::SelectRow(int32_t row, bool silent)
{
    if (m_Rows.empty())
        row = -1;
    if (row != -1 && !IsRowSelectable(row))
        return;
    const int32_t previous = m_SelectedRow;
    m_SelectedRow = row;
    if (row != -1) {
        const int32_t rowHeight = GetRowHeight();
        const int32_t top = row * rowHeight - m_ShownOffset;
        if (top < 0)
            SetTargetOffset(m_ShownOffset + top);
        const int32_t visible = GetVisibleHeight();
        const int32_t excess = top + rowHeight - visible;
        if (visible != 0 && excess > 0)
            SetTargetOffset(m_ShownOffset + excess);
    }
    if (m_VisibleRows <= 1) {
        m_ShownOffset = m_TargetOffset;
        if (m_ScrollBar)
            m_ScrollBar->SetValue(float(m_ShownOffset), true);
    }
    if (row != previous && !silent)
        NotifyParent(kNotifyChanged);
}

void CJListBox::SelectItem(int32_t item, bool silent)
{
    if (item == -1) {
        SelectRow(-1, silent);
        return;
    }
    int32_t row = FindRowOfItem(item);
    if (row < 0) {
        ExpandToItem(item);
        row = FindRowOfItem(item);
    }
    SelectRow(row, silent);
}

int32_t CJListBox::FirstSelectableRow() const
{
    for (int32_t row = 0; row < GetRowCount(); ++row)
        if (IsRowSelectable(row))
            return row;
    return -1;
}

int32_t CJListBox::LastSelectableRow() const
{
    for (int32_t row = GetRowCount() - 1; row >= 0; --row)
        if (IsRowSelectable(row))
            return row;
    return -1;
}

// ---- Scrolling ---------------------------------------------------------------------

int32_t CJListBox::GetMaxScrollOffset() const
{
    return std::max(0, (GetRowCount() - m_VisibleRows) * GetRowHeight());
}

int32_t CJListBox::GetVisibleHeight() const
{
    return std::max(0, GetHeight() - 2 * GetFontUnit() - 2);
}

void CJListBox::SetTargetOffset(int32_t offset)
{
    m_TargetOffset = std::clamp(offset, 0, GetMaxScrollOffset());
}

void CJListBox::ScrollTo(int32_t offset)
{
    SetTargetOffset(offset);
    m_ShownOffset = offset;
    if (m_ScrollBar)
        m_ScrollBar->SetValue(float(offset), true);
}

void CJListBox::StepScroll()
{
    if (m_ShownOffset == m_TargetOffset)
        return;
    const int32_t d = m_TargetOffset - m_ShownOffset;
    const int32_t rowHeight = GetRowHeight();
    if (std::abs(d) > rowHeight)
        m_ShownOffset = d > 0 ? m_TargetOffset - rowHeight : m_TargetOffset + rowHeight;
    else if (std::abs(d) > 4)
        m_ShownOffset += d > 0 ? 4 : -4;
    else
        m_ShownOffset = m_TargetOffset;
    if (m_ScrollBar)
        m_ScrollBar->SetValue(float(m_ShownOffset), true);
}

void CJListBox::SetVisibleRows(int32_t rows)
{
    m_RequestedRows = std::max(rows, 0);
    m_VisibleRows = std::min(m_RequestedRows, GetRowCount());
    SetHeight(m_RequestedRows * GetRowHeight() + 2 * (GetFontUnit() + 1));
    UpdateListScrollBar();
}

CJScrollBar* CJListBox::CreateScrollBar()
{
    return new CJScrollBar(this, kScrollBarVertical);
}

void CJListBox::UpdateListScrollBar()
{
    const int32_t rows = GetRowCount();
    const bool wanted = !m_NoScrollBar && m_VisibleRows < rows && m_VisibleRows >= 2 && rows >= 2;
    if (!wanted) {
        if (m_ScrollBar) {
            CJScrollBar* bar = m_ScrollBar;
            m_ScrollBar = nullptr;
            bar->Destroy();
        }
        return;
    }
    if (!m_ScrollBar) {
        m_ScrollBar = CreateScrollBar();
        if (!m_ScrollBar)
            return;
        m_OwnBarAllowed = false;
        SetEdgeMargin(0);
        const int32_t width = GetWidth();
        SetWidth(width - m_ScrollBar->GetWidth());
        AddChild(m_ScrollBar, EPlace::OutsideRightFullHeight);
        if (GetWidth() != width)
            SetWidth(width);
        m_OwnBarAllowed = true;
    }
    m_ScrollBar->SetRect(CRect{GetWidth() - m_ScrollBar->GetWidth(), 0, GetWidth(), GetHeight()});
    const int32_t rowHeight = GetRowHeight();
    m_ScrollBar->SetRange(0.0f, float((rows - m_VisibleRows) * rowHeight));
    m_ScrollBar->SetLineStep(float(rowHeight));
    m_ScrollBar->SetPageStep(float(GetHeight()));
    m_ScrollBar->SetValue(float(m_ShownOffset), true);
}

void CJListBox::SetRect(const CRect& rect)
{
    CJWindow::SetRect(rect);
    // The bar rides the right edge at the list's full height.
    if (m_ScrollBar && m_OwnBarAllowed) {
        const int32_t barWidth = m_ScrollBar->GetWidth();
        const CRect place{GetWidth() - barWidth, 0, GetWidth(), GetHeight()};
        if (!(m_ScrollBar->GetRect() == place))
            m_ScrollBar->SetRect(place);
    }
}

// ---- Trees -------------------------------------------------------------------------

void CJListBox::AfterRowCountChange()
{
    m_VisibleRows = std::min(m_RequestedRows, GetRowCount());
    SetTargetOffset(m_TargetOffset);
    m_ShownOffset = std::clamp(m_ShownOffset, 0, GetMaxScrollOffset());
    UpdateListScrollBar();
}

void CJListBox::Expand(int32_t row)
{
    if (!m_Tree || row < 0 || row >= GetRowCount())
        return;
    SListBoxRow& parent = m_Rows[size_t(row)];
    if (!parent.hasChildren || parent.expanded)
        return;
    parent.expanded = true;
    std::vector<SListBoxRow> children;
    AppendChildRows(children, parent.item, parent.level + 1, parent.lastChildMask, false);
    m_Rows.insert(m_Rows.begin() + row + 1, children.begin(), children.end());
    if (m_SelectedRow > row)
        m_SelectedRow += int32_t(children.size());
    AfterRowCountChange();
}

void CJListBox::Collapse(int32_t row)
{
    if (row < 0 || row >= GetRowCount())
        return;
    SListBoxRow& parent = m_Rows[size_t(row)];
    if (!parent.expanded)
        return;
    parent.expanded = false;
    // Every row below it at a deeper level is its descendant.
    size_t end = size_t(row) + 1;
    while (end < m_Rows.size() && m_Rows[end].level > parent.level)
        ++end;
    const int32_t removed = int32_t(end - size_t(row) - 1);
    m_Rows.erase(m_Rows.begin() + row + 1, m_Rows.begin() + std::ptrdiff_t(end));
    // A selection inside moves to the folder; one below keeps its item.
    if (m_SelectedRow > row + removed)
        m_SelectedRow -= removed;
    else if (m_SelectedRow > row)
        m_SelectedRow = row;
    AfterRowCountChange();
}

void CJListBox::ExpandAll()
{
    if (!m_Tree)
        return;
    const int32_t selectedItem = GetSelectedItem();
    std::vector<SListBoxRow> rows;
    rows.reserve(m_Rows.size());
    for (SListBoxRow row : m_Rows) {
        if (!row.hasChildren || row.expanded) {
            rows.push_back(row);
            continue;
        }
        row.expanded = true;
        rows.push_back(row);
        AppendChildRows(rows, row.item, row.level + 1, row.lastChildMask, true);
    }
    m_Rows.swap(rows);
    m_SelectedRow = selectedItem >= 0 ? FindRowOfItem(selectedItem) : -1;
    AfterRowCountChange();
}

void CJListBox::CollapseAll()
{
    const int32_t selectedItem = GetSelectedItem();
    int32_t selectedTop = -1;
    std::vector<SListBoxRow> rows;
    for (const SListBoxRow& row : m_Rows) {
        if (row.level != 0)
            continue;
        if (m_SelectedRow >= 0 && &row <= &m_Rows[size_t(m_SelectedRow)])
            selectedTop = int32_t(rows.size());
        SListBoxRow top = row;
        top.expanded = false;
        rows.push_back(top);
    }
    m_Rows.swap(rows);
    if (selectedItem >= 0) {
        m_SelectedRow = FindRowOfItem(selectedItem);
        if (m_SelectedRow < 0)
            m_SelectedRow = selectedTop;
    }
    AfterRowCountChange();
}

void CJListBox::ExpandToItem(int32_t item)
{
    if (!m_Tree)
        return;
    const int32_t root = m_Tree->GetRoot();
    if (item != root && m_Tree->GetChildCount(root) == 0)
        return;
    const int32_t parent = m_Tree->GetParent(item);
    if (parent < 0 || parent == root)
        return;
    int32_t row = FindRowOfItem(parent);
    if (row < 0) {
        ExpandToItem(parent);
        row = FindRowOfItem(parent);
    }
    Expand(row);
}

// ---- Sorting -----------------------------------------------------------------------

void CJListBox::SetHeader(CJHeader* header)
{
    m_Header = header;
    if (header)
        header->SetCommand(new CJWindowFunctionCommand(this, &CJListBox::SortAllRows));
}

void CJListBox::SortAllRows()
{
    SortRows(0, GetRowCount());
}

void CJListBox::SortRows(int32_t first, int32_t count)
{
    if (m_SortMode != 1 || first < 0 || count < 2 || first + count > GetRowCount())
        return;
    SListBoxRow* rows = m_Rows.data() + first;
    int32_t column = 0;
    bool cut = false, numeric = false, descending = false;
    if (m_Header) {
        column = m_Header->GetSortColumn();
        cut = column >= 0 && column < m_Header->GetColumnCount();
        numeric = cut && m_Header->IsNumericColumn(column);
        descending = cut && m_Header->GetSortDirection(column) == 1;
    }
    if (m_ItemCompare) {
        std::sort(rows, rows + count, [&](const SListBoxRow& a, const SListBoxRow& b) {
            const int result = m_ItemCompare(column, m_Source, a.item, b.item);
            return descending ? result > 0 : result < 0;
        });
        return;
    }
    const int32_t selectedItem = GetSelectedItem();
    if (numeric && !m_TextCompare && !m_Tree && m_Source) {
        // Numbers only need their digits: read them from the source's own
        // 8-bit names, without copies.
        std::vector<std::pair<int64_t, SListBoxRow>> keyed(static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i)
            keyed[size_t(i)] = {NumericKey(m_Source->GetItemName(rows[i].item), column), rows[i]};
        std::sort(keyed.begin(), keyed.end(), [descending](const auto& a, const auto& b) {
            return descending ? a.first > b.first : a.first < b.first;
        });
        for (int32_t i = 0; i < count; ++i)
            rows[i] = keyed[size_t(i)].second;
        if (selectedItem >= 0 && m_SelectedRow >= first && m_SelectedRow < first + count)
            m_SelectedRow = FindRowOfItem(selectedItem);
        return;
    }
    std::vector<SSortEntry> entries(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        SSortEntry& entry = entries[size_t(i)];
        entry.row = rows[i];
        const CJString text = GetItemText(rows[i].item);
        entry.text = cut ? CutColumn(text, column) : WholeText(text);
        if (numeric)
            KeepNumberCharacters(entry.text);
        TrimLeadingBlanks(entry.text);
        if (numeric)
            entry.number = LeadingInteger(entry.text);
    }
    if (m_TextCompare) {
        // The callback takes texts; make each once.
        std::vector<CJString> texts(entries.size());
        for (size_t i = 0; i < entries.size(); ++i) {
            texts[i] = ToJString(entries[i].text);
            entries[i].number = int64_t(i);
        }
        std::sort(entries.begin(), entries.end(), [&](const SSortEntry& a, const SSortEntry& b) {
            const int result = m_TextCompare(column, texts[size_t(a.number)], texts[size_t(b.number)], m_Source,
                                             a.row.item, b.row.item);
            return descending ? result > 0 : result < 0;
        });
    } else if (numeric) {
        std::sort(entries.begin(), entries.end(), [descending](const SSortEntry& a, const SSortEntry& b) {
            return descending ? a.number > b.number : a.number < b.number;
        });
    } else {
        std::sort(entries.begin(), entries.end(), [descending](const SSortEntry& a, const SSortEntry& b) {
            const int result = CompareFolded(a.text, b.text);
            return descending ? result > 0 : result < 0;
        });
    }
    for (int32_t i = 0; i < count; ++i)
        rows[i] = entries[size_t(i)].row;
    if (selectedItem >= 0 && m_SelectedRow >= first && m_SelectedRow < first + count)
        m_SelectedRow = FindRowOfItem(selectedItem);
}

// ---- Keys --------------------------------------------------------------------------

void CJListBox::ClearTypedText()
{
    m_TypedText.Empty();
    m_TypedMatchIndex = 0;
    m_TypedTick = 0;
}

bool CJListBox::HandleTreeKey(uint32_t key, bool& handled)
{
    handled = true;
    const int32_t row = m_SelectedRow;
    const bool valid = row >= 0 && row < GetRowCount();
    switch (key) {
    case kKeyLeft:
        if (!valid)
            return true;
        if (m_Rows[size_t(row)].expanded)
            Collapse(row);
        else if (m_Rows[size_t(row)].level > 0)
            SelectItem(m_Rows[size_t(row)].parentItem, false);
        return true;
    case kKeyRight:
    case '+':
        if (valid)
            Expand(row);
        return true;
    case '*':
        ExpandAll();
        return true;
    case '-':
        if (valid)
            Collapse(row);
        return true;
    case '/':
        CollapseAll();
        return true;
    default:
        handled = false;
        return false;
    }
}

bool CJListBox::OnKeyDown(uint32_t key)
{
    if (CJWindow::OnKeyDown(key))
        return true;
    if (m_TreeMode) {
        bool handled = false;
        const bool taken = HandleTreeKey(key, handled);
        if (handled)
            return taken;
    }
    const int32_t rows = GetRowCount();
    const int32_t selected = m_SelectedRow;
    int32_t target = -2;
    switch (key) {
    case kKeyHome:
        target = FirstSelectableRow();
        break;
    case kKeyUp:
        if (selected < 0)
            target = FirstSelectableRow();
        else if (selected == 0)
            target = selected;
        else {
            target = selected;
            for (int32_t r = selected - 1; r >= 0; --r)
                if (IsRowSelectable(r)) {
                    target = r;
                    break;
                }
        }
        break;
    case kKeyPageUp:
        if (selected >= m_VisibleRows) {
            target = selected - m_VisibleRows;
            while (target >= 0 && !IsRowSelectable(target))
                --target;
            if (target < 0)
                target = FirstSelectableRow();
        } else {
            target = FirstSelectableRow();
        }
        break;
    case kKeyTab:
        if (!IsControlHeld() || m_TypedText.IsEmpty())
            return false;
        SearchTyped(selected + 1);
        return true;
    case kKeyDown:
        if (selected < 0)
            target = FirstSelectableRow();
        else if (selected >= rows - 1)
            target = selected;
        else {
            target = selected;
            for (int32_t r = selected + 1; r < rows; ++r)
                if (IsRowSelectable(r)) {
                    target = r;
                    break;
                }
        }
        break;
    case kKeyEnd:
        target = LastSelectableRow();
        break;
    case kKeyPageDown:
        if (selected < 0)
            target = FirstSelectableRow();
        else if (selected + m_VisibleRows < rows) {
            target = selected + m_VisibleRows;
            while (target < rows && !IsRowSelectable(target))
                ++target;
            if (target >= rows)
                target = LastSelectableRow();
        } else {
            target = LastSelectableRow();
        }
        break;
    default:
        return TypeAhead(key);
    }
    ClearTypedText();
    if (target >= 0)
        SelectRow(target, false);
    return true;
}

bool CJListBox::TypeAhead(uint32_t key)
{
    if ((key < 32 || key > 126) && key != kKeyBackspace) {
        ClearTypedText();
        return false;
    }
    const uint32_t now = uint32_t(MillisecondClock());
    if (now - m_TypedTick > kTypeAheadMilliseconds)
        m_TypedText.Empty();
    m_TypedTick = now;
    if (key == kKeyBackspace) {
        if (m_TypedText.IsEmpty())
            return false;
        m_TypedText.Delete(m_TypedText.GetLength() - 1, 1);
        if (m_TypedText.IsNotEmpty())
            SearchTyped(0);
        return true;
    }
    m_TypedText.AppendChar(char(key));
    if (SearchTyped(0))
        return true;
    if (m_TypedText.GetLength() == 1)
        return true;
    m_TypedText.Delete(m_TypedText.GetLength() - 1, 1);
    if (m_ErrorSound) {
        CPlaySoundMessage sound(CJString("Player Error.wav"));
        BroadcastMessageToPlugIns(sound);
    }
    return true;
}

namespace {

// A found row with where the typed text sits in it.
struct SMatch {
    int32_t row = -1;
    int32_t at = 0;
};

} // namespace

bool CJListBox::SearchTyped(int32_t startRow)
{
    const std::string typed = Narrow(m_TypedText);
    const size_t length = typed.size();
    const int32_t rows = GetRowCount();
    startRow = std::max(startRow, 0);
    // Flat sources lend their names without copies.
    const bool borrowed = !m_Tree && m_Source;
    std::string buffer;
    auto textOf = [&](int32_t row) -> const char* {
        const int32_t item = m_Rows[size_t(row)].item;
        if (borrowed) {
            const char* name = m_Source->GetItemName(item);
            return name ? name : "";
        }
        buffer = Narrow(GetItemText(item));
        return buffer.c_str();
    };
    SMatch match;
    // (a) files starting with it, (b) files holding it, (c) any row holding it.
    for (int32_t row = startRow; row < rows && match.row < 0; ++row)
        if (!m_Rows[size_t(row)].hasChildren && StartsWithNoCase(textOf(row), typed.c_str(), length))
            match = SMatch{row, 0};
    for (int32_t row = startRow; row < rows && match.row < 0; ++row)
        if (!m_Rows[size_t(row)].hasChildren)
            if (const int32_t at = FindNoCase(textOf(row), typed.c_str(), length); at >= 0)
                match = SMatch{row, at};
    // Without folders (c) would only repeat (b).
    for (int32_t row = startRow; m_TreeMode && row < rows && match.row < 0; ++row)
        if (const int32_t at = FindNoCase(textOf(row), typed.c_str(), length); at >= 0)
            match = SMatch{row, at};
    if (match.row >= 0) {
        SelectRow(match.row, false);
        if (m_SelectedRow == match.row) {
            m_TypedMatchIndex = match.at;
            return true;
        }
        return false;
    }
    // (d) items hidden in collapsed folders: open the tree down to the first.
    if (!m_Tree || startRow != 0)
        return false;
    std::vector<int32_t> stack{m_Tree->GetRoot()};
    std::vector<int32_t> order;
    while (!stack.empty()) {
        const int32_t id = stack.back();
        stack.pop_back();
        if (id != m_Tree->GetRoot())
            order.push_back(id);
        for (int32_t i = m_Tree->GetChildCount(id) - 1; i >= 0; --i)
            stack.push_back(m_Tree->GetChild(id, i));
    }
    for (const int32_t id : order) {
        const std::string name = Narrow(m_Tree->GetDisplayName(id));
        const int32_t at = FindNoCase(name.c_str(), typed.c_str(), length);
        if (at < 0 || FindRowOfItem(id) >= 0 || !IsTreeItemShown(id))
            continue;
        ExpandToItem(id);
        const int32_t row = FindRowOfItem(id);
        if (row < 0)
            continue;
        SelectRow(row, false);
        if (m_SelectedRow != row)
            continue;
        m_TypedMatchIndex = at;
        return true;
    }
    return false;
}

// ---- Mouse -------------------------------------------------------------------------

int32_t CJListBox::GetRowAt(CPoint point) const
{
    const int32_t y = point.y - m_ScreenRect.top;
    const int32_t value = m_ShownOffset - GetFontUnit() + y;
    const int32_t rowHeight = GetRowHeight();
    if (value < 0 || rowHeight <= 0)
        return -1;
    const int32_t row = value / rowHeight;
    return row < GetRowCount() ? row : -1;
}

int32_t CJListBox::GetColumnAt(CPoint point) const
{
    if (!m_Header || m_Header->GetColumnCount() < 2)
        return 0;
    const int32_t x = point.x - m_ScreenRect.left;
    int32_t right = 0;
    const int32_t columns = m_Header->GetColumnCount();
    for (int32_t c = 0; c < columns; ++c) {
        right += m_Header->GetColumnWidth(c);
        if (right >= x)
            return c;
    }
    return -1;
}

bool CJListBox::OnMouseDown(uint32_t button, CPoint point)
{
    return CJWindow::OnMouseDown(button, point);
}

bool CJListBox::OnMouseDrag(CPoint point, CPoint, uint32_t buttons, CCursorSequence*&)
{
    if (m_InDoubleClick || !(buttons & 1u) || !m_VisibleRect.ContainsPoint(point.x, point.y))
        return false;
    if (m_VisibleRows <= 1 && m_SelectedRow >= 0)
        return true;
    const int32_t row = GetRowAt(point);
    if (row >= 0)
        SelectRow(row, false);
    return true;
}

bool CJListBox::OnMouseDoubleClick(uint32_t button, CPoint point, uint32_t flag)
{
    if (button != 0)
        return CJWindow::OnMouseDoubleClick(button, point, flag);
    m_InDoubleClick = true;
    const bool taken = CJWindow::OnMouseDown(button, point);
    m_InDoubleClick = false;
    if (taken)
        return true;
    if (m_SelectedRow < 0 || m_SelectedRow >= GetRowCount())
        return false;
    const SListBoxRow& row = m_Rows[size_t(m_SelectedRow)];
    if (row.hasChildren) {
        if (row.expanded)
            Collapse(m_SelectedRow);
        else
            Expand(m_SelectedRow);
    }
    NotifyParent(kNotifyClicked);
    return true;
}

bool CJListBox::OnMouseWheel(int32_t delta, CPoint point)
{
    if (m_VisibleRows > 1) {
        SetTargetOffset(m_TargetOffset - delta * GetRowHeight());
        return true;
    }
    if (m_VisibleRows == 1)
        return OnKeyDown(delta <= 0 ? kKeyDown : kKeyUp);
    return CJWindow::OnMouseWheel(delta, point);
}

void CJListBox::OnNotify(CJWindow* sender, int32_t code)
{
    if (sender && sender == m_ScrollBar && code == kNotifyChanged) {
        ScrollTo(int32_t(m_ScrollBar->GetValue()));
        return;
    }
    CJWindow::OnNotify(sender, code);
}

bool CJListBox::OnHover(CPoint point)
{
    if (!m_ToolTips)
        return CJWindow::OnHover(point);
    const int32_t row = GetRowAt(point);
    if (row < 0)
        return CJWindow::OnHover(point);
    CJString text = GetRowToolTip(row, GetColumnAt(point));
    if (text.IsEmpty() && m_Tree)
        text = m_Tree->GetPath(m_Rows[size_t(row)].item);
    if (text.IsEmpty())
        return CJWindow::OnHover(point);
    if (CScreenWindow* screen = CScreenWindow::GetScreenWindow())
        screen->ShowToolTip(this, -1, text);
    return true;
}

bool CJListBox::IsGrayed() const
{
    return m_Grayed;
}
