#pragma once
// Script steps that switch the current level's tutorial restrictions: each
// writes its value into the level on its first update and reports itself
// done, so a sequence of steps moves on at once. With no current level
// nothing is written and the step is still done, so a script never stalls.
#include "foundation/CPoint.h"
#include "game/scripting/CSpritePlugIn.h"

#include <cstdint>

class CControlCustomerSpawningSpritePlugIn : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CControlCustomerSpawningSpritePlugIn, CSpritePlugIn)
public:
    CControlCustomerSpawningSpritePlugIn();
    ~CControlCustomerSpawningSpritePlugIn() override;
    void Update(CPlugInUpdateRecord& record) override;

    bool m_AllowCustomersToSpawn = false;
};

class CControlCustomerDeliverySpritePlugIn : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CControlCustomerDeliverySpritePlugIn, CSpritePlugIn)
public:
    CControlCustomerDeliverySpritePlugIn();
    ~CControlCustomerDeliverySpritePlugIn() override;
    void Update(CPlugInUpdateRecord& record) override;

    bool m_AllowCustomerDelivery = false;
};

class CControlPacifierPickupSpritePlugIn : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CControlPacifierPickupSpritePlugIn, CSpritePlugIn)
public:
    CControlPacifierPickupSpritePlugIn();
    ~CControlPacifierPickupSpritePlugIn() override;
    void Update(CPlugInUpdateRecord& record) override;

    bool m_AllowPacifierPickup = false;
};

class CSetMustBuildWhatCustomerWantsSpritePlugIn : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSetMustBuildWhatCustomerWantsSpritePlugIn, CSpritePlugIn)
public:
    CSetMustBuildWhatCustomerWantsSpritePlugIn();
    ~CSetMustBuildWhatCustomerWantsSpritePlugIn() override;
    void Update(CPlugInUpdateRecord& record) override;

    bool m_MustBuildWhatCustomerWants = false;
};

class CSetWhatNextCustomerWillOrderSpritePlugIn : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSetWhatNextCustomerWillOrderSpritePlugIn, CSpritePlugIn)
public:
    CSetWhatNextCustomerWillOrderSpritePlugIn();
    ~CSetWhatNextCustomerWillOrderSpritePlugIn() override;
    void Update(CPlugInUpdateRecord& record) override;

    int32_t m_NextCustomerWillOrderUpgrade = 0; // upgrade list index, 0 for none
};

class CSetMustBuildAtGridCoordinateSpritePlugIn : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSetMustBuildAtGridCoordinateSpritePlugIn, CSpritePlugIn)
public:
    CSetMustBuildAtGridCoordinateSpritePlugIn();
    ~CSetMustBuildAtGridCoordinateSpritePlugIn() override;
    void Update(CPlugInUpdateRecord& record) override;

    CPoint m_GridCoordinate{0, 0}; // (column, row) of the lot grid
};

class CClearMustBuildAtGridCoordinateSpritePlugIn : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CClearMustBuildAtGridCoordinateSpritePlugIn, CSpritePlugIn)
public:
    CClearMustBuildAtGridCoordinateSpritePlugIn();
    ~CClearMustBuildAtGridCoordinateSpritePlugIn() override;
    void Update(CPlugInUpdateRecord& record) override;
};

// One customer at once, outside the arrivals' timing.
class CSpawnOneCustomerSpritePlugIn : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSpawnOneCustomerSpritePlugIn, CSpritePlugIn)
public:
    CSpawnOneCustomerSpritePlugIn();
    ~CSpawnOneCustomerSpritePlugIn() override;
    void Update(CPlugInUpdateRecord& record) override;
};
