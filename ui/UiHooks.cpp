#include "ui/UiHooks.h"

namespace {

CUiHooks* g_UiHooks = nullptr;

} // namespace

CUiHooks* SetUiHooks(CUiHooks* hooks)
{
    CUiHooks* previous = g_UiHooks;
    g_UiHooks = hooks;
    return previous;
}

CUiHooks& GetUiHooks()
{
    static CUiHooks defaults;
    return g_UiHooks ? *g_UiHooks : defaults;
}
