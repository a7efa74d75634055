#include "game/world/WorldHooks.h"

#include "game/world/CGameState.h"

namespace {

CGameScreensHooks g_NoScreens;
CGameScreensHooks* g_Screens = nullptr;

} // namespace

void CGameScreensHooks::StoreStateBeforeLevel(CGameState* copy)
{
    delete copy;
}

CGameScreensHooks* SetGameScreensHooks(CGameScreensHooks* hooks)
{
    CGameScreensHooks* previous = g_Screens;
    g_Screens = hooks;
    return previous;
}

CGameScreensHooks& GetGameScreensHooks()
{
    return g_Screens ? *g_Screens : g_NoScreens;
}
