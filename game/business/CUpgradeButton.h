#pragma once
// Upgrade buttons: the sprites in the "UI" layer that show the upgrade owned
// in a slot. The player picks one up with a click, carries it on the cursor
// and lets go of it over a lot or a customer, which use its upgrade; the
// button plays the upgrade's sounds for success and failure.
//
// The button held on the cursor is the sprite being dragged (CSprite.h),
// whose destructor lets go of it, so a deleted button is never left held.
#include "foundation/CFPoint.h"
#include "foundation/CPoint.h"
#include "game/scripting/CSpriteAI.h"

#include <cstdint>

class CCustomer;
class CFrame;
class CFrameOverlay;
class CLot;
class CUpgrade;
class CUpgradeSlot;

class CUpgradeButton : public CSpriteAI {
    OMBRISALT_REFLECTED(CUpgradeButton, CSpriteAI)
public:
    CUpgradeButton();
    ~CUpgradeButton() override;

    // The upgrade the current game state holds in the button's slot; 0 (and
    // null) for none, an empty slot or a slot outside the list.
    int32_t GetUpgradeIndex() const;
    CUpgrade* GetUpgrade() const;
    // Null outside the slot list.
    CUpgradeSlot* GetSlot() const;
    bool IsUsedOnLot() const;
    bool IsUsedOnCustomer() const;

    // The held button let go over a lot or a customer; true on success.
    bool DropOnLot(CLot* lot);
    virtual bool DropOnCustomer(CCustomer* customer);

    void OnAddedToSprite(CSprite* sprite) override;
    void Update(CSpriteUpdateRecord& record) override;
    void PreDraw(CSpriteDrawRecord& record) override;
    void Draw(CSpriteDrawRecord& record) override;
    void PostDraw(CSpriteDrawRecord& record) override;
    void HandleMessage(CMessage& message) override;

    bool IsHovered() const { return m_Hover; }
    CFrameOverlay* GetShoppingPositionMarker() const { return m_ShoppingPositionMarker; }

    int32_t m_UpgradeSlot = 0; // "Upgrade Slot", into the upgrade-slot list

protected:
    // Kinds of button that refuse to be picked up show why and say true.
    virtual bool RefusesPickup(CUpgrade& /*upgrade*/) { return false; }
    // The grey a button of an unusable upgrade other than a part is drawn
    // with; kinds that fade back to full colour raise it.
    virtual int32_t GetDisabledGrey(int32_t grey) { return grey; }

private:
    void OnMouseDown(CMessage& message, CUpgrade& upgrade);
    void OnMouseUp(CMessage& message);
    void OnMouseMoved(CMessage& message, CUpgrade& upgrade);
    void DrawPicture(CFrameInterface& frame, CUpgrade& upgrade);
    // The rules' "new" sticker, where the shop puts it on this slot's button.
    void DrawNewSticker(CFrameInterface& target);

    bool m_Hover = false;
    CFrameOverlay* m_ShoppingPositionMarker = nullptr; // not owned
    bool m_Busy = false;
    bool m_SignpostPlaced = false;
};

// The sprite AI being dragged when it is an upgrade button, else null.
CUpgradeButton* GetDraggedUpgradeButton();
// The same, and the drag is released.
CUpgradeButton* TakeDraggedUpgradeButton();

// The centre of the position marker named after the slot in the overlay set
// of that index, or in the rules' current gameplay set for -1; (0, 0) when
// there is no such marker.
CPoint GetUpgradeSlotMarkerPosition(int32_t slot, int32_t overlay);

// Forces every button's hover picture (a debug switch).
void SetHighlightAllUpgradeButtons(bool on);
bool AreAllUpgradeButtonsHighlighted();

// A frame of the upgrade's button picture as buttons show it: a part whose
// build phase gets paint wears the "0 Unpainted" remap (its sequence is drawn
// in the key colour the paint replaces); anything else is the frame itself.
CFrame* GetButtonPictureFrame(CUpgrade& upgrade, CFrame* frame);

// The upgrade the AI shows when it is an upgrade button; null otherwise.
CUpgrade* GetButtonUpgrade(CSpriteAI* ai);
// The button being dragged holds a signpost upgrade.
bool IsDraggedSignpostButton();
// Where the slot's marker puts its sprite: the marker's centre in the rules'
// gameplay set, (0, 0) without one; false only for a slot outside the list.
bool GetUpgradeSlotMarkerPosition(uint32_t slot, CFPoint& out);
