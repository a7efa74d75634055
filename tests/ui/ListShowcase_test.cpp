// The list demos over the checked-in data, as the program runs them: the
// generated rows sort by a click on a column title, and the data folder's
// tree opens with its icons.

#include "ShowcaseTestSupport.h"

#include "images/CFrameList.h"
#include "ui/CJHeader.h"
#include "ui/CJListBox.h"
#include "ui/CJTabControl.h"
#include "ui/program/ListShowcase.h"
#include "ui/program/TabShowcase.h"
#include "ui/program/UiShowcase.h"

namespace {

class ListShowcase : public ShowcaseTest {
protected:
    void SetUp() override
    {
        ShowcaseTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        GetFrameLibrary().SetSource(nullptr, "Resources", 0);
        CJListBox::ResetIconFrames();
    }
    void TearDown() override
    {
        DestroyRoot();
        GetFrameLibrary().RemoveAll();
        GetFrameLibrary().SetSource(nullptr, "Nowhere", 0);
        CJListBox::ResetIconFrames();
        ShowcaseTest::TearDown();
    }
};

TEST_F(ListShowcase, RowsSortByTheClickedColumnAndTheTreeShowsTheDataFolder)
{
    InstallUiShowcase();
    InstallTabShowcase();
    InstallListShowcase();
    GetStandInHooks().init();
    CJListBox* rows = GetListShowcaseRows();
    CJHeader* header = GetTabShowcaseHeader();
    ASSERT_TRUE(rows && header);
    EXPECT_EQ(rows->GetRowCount(), 100000);
    EXPECT_EQ(rows->GetRect().top, header->GetRect().bottom) << "under the header";
    EXPECT_STREQ(rows->GetRowText(0).Left(10).GetString(), "Row 000000") << "sorted by name";
    Frame();

    // A click on the "Number" title sorts numerically, a second one flips.
    CMouseState& mouse = CMouseState::SGetInstance();
    const CRect h = header->GetScreenRect();
    auto clickTitle = [&](int32_t column) {
        mouse.SetPosition(h.left + header->GetColumnX(column) + 10, h.top + 2);
        mouse.SetButtons(1);
        Frame();
        mouse.SetButtons(0);
        Frame();
    };
    auto number = [&](int32_t row) {
        CJString left, right;
        rows->GetRowText(row).SplitAt(u'\t', left, right);
        return right.ToInt();
    };
    clickTitle(1);
    EXPECT_EQ(header->GetSortColumn(), 1);
    EXPECT_LE(number(0), number(1));
    EXPECT_LE(number(50000), number(99999));
    clickTitle(1);
    EXPECT_GE(number(0), number(99999)) << "descending";

    CJListBox* tree = GetListShowcaseTree();
    ASSERT_NE(tree, nullptr);
    EXPECT_TRUE(tree->IsTreeMode());
    EXPECT_STREQ(tree->GetSelectedText().GetString(), "Resources");
    EXPECT_TRUE(tree->GetRow(tree->GetSelectedRow()).expanded);
    EXPECT_NE(CJListBox::GetClosedFolderIconFrame(), nullptr) << "the icons come from the data";
    EXPECT_NE(CJListBox::GetFileIconFrame(), nullptr);
}

} // namespace
