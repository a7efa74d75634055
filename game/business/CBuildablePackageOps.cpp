// Stubs for bz-build to fill (the skeleton's hooks call them): every function
// declared in CBuildablePackageOps.h.
#include "game/business/CBuildablePackageOps.h"

void ReportUnpaintedBuilding(CBuildablePackage&) {}
void ReportMismatchedBuilding(CBuildablePackage&, CSpriteAI*) {}
void MarkPartInARow(CBuildablePackage&, int32_t) {}
void InitializeBuilding(CBuildablePackage&, CLot*) {}
void AdvanceConstruction(CBuildablePackage&, float) {}
void AdvanceConstructionBy(CBuildablePackage&, float) {}
void ReplacePrebuiltParts(CBuildablePackage&) {}
void DrawBuilding(CBuildablePackage&, CFrameInterface&, float) {}
void SetBuildingVolume(CBuildablePackage&, int32_t) {}
bool CanTakePart(CBuildablePackage&, CBuildablePart*) { return false; }
CBuildablePart* GetPartUnderConstruction(CBuildablePackage&) { return nullptr; }
CSequence* GetAddOnAppearance(CBuildablePackage&) { return nullptr; }
bool HoldsWatchedUpgrade(CBuildablePackage&) { return false; }
CColor GetPaintColour(CBuildablePart*) { return CColor(255, 255, 255, 255); }
bool CanUsePart(CBuildablePart&, bool) { return false; }
bool DropPartOnLot(CBuildablePart&, int32_t, CLot*) { return false; }
