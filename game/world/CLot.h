#pragma once
// A lot of the town grid: the AI of a sprite on the "Lot" layer. It owns the
// building standing on it and (once someone moved in) a copy of its
// resident, takes clicks and drops (of the customer or the upgrade button
// held on the cursor), and runs the move-in that earns the level its
// revenue.
//
// CLot.cpp holds properties, clicks, the move-in and in-a-row runs;
// CLotPlay.cpp the per-step update, drawing, click assist and score balloon.
#include "blit/CColor.h"
#include "foundation/CFPoint.h"
#include "foundation/CPoint.h"
#include "game/scripting/CSpriteAI.h"
#include "objects/CMessage.h"

#include <cstdint>
#include <vector>

class CBuildablePackage;
class CBuildablePart;
class CCustomer;
class CForeman;
class CPointPath;
class CSequence;
class CUpgrade;
class CXInARowCheckMessage;

class CLot : public CSpriteAI {
    OMBRISALT_REFLECTED(CLot, CSpriteAI)
public:
    CLot();
    // Unless the game is shutting down, the mouse cursor returns to "Mouse
    // Cursor" (CLotPlay.cpp).
    ~CLot() override;

    // "Background Sequence" = "Tile EmptyLot"; a fresh empty building.
    void OnAddedToSprite(CSprite* sprite) override;
    void Update(CSpriteUpdateRecord& record) override;       // CLotPlay.cpp
    void Draw(CSpriteDrawRecord& record) override;           // CLotPlay.cpp
    void GetBounds(CRect& out) override;                     // CLotPlay.cpp
    void HandleMessage(CMessage& message) override;
    // The shared four-point polygon, in sprite coordinates.
    CPointPath* GetHitArea(CSprite* sprite) override;

    // Not under construction, fully painted, vacant, and the building is
    // what the customer ordered.
    bool CanHouse(CCustomer* customer);
    // The foreman overseeing the lot; null when none (or when it is gone).
    void SetForeman(CForeman* foreman) { m_Foreman = foreman; }
    CForeman* GetForeman() const { return m_Foreman; }
    // A click (dropped false) or a release of a dragged sprite (true) over
    // the lot; true when handled.
    bool OnClicked(bool dropped);
    void MoveIn(CCustomer* customer, bool dropped);
    // The ground of a lot someone lives on (one of the style sheet's lived-in
    // images, none when it has none) with the scenery standing on it shown
    // again: what a move-in leaves, and how a building put back from a
    // record looks.
    void ShowAsLivedIn();
    // The in-a-row bonus fraction of a move-in; fills the message's counts
    // one phase at a time as the goals read them.
    float CheckInARow(CXInARowCheckMessage& message);
    bool TryDeliverCustomer();
    void Bulldoze();
    // The poke of the building's add-on; true when it played.
    bool TryPoke(CPoint layerPoint);

    bool IsVacant() const { return m_CustomerLivingHere == nullptr; }
    CBuildablePackage* GetBuilding() const { return m_Building; }
    CSpriteAI* GetResident() const { return m_CustomerLivingHere; }
    // The resident when it is a customer; null otherwise.
    CCustomer* GetResidentCustomer() const;
    CPoint GetGridCoordinate() const { return m_GridCoordinate; }
    bool BuildingHasPart(int32_t upgrade) const;
    // The part (upgrade index) of the building at that phase, 0 for none.
    int32_t GetBuildingPart(int32_t phase) const;
    // The at-location goals mark their lots at each of their draws.
    void MarkGoalLocation() { m_IsGoalLocation = true; }
    // The lot AI of a sprite, or null.
    static CLot* SFromSprite(CSprite* sprite);

    // Lot play (CLotPlay.cpp).
    bool ClickAssist();
    void PlayAssistEffect();
    void ShowClickAssistCursor();
    void ShowScoreBalloon(float inARowFraction);
    // Whether the upgrade (held on the cursor) can be used on this lot.
    bool CanUseUpgradeHere(CUpgrade* upgrade);

    // The building's resale value, with the scenic bonus on a scenic lot.
    float GetValueWithScenicBonus() const;

    // Properties.
    CBuildablePackage* m_Building = nullptr;   // "Building", owned
    CSpriteAI* m_CustomerLivingHere = nullptr; // "Customer Living Here", owned clone; null = vacant
    bool m_ForcePrebuiltItemsToUsePurchasedUpgrades = false;
    CPoint m_GridCoordinate{0, 0};             // "Grid Coordinate" (column, row)
    bool m_IsScenicLot = false;                // "Is Scenic Lot"
    int32_t m_BackgroundSequence = 0;          // "Background Sequence"
    bool m_Initialized = false;                // "Debug/Initialized"
    float m_SecondsWaitingForMouseUp = 0.0f;   // "Seconds Waiting For Mouse Up"
    float m_SecondsBetweenAssistClicks = 0.0f; // "Seconds Between Assist Clicks"

    // Not saved.
    CForeman* m_Foreman = nullptr;
    bool m_IsHovered = false;
    bool m_IsGoalLocation = false;
    bool m_IsDropTarget = false;
    float m_PokeClock = 0.0f; // 0 = idle
    float m_DrawScale = 1.0f;

private:
    // The frame, garage and add-on samples of the game state.
    void RecordPartSamples(class CGameState& state);
    // Shows again the hidden sprites of the lot layer standing on this lot.
    void RevealScenery();
};

// "CCustomerMovedInMessage": a customer moved in on the lot.
class CCustomerMovedInMessage : public CMessage {
public:
    explicit CCustomerMovedInMessage(CLot* lot);
    static uint32_t SGetType();
    CLot* GetLot() const { return m_Lot; }

private:
    CLot* m_Lot;
};

// "CXInARowCheckMessage": the lot and one in-a-row count per position of
// the building's parts list (one per build phase).
class CXInARowCheckMessage : public CMessage {
public:
    explicit CXInARowCheckMessage(CLot* lot);
    static uint32_t SGetType();
    CLot* GetLot() const { return m_Lot; }
    // 0 for a phase past the list.
    int32_t GetCount(int32_t phase) const;
    std::vector<int32_t> m_Counts;

private:
    CLot* m_Lot;
};

// What the click-assist cursor carries besides its sequence: the colour of
// the paint under construction (white for any other part) and, while the
// three-in-a-row bonus runs, the bonus's mega sequence (0 otherwise). The
// lot sets it with the cursor; nothing draws it yet.
struct SCursorDecoration {
    CColor colour{255, 255, 255, 255};
    uint32_t megaSequence = 0;
};
const SCursorDecoration& GetCursorDecoration();

// Shows the named sequence as the mouse cursor; null: the standard one.
void SetLotMouseCursor(const char* sequenceName);

// The lot a lot message carries; null for any other message.
CLot* GetMessageLot(CMessage& message);
// The in-a-row count a "CXInARowCheckMessage" carries for the phase; 0 else.
int32_t GetMessageInARowCount(CMessage& message, int32_t phase);
