#pragma once
// A flat array of "/"-separated path names shown as a folder tree. Ids below
// the item count are the array's items; the others are folder nodes, the
// root first.

#include "foundation/CJString.h"
#include "foundation/CVirtualTree.h"

#include <cstdint>
#include <memory>
#include <vector>

class CDirectoryTree : public CVirtualTree {
public:
    explicit CDirectoryTree(CVirtualArray& array);
    ~CDirectoryTree() override;

    // Files every item of the array under the node of its folder part.
    void Rebuild(CVirtualArray& array);

    int32_t GetRoot() override { return m_ItemCount; }
    int32_t GetParent(int32_t id) override;
    CJString GetName(int32_t id) override;
    CJString GetDisplayName(int32_t id) override;
    CJString GetPath(int32_t id) override;
    // Items plus subfolders; 0 for an item.
    int32_t GetChildCount(int32_t id) override;
    // The folder's items first, then its subfolders.
    int32_t GetChild(int32_t id, int32_t i) override;
    CVirtualArray* GetSourceArray() override { return m_Array; }
    bool IsItemLoaded(int32_t id) override;
    bool GetItemFlag(int32_t id) override;

    bool IsFolder(int32_t id) const { return id >= m_ItemCount && id - m_ItemCount < int32_t(m_Folders.size()); }

private:
    struct Folder {
        CJString name;
        std::vector<int32_t> subfolders; // folder ids
        std::vector<int32_t> items;
        int32_t parent = -1;
    };
    Folder* GetFolder(int32_t id);
    int32_t FolderFor(const char* path, size_t length);

    CVirtualArray* m_Array = nullptr;
    int32_t m_ItemCount = 0;
    std::vector<Folder> m_Folders; // [0] is the root
    std::vector<int32_t> m_ItemParents;
};
