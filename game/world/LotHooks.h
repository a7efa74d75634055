#pragma once
// What lots ask of the building business above them: the customer and the
// upgrade button held on the mouse cursor, customers, building work beyond
// the data, foremen, the illegal-move display, the three-in-a-row counter,
// the cursor decoration, the deliverer and the achievement work variables.
// Customers, foremen and upgrade buttons are their sprite AIs. Every service
// does nothing, or answers "none", until installed.
#include "blit/CColor.h"
#include "foundation/CFPoint.h"
#include "foundation/UpwardHook.h"

#include <cstdint>

class CBuildablePackage;
class CBuildablePart;
class CFrameInterface;
class CLot;
class CSequence;
class CSprite;
class CSpriteAI;
class CThreeInARowCounter;
class CUpgrade;

class CLotHooks {
public:
    virtual ~CLotHooks() = default;

    // The mouse cursor's load. Taking releases it from the cursor.
    virtual CSpriteAI* GetHeldCustomer() { return nullptr; }
    virtual CSpriteAI* TakeHeldCustomer() { return nullptr; }
    virtual CSpriteAI* GetHeldUpgradeButton() { return nullptr; }
    virtual CSpriteAI* TakeHeldUpgradeButton() { return nullptr; }
    // The signpost's upgrade button held on the cursor (from the "UI" layer).
    virtual bool IsHeldSignpostButton() { return false; }
    // The signpost sprite's AI on the "Crew" layer, or null.
    virtual CSpriteAI* GetSignpostAI() { return nullptr; }
    virtual void ClearHeldSprite() {}

    // Upgrade buttons.
    virtual CUpgrade* GetButtonUpgrade(CSpriteAI* /*button*/) { return nullptr; }
    // Uses the button's upgrade on the lot; true when handled.
    virtual bool UseButtonOnLot(CSpriteAI* /*button*/, CLot* /*lot*/) { return false; }
    // Whether an upgrade is used on lots at all, and on this lot.
    virtual bool IsUsedOnLots(CUpgrade* /*upgrade*/) { return false; }
    virtual bool IsUsedOnLot(CUpgrade* /*upgrade*/, CLot* /*lot*/) { return false; }
    virtual bool IsBulldozer(CUpgrade* /*upgrade*/) { return false; }

    // Customers.
    virtual CBuildablePackage* GetOrder(CSpriteAI* /*customer*/) { return nullptr; }
    virtual float GetHeartsLeft(CSpriteAI* /*customer*/) { return 0.0f; }
    // The rules' move-in bonus fraction for the customer's hearts.
    virtual float GetMoveInBonus(CSpriteAI* /*customer*/) { return 0.0f; }
    virtual void TurnAway(CSpriteAI* /*customer*/) {}
    virtual void ShowDisappointment(CSpriteAI* /*customer*/) {}
    // The customer's order records the move-in.
    virtual void RecordMoveIn(CSpriteAI* /*customer*/) {}
    virtual void GetReadyToMoveIn(CSpriteAI* /*customer*/, CLot* /*lot*/) {}
    virtual void WalkTo(CSpriteAI* /*customer*/, CFPoint /*point*/) {}
    virtual void SetSpeed(CSpriteAI* /*customer*/, float /*speed*/) {}
    // A held customer over the lot.
    virtual void ReactToLot(CSpriteAI* /*customer*/, CLot* /*lot*/) {}
    // The customer AI of a sprite of the "Customers" layer, or null.
    virtual CSpriteAI* GetCustomer(CSprite* /*sprite*/) { return nullptr; }
    // In state "Idle": waiting in line with its order decided.
    virtual bool IsIdle(CSpriteAI* /*customer*/) { return false; }
    // Through the customer's own add-hearts, which keeps its cap.
    virtual void AddHearts(CSpriteAI* /*customer*/, float /*hearts*/) {}

    // Building work.
    // Shows why the customer cannot move in: unpainted or not the order.
    virtual void ReportUnpainted(CBuildablePackage* /*building*/) {}
    virtual void ReportMismatch(CBuildablePackage* /*building*/, CSpriteAI* /*customer*/) {}
    virtual void MarkPartInARow(CBuildablePackage* /*building*/, int32_t /*upgrade*/) {}
    virtual void InitializeBuilding(CBuildablePackage* /*building*/, CLot* /*lot*/) {}
    virtual void AdvanceConstruction(CBuildablePackage* /*building*/, float /*seconds*/) {}
    // A click assist: the fraction of the part's work done at once.
    virtual void AdvanceConstructionBy(CBuildablePackage* /*building*/, float /*fraction*/) {}
    virtual void ReplacePrebuiltParts(CBuildablePackage* /*building*/) {}
    virtual void DrawBuilding(CBuildablePackage* /*building*/, CFrameInterface& /*frame*/, float /*scale*/) {}
    virtual void SetBuildingVolume(CBuildablePackage* /*building*/, int32_t /*volume*/) {}
    virtual bool CanTakePart(CBuildablePackage* /*building*/, CBuildablePart* /*part*/) { return false; }
    // The part under construction, or null.
    virtual CBuildablePart* GetPartUnderConstruction(CBuildablePackage* /*building*/) { return nullptr; }
    // The appearance sequence of the building's "Add On" part, or null.
    virtual CSequence* GetAddOnAppearance(CBuildablePackage* /*building*/) { return nullptr; }
    // The achievements watch one upgrade: whether the building holds it.
    virtual bool HoldsWatchedUpgrade(CBuildablePackage* /*building*/) { return false; }

    // Foremen.
    virtual float GetForemanSpeed(CSpriteAI* /*foreman*/) { return 1.0f; }
    virtual void TellForemanMoveIn(CSpriteAI* /*foreman*/, CLot* /*lot*/) {}

    // The illegal-move display.
    virtual void ShowIllegalMove(const char* /*messageId*/) {}

    // The three-in-a-row counter.
    virtual void AddInARowBonus(CThreeInARowCounter* /*counter*/) {}
    virtual float GetCounterBuildPercentPerClick(CThreeInARowCounter* /*counter*/, float fallback)
    {
        return fallback;
    }
    // 0 for none.
    virtual uint32_t GetCounterMegaSequence(CThreeInARowCounter* /*counter*/) { return 0; }

    // The cursor decoration: the painted colour and the mega sequence.
    virtual void SetCursorDecoration(const CColor& /*colour*/, uint32_t /*megaSequence*/) {}
    // The colour a paint part paints (the assist effect's tint); white for none.
    virtual CColor GetPaintColour(CBuildablePart* /*paint*/) { return CColor(255, 255, 255, 255); }

    // The deliverer upgrade's "Heart Bonus" for the customer it brings.
    virtual float GetDelivererHeartBonus(CUpgrade* /*deliverer*/) { return 0.0f; }

    // Achievement work variables.
    virtual void ReportWatchedUpgradeMovedIn(bool /*holds*/) {}
    virtual void ReportInARowRuns(int32_t /*runs*/) {}
};

// Installs hooks (null: none); returns the previous ones. The caller keeps
// ownership.
CLotHooks* SetLotHooks(CLotHooks* hooks);
OMBRISALT_UPWARD_HOOK(SetLotHooks);
// The installed hooks, or the do-nothing ones.
CLotHooks& GetLotHooks();
