#pragma once
// Expressions built in code for the expression tests.
#include "game/scripting/CExpressionOperators.h"
#include "game/scripting/CTextExpressions.h"

#include <string>

inline CExpression* Number(float value)
{
    auto* expression = new CExpressionNumber();
    expression->m_Value = value;
    return expression;
}
inline CExpression* Integer(float value)
{
    auto* expression = new CExpressionGetInteger();
    expression->m_Expression = Number(value);
    return expression;
}
inline CExpression* Text(const char* text)
{
    auto* expression = new CExpressionScriptingText();
    expression->m_Text = text;
    return expression;
}
// A two-operand expression over a and b (null: missing).
template <typename T>
T* Binary(CExpression* a, CExpression* b)
{
    auto* expression = new T();
    delete expression->m_OperandA;
    delete expression->m_OperandB;
    expression->m_OperandA = a;
    expression->m_OperandB = b;
    return expression;
}

inline std::string Describe(CExpression* expression)
{
    CJString text;
    expression->GetDescription(text);
    return text.GetString();
}
