// Owner: bz2-draw (the customer's drawing and pixel test). Stubbed.
#include "game/business/CCustomer.h"

namespace {

bool g_HitTestDrawing = false;

} // namespace

void CCustomer::PreDraw(CSpriteDrawRecord& record)
{
    CSpriteAI::PreDraw(record);
}

void CCustomer::Draw(CSpriteDrawRecord& record)
{
    CSpriteAI::Draw(record);
}

void CCustomer::DrawAngryFlash(CSpriteDrawRecord& /*record*/) {}

void CCustomer::DrawWantedItems(CSpriteDrawRecord& /*record*/) {}

void CCustomer::DrawHearts(CSpriteDrawRecord& /*record*/) {}

void CCustomer::DrawHeartRow(CFrameInterface& /*target*/, float /*hearts*/, CFPoint /*at*/) {}

bool CCustomer::IsOpaqueAt(int32_t /*x*/, int32_t /*y*/)
{
    return false;
}

bool IsCustomerHitTestDrawing()
{
    return g_HitTestDrawing;
}

void SetCustomerHitTestDrawing(bool on)
{
    g_HitTestDrawing = on;
}
