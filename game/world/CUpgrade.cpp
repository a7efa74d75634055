#include "game/world/CUpgrade.h"

#include "game/scripting/CAudio.h"
#include "game/scripting/CExpression.h"
#include "game/scripting/CScriptValue.h"
#include "game/world/CBuildPhase.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CUpgradeSlot.h"
#include "game/world/ListReferences.h"
#include "game/world/LotHooks.h"
#include "objects/CFloatProperty.h"
#include "objects/CPointProperty.h"
#include "sequences/CSequenceList.h"
#include "sequences/HueRemap.h"

OMBRISALT_IMPLEMENT_CLASS(CUpgrade, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CBuildablePart, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CColorBuildablePart, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CCrewUpgrade, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CCrewSkillUpgrade, 1.0)

void CUpgrade::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CUpgrade;
    d.Add(&C::m_Name, "Name", "");
    d.AddListReference<CNoneableListProperty>(&C::m_Appearance, "Appearance", &GetSequenceList(), nullptr)
        .AlternateName("Crew Sequence");
    d.AddListReference<CNoneableListProperty>(&C::m_BuildButtonAppearance, "Build Button Appearance",
                                              &GetSequenceList(), nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_ScenarioGoalAppearance, "Scenario Goal Appearance",
                                              &GetSequenceList(), nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_UpgradeSlot, "Upgrade Slot", &GetUpgradeSlotList(), nullptr);
    d.Add(&C::m_UpgradeCost, "Upgrade Cost", 1.0f).Units("Thousand $");
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

bool CUpgrade::DropOnCustomer(int32_t /*upgradeIndex*/, CSpriteAI* /*customer*/)
{
    GetLotHooks().ShowIllegalMove("CantDropOnCustomer");
    return false;
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
    CBuildPhaseList& phases = GetBuildPhaseList();
    if (m_BuildPhase < 0 || m_BuildPhase >= phases.GetCount())
        return nullptr;
    return phases.GetObject(m_BuildPhase);
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

CUpgradeList::CUpgradeList()
    : CObjectArrayBaseTemplate<CUpgrade>("Upgrade.txt")
{
}

CUpgradeList& GetUpgradeList()
{
    static auto* list = [] {
        auto* made = new CUpgradeList;
        made->SetSource("Upgrade", "Resources", 0);
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
