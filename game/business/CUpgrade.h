#pragma once
// Upgrades: everything the player can own, each owned in one upgrade slot.
// Everything else names an upgrade by its index in the upgrade list; index 0
// stands for none. The game state holds the upgrade owned in each slot; an
// upgrade button shows it on the playfield, and dragging the button onto a
// lot or a customer calls the upgrade's drop operations, which each kind
// overrides. The kinds here are the building parts (built on a lot phase by
// phase, CBuildablePackage.h), the crew upgrades and the bulldozer; the
// foreman, signpost, deliverer, greeter and pacifier kinds live with their
// sprites.
#include "blit/CColor.h"
#include "foundation/CPoint.h"
#include "game/scripting/CSpritePlugInContainers.h"
#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"
#include "objects/CPropertyArrayProperty.h"
#include "objects/CStringProperty.h"

#include <cstdint>

class CBuildPhase;
class CCustomer;
class CExpression;
class CLot;
class CRandomGenerator;
class CSpriteAI;

class CUpgrade : public CObject {
    OMBRISALT_REFLECTED(CUpgrade, CObject)
public:
    CUpgrade();
    ~CUpgrade() override;

    // Every requirement holds against the current game state; a null entry
    // is passed over, and no requirement at all means met.
    bool AreRequirementsMet();

    // What each kind does on the playfield; the defaults are the plain
    // upgrade's.
    // The button AI of the upgrade at level start, reset to its defaults:
    // the plain upgrade button of that slot, null without HasButton(). The
    // kinds with a button of their own keep their own "Upgrade Slot".
    virtual CSpriteAI* CreateButtonAI(int32_t slot);
    virtual bool HasButton() { return true; }
    virtual bool IsDraggable() { return false; }
    virtual bool CanUse(bool /*showMessage*/) { return IsDraggable(); }
    // upgradeIndex: this upgrade's own index in the upgrade list.
    virtual bool DropOnLot(int32_t /*upgradeIndex*/, CLot* /*lot*/) { return false; }
    // Shows "CantDropOnCustomer" and refuses.
    virtual bool DropOnCustomer(int32_t upgradeIndex, CCustomer* customer);
    virtual bool IsUsedOnLot() { return false; }
    virtual bool IsUsedOnCustomer() { return false; }
    // Sequences; 0 for none.
    virtual int32_t GetAppearance() { return m_Appearance; }
    // "Button Hover", else the "Buy Button Hover" of the upgrade's slot.
    virtual int32_t GetButtonHover();
    virtual int32_t GetBuyButtonHover() { return m_BuyButtonHoverSequence; }
    virtual int32_t GetCloseUp() { return m_BuyCloseUpSequence > 0 ? m_BuyCloseUpSequence : GetAppearance(); }

    // "Own It Description" once it says something, else "Description".
    const CJString& GetOwnedDescription() const;

    CTranslatedText m_Name;                          // "Name"
    CTranslatedText m_Description;                   // "Description"
    CTranslatedText m_OwnItDescription;              // "Own It Description"
    int32_t m_Appearance = 0;                        // "Appearance" (once "Crew Sequence"), a sequence
    int32_t m_ButtonHover = 0;                       // "Button Hover", a sequence
    int32_t m_BuyButtonHoverSequence = 0;            // "Buy Button Hover Sequence"
    int32_t m_BuildButtonAppearance = 0;             // "Build Button Appearance", a sequence
    int32_t m_ScenarioGoalAppearance = 0;            // "Scenario Goal Appearance", a sequence
    int32_t m_BuyCloseUpSequence = 0;                // "Buy Close Up Sequence"
    bool m_AllowScalingOfBuyCloseUp = true;          // "Allow Scaling of Buy Close Up Sequence "
    int32_t m_UpgradeSlot = 0;                       // "Upgrade Slot", into the upgrade-slot list
    uint32_t m_StarsRequired = 0;                    // "Stars Required"
    float m_UpgradeCost = 1.0f;                      // "Upgrade Cost", thousands of $
    int32_t m_SelectUpgradeAudio = 0;                // "Sounds/Select Upgrade Audio", into the audio list
    int32_t m_DropOnLotAudio = 0;                    // "Sounds/Drop On Lot Audio"
    int32_t m_DropOnLotErrorAudio = 0;               // "Sounds/Drop On Lot Error Audio"
    int32_t m_DropOnCustomerAudio = 0;               // "Sounds/Drop On Customer Audio"
    int32_t m_DropOnCustomerErrorAudio = 0;          // "Sounds/Drop On Customer Error Audio"
    float m_UpgradeButtonScale = 1.0f;               // "Upgrade Button Scale"
    bool m_ShowNewStickerWhenFree = false;           // "Show New Sticker When Given For Free"
    CSpritePlugInSimultaneous m_SpritePlugIn;        // "Scripting/Sprite Plug In"
    CPropertyArray<CExpression*> m_Requirements;     // "Requirements List", owned
};

// A building part, built on a lot in its build phase.
class CBuildablePart : public CUpgrade {
    OMBRISALT_REFLECTED(CBuildablePart, CUpgrade)
public:
    CBuildablePart();
    ~CBuildablePart() override;

    bool IsDraggable() override { return true; }
    bool IsUsedOnLot() override { return true; }
    // An idle crew of the part's phase stands ready; without one, and with
    // showMessage, "CrewNotAvailable" names the phase (CBuildablePackageBuild.cpp).
    bool CanUse(bool showMessage) override;
    // The tutorial's constraints, the building's own rules and a free crew
    // decide; the crew then takes the job (CBuildablePackageBuild.cpp).
    bool DropOnLot(int32_t upgradeIndex, CLot* lot) override;

    // Null when the index is outside the build-phase list.
    CBuildPhase* GetBuildPhase();

    int32_t m_BuildPhase = 0;             // "Build Phase", into the build-phase list
    int32_t m_CustomerWishAppearance = 0; // "Customer Wish Appearance", a sequence
    float m_ResaleValue = 0.0f;           // "Resale Value", thousands of $
    float m_TimeToBuild = 4.0f;           // "Time to Build", seconds
    int32_t m_StartBuildingSoundIndex = 0; // "Start Building Sound Index", looped while built
    int32_t m_StartBuildingAudio = 0;     // "Start Building Audio"
    int32_t m_DoneBuildingAudio = 0;      // "Done Building Audio"
    int32_t m_PartBonusSequence = 0;      // "Part Bonus Sequence", over a three-in-a-row part
};

// A paint: a part that recolours the building.
class CColorBuildablePart : public CBuildablePart {
    OMBRISALT_REFLECTED(CColorBuildablePart, CBuildablePart)
public:
    CColorBuildablePart();
    ~CColorBuildablePart() override;

    int32_t m_HueRemap = 0;                       // "Hue Remap", the paint's style sheet
    int32_t m_SpecialBackgroundImage = 0;         // "Special Background Image", a sequence
    int32_t m_SpecialBackgroundImageDisabled = 0; // "Special Background Image Disabled", a sequence
    CPoint m_SpecialBackgroundImageOffset{0, 0};  // "Special Background Image Offset"

    // The hue the paint's first rule gives, at full saturation and middle
    // lightness (the click assist's tint); white without one.
    CColor GetPaintColour() const;
};

// The crew upgrades name the phase whose crews they equip.
class CCrewUpgrade : public CUpgrade {
    OMBRISALT_REFLECTED(CCrewUpgrade, CUpgrade)
public:
    CCrewUpgrade();
    ~CCrewUpgrade() override;

    int32_t m_BuildPhase = 0; // "Build Phase"
};

class CCrewSkillUpgrade : public CCrewUpgrade {
    OMBRISALT_REFLECTED(CCrewSkillUpgrade, CCrewUpgrade)
public:
    CCrewSkillUpgrade();
    ~CCrewSkillUpgrade() override;

    float m_BuildSpeed = 1.0f; // "Build Speed", a factor
};

// Clears a lot: dropped on a built lot it destroys the building; a refusal
// still reports success (it counts as a use).
class CBulldozerUpgrade : public CUpgrade {
    OMBRISALT_REFLECTED(CBulldozerUpgrade, CUpgrade)
public:
    CBulldozerUpgrade();
    ~CBulldozerUpgrade() override;

    bool IsDraggable() override { return true; }
    bool IsUsedOnLot() override { return true; }
    bool DropOnLot(int32_t upgradeIndex, CLot* lot) override;
};

class CUpgradeList : public CObjectArrayBaseTemplate<CUpgrade> {
public:
    CUpgradeList();
};
// "Upgrade" under "Resources", "Upgrade.txt"; made on first use.
CUpgradeList& GetUpgradeList();
// The upgrade of that index; null for 0 (none) and outside the list.
CUpgrade* GetUpgradeByIndex(int32_t index);
// The part of that upgrade index; null for none and for other upgrades.
CBuildablePart* GetBuildablePart(int32_t upgrade);

// A part the current game state lists as available in the phase, drawn from
// the generator (the business one by default); 0 when it lists none.
int32_t GetRandomAvailablePart(int32_t phase);
int32_t GetRandomAvailablePart(int32_t phase, CRandomGenerator& random);
