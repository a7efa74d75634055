#include "objects/CGameBase.h"

#include "platform/Debug.h"

namespace {
CGameBase* s_Game = nullptr;
}

bool CGameBase::IsNamedOptionSet(const char*)
{
    return false;
}

void CGameBase::ForwardStringHook2(const char* text)
{
    if (text)
        plat::DebugOutput(text);
}

CGameBase& CGameBase::SGetInstance()
{
    static CGameBase fallback;
    return s_Game ? *s_Game : fallback;
}

CGameBase* CGameBase::SetInstance(CGameBase* game)
{
    CGameBase* previous = s_Game;
    s_Game = game;
    return previous;
}
