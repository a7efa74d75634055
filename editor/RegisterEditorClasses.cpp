#include "editor/RegisterEditorClasses.h"

#include "editor/CEditorCheckpointHistory.h"
#include "editor/CListPropertyEditor.h"
#include "editor/CNewFileDialog.h"
#include "editor/CObjectEditor.h"
#include "editor/CustomEditors.h"
#include "editor/EditorStartup.h"
#include "editor/ObjectPropertyEditors.h"
#include "editor/ValuePropertyEditors.h"
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
    AddPropertyRowMaker(&MakeListPropertyEditors);
    InstallCustomEditorHooks();
    InstallObjectEditorHooks();
    AddPropertyRowMaker(&MakeValuePropertyRows);
    AddPropertyRowMaker(&MakeObjectPropertyRows);
    AddPropertyButtonMaker(&AddObjectPropertyButtons);
}
