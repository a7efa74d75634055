#include "objects/CFloatProperty.h"

#include "TestClasses.h"

#include <gtest/gtest.h>

namespace {

TEST(FloatProperty, PrintsTheStoredFloatToTwelveDigits)
{
    RegisterScalarClasses();
    CScalarHolder holder;
    const struct {
        float value;
        const char* text;
    } cases[] = {{0.5f, "0.5"}, {0.1f, "0.10000000149"}, {1.0f / 3.0f, "0.333333343267"}, {-0.0f, "-0"}, {1e-7f, "1.00000001169e-07"}};
    for (const auto& c : cases) {
        holder.m_Speed = c.value;
        EXPECT_EQ(TextOf(holder, "Speed"), c.text);
    }
}

TEST(FloatProperty, OnlyDecimalNumbersRead)
{
    RegisterScalarClasses();
    CScalarHolder holder;
    for (const char* text : {"nan", "0x10", "-inf", "", "e5", "."}) {
        holder.m_Speed = 9.0f;
        SetText(holder, "Speed", text);
        EXPECT_EQ(holder.m_Speed, 0.0f) << text;
    }
    SetText(holder, "Speed", "  .5e1x");
    EXPECT_EQ(holder.m_Speed, 5.0f);
    SetText(holder, "Speed", "2.e");
    EXPECT_EQ(holder.m_Speed, 2.0f);
}

TEST(FloatProperty, UnboundedPropertiesIgnoreSpecialNames)
{
    CMemberProperty<CScalarHolder, CFloatProperty> free(&CScalarHolder::m_Speed, "Free", 0.0f);
    free.AddSpecialValueName(-1.0f, "Never");
    RegisterScalarClasses();
    CScalarHolder holder;
    free.SetValueFromText(&holder, CJString("Never"), nullptr);
    EXPECT_EQ(holder.m_Speed, 0.0f);
    free.SetValueFromText(&holder, CJString("1e9"), nullptr);
    EXPECT_EQ(holder.m_Speed, 1e9f);
    holder.m_Speed = -1.0f;
    CJString text;
    free.GetValueText(&holder, text);
    EXPECT_STREQ(text.GetString(), "Never");
}

TEST(Formula, ShowsValuesInTheEditorsUnit)
{
    const CReciprocalFormula<float> reciprocal;
    EXPECT_EQ(reciprocal.ToDisplay(0.25f), 4.0f);
    EXPECT_EQ(reciprocal.FromDisplay(2.0f), 0.5f);
    const CSquareRootFormula<float> root;
    EXPECT_EQ(root.ToDisplay(16.0f), 4.0f);
    EXPECT_EQ(root.FromDisplay(3.0f), 9.0f);
    const CMultipleFormula<float> percent(100.0f);
    EXPECT_EQ(percent.ToDisplay(0.5f), 50.0f);

    RegisterScalarClasses();
    CScalarHolder holder;
    auto* ratio = static_cast<CFloatProperty*>(holder.GetClassInfo()->FindProperty("Ratio"));
    ratio->SetFormula(&percent);
    ratio->SetValueFromFormulaText(&holder, CJString("150")); // not clamped on this road
    EXPECT_EQ(holder.m_Ratio, 1.5f);
    EXPECT_EQ(ratio->GetDisplayValue(&holder), 150.0f);
    ratio->SetFormula(nullptr);
}

} // namespace
