#pragma once
// Page windows stacked in one area under a strip of tabs, one tab per page
// titled with the page's title; exactly one page shows. A click on a tab or
// Ctrl+Tab (Ctrl+Shift+Tab backwards) switches pages with the switch sound;
// selecting from code is silent.
//
// When the tabs do not fit the control's width they overlap evenly so the
// last tab ends at the right edge; a later tab covers an earlier one, and
// the selected tab is drawn over both neighbours.

#include "foundation/CArrayPOD.h"
#include "ui/CJWindow.h"

#include <cstdint>

class CJTabControl : public CJWindow {
public:
    explicit CJTabControl(CJWindow* parent);
    ~CJTabControl() override;

    void Draw(CFrameInterface& frame) override;
    bool OnMouseDown(uint32_t button, CPoint point) override;
    bool OnKeyDown(uint32_t key) override;
    // Also lays out the tabs and gives every page the area below them.
    void SetRect(const CRect& rect) override;

    // The page becomes a child below the tab strip and, until another is
    // selected, the page shown and selected (the one before it hides).
    // Answers the page's index.
    uint32_t AddPage(CJWindow* page);
    // Silent; nothing when already selected or out of range.
    void SelectTab(uint32_t index);
    // Silent; nothing for a window that is not a page.
    void SelectPage(CJWindow* page);
    // Wraps to the first page.
    void SelectNextTab(bool silent);

    uint32_t GetPageCount() const { return m_PageCount; }
    CJWindow* GetPage(uint32_t index) const { return index < m_PageCount ? m_Pages[index] : nullptr; }
    uint32_t GetSelectedIndex() const { return m_Selected; }
    CJWindow* GetSelectedPage() const { return GetPage(m_Selected); }
    // Control coordinates; an empty rectangle for an unknown index.
    CRect GetTabRect(uint32_t index) const;
    int32_t GetTabHeight() const { return m_TabHeight; }
    int32_t GetTabOverlap() const { return m_TabOverlap; }

private:
    void Select(uint32_t index, bool silent);
    void SelectPreviousTab(bool silent);
    void LayoutTabs();
    void SizePages();
    int32_t TabWidth(const CJWindow& page) const;

    bool m_ShowTabs = true;
    uint32_t m_PageCount = 0;
    CArrayPOD<CJWindow*> m_Pages;
    CArrayPOD<CRect> m_TabRects;
    int32_t m_TabHeight = 0;
    uint32_t m_Selected = 0;
    int32_t m_TabOverlap = 0;
    bool m_Laying = false;
};
