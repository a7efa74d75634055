#include "game/scripting/CExpression.h"

#include "objects/CClassInfo.h"
#include "objects/CFloatProperty.h"
#include "objects/CObjectStream.h"

OMBRISALT_IMPLEMENT_ABSTRACT_CLASS(CExpression, 1.0)

void CExpression::DeclareProperties(CPropertyDeclarer&) {}
CExpression::CExpression()
{
    InitDeclaredProperties();
}
CExpression::~CExpression()
{
    DestroyDeclaredProperties();
}

float EvaluateExpressionAsFloat(CExpression* expression, CScriptContext* context)
{
    if (!expression)
        return 0.0f;
    CScriptValue value;
    expression->Evaluate(context, value);
    return value.AsFloat();
}

void DescribeExpression(CExpression* expression, CJString& out, const char* wordToRemove)
{
    out.Empty();
    if (expression)
        expression->GetDescription(out, wordToRemove);
}

CExpressionProperty::CExpressionProperty(const char* name, CExpression* none)
    : CTypedPObjectProperty<CExpression>(name, none)
{
}

void CExpressionProperty::SetDefaultNumber(float value)
{
    CExpressionNumber number;
    number.m_Value = value;
    SetDefaultObject(&number);
}

void CExpressionProperty::Replace(CObject* owner, CExpression* expression) const
{
    CObject* old = GetObject(owner);
    if (!CallSetter(owner, expression)) {
        Put(owner, expression);
        delete old;
    }
}

void CExpressionProperty::ReadValue(CObject* owner, const CJString& name, const CJString& value, CObjectStream* stream,
                                    int64_t linePosition) const
{
    // A line under another name is an inline object's; the owned-object
    // reader handles it, as it does empty values and class names.
    const bool ownLine
        = name.IsEmpty() || name.CompareNoCase(GetNameString()) == 0 || name.CompareNoCase(GetAlternateName()) == 0;
    if (ownLine && value.IsNotEmpty()) {
        bool complete = false;
        const float number = ReadDecimalFloat(value, &complete);
        if (complete) {
            auto* expression = new CExpressionNumber();
            expression->m_Value = number;
            Replace(owner, expression);
            return;
        }
        CJString className(value);
        if (className.IsWide())
            className.ToNarrow();
        // A word naming a class outside the expressions (say "Object") could
        // only end the program as a wrong class: it is a text.
        CClassInfo* info = CClassInfoList::SGetInstance().Find(className);
        if (!info || !info->IsDerivedFrom(CExpression::SGetClassInfo())) {
            auto* expression = new CExpressionScriptingText();
            expression->m_Text = value;
            Replace(owner, expression);
            return;
        }
    }
    CTypedPObjectProperty<CExpression>::ReadValue(owner, name, value, stream, linePosition);
}

void CExpressionProperty::WriteValueLine(CObject* owner, CObjectStream& stream) const
{
    CObject* object = GetObject(owner);
    if (object && object->IsKindOf(CExpressionNumber::SGetClassInfo())) {
        // "%g" alone would cut 1234567 to 1.23457e+06 at every save.
        stream.WriteJStringLine(FormatFloatExactly(static_cast<CExpressionNumber*>(object)->m_Value));
        return;
    }
    CTypedPObjectProperty<CExpression>::WriteValueLine(owner, stream);
}

CStaticTextProperty::CStaticTextProperty(const char* name)
    : CProperty(name, nullptr, 0, kLevelNormal)
{
    SetSavedIn(SavedIn::Nowhere);
}

OMBRISALT_IMPLEMENT_CLASS(CExpressionNumber, 1.0)

void CExpressionNumber::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CExpressionNumber::m_Value, "Value", 0.0f);
}
CExpressionNumber::CExpressionNumber()
{
    InitDeclaredProperties();
}
CExpressionNumber::~CExpressionNumber()
{
    DestroyDeclaredProperties();
}

void CExpressionNumber::Evaluate(CScriptContext*, CScriptValue& out)
{
    out.SetFloat(m_Value);
}

void CExpressionNumber::GetDescription(CJString& out, const char*)
{
    out.Format("%.5g", double(m_Value));
}

OMBRISALT_IMPLEMENT_CLASS(CExpressionScriptingText, 1.0)

void CExpressionScriptingText::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetCategory("Text");
    d.Add(&CExpressionScriptingText::m_Text, "Text", "");
}
CExpressionScriptingText::CExpressionScriptingText()
{
    InitDeclaredProperties();
}
CExpressionScriptingText::~CExpressionScriptingText()
{
    DestroyDeclaredProperties();
}

void CExpressionScriptingText::Evaluate(CScriptContext*, CScriptValue& out)
{
    out.SetText(m_Text);
}

void CExpressionScriptingText::GetDescription(CJString& out, const char*)
{
    out = "'";
    out.Append(m_Text);
    out.Append("'");
}
