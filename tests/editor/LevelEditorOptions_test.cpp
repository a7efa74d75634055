// The level editor options as a designer meets them: the defaults with no
// file, the file the object editor's save writes, and a damaged or stale
// file that costs the defaults but never the program.
#include "EditorTestSupport.h"
#include "support/TestSupport.h"

#include "editor/CColorPickerWindow.h"
#include "editor/CLevelEditorOptions.h"
#include "editor/PointAndColorPropertyEditors.h"
#include "game/business/CCustomerArrivals.h"
#include "game/world/CLotPlayfieldLayer.h"
#include "images/CFontList.h"
#include "objects/ObjectFileCallbacks.h"

#include <gtest/gtest.h>

namespace {

class LevelEditorOptions : public CTempFolderTest {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        // Only the names matter: the list finds them without loading them.
        WriteBytes("Fonts/Big Serif.FONT.TXT", "");
        WriteBytes("Fonts/Plain White 12.FONT.TXT", "");
        GetFontList().SetSource(nullptr, "Fonts", 0);
        CLevelEditorOptions::SResetInstanceForTesting();
    }
    void TearDown() override
    {
        CLevelEditorOptions::SResetInstanceForTesting();
        GetFontList().RemoveAll();
        GetFontList().SetSource(nullptr, "Nowhere", 0);
        CTempFolderTest::TearDown();
    }
    static CLevelEditorOptions& Reopened()
    {
        CLevelEditorOptions::SResetInstanceForTesting();
        return CLevelEditorOptions::SGetInstance();
    }
    static std::string OptionsText(const std::string& lines) { return ObjectText("CLevelEditorOptions", lines); }
};

TEST_F(LevelEditorOptions, WithoutAFileEveryOptionHasItsDefaultAndSavingCreatesTheFile)
{
    CLevelEditorOptions& options = CLevelEditorOptions::SGetInstance();
    EXPECT_TRUE(options.m_ShowLotGridConnections);
    EXPECT_TRUE(options.m_SnapToNearestPoint);
    EXPECT_EQ(options.m_SnapDistance, 6u);
    EXPECT_EQ(options.m_EditorFont, GetFontList().Find("Plain White 12"));
    EXPECT_EQ(options.m_DurationToShowSelection, 3.0f);
    EXPECT_TRUE(options.m_EnableUndo);
    EXPECT_TRUE(options.m_AddRotateAndScaleHandles);
    EXPECT_TRUE(options.m_OutlineSelectedItems);
    EXPECT_EQ(options.m_SelectedItemScale, 1.05f);
    EXPECT_EQ(options.m_SelectedItemTint.GetColorWord(), CColor(0, 0, 0, 190).GetColorWord());
    EXPECT_FALSE(options.m_ShowYSort);
    EXPECT_FALSE(options.m_ShowPolygons);
    EXPECT_FALSE(options.m_ShowCustomerSpawnLimiting);
    EXPECT_FALSE(DiskHas("EditorOptions.txt"));

    // The object editor's close saves the edited object to its own file.
    CJString name;
    ASSERT_TRUE(FindObjectFileName(&options, &name));
    EXPECT_STREQ(name.GetString(), "./EditorOptions.txt");
    EXPECT_TRUE(CanSaveObject(&options));
    ASSERT_TRUE(SaveObjectToOwnFile(&options));
    EXPECT_TRUE(DiskHas("EditorOptions.txt"));

    // Another object of the class is not the options: no file for it.
    CLevelEditorOptions other;
    EXPECT_FALSE(FindObjectFileName(&other, &name));
}

TEST_F(LevelEditorOptions, SavedChangesReadBackAndAnUnsavedToggleIsLost)
{
    CLevelEditorOptions& options = CLevelEditorOptions::SGetInstance();
    options.m_EditorFont = GetFontList().Find("Big Serif");
    options.m_DurationToShowSelection = -1.0f; // "Forever"
    options.m_SelectedItemTint = CColor(10, 20, 30, 40);
    options.m_SelectedItemScale = 1.25f;
    options.m_ShowPolygons = true;
    options.m_ShowCustomerSpawnLimiting = true;
    ASSERT_TRUE(SaveObjectToOwnFile(&options));
    EXPECT_NE(ReadBytes("EditorOptions.txt").find("Show Polgons"), std::string::npos);

    CLevelEditorOptions& reread = Reopened();
    EXPECT_EQ(reread.m_EditorFont, GetFontList().Find("Big Serif"));
    EXPECT_EQ(reread.m_DurationToShowSelection, -1.0f);
    EXPECT_EQ(reread.m_SelectedItemTint.GetColorWord(), CColor(10, 20, 30, 40).GetColorWord());
    EXPECT_EQ(reread.m_SelectedItemScale, 1.25f);
    EXPECT_TRUE(reread.m_ShowPolygons);
    EXPECT_TRUE(IsShowCustomerSpawnLimitingOn());

    // The 'X' key's toggle is kept in memory only until the next save.
    reread.m_AddRotateAndScaleHandles = !reread.m_AddRotateAndScaleHandles;
    EXPECT_TRUE(Reopened().m_AddRotateAndScaleHandles);
}

TEST_F(LevelEditorOptions, AFontTheDataNoLongerHasReadsAsTheDefaultFont)
{
    WriteBytes("EditorOptions.txt", OptionsText("Editor Font=Gone Gothic\nShow Y Sort=1\n"));
    CLevelEditorOptions& options = CLevelEditorOptions::SGetInstance();
    EXPECT_EQ(options.m_EditorFont, GetFontList().Find("Plain White 12"));
    EXPECT_TRUE(options.m_ShowYSort);
}

TEST_F(LevelEditorOptions, ADamagedFileLeavesEveryDefaultAndTheProgramRunning)
{
    // A nested block that never closes, after a value that did read.
    WriteBytes("EditorOptions.txt", "CLevelEditorOptions\r\n{\r\n\tShow Y Sort=1\r\n\tOops\r\n\t{\r\n");
    CLevelEditorOptions& options = CLevelEditorOptions::SGetInstance();
    EXPECT_FALSE(options.m_ShowYSort);
    EXPECT_TRUE(options.m_EnableUndo);

    WriteBytes("EditorOptions.txt", "CNoSuchClassAtAll\r\n{\r\n}\r\n");
    EXPECT_FALSE(Reopened().m_ShowYSort);
}

TEST_F(LevelEditorOptions, WithoutTheDefaultFontTheEditorHasNoFont)
{
    GetFontList().RemoveAll();
    GetFontList().SetSource(nullptr, "Nowhere", 0);
    CLevelEditorOptions& options = Reopened();
    EXPECT_EQ(options.GetEditorFont(), nullptr);
    ASSERT_TRUE(SaveObjectToOwnFile(&options));
    EXPECT_EQ(Reopened().GetEditorFont(), nullptr);
}

TEST_F(LevelEditorOptions, TheLotGridAndSpawnLimitDrawingAskTheOptions)
{
    // The test program registers as the program does.
    WriteBytes("EditorOptions.txt",
               OptionsText("Show Lot Grid Connections=0\nShow Customer Spawn Limiting=1\n"));
    const LotGridConnectionsQuery grid = SetLotGridConnectionsQuery(nullptr);
    const SpawnLimitingQuery spawn = SetSpawnLimitingQuery(nullptr);
    ASSERT_NE(grid, nullptr);
    ASSERT_NE(spawn, nullptr);
    EXPECT_FALSE(grid());
    EXPECT_TRUE(spawn());
    SetLotGridConnectionsQuery(grid);
    SetSpawnLimitingQuery(spawn);
}

} // namespace

// ---- Through the object editor ----------------------------------------------

namespace {

class LevelEditorOptionsEditing : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        if (IsSkipped())
            return;
        WriteBytes("Fonts/Plain White 12.FONT.TXT", "");
        GetFontList().SetSource(nullptr, "Fonts", 0);
        CLevelEditorOptions::SResetInstanceForTesting();
    }
    void TearDown() override
    {
        EditorTest::TearDown();
        CLevelEditorOptions::SResetInstanceForTesting();
        GetFontList().RemoveAll();
        GetFontList().SetSource(nullptr, "Nowhere", 0);
    }
};

TEST_F(LevelEditorOptionsEditing, TheTintPickedInTheColourPickerIsSavedWhenTheEditorCloses)
{
    CLevelEditorOptions& options = CLevelEditorOptions::SGetInstance();
    CRecordingCheckpoints checkpoints(&options);
    ASSERT_NE(Open(&options), nullptr);
    const CProperty* tint = options.GetClassInfo()->FindProperty("Selected Item Tint");
    ASSERT_NE(tint, nullptr);
    auto* row = dynamic_cast<CColorPropertyEditor*>(FindPropertyEditor(&options, tint, 0));
    ASSERT_NE(row, nullptr);
    ASSERT_NE(row->GetSpot(), nullptr);

    // On the "Selected" page the spot opens the picker; a press on the
    // gradient's top row is grey.
    GetCurrentObjectEditor()->GetTabControl()->SelectPage(row->GetCategoryWindow());
    Frame();
    Click(*row->GetSpot());
    auto* picker = dynamic_cast<CColorPickerWindow*>(row->GetPicker());
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(m_Screen->GetFirstChild(), picker);
    const CRect& gradient = picker->GetGradient()->GetScreenRect();
    Click(CPoint{gradient.left + 200, gradient.top});
    EXPECT_EQ(options.m_SelectedItemTint.GetColorWord(), CColor(127, 127, 127, 255).GetColorWord());
    EXPECT_EQ(checkpoints.LastName(), "ColorPropertyCheckpoint" + std::string(tint->GetNameString().GetString()));

    // Closing the editor saves the options to their own file and the
    // picker goes with the row.
    EXPECT_FALSE(DiskHas("EditorOptions.txt"));
    OpenObjectEditor(nullptr, nullptr);
    Frame();
    EXPECT_FALSE(InTree(picker));
    ASSERT_TRUE(DiskHas("EditorOptions.txt"));
    EXPECT_NE(ReadBytes("EditorOptions.txt").find("Selected Item Tint=127,127,127,255"), std::string::npos);
}

} // namespace
