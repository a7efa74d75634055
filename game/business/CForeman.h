#pragma once
// The foreman: walks to a lot being built and speeds its crew up.
class CLot;
class CSpriteAI;
class CUpgrade;

// The foreman AI of a foreman upgrade, set to its start state; null for any
// other upgrade.
CSpriteAI* CreateForemanAI(CUpgrade& upgrade);
// 1.0 for none.
float GetForemanBuildSpeed(CSpriteAI* foreman);
void TellForemanMoveIn(CSpriteAI* foreman, CLot* lot);
