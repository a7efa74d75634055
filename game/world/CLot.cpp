#include "game/world/CLot.h"

#include "game/world/CBuildablePackage.h"
#include "game/world/LotHooks.h"
#include "game/scripting/CSprite.h"
#include "objects/CBoolProperty.h"
#include "objects/CListProperty.h"
#include "objects/CFloatProperty.h"
#include "objects/CPObjectProperty.h"
#include "objects/CPointProperty.h"
#include "sequences/CSequenceList.h"

OMBRISALT_IMPLEMENT_CLASS(CLot, 1.0)

void CLot::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CLot;
    d.AddOwned(&C::m_Building, "Building").DefaultClass(CBuildablePackage::SGetClassInfo());
    d.AddOwned(&C::m_CustomerLivingHere, "Customer Living Here");
    d.Add(&C::m_ForcePrebuiltItemsToUsePurchasedUpgrades, "Force Prebuilt Items To Use Purchased Upgrades", false);
    d.Add(&C::m_GridCoordinate, "Grid Coordinate", CPoint{0, 0});
    d.Add(&C::m_IsScenicLot, "Is Scenic Lot", false).AlternateName("Is Premium Lot");
    d.AddListReference(&C::m_BackgroundSequence, "Background Sequence", &GetSequenceList(), nullptr);
    d.Add(&C::m_Initialized, "Debug/Initialized", false).Level(kLevelHidden);
    d.Add(&C::m_SecondsWaitingForMouseUp, "Seconds Waiting For Mouse Up", 0.0f).Level(kLevelHidden);
    d.Add(&C::m_SecondsBetweenAssistClicks, "Seconds Between Assist Clicks", 0.0f).Level(kLevelHidden);
}

CLot::CLot()
{
    InitDeclaredProperties();
}

CLot* CLot::SFromSprite(CSprite* sprite)
{
    return sprite ? static_cast<CLot*>(sprite->FindAI(CLot::SGetClassInfo())) : nullptr;
}

void CLot::OnAddedToSprite(CSprite*)
{
}

void CLot::HandleMessage(CMessage& message)
{
    CSpriteAI::HandleMessage(message);
}

CPointPath* CLot::GetHitArea(CSprite*)
{
    return nullptr;
}

bool CLot::CanHouse(CSpriteAI*)
{
    return false;
}

bool CLot::OnClicked(bool)
{
    return false;
}

void CLot::MoveIn(CSpriteAI*, bool)
{
}

float CLot::CheckInARow(CXInARowCheckMessage&)
{
    return 0.0f;
}

bool CLot::TryDeliverCustomer()
{
    return false;
}

void CLot::Bulldoze()
{
}

bool CLot::TryPoke(CPoint)
{
    return false;
}

bool CLot::BuildingHasPart(int32_t upgrade) const
{
    if (!m_Building || upgrade == 0)
        return false;
    for (uint32_t i = 0; i < m_Building->m_Parts.GetCount(); ++i)
        if (m_Building->m_Parts[i] == upgrade)
            return true;
    return false;
}

int32_t CLot::GetBuildingPart(int32_t phase) const
{
    if (!m_Building || phase < 0 || uint32_t(phase) >= m_Building->m_Parts.GetCount())
        return 0;
    return m_Building->m_Parts[uint32_t(phase)];
}

float CLot::GetValueWithScenicBonus() const
{
    return 0.0f;
}

void SetLotMouseCursor(const char*)
{
}

CCustomerMovedInMessage::CCustomerMovedInMessage(CLot* lot)
    : CMessage(SGetType())
    , m_Lot(lot)
{
}

uint32_t CCustomerMovedInMessage::SGetType()
{
    static const uint32_t type = CMessage::SGetMessageType("CCustomerMovedInMessage");
    return type;
}

CXInARowCheckMessage::CXInARowCheckMessage(CLot* lot)
    : CMessage(SGetType())
    , m_Lot(lot)
{
}

uint32_t CXInARowCheckMessage::SGetType()
{
    static const uint32_t type = CMessage::SGetMessageType("CXInARowCheckMessage");
    return type;
}

int32_t CXInARowCheckMessage::GetCount(int32_t phase) const
{
    return phase >= 0 && size_t(phase) < m_Counts.size() ? m_Counts[size_t(phase)] : 0;
}

CLot* GetMessageLot(CMessage& message)
{
    if (message.GetType() == CCustomerMovedInMessage::SGetType())
        return static_cast<CCustomerMovedInMessage&>(message).GetLot();
    if (message.GetType() == CXInARowCheckMessage::SGetType())
        return static_cast<CXInARowCheckMessage&>(message).GetLot();
    return nullptr;
}

int32_t GetMessageInARowCount(CMessage& message, int32_t phase)
{
    if (message.GetType() != CXInARowCheckMessage::SGetType())
        return 0;
    return static_cast<CXInARowCheckMessage&>(message).GetCount(phase);
}
