#include "game/scripting/CSpritePlugInContainers.h"

#include "foundation/CRandomGenerator.h"
#include "foundation/CStaticContentsList.h"
#include "game/scripting/CAction.h"
#include "game/scripting/CScriptPosition.h"
#include "game/scripting/ScriptingClassBody.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CListProperty.h"
#include "objects/CMessage.h"
#include "objects/CPObjectProperty.h"

#include <algorithm>
#include <memory>

namespace {

uint32_t AdvanceMessageType()
{
    static const uint32_t type = CMessage::SGetMessageType("AdvanceToNextItemInSequence");
    return type;
}

uint32_t DestroyedMessageType()
{
    static const uint32_t type = CMessage::SGetMessageType("SpriteDestroyed");
    return type;
}

CCodeTableList& WhenDoneList()
{
    static const CCodeTableRow kRows[] = {
        {0, "Repeat Sequence", nullptr}, {1, "Stop", nullptr}, {0, nullptr, nullptr}};
    static CCodeTableList list(kRows);
    return list;
}

// Appends through the array property, so storage follows its rules.
void AppendChild(CObject* owner, const char* propertyName, CPlugInArray& array, CSpritePlugIn* child)
{
    auto* property = static_cast<CPropertyArrayProperty*>(owner->GetClassInfo()->FindProperty(propertyName));
    const uint32_t count = array.GetCount();
    property->ArrayProperty_SetCount(owner, count + 1);
    array[count] = child;
}

// The product of the speeds of the fast-forward blocks being updated.
uint32_t g_FastForwardFactor = 1;

} // namespace

OMBRISALT_SCRIPTING_CLASS(CSpritePlugInSequence, 1.0)
void CSpritePlugInSequence::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddArray<CTypedPObjectProperty<CSpritePlugIn>>(&CSpritePlugInSequence::m_PlugIns, "Steps", "Step", nullptr);
    d.Add(&CSpritePlugInSequence::m_CurrentStepIndex, "Current Step Index", 0u).Units("0 based").OmitWhenDefault();
    d.AddListReference(&CSpritePlugInSequence::m_WhenDone, "When Done", &WhenDoneList(), nullptr).OmitWhenDefault();
}

void CSpritePlugInSequence::AddStep(CSpritePlugIn* step)
{
    AppendChild(this, "Steps", m_PlugIns, step);
}

void CSpritePlugInSequence::Restart(CPlugInUpdateRecord& record)
{
    m_CurrentStepIndex = 0;
    CSpritePlugInProxy::Restart(record);
}

void CSpritePlugInSequence::Update(CPlugInUpdateRecord& record)
{
    CSpritePlugInProxy::Update(record);
    if (record.done) {
        record.done = false;
        AdvanceToNextStep();
    }
    if (m_CurrentStepIndex >= m_PlugIns.GetCount())
        record.done = true;
}

void CSpritePlugInSequence::AdvanceToNextStep()
{
    ++m_CurrentStepIndex;
    CPlugInUpdateRecord record;
    if (m_CurrentStepIndex >= m_PlugIns.GetCount() && m_WhenDone == int32_t(WhenDone::RepeatSequence))
        Restart(record);
    if (m_CurrentStepIndex < m_PlugIns.GetCount())
        if (CSpritePlugIn* step = m_PlugIns[m_CurrentStepIndex])
            step->Restart(record);
}

void CSpritePlugInSequence::HandleMessage(CMessage& message)
{
    CSpritePlugInProxy::HandleMessage(message);
    if (message.GetType() == AdvanceMessageType() && !message.IsHandled()) {
        AdvanceToNextStep();
        message.SetHandled();
    }
}

OMBRISALT_SCRIPTING_CLASS(CSpritePlugInRandomOrderSequence, 1.0)
void CSpritePlugInRandomOrderSequence::DeclareProperties(CPropertyDeclarer&) {}

void CSpritePlugInRandomOrderSequence::Restart(CPlugInUpdateRecord& record)
{
    CRandomGenerator& random = CRandomGenerator::Global();
    const uint32_t count = m_PlugIns.GetCount();
    for (uint32_t i = 0; i < count; ++i)
        std::swap(m_PlugIns[i], m_PlugIns[random.Next(count)]);
    CSpritePlugInSequence::Restart(record);
}

OMBRISALT_SCRIPTING_CLASS(CSpritePlugInSimultaneous, 1.0)
void CSpritePlugInSimultaneous::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddArray<CTypedPObjectProperty<CSpritePlugIn>>(&CSpritePlugInSimultaneous::m_PlugIns, "Simultaneous PlugIns",
                                                     "Simultaneous PlugIn", nullptr);
}

void CSpritePlugInSimultaneous::AddPlugIn(CSpritePlugIn* plugIn)
{
    AppendChild(this, "Simultaneous PlugIns", m_PlugIns, plugIn);
}

OMBRISALT_SCRIPTING_CLASS(CSpritePlugInFastForward, 1.0)
void CSpritePlugInFastForward::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CSpritePlugInFastForward::m_Speed, "Speed", 60u).Units("times nomral speed").Range(0, kMaxFastForwardSpeed);
}

void CSpritePlugInFastForward::Update(CPlugInUpdateRecord& record)
{
    uint32_t n = std::clamp(m_Speed, 1u, kMaxFastForwardSpeed);
    // Blocks inside blocks share one budget per step.
    n = std::min(n, std::max(1u, kMaxFastForwardSpeed / g_FastForwardFactor));
    const uint32_t outer = g_FastForwardFactor;
    g_FastForwardFactor = outer * n;
    for (uint32_t i = 0; i < n; ++i) {
        if (record.done)
            break;
        if (IsSpriteMarkedForDeletion()) {
            record.done = true;
            break;
        }
        CSpritePlugInSimultaneous::Update(record);
    }
    g_FastForwardFactor = outer;
}

OMBRISALT_SCRIPTING_CLASS(CSpritePlugInTriggerActionEveryXSeconds, 1.0)
void CSpritePlugInTriggerActionEveryXSeconds::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CSpritePlugInTriggerActionEveryXSeconds;
    d.GetClassInfo().SetCategory("Trigger Action");
    d.Add(&C::m_TimeToWait, "Time To Wait", 2.0f).Units("Seconds").Range(0.0f, 9999999.0f).SpinStep(0.1f);
    d.AddOwned(&C::m_Action, "Action");
    d.Add(&C::m_RepeatLimit, "Repeat Limit", 1u)
        .Range(1, 9999999)
        .SpecialValue(0, "Unlimited")
        .Description("This is how many times to trigger the action before signaling done (to a sequence/simultaneous "
                     "block)This repeat limit will also cause it to stop triggering if it is a root plug-in for a "
                     "brickIf this value is 0, it will never stop/signal done");
}

void CSpritePlugInTriggerActionEveryXSeconds::Restart(CPlugInUpdateRecord&)
{
    m_TimeLeft = m_TimeToWait;
    m_TriggersLeft = m_RepeatLimit;
    m_Finished = false;
}

void CSpritePlugInTriggerActionEveryXSeconds::Update(CPlugInUpdateRecord& record)
{
    if (!m_Finished) {
        m_TimeLeft -= kPlugInStepSeconds;
        if (m_TimeLeft <= 0.0f) {
            if (m_Action) {
                CActionRecord action{m_Sprite, false};
                m_Action->Execute(action);
            }
            if (m_TriggersLeft > 1 || m_RepeatLimit == 0) {
                m_TimeLeft = m_TimeToWait;
                --m_TriggersLeft;
            } else {
                m_Finished = true;
            }
        }
    }
    if (m_Finished)
        record.done = true;
}

OMBRISALT_SCRIPTING_CLASS(CSpritePlugInTriggerActionWhenDestroyed, 1.0)
void CSpritePlugInTriggerActionWhenDestroyed::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetCategory("Trigger Action");
    d.AddOwned(&CSpritePlugInTriggerActionWhenDestroyed::m_Action, "Action");
}

void CSpritePlugInTriggerActionWhenDestroyed::HandleMessage(CMessage& message)
{
    if (message.GetType() == DestroyedMessageType() && m_Action) {
        CActionRecord action{m_Sprite, false};
        m_Action->Execute(action);
    }
}

// Translators.
namespace {

CClassInfo* SequenceClass()
{
    return CSpritePlugInSequence::SGetClassInfo();
}
CClassInfo* RandomClass()
{
    return CSpritePlugInRandomOrderSequence::SGetClassInfo();
}
CClassInfo* SimultaneousClass()
{
    return CSpritePlugInSimultaneous::SGetClassInfo();
}

bool IsPlugIn(CObject* object)
{
    return object && object->IsKindOf(CSpritePlugIn::SGetClassInfo());
}

// A new container of the target class holding a copy of the source.
class CWrapTranslator : public CPlugInTranslator {
public:
    CWrapTranslator(CClassInfo* (*target)(), const char* pattern, bool (*accepts)(CObject*))
        : m_Target(target)
        , m_Pattern(pattern)
        , m_Accepts(accepts)
    {
    }
    CClassInfo* Offer(CObject* source, CJString& label) const override
    {
        if (!m_Accepts(source))
            return nullptr;
        CJString name = source->GetClassInfo()->GetName();
        name.ReplaceNoCase("SpritePlugin", "");
        label.Format(m_Pattern, name.GetString());
        return m_Target();
    }
    CObject* Translate(CObject* source) const override
    {
        if (!m_Accepts(source))
            return nullptr;
        auto* copy = static_cast<CSpritePlugIn*>(source->Clone());
        CObject* made = m_Target()->CreateObject(0, -1);
        if (auto* sequence = dynamic_cast<CSpritePlugInSequence*>(made))
            sequence->AddStep(copy);
        else
            static_cast<CSpritePlugInSimultaneous*>(made)->AddPlugIn(copy);
        return made;
    }

private:
    CClassInfo* (*m_Target)();
    const char* m_Pattern;
    bool (*m_Accepts)(CObject*);
};

// A container of another kind with the source's properties.
class CChangeTranslator : public CPlugInTranslator {
public:
    CChangeTranslator(CClassInfo* (*target)(), bool (*accepts)(CObject*))
        : m_Target(target)
        , m_Accepts(accepts)
    {
    }
    CClassInfo* Offer(CObject* source, CJString& label) const override
    {
        if (!m_Accepts(source))
            return nullptr;
        label = m_Target()->GetDisplayName();
        return m_Target();
    }
    CObject* Translate(CObject* source) const override
    {
        if (!m_Accepts(source))
            return nullptr;
        CObject* made = m_Target()->CreateObject(0, -1);
        made->ResetToDefaults();
        made->CopyFrom(source);
        return made;
    }

private:
    CClassInfo* (*m_Target)();
    bool (*m_Accepts)(CObject*);
};

bool IsKind(CObject* object, CClassInfo* info)
{
    return object && object->IsKindOf(info);
}

} // namespace

uint32_t GetPlugInTranslatorCount()
{
    return 6;
}

namespace {

CPlugInTranslator& PlugInTranslator(uint32_t index)
{
    static CWrapTranslator toSequence(&SequenceClass, "Sequence(%s, ...)", &IsPlugIn);
    static CWrapTranslator toSimultaneous(&SimultaneousClass, "Simultaneous(%s, ...)", [](CObject* o) {
        return IsPlugIn(o) && o->GetClassInfo() != SimultaneousClass();
    });
    static CChangeTranslator sequenceToRandom(&RandomClass, [](CObject* o) {
        return IsKind(o, SequenceClass()) && !IsKind(o, RandomClass());
    });
    static CChangeTranslator randomToSequence(&SequenceClass, [](CObject* o) { return IsKind(o, RandomClass()); });
    static CChangeTranslator simultaneousToSequence(&SequenceClass, [](CObject* o) {
        return IsKind(o, SimultaneousClass()) && !IsKind(o, SequenceClass());
    });
    static CChangeTranslator sequenceToSimultaneous(&SimultaneousClass, [](CObject* o) {
        return IsKind(o, SequenceClass()) && !IsKind(o, SimultaneousClass());
    });
    static CPlugInTranslator* const kAll[] = {&toSequence,       &toSimultaneous,         &sequenceToRandom,
                                              &randomToSequence, &simultaneousToSequence, &sequenceToSimultaneous};
    return *kAll[std::min(index, GetPlugInTranslatorCount() - 1)];
}

} // namespace

const CPlugInTranslator& GetPlugInTranslator(uint32_t index)
{
    return PlugInTranslator(index);
}

void RegisterPlugInClasses()
{
    for (uint32_t i = 0; i < GetPlugInTranslatorCount(); ++i)
        RegisterTranslator(PlugInTranslator(i));
    CScriptReferenceToTarget::SGetClassInfo();
    CScriptPosition::SGetClassInfo();
    CScriptPositionAbsolutePoint::SGetClassInfo();
    CClassInfo* named = CScriptPositionNamedObject::SGetClassInfo();
    if (!named->HasAlternateName("CScriptPositionNammedObject"))
        named->AddAlternateClassName("CScriptPositionNammedObject");
    CScriptPositionThisSprite::SGetClassInfo();
    CScriptPositionCalculatedPoint::SGetClassInfo();
    CAction::SGetClassInfo();
    CActionSendMessage::SGetClassInfo();
    CActionBroadcastMessage::SGetClassInfo();
    CSpritePlugIn::SGetClassInfo();
    CSpritePlugInProxy::SGetClassInfo();
    CSpritePlugInSequence::SGetClassInfo();
    CSpritePlugInRandomOrderSequence::SGetClassInfo();
    CSpritePlugInSimultaneous::SGetClassInfo();
    CSpritePlugInFastForward::SGetClassInfo();
    CSpritePlugInTriggerActionEveryXSeconds::SGetClassInfo();
    CSpritePlugInTriggerActionWhenDestroyed::SGetClassInfo();
}
