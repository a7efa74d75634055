#include "game/world/CLevelTimer.h"

OMBRISALT_IMPLEMENT_CLASS(CLevelTimer, 1.0)

namespace {

CLevelTimer* g_LevelTimer = nullptr;

} // namespace

void CLevelTimer::DeclareProperties(CPropertyDeclarer&) {}

CLevelTimer::CLevelTimer()
{
    InitDeclaredProperties();
    g_LevelTimer = this;
}

CLevelTimer::~CLevelTimer()
{
    if (g_LevelTimer == this)
        g_LevelTimer = nullptr;
    DestroyDeclaredProperties();
}

CLevelTimer* GetLevelTimer()
{
    return g_LevelTimer;
}
