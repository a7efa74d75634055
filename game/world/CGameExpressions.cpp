#include "game/world/CGameExpressions.h"

#include "game/world/CGameState.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CUpgrade.h"
#include "game/world/ListReferences.h"
#include "objects/DeclaredClassBody.h"

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
