#include "game/scripting/CExpressionOperators.h"

#include "foundation/CRandomGenerator.h"
#include "foundation/MathHelpers.h"
#include "game/scripting/ScriptingClassBody.h"
#include "objects/CBoolProperty.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CSlotProperty.h"
#include "objects/CTranslator.h"

namespace {

// Display name, category and operator label of a two-operand class; null
// leaves the registry's own.
void DeclareOperator(CPropertyDeclarer& d, const char* displayName, const char* category, const char* label)
{
    if (displayName)
        d.GetClassInfo().SetDisplayName(displayName);
    if (category)
        d.GetClassInfo().SetCategory(category);
    auto* property = dynamic_cast<CStaticTextProperty*>(d.GetClassInfo().FindProperty("Operator"));
    if (property)
        property->SetText(label);
}

} // namespace

OMBRISALT_SCRIPTING_ABSTRACT_CLASS(CExpressionBinaryOperator, 1.0)

void CExpressionBinaryOperator::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add<CExpressionProperty>(&CExpressionBinaryOperator::m_OperandA, "Operand A", nullptr).DefaultNumber(0.0f);
    d.AddProperty(new CStaticTextProperty("Operator"));
    d.Add<CExpressionProperty>(&CExpressionBinaryOperator::m_OperandB, "Operand B", nullptr).DefaultNumber(0.0f);
}

void CExpressionBinaryOperator::SetOperatorText(CPropertyDeclarer& d, const char* text)
{
    DeclareOperator(d, nullptr, nullptr, text);
}

void CExpressionBinaryOperator::Evaluate(CScriptContext* context, CScriptValue&)
{
    if (m_OperandA)
        m_OperandA->Evaluate(context, m_ValueA);
    if (m_OperandB)
        m_OperandB->Evaluate(context, m_ValueB);
}

bool CExpressionBinaryOperator::EvaluateBoth(CScriptContext* context)
{
    if (!m_OperandA || !m_OperandB)
        return false;
    m_OperandA->Evaluate(context, m_ValueA);
    m_OperandB->Evaluate(context, m_ValueB);
    return true;
}

CJString CExpressionBinaryOperator::GetOperatorSymbol() const
{
    auto* property = dynamic_cast<CStaticTextProperty*>(GetClassInfo()->FindProperty("Operator"));
    if (!property)
        return CJString();
    const CJString& label = property->GetText();
    const int blank = label.FindChar(' ');
    return blank < 0 ? label : label.Left(blank);
}

void CExpressionBinaryOperator::GetDescription(CJString& out, const char* wordToRemove)
{
    CJString a;
    CJString b;
    DescribeExpression(m_OperandA, a, wordToRemove);
    DescribeExpression(m_OperandB, b, wordToRemove);
    out = "(";
    out.Append(a);
    out.Append(GetOperatorSymbol());
    out.Append(b);
    out.Append(")");
}

namespace {

// The comparison classes differ only in the test of Compare's result.
template <typename Test>
void EvaluateComparison(bool present, const CScriptValue& a, const CScriptValue& b, CScriptValue& out, Test test)
{
    out.SetBoolean(present && test(a.Compare(b, TextCase::Ignored)));
}

} // namespace

#define OMBRISALT_COMPARISON_CLASS(CClass, displayName, label, test)                                                   \
    OMBRISALT_SCRIPTING_CLASS(CClass, 1.0)                                                                             \
    void CClass::DeclareProperties(CPropertyDeclarer& d)                                                               \
    {                                                                                                                  \
        DeclareOperator(d, displayName, "Conditional", label);                                                         \
    }                                                                                                                  \
    void CClass::Evaluate(CScriptContext* context, CScriptValue& out)                                                  \
    {                                                                                                                  \
        const bool present = EvaluateBoth(context);                                                                    \
        EvaluateComparison(present, m_ValueA, m_ValueB, out, [](int32_t order) { return test; });                      \
    }

OMBRISALT_COMPARISON_CLASS(CExpressionIfLessThan, "< Less Than", "< Is Less Than", order < 0)
OMBRISALT_COMPARISON_CLASS(CExpressionIfLessThanOrEqualTo, "<= Less Than or Equal to", "<= Is Less Than or Equal to",
                           order <= 0)
OMBRISALT_COMPARISON_CLASS(CExpressionIfGreaterThan, "> Greater Than", "> Is Greater Than", order > 0)
OMBRISALT_COMPARISON_CLASS(CExpressionIfGreaterThanOrEqualTo, ">= Greater Than Or Equal To",
                           ">= Is Greater Than or Equal to", order >= 0)
OMBRISALT_COMPARISON_CLASS(CExpressionIfEqualTo, "== Equal To", "== Is Equal to", order == 0)
OMBRISALT_COMPARISON_CLASS(CExpressionIfNotEqualTo, "!= Not Equal To", "!= Is Not Equal to", order != 0)
#undef OMBRISALT_COMPARISON_CLASS

namespace {

void DescribeInWords(CExpressionBinaryOperator& self, const char* first, const char* middle, CJString& out,
                     const char* wordToRemove)
{
    CJString a;
    CJString b;
    DescribeExpression(self.m_OperandA, a, wordToRemove);
    DescribeExpression(self.m_OperandB, b, wordToRemove);
    out = first;
    out.Append(self.m_OperandA ? a : CJString("-"));
    out.Append(middle);
    out.Append(self.m_OperandB ? b : CJString("-"));
}

} // namespace

OMBRISALT_SCRIPTING_CLASS(CExpressionAnd, 1.0)
void CExpressionAnd::DeclareProperties(CPropertyDeclarer& d)
{
    DeclareOperator(d, nullptr, "Boolean", "And");
}
void CExpressionAnd::Evaluate(CScriptContext* context, CScriptValue& out)
{
    CExpressionBinaryOperator::Evaluate(context, out);
    out.SetBoolean(m_ValueA.AsBoolean() && m_ValueB.AsBoolean());
}
void CExpressionAnd::GetDescription(CJString& out, const char* wordToRemove)
{
    DescribeInWords(*this, "Both ", " and ", out, wordToRemove);
}

OMBRISALT_SCRIPTING_CLASS(CExpressionOr, 1.0)
void CExpressionOr::DeclareProperties(CPropertyDeclarer& d)
{
    DeclareOperator(d, nullptr, "Boolean", "Or");
}
void CExpressionOr::Evaluate(CScriptContext* context, CScriptValue& out)
{
    CExpressionBinaryOperator::Evaluate(context, out);
    out.SetBoolean(m_ValueA.AsBoolean() || m_ValueB.AsBoolean());
}
void CExpressionOr::GetDescription(CJString& out, const char* wordToRemove)
{
    DescribeInWords(*this, "Either ", " or ", out, wordToRemove);
}

OMBRISALT_SCRIPTING_CLASS(CExpressionAdd, 1.0)
void CExpressionAdd::DeclareProperties(CPropertyDeclarer& d)
{
    DeclareOperator(d, nullptr, "Math", "+ Plus");
}
void CExpressionAdd::Evaluate(CScriptContext* context, CScriptValue& out)
{
    CExpressionBinaryOperator::Evaluate(context, out);
    out.SetFloat(m_ValueA.AsFloat() + m_ValueB.AsFloat());
}

#define OMBRISALT_ARITHMETIC_CLASS(CClass, label, op)                                                                  \
    OMBRISALT_SCRIPTING_CLASS(CClass, 1.0)                                                                             \
    void CClass::DeclareProperties(CPropertyDeclarer& d)                                                               \
    {                                                                                                                  \
        DeclareOperator(d, nullptr, "Math", label);                                                                    \
    }                                                                                                                  \
    void CClass::Evaluate(CScriptContext* context, CScriptValue& out)                                                  \
    {                                                                                                                  \
        CExpressionBinaryOperator::Evaluate(context, out);                                                             \
        out = m_ValueA;                                                                                                \
        out.ApplyOperator(m_ValueB, op);                                                                               \
    }

OMBRISALT_ARITHMETIC_CLASS(CExpressionSubtract, "- Minus", '-')
OMBRISALT_ARITHMETIC_CLASS(CExpressionMultiply, "X Times", '*')
OMBRISALT_ARITHMETIC_CLASS(CExpressionDivide, "/ Devided by", '/')
OMBRISALT_ARITHMETIC_CLASS(CExpressionModulo, "% Remainder", '%')
#undef OMBRISALT_ARITHMETIC_CLASS

OMBRISALT_SCRIPTING_CLASS(CExpressionConcatenate, 1.0)
void CExpressionConcatenate::DeclareProperties(CPropertyDeclarer& d)
{
    SetOperatorText(d, "+");
}
void CExpressionConcatenate::Evaluate(CScriptContext* context, CScriptValue& out)
{
    CExpressionBinaryOperator::Evaluate(context, out);
    CJString text(m_ValueA.GetText());
    text.Append(m_ValueB.GetText());
    out.SetText(text);
}

OMBRISALT_SCRIPTING_CLASS(CExpressionIfBetweenInclusive, 1.0)
void CExpressionIfBetweenInclusive::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetDisplayName("<Between Values<");
    d.GetClassInfo().SetCategory("Conditional");
    d.Add<CExpressionProperty>(&CExpressionIfBetweenInclusive::m_Value, "Value", nullptr);
    d.Add<CExpressionProperty>(&CExpressionIfBetweenInclusive::m_Minimum, "Minimum", nullptr);
    d.Add<CExpressionProperty>(&CExpressionIfBetweenInclusive::m_Maximum, "Maximum", nullptr);
}
void CExpressionIfBetweenInclusive::Evaluate(CScriptContext* context, CScriptValue& out)
{
    if (!m_Value || !m_Minimum || !m_Maximum)
        return;
    m_Value->Evaluate(context, m_Values[0]);
    m_Minimum->Evaluate(context, m_Values[1]);
    m_Maximum->Evaluate(context, m_Values[2]);
    out.SetBoolean(m_Values[0].Compare(m_Values[1], TextCase::Ignored) >= 0
                   && m_Values[0].Compare(m_Values[2], TextCase::Ignored) <= 0);
}

OMBRISALT_SCRIPTING_CLASS(CExpressionNot, 1.0)
void CExpressionNot::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetCategory("Boolean");
    d.Add<CExpressionProperty>(&CExpressionNot::m_Operand, "Operand", nullptr);
}
void CExpressionNot::Evaluate(CScriptContext* context, CScriptValue& out)
{
    CScriptValue value;
    if (m_Operand)
        m_Operand->Evaluate(context, value);
    out.SetBoolean(!value.AsBoolean());
}

OMBRISALT_SCRIPTING_CLASS(CExpressionIfThen, 1.0)
void CExpressionIfThen::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add<CExpressionProperty>(&CExpressionIfThen::m_Condition, "Condition", nullptr);
    d.Add<CExpressionProperty>(&CExpressionIfThen::m_IfTrue, "If True", nullptr);
    d.Add<CExpressionProperty>(&CExpressionIfThen::m_IfFalse, "If False", nullptr);
}
void CExpressionIfThen::Evaluate(CScriptContext* context, CScriptValue& out)
{
    if (!m_Condition)
        return;
    m_Condition->Evaluate(context, out);
    CExpression* branch = out.AsBoolean() ? m_IfTrue : m_IfFalse;
    if (branch)
        branch->Evaluate(context, out);
}

OMBRISALT_SCRIPTING_CLASS(CExpressionRandomInteger, 1.0)
void CExpressionRandomInteger::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetCategory("Math");
    d.Add(&CExpressionRandomInteger::m_Minimum, "Minumum (inclusive)", 1);
    d.Add(&CExpressionRandomInteger::m_Maximum, "Maximum (inclusive)", 100);
}
void CExpressionRandomInteger::Evaluate(CScriptContext*, CScriptValue& out)
{
    out.SetInteger(int32_t(GameRandom().NextInRange(uint32_t(m_Minimum), uint32_t(m_Maximum))));
}
void CExpressionRandomInteger::GetDescription(CJString& out, const char*)
{
    out.Format("Random %d to %d inclusive", m_Minimum, m_Maximum);
}

OMBRISALT_SCRIPTING_CLASS(CExpressionRandomFloat, 1.0)
void CExpressionRandomFloat::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetCategory("Math");
    d.Add(&CExpressionRandomFloat::m_Minimum, "Minumum (inclusive)", 0.0f);
    d.Add(&CExpressionRandomFloat::m_Maximum, "Maximum (inclusive)", 1.0f);
}
void CExpressionRandomFloat::Evaluate(CScriptContext*, CScriptValue& out)
{
    out.SetFloat(GameRandom().NextFloat(m_Minimum, m_Maximum));
}
void CExpressionRandomFloat::GetDescription(CJString& out, const char*)
{
    out.Format("Random %f to %f inclusive", double(m_Minimum), double(m_Maximum));
}

namespace {

// sign 1 keeps the greatest, -1 the least; ties keep the earlier element.
void EvaluateExtreme(const CPropertyArray<CExpression*>& values, CScriptContext* context, CScriptValue& out,
                     int32_t sign)
{
    if (values.GetCount() == 0)
        return;
    CScriptValue best;
    if (values[0])
        values[0]->Evaluate(context, best);
    for (uint32_t i = 1; i < values.GetCount(); ++i) {
        if (!values[i])
            continue;
        CScriptValue candidate;
        values[i]->Evaluate(context, candidate);
        if (best.Compare(candidate, TextCase::Ignored) == -sign)
            best = candidate;
    }
    out = best;
}

} // namespace

OMBRISALT_SCRIPTING_CLASS(CExpressionMin, 1.0)
void CExpressionMin::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetCategory("Math");
    d.AddArray<CExpressionProperty>(&CExpressionMin::m_pValues, "Values List", "Values", nullptr);
}
void CExpressionMin::Evaluate(CScriptContext* context, CScriptValue& out)
{
    EvaluateExtreme(m_pValues, context, out, -1);
}

OMBRISALT_SCRIPTING_CLASS(CExpressionMax, 1.0)
void CExpressionMax::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetCategory("Math");
    d.AddArray<CExpressionProperty>(&CExpressionMax::m_pValues, "Values List", "Values", nullptr);
}
void CExpressionMax::Evaluate(CScriptContext* context, CScriptValue& out)
{
    EvaluateExtreme(m_pValues, context, out, 1);
}

OMBRISALT_SCRIPTING_CLASS(CExpressionScale, 1.0)
void CExpressionScale::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add<CExpressionProperty>(&CExpressionScale::m_Input, "Input Value", nullptr);
    d.Add<CExpressionProperty>(&CExpressionScale::m_MinimumInput, "Minumum Input Value", nullptr).DefaultNumber(0.0f);
    d.Add<CExpressionProperty>(&CExpressionScale::m_MaximumInput, "Maximum Input Value", nullptr).DefaultNumber(100.0f);
    d.Add<CExpressionProperty>(&CExpressionScale::m_MinimumOutput, "Minumum Output Value", nullptr).DefaultNumber(0.0f);
    d.Add<CExpressionProperty>(&CExpressionScale::m_MaximumOutput, "Maximum Output Value", nullptr)
        .DefaultNumber(100.0f);
    d.Add(&CExpressionScale::m_Clamp, "Clamp Output", true);
}
void CExpressionScale::Evaluate(CScriptContext* context, CScriptValue& out)
{
    if (!m_Input || !m_MinimumInput || !m_MaximumInput || !m_MinimumOutput || !m_MaximumOutput)
        return;
    float input = EvaluateExpressionAsFloat(m_Input, context);
    const float minimumInput = EvaluateExpressionAsFloat(m_MinimumInput, context);
    const float maximumInput = EvaluateExpressionAsFloat(m_MaximumInput, context);
    const float minimumOutput = EvaluateExpressionAsFloat(m_MinimumOutput, context);
    const float maximumOutput = EvaluateExpressionAsFloat(m_MaximumOutput, context);
    if (m_Clamp) {
        if (input < minimumInput)
            input = minimumInput;
        if (input > maximumInput)
            input = maximumInput;
    }
    if (maximumOutput == minimumOutput) {
        out.SetFloat(0.0f);
        return;
    }
    // An empty input range would divide by zero: every input maps to the start.
    if (maximumInput == minimumInput) {
        out.SetFloat(minimumOutput);
        return;
    }
    out.SetFloat(minimumOutput
                 + (input - minimumInput) / (maximumInput - minimumInput) * (maximumOutput - minimumOutput));
}

OMBRISALT_SCRIPTING_CLASS(CExpressionAsOffsetAngle0to360, 1.0)
void CExpressionAsOffsetAngle0to360::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetCategory("Math");
    d.Add<CExpressionProperty>(&CExpressionAsOffsetAngle0to360::m_InputAngle, "Input Angle", nullptr);
    d.Add(&CExpressionAsOffsetAngle0to360::m_Offset, "Offset", 0.0f).Range(0.0f, 360.0f);
}
void CExpressionAsOffsetAngle0to360::Evaluate(CScriptContext* context, CScriptValue& out)
{
    if (!m_InputAngle)
        return;
    m_InputAngle->Evaluate(context, out);
    float angle = ClampFloat(out.AsFloat(), 0.0f, 360.0f) - m_Offset;
    if (angle < 0.0f)
        angle += 360.0f;
    out.SetFloat(angle);
}

OMBRISALT_SCRIPTING_CLASS(CExpressionGetInteger, 1.0)
void CExpressionGetInteger::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddOwned(&CExpressionGetInteger::m_Expression, "Expression");
}
void CExpressionGetInteger::Evaluate(CScriptContext* context, CScriptValue& out)
{
    if (!m_Expression)
        return;
    m_Expression->Evaluate(context, out);
    out.SetInteger(out.AsInteger());
}

CJString FormatRomanNumerals(int32_t n)
{
    CJString text;
    if (n >= 10000 || n <= -10000) {
        text.Format("%d", n);
        return text;
    }
    if (n == 0)
        return CJString("0");
    if (n < 0) {
        text = "-";
        n = -n;
    }
    // One, five and the next place's one, thousands first; five thousand is "(V)".
    static const char kOne[4] = {'M', 'C', 'X', 'I'};
    static const char kFive[4] = {0, 'D', 'L', 'V'};
    static const char kNextOne[4] = {0, 'M', 'C', 'X'};
    auto appendFive = [&](int place) {
        if (place == 0)
            text.Append("(V)");
        else
            text.AppendChar(kFive[place]);
    };
    const int32_t digits[4] = {n / 1000, n / 100 % 10, n / 10 % 10, n % 10};
    for (int place = 0; place < 4; ++place) {
        const int32_t digit = digits[place];
        if (digit == 9 && place == 0) {
            appendFive(place);
            for (int k = 0; k < 4; ++k)
                text.AppendChar(kOne[place]);
        } else if (digit == 9) {
            text.AppendChar(kOne[place]);
            text.AppendChar(kNextOne[place]);
        } else if (digit == 4) {
            text.AppendChar(kOne[place]);
            appendFive(place);
        } else {
            if (digit >= 5)
                appendFive(place);
            for (int32_t k = 0; k < digit % 5; ++k)
                text.AppendChar(kOne[place]);
        }
    }
    return text;
}

OMBRISALT_SCRIPTING_CLASS(CExpressionAsRomanNumerals, 1.0)
void CExpressionAsRomanNumerals::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add<CExpressionProperty>(&CExpressionAsRomanNumerals::m_ValueToConvert, "Value to Convert", nullptr);
}
void CExpressionAsRomanNumerals::Evaluate(CScriptContext* context, CScriptValue& out)
{
    if (!m_ValueToConvert) {
        out.SetText("?");
        return;
    }
    CScriptValue value;
    m_ValueToConvert->Evaluate(context, value);
    out.SetText(FormatRomanNumerals(value.AsInteger()));
}

namespace {

// A comparison made from any other two-operand expression, offered under the
// comparison's former class name; the operands come across.
class CComparisonTranslator final : public CTranslator {
public:
    CComparisonTranslator(CClassInfo* (*target)(), const char* oldName)
        : m_Target(target)
        , m_OldName(oldName)
    {
    }
    CClassInfo* Offer(CObject* source, CJString& label) const override
    {
        CClassInfo* target = m_Target();
        if (!source || !source->IsKindOf(CExpressionBinaryOperator::SGetClassInfo())
            || source->GetClassInfo() == target)
            return nullptr;
        label = m_OldName;
        return target;
    }
    CObject* Translate(CObject* source) const override
    {
        CJString label;
        if (!Offer(source, label))
            return nullptr;
        CObject* made = m_Target()->CreateObject(0, -1);
        if (!made)
            return nullptr;
        made->ResetToDefaults();
        made->CopyFrom(source);
        return made;
    }
    const char* GetOldName() const { return m_OldName; }
    CClassInfo* GetTarget() const { return m_Target(); }

private:
    CClassInfo* (*m_Target)();
    const char* m_OldName;
};

} // namespace

void RegisterExpressionTranslators()
{
    // Data may still name the comparisons by their former class names, and
    // the editor offers them under those names.
    static CComparisonTranslator kTranslators[] = {
        {[]() -> CClassInfo* { return CExpressionIfLessThan::SGetClassInfo(); }, "< Less Than"},
        {[]() -> CClassInfo* { return CExpressionIfLessThanOrEqualTo::SGetClassInfo(); }, "<= Less Than or Equal to"},
        {[]() -> CClassInfo* { return CExpressionIfGreaterThan::SGetClassInfo(); }, "> Greater Than"},
        {[]() -> CClassInfo* { return CExpressionIfGreaterThanOrEqualTo::SGetClassInfo(); },
         ">= Greater Than or Equal to"},
        {[]() -> CClassInfo* { return CExpressionIfEqualTo::SGetClassInfo(); }, "== Equal"},
        {[]() -> CClassInfo* { return CExpressionIfNotEqualTo::SGetClassInfo(); }, "!= Not Equal"},
    };
    for (CComparisonTranslator& translator : kTranslators) {
        CClassInfo* info = translator.GetTarget();
        if (!info->HasAlternateName(translator.GetOldName()))
            info->AddAlternateClassName(translator.GetOldName());
        RegisterTranslator(translator);
    }
}
