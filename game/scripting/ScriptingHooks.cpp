#include "game/scripting/ScriptingHooks.h"

namespace {

CScriptingHooks* g_ScriptingHooks = nullptr;

} // namespace

CScriptingHooks* SetScriptingHooks(CScriptingHooks* hooks)
{
    CScriptingHooks* previous = g_ScriptingHooks;
    g_ScriptingHooks = hooks;
    return previous;
}

CScriptingHooks& GetScriptingHooks()
{
    static CScriptingHooks defaults;
    return g_ScriptingHooks ? *g_ScriptingHooks : defaults;
}
