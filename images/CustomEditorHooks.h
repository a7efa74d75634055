#pragma once
// The previews that frames, fonts and sequences put into the object editor,
// and the buttons any object puts on its page. The editor lives above every
// asset layer, so it installs these at start-up; until then the assets add
// nothing.

#include "foundation/UpwardHook.h"

class CCommand;
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
    // A button titled title on the page's "General" category that runs
    // command, which the hooks own from here on.
    virtual void AddCommandButton(CObjectEditor& editor, const char* title, CCommand* command);
};

// Answers the hooks replaced; null puts back the do-nothing ones.
CCustomEditorHooks* SetCustomEditorHooks(CCustomEditorHooks* hooks);
OMBRISALT_UPWARD_HOOK(SetCustomEditorHooks);
CCustomEditorHooks& GetCustomEditorHooks();
