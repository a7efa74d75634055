#pragma once
// The registry of object-file lists: which list holds an object, and the
// whole-program operations (reset after the archives are mounted, dispose of
// every object at shutdown). One per process, made on first use; it frees
// only its own records, never the lists.

#include "foundation/CArrayPOD.h"
#include "foundation/CJString.h"
#include "foundation/CVirtualArray.h"
#include "objects/CImageBrowserItemBridge.h"

#include <cstdint>

class CObject;
class CObjectFileArray;

struct CFileListListItem : public CPooledClassBase {
    CJString listName;
    CJString folder; // empty: not reset by ResetAllLists
    CVirtualArray* list = nullptr;
    uint32_t priority = 0;
    uint8_t flag = 0;
    // Null: the list cannot be browsed as thumbnails.
    ImageBrowserItemFactory itemFactory = nullptr;
};

class CFileListList : public CSimpleVirtualArray {
public:
    static CFileListList& SGetInstance();

    CFileListList();
    ~CFileListList() override;

    // The registered list names.
    const char* GetItemName(int32_t i) override;
    CJString GetItemNameString(int32_t i) override;
    int32_t GetCount() override { return int32_t(m_Items.GetCount()); }

    // The new index. The first call also answers for the lists' objects in
    // FindObjectFileName.
    int32_t AddList(const char* name, const char* folder, CVirtualArray* list, uint32_t priority, uint8_t flag);
    CFileListListItem* FindItemByList(const CVirtualArray* list);
    // A factory for a list that does not name its own; false when the list
    // is not registered.
    bool SetItemFactory(const CVirtualArray* list, ImageBrowserItemFactory factory);
    // The set factory, else the list's own; null: not browsable.
    ImageBrowserItemFactory GetItemFactory(int32_t i);
    int32_t FindIndexOfList(const CVirtualArray* list);
    // The first list, in registration order, whose FindObjectIndex knows it.
    bool FindObject(const CObject* object, int32_t* listIndex, int32_t* itemIndex);
    CObjectFileArray* GetList(int32_t i);
    // Any registered list, object list or not; null outside the registry.
    CVirtualArray* GetArray(int32_t i);

    // Every list registered with a folder enumerates it again on next use.
    void ResetAllLists();
    void ClearAllUsedFlags();
    // Shutdown: unloads every loaded object, last registered list first.
    void DisposeAll();
    static bool IsShuttingDown();

    // A list that ends before the process does leaves the registry; safe
    // after the registry itself is gone.
    static void RemoveList(const CVirtualArray* list);

private:
    CArrayPOD<CFileListListItem*> m_Items;
};

// Lets every object of a registered list answer for its own file (see
// ObjectFileCallbacks.h); RegisterObjectClasses calls it once.
void RegisterListedObjectFileNames();
