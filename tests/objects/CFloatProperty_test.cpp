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
    } cases[] = {{0.5f, "0.5"},
                 {0.1f, "0.10000000149"},
                 {1.0f / 3.0f, "0.333333343267"},
                 {-0.0f, "-0"},
                 {1e-7f, "1.00000001169e-07"}};
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
    const struct {
        const char* text;
        float value;
    } numbers[] = {{"  .5e1x", 5.0f}, {"2.e", 2.0f},  {"1e-5", 1e-5f},       {"-2.5E-3", -2.5e-3f},
                   {"3e+2", 300.0f},  {"7E-0", 7.0f}, {"-1.25e-1", -0.125f}, {"4e-", 4.0f}};
    for (const auto& n : numbers) {
        SetText(holder, "Speed", n.text);
        EXPECT_EQ(holder.m_Speed, n.value) << n.text;
    }
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
    const CMultipleFormula<float> percent(100.0f);
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
