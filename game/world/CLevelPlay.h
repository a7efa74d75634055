#pragma once
// The level in play: what happens to the held copy of a level while it is
// played (its start, the per-frame update, the messages it reacts to, the
// end of player interaction and the statistics text), the sprites placed
// for the player's upgrades, and the small effects the level spawns.
//
// Every entry point copes with no current level (an empty level set): it
// then does nothing, and the statistics text writes what it can.
//
// The members of CLevelOptions declared there (StartPlay, Update,
// HandleMessage, AddLevelStats) are defined with these.
#include "foundation/CFPoint.h"
#include "game/world/CLevelOptions.h"

#include <cstdint>

// Places the sprites of the upgrades in the player's upgrade slots on the
// current playfield at their slots' markers: a crew for a crew upgrade, else
// the upgrade's button (with a clone of its plug-in) on the "UI" layer and,
// for a foreman or a signpost, its sprite on the "Crew" layer. Nothing when
// the current period has no HUD background.
void PlaceSlotSprites();

// The player can do nothing more in this play: play time stops, the level
// and the playfield hear "PlayerInteractionComplete", the text
// substitutions are emptied and the song player reacts. Nothing without a
// current level.
void CompletePlayerInteraction();

// A one-shot "StarGoalEffect" at the overlay position plus (24, 24),
// appended to the "Effects" layer of the current playfield (made when
// missing). Nothing without a current playfield.
void SpawnStarGoalEffect(CFPoint overlayPosition);

// A one-shot animation sprite of the sequence (with the sequence's blit
// type) at the position, appended to the named layer of the current
// playfield (made when missing). Null when there is no current playfield
// or the sequence is none; otherwise the layer owns the sprite.
CSprite* SpawnOneShotAnimation(int32_t sequence, CFPoint position, const char* layerName);
