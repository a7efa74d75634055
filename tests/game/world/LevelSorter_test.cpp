// Level sets and the Level Sorter: the set's edits and its kept tutorial
// marks, the level holder's fall-back to "Levels", and the sorter driven
// through a screen window by the mouse and keys, down to the file it saves.
#include "foundation/CFile.h"
#include "foundation/FileHelpers.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/business/CBuildPhase.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelSet.h"
#include "game/world/CLevelSorter.h"
#include "game/world/CPeriod.h"
#include "objects/CObject.h"
#include "objects/ObjectFileCallbacks.h"
#include "game/business/CUpgrade.h"
#include "shell/CGameBase.h"
#include "ui/CJButton.h"
#include "ui/CJHeader.h"
#include "ui/CJListBox.h"
#include "support/TestSupport.h"
#include "ui/SkinTestSupport.h"
#include "ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

void WriteObject(const std::string& path, const std::string& text)
{
    WriteBytes(path, text);
}

// The number of the last line that holds just this text among its blanks.
size_t LastLineOf(const std::string& text, const std::string& line)
{
    size_t number = 0;
    size_t at = 0;
    for (size_t start = 0; start < text.size(); start = text.find('\n', start) + 1) {
        ++at;
        std::string read = text.substr(start, text.find('\n', start) - start);
        const size_t first = read.find_first_not_of(" \t");
        if (first != std::string::npos && read.substr(first, read.find_last_not_of(" \t\r") - first + 1) == line)
            number = at;
        if (text.find('\n', start) == std::string::npos)
            break;
    }
    return number;
}

std::string NotUnderstood(const std::string& text, const std::string& line)
{
    return "it cannot be read whole: line " + std::to_string(LastLineOf(text, line)) + " is not understood (\"" + line
        + "\")";
}

std::vector<std::string> Names(CLevelSet& set)
{
    std::vector<std::string> names;
    for (uint32_t i = 0; i < set.GetCount(); ++i) {
        CJString name;
        set.GetLevelName(name, i);
        names.push_back(name.GetString());
    }
    return names;
}

CLevelOptions* NamedLevel(const char* name, bool tutorial = false, bool lastTutorial = false)
{
    auto* level = new CLevelOptions;
    level->ResetToDefaults();
    level->m_DisplayName.SetText(name);
    level->m_IsTutorialLevel = tutorial;
    level->m_IsLastTutorialLevel = lastTutorial;
    return level;
}

class CEditorAbove final : public CLevelSorterHooks {
public:
    bool IsLevelEditorOpenOnStoredLevel() override { return editorOpen; }
    bool IsLevelEditorOpenOnPlayedLevel() override { return playedOpen; }
    void OpenObjectEditor(CObject* object) override { opened = object; }

    bool editorOpen = false;
    bool playedOpen = false;
    CObject* opened = nullptr;
};

// The data lists over the test's folder, the tutorial marks forgotten.
class LevelSets : public UiTestOn<SkinFrameTest> {
protected:
    void SetUp() override
    {
        UiTestOn<SkinFrameTest>::SetUp();
        ASSERT_NE(CBuildPhase::SGetClassInfo(), nullptr);
        ASSERT_NE(CUpgrade::SGetClassInfo(), nullptr);
        WriteObject("Resources/Frame.BuildPhase.txt", "CBuildPhase\r\n{\r\n\tOption Index=Required\r\n}\r\n");
        WriteObject("Resources/Garage.BuildPhase.txt", "CBuildPhase\r\n{\r\n}\r\n");
        WriteObject("Resources/Period 1.Period.txt", "CPeriod\r\n{\r\n}\r\n");
        WriteObject("Resources/Town.Background.txt", "CBackgroundStyleSheet\r\n{\r\n}\r\n");
        // The upgrades' placeholder: a level names none through it.
        WriteObject("Resources/!None.Upgrade.txt", "CUpgrade\r\n{\r\n}\r\n");
        for (CObjectFileArray* list : Lists())
            list->SetSource(nullptr, "Resources", 0);
        SetCurrentLevelIndex(0);
    }
    void TearDown() override
    {
        GetLevelHolder().Release();
        SetCurrentLevelIndex(0);
        for (CObjectFileArray* list : Lists())
            list->SetSource(nullptr, "Nowhere", 0);
        GetGeneralObjects().SetSource("General Objects", "Nowhere", 0);
        UiTestOn<SkinFrameTest>::TearDown();
    }
    static std::vector<CObjectFileArray*> Lists()
    {
        return {&GetBuildPhaseList(), &GetPeriodList(), &GetBackgroundStyleSheetList(), &GetUpgradeList()};
    }
    // "Levels" as the general objects list finds it.
    static CLevelSet* LoadLevels(const std::vector<std::string>& levels)
    {
        WriteObject("Resources/Levels.Object.txt", LevelSetText(levels));
        InitGeneralObjects();
        return GetLevels();
    }
};

TEST_F(LevelSets, InsertsClampRemovesAndSwapsWithinTheSetOnly)
{
    CLevelSetUserMade set;
    set.InsertLevel(0, NamedLevel("B"));
    set.InsertLevel(0, NamedLevel("A"));
    set.InsertLevel(99, NamedLevel("D"));
    set.InsertLevel(2, nullptr);
    ASSERT_EQ(Names(set), (std::vector<std::string>{"A", "B", "", "D"}));
    EXPECT_EQ(set.GetLevel(2)->m_Customers, 12u);
    EXPECT_EQ(set.GetLevel(2)->m_BuildPhaseFrequency.GetCount(), 2u);
    EXPECT_EQ(set.GetLevel(4), nullptr);
    CJString name("stale");
    set.GetLevelName(name, 4);
    EXPECT_TRUE(name.IsEmpty());

    set.RemoveLevel(4);
    set.SwapLevels(0, 4);
    EXPECT_EQ(Names(set), (std::vector<std::string>{"A", "B", "", "D"}));
    set.RemoveLevel(2);
    set.SwapLevels(0, 2);
    EXPECT_EQ(Names(set), (std::vector<std::string>{"D", "B", "A"}));
}

// The marks are kept once found; any edit of a set forgets them, so the
// answers follow the levels the sorter moves.
TEST_F(LevelSets, TutorialMarksAreFoundOnceAndFoundAgainAfterEveryEdit)
{
    CLevelSetUserMade set;
    set.InsertLevel(0, NamedLevel("Plain"));
    EXPECT_EQ(set.GetFirstTutorialLevelIndex(), CLevelSet::kNoTutorialLevel);
    // Not found is not kept.
    set.GetLevel(0)->m_IsTutorialLevel = true;
    EXPECT_EQ(set.GetFirstTutorialLevelIndex(), 0u);
    set.GetLevel(0)->m_IsTutorialLevel = false;
    EXPECT_EQ(set.GetFirstTutorialLevelIndex(), 0u); // kept

    set.InsertLevel(0, NamedLevel("Lesson", true));
    set.InsertLevel(2, NamedLevel("Last Lesson", false, true));
    EXPECT_EQ(set.GetFirstTutorialLevelIndex(), 0u);
    EXPECT_EQ(set.GetLastTutorialLevelIndex(), 2u);
    set.SwapLevels(0, 1);
    EXPECT_EQ(set.GetFirstTutorialLevelIndex(), 1u);
    set.RemoveLevel(0);
    EXPECT_EQ(set.GetFirstTutorialLevelIndex(), 0u);
    EXPECT_EQ(set.GetLastTutorialLevelIndex(), 1u);
}

TEST_F(LevelSets, EachSetKeepsItsOwnTutorialMarksAndForgetsThemOnRequest)
{
    CLevelSetUserMade career;
    career.InsertLevel(0, NamedLevel("Plain"));
    career.InsertLevel(1, NamedLevel("Lesson", true, true));
    CLevelSetUserMade extras;
    extras.InsertLevel(0, NamedLevel("First Lesson", true));
    extras.InsertLevel(1, NamedLevel("Plain"));
    extras.InsertLevel(2, NamedLevel("Last Lesson", false, true));
    EXPECT_EQ(career.GetFirstTutorialLevelIndex(), 1u);
    EXPECT_EQ(extras.GetFirstTutorialLevelIndex(), 0u) << "another set scans for itself";
    EXPECT_EQ(career.GetLastTutorialLevelIndex(), 1u);
    EXPECT_EQ(extras.GetLastTutorialLevelIndex(), 2u);

    extras.InsertLevel(0, NamedLevel("Opening"));
    EXPECT_EQ(career.GetFirstTutorialLevelIndex(), 1u) << "an edit of one set leaves the other's";
    EXPECT_EQ(extras.GetFirstTutorialLevelIndex(), 1u);

    // A mark changed in place is seen once the set is told.
    career.GetLevel(0)->m_IsTutorialLevel = true;
    EXPECT_EQ(career.GetFirstTutorialLevelIndex(), 1u);
    career.ForgetTutorialIndices();
    EXPECT_EQ(career.GetFirstTutorialLevelIndex(), 0u);
    EXPECT_EQ(career.GetLastTutorialLevelIndex(), 1u);
}

TEST_F(LevelSets, TheLevelInPlayIsTheHeldCopyElseTheEntryOfLevelsAtTheCurrentIndex)
{
    EXPECT_EQ(FindLevels(), nullptr);
    EXPECT_EQ(GetLevelHolder().GetLevel(), nullptr);
    EXPECT_EQ(GetCurrentPlayfield(), nullptr);

    CLevelSet* levels = LoadLevels({LevelText("One"), LevelText("Two")});
    ASSERT_NE(levels, nullptr);
    EXPECT_EQ(FindLevels(), levels);
    SetCurrentLevelIndex(1);
    EXPECT_EQ(CLevelOptions::SGetCurrent(), levels->GetLevel(1));
    EXPECT_EQ(GetCurrentPlayfield(), &levels->GetLevel(1)->GetPlayfield());

    GetLevelHolder().HoldCopyOf(levels->GetLevel(0));
    CLevelOptions* held = CLevelOptions::SGetCurrent();
    ASSERT_NE(held, nullptr);
    EXPECT_NE(held, levels->GetLevel(0));
    EXPECT_STREQ(held->m_DisplayName.GetText().GetString(), "One");
    EXPECT_EQ(GetCurrentPlayfield(), &held->GetPlayfield());
    GetLevelHolder().Release();
    // Past the end: no level, no playfield.
    SetCurrentLevelIndex(2);
    EXPECT_EQ(CLevelOptions::SGetCurrent(), nullptr);
    EXPECT_EQ(GetCurrentPlayfield(), nullptr);
}

TEST_F(LevelSets, LevelsMissingStopsAtTheFirstFetchWithTheNotFoundReport)
{
    WriteObject("Resources/Rules.Object.txt", "CPeriod\r\n{\r\n}\r\n");
    InitGeneralObjects();
    EXPECT_EQ(FindLevels(), nullptr);
    EXPECT_EXIT(GetLevels(), testing::ExitedWithCode(255), "Fatal Not Found Error");
}

// The sorter over a set of four levels in a 800 x 600 screen.
// "Levels" saved over its file changed by hand since it was read: a level
// changed on one side only is taken from that side (and held by the running
// set afterwards); anything that cannot be combined is refused, writing
// nothing, and the edit waits for the save after the hand undoes its change.
TEST_F(LevelSets, ASaveOverTheFileChangedByHandCombinesOneSidedChangesAndRefusesTheRest)
{
    const std::string file = "Resources/Levels.Object.txt";
    auto text = [](const std::string& bravo, const std::string& charlie, const std::string& delta) {
        return LevelSetText({LevelText("Alpha"), LevelText("Bravo", bravo), LevelText("Charlie", charlie),
                             LevelText("Delta", delta)});
    };
    CLevelSet* levels = LoadLevels({LevelText("Alpha"), LevelText("Bravo"), LevelText("Charlie"), LevelText("Delta")});
    CJString failed;
    auto save = [&] { return SaveLevelSetToOwnFile(*levels, failed); };

    // Another level's comment by hand (CR LF ends), Alpha's customers here.
    WriteObject(file, text("\t\t\tComment=by hand\r\n", "", ""));
    levels->GetLevel(0)->m_Customers = 9;
    ASSERT_TRUE(save());
    EXPECT_STREQ(levels->GetLevel(1)->m_Comment.GetString(), "by hand") << "the set holds what the file holds";
    // Bravo edited here later keeps the hand's comment.
    levels->GetLevel(1)->m_Customers = 4;
    ASSERT_TRUE(save());
    std::unique_ptr<CLevelSet> read(static_cast<CLevelSet*>(ReadObjectFileWhole(file.c_str())));
    ASSERT_NE(read, nullptr);
    EXPECT_STREQ(read->GetLevel(1)->m_Comment.GetString(), "by hand");
    EXPECT_EQ(read->GetLevel(1)->m_Customers, 4u);
    EXPECT_EQ(read->GetLevel(0)->m_Customers, 9u);
    const std::string saved = ReadBytes(file);

    // Each refused with Charlie edited here; the file stays as the hand left it.
    const std::string swapped = LevelSetText({LevelText("Alpha", "\t\t\tCustomers=9\r\n"),
                                              LevelText("Bravo", "\t\t\tComment=by hand\r\n\t\t\tCustomers=4\r\n"),
                                              LevelText("Delta"), LevelText("Charlie")});
    const std::string added = saved.substr(0, saved.rfind("\t}")) + LevelText("Echo") + "\t}\r\n}\r\n";
    const std::string typo = std::string(saved).replace(saved.find("Customers=4"), 11, "Required Revenu=60");
    const std::string noEquals = std::string(saved).replace(saved.find("Customers=4"), 11, "Customers 4");
    std::string charlieByHand = saved;
    charlieByHand.insert(charlieByHand.find("Comment=", charlieByHand.find("Charlie")) + 8, "hand");
    // Lines the reader would drop or take in part, the rest as the set has it.
    const std::string appended = saved + LevelText("Echo");
    const std::string twice
        = std::string(saved).replace(saved.find("Customers=4"), 11, "Customers=6\r\n\t\t\tCustomers=4");
    const std::string inPart = std::string(saved).replace(saved.find("Customers=4"), 11, "Customers=4O");
    const size_t brace = saved.find("{", saved.find("Frequency List=Array"));
    const std::string noBrace = std::string(saved).erase(brace, saved.find("\n", brace) + 1 - brace);
    // A list given again above Bravo's own, whole or by one item's name.
    auto aboveBravos = [&](const std::string& key, const std::string& lines) {
        return std::string(saved).insert(saved.find("\t\t\t" + key, saved.find("Bravo")), lines);
    };
    const std::string goalsTwice
        = aboveBravos("Optional Goals List", "\t\t\tOptional Goals List=Array\r\n\t\t\t{\r\n\t\t\t}\r\n");
    const std::string frequencyTwice
        = aboveBravos("Build Phase Frequency List",
                      "\t\t\tBuild Phase Frequency List=Array\r\n\t\t\t{\r\n\t\t\t\tGarage=0.123\r\n\t\t\t}\r\n");
    const std::string inLineTwice = aboveBravos(
        "Max In Line List", "\t\t\tMax In Line List=Array\r\n\t\t\t{\r\n\t\t\t\tMax In Line=3\r\n\t\t\t}\r\n");
    const std::string itemTwice = aboveBravos("Build Phase Frequency List", "\t\t\tGarage=0.123\r\n");
    const std::string noDigit = std::string(saved).replace(saved.find("Customers=4"), 11, "Customers=");
    const std::string sign
        = std::string(saved).replace(saved.find("Required Revenue=500", saved.find("Bravo")), 20, "Required Revenue=-");
    levels->GetLevel(2)->m_Customers = 3;
    const std::string* const hands[]
        = {&swapped, &added,      &typo,           &noEquals,    &charlieByHand, &appended, &twice, &inPart,
           &noBrace, &goalsTwice, &frequencyTwice, &inLineTwice, &itemTwice,     &noDigit,  &sign,  nullptr};
    for (size_t i = 0; i < std::size(hands); ++i) {
        const std::string* hand = hands[i];
        SCOPED_TRACE(std::to_string(i)
                     + " of swapped, added, typo, no \"=\", Charlie, appended, twice, in part, no brace, goals twice, "
                       "frequency twice, in line twice, item twice, no digit, a sign alone, removed");
        if (hand)
            WriteObject(file, *hand);
        else
            std::filesystem::remove(file);
        EXPECT_FALSE(save());
        EXPECT_EQ(failed.GetString(), file);
        EXPECT_NE(GetFailedSaveReason().Find("changed on disk"), -1);
        if (hand)
            EXPECT_TRUE(ReadBytes(file) == *hand);
        else
            EXPECT_FALSE(std::filesystem::exists(file));
        EXPECT_EQ(Names(*levels), (std::vector<std::string>{"Alpha", "Bravo", "Charlie", "Delta"}));
        EXPECT_TRUE(levels->HasUnsavedEdits());
    }
    // A line not understood is named; the hand's change is what to undo.
    const std::pair<const std::string*, std::string> named[] = {{&appended, "Level=CLevelOptions"},
                                                                {&typo, "Required Revenu=60"},
                                                                {&twice, "Customers=4"},
                                                                {&inPart, "Customers=4O"}};
    for (const auto& [hand, line] : named) {
        SCOPED_TRACE(line);
        WriteObject(file, *hand);
        EXPECT_FALSE(save());
        EXPECT_EQ(std::string(GetFailedSaveReason().GetString()),
                  "it was changed on disk since it was read, and " + NotUnderstood(*hand, line));
        EXPECT_NE(FailedSaveMessage(failed).Find("Undo the change on disk and your edits are saved"), -1);
    }
    // The hand undoes its change: the next save writes the waiting edit.
    WriteObject(file, saved);
    ASSERT_TRUE(save());
    read.reset(static_cast<CLevelSet*>(ReadObjectFileWhole(file.c_str())));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetLevel(2)->m_Customers, 3u);
    EXPECT_FALSE(levels->HasUnsavedEdits());

    // Delta changed by hand while the level editor shows it: the editor
    // holds Delta's objects, so nothing is copied into them and the save is
    // refused.
    CEditorAbove editor;
    CScopedHook<SetLevelSorterHooks> hooks(&editor);
    editor.editorOpen = true;
    SetCurrentLevelIndex(3);
    std::string deltaByHand = ReadBytes(file);
    deltaByHand.insert(deltaByHand.find("Comment=", deltaByHand.find("Delta")) + 8, "hand");
    WriteObject(file, deltaByHand);
    levels->GetLevel(0)->m_Customers = 8;
    EXPECT_FALSE(save());
    EXPECT_NE(GetFailedSaveReason().Find("changed on disk"), -1);
    EXPECT_TRUE(levels->GetLevel(3)->m_Comment.IsEmpty());
    EXPECT_TRUE(ReadBytes(file) == deltaByHand);

    // The editor gone, Delta is merged but the file is read-only: the refusal
    // says so, and once it is writable the next save writes both edits.
    editor.editorOpen = false;
    namespace fs = std::filesystem;
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_FALSE(save());
    EXPECT_NE(GetFailedSaveReason().Find("read-only"), -1) << GetFailedSaveReason().GetString();
    EXPECT_TRUE(ReadBytes(file) == deltaByHand);
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
    ASSERT_TRUE(save()) << GetFailedSaveReason().GetString();
    read.reset(static_cast<CLevelSet*>(ReadObjectFileWhole(file.c_str())));
    ASSERT_NE(read, nullptr);
    EXPECT_STREQ(read->GetLevel(3)->m_Comment.GetString(), "hand");
    EXPECT_EQ(read->GetLevel(0)->m_Customers, 8u);
}

class LevelSorter : public LevelSets {
protected:
    void SetUp() override
    {
        LevelSets::SetUp();
        if (IsSkipped())
            return;
        m_Canvas = Canvas(800, 600);
        m_Screen = std::make_unique<CScreenWindow>(m_Canvas.get(), m_Font.get());
        m_Levels
            = LoadLevels({LevelText("Alpha", "\t\t\tPeriod=Period 1\r\n\t\t\tComment=windy\r\n\t\t\tCustomers=7\r\n"),
                          LevelText("Bravo", "\t\t\tIs Tutorial Level=1\r\n"), LevelText("Charlie"),
                          LevelText("Delta", "\t\t\tScale Percent=62.4\r\n")});
        m_Sorter = OpenLevelSorter(m_Levels);
        ASSERT_NE(m_Sorter, nullptr);
        Frame();
    }
    void TearDown() override
    {
        m_Screen.reset();
        LevelSets::TearDown();
    }

    void Frame() { m_Screen->Update(0.0f); }
    static CMouseState& Mouse() { return CMouseState::SGetInstance(); }
    void ClickAt(CPoint point)
    {
        Mouse().SetPosition(point.x, point.y);
        Frame();
        Mouse().SetButtons(1);
        Frame();
        Mouse().SetButtons(0);
        Frame();
    }
    void Click(CLevelSorterWindow::Button button)
    {
        const CRect& rect = m_Sorter->GetButton(button)->GetVisibleRect();
        ClickAt({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    }
    // A point on the row, found through the list's own hit test.
    CPoint RowPoint(int32_t row)
    {
        CJListBox* list = m_Sorter->GetList();
        const CRect& rect = list->GetVisibleRect();
        for (int32_t y = rect.top; y < rect.bottom; ++y)
            if (list->GetRowAt({rect.left + 20, y}) == row)
                return {rect.left + 20, y + 2};
        ADD_FAILURE() << "no row " << row;
        return {0, 0};
    }
    void ClickRow(int32_t row) { ClickAt(RowPoint(row)); }
    void Key(uint32_t key, bool shift)
    {
        CKeyboardState& keys = CKeyboardState::SGetInstance();
        if (shift)
            keys.OnKeyDown(kScanShiftLeft);
        keys.OnCharacter(key);
        Frame();
        if (shift)
            keys.OnKeyUp(kScanShiftLeft);
    }
    bool SorterIsOpen() const
    {
        for (const CJWindow* child = m_Screen->GetFirstChild(); child; child = child->GetNextSibling())
            if (child == m_Sorter)
                return true;
        return false;
    }
    const CJWindow* FindWindow(const char* title) const
    {
        for (const CJWindow* child = m_Screen->GetFirstChild(); child; child = child->GetNextSibling())
            if (child->GetTitle().Compare(title) == 0)
                return child;
        return nullptr;
    }

    std::unique_ptr<CFrame> m_Canvas;
    std::unique_ptr<CScreenWindow> m_Screen;
    CLevelSet* m_Levels = nullptr;
    CLevelSorterWindow* m_Sorter = nullptr;
};

TEST_F(LevelSorter, EachRowShowsTheLevelsFiguresAndTheArrowsAreDrawnCharacters)
{
    EXPECT_TRUE(m_Sorter->IsEditingAllowed());
    EXPECT_EQ(m_Sorter->GetList()->GetRowCount(), 4);
    EXPECT_STREQ(m_Sorter->GetRowText(0).GetString(), "1\tPeriod 1\tAlpha\twindy\t7\t0\t100%\t80%\t");
    EXPECT_STREQ(m_Sorter->GetRowText(3).GetString(), "4\tPeriod 1\tDelta\t\t12\t0\t62%\t80%\t");
    const CJString& up = m_Sorter->GetButton(CLevelSorterWindow::Button::MoveUp)->GetTitle();
    ASSERT_TRUE(up.IsWide());
    EXPECT_EQ(up.GetAt(0), char16_t(0x25B2));
    EXPECT_EQ(up.GetAt(up.GetLength() - 1), char16_t(0x25B2));
    EXPECT_STREQ(m_Sorter->GetHeader()->GetColumn(0)->title.GetString(), "#");
    EXPECT_EQ(m_Sorter->GetHeader()->GetColumnWidth(2), 150);
    // The profiles' records stay with the numbers, and the window says so.
    bool noted = false;
    for (const CJWindow* child = m_Sorter->GetFirstChild(); child; child = child->GetNextSibling())
        noted = noted || child->GetTitle().Find("progress stays with the level number") >= 0;
    EXPECT_TRUE(noted);
}

TEST_F(LevelSorter, MovesFollowTheSelectionAndSetTheCurrentIndexToTheRowMovedFrom)
{
    ClickRow(3);
    ASSERT_EQ(m_Sorter->GetSelectedRow(), 3);
    SetCurrentLevelIndex(2);
    Click(CLevelSorterWindow::Button::MoveUp);
    EXPECT_EQ(Names(*m_Levels), (std::vector<std::string>{"Alpha", "Bravo", "Delta", "Charlie"}));
    EXPECT_EQ(GetCurrentLevelIndex(), 3u);
    EXPECT_EQ(m_Sorter->GetSelectedRow(), 2);

    // Shift with the Down code moves back; the plain code only moves the
    // selection.
    Key(10, true);
    EXPECT_EQ(Names(*m_Levels), (std::vector<std::string>{"Alpha", "Bravo", "Charlie", "Delta"}));
    EXPECT_EQ(m_Sorter->GetSelectedRow(), 3);
    ClickRow(3); // the list takes the keys again
    Key(6, false);
    EXPECT_EQ(m_Sorter->GetSelectedRow(), 2);
    Key(6, true);
    EXPECT_EQ(Names(*m_Levels), (std::vector<std::string>{"Alpha", "Charlie", "Bravo", "Delta"}));
    EXPECT_EQ(m_Sorter->GetSelectedRow(), 1);
    // The tutorial mark moved with Bravo, and the set knows.
    EXPECT_EQ(m_Levels->GetFirstTutorialLevelIndex(), 2u);

    // At the ends nothing moves.
    ClickRow(0);
    Click(CLevelSorterWindow::Button::MoveUp);
    ClickRow(3);
    Click(CLevelSorterWindow::Button::MoveDown);
    EXPECT_EQ(Names(*m_Levels), (std::vector<std::string>{"Alpha", "Charlie", "Bravo", "Delta"}));
}

TEST_F(LevelSorter, InsertDeleteAndPasteKeepTheCurrentIndexOnTheirRow)
{
    // The editor stays on the street it shows, never on the new empty one.
    SetCurrentLevelIndex(1);
    ClickRow(1);
    Click(CLevelSorterWindow::Button::Insert);
    EXPECT_EQ(Names(*m_Levels), (std::vector<std::string>{"Alpha", "", "Bravo", "Charlie", "Delta"}));
    EXPECT_EQ(GetCurrentLevelIndex(), 2u);
    EXPECT_EQ(m_Sorter->GetList()->GetRowCount(), 5);

    // Deleting below the current index moves it down with its level.
    SetCurrentLevelIndex(3);
    ClickRow(0);
    Click(CLevelSorterWindow::Button::Delete);
    EXPECT_EQ(Names(*m_Levels), (std::vector<std::string>{"", "Bravo", "Charlie", "Delta"}));
    EXPECT_EQ(GetCurrentLevelIndex(), 2u);
    // Deleting the current last row steps back.
    SetCurrentLevelIndex(3);
    ClickRow(3);
    Click(CLevelSorterWindow::Button::Delete);
    EXPECT_EQ(GetCurrentLevelIndex(), 2u);

    // A copied set pasted at row 1 lands at rows 1, 2 and 3, as copies.
    Click(CLevelSorterWindow::Button::CopyAll);
    ClickRow(1);
    Click(CLevelSorterWindow::Button::Paste);
    EXPECT_EQ(Names(*m_Levels), (std::vector<std::string>{"", "", "Bravo", "Charlie", "Bravo", "Charlie"}));
    EXPECT_EQ(GetCurrentLevelIndex(), 5u);
    EXPECT_NE(m_Levels->GetLevel(2), m_Levels->GetLevel(4));
    // One level pasted with no row selected goes to the end.
    ClickRow(3);
    Click(CLevelSorterWindow::Button::Copy);
    m_Sorter->GetList()->SelectItem(-1, true);
    Click(CLevelSorterWindow::Button::Paste);
    EXPECT_EQ(Names(*m_Levels).back(), "Charlie");
    EXPECT_EQ(m_Levels->GetCount(), 7u);
    EXPECT_EQ(GetCurrentLevelIndex(), 5u);
}

TEST_F(LevelSorter, DeletingTheCurrentLevelInsideTheListLetsTheNextOneTakeItsPlace)
{
    SetCurrentLevelIndex(1);
    ClickRow(1);
    Click(CLevelSorterWindow::Button::Delete);
    EXPECT_EQ(Names(*m_Levels), (std::vector<std::string>{"Alpha", "Charlie", "Delta"}));
    EXPECT_EQ(GetCurrentLevelIndex(), 1u);
    // Deleting after the current level leaves it alone too.
    ClickRow(2);
    Click(CLevelSorterWindow::Button::Delete);
    EXPECT_EQ(Names(*m_Levels), (std::vector<std::string>{"Alpha", "Charlie"}));
    EXPECT_EQ(GetCurrentLevelIndex(), 1u);
}

TEST_F(LevelSorter, TheLastLevelCannotBeDeleted)
{
    for (int i = 0; i < 3; ++i) {
        ClickRow(0);
        Click(CLevelSorterWindow::Button::Delete);
    }
    ASSERT_EQ(Names(*m_Levels), (std::vector<std::string>{"Delta"}));
    EXPECT_EQ(FindWindow("Cannot Delete"), nullptr);
    ClickRow(0);
    Click(CLevelSorterWindow::Button::Delete);
    EXPECT_EQ(Names(*m_Levels), (std::vector<std::string>{"Delta"}));
    EXPECT_NE(FindWindow("Cannot Delete"), nullptr);
}

TEST_F(LevelSorter, EditPicksTheLevelForTheEditorAndCloses)
{
    CEditorAbove editor;
    CScopedHook<SetLevelSorterHooks> hooks(&editor);
    // Without a selection nothing happens.
    Click(CLevelSorterWindow::Button::Edit);
    EXPECT_TRUE(SorterIsOpen());

    editor.editorOpen = true;
    m_Levels->GetLevel(0)->EnsureDefaultLayers();
    m_Levels->GetLevel(2)->EnsureDefaultLayers();
    m_Levels->GetLevel(0)->GetPlayfield().FindLayer("Crew")->m_VisibleInEditor = false;
    ClickRow(2);
    Click(CLevelSorterWindow::Button::Edit);
    EXPECT_EQ(GetCurrentLevelIndex(), 2u);
    // The old level's flags are kept for it and all its layers shown.
    EXPECT_TRUE(m_Levels->GetLevel(0)->GetPlayfield().FindLayer("Crew")->m_VisibleInEditor);
    // The new level's layers take the flags stored by layer name.
    EXPECT_FALSE(m_Levels->GetLevel(2)->GetPlayfield().FindLayer("Crew")->m_VisibleInEditor);
    EXPECT_TRUE(m_Levels->GetLevel(2)->GetPlayfield().FindLayer("Lot")->m_VisibleInEditor);
    Frame();
    EXPECT_FALSE(SorterIsOpen());
}

// A move that makes another level current hands the layer flags over as
// Edit does, so the editor never writes "all shown" back to its settings.
TEST_F(LevelSorter, AMoveHandsTheEditorsLayerFlagsToTheLevelItMakesCurrent)
{
    CEditorAbove editor;
    editor.editorOpen = true;
    CScopedHook<SetLevelSorterHooks> hooks(&editor);
    for (uint32_t i = 0; i < 4; ++i)
        m_Levels->GetLevel(i)->EnsureDefaultLayers();
    SetCurrentLevelIndex(3);
    m_Levels->GetLevel(3)->GetPlayfield().FindLayer("Crew")->m_VisibleInEditor = false;
    ClickRow(3);
    Click(CLevelSorterWindow::Button::MoveUp);
    ASSERT_EQ(GetCurrentLevelIndex(), 3u);
    EXPECT_FALSE(m_Levels->GetLevel(3)->GetPlayfield().FindLayer("Crew")->m_VisibleInEditor) << "Charlie";
    EXPECT_TRUE(m_Levels->GetLevel(2)->GetPlayfield().FindLayer("Crew")->m_VisibleInEditor) << "Delta";
}

TEST_F(LevelSorter, ADoubleClickOnARowEditsItAndPropertiesOpenTheSet)
{
    CEditorAbove editor;
    editor.editorOpen = true;
    CScopedHook<SetLevelSorterHooks> hooks(&editor);
    ClickRow(1);
    m_Sorter->GetList()->OnMouseDoubleClick(0, RowPoint(1), 0);
    EXPECT_EQ(GetCurrentLevelIndex(), 1u);
    Frame();
    EXPECT_FALSE(SorterIsOpen());

    m_Sorter = OpenLevelSorter(m_Levels);
    Frame();
    Click(CLevelSorterWindow::Button::Properties);
    EXPECT_EQ(editor.opened, m_Levels);
    Frame();
    EXPECT_FALSE(SorterIsOpen());
}

// The set is written to a file beside the old one and renamed over it, so
// the file on disk is always a whole set; a close without an edit leaves the
// designer's own text.
TEST_F(LevelSorter, ClosingSavesTheSetToItsOwnFileWhole)
{
    const std::string typed = ReadBytes("Resources/Levels.Object.txt");
    ClickRow(3);
    Click(CLevelSorterWindow::Button::Copy);
    m_Sorter->RequestClose();
    Frame();
    EXPECT_EQ(ReadBytes("Resources/Levels.Object.txt"), typed);
    m_Sorter = OpenLevelSorter(m_Levels);
    Frame();
    ClickRow(3);
    Click(CLevelSorterWindow::Button::MoveUp);
    m_Sorter->RequestClose();
    Frame();
    EXPECT_FALSE(SorterIsOpen());
    const std::string saved = ReadBytes("Resources/Levels.Object.txt");
    EXPECT_LT(saved.find("Delta"), saved.find("Charlie"));
    EXPECT_EQ(ListNames("Resources").find("Levels.Object.txt."), std::string::npos) << ListNames("Resources");

    // Shutting down: no save.
    m_Sorter = OpenLevelSorter(m_Levels);
    Frame();
    ClickRow(3);
    Click(CLevelSorterWindow::Button::MoveUp);
    CGameBase::SSetShuttingDown(true);
    m_Sorter->RequestClose();
    Frame();
    CGameBase::SSetShuttingDown(false);
    EXPECT_EQ(ReadBytes("Resources/Levels.Object.txt"), saved);
}

// A move or a delete of a level whose row the hand changed in the file
// meanwhile is refused and put back; the level put back is the file's
// again, so a later save keeps the hand's edit of it.
TEST_F(LevelSorter, AMoveOrDeleteOfARowChangedByHandIsRefusedAndPutBack)
{
    const std::string file = "Resources/Levels.Object.txt";
    const std::string typed = ReadBytes(file);
    auto said = [&] {
        const CJWindow* box = FindWindow("Error");
        std::string text;
        for (const CJWindow* child = box ? box->GetFirstChild() : nullptr; child; child = child->GetNextSibling())
            text += child->GetTitle().GetString();
        if (box)
            const_cast<CJWindow*>(box)->Destroy();
        Frame();
        return text;
    };
    const std::vector<std::string> order{"Alpha", "Bravo", "Charlie", "Delta"};
    std::string swapped = typed;
    const size_t bravo = swapped.find("\t\tLevel=CLevelOptions", swapped.find("Alpha"));
    const size_t charlie = swapped.find("\t\tLevel=CLevelOptions", bravo + 1);
    swapped = swapped.substr(0, swapped.find("\t\tLevel=CLevelOptions")) + swapped.substr(bravo, charlie - bravo)
        + swapped.substr(swapped.find("\t\tLevel=CLevelOptions"), bravo - swapped.find("\t\tLevel=CLevelOptions"))
        + swapped.substr(charlie);
    ASSERT_NE(swapped, typed);
    WriteObject(file, swapped);
    ClickRow(0);
    Click(CLevelSorterWindow::Button::MoveDown);
    m_Sorter->RequestClose();
    Frame();
    EXPECT_NE(said().find("Resources/Levels.Object.txt: it was changed on disk"), std::string::npos);
    EXPECT_TRUE(ReadBytes(file) == swapped);
    EXPECT_EQ(Names(*m_Levels), order);

    std::string charlieByHand = typed;
    charlieByHand.insert(charlieByHand.find("Charlie\r\n") + 9, "\t\t\tComment=by hand\r\n");
    WriteObject(file, charlieByHand);
    m_Sorter = OpenLevelSorter(m_Levels);
    Frame();
    ClickRow(2);
    Click(CLevelSorterWindow::Button::Delete);
    m_Sorter->RequestClose();
    Frame();
    EXPECT_NE(said().find("changed on disk"), std::string::npos);
    EXPECT_EQ(Names(*m_Levels), order);
    CJString failed;
    m_Levels->GetLevel(0)->m_Customers = 5;
    ASSERT_TRUE(SaveLevelSetToOwnFile(*m_Levels, failed)) << failed.GetString();
    EXPECT_NE(ReadBytes(file).find("Comment=by hand"), std::string::npos);
    EXPECT_STREQ(m_Levels->GetLevel(2)->m_Comment.GetString(), "by hand");

    // A level the hand changed while the sorter inserts one before it is
    // still found by its row: the hand's edit is merged, not written over.
    std::string deltaByHand = ReadBytes(file);
    const size_t deltaComment = deltaByHand.find("Comment=\r\n", deltaByHand.find("Delta\r\n"));
    ASSERT_NE(deltaComment, std::string::npos);
    deltaByHand.insert(deltaComment + 8, "Delta by hand");
    WriteObject(file, deltaByHand);
    m_Sorter = OpenLevelSorter(m_Levels);
    Frame();
    ClickRow(0);
    Click(CLevelSorterWindow::Button::Insert);
    m_Sorter->RequestClose();
    Frame();
    EXPECT_EQ(said(), "");
    std::unique_ptr<CLevelSet> read(static_cast<CLevelSet*>(ReadObjectFileWhole(file.c_str())));
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->GetCount(), 5u);
    EXPECT_STREQ(read->GetLevel(4)->m_Comment.GetString(), "Delta by hand");

    // A write that fails (a full disk) is no change to put back: the move
    // waits, and the next close writes it once the cause is gone.
    const std::string beforeMove = ReadBytes(file);
    m_Sorter = OpenLevelSorter(m_Levels);
    Frame();
    ClickRow(0);
    Click(CLevelSorterWindow::Button::MoveDown);
    const std::vector<std::string> moved = Names(*m_Levels);
    {
        rlimit old{};
        ::getrlimit(RLIMIT_FSIZE, &old);
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit full{16, old.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &full);
        m_Sorter->RequestClose();
        Frame();
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, handler);
    }
    std::string refused = said();
    std::replace(refused.begin(), refused.end(), '\n', ' ');
    EXPECT_NE(refused.find("Could not save Resources/Levels.Object.txt: "), std::string::npos) << refused;
    EXPECT_NE(refused.find(". Once the cause is gone, your edits are saved at the next save, close or exit; until "
                           "then they are kept here only."),
              std::string::npos)
        << refused;
    EXPECT_EQ(Names(*m_Levels), moved);
    EXPECT_TRUE(ReadBytes(file) == beforeMove);
    m_Sorter = OpenLevelSorter(m_Levels);
    Frame();
    m_Sorter->RequestClose();
    Frame();
    EXPECT_EQ(said(), "");
    read.reset(static_cast<CLevelSet*>(ReadObjectFileWhole(file.c_str())));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(Names(*read), moved);
}

// An edit whose save was refused waits for the hand to undo its change: a
// sorter closed without a move tries it again, as does the program's end,
// which reports a refusal on standard error.
TEST_F(LevelSorter, AnEditRefusedEarlierIsTriedAgainByAClosingSorterAndAtTheEnd)
{
    const std::string file = "Resources/Levels.Object.txt";
    const std::string typed = ReadBytes(file);
    std::string byHand = typed;
    byHand.insert(byHand.find("Charlie\r\n") + 9, "\t\t\tComment=by hand\r\n");
    WriteObject(file, byHand);
    m_Levels->GetLevel(2)->m_Customers = 5;
    CJString failed;
    ASSERT_FALSE(SaveLevelSetToOwnFile(*m_Levels, failed));
    auto customersSaved = [&] {
        std::unique_ptr<CObject> read(ReadObjectFileWhole(file.c_str()));
        auto* levels = dynamic_cast<CLevelSet*>(read.get());
        return levels ? levels->GetLevel(2)->m_Customers : 0u;
    };

    m_Sorter->RequestClose();
    Frame();
    const CJWindow* box = FindWindow("Error");
    ASSERT_NE(box, nullptr);
    std::string said;
    for (const CJWindow* child = box->GetFirstChild(); child; child = child->GetNextSibling())
        said += child->GetTitle().GetString();
    const_cast<CJWindow*>(box)->Destroy();
    Frame();
    EXPECT_NE(said.find("Levels.Object.txt: it was changed on disk"), std::string::npos) << said;
    EXPECT_EQ(said.find("back in the order"), std::string::npos) << "nothing was moved";
    testing::internal::CaptureStderr();
    SaveLevelsLeftUnsaved();
    const std::string reported = testing::internal::GetCapturedStderr();
    EXPECT_NE(reported.find("Could not save Resources/Levels.Object.txt: it was changed on disk"), std::string::npos)
        << reported;
    EXPECT_NE(reported.find("are lost"), std::string::npos) << "the program ends: nothing is kept for later";
    EXPECT_TRUE(ReadBytes(file) == byHand);
    EXPECT_EQ(m_Levels->GetLevel(2)->m_Customers, 5u);

    WriteObject(file, typed);
    m_Sorter = OpenLevelSorter(m_Levels);
    Frame();
    m_Sorter->RequestClose();
    Frame();
    EXPECT_EQ(FindWindow("Error"), nullptr);
    EXPECT_EQ(customersSaved(), 5u);
    EXPECT_FALSE(m_Levels->HasUnsavedEdits());
}

// Over a level file that cannot be written, or with the editor over the
// played level, the sorter greys its edits and says why; closing it writes
// nothing.
TEST_F(LevelSorter, ASorterThatMayNotChangeTheLevelsSaysWhyAndWritesNothing)
{
    CEditorAbove editor;
    CScopedHook<SetLevelSorterHooks> hooks(&editor);
    const std::string typed = ReadBytes("Resources/Levels.Object.txt");
    for (const char* why : {"Resources/Levels.Object.txt cannot be written", "Played level"}) {
        SCOPED_TRACE(why);
        m_Sorter->Destroy();
        SetFileReadOnly("Resources/Levels.Object.txt", why[0] == 'R');
        editor.playedOpen = why[0] == 'P';
        m_Sorter = OpenLevelSorter(m_Levels);
        Frame();
        bool said = false;
        for (const CJWindow* child = m_Sorter->GetFirstChild(); child; child = child->GetNextSibling())
            said = said || child->GetTitle().Find(why) >= 0;
        EXPECT_TRUE(said);
        EXPECT_FALSE(m_Sorter->GetButton(CLevelSorterWindow::Button::Insert)->IsEnabled());
        // Nor does it open the set's editor, whose edits would be saved.
        EXPECT_FALSE(m_Sorter->GetButton(CLevelSorterWindow::Button::Properties)->IsEnabled());
        ClickRow(1);
        Click(CLevelSorterWindow::Button::Insert);
        Click(CLevelSorterWindow::Button::MoveUp);
        m_Sorter->Properties();
        EXPECT_EQ(editor.opened, nullptr);
        m_Sorter->RequestClose();
        Frame();
        EXPECT_FALSE(SorterIsOpen());
        EXPECT_EQ(Names(*m_Levels), (std::vector<std::string>{"Alpha", "Bravo", "Charlie", "Delta"}));
        EXPECT_EQ(ReadBytes("Resources/Levels.Object.txt"), typed);
        EXPECT_EQ(FindWindow("Error"), nullptr);
        m_Sorter = OpenLevelSorter(m_Levels);
    }
    SetFileReadOnly("Resources/Levels.Object.txt", false);
}

} // namespace

// Edited while the program was closed: what the start did not take would be
// written over by the first save.
TEST_F(LevelSets, AFileTheStartCouldNotReadWholeIsNotWrittenOver)
{
    const std::string file = "Resources/Levels.Object.txt";
    CLevelSet* levels = LoadLevels({LevelText("Alpha"), LevelText("Bravo", "\t\t\tCustomers=\r\n")});
    const std::string hand = ReadBytes(file);
    levels->GetLevel(0)->m_Customers = 9;
    CJString failed;
    EXPECT_FALSE(SaveLevelSetToOwnFile(*levels, failed));
    EXPECT_EQ(failed.GetString(), file);
    EXPECT_NE(GetFailedSaveReason().Find("cannot be read whole"), -1) << GetFailedSaveReason().GetString();
    EXPECT_TRUE(ReadBytes(file) == hand);
    EXPECT_TRUE(levels->HasUnsavedEdits());
    // Mended by hand, the next save writes the waiting edit.
    WriteObject(file, std::string(hand).replace(hand.find("Customers=\r"), 10, "Customers=4"));
    ASSERT_TRUE(SaveLevelSetToOwnFile(*levels, failed)) << GetFailedSaveReason().GetString();
    EXPECT_EQ(levels->GetLevel(1)->m_Customers, 4u);
    EXPECT_FALSE(levels->HasUnsavedEdits());

    // The refusal names the line: in a file of thousands nothing else points
    // at a list given twice or a letter O for a nought. Nobody changed the
    // file since the start, so the remedy is to mend that line.
    const std::string frequencies
        = "\t\t\tBuild Phase Frequency List=Array\r\n\t\t\t{\r\n\t\t\t\tGarage=0.5\r\n\t\t\t}\r\n";
    const std::pair<std::string, std::string> hands[] = {
        {LevelSetText({LevelText("Alpha"), LevelText("Bravo", frequencies + frequencies)}),
         "Build Phase Frequency List=Array"},
        {LevelSetText({LevelText("Alpha"), LevelText("Bravo", "\t\t\tCustomers=4O\r\n")}), "Customers=4O"},
        {LevelSetText({LevelText("Alpha", "\t\t\tCustomer Count=4\r\n"), LevelText("Bravo")}), "Customer Count=4"},
        {LevelSetText({LevelText("Alpha"), LevelText("Bravo")}) + "\t\tLevel=CLevelOptions\r\n", "Level=CLevelOptions"},
    };
    for (const auto& [typed, line] : hands) {
        SCOPED_TRACE(line);
        WriteObject(file, typed);
        InitGeneralObjects();
        levels = GetLevels();
        levels->GetLevel(0)->m_Customers = 9;
        EXPECT_FALSE(SaveLevelSetToOwnFile(*levels, failed));
        EXPECT_EQ(std::string(GetFailedSaveReason().GetString()), NotUnderstood(typed, line));
        EXPECT_EQ(std::string(FailedSaveMessage(failed).GetString()),
                  "Could not save " + file + ": " + NotUnderstood(typed, line)
                      + ". Correct or remove that line in the file and your edits are saved at the next save, close "
                        "or exit; until then they are kept here only.");
        EXPECT_TRUE(ReadBytes(file) == typed);
    }
}
