#pragma once
// A list of rows over a CVirtualArray, or an indented, expandable tree of
// rows over a CVirtualTree, with one selected row.
//
// Rows hold item indices of the source (tree ids in tree mode); the list
// never owns its source. Selection moves by mouse, arrow and page keys and
// by typing the start of a row's text; the parent hears kNotifyChanged when
// the selection changes and kNotifyClicked on a double click.
//
// Scrolling keeps two offsets: the target, which keys, the wheel and
// selection set, and the shown offset, which rows are drawn and hit at and
// which glides one step toward the target at the end of every draw. Scroll
// bar drags and lists of one visible row move both at once.
//
// With a header attached, rows sort by the header's sort column: the
// column-th tab-separated field of each row's text, numerically for numeric
// columns. Each row's key is cut and parsed once per sort.

#include "foundation/CJString.h"
#include "foundation/CVirtualTree.h"
#include "ui/CJWindow.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class CFrame;
class CJHeader;
class CJScrollBar;
class CVirtualArray;

// Decides which items a list shows. tree is null for a flat source.
class CListBoxFilter {
public:
    virtual ~CListBoxFilter() = default;
    virtual bool IsItemShown(CVirtualTree* tree, int32_t item) = 0;
};

// One shown row.
struct SListBoxRow {
    int32_t item = -1;
    bool expanded = false;
    bool hasChildren = false;
    uint32_t level = 0;
    // The row's parent item in tree mode (-1 for a flat list).
    int32_t parentItem = -1;
    // Bit n: the ancestor at level n (or the row at its own level) is the
    // last child of its parent; drives the connector lines.
    uint32_t lastChildMask = 0;
};

class CJListBox : public CJWindow {
public:
    // Sort callbacks: negative, zero or positive as a sorts before, with or
    // after b. column is the header's sort column (0 without a header).
    using ItemCompare = std::function<int(int32_t column, CVirtualArray* source, int32_t itemA, int32_t itemB)>;
    using TextCompare = std::function<int(int32_t column, const CJString& textA, const CJString& textB,
                                          CVirtualArray* source, int32_t itemA, int32_t itemB)>;

    // widthUnits: the wanted width in font units; the list is as wide as its
    // widest row up to that. Neither source nor filter is owned.
    CJListBox(CJWindow* parent, CVirtualArray* source, CListBoxFilter* filter, int32_t widthUnits,
              int32_t visibleRows);
    CJListBox(CJWindow* parent, CVirtualTree* tree, CListBoxFilter* filter, int32_t widthUnits,
              int32_t visibleRows);
    ~CJListBox() override;

    // ---- CJWindow ---------------------------------------------------------
    void Draw(CFrameInterface& frame) override;
    bool IsGrayed() const override;
    bool OnMouseDoubleClick(uint32_t button, CPoint point, uint32_t flag) override;
    bool OnMouseDown(uint32_t button, CPoint point) override;
    bool OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*& cursor) override;
    bool OnMouseWheel(int32_t delta, CPoint point) override;
    bool OnKeyDown(uint32_t key) override;
    void OnNotify(CJWindow* sender, int32_t code) override;
    void SetRect(const CRect& rect) override;
    bool OnHover(CPoint point) override;

    // ---- List operations (subclasses may replace) -------------------------
    // raised: the bevel of the background (pop-up lists pass true).
    virtual void DrawList(CFrameInterface& frame, bool raised);
    // -1 when none.
    virtual int32_t GetSelectedItem() const;
    // Empty when none.
    virtual CJString GetSelectedText() const;
    virtual int32_t GetSelection() const;
    // -1 clears; an item without a row opens the tree down to it first.
    virtual void SelectItem(int32_t item, bool silent);
    // Empty by default: the tree's description of the item shows instead.
    virtual CJString GetRowToolTip(int32_t row, int32_t column);
    virtual void DrawRow(CFrameInterface& frame, int32_t x, int32_t y, int32_t indentX, int32_t halfSpacing,
                         int32_t row);
    // Split at tabs into the header's columns when it has two or more.
    virtual void DrawRowColumns(CFrameInterface& frame, int32_t x, int32_t y, const CColor& colour,
                                const CJString& text);
    // Placed by the column's alignment.
    virtual void DrawColumnText(CFrameInterface& frame, int32_t x, int32_t y, const CColor& colour,
                                int32_t column, const CJString& text, CFont* font);
    // Empty for row -1 or a row past the end.
    virtual CJString GetRowText(int32_t row) const;
    virtual int32_t GetRowHeight() const;
    virtual int32_t GetRowSpacing() const;
    virtual int32_t GetIndent() const;
    virtual void Expand(int32_t row);
    virtual void DrawLastChildLine(CFrameInterface& frame, int32_t x, int32_t y, int32_t level, bool leaf);
    virtual void DrawFirstChildLine(CFrameInterface& frame, int32_t x, int32_t y, int32_t level, bool leaf);
    virtual void DrawMiddleChildLine(CFrameInterface& frame, int32_t x, int32_t y, int32_t level, bool leaf);
    virtual void DrawVerticalLine(CFrameInterface& frame, int32_t x, int32_t y, int32_t level, bool leaf);
    virtual void DrawSelectionBar(CFrameInterface& frame, int32_t y);
    // Centred on (x, y).
    virtual void DrawOpenFolderIcon(CFrameInterface& frame, int32_t x, int32_t y);
    virtual void DrawClosedFolderIcon(CFrameInterface& frame, int32_t x, int32_t y);
    virtual void DrawFileIcon(CFrameInterface& frame, int32_t x, int32_t y);
    virtual int32_t GetIconWidth() const;
    virtual CJScrollBar* CreateScrollBar();

    // ---- Sources ----------------------------------------------------------
    // Rebuilds the rows; the selection stays on its item when it still has
    // a row. Sources of fewer than 15 items open whole.
    void SetVirtualArray(CVirtualArray* source, CListBoxFilter* filter, bool keepScroll);
    void SetVirtualTree(CVirtualTree* tree, CListBoxFilter* filter);
    // Rebuilds from the current source and filter.
    void Refresh();
    // Removes the item from the list beneath the source and shows that list.
    void DeleteItem(int32_t item);
    CVirtualArray* GetSource() const { return m_Source; }
    CVirtualTree* GetTree() const { return m_Tree; }
    CListBoxFilter* GetFilter() const { return m_Filter; }

    // ---- Rows and selection -----------------------------------------------
    int32_t GetRowCount() const { return int32_t(m_Rows.size()); }
    const SListBoxRow& GetRow(int32_t row) const { return m_Rows[size_t(row)]; }
    // The row showing the item; -1 when none.
    int32_t FindRowOfItem(int32_t item) const;
    int32_t GetSelectedRow() const { return m_SelectedRow; }
    // Out-of-range or refused rows leave the selection alone.
    void SelectRow(int32_t row, bool silent);
    // The row under a screen point; -1 when none.
    int32_t GetRowAt(CPoint point) const;
    // The header column under a screen point (0 without a header of two
    // or more columns, -1 right of the last).
    int32_t GetColumnAt(CPoint point) const;
    // The item's text as rows show it.
    CJString GetItemText(int32_t item) const;
    // The source's can-select answer for the row's item.
    bool IsRowSelectable(int32_t row) const;

    // ---- Tree -------------------------------------------------------------
    void Collapse(int32_t row);
    void ExpandAll();
    void CollapseAll();
    // Opens the collapsed ancestors of the item top-down.
    void ExpandToItem(int32_t item);
    bool IsTreeMode() const { return m_TreeMode; }

    // ---- Scrolling --------------------------------------------------------
    // Both offsets at once, kept in range for the target.
    void ScrollTo(int32_t offset);
    // One glide step of the shown offset toward the target.
    void StepScroll();
    int32_t GetScrollOffset() const { return m_ShownOffset; }
    int32_t GetTargetScrollOffset() const { return m_TargetOffset; }
    int32_t GetMaxScrollOffset() const;
    void SetVisibleRows(int32_t rows);
    int32_t GetVisibleRows() const { return m_VisibleRows; }
    int32_t GetRequestedVisibleRows() const { return m_RequestedRows; }
    // height - 2 font units - 2, at least 0.
    int32_t GetVisibleHeight() const;
    CJScrollBar* GetScrollBar() const { return m_ScrollBar; }
    // Makes, resizes or deletes the bar as the row count asks.
    void UpdateListScrollBar();

    // ---- Sorting and header -----------------------------------------------
    // Attaches the header and makes its clicks re-sort the list.
    void SetHeader(CJHeader* header);
    CJHeader* GetHeader() const { return m_Header; }
    // mode 1: rows are sorted (when built, expanded and on a header click).
    void SetSortMode(int32_t mode) { m_SortMode = mode; }
    int32_t GetSortMode() const { return m_SortMode; }
    void SetItemCompare(ItemCompare compare) { m_ItemCompare = std::move(compare); }
    void SetTextCompare(TextCompare compare) { m_TextCompare = std::move(compare); }
    void SortRows(int32_t first, int32_t count);
    // SortRows over every row (the header's command).
    void SortAllRows();

    // ---- Type-ahead -------------------------------------------------------
    const CJString& GetTypedText() const { return m_TypedText; }
    int32_t GetTypedMatchIndex() const { return m_TypedMatchIndex; }
    void ClearTypedText();
    void SetErrorSound(bool on) { m_ErrorSound = on; }

    // ---- Flags ------------------------------------------------------------
    void SetNoIndent(bool on) { m_NoIndent = on; }
    void SetNoIcons(bool on) { m_NoIcons = on; }
    void SetLevelOffset(int32_t offset) { m_LevelOffset = offset; }
    int32_t GetLevelOffset() const { return m_LevelOffset; }
    void SetToolTips(bool on) { m_ToolTips = on; }
    void SetDrawBevel(bool on) { m_DrawBevel = on; }
    void SetNoScrollBar(bool on) { m_NoScrollBar = on; }
    void SetGrayed(bool on) { m_Grayed = on; }
    int32_t GetWidestText() const { return m_WidestText; }

    // The three icon frames, looked up once per process ("Folder Open
    // Icon", "Folder Closed Icon", "File Icon"); null when missing.
    static CFrame* GetOpenFolderIconFrame();
    static CFrame* GetClosedFolderIconFrame();
    static CFrame* GetFileIconFrame();
    // Forgets the looked-up frames (tests, data reloads).
    static void ResetIconFrames();

protected:
    // Type-ahead for one typed code; true when taken.
    bool TypeAhead(uint32_t key);
    // Searches from row start onward (wrapping not included); true on a
    // match, which is selected.
    bool SearchTyped(int32_t startRow);
    bool HandleTreeKey(uint32_t key, bool& handled);
    int32_t FirstSelectableRow() const;
    int32_t LastSelectableRow() const;
    // Target kept within 0 .. GetMaxScrollOffset().
    void SetTargetOffset(int32_t offset);
    // Rows of the tree under the parent id, filtered, in order.
    // The shown children of the tree item as rows, sorted in sort mode; the
    // last gets its level's bit. deep: every folder among them opens too.
    void AppendChildRows(std::vector<SListBoxRow>& out, int32_t parent, uint32_t level, uint32_t mask, bool deep);
    bool IsTreeItemShown(int32_t item);
    void RebuildRows(bool keepScroll);
    void UpdateWidth();
    void AfterRowCountChange();
    void Construct(CVirtualArray* source, CVirtualTree* tree, CListBoxFilter* filter, int32_t widthUnits,
                   int32_t visibleRows);

    std::vector<SListBoxRow> m_Rows;
    int32_t m_SelectedRow = -1;
    int32_t m_ShownOffset = 0;
    int32_t m_TargetOffset = 0;
    int32_t m_VisibleRows = 0;
    int32_t m_RequestedRows = 0;
    CVirtualArray* m_Source = nullptr;
    int32_t m_WidestText = 0;
    CListBoxFilter* m_Filter = nullptr;
    CJString m_TypedText;
    int32_t m_TypedMatchIndex = 0;
    uint32_t m_TypedTick = 0;
    int32_t m_RequestedWidth = 0;
    int32_t m_SortMode = 0;
    ItemCompare m_ItemCompare;
    TextCompare m_TextCompare;
    bool m_NoIndent = false;
    bool m_NoIcons = false;
    bool m_TreeMode = false;
    bool m_OwnBarAllowed = true;
    int32_t m_LevelOffset = 0;
    int32_t m_RowSpacing = 0;
    CJHeader* m_Header = nullptr;
    CJScrollBar* m_ScrollBar = nullptr;
    std::unique_ptr<CVirtualTreeToVirtualArrayBridge> m_Bridge;
    CVirtualTree* m_Tree = nullptr;
    bool m_ToolTips = false;
    bool m_DrawBevel = true;
    bool m_NoScrollBar = false;
    bool m_Grayed = false;
    bool m_ErrorSound = true;
    bool m_InDoubleClick = false;
};
