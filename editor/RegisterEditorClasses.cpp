#include "editor/RegisterEditorClasses.h"

#include "editor/CAssetDependencyBrowser.h"
#include "editor/CEditorCheckpointHistory.h"
#include "editor/CNewFileDialog.h"
#include "editor/CObjectEditor.h"
#include "editor/COverlayTestEditor.h"
#include "editor/EditorStartup.h"
#include "objects/CNewFileOptions.h"

namespace {

CLevelUndoHistory* MakeCheckpointHistory()
{
    return new CEditorCheckpointHistory;
}

} // namespace

void RegisterEditorClasses()
{
    BuildEditorStartupObjects();
    SetLevelUndoHistoryFactory(&MakeCheckpointHistory);
    SetNewFileDialogFactory(&MakeNewFileDialog);
    InstallObjectEditorHooks();
    RegisterOverlaySetFileNames();
    CObjectEditor::SetAssetDependencyBrowserOpener(&MakeAssetDependencyBrowserForEditor);
}
