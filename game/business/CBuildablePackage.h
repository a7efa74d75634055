#pragma once
// A building, as a customer orders it or as it stands on a lot: one part per
// build phase (upgrade indexes, 0 = none in that phase), the parts waiting
// for paint in the order they were built, and the part under construction.
// The same class describes an order and a lot's building, so that a move-in
// compares the two.
//
// A part goes up over time once a crew takes the job: StartBuilding puts it
// in its phase (and among the unpainted parts when its phase gets paint),
// Update advances it at the crew's pace until it is finished, and a paint
// finished clears the unpainted parts. The phases "Frame", "Garage", "Add
// On" and "Color" are known by name (CBuildPhase.h); a data set without one
// makes the checks about that phase compare nothing.
//
// CBuildablePackage.cpp holds the data, the queries, the paint, the
// three-in-a-row highlight and the move-in refusals; CBuildablePackageBuild.cpp
// building (with the parts' own drop on a lot) and the random wish;
// CBuildablePackageDraw.cpp the drawing.
#include "objects/CObject.h"
#include "objects/CPropertyArrayProperty.h"

#include <cstdint>
#include <memory>
#include <vector>

class CBuildablePart;
class CFrame;
class CFrameInterface;
class CRandomGenerator;
class CSequence;
class CSound;
class CSprite;

class CBuildablePackage : public CObject {
    OMBRISALT_REFLECTED(CBuildablePackage, CObject)
public:
    CBuildablePackage();
    ~CBuildablePackage() override;

    // Queries, no side effects.
    bool IsBeingConstructed() const { return m_BeingConstructed != 0; }
    bool IsFullyPainted() const { return m_UnpaintedParts.GetCount() == 0; }
    // Painted as the order asks: fully painted, or the data has paints and
    // the order names none, so it takes the house bare. Null asks for paint.
    bool IsPaintedFor(const CBuildablePackage* order) const;
    bool HasParts() const;
    // False for null; else both parts lists hold the same entries in order.
    bool HasSamePartsAs(const CBuildablePackage* other) const;
    // The summed "Resale Value" of every part, thousands of $.
    float GetResaleValue() const;
    // 0 for an empty phase or one outside the parts list.
    float GetPartResaleValue(uint32_t phase) const;
    // The upgrade in the phase; 0 for none or outside the parts list.
    int32_t GetPartInPhase(int32_t phase) const;
    // The part stands in its own phase.
    bool HasPart(int32_t part) const;
    // The upgrade stands in any phase (0 never does).
    bool HoldsUpgrade(int32_t upgrade) const;
    // The part the current game state holds in the slot, in its own phase;
    // false for a slot of 0 or below.
    bool HoldsUpgradeOwnedIn(int32_t slot) const;
    // True for null; else every part of other, within the phases both lists
    // cover, stands in the same phase here.
    bool ContainsPartsOf(const CBuildablePackage* other) const;
    // Every build phase but "Add On" holds the same part in both.
    bool MatchesIgnoringAddOn(const CBuildablePackage& other) const;
    bool HasColorablePart() const;
    // The "Color" phase exists and holds exactly the part.
    bool HasColor(int32_t part) const;
    bool HasAnyColor() const;
    // Null when nothing is being built.
    CBuildablePart* GetPartUnderConstruction() const;
    // The appearance of the "Add On" part; null for none.
    CSequence* GetAddOnAppearance() const;

    // Clears the colour and marks every colourable part unpainted again.
    void ResetPaint();
    // Each part becomes the upgrade the game state owns in the part's slot;
    // a slot the player has not filled keeps its part.
    void UpgradePartsToOwned();
    void UpgradeGarageToOwned();
    // Grows the parts list with empty phases to the build-phase count, so
    // that packages made at different times compare alike.
    void SizeToBuildPhases();

    // The three-in-a-row highlight: starts it and marks the part in its
    // phase; each update runs it until the counter's bonus is over.
    void MarkThreeInARowPart(int32_t part);
    void UpdateHighlight(float seconds);

    // Shows why the customer with this order may not move in (the wrong
    // part, a missing part, then the paint); true when refused. Null: no
    // check.
    bool ShowMoveInRefusal(const CBuildablePackage* order) const;

    // Building (CBuildablePackageBuild.cpp).
    // Whether the part may go up here now; with showMessage a refusal says
    // why, and a repaint counts (and may clear the paint).
    bool CanBuild(CBuildablePart& part, bool showMessage);
    // upgrade: the part's index in the upgrade list.
    void StartBuilding(CBuildablePart& part, int32_t upgrade, CSprite* lotSprite);
    // Another part of the phase being built takes its place and starts over;
    // false for a phase outside the parts list.
    bool ReplacePartUnderConstruction(CBuildablePart& part, int32_t upgrade);
    // Advances the part under construction (the seconds already sped up by
    // the foreman) and finishes it at 1; runs the highlight.
    void Update(float seconds);
    void FinishBuilding();
    // A click assist: the share of the part's work done at once.
    void AddProgress(float amount);
    // Fills the package with a random order, one entry per build phase (the
    // business generator by default).
    void MakeRandomWish();
    void MakeRandomWish(CRandomGenerator& random);

    // Drawing (CBuildablePackageDraw.cpp).
    // The hue-remapper style sheet a part is drawn with; -1 when there is none.
    int32_t GetPaintRemap(int32_t part, bool unpaintedPreview) const;
    // At (x, y): the highlights, the half-size building with its paint
    // fading in and its build frames cross-fading, and the progress bar;
    // the add-on at scale.
    void Draw(CFrameInterface& target, int32_t x, int32_t y, float scale);
    // The frame a wish bubble shows for the phase's part; null without one.
    CFrame* GetWishFrame(int32_t phase, bool useWishAppearance) const;

    // Also stops and releases the building sound.
    void ResetToDefaults() override;
    // Stops and releases the building sound, if any.
    void ReleaseBuildingSound();
    // Takes over a looping copy of a sound-list entry (released through the
    // list when replaced).
    void SetBuildingSound(std::unique_ptr<CSound> sound, int32_t soundIndex);
    CSound* GetBuildingSound() const { return m_BuildingSound.get(); }
    // The building sound's volume (-10000: silent, as a paused game sets it).
    void SetBuildingVolume(int32_t volume);

    CPropertyArray<int32_t> m_Parts;          // "Parts List", by build phase
    CPropertyArray<int32_t> m_UnpaintedParts; // "Unpainted Parts List"
    // Parts highlighted by a three-in-a-row bonus, by build phase.
    std::vector<int32_t> m_HighlightParts;
    int32_t m_BeingConstructed = 0;           // "Being Constucted"
    float m_ConstructionProgress = 0.0f;      // "Constuction Progress", 0 to 1
    float m_HighlightTimer = 0.0f;            // seconds since the highlight started
    bool m_HighlightActive = false;

private:
    // Sized through the class's properties so the arrays keep their own rules.
    void SetPartCount(uint32_t count);
    void RemoveUnpainted(int32_t part);
    void AppendUnpainted(int32_t part);
    void ClearUnpainted();
    void UpgradePartToOwned(uint32_t phase);

    std::unique_ptr<CSound> m_BuildingSound;
    int32_t m_BuildingSoundIndex = 0; // in the sound list
};

// The highlight's opacity at the timer: a triangle wave of the period.
float GetHighlightOpacity(float timer, float period);
// The build speed of the phase's crews: the crew skill held in the phase's
// first slot, 1 without one.
float GetCrewBuildSpeed(int32_t phase);

// A colour dropped again on a garage still waiting for that paint; told to
// the advice above this library.
void NoteGarageRepainted();
