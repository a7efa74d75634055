#pragma once
// Expressions: reflected objects that data puts wherever it needs a number,
// a condition or a text, evaluated into a CScriptValue and described in one
// line for the editor. An owner holds one through a CExpressionProperty,
// whose text form has a shorthand:
//     Operand A=5           a CExpressionNumber (plain decimal syntax only)
//     Operand A=Hello       a CExpressionScriptingText (a word that names no class)
//     Operand A=CExpressionAdd   then the object's block, as any owned object
// A number expression is written back as its bare number, in as few digits
// as read back to the same float.
//
// Expressions that evaluate operands keep one value per operand as a member
// and reuse it, so an expression object is not re-entrant.
#include "game/scripting/CScriptValue.h"
#include "objects/CObject.h"
#include "objects/CPObjectProperty.h"

#include <cstdint>

class CExpression;

// What an expression runs on behalf of (a sprite, say); every expression
// hands it on unchanged to its operands.
struct CScriptContext {
    CObject* object = nullptr;
};

class CExpression : public CObject {
    OMBRISALT_REFLECTED(CExpression, CObject)
public:
    CExpression();
    ~CExpression() override;

    // Writes the value into out; an expression that lacks a required
    // operand writes its documented default or leaves out as it was.
    virtual void Evaluate(CScriptContext* context, CScriptValue& out) = 0;
};

// 0.0 for a null expression; else a fresh value evaluated, as a float.
float EvaluateExpressionAsFloat(CExpression* expression, CScriptContext* context);

// Describes an operand into out; empty when it is missing.
void DescribeExpression(CExpression* expression, CJString& out, const char* wordToRemove);

// An owned expression with the number and text shorthand of the file comment.
class CExpressionProperty : public CTypedPObjectProperty<CExpression> {
public:
    CExpressionProperty(const char* name, CExpression* none);

    // New owners start with a number expression holding value.
    void SetDefaultNumber(float value);

    void ReadValue(CObject* owner, const CJString& name, const CJString& value, CObjectStream* stream,
                   int64_t linePosition) const override;
    void WriteValueLine(CObject* owner, CObjectStream& stream) const override;

    template <typename Declared>
    class DeclarationWords : public CPObjectProperty::DeclarationWords<Declared> {
    public:
        Declared& DefaultNumber(float value)
        {
            return this->Apply([&](auto& p) { p.SetDefaultNumber(value); });
        }
    };

private:
    void Replace(CObject* owner, CExpression* expression) const;
};

// An editor label with no value in the object: always equal, never saved.
// Operator classes show their operator with one.
class CStaticTextProperty : public CProperty {
public:
    explicit CStaticTextProperty(const char* name);

    void SetText(const char* text) { m_Text = text; }
    const CJString& GetText() const { return m_Text; }

    CProperty* Clone() const override { return new CStaticTextProperty(*this); }
    bool IsValueProperty() const override { return true; }
    void* GetValueAddress(CObject*) const override { return nullptr; }
    void CopyValue(CObject*, CObject*, const CProperty*) const override {}
    bool IsEqual(CObject*, CObject*, const CProperty*) const override { return true; }
    void SetToDefault(CObject*) const override {}
    bool IsDefault(CObject*) const override { return true; }
    void GetValueText(CObject*, CJString& out) const override { out = m_Text; }
    void SetValueFromText(CObject*, const CJString&, CObjectStream*) const override {}
    void WriteBinary(CObject*, CObjectStream&) const override {}
    bool ReadBinary(CObject*, CObjectStream&) const override { return true; }
    void* AllocateValue() const override { return nullptr; }
    void FreeValue(void*) const override {}

private:
    CJString m_Text{"undefined"};
};

class CExpressionNumber : public CExpression {
    OMBRISALT_REFLECTED(CExpressionNumber, CExpression)
public:
    CExpressionNumber();
    ~CExpressionNumber() override;

    void Evaluate(CScriptContext* context, CScriptValue& out) override;
    void GetDescription(CJString& out, const char* wordToRemove = nullptr) override;

    float m_Value = 0.0f;
};

class CExpressionScriptingText : public CExpression {
    OMBRISALT_REFLECTED(CExpressionScriptingText, CExpression)
public:
    CExpressionScriptingText();
    ~CExpressionScriptingText() override;

    void Evaluate(CScriptContext* context, CScriptValue& out) override;
    void GetDescription(CJString& out, const char* wordToRemove = nullptr) override;

    CJString m_Text;
};
