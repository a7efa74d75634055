#pragma once
// The base of the level editor's tools. A tool is built with the open level
// editor as its parent but is never added to the window tree: the editor
// hands it pointer, key, hover, draw and clipboard events itself, before (or
// instead of) its own selection handling, through the ordinary window
// operations (OnMouseDrag, OnMouseRelease, OnMouseWheel, OnKeyDown,
// OnHotKey, OnHover, Draw, GetCursor, the clipboard ones). A tool answers
// false from an operation it leaves to the editor.

#include "ui/CJWindow.h"

class CLevelEditorWindow;

class CEditorTool : public CJWindow {
public:
    // At (0, 0), 9999 x 9999, so every point of the editor lies inside it.
    CEditorTool(CLevelEditorWindow* editor, const char* title);

    CLevelEditorWindow* GetEditor() const { return m_Editor; }

    // The editor's selection changed (a new set of objects).
    virtual void OnSelectionChanged() {}
    // The selected objects moved together (drag, arrow keys, paste).
    virtual void OnSelectionMoved() {}
    // Whether cut, copy, paste and delete reach the tool before the editor.
    virtual bool WantsClipboard() const { return false; }

    // The tool stands outside the window tree: presses, releases and moves
    // come only through the editor, and a tool without a cursor of its own
    // leaves the editor's.
    bool OnMouseDown(uint32_t, CPoint) override { return false; }
    bool OnMouseUp(uint32_t, CPoint) override { return false; }
    bool OnMouseMove(CPoint, CPoint, CCursorSequence*&) override { return false; }
    CCursorSequence* GetCursor(CPoint) override { return nullptr; }

private:
    CLevelEditorWindow* m_Editor;
};
