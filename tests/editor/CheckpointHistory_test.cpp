// The editors' undo history: named checkpoints, the 40 kept, undo and redo,
// change detection through the working copy, the callback slots, and the
// level owning its history.
#include "support/ScopedHooks.h"
#include "support/TestOnlyClasses.h"

#include "editor/CEditorCheckpointHistory.h"
#include "game/world/CLevelOptions.h"
#include "objects/CObject.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class CUndoNote : public CObject {
    OMBRISALT_REFLECTED(CUndoNote, CObject)
public:
    CUndoNote() { InitDeclaredProperties(); }
    ~CUndoNote() override { DestroyDeclaredProperties(); }
    int32_t m_Value = 0;
    CJString m_Text;
};
OMBRISALT_IMPLEMENT_CLASS(CUndoNote, 1.0)
const CTestOnlyClass kUndoNoteIsTestOnly("CUndoNote");
void CUndoNote::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CUndoNote::m_Value, "Value", 0);
    d.Add(&CUndoNote::m_Text, "Text", "");
}

namespace {

int32_t ValueOf(CObject* object)
{
    return static_cast<CUndoNote*>(object)->m_Value;
}

class CheckpointHistory : public ::testing::Test {
protected:
    // A change bracketed as the property rows bracket theirs.
    void Edit(const char* prefix, int32_t value)
    {
        CEditorCheckpoint checkpoint(prefix, CJString("Value"));
        m_Note.m_Value = value;
    }

    CUndoNote m_Note;
    CEditorCheckpointHistory m_History;
    static inline CheckpointHistory* s_Current = nullptr;
    CScopedHook<SetCheckpointHistoryCallback> m_HistorySlot{[] { return &s_Current->m_History; }};
    CScopedHook<SetCheckpointObjectCallback> m_ObjectSlot{[]() -> CObject* { return &s_Current->m_Note; }};
    void SetUp() override { s_Current = this; }
};

TEST_F(CheckpointHistory, ARepeatedNameAddsNothingUntilTheNameIsClearedAndEmptyNamesAlwaysAdd)
{
    m_History.AddCheckpoint(&m_Note, CJString("DraggingCheckpoint"));
    m_Note.m_Value = 1;
    m_History.AddCheckpoint(&m_Note, CJString("draggingcheckpoint"));
    EXPECT_EQ(m_History.GetCount(), 1u) << "the same name in another case is a repeat";
    m_History.ClearLastName();
    m_History.AddCheckpoint(&m_Note, CJString("DraggingCheckpoint"));
    EXPECT_EQ(m_History.GetCount(), 2u);

    m_History.AddCheckpoint(&m_Note, CJString());
    m_History.AddCheckpoint(&m_Note, CJString());
    EXPECT_EQ(m_History.GetCount(), 4u);
    EXPECT_TRUE(m_History.GetLastName().IsEmpty());
}

TEST_F(CheckpointHistory, FortyFiveCheckpointsKeepTheNewestForty)
{
    for (int32_t i = 0; i < 45; ++i) {
        m_Note.m_Value = i;
        m_History.AddCheckpoint(&m_Note, CJString(("Step " + std::to_string(i)).c_str()));
        EXPECT_LE(m_History.GetCount(), kMaxEditorCheckpoints);
    }
    ASSERT_EQ(m_History.GetCount(), 40u);
    EXPECT_EQ(ValueOf(m_History.GetEntry(0)), 44);
    EXPECT_EQ(ValueOf(m_History.GetEntry(39)), 5) << "steps 0 to 4 were dropped";

    // Undo reaches back exactly forty states, then refuses.
    m_Note.m_Value = 100;
    int undone = 0;
    while (m_History.Undo(&m_Note))
        ++undone;
    EXPECT_EQ(undone, 40);
    EXPECT_EQ(m_Note.m_Value, 5);
    EXPECT_FALSE(m_History.CanUndo());
    EXPECT_TRUE(m_History.CanRedo());
}

TEST_F(CheckpointHistory, UndoAndRedoWalkTheStatesAndANewCheckpointDropsTheRedoStates)
{
    EXPECT_FALSE(m_History.Undo(&m_Note));
    EXPECT_FALSE(m_History.Redo(&m_Note));
    Edit("NumberSpinControlCheckpoint", 1);
    Edit("TextPropertyCheckpoint", 2);
    Edit("NumberSpinControlCheckpoint", 3);
    m_Note.m_Text.Set("typed");
    ASSERT_EQ(m_History.GetCount(), 3u);

    ASSERT_TRUE(m_History.Undo(&m_Note));
    EXPECT_EQ(m_Note.m_Value, 2);
    EXPECT_TRUE(m_Note.m_Text.IsEmpty()) << "the whole object returns, not one property";
    ASSERT_TRUE(m_History.Undo(&m_Note));
    EXPECT_EQ(m_Note.m_Value, 1);

    // Undo then redo leaves the object equal to its state before the undo.
    std::unique_ptr<CObject> before(m_Note.Clone());
    ASSERT_TRUE(m_History.Undo(&m_Note));
    EXPECT_EQ(m_Note.m_Value, 0);
    EXPECT_FALSE(m_History.Undo(&m_Note)) << "position = count";
    EXPECT_EQ(m_Note.m_Value, 0);
    ASSERT_TRUE(m_History.Redo(&m_Note));
    EXPECT_TRUE(m_Note.IsEqualTo(before.get()));
    ASSERT_TRUE(m_History.Redo(&m_Note));
    EXPECT_EQ(m_Note.m_Value, 2);
    ASSERT_EQ(m_History.GetUndoPosition(), 1u);

    // Two undos, then a new change: both redo states go.
    ASSERT_TRUE(m_History.Undo(&m_Note));
    ASSERT_EQ(m_History.GetUndoPosition(), 2u);
    Edit("PointPropertyCheckpoint", 7);
    EXPECT_EQ(m_History.GetUndoPosition(), 0u);
    EXPECT_FALSE(m_History.CanRedo());
    EXPECT_EQ(m_History.GetCount(), 2u);
    EXPECT_FALSE(m_History.Redo(&m_Note));
    ASSERT_TRUE(m_History.Undo(&m_Note));
    EXPECT_EQ(m_Note.m_Value, 1);
}

TEST_F(CheckpointHistory, AChangeOutsideABracketBecomesOneUnnamedEntryOnTheNextCheck)
{
    m_History.RecordIfChanged(&m_Note);
    m_History.RecordIfChanged(&m_Note);
    EXPECT_EQ(m_History.GetCount(), 0u) << "nothing changed";

    m_Note.m_Text.Set("typed straight in");
    m_History.RecordIfChanged(&m_Note);
    m_History.RecordIfChanged(&m_Note);
    ASSERT_EQ(m_History.GetCount(), 1u);
    EXPECT_TRUE(m_History.GetLastName().IsEmpty());
    EXPECT_TRUE(static_cast<CUndoNote*>(m_History.GetEntry(0))->m_Text.IsEmpty()) << "the state before the change";

    // A bracketed change renews the working copy: it is recorded once.
    Edit("NumberSpinControlCheckpoint", 4);
    m_History.RecordIfChanged(&m_Note);
    EXPECT_EQ(m_History.GetCount(), 2u);

    // Undo renews it too: the restored state is no change.
    ASSERT_TRUE(m_History.Undo(&m_Note));
    m_History.RecordIfChanged(&m_Note);
    EXPECT_EQ(m_History.GetCount(), 2u);
    EXPECT_EQ(m_History.GetUndoPosition(), 1u);
}

TEST_F(CheckpointHistory, TwoChangesOutsideABracketAreTwoEntriesAndTakeTwoUndos)
{
    m_History.RecordIfChanged(&m_Note);
    m_Note.m_Text.Set("first");
    m_History.RecordIfChanged(&m_Note);
    m_Note.m_Value = 2;
    m_History.RecordIfChanged(&m_Note);
    ASSERT_EQ(m_History.GetCount(), 2u) << "the second change is measured from the first";
    EXPECT_EQ(ValueOf(m_History.GetEntry(0)), 0);
    EXPECT_EQ(static_cast<CUndoNote*>(m_History.GetEntry(0))->m_Text.GetString(), std::string("first"));

    ASSERT_TRUE(m_History.Undo(&m_Note));
    EXPECT_EQ(m_Note.m_Value, 0);
    EXPECT_EQ(m_Note.m_Text.GetString(), std::string("first"));
    ASSERT_TRUE(m_History.Undo(&m_Note));
    EXPECT_TRUE(m_Note.m_Text.IsEmpty());
    EXPECT_FALSE(m_History.CanUndo());
}

TEST_F(CheckpointHistory, WithAnEmptySlotTheBracketsDoNothing)
{
    {
        CScopedHook<SetCheckpointObjectCallback> noObject{nullptr};
        EXPECT_EQ(GetCheckpointObject(), nullptr);
        Edit("NumberSpinControlCheckpoint", 1);
    }
    {
        CScopedHook<SetCheckpointHistoryCallback> noHistory{[]() -> CEditorCheckpointHistory* { return nullptr; }};
        Edit("NumberSpinControlCheckpoint", 2);
    }
    EXPECT_EQ(m_History.GetCount(), 0u);
    EXPECT_EQ(m_History.GetWorkingCopy(), nullptr);
    Edit("NumberSpinControlCheckpoint", 3);
    EXPECT_EQ(m_History.GetCount(), 1u);
    EXPECT_EQ(m_History.GetLastName().Compare("NumberSpinControlCheckpointValue"), 0);
    EXPECT_EQ(ValueOf(m_History.GetEntry(0)), 2);
}

// The program's registration lets a level make its history on first request;
// the history goes with the level.
TEST(LevelCheckpointHistory, TheLevelMakesItsHistoryOnceAndUndoRestoresTheLevel)
{
    auto level = std::make_unique<CLevelOptions>();
    CLevelUndoHistory* made = level->GetUndoHistory();
    auto* history = dynamic_cast<CEditorCheckpointHistory*>(made);
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(level->GetUndoHistory(), made);

    level->m_Customers = 20;
    history->AddCheckpoint(level.get(), CJString("DraggingCheckpoint"));
    level->m_Customers = 30;
    ASSERT_TRUE(history->Undo(level.get()));
    EXPECT_EQ(level->m_Customers, 20u);
    EXPECT_EQ(level->GetUndoHistory(), made) << "restoring the level keeps its history";

    std::unique_ptr<CObject> copy(level->Clone());
    EXPECT_TRUE(level->IsEqualTo(copy.get())) << "the history is no property";

    CScopedHook<SetLevelUndoHistoryFactory> noFactory{nullptr};
    CLevelOptions fresh;
    EXPECT_EQ(fresh.GetUndoHistory(), nullptr);
}

} // namespace
