// The list demos over the checked-in data, as the program runs them: the
// generated rows sort by a click on a column title, and the data folder's
// tree opens with its icons.

#include "SkinTestSupport.h"

#include "images/CFontList.h"
#include "images/CFrameList.h"
#include "shell/CKeyboardState.h"
#include "shell/CMouseState.h"
#include "shell/program/CStandInGame.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJHeader.h"
#include "ui/CJListBox.h"
#include "ui/CJTabControl.h"
#include "ui/CScreenWindow.h"
#include "ui/program/ListShowcase.h"
#include "ui/program/TabShowcase.h"
#include "ui/program/UiShowcase.h"

#include <filesystem>

namespace {

class ListShowcase : public SkinFrameTest {
protected:
    void SetUp() override
    {
        SkinFrameTest::SetUp();
        if (IsSkipped())
            return;
        const std::string source = OMBRISALT_SOURCE_DIR;
        std::filesystem::create_directories("Data/Resources");
        std::filesystem::copy(source + "/data/Data/Resources/Interface", "Data/Resources/Interface",
                              std::filesystem::copy_options::recursive);
        std::filesystem::copy(source + "/data/Data/Resources/Fonts", "Data/Resources/Fonts",
                              std::filesystem::copy_options::recursive);
        std::filesystem::remove_all("Data/Resources/Interface/Textures/.interface-made");
        ASSERT_EQ(RunCommand("python3 " + source + "/tools/make_demo_interface.py ."), 0);
        std::filesystem::current_path("Data");
        EnumerateFontFiles();
        GetFontList().SetSource(nullptr, "Resources|Fonts", 0);
        CMouseState::SGetInstance().ResetForTesting();
        CKeyboardState::SGetInstance().ResetForTesting();
        GetFrameLibrary().SetSource(nullptr, "Resources", 0);
        CJListBox::ResetIconFrames();
        m_Screen = CFrame::MakeOwned(1024, 768, 32);
        m_Root = new CScreenWindow(m_Screen.get(), m_Font.get());
    }
    void TearDown() override
    {
        if (m_Root)
            m_Root->Destroy();
        SetStandInHooks(SStandInHooks());
        GetSkinThemeList().RemoveAll();
        GetSkinThemeList().SetSource(nullptr, "Nowhere", 0);
        GetFontList().RemoveAll();
        GetFontList().SetSource(nullptr, "Nowhere", 0);
        GetFrameLibrary().RemoveAll();
        GetFrameLibrary().SetSource(nullptr, "Nowhere", 0);
        CJListBox::ResetIconFrames();
        CJWindow::SetSkinResources(nullptr, nullptr);
        CMouseState::SGetInstance().ResetForTesting();
        CKeyboardState::SGetInstance().ResetForTesting();
        SkinFrameTest::TearDown();
    }
    void Frame()
    {
        m_Root->Update(1.0f / 60.0f);
        CColor black(0, 0, 0, 255);
        m_Screen->Fill(black);
        GetStandInHooks().draw(*m_Screen);
    }
    template <typename T>
    static T* Find(CJWindow& parent)
    {
        for (CJWindow* child = parent.GetFirstChild(); child; child = child->GetNextSibling())
            if (auto* found = dynamic_cast<T*>(child))
                return found;
        return nullptr;
    }
    static CJWindow* Named(CJWindow& parent, const char* title)
    {
        for (CJWindow* child = parent.GetFirstChild(); child; child = child->GetNextSibling())
            if (child->GetTitle().Compare(title) == 0)
                return child;
        return nullptr;
    }

    std::unique_ptr<CFrame> m_Screen;
    CScreenWindow* m_Root = nullptr;
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
