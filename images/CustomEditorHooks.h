#pragma once
// The previews that frames, fonts and sequences put into the object editor.
// The editor lives above every asset layer, so it installs these at start-up;
// until then the assets add nothing.

#include "foundation/UpwardHook.h"

class CFont;
class CFrame;
class CObjectEditor;
class CSequence;

class CCustomEditorHooks {
public:
    virtual ~CCustomEditorHooks() = default;
    virtual void AddFrameEditor(CObjectEditor& /*editor*/, CFrame& /*frame*/) {}
    virtual void AddFontEditor(CObjectEditor& /*editor*/, CFont& /*font*/) {}
    virtual void AddSequenceEditor(CObjectEditor& /*editor*/, CSequence& /*sequence*/) {}
};

// Answers the hooks replaced; null puts back the do-nothing ones.
CCustomEditorHooks* SetCustomEditorHooks(CCustomEditorHooks* hooks);
OMBRISALT_UPWARD_HOOK(SetCustomEditorHooks);
CCustomEditorHooks& GetCustomEditorHooks();
