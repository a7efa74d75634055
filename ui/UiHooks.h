#pragma once
// What the toolkit asks of the editors above it. The editors install their
// answers at start-up; until then every question gets the default below.

#include "foundation/UpwardHook.h"

class CUiHooks {
public:
    virtual ~CUiHooks() = default;
    // True while the level editor's window exists.
    virtual bool IsLevelEditorOpen() { return false; }
};
// Installs hooks (null: the defaults); returns the previous ones. The caller
// keeps ownership.
CUiHooks* SetUiHooks(CUiHooks* hooks);
OMBRISALT_UPWARD_HOOK(SetUiHooks);

// The installed hooks, or the defaults.
CUiHooks& GetUiHooks();
