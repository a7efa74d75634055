#pragma once
// The shop before a level: one button sprite per upgrade slot on the current
// playfield, each showing what its slot holds and offers next; a click
// selects the slot and the "Shopping Overlay" set shows the offered and the
// owned upgrade. Buying and returning change the career game state, which
// leaving the shop ("Quit" into the level, "Back" to the map) stores as the
// level's starting state and saves.
#include "foundation/CPoint.h"
#include "game/scripting/CSpriteAI.h"
#include "overlays/CFrameOverlay.h"
#include "overlays/ImageOverlays.h"
#include "ui/CMenuWindow.h"

#include <cstdint>
#include <vector>

class CGameState;
class CJButton;
class CTextSubstitutionList;
class CUpgrade;

// A point of the shop set that places and dresses one slot's button; named
// after the slot.
class CShoppingPositionMarkerFrameOverlay : public CFrameOverlayPositionMarker {
    OMBRISALT_REFLECTED(CShoppingPositionMarkerFrameOverlay, CFrameOverlayPositionMarker)
public:
    CShoppingPositionMarkerFrameOverlay();
    ~CShoppingPositionMarkerFrameOverlay() override;
    // Only the overlay editor's preview draws anything.
    void Draw(CFrameOverlayDrawContext& context) override;

    int32_t m_ImageSequence = 0;   // "Image Sequence": while the slot offers something
    int32_t m_HoverSequence = 0;   // "Hover Sequence": while the slot is selected
    bool m_HoverBehind = false;    // "Hover Behind"
    int32_t m_NewItemImage = 0;    // "New Item Image"
    int32_t m_OldItemImage = 0;    // "Old Item Image"
    CPoint m_UpgradeItemPosition{-32, -17}; // "Upgrade Item Position"
    int32_t m_EmptyIconSequence = 0; // "Empy Icon Sequence": the slot holds nothing
};

// The shop's close-up of one upgrade. Named "Own" or "Upgrade" it shows the
// selected slot's owned or offered upgrade when the shop draws its set.
class CBuildableItemFrameOverlay : public CFrameOverlay {
    OMBRISALT_REFLECTED(CBuildableItemFrameOverlay, CFrameOverlay)
public:
    CBuildableItemFrameOverlay();
    ~CBuildableItemFrameOverlay() override;
    void Draw(CFrameOverlayDrawContext& context) override;
    void MoveBy(int32_t dx, int32_t dy) override;

    // The upgrade drawn in that draw: the one the shop shows under this ID,
    // else "Upgrade Item".
    int32_t GetShownItem(const CFrameOverlayDrawContext& context) const;

    CPoint m_Position{};      // "Positon"
    float m_Scale = 1.0f;     // "Scale"
    int32_t m_ColorRemap = 0; // "Color Remap"
    int32_t m_UpgradeItem = 0; // "Upgrade Item"
};

class CShoppingUpgradeButton : public CSpriteAI {
    OMBRISALT_REFLECTED(CShoppingUpgradeButton, CSpriteAI)
public:
    CShoppingUpgradeButton();
    // Finds the slot's marker in the "Shopping Overlay" set.
    explicit CShoppingUpgradeButton(int32_t slot);
    ~CShoppingUpgradeButton() override;

    void OnAddedToSprite(CSprite* sprite) override;
    void Update(CSpriteUpdateRecord& record) override;
    void Draw(CSpriteDrawRecord& record) override;
    void PostDraw(CSpriteDrawRecord& record) override;
    void HandleMessage(CMessage& message) override;

    // Owned, offered, new and selectable again from the game state.
    void Refresh();
    // The sticker set drawn over the button now; 0 when none.
    int32_t GetStickerOverlay() const;

    int32_t GetOwned() const { return m_Owned; }
    int32_t GetOffered() const { return m_Offered; }
    bool IsNew() const { return m_IsNew; }
    bool IsHovered() const { return m_Hovered; }
    bool IsSelectable() const { return m_Selectable; }
    // Null when the set has no shop marker of the slot's name.
    CShoppingPositionMarkerFrameOverlay* GetMarker() const { return m_Marker; }

    int32_t m_UpgradeSlot = 0; // "Upgrade Slot"

private:
    void FindMarker();
    CSequence* GetHoverImage() const;

    int32_t m_Owned = 0;
    int32_t m_Offered = 0;
    bool m_IsNew = false;
    bool m_Hovered = false;
    bool m_Selectable = true;
    bool m_HitTesting = false;
    CShoppingPositionMarkerFrameOverlay* m_Marker = nullptr; // not owned
};

class CShopWindow : public CMenuWindow {
public:
    // Full screen, unparented (the opener adds it). Counts as an open game
    // screen while it lives; clears the newly acquired upgrades.
    CShopWindow();
    ~CShopWindow() override;

    void Update(float seconds) override;
    void Draw(CFrameInterface& frame) override;

    // The "%s[Key]" values of one draw; also decides whether Buy is enabled.
    void FillSubstitutions(CTextSubstitutionList& values);
    // Closes every child and makes Quit, Return, Buy, Back and Close anew.
    void RebuildControls();

    // A button's slot was clicked (the selected slot is already set).
    void SlotClicked();
    void Buy();
    void Return();
    void Quit();
    void Back();
    void CloseSelection();

    // A new upgrade seen on this visit; recorded as shown only by Quit.
    void NoteSeen(int32_t upgrade);
    const std::vector<uint32_t>& GetSeen() const { return m_Seen; }
    float GetTutorialDelay() const { return m_TutorialDelay; }
    CJButton* GetBuyButton() const { return m_BuyButton; }
    CJButton* GetReturnButton() const { return m_ReturnButton; }

private:
    void RecreateScene();
    void KeepPurchases(CGameState& state);

    float m_TutorialDelay = 2.0f;
    CJButton* m_BuyButton = nullptr;    // not owned
    CJButton* m_ReturnButton = nullptr; // not owned
    std::vector<uint32_t> m_Seen;
};

// The open shop, or null.
CShopWindow* GetShopWindow();

// The game's shop opening: empties the current playfield, makes one button
// per slot and puts the shop on the game's screen. Returns it.
CShopWindow* OpenShop();

// One button sprite per upgrade slot with a "Buy Button Background", at the
// slot's marker in the "Shopping Overlay" set, in the current playfield's
// "UI" layer. Clears the selection.
void CreateShopButtons();

// The selected slot (0: none).
int32_t GetShopSelectedSlot();
void SetShopSelectedSlot(int32_t slot);

// The stars the shop lets the player spend: the profile's stars and the
// game state's "Extra Stars Hack", as of the last shop draw.
uint32_t GetShopStarsAvailable();

// The upgrade the game state would offer next in the slot; 0 when none.
int32_t GetOfferedUpgrade(int32_t slot);
// The owned upgrade of the selected slot can be taken back for its cost.
bool CanReturnSelectedUpgrade();

// Puts the shop in the game's screen table.
void InstallShopScreen();
