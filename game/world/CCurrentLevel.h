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
#include "foundation/UpwardHook.h"
#include "game/world/CLevelOptions.h"

#include <cstdint>

class CSpriteAI;
class CSpritePlugIn;
class CUpgrade;

// Places the sprites of the upgrades in the player's upgrade slots on the
// current playfield; nothing when the current period has no HUD background.
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

// What the level asks of the player profiles, the advice and the business
// layer above this library; every hook answers "nothing there" until
// installed.
class CCurrentLevelHooks {
public:
    virtual ~CCurrentLevelHooks() = default;
    // The current player's play mode flag (the mode with a revenue
    // requirement).
    virtual bool IsStandardPlayMode() { return true; }
    // The name of the advice shown last; empty when none.
    virtual CJString GetLastAdviceName() { return CJString(); }
    // Where the slot's marker puts its sprite; false when the slot has none.
    virtual bool GetUpgradeSlotMarkerPosition(uint32_t /*slot*/, CFPoint& /*out*/) { return false; }
    // A crew AI reset to defaults for the build phase; null: no crew sprite.
    virtual CSpriteAI* CreateCrewAI(int32_t /*buildPhase*/) { return nullptr; }
    // Whether the upgrade shows a sprite in its slot.
    virtual bool ShowsSlotSprite(CUpgrade* /*upgrade*/) { return false; }
    // The AI the upgrade makes for its slot sprite, and a clone of the
    // upgrade's own plug-in; either may be null.
    virtual CSpriteAI* CreateSlotAI(CUpgrade* /*upgrade*/, uint32_t /*slot*/) { return nullptr; }
    virtual CSpritePlugIn* CloneSlotPlugIn(CUpgrade* /*upgrade*/) { return nullptr; }
    // The foreman AI (set to its start state) of a foreman upgrade, or the
    // signpost AI (given the upgrade's own value) of a signpost upgrade,
    // reset to defaults; null for every other upgrade. A signpost sets
    // isSignpost: its sprite also carries the rules' signpost plug-in.
    virtual CSpriteAI* CreateCompanionAI(CUpgrade* /*upgrade*/, bool& /*isSignpost*/) { return nullptr; }
    // A press on the playfield without the left button drops any sprite
    // held on the cursor.
    virtual void DropSpriteHeldOnCursor() {}
};
// Installs hooks (null: none); returns the previous ones. The caller keeps
// ownership.
CCurrentLevelHooks* SetCurrentLevelHooks(CCurrentLevelHooks* hooks);
OMBRISALT_UPWARD_HOOK(SetCurrentLevelHooks);
CCurrentLevelHooks& GetCurrentLevelHooks();
