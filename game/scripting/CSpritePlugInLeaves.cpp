#include "game/scripting/CSpritePlugInLeaves.h"

#include "blit/CColor.h"
#include "foundation/CStaticContentsList.h"
#include "foundation/SaturatingArithmetic.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/CSpriteAI.h"
#include "game/scripting/CSpritePlugInPrint.h"
#include "game/scripting/CTextExpressions.h"
#include "game/scripting/NoneEntries.h"
#include "game/scripting/ScriptingClassBody.h"
#include "game/scripting/ScriptingHooks.h"
#include "images/CFrame.h"
#include "objects/CBoolProperty.h"
#include "objects/CClassInfo.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CListProperty.h"
#include "objects/CMessage.h"
#include "objects/CPointProperty.h"
#include "objects/CStringProperty.h"
#include "render/CBlitXParams.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr const char* kPlayOnceAIClass = "CPlayAnimationOnceSpriteAI";

// Null for none and for references past the list.

CCodeTableList& DrawTypeList()
{
    static const CCodeTableRow kRows[] = {
        {0, "Draw Default", nullptr}, {1, "Pre Draw", nullptr}, {2, "Post Draw", nullptr}, {0, nullptr, nullptr}};
    static CCodeTableList list(kRows);
    return list;
}

CCodeTableList& EvaluateConditionList()
{
    static const CCodeTableRow kRows[] = {
        {0, "Every Time", nullptr}, {1, "Only At Beginning", nullptr}, {0, nullptr, nullptr}};
    static CCodeTableList list(kRows);
    return list;
}

bool EvaluateTruth(CExpression* condition, CSprite* sprite, CSpritePlugIn* asking)
{
    if (!condition)
        return false;
    CSpriteScriptContext context(sprite, asking);
    CScriptValue value;
    condition->Evaluate(&context, value);
    return value.AsBoolean();
}

// The sprite's position plus offset, in the coordinates of the layer that
// holds the sprite; the offset alone without a sprite.
CFPoint SpawnPoint(CSprite* sprite, const CFPoint& offset)
{
    if (!sprite)
        return offset;
    const CFPoint& at = sprite->GetPosition();
    return GetScriptingHooks().ScreenToLayerOfSprite(sprite, CFPoint{at.x + offset.x, at.y + offset.y});
}

// The float's whole part as decimal text; out-of-range values as 0.
CJString TruncatedText(float value)
{
    CJString text;
    const bool fits = value > -2147483648.0f && value < 2147483648.0f;
    text.Format("%d", fits ? int32_t(value) : 0);
    return text;
}

void PrintNextToSprite(CPrintPlugIn& display, const CJString& text, CPlugInDrawRecord& draw, CSprite* sprite)
{
    CPrintRecord print;
    print.text = text;
    print.destination = draw.destination;
    print.x = sprite->GetPosition().x;
    print.y = sprite->GetPosition().y;
    print.argument = reinterpret_cast<intptr_t>(sprite);
    display.Print(print);
}

} // namespace

// --- Wait X seconds ---

OMBRISALT_SCRIPTING_CLASS(CSpritePlugInWaitXSeconds, 1.0)
void CSpritePlugInWaitXSeconds::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add<CExpressionProperty>(&CSpritePlugInWaitXSeconds::m_TimeToWait, "Time To Wait", nullptr)
        .DefaultNumber(2.0f)
        .Units("Seconds");
    d.AddOwned(&CSpritePlugInWaitXSeconds::m_CountdownDisplay, "Countdown Display")
        .DefaultClass(CPrintPlugInNone::SGetClassInfo())
        .Inline(InlineMode::Always);
}

void CSpritePlugInWaitXSeconds::Restart(CPlugInUpdateRecord&)
{
    m_TimeLeft = EvaluateFloat(m_TimeToWait);
}

void CSpritePlugInWaitXSeconds::Update(CPlugInUpdateRecord& record)
{
    m_TimeLeft -= kPlugInStepSeconds;
    if (m_TimeLeft <= 0.0f)
        record.done = true;
    if (m_CountdownDisplay) {
        CSpriteUpdateRecord display{m_Sprite, record.seconds};
        m_CountdownDisplay->Update(display);
    }
}

void CSpritePlugInWaitXSeconds::Draw(CPlugInDrawRecord& record)
{
    if (!m_CountdownDisplay || !m_Sprite)
        return;
    const float seconds = IsLevelEditorOpen() ? EvaluateFloat(m_TimeToWait) : m_TimeLeft + 0.999f;
    PrintNextToSprite(*m_CountdownDisplay, TruncatedText(seconds), record, m_Sprite);
}

void CSpritePlugInWaitXSeconds::GetDescription(CJString& out, const char*)
{
    out = "Wait X Seconds";
    if (!m_TimeToWait)
        return;
    CJString seconds;
    DescribeExpression(m_TimeToWait, seconds, nullptr);
    out.Replace("X", seconds.GetString());
}

// --- Wait for a message ---

OMBRISALT_SCRIPTING_CLASS(CSpritePlugInWaitForMessage, 1.0)
void CSpritePlugInWaitForMessage::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CSpritePlugInWaitForMessage::m_MessageToWaitFor, "Message To Wait For", "");
}

void CSpritePlugInWaitForMessage::Restart(CPlugInUpdateRecord&)
{
    m_Received = false;
    m_MessageType = CMessage::SGetMessageType(m_MessageToWaitFor.GetString());
}

void CSpritePlugInWaitForMessage::HandleMessage(CMessage& message)
{
    if (message.GetType() == m_MessageType) {
        m_Received = true;
        message.SetHandled();
    }
}

void CSpritePlugInWaitForMessage::Update(CPlugInUpdateRecord& record)
{
    if (m_Received)
        record.done = true;
}

// --- Wait for a condition ---

OMBRISALT_SCRIPTING_CLASS(CSpritePlugInWaitForExpression, 1.0)
void CSpritePlugInWaitForExpression::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add<CExpressionProperty>(&CSpritePlugInWaitForExpression::m_Condition, "Condition", nullptr);
}

void CSpritePlugInWaitForExpression::Update(CPlugInUpdateRecord& record)
{
    if (EvaluateTruth(m_Condition, m_Sprite, this))
        record.done = true;
}

// --- Play audio ---

OMBRISALT_SCRIPTING_CLASS(CSpritePlugInPlayAudio, 1.0)
void CSpritePlugInPlayAudio::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddListReference(&CSpritePlugInPlayAudio::m_SoundFX, "Sound FX", &GetAudioList(), nullptr);
}

void CSpritePlugInPlayAudio::Update(CPlugInUpdateRecord& record)
{
    GetAudioList().PlayAudioByIndex(m_SoundFX, CAudioPlaySettings());
    record.done = true;
}

// --- Spawn a sprite ---

OMBRISALT_SCRIPTING_CLASS(CSpritePlugInSpawnSprite, 1.0)
void CSpritePlugInSpawnSprite::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CSpritePlugInSpawnSprite;
    d.AddOwned(&C::m_SpriteAI, "Sprite AI");
    d.Add(&C::m_Position, "Position", CPoint{0, 0});
    d.Add(&C::m_SpriteCentricPosition, "Sprite Centric Position", true);
    d.Add(&C::m_LayerName, "Layer Name", "");
}

void CSpritePlugInSpawnSprite::Update(CPlugInUpdateRecord& record)
{
    record.done = true;
    if (!m_SpriteAI)
        return;
    auto* spawned = new CSprite();
    spawned->AddAI(static_cast<CSpriteAI*>(m_SpriteAI->Clone()));
    CPoint at = m_Position;
    if (m_SpriteCentricPosition && m_Sprite) {
        const CFPoint own = GetScriptingHooks().ScreenToLayerOfSprite(m_Sprite, m_Sprite->GetPosition());
        at.x = SaturatingAdd(at.x, TruncateToInt32(own.x));
        at.y = SaturatingAdd(at.y, TruncateToInt32(own.y));
    }
    spawned->RestartPlugIns();
    spawned->SetPosition(float(at.x), float(at.y));
    if (!GetScriptingHooks().AddSpriteToLayer(spawned, m_LayerName.GetString(), LayerEnd::Back))
        delete spawned;
}

// --- Spawn an animation ---

OMBRISALT_SCRIPTING_CLASS(CSpritePlugInSpawnAnimation, 1.0)
void CSpritePlugInSpawnAnimation::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CSpritePlugInSpawnAnimation;
    d.AddListReference(&C::m_Sequence, "Sequence", &GetSequenceList(), nullptr).DefaultWhenMissing();
    d.Add(&C::m_PositionOffset, "Posiiton Offset", CFPoint{0.0f, 0.0f});
    d.Add(&C::m_LayerName, "Layer Name", "Effects");
}

void CSpritePlugInSpawnAnimation::Update(CPlugInUpdateRecord& record)
{
    record.done = true;
    // The one-shot AI belongs to the game world, which registers it; without
    // it nothing would ever end the spawned sprite.
    CObject* made = CClassInfoList::SGetInstance().CreateObjectByName(kPlayOnceAIClass, 0, -1,
                                                                      ReportUnknownClass::Quiet);
    auto* ai = dynamic_cast<CSpriteAI*>(made);
    if (!ai) {
        delete made;
        return;
    }
    const CFPoint at = SpawnPoint(m_Sprite, m_PositionOffset);
    auto* spawned = new CSprite();
    spawned->AddAI(ai);
    spawned->SetPosition(at.x, at.y);
    spawned->SetImageSequence(uint32_t(m_Sequence > 0 ? m_Sequence : 0));
    if (CSequence* sequence = SequenceUnlessNone(m_Sequence))
        spawned->SetBlitType(&sequence->GetBlitType());
    if (!GetScriptingHooks().AddSpriteToLayer(spawned, m_LayerName.GetString(), LayerEnd::Front))
        delete spawned;
}

// --- Spawn a floating text ---

OMBRISALT_SCRIPTING_CLASS(CSpritePlugInSpawnFloatingText, 1.0)
void CSpritePlugInSpawnFloatingText::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CSpritePlugInSpawnFloatingText;
    d.Add<CExpressionProperty>(&C::m_Message, "Message", nullptr)
        .DefaultClass(CExpressionDisplayableText::SGetClassInfo());
    d.Add(&C::m_PositionOffset, "Posiiton Offset", CFPoint{0.0f, 0.0f});
}

void CSpritePlugInSpawnFloatingText::Update(CPlugInUpdateRecord& record)
{
    const CFPoint at = SpawnPoint(m_Sprite, m_PositionOffset);
    CJString text;
    EvaluateText(m_Message, text);
    GetScriptingHooks().SpawnPowerUpText(at, text);
    record.done = true;
}

// --- Broadcast a message ---

OMBRISALT_SCRIPTING_CLASS(CBroadcastMessageSpritePlugIn, 1.0)
void CBroadcastMessageSpritePlugIn::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CBroadcastMessageSpritePlugIn::m_MessageToSend, "Message To Send", "");
}

void CBroadcastMessageSpritePlugIn::Update(CPlugInUpdateRecord& record)
{
    CScriptingHooks& hooks = GetScriptingHooks();
    CMessage toLevel = CMessage::CMessageByName(m_MessageToSend.GetString());
    hooks.SendToCurrentLevel(toLevel);
    // A fresh message: what the level handled does not hold the playfield back.
    CMessage toPlayfield = CMessage::CMessageByName(m_MessageToSend.GetString());
    hooks.BroadcastToCurrentPlayfield(toPlayfield);
    record.done = true;
}

// --- Delete self ---

OMBRISALT_SCRIPTING_CLASS(CSpritePlugInDeleteSelf, 1.0)
void CSpritePlugInDeleteSelf::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetCategory("Script");
    d.GetClassInfo().SetDescription(
        "This plug-in is most useful when used in a sequence. It will delete the sprite it is plugged into without "
        "doing whatever is supposed to happen when the sprite is destroyed. e.g. A power-up brick will NOT spawn a "
        "power-up if it is deleted.  Use the \"Destroy Self\" plug-in to if you want a brick to do its destroyed "
        "behavior.");
}

void CSpritePlugInDeleteSelf::Update(CPlugInUpdateRecord& record)
{
    if (m_Sprite)
        m_Sprite->MarkForDeletion();
    record.done = true;
}

// --- Play a sequence over the sprite ---

OMBRISALT_SCRIPTING_CLASS(CSpritePlugInPlaySequence, 1.0)
void CSpritePlugInPlaySequence::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CSpritePlugInPlaySequence;
    d.AddListReference(&C::m_Sequence, "Sequence", &GetSequenceList(), nullptr).DefaultWhenMissing();
    d.Add(&C::m_TimeToDisplay, "Time To Display", 1.0f);
    d.AddListReference(&C::m_DrawType, "Draw Type", &DrawTypeList(), nullptr);
    d.Add(&C::m_Offset, "Offset", CPoint{0, 0});
    d.Add(&C::m_TimeDisplaying, "Debug/Time Displaying", 0.0f).Level(kLevelDebug);
}

void CSpritePlugInPlaySequence::Restart(CPlugInUpdateRecord&)
{
    m_TimeDisplaying = 0.0f;
}

void CSpritePlugInPlaySequence::Update(CPlugInUpdateRecord& record)
{
    m_TimeDisplaying += record.seconds;
    if (m_TimeToDisplay > 0.0f) {
        if (m_TimeDisplaying >= m_TimeToDisplay)
            record.done = true;
        return;
    }
    // One play of the sequence; a missing one counts as no frames.
    CSequence* sequence = SequenceUnlessNone(m_Sequence);
    const uint32_t count = sequence ? sequence->GetFrameCount() : 0;
    const float rate = sequence ? sequence->GetFramesPerSecond() : 0.0f;
    if (float(count) <= std::trunc(rate * m_TimeDisplaying))
        record.done = true;
}

void CSpritePlugInPlaySequence::DrawFrame(CPlugInDrawRecord& record)
{
    CSequence* sequence = SequenceUnlessNone(m_Sequence);
    if (!sequence || !record.spriteFrame)
        return;
    const uint32_t count = sequence->GetFrameCount();
    // Nothing to show rather than a division by zero.
    if (count == 0)
        return;
    const float position = std::trunc(sequence->GetFramesPerSecond() * m_TimeDisplaying);
    if (!(position >= 0.0f) || position >= 4294967296.0f)
        return;
    CFrame* frame = sequence->GetFrame(uint32_t(position) % count);
    if (!frame)
        return;
    static const CColor kShared{255, 255, 255, 255};
    CBlitXParams params(frame, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, kShared, CBlitXParams::kFiltered, 0.0f, 0.0f, true);
    record.spriteFrame->Render(params);
}

void CSpritePlugInPlaySequence::PreDraw(CPlugInDrawRecord& record)
{
    if (m_DrawType == int32_t(PlugInDrawPass::Pre))
        DrawFrame(record);
}

void CSpritePlugInPlaySequence::Draw(CPlugInDrawRecord& record)
{
    if (m_DrawType == int32_t(PlugInDrawPass::Default))
        DrawFrame(record);
}

void CSpritePlugInPlaySequence::PostDraw(CPlugInDrawRecord& record)
{
    if (m_DrawType == int32_t(PlugInDrawPass::Post))
        DrawFrame(record);
}

// --- Opacity over time ---

OMBRISALT_SCRIPTING_CLASS(CSpritePlugInOpacityOverTime, 1.0)
void CSpritePlugInOpacityOverTime::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CSpritePlugInOpacityOverTime;
    d.AddArray<CFloatProperty>(&C::m_Opacities, "Opacities List", "Opacities", 0.0f);
    d.Add(&C::m_SecondsToShift, "Seconds To Shift", 1.0f);
    d.Add(&C::m_SecondsShifting, "Debug/Seconds Shifting", 0.0f).Level(kLevelDebug);
}

void CSpritePlugInOpacityOverTime::Update(CPlugInUpdateRecord& record)
{
    const uint32_t count = m_Opacities.GetCount();
    if (count == 0) {
        record.done = true;
        return;
    }
    m_SecondsShifting += record.seconds;
    float t = m_SecondsShifting / m_SecondsToShift;
    // No time to shift and none elapsed (0 / 0): at the end already.
    if (std::isnan(t))
        t = 1.0f;
    t = std::clamp(t, 0.0f, 1.0f);
    const float p = float(count - 1) * t;
    const float i = std::floor(p);
    float opacity;
    if (i >= float(count - 1)) {
        opacity = m_Opacities[count - 1];
        record.done = true;
    } else {
        const auto k = uint32_t(i);
        opacity = m_Opacities[k] + (p - i) * (m_Opacities[k + 1] - m_Opacities[k]);
    }
    if (m_Sprite)
        m_Sprite->SetOpacity(opacity);
}

// --- Display a value ---

OMBRISALT_SCRIPTING_CLASS(CSpritePlugInDisplayValue, 1.0)
void CSpritePlugInDisplayValue::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add<CExpressionProperty>(&CSpritePlugInDisplayValue::m_Value, "Value", nullptr);
    d.AddOwned(&CSpritePlugInDisplayValue::m_Display, "Display")
        .DefaultClass(CPrintPlugInPrintFont::SGetClassInfo())
        .Inline(InlineMode::Always);
}

void CSpritePlugInDisplayValue::Draw(CPlugInDrawRecord& record)
{
    if (!m_Display || !m_Sprite || !m_Value)
        return;
    CJString text;
    EvaluateText(m_Value, text);
    PrintNextToSprite(*m_Display, text, record, m_Sprite);
}

// --- Expression tester ---

OMBRISALT_SCRIPTING_CLASS(CSpritePlugInExpressionTester, 1.0)
void CSpritePlugInExpressionTester::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CSpritePlugInExpressionTester;
    d.GetClassInfo().SetCategory("Debug");
    d.AddArray<CExpressionProperty>(&C::m_Expressions, "Expressions", "Expression", nullptr);
    d.Add(&C::m_ShowExpression, "Show Expression", true);
}

// --- If ---

OMBRISALT_SCRIPTING_CLASS(CSpritePlugInIf, 1.0)
void CSpritePlugInIf::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CSpritePlugInIf;
    d.Add<CExpressionProperty>(&C::m_Condition, "Condition", nullptr);
    d.AddListReference(&C::m_EvaluateCondition, "Evaluate Condition", &EvaluateConditionList(), nullptr)
        .Description("If set to Every Time, the condition will be evaluated constantly. If set to Only At Beginning, "
                     "the condition will be evaluated once and then again if the plugin is restarted.");
    d.AddOwned(&C::m_Then, "Then");
    d.AddOwned(&C::m_Else, "Else");
    d.Add(&C::m_RestartWhenConditionChanges, "Restart When Condition Changes", true);
}

void CSpritePlugInIf::Update(CPlugInUpdateRecord& record)
{
    if (!(m_EvaluateCondition == int32_t(EvaluateCondition::OnlyAtBeginning) && m_Evaluated)) {
        const bool value = EvaluateTruth(m_Condition, m_Sprite, this);
        if (value != m_Result) {
            m_Result = value;
            if (m_RestartWhenConditionChanges)
                if (CSpritePlugIn* taken = GetActiveChild(0)) {
                    CPlugInUpdateRecord restart;
                    taken->Restart(restart);
                }
        }
        m_Evaluated = true;
    }
    if (!GetActiveChild(0)) {
        record.done = true;
        return;
    }
    CSpritePlugInProxy::Update(record);
}

void CSpritePlugInIf::Restart(CPlugInUpdateRecord& record)
{
    m_Evaluated = false;
    if (m_RestartWhenConditionChanges) {
        if (CSpritePlugIn* taken = GetActiveChild(0))
            taken->Restart(record);
        return;
    }
    if (m_Then)
        m_Then->Restart(record);
    if (m_Else)
        m_Else->Restart(record);
}

void RegisterLeafPlugInClasses()
{
    CClassInfo* wait = CSpritePlugInWaitXSeconds::SGetClassInfo();
    if (!wait->HasAlternateName("CSpritePlugInWait"))
        wait->AddAlternateClassName("CSpritePlugInWait");
    CSpritePlugInWaitForMessage::SGetClassInfo();
    CSpritePlugInWaitForExpression::SGetClassInfo();
    CSpritePlugInPlayAudio::SGetClassInfo();
    CSpritePlugInSpawnSprite::SGetClassInfo();
    CSpritePlugInSpawnAnimation::SGetClassInfo();
    CSpritePlugInSpawnFloatingText::SGetClassInfo();
    CBroadcastMessageSpritePlugIn::SGetClassInfo();
    CSpritePlugInDeleteSelf::SGetClassInfo();
    CSpritePlugInPlaySequence::SGetClassInfo();
    CSpritePlugInOpacityOverTime::SGetClassInfo();
    CSpritePlugInDisplayValue::SGetClassInfo();
    CSpritePlugInExpressionTester::SGetClassInfo();
    CSpritePlugInIf::SGetClassInfo();
}
