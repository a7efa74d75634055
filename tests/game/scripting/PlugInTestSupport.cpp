#include "PlugInTestSupport.h"

#include "game/scripting/ScriptingClassBody.h"
#include "game/scripting/CScriptPosition.h"
#include "objects/CIntProperty.h"
#include "objects/CStringProperty.h"

OMBRISALT_SCRIPTING_CLASS(CCountingPlugIn, 1.0)
void CCountingPlugIn::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CCountingPlugIn::m_Name, "Name", "");
    d.Add(&CCountingPlugIn::m_DoneAfter, "Done After", 0u);
}

std::vector<std::string>& CCountingPlugIn::Log()
{
    static std::vector<std::string> log;
    return log;
}

void CCountingPlugIn::HandleMessage(CMessage& message)
{
    ++m_Messages;
    Log().push_back(std::string(m_Name.GetString()) + ":message");
    if (m_TakesMessages)
        message.SetHandled();
}

void CCountingPlugIn::Update(CPlugInUpdateRecord& record)
{
    m_SawDoneOnEntry = record.done;
    ++m_Updates;
    ++m_TotalUpdates;
    Log().push_back(std::string(m_Name.GetString()) + ":update");
    if (m_OnUpdate)
        m_OnUpdate(*this);
    if (m_DoneAfter != 0 && m_Updates >= m_DoneAfter)
        record.done = true;
}

void CCountingPlugIn::Restart(CPlugInUpdateRecord&)
{
    ++m_Restarts;
    m_Updates = 0;
    Log().push_back(std::string(m_Name.GetString()) + ":restart");
}

void CCountingPlugIn::Signal(uint8_t& flag)
{
    Log().push_back(std::string(m_Name.GetString()) + ":signal");
    if (m_SignalSets != 0)
        flag = m_SignalSets;
}

intptr_t CCountingPlugIn::Fold(intptr_t value, intptr_t argument)
{
    return value * 10 + argument;
}

CCountingPlugIn* Counting(const char* name, uint32_t doneAfter)
{
    auto* plugIn = new CCountingPlugIn();
    plugIn->m_Name = name;
    plugIn->m_DoneAfter = doneAfter;
    return plugIn;
}

void CCountingAction::Perform(CActionRecord& record)
{
    ++m_Performed;
    m_Sprites.push_back(record.sprite);
}

CScriptedSprite::CScriptedSprite(const char* name)
    : m_Block(new CSpritePlugInSimultaneous())
{
    SetName(name);
    m_Block->SetSprite(this);
}

CScriptedSprite::~CScriptedSprite()
{
    delete m_Block;
}

void CScriptedSprite::HandleMessage(CMessage& message)
{
    ++m_Messages;
    if (m_OnMessage)
        m_OnMessage(message);
    m_Block->HandleMessage(message);
}

void CFakePlayfieldHooks::FindSpritesByReference(const CScriptReferenceToTarget& reference, CArrayPOD<CSprite*>& out,
                                                 bool loose)
{
    m_LooseFlags.push_back(loose);
    for (CSprite* sprite : m_Sprites)
        if (reference.Matches(sprite, loose))
            out.Append(sprite);
}

void CFakePlayfieldHooks::BroadcastToCurrentPlayfield(CMessage& message)
{
    ++m_Broadcasts;
    for (CSprite* sprite : m_Sprites)
        sprite->HandleMessage(message);
}

bool CFakePlayfieldHooks::GetReferencePosition(const CScriptReferenceToTarget& reference, CFPoint& out, CSprite* own)
{
    if (reference.m_Name.IsNotEmpty())
        for (CSprite* sprite : m_Sprites)
            if (reference.Matches(sprite, false)) {
                out = sprite->GetPosition();
                return true;
            }
    if (own && reference.m_Name.CompareNoCase("this") == 0) {
        out = own->GetPosition();
        return true;
    }
    return false;
}

std::string Text(const CMessage& message)
{
    const char* name = GetMessageTypeName(message.GetType());
    return name ? name : "";
}
