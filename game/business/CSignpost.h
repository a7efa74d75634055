#pragma once
// The signpost: an upgrade that advertises a finished building. Dropped on
// a lot, the sign walks from its home marker to stand beside the lot, and
// arriving customers may order a copy of that building with the upgrade's
// "Effect Chance". The sign walks home again when the building stops being
// finished (bulldozed, rebuilt, lived in) or when it is picked up.
#include "game/business/CUpgrade.h"
#include "game/scripting/CSpriteAI.h"

#include <cstdint>

class CBuildablePackage;
class CLot;
class CSprite;

class CSignpostUpgrade : public CUpgrade {
    OMBRISALT_REFLECTED(CSignpostUpgrade, CUpgrade)
public:
    CSignpostUpgrade();
    ~CSignpostUpgrade() override;

    bool IsDraggable() override { return true; }
    bool IsUsedOnLot() override { return true; }
    // While the sign stands at a lot the button looks disabled.
    bool CanUse(bool showMessage) override;
    // Success even without a signpost on the playfield.
    bool DropOnLot(int32_t upgradeIndex, CLot* lot) override;

    float m_EffectChance = 1.0f; // "Effect Chance", 0 to 1
};

class CSignpost : public CSpriteAI {
    OMBRISALT_REFLECTED(CSignpost, CSpriteAI)
public:
    enum class EState : int32_t { Home = 0, Placed = 1 };

    CSignpost();
    // Forgets the lot; the lot is not owned.
    ~CSignpost() override;

    void OnAddedToSprite(CSprite* sprite) override;
    void Update(CSpriteUpdateRecord& record) override;
    void HandleMessage(CMessage& message) override;

    // Accepted for a finished, painted building with a frame and a resale
    // value; otherwise the sign goes home, and a given lot hears why.
    void PlaceOnLot(CLot* lot);
    // The building the sign advertises; null at home.
    CBuildablePackage* GetAdvertisedPackage() const;

    EState GetState() const { return m_State; }
    CLot* GetLot() const { return m_Lot; }
    float GetPresence() const { return m_Presence; }

    float m_EffectChance = 0.0f; // copied from the upgrade at level start

private:
    // The lot, while it is still on the playfield's "Lot" layer.
    CLot* LiveLot() const;

    EState m_State = EState::Home;
    CLot* m_Lot = nullptr;
    float m_Presence = 0.0f; // 0 to 0.5; twice it is the opacity
};

// The first signpost AI of the "Crew" layer, or null.
CSignpost* FindSignpost();
// The first sprite of the "UI" layer whose button holds a signpost upgrade.
CSprite* FindSignpostButton();

// The signpost AI of a signpost upgrade (given the upgrade's own value),
// reset to its defaults; null for any other upgrade.
CSignpost* CreateSignpostAI(CUpgrade& upgrade);
