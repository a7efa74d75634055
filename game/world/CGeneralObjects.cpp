#include "game/world/CGeneralObjects.h"

#include "game/world/CGameSongPlayer.h"
#include "game/world/CLevelSet.h"

#include "foundation/FatalError.h"
#include "objects/CFileListList.h"
#include "sound/CMusicPlayer.h"

#include <memory>

CGeneralObjectsList::CGeneralObjectsList()
    : CObjectArrayBaseTemplate<CObject>("Object.txt")
{
}

CObject* CGeneralObjectsList::LoadObject(const CJString& folder, const CJString& fileName, CObject** slot)
{
    CObject* object = CObjectArrayBaseTemplate<CObject>::LoadObject(folder, fileName, slot);
    if (auto* levels = dynamic_cast<CLevelSet*>(object)) {
        // The name the set is saved under (FindObjectFileName's).
        CJString path(folder);
        path.AppendPath(fileName.GetString());
        path.Append(".Object.txt");
        levels->NoteAsOnDisk(path.GetString());
    }
    return object;
}

CGeneralObjectsList& GetGeneralObjects()
{
    // Lives to the end of the process, as the registry of lists expects.
    static auto* list = new CGeneralObjectsList;
    return *list;
}

void InitGeneralObjects()
{
    CGeneralObjectsList& list = GetGeneralObjects();
    list.SetSource(nullptr, "Resources", 0);
    // Entered once among the named lists, which re-point it on every reset.
    if (CFileListList::SGetInstance().FindIndexOfList(&list) < 0)
        list.RegisterList("General Objects", "Resources");
    // Songs are named in the objects' data, so the list is filled first.
    LoadSongList();
}

CObject* GetGeneralObject(const char* name, CClassInfo* required)
{
    CGeneralObjectsList& list = GetGeneralObjects();
    CObject* object = list.GetObjectAt(list.FindOrReportMissing(name));
    if (!object) {
        // The list reports failed loads itself; an entry that still gives
        // nothing is reported here rather than handed out as null.
        CJString text(list.GetLastLoadError());
        if (text.IsEmpty())
            text.Set("Error loading file");
        FatalDataError("Fatal Error", text.GetString());
    }
    if (required && !object->IsKindOf(required)) {
        CJString text("File contains invalid class type of ");
        text.Append(object->GetClassInfo()->GetName());
        FatalDataError("Fatal Error", text.GetString());
    }
    return object;
}

CSoundFileList& GetSongList()
{
    static CSoundFileList list;
    return list;
}
