#include "game/business/CBuildablePackage.h"

#include "game/business/CBuildPhase.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/business/CUpgrade.h"
#include "game/scripting/CAudio.h"
#include "game/world/CGameState.h"
#include "game/world/ListReferences.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "sound/CSoundDevice.h"
#include "sound/CSoundList.h"

#include <algorithm>
#include <cmath>

OMBRISALT_IMPLEMENT_CLASS(CBuildablePackage, 1.0)

namespace {

void DeclareUpgradeArray(CPropertyDeclarer& d, CPropertyArray<int32_t> CBuildablePackage::*member, const char* name,
                         const char* elementName)
{
    auto declared = d.AddArray<CNoneableListProperty>(member, name, elementName, 0);
    static_cast<CListProperty*>(declared.Get().GetElementProperty())->SetList(&GetUpgradeList());
}

CPropertyArrayProperty& PartsProperty(const char* name)
{
    return *static_cast<CPropertyArrayProperty*>(CBuildablePackage::SGetClassInfo()->FindProperty(name));
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

void Refuse(const char* key, const CTextSubstitutionList* variables)
{
    GetIllegalMoveDisplay().Show(key, variables);
}

} // namespace

void CBuildablePackage::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CBuildablePackage;
    DeclareUpgradeArray(d, &C::m_Parts, "Parts List", "Part");
    DeclareUpgradeArray(d, &C::m_UnpaintedParts, "Unpainted Parts List", "Unpainted Part");
    d.AddListReference<CNoneableListProperty>(&C::m_BeingConstructed, "Being Constucted", &GetUpgradeList(), nullptr);
    d.Add(&C::m_ConstructionProgress, "Constuction Progress", 0.0f);
}

CBuildablePackage::CBuildablePackage()
{
    InitDeclaredProperties();
}

CBuildablePackage::~CBuildablePackage()
{
    ReleaseBuildingSound();
    DestroyDeclaredProperties();
}

void CBuildablePackage::ResetToDefaults()
{
    ReleaseBuildingSound();
    CObject::ResetToDefaults();
}

void CBuildablePackage::ReleaseBuildingSound()
{
    if (!m_BuildingSound)
        return;
    m_BuildingSound->Stop();
    m_BuildingSound.reset();
    if (CSoundList* sounds = GetAudioList().GetSoundList())
        sounds->DecrementCopyCount(m_BuildingSoundIndex);
    m_BuildingSoundIndex = 0;
}

void CBuildablePackage::SetBuildingSound(std::unique_ptr<CSound> sound, int32_t soundIndex)
{
    ReleaseBuildingSound();
    m_BuildingSound = std::move(sound);
    m_BuildingSoundIndex = m_BuildingSound ? soundIndex : 0;
}

void CBuildablePackage::SetBuildingVolume(int32_t volume)
{
    if (m_BuildingSound)
        m_BuildingSound->SetVolume(volume);
}

bool CBuildablePackage::HasParts() const
{
    for (uint32_t i = 0; i < m_Parts.GetCount(); ++i)
        if (m_Parts[i] != 0)
            return true;
    return false;
}

bool CBuildablePackage::HasSamePartsAs(const CBuildablePackage* other) const
{
    if (!other || other->m_Parts.GetCount() != m_Parts.GetCount())
        return false;
    for (uint32_t i = 0; i < m_Parts.GetCount(); ++i)
        if (m_Parts[i] != other->m_Parts[i])
            return false;
    return true;
}

float CBuildablePackage::GetPartResaleValue(uint32_t phase) const
{
    if (phase >= m_Parts.GetCount())
        return 0.0f;
    CBuildablePart* part = GetBuildablePart(m_Parts[phase]);
    return part ? part->m_ResaleValue : 0.0f;
}

float CBuildablePackage::GetResaleValue() const
{
    float sum = 0.0f;
    for (uint32_t i = 0; i < m_Parts.GetCount(); ++i)
        sum += GetPartResaleValue(i);
    return sum;
}

int32_t CBuildablePackage::GetPartInPhase(int32_t phase) const
{
    if (phase < 0 || uint32_t(phase) >= m_Parts.GetCount())
        return 0;
    return m_Parts[uint32_t(phase)];
}

bool CBuildablePackage::HasPart(int32_t part) const
{
    CBuildablePart* object = GetBuildablePart(part);
    return object && GetPartInPhase(object->m_BuildPhase) == part;
}

bool CBuildablePackage::HoldsUpgrade(int32_t upgrade) const
{
    if (upgrade == 0)
        return false;
    for (uint32_t i = 0; i < m_Parts.GetCount(); ++i)
        if (m_Parts[i] == upgrade)
            return true;
    return false;
}

bool CBuildablePackage::HoldsUpgradeOwnedIn(int32_t slot) const
{
    CGameState* state = CGameState::SGetCurrent();
    if (slot <= 0 || !state)
        return false;
    const int32_t held = state->GetUpgradeInSlot(slot);
    return held != 0 && HasPart(held);
}

bool CBuildablePackage::ContainsPartsOf(const CBuildablePackage* other) const
{
    if (!other)
        return true;
    const uint32_t count = std::min(m_Parts.GetCount(), other->m_Parts.GetCount());
    for (uint32_t i = 0; i < count; ++i)
        if (other->m_Parts[i] != 0 && other->m_Parts[i] != m_Parts[i])
            return false;
    return true;
}

bool CBuildablePackage::MatchesIgnoringAddOn(const CBuildablePackage& other) const
{
    const int32_t addOn = GetAddOnPhase();
    const int32_t phases = GetBuildPhaseList().GetCount();
    for (int32_t phase = 0; phase < phases; ++phase)
        if (phase != addOn && GetPartInPhase(phase) != other.GetPartInPhase(phase))
            return false;
    return true;
}

bool CBuildablePackage::HasColorablePart() const
{
    for (uint32_t i = 0; i < m_Parts.GetCount(); ++i)
        if (m_Parts[i] != 0 && PhaseGetsColored(int32_t(i)))
            return true;
    return false;
}

bool CBuildablePackage::HasColor(int32_t part) const
{
    const int32_t color = GetColorPhase();
    return color >= 0 && GetPartInPhase(color) == part;
}

bool CBuildablePackage::IsPaintedFor(const CBuildablePackage* order) const
{
    return IsFullyPainted() || (order && GetColorPhase() >= 0 && !order->HasAnyColor());
}

bool CBuildablePackage::HasAnyColor() const
{
    return GetPartInPhase(GetColorPhase()) != 0;
}

CBuildablePart* CBuildablePackage::GetPartUnderConstruction() const
{
    return GetBuildablePart(m_BeingConstructed);
}

CSequence* CBuildablePackage::GetAddOnAppearance() const
{
    CUpgrade* part = GetUpgradeByIndex(GetPartInPhase(GetAddOnPhase()));
    CSequenceList& sequences = GetSequenceList();
    if (!part || part->m_Appearance <= 0 || part->m_Appearance >= sequences.GetCount())
        return nullptr;
    return sequences.GetObject(part->m_Appearance);
}

void CBuildablePackage::SetPartCount(uint32_t count)
{
    PartsProperty("Parts List").ArrayProperty_SetCount(this, count);
}

void CBuildablePackage::RemoveUnpainted(int32_t part)
{
    CPropertyArray<int32_t>& list = m_UnpaintedParts;
    for (uint32_t i = 0; i < list.GetCount(); ++i) {
        if (list[i] == part) {
            for (uint32_t j = i + 1; j < list.GetCount(); ++j)
                list[j - 1] = list[j];
            PartsProperty("Unpainted Parts List").ArrayProperty_SetCount(this, list.GetCount() - 1);
            return;
        }
    }
}

void CBuildablePackage::ClearUnpainted()
{
    PartsProperty("Unpainted Parts List").ArrayProperty_SetCount(this, 0);
}

void CBuildablePackage::AppendUnpainted(int32_t part)
{
    const uint32_t count = m_UnpaintedParts.GetCount();
    PartsProperty("Unpainted Parts List").ArrayProperty_SetCount(this, count + 1);
    m_UnpaintedParts[count] = part;
}

void CBuildablePackage::ResetPaint()
{
    if (!HasAnyColor())
        return;
    m_Parts[uint32_t(GetColorPhase())] = 0;
    ClearUnpainted();
    for (uint32_t i = 0; i < m_Parts.GetCount(); ++i)
        if (m_Parts[i] != 0 && PhaseGetsColored(int32_t(i)))
            AppendUnpainted(m_Parts[i]);
}

void CBuildablePackage::UpgradePartToOwned(uint32_t phase)
{
    CGameState* state = CGameState::SGetCurrent();
    CUpgrade* part = GetUpgradeByIndex(m_Parts[phase]);
    if (!state || !part)
        return;
    const int32_t owned = state->GetUpgradeInSlot(part->m_UpgradeSlot);
    if (owned == 0)
        return;
    if (owned != m_Parts[phase])
        m_Parts[phase] = owned;
}

void CBuildablePackage::UpgradePartsToOwned()
{
    // A slot the player has not filled keeps the prebuilt part: emptying it
    // would leave a garage standing without its frame.
    for (uint32_t i = 0; i < m_Parts.GetCount(); ++i)
        UpgradePartToOwned(i);
}

void CBuildablePackage::UpgradeGarageToOwned()
{
    const int32_t garage = GetGaragePhase();
    if (garage >= 0 && uint32_t(garage) < m_Parts.GetCount())
        UpgradePartToOwned(uint32_t(garage));
}

void CBuildablePackage::SizeToBuildPhases()
{
    const uint32_t phases = uint32_t(GetBuildPhaseList().GetCount());
    const uint32_t before = m_Parts.GetCount();
    if (before >= phases)
        return;
    SetPartCount(phases);
    for (uint32_t i = before; i < phases; ++i)
        m_Parts[i] = 0;
}

void CBuildablePackage::MarkThreeInARowPart(int32_t part)
{
    m_HighlightTimer = 0.0f;
    m_HighlightActive = true;
    const size_t phases = size_t(std::max(GetBuildPhaseList().GetCount(), 0));
    if (m_HighlightParts.size() < phases)
        m_HighlightParts.resize(phases, 0);
    CBuildablePart* object = GetBuildablePart(part);
    if (object && object->m_BuildPhase >= 0 && size_t(object->m_BuildPhase) < m_HighlightParts.size())
        m_HighlightParts[size_t(object->m_BuildPhase)] = part;
}

void CBuildablePackage::UpdateHighlight(float seconds)
{
    if (!m_HighlightActive)
        return;
    m_HighlightTimer += seconds;
    CThreeInARowCounter* counter = GetThreeInARowCounter();
    if (!counter || !counter->IsBonusActive()) {
        m_HighlightActive = false;
        m_HighlightTimer = 0.0f;
        std::fill(m_HighlightParts.begin(), m_HighlightParts.end(), 0);
    }
}

float GetHighlightOpacity(float timer, float period)
{
    if (!(period > 0.0f))
        return 1.0f;
    const float t = std::fmod(timer, period);
    return t <= period / 2.0f ? 2.0f * t / period : 2.0f - 2.0f * t / period;
}

bool CBuildablePackage::ShowMoveInRefusal(const CBuildablePackage* order) const
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
        int32_t part = GetPartInPhase(phase);
        if (part != 0 || phase < 0)
            return part;
        for (uint32_t i = m_UnpaintedParts.GetCount(); i-- > 0;) {
            CBuildablePart* object = GetBuildablePart(m_UnpaintedParts[i]);
            if (object && object->m_BuildPhase == phase)
                return m_UnpaintedParts[i];
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
            && wrong("CantMoveInWrongPart", "%s[DesiredPart]", "%s[ActualPart]", order->GetPartInPhase(phase),
                     lotPart(phase)))
            return true;
    if (addOn >= 0
        && wrong("CantMoveInWrongPart", "%s[DesiredPart]", "%s[ActualPart]", order->GetPartInPhase(addOn),
                 GetPartInPhase(addOn)))
        return true;
    if (color >= 0
        && wrong("CantMoveInWrongPaint", "%s[DesiredColor]", "%s[ActualColor]", order->GetPartInPhase(color),
                 GetPartInPhase(color)))
        return true;

    auto missing = [&](int32_t phase, bool always) {
        if (phase < 0 || GetPartInPhase(phase) != 0)
            return false;
        const int32_t wanted = order->GetPartInPhase(phase);
        if (!always && wanted == 0)
            return false;
        CTextSubstitutionList variables;
        variables.AddText("%s[MissingPart]", PartName(wanted));
        Refuse("CantMoveInMissingPart", &variables);
        return true;
    };
    if (missing(frame, true) || missing(garage, false) || missing(addOn, false))
        return true;

    if (m_UnpaintedParts.GetCount() != 0) {
        if (!HasAnyColor()) {
            Refuse("CantMoveInUnpaintedGeneric", nullptr);
        } else {
            CTextSubstitutionList variables;
            variables.AddText("%s[UnpaintedPart]", PartName(m_UnpaintedParts[0]));
            Refuse("CantMoveInUnpaintedSpecific", &variables);
        }
        return true;
    }
    return false;
}
