#pragma once
// A tree of named items for the editor's tree controls, and the bridge that
// shows one level of it as a flat array for list controls. Ids are the
// tree's own; -1 is no id.

#include "foundation/CJString.h"
#include "foundation/CVirtualArray.h"

#include <cstdint>

class CVirtualTree {
public:
    virtual ~CVirtualTree() = default;
    virtual int32_t GetRoot() = 0;
    virtual int32_t GetParent(int32_t id) = 0;
    virtual CJString GetName(int32_t id) = 0;
    virtual CJString GetDisplayName(int32_t id) = 0;
    virtual CJString GetPath(int32_t id) = 0;
    virtual int32_t GetChildCount(int32_t id) = 0;
    virtual int32_t GetChild(int32_t id, int32_t i) = 0;
    virtual CVirtualArray* GetSourceArray() = 0;
    virtual int32_t GetTreeFlags() { return 0; }
    // Per-id queries: true for folders; items answer what the source says.
    virtual bool IsItemLoaded(int32_t id) = 0;
    virtual bool GetItemFlag(int32_t id) = 0;
};

// One level of a tree as an array: the tree's top level while the parent is
// -1, otherwise the children of the parent.
class CVirtualTreeToVirtualArrayBridge : public CVirtualArray {
public:
    explicit CVirtualTreeToVirtualArrayBridge(CVirtualTree& tree)
        : m_Tree(tree)
    {
    }

    void SetParent(int32_t id) { m_Parent = id; }
    int32_t GetParent() const { return m_Parent; }
    // The tree id of item i of the current level; -1 outside it.
    int32_t GetChildId(int32_t i);

    const char* GetItemName(int32_t i) override;
    CJString GetItemNameString(int32_t i) override;
    int32_t Find(const CJString& name, int32_t hint = -1) override;
    int32_t Find(const char* name, int32_t hint = -1) override;
    int32_t GetCount() override;
    bool IsItemLoaded(int32_t i) override;
    bool GetItemFlag(int32_t i) override;

private:
    int32_t Level() { return m_Parent == -1 ? m_Tree.GetRoot() : m_Parent; }

    CVirtualTree& m_Tree;
    int32_t m_Parent = -1;
    CJString m_NameBuffer;
};
