#include "game/business/CThreeInARowCounter.h"

#include "blit/CColor.h"
#include "blit/CFrameInterface.h"
#include "foundation/CRect.h"
#include "foundation/MathHelpers.h"
#include "foundation/SaturatingArithmetic.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/NoneEntries.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CPlayfield.h"
#include "game/world/CTypedCommands.h"
#include "objects/CBoolProperty.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CListProperty.h"
#include "objects/CMessage.h"
#include "objects/CPointProperty.h"
#include "overlays/CFrameOverlay.h"
#include "render/CScaledOffsetProxyFrame.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "sound/CMusicPlayer.h"

#include <algorithm>
#include <cmath>

OMBRISALT_IMPLEMENT_CLASS(CThreeInARowCounter, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CThreeInARowCounterOptions, 1.0)

void CThreeInARowCounterOptions::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CThreeInARowCounterOptions;
    CVirtualArray* sequences = &GetSequenceList();
    d.Add(&C::m_SecondsBonusLasts, "Seconds Bonus Lasts", 5.0f);
    d.Add(&C::m_MaximumBonusTime, "Maximum Bonus Time", 20.0f).Units("seconds");
    d.Add(&C::m_FractionPerClickWithoutBonus, "Fraction Per Click Without Bonus", 0.01f);
    d.Add(&C::m_FractionPerClickWithBonus, "Fraction Per Click With Bonus", 0.25f);
    d.AddListReference<CDataReferenceProperty>(&C::m_MeterUnderlaySequence, "Meter Underlay Sequence", sequences, nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_MeterArrowSequence, "Meter Arrow Sequence", sequences, nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_MeterOverlaySequence, "Meter Overlay Sequence", sequences, nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_MeterOverlay2Sequence, "Meter Overlay2 Sequence", sequences,
                                               "Mega Click Effect");
    d.Add(&C::m_Pos, "Pos", CFPoint{0.0f, 0.0f});
    d.Add(&C::m_Pos2, "Pos2", CFPoint{0.0f, 0.0f});
    d.Add(&C::m_Scale, "Scale", 1.0f);
    d.Add(&C::m_MouseScale, "Mouse Scale", 1.0f);
    d.Add(&C::m_DrawBehindMouse, "Draw Behind Mouse", true);
    d.AddListReference<CDataReferenceProperty>(&C::m_PowerUpSong, "Power Up Song", &GetSongList(), nullptr);
    d.Add(&C::m_DelayBeforeCountdown, "End Of Level/Delay Before Countdown", 1.0f);
    d.Add(&C::m_DelayBeforeCountdownEnds, "End Of Level/Delay Before End Of Level Countdown Ends", 0.5f);
    d.Add(&C::m_CountdownMultiplier, "End Of Level/Countdown Multiplier", 10.0f).Range(1.0, 99.0);
    d.Add(&C::m_PercentOfAverageLot, "End Of Level/Percent Of Average Lot", 4u).Units("Percent/Second").Range(0, 100);
    d.AddListReference<CDataReferenceProperty>(&C::m_RepeatingAudio, "End Of Level/Repeating Audio", &GetAudioList(),
                                               nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_EndOfLevelFrameOverlay, "End Of Level/End Of Level Frame Overlay",
                                               &GetFrameOverlayOptionsList(), "Three In A Row End Of Level Overlay");
    d.AddListReference<CDataReferenceProperty>(&C::m_CursorSequence, "Cursor/Cursor Sequence", sequences,
                                               "Mouse Cursor_Green Glow");
    d.AddListReference<CDataReferenceProperty>(&C::m_ParticleSequence, "Cursor/Particle Sequence", sequences,
                                               "CursorPowerUp");
    d.Add(&C::m_SecondsBetweenParticles, "Cursor/Seconds Between Particles", 0.05f);
    d.Add(&C::m_ParticleSpawnRadius, "Cursor/Particle Spawn Radius", 20.0f).Units("pixels");
}

CThreeInARowCounterOptions::CThreeInARowCounterOptions()
{
    InitDeclaredProperties();
}

CThreeInARowCounterOptions::~CThreeInARowCounterOptions()
{
    DestroyDeclaredProperties();
}

CThreeInARowCounterOptions& GetThreeInARowOptions()
{
    return GetGeneralObjectAs<CThreeInARowCounterOptions>("Three In A Row Options");
}

CThreeInARowCounterOptions* FindThreeInARowOptions()
{
    if (GetGeneralObjects().Find("Three In A Row Options") < 0)
        return nullptr;
    return &GetThreeInARowOptions();
}

namespace {

CThreeInARowCounter* g_CurrentCounter = nullptr;

void Broadcast(const char* name)
{
    if (CPlayfield* playfield = GetCurrentPlayfield()) {
        CMessage message = CMessage::CMessageByName(name);
        playfield->BroadcastMessage(message);
    }
}

void DrawSequence(int32_t index, CFrameInterface& target, CFPoint at)
{
    if (CSequence* sequence = SequenceUnlessNone(index))
        sequence->DrawCurrentFrame(target, ClampToInt32(std::lround(at.x)), ClampToInt32(std::lround(at.y)));
}

} // namespace

void CThreeInARowCounter::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CThreeInARowCounter::m_SecondsBonusLeft, "Num Seconds Bonus Left", 0.0f);
}

CThreeInARowCounter::CThreeInARowCounter()
{
    InitDeclaredProperties();
    // A copy (the level editor's undo snapshots clone the played street)
    // must not take the running counter's place: it is never updated, so a
    // pay-out started on it would never end.
    if (!g_CurrentCounter)
        g_CurrentCounter = this;
}

CThreeInARowCounter::~CThreeInARowCounter()
{
    if (g_CurrentCounter == this)
        g_CurrentCounter = nullptr;
    DestroyDeclaredProperties();
}

CThreeInARowCounter* GetThreeInARowCounter()
{
    return g_CurrentCounter;
}

void CThreeInARowCounter::CountDown(float seconds)
{
    const CThreeInARowCounterOptions& options = GetThreeInARowOptions();
    const float step = options.m_CountdownMultiplier * seconds;
    m_SecondsBonusLeft = std::max(m_SecondsBonusLeft - step, 0.0f);
    if (CGameState* state = CGameState::SGetCurrent()) {
        const float perSecond =
            RoundToDecimals(state->GetAverageBuildingValue() * float(options.m_PercentOfAverageLot) / 100.0f, 3.0f);
        const float money = step * perSecond;
        state->AddBonusTotal(money);
        state->AddRevenue(money);
    }
    if (m_RepeatingSoundTimer > 0.0f) {
        m_RepeatingSoundTimer -= step;
        if (m_RepeatingSoundTimer <= 0.0f) {
            m_RepeatingSoundTimer = 1.0f;
            GetAudioList().PlayAudioByIndex(options.m_RepeatingAudio);
        }
    }
    if (m_SecondsBonusLeft <= 0.0f) {
        m_DelayBeforeEnd = options.m_DelayBeforeCountdownEnds;
        m_RepeatingSoundTimer = 0.0f;
    }
}

void CThreeInARowCounter::AddBonus()
{
    const CThreeInARowCounterOptions& options = GetThreeInARowOptions();
    m_SecondsBonusLeft = std::min(m_SecondsBonusLeft + options.m_SecondsBonusLasts, options.m_MaximumBonusTime);
    if (CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent())
        ++stats->m_MadeThreeInARow;
    Broadcast("Mega Click Assist Start");
}

float CThreeInARowCounter::GetFractionPerClick(float fallback) const
{
    const CThreeInARowCounterOptions* options = FindThreeInARowOptions();
    if (!options)
        return fallback;
    if (GetTypedCommandSwitches().debugBuild)
        return 1.0f;
    return IsBonusActive() ? options->m_FractionPerClickWithBonus : options->m_FractionPerClickWithoutBonus;
}

void CThreeInARowCounter::StartEndOfLevelPhase()
{
    m_EndOfLevelCountdownStarted = true;
    if (CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent())
        stats->m_LeftoverMegaSeconds = m_SecondsBonusLeft;
    m_DelayBeforeCountdown = GetThreeInARowOptions().m_DelayBeforeCountdown;
    m_RepeatingSoundTimer = 1.0f;
    m_SecondsSincePhaseBegan = 0.0f;
}

void CThreeInARowCounter::Update(CSpriteUpdateRecord& record)
{
    // The counter the street runs is the current one.
    g_CurrentCounter = this;
    UpdateNextAI(record);
    const float seconds = record.seconds;
    if (!m_EndOfLevelCountdownStarted) {
        CLevelOptions* level = CLevelOptions::SGetCurrent();
        if (level && level->IsPlayerInteractionComplete())
            return;
        const float dt = level && level->m_RequireMegaClickAssist ? seconds / 12.0f : seconds;
        const bool wasActive = IsBonusActive();
        m_SecondsBonusLeft = std::max(m_SecondsBonusLeft - dt, 0.0f);
        if (wasActive && !IsBonusActive())
            Broadcast("Mega Click Assist Done");
        return;
    }
    m_SecondsSincePhaseBegan += seconds;
    if (m_DelayBeforeCountdown > 0.0f) {
        m_DelayBeforeCountdown = std::max(m_DelayBeforeCountdown - seconds, 0.0f);
        return;
    }
    if (m_DelayBeforeEnd > 0.0f) {
        m_DelayBeforeEnd -= seconds;
        if (m_DelayBeforeEnd <= 0.0f) {
            m_DelayBeforeEnd = 0.0f;
            m_EndOfLevelCountdownStarted = false;
            Broadcast("Mega Click Assist Done");
        }
        return;
    }
    CountDown(seconds);
}

void CThreeInARowCounter::Draw(CSpriteDrawRecord& record)
{
    CSpriteAI::Draw(record);
    if ((!IsBonusActive() && !m_EndOfLevelCountdownStarted) || !record.spriteFrame)
        return;
    CFrameInterface& frame = *record.spriteFrame;
    const CThreeInARowCounterOptions& options = GetThreeInARowOptions();

    CColor fill(0, 0, 0, 200);
    frame.FillRect(CRect{-50, -60, 50, -35}, fill);
    CColor outline(255, 255, 255, 200);
    frame.DrawLine(-50, -60, 50, -60, outline);
    frame.DrawLine(50, -60, 50, -35, outline);
    frame.DrawLine(50, -35, -50, -35, outline);
    frame.DrawLine(-50, -35, -50, -60, outline);

    const float full = options.m_MaximumBonusTime > 0.0f ? m_SecondsBonusLeft / options.m_MaximumBonusTime : 0.0f;
    const float f = std::clamp(full, 0.0f, 1.0f);

    for (const CFPoint& at : {options.m_Pos, options.m_Pos2}) {
        COffsetRotateScaleProxyFrame scaled;
        scaled.SetFrame(&frame);
        scaled.SetPivot(at);
        scaled.SetUniformScale(options.m_Scale);
        DrawSequence(options.m_MeterOverlay2Sequence, scaled, at);
    }

    DrawSequence(options.m_MeterUnderlaySequence, frame, {0.0f, 0.0f});
    COffsetRotateScaleProxyFrame turned;
    turned.SetFrame(&frame);
    turned.SetRotationDegrees(f * 180.0f - 90.0f);
    DrawSequence(options.m_MeterArrowSequence, turned, {0.0f, 0.0f});
    DrawSequence(options.m_MeterOverlaySequence, frame, {0.0f, 0.0f});

    if (!m_EndOfLevelCountdownStarted || !record.destination)
        return;
    CFrameOverlayOptionsList& sets = GetFrameOverlayOptionsList();
    const int32_t index = options.m_EndOfLevelFrameOverlay;
    CFrameOverlayOptions* set = index >= 0 && index < sets.GetCount() ? sets.GetObject(index) : nullptr;
    if (!set)
        return;
    CTextSubstitutionList substitutions;
    if (CGameState* state = CGameState::SGetCurrent())
        substitutions.AddObjectProperties(*state, "", "");
    CFrameOverlayDrawContext context;
    context.m_pTarget = record.destination;
    context.m_pSubstitutions = &substitutions;
    context.m_Time = m_SecondsSincePhaseBegan;
    set->Draw(context);
}

bool GetThreeInARowSparkleOptions(SSparkleOptions& out)
{
    const CThreeInARowCounterOptions* options = FindThreeInARowOptions();
    if (!options)
        return false;
    out.sequence = std::max(options->m_ParticleSequence, 0);
    out.radius = options->m_ParticleSpawnRadius;
    out.interval = options->m_SecondsBetweenParticles;
    out.bonusCursor = SequenceUnlessNone(options->m_CursorSequence);
    return true;
}

int32_t GetThreeInARowSong()
{
    const CThreeInARowCounterOptions* options = FindThreeInARowOptions();
    return options ? std::max(options->m_PowerUpSong, 0) : 0;
}

uint32_t GetThreeInARowMegaSequence()
{
    const CThreeInARowCounterOptions* options = FindThreeInARowOptions();
    return options ? uint32_t(std::max(options->m_MeterOverlay2Sequence, 0)) : 0;
}
