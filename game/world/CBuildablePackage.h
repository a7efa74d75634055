#pragma once
// A building, as ordered by a customer or as it stands on a lot: one part per
// build phase (upgrade indexes, 0 = none in that phase), the parts waiting
// for paint, and the part under construction.
#include "objects/CObject.h"
#include "objects/CPropertyArrayProperty.h"

#include <cstdint>
#include <memory>
#include <vector>

class CSound;

class CBuildablePackage : public CObject {
    OMBRISALT_REFLECTED(CBuildablePackage, CObject)
public:
    CBuildablePackage();
    ~CBuildablePackage() override;

    bool IsBeingConstructed() const { return m_BeingConstructed != 0; }
    bool IsFullyPainted() const { return m_UnpaintedParts.GetCount() == 0; }
    bool HasParts() const;
    // False for null; else both parts lists hold the same entries in order.
    bool HasSamePartsAs(const CBuildablePackage* other) const;
    // The summed "Resale Value" of every part, thousands of $.
    float GetResaleValue() const;
    // 0 for an empty phase or one outside the parts list.
    float GetPartResaleValue(uint32_t phase) const;

    // Also stops and releases the building sound.
    void ResetToDefaults() override;
    // Stops and releases the building sound, if any.
    void ReleaseBuildingSound();
    // Takes over a looping copy of a sound-list entry (released through the
    // list when replaced).
    void SetBuildingSound(std::unique_ptr<CSound> sound, int32_t soundIndex);
    CSound* GetBuildingSound() const { return m_BuildingSound.get(); }

    CPropertyArray<int32_t> m_Parts;          // "Parts List", by build phase
    CPropertyArray<int32_t> m_UnpaintedParts; // "Unpainted Parts List"
    // Parts highlighted by a three-in-a-row bonus, by build phase.
    std::vector<int32_t> m_HighlightParts;
    int32_t m_BeingConstructed = 0;           // "Being Constucted"
    float m_ConstructionProgress = 0.0f;      // "Constuction Progress", 0 to 1
    float m_HighlightTimer = 0.0f;            // seconds since the highlight started
    bool m_HighlightActive = false;

private:
    std::unique_ptr<CSound> m_BuildingSound;
    int32_t m_BuildingSoundIndex = 0; // in the sound list
};
