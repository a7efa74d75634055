#pragma once
// The general expressions: comparisons, logic, choice, arithmetic, random
// numbers, minimum and maximum, scaling, angles, integers and Roman
// numerals. Two-operand classes derive CExpressionBinaryOperator, which
// evaluates "Operand A" and "Operand B" into its cached values and
// describes itself as "(" A operator B ")", the operator being its
// "Operator" label cut before the first blank.
#include "game/scripting/CExpression.h"
#include "objects/CPropertyArrayProperty.h"

#include <cstdint>

class CExpressionBinaryOperator : public CExpression {
    OMBRISALT_REFLECTED(CExpressionBinaryOperator, CExpression)
public:
    CExpressionBinaryOperator();
    ~CExpressionBinaryOperator() override;

    // Evaluates the present operands into value A and value B; writes nothing.
    void Evaluate(CScriptContext* context, CScriptValue& out) override;
    void GetDescription(CJString& out, const char* wordToRemove = nullptr) override;
    // The operator label up to its first blank.
    CJString GetOperatorSymbol() const;

    CExpression* m_OperandA = nullptr;
    CExpression* m_OperandB = nullptr;

protected:
    // Sets the label of the derived class being declared.
    static void SetOperatorText(CPropertyDeclarer& d, const char* text);
    // False (and nothing evaluated) unless both operands are present.
    bool EvaluateBoth(CScriptContext* context);

    CScriptValue m_ValueA;
    CScriptValue m_ValueB;
};

// A two-operand class that adds only its Evaluate.
#define OMBRISALT_BINARY_EXPRESSION(CClass)                                                                            \
    class CClass : public CExpressionBinaryOperator {                                                                  \
        OMBRISALT_REFLECTED(CClass, CExpressionBinaryOperator)                                                         \
    public:                                                                                                            \
        CClass();                                                                                                      \
        ~CClass() override;                                                                                            \
        void Evaluate(CScriptContext* context, CScriptValue& out) override;                                            \
    };
// The six comparisons: true when Compare(A, B) (letter case ignored) holds;
// false when an operand is missing.
OMBRISALT_BINARY_EXPRESSION(CExpressionIfLessThan)
OMBRISALT_BINARY_EXPRESSION(CExpressionIfLessThanOrEqualTo)
OMBRISALT_BINARY_EXPRESSION(CExpressionIfGreaterThan)
OMBRISALT_BINARY_EXPRESSION(CExpressionIfGreaterThanOrEqualTo)
OMBRISALT_BINARY_EXPRESSION(CExpressionIfEqualTo)
OMBRISALT_BINARY_EXPRESSION(CExpressionIfNotEqualTo)
// Always a float.
OMBRISALT_BINARY_EXPRESSION(CExpressionAdd)
// A op B by the value rules, so integers stay integers.
OMBRISALT_BINARY_EXPRESSION(CExpressionSubtract)
OMBRISALT_BINARY_EXPRESSION(CExpressionMultiply)
OMBRISALT_BINARY_EXPRESSION(CExpressionDivide)
OMBRISALT_BINARY_EXPRESSION(CExpressionModulo)
OMBRISALT_BINARY_EXPRESSION(CExpressionConcatenate)
#undef OMBRISALT_BINARY_EXPRESSION

// Both operands are always evaluated; described in words ("Both A and B").
class CExpressionAnd : public CExpressionBinaryOperator {
    OMBRISALT_REFLECTED(CExpressionAnd, CExpressionBinaryOperator)
public:
    CExpressionAnd();
    ~CExpressionAnd() override;
    void Evaluate(CScriptContext* context, CScriptValue& out) override;
    void GetDescription(CJString& out, const char* wordToRemove = nullptr) override;
};

class CExpressionOr : public CExpressionBinaryOperator {
    OMBRISALT_REFLECTED(CExpressionOr, CExpressionBinaryOperator)
public:
    CExpressionOr();
    ~CExpressionOr() override;
    void Evaluate(CScriptContext* context, CScriptValue& out) override;
    void GetDescription(CJString& out, const char* wordToRemove = nullptr) override;
};

class CExpressionIfBetweenInclusive : public CExpression {
    OMBRISALT_REFLECTED(CExpressionIfBetweenInclusive, CExpression)
public:
    CExpressionIfBetweenInclusive();
    ~CExpressionIfBetweenInclusive() override;
    // out is left as it was when a part is missing.
    void Evaluate(CScriptContext* context, CScriptValue& out) override;

    CExpression* m_Value = nullptr;
    CExpression* m_Minimum = nullptr;
    CExpression* m_Maximum = nullptr;

private:
    CScriptValue m_Values[3];
};

class CExpressionNot : public CExpression {
    OMBRISALT_REFLECTED(CExpressionNot, CExpression)
public:
    CExpressionNot();
    ~CExpressionNot() override;
    // A missing operand counts as false.
    void Evaluate(CScriptContext* context, CScriptValue& out) override;

    CExpression* m_Operand = nullptr;
};

class CExpressionIfThen : public CExpression {
    OMBRISALT_REFLECTED(CExpressionIfThen, CExpression)
public:
    CExpressionIfThen();
    ~CExpressionIfThen() override;
    // A missing branch leaves the condition's value in out.
    void Evaluate(CScriptContext* context, CScriptValue& out) override;

    CExpression* m_Condition = nullptr;
    CExpression* m_IfTrue = nullptr;
    CExpression* m_IfFalse = nullptr;
};

// Draws from the game's random generator on every evaluation.
class CExpressionRandomInteger : public CExpression {
    OMBRISALT_REFLECTED(CExpressionRandomInteger, CExpression)
public:
    CExpressionRandomInteger();
    ~CExpressionRandomInteger() override;
    // A minimum above the maximum wraps the span as an unsigned count.
    void Evaluate(CScriptContext* context, CScriptValue& out) override;
    void GetDescription(CJString& out, const char* wordToRemove = nullptr) override;

    int32_t m_Minimum = 0;
    int32_t m_Maximum = 0;
};

class CExpressionRandomFloat : public CExpression {
    OMBRISALT_REFLECTED(CExpressionRandomFloat, CExpression)
public:
    CExpressionRandomFloat();
    ~CExpressionRandomFloat() override;
    void Evaluate(CScriptContext* context, CScriptValue& out) override;
    void GetDescription(CJString& out, const char* wordToRemove = nullptr) override;

    float m_Minimum = 0.0f;
    float m_Maximum = 0.0f;
};

// Min and max keep the earlier element on ties, with its own type.
class CExpressionMin : public CExpression {
    OMBRISALT_REFLECTED(CExpressionMin, CExpression)
public:
    CExpressionMin();
    ~CExpressionMin() override;
    void Evaluate(CScriptContext* context, CScriptValue& out) override;

    CPropertyArray<CExpression*> m_pValues;
};

class CExpressionMax : public CExpression {
    OMBRISALT_REFLECTED(CExpressionMax, CExpression)
public:
    CExpressionMax();
    ~CExpressionMax() override;
    void Evaluate(CScriptContext* context, CScriptValue& out) override;

    CPropertyArray<CExpression*> m_pValues;
};

// Maps the input range linearly onto the output range.
class CExpressionScale : public CExpression {
    OMBRISALT_REFLECTED(CExpressionScale, CExpression)
public:
    CExpressionScale();
    ~CExpressionScale() override;
    // Equal input bounds give the minimum output; equal output bounds 0.
    void Evaluate(CScriptContext* context, CScriptValue& out) override;

    CExpression* m_Input = nullptr;
    CExpression* m_MinimumInput = nullptr;
    CExpression* m_MaximumInput = nullptr;
    CExpression* m_MinimumOutput = nullptr;
    CExpression* m_MaximumOutput = nullptr;
    bool m_Clamp = false;
};

class CExpressionAsOffsetAngle0to360 : public CExpression {
    OMBRISALT_REFLECTED(CExpressionAsOffsetAngle0to360, CExpression)
public:
    CExpressionAsOffsetAngle0to360();
    ~CExpressionAsOffsetAngle0to360() override;
    // The input clamped to [0, 360], less the offset, brought back into [0, 360].
    void Evaluate(CScriptContext* context, CScriptValue& out) override;

    CExpression* m_InputAngle = nullptr;
    float m_Offset = 0.0f;
};

class CExpressionGetInteger : public CExpression {
    OMBRISALT_REFLECTED(CExpressionGetInteger, CExpression)
public:
    CExpressionGetInteger();
    ~CExpressionGetInteger() override;
    void Evaluate(CScriptContext* context, CScriptValue& out) override;

    CExpression* m_Expression = nullptr;
};

// A text; "?" without a value, decimal digits from 10000 (and to -10000) on.
class CExpressionAsRomanNumerals : public CExpression {
    OMBRISALT_REFLECTED(CExpressionAsRomanNumerals, CExpression)
public:
    CExpressionAsRomanNumerals();
    ~CExpressionAsRomanNumerals() override;
    void Evaluate(CScriptContext* context, CScriptValue& out) override;

    CExpression* m_ValueToConvert = nullptr;
};

// n in Roman numerals, 5000 written "(V)"; "%d" when |n| >= 10000.
CJString FormatRomanNumerals(int32_t n);

// Old class names of the comparisons: read as the current classes, and
// offered by the editor's change of class for any two-operand expression.
void RegisterExpressionTranslators();
