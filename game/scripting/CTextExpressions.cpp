#include "game/scripting/CTextExpressions.h"

#include "game/scripting/ScriptingClassBody.h"

#include <algorithm>

OMBRISALT_SCRIPTING_CLASS(CExpressionDisplayableText, 1.0)
void CExpressionDisplayableText::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetCategory("Text");
    d.Add(&CExpressionDisplayableText::m_Text, "Text", "");
}
void CExpressionDisplayableText::Evaluate(CScriptContext*, CScriptValue& out)
{
    out.SetText(m_Text.GetTranslation());
}
void CExpressionDisplayableText::GetDescription(CJString& out, const char*)
{
    out = "\"";
    out.Append(m_Text.GetText());
    out.Append("\"");
}

OMBRISALT_SCRIPTING_CLASS(CExpressionCountTextCharacters, 1.0)
void CExpressionCountTextCharacters::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetCategory("Text");
    d.Add<CExpressionProperty>(&CExpressionCountTextCharacters::m_Operand, "Operand", nullptr);
}
void CExpressionCountTextCharacters::Evaluate(CScriptContext* context, CScriptValue& out)
{
    CScriptValue value;
    if (m_Operand)
        m_Operand->Evaluate(context, value);
    out.SetInteger(value.GetText().GetLength());
}

OMBRISALT_SCRIPTING_CLASS(CExpressionAsciiValue, 1.0)
void CExpressionAsciiValue::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetCategory("Text");
    d.GetClassInfo().SetDescription("Returns the ASCII value for the first character in the text");
    d.Add<CExpressionProperty>(&CExpressionAsciiValue::m_Text, "Text", nullptr);
}
void CExpressionAsciiValue::Evaluate(CScriptContext* context, CScriptValue& out)
{
    CScriptValue value;
    if (m_Text)
        m_Text->Evaluate(context, value);
    const CJString& text = value.GetText();
    out.SetInteger(text.IsEmpty() ? 0 : int32_t(text.GetCharAt(0)));
}

OMBRISALT_SCRIPTING_CLASS(CExpressionAppendText, 1.0)
void CExpressionAppendText::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetDisplayName("Append Text");
    d.GetClassInfo().SetCategory("Text");
    SetOperatorText(d, "Append Text");
}
void CExpressionAppendText::Evaluate(CScriptContext* context, CScriptValue& out)
{
    if (!EvaluateBoth(context)) {
        out.SetBoolean(false);
        return;
    }
    CJString text(m_ValueA.GetText());
    text.Append(m_ValueB.GetText());
    out.SetText(text);
}

OMBRISALT_SCRIPTING_CLASS(CExpressionPartOfText, 1.0)
void CExpressionPartOfText::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add<CExpressionProperty>(&CExpressionPartOfText::m_Text, "Text", nullptr);
    d.Add<CExpressionProperty>(&CExpressionPartOfText::m_Skip, "Number Of Characters To Skip", nullptr)
        .DefaultNumber(0.0f);
    d.Add<CExpressionProperty>(&CExpressionPartOfText::m_Include, "Number Of Characters To Include", nullptr)
        .DefaultNumber(999.0f);
}
void CExpressionPartOfText::Evaluate(CScriptContext* context, CScriptValue& out)
{
    if (!m_Text) {
        out.SetBoolean(false);
        return;
    }
    CScriptValue text;
    m_Text->Evaluate(context, text);
    const CJString& s = text.GetText();
    const int32_t length = s.GetLength();
    int32_t skip = 0;
    int32_t count = 9999999;
    if (m_Skip) {
        CScriptValue value;
        m_Skip->Evaluate(context, value);
        skip = value.AsInteger();
    }
    if (m_Include) {
        CScriptValue value;
        m_Include->Evaluate(context, value);
        count = value.AsInteger();
    }
    skip = std::clamp(skip, 0, length);
    count = std::min(count, length - skip);
    out.SetText(count > 0 ? s.Mid(skip, count) : CJString());
}
