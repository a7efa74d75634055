#include "game/business/CUpgrade.h"

#include "foundation/CRandomGenerator.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/business/CUpgradeButton.h"
#include "game/business/CUpgradeSlot.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CExpression.h"
#include "game/scripting/CScriptValue.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLot.h"
#include "game/world/ListReferences.h"
#include "objects/CBoolProperty.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CObjectProperty.h"
#include "objects/CPointProperty.h"
#include "sequences/CSequenceList.h"
#include "sequences/HueRemap.h"

#include <algorithm>

OMBRISALT_IMPLEMENT_CLASS(CUpgrade, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CBuildablePart, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CColorBuildablePart, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CCrewUpgrade, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CCrewSkillUpgrade, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CBulldozerUpgrade, 1.0)

void CUpgrade::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CUpgrade;
    CVirtualArray* sequences = &GetSequenceList();
    CVirtualArray* audio = &GetAudioList();
    d.Add(&C::m_Name, "Name", "");
    d.Add(&C::m_Description, "Description", "");
    d.Add(&C::m_OwnItDescription, "Own It Description", "");
    d.AddListReference<CNoneableListProperty>(&C::m_Appearance, "Appearance", sequences, nullptr)
        .AlternateName("Crew Sequence");
    d.AddListReference<CNoneableListProperty>(&C::m_ButtonHover, "Button Hover", sequences, nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_BuyButtonHoverSequence, "Buy Button Hover Sequence", sequences,
                                              nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_BuildButtonAppearance, "Build Button Appearance", sequences,
                                              nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_ScenarioGoalAppearance, "Scenario Goal Appearance", sequences,
                                              nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_BuyCloseUpSequence, "Buy Close Up Sequence", sequences, nullptr);
    d.Add(&C::m_AllowScalingOfBuyCloseUp, "Allow Scaling of Buy Close Up Sequence ", true);
    d.AddListReference<CNoneableListProperty>(&C::m_UpgradeSlot, "Upgrade Slot", &GetUpgradeSlotList(), nullptr);
    d.Add(&C::m_StarsRequired, "Stars Required", 0u).Units("Stars");
    d.Add(&C::m_UpgradeCost, "Upgrade Cost", 1.0f).Units("Thousand $");
    d.AddListReference<CNoneableListProperty>(&C::m_SelectUpgradeAudio, "Sounds/Select Upgrade Audio", audio, nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_DropOnLotAudio, "Sounds/Drop On Lot Audio", audio, nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_DropOnLotErrorAudio, "Sounds/Drop On Lot Error Audio", audio,
                                              nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_DropOnCustomerAudio, "Sounds/Drop On Customer Audio", audio,
                                              nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_DropOnCustomerErrorAudio, "Sounds/Drop On Customer Error Audio",
                                              audio, nullptr);
    d.Add(&C::m_UpgradeButtonScale, "Upgrade Button Scale", 1.0f);
    d.Add(&C::m_ShowNewStickerWhenFree, "Show New Sticker When Given For Free", false);
    d.AddEmbedded(&C::m_SpritePlugIn, "Scripting/Sprite Plug In");
    d.AddArray<CExpressionProperty>(&C::m_Requirements, "Requirements List", "Requirement", nullptr);
}

CUpgrade::CUpgrade()
{
    InitDeclaredProperties();
}

CUpgrade::~CUpgrade()
{
    DestroyDeclaredProperties();
}

bool CUpgrade::AreRequirementsMet()
{
    CScriptContext context{CGameState::SGetCurrent()};
    for (uint32_t i = 0; i < m_Requirements.GetCount(); ++i) {
        CExpression* requirement = m_Requirements[i];
        if (!requirement)
            continue;
        CScriptValue value;
        requirement->Evaluate(&context, value);
        if (!value.AsBoolean())
            return false;
    }
    return true;
}

const CJString& CUpgrade::GetOwnedDescription() const
{
    return m_OwnItDescription.GetText().IsEmpty() ? m_Description.GetTranslation() : m_OwnItDescription.GetTranslation();
}

CSpriteAI* CUpgrade::CreateButtonAI(int32_t slot)
{
    if (!HasButton())
        return nullptr;
    auto* button = new CUpgradeButton;
    button->ResetToDefaults();
    button->m_UpgradeSlot = slot;
    return button;
}

bool CUpgrade::DropOnCustomer(int32_t /*upgradeIndex*/, CCustomer* /*customer*/)
{
    GetIllegalMoveDisplay().Show("CantDropOnCustomer");
    return false;
}

int32_t CUpgrade::GetButtonHover()
{
    if (m_ButtonHover > 0)
        return m_ButtonHover;
    CUpgradeSlot* slot = GetUpgradeSlotByIndex(m_UpgradeSlot);
    return slot ? slot->m_BuyButtonHover : 0;
}

void CBuildablePart::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().AddAlternateClassName("CBuildable");
    using C = CBuildablePart;
    d.AddListReference<CNoneableListProperty>(&C::m_BuildPhase, "Build Phase", &GetBuildPhaseList(), nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_CustomerWishAppearance, "Customer Wish Appearance",
                                              &GetSequenceList(), nullptr);
    d.Add(&C::m_ResaleValue, "Resale Value", 0.0f).Units("Thousand $");
    d.Add(&C::m_TimeToBuild, "Time to Build", 4.0f).Units("Seconds");
    d.AddListReference(&C::m_StartBuildingSoundIndex, "Start Building Sound Index",
                       &GetAudioList().GetSoundReferences(), nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_StartBuildingAudio, "Start Building Audio", &GetAudioList(),
                                               nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_DoneBuildingAudio, "Done Building Audio", &GetAudioList(),
                                               nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_PartBonusSequence, "Part Bonus Sequence", &GetSequenceList(),
                                              nullptr);
}

CBuildablePart::CBuildablePart()
{
    InitDeclaredProperties();
}

CBuildablePart::~CBuildablePart()
{
    DestroyDeclaredProperties();
}

CBuildPhase* CBuildablePart::GetBuildPhase()
{
    return GetBuildPhaseAt(m_BuildPhase);
}

void CColorBuildablePart::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CColorBuildablePart;
    d.AddListReference<CDataReferenceProperty>(&C::m_HueRemap, "Hue Remap", &GetHueRemapperStyleSheetList(), nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_SpecialBackgroundImage, "Special Background Image",
                                              &GetSequenceList(), nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_SpecialBackgroundImageDisabled,
                                              "Special Background Image Disabled", &GetSequenceList(), nullptr);
    d.Add(&C::m_SpecialBackgroundImageOffset, "Special Background Image Offset", CPoint{0, 0});
}

CColorBuildablePart::CColorBuildablePart()
{
    InitDeclaredProperties();
}

CColorBuildablePart::~CColorBuildablePart()
{
    DestroyDeclaredProperties();
}

CColor CColorBuildablePart::GetPaintColour() const
{
    auto& sheets = GetHueRemapperStyleSheetList();
    if (m_HueRemap < 0 || m_HueRemap >= sheets.GetCount())
        return CColor(255, 255, 255, 255);
    CHueRemapperStyleSheet* sheet = sheets.GetObject(m_HueRemap);
    if (!sheet || sheet->m_HueRemapperDataArray.GetCount() == 0 || !sheet->m_HueRemapperDataArray[0])
        return CColor(255, 255, 255, 255);
    const CHueRemapData& rule = *sheet->m_HueRemapperDataArray[0];
    const int32_t saturation = std::clamp(int32_t(rule.m_DestSaturation * 256.0f), 0, 256);
    int32_t r = 0, g = 0, b = 0;
    HLSToRGB(128, saturation, int32_t(rule.m_DestHue), r, g, b);
    return CColor(uint8_t(std::clamp(r, 0, 255)), uint8_t(std::clamp(g, 0, 255)), uint8_t(std::clamp(b, 0, 255)), 255);
}

void CCrewUpgrade::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddListReference<CNoneableListProperty>(&CCrewUpgrade::m_BuildPhase, "Build Phase", &GetBuildPhaseList(),
                                              nullptr);
}

CCrewUpgrade::CCrewUpgrade()
{
    InitDeclaredProperties();
}

CCrewUpgrade::~CCrewUpgrade()
{
    DestroyDeclaredProperties();
}

void CCrewSkillUpgrade::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CCrewSkillUpgrade::m_BuildSpeed, "Build Speed", 1.0f).Units("X");
}

CCrewSkillUpgrade::CCrewSkillUpgrade()
{
    InitDeclaredProperties();
}

CCrewSkillUpgrade::~CCrewSkillUpgrade()
{
    DestroyDeclaredProperties();
}

void CBulldozerUpgrade::DeclareProperties(CPropertyDeclarer&) {}

CBulldozerUpgrade::CBulldozerUpgrade()
{
    InitDeclaredProperties();
}

CBulldozerUpgrade::~CBulldozerUpgrade()
{
    DestroyDeclaredProperties();
}

bool CBulldozerUpgrade::DropOnLot(int32_t /*upgradeIndex*/, CLot* lot)
{
    if (lot)
        lot->Bulldoze();
    if (CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent())
        ++stats->m_BulldozerUsed;
    return true;
}

CUpgradeList::CUpgradeList()
    : CObjectArrayBaseTemplate<CUpgrade>("Upgrade.txt")
{
}

CUpgradeList& GetUpgradeList()
{
    static auto* list = [] {
        auto* made = new CUpgradeList;
        made->SetSource("Upgrade", "Resources", 0);
        made->SetKeepsNoneEntry(true); // data refers into it by row, 0 for none
        return made;
    }();
    return *list;
}

CUpgrade* GetUpgradeByIndex(int32_t index)
{
    CUpgradeList& upgrades = GetUpgradeList();
    if (index <= 0 || index >= upgrades.GetCount())
        return nullptr;
    return upgrades.GetObject(index);
}

CBuildablePart* GetBuildablePart(int32_t upgrade)
{
    return dynamic_cast<CBuildablePart*>(GetUpgradeByIndex(upgrade));
}

int32_t GetRandomAvailablePart(int32_t phase)
{
    return GetRandomAvailablePart(phase, CRandomGenerator::Global());
}

int32_t GetRandomAvailablePart(int32_t phase, CRandomGenerator& random)
{
    CGameState* state = CGameState::SGetCurrent();
    CCrewState* crew = state ? state->GetCrewState(phase) : nullptr;
    const uint32_t count = crew ? crew->m_BuildableParts.GetCount() : 0;
    if (count == 0)
        return 0;
    return crew->m_BuildableParts[random.Next(count)];
}
