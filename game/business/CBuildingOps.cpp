#include "game/business/CBuildingOps.h"

#include "game/business/BuildingServices.h"
#include "game/business/BusinessHooks.h"
#include "game/business/CBuildablePackageOps.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/CSpriteAI.h"
#include "game/world/CBuildPhase.h"
#include "game/world/CBuildablePackage.h"
#include "game/world/CGameState.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLot.h"
#include "game/world/CPlayfield.h"
#include "game/world/CRules.h"
#include "game/world/CThreeInARowCounter.h"
#include "game/world/CUpgrade.h"
#include "foundation/CRandomGenerator.h"
#include "objects/CMessage.h"
#include "objects/CPropertyArrayProperty.h"
#include "sequences/CTextSubstitutionList.h"
#include "sound/CSoundDevice.h"
#include "sound/CSoundList.h"

#include <algorithm>
#include <cmath>

namespace {

// Sized through the class's property so the array keeps its own rules.
CPropertyArrayProperty& PartsProperty(const char* name)
{
    return *static_cast<CPropertyArrayProperty*>(CBuildablePackage::SGetClassInfo()->FindProperty(name));
}

void SetPartCount(CBuildablePackage& package, uint32_t count)
{
    PartsProperty("Parts List").ArrayProperty_SetCount(&package, count);
}

void RemoveUnpainted(CBuildablePackage& package, int32_t part)
{
    CPropertyArray<int32_t>& list = package.m_UnpaintedParts;
    for (uint32_t i = 0; i < list.GetCount(); ++i) {
        if (list[i] == part) {
            for (uint32_t j = i + 1; j < list.GetCount(); ++j)
                list[j - 1] = list[j];
            PartsProperty("Unpainted Parts List").ArrayProperty_SetCount(&package, list.GetCount() - 1);
            return;
        }
    }
}

void AppendUnpainted(CBuildablePackage& package, int32_t part)
{
    const uint32_t count = package.m_UnpaintedParts.GetCount();
    PartsProperty("Unpainted Parts List").ArrayProperty_SetCount(&package, count + 1);
    package.m_UnpaintedParts[count] = part;
}

bool PhaseGetsColored(int32_t phase)
{
    CBuildPhase* object = GetBuildPhaseAt(phase);
    return object && object->m_GetsColored;
}

CJString PartName(int32_t upgrade)
{
    CUpgrade* object = GetUpgradeByIndex(upgrade);
    return object ? object->m_Name.GetTranslation() : CJString();
}

void Refuse(const char* key, CTextSubstitutionList* variables)
{
    ShowBuildingRefusal(key, variables);
}

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

} // namespace

int32_t GetFramePhase()
{
    return FindBuildPhase("Frame");
}

int32_t GetGaragePhase()
{
    return FindBuildPhase("Garage");
}

int32_t GetAddOnPhase()
{
    return FindBuildPhase("Add On");
}

int32_t GetColorPhase()
{
    return FindBuildPhase("Color");
}

CBuildablePart* GetBuildablePart(int32_t upgrade)
{
    return dynamic_cast<CBuildablePart*>(GetUpgradeByIndex(upgrade));
}

CBuildPhase* GetBuildPhaseAt(int32_t phase)
{
    CBuildPhaseList& phases = GetBuildPhaseList();
    if (phase < 0 || phase >= phases.GetCount())
        return nullptr;
    return phases.GetObject(phase);
}

int32_t GetPartInPhase(const CBuildablePackage& package, int32_t phase)
{
    if (phase < 0 || uint32_t(phase) >= package.m_Parts.GetCount())
        return 0;
    return package.m_Parts[uint32_t(phase)];
}

bool HasPart(const CBuildablePackage& package, int32_t part)
{
    CBuildablePart* object = GetBuildablePart(part);
    return object && GetPartInPhase(package, object->m_BuildPhase) == part;
}

bool ContainsPartsOf(const CBuildablePackage& package, const CBuildablePackage* other)
{
    if (!other)
        return true;
    const uint32_t count = std::min(package.m_Parts.GetCount(), other->m_Parts.GetCount());
    for (uint32_t i = 0; i < count; ++i)
        if (other->m_Parts[i] != 0 && other->m_Parts[i] != package.m_Parts[i])
            return false;
    return true;
}

bool MatchesIgnoringAddOn(const CBuildablePackage& package, const CBuildablePackage& other)
{
    const int32_t addOn = GetAddOnPhase();
    const int32_t phases = GetBuildPhaseList().GetCount();
    for (int32_t phase = 0; phase < phases; ++phase)
        if (phase != addOn && GetPartInPhase(package, phase) != GetPartInPhase(other, phase))
            return false;
    return true;
}

bool HasColorablePart(const CBuildablePackage& package)
{
    for (uint32_t i = 0; i < package.m_Parts.GetCount(); ++i)
        if (package.m_Parts[i] != 0 && PhaseGetsColored(int32_t(i)))
            return true;
    return false;
}

bool HasColor(const CBuildablePackage& package, int32_t part)
{
    const int32_t color = GetColorPhase();
    return color >= 0 && GetPartInPhase(package, color) == part;
}

bool HasAnyColor(const CBuildablePackage& package)
{
    return GetPartInPhase(package, GetColorPhase()) != 0;
}

void ResetPaint(CBuildablePackage& package)
{
    if (!HasAnyColor(package))
        return;
    package.m_Parts[uint32_t(GetColorPhase())] = 0;
    PartsProperty("Unpainted Parts List").ArrayProperty_SetCount(&package, 0);
    for (uint32_t i = 0; i < package.m_Parts.GetCount(); ++i)
        if (package.m_Parts[i] != 0 && PhaseGetsColored(int32_t(i)))
            AppendUnpainted(package, package.m_Parts[i]);
}

namespace {

void UpgradePartToOwned(CBuildablePackage& package, uint32_t phase)
{
    CGameState* state = CGameState::SGetCurrent();
    CUpgrade* part = GetUpgradeByIndex(package.m_Parts[phase]);
    if (!state || !part)
        return;
    const int32_t owned = state->GetUpgradeInSlot(part->m_UpgradeSlot);
    if (owned == 0)
        return;
    if (owned != package.m_Parts[phase])
        package.m_Parts[phase] = owned;
}

} // namespace

void UpgradePartsToOwned(CBuildablePackage& package)
{
    // A slot the player has not filled keeps the prebuilt part: emptying it
    // would leave a garage standing without its frame.
    for (uint32_t i = 0; i < package.m_Parts.GetCount(); ++i)
        UpgradePartToOwned(package, i);
}

void UpgradeGarageToOwned(CBuildablePackage& package)
{
    const int32_t garage = GetGaragePhase();
    if (garage >= 0 && uint32_t(garage) < package.m_Parts.GetCount())
        UpgradePartToOwned(package, uint32_t(garage));
}

void SizeToBuildPhases(CBuildablePackage& package)
{
    const uint32_t phases = uint32_t(GetBuildPhaseList().GetCount());
    const uint32_t before = package.m_Parts.GetCount();
    if (before >= phases)
        return;
    SetPartCount(package, phases);
    for (uint32_t i = before; i < phases; ++i)
        package.m_Parts[i] = 0;
}

void MarkThreeInARowPart(CBuildablePackage& package, int32_t part)
{
    package.m_HighlightTimer = 0.0f;
    package.m_HighlightActive = true;
    const size_t phases = size_t(std::max(GetBuildPhaseList().GetCount(), 0));
    if (package.m_HighlightParts.size() < phases)
        package.m_HighlightParts.resize(phases, 0);
    CBuildablePart* object = GetBuildablePart(part);
    if (object && object->m_BuildPhase >= 0 && size_t(object->m_BuildPhase) < package.m_HighlightParts.size())
        package.m_HighlightParts[size_t(object->m_BuildPhase)] = part;
}

void UpdateHighlight(CBuildablePackage& package, float seconds)
{
    if (!package.m_HighlightActive)
        return;
    package.m_HighlightTimer += seconds;
    CThreeInARowCounter* counter = GetThreeInARowCounter();
    if (!counter || !counter->IsBonusActive()) {
        package.m_HighlightActive = false;
        package.m_HighlightTimer = 0.0f;
        std::fill(package.m_HighlightParts.begin(), package.m_HighlightParts.end(), 0);
    }
}

float GetHighlightOpacity(float timer, float period)
{
    if (!(period > 0.0f))
        return 1.0f;
    const float t = std::fmod(timer, period);
    return t <= period / 2.0f ? 2.0f * t / period : 2.0f - 2.0f * t / period;
}

bool ShowMoveInRefusal(const CBuildablePackage& package, const CBuildablePackage* order)
{
    if (!order)
        return false;
    const int32_t frame = GetFramePhase();
    const int32_t garage = GetGaragePhase();
    const int32_t addOn = GetAddOnPhase();
    const int32_t color = GetColorPhase();

    // The lot's part of a phase; a built part waiting for paint counts when
    // the phase is empty.
    auto lotPart = [&](int32_t phase) {
        int32_t part = GetPartInPhase(package, phase);
        if (part != 0 || phase < 0)
            return part;
        for (uint32_t i = package.m_UnpaintedParts.GetCount(); i-- > 0;) {
            CBuildablePart* object = GetBuildablePart(package.m_UnpaintedParts[i]);
            if (object && object->m_BuildPhase == phase)
                return package.m_UnpaintedParts[i];
        }
        return 0;
    };
    auto wrong = [&](const char* key, const char* desiredToken, const char* actualToken, int32_t wanted,
                     int32_t actual) {
        if (wanted == 0 || actual == 0 || wanted == actual)
            return false;
        CTextSubstitutionList variables;
        variables.AddText(desiredToken, PartName(wanted));
        variables.AddText(actualToken, PartName(actual));
        Refuse(key, &variables);
        return true;
    };
    for (int32_t phase : {frame, garage})
        if (phase >= 0
            && wrong("CantMoveInWrongPart", "%s[DesiredPart]", "%s[ActualPart]", GetPartInPhase(*order, phase),
                     lotPart(phase)))
            return true;
    if (addOn >= 0
        && wrong("CantMoveInWrongPart", "%s[DesiredPart]", "%s[ActualPart]", GetPartInPhase(*order, addOn),
                 GetPartInPhase(package, addOn)))
        return true;
    if (color >= 0
        && wrong("CantMoveInWrongPaint", "%s[DesiredColor]", "%s[ActualColor]", GetPartInPhase(*order, color),
                 GetPartInPhase(package, color)))
        return true;

    auto missing = [&](int32_t phase, bool always) {
        if (phase < 0 || GetPartInPhase(package, phase) != 0)
            return false;
        const int32_t wanted = GetPartInPhase(*order, phase);
        if (!always && wanted == 0)
            return false;
        CTextSubstitutionList variables;
        variables.AddText("%s[MissingPart]", PartName(wanted));
        Refuse("CantMoveInMissingPart", &variables);
        return true;
    };
    if (missing(frame, true) || missing(garage, false) || missing(addOn, false))
        return true;

    if (package.m_UnpaintedParts.GetCount() != 0) {
        if (!HasAnyColor(package)) {
            Refuse("CantMoveInUnpaintedGeneric", nullptr);
        } else {
            CTextSubstitutionList variables;
            variables.AddText("%s[UnpaintedPart]", PartName(package.m_UnpaintedParts[0]));
            Refuse("CantMoveInUnpaintedSpecific", &variables);
        }
        return true;
    }
    return false;
}

bool CanBuild(CBuildablePackage& package, CBuildablePart& part, bool showMessage)
{
    const int32_t upgrade = GetUpgradeList().FindObjectIndex(&part);
    const int32_t phaseIndex = part.m_BuildPhase;
    CBuildPhase* phase = GetBuildPhaseAt(phaseIndex);
    const bool canRedo = phase && phase->m_CanBeReDone;

    if (package.IsBeingConstructed()) {
        CBuildablePart* building = GetBuildablePart(package.m_BeingConstructed);
        if (canRedo && building && building->m_BuildPhase == phaseIndex && package.m_BeingConstructed != upgrade)
            return true;
        if (showMessage)
            Refuse("CantBuildHereWorking", nullptr);
        return false;
    }
    const int32_t current = GetPartInPhase(package, phaseIndex);
    if (current != 0 && !canRedo)
        return false;
    auto* paint = dynamic_cast<CColorBuildablePart*>(&part);
    if (!paint)
        return current != upgrade;
    if (package.IsFullyPainted() && (!HasColorablePart(package) || HasColor(package, upgrade)))
        return false;
    if (!showMessage)
        return true;
    CLevelPlayStats* stats = Stats();
    if (HasColor(package, upgrade)) {
        if (stats)
            ++stats->m_RepaintSameColor;
        const int32_t garage = GetGaragePhase();
        for (uint32_t i = 0; i < package.m_UnpaintedParts.GetCount(); ++i) {
            CBuildablePart* waiting = GetBuildablePart(package.m_UnpaintedParts[i]);
            if (garage >= 0 && waiting && waiting->m_BuildPhase == garage) {
                NoteGarageRepainted();
                break;
            }
        }
    } else if (HasAnyColor(package)) {
        if (stats)
            ++stats->m_RepaintDifferentColor;
        ResetPaint(package);
    }
    return true;
}

void StartBuilding(CBuildablePackage& package, CBuildablePart& part, int32_t upgrade, CSprite* lotSprite)
{
    SizeToBuildPhases(package);
    const int32_t phaseIndex = part.m_BuildPhase;
    CBuildPhase* phase = GetBuildPhaseAt(phaseIndex);
    if (phaseIndex >= 0 && uint32_t(phaseIndex) < package.m_Parts.GetCount()) {
        const int32_t previous = package.m_Parts[uint32_t(phaseIndex)];
        if (previous != 0)
            RemoveUnpainted(package, previous);
        package.m_Parts[uint32_t(phaseIndex)] = upgrade;
        if (phase && phase->m_GetsColored)
            AppendUnpainted(package, upgrade);
    }
    package.m_ConstructionProgress = 0.00001f;
    package.m_BeingConstructed = upgrade;

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

    package.ReleaseBuildingSound();
    if (part.m_StartBuildingSoundIndex > 0) {
        const int32_t soundIndex = part.m_StartBuildingSoundIndex - 1;
        CSoundList* sounds = GetAudioList().GetSoundList();
        std::unique_ptr<CSound> sound = sounds ? sounds->NewCopyByIndex(soundIndex) : nullptr;
        if (sound) {
            sound->SetLooping(true);
            sound->Play(0);
            package.SetBuildingSound(std::move(sound), soundIndex);
        }
    }
}

float GetCrewBuildSpeed(int32_t phase)
{
    CGameState* state = CGameState::SGetCurrent();
    return state ? state->GetBuildSpeedForBuildPhase(phase) : 1.0f;
}

void UpdateBuilding(CBuildablePackage& package, float seconds)
{
    CBuildablePart* part = GetBuildablePart(package.m_BeingConstructed);
    if (part) {
        // A part without build time is done at once; the bar never sees an
        // infinite rate.
        float progress = package.m_ConstructionProgress;
        if (!(part->m_TimeToBuild > 0.0f)) {
            progress = 1.0f;
        } else {
            float rate = 1.0f / part->m_TimeToBuild;
            CLevelOptions* level = CLevelOptions::SGetCurrent();
            if (level && level->m_RequireClickAssist && progress < 0.9f)
                rate *= std::clamp(1.0f - 1.33f * progress, 0.0f, 1.0f);
            progress += GetCrewBuildSpeed(part->m_BuildPhase) * rate * seconds;
        }
        package.m_ConstructionProgress = progress;
        if (progress >= 1.0f)
            FinishBuilding(package);
    } else if (package.IsBeingConstructed()) {
        // The part vanished from the list: nothing left to build.
        FinishBuilding(package);
    }
    UpdateHighlight(package, seconds);
    if (CSound* sound = package.GetBuildingSound(); sound && sound->GetVolume() == -10000)
        sound->SetVolume(0);
}

void FinishBuilding(CBuildablePackage& package)
{
    CBuildablePart* part = GetBuildablePart(package.m_BeingConstructed);
    if (dynamic_cast<CColorBuildablePart*>(part))
        PartsProperty("Unpainted Parts List").ArrayProperty_SetCount(&package, 0);
    CBuildPhase* phase = part ? GetBuildPhaseAt(part->m_BuildPhase) : nullptr;
    if (phase)
        Broadcast(phase->m_Name.GetText(), " Work Finished");
    package.m_ConstructionProgress = 0.0f;
    package.m_BeingConstructed = 0;
    TellForemanPackageFinished(package);
    if (part)
        PlayPartAudio(*part, &CBuildablePart::m_DoneBuildingAudio);
    package.ReleaseBuildingSound();
}

void AddProgress(CBuildablePackage& package, float amount)
{
    package.m_ConstructionProgress = std::min(package.m_ConstructionProgress + amount, 1.0f);
}

int32_t GetRandomAvailablePart(int32_t phase, CRandomGenerator& random)
{
    CGameState* state = CGameState::SGetCurrent();
    CCrewState* crew = state ? state->GetCrewState(phase) : nullptr;
    const uint32_t count = crew ? crew->m_BuildableParts.GetCount() : 0;
    if (count == 0)
        return 0;
    return crew->m_BuildableParts[random.Next(count)];
}

void MakeRandomWish(CBuildablePackage& package)
{
    MakeRandomWish(package, CRandomGenerator::Global());
}

void MakeRandomWish(CBuildablePackage& package, CRandomGenerator& random)
{
    const int32_t phases = GetBuildPhaseList().GetCount();
    SetPartCount(package, uint32_t(std::max(phases, 0)));
    CGameState* state = CGameState::SGetCurrent();
    for (int32_t i = 0; i < phases; ++i) {
        package.m_Parts[uint32_t(i)] = 0;
        CCrewState* crew = state ? state->GetCrewState(i) : nullptr;
        if (!crew || crew->m_BuildableParts.GetCount() == 0)
            continue;
        CBuildPhase* phase = GetBuildPhaseAt(i);
        const bool required = phase && phase->IsRequired();
        if (required || random.Chance(0.6f))
            package.m_Parts[uint32_t(i)] = GetRandomAvailablePart(i, random);
    }
}

bool CanUsePart(CBuildablePart& part, bool showMessage)
{
    if (HasIdleCrew(part.m_BuildPhase))
        return true;
    if (showMessage) {
        if (CLevelPlayStats* stats = Stats())
            ++stats->m_CrewNotAvailable;
        CBuildPhase* phase = GetBuildPhaseAt(part.m_BuildPhase);
        CTextSubstitutionList variables;
        variables.AddText("%s[CrewType]", phase ? phase->m_Name.GetTranslation() : CJString());
        Refuse("CrewNotAvailable", &variables);
    }
    return false;
}

namespace {

// Whether a customer in the "Customers" layer waits with an order that
// holds the part.
bool IsPartOrdered(int32_t upgrade)
{
    CPlayfield* playfield = GetCurrentPlayfield();
    CPlayfieldLayer* layer = playfield ? playfield->FindLayer("Customers") : nullptr;
    if (!layer)
        return false;
    CCustomerServices& customers = GetCustomerServices();
    for (uint32_t i = 0; i < layer->GetSpriteCount(); ++i) {
        CSpriteAI* customer = customers.GetCustomer(layer->GetSprite(i));
        CBuildablePackage* order = customer ? customers.GetOrder(customer) : nullptr;
        if (order && HasPart(*order, upgrade))
            return true;
    }
    return false;
}

} // namespace

bool DropPartOnLot(CBuildablePart& part, int32_t upgrade, CLot* lot)
{
    if (!lot)
        return false;
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    if (level && level->m_MustBuildAtGridCoordinate != kNoMustBuildCoordinate
        && level->m_MustBuildAtGridCoordinate != lot->GetGridCoordinate()) {
        Refuse("MustFallowScriptedTutorial", nullptr);
        return false;
    }
    if (level && level->m_MustBuildWhatCustomerWants && !IsPartOrdered(upgrade)) {
        Refuse("NotWhatWasOrdered", nullptr);
        return false;
    }
    CBuildablePackage* package = lot->GetBuilding();
    if (!package || !CanBuild(*package, part, true)) {
        if (CLevelPlayStats* stats = Stats())
            ++stats->m_CantBuildThatHere;
        return false;
    }
    if (!HasIdleCrew(part.m_BuildPhase)) {
        CanUsePart(part, true);
        return false;
    }
    return StartCrewJob(part, upgrade, *lot);
}
