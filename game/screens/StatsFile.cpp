#include "game/screens/CStats.h"

bool CStats::Load()
{
    return false;
}

bool CStats::Save()
{
    m_NeedsSave = false;
    return false;
}
