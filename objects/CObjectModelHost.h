#pragma once
// The little the object model asks of the program it runs in: named options
// and the programmer-warning hook. The application object installs itself as
// the host; without one every option is off and warnings go to the debug
// output.

#include "foundation/UpwardHook.h"

class CObjectModelHost {
public:
    virtual ~CObjectModelHost() = default;
    // True when the named option is on.
    virtual bool IsNamedOptionSet(const char* name);
    // Takes programmer warnings met while saving (the missing-reference report).
    virtual void ForwardStringHook2(const char* text);

    // The installed host; a do-nothing one until SetInstance.
    static CObjectModelHost& SGetInstance();
    // Returns the previous one; null restores the default.
    static CObjectModelHost* SetInstance(CObjectModelHost* host);
};
OMBRISALT_UPWARD_HOOK(CObjectModelHost::SetInstance);
