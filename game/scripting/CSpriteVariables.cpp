#include "game/scripting/CSpriteVariables.h"

#include "foundation/CPerformanceMonitor.h"
#include "foundation/CStaticContentsList.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/ScriptingClassBody.h"
#include "game/scripting/ScriptingHooks.h"
#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CFloatProperty.h"
#include "objects/CListProperty.h"
#include "objects/CObjectProperty.h"
#include "objects/CPObjectProperty.h"
#include "objects/CSlotProperty.h"
#include "objects/CStringProperty.h"

#include <algorithm>

namespace {

CCodeTableList& TypeList()
{
    static const CCodeTableRow kRows[] = {{0, "Unknown", nullptr},
                                          {1, "Integer", nullptr},
                                          {2, "Float", nullptr},
                                          {3, "String", nullptr},
                                          {0, nullptr, nullptr}};
    static CCodeTableList list(kRows);
    return list;
}

using CVariablesProperty = CSlotProperty<CTypedPObjectProperty<CLocalVariables>>;

CVariablesProperty& VariablesProperty()
{
    static CVariablesProperty* property = [] {
        auto* made = new CVariablesProperty("Local Variables", nullptr);
        made->AddAsDynamicProperty(CSprite::SGetClassInfo(), DynamicKind::Optional);
        return made;
    }();
    return *property;
}

// A context of the sprite alone: setters evaluate with an empty chain.
struct CSpriteOnlyContext : CSpriteScriptContext {
    explicit CSpriteOnlyContext(CSprite* owner)
        : CSpriteScriptContext(owner, nullptr)
    {
        chain.RemoveAll();
    }
};

// The first sprite of the current playfield the reference names strictly.
CSprite* FindFirstSprite(const CScriptReferenceToTarget& reference)
{
    CArrayPOD<CSprite*> found;
    GetScriptingHooks().FindSpritesByReference(reference, found, false);
    return found.IsEmpty() ? nullptr : found[0];
}

// "@" + sprite + "." + "$" + name [+ "=" + value]; the object's default
// description when the name is empty.
bool DescribeForeign(const CScriptReferenceToTarget& sprite, const CJString& name, CExpression* value,
                     CJString& out, const char* wordToRemove)
{
    if (name.IsEmpty())
        return false;
    out = "@";
    out.Append(sprite.m_Name);
    out.Append(".$");
    out.Append(name);
    if (value) {
        CJString described;
        DescribeExpression(value, described, wordToRemove);
        out.Append("=");
        out.Append(described);
    }
    return true;
}

void EvaluateInto(CExpression* expression, CScriptContext* context, CScriptValue& out)
{
    out.SetText("");
    if (expression)
        expression->Evaluate(context, out);
}

} // namespace

OMBRISALT_SCRIPTING_CLASS(CLocalVariable, 1.0)
void CLocalVariable::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CLocalVariable::m_Name, "Name", "Variable Name");
    d.Add(&CLocalVariable::m_Value, "Value", "");
    d.AddListReference(&CLocalVariable::m_Type, "Type", &TypeList(), "Float");
}

void CLocalVariable::GetDescription(CJString& out, const char*)
{
    out = m_Name;
    out.Append(" = ");
    out.Append(m_Value);
    if (m_Type >= 0 && m_Type <= int32_t(CScriptValue::kText)) {
        out.Append(" (");
        out.Append(TypeList().GetItemName(m_Type));
        out.Append(")");
    }
}

OMBRISALT_SCRIPTING_CLASS(CLocalVariables, 1.0)
void CLocalVariables::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddArray<CTypedPObjectProperty<CLocalVariable>>(&CLocalVariables::m_LocalVariables, "Variable List", "Variable",
                                                      nullptr);
}

CLocalVariable* CLocalVariables::Find(const CJString& name) const
{
    for (uint32_t i = 0; i < m_LocalVariables.GetCount(); ++i) {
        CLocalVariable* variable = m_LocalVariables[i];
        if (variable && variable->m_Name.CompareNoCase(name) == 0)
            return variable;
    }
    return nullptr;
}

void CLocalVariables::Add(CLocalVariable* variable)
{
    auto* property = static_cast<CPropertyArrayProperty*>(GetClassInfo()->FindProperty("Variable List"));
    const uint32_t count = m_LocalVariables.GetCount();
    property->ArrayProperty_SetCount(this, count + 1);
    m_LocalVariables[count] = variable;
}

CLocalVariables* GetLocalVariables(CSprite* sprite, MissingSet missing)
{
    if (!sprite)
        return nullptr;
    CVariablesProperty& property = VariablesProperty();
    auto* set = static_cast<CLocalVariables*>(property.GetDynamicValue(sprite));
    if (!set && missing == MissingSet::Create) {
        set = new CLocalVariables;
        property.SetDynamicValue(sprite, set);
    }
    return set;
}

bool GetVariable(CSprite* sprite, const CJString& name, CScriptValue& out)
{
    out.SetText("");
    const CLocalVariables* set = GetLocalVariables(sprite, MissingSet::Leave);
    const CLocalVariable* variable = set ? set->Find(name) : nullptr;
    if (!variable)
        return false;
    out.SetFromText(variable->m_Value, uint32_t(variable->m_Type));
    return true;
}

void SetVariable(CLocalVariables& set, const CJString& name, const CScriptValue& value)
{
    CLocalVariable* variable = set.Find(name);
    if (!variable) {
        variable = new CLocalVariable;
        variable->m_Name = name;
        set.Add(variable);
    }
    variable->m_Value = value.GetText();
    variable->m_Type = int32_t(value.GetType());
}

void SetSpriteVariable(CSprite* sprite, const CJString& name, const CScriptValue& value)
{
    if (sprite)
        SetVariable(*GetLocalVariables(sprite, MissingSet::Create), name, value);
}

OMBRISALT_SCRIPTING_CLASS(CExpressionLocalVariable, 1.0)
void CExpressionLocalVariable::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CExpressionLocalVariable::m_VariableName, "Variable Name", "");
}

void CExpressionLocalVariable::Evaluate(CScriptContext* context, CScriptValue& out)
{
    static CPerformanceMonitor zone("ExpressionGetPropLocalVariable");
    CPerformanceMonitorScope scope(zone);
    CObject* owner = context ? context->object : nullptr;
    if (owner && owner->IsKindOf(CSprite::SGetClassInfo()))
        GetVariable(static_cast<CSprite*>(owner), m_VariableName, out);
    else
        out.SetText("");
}

void CExpressionLocalVariable::GetDescription(CJString& out, const char* wordToRemove)
{
    if (m_VariableName.IsEmpty())
        return CExpression::GetDescription(out, wordToRemove);
    out = "$";
    out.Append(m_VariableName);
}

OMBRISALT_SCRIPTING_CLASS(CExpressionForeignVariable, 1.0)
void CExpressionForeignVariable::DeclareProperties(CPropertyDeclarer& d)
{
    CExpressionScriptingText x;
    x.m_Text = "x";
    d.AddEmbedded(&CExpressionForeignVariable::m_TargetSprite, "Sprite");
    d.Add<CExpressionProperty>(&CExpressionForeignVariable::m_VariableName, "Variable Name", nullptr)
        .DefaultObject(&x);
}

void CExpressionForeignVariable::Evaluate(CScriptContext* context, CScriptValue& out)
{
    static CPerformanceMonitor zone("ExpressionGetPropForeignVariable");
    CPerformanceMonitorScope scope(zone);
    CSprite* target = nullptr;
    CObject* owner = context ? context->object : nullptr;
    if (owner && owner->IsKindOf(CSprite::SGetClassInfo()))
        target = static_cast<CSprite*>(owner);
    if (!m_TargetSprite.m_Name.IsEmpty() && m_TargetSprite.m_Name.CompareNoCase("this") != 0)
        target = FindFirstSprite(m_TargetSprite);
    if (!target) {
        out.SetText("");
        return;
    }
    EvaluateInto(m_VariableName, context, m_Name);
    GetVariable(target, m_Name.GetText(), out);
}

void CExpressionForeignVariable::GetDescription(CJString& out, const char* wordToRemove)
{
    CJString name;
    DescribeExpression(m_VariableName, name, wordToRemove);
    if (!DescribeForeign(m_TargetSprite, name, nullptr, out, wordToRemove))
        CExpression::GetDescription(out, wordToRemove);
}

OMBRISALT_SCRIPTING_CLASS(CSetLocalVariable, 1.0)
void CSetLocalVariable::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CSetLocalVariable::m_VariableName, "Variable Name", "");
    d.Add<CExpressionProperty>(&CSetLocalVariable::m_Value, "Value", nullptr).DefaultNumber(1.0f);
}

void CSetLocalVariable::Update(CPlugInUpdateRecord& record)
{
    record.done = true;
    if (!m_Sprite)
        return;
    CSpriteOnlyContext context(m_Sprite);
    CScriptValue value;
    EvaluateInto(m_Value, &context, value);
    SetVariable(*GetLocalVariables(m_Sprite, MissingSet::Create), m_VariableName, value);
}

void CSetLocalVariable::GetDescription(CJString& out, const char* wordToRemove)
{
    if (m_VariableName.IsEmpty())
        return CSpritePlugIn::GetDescription(out, wordToRemove);
    CJString value;
    DescribeExpression(m_Value, value, wordToRemove);
    out = "$";
    out.Append(m_VariableName);
    out.Append("=");
    out.Append(value);
}

OMBRISALT_SCRIPTING_CLASS(CSetForeignVariable, 1.0)
void CSetForeignVariable::DeclareProperties(CPropertyDeclarer& d)
{
    CExpressionScriptingText x;
    x.m_Text = "x";
    d.AddEmbedded(&CSetForeignVariable::m_TargetSprite, "Sprite");
    d.Add<CExpressionProperty>(&CSetForeignVariable::m_VariableName, "Variable Name", nullptr).DefaultObject(&x);
    d.Add<CExpressionProperty>(&CSetForeignVariable::m_Value, "Value", nullptr).DefaultNumber(1.0f);
}

void CSetForeignVariable::Update(CPlugInUpdateRecord& record)
{
    record.done = true;
    CSprite* target = FindFirstSprite(m_TargetSprite);
    if (!target)
        return;
    CSpriteOnlyContext context(m_Sprite);
    CScriptValue value;
    CScriptValue name;
    EvaluateInto(m_Value, &context, value);
    EvaluateInto(m_VariableName, &context, name);
    SetSpriteVariable(target, name.GetText(), value);
}

void CSetForeignVariable::GetDescription(CJString& out, const char* wordToRemove)
{
    CJString name;
    DescribeExpression(m_VariableName, name, wordToRemove);
    if (!DescribeForeign(m_TargetSprite, name, m_Value, out, wordToRemove))
        CSpritePlugIn::GetDescription(out, wordToRemove);
}

OMBRISALT_SCRIPTING_CLASS(CSetForeignVariableAction, 1.0)
void CSetForeignVariableAction::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddEmbedded(&CSetForeignVariableAction::m_TargetSprite, "Sprite");
    d.Add(&CSetForeignVariableAction::m_VariableName, "Variable Name", "");
    d.Add<CExpressionProperty>(&CSetForeignVariableAction::m_Value, "Value", nullptr).DefaultNumber(1.0f);
}

void CSetForeignVariableAction::Perform(CActionRecord& record)
{
    CSprite* target = FindFirstSprite(m_TargetSprite);
    if (!target)
        return;
    CSpriteOnlyContext context(record.sprite);
    CScriptValue value;
    EvaluateInto(m_Value, &context, value);
    SetSpriteVariable(target, m_VariableName, value);
    record.handled = true;
}

void CSetForeignVariableAction::GetDescription(CJString& out, const char* wordToRemove)
{
    if (!DescribeForeign(m_TargetSprite, m_VariableName, m_Value, out, wordToRemove))
        CAction::GetDescription(out, wordToRemove);
}

OMBRISALT_SCRIPTING_CLASS(CSpritePlugInLocalVariableOverTime, 1.0)
void CSpritePlugInLocalVariableOverTime::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CSpritePlugInLocalVariableOverTime;
    d.Add(&C::m_VariableName, "Variable Name", "");
    d.Add<CExpressionProperty>(&C::m_AmountToIncrement, "Amount To Increment", nullptr);
    d.Add(&C::m_SecondsToShift, "Seconds To Shift", 1.0f);
    d.Add(&C::m_SecondsShifting, "Debug/Seconds Shifting", 0.0f).Level(kLevelDebug);
}

void CSpritePlugInLocalVariableOverTime::Update(CPlugInUpdateRecord& record)
{
    if (!m_Sprite)
        return;
    m_SecondsShifting += record.seconds;
    float amount = 0.0f;
    if (m_AmountToIncrement) {
        CSpriteOnlyContext context(m_Sprite);
        amount = EvaluateExpressionAsFloat(m_AmountToIncrement, &context);
    }
    // A shift of no length lands at once instead of dividing by zero.
    const float t = m_SecondsToShift > 0.0f ? std::clamp(m_SecondsShifting / m_SecondsToShift, 0.0f, 1.0f) : 1.0f;
    CScriptValue value;
    value.SetFloat(m_StartValue.AsFloat() + amount * t);
    SetSpriteVariable(m_Sprite, m_VariableName, value);
    if (m_SecondsShifting >= m_SecondsToShift)
        record.done = true;
}

void RegisterSpriteVariableClasses()
{
    CLocalVariable::SGetClassInfo();
    CLocalVariables::SGetClassInfo();
    VariablesProperty();
    CExpressionLocalVariable::SGetClassInfo();
    CExpressionForeignVariable::SGetClassInfo();
    CSetLocalVariable::SGetClassInfo();
    CSetForeignVariable::SGetClassInfo();
    CSetForeignVariableAction::SGetClassInfo();
    CSpritePlugInLocalVariableOverTime::SGetClassInfo();
}
