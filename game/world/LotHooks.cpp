#include "game/world/LotHooks.h"

namespace {

CLotHooks g_DefaultLotHooks;
CLotHooks* g_LotHooks = nullptr;

} // namespace

CLotHooks* SetLotHooks(CLotHooks* hooks)
{
    CLotHooks* previous = g_LotHooks;
    g_LotHooks = hooks;
    return previous;
}

CLotHooks& GetLotHooks()
{
    return g_LotHooks ? *g_LotHooks : g_DefaultLotHooks;
}
