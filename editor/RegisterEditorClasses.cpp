#include "editor/RegisterEditorClasses.h"

#include "editor/ArrayPropertyEditors.h"
#include "editor/CEditorCheckpointHistory.h"
#include "editor/CEditorToolPalette.h"
#include "editor/CLevelEditorOptions.h"
#include "editor/CLevelEditorWindow.h"
#include "editor/CListPropertyEditor.h"
#include "editor/CNewFileDialog.h"
#include "editor/CObjectEditor.h"
#include "editor/COverlayTestEditor.h"
#include "editor/CRotateAndScaleTool.h"
#include "editor/CScrapBook.h"
#include "editor/CSelectedObjects.h"
#include "editor/CustomEditors.h"
#include "editor/DebugOptionToggles.h"
#include "editor/EditorStartup.h"
#include "editor/OwnedObjectPropertyEditors.h"
#include "editor/PointAndColorPropertyEditors.h"
#include "editor/ValuePropertyEditors.h"
#include "game/business/CCustomerArrivals.h"
#include "game/world/CLotPlayfieldLayer.h"
#include "objects/CNewFileOptions.h"

namespace {

CLevelUndoHistory* MakeCheckpointHistory()
{
    return new CEditorCheckpointHistory;
}

} // namespace

void RegisterEditorClasses()
{
    CSelectedObjectInfo::SGetClassInfo();
    CSelectedObjects::SGetClassInfo();
    CScrapBookData::SGetClassInfo();
    BuildEditorStartupObjects();
    BuildDebugOptionToggles();
    SetLevelUndoHistoryFactory(&MakeCheckpointHistory);
    SetNewFileDialogFactory(&MakeNewFileDialog);
    AddPropertyRowMaker(&MakeListPropertyEditors);
    InstallCustomEditorHooks();
    InstallObjectEditorHooks();
    InstallLevelEditorHooks();
    RegisterRotateAndScaleToolClasses();
    AddPropertyRowMaker(&MakeValuePropertyRows);
    AddPropertyRowMaker(&MakeOwnedObjectPropertyRows);
    AddPropertyRowMaker(&MakeArrayPropertyRows);
    AddPropertyRowMaker(&MakePointAndColorPropertyRows);
    AddPropertyRowMaker(&MakeDynamicValueRows);
    AddPropertyButtonMaker(&AddObjectPropertyButtons);
    CLevelEditorOptions::SGetClassInfo();
    [[maybe_unused]] static const bool fileNamesRegistered = (RegisterLevelEditorOptionsFileName(), true);
    SetLotGridConnectionsQuery(&IsShowLotGridConnectionsOn);
    SetSpawnLimitingQuery(&IsShowCustomerSpawnLimitingOn);
}
