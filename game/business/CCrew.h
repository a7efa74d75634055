#pragma once
// Crews: sprites of the "Crew" layer that wait in a line at their build
// phase's slot and walk to a lot while a part of their phase goes up there.
// Each crew upgrade the game state holds brings one crew; the phase's crew
// skill upgrade (its first upgrade slot) gives them their looks and speed.
#include "foundation/CFPoint.h"
#include "game/business/CUpgrade.h"
#include "game/scripting/CSpriteAI.h"

#include <cstdint>

class CBuildablePart;
class CCodeTableList;
class CLot;
class CSprite;

class CCrew : public CSpriteAI {
    OMBRISALT_REFLECTED(CCrew, CSpriteAI)
public:
    enum EState : int32_t { kIdle = 0, kBuilding = 1 };

    CCrew();
    ~CCrew() override;

    // The looks of the crew upgrade in the phase's first slot, when held.
    void OnAddedToSprite(CSprite* sprite) override;
    void Update(CSpriteUpdateRecord& record) override;

    // Records the lot, starts the part (upgrade: its index in the upgrade
    // list) on the lot's building and goes to work there.
    void StartJob(CBuildablePart& part, int32_t upgrade, CLot& lot);

    bool IsIdle() const { return m_State == kIdle; }
    CLot* GetLot() const { return m_Lot; }

    int32_t m_BuildingPhase = 0; // "Building Phase", into the build-phase list
    int32_t m_State = kIdle;     // "State"

private:
    CLot* m_Lot = nullptr; // the lot being built; null while idle
};

// "Idle", "Building".
CCodeTableList& GetCrewStateList();

// Whether the lot is still the AI of a sprite on the current playfield. The
// pointer is only compared, so a lot deleted meanwhile (an editor's delete, a
// playfield torn down layer by layer) reads as gone rather than being used.
bool IsLotOnPlayfield(const CLot* lot);

// Brings a further crew to its phase; looks like the phase's crew skill.
class CCrewQuantityUpgrade : public CCrewUpgrade {
    OMBRISALT_REFLECTED(CCrewQuantityUpgrade, CCrewUpgrade)
public:
    CCrewQuantityUpgrade();
    ~CCrewQuantityUpgrade() override;

    // Those of the upgrade held in the phase's first slot; its own when the
    // slot is empty.
    int32_t GetAppearance() override;
    int32_t GetCloseUp() override;
};

// The first idle crew of the phase in the "Crew" layer's order; null when
// there is none (or no such layer).
CSprite* FindIdleCrew(int32_t phase);
// The crew AI of such a sprite.
CCrew* FindIdleCrewAI(int32_t phase);

// Once per frame of play, before the playfield updates: clears the
// crews-building count and turns this frame's idle counts into last frame's.
void BeginCrewFrame();
// The crews found building since BeginCrewFrame. The game frame adds its
// one 1/60 s of play statistics with this count (CLevelPlayStats::
// AddPlayingUpdate), so nothing here adds time again.
uint32_t GetCrewsWorking();
// The statistics step of one frame of play, for a game loop that does not
// count it itself: 1/60 s into the level time and the bucket of this count.
void RecordCrewWorkTime();

// Where the index-th of count idle crews of the phase stands: centred on the
// slot marker of the phase's second slot (its first when it has one), the
// phase's "Space Between Idle Crews" apart. False when the phase or its
// slots are missing; a slot without a marker stands at (0, 0).
bool GetIdleCrewPosition(int32_t phase, uint32_t index, uint32_t count, CFPoint& out);

// Stands every idle crew at once where its updates would walk it: for a
// street shown without running, whose crews would stay where they came in.
void PlaceIdleCrewsAtTheirPlaces();

// A crew AI of the phase at its defaults, for the level start.
CCrew* CreateCrewAI(int32_t phase);
