#include "foundation/CDirectoryTree.h"

#include "foundation/EnumerateFiles.h"

#include <cstring>

namespace {

// The part after the last "/".
CJString FileNamePart(const CJString& path)
{
    const char* text = path.GetString();
    const char* slash = std::strrchr(text, '/');
    return CJString(slash ? slash + 1 : text);
}

} // namespace

CDirectoryTree::CDirectoryTree(CVirtualArray& array)
{
    Rebuild(array);
}

CDirectoryTree::~CDirectoryTree() = default;

CDirectoryTree::Folder* CDirectoryTree::GetFolder(int32_t id)
{
    return IsFolder(id) ? &m_Folders[size_t(id - m_ItemCount)] : nullptr;
}

int32_t CDirectoryTree::FolderFor(const char* path, size_t length)
{
    int32_t folder = m_ItemCount;
    size_t start = 0;
    while (start < length) {
        const char* slash = static_cast<const char*>(std::memchr(path + start, '/', length - start));
        const size_t end = slash ? size_t(slash - path) : length;
        const size_t componentLength = end - start;
        int32_t found = -1;
        for (int32_t child : GetFolder(folder)->subfolders) {
            const CJString& name = GetFolder(child)->name;
            if (size_t(name.GetLength()) == componentLength
                && StartsWithNoCase(name.GetString(), path + start, componentLength)) {
                found = child;
                break;
            }
        }
        if (found < 0) {
            Folder made;
            made.name = CJString(path + start, int(componentLength));
            made.parent = folder;
            found = m_ItemCount + int32_t(m_Folders.size());
            m_Folders.push_back(made);
            GetFolder(folder)->subfolders.push_back(found);
        }
        folder = found;
        start = end + 1;
    }
    return folder;
}

void CDirectoryTree::Rebuild(CVirtualArray& array)
{
    m_Array = &array;
    m_Folders.clear();
    m_ItemCount = array.GetCount();
    Folder root;
    array.GetListName(root.name);
    m_Folders.push_back(root);
    m_ItemParents.assign(size_t(m_ItemCount), m_ItemCount);
    for (int32_t i = 0; i < m_ItemCount; ++i) {
        const CJString path = array.GetItemNameString(i);
        const char* text = path.GetString();
        const char* slash = std::strrchr(text, '/');
        const int32_t folder = slash ? FolderFor(text, size_t(slash - text)) : m_ItemCount;
        GetFolder(folder)->items.push_back(i);
        m_ItemParents[size_t(i)] = folder;
    }
}

int32_t CDirectoryTree::GetParent(int32_t id)
{
    if (id >= 0 && id < m_ItemCount)
        return m_ItemParents[size_t(id)];
    const Folder* folder = GetFolder(id);
    return folder ? folder->parent : -1;
}

CJString CDirectoryTree::GetName(int32_t id)
{
    if (id >= 0 && id < m_ItemCount)
        return FileNamePart(m_Array->GetItemNameString(id));
    const Folder* folder = GetFolder(id);
    return folder ? folder->name : CJString();
}

CJString CDirectoryTree::GetDisplayName(int32_t id)
{
    if (id >= 0 && id < m_ItemCount) {
        const char* text = m_Array->GetItemName(id);
        const char* slash = text ? std::strrchr(text, '/') : nullptr;
        return CJString(slash ? slash + 1 : (text ? text : ""));
    }
    return GetName(id);
}

CJString CDirectoryTree::GetPath(int32_t id)
{
    if (id == GetRoot() || id < 0 || (id >= m_ItemCount && !IsFolder(id)))
        return CJString();
    const int32_t parent = GetParent(id);
    CJString path = parent == GetRoot() ? CJString() : GetPath(parent);
    if (parent != GetRoot())
        path.Append("/");
    path.Append(GetName(id));
    return path;
}

int32_t CDirectoryTree::GetChildCount(int32_t id)
{
    const Folder* folder = GetFolder(id);
    return folder ? int32_t(folder->items.size() + folder->subfolders.size()) : 0;
}

int32_t CDirectoryTree::GetChild(int32_t id, int32_t i)
{
    const Folder* folder = GetFolder(id);
    if (!folder || i < 0)
        return -1;
    if (size_t(i) < folder->items.size())
        return folder->items[size_t(i)];
    const size_t sub = size_t(i) - folder->items.size();
    return sub < folder->subfolders.size() ? folder->subfolders[sub] : -1;
}

bool CDirectoryTree::IsItemLoaded(int32_t id)
{
    if (id >= 0 && id < m_ItemCount)
        return m_Array->IsItemLoaded(id);
    return true;
}

bool CDirectoryTree::GetItemFlag(int32_t id)
{
    if (id >= 0 && id < m_ItemCount)
        return m_Array->GetItemFlag(id);
    return true;
}

// --- CVirtualTreeToVirtualArrayBridge ---

int32_t CVirtualTreeToVirtualArrayBridge::GetChildId(int32_t i)
{
    return (i >= 0 && i < GetCount()) ? m_Tree.GetChild(Level(), i) : -1;
}

const char* CVirtualTreeToVirtualArrayBridge::GetItemName(int32_t i)
{
    m_NameBuffer = GetItemNameString(i);
    return m_NameBuffer.GetString();
}

CJString CVirtualTreeToVirtualArrayBridge::GetItemNameString(int32_t i)
{
    const int32_t id = GetChildId(i);
    return id < 0 ? CJString() : m_Tree.GetName(id);
}

int32_t CVirtualTreeToVirtualArrayBridge::Find(const CJString& name, int32_t hint)
{
    CJString narrow(name);
    if (narrow.IsWide())
        narrow.ToNarrow();
    return Find(narrow.GetString(), hint);
}

int32_t CVirtualTreeToVirtualArrayBridge::Find(const char* name, int32_t hint)
{
    return LinearSearch(name, hint);
}

int32_t CVirtualTreeToVirtualArrayBridge::GetCount()
{
    return m_Tree.GetChildCount(Level());
}

bool CVirtualTreeToVirtualArrayBridge::IsItemLoaded(int32_t i)
{
    const int32_t id = GetChildId(i);
    return id >= 0 && m_Tree.IsItemLoaded(id);
}

bool CVirtualTreeToVirtualArrayBridge::GetItemFlag(int32_t i)
{
    const int32_t id = GetChildId(i);
    return id >= 0 && m_Tree.GetItemFlag(id);
}
