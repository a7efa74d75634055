#pragma once
// The little the object model asks of the game object: named options and the
// programmer-warning hook. The game installs its own; without one every option
// is off and warnings go to the debug output.

class CGameBase {
public:
    virtual ~CGameBase() = default;
    // True when the named option is on.
    virtual bool IsNamedOptionSet(const char* name);
    // Takes programmer warnings met while saving (the missing-reference report).
    virtual void ForwardStringHook2(const char* text);

    // The installed game object; a do-nothing one until SetInstance.
    static CGameBase& SGetInstance();
    // Returns the previous one; null restores the default.
    static CGameBase* SetInstance(CGameBase* game);
};
