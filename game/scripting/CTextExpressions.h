#pragma once
// Expressions that make or take apart texts. Lengths and positions count
// characters of the value's text form (an integer 120 has three).
#include "game/scripting/CExpressionOperators.h"
#include "objects/CStringProperty.h"

// The text as written, evaluated as its translation for the current language.
class CExpressionDisplayableText : public CExpression {
    OMBRISALT_REFLECTED(CExpressionDisplayableText, CExpression)
public:
    CExpressionDisplayableText();
    ~CExpressionDisplayableText() override;
    void Evaluate(CScriptContext* context, CScriptValue& out) override;
    void GetDescription(CJString& out, const char* wordToRemove = nullptr) override;

    CTranslatedText m_Text;
};

class CExpressionCountTextCharacters : public CExpression {
    OMBRISALT_REFLECTED(CExpressionCountTextCharacters, CExpression)
public:
    CExpressionCountTextCharacters();
    ~CExpressionCountTextCharacters() override;
    void Evaluate(CScriptContext* context, CScriptValue& out) override;

    CExpression* m_Operand = nullptr;
};

// The code of the first character (a UTF-16 unit's full code); 0 for none.
class CExpressionAsciiValue : public CExpression {
    OMBRISALT_REFLECTED(CExpressionAsciiValue, CExpression)
public:
    CExpressionAsciiValue();
    ~CExpressionAsciiValue() override;
    void Evaluate(CScriptContext* context, CScriptValue& out) override;

    CExpression* m_Text = nullptr;
};

// A's text followed by B's; false (the integer 0) when either is missing.
class CExpressionAppendText : public CExpressionBinaryOperator {
    OMBRISALT_REFLECTED(CExpressionAppendText, CExpressionBinaryOperator)
public:
    CExpressionAppendText();
    ~CExpressionAppendText() override;
    void Evaluate(CScriptContext* context, CScriptValue& out) override;
};

// Up to "Include" characters after the first "Skip"; the skip is clamped
// to the text, and a count of 0 or less gives the empty text.
class CExpressionPartOfText : public CExpression {
    OMBRISALT_REFLECTED(CExpressionPartOfText, CExpression)
public:
    CExpressionPartOfText();
    ~CExpressionPartOfText() override;
    void Evaluate(CScriptContext* context, CScriptValue& out) override;

    CExpression* m_Text = nullptr;
    CExpression* m_Skip = nullptr;
    CExpression* m_Include = nullptr;
};
