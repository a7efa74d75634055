#include "game/scripting/CFrameSelector.h"

#include "blit/CBlitTypeList.h"
#include "game/scripting/FrameSelectorMath.h"
#include "game/scripting/ScriptingClassBody.h"
#include "game/scripting/ScriptingHooks.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CListProperty.h"
#include "render/SurfaceHelpers.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"

namespace {

CFrame* FrameOf(CSequence* sequence, int32_t index)
{
    return sequence && index >= 0 ? sequence->GetFrame(uint32_t(index)) : nullptr;
}

LevelEditorOpenQuery g_LevelEditorOpen = nullptr;

CSequence* SequenceAt(int32_t index)
{
    CSequenceList& list = GetSequenceList();
    return index >= 0 && index < list.GetCount() ? list.GetObject(index) : nullptr;
}

void SequenceName(int32_t index, CJString& out)
{
    CSequenceList& list = GetSequenceList();
    out = index >= 0 && index < list.GetCount() ? list.GetItemName(index) : "";
}

} // namespace

bool IsLevelEditorOpen()
{
    return g_LevelEditorOpen && g_LevelEditorOpen();
}

LevelEditorOpenQuery SetLevelEditorOpenQuery(LevelEditorOpenQuery query)
{
    const LevelEditorOpenQuery previous = g_LevelEditorOpen;
    g_LevelEditorOpen = query;
    return previous;
}

OMBRISALT_SCRIPTING_ABSTRACT_CLASS(CFrameSelector, 1.0)
void CFrameSelector::DeclareProperties(CPropertyDeclarer&) {}

void CFrameSelector::Draw(CFrameInterface& destination, int32_t x, int32_t y, intptr_t argument)
{
    if (CFrame* frame = SelectFrame(argument))
        BlitAt(destination, *frame, x, y, GetNormalBlitType());
}

OMBRISALT_SCRIPTING_ABSTRACT_CLASS(CFrameSelectorFromSequence, 1.0)
void CFrameSelectorFromSequence::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddListReference(&CFrameSelectorFromSequence::m_Image, "Image", &GetSequenceList(), nullptr).DefaultWhenMissing();
}

CSequence* CFrameSelectorFromSequence::GetSequence()
{
    return SequenceAt(m_Image);
}

void CFrameSelectorFromSequence::GetImageName(CJString& out)
{
    SequenceName(m_Image, out);
}

void CFrameSelectorFromSequence::SetImageByName(const char* name)
{
    m_Image = GetSequenceList().Find(name);
}

void CFrameSelectorFromSequence::CopyFrom(CObject* other)
{
    CFrameSelector::CopyFrom(other);
    if (auto* still = dynamic_cast<CStillFrameSelector*>(other))
        m_Image = still->m_Image;
}

OMBRISALT_SCRIPTING_ABSTRACT_CLASS(CNonAnimatedFrameSelector, 1.0)
void CNonAnimatedFrameSelector::DeclareProperties(CPropertyDeclarer&) {}

OMBRISALT_SCRIPTING_CLASS(CLoopFrameSelector, 1.0)
void CLoopFrameSelector::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CLoopFrameSelector::m_Speed, "Speed", 1.0f).Range(-999.0f, 9999.0f).SpinStep(0.05f);
    d.Add(&CLoopFrameSelector::m_StartFrame, "Start Frame", 0.0f).Range(0.0f, 9999.0f).SpinStep(1.0f);
}

CFrame* CLoopFrameSelector::SelectFrame(intptr_t)
{
    CSequence* sequence = GetSequence();
    if (!sequence)
        return nullptr;
    if (IsLevelEditorOpen())
        return sequence->GetCurrentFrame();
    return FrameOf(sequence, LoopFrame(m_StartFrame, sequence->GetFrameCount()));
}

void CLoopFrameSelector::Update(CSelectorUpdate& record)
{
    CSequence* sequence = GetSequence();
    if (!sequence)
        return;
    CSelectorMotion motion{m_StartFrame, m_Speed, record.wrapped};
    AdvanceLoop(motion, record.seconds, sequence->GetFramesPerSecond(), sequence->GetFrameCount());
    m_StartFrame = motion.position;
    record.wrapped = motion.wrapped;
}

OMBRISALT_SCRIPTING_CLASS(CPingPongFrameSelector, 1.0)
void CPingPongFrameSelector::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CPingPongFrameSelector::m_Speed, "Speed", 1.0f).Range(-999.0f, 9999.0f).SpinStep(0.05f);
    d.Add(&CPingPongFrameSelector::m_StartFrame, "Start Frame", 0.0f).Range(0.0f, 9999.0f).SpinStep(1.0f);
    d.Add(&CPingPongFrameSelector::m_EaseInOut, "Ease InOut", 30.0f)
        .Units("%")
        .Range(0.0f, 100.0f)
        .SpinStep(1.0f)
        .OmitWhenDefault()
        .Description("The Ease In/Out % defines what percent of the time the "
                     "animation is accelerating and "
                     "decelerating.");
}

CFrame* CPingPongFrameSelector::SelectFrame(intptr_t)
{
    CSequence* sequence = GetSequence();
    if (!sequence)
        return nullptr;
    return FrameOf(sequence, PingPongFrame(m_StartFrame, m_EaseInOut, sequence->GetFrameCount()));
}

void CPingPongFrameSelector::Update(CSelectorUpdate& record)
{
    CSequence* sequence = GetSequence();
    if (!sequence)
        return;
    CSelectorMotion motion{m_StartFrame, m_Speed, record.wrapped};
    AdvancePingPong(motion, record.seconds, sequence->GetFramesPerSecond(), sequence->GetFrameCount());
    m_StartFrame = motion.position;
    m_Speed = motion.speed;
    record.wrapped = motion.wrapped;
}

OMBRISALT_SCRIPTING_CLASS(CFrameFrameSelector, 1.0)
void CFrameFrameSelector::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddListReference(&CFrameFrameSelector::m_Frame, "Frame", &GetFrameLibrary(), nullptr).DefaultWhenMissing();
}

CFrame* CFrameFrameSelector::SelectFrame(intptr_t)
{
    CFrameList& list = GetFrameLibrary();
    return m_Frame >= 0 && m_Frame < list.GetCount() ? list.GetObject(m_Frame) : nullptr;
}

void CFrameFrameSelector::GetImageName(CJString& out)
{
    CFrameList& list = GetFrameLibrary();
    out = m_Frame >= 0 && m_Frame < list.GetCount() ? list.GetItemName(m_Frame) : "";
}

void CFrameFrameSelector::SetImageByName(const char* name)
{
    m_Frame = GetFrameLibrary().Find(name);
}

OMBRISALT_SCRIPTING_CLASS(CStillFrameSelector, 1.0)
void CStillFrameSelector::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddListReference(&CStillFrameSelector::m_Image, "Image", &GetSequenceList(), nullptr).DefaultWhenMissing();
    d.Add(&CStillFrameSelector::m_Frame, "Frame", 0u);
}

CSequence* CStillFrameSelector::GetSequence()
{
    return SequenceAt(m_Image);
}

CFrame* CStillFrameSelector::SelectFrame(intptr_t)
{
    CSequence* sequence = GetSequence();
    return sequence ? FrameOf(sequence, StillFrame(m_Frame, sequence->GetFrameCount())) : nullptr;
}

void CStillFrameSelector::GetImageName(CJString& out)
{
    SequenceName(m_Image, out);
}

void CStillFrameSelector::SetImageByName(const char* name)
{
    m_Image = GetSequenceList().Find(name);
}

void CStillFrameSelector::CopyFrom(CObject* other)
{
    CNonAnimatedFrameSelector::CopyFrom(other);
    if (auto* animated = dynamic_cast<CFrameSelectorFromSequence*>(other))
        m_Image = animated->m_Image;
}
