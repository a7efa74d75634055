#include "ExpressionSupport.h"

#include "foundation/CRandomGenerator.h"
#include "game/scripting/RegisterGameScriptingClasses.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

struct ResultCase {
    const char* name;
    std::function<CExpression*()> make;
    uint32_t type;
    const char* text;
    const char* description; // null: not checked
};

class ExpressionResults : public testing::TestWithParam<ResultCase> {
protected:
    void SetUp() override { RegisterGameScriptingClasses(); }
};

TEST_P(ExpressionResults, GiveTypedValueAndDescription)
{
    std::unique_ptr<CExpression> expression(GetParam().make());
    CScriptValue out;
    out.SetText("untouched");
    expression->Evaluate(nullptr, out);
    EXPECT_EQ(out.GetType(), GetParam().type);
    EXPECT_STREQ(out.GetText().GetString(), GetParam().text);
    if (GetParam().description) {
        EXPECT_EQ(Describe(expression.get()), GetParam().description);
    }
}

template <typename T>
std::function<CExpression*()> Make(std::function<CExpression*()> a, std::function<CExpression*()> b)
{
    return [a, b] { return Binary<T>(a ? a() : nullptr, b ? b() : nullptr); };
}
std::function<CExpression*()> I(float v)
{
    return [v] { return Integer(v); };
}
std::function<CExpression*()> N(float v)
{
    return [v] { return Number(v); };
}
std::function<CExpression*()> S(const char* v)
{
    return [v] { return Text(v); };
}

CExpression* Values(CPropertyArray<CExpression*>& array, std::initializer_list<CExpression*> values, CExpression* owner)
{
    const CProperty* property = owner->GetClassInfo()->FindProperty("Values List");
    auto* arrayProperty = static_cast<const CPropertyArrayProperty*>(property);
    arrayProperty->ArrayProperty_SetCount(owner, uint32_t(values.size()));
    uint32_t i = 0;
    for (CExpression* value : values) {
        delete array[i];
        array[i++] = value;
    }
    return owner;
}

CExpression* MaxOf(std::initializer_list<CExpression*> values)
{
    auto* max = new CExpressionMax();
    return Values(max->m_pValues, values, max);
}
CExpression* MinOf(std::initializer_list<CExpression*> values)
{
    auto* min = new CExpressionMin();
    return Values(min->m_pValues, values, min);
}

CExpression* Scale(float input, bool clamp, float minOut = 0.0f, float maxOut = 100.0f, float minIn = 0.0f,
                   float maxIn = 100.0f)
{
    auto* scale = new CExpressionScale();
    scale->m_Input = Number(input);
    scale->m_Clamp = clamp;
    for (auto [slot, value] : {std::pair{&scale->m_MinimumOutput, minOut}, std::pair{&scale->m_MaximumOutput, maxOut},
                               std::pair{&scale->m_MinimumInput, minIn}, std::pair{&scale->m_MaximumInput, maxIn}}) {
        delete *slot;
        *slot = Number(value);
    }
    return scale;
}

CExpression* Angle(float input, float offset)
{
    auto* angle = new CExpressionAsOffsetAngle0to360();
    angle->m_InputAngle = Number(input);
    angle->m_Offset = offset;
    return angle;
}

CExpression* Roman(CExpression* value)
{
    auto* roman = new CExpressionAsRomanNumerals();
    roman->m_ValueToConvert = value;
    return roman;
}

CExpression* IfThen(CExpression* condition, CExpression* yes, CExpression* no)
{
    auto* choice = new CExpressionIfThen();
    choice->m_Condition = condition;
    choice->m_IfTrue = yes;
    choice->m_IfFalse = no;
    return choice;
}

CExpression* Between(CExpression* value, CExpression* low, CExpression* high)
{
    auto* between = new CExpressionIfBetweenInclusive();
    between->m_Value = value;
    between->m_Minimum = low;
    between->m_Maximum = high;
    return between;
}

const uint32_t kI = CScriptValue::kInteger;
const uint32_t kF = CScriptValue::kFloat;
const uint32_t kT = CScriptValue::kText;

INSTANTIATE_TEST_SUITE_P(
    Operators, ExpressionResults,
    testing::Values(
        ResultCase{"AddIsAlwaysAFloat", Make<CExpressionAdd>(I(2), I(3)), kF, "5", nullptr},
        ResultCase{"SubtractKeepsIntegers", Make<CExpressionSubtract>(I(5), I(3)), kI, "2", nullptr},
        ResultCase{"DivideByZeroKeepsA", Make<CExpressionDivide>(I(7), I(0)), kI, "7", nullptr},
        ResultCase{"DivideIntegers", Make<CExpressionDivide>(I(7), I(2)), kI, "3", nullptr},
        ResultCase{"DivideNumbersIsFloat", Make<CExpressionDivide>(N(7), N(2)), kF, "3.5", "(7/2)"},
        ResultCase{"ModuloIntegers", Make<CExpressionModulo>(I(7), I(4)), kI, "3", nullptr},
        ResultCase{"MultiplyLabelIsX", Make<CExpressionMultiply>(N(2), N(4)), kF, "8", "(2X4)"},
        ResultCase{"EqualIgnoresCase", Make<CExpressionIfEqualTo>(S("Yes"), S("yes")), kI, "1", "('Yes'=='yes')"},
        ResultCase{"EqualIntegerAndFloat", Make<CExpressionIfEqualTo>(I(1), N(1)), kI, "1", nullptr},
        ResultCase{"NotEqual", Make<CExpressionIfNotEqualTo>(N(1), N(2)), kI, "1", "(1!=2)"},
        ResultCase{"LessThanWithoutBIsFalse", Make<CExpressionIfLessThan>(N(1), nullptr), kI, "0", "(1<)"},
        ResultCase{"LessOrEqual", Make<CExpressionIfLessThanOrEqualTo>(N(2), N(2)), kI, "1", "(2<=2)"},
        ResultCase{"Greater", Make<CExpressionIfGreaterThan>(N(2), N(2)), kI, "0", "(2>2)"},
        ResultCase{"GreaterOrEqual", Make<CExpressionIfGreaterThanOrEqualTo>(N(3), N(2)), kI, "1", "(3>=2)"},
        ResultCase{"AndOfBoth", Make<CExpressionAnd>(N(1), N(0)), kI, "0", "Both 1 and 0"},
        ResultCase{"OrWithMissing", Make<CExpressionOr>(nullptr, N(2)), kI, "1", "Either - or 2"},
        ResultCase{"ConcatenateTexts", Make<CExpressionConcatenate>(S("a"), I(12)), kT, "a12", nullptr},
        ResultCase{"NotWithoutOperandIsTrue", [] { return new CExpressionNot(); }, kI, "1", nullptr},
        ResultCase{"BetweenMissingBoundUntouched", [] { return Between(Number(5), Number(1), nullptr); }, kT,
                   "untouched", nullptr},
        ResultCase{"BetweenInclusive", [] { return Between(Number(5), Number(1), Number(5)); }, kI, "1", nullptr},
        ResultCase{"IfThenTrueBranch", [] { return IfThen(Number(1), Text("yes"), Text("no")); }, kT, "yes", nullptr},
        ResultCase{"IfThenMissingBranchKeepsCondition", [] { return IfThen(Number(0), Text("yes"), nullptr); }, kF, "0",
                   nullptr},
        ResultCase{"IfThenWithoutCondition", [] { return IfThen(nullptr, Text("yes"), Text("no")); }, kT, "untouched",
                   nullptr},
        ResultCase{"MaxKeepsEarlierOnTie",
                   [] {
                       return MaxOf({Integer(3), Number(7.5f), Number(7.5f)});
                   },
                   kF, "7.5", nullptr},
        ResultCase{"MaxOfTextsIgnoresCase",
                   [] {
                       return MaxOf({Text("b"), Text("B")});
                   },
                   kT, "b", nullptr},
        ResultCase{"MinKeepsItsType",
                   [] {
                       return MinOf({Number(4), Integer(3), nullptr});
                   },
                   kI, "3", nullptr},
        ResultCase{"MaxOfNothingUntouched", [] { return MaxOf({}); }, kT, "untouched", nullptr},
        ResultCase{"ScaleMiddle", [] { return Scale(50, true); }, kF, "50", nullptr},
        ResultCase{"ScaleClamped", [] { return Scale(150, true); }, kF, "100", nullptr},
        ResultCase{"ScaleUnclamped", [] { return Scale(150, false); }, kF, "150", nullptr},
        ResultCase{"ScaleEqualOutputsIsZero", [] { return Scale(50, true, 7, 7); }, kF, "0", nullptr},
        ResultCase{"ScaleEqualInputsIsMinimumOutput", [] { return Scale(50, false, 10, 20, 5, 5); }, kF, "10", nullptr},
        ResultCase{"AngleOffset", [] { return Angle(10, 30); }, kF, "340", nullptr},
        ResultCase{"AngleClampedTo360", [] { return Angle(400, 0); }, kF, "360", nullptr},
        ResultCase{"AngleBelowZeroClamped", [] { return Angle(-20, 0); }, kF, "0", nullptr},
        ResultCase{"GetIntegerTruncates", [] { return Integer(-2.7f); }, kI, "-2", nullptr},
        ResultCase{"RomanWithoutValue", [] { return Roman(nullptr); }, kT, "?", nullptr},
        ResultCase{"RomanOfText", [] { return Roman(Text("14")); }, kT, "XIV", nullptr}),
    [](const testing::TestParamInfo<ResultCase>& param) { return std::string(param.param.name); });

// Each comparison against 3 with A at 2, 3 and 4, as integers and as
// numbers: the equal operands are the boundary a flipped test misses.
TEST(Comparisons, HoldOnEachSideOfEqualOperands)
{
    RegisterGameScriptingClasses();
    struct Row {
        const char* name;
        std::function<CExpression*(CExpression*, CExpression*)> make;
        const char* results; // for A below, equal to, above B
    };
    const Row rows[] = {
        {"<", Binary<CExpressionIfLessThan>, "100"},
        {"<=", Binary<CExpressionIfLessThanOrEqualTo>, "110"},
        {">", Binary<CExpressionIfGreaterThan>, "001"},
        {">=", Binary<CExpressionIfGreaterThanOrEqualTo>, "011"},
        {"==", Binary<CExpressionIfEqualTo>, "010"},
        {"!=", Binary<CExpressionIfNotEqualTo>, "101"},
    };
    for (const Row& row : rows) {
        for (auto* operand : {&Integer, &Number}) {
            std::string results;
            for (float a : {2.0f, 3.0f, 4.0f}) {
                std::unique_ptr<CExpression> expression(row.make(operand(a), operand(3.0f)));
                CScriptValue out;
                expression->Evaluate(nullptr, out);
                EXPECT_EQ(out.GetType(), CScriptValue::kInteger) << row.name;
                results += std::to_string(out.AsInteger());
            }
            EXPECT_EQ(results, row.results) << row.name << (operand == &Integer ? " integers" : " numbers");
        }
    }

    // Between takes both bounds in.
    std::string between;
    for (float value : {0.0f, 1.0f, 3.0f, 5.0f, 6.0f}) {
        std::unique_ptr<CExpression> expression(Between(Integer(value), Integer(1), Integer(5)));
        CScriptValue out;
        expression->Evaluate(nullptr, out);
        between += std::to_string(out.AsInteger());
    }
    EXPECT_EQ(between, "01110");
}

TEST(RomanNumerals, EveryPlaceAndTheBounds)
{
    const std::pair<int32_t, const char*> cases[] = {
        {4, "IV"},
        {9, "IX"},
        {40, "XL"},
        {1994, "MCMXCIV"},
        {3999, "MMMCMXCIX"},
        {4000, "M(V)"},
        {5000, "(V)"},
        {8000, "(V)MMM"},
        {9999, "(V)MMMMCMXCIX"},
        {10000, "10000"},
        {-12, "-XII"},
        {0, "0"},
        {-9999, "-(V)MMMMCMXCIX"},
        {-10000, "-10000"},
        {INT32_MIN, "-2147483648"},
    };
    for (const auto& [n, text] : cases)
        EXPECT_STREQ(FormatRomanNumerals(n).GetString(), text) << n;
}

TEST(RandomExpressions, StayInTheirSpans)
{
    RegisterGameScriptingClasses();
    GameRandom().Seed(7);
    CExpressionRandomInteger fixed;
    fixed.m_Minimum = 5;
    fixed.m_Maximum = 5;
    CExpressionRandomInteger reversed;
    reversed.m_Minimum = 10;
    reversed.m_Maximum = 8; // the span 8 - 10 + 1 wraps to 2^32 - 1
    CExpressionRandomFloat real;
    real.m_Minimum = -1.0f;
    real.m_Maximum = 1.0f;
    bool wrapped = false;
    for (int i = 0; i < 200; ++i) {
        CScriptValue value;
        fixed.Evaluate(nullptr, value);
        EXPECT_EQ(value.AsInteger(), 5);
        reversed.Evaluate(nullptr, value);
        wrapped = wrapped || value.AsInteger() < 8 || value.AsInteger() > 10;
        real.Evaluate(nullptr, value);
        EXPECT_EQ(value.GetType(), CScriptValue::kFloat);
        EXPECT_GE(value.AsFloat(), -1.0f);
        EXPECT_LT(value.AsFloat(), 1.0f);
    }
    EXPECT_TRUE(wrapped);
    CJString description;
    fixed.GetDescription(description);
    EXPECT_STREQ(description.GetString(), "Random 5 to 5 inclusive");
}

} // namespace
