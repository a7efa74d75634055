// The text-field form over the checked-in data with freshly drawn textures,
// as the program runs it: Alt and a label's letter reach the field after
// the label, typed keys change it within its range, and the form says what
// changed.

#include "SkinTestSupport.h"

#include "images/CFontList.h"
#include "images/CFrame.h"
#include "shell/CKeyboardState.h"
#include "shell/CMouseState.h"
#include "shell/program/CStandInGame.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJEdit.h"
#include "ui/CScreenWindow.h"
#include "ui/program/EditShowcase.h"
#include "ui/program/UiShowcase.h"

#include <filesystem>

namespace {

class EditShowcase : public SkinFrameTest {
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
    void Type(uint32_t key)
    {
        CKeyboardState::SGetInstance().OnCharacter(key);
        Frame();
    }
    void AltKey(uint32_t key)
    {
        CKeyboardState& keyboard = CKeyboardState::SGetInstance();
        keyboard.OnKeyDown(kScanAltLeft);
        keyboard.OnCharacter(key);
        Frame();
        keyboard.OnKeyUp(kScanAltLeft);
    }
    CJWindow* Form() const
    {
        for (CJWindow* child = m_Root->GetFirstChild(); child; child = child->GetNextSibling())
            if (child->GetTitle().Compare("Text Fields") == 0)
                return child;
        return nullptr;
    }
    static CJEdit* FocusedEdit(const CJWindow& form)
    {
        for (CJWindow* child = form.GetFirstChild(); child; child = child->GetNextSibling())
            if (child->HasFocus())
                return dynamic_cast<CJEdit*>(child);
        return nullptr;
    }
    static std::string Status(const CJWindow& form)
    {
        for (CJWindow* child = form.GetFirstChild(); child; child = child->GetNextSibling()) {
            const std::string title = child->GetTitleText();
            if (title.rfind("Changed: ", 0) == 0 || title.rfind("Type, ", 0) == 0)
                return title;
        }
        return "";
    }

    std::unique_ptr<CFrame> m_Screen;
    CScreenWindow* m_Root = nullptr;
};

TEST_F(EditShowcase, LabelsHandTheirHotKeysToTheFieldsWhichKeepTheirRanges)
{
    InstallUiShowcase();
    InstallEditShowcase();
    GetStandInHooks().init();
    CJWindow* form = Form();
    ASSERT_NE(form, nullptr);
    m_Root->BringChildToFront(form);
    Frame();

    AltKey('c');
    CJEdit* count = FocusedEdit(*form);
    ASSERT_NE(count, nullptr);
    EXPECT_STREQ(count->GetTitleText(), "5");
    Type('0');
    EXPECT_STREQ(count->GetTitleText(), "5") << "0 is below the range 1-10";
    Type('7');
    EXPECT_STREQ(count->GetTitleText(), "7");
    EXPECT_EQ(Status(*form), "Changed: 7");

    AltKey('p');
    CJEdit* password = FocusedEdit(*form);
    ASSERT_NE(password, nullptr);
    EXPECT_TRUE(password->IsPassword());
    Type('k');
    Type('e');
    EXPECT_EQ(Status(*form), "Changed: **");

    AltKey('o');
    CJEdit* notes = FocusedEdit(*form);
    ASSERT_NE(notes, nullptr);
    EXPECT_TRUE(notes->IsMultiLine());
    Type(30);
    ASSERT_NE(notes->GetZoomWindow(), nullptr) << "F2 opens the zoom editor";
    EXPECT_EQ(m_Root->GetFirstChild(), notes->GetZoomWindow());
}

} // namespace
