#include "game/world/WorldHooks.h"

#include "game/world/CGameState.h"

namespace {

CWorldHooks g_DefaultWorldHooks;
CWorldHooks* g_WorldHooks = nullptr;
CAchievementServices g_NoAchievements;
CAchievementServices* g_Achievements = nullptr;

} // namespace

void CWorldHooks::StoreStateBeforeLevel(CGameState* copy)
{
    delete copy;
}

CWorldHooks* SetWorldHooks(CWorldHooks* hooks)
{
    CWorldHooks* previous = g_WorldHooks;
    g_WorldHooks = hooks;
    return previous;
}

CWorldHooks& GetWorldHooks()
{
    return g_WorldHooks ? *g_WorldHooks : g_DefaultWorldHooks;
}

CAchievementServices* SetAchievementServices(CAchievementServices* services)
{
    CAchievementServices* previous = g_Achievements;
    g_Achievements = services;
    return previous;
}

CAchievementServices& GetAchievementServices()
{
    return g_Achievements ? *g_Achievements : g_NoAchievements;
}
