// The tabbed window of the demo over the checked-in data, as the program
// runs it: Ctrl+Tab turns its pages, its header's widths come back on the
// next run, and its button opens the display options window.

#include "SkinTestSupport.h"

#include "images/CFontList.h"
#include "shell/CKeyboardState.h"
#include "shell/CMouseState.h"
#include "shell/program/CStandInGame.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJButton.h"
#include "ui/CJHeader.h"
#include "ui/CJTabControl.h"
#include "ui/CScreenWindow.h"
#include "ui/CVideoOptions.h"
#include "ui/program/TabShowcase.h"
#include "ui/program/UiShowcase.h"

#include <filesystem>

namespace {

class TabShowcase : public SkinFrameTest {
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

TEST_F(TabShowcase, PagesTurnWidthsAreKeptAndTheDisplayOptionsOpen)
{
    InstallUiShowcase();
    InstallTabShowcase();
    GetStandInHooks().init();
    CJWindow* frame = Named(*m_Root, "Lists and Trees");
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
    frame = Named(*m_Root, "Lists and Trees");
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(GetTabShowcaseHeader(), header);
    EXPECT_EQ(GetTabShowcaseHeader()->GetColumnWidth(0), 140);

    auto* button = Find<CJButton>(*frame);
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

} // namespace
