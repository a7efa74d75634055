#pragma once
// The row of column titles above a multi-column list box.
//
// The header holds the columns (title, width, font, alignment, sort kind and
// direction). Dragging a column's right edge resizes it; clicking a title
// makes that column the sort column, and a second click on the sort column
// reverses its direction. The parent hears of both (OnNotify: 1 for a width,
// 0 for a sort click) and so do two optional commands the header owns: the
// sort command (SetCommand; the list box re-sorts through it) and the width
// command.
//
// Widths are kept in the window settings file, in the section named by the
// parent window's settings key, under "<title> Column Width". Owners call
// LoadColumnWidths after building the columns and SaveColumnWidths when they
// save their window settings. A width read back keeps the 4-pixel minimum,
// so a hand-edited or stale file cannot make a column vanish. Two headers
// with the same titles under one owner tell their widths apart by a key
// prefix; a header with one reads the plain key while its own is missing.

#include "foundation/CCommand.h"
#include "ui/CJWindow.h"

#include <cstdint>

class CFont;
class CFrameInterface;

// Title alignment, also used for the list's column text.
inline constexpr uint32_t kHeaderAlignLeft = 0;
inline constexpr uint32_t kHeaderAlignCentre = 1;
inline constexpr uint32_t kHeaderAlignRight = 2;
// Sort kinds: numeric is 0, any other value sorts as text.
inline constexpr uint32_t kHeaderSortNumeric = 0;
inline constexpr uint32_t kHeaderSortText = 1;
// Sort directions.
inline constexpr uint32_t kHeaderAscending = 0;
inline constexpr uint32_t kHeaderDescending = 1;
// The narrowest a column may become through a limited width change.
inline constexpr int32_t kHeaderMinimumColumnWidth = 4;

// A command that calls a handler of a window (the window is not owned and
// must outlive the command).
class CJWindowFunctionCommand : public CCommand {
public:
    using Handler = void (CJWindow::*)();

    template <typename W>
    CJWindowFunctionCommand(W* window, void (W::*handler)())
        : m_Window(window)
        , m_Handler(static_cast<Handler>(handler))
    {
    }

    void Execute() override { (m_Window->*m_Handler)(); }

private:
    CJWindow* m_Window;
    Handler m_Handler;
};

// One column; the header owns it.
struct CJHeaderColumn : public CPooledClassBase {
    CJHeaderColumn() = default;
    CJHeaderColumn(const CJHeaderColumn&) = delete;
    CJHeaderColumn& operator=(const CJHeaderColumn&) = delete;
    // Destroys the owned image, if any.
    ~CJHeaderColumn();

    int32_t x = 0;
    int32_t width = 0;
    // width / header width when the column was added.
    float widthFraction = 0.0f;
    // Also the stem of the saved width's key.
    CJString title;
    CFont* font = nullptr;
    // Owned; drawn centred in place of the title when set.
    CFrameInterface* image = nullptr;
    bool resizable = true;
    bool highlighted = false;
    uint32_t alignment = kHeaderAlignLeft;
    uint32_t sortKind = kHeaderSortNumeric;
    uint32_t sortDirection = kHeaderAscending;
    // The owner's; nothing here reads them.
    int32_t flags = -1;
};

class CJHeader : public CJWindow {
public:
    explicit CJHeader(CJWindow* parent);
    ~CJHeader() override;

    void Draw(CFrameInterface& frame) override;
    bool OnMouseUp(uint32_t button, CPoint point) override;
    bool OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*& cursor) override;
    CCursorSequence* GetCursor(CPoint point) override;
    // A cancelled press (Escape, lost focus) neither resizes nor sorts on.
    void OnMouseCaptureLost(uint32_t buttons) override;

    // font null = the header's font. Answers the new column's index.
    int32_t AddColumn(const CJString& title, int32_t width, CFont* font = nullptr,
                      uint32_t alignment = kHeaderAlignLeft, uint32_t sortKind = kHeaderSortText,
                      uint32_t direction = kHeaderAscending, int32_t flags = -1);
    // Last column first.
    void RemoveAllColumns();
    // Every x from the widths; the last column stretches to the total width
    // when one is set.
    void LayoutColumns();
    // limited: at least 4 pixels, and with a total width the columns before
    // the last keep 4 pixels for it.
    void SetColumnWidth(int32_t column, int32_t width, bool limited = true);
    void ResizeColumnBy(int32_t column, int32_t delta, bool limited = true);

    // Unknown columns: 0, false, or ignored.
    int32_t GetColumnCount() const { return int32_t(m_Columns.GetCount()); }
    const CJHeaderColumn* GetColumn(int32_t column) const;
    int32_t GetColumnWidth(int32_t column) const;
    int32_t GetColumnX(int32_t column) const;
    uint32_t GetColumnAlignment(int32_t column) const;
    bool IsNumericColumn(int32_t column) const;
    uint32_t GetSortDirection(int32_t column) const;
    void SetSortDirection(int32_t column, uint32_t direction);
    bool IsHighlighted(int32_t column) const;
    void SetHighlighted(int32_t column, bool highlighted);
    void SetResizable(int32_t column, bool resizable);
    // Takes the image (deletes the old one); null shows the title again.
    void SetColumnImage(int32_t column, CFrameInterface* image);

    int32_t GetSortColumn() const { return m_SortColumn; }
    void SetSortColumn(int32_t column) { m_SortColumn = column; }
    // 0: none; else the last column stretches to it.
    void SetTotalWidth(int32_t width) { m_TotalWidth = width; }
    int32_t GetTotalWidth() const { return m_TotalWidth; }
    // Fixed: no resizing and no sort clicks.
    void SetFixed(bool fixed) { m_Fixed = fixed; }
    bool IsFixed() const { return m_Fixed; }
    void SetHighlightColor(const CColor& colour) { m_HighlightColor = colour; }
    const CColor& GetHighlightColor() const { return m_HighlightColor; }
    int32_t GetMargin() const { return m_Margin; }

    // The column whose right edge is within 3 pixels of x (header content
    // coordinates), among the resizable ones; -1 when none.
    int32_t GetEdgeAt(int32_t x) const;
    // The first column whose right edge is at or right of x; -1 when none.
    int32_t GetColumnAt(int32_t x) const;

    // The sort command: takes it and deletes the one held (null only drops
    // the old one).
    void SetCommand(CCommand* command);
    CCommand* GetCommand() const { return m_SortCommand; }
    void SetWidthCommand(CCommand* command);
    CCommand* GetWidthCommand() const { return m_WidthCommand; }

    // Under the parent's settings key, or, for a header on a page or pane
    // without one, the nearest ancestor's; nothing when none has a key.
    void SaveColumnWidths();
    void LoadColumnWidths();
    // "<title> Column Width".
    static CJString GetWidthKey(const CJString& title);
    // Widths kept under "<prefix> <title> Column Width" (empty: no prefix).
    void SetWidthKeyPrefix(const CJString& prefix) { m_WidthKeyPrefix = prefix; }
    const CJString& GetWidthKeyPrefix() const { return m_WidthKeyPrefix; }
    // The window whose settings section keeps the widths; null when none.
    const CJWindow* GetSettingsOwner() const;

private:
    void DrawSortMark(CFrameInterface& frame, const CRect& cell, uint32_t direction, uint32_t alignment);
    CJString GetOwnWidthKey(const CJString& title) const;

    CArrayPOD<CJHeaderColumn*> m_Columns;
    CColor m_HighlightColor;
    int32_t m_DraggedEdge = -1;
    int32_t m_TotalWidth = 0;
    int32_t m_Margin = 3;
    int32_t m_SortColumn = 0;
    bool m_StillOverPressed = false;
    bool m_TitlePressed = false;
    bool m_Fixed = false;
    int32_t m_PressedColumn = -1;
    CCommand* m_SortCommand = nullptr;
    CCommand* m_WidthCommand = nullptr;
    CJString m_WidthKeyPrefix;
};
