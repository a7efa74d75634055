// The text-field form over the checked-in data with freshly drawn textures,
// as the program runs it: Alt and a label's letter reach the field after
// the label, typed keys change it within its range, and the form says what
// changed.

#include "ShowcaseTestSupport.h"

#include "ui/CJEdit.h"
#include "ui/program/EditShowcase.h"
#include "ui/program/UiShowcase.h"

namespace {

class EditShowcase : public ShowcaseTest {
protected:
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
    CJWindow* Form() const { return ChildTitled(*m_Root, "Text Fields"); }
    static CJEdit* FocusedEdit(const CJWindow& form)
    {
        for (CJWindow* child = form.GetFirstChild(); child; child = child->GetNextSibling())
            if (child->HasFocus())
                return dynamic_cast<CJEdit*>(child);
        return nullptr;
    }
    static std::string Status(const CJWindow& form) { return StatusLine(form, "Changed: ", "Type, "); }
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
