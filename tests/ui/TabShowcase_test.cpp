// The tabbed window of the demo over the checked-in data, as the program
// runs it: Ctrl+Tab turns its pages, its header's widths come back on the
// next run, and its button opens the display options window.

#include "ShowcaseTestSupport.h"

#include "ui/CJButton.h"
#include "ui/CJHeader.h"
#include "ui/CJTabControl.h"
#include "ui/CVideoOptions.h"
#include "ui/program/TabShowcase.h"
#include "ui/program/UiShowcase.h"

namespace {

class TabShowcase : public ShowcaseTest {};

TEST_F(TabShowcase, PagesTurnWidthsAreKeptAndTheDisplayOptionsOpen)
{
    InstallUiShowcase();
    InstallTabShowcase();
    GetStandInHooks().init();
    CJWindow* frame = ChildTitled(*m_Root, "Lists and Trees");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(m_Root->GetFirstChild(), frame);
    CJTabControl* tabs = GetTabShowcaseTabs();
    CJHeader* header = GetTabShowcaseHeader();
    ASSERT_TRUE(tabs && header);
    EXPECT_EQ(tabs->GetSelectedPage(), GetTabShowcasePage("Rows"));
    EXPECT_EQ(header->GetParent(), GetTabShowcasePage("Rows"));
    EXPECT_EQ(header->GetColumnCount(), 5);
    Frame();

    CKeyboardState& keyboard = CKeyboardState::SGetInstance();
    keyboard.OnKeyDown(kScanControlLeft);
    keyboard.OnCharacter(kKeyTab);
    Frame();
    keyboard.OnKeyUp(kScanControlLeft);
    EXPECT_EQ(tabs->GetSelectedPage(), GetTabShowcasePage("Tree"));

    // The user widens the first column; the next run finds it so.
    header->SetColumnWidth(0, 140);
    while (CJWindow* child = m_Root->GetFirstChild())
        child->Destroy();
    GetStandInHooks().init();
    frame = ChildTitled(*m_Root, "Lists and Trees");
    ASSERT_NE(frame, nullptr);
    // Found in the new frame, not compared with the old header's address:
    // the allocator may put the new header where the old one was.
    ASSERT_TRUE(Contains(*frame, GetTabShowcaseHeader()));
    EXPECT_EQ(GetTabShowcaseHeader()->GetColumnWidth(0), 140);

    auto* button = ChildOf<CJButton>(*frame);
    ASSERT_NE(button, nullptr);
    EXPECT_STREQ(button->GetTitle().GetString(), "Display options");
    CMouseState& mouse = CMouseState::SGetInstance();
    const CRect r = button->GetScreenRect();
    mouse.SetPosition((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    mouse.SetButtons(1);
    Frame();
    mouse.SetButtons(0);
    Frame();
    auto* options = dynamic_cast<CVideoOptions*>(m_Root->GetFirstChild());
    ASSERT_NE(options, nullptr);
    OpenDisplayOptions();
    Frame();
    int open = 0;
    for (CJWindow* child = m_Root->GetFirstChild(); child; child = child->GetNextSibling())
        open += dynamic_cast<CVideoOptions*>(child) != nullptr;
    EXPECT_EQ(open, 1) << "opened twice, it is only raised";
}

// Each test that shows the demo installs it again in the same process: the
// second install reuses the record (no leak) and forgets the first run's
// windows.
TEST_F(TabShowcase, InstalledAgainItStartsAfreshWithoutTheOldWindows)
{
    InstallUiShowcase();
    InstallTabShowcase();
    GetStandInHooks().init();
    ASSERT_NE(GetTabShowcaseHeader(), nullptr);
    // What the next test's fixture starts from.
    while (CJWindow* child = m_Root->GetFirstChild())
        child->Destroy();
    SetStandInHooks(SStandInHooks());

    InstallUiShowcase();
    InstallTabShowcase();
    EXPECT_EQ(GetTabShowcaseTabs(), nullptr) << "no window of the run before";
    EXPECT_EQ(GetTabShowcaseHeader(), nullptr);
    GetStandInHooks().init();
    EXPECT_NE(ChildTitled(*m_Root, "Lists and Trees"), nullptr);
    EXPECT_NE(GetTabShowcaseHeader(), nullptr);
}

} // namespace
