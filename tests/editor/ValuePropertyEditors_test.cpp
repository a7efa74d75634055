// The value rows inside a real object editor: spins store through the
// property and its setter under named checkpoints, named values act as one
// radio group, flags rebuild when a setter refuses them, text rows edit one
// or several lines, and an embedded member gets rows of its own.
#include "EditorTestSupport.h"

#include "editor/ValuePropertyEditors.h"
#include "game/scripting/CSprite.h"
#include "objects/CClassInfo.h"
#include "objects/CObjectProperty.h"
#include "shell/CClipboard.h"
#include "support/RebuiltWindow.h"
#include "support/objects/ObjectRoundTrip.h"
#include "ui/CJCheckBox.h"
#include "ui/CJEdit.h"
#include "ui/CJSpin.h"

#include <string>
#include <vector>

class CRowMargins : public CObject {
    OMBRISALT_REFLECTED(CRowMargins, CObject)
public:
    CRowMargins() { InitDeclaredProperties(); }
    ~CRowMargins() override { DestroyDeclaredProperties(); }
    int32_t m_Left = 0;
    float m_Scale = 1.0f;
    int32_t m_Secret = 0; // level 0: no row
};
OMBRISALT_IMPLEMENT_CLASS(CRowMargins, 1.0)
const CTestOnlyClass kRowMarginsIsTestOnly("CRowMargins");
void CRowMargins::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CRowMargins::m_Left, "Left", 0);
    d.Add(&CRowMargins::m_Scale, "Scale", 1.0f);
    d.Add(&CRowMargins::m_Secret, "Secret", 0).Level(kLevelHidden);
}

class CRowSample : public CObject {
    OMBRISALT_REFLECTED(CRowSample, CObject)
public:
    CRowSample() { InitDeclaredProperties(); }
    ~CRowSample() override { DestroyDeclaredProperties(); }
    void OnPropertyEdited(const CPropertyEditRecord& record) override
    {
        edited.push_back(record.property ? record.property->GetName() : "");
    }
    void SetDoubled(int32_t value) { m_Doubled = value * 2; }
    void SetLocked(bool) {} // refuses every change

    int32_t m_Doubled = 0;
    int32_t m_Big = 0;
    uint32_t m_Lives = 0;  // [1, 10], 0 is "Unlimited"
    uint32_t m_Budget = 0; // no range, 0 is "none": the minimum is a named value
    float m_Delay = 0.0f;  // spin step 0
    bool m_Locked = false;
    bool m_Matte = false; // "Glazed" is shown clear
    uint32_t m_Flags = 0;
    CJString m_Name;
    CJString m_Notes;
    CRowMargins m_Margins;
    float m_Rate = 0.25f;   // shown as its reciprocal, [0.25, 4]
    uint32_t m_Index = 0;   // shown counting from 1
    std::vector<std::string> edited;
};
OMBRISALT_IMPLEMENT_CLASS(CRowSample, 1.0)
const CTestOnlyClass kRowSampleIsTestOnly("CRowSample");
void CRowSample::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CRowSample::m_Doubled, "Doubled", 0).Setter<&CRowSample::SetDoubled>();
    d.Add(&CRowSample::m_Big, "Big", 0);
    d.Add(&CRowSample::m_Lives, "Lives", 0u).Units("lives").Range(1, 10).SpecialValue(0, "Unlimited");
    d.Add(&CRowSample::m_Budget, "Budget", 0u).SpecialValue(0, "none").SpecialValue(1, "tiny");
    d.Add(&CRowSample::m_Delay, "Delay", 0.0f).Units("Seconds").SpinStep(0);
    d.Add(&CRowSample::m_Locked, "Locked", false).Setter<&CRowSample::SetLocked>();
    d.AddBits(&CRowSample::m_Flags, "Layered", 0x6, BitDefault::Clear);
    d.AddBits(&CRowSample::m_Flags, "Glazed", 0x20, BitDefault::Clear).Get().SetShown([](const CObject& o, bool held) {
        return held && !static_cast<const CRowSample&>(o).m_Matte;
    });
    d.Add(&CRowSample::m_Name, "Name", "");
    d.Add(&CRowSample::m_Notes, "Notes", "").EditLines(3);
    d.AddEmbedded(&CRowSample::m_Margins, "Margins");
    static const CReciprocalFormula<float> reciprocal;
    static const CAddFormula<uint32_t> countingFromOne(1);
    d.Add(&CRowSample::m_Rate, "Rate", 0.25f).Range(0.25f, 4.0f).Formula(&reciprocal);
    d.Add(&CRowSample::m_Index, "Index", 0u).Formula(&countingFromOne);
}

namespace {

class ValueRows : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        if (!IsSkipped())
            Open(&m_Rows);
    }
    template <typename Row>
    Row* RowOf(CObject* object, const char* name)
    {
        const CProperty* property = object->GetClassInfo()->FindProperty(name);
        return property ? dynamic_cast<Row*>(FindPropertyEditor(object, property, 0)) : nullptr;
    }
    // The rows of the editor open now (a rebuild makes new ones).
    CNumberSpinPropertyEditor<CIntProperty>* IntRow(const char* name)
    {
        return RowOf<CNumberSpinPropertyEditor<CIntProperty>>(&m_Rows, name);
    }
    CNumberSpinPropertyEditor<CUintProperty>* UintRow(const char* name)
    {
        return RowOf<CNumberSpinPropertyEditor<CUintProperty>>(&m_Rows, name);
    }
    static std::string Title(const CJWindow* window) { return window->GetTitle().GetString(); }
    static void Type(CJSpin* spin, const char* text) { spin->GetEdit()->SetTextAndNotify(CJString(text)); }

    CRowSample m_Rows;
    CRecordingCheckpoints m_Checkpoints{&m_Rows};
};

TEST_F(ValueRows, ASpinStoresThroughTheSetterUnderACheckpointNamedForThePropertyAndStepsWholeNumbersInFull)
{
    auto* doubled = IntRow("Doubled");
    ASSERT_NE(doubled, nullptr);
    Type(doubled->GetSpin(), "7");
    EXPECT_EQ(m_Rows.m_Doubled, 14) << "the setter takes the entered value";
    EXPECT_EQ(m_Checkpoints.LastName(), "NumberSpinControlCheckpointDoubled");
    EXPECT_EQ(m_Rows.edited, std::vector<std::string>{"Doubled"});
    EXPECT_EQ(doubled->GetSpin()->GetStep(), 1.0f);

    // Past six digits the spin's own float text would read back as "1".
    m_Rows.m_Big = 1234567;
    auto* big = IntRow("Big");
    big->Refresh();
    EXPECT_EQ(Title(big->GetSpin()), "1234567");
    big->GetSpin()->GetUpButton()->Click();
    EXPECT_EQ(m_Rows.m_Big, 1234568);
    EXPECT_EQ(Title(big->GetSpin()), "1234568");
}

TEST_F(ValueRows, AFloatDeclaredWithStepZeroSpinsByHalfAndShowsItsUnits)
{
    auto* delay = RowOf<CFloatSpinPropertyEditor>(&m_Rows, "Delay");
    ASSERT_NE(delay, nullptr);
    EXPECT_EQ(delay->GetSpin()->GetStep(), 0.5f);
    delay->GetSpin()->GetUpButton()->Click();
    delay->GetSpin()->GetUpButton()->Click();
    delay->GetSpin()->GetDownButton()->Click();
    EXPECT_EQ(m_Rows.m_Delay, 0.5f);
    ASSERT_NE(delay->GetUnitsStatic(), nullptr);
    EXPECT_EQ(Title(delay->GetUnitsStatic()), "Seconds");
    EXPECT_EQ(delay->GetOtherValueBox(), nullptr) << "no named values, no boxes";
}

TEST_F(ValueRows, FormulasShowTheDisplayedValueAndKeepTheSpinLimitsInOrder)
{
    auto* rate = RowOf<CFloatSpinPropertyEditor>(&m_Rows, "Rate");
    ASSERT_NE(rate, nullptr);
    EXPECT_EQ(Title(rate->GetSpin()), "4");
    EXPECT_EQ(rate->GetSpin()->GetMinimum(), 0.25f) << "the reciprocal turns the bounds round";
    EXPECT_EQ(rate->GetSpin()->GetMaximum(), 4.0f);
    Type(rate->GetSpin(), "2");
    EXPECT_EQ(m_Rows.m_Rate, 0.5f);

    auto* index = UintRow("Index");
    EXPECT_EQ(Title(index->GetSpin()), "1");
    Type(index->GetSpin(), "3");
    EXPECT_EQ(m_Rows.m_Index, 2u);
}

TEST_F(ValueRows, ASpriteTurnIsShownAndTypedInDegreesAndItsFileKeepsRadians)
{
    CSprite sprite;
    sprite.SetAngle(1.57079637f);
    Open(&sprite);
    auto* angle = RowOf<CFloatSpinPropertyEditor>(&sprite, "Angle");
    ASSERT_NE(angle, nullptr);
    EXPECT_EQ(Title(angle->GetSpin()), "90");
    ASSERT_NE(angle->GetUnitsStatic(), nullptr);
    EXPECT_EQ(Title(angle->GetUnitsStatic()), "Degrees");
    EXPECT_STREQ(sprite.GetClassInfo()->FindProperty("Angle")->GetUnits().GetString(), "Rad");

    Type(angle->GetSpin(), "45");
    EXPECT_NEAR(sprite.GetAngle(), 0.785398163f, 1e-6f);
    const std::string text = ObjectToText(&sprite, IdMode::WithoutIds);
    EXPECT_NE(text.find("Angle=0.78539"), std::string::npos) << text;
    OpenObjectEditor(nullptr, nullptr);
}

TEST_F(ValueRows, NamedValuesAndTheOtherValueActAsOneRadioGroup)
{
    auto* lives = UintRow("Lives");
    ASSERT_NE(lives, nullptr);
    ASSERT_EQ(lives->GetSpecialValueBoxes().size(), 1u);
    CJCheckBox* unlimited = lives->GetSpecialValueBoxes()[0];
    CJCheckBox* other = lives->GetOtherValueBox();
    EXPECT_EQ(Title(unlimited), "Unlimited");
    EXPECT_EQ(Title(other), "lives") << "the other-value box carries the units";
    EXPECT_TRUE(unlimited->IsChecked());
    EXPECT_FALSE(other->IsChecked());
    EXPECT_EQ(Title(lives->GetSpin()), "");

    // The default is the named value, so the other value starts at the minimum.
    other->Click();
    EXPECT_EQ(m_Rows.m_Lives, 1u);
    EXPECT_EQ(Title(lives->GetSpin()), "1");
    EXPECT_TRUE(other->IsChecked());
    EXPECT_FALSE(unlimited->IsChecked());
    EXPECT_EQ(m_Checkpoints.LastName(), "NumberSpinControlCheckpointLives");
    EXPECT_EQ(m_Rows.edited.back(), "Lives") << "the object hears of the other value too";

    unlimited->Click();
    EXPECT_EQ(m_Rows.m_Lives, 0u);
    EXPECT_EQ(Title(lives->GetSpin()), "");
    EXPECT_FALSE(other->IsChecked());

    Type(lives->GetSpin(), "5");
    EXPECT_EQ(m_Rows.m_Lives, 5u);
    EXPECT_TRUE(other->IsChecked()) << "typing a number picks the other value";
    EXPECT_FALSE(unlimited->IsChecked());

    // Without a range the minimum 0 and the next value are named: the other
    // value steps past both instead of leaving a named value under it.
    auto* budget = UintRow("Budget");
    budget->GetOtherValueBox()->Click();
    EXPECT_EQ(m_Rows.m_Budget, 2u);
    EXPECT_TRUE(budget->GetOtherValueBox()->IsChecked());
}

TEST_F(ValueRows, FlagsStoreWithoutACheckpointAndARefusingSetterRebuildsToShowTheMember)
{
    m_Rows.m_Flags = 0x10;
    auto* layered = RowOf<CCheckBoxPropertyEditor<CBitProperty>>(&m_Rows, "Layered");
    ASSERT_NE(layered, nullptr);
    const uint32_t before = m_Checkpoints.Count();
    layered->GetCheckBox()->Click();
    EXPECT_EQ(m_Rows.m_Flags, 0x16u) << "the mask bits only";
    layered->GetCheckBox()->Click();
    EXPECT_EQ(m_Rows.m_Flags, 0x10u);
    EXPECT_EQ(m_Checkpoints.Count(), before);

    auto* locked = RowOf<CCheckBoxPropertyEditor<CBoolProperty>>(&m_Rows, "Locked");
    MarkAsOld(*locked->GetCheckBox());
    locked->GetCheckBox()->Click();
    EXPECT_FALSE(m_Rows.m_Locked);
    Frame();
    auto* rebuilt = RowOf<CCheckBoxPropertyEditor<CBoolProperty>>(&m_Rows, "Locked");
    ASSERT_NE(rebuilt, nullptr);
    EXPECT_FALSE(IsMarkedAsOld(*rebuilt->GetCheckBox())) << "the editor was rebuilt";
    EXPECT_FALSE(rebuilt->GetCheckBox()->IsChecked());
}

TEST_F(ValueRows, AFlagShowsTheValueItsPropertyShows)
{
    m_Rows.m_Flags = 0x20;
    m_Rows.m_Matte = true;
    auto* glazed = RowOf<CCheckBoxPropertyEditor<CBitProperty>>(&m_Rows, "Glazed");
    ASSERT_NE(glazed, nullptr);
    glazed->Refresh();
    EXPECT_FALSE(glazed->GetCheckBox()->IsChecked()) << "held, not shown";
    m_Rows.m_Matte = false;
    glazed->Refresh();
    EXPECT_TRUE(glazed->GetCheckBox()->IsChecked());
}

TEST_F(ValueRows, TextRowsStoreUnderACheckpointAndAMultiLineFieldIsTallerAndTakesEnter)
{
    auto* name = RowOf<CTextPropertyEditor<CJStringProperty>>(&m_Rows, "Name");
    auto* notes = RowOf<CTextPropertyEditor<CJStringProperty>>(&m_Rows, "Notes");
    ASSERT_NE(name, nullptr);
    ASSERT_NE(notes, nullptr);
    name->GetEdit()->SetTextAndNotify(CJString("Harbour"));
    EXPECT_STREQ(m_Rows.m_Name.GetString(), "Harbour");
    EXPECT_EQ(m_Checkpoints.LastName(), "TextPropertyCheckpointName");
    EXPECT_EQ(m_Rows.edited.back(), "Name");

    EXPECT_EQ(name->GetExtraHeight(), 0);
    EXPECT_GT(notes->GetExtraHeight(), name->GetEdit()->GetHeight() * 2);
    EXPECT_TRUE(notes->GetEdit()->IsMultiLine());
    notes->GetEdit()->SetTextAndNotify(CJString("one"));
    notes->GetEdit()->MoveCaret(3, 1);
    notes->GetEdit()->OnKeyDown(kKeyEnter);
    EXPECT_STREQ(m_Rows.m_Notes.GetString(), "one\n");
}

TEST_F(ValueRows, AnEmbeddedMemberGetsARowPerShownPropertyLabelledAfterTheOuterOne)
{
    const CClassInfo* inner = CRowMargins::SGetClassInfo();
    EXPECT_EQ(FindPropertyEditor(&m_Rows.m_Margins, inner->FindProperty("Secret"), 0), nullptr);
    auto* left = RowOf<CNumberSpinPropertyEditor<CIntProperty>>(&m_Rows.m_Margins, "Left");
    ASSERT_NE(left, nullptr);
    ASSERT_NE(left->GetRowWindow(), nullptr);
    EXPECT_EQ(Title(left->GetRowWindow()), "Margins Left:");
    EXPECT_EQ(left->GetCategoryProperty(), m_Rows.GetClassInfo()->FindProperty("Margins"));
    Type(left->GetSpin(), "12");
    EXPECT_EQ(m_Rows.m_Margins.m_Left, 12);
    EXPECT_EQ(m_Rows.edited.back(), "Margins") << "the editor's own object hears of it";
}

TEST_F(ValueRows, ASpinRowTakesTheFocusByAClickInItsBandAndByTabAndItsBandIsHighlighted)
{
    CObjectEditor* editor = GetCurrentObjectEditor();
    editor->MoveTo(0, 0);
    Frame();
    auto* doubled = IntRow("Doubled");
    auto* big = IntRow("Big");
    ASSERT_TRUE(doubled && big);
    CJWindow* doubledLabel = doubled->GetRowWindow();
    CJWindow* bigLabel = big->GetRowWindow();
    CJWindow* pane = doubledLabel->GetParent();
    // The pane leaves its background to what lies beneath: the game redraws
    // the screen every frame.
    const auto band = [&](CJWindow* label) {
        CColor black(0, 0, 0, 255);
        m_ScreenFrame->Fill(black);
        m_Screen->DrawToScreen();
        const CRect& r = label->GetScreenRect();
        return Rgb(*m_ScreenFrame, pane->GetScreenRect().left + 3, (r.top + r.bottom) / 2);
    };

    Click(Centre(*bigLabel));
    Frame();
    EXPECT_EQ(editor->GetFocusedPropertyEditor(), big);
    EXPECT_TRUE(big->GetSpin()->GetEdit()->HasFocus()) << "typing goes to the spin's edit";
    ASSERT_TRUE(pane->HasFocus());
    const uint32_t highlighted = band(bigLabel);
    EXPECT_NE(band(doubledLabel), highlighted) << "only the focused row's band";

    Click(Centre(*doubledLabel));
    Frame();
    EXPECT_EQ(editor->GetFocusedPropertyEditor(), doubled);
    EXPECT_EQ(band(doubledLabel), highlighted);
    TypeKey(kKeyTab);
    Frame();
    EXPECT_EQ(editor->GetFocusedPropertyEditor(), big) << "Tab moves on to the next spin row";
    EXPECT_TRUE(big->GetSpin()->GetEdit()->HasFocus());
    EXPECT_EQ(band(bigLabel), highlighted);
    EXPECT_NE(band(doubledLabel), highlighted);
}

TEST_F(ValueRows, ValueRowsLeaveTheClipboardToTheirControls)
{
    CClipboard::SGetInstance().SetText(CJString("kept"));
    m_Rows.m_Doubled = 4;
    for (CPropertyEditor* row : GetCurrentObjectEditor()->GetPropertyEditors()) {
        EXPECT_FALSE(row->Copy(false)) << row->GetProperty()->GetName();
        EXPECT_FALSE(row->Cut(false));
        EXPECT_FALSE(row->Delete(false));
    }
    CJString text;
    ASSERT_TRUE(CClipboard::SGetInstance().GetText(text));
    EXPECT_STREQ(text.GetString(), "kept");
    EXPECT_EQ(m_Rows.m_Doubled, 4);
}

} // namespace
