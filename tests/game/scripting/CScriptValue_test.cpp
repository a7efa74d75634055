#include "game/scripting/CScriptValue.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>

namespace {

CScriptValue Int(int32_t v)
{
    CScriptValue value;
    value.SetInteger(v);
    return value;
}
CScriptValue Float(float v)
{
    CScriptValue value;
    value.SetFloat(v);
    return value;
}
CScriptValue Text(const char* v)
{
    CScriptValue value;
    value.SetText(v);
    return value;
}

std::string TextOf(const CScriptValue& value)
{
    return value.GetText().GetString();
}

struct OperatorCase {
    const char* name;
    CScriptValue a;
    char op;
    CScriptValue b;
    uint32_t type;
    const char* text;
};

class ValueOperators : public testing::TestWithParam<OperatorCase> {};

TEST_P(ValueOperators, FollowTheMixedTypeRules)
{
    CScriptValue a = GetParam().a;
    a.ApplyOperator(GetParam().b, GetParam().op);
    EXPECT_EQ(a.GetType(), GetParam().type);
    EXPECT_EQ(TextOf(a), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ValueOperators,
    testing::Values(
        OperatorCase{"IntDivInt", Int(7), '/', Int(2), CScriptValue::kInteger, "3"},
        OperatorCase{"IntDivFloat", Int(7), '/', Float(2.0f), CScriptValue::kFloat, "3.5"},
        OperatorCase{"IntModTextZero", Int(7), '%', Text("0"), CScriptValue::kInteger, "7"},
        OperatorCase{"IntDivFresh", Int(7), '/', CScriptValue(), CScriptValue::kInteger, "7"},
        OperatorCase{"IntMinusWholeText", Int(10), '-', Text("4"), CScriptValue::kInteger, "6"},
        OperatorCase{"IntMinusFractionText", Int(10), '-', Text("4.5"), CScriptValue::kFloat, "5.5"},
        // A hair above a whole number counts as whole: the text's leading integer.
        OperatorCase{"IntPlusNearlyWholeText", Int(10), '+', Text("4.00001"), CScriptValue::kInteger, "14"},
        OperatorCase{"IntPlusTextOfLetters", Int(10), '+', Text("abc"), CScriptValue::kInteger, "10"},
        // Whole, and 0 as an integer: no division, no trap.
        OperatorCase{"IntDivTinyText", Int(7), '/', Text("0.00001"), CScriptValue::kInteger, "7"},
        OperatorCase{"IntModTinyText", Int(7), '%', Text("0.00001"), CScriptValue::kInteger, "7"},
        OperatorCase{"FloatPlusLetters", Float(1.5f), '+', Text("abc"), CScriptValue::kFloat, "1.5"},
        OperatorCase{"FloatPlusFresh", Float(1.5f), '+', CScriptValue(), CScriptValue::kFloat, "1.5"},
        OperatorCase{"FloatModInt", Float(7.5f), '%', Int(2), CScriptValue::kFloat, "1.5"},
        OperatorCase{"FloatDivZero", Float(7.5f), '/', Float(0.0f), CScriptValue::kFloat, "7.5"},
        OperatorCase{"TextTimesInt", Text("ab"), '*', Int(3), CScriptValue::kText, "ab3"},
        OperatorCase{"TextMinusFloat", Text("x "), '-', Float(2.5f), CScriptValue::kText, "x 2.5"},
        OperatorCase{"TextPlusFresh", Text("ab"), '+', CScriptValue(), CScriptValue::kText, "ab"},
        OperatorCase{"FreshPlusInt", CScriptValue(), '+', Int(3), CScriptValue::kNone, ""},
        OperatorCase{"IntWrapsOnAdd", Int(INT32_MAX), '+', Int(1), CScriptValue::kInteger, "-2147483648"},
        OperatorCase{"IntWrapsOnMultiply", Int(65536), '*', Int(65536), CScriptValue::kInteger, "0"},
        OperatorCase{"SmallestOverMinusOneWraps", Int(INT32_MIN), '/', Int(-1), CScriptValue::kInteger, "-2147483648"},
        OperatorCase{"SmallestModMinusOneIsZero", Int(INT32_MIN), '%', Int(-1), CScriptValue::kInteger, "0"},
        OperatorCase{"RemainderTakesSignOfA", Int(-7), '%', Int(2), CScriptValue::kInteger, "-1"},
        OperatorCase{"DivisionTruncatesTowardZero", Int(-7), '/', Int(2), CScriptValue::kInteger, "-3"}),
    [](const testing::TestParamInfo<OperatorCase>& param) { return std::string(param.param.name); });

TEST(ScriptValue, ConversionsOfEveryType)
{
    EXPECT_EQ(Text("3.5").AsFloat(), 3.5f);
    EXPECT_EQ(Text("3.5abc").AsFloat(), 3.5f);
    EXPECT_EQ(Text("abc").AsFloat(), 0.0f);
    // Only plain decimal syntax is a number.
    EXPECT_EQ(Text("nan").AsFloat(), 0.0f);
    EXPECT_EQ(Text("inf").AsFloat(), 0.0f);
    EXPECT_EQ(Text("0x10").AsFloat(), 0.0f);
    EXPECT_EQ(Text(" -2e3x").AsFloat(), -2000.0f);
    EXPECT_EQ(Text("-1e999999").AsFloat(), -FLT_MAX);
    EXPECT_EQ(Text("12abc").AsInteger(), 12);
    // Saturating, not wrapping through a 64-bit long.
    EXPECT_EQ(Text("3000000000").AsInteger(), INT32_MAX);
    EXPECT_EQ(Float(-2.9f).AsInteger(), -2);
    EXPECT_EQ(Float(1e20f).AsInteger(), INT32_MIN);
    EXPECT_EQ(Float(std::nanf("")).AsInteger(), INT32_MIN);
    EXPECT_FALSE(Text("0").AsBoolean());
    EXPECT_FALSE(Text("").AsBoolean());
    EXPECT_FALSE(Text("true").AsBoolean());
    EXPECT_TRUE(Text("2.5").AsBoolean());
    EXPECT_FALSE(Float(-0.0f).AsBoolean());
    EXPECT_TRUE(Float(std::nanf("")).AsBoolean());
    CScriptValue fresh;
    EXPECT_EQ(fresh.AsInteger(), 0);
    EXPECT_EQ(fresh.AsFloat(), 0.0f);
    EXPECT_FALSE(fresh.AsBoolean());
    EXPECT_EQ(TextOf(fresh), "");
}

TEST(ScriptValue, TextFormsAndTheKeptNumber)
{
    CScriptValue value;
    value.SetBoolean(true);
    EXPECT_EQ(TextOf(value), "1");
    value.SetFloat(1234567.0f);
    EXPECT_EQ(TextOf(value), "1.23457e+06");
    value.SetInteger(42);
    value.SetText("word");
    EXPECT_EQ(value.GetType(), CScriptValue::kText);
    EXPECT_EQ(TextOf(value), "word");
    // A copy of a number not yet formatted formats on its own.
    value.SetInteger(-5);
    CScriptValue copy;
    copy = value;
    EXPECT_EQ(TextOf(copy), "-5");
    EXPECT_EQ(TextOf(value), "-5");
    value.SetFromText(CJString("17"), CScriptValue::kInteger);
    EXPECT_EQ(value.AsInteger(), 17);
    value.SetFromText(CJString("2.25"), CScriptValue::kFloat);
    EXPECT_EQ(value.AsFloat(), 2.25f);
}

TEST(ScriptValue, CompareByTheStrongestType)
{
    EXPECT_EQ(Int(2).Compare(Float(2.0f), TextCase::Ignored), 0);
    EXPECT_EQ(Text("apple").Compare(Text("Banana"), TextCase::Ignored), -1);
    EXPECT_EQ(Text("apple").Compare(Text("Banana"), TextCase::Counted), 1);
    EXPECT_EQ(Text("").Compare(Text("a"), TextCase::Ignored), -1);
    EXPECT_EQ(Text("Yes").Compare(Text("yes"), TextCase::Ignored), 0);
    // A mixed pair never compares as text: letters read as 0.
    EXPECT_EQ(Int(0).Compare(Text("zebra"), TextCase::Ignored), 0);
    EXPECT_EQ(Int(-1).Compare(Text("zebra"), TextCase::Ignored), -1);
    EXPECT_EQ(Float(2.5f).Compare(Int(2), TextCase::Ignored), 1);
}

TEST(ScriptValue, ExactFloatTextsReadBack)
{
    for (float value : {0.0f, 1.5f, 1234567.0f, 0.1234567f, 3.4028235e38f, 1e-30f, -7.0f, 100000.0f}) {
        bool complete = false;
        EXPECT_EQ(ReadDecimalFloat(FormatFloatExactly(value), &complete), value) << value;
        EXPECT_TRUE(complete);
    }
    // "%g" stays where it already reads back.
    EXPECT_STREQ(FormatFloatExactly(0.5f).GetString(), "0.5");
    EXPECT_STREQ(FormatFloatExactly(1234567.0f).GetString(), "1234567");
}

} // namespace
