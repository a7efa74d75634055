#pragma once
// A play list over the files of one folder: music, ambient sounds and the
// like. Items are kept sorted by name; the play order is name order,
// shuffled, or sorted another way, and a new shuffled pass never begins with
// the item that ended the previous one.

#include "foundation/CDirectoryTree.h"
#include "foundation/EnumerateFiles.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

class CFileList : public CSimpleVirtualArray {
public:
    enum OrderMode : uint32_t { kInNameOrder = 0, kShuffled = 1, kSortedNoCase = 2, kSortedByCaller = 3 };
    // Compares items a and b of the list; negative when a comes first.
    using Comparison = int (*)(CFileList& list, int32_t a, int32_t b);

    struct Item {
        CJString name;
        uint32_t size = 0;
    };

    CFileList();
    ~CFileList() override;

    uint32_t Enumerate(const CEnumerateFilesOptions& options, uint32_t orderMode, Comparison comparison,
                       uint32_t flags);
    // The next item in play order (a preferred name found in the list is
    // given now instead); null for an empty list.
    const char* GetNextName(const char* preferred = nullptr);
    // Folder and name joined, in one process-wide buffer.
    const char* GetNextPath(const char* preferred = nullptr);
    const char* GetCurrentName();
    const char* GetItemPath(int32_t i);
    CDirectoryTree* GetTree() { return m_Tree.get(); }

    const char* GetItemName(int32_t i) override;
    CJString GetItemNameString(int32_t i) override;
    int32_t GetCount() override { return int32_t(m_Items.size()); }
    uint32_t GetItemSize(int32_t i) const { return m_Items[size_t(i)].size; }
    const std::vector<int32_t>& GetPlayOrder() const { return m_Order; }

    // For the enumeration callback.
    void AddItem(const char* name, uint32_t size);
    bool HasItem(const char* name);
    // Whether an entry Enumerate finds joins the list.
    virtual bool TakesEntry(const char* /*name*/, const CEnumerateFilesInfo& /*info*/) { return true; }

private:
    void Shuffle();

    char m_Folder[257] = {};
    std::vector<Item> m_Items;
    std::unordered_set<std::string> m_Folded;
    std::vector<int32_t> m_Order;
    uint32_t m_Next = 0;
    int32_t m_Last = -1;
    uint32_t m_Mode = kInNameOrder;
    std::unique_ptr<CDirectoryTree> m_Tree;
    bool m_Enumerating = false;
};

class CFileListEnumerateCallback : public CEnumerateFilesCallback {
public:
    explicit CFileListEnumerateCallback(CFileList& list)
        : m_List(list)
    {
    }
    uint32_t GetCount() override { return uint32_t(m_List.GetCount()); }
    void AddEntry(const char* name, const CEnumerateFilesInfo& info) override
    {
        if (m_List.TakesEntry(name, info))
            m_List.AddItem(name, info.size);
    }
    bool HasEntry(const char* name) override { return m_List.HasItem(name); }

private:
    CFileList& m_List;
};
