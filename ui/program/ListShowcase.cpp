#include "ui/program/ListShowcase.h"

#include "foundation/CVirtualArray.h"
#include "foundation/CVirtualTree.h"
#include "foundation/EnumerateFiles.h"
#include "shell/program/CStandInGame.h"
#include "ui/CJHeader.h"
#include "ui/CJListBox.h"
#include "ui/program/TabShowcase.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int32_t kGeneratedRows = 100000;

// Five tab-separated columns: name, number, size, kind, notes; the same
// rows every run.
class CGeneratedRows : public CSimpleVirtualArray {
public:
    CGeneratedRows()
    {
        static const char* const kinds[] = {"Apple", "Brick", "Cloud", "Dune", "Ember", "Fern", "Grain"};
        static const char* const notes[] = {"kept", "sold", "on order", "in the yard", "returned", "new"};
        m_Rows.reserve(kGeneratedRows);
        uint32_t seed = 12345;
        char line[96];
        for (int32_t i = 0; i < kGeneratedRows; ++i) {
            seed = seed * 1103515245u + 12345u;
            const uint32_t number = (seed >> 8) % 100000;
            const uint32_t size = (seed >> 4) % 977;
            std::snprintf(line, sizeof line, "Row %06d\t%u\t%u.%u\t%s\t%s", i, number, size, (seed >> 2) % 10,
                          kinds[(seed >> 12) % 7], notes[(seed >> 16) % 6]);
            m_Rows.emplace_back(line);
        }
    }
    const char* GetItemName(int32_t i) override
    {
        return i >= 0 && i < GetCount() ? m_Rows[size_t(i)].c_str() : "";
    }
    CJString GetItemNameString(int32_t i) override { return CJString(GetItemName(i)); }
    int32_t GetCount() override { return int32_t(m_Rows.size()); }

private:
    std::vector<std::string> m_Rows;
};

// The data folder's files as a tree of folders; id 0 is the root.
class CFolderTree : public CVirtualTree, private CEnumerateFilesCallback {
public:
    CFolderTree()
    {
        m_Nodes.push_back(SNode{"Data", -1, {}});
        CEnumerateFilesOptions options;
        options.SetRecurse(0);
        options.AddExtension("");
        EnumerateFiles(*this, options, 0);
    }
    int32_t GetRoot() override { return 0; }
    int32_t GetParent(int32_t id) override { return Valid(id) ? m_Nodes[size_t(id)].parent : -1; }
    CJString GetName(int32_t id) override { return CJString(Valid(id) ? m_Nodes[size_t(id)].name.c_str() : ""); }
    CJString GetDisplayName(int32_t id) override { return GetName(id); }
    CJString GetPath(int32_t id) override
    {
        std::string path;
        for (int32_t at = id; Valid(at) && at != 0; at = m_Nodes[size_t(at)].parent)
            path = m_Nodes[size_t(at)].name + (path.empty() ? "" : "/") + path;
        return CJString(path.c_str());
    }
    int32_t GetChildCount(int32_t id) override { return Valid(id) ? int32_t(m_Nodes[size_t(id)].children.size()) : 0; }
    int32_t GetChild(int32_t id, int32_t i) override
    {
        return Valid(id) && i >= 0 && i < GetChildCount(id) ? m_Nodes[size_t(id)].children[size_t(i)] : -1;
    }
    CVirtualArray* GetSourceArray() override { return nullptr; }
    bool IsItemLoaded(int32_t) override { return true; }
    bool GetItemFlag(int32_t) override { return false; }

private:
    struct SNode {
        std::string name;
        int32_t parent;
        std::vector<int32_t> children;
    };
    bool Valid(int32_t id) const { return id >= 0 && size_t(id) < m_Nodes.size(); }

    uint32_t GetCount() override { return m_Count; }
    bool HasEntry(const char*) override { return false; }
    void AddEntry(const char* name, const CEnumerateFilesInfo&) override
    {
        std::string rest(name);
        // The program's own caches are no part of the data.
        if (rest.compare(0, 6, "Cache/") == 0 || rest.compare(0, 6, "cache/") == 0)
            return;
        ++m_Count;
        int32_t at = 0;
        for (size_t slash; !rest.empty(); rest = slash == std::string::npos ? "" : rest.substr(slash + 1)) {
            slash = rest.find_first_of("/\\");
            at = Child(at, rest.substr(0, slash));
        }
    }
    int32_t Child(int32_t parent, const std::string& name)
    {
        auto [found, added] = m_Index.try_emplace({parent, name}, int32_t(m_Nodes.size()));
        if (added) {
            m_Nodes.push_back(SNode{name, parent, {}});
            m_Nodes[size_t(parent)].children.push_back(found->second);
        }
        return found->second;
    }

    std::vector<SNode> m_Nodes;
    std::map<std::pair<int32_t, std::string>, int32_t> m_Index;
    uint32_t m_Count = 0;
};

struct SListShowcase {
    SStandInHooks previous;
    CGeneratedRows* rows = nullptr;
    CFolderTree* tree = nullptr;
    CJListBox* rowList = nullptr;
    CJListBox* treeList = nullptr;
};
SListShowcase* g_ListShowcase = nullptr;

// Fills the page from top down to its bottom margin.
void FitBelow(CJListBox& list, CJWindow& page, int32_t top)
{
    const int32_t margin = page.GetEdgeMargin();
    const int32_t u = list.GetFontUnit();
    const int32_t room = page.GetHeight() - top - margin - 2 * u - 2;
    list.SetVisibleRows(std::max(room / std::max(list.GetRowHeight(), 1), 2));
    list.SetRect(CRect{margin, top, page.GetWidth() - margin, top + list.GetHeight()});
}

void Init()
{
    if (g_ListShowcase->previous.init)
        g_ListShowcase->previous.init();
    CJWindow* rowsPage = GetTabShowcasePage("Rows");
    CJWindow* treePage = GetTabShowcasePage("Tree");
    CJHeader* header = GetTabShowcaseHeader();
    if (!rowsPage || !treePage || !header)
        return;
    if (!g_ListShowcase->rows) {
        g_ListShowcase->rows = new CGeneratedRows;
        g_ListShowcase->tree = new CFolderTree;
    }

    auto* rows = &rowsPage->Add<CJListBox>(kAsIsNoGrow, g_ListShowcase->rows, nullptr, 200, 2);
    FitBelow(*rows, *rowsPage, header->GetRect().bottom);
    rows->SetSortMode(1);
    rows->SetHeader(header);
    rows->SortAllRows();
    g_ListShowcase->rowList = rows;

    auto* tree = &treePage->Add<CJListBox>(kAsIsNoGrow, g_ListShowcase->tree, nullptr, 200, 2);
    FitBelow(*tree, *treePage, treePage->GetEdgeMargin());
    tree->SetToolTips(true);
    tree->SetSortMode(1);
    tree->Refresh();
    // The data's resources open at the start.
    for (int32_t row = 0; row < tree->GetRowCount(); ++row)
        if (tree->GetRowText(row).CompareNoCase("Resources") == 0) {
            tree->Expand(row);
            tree->SelectRow(row, true);
        }
    g_ListShowcase->treeList = tree;
}

} // namespace

void InstallListShowcase()
{
    // Kept for the whole run, as the hooks are.
    if (!g_ListShowcase)
        g_ListShowcase = new SListShowcase;
    g_ListShowcase->previous = GetStandInHooks();
    SStandInHooks hooks = g_ListShowcase->previous;
    hooks.init = &Init;
    SetStandInHooks(hooks);
}

CJListBox* GetListShowcaseRows()
{
    return g_ListShowcase ? g_ListShowcase->rowList : nullptr;
}

CJListBox* GetListShowcaseTree()
{
    return g_ListShowcase ? g_ListShowcase->treeList : nullptr;
}
