// Owner: bz2-customer (behaviour). The property declarations, construction
// and module state below are complete; the behaviour is stubbed.
#include "game/business/CCustomer.h"

#include "foundation/CStaticContentsList.h"
#include "game/scripting/CSprite.h"
#include "game/world/CBuildablePackage.h"
#include "game/world/CCustomerStyleSheet.h"
#include "game/world/ListReferences.h"
#include "objects/CBoolProperty.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CListProperty.h"
#include "objects/CMessage.h"
#include "objects/CPObjectProperty.h"

#include <cmath>

OMBRISALT_IMPLEMENT_CLASS(CCustomer, 1.0)

namespace {

uint32_t g_LinePosition = 0;

} // namespace

CCodeTableList& GetCustomerStateList()
{
    static const CCodeTableRow kRows[] = {{CCustomer::kIdle, "Idle", nullptr},
                                          {CCustomer::kInVictoryPose, "In Victory Pose", nullptr},
                                          {CCustomer::kMovingIn, "Moving In", nullptr},
                                          {CCustomer::kArrivedHome, "Arrived Home", nullptr},
                                          {}};
    static CCodeTableList list(kRows);
    return list;
}

void CCustomer::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CCustomer;
    d.AddOwned(&C::m_PackageWanted, "Package Wanted");
    d.AddListReference<CNoneableListProperty>(&C::m_CustomerStyleSheet, "Customer Style Sheet",
                                              &GetCustomerStyleSheetList(), nullptr);
    d.Add(&C::m_TimeWaited, "Time Waited", 0.0f).Units("Seconds");
    d.Add(&C::m_TimeLeftToDecideWhatToOrder, "Time Left To Decide What To Order", 0.0f).Units("seconds");
    d.Add(&C::m_SecondsOfBlinkingLeft, "Seconds Of Blinking Left", 0.0f);
    d.AddListReference(&C::m_CustomerState, "Customer State", &GetCustomerStateList(), "Idle");
    d.Add(&C::m_Highlighted, "Highlighted", false);
    d.Add(&C::m_SecondsUntilSelectionAllowed, "Seconds Until Selection Allowed", 0.0f);
}

CCustomer::CCustomer()
{
    InitDeclaredProperties();
}

CCustomer::~CCustomer()
{
    DestroyDeclaredProperties();
}

void CCustomer::OnAddedToSprite(CSprite* /*sprite*/) {}

void CCustomer::Update(CSpriteUpdateRecord& /*record*/) {}

void CCustomer::HandleMessage(CMessage& message)
{
    CSpriteAI::HandleMessage(message);
}

bool CCustomer::OnClicked(bool /*isMouseUp*/, CFPoint /*point*/)
{
    return false;
}

void CCustomer::Arrive() {}

void CCustomer::StartThinking() {}

void CCustomer::DecideOrder() {}

void CCustomer::StartVictoryPose() {}

void CCustomer::SetHome(CLot* /*lot*/, float x, float y)
{
    m_Destination = {x, y};
}

void CCustomer::PlayCantMoveInSound() {}

void CCustomer::PlayNotWhatIOrderedSound() {}

void CCustomer::ReleaseDrag() {}

bool CCustomer::NoteHoverOverLot(CLot* /*lot*/)
{
    return false;
}

void CCustomer::Leave() {}

void CCustomer::AddHearts(float /*hearts*/) {}

float CCustomer::GetHeartsLeft() const
{
    return 0.0f;
}

float CCustomer::GetMoveInBonus() const
{
    return 0.0f;
}

bool CCustomer::IsWaitingToBeAnswered() const
{
    return !m_PackageWanted && m_TimeLeftToDecideWhatToOrder <= 0.0f;
}

bool CCustomer::IsDecidingOrder() const
{
    return m_TimeLeftToDecideWhatToOrder > 0.0f;
}

void CCustomer::HighlightBriefly()
{
    m_HighlightCountdown = 6;
}

CCustomerStyleSheet* CCustomer::GetStyleSheet() const
{
    return GetCustomerStyleSheet(m_CustomerStyleSheet);
}

bool CCustomer::IsOrderAlreadyBuilt() const
{
    return false;
}

CCustomer* TakeDraggedCustomer()
{
    return nullptr;
}

bool IsPointWithinDistance(CFPoint a, CFPoint b, float d)
{
    return std::fabs(a.x - b.x) <= d && std::fabs(a.y - b.y) <= d;
}

uint32_t GetCustomerLinePosition()
{
    return g_LinePosition;
}

void SetCustomerLinePosition(uint32_t position)
{
    g_LinePosition = position;
}
