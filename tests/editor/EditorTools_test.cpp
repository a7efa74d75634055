// The level editor's rotate-and-scale tool and its tool palette, driven
// through the screen window over a played level of plain boxes, with the
// demo data's handle options, and over the demo data's stored levels.
#include "editor/EditorTestSupport.h"
#include "support/ScopedHooks.h"
#include "support/TestOnlyClasses.h"
#include "support/TestSupport.h"
#include "ui/MenuTestSupport.h"

#include "editor/CEditorToolPalette.h"
#include "editor/CLevelEditorOptions.h"
#include "editor/CLevelEditorWindow.h"
#include "editor/CObjectEditor.h"
#include "editor/CRotateAndScaleTool.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeSlot.h"
#include "game/scripting/CSprite.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CLevelSorter.h"
#include "game/world/CPeriod.h"
#include "game/world/CPlayfield.h"
#include "game/world/CTutorial.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "objects/CObjectModelHost.h"
#include "objects/CPropertyDeclarer.h"
#include "objects/CStringProperty.h"
#include "sequences/CSequenceList.h"
#include "shell/CKeyboardState.h"
#include "ui/CJButton.h"
#include "ui/CJCheckBox.h"
#include "ui/CJMenu.h"
#include "ui/CScreenWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// A sprite showing a solid square of its own size (0: no picture at all).
class CToolBoxSprite : public CSprite {
    OMBRISALT_REFLECTED(CToolBoxSprite, CSprite)
public:
    CToolBoxSprite() { InitDeclaredProperties(); }
    ~CToolBoxSprite() override { DestroyDeclaredProperties(); }

    CFrame* GetCurrentFrame() override
    {
        if (m_Size <= 0)
            return nullptr;
        if (!m_Frame) {
            m_Frame = CFrame::MakeOwned(uint32_t(m_Size), uint32_t(m_Size), 32);
            for (uint32_t y = 0; y < uint32_t(m_Size); ++y)
                for (uint32_t x = 0; x < uint32_t(m_Size); ++x)
                    reinterpret_cast<uint32_t*>(m_Frame->Row(y))[x] = 0xFF808080u;
        }
        return m_Frame.get();
    }

    int32_t m_Size = 20;
    CJString m_Tag; // the sprite's own name is not copied with the level

private:
    std::unique_ptr<CFrame> m_Frame;
};

OMBRISALT_IMPLEMENT_CLASS(CToolBoxSprite, 1.0)
const CTestOnlyClass kToolBoxSpriteIsTestOnly("CToolBoxSprite");
void CToolBoxSprite::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CToolBoxSprite::m_Size, "Box Size", 20);
    d.Add(&CToolBoxSprite::m_Tag, "Tag", "");
}

namespace {

constexpr float kQuarterTurn = 1.5707964f;

std::string DataResources()
{
    return std::string(OMBRISALT_SOURCE_DIR) + "/data/Data/Resources";
}

class ToolInput : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        if (IsSkipped())
            return;
        m_SavedHandlesOption = Options().m_AddRotateAndScaleHandles;
        Options().m_AddRotateAndScaleHandles = true;
        ForgetRotateAndScaleToolOptions();
    }
    void TearDown() override
    {
        if (CLevelEditorWindow* editor = GetLevelEditorWindow())
            editor->Destroy();
        OpenObjectEditor(nullptr, nullptr);
        Options().m_AddRotateAndScaleHandles = m_SavedHandlesOption;
        ForgetRotateAndScaleToolOptions();
        CKeyboardState::SGetInstance().ResetForTesting();
        ScreenTest::TearDown();
    }
    static CLevelEditorOptions& Options() { return CLevelEditorOptions::SGetInstance(); }
    static std::vector<CObjectFileArray*> DataLists()
    {
        return {&GetBuildPhaseList(), &GetPeriodList(),      &GetBackgroundStyleSheetList(),
                &GetUpgradeList(),    &GetUpgradeSlotList(), &GetCustomerStyleSheetList(),
                &GetTutorialList(),   &GetGameStateList()};
    }
    static void UseData(const std::string& resources, const std::string& sequences)
    {
        GetSequenceList().SetSource(nullptr, sequences.c_str(), 0);
        for (CObjectFileArray* list : DataLists())
            list->SetSource(nullptr, resources.c_str(), 0);
        SetCurrentLevelIndex(0);
        InitGeneralObjects();
        GetGeneralObjects().SetSource(nullptr, resources.c_str(), 0);
    }
    static void ForgetData()
    {
        GetLevelHolder().Release();
        SetCurrentLevelIndex(0);
        for (CObjectFileArray* list : DataLists())
            list->SetSource(nullptr, "Nowhere", 0);
        GetGeneralObjects().SetSource("General Objects", "Nowhere", 0);
        GetSequenceList().SetSource(nullptr, "Nowhere", 0);
    }
    void Press(CPoint p) { Step(p, true); }
    void Release(CPoint p) { Step(p, false); }
    void Frame()
    {
        Advance(16);
        m_Screen->Update(0.016f);
    }
    static void Key(uint32_t scan, bool down)
    {
        if (down)
            CKeyboardState::SGetInstance().OnKeyDown(scan);
        else
            CKeyboardState::SGetInstance().OnKeyUp(scan);
    }
    static void EverythingEditable()
    {
        CPlayfield* playfield = GetCurrentPlayfield();
        for (uint32_t i = 0; playfield && i < playfield->GetLayerCount(); ++i) {
            playfield->GetLayer(i)->m_VisibleInEditor = true;
            playfield->GetLayer(i)->m_SelectableInEditor = true;
        }
    }

    CScopedHook<SetCheckpointHistoryCallback> m_HistorySlot{nullptr};
    CScopedHook<SetCheckpointObjectCallback> m_ObjectSlot{nullptr};
    bool m_SavedHandlesOption = true;
};

// A played level of boxes on "Back" and "Front", the handle options of the
// demo data, the editor open in mode 1.
class RotateAndScaleTool : public ToolInput {
protected:
    void SetUp() override
    {
        ToolInput::SetUp();
        if (IsSkipped())
            return;
        // Only the handle options among the general objects; the sequences
        // they name from the demo data.
        std::filesystem::create_directory("Resources");
        std::filesystem::copy_file(DataResources() + "/Rotate And Scale Tool Options.Object.txt",
                                   "Resources/Rotate And Scale Tool Options.Object.txt");
        UseData("Resources", DataResources() + "/Sequences");
        CLevelOptions level;
        CPlayfield& playfield = level.GetPlayfield();
        playfield.DeleteAllLayers();
        playfield.FindOrAddLayer("Back")->AddSprite(Box(400, 400, "far"));
        CPlayfieldLayer* front = playfield.FindOrAddLayer("Front");
        front->AddSprite(Box(100, 100, "a"));
        front->AddSprite(Box(124, 80, "b"));
        front->AddSprite(Box(300, 300, "small", 4));
        front->AddSprite(Box(500, 200, "dot", 0));
        GetLevelHolder().HoldCopyOf(&level);
        ASSERT_NE(OpenLevelEditor(CLevelEditorWindow::kModePlayedLevel), nullptr);
        m_Editor = GetLevelEditorWindow();
        m_Tool = dynamic_cast<CRotateAndScaleTool*>(m_Editor->GetDefaultTool());
        ASSERT_NE(m_Tool, nullptr);
        EverythingEditable();
        Frame();
    }
    void TearDown() override
    {
        ToolInput::TearDown();
        ForgetData();
    }
    static CToolBoxSprite* Box(float x, float y, const char* name, int32_t size = 20)
    {
        auto* box = new CToolBoxSprite;
        box->SetPosition(x, y);
        box->m_Tag = name;
        box->m_Size = size;
        return box;
    }
    static CSprite* Sprite(const char* name)
    {
        CPlayfield* playfield = GetCurrentPlayfield();
        for (uint32_t i = 0; i < playfield->GetLayerCount(); ++i)
            for (uint32_t s = 0; s < playfield->GetLayer(i)->GetSpriteCount(); ++s)
                if (auto* box = dynamic_cast<CToolBoxSprite*>(playfield->GetLayer(i)->GetSprite(s));
                    box && box->m_Tag.Compare(name) == 0)
                    return box;
        return nullptr;
    }
    void Select(const char* name) { m_Editor->SelectObject(Sprite(name), CJString("Front"), false); }
    CPoint HandlePoint(int32_t handle) const
    {
        const CFPoint at = m_Tool->GetHandlePosition(handle);
        return CPoint{int32_t(std::lround(at.x)), int32_t(std::lround(at.y))};
    }
    uint32_t DrawnPixels()
    {
        auto canvas = CFrame::MakeOwned(800, 600, 32);
        m_Tool->Draw(*canvas);
        uint32_t drawn = 0;
        for (uint32_t y = 0; y < 600; ++y)
            for (uint32_t x = 0; x < 800; ++x)
                drawn += reinterpret_cast<const uint32_t*>(canvas->Row(y))[x] != 0;
        return drawn;
    }

    CLevelEditorWindow* m_Editor = nullptr;
    CRotateAndScaleTool* m_Tool = nullptr;
};

TEST_F(RotateAndScaleTool, TheFrameFollowsTheSelectionAndTheOptionsNameEveryHandle)
{
    CRotateAndScaleToolOptions* options = GetRotateAndScaleToolOptions();
    ASSERT_NE(options, nullptr) << "the demo data's \"Rotate And Scale Tool Options\"";
    ASSERT_EQ(options->m_HandleOptions.GetCount(), uint32_t(CRotateAndScaleTool::kHandleCount));
    EXPECT_STREQ(GetSequenceList().GetItemName(options->GetHandle(CRotateAndScaleTool::kRotator)->m_DraggingCursor),
                 "Rotating Cursor");
    EXPECT_EQ(options->GetHandle(CRotateAndScaleTool::kOrigin)->m_DraggingCursor, 0) << "the origin never drags";

    Select("a");
    EXPECT_EQ(m_Tool->GetFrameLeft(), 100.0f);
    EXPECT_EQ(m_Tool->GetFrameBottom(), 120.0f);
    EXPECT_EQ(m_Tool->GetCentre(), (CFPoint{110.0f, 110.0f}));
    EXPECT_EQ(m_Tool->GetHandlePosition(CRotateAndScaleTool::kTopLeft), (CFPoint{94.0f, 94.0f}));
    EXPECT_EQ(m_Tool->GetHandlePosition(CRotateAndScaleTool::kRight), (CFPoint{126.0f, 110.0f}));
    EXPECT_EQ(m_Tool->GetHandlePosition(CRotateAndScaleTool::kRotator), (CFPoint{110.0f, 79.0f}));
    EXPECT_GT(DrawnPixels(), 0u);
}

TEST_F(RotateAndScaleTool, PicksWithinFivePixelsAndATieGoesToTheLaterHandle)
{
    Select("a");
    CFPoint offset;
    EXPECT_EQ(m_Tool->PickHandle(CFPoint{97.0f, 98.0f}, offset), CRotateAndScaleTool::kTopLeft) << "3, 4: 5 pixels";
    EXPECT_EQ(offset, (CFPoint{-3.0f, -4.0f}));
    EXPECT_EQ(m_Tool->PickHandle(CFPoint{100.0f, 94.0f}, offset), -1) << "6 pixels";

    // The small box's frame is 4 wide: "Top Left" and "Top" stand 8 apart.
    Select("small");
    const CFPoint topLeft = m_Tool->GetHandlePosition(CRotateAndScaleTool::kTopLeft);
    EXPECT_EQ(m_Tool->PickHandle(CFPoint{topLeft.x + 4.0f, topLeft.y}, offset), CRotateAndScaleTool::kTop);
}

TEST_F(RotateAndScaleTool, TheRotatorTurnedAQuarterClockwiseTurnsTheSelectionByHalfPi)
{
    Select("a");
    Press(HandlePoint(CRotateAndScaleTool::kRotator));
    EXPECT_EQ(m_Tool->GetActiveHandle(), CRotateAndScaleTool::kRotator);
    Press(CPoint{141, 110});
    Release(CPoint{141, 110});
    EXPECT_EQ(m_Tool->GetActiveHandle(), -1);

    EXPECT_NEAR(Sprite("a")->GetAngle(), kQuarterTurn, 1e-5f);
    EXPECT_NEAR(m_Tool->GetAngle(), kQuarterTurn, 1e-5f);
    EXPECT_NEAR(Sprite("a")->GetPosition().x, 120.0f, 1e-3f) << "turned about the frame's centre";
    EXPECT_NEAR(Sprite("a")->GetPosition().y, 100.0f, 1e-3f);
    EXPECT_EQ(m_Editor->GetSelectedCount(), 1u) << "the handle took the press, not the selection";
    EXPECT_EQ(Sprite("far")->GetAngle(), 0.0f);

    Select("far");
    EXPECT_EQ(m_Tool->GetAngle(), 0.0f) << "a new selection starts unturned";
}

TEST_F(RotateAndScaleTool, CornerAndSideHandlesScaleAboutTheCentre)
{
    Select("a");
    // "Bottom Right" (126, 126) taken twice as far from the centre (110, 110).
    Press(HandlePoint(CRotateAndScaleTool::kBottomRight));
    Press(CPoint{142, 142});
    EXPECT_NEAR(Sprite("a")->GetScale().x, 2.0f, 1e-4f);
    EXPECT_NEAR(Sprite("a")->GetScale().y, 2.0f, 1e-4f);
    EXPECT_NEAR(m_Tool->GetFrameRight(), 130.0f, 1e-4f);
    EXPECT_NEAR(Sprite("a")->GetPosition().x, 90.0f, 1e-4f) << "scaled about the centre";
    Release(CPoint{142, 142});

    // "Right" stretches sideways only.
    Press(HandlePoint(CRotateAndScaleTool::kRight));
    Press(CPoint{110 + 20, 110});
    Release(CPoint{110 + 20, 110});
    EXPECT_NEAR(Sprite("a")->GetScale().x, 2.0f * 20.0f / 26.0f, 1e-4f);
    EXPECT_NEAR(Sprite("a")->GetScale().y, 2.0f, 1e-4f);
}

TEST_F(RotateAndScaleTool, AFrameWithoutExtentScalesNothing)
{
    Select("dot");
    ASSERT_EQ(m_Tool->GetFrameLeft(), m_Tool->GetFrameRight());
    const CFPoint before = Sprite("dot")->GetPosition();
    const CFPoint handle = m_Tool->GetHandlePosition(CRotateAndScaleTool::kTopLeft);
    CCursorSequence* cursor = nullptr;
    const CPoint start{int32_t(handle.x), int32_t(handle.y)};
    EXPECT_TRUE(m_Tool->OnMouseDrag(start, CPoint{0, 0}, 1, cursor));
    EXPECT_TRUE(m_Tool->OnMouseDrag(CPoint{start.x - 30, start.y - 30}, CPoint{-30, -30}, 1, cursor));
    m_Tool->OnMouseRelease(start, 1);
    EXPECT_EQ(Sprite("dot")->GetPosition(), before);
    EXPECT_EQ(Sprite("dot")->GetScale(), (CFPoint{1.0f, 1.0f}));
}

TEST_F(RotateAndScaleTool, ControlWheelTurnsFiveDegreesAClickAndWithShiftScales)
{
    EXPECT_FALSE(m_Editor->OnMouseWheel(1, CPoint{10, 10})) << "nothing selected";
    Select("a");
    EXPECT_FALSE(m_Editor->OnMouseWheel(1, CPoint{10, 10})) << "no Control";

    Key(kScanControlRight, true);
    EXPECT_TRUE(m_Editor->OnMouseWheel(2, CPoint{10, 10}));
    EXPECT_NEAR(Sprite("a")->GetAngle(), 2 * 0.08726646f, 1e-6f);

    Key(kScanShiftLeft, true);
    EXPECT_TRUE(m_Editor->OnMouseWheel(1, CPoint{10, 10}));
    EXPECT_FLOAT_EQ(Sprite("a")->GetScale().x, 1.05f);
    for (int i = 0; i < 2; ++i)
        m_Editor->OnMouseWheel(1, CPoint{10, 10});
    EXPECT_TRUE(m_Editor->OnMouseWheel(-3, CPoint{10, 10}));
    EXPECT_NEAR(Sprite("a")->GetScale().x, 1.0f, 1e-5f) << "three up and three down";
    EXPECT_NEAR(Sprite("a")->GetAngle(), 2 * 0.08726646f, 1e-6f) << "Shift scales only";
}

TEST_F(RotateAndScaleTool, WithTheHandlesOptionOffAPressOnAHandleSelectsAsUsualAndTheWheelStillWorks)
{
    Select("a");
    const CPoint overB = HandlePoint(CRotateAndScaleTool::kTopRight); // (126, 94) lies on "b"
    Options().m_AddRotateAndScaleHandles = false;
    EXPECT_EQ(DrawnPixels(), 0u);
    Press(overB);
    Release(overB);
    ASSERT_EQ(m_Editor->GetSelectedCount(), 1u);
    EXPECT_EQ(m_Editor->GetSelectedObject(0), Sprite("b"));
    EXPECT_EQ(Sprite("a")->GetScale(), (CFPoint{1.0f, 1.0f}));

    Key(kScanControlLeft, true);
    EXPECT_TRUE(m_Editor->OnMouseWheel(1, CPoint{10, 10}));
    EXPECT_NEAR(Sprite("b")->GetAngle(), 0.08726646f, 1e-6f);

    // With it on, the same press grabs the handle instead.
    Options().m_AddRotateAndScaleHandles = true;
    Select("a");
    Press(overB);
    EXPECT_EQ(m_Tool->GetActiveHandle(), CRotateAndScaleTool::kTopRight);
    Release(overB);
    EXPECT_EQ(m_Editor->GetSelectedObject(0), Sprite("a"));
}

TEST_F(RotateAndScaleTool, UndoAndRedoFromThePaletteCloseTheObjectEditorAndClearTheSelection)
{
    auto* palette = dynamic_cast<CEditorToolPalette*>(m_Editor->GetToolPalette());
    ASSERT_NE(palette, nullptr);
    Select("a");
    Key(kScanControlLeft, true);
    m_Editor->OnMouseWheel(1, CPoint{10, 10});
    Key(kScanControlLeft, false);
    Frame();
    ASSERT_TRUE(palette->CanUndo());

    OpenObjectEditor(Sprite("a"), nullptr);
    ASSERT_NE(GetCurrentObjectEditor(), nullptr);
    palette->Undo();
    EXPECT_EQ(GetCurrentObjectEditor(), nullptr);
    EXPECT_EQ(m_Editor->GetSelectedCount(), 0u);
    EXPECT_EQ(Sprite("a")->GetAngle(), 0.0f);
    ASSERT_TRUE(palette->CanRedo());

    Select("a");
    OpenObjectEditor(Sprite("a"), nullptr);
    palette->Redo();
    EXPECT_EQ(GetCurrentObjectEditor(), nullptr);
    EXPECT_EQ(m_Editor->GetSelectedCount(), 0u);
    EXPECT_NEAR(Sprite("a")->GetAngle(), 0.08726646f, 1e-6f);
}

// ---- Palette --------------------------------------------------------------

std::vector<std::string> MenuEntries(CEditorToolPalette& palette, const char* title)
{
    std::vector<std::string> entries;
    for (CJWindow* item = palette.GetMenuBar()->GetFirstChild(); item; item = item->GetNextSibling()) {
        auto* menuItem = dynamic_cast<CJMenuItem*>(item);
        if (!menuItem || item->GetTitle().Compare(title) != 0 || !menuItem->GetSubMenu())
            continue;
        for (CJWindow* entry = menuItem->GetSubMenu()->GetFirstChild(); entry; entry = entry->GetNextSibling()) {
            auto* entryItem = dynamic_cast<CJMenuItem*>(entry);
            entries.push_back(entryItem && entryItem->IsSeparator() ? "-" : entry->GetTitle().GetString());
        }
    }
    return entries;
}

TEST_F(RotateAndScaleTool, InThePlayedLevelModeThePaletteGreysTheLevelStepsAndTheyDoNothing)
{
    auto* palette = dynamic_cast<CEditorToolPalette*>(m_Editor->GetToolPalette());
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->GetRect().left, 0);
    Frame();
    EXPECT_FALSE(palette->GetPreviousButton()->IsEnabled());
    EXPECT_FALSE(palette->GetNextButton()->IsEnabled());
    const uint32_t index = GetCurrentLevelIndex();
    palette->NextLevel();
    palette->PreviousLevel();
    EXPECT_EQ(GetCurrentLevelIndex(), index);
    EXPECT_EQ(palette->GetLevelButton()->GetTitleAsInt(), int32_t(index) + 1);

    // The selection's entries grey with an empty selection.
    EXPECT_FALSE(palette->HasFirstSelected());
    Select("a");
    EXPECT_TRUE(palette->HasFirstSelected());
}

TEST_F(RotateAndScaleTool, TheFileMenuListsTheBrowsersOnlyUnderTheBrowsersOption)
{
    auto* palette = dynamic_cast<CEditorToolPalette*>(m_Editor->GetToolPalette());
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(MenuEntries(*palette, "File"), (std::vector<std::string>{"Sprite Palette", "-", "Exit"}));
    EXPECT_EQ(MenuEntries(*palette, "Align").size(), 7u);

    m_Editor->Destroy();
    COptionHost host;
    host.options = {"Browsers"};
    CScopedHook<CObjectModelHost::SetInstance> hostSlot(&host);
    ASSERT_NE(OpenLevelEditor(CLevelEditorWindow::kModePlayedLevel), nullptr);
    m_Editor = GetLevelEditorWindow();
    palette = dynamic_cast<CEditorToolPalette*>(m_Editor->GetToolPalette());
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(MenuEntries(*palette, "File"),
              (std::vector<std::string>{"Asset Dependency Browser", "List Browser", "Image Browser", "Foo Editor", "-",
                                        "Sprite Palette", "-", "Exit"}));
    m_Editor->Destroy();
}

TEST_F(RotateAndScaleTool, TheLayerPanelsBoxesTakeLayersOutOfPickingAndSelectAll)
{
    auto* palette = dynamic_cast<CEditorToolPalette*>(m_Editor->GetToolPalette());
    ASSERT_NE(palette, nullptr);
    palette->MoveTo(400, 420);
    Frame();
    // Last layer first: "Front" with its two boxes, then "Back", in rows.
    std::vector<CJWindow*> controls;
    for (CJWindow* child = palette->GetLayerPanel()->GetFirstChild(); child; child = child->GetNextSibling())
        controls.push_back(child);
    std::sort(controls.begin(), controls.end(), [](const CJWindow* a, const CJWindow* b) {
        const CRect& ra = a->GetScreenRect();
        const CRect& rb = b->GetScreenRect();
        return ra.top != rb.top ? ra.top < rb.top : ra.left < rb.left;
    });
    std::vector<std::string> rows;
    std::vector<CJImageCheckBox*> boxes;
    for (CJWindow* control : controls) {
        if (auto* box = dynamic_cast<CJImageCheckBox*>(control)) {
            boxes.push_back(box);
            rows.push_back(box->GetToolTipText().GetString());
        } else {
            rows.push_back(control->GetTitle().GetString());
        }
    }
    EXPECT_EQ(rows, (std::vector<std::string>{"Front", "View Front", "Edit Front", "Back", "View Back", "Edit Back"}));
    ASSERT_EQ(boxes.size(), 4u);

    // Each click sets the flag to the box's new state.
    CPlayfieldLayer* front = GetCurrentPlayfield()->FindLayer("Front");
    const int32_t wasChecked = boxes[1]->IsChecked();
    Click(Centre(*boxes[1]));
    ASSERT_NE(boxes[1]->IsChecked(), wasChecked);
    if (boxes[1]->IsChecked())
        Click(Centre(*boxes[1]));
    EXPECT_FALSE(front->m_SelectableInEditor);
    m_Editor->SelectAll();
    ASSERT_EQ(m_Editor->GetSelectedCount(), 1u);
    EXPECT_EQ(m_Editor->GetSelectedObject(0), Sprite("far"));
    Click(CPoint{110, 110});
    EXPECT_NE(m_Editor->GetSelectedObject(0), Sprite("a")) << "not pickable either";

    Click(Centre(*boxes[1]));
    EXPECT_TRUE(front->m_SelectableInEditor);
    m_Editor->SelectAll();
    EXPECT_EQ(m_Editor->GetSelectedCount(), 5u);

    Click(Centre(*boxes[0]));
    EXPECT_NE(front->m_VisibleInEditor, true) << "the View box of the same row";
}

// A stored set of three small levels, edited in mode 0.
class StoredLevelPalette : public ToolInput {
protected:
    void SetUp() override
    {
        ToolInput::SetUp();
        if (IsSkipped())
            return;
        std::filesystem::create_directory("Resources");
        // Each with a layer, so that opening adds none of the game's own.
        const std::string playfield = "\t\t\tPlayfield=CPlayfield\r\n\t\t\t{\r\n\t\t\t\tLayers List=Array\r\n"
                                      "\t\t\t\t{\r\n\t\t\t\t\tLayers=CPlayfieldLayer\r\n\t\t\t\t\t{\r\n"
                                      "\t\t\t\t\t\tName=Trees\r\n\t\t\t\t\t\tSprites List=Array\r\n\t\t\t\t\t\t{\r\n"
                                      "\t\t\t\t\t\t\tSprites=CSprite\r\n\t\t\t\t\t\t\t{\r\n"
                                      "\t\t\t\t\t\t\t\tPosition=100,100\r\n\t\t\t\t\t\t\t}\r\n\t\t\t\t\t\t}\r\n"
                                      "\t\t\t\t\t}\r\n\t\t\t\t}\r\n\t\t\t}\r\n";
        // Two has more layers: its panel makes the palette taller.
        std::string props = playfield;
        props.replace(props.find("Name=Trees"), 10, "Name=Props");
        for (const char* name : {"Sky", "Hills", "Road", "Walk", "Fence", "Cars"})
            props.insert(props.size() - 13, std::string("\t\t\t\t\tLayers=CPlayfieldLayer\r\n\t\t\t\t\t{\r\n")
                                                 + "\t\t\t\t\t\tName=" + name + "\r\n\t\t\t\t\t}\r\n");
        WriteBytes(
            "Resources/Levels.Object.txt",
            LevelSetText({LevelText("One", playfield), LevelText("Two", props), LevelText("Three", playfield)}));
        UseData("Resources", DataResources() + "/Sequences");
    }
    void TearDown() override
    {
        ToolInput::TearDown();
        ForgetData();
    }
};

TEST_F(StoredLevelPalette, LevelStepsGreyAtTheEndsAndStepTheStoredLevel)
{
    CLevelEditorWindow* editor = OpenLevelEditor(CLevelEditorWindow::kModeStoredLevel);
    ASSERT_NE(editor, nullptr);
    auto* palette = dynamic_cast<CEditorToolPalette*>(editor->GetToolPalette());
    ASSERT_NE(palette, nullptr);
    const uint32_t count = GetLevels()->GetCount();
    ASSERT_GE(count, 2u);
    Frame();
    EXPECT_FALSE(palette->GetPreviousButton()->IsEnabled()) << "the first level";
    EXPECT_TRUE(palette->GetNextButton()->IsEnabled());
    EXPECT_EQ(palette->GetLevelButton()->GetTitleAsInt(), 1);

    // A step leaves the old level's sprites out of the selection.
    CPlayfieldLayer* trees = GetCurrentPlayfield()->FindLayer("Trees");
    ASSERT_NE(trees->GetSprite(0), nullptr);
    editor->SelectObject(trees->GetSprite(0), CJString("Trees"), false);
    palette->MoveTo(300, 200);
    Frame();
    for (uint32_t i = 1; i < count; ++i)
        Click(Centre(*palette->GetNextButton()));
    EXPECT_EQ(GetCurrentLevelIndex(), count - 1);
    EXPECT_EQ(editor->GetSelectedCount(), 0u);
    EXPECT_EQ(palette->GetLevelButton()->GetTitleAsInt(), int32_t(count));
    EXPECT_FALSE(palette->GetNextButton()->IsEnabled()) << "the last level";
    EXPECT_TRUE(palette->GetPreviousButton()->IsEnabled());
    palette->NextLevel();
    EXPECT_EQ(GetCurrentLevelIndex(), count - 1);

    // Standing on the screen's bottom the palette grows for Two's layers
    // without moving: a second click at the same point steps again.
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    palette->MoveTo(300, screen->GetHeight() - palette->GetHeight());
    const CPoint previous = Centre(*palette->GetPreviousButton());
    Click(previous);
    EXPECT_EQ(GetCurrentLevelIndex(), count - 2);
    // The layer panel follows: Two's own layers and boxes.
    std::vector<std::string> rows;
    for (CJWindow* child = palette->GetLayerPanel()->GetFirstChild(); child; child = child->GetNextSibling()) {
        auto* box = dynamic_cast<CJImageCheckBox*>(child);
        rows.push_back((box ? box->GetToolTipText() : child->GetTitle()).GetString());
    }
    EXPECT_EQ(rows.size(), 21u);
    EXPECT_NE(std::find(rows.begin(), rows.end(), "Edit Props"), rows.end());
    EXPECT_NE(std::find(rows.begin(), rows.end(), "View Props"), rows.end());
    Click(previous);
    EXPECT_EQ(GetCurrentLevelIndex(), count - 3);

    // The level button opens the sorter, modal, in front of the editor's own windows.
    Click(Centre(*palette->GetLevelButton()));
    auto* sorter = dynamic_cast<CLevelSorterWindow*>(editor->GetFirstChild());
    ASSERT_NE(sorter, nullptr);
    EXPECT_TRUE(sorter->IsModal());
    sorter->Destroy();

    // "Exit" closes the editor with its palette: a full-screen editor
    // without its menus would leave no way on.
    palette->Exit();
    Frame();
    EXPECT_EQ(GetLevelEditorWindow(), nullptr);
}

} // namespace
