#include "objects/CFileListList.h"

#include "foundation/CStartupTextLog.h"
#include "objects/CObjectFileArray.h"
#include "objects/ObjectFileCallbacks.h"

namespace {

bool g_ShuttingDown = false;
// Lists destroyed before the registry is made or after it is gone (globals at
// exit) must not reach it.
bool g_RegistryLive = false;

bool FindFileOfListedObject(const CObject* object, CJString* name)
{
    CFileListList& registry = CFileListList::SGetInstance();
    CJString found;
    for (int32_t i = 0; i < registry.GetCount(); ++i) {
        CObjectFileArray* list = registry.GetList(i);
        if (list && list->GetObjectFileName(object, found)) {
            if (name)
                *name = found;
            return true;
        }
    }
    return false;
}

} // namespace

void RegisterListedObjectFileNames()
{
    RegisterObjectFileNameCallback(&FindFileOfListedObject);
}

CFileListList& CFileListList::SGetInstance()
{
    static CFileListList registry;
    return registry;
}

CFileListList::CFileListList()
{
    g_RegistryLive = true;
}

CFileListList::~CFileListList()
{
    m_Items.DeleteAll();
    g_RegistryLive = false;
}

const char* CFileListList::GetItemName(int32_t i)
{
    return i >= 0 && i < GetCount() ? m_Items[uint32_t(i)]->listName.GetString() : "";
}

CJString CFileListList::GetItemNameString(int32_t i)
{
    return CJString(GetItemName(i));
}

int32_t CFileListList::AddList(const char* name, const char* folder, CVirtualArray* list, uint32_t priority,
                               uint8_t flag)
{
    auto* item = new CFileListListItem;
    item->listName.Set(name ? name : "");
    item->folder.Set(folder ? folder : "");
    item->list = list;
    item->priority = priority;
    item->flag = flag;
    m_Items.Append(item);
    return GetCount() - 1;
}

CFileListListItem* CFileListList::FindItemByList(const CVirtualArray* list)
{
    const int32_t index = FindIndexOfList(list);
    return index >= 0 ? m_Items[uint32_t(index)] : nullptr;
}

int32_t CFileListList::FindIndexOfList(const CVirtualArray* list)
{
    for (uint32_t i = 0; i < m_Items.GetCount(); ++i)
        if (m_Items[i]->list == list)
            return int32_t(i);
    return -1;
}

bool CFileListList::SetItemFactory(const CVirtualArray* list, ImageBrowserItemFactory factory)
{
    CFileListListItem* item = FindItemByList(list);
    if (!item)
        return false;
    item->itemFactory = factory;
    return true;
}

ImageBrowserItemFactory CFileListList::GetItemFactory(int32_t i)
{
    if (i < 0 || i >= GetCount())
        return nullptr;
    if (m_Items[uint32_t(i)]->itemFactory)
        return m_Items[uint32_t(i)]->itemFactory;
    // An object list names its own, once it is fully built.
    CObjectFileArray* list = GetList(i);
    return list ? list->GetItemFactory() : nullptr;
}

CVirtualArray* CFileListList::GetArray(int32_t i)
{
    return i >= 0 && i < GetCount() ? m_Items[uint32_t(i)]->list : nullptr;
}

CObjectFileArray* CFileListList::GetList(int32_t i)
{
    if (i < 0 || i >= GetCount())
        return nullptr;
    return dynamic_cast<CObjectFileArray*>(m_Items[uint32_t(i)]->list);
}

bool CFileListList::FindObject(const CObject* object, int32_t* listIndex, int32_t* itemIndex)
{
    for (int32_t i = 0; i < GetCount(); ++i) {
        CObjectFileArray* list = GetList(i);
        const int32_t found = list ? list->FindObjectIndex(object) : -1;
        if (found >= 0) {
            if (listIndex)
                *listIndex = i;
            if (itemIndex)
                *itemIndex = found;
            return true;
        }
    }
    return false;
}

void CFileListList::ResetAllLists()
{
    for (int32_t i = 0; i < GetCount(); ++i) {
        const CFileListListItem& item = *m_Items[uint32_t(i)];
        CObjectFileArray* list = GetList(i);
        if (list && item.folder.IsNotEmpty())
            list->SetSource(nullptr, item.folder.GetString(), 0);
    }
}

void CFileListList::ClearAllUsedFlags()
{
    for (int32_t i = 0; i < GetCount(); ++i)
        if (CObjectFileArray* list = GetList(i))
            list->ClearUsedFlags();
}

void CFileListList::DisposeAll()
{
    g_ShuttingDown = true;
    CStartupTextLog& log = CStartupTextLog::Instance();
    for (int32_t i = GetCount() - 1; i >= 0; --i) {
        CJString text;
        text.Format("Disposing of all items in the \"%s\" list...", m_Items[uint32_t(i)]->listName.GetString());
        log.Print(text.GetString(), LogLineEnd::EndLine, 0);
        CObjectFileArray* list = GetList(i);
        if (!list || !list->IsEnumerated())
            continue;
        for (int32_t item = 0; item < list->GetCount(); ++item)
            if (list->IsItemLoaded(item))
                list->UnloadItem(item);
    }
    log.Print("Finished disposing of all items in all lists.", LogLineEnd::EndLine, 0);
}

bool CFileListList::IsShuttingDown()
{
    return g_ShuttingDown;
}

void CFileListList::RemoveList(const CVirtualArray* list)
{
    if (!g_RegistryLive)
        return;
    CFileListList& registry = SGetInstance();
    for (uint32_t i = registry.m_Items.GetCount(); i-- > 0;)
        if (registry.m_Items[i]->list == list)
            registry.m_Items.DeleteAt(i);
}
