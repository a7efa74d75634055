// Building a part on a lot over time, the parts' own drop on a lot with the
// tutorial's constraints, and a customer's random wish.
#include "game/business/CBuildablePackage.h"

#include "foundation/CRandomGenerator.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CCrew.h"
#include "game/business/CCustomer.h"
#include "game/business/CForeman.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/business/CUpgrade.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGameState.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLot.h"
#include "game/world/CPlayfield.h"
#include "game/world/WorldHooks.h"
#include "objects/CMessage.h"
#include "sequences/CTextSubstitutionList.h"
#include "sound/CSoundDevice.h"
#include "sound/CSoundList.h"

#include <algorithm>

namespace {

void Broadcast(CJString name, const char* suffix)
{
    name += suffix;
    CMessage message = CMessage::CMessageByName(name.GetString());
    if (CPlayfield* playfield = GetCurrentPlayfield())
        playfield->BroadcastMessage(message);
}

// The part's audio, or the phase's stand-in when the part sets none.
void PlayPartAudio(const CBuildablePart& part, int32_t CBuildablePart::*audio)
{
    int32_t index = part.*audio;
    if (index == 0) {
        CBuildPhase* phase = GetBuildPhaseAt(part.m_BuildPhase);
        if (phase && phase->m_DefaultPartValues)
            index = phase->m_DefaultPartValues->*audio;
    }
    if (index != 0)
        GetAudioList().PlayAudioByIndex(index);
}

CLevelPlayStats* Stats()
{
    return CLevelPlayStats::SGetCurrent();
}

// Whether a customer in the "Customers" layer waits with an order that
// holds the part.
bool IsPartOrdered(int32_t upgrade)
{
    CPlayfield* playfield = GetCurrentPlayfield();
    CPlayfieldLayer* layer = playfield ? playfield->FindLayer("Customers") : nullptr;
    if (!layer)
        return false;
    for (uint32_t i = 0; i < layer->GetSpriteCount(); ++i) {
        CCustomer* customer = FindCustomer(layer->GetSprite(i));
        CBuildablePackage* order = customer ? customer->GetPackageWanted() : nullptr;
        if (order && order->HasPart(upgrade))
            return true;
    }
    return false;
}

} // namespace

void NoteGarageRepainted()
{
    GetGameScreensHooks().NoteGarageRepainted();
}

bool CBuildablePackage::CanBuild(CBuildablePart& part, bool showMessage)
{
    const int32_t upgrade = GetUpgradeList().FindObjectIndex(&part);
    const int32_t phaseIndex = part.m_BuildPhase;
    CBuildPhase* phase = GetBuildPhaseAt(phaseIndex);
    const bool canRedo = phase && phase->m_CanBeReDone;

    if (IsBeingConstructed()) {
        CBuildablePart* building = GetBuildablePart(m_BeingConstructed);
        if (canRedo && building && building->m_BuildPhase == phaseIndex && m_BeingConstructed != upgrade)
            return true;
        if (showMessage)
            GetIllegalMoveDisplay().Show("CantBuildHereWorking");
        return false;
    }
    const int32_t current = GetPartInPhase(phaseIndex);
    if (current != 0 && !canRedo)
        return false;
    auto* paint = dynamic_cast<CColorBuildablePart*>(&part);
    if (!paint)
        return current != upgrade;
    if (IsFullyPainted() && (!HasColorablePart() || HasColor(upgrade)))
        return false;
    if (!showMessage)
        return true;
    CLevelPlayStats* stats = Stats();
    if (HasColor(upgrade)) {
        if (stats)
            ++stats->m_RepaintSameColor;
        const int32_t garage = GetGaragePhase();
        for (uint32_t i = 0; i < m_UnpaintedParts.GetCount(); ++i) {
            CBuildablePart* waiting = GetBuildablePart(m_UnpaintedParts[i]);
            if (garage >= 0 && waiting && waiting->m_BuildPhase == garage) {
                NoteGarageRepainted();
                break;
            }
        }
    } else if (HasAnyColor()) {
        if (stats)
            ++stats->m_RepaintDifferentColor;
        ResetPaint();
    }
    return true;
}

void CBuildablePackage::StartBuilding(CBuildablePart& part, int32_t upgrade, CSprite* lotSprite)
{
    SizeToBuildPhases();
    const int32_t phaseIndex = part.m_BuildPhase;
    CBuildPhase* phase = GetBuildPhaseAt(phaseIndex);
    if (phaseIndex >= 0 && uint32_t(phaseIndex) < m_Parts.GetCount()) {
        const int32_t previous = m_Parts[uint32_t(phaseIndex)];
        if (previous != 0)
            RemoveUnpainted(previous);
        m_Parts[uint32_t(phaseIndex)] = upgrade;
        if (phase && phase->m_GetsColored)
            AppendUnpainted(upgrade);
    }
    m_ConstructionProgress = 0.00001f;
    m_BeingConstructed = upgrade;

    const CJString name = phase ? phase->m_Name.GetText() : CJString();
    Broadcast(name, " Work Started");
    if (lotSprite) {
        CJString here = name;
        here += " Work Started";
        here += " Here";
        CMessage message = CMessage::CMessageByName(here.GetString());
        lotSprite->HandleMessage(message);
    }
    PlayPartAudio(part, &CBuildablePart::m_StartBuildingAudio);

    ReleaseBuildingSound();
    if (part.m_StartBuildingSoundIndex > 0) {
        const int32_t soundIndex = part.m_StartBuildingSoundIndex - 1;
        CSoundList* sounds = GetAudioList().GetSoundList();
        std::unique_ptr<CSound> sound = sounds ? sounds->NewCopyByIndex(soundIndex) : nullptr;
        if (sound) {
            sound->SetLooping(true);
            sound->Play(0);
            SetBuildingSound(std::move(sound), soundIndex);
        }
    }
}

bool CBuildablePackage::ReplacePartUnderConstruction(CBuildablePart& part, int32_t upgrade)
{
    // The crew at work stays on it.
    const int32_t phase = part.m_BuildPhase;
    if (phase < 0 || uint32_t(phase) >= m_Parts.GetCount())
        return false;
    RemoveUnpainted(m_Parts[uint32_t(phase)]);
    m_Parts[uint32_t(phase)] = upgrade;
    CBuildPhase* owner = part.GetBuildPhase();
    if (owner && owner->m_GetsColored)
        AppendUnpainted(upgrade);
    m_ConstructionProgress = 0.00001f;
    m_BeingConstructed = upgrade;
    return true;
}

float GetCrewBuildSpeed(int32_t phase)
{
    CGameState* state = CGameState::SGetCurrent();
    return state ? state->GetBuildSpeedForBuildPhase(phase) : 1.0f;
}

void CBuildablePackage::Update(float seconds)
{
    CBuildablePart* part = GetBuildablePart(m_BeingConstructed);
    if (part) {
        // A part without build time is done at once; the bar never sees an
        // infinite rate.
        float progress = m_ConstructionProgress;
        if (!(part->m_TimeToBuild > 0.0f)) {
            progress = 1.0f;
        } else {
            float rate = 1.0f / part->m_TimeToBuild;
            CLevelOptions* level = CLevelOptions::SGetCurrent();
            if (level && level->m_RequireClickAssist && progress < 0.9f)
                rate *= std::clamp(1.0f - 1.33f * progress, 0.0f, 1.0f);
            progress += GetCrewBuildSpeed(part->m_BuildPhase) * rate * seconds;
        }
        m_ConstructionProgress = progress;
        if (progress >= 1.0f)
            FinishBuilding();
    } else if (IsBeingConstructed()) {
        // The part vanished from the list: nothing left to build.
        FinishBuilding();
    }
    UpdateHighlight(seconds);
    if (m_BuildingSound && m_BuildingSound->GetVolume() == -10000)
        m_BuildingSound->SetVolume(0);
}

void CBuildablePackage::FinishBuilding()
{
    CBuildablePart* part = GetBuildablePart(m_BeingConstructed);
    if (dynamic_cast<CColorBuildablePart*>(part))
        ClearUnpainted();
    CBuildPhase* phase = part ? GetBuildPhaseAt(part->m_BuildPhase) : nullptr;
    if (phase)
        Broadcast(phase->m_Name.GetText(), " Work Finished");
    m_ConstructionProgress = 0.0f;
    m_BeingConstructed = 0;
    if (CForeman* foreman = FindForeman())
        foreman->OnPackageFinished(this);
    if (part)
        PlayPartAudio(*part, &CBuildablePart::m_DoneBuildingAudio);
    ReleaseBuildingSound();
}

void CBuildablePackage::AddProgress(float amount)
{
    m_ConstructionProgress = std::min(m_ConstructionProgress + amount, 1.0f);
}

void CBuildablePackage::MakeRandomWish()
{
    MakeRandomWish(CRandomGenerator::Global());
}

void CBuildablePackage::MakeRandomWish(CRandomGenerator& random)
{
    const int32_t phases = GetBuildPhaseList().GetCount();
    SetPartCount(uint32_t(std::max(phases, 0)));
    CGameState* state = CGameState::SGetCurrent();
    for (int32_t i = 0; i < phases; ++i) {
        m_Parts[uint32_t(i)] = 0;
        CCrewState* crew = state ? state->GetCrewState(i) : nullptr;
        if (!crew || crew->m_BuildableParts.GetCount() == 0)
            continue;
        CBuildPhase* phase = GetBuildPhaseAt(i);
        const bool required = phase && phase->IsRequired();
        if (required || random.Chance(0.6f))
            m_Parts[uint32_t(i)] = GetRandomAvailablePart(i, random);
    }
}

bool CBuildablePart::CanUse(bool showMessage)
{
    if (FindIdleCrew(m_BuildPhase))
        return true;
    if (showMessage) {
        if (CLevelPlayStats* stats = Stats())
            ++stats->m_CrewNotAvailable;
        CBuildPhase* phase = GetBuildPhase();
        CTextSubstitutionList variables;
        variables.AddText("%s[CrewType]", phase ? phase->m_Name.GetTranslation() : CJString());
        GetIllegalMoveDisplay().Show("CrewNotAvailable", &variables);
    }
    return false;
}

bool CBuildablePart::DropOnLot(int32_t upgradeIndex, CLot* lot)
{
    if (!lot)
        return false;
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    if (level && level->m_MustBuildAtGridCoordinate != kNoMustBuildCoordinate
        && level->m_MustBuildAtGridCoordinate != lot->GetGridCoordinate()) {
        GetIllegalMoveDisplay().Show("MustFallowScriptedTutorial");
        return false;
    }
    if (level && level->m_MustBuildWhatCustomerWants && !IsPartOrdered(upgradeIndex)) {
        GetIllegalMoveDisplay().Show("NotWhatWasOrdered");
        return false;
    }
    CBuildablePackage* package = lot->GetBuilding();
    if (!package || !package->CanBuild(*this, true)) {
        if (CLevelPlayStats* stats = Stats())
            ++stats->m_CantBuildThatHere;
        return false;
    }
    CCrew* crew = FindIdleCrewAI(m_BuildPhase);
    if (!crew) {
        CanUse(true);
        return false;
    }
    crew->StartJob(*this, upgradeIndex, *lot);
    return true;
}
