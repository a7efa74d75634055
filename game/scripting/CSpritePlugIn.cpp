#include "game/scripting/CSpritePlugIn.h"

#include "game/scripting/CSprite.h"
#include "game/scripting/ScriptingClassBody.h"
#include "objects/CMessage.h"

CSpriteScriptContext::CSpriteScriptContext(CSprite* owner, CSpritePlugIn* asking)
    : sprite(owner)
{
    object = owner;
    chain.Append(asking);
}

OMBRISALT_SCRIPTING_ABSTRACT_CLASS(CSpritePlugIn, 1.0)
void CSpritePlugIn::DeclareProperties(CPropertyDeclarer&) {}

float CSpritePlugIn::EvaluateFloat(CExpression* expression)
{
    if (!expression)
        return 0.0f;
    CSpriteScriptContext context(m_Sprite, this);
    return EvaluateExpressionAsFloat(expression, &context);
}

void CSpritePlugIn::EvaluateText(CExpression* expression, CJString& out)
{
    out = "";
    if (!expression)
        return;
    CSpriteScriptContext context(m_Sprite, this);
    CScriptValue value;
    expression->Evaluate(&context, value);
    out = value.GetText();
}

OMBRISALT_SCRIPTING_ABSTRACT_CLASS(CSpritePlugInProxy, 1.0)
void CSpritePlugInProxy::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetCategory("Script");
}

void CSpritePlugInProxy::HandleMessage(CMessage& message)
{
    for (uint32_t i = 0; i < GetActiveChildCount(); ++i)
        if (CSpritePlugIn* child = GetActiveChild(i))
            child->HandleMessage(message);
}

void CSpritePlugInProxy::SetSprite(CSprite* sprite)
{
    m_Sprite = sprite;
    for (uint32_t i = 0; i < GetChildCount(); ++i)
        if (CSpritePlugIn* child = GetChild(i))
            child->SetSprite(sprite);
}

void CSpritePlugInProxy::Update(CPlugInUpdateRecord& record)
{
    bool anyDone = false;
    for (uint32_t i = 0; i < GetActiveChildCount(); ++i) {
        CSpritePlugIn* child = GetActiveChild(i);
        if (!child)
            continue;
        record.done = false;
        child->Update(record);
        anyDone = anyDone || record.done;
    }
    record.done = anyDone;
}

void CSpritePlugInProxy::Restart(CPlugInUpdateRecord& record)
{
    for (uint32_t i = 0; i < GetActiveChildCount(); ++i)
        if (CSpritePlugIn* child = GetActiveChild(i))
            child->Restart(record);
}

void CSpritePlugInProxy::Signal(uint8_t& flag)
{
    for (uint32_t i = 0; i < GetActiveChildCount(); ++i) {
        CSpritePlugIn* child = GetActiveChild(i);
        if (!child)
            continue;
        child->Signal(flag);
        if (flag != 0)
            return;
    }
}

void CSpritePlugInProxy::PreDraw(CPlugInDrawRecord& record)
{
    for (uint32_t i = 0; i < GetActiveChildCount(); ++i)
        if (CSpritePlugIn* child = GetActiveChild(i))
            child->PreDraw(record);
}

void CSpritePlugInProxy::Draw(CPlugInDrawRecord& record)
{
    for (uint32_t i = 0; i < GetActiveChildCount(); ++i)
        if (CSpritePlugIn* child = GetActiveChild(i))
            child->Draw(record);
}

void CSpritePlugInProxy::PostDraw(CPlugInDrawRecord& record)
{
    for (uint32_t i = 0; i < GetActiveChildCount(); ++i)
        if (CSpritePlugIn* child = GetActiveChild(i))
            child->PostDraw(record);
}

intptr_t CSpritePlugInProxy::Fold(intptr_t value, intptr_t argument)
{
    for (uint32_t i = 0; i < GetChildCount(); ++i)
        if (CSpritePlugIn* child = GetChild(i))
            value = child->Fold(value, argument);
    return value;
}

bool CSpritePlugIn::IsSpriteMarkedForDeletion() const
{
    return m_Sprite && m_Sprite->IsMarkedForDeletion();
}
