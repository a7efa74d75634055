#include "editor/CEditorTool.h"

#include "editor/CLevelEditorWindow.h"

CEditorTool::CEditorTool(CLevelEditorWindow* editor, const char* title)
    : CJWindow(editor, title)
    , m_Editor(editor)
{
    SetRectXYWH(0, 0, 9999, 9999);
}
