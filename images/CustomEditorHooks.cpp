#include "images/CustomEditorHooks.h"

#include "foundation/CCommand.h"

namespace {

CCustomEditorHooks* g_CustomEditorHooks = nullptr;

} // namespace

void CCustomEditorHooks::AddCommandButton(CObjectEditor&, const char*, CCommand* command)
{
    delete command;
}

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
