// Spins: the arrow buttons, keys, wheel and right-button drags step the
// edit's number within the range, with one error sound at each end.
#include "ControlTestSupport.h"

#include "ui/CJButton.h"
#include "ui/CJEdit.h"
#include "ui/CJSlider.h"
#include "ui/CJSpin.h"

namespace {

using SpinTest = ControlTest;
using Sounds = std::vector<std::string>;
const std::string kError = "Player Error.wav";

int Errors(CSoundEar& ear)
{
    int errors = 0;
    for (const std::string& sound : ear.Take())
        errors += sound == kError ? 1 : 0;
    return errors;
}

TEST_F(SpinTest, ArrowsStepWithinTheRangeWithOneErrorSoundAtTheEnd)
{
    auto* spin = Put(new CJSpin(m_Parent, CJString("9")), 10, 10);
    spin->SetRange(0, 10);
    int runs = 0;
    spin->SetChangeCommand(new CCountingCommand(&runs));
    CJEdit* edit = spin->GetEdit();
    CJButton* up = spin->GetUpButton();
    ASSERT_TRUE(edit && up && spin->GetDownButton());
    EXPECT_TRUE(edit->HasFocus()) << "the edit takes the focus";
    EXPECT_EQ(edit->GetWidth(), m_Font->GetTextWidth(CJString("19999")) + 4);
    EXPECT_EQ(up->GetRect().left, edit->GetRect().right) << "the arrows stand right of the edit";
    EXPECT_EQ(spin->GetDownButton()->GetRect().top, up->GetRect().bottom);
    EXPECT_EQ(std::string(spin->GetTitleText()), "9") << "titles are the edit's";
    Take();
    m_Ear.Take();

    const CRect upRect = up->GetScreenRect();
    ClickAt(upRect.left + 2, upRect.top + 2);
    EXPECT_EQ(spin->GetValue(), 10.0f);
    EXPECT_EQ(Errors(m_Ear), 0);
    ClickAt(upRect.left + 2, upRect.top + 2);
    EXPECT_EQ(spin->GetValue(), 10.0f) << "kept at the maximum";
    EXPECT_EQ(Errors(m_Ear), 1) << "one error sound";
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(Changes(), 2);

    Type(EngineKey::Down);
    EXPECT_EQ(spin->GetValue(), 9.0f) << "Down clicks the down arrow";
    Type(EngineKey::Up);
    EXPECT_EQ(spin->GetValue(), 10.0f);
    spin->SetStep(4);
    m_Screen->OnMouseWheel(0, CPoint{upRect.left + 2, upRect.top + 2});
    EXPECT_EQ(spin->GetValue(), 6.0f) << "the wheel: down for a zero amount";
    spin->ChangeValue(-100);
    EXPECT_EQ(spin->GetValue(), 0.0f);
    EXPECT_EQ(Errors(m_Ear), 1);

    spin->SetRange(0, 0);
    spin->ChangeValue(-25000.5f);
    EXPECT_EQ(spin->GetValue(), -25000.5f) << "without a range any value stands";
    EXPECT_EQ(Errors(m_Ear), 0);
}

TEST_F(SpinTest, TypedTextAndRightDragsReachTheOwner)
{
    auto* spin = Put(new CJSpin(m_Parent, CJString("5"), "999"), 10, 10);
    int runs = 0;
    spin->SetChangeCommand(new CCountingCommand(&runs));
    EXPECT_EQ(spin->GetEdit()->GetWidth(), m_Font->GetTextWidth(CJString("999")) + 4);
    Take();
    Type('7');
    EXPECT_EQ(std::string(spin->GetTitleText()), "7") << "the whole text was selected";
    Type('x');
    EXPECT_EQ(std::string(spin->GetTitleText()), "7") << "numbers only";
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(Changes(), 1);

    // The right button held on the spin itself (below the edit, beside the
    // arrows' column) moves the value against the pointer.
    spin->SetSize(spin->GetWidth(), spin->GetHeight() + 20);
    const CRect r = spin->GetScreenRect();
    MoveTo(r.left + 2, r.bottom - 5);
    Press(1);
    MoveTo(r.left + 2, r.bottom - 8);
    Release(1);
    EXPECT_EQ(spin->GetValue(), 10.0f) << "three pixels up: three steps";
}

TEST_F(SpinTest, TabReachesEachSpinsEditAndNumericTitlesAreTheEdits)
{
    auto* first = Put(new CJSpin(m_Parent, CJString("12")), 10, 10);
    auto* second = Put(new CJSpin(m_Parent, CJString("2.5")), 10, 60);
    EXPECT_EQ(first->GetTitleAsInt(), 12);
    EXPECT_EQ(second->GetTitleAsFloat(), 2.5f);
    second->SetTitleFromInt(-7);
    EXPECT_EQ(second->GetTitleAsInt(), -7);

    ASSERT_TRUE(second->GetEdit()->HasFocus());
    Type(kKeyTab);
    EXPECT_TRUE(first->HasFocus()) << "a spin is a tab stop";
    EXPECT_TRUE(first->GetEdit()->HasFocus()) << "and hands the focus to its edit";
    EXPECT_FALSE(second->GetEdit()->HasFocus());
    Take();
    Type('4');
    EXPECT_EQ(first->GetTitleAsInt(), 4) << "typing reaches the spin focused by Tab";
    Type(kKeyTab);
    EXPECT_TRUE(second->GetEdit()->HasFocus()) << "its arrows are no stops of their own";
}

} // namespace
