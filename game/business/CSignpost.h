#pragma once
// The signpost: advertises a finished house.
class CSpriteAI;
class CUpgrade;

// The signpost AI of a signpost upgrade (given the upgrade's own value),
// reset to its defaults; null for any other upgrade.
CSpriteAI* CreateSignpostAI(CUpgrade& upgrade);
// The signpost sprite's AI on the "Crew" layer, or null.
CSpriteAI* GetSignpostAI();
