#include "images/CustomEditorHooks.h"

namespace {

CCustomEditorHooks* g_CustomEditorHooks = nullptr;

} // namespace

CCustomEditorHooks* SetCustomEditorHooks(CCustomEditorHooks* hooks)
{
    CCustomEditorHooks* previous = g_CustomEditorHooks;
    g_CustomEditorHooks = hooks;
    return previous;
}

CCustomEditorHooks& GetCustomEditorHooks()
{
    static CCustomEditorHooks defaults;
    return g_CustomEditorHooks ? *g_CustomEditorHooks : defaults;
}
