#pragma once
// What buildings do on the playfield beyond their data: refusals at move-in,
// building a part phase by phase, drawing, and the parts a customer may
// order. The lot reaches these through the business layer's lot hooks.
#include "blit/CColor.h"

#include <cstdint>

class CBuildablePackage;
class CBuildablePart;
class CFrameInterface;
class CLot;
class CSequence;
class CSpriteAI;

void ReportUnpaintedBuilding(CBuildablePackage& building);
void ReportMismatchedBuilding(CBuildablePackage& building, CSpriteAI* customer);
void MarkPartInARow(CBuildablePackage& building, int32_t upgrade);
void InitializeBuilding(CBuildablePackage& building, CLot* lot);
void AdvanceConstruction(CBuildablePackage& building, float seconds);
// fraction: of the part's work, done at once (a click assist).
void AdvanceConstructionBy(CBuildablePackage& building, float fraction);
void ReplacePrebuiltParts(CBuildablePackage& building);
void DrawBuilding(CBuildablePackage& building, CFrameInterface& frame, float scale);
void SetBuildingVolume(CBuildablePackage& building, int32_t volume);
bool CanTakePart(CBuildablePackage& building, CBuildablePart* part);
// Null when nothing is being built.
CBuildablePart* GetPartUnderConstruction(CBuildablePackage& building);
// The appearance of the building's "Add On" part; null for none.
CSequence* GetAddOnAppearance(CBuildablePackage& building);
bool HoldsWatchedUpgrade(CBuildablePackage& building);
// White for none.
CColor GetPaintColour(CBuildablePart* paint);

// The part kinds' drop behaviour: the crew check, and building on a lot.
bool CanUsePart(CBuildablePart& part, bool showMessage);
bool DropPartOnLot(CBuildablePart& part, int32_t upgradeIndex, CLot* lot);
