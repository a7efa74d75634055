// Menus driven through the real screen window with injected pointer moves,
// presses and typed keys: hover and Enter, disabled items, where sub-menus
// open near the screen's edges, sub-menus lent and given back, separators,
// the pull-down that swallows its closing click and menus that outlive or
// die before their items.
#include "SkinTestSupport.h"
#include "UiTestSupport.h"

#include "foundation/CCommand.h"
#include "images/CFrame.h"
#include "ui/CJMenu.h"

#include <memory>

namespace {

// Counts its runs; can be switched off.
struct SCounter {
    int runs = 0;
    bool allowed = true;
    void Run() { ++runs; }
    bool Allowed() { return allowed; }
};

CCommand* CountCommand(SCounter& counter)
{
    return new CObjectFunctionCommand<SCounter>(&counter, &SCounter::Run, &SCounter::Allowed);
}

class MenuTest : public UiTestOn<SkinFrameTest> {
protected:
    void SetUp() override
    {
        UiTestOn<SkinFrameTest>::SetUp();
        if (IsSkipped())
            return;
        m_Screen = new CScreenWindow(m_ScreenFrame.get(), m_Font.get());
    }
    void TearDown() override
    {
        delete m_Screen;
        UiTestOn<SkinFrameTest>::TearDown();
    }

    // One frame with the pointer at p and the left button as given.
    void Step(CPoint p, bool held)
    {
        CMouseState& mouse = CMouseState::SGetInstance();
        mouse.SetPosition(p.x, p.y);
        mouse.SetButtons(held ? 1u : 0u);
        Advance(16);
        m_Screen->Update(0.016f);
    }
    void Click(CPoint p)
    {
        Step(p, true);
        Step(p, false);
    }
    void TypeKey(uint32_t key)
    {
        CKeyboardState::SGetInstance().OnCharacter(key);
        Advance(16);
        m_Screen->Update(0.016f);
    }
    static CPoint Centre(const CJWindow& window)
    {
        const CRect& r = window.GetScreenRect();
        return CPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    // A pull-down of items counting into counters, not yet in the tree.
    CJPullDownMenu* MakePullDown(SCounter* counters, int count)
    {
        auto* menu = new CJPullDownMenu(m_Screen);
        static const char* const names[] = {"Open", "Save", "Close", "Print", "Quit", "About"};
        for (int i = 0; i < count; ++i)
            menu->AddItem(new CJTextMenuItem(menu, names[i % 6], CountCommand(counters[i])));
        return menu;
    }
    CJMenuItem* Item(CJMenu& menu, const char* title)
    {
        for (CJWindow* child = menu.GetFirstChild(); child; child = child->GetNextSibling())
            if (child->GetTitle().Compare(title) == 0)
                return dynamic_cast<CJMenuItem*>(child);
        return nullptr;
    }
    bool InTree(const CJWindow* window) const
    {
        for (const CJWindow* child = m_Screen->GetFirstChild(); child; child = child->GetNextSibling())
            if (child == window)
                return true;
        return false;
    }
    uint32_t Seen(CPoint p) const { return Rgb(*m_ScreenFrame, p.x, p.y); }
    void DrawScreen()
    {
        CColor grey(100, 100, 100, 255);
        m_ScreenFrame->Fill(grey);
        m_Screen->DrawToScreen();
    }

    std::unique_ptr<CFrame> m_ScreenFrame = CFrame::MakeOwned(800, 600, 32);
    CScreenWindow* m_Screen = nullptr;
};

TEST_F(MenuTest, HoverRaisesAndFocusesAnItemEnterRunsItAndThePullDownGoes)
{
    SCounter counters[3];
    CJPullDownMenu* menu = MakePullDown(counters, 3);
    m_Screen->AddChildFirst(menu, 5, nullptr, 100, 100, kPlacePixels);
    CJMenuItem* save = Item(*menu, "Save");
    ASSERT_TRUE(save);
    // Items share the widest width and stack without gaps.
    EXPECT_EQ(save->GetWidth(), Item(*menu, "Close")->GetWidth());
    EXPECT_EQ(save->GetRect().top, Item(*menu, "Open")->GetRect().bottom);

    Step(Centre(*save), false);
    EXPECT_TRUE(save->IsHighlighted());
    EXPECT_EQ(menu->GetFirstChild(), save);
    EXPECT_TRUE(save->HasFocus());
    EXPECT_FALSE(Item(*menu, "Open")->IsHighlighted());

    TypeKey(kKeyEnter);
    EXPECT_EQ(counters[1].runs, 1);
    EXPECT_EQ(counters[0].runs + counters[2].runs, 0);
    EXPECT_FALSE(m_Screen->HasChildren());

    // A click runs the item under the pointer; Down moves the focus first.
    menu = MakePullDown(counters, 3);
    m_Screen->AddChildFirst(menu, 5, nullptr, 100, 100, kPlacePixels);
    Click(Centre(*Item(*menu, "Close")));
    EXPECT_EQ(counters[2].runs, 1);
    EXPECT_FALSE(m_Screen->HasChildren());
    menu = MakePullDown(counters, 3);
    m_Screen->AddChildFirst(menu, 5, nullptr, 100, 100, kPlacePixels);
    Step(CPoint{700, 500}, false);
    TypeKey(uint32_t(EngineKey::Down));
    TypeKey(kKeyEnter);
    EXPECT_EQ(counters[1].runs, 2);
}

TEST_F(MenuTest, ADisabledItemIsSkippedByActivationAndDrawnUnlit)
{
    SCounter counters[3];
    counters[1].allowed = false;
    CJPullDownMenu* menu = MakePullDown(counters, 3);
    menu->SetColor0RGB(200, 200, 200);
    m_Screen->AddChildFirst(menu, 5, nullptr, 100, 100, kPlacePixels);
    CJMenuItem* open = Item(*menu, "Open");
    CJMenuItem* save = Item(*menu, "Save");
    // The focus refreshed the items from their commands.
    EXPECT_FALSE(save->IsEnabled());
    EXPECT_TRUE(open->IsEnabled());

    // A point right of the text, inside each item.
    const auto spot = [](const CJWindow& item) {
        const CRect& r = item.GetScreenRect();
        return CPoint{r.right - 2, (r.top + r.bottom) / 2};
    };
    DrawScreen();
    const uint32_t unlitSave = Seen(spot(*save));
    const uint32_t unlitOpen = Seen(spot(*open));
    Step(Centre(*save), false);
    DrawScreen();
    EXPECT_EQ(Seen(spot(*save)), unlitSave);
    Step(Centre(*open), false);
    DrawScreen();
    EXPECT_NE(Seen(spot(*open)), unlitOpen);

    // Activating the disabled item closes the menu without running it.
    Step(Centre(*save), false);
    TypeKey(kKeyEnter);
    EXPECT_EQ(counters[1].runs, 0);
    EXPECT_FALSE(m_Screen->HasChildren());
}

TEST_F(MenuTest, SubMenusNearTheEdgesOpenAboveOrMoveUpOrOpenLeft)
{
    // A bar along the bottom: its menu opens above the item.
    SCounter counters[6];
    auto* bar = new CJMenuBar(m_Screen);
    bar->SetRect(CRect{0, 0, 800, 20});
    auto* file = new CJTextMenuItem(bar, "File", nullptr);
    bar->AddItem(file);
    CJPullDownMenu* fileMenu = MakePullDown(counters, 3);
    file->SetSubMenu(fileMenu, false);
    m_Screen->AddChild(bar, 5, nullptr, 0, 570, kPlacePixels | kPlaceNoGrow);
    Click(Centre(*file));
    ASSERT_TRUE(InTree(fileMenu));
    EXPECT_EQ(fileMenu->GetScreenRect().bottom, file->GetScreenRect().top);
    EXPECT_EQ(fileMenu->GetScreenRect().left, file->GetScreenRect().left);
    EXPECT_EQ(fileMenu->GetOwnerItem(), file);
    EXPECT_EQ(file->GetOpenSubMenu(), fileMenu);
    EXPECT_EQ(file->GetSubMenu(), nullptr);
    TypeKey(kKeyEscape);
    EXPECT_FALSE(InTree(fileMenu));

    // A bar at the top opens its menu below the item.
    bar->MoveTo(0, 0);
    Click(Centre(*file));
    EXPECT_EQ(fileMenu->GetScreenRect().top, file->GetVisibleRect().bottom);
    TypeKey(kKeyEscape);

    // A pull-down low on the screen: its sub-menu moves up, bottoms aligned.
    CJPullDownMenu* low = MakePullDown(counters, 2);
    CJMenuItem* more = Item(*low, "Save");
    CJPullDownMenu* tall = MakePullDown(counters, 6);
    more->SetSubMenu(tall, true);
    m_Screen->AddChildFirst(low, 5, nullptr, 100, 530, kPlacePixels);
    Click(Centre(*more));
    ASSERT_TRUE(InTree(tall));
    EXPECT_EQ(tall->GetScreenRect().bottom, more->GetScreenRect().bottom);
    EXPECT_EQ(tall->GetScreenRect().left, more->GetScreenRect().right);
    TypeKey(kKeyEscape);
    EXPECT_FALSE(InTree(tall));

    // Near the right edge it moves left by both menus' widths.
    low->MoveTo(800 - low->GetWidth() - 5, 100);
    Click(Centre(*more));
    EXPECT_EQ(tall->GetScreenRect().left, more->GetScreenRect().right - low->GetWidth() - tall->GetWidth());
    EXPECT_LT(tall->GetScreenRect().right, low->GetScreenRect().left);
    TypeKey(kKeyEscape);
    TypeKey(kKeyEscape);
    EXPECT_FALSE(InTree(low));
}

TEST_F(MenuTest, ASubMenuIsLentAndGivenBackAndChoosingClosesTheChainButTheBar)
{
    SCounter counters[6];
    auto* bar = new CJMenuBar(m_Screen);
    bar->SetRect(CRect{0, 0, 800, 20});
    auto* edit = new CJTextMenuItem(bar, "Edit", nullptr);
    bar->AddItem(edit);
    auto* view = new CJTextMenuItem(bar, "View", nullptr);
    bar->AddItem(view);
    EXPECT_EQ(view->GetRect().left, edit->GetRect().right);
    CJPullDownMenu* editMenu = MakePullDown(counters, 2);
    edit->SetSubMenu(editMenu, false);
    CJPullDownMenu* deeper = MakePullDown(counters + 2, 2);
    Item(*editMenu, "Save")->SetSubMenu(deeper, true);
    m_Screen->AddChild(bar, 0, nullptr, kDefaultOffset, kDefaultOffset, kPlaceNoGrow);

    // Closed and opened again: the very same menu object.
    Click(Centre(*edit));
    ASSERT_TRUE(InTree(editMenu));
    Click(CPoint{700, 400});
    EXPECT_FALSE(InTree(editMenu));
    EXPECT_EQ(edit->GetSubMenu(), editMenu);
    EXPECT_EQ(editMenu->GetOwnerItem(), nullptr);
    Click(Centre(*edit));
    EXPECT_TRUE(InTree(editMenu));

    // Two levels open; the deepest item's choice closes both and keeps the bar.
    Click(Centre(*Item(*editMenu, "Save")));
    ASSERT_TRUE(InTree(deeper));
    EXPECT_EQ(m_Screen->GetFirstChild(), deeper);
    Click(Centre(*Item(*deeper, "Save")));
    EXPECT_EQ(counters[3].runs, 1);
    EXPECT_EQ(Order(*m_Screen), "Menu");
    EXPECT_EQ(m_Screen->GetFirstChild(), bar);
    EXPECT_EQ(edit->GetSubMenu(), editMenu);
    EXPECT_EQ(Item(*editMenu, "Save")->GetSubMenu(), deeper);

    // Left and Right walk the bar; Enter opens the focused item's menu.
    TypeKey(uint32_t(EngineKey::Right));
    EXPECT_EQ(bar->GetFirstChild(), view);
    TypeKey(uint32_t(EngineKey::Left));
    TypeKey(kKeyEnter);
    EXPECT_TRUE(InTree(editMenu));

    // Alt and a letter reach an item of a closed menu.
    TypeKey(kKeyEscape);
    auto* hidden = new CJTextMenuItem(deeper, "&Rename", CountCommand(counters[5]));
    deeper->AddItem(hidden);
    CKeyboardState::SGetInstance().OnKeyDown(kScanAltLeft);
    TypeKey('r');
    CKeyboardState::SGetInstance().OnKeyUp(kScanAltLeft);
    EXPECT_EQ(counters[5].runs, 1);
    EXPECT_TRUE(InTree(bar));
}

TEST_F(MenuTest, SeparatorsNeverLeadOrDouble)
{
    SCounter counters[2];
    CJPullDownMenu* menu = new CJPullDownMenu(m_Screen);
    menu->AddSeparator();
    EXPECT_FALSE(menu->HasChildren());
    menu->AddItem(new CJTextMenuItem(menu, "Cut", CountCommand(counters[0])));
    menu->AddSeparator();
    menu->AddSeparator();
    menu->AddItem(new CJTextMenuItem(menu, "Paste", CountCommand(counters[1])));
    int separators = 0, items = 0;
    for (CJWindow* child = menu->GetFirstChild(); child; child = child->GetNextSibling()) {
        ++items;
        separators += dynamic_cast<CJMenuItem*>(child)->IsSeparator() ? 1 : 0;
    }
    EXPECT_EQ(items, 3);
    EXPECT_EQ(separators, 1);

    // Down passes over the separator.
    m_Screen->AddChildFirst(menu, 5, nullptr, 10, 10, kPlacePixels);
    TypeKey(uint32_t(EngineKey::Down));
    TypeKey(kKeyEnter);
    EXPECT_EQ(counters[1].runs, 1);
}

TEST_F(MenuTest, APullDownSwallowsItsClosingClick)
{
    CProbeWindow* behind = Add(*m_Screen, "behind", CRect{0, 0, 800, 600});
    behind->m_TakesPress = true;
    SCounter counters[2];
    CJPullDownMenu* menu = MakePullDown(counters, 2);
    m_Screen->AddChildFirst(menu, 5, nullptr, 100, 100, kPlacePixels);
    Take();
    Click(CPoint{500, 500});
    EXPECT_FALSE(InTree(menu));
    EXPECT_TRUE(Take().empty());
    Click(CPoint{500, 500});
    EXPECT_FALSE(Take().empty());
    EXPECT_EQ(counters[0].runs + counters[1].runs, 0);
}

TEST_F(MenuTest, MenusAndItemsDieInEitherOrder)
{
    SCounter counters[4];
    auto* bar = new CJMenuBar(m_Screen);
    bar->SetRect(CRect{0, 0, 800, 20});
    auto* file = new CJTextMenuItem(bar, "File", nullptr);
    bar->AddItem(file);
    CJPullDownMenu* fileMenu = MakePullDown(counters, 2);
    file->SetSubMenu(fileMenu, false);
    m_Screen->AddChild(bar, 0, nullptr, kDefaultOffset, kDefaultOffset, kPlaceNoGrow);

    // The bar dies while its menu is open: the menu stays, then closes as a window.
    Click(Centre(*file));
    ASSERT_TRUE(InTree(fileMenu));
    bar->Destroy();
    EXPECT_EQ(fileMenu->GetOwnerItem(), nullptr);
    TypeKey(kKeyEscape);
    EXPECT_FALSE(m_Screen->HasChildren());

    // The open menu dies first: its item forgets it and opens nothing.
    bar = new CJMenuBar(m_Screen);
    bar->SetRect(CRect{0, 0, 800, 20});
    file = new CJTextMenuItem(bar, "File", nullptr);
    bar->AddItem(file);
    fileMenu = MakePullDown(counters, 2);
    file->SetSubMenu(fileMenu, false);
    m_Screen->AddChild(bar, 0, nullptr, kDefaultOffset, kDefaultOffset, kPlaceNoGrow);
    Click(Centre(*file));
    fileMenu->Destroy();
    EXPECT_EQ(file->GetOpenSubMenu(), nullptr);
    Click(Centre(*file));
    EXPECT_EQ(Order(*m_Screen), "Menu");

    // A held sub-menu replaced by another is deleted (the sanitiser checks).
    file->SetSubMenu(MakePullDown(counters, 1), true);
    file->SetSubMenu(MakePullDown(counters, 2), true);
    EXPECT_TRUE(file->ShowsSubMenuArrow());
    // The screen's death takes everything with it.
    Click(Centre(*file));
    EXPECT_NE(file->GetOpenSubMenu(), nullptr);
}

} // namespace
