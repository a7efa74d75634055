// Menus driven through the real screen window with injected pointer moves,
// presses and typed keys: hover and Enter, disabled items, where sub-menus
// open near the screen's bottom, sub-menus lent and given back, separators,
// the pull-down that swallows its closing click and menus that die before
// their items.
#include "MenuTestSupport.h"

#include "foundation/CCommand.h"
#include "ui/CJMenu.h"

#include <string>

namespace {

struct SCounter {
    int runs = 0;
    bool allowed = true;
    void Run() { ++runs; }
    bool Allowed() { return allowed; }
};

class MenuTest : public ScreenTest {
protected:
    // Items named Item0, Item1, ... counting into counters.
    CJPullDownMenu* PullDown(SCounter* counters, int count)
    {
        auto* menu = new CJPullDownMenu(m_Screen);
        for (int i = 0; i < count; ++i) {
            const std::string name = "Item" + std::to_string(i);
            menu->AddItem(new CJTextMenuItem(
                menu, name.c_str(),
                new CObjectFunctionCommand<SCounter>(&counters[i], &SCounter::Run, &SCounter::Allowed)));
        }
        return menu;
    }
    CJPullDownMenu* Open(SCounter* counters, int count, int32_t x, int32_t y)
    {
        CJPullDownMenu* menu = PullDown(counters, count);
        m_Screen->AddChildFirst(menu, {EPlace::At, nullptr, x, y, kPlacePixels});
        return menu;
    }
    // A bar at y with one item "File" holding sub.
    CJMenuItem* Bar(int32_t y, CJMenu* sub)
    {
        auto* bar = new CJMenuBar(m_Screen);
        bar->SetRect(CRect{0, 0, 800, 30});
        auto* file = new CJTextMenuItem(bar, "File", nullptr);
        bar->AddItem(file);
        file->SetSubMenu(sub, false);
        m_Screen->AddChild(bar, {EPlace::At, nullptr, 0, y, kPlacePixels | kPlaceNoGrow});
        return file;
    }
    static CJMenuItem* Item(const CJMenu& menu, int index)
    {
        CJWindow* child = menu.GetFirstChild();
        for (; child && child->GetTitle().Compare(("Item" + std::to_string(index)).c_str()) != 0;)
            child = child->GetNextSibling();
        return dynamic_cast<CJMenuItem*>(child);
    }
    // Outlive the menus whose commands ask them.
    SCounter m_Counters[8];
};

TEST_F(MenuTest, HoverFocusesAnItemEnterRunsItAndDisabledItemsRunNothingAndStayUnlit)
{
    SCounter* counters = m_Counters;
    counters[1].allowed = false;
    CJPullDownMenu* menu = Open(counters, 3, 100, 100);
    menu->SetColor0RGB(200, 200, 200);
    CJMenuItem* item0 = Item(*menu, 0);
    CJMenuItem* item2 = Item(*menu, 2);
    // Stacked, as wide as the widest; the focus refreshed them from their commands.
    EXPECT_EQ(item2->GetRect().top, Item(*menu, 1)->GetRect().bottom);
    EXPECT_EQ(item0->GetWidth(), item2->GetWidth());
    EXPECT_FALSE(Item(*menu, 1)->IsEnabled());

    const auto lit = [&](const CJWindow& item) {
        m_Screen->DrawToScreen();
        const CRect& r = item.GetScreenRect();
        return Rgb(*m_ScreenFrame, r.right - 2, (r.top + r.bottom) / 2) != 0xC8C8C8u;
    };
    Step(Centre(*Item(*menu, 1)), false);
    EXPECT_EQ(menu->GetFirstChild(), Item(*menu, 1));
    EXPECT_FALSE(lit(*Item(*menu, 1)));
    Step(Centre(*item2), false);
    EXPECT_TRUE(item2->IsHighlighted() && item2->HasFocus());
    EXPECT_FALSE(Item(*menu, 1)->IsHighlighted());
    EXPECT_TRUE(lit(*item2));
    TypeKey(kKeyEnter);
    EXPECT_EQ(counters[2].runs, 1);
    EXPECT_FALSE(m_Screen->HasChildren());

    // A click on the disabled item is not taken; Enter on it closes the
    // menu without running it.
    menu = Open(counters, 3, 100, 100);
    Click(*Item(*menu, 1));
    EXPECT_TRUE(InTree(menu));
    TypeKey(kKeyEnter);
    EXPECT_EQ(counters[1].runs, 0);
    EXPECT_FALSE(m_Screen->HasChildren());
}

TEST_F(MenuTest, NearTheBottomABarsMenuOpensAboveAndAPullDownsSubMenuMovesUp)
{
    SCounter* counters = m_Counters;
    CJPullDownMenu* fileMenu = PullDown(counters, 3);
    CJMenuItem* file = Bar(570, fileMenu);
    Click(*file);
    ASSERT_TRUE(InTree(fileMenu));
    EXPECT_EQ(fileMenu->GetScreenRect().bottom, file->GetScreenRect().top);
    EXPECT_EQ(fileMenu->GetScreenRect().left, file->GetScreenRect().left);

    CJPullDownMenu* tall = PullDown(counters, 6);
    CJMenuItem* item2 = Item(*fileMenu, 2);
    item2->SetSubMenu(tall, true);
    Click(*item2);
    ASSERT_TRUE(InTree(tall));
    EXPECT_EQ(tall->GetScreenRect().bottom, item2->GetScreenRect().bottom);
    EXPECT_EQ(tall->GetScreenRect().left, item2->GetScreenRect().right);
}

TEST_F(MenuTest, ASubMenuIsLentAndGivenBackAndAChoiceClosesTheChainButNotTheBar)
{
    SCounter* counters = m_Counters;
    CJPullDownMenu* fileMenu = PullDown(counters, 2);
    CJPullDownMenu* deeper = PullDown(counters + 2, 2);
    Item(*fileMenu, 1)->SetSubMenu(deeper, true);
    CJMenuItem* file = Bar(0, fileMenu);
    CJWindow* bar = file->GetParent();

    // Escape gives the menu back to its item; it opens again as the same object.
    Click(*file);
    EXPECT_EQ(file->GetOpenSubMenu(), fileMenu);
    EXPECT_EQ(fileMenu->GetOwnerItem(), file);
    TypeKey(kKeyEscape);
    EXPECT_FALSE(InTree(fileMenu));
    EXPECT_EQ(file->GetSubMenu(), fileMenu);
    EXPECT_EQ(fileMenu->GetOwnerItem(), nullptr);
    TypeKey(kKeyEnter);
    EXPECT_TRUE(InTree(fileMenu));

    // Two levels open; the deepest item's choice closes both and keeps the bar.
    Click(*Item(*fileMenu, 1));
    ASSERT_EQ(m_Screen->GetFirstChild(), deeper);
    Click(*Item(*deeper, 1));
    EXPECT_EQ(counters[3].runs, 1);
    EXPECT_EQ(m_Screen->GetFirstChild(), bar);
    EXPECT_EQ(m_Screen->GetLastChild(), bar);
    EXPECT_EQ(file->GetSubMenu(), fileMenu);
    EXPECT_EQ(Item(*fileMenu, 1)->GetSubMenu(), deeper);

    // Alt and a letter reach an item of a closed menu.
    deeper->AddItem(
        new CJTextMenuItem(deeper, "&Rename", new CObjectFunctionCommand<SCounter>(&counters[0], &SCounter::Run)));
    CKeyboardState::SGetInstance().OnKeyDown(kScanAltLeft);
    TypeKey('r');
    EXPECT_EQ(counters[0].runs, 1);
    EXPECT_TRUE(InTree(bar));
}

TEST_F(MenuTest, SeparatorsNeverLeadOrDoubleAndAPullDownSwallowsItsClosingClick)
{
    SCounter* counters = m_Counters;
    CJPullDownMenu* menu = PullDown(counters, 0);
    menu->AddSeparator();
    menu->AddItem(new CJTextMenuItem(menu, "Item0", nullptr));
    menu->AddSeparator();
    menu->AddSeparator();
    menu->AddItem(new CJTextMenuItem(menu, "Item1", nullptr));
    std::string kinds;
    for (CJWindow* child = menu->GetFirstChild(); child; child = child->GetNextSibling())
        kinds += dynamic_cast<CJMenuItem*>(child)->IsSeparator() ? "-" : "i";
    EXPECT_EQ(kinds, "i-i");
    menu->Destroy();

    CProbeWindow* behind = Add(*m_Screen, "behind", CRect{0, 0, 800, 600});
    behind->m_TakesPress = true;
    menu = Open(counters, 2, 100, 100);
    Take();
    Click(*behind);
    EXPECT_FALSE(InTree(menu));
    EXPECT_TRUE(Take().empty());
    Click(*behind);
    EXPECT_FALSE(Take().empty());
}

TEST_F(MenuTest, AMenuOrItsItemMayDieWhileTheMenuIsOpen)
{
    SCounter* counters = m_Counters;
    CJPullDownMenu* fileMenu = PullDown(counters, 2);
    CJMenuItem* file = Bar(0, fileMenu);
    Click(*file);
    file->GetParent()->Destroy();
    EXPECT_EQ(fileMenu->GetOwnerItem(), nullptr);
    TypeKey(kKeyEscape);
    EXPECT_FALSE(m_Screen->HasChildren());

    fileMenu = PullDown(counters, 2);
    file = Bar(0, fileMenu);
    Click(*file);
    fileMenu->Destroy();
    EXPECT_EQ(file->GetOpenSubMenu(), nullptr);
    Click(*file);
    EXPECT_TRUE(InTree(file->GetParent()));
}

} // namespace
