#include "objects/CObjectModelHost.h"

#include "platform/Debug.h"

namespace {
CObjectModelHost* s_Host = nullptr;
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
    return s_Host ? *s_Host : fallback;
}

CObjectModelHost* CObjectModelHost::SetInstance(CObjectModelHost* host)
{
    CObjectModelHost* previous = s_Host;
    s_Host = host;
    return previous;
}
