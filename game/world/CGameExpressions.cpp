#include "game/world/CGameExpressions.h"

#include "game/business/CBuildPhase.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeButton.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGameState.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CLot.h"
#include "game/world/CLotPlayfieldLayer.h"
#include "game/world/ListReferences.h"
#include "objects/CPClassInfoProperty.h"
#include "objects/CPointProperty.h"
#include "objects/DeclaredClassBody.h"

#include <algorithm>

OMBRISALT_DECLARED_CLASS(CLevelExpression, 1.0)
void CLevelExpression::DeclareProperties(CPropertyDeclarer&) {}
void CLevelExpression::Evaluate(CScriptContext*, CScriptValue& out)
{
    const CLevelOptions* level = CLevelOptions::SGetCurrent();
    if (level && level->m_IsTutorialLevel)
        out.SetInteger(0);
    else
        out.SetInteger(int32_t(GetCurrentLevelIndex() + 1));
}

OMBRISALT_DECLARED_CLASS(CHasUpgradeExpression, 1.0)
void CHasUpgradeExpression::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddListReference<CNoneableListProperty>(&CHasUpgradeExpression::m_RequiredUpgrade, "Required Upgrade",
                                              &GetUpgradeList(), nullptr);
}
void CHasUpgradeExpression::Evaluate(CScriptContext*, CScriptValue& out)
{
    out.SetBoolean(CGameState::SGetCurrent()->HasReceivedUpgrade(m_RequiredUpgrade));
}

OMBRISALT_DECLARED_CLASS(CUpgradeOnCursorExpression, 1.0)
void CUpgradeOnCursorExpression::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CUpgradeOnCursorExpression;
    d.AddListReference<CNoneableListProperty>(&C::m_RequiredBuildPhase, "Required Build Phase", &GetBuildPhaseList(),
                                              nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_RequiredUpgrade, "Required Upgrade", &GetUpgradeList(), nullptr);
    d.Add(&C::m_RequiredClass, "Required Class", static_cast<CClassInfo*>(nullptr)).BaseClass(CObject::SGetClassInfo());
}
void CUpgradeOnCursorExpression::Evaluate(CScriptContext*, CScriptValue& out)
{
    CSpriteAI* held = GetDraggedSpriteAI();
    if (!held) {
        out.SetBoolean(false);
        return;
    }
    int32_t heldUpgrade = 0;
    int32_t heldBuildPhase = 0;
    CUpgrade* upgrade = nullptr;
    if (CUpgradeButton* button = GetDraggedUpgradeButton(); button == held) {
        // The button's upgrade is the upgrade list's item for the index the
        // game state holds for its slot, so its place in the list is that index.
        upgrade = button->GetUpgrade();
        if (upgrade) {
            heldUpgrade = std::max(GetUpgradeList().FindObjectIndex(upgrade), 0);
            if (upgrade->IsKindOf(CBuildablePart::SGetClassInfo()))
                heldBuildPhase = static_cast<CBuildablePart*>(upgrade)->m_BuildPhase;
        }
    }
    bool result = true;
    if (m_RequiredBuildPhase != 0 && m_RequiredBuildPhase != heldBuildPhase)
        result = false;
    else if (m_RequiredUpgrade != 0 && m_RequiredUpgrade != heldUpgrade)
        result = false;
    else if (m_RequiredClass)
        result = held->IsKindOf(m_RequiredClass) || (upgrade && upgrade->IsKindOf(m_RequiredClass));
    out.SetBoolean(result);
}

OMBRISALT_DECLARED_CLASS(CLotHasItemExpression, 1.0)
void CLotHasItemExpression::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CLotHasItemExpression;
    d.AddListReference<CNoneableListProperty>(&C::m_RequiredUpgrade, "Required Upgrade", &GetUpgradeList(), nullptr);
    d.Add(&C::m_LotGridCoordinate, "Lot Grid Coordinate", CPoint{0, 0});
}
void CLotHasItemExpression::Evaluate(CScriptContext*, CScriptValue& out)
{
    CLotPlayfieldLayer* layer = GetLotLayer();
    CLot* lot = layer ? layer->FindLot(m_LotGridCoordinate.x, m_LotGridCoordinate.y) : nullptr;
    CBuildablePackage* building = lot ? lot->GetBuilding() : nullptr;
    bool found = false;
    if (building)
        for (uint32_t i = 0; i < building->m_Parts.GetCount() && !found; ++i)
            found = building->m_Parts[i] == m_RequiredUpgrade;
    out.SetBoolean(found);
}
