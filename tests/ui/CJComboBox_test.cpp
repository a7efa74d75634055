// Combo boxes driven by the pointer and keys on a screen of their own: the
// pop-up opens where it fits, centred on the old item, follows the keys,
// chooses or puts the old item back, and never outlives its combo box.
#include "ControlTestSupport.h"

#include "foundation/CVirtualArray.h"
#include "ui/CJButton.h"
#include "ui/CJComboBox.h"
#include "ui/CJScrollBar.h"
#include "ui/CJSlider.h"

#include <string>
#include <vector>

namespace {

class CWordList : public CSimpleVirtualArray {
public:
    explicit CWordList(int32_t count)
    {
        for (int32_t i = 0; i < count; ++i)
            m_Words.push_back("Item " + std::to_string(100 + i));
    }
    const char* GetItemName(int32_t i) override { return m_Words[size_t(i)].c_str(); }
    CJString GetItemNameString(int32_t i) override { return CJString(m_Words[size_t(i)].c_str()); }
    int32_t GetCount() override { return int32_t(m_Words.size()); }

private:
    std::vector<std::string> m_Words;
};

// Root 0 holds the folder 1 (apples 3 and pears 4) and the bread 2.
class CSmallTree : public CVirtualTree {
public:
    int32_t GetRoot() override { return 0; }
    int32_t GetParent(int32_t id) override { return id == 3 || id == 4 ? 1 : id == 0 ? -1 : 0; }
    CJString GetName(int32_t id) override { return CJString(kNames[id]); }
    CJString GetDisplayName(int32_t id) override { return GetName(id); }
    CJString GetPath(int32_t id) override { return GetName(id); }
    int32_t GetChildCount(int32_t id) override { return id == 0 || id == 1 ? 2 : 0; }
    int32_t GetChild(int32_t id, int32_t i) override { return id == 0 ? 1 + i : id == 1 ? 3 + i : -1; }
    CVirtualArray* GetSourceArray() override { return nullptr; }
    bool IsItemLoaded(int32_t) override { return true; }
    bool GetItemFlag(int32_t) override { return false; }

private:
    static constexpr const char* kNames[] = {"Root", "Fruit", "Bread", "Apples", "Pears"};
};

// A screen tall enough for a pop-up of twenty rows.
class ComboTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        if (IsSkipped())
            return;
        m_Screen.reset();
        m_Canvas = Canvas(640, 720);
        m_Screen = std::make_unique<CScreenWindow>(m_Canvas.get(), m_Font.get());
        m_Parent = Add(*m_Screen, "parent", CRect{0, 0, 640, 720});
        m_Screen->BringChildToFront(m_Parent);
        Frame();
        Take();
    }

    CJComboBox* Combo(CVirtualArray& words, int32_t x, int32_t y, int32_t selected)
    {
        auto* combo = Put(new CJComboBox(m_Parent, &words, 40), x, y);
        combo->SelectItem(selected, true);
        Frame();
        Take();
        return combo;
    }
    void ClickButton(CJComboBox& combo)
    {
        const CRect r = combo.GetButton()->GetScreenRect();
        ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    // The parent's notices of the code since the last call.
    int Notices(int code)
    {
        int count = 0;
        for (const std::string& line : Take())
            count += line.find("notify " + std::to_string(code) + " ") != std::string::npos ? 1 : 0;
        return count;
    }
};

TEST_F(ComboTest, TheButtonStandsAlongTheRightEdgeOverTheListsLastColumn)
{
    CWordList words(5);
    CJComboBox* combo = Combo(words, 10, 10, 0);
    CJListBox* list = combo->GetListBox();
    // Built around a list as wide as its widest row with the button over
    // its last column; placed, the list reaches one pixel under the button.
    const int32_t listWidth = list->GetWidestText() + 2 * Unit() + 3;
    EXPECT_EQ(combo->GetWidth(), listWidth - Unit() + combo->GetButton()->GetWidth());
    EXPECT_EQ(combo->GetButton()->GetRect().right, combo->GetWidth());
    EXPECT_EQ(list->GetRect().right, combo->GetButton()->GetRect().left + 1);
    combo->GetButton()->SetSize(15, combo->GetButton()->GetHeight());
    combo->SetRect(CRect{10, 10, 110, 10 + combo->GetHeight()});
    EXPECT_EQ(combo->GetButton()->GetRect(), (CRect{85, 0, 100, combo->GetHeight()}));
    EXPECT_EQ(combo->GetListBox()->GetWidth(), 86);
    EXPECT_EQ(combo->GetListBox()->GetHeight(), combo->GetListBox()->GetRowHeight() + 2 * (Unit() + 1));
    EXPECT_TRUE(combo->GetListBox()->HasFocus()) << "the list, not the button, takes the focus";
    EXPECT_EQ(std::string(combo->GetTitleText()), std::string(combo->GetListBox()->GetTitleText()));
}

TEST_F(ComboTest, APopUpShowsAtMostTwentyRowsCentredOnTheOldItemWhereTheScreenHasRoom)
{
    CWordList many(100), five(5);
    CJComboBox* longCombo = Combo(many, 10, 10, 40);
    ClickButton(*longCombo);
    CJPopUpListBox* popUp = longCombo->GetPopUp();
    ASSERT_TRUE(popUp);
    EXPECT_EQ(m_Screen->GetFirstChild(), popUp);
    EXPECT_TRUE(popUp->HasFocus());
    EXPECT_EQ(popUp->GetScreenRect().top, longCombo->GetScreenRect().bottom) << "below the combo box";
    EXPECT_EQ(popUp->GetScreenRect().left, longCombo->GetScreenRect().left);
    EXPECT_EQ(popUp->GetVisibleRows(), 20);
    ASSERT_TRUE(popUp->GetScrollBar());
    EXPECT_GE(popUp->GetScrollBar()->GetRect().left, Unit() + 1 + popUp->GetWidestText())
        << "the bar leaves the widest row uncovered";
    EXPECT_EQ(popUp->GetSelectedItem(), 40);
    EXPECT_EQ(popUp->GetScrollOffset(), 30 * popUp->GetRowHeight()) << "rows 30 to 49 at once";
    EXPECT_EQ(popUp->GetTargetScrollOffset(), popUp->GetScrollOffset());
    EXPECT_EQ(Notices(1) + Notices(0), 0) << "opening tells nobody";
    Type(kKeyEscape);
    EXPECT_FALSE(longCombo->IsOpen());

    CJComboBox* shortCombo = Combo(five, 300, 720 - 40, 2);
    Type(20); // F4
    ASSERT_TRUE(shortCombo->GetPopUp());
    EXPECT_EQ(shortCombo->GetPopUp()->GetVisibleRows(), 5);
    EXPECT_EQ(shortCombo->GetPopUp()->GetScreenRect().bottom, shortCombo->GetScreenRect().top)
        << "above the combo box near the bottom";
    EXPECT_EQ(shortCombo->GetPopUp()->GetScrollOffset(), 0);
    Type(kKeyEscape);

    CWordList none(0);
    CJComboBox* emptyCombo = Combo(none, 10, 300, -1);
    Type(20);
    ASSERT_TRUE(emptyCombo->IsOpen());
    Type(kKeyEnter);
    Type(EngineKey::Down);
    EXPECT_TRUE(emptyCombo->IsOpen()) << "nothing to choose";
    Type(kKeyEscape);
    EXPECT_FALSE(emptyCombo->IsOpen());
    EXPECT_EQ(emptyCombo->GetSelectedItem(), -1);
}

TEST_F(ComboTest, TheListFollowsTheHighlightAndEscapePutsTheOldItemBackWithoutAChoice)
{
    CWordList words(10);
    CJComboBox* combo = Combo(words, 10, 10, 3);
    Type(EngineKey::Down); // opens and moves at once
    ASSERT_TRUE(combo->IsOpen());
    EXPECT_EQ(combo->GetPopUp()->GetSelectedItem(), 4);
    Type(EngineKey::Down);
    EXPECT_EQ(combo->GetSelectedItem(), 5) << "the combo box's list follows the highlight";
    EXPECT_EQ(std::string(combo->GetSelectedText().GetString()), "Item 105");
    EXPECT_EQ(Changes(), 2) << "one change notice per move";

    Type(kKeyEscape);
    EXPECT_FALSE(combo->IsOpen());
    EXPECT_EQ(m_Screen->GetFirstChild(), m_Parent) << "the pop-up is gone";
    EXPECT_EQ(combo->GetSelectedItem(), 3);
    const CEventLog log = Take();
    for (const std::string& line : log)
        EXPECT_EQ(line.find("notify 0"), std::string::npos) << "no choice: " << line;
    EXPECT_TRUE(combo->GetListBox()->HasFocus()) << "the combo box is back in front";

    Type(EngineKey::Up);
    Type(EngineKey::Up);
    Type(kKeyEnter);
    EXPECT_FALSE(combo->IsOpen());
    EXPECT_EQ(combo->GetSelectedItem(), 1);
    EXPECT_EQ(Notices(0), 1) << "Enter chooses";
}

TEST_F(ComboTest, APressOutsideCancelsAndAReleaseOnARowChoosesIt)
{
    CWordList words(8);
    CJComboBox* combo = Combo(words, 10, 10, 0);
    CProbeWindow* other = Add(*m_Parent, "other", CRect{400, 400, 500, 500});
    ClickButton(*combo);
    CJPopUpListBox* popUp = combo->GetPopUp();
    ASSERT_TRUE(popUp);
    const int32_t rowHeight = popUp->GetRowHeight();
    const CRect r = popUp->GetScreenRect();
    // Press on row 0, drag to row 2: the highlight follows, nothing chosen yet.
    MoveTo(r.left + 8, r.top + Unit() + 1 + rowHeight / 2);
    Press();
    MoveTo(r.left + 8, r.top + Unit() + 1 + 2 * rowHeight + rowHeight / 2);
    EXPECT_EQ(combo->GetSelectedItem(), 2);
    Release();
    EXPECT_FALSE(combo->IsOpen());
    EXPECT_EQ(Notices(0), 1) << "the release chose row 2";
    EXPECT_EQ(combo->GetSelectedItem(), 2);

    ClickButton(*combo);
    ASSERT_TRUE(combo->IsOpen());
    Type(EngineKey::Down);
    Take();
    ClickAt(450, 450);
    EXPECT_FALSE(combo->IsOpen());
    EXPECT_EQ(combo->GetSelectedItem(), 2) << "the old item is back";
    for (const std::string& line : Take())
        EXPECT_EQ(line.find("other: "), std::string::npos) << "the press that closes is swallowed: " << line;
    (void)other;
}

TEST_F(ComboTest, FocusLossClosesAtTheNextUpdateAndAnOpenPopUpDiesWithItsComboBox)
{
    CWordList words(8);
    CJComboBox* combo = Combo(words, 10, 10, 0);
    Type(20);
    ASSERT_TRUE(combo->IsOpen());
    m_Screen->BringChildToFront(m_Parent);
    EXPECT_FALSE(combo->GetPopUp()->HasFocus());
    Frame();
    EXPECT_FALSE(combo->IsOpen());
    EXPECT_EQ(m_Screen->GetFirstChild(), m_Parent);
    EXPECT_EQ(m_Parent->GetNextSibling(), nullptr) << "deleted, not hidden";

    Type(20);
    ASSERT_TRUE(combo->IsOpen());
    combo->Destroy();
    EXPECT_EQ(m_Screen->GetFirstChild(), m_Parent);
    EXPECT_EQ(m_Parent->GetNextSibling(), nullptr);
    Frame();
}

TEST_F(ComboTest, APopUpMenuOpensOnAPressOnItsRowAndAReleaseOnAFolderOpensOrClosesIt)
{
    CSmallTree tree;
    auto* menu = Put(new CJPopUpMenu(m_Parent, &tree, 40), 10, 10);
    menu->SelectItem(4, true);
    Frame();
    Take();
    const CRect r = menu->GetListBox()->GetScreenRect();
    MoveTo(r.left + 4, r.top + 4);
    Press();
    CJPopUpListBox* popUp = menu->GetPopUp();
    ASSERT_TRUE(popUp);
    Release();
    EXPECT_TRUE(menu->IsOpen()) << "the release of the opening press chooses nothing";
    EXPECT_EQ(popUp->GetRowCount(), 4) << "a small tree opens whole";
    EXPECT_EQ(popUp->GetVisibleRows(), 4) << "no room kept for folders of a small tree";

    const int32_t folderRow = popUp->FindRowOfItem(1);
    ASSERT_GE(folderRow, 0);
    const int32_t y = popUp->GetScreenRect().top + Unit() + 1 + folderRow * popUp->GetRowHeight() + 2;
    ClickAt(popUp->GetScreenRect().left + 20, y);
    ASSERT_TRUE(menu->IsOpen()) << "a folder is no choice";
    EXPECT_EQ(popUp->GetRowCount(), 2) << "the folder closed";
    EXPECT_EQ(Notices(0), 0);
    Type(kKeyEnter);
    EXPECT_FALSE(menu->IsOpen());
}

int32_t Brightness(const CFrame& frame, int32_t x, int32_t y)
{
    const uint32_t rgb = Rgb(frame, x, y);
    return int32_t((rgb >> 16) & 255) + int32_t((rgb >> 8) & 255) + int32_t(rgb & 255);
}

TEST_F(ComboTest, ThePopUpIsRaisedWhereTheComboBoxsListIsSunken)
{
    CWordList words(5);
    CJComboBox* combo = Combo(words, 10, 10, 1);
    Draw();
    const CRect list = combo->GetListBox()->GetScreenRect();
    const int32_t middle = (list.top + list.bottom) / 2;
    EXPECT_LT(Brightness(*m_Canvas, list.left, middle), Brightness(*m_Canvas, list.left + 1, list.bottom - 1))
        << "sunken: the left edge is the shadow";

    Type(20);
    ASSERT_TRUE(combo->IsOpen());
    Draw();
    const CRect popUp = combo->GetPopUp()->GetScreenRect();
    const int32_t y = (popUp.top + popUp.bottom) / 2;
    EXPECT_GT(Brightness(*m_Canvas, popUp.left, y), Brightness(*m_Canvas, popUp.right - 1, y))
        << "raised: light on the left, shadow on the right";
}

} // namespace
