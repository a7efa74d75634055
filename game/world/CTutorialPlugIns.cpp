#include "game/world/CTutorialPlugIns.h"

#include "game/business/CCustomerArrivals.h"
#include "game/business/CUpgrade.h"
#include "game/world/CGameApp.h"
#include "game/world/CLevelOptions.h"
#include "game/world/ListReferences.h"
#include "objects/CBoolProperty.h"
#include "objects/CPointProperty.h"
#include "objects/DeclaredClassBody.h"

namespace {

// Writes into the current level, if any; the step is done either way.
template <typename Write>
void WriteOnce(CPlugInUpdateRecord& record, Write write)
{
    if (CLevelOptions* level = CLevelOptions::SGetCurrent())
        write(*level);
    record.done = true;
}

} // namespace

OMBRISALT_DECLARED_CLASS(CControlCustomerSpawningSpritePlugIn, 1.0)
void CControlCustomerSpawningSpritePlugIn::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CControlCustomerSpawningSpritePlugIn::m_AllowCustomersToSpawn, "Allow Customers To Spawn", false);
}
void CControlCustomerSpawningSpritePlugIn::Update(CPlugInUpdateRecord& record)
{
    WriteOnce(record, [&](CLevelOptions& level) { level.m_CustomerSpawningDisabled = !m_AllowCustomersToSpawn; });
}

OMBRISALT_DECLARED_CLASS(CControlCustomerDeliverySpritePlugIn, 1.0)
void CControlCustomerDeliverySpritePlugIn::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CControlCustomerDeliverySpritePlugIn::m_AllowCustomerDelivery, "Allow Customer Delivery", false);
}
void CControlCustomerDeliverySpritePlugIn::Update(CPlugInUpdateRecord& record)
{
    WriteOnce(record, [&](CLevelOptions& level) { level.m_CustomerDeliveryDisabled = !m_AllowCustomerDelivery; });
}

OMBRISALT_DECLARED_CLASS(CControlPacifierPickupSpritePlugIn, 1.0)
void CControlPacifierPickupSpritePlugIn::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CControlPacifierPickupSpritePlugIn::m_AllowPacifierPickup, "Allow Pacifier Pickup", false);
}
void CControlPacifierPickupSpritePlugIn::Update(CPlugInUpdateRecord& record)
{
    WriteOnce(record, [&](CLevelOptions& level) { level.m_PacifierPickupDisabled = !m_AllowPacifierPickup; });
}

OMBRISALT_DECLARED_CLASS(CSetMustBuildWhatCustomerWantsSpritePlugIn, 1.0)
void CSetMustBuildWhatCustomerWantsSpritePlugIn::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CSetMustBuildWhatCustomerWantsSpritePlugIn::m_MustBuildWhatCustomerWants, "Must Build What Customer Wants",
          false);
}
void CSetMustBuildWhatCustomerWantsSpritePlugIn::Update(CPlugInUpdateRecord& record)
{
    WriteOnce(record, [&](CLevelOptions& level) { level.m_MustBuildWhatCustomerWants = m_MustBuildWhatCustomerWants; });
}

OMBRISALT_DECLARED_CLASS(CSetWhatNextCustomerWillOrderSpritePlugIn, 1.0)
void CSetWhatNextCustomerWillOrderSpritePlugIn::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddListReference<CNoneableListProperty>(
        &CSetWhatNextCustomerWillOrderSpritePlugIn::m_NextCustomerWillOrderUpgrade, "Next Customer Will Order Upgrade",
        &GetUpgradeList(), nullptr);
}
void CSetWhatNextCustomerWillOrderSpritePlugIn::Update(CPlugInUpdateRecord& record)
{
    WriteOnce(record, [&](CLevelOptions& level) { level.m_FirstCustomerWillOrder = m_NextCustomerWillOrderUpgrade; });
}

OMBRISALT_DECLARED_CLASS(CSetMustBuildAtGridCoordinateSpritePlugIn, 1.0)
void CSetMustBuildAtGridCoordinateSpritePlugIn::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CSetMustBuildAtGridCoordinateSpritePlugIn::m_GridCoordinate, "Grid Coordinate", CPoint{0, 0});
}
void CSetMustBuildAtGridCoordinateSpritePlugIn::Update(CPlugInUpdateRecord& record)
{
    WriteOnce(record, [&](CLevelOptions& level) { level.m_MustBuildAtGridCoordinate = m_GridCoordinate; });
}

OMBRISALT_DECLARED_CLASS(CClearMustBuildAtGridCoordinateSpritePlugIn, 1.0)
void CClearMustBuildAtGridCoordinateSpritePlugIn::DeclareProperties(CPropertyDeclarer&) {}
void CClearMustBuildAtGridCoordinateSpritePlugIn::Update(CPlugInUpdateRecord& record)
{
    WriteOnce(record, [](CLevelOptions& level) { level.ClearMustBuildCoordinate(); });
}

OMBRISALT_DECLARED_CLASS(CSpawnOneCustomerSpritePlugIn, 1.0)
void CSpawnOneCustomerSpritePlugIn::DeclareProperties(CPropertyDeclarer&) {}
void CSpawnOneCustomerSpritePlugIn::Update(CPlugInUpdateRecord& record)
{
    SpawnCustomer();
    record.done = true;
}
