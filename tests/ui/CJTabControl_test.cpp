// The tab control driven through the screen window: how tabs are laid out
// and overlap, which page a click, Ctrl+Tab or a call shows, the switch
// sound, and what drawing leaves behind.
#include "ControlTestSupport.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "ui/CJTabControl.h"

namespace {

using Sounds = std::vector<std::string>;
const std::string kSwitch = "UI/Button Switch.wav";

class TabControlTest : public ControlTest {
protected:
    // Pages of equal titles have tabs of equal width.
    CJTabControl* Tabs(int pages, const char* title = "Page", int32_t pageWidth = 120)
    {
        auto* tabs = new CJTabControl(m_Parent);
        for (int i = 0; i < pages; ++i) {
            auto* page = new CJWindow(tabs, title);
            page->SetSize(pageWidth, 80);
            tabs->AddPage(page);
        }
        Put(tabs, 10, 10);
        m_Ear.Take();
        return tabs;
    }
    void ClickTab(const CJTabControl& tabs, int32_t x)
    {
        const CRect& r = tabs.GetScreenRect();
        ClickAt(r.left + x, r.top + tabs.GetTabHeight() / 2);
    }
    void CtrlTab(bool shift)
    {
        CKeyboardState& keyboard = CKeyboardState::SGetInstance();
        keyboard.OnKeyDown(kScanControlLeft);
        if (shift)
            keyboard.OnKeyDown(kScanShiftRight);
        Type(kKeyTab);
        if (shift)
            keyboard.OnKeyUp(kScanShiftRight);
        keyboard.OnKeyUp(kScanControlLeft);
    }
    static std::string Shown(const CJTabControl& tabs)
    {
        std::string shown;
        for (uint32_t i = 0; i < tabs.GetPageCount(); ++i)
            if (tabs.GetPage(i)->IsVisible())
                shown += std::to_string(i);
        return shown;
    }
};

TEST_F(TabControlTest, PagesFillTheAreaBelowTabsThatOverlapEvenlyWhenShort)
{
    CJTabControl* tabs = Tabs(3, "Settings", 250);
    const int32_t tab = tabs->GetTabRect(0).GetWidth();
    ASSERT_LT(3 * tab, 250);
    EXPECT_EQ(tab, m_Font->GetTextWidth(CJString("Settings")) + 2 * tabs->GetBorderWidth() + 2);
    EXPECT_EQ(tabs->GetTabHeight(), int32_t(m_Font->GetHeight()) + 2 * tabs->GetBorderWidth() + 2);
    EXPECT_EQ(tabs->GetTabRect(1).left, tab) << "side by side while they fit";
    for (uint32_t i = 0; i < 3; ++i) {
        const CRect& r = tabs->GetPage(i)->GetRect();
        EXPECT_EQ(r.top, tabs->GetTabHeight());
        EXPECT_EQ(r.GetWidth(), tabs->GetWidth());
        EXPECT_EQ(r.GetHeight(), tabs->GetHeight() - tabs->GetTabHeight());
    }

    // 50 pixels short: the second tab moves 25 left, the third 50, and the
    // third ends at the right edge.
    const int32_t width = 3 * tab - 50;
    tabs->SetSize(width, 100);
    EXPECT_EQ(tabs->GetTabRect(1).left, tab - 25);
    EXPECT_EQ(tabs->GetTabRect(2).left, 2 * tab - 50);
    EXPECT_EQ(tabs->GetTabRect(2).right, width);
    EXPECT_EQ(tabs->GetPage(2)->GetWidth(), width);
    EXPECT_EQ(tabs->GetPage(2)->GetHeight(), 100 - tabs->GetTabHeight());
    // An odd excess is shared out with integer division.
    tabs->SetSize(3 * tab - 51, 100);
    EXPECT_EQ(tabs->GetTabRect(1).left, tab - 25);
    EXPECT_EQ(tabs->GetTabRect(2).right, 3 * tab - 51);

    // Where two tabs overlap the later one is hit.
    ASSERT_LT(tab - 10, tabs->GetTabRect(2).left);
    ClickTab(*tabs, tab - 10);
    EXPECT_EQ(tabs->GetSelectedIndex(), 1u);
    EXPECT_EQ(m_Ear.Take(), Sounds{kSwitch});
}

TEST_F(TabControlTest, ClicksKeysAndCallsShowExactlyOnePage)
{
    CJTabControl* tabs = Tabs(3);
    EXPECT_EQ(tabs->GetSelectedIndex(), 2u) << "the newest page shows and is selected";
    EXPECT_EQ(Shown(*tabs), "2");
    tabs->SelectTab(0);
    EXPECT_EQ(Shown(*tabs), "0");
    EXPECT_TRUE(m_Ear.Take().empty()) << "selecting from code is silent";
    EXPECT_EQ(tabs->GetFirstChild(), tabs->GetPage(0)) << "the page comes to the front";

    const int32_t tab = tabs->GetTabRect(0).GetWidth();
    ClickTab(*tabs, tab + 5);
    EXPECT_EQ(Shown(*tabs), "1");
    EXPECT_EQ(m_Ear.Take(), Sounds{kSwitch});
    ClickTab(*tabs, tab + 5);
    EXPECT_EQ(m_Ear.Take(), Sounds{}) << "reselecting is silent";
    EXPECT_EQ(Shown(*tabs), "1");
    ClickTab(*tabs, 3 * tab + 5);
    EXPECT_EQ(Shown(*tabs), "1") << "the strip right of the last tab selects nothing";

    CtrlTab(false);
    EXPECT_EQ(Shown(*tabs), "2");
    CtrlTab(false);
    EXPECT_EQ(Shown(*tabs), "0") << "wraps to the first";
    EXPECT_EQ(m_Ear.Take(), (Sounds{kSwitch, kSwitch}));
    CtrlTab(true);
    EXPECT_EQ(Shown(*tabs), "2") << "Ctrl+Shift+Tab on the first page goes to the last";
    CtrlTab(true);
    EXPECT_EQ(Shown(*tabs), "1");
    EXPECT_EQ(m_Ear.Take(), (Sounds{kSwitch, kSwitch}));

    Type(kKeyTab);
    EXPECT_EQ(Shown(*tabs), "1") << "Tab alone moves the focus, not the page";

    tabs->SelectPage(tabs->GetPage(0));
    EXPECT_EQ(Shown(*tabs), "0");
    tabs->SelectPage(m_Parent);
    tabs->SelectTab(7);
    EXPECT_EQ(Shown(*tabs), "0");
    tabs->SelectNextTab(true);
    EXPECT_EQ(Shown(*tabs), "1");
    EXPECT_TRUE(m_Ear.Take().empty());

    // A page added after the user picked one still leaves one page showing.
    auto* late = new CJWindow(tabs, "Late");
    tabs->AddPage(late);
    EXPECT_EQ(Shown(*tabs), "3");
    EXPECT_EQ(tabs->GetSelectedIndex(), 3u);
}

TEST_F(TabControlTest, DrawingGivesTheSharedOpacityBackAndOpensTheSelectedTab)
{
    CJTabControl* tabs = Tabs(2);
    tabs->SelectTab(0);
    CBlitType& mask = GetTransparentMaskBlitType();
    CScopedBlitOpacity faded(mask, 0.5f);
    Draw();
    EXPECT_FLOAT_EQ(mask.GetOpacity(), 0.5f) << "not 1.0: a greyed parent stays greyed";

    // The page frame's top edge is open under the selected tab only.
    const CRect& r = tabs->GetScreenRect();
    const int32_t y = r.top + tabs->GetTabHeight();
    const CRect first = tabs->GetTabRect(0);
    const CRect second = tabs->GetTabRect(1);
    EXPECT_NE(Rgb(*m_Canvas, r.left + (second.left + second.right) / 2, y), 0u) << "closed under the other tab";
    EXPECT_EQ(Rgb(*m_Canvas, r.left + (first.left + first.right) / 2, y),
              Rgb(*m_Canvas, r.left + (first.left + first.right) / 2, y - 3))
        << "the selected tab runs into its page";
}

} // namespace
