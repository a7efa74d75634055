#include "objects/CObjectModelHost.h"

#include "platform/Debug.h"

namespace {
CObjectModelHost* g_Host = nullptr;
}

bool CObjectModelHost::IsNamedOptionSet(const char*)
{
    return false;
}

void CObjectModelHost::ForwardStringHook2(const char* text)
{
    if (text)
        plat::DebugOutput(text);
}

CObjectModelHost& CObjectModelHost::SGetInstance()
{
    static CObjectModelHost fallback;
    return g_Host ? *g_Host : fallback;
}

CObjectModelHost* CObjectModelHost::SetInstance(CObjectModelHost* host)
{
    CObjectModelHost* previous = g_Host;
    g_Host = host;
    return previous;
}
