#pragma once
// What a building does beyond its data: the queries the move-in and the
// orders ask, the refusals shown when a customer may not move in, building a
// part on a lot over time, the random wish of a customer, and drawing the
// building with its paint, its cross-fading build frames and progress bar.
// The world declares the building; these are functions over it.
#include <cstdint>

class CBuildablePackage;
class CBuildablePart;
class CBuildPhase;
class CFrame;
class CFrameInterface;
class CRandomGenerator;
class CSprite;

// The phases the code knows by name; -1 when the data has no such phase.
int32_t GetFramePhase();
int32_t GetGaragePhase();
int32_t GetAddOnPhase();
int32_t GetColorPhase();

// The part of an upgrade index, null for none and for other upgrades.
CBuildablePart* GetBuildablePart(int32_t upgrade);
// The phase object; null outside the build-phase list.
CBuildPhase* GetBuildPhaseAt(int32_t phase);
// The upgrade the package holds in the phase; 0 for none or outside its list.
int32_t GetPartInPhase(const CBuildablePackage& package, int32_t phase);

// Queries, no side effects.
bool HasPart(const CBuildablePackage& package, int32_t part);
bool ContainsPartsOf(const CBuildablePackage& package, const CBuildablePackage* other);
bool MatchesIgnoringAddOn(const CBuildablePackage& package, const CBuildablePackage& other);
bool HasColorablePart(const CBuildablePackage& package);
bool HasColor(const CBuildablePackage& package, int32_t part);
bool HasAnyColor(const CBuildablePackage& package);

// Clears the colour and marks every colourable part unpainted again.
void ResetPaint(CBuildablePackage& package);
// Each part becomes the upgrade the game state owns in the part's slot.
void UpgradePartsToOwned(CBuildablePackage& package);
void UpgradeGarageToOwned(CBuildablePackage& package);
// Grows the parts list with empty phases to the build-phase count, so that
// packages made at different times compare alike.
void SizeToBuildPhases(CBuildablePackage& package);

// The three-in-a-row highlight.
void MarkThreeInARowPart(CBuildablePackage& package, int32_t part);
void UpdateHighlight(CBuildablePackage& package, float seconds);
// The highlight's opacity at the timer: a triangle wave of the rules' period.
float GetHighlightOpacity(float timer, float period);

// Shows why the customer with this order may not move in; true when refused.
bool ShowMoveInRefusal(const CBuildablePackage& package, const CBuildablePackage* order);

// The hue-remapper style sheet a part is drawn with; -1 when there is none.
int32_t GetPaintRemap(const CBuildablePackage& package, int32_t part, bool unpaintedPreview);
// Draws the building at (x, y): highlights, the half-size building, the bar.
void DrawBuilding(CBuildablePackage& package, CFrameInterface& target, int32_t x, int32_t y, float scale);
// The frame a wish bubble shows for the phase's part; null without one.
CFrame* GetWishFrame(const CBuildablePackage& package, int32_t phase, bool useWishAppearance);

// Building.
bool CanBuild(CBuildablePackage& package, CBuildablePart& part, bool showMessage);
void StartBuilding(CBuildablePackage& package, CBuildablePart& part, int32_t upgrade, CSprite* lotSprite);
// Advances the part under construction (seconds already sped up by the
// foreman); finishes it at 1.
void UpdateBuilding(CBuildablePackage& package, float seconds);
void FinishBuilding(CBuildablePackage& package);
// A click assist.
void AddProgress(CBuildablePackage& package, float amount);
// The build speed of the phase's crews: the crew skill in the phase's first
// slot, 1 without one.
float GetCrewBuildSpeed(int32_t phase);
// Fills the package with a random order, one entry per build phase.
void MakeRandomWish(CBuildablePackage& package);
void MakeRandomWish(CBuildablePackage& package, CRandomGenerator& random);
// A random part the game state offers in the phase; 0 when none.
int32_t GetRandomAvailablePart(int32_t phase, CRandomGenerator& random);
// The parts' crew check and drop on a lot: CanUsePart and DropPartOnLot in
// CBuildablePackageOps.h.
