// What the lots ask of their buildings, over the building functions.
#include "game/business/CBuildablePackageOps.h"

#include "game/business/BusinessHooks.h"
#include "game/business/CBuildingOps.h"
#include "game/world/CBuildablePackage.h"
#include "game/world/CGameState.h"
#include "game/world/CUpgrade.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "sequences/HueRemap.h"
#include "sound/CSoundDevice.h"

#include <algorithm>

void ReportUnpaintedBuilding(CBuildablePackage& building)
{
    // Without the order only the paint can be told; an empty order passes
    // the part checks.
    CBuildablePackage none;
    ShowMoveInRefusal(building, &none);
}

void ReportMismatchedBuilding(CBuildablePackage& building, CSpriteAI* customer)
{
    ShowMoveInRefusal(building, customer ? GetCustomerServices().GetOrder(customer) : nullptr);
}

void MarkPartInARow(CBuildablePackage& building, int32_t upgrade)
{
    MarkThreeInARowPart(building, upgrade);
}

void InitializeBuilding(CBuildablePackage& building, CLot*)
{
    // A lot built in the editor matches orders made for every phase.
    if (building.HasParts())
        SizeToBuildPhases(building);
}

void AdvanceConstruction(CBuildablePackage& building, float seconds)
{
    UpdateBuilding(building, seconds);
}

void AdvanceConstructionBy(CBuildablePackage& building, float fraction)
{
    AddProgress(building, fraction);
}

void ReplacePrebuiltParts(CBuildablePackage& building)
{
    UpgradePartsToOwned(building);
}

void DrawBuilding(CBuildablePackage& building, CFrameInterface& frame, float scale)
{
    DrawBuilding(building, frame, 0, 0, scale);
}

void SetBuildingVolume(CBuildablePackage& building, int32_t volume)
{
    if (CSound* sound = building.GetBuildingSound())
        sound->SetVolume(volume);
}

bool CanTakePart(CBuildablePackage& building, CBuildablePart* part)
{
    return part && CanBuild(building, *part, false);
}

CBuildablePart* GetPartUnderConstruction(CBuildablePackage& building)
{
    return GetBuildablePart(building.m_BeingConstructed);
}

CSequence* GetAddOnAppearance(CBuildablePackage& building)
{
    CUpgrade* part = GetUpgradeByIndex(GetPartInPhase(building, GetAddOnPhase()));
    CSequenceList& sequences = GetSequenceList();
    if (!part || part->m_Appearance <= 0 || part->m_Appearance >= sequences.GetCount())
        return nullptr;
    return sequences.GetObject(part->m_Appearance);
}

bool HoldsWatchedUpgrade(CBuildablePackage& building)
{
    // The part the game state holds in the watched slot, built in its own
    // phase of this house.
    const int32_t slot = GetAchievementServices().GetWatchedUpgradeSlot();
    CGameState* state = CGameState::SGetCurrent();
    if (slot <= 0 || !state)
        return false;
    const int32_t held = state->GetUpgradeInSlot(slot);
    return held != 0 && HasPart(building, held);
}

CColor GetPaintColour(CBuildablePart* paint)
{
    // The hue the paint's first rule gives, at full saturation and middle
    // lightness.
    auto* colour = dynamic_cast<CColorBuildablePart*>(paint);
    auto& sheets = GetHueRemapperStyleSheetList();
    if (!colour || colour->m_HueRemap < 0 || colour->m_HueRemap >= sheets.GetCount())
        return CColor(255, 255, 255, 255);
    CHueRemapperStyleSheet* sheet = sheets.GetObject(colour->m_HueRemap);
    if (!sheet || sheet->m_HueRemapperDataArray.GetCount() == 0 || !sheet->m_HueRemapperDataArray[0])
        return CColor(255, 255, 255, 255);
    const CHueRemapData& rule = *sheet->m_HueRemapperDataArray[0];
    const int32_t saturation = std::clamp(int32_t(rule.m_DestSaturation * 256.0f), 0, 256);
    int32_t r = 0, g = 0, b = 0;
    HLSToRGB(128, saturation, int32_t(rule.m_DestHue), r, g, b);
    return CColor(uint8_t(std::clamp(r, 0, 255)), uint8_t(std::clamp(g, 0, 255)), uint8_t(std::clamp(b, 0, 255)), 255);
}
