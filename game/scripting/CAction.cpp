#include "game/scripting/CAction.h"

#include "foundation/CPerformanceMonitor.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/ScriptingClassBody.h"
#include "game/scripting/ScriptingHooks.h"
#include "objects/CMessage.h"
#include "objects/CStringProperty.h"
#include "objects/CObjectProperty.h"

OMBRISALT_SCRIPTING_ABSTRACT_CLASS(CAction, 1.0)
void CAction::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetCategory("Miscellaneous");
}

void CAction::Execute(CActionRecord& record)
{
    static CPerformanceMonitor zone("Action_Execute");
    CPerformanceMonitorScope scope(zone);
    if (m_Depth >= kMaxActionDepth)
        return;
    ++m_Depth;
    Perform(record);
    --m_Depth;
}

OMBRISALT_SCRIPTING_CLASS(CActionSendMessage, 1.0)
void CActionSendMessage::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CActionSendMessage::m_Message, "Message", "");
    d.AddEmbedded(&CActionSendMessage::m_SpriteToSendTo, "Sprite To Send To");
}

void CActionSendMessage::Perform(CActionRecord& record)
{
    // A handler may delete a later target: that one is skipped.
    CWatchedSprites targets;
    if (m_SpriteToSendTo.m_Name.Compare("this") == 0)
        targets.GetList().Append(record.sprite);
    else
        GetScriptingHooks().FindSpritesByReference(m_SpriteToSendTo, targets.GetList(), false);
    targets.Watch();
    for (uint32_t i = 0; i < targets.GetCount(); ++i) {
        CSprite* target = targets.GetLive(i);
        if (!target)
            continue;
        CMessage message = CMessage::CMessageByName(m_Message.GetString());
        target->HandleMessage(message);
        if (message.IsHandled())
            record.handled = true;
    }
}

OMBRISALT_SCRIPTING_CLASS(CActionBroadcastMessage, 1.0)
void CActionBroadcastMessage::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CActionBroadcastMessage::m_Message, "Message", "");
}

void CActionBroadcastMessage::Perform(CActionRecord& record)
{
    CMessage message = CMessage::CMessageByName(m_Message.GetString());
    GetScriptingHooks().BroadcastToCurrentPlayfield(message);
    if (message.IsHandled())
        record.handled = true;
}
