#include "game/world/CLevelPlayStatistics.h"

OMBRISALT_IMPLEMENT_CLASS(CLevelPlayStats, 1.0)

void CLevelPlayStats::DeclareProperties(CPropertyDeclarer&) {}
CLevelPlayStats::CLevelPlayStats()
{
    InitDeclaredProperties();
}
CLevelPlayStats::~CLevelPlayStats()
{
    DestroyDeclaredProperties();
}
CLevelPlayStats* CLevelPlayStats::SGetCurrent()
{
    return nullptr;
}
