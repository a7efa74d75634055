#pragma once
// Customer arrivals: once per playing frame, whether the next customer comes
// and whether the level is over. Customers come at the level's pace (one
// chance in "Fames Per New Customer" a frame) while the line has room, none
// before "First Customer Delay "; once all have come and gone, and no window
// or three-in-a-row pay-out holds the level open, the level completes.
#include "foundation/UpwardHook.h"

#include <cstdint>

class CFrameInterface;
class CSprite;

void UpdateCustomerSpawning();
// One new customer on the "Customers" layer, placed in line on its first
// update; null without a current level or playfield.
CSprite* SpawnCustomer();
// Sprites of the "Customers" layer whose customer is in state "Idle".
uint32_t CountIdleCustomers();

// Ends the level through the screens' results (CGameScreensHooks).
void CompleteLevel();

// With "Show Customer Spawn Limiting" on: the seconds played and the line's
// current limit, top left, in "Level Time Font".
void DrawLevelTimeDebugInfo(CFrameInterface& target);
// The level editor options' "Show Customer Spawn Limiting"; off until
// installed.
using SpawnLimitingQuery = bool (*)();
SpawnLimitingQuery SetSpawnLimitingQuery(SpawnLimitingQuery query);
OMBRISALT_UPWARD_HOOK(SetSpawnLimitingQuery);
