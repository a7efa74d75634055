// List boxes driven through the screen window: keys and type-ahead on the
// hand-driven clock, the glide of the scroll offset, trees with filters,
// sorting, and what a draw leaves behind.
#include "ControlTestSupport.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "foundation/CVirtualArray.h"
#include "ui/CJHeader.h"
#include "ui/CJListBox.h"
#include "ui/CJScrollBar.h"

#include <set>
#include <string>
#include <vector>

namespace {

// Names in a vector; items in refused cannot be selected.
class CNameArray : public CVirtualArray {
public:
    explicit CNameArray(std::vector<std::string> names)
        : m_Names(std::move(names))
    {
    }
    const char* GetItemName(int32_t i) override { return m_Names[size_t(i)].c_str(); }
    CJString GetItemNameString(int32_t i) override { return CJString(GetItemName(i)); }
    int32_t Find(const CJString& name, int32_t hint) override { return Find(name.GetString(), hint); }
    int32_t Find(const char* name, int32_t) override
    {
        for (size_t i = 0; i < m_Names.size(); ++i)
            if (m_Names[i] == name)
                return int32_t(i);
        return -1;
    }
    int32_t GetCount() override { return int32_t(m_Names.size()); }
    bool CanSelectItem(int32_t i) override { return !m_Refused.count(i); }

    std::vector<std::string> m_Names;
    std::set<int32_t> m_Refused;
};

// Node 0 is the root; children listed in order.
class CTestTree : public CVirtualTree {
public:
    CTestTree() { m_Nodes.push_back({"", -1, {}}); }
    int32_t Add(int32_t parent, const std::string& name)
    {
        m_Nodes.push_back({name, parent, {}});
        const int32_t id = int32_t(m_Nodes.size()) - 1;
        m_Nodes[size_t(parent)].children.push_back(id);
        return id;
    }
    int32_t GetRoot() override { return 0; }
    int32_t GetParent(int32_t id) override { return m_Nodes[size_t(id)].parent; }
    CJString GetName(int32_t id) override { return CJString(m_Nodes[size_t(id)].name.c_str()); }
    CJString GetDisplayName(int32_t id) override { return GetName(id); }
    CJString GetPath(int32_t id) override { return GetName(id); }
    int32_t GetChildCount(int32_t id) override { return int32_t(m_Nodes[size_t(id)].children.size()); }
    int32_t GetChild(int32_t id, int32_t i) override { return m_Nodes[size_t(id)].children[size_t(i)]; }
    CVirtualArray* GetSourceArray() override { return nullptr; }
    bool IsItemLoaded(int32_t) override { return true; }
    bool GetItemFlag(int32_t) override { return false; }

    struct SNode {
        std::string name;
        int32_t parent;
        std::vector<int32_t> children;
    };
    std::vector<SNode> m_Nodes;
};

// Shows items whose name does not contain the word.
class CHideFilter : public CListBoxFilter {
public:
    explicit CHideFilter(std::string word)
        : m_Word(std::move(word))
    {
    }
    bool IsItemShown(CVirtualTree* tree, int32_t item) override
    {
        return std::string(tree->GetName(item).GetString()).find(m_Word) == std::string::npos;
    }
    std::string m_Word;
};

// Rows of exactly 20 pixels, and a log of the connector lines drawn.
class CTwentyPixelList : public CJListBox {
public:
    using CJListBox::CJListBox;
    int32_t GetRowHeight() const override { return 20; }
    void DrawLastChildLine(CFrameInterface&, int32_t x, int32_t, int32_t level, bool) override
    {
        m_Lines.push_back("last " + std::to_string(level) + " at " + std::to_string(x));
    }
    void DrawMiddleChildLine(CFrameInterface&, int32_t x, int32_t, int32_t level, bool) override
    {
        m_Lines.push_back("middle " + std::to_string(level) + " at " + std::to_string(x));
    }
    void DrawVerticalLine(CFrameInterface&, int32_t x, int32_t, int32_t level, bool) override
    {
        m_Lines.push_back("vertical " + std::to_string(level) + " at " + std::to_string(x));
    }
    std::vector<std::string> m_Lines;
};

std::vector<std::string> Texts(const CJListBox& list)
{
    std::vector<std::string> texts;
    for (int32_t row = 0; row < list.GetRowCount(); ++row)
        texts.push_back(list.GetRowText(row).GetString());
    return texts;
}

using Names = std::vector<std::string>;

class ListBoxTest : public ControlTest {
protected:
    CJListBox* PutList(CVirtualArray* source, int32_t rows = 5)
    {
        CJListBox* list = Put(new CJListBox(m_Parent, source, nullptr, 40, rows), 10, 10);
        list->SetFocus(true);
        Take();
        return list;
    }
    void Key(uint32_t key) { Type(key); }
    void CtrlKey(uint32_t key)
    {
        CKeyboardState::SGetInstance().OnKeyDown(kScanControlLeft);
        Type(key);
        CKeyboardState::SGetInstance().OnKeyUp(kScanControlLeft);
    }
};

TEST_F(ListBoxTest, TypeAheadFollowsTheClockAndDropsMisses)
{
    CNameArray names({"apple", "Abacus", "about", "banana", "cabin"});
    CJListBox* list = PutList(&names);
    EXPECT_EQ(list->GetSelectedRow(), -1);
    EXPECT_EQ(list->GetSelectedText().GetLength(), 0);
    EXPECT_EQ(list->GetRowText(-1).GetLength(), 0);

    Key('a');
    EXPECT_EQ(list->GetSelectedRow(), 0);
    Advance(500);
    Key('b');
    EXPECT_EQ(list->GetSelectedRow(), 1) << "\"ab\" without case";
    EXPECT_EQ(Changes(), 2);

    Key('z');
    EXPECT_EQ(list->GetSelectedRow(), 1) << "a miss keeps the match";
    EXPECT_STREQ(list->GetTypedText().GetString(), "ab") << "and drops the letter";
    EXPECT_EQ(m_Ear.Take(), (Names{"Player Error.wav"}));

    CtrlKey(kKeyTab);
    EXPECT_EQ(list->GetSelectedRow(), 2) << "Ctrl+Tab: the next row starting \"ab\"";

    Advance(2001);
    Key('b');
    EXPECT_EQ(list->GetSelectedRow(), 3) << "after two seconds \"b\" alone";
    Advance(2001);
    Key('q');
    EXPECT_EQ(list->GetSelectedRow(), 3);
    EXPECT_TRUE(m_Ear.Take().empty()) << "a lone letter that matches nothing is quiet";

    Advance(2001);
    Key('b');
    Key('i');
    Key('n');
    EXPECT_EQ(list->GetSelectedRow(), 4) << "a row holding the text when none starts with it";
    EXPECT_EQ(list->GetTypedMatchIndex(), 2);
    Key(8);
    EXPECT_STREQ(list->GetTypedText().GetString(), "bi");

    Key(10);
    EXPECT_TRUE(list->GetTypedText().IsEmpty()) << "a key move clears the typed text";

    CNameArray alphabet({"AbCdEfGhIjKlMnOpQrStUvWxYz"});
    CJListBox* letters = PutList(&alphabet);
    const std::string typed = "aBcDeFgHiJkLmNoPqRsTuVwXyZ";
    for (const char letter : typed)
        Key(uint32_t(letter));
    EXPECT_EQ(letters->GetTypedText().GetString(), typed) << "every letter matches its other case";
}

TEST_F(ListBoxTest, KeysSkipRefusedRowsAndKeepTheSelectionOnItsItem)
{
    CNameArray names({"zero", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine"});
    names.m_Refused = {0, 1, 5};
    CJListBox* list = PutList(&names, 3);
    Key(5);
    EXPECT_EQ(list->GetSelectedRow(), 2) << "Home: the first row the source accepts";
    Key(6);
    EXPECT_EQ(list->GetSelectedRow(), 2) << "nothing selectable above";
    Key(10);
    Key(10);
    Key(10);
    EXPECT_EQ(list->GetSelectedRow(), 6) << "Down skips row 5";
    Key(14);
    EXPECT_EQ(list->GetSelectedRow(), 9);
    Key(10);
    EXPECT_EQ(list->GetSelectedRow(), 9) << "Down on the last row stays";
    Key(7);
    EXPECT_EQ(list->GetSelectedRow(), 6) << "Page Up: visible rows above";
    list->SelectRow(0, false);
    EXPECT_EQ(list->GetSelectedRow(), 6) << "a refused row leaves the selection";
    list->SelectRow(42, false);
    EXPECT_EQ(list->GetSelectedRow(), 6);

    list->SelectRow(3, true);
    std::swap(names.m_Names[3], names.m_Names[8]);
    list->Refresh();
    EXPECT_EQ(list->GetSelectedRow(), 3) << "the item, not the text, is kept";
    names.m_Names.resize(3);
    list->Refresh();
    EXPECT_EQ(list->GetSelectedRow(), -1) << "an item gone takes the selection with it";
    Key(6);
    EXPECT_EQ(list->GetSelectedRow(), 2) << "Up without a selection: the first";
}

TEST_F(ListBoxTest, TheShownOffsetGlidesTowardTheTarget)
{
    std::vector<std::string> many;
    for (int i = 0; i < 20; ++i)
        many.push_back("row " + std::to_string(i));
    CNameArray names(many);
    auto* list = Put(new CTwentyPixelList(m_Parent, &names, nullptr, 40, 5), 10, 10);
    list->SetVisibleRows(5); // sized again with the subclass's rows
    ASSERT_NE(list->GetScrollBar(), nullptr);
    EXPECT_EQ(list->GetScrollBar()->GetMaximum(), 300.0f) << "(20 - 5) rows of 20 pixels";
    EXPECT_EQ(list->GetScrollBar()->GetRect().right, list->GetWidth()) << "inside the right edge";

    list->OnMouseWheel(-5, CPoint{20, 20});
    EXPECT_EQ(list->GetTargetScrollOffset(), 100);
    std::vector<int32_t> shown;
    for (int i = 0; i < 7; ++i) {
        Draw();
        shown.push_back(list->GetScrollOffset());
    }
    EXPECT_EQ(shown, (std::vector<int32_t>{80, 84, 88, 92, 96, 100, 100}));
    EXPECT_EQ(list->GetScrollBar()->GetValue(), 100.0f);

    list->ScrollTo(3);
    list->OnMouseWheel(1, CPoint{20, 20});
    Draw();
    EXPECT_EQ(list->GetScrollOffset(), 0) << "3 pixels in one draw";

    list->GetScrollBar()->SetValue(60.0f, false);
    EXPECT_EQ(list->GetScrollOffset(), 60) << "a bar drag moves the rows at once";
    EXPECT_EQ(list->GetTargetScrollOffset(), 60);
    list->OnMouseWheel(-100, CPoint{20, 20});
    EXPECT_EQ(list->GetTargetScrollOffset(), 300) << "kept in range";

    auto* closed = Put(new CTwentyPixelList(m_Parent, &names, nullptr, 40, 1), 150, 10);
    closed->SetVisibleRows(1);
    EXPECT_EQ(closed->GetScrollBar(), nullptr);
    closed->SelectRow(7, true);
    EXPECT_EQ(closed->GetScrollOffset(), 140) << "one visible row jumps";
    closed->OnMouseWheel(-1, CPoint{0, 0});
    EXPECT_EQ(closed->GetSelectedRow(), 8) << "the wheel acts as Down";
}

TEST_F(ListBoxTest, ClicksSelectTheRowUnderThePointer)
{
    CNameArray names({"one", "two", "three", "four", "five", "six"});
    CJListBox* list = PutList(&names, 3);
    const int32_t rowHeight = list->GetRowHeight();
    const CRect screen = list->GetScreenRect();
    ClickAt(screen.left + 5, screen.top + Unit() + rowHeight + 2);
    EXPECT_EQ(list->GetSelectedRow(), 1);
    EXPECT_EQ(Changes(), 1);
    list->ScrollTo(rowHeight * 2);
    ClickAt(screen.left + 5, screen.top + Unit() + 2);
    EXPECT_EQ(list->GetSelectedRow(), 2) << "hit at the shown offset";
}

TEST_F(ListBoxTest, SortingWithoutAHeaderComparesWholeTextsWithoutCase)
{
    CNameArray names({"pear", "  Apple", "banana", "Cherry"});
    CJListBox* list = PutList(&names);
    list->SelectRow(2, true);
    list->SetSortMode(1);
    list->SortAllRows();
    EXPECT_EQ(Texts(*list), (Names{"  Apple", "banana", "Cherry", "pear"}));
    EXPECT_EQ(list->GetSelectedRow(), 1) << "the selection stays on banana";

    list->SetTextCompare([](int32_t, const CJString& a, const CJString& b, CVirtualArray*, int32_t, int32_t) {
        return b.Compare(a);
    });
    list->SortAllRows();
    EXPECT_EQ(Texts(*list), (Names{"pear", "banana", "Cherry", "  Apple"})) << "trimmed texts, reversed";
    list->SetItemCompare([](int32_t, CVirtualArray*, int32_t a, int32_t b) { return a - b; });
    list->SortAllRows();
    EXPECT_EQ(Texts(*list), (Names{"pear", "  Apple", "banana", "Cherry"}));
}

// root: A (a1, a2 (deep1, deep2), a3), B (b1), C
class ListBoxTreeTest : public ListBoxTest {
protected:
    void SetUp() override
    {
        ListBoxTest::SetUp();
        a = m_Tree.Add(0, "A");
        a1 = m_Tree.Add(a, "a1");
        a2 = m_Tree.Add(a, "a2");
        deep1 = m_Tree.Add(a2, "deep1");
        deep2 = m_Tree.Add(a2, "deep2");
        a3 = m_Tree.Add(a, "a3 hidden");
        b = m_Tree.Add(0, "B");
        b1 = m_Tree.Add(b, "b1");
        c = m_Tree.Add(0, "C");
    }
    // Pads the tree to 15 items or more, so it does not open whole.
    void MakeBig()
    {
        for (int i = 0; i < 8; ++i)
            m_Tree.Add(c, "c" + std::to_string(i));
    }
    CJListBox* PutTree(CListBoxFilter* filter = nullptr, int32_t rows = 8)
    {
        CJListBox* list = Put(new CJListBox(m_Parent, &m_Tree, filter, 40, rows), 10, 10);
        list->SetFocus(true);
        Take();
        return list;
    }
    CTestTree m_Tree;
    int32_t a = 0, a1 = 0, a2 = 0, deep1 = 0, deep2 = 0, a3 = 0, b = 0, b1 = 0, c = 0;
};

TEST_F(ListBoxTreeTest, SmallTreesOpenWholeAndLargeOnesStartAtTheTop)
{
    CJListBox* small = PutTree();
    EXPECT_TRUE(small->IsTreeMode());
    EXPECT_EQ(Texts(*small), (Names{"A", "a1", "a2", "deep1", "deep2", "a3 hidden", "B", "b1", "C"}));
    EXPECT_EQ(small->GetRow(3).level, 2u);
    small->Destroy();

    MakeBig();
    CJListBox* big = PutTree();
    EXPECT_EQ(Texts(*big), (Names{"A", "B", "C"}));
    EXPECT_EQ(big->GetRow(2).lastChildMask, 1u) << "C is the last top-level row";
}

TEST_F(ListBoxTreeTest, ExpandingFiltersOpensLoneChildrenAndCollapsingTakesGrandchildren)
{
    MakeBig();
    CHideFilter filter("hidden");
    CJListBox* list = PutTree(&filter);
    list->Expand(0);
    EXPECT_EQ(Texts(*list), (Names{"A", "a1", "a2", "B", "C"})) << "a3 filtered out";
    EXPECT_EQ(list->GetRow(2).lastChildMask, 2u) << "a2 is the last shown child";
    list->Expand(3);
    EXPECT_EQ(Texts(*list), (Names{"A", "a1", "a2", "B", "b1", "C"})) << "b1 alone";

    list->Expand(2);
    list->SelectRow(4, true);
    EXPECT_EQ(list->GetSelectedText().GetString(), std::string("deep2"));
    list->Collapse(0);
    EXPECT_EQ(Texts(*list), (Names{"A", "B", "b1", "C"})) << "deep rows go with their grandparent";
    EXPECT_EQ(list->GetSelectedRow(), 0) << "the selection falls back to the folder";

    Key('*');
    const Names all = Texts(*list);
    ASSERT_EQ(all.size(), 16u);
    EXPECT_EQ(Names(all.begin(), all.begin() + 6), (Names{"A", "a1", "a2", "deep1", "deep2", "B"}));
    Key('/');
    EXPECT_EQ(Texts(*list), (Names{"A", "B", "C"}));
}

TEST_F(ListBoxTreeTest, FoldersOpenByDoubleClickKeysAndTypedNames)
{
    MakeBig();
    CJListBox* list = PutTree();
    const CRect screen = list->GetScreenRect();
    const CPoint onB{screen.left + 30, screen.top + Unit() + list->GetRowHeight() + 2};
    ClickAt(onB.x, onB.y);
    EXPECT_EQ(list->GetSelectedItem(), b);
    Take();
    EXPECT_TRUE(list->OnMouseDoubleClick(0, onB, 0));
    EXPECT_EQ(Texts(*list), (Names{"A", "B", "b1", "C"}));
    int activations = 0;
    for (const std::string& line : Take())
        activations += line.find("notify 0") != std::string::npos;
    EXPECT_EQ(activations, 1);

    Key(10);
    EXPECT_EQ(list->GetSelectedItem(), b1);
    Key(11);
    EXPECT_EQ(list->GetSelectedItem(), b) << "Left on a child selects its parent";
    Key(11);
    EXPECT_EQ(Texts(*list), (Names{"A", "B", "C"})) << "Left on an open folder closes it";

    Advance(3000);
    Key('d');
    Key('e');
    Key('e');
    Key('p');
    Key('2');
    EXPECT_EQ(list->GetSelectedItem(), deep2) << "a hidden item: the tree opens down to it";
    EXPECT_EQ(Texts(*list), (Names{"A", "a1", "a2", "deep1", "deep2", "a3 hidden", "B", "C"}));
}

TEST_F(ListBoxTreeTest, ConnectorLinesFollowTheLastChildMask)
{
    MakeBig();
    auto* list = Put(new CTwentyPixelList(m_Parent, &m_Tree, nullptr, 40, 12), 10, 10);
    list->SetVisibleRows(12);
    list->Expand(0);
    list->Expand(2);
    ASSERT_EQ(list->GetRowText(4).GetString(), std::string("deep2"));
    list->m_Lines.clear();
    Draw();
    const int32_t u = Unit(), indent = 4 * u;
    // deep2: level 2, last child of a2, which is not the last child of A.
    const std::string vertical = "vertical 1 at " + std::to_string(u + 1);
    const std::string corner = "last 2 at " + std::to_string(u + 1 + indent);
    // a1 and a2 draw one line each, deep1 two, then deep2's.
    ASSERT_GE(list->m_Lines.size(), 6u);
    EXPECT_EQ(list->m_Lines[2], vertical);
    EXPECT_EQ(list->m_Lines[3], "middle 2 at " + std::to_string(u + 1 + indent));
    EXPECT_EQ(list->m_Lines[4], vertical);
    EXPECT_EQ(list->m_Lines[5], corner);
}

TEST_F(ListBoxTest, DrawingKeepsTheBlitsAndEndsTheBarBeforeTheScrollBar)
{
    std::vector<std::string> many;
    for (int i = 0; i < 12; ++i)
        many.push_back("row " + std::to_string(i));
    CNameArray names(many);
    CJListBox* list = PutList(&names, 4);
    list->SetColor4RGB(250, 0, 0);
    ASSERT_NE(list->GetScrollBar(), nullptr);
    list->SelectRow(0, true);
    Draw();
    const int32_t u = Unit();
    const CRect screen = list->GetScreenRect();
    const int32_t barLeft = screen.left + list->GetScrollBar()->GetRect().left;
    const int32_t y = screen.top + u + 2;
    CColor pixel;
    // The fill's right edge is u + 2 left of the scroll bar.
    m_Canvas->GetPixel(barLeft - u - 3, y, pixel);
    EXPECT_EQ(pixel.GetRed(), 250);
    m_Canvas->GetPixel(barLeft - u - 2, y, pixel);
    EXPECT_NE(pixel.GetRed(), 250);

    CBlitType& mask = GetTransparentMaskBlitType();
    CBlitType& black = GetBlackBiasBlitType();
    CScopedBlitOpacity outerMask(mask, 0.7f), outerBlack(black, 0.8f);
    list->Enable(false);
    Draw();
    EXPECT_FLOAT_EQ(mask.GetOpacity(), 0.7f) << "a greyed list leaves the outer dimming";
    EXPECT_FLOAT_EQ(black.GetOpacity(), 0.8f);
}

TEST_F(ListBoxTest, OneRowListsDrawTheirBarOnlyWhenTheyHoldOneRow)
{
    CNameArray one({"only"});
    CNameArray three({"a", "b", "c"});
    CJListBox* single = PutList(&one, 1);
    single->SetColor4RGB(250, 0, 0);
    single->SelectRow(0, true);
    CJListBox* closed = Put(new CJListBox(m_Parent, &three, nullptr, 40, 1), 10, 100);
    closed->SetColor4RGB(250, 0, 0);
    closed->SelectRow(0, true);
    Draw();
    const int32_t u = Unit();
    CColor pixel;
    m_Canvas->GetPixel(single->GetScreenRect().left + u + 2, single->GetScreenRect().top + u + 2, pixel);
    EXPECT_EQ(pixel.GetRed(), 250);
    m_Canvas->GetPixel(closed->GetScreenRect().left + u + 2, closed->GetScreenRect().top + u + 2, pixel);
    EXPECT_NE(pixel.GetRed(), 250);

    // Sunken and raised frames light opposite edges.
    CColor sunkenTop, raisedTop;
    m_Canvas->GetPixel(single->GetScreenRect().left + 5, single->GetScreenRect().top, sunkenTop);
    single->SetDrawBevel(true);
    CColor black(0, 0, 0, 255);
    m_Canvas->Fill(black);
    single->DrawList(*m_Canvas, true);
    m_Canvas->GetPixel(5, 0, raisedTop);
    EXPECT_GT(raisedTop.GetRed(), sunkenTop.GetRed());
}

} // namespace

namespace {

TEST_F(ListBoxTest, HeaderColumnsSortNumericallyOrAsTextBothWays)
{
    CNameArray names({"pear\t10", "fig\t9", "apple\t-5", "kiwi\t2.5", "lime\t2", "date\t7"});
    auto* header = Put(new CJHeader(m_Parent), 10, 0);
    header->SetSize(200, header->GetHeight());
    header->AddColumn(CJString("Name"), 100, nullptr, 0, 1, 0, 0);
    header->AddColumn(CJString("Count"), 100, nullptr, 2, 0, 0, 0);
    CJListBox* list = PutList(&names, 6);
    list->SetSortMode(1);
    list->SetHeader(header);

    header->SetSortColumn(1);
    list->SortAllRows();
    Names sorted = Texts(*list);
    EXPECT_EQ(std::set<std::string>(sorted.begin(), sorted.begin() + 2), (std::set<std::string>{"kiwi\t2.5", "lime\t2"}))
        << "2.5 counts as 2 (tie order is free)";
    EXPECT_EQ(Names(sorted.begin() + 2, sorted.end()), (Names{"apple\t-5", "date\t7", "fig\t9", "pear\t10"}))
        << "9 before 10; the minus sign is not a number character";

    header->SetSortDirection(1, 1);
    list->SortAllRows();
    EXPECT_EQ(Texts(*list).front(), "pear\t10") << "descending";

    // A click on the first title sorts by name through the header's command.
    const CRect title = header->GetScreenRect();
    ClickAt(title.left + 20, title.top + 2);
    EXPECT_EQ(header->GetSortColumn(), 0);
    EXPECT_EQ(Texts(*list), (Names{"apple\t-5", "date\t7", "fig\t9", "kiwi\t2.5", "lime\t2", "pear\t10"}));
    ClickAt(title.left + 20, title.top + 2);
    EXPECT_EQ(Texts(*list).front(), "pear\t10") << "a second click flips";
}

// A field longer than its column is cut at the column's edge: the next
// column shows only its own field (here none), as the header's titles are
// cut at theirs.
TEST_F(ListBoxTest, ALongFieldIsCutAtItsColumnsEdge)
{
    CNameArray names({std::string(40, 'W') + "\t", "\t"});
    auto* header = Put(new CJHeader(m_Parent), 10, 0);
    header->SetSize(200, header->GetHeight());
    header->AddColumn(CJString("Name"), 40, nullptr, 0, 1, 0, 0);
    header->AddColumn(CJString("Notes"), 160, nullptr, 0, 1, 0, 0);
    CJListBox* list = PutList(&names, 2);
    list->SetHeader(header);
    Draw();
    const CRect screen = list->GetScreenRect();
    const int32_t height = list->GetRowHeight();
    int32_t inked = 0, differing = 0;
    for (int32_t dy = 0; dy < height; ++dy)
        for (int32_t x = screen.left + 44; x < screen.left + 160; ++x) {
            CColor full, empty, spill;
            const int32_t y = screen.top + Unit() + dy;
            m_Canvas->GetPixel(x, y, full);
            m_Canvas->GetPixel(x, y + height, empty);
            differing += full.GetRed() != empty.GetRed() || full.GetGreen() != empty.GetGreen();
            // Column 0 itself does show the text.
            m_Canvas->GetPixel(screen.left + 6 + (x - screen.left - 44) % 30, y, spill);
            inked += spill.GetRed() != empty.GetRed() || spill.GetGreen() != empty.GetGreen();
        }
    EXPECT_GT(inked, 0) << "the field is drawn in its own column";
    EXPECT_EQ(differing, 0) << "nothing of it in the next";
}

} // namespace
