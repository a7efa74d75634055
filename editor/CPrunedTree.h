#pragma once
// The folders of another tree: a node's children are only those that have
// children themselves. Everything else is the source tree's answer.

#include "foundation/CVirtualTree.h"

class CPrunedTree : public CVirtualTree {
public:
    // The source is not owned.
    explicit CPrunedTree(CVirtualTree& source)
        : m_Source(source)
    {
    }

    int32_t GetRoot() override { return m_Source.GetRoot(); }
    int32_t GetParent(int32_t id) override { return m_Source.GetParent(id); }
    CJString GetName(int32_t id) override { return m_Source.GetName(id); }
    CJString GetDisplayName(int32_t id) override { return m_Source.GetDisplayName(id); }
    CJString GetPath(int32_t id) override { return m_Source.GetPath(id); }
    int32_t GetChildCount(int32_t id) override;
    // -1 past the folders.
    int32_t GetChild(int32_t id, int32_t i) override;
    CVirtualArray* GetSourceArray() override { return m_Source.GetSourceArray(); }
    int32_t GetTreeFlags() override { return m_Source.GetTreeFlags(); }
    bool IsItemLoaded(int32_t id) override { return m_Source.IsItemLoaded(id); }
    bool GetItemFlag(int32_t id) override { return m_Source.GetItemFlag(id); }

private:
    CVirtualTree& m_Source;
};
