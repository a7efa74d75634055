#include "objects/CIntProperty.h"

#include "TestClasses.h"
#include "objects/CNetMessageStream.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

struct ScalarCase {
    const char* label;
    const char* property;
    const char* text;
    const char* expected;
};

class ScalarRoundTrip : public testing::TestWithParam<ScalarCase> {
protected:
    void SetUp() override { RegisterScalarClasses(); }
};

// Every kind through text, the object stream and the bit stream; the derived
// class reads through the cloned properties.
TEST_P(ScalarRoundTrip, SurvivesEveryForm)
{
    const ScalarCase& c = GetParam();
    CScalarDerived source;
    SetText(source, c.property, c.text);
    ASSERT_EQ(TextOf(source, c.property), c.expected);

    std::unique_ptr<CObject> fromText(ReadFromText(WriteToText(&source, IdMode::WithoutIds), IdMode::WithoutIds));
    ASSERT_NE(fromText, nullptr);
    EXPECT_EQ(TextOf(*fromText, c.property), c.expected);
    EXPECT_TRUE(fromText->IsEqualTo(&source));

    CScalarDerived fromBinary;
    ASSERT_TRUE(ReadFromBinary(&fromBinary, WriteToBinary(&source, IdMode::WithoutIds), IdMode::WithoutIds));
    EXPECT_EQ(TextOf(fromBinary, c.property), c.expected);
    EXPECT_TRUE(fromBinary.IsEqualTo(&source));

    CNetMessageStream packed;
    source.WritePacked(packed, nullptr);
    CNetMessageStream reader(packed.GetData(), packed.GetLength());
    CScalarDerived fromPacked;
    fromPacked.ReadPacked(reader);
    EXPECT_EQ(TextOf(fromPacked, c.property), c.expected);
    EXPECT_TRUE(fromPacked.IsEqualTo(&source));
}

const ScalarCase kScalarCases[] = {
    {"IntNegative", "Count", "-17", "-17"},
    {"IntMinimum", "Count", "-2147483648", "-2147483648"},
    {"IntSaturates", "Count", "99999999999", "2147483647"},
    {"IntLeadingDigits", "Count", "12abc", "12"},
    {"IntNotANumber", "Count", "abc", "0"},
    {"RangedAbove", "Ranged", "15", "10"},
    {"RangedBelow", "Ranged", "-3", "0"},
    {"RangedNotANumberClamps", "Ranged", "x", "0"},
    {"Long", "Long", "-5", "-5"},
    {"UintMaximum", "Uint", "4294967295", "4294967295"},
    {"UintMinusOneWraps", "Uint", "-1", "4294967295"},
    {"UintPastThirtyTwoBits", "Uint", "4294967296", "4294967295"},
    {"UintWithUnitsStopsBelowAllOnes", "Distance", "4294967295", "4294967294"},
    {"SpecialValue", "Lives", "0", "Unlimited"},
    {"SpecialName", "Lives", "unlimited", "Unlimited"},
    {"SpecialRangeAbove", "Lives", "11", "10"},
    {"BoolFromNonZero", "Enabled", "7", "1"},
    {"BoolTrueWordReadsFalse", "Enabled", "true", "0"},
    {"BitCleared", "Visible", "0", "0"},
    {"BitSetsWholeMask", "Layer", "1", "1"},
    {"FloatTwelveDigits", "Speed", "0.1", "0.10000000149"},
    {"FloatThreeDigitExponent", "Speed", "1e+020", "1.00000002004e+20"},
    {"FloatLargest", "Speed", "3.40282346639e+38", "3.40282346639e+38"},
    // An infinity would write "inf", which reads as 0.
    {"FloatPastTheRangeSaturates", "Speed", "1e39", "3.40282346639e+38"},
    {"FloatPastTheRangeBelowSaturates", "Speed", "-1e39", "-3.40282346639e+38"},
    {"FloatInfinityDoesNotRead", "Speed", "inf", "0"},
    {"FloatClampedAbove", "Ratio", "1.5", "1"},
    {"FloatClampedBelow", "Ratio", "-2", "0"},
    {"FloatSpecialName", "Ratio", "Never", "Never"},
    {"FloatSpecialValue", "Ratio", "-1", "Never"},
    {"ListByFileName", "Kind", "Running", "Folder/Running"},
    {"CodeTable", "Mode", "Required", "Required"},
};

INSTANTIATE_TEST_SUITE_P(Kinds, ScalarRoundTrip, testing::ValuesIn(kScalarCases),
                         [](const testing::TestParamInfo<ScalarCase>& caseInfo) {
                             return std::string(caseInfo.param.label);
                         });

TEST(IntProperty, PacksRangedValuesInFewBitsAndOthersAsAlignedWords)
{
    RegisterScalarClasses();
    CScalarHolder holder;
    CClassInfo* info = holder.GetClassInfo();
    const auto packedLength = [&](const char* name) {
        CNetMessageStream stream;
        stream.WriteBool(true); // misaligns: whole words start on the next byte
        info->FindProperty(name)->WritePacked(&holder, stream, nullptr);
        return stream.GetLength();
    };
    EXPECT_EQ(packedLength("Ranged"), 1u);   // 1 + 4 bits
    EXPECT_EQ(packedLength("Count"), 5u);    // no range
    EXPECT_EQ(packedLength("Lives"), 5u);    // special values
    EXPECT_EQ(packedLength("Distance"), 5u); // maximum 0xFFFFFFFE
}

TEST(IntProperty, FormulaTextIsNotClampedAndGoesThroughTheSetter)
{
    RegisterScalarClasses();
    CScalarHolder holder;
    auto* ranged = static_cast<CIntProperty*>(holder.GetClassInfo()->FindProperty("Ranged"));
    ranged->SetValueFromFormulaText(&holder, CJString("25"));
    EXPECT_EQ(holder.m_Ranged, 25);
    auto* doubled = static_cast<CIntProperty*>(holder.GetClassInfo()->FindProperty("Doubled"));
    doubled->SetValueFromFormulaText(&holder, CJString("4"));
    EXPECT_EQ(holder.m_Doubled, 8);

    // A zero-based count shown from 1.
    static const CAddFormula<unsigned int> kFromOne(1);
    auto* lives = static_cast<CUintProperty*>(holder.GetClassInfo()->FindProperty("Lives"));
    lives->SetFormula(&kFromOne);
    holder.m_Lives = 0;
    EXPECT_EQ(lives->GetDisplayValue(&holder), 1u);
    lives->SetValueFromFormulaText(&holder, CJString("1"));
    EXPECT_EQ(holder.m_Lives, 0u);
    lives->SetFormula(nullptr);
}

TEST(IntProperty, TextGoesThroughTheSetterBinaryReadsDoNot)
{
    RegisterScalarClasses();
    CScalarHolder source;
    SetText(source, "Doubled", "21");
    EXPECT_EQ(source.m_Doubled, 42);
    source.m_Doubled = 5; // odd: no setter call could store it
    CScalarHolder copy;
    ASSERT_TRUE(ReadFromBinary(&copy, WriteToBinary(&source, IdMode::WithoutIds), IdMode::WithoutIds));
    EXPECT_EQ(copy.m_Doubled, 5);
}

} // namespace
