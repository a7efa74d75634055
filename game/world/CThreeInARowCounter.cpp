#include "game/world/CThreeInARowCounter.h"

#include "objects/CFloatProperty.h"

OMBRISALT_IMPLEMENT_CLASS(CThreeInARowCounter, 1.0)

namespace {

CThreeInARowCounter* g_CurrentCounter = nullptr;
CThreeInARowCounterHooks* g_CounterHooks = nullptr;

} // namespace

void CThreeInARowCounter::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CThreeInARowCounter::m_SecondsBonusLeft, "Num Seconds Bonus Left", 0.0f);
}

CThreeInARowCounter::CThreeInARowCounter()
{
    InitDeclaredProperties();
    g_CurrentCounter = this;
}

CThreeInARowCounter::~CThreeInARowCounter()
{
    g_CurrentCounter = nullptr;
    DestroyDeclaredProperties();
}

CThreeInARowCounter* GetThreeInARowCounter()
{
    return g_CurrentCounter;
}

void CThreeInARowCounter::Update(CSpriteUpdateRecord& record)
{
    GetThreeInARowCounterHooks().Update(*this, record);
}

void CThreeInARowCounter::Draw(CSpriteDrawRecord& record)
{
    GetThreeInARowCounterHooks().Draw(*this, record);
}

CThreeInARowCounterHooks* SetThreeInARowCounterHooks(CThreeInARowCounterHooks* hooks)
{
    CThreeInARowCounterHooks* previous = g_CounterHooks;
    g_CounterHooks = hooks;
    return previous;
}

CThreeInARowCounterHooks& GetThreeInARowCounterHooks()
{
    static CThreeInARowCounterHooks none;
    return g_CounterHooks ? *g_CounterHooks : none;
}
