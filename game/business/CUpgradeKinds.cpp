#include "game/business/CUpgradeKinds.h"

#include "game/business/CBuildablePackageOps.h"
#include "game/business/CBuildingOps.h"
#include "game/business/CUpgradeButton.h"
#include "foundation/CRandomGenerator.h"
#include "game/world/CGameState.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLot.h"
#include "game/world/CUpgradeSlot.h"

OMBRISALT_IMPLEMENT_CLASS(CBulldozerUpgrade, 1.0)

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

CSpriteAI* CreateUpgradeButtonAI(CUpgrade& upgrade, uint32_t slot)
{
    if (!upgrade.HasButton())
        return nullptr;
    if (CSpriteAI* own = upgrade.CreateButtonAI())
        return own;
    return CreateUpgradeButton(upgrade, slot);
}

bool CanUseUpgrade(CUpgrade& upgrade, bool showMessage)
{
    if (upgrade.IsKindOf(CBuildablePart::SGetClassInfo()))
        return CanUsePart(static_cast<CBuildablePart&>(upgrade), showMessage);
    return upgrade.CanUse(showMessage);
}

bool DropUpgradeOnLot(CUpgrade& upgrade, int32_t upgradeIndex, CLot* lot)
{
    if (upgrade.IsKindOf(CBuildablePart::SGetClassInfo()))
        return DropPartOnLot(static_cast<CBuildablePart&>(upgrade), upgradeIndex, lot);
    return upgrade.DropOnLot(upgradeIndex, lot);
}

bool IsUpgradeUsedOnLot(CUpgrade& upgrade, CLot* /*lot*/)
{
    return upgrade.IsUsedOnLot();
}

bool IsBulldozer(const CUpgrade* upgrade)
{
    return upgrade && upgrade->IsKindOf(CBulldozerUpgrade::SGetClassInfo());
}

int32_t GetUpgradeButtonHover(CUpgrade& upgrade)
{
    if (upgrade.GetButtonHover() > 0)
        return upgrade.GetButtonHover();
    CUpgradeSlot* slot = GetUpgradeSlotByIndex(upgrade.m_UpgradeSlot);
    return slot ? slot->m_BuyButtonHover : 0;
}

int32_t GetRandomAvailablePart(int32_t phase)
{
    return GetRandomAvailablePart(phase, CRandomGenerator::Global());
}
