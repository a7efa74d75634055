#include "game/business/CustomerServices.h"

#include "game/business/CCustomer.h"
#include "game/business/CCustomerArrivals.h"
#include "game/scripting/CSprite.h"
#include "game/world/CBuildablePackage.h"
#include "game/world/CLot.h"
#include "game/world/CPlayfield.h"

#include <algorithm>

namespace {

template <typename F>
void ForEachCustomer(F f)
{
    CPlayfield* playfield = GetCurrentPlayfield();
    CPlayfieldLayer* layer = playfield ? playfield->FindLayer("Customers") : nullptr;
    if (!layer)
        return;
    for (uint32_t i = 0; i < layer->GetSpriteCount(); ++i)
        if (CCustomer* customer = FindCustomer(layer->GetSprite(i)))
            f(*customer);
}

bool OrderHasPart(const CBuildablePackage* order, int32_t upgrade)
{
    if (!order || upgrade == 0)
        return false;
    const CPropertyArray<int32_t>& parts = order->m_Parts;
    for (uint32_t i = 0; i < parts.GetCount(); ++i)
        if (parts[i] == upgrade)
            return true;
    return false;
}

} // namespace

CCustomer* AsCustomer(CSpriteAI* ai)
{
    return dynamic_cast<CCustomer*>(ai);
}

CCustomer* FindCustomer(CSprite* sprite)
{
    return sprite ? AsCustomer(sprite->FindAI(CCustomer::SGetClassInfo())) : nullptr;
}

CSpriteAI* CGameCustomerServices::GetHeldCustomer()
{
    return AsCustomer(GetDraggedSpriteAI());
}

CSpriteAI* CGameCustomerServices::TakeHeldCustomer()
{
    return TakeDraggedCustomer();
}

void CGameCustomerServices::DropHeldCustomer()
{
    if (CCustomer* customer = AsCustomer(GetDraggedSpriteAI()))
        customer->ReleaseDrag();
}

CBuildablePackage* CGameCustomerServices::GetOrder(CSpriteAI* customer)
{
    CCustomer* c = AsCustomer(customer);
    return c ? c->GetPackageWanted() : nullptr;
}

float CGameCustomerServices::GetHeartsLeft(CSpriteAI* customer)
{
    CCustomer* c = AsCustomer(customer);
    return c ? c->GetHeartsLeft() : 0.0f;
}

float CGameCustomerServices::GetMoveInBonus(CSpriteAI* customer)
{
    CCustomer* c = AsCustomer(customer);
    return c ? c->GetMoveInBonus() : 0.0f;
}

void CGameCustomerServices::TurnAway(CSpriteAI* customer)
{
    if (CCustomer* c = AsCustomer(customer))
        c->PlayCantMoveInSound();
}

void CGameCustomerServices::ShowDisappointment(CSpriteAI* customer)
{
    if (CCustomer* c = AsCustomer(customer))
        c->PlayNotWhatIOrderedSound();
}

void CGameCustomerServices::GetReadyToMoveIn(CSpriteAI* customer, CLot* lot)
{
    CCustomer* c = AsCustomer(customer);
    if (!c)
        return;
    CSprite* lotSprite = lot ? lot->GetSprite() : nullptr;
    const CFPoint at = lotSprite ? lotSprite->GetPosition() : c->GetDestination();
    c->SetHome(lot, at.x, at.y);
    c->StartVictoryPose();
}

void CGameCustomerServices::WalkTo(CSpriteAI* customer, CFPoint point)
{
    if (CCustomer* c = AsCustomer(customer))
        c->SetDestination(point);
}

void CGameCustomerServices::ReactToLot(CSpriteAI* customer, CLot* lot)
{
    if (CCustomer* c = AsCustomer(customer))
        c->NoteHoverOverLot(lot);
}

CSpriteAI* CGameCustomerServices::GetCustomer(CSprite* sprite)
{
    return FindCustomer(sprite);
}

bool CGameCustomerServices::IsIdle(CSpriteAI* customer)
{
    CCustomer* c = AsCustomer(customer);
    return c && c->GetState() == CCustomer::kIdle;
}

void CGameCustomerServices::AddHearts(CSpriteAI* customer, float hearts)
{
    if (CCustomer* c = AsCustomer(customer))
        c->AddHearts(hearts);
}

void CGameCustomerServices::MakeLeave(CSprite& sprite)
{
    if (CCustomer* c = FindCustomer(&sprite))
        c->Leave();
}

void CGameCustomerServices::RunArrival()
{
    UpdateCustomerSpawning();
}

void CGameCustomerServices::SpawnOne()
{
    SpawnCustomer();
}

void CGameCustomerServices::DrawOverlays(CFrameInterface& target)
{
    DrawLevelTimeDebugInfo(target);
}

bool CBusinessLevelOptionsHooks::IsWaitingCustomer(CSprite* sprite)
{
    return FindCustomer(sprite) && (sprite->GetFlags() & kSpriteVisible) != 0;
}

int32_t CBusinessLevelOptionsHooks::GetCustomerStyle(CSprite* sprite)
{
    CCustomer* c = FindCustomer(sprite);
    return c ? c->m_CustomerStyleSheet : -1;
}

CBuildablePackage* CBusinessLevelOptionsHooks::GetWantedPackage(CSprite* sprite)
{
    CCustomer* c = FindCustomer(sprite);
    return c ? c->GetPackageWanted() : nullptr;
}

bool CBusinessLevelOptionsHooks::IsEmptyLot(CSprite* sprite)
{
    auto* lot = sprite ? dynamic_cast<CLot*>(sprite->FindAI(CLot::SGetClassInfo())) : nullptr;
    return lot && lot->IsVacant();
}

float CBusinessGoalHooks::GetHeartsLeft(CSpriteAI* customer)
{
    CCustomer* c = AsCustomer(customer);
    return c ? c->GetHeartsLeft() : 0.0f;
}

int32_t CBusinessGoalHooks::GetCustomerStyle(CSpriteAI* customer)
{
    CCustomer* c = AsCustomer(customer);
    return c ? c->m_CustomerStyleSheet : -1;
}

void CBusinessGoalHooks::HighlightCustomersWanting(int32_t upgrade)
{
    ForEachCustomer([&](CCustomer& customer) {
        if (OrderHasPart(customer.GetPackageWanted(), upgrade))
            customer.HighlightBriefly();
    });
}

void CBusinessGoalHooks::HighlightCustomersOfStyle(int32_t style)
{
    ForEachCustomer([&](CCustomer& customer) {
        if (customer.m_CustomerStyleSheet == style)
            customer.HighlightBriefly();
    });
}
