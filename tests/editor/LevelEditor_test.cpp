// The level editor driven as a designer drives it: presses, drags and keys
// through the screen window, over a played level of plain boxes (mode 1)
// and over the demo data's stored levels (mode 0), down to the file that
// closing the editor writes.
#include "support/ScopedHooks.h"
#include "support/TestOnlyClasses.h"
#include "ui/MenuTestSupport.h"

#include "editor/CEditorCheckpointHistory.h"
#include "editor/CImageBrowserFrameWindow.h"
#include "editor/CLevelEditorOptions.h"
#include "editor/CLevelEditorWindow.h"
#include "editor/CObjectEditor.h"
#include "editor/EditorStartup.h"
#include "editor/PointAndColorPropertyEditors.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeSlot.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/ScriptingHooks.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CLotPlayfieldLayer.h"
#include "game/world/CPeriod.h"
#include "game/world/CPlayfield.h"
#include "game/world/CScenery.h"
#include "game/world/CTutorial.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "objects/CObjectFileArray.h"
#include "objects/CPropertyDeclarer.h"
#include "objects/DroppedKeys.h"
#include "objects/ObjectFileCallbacks.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CSequenceList.h"
#include "shell/CClipboard.h"
#include "shell/CKeyboardState.h"
#include "shell/CMouseState.h"
#include "ui/CJMessageBox.h"
#include "ui/CJSpin.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// A sprite showing a solid box of its own; a hollow one has the box's
// bounds but no pixel to hit.
class CEditorBoxSprite : public CSprite {
    OMBRISALT_REFLECTED(CEditorBoxSprite, CSprite)
public:
    CEditorBoxSprite() { InitDeclaredProperties(); }
    ~CEditorBoxSprite() override { DestroyDeclaredProperties(); }

    CFrame* GetCurrentFrame() override
    {
        if (!m_Frame || int32_t(m_Frame->GetWidth()) != m_Size) {
            m_Frame = CFrame::MakeOwned(uint32_t(m_Size), uint32_t(m_Size), 32);
            for (uint32_t y = 0; y < uint32_t(m_Size); ++y)
                for (uint32_t x = 0; x < uint32_t(m_Size); ++x)
                    reinterpret_cast<uint32_t*>(m_Frame->Row(y))[x] = m_Hollow ? 0u : 0xFF808080u;
        }
        return m_Frame.get();
    }

    int32_t m_Size = 20;
    bool m_Hollow = false;
    CJString m_Tag; // sprite names are not written; this is

private:
    std::unique_ptr<CFrame> m_Frame;
};

OMBRISALT_IMPLEMENT_CLASS(CEditorBoxSprite, 1.0)
const CTestOnlyClass kEditorBoxSpriteIsTestOnly("CEditorBoxSprite");
void CEditorBoxSprite::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CEditorBoxSprite::m_Size, "Box Size", 20);
    d.Add(&CEditorBoxSprite::m_Hollow, "Hollow", false);
    d.Add(&CEditorBoxSprite::m_Tag, "Tag", "");
}

namespace {

CEditorBoxSprite* Box(float x, float y, const char* name, bool hollow = false)
{
    auto* box = new CEditorBoxSprite;
    box->SetPosition(x, y);
    box->m_Tag = name;
    box->m_Hollow = hollow;
    return box;
}

std::string TagOf(CObject* object)
{
    auto* box = dynamic_cast<CEditorBoxSprite*>(object);
    return box ? box->m_Tag.GetString() : "?";
}

std::vector<std::string> Names(CPlayfieldLayer& layer)
{
    std::vector<std::string> names;
    for (uint32_t i = 0; i < layer.GetSpriteCount(); ++i)
        names.push_back(TagOf(layer.GetSprite(i)));
    return names;
}

uint32_t CountMessageBoxes(CJWindow& root, std::string* lastText = nullptr)
{
    uint32_t n = 0;
    for (CJWindow* child = root.GetFirstChild(); child; child = child->GetNextSibling())
        if (dynamic_cast<CJMessageBox*>(child)) {
            ++n;
            if (lastText)
                *lastText = child->GetTitle().GetString();
        }
    return n;
}

class EditorInput : public ScreenTest {
protected:
    void TearDown() override
    {
        if (CLevelEditorWindow* editor = GetLevelEditorWindow())
            editor->Destroy();
        CKeyboardState::SGetInstance().ResetForTesting();
        ScreenTest::TearDown();
    }
    void Frame()
    {
        Advance(16);
        m_Screen->Update(0.016f);
    }
    void Press(CPoint p) { Step(p, true); }
    void Hold(CPoint p) { Step(p, true); }
    void Release(CPoint p) { Step(p, false); }
    void Drag(CPoint from, CPoint to)
    {
        Press(from);
        Hold(to);
        Release(to);
    }
    void Control(bool down)
    {
        if (down)
            CKeyboardState::SGetInstance().OnKeyDown(kScanControlLeft);
        else
            CKeyboardState::SGetInstance().OnKeyUp(kScanControlLeft);
    }
    // Every layer shown and pickable, whatever the settings file said.
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
};

// A played level of boxes: "Back" below "Front"; the editor in mode 1.
class LevelEditor : public EditorInput {
protected:
    void SetUp() override
    {
        EditorInput::SetUp();
        if (IsSkipped())
            return;
        CLevelOptions level;
        CPlayfield& playfield = level.GetPlayfield();
        playfield.DeleteAllLayers();
        CPlayfieldLayer* back = playfield.FindOrAddLayer("Back");
        back->AddSprite(Box(400, 400, "far"));
        CPlayfieldLayer* front = playfield.FindOrAddLayer("Front");
        front->AddSprite(Box(100, 100, "a"));
        front->AddSprite(Box(200, 100, "b"));
        front->AddSprite(Box(300, 100, "c"));
        front->AddSprite(Box(100, 300, "d"));
        front->AddSprite(Box(500, 300, "ghost", true));
        GetLevelHolder().HoldCopyOf(&level);
        ASSERT_NE(OpenLevelEditor(CLevelEditorWindow::kModePlayedLevel), nullptr);
        m_Editor = GetLevelEditorWindow();
        EverythingEditable();
        Frame();
    }
    void TearDown() override
    {
        EditorInput::TearDown();
        GetLevelHolder().Release();
    }
    static CPlayfieldLayer& Front() { return *GetCurrentPlayfield()->FindLayer("Front"); }
    static CSprite* Sprite(const char* name)
    {
        CPlayfield* playfield = GetCurrentPlayfield();
        for (uint32_t i = 0; i < playfield->GetLayerCount(); ++i) {
            CPlayfieldLayer* layer = playfield->GetLayer(i);
            for (uint32_t s = 0; s < layer->GetSpriteCount(); ++s)
                if (TagOf(layer->GetSprite(s)) == name)
                    return layer->GetSprite(s);
        }
        return nullptr;
    }
    std::vector<std::string> Selected() const
    {
        std::vector<std::string> names;
        for (uint32_t i = 0; i < m_Editor->GetSelectedCount(); ++i)
            names.push_back(TagOf(m_Editor->GetSelectedObject(i)));
        return names;
    }
    void Select(std::initializer_list<const char*> names)
    {
        m_Editor->SelectObject(nullptr, CJString(), false);
        for (const char* name : names)
            m_Editor->SelectObject(Sprite(name), CJString("Front"), true);
    }
    CFPoint At(const char* name) { return Sprite(name)->GetPosition(); }

    CLevelEditorWindow* m_Editor = nullptr;
};

TEST_F(LevelEditor, OpensOnceAnswersTheLowerLayersAndClosesOnEscape)
{
    EXPECT_EQ(OpenLevelEditor(CLevelEditorWindow::kModePlayedLevel), nullptr) << "a second F7 opens nothing";
    uint32_t editors = 0;
    for (CJWindow* child = m_Screen->GetFirstChild(); child; child = child->GetNextSibling())
        editors += dynamic_cast<CLevelEditorWindow*>(child) != nullptr;
    EXPECT_EQ(editors, 1u);
    EXPECT_TRUE(IsLevelEditorOpen());
    EXPECT_TRUE(IsLevelEditorOnPlayedLevel());
    EXPECT_FALSE(IsLevelEditorOnStoredLevel());
    EXPECT_TRUE(m_Editor->IsEditable());
    EXPECT_TRUE(CClipboard::SGetInstance().IsEditingPlayedLevel());

    TypeKey(27);
    EXPECT_EQ(GetLevelEditorWindow(), nullptr);
    EXPECT_FALSE(IsLevelEditorOpen());
    EXPECT_FALSE(CClipboard::SGetInstance().IsEditingPlayedLevel());
}

TEST_F(LevelEditor, ClicksSelectControlTogglesAndASelectedSpriteKeepsTheSelectionForTheDrag)
{
    Click(CPoint{110, 110});
    EXPECT_EQ(Selected(), (std::vector<std::string>{"a"}));
    Click(CPoint{210, 110});
    EXPECT_EQ(Selected(), (std::vector<std::string>{"b"}));

    Control(true);
    Click(CPoint{110, 110});
    Click(CPoint{310, 110});
    EXPECT_EQ(Selected(), (std::vector<std::string>{"b", "a", "c"}));
    Click(CPoint{210, 110});
    EXPECT_EQ(Selected(), (std::vector<std::string>{"a", "c"}));
    Control(false);

    // Pressing a selected sprite keeps both; the drag moves both.
    Drag(CPoint{110, 110}, CPoint{140, 120});
    EXPECT_EQ(Selected(), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(At("a"), (CFPoint{130, 110}));
    EXPECT_EQ(At("c"), (CFPoint{330, 110}));
    EXPECT_EQ(At("b"), (CFPoint{200, 100}));
    EXPECT_EQ(At("far"), (CFPoint{400, 400})) << "another layer's sprite was not selected";
}

TEST_F(LevelEditor, NothingMovesUntilThePressHasTravelledFivePixels)
{
    Press(CPoint{110, 110});
    Hold(CPoint{113, 110}); // 9: under the threshold
    Hold(CPoint{110, 110});
    Release(CPoint{110, 110});
    EXPECT_EQ(At("a"), (CFPoint{100, 100}));

    // 4 and 4 (32) passes it at once and moves by the whole offset; later
    // movements go as they come.
    Press(CPoint{110, 110});
    Hold(CPoint{114, 114});
    EXPECT_EQ(At("a"), (CFPoint{104, 104}));
    Hold(CPoint{115, 114});
    Release(CPoint{115, 114});
    EXPECT_EQ(At("a"), (CFPoint{105, 104}));

    // A drag whose release never reached the editor (the focus went): the
    // next one starts where the sprite stands.
    Press(CPoint{115, 114});
    Hold(CPoint{135, 114});
    GetLevelEditorWindow()->SetFocus(false);
    Release(CPoint{135, 114});
    GetLevelEditorWindow()->SetFocus(true);
    ASSERT_EQ(At("a"), (CFPoint{125, 104}));
    Drag(CPoint{135, 114}, CPoint{135, 124});
    EXPECT_EQ(At("a"), (CFPoint{125, 114}));
    // Nor does a rubber band left so turn the next drag into a band.
    Press(CPoint{700, 250});
    Hold(CPoint{750, 300});
    GetLevelEditorWindow()->SetFocus(false);
    Release(CPoint{750, 300});
    GetLevelEditorWindow()->SetFocus(true);
    Drag(CPoint{135, 124}, CPoint{145, 124});
    EXPECT_EQ(At("a"), (CFPoint{135, 114}));
}

TEST_F(LevelEditor, TheRubberBandSelectsWhatItTouchesEvenAtNoSize)
{
    // "ghost" has bounds but no pixel, so a press there starts a band.
    Click(CPoint{505, 305});
    EXPECT_EQ(Selected(), (std::vector<std::string>{"ghost"}));

    Drag(CPoint{50, 50}, CPoint{250, 150});
    EXPECT_EQ(Selected(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(m_Editor->GetRubberBandStart(), (CPoint{-1, -1}));

    // With Ctrl the band adds; without, an empty band clears.
    Control(true);
    Drag(CPoint{450, 350}, CPoint{90, 290});
    Control(false);
    EXPECT_EQ(Selected(), (std::vector<std::string>{"a", "b", "d"}));
    Click(CPoint{700, 50});
    EXPECT_TRUE(Selected().empty());

    // A layer taken out of picking takes no part.
    GetCurrentPlayfield()->FindLayer("Front")->m_SelectableInEditor = false;
    Click(CPoint{110, 110});
    EXPECT_TRUE(Selected().empty());
    m_Editor->SelectAll();
    EXPECT_EQ(Selected(), (std::vector<std::string>{"far"}));
}

TEST_F(LevelEditor, ABandStartedWithCtrlButReleasedWithoutItReplacesTheSelection)
{
    Click(CPoint{110, 310});
    ASSERT_EQ(Selected(), (std::vector<std::string>{"d"}));
    Control(true);
    Press(CPoint{50, 50});
    Control(false);
    Hold(CPoint{250, 150});
    Release(CPoint{250, 150});
    EXPECT_EQ(Selected(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(LevelEditor, WhereLayersOverlapAClickPicksTheLaterLayersSprite)
{
    GetCurrentPlayfield()->FindLayer("Back")->AddSprite(Box(100, 100, "under"));
    Click(CPoint{110, 110});
    EXPECT_EQ(Selected(), (std::vector<std::string>{"a"}));
    // Out of picking, the later layer lets the click through.
    Front().m_SelectableInEditor = false;
    Click(CPoint{110, 110});
    EXPECT_EQ(Selected(), (std::vector<std::string>{"under"}));
}

TEST_F(LevelEditor, OrderCommandsStopAtTheEndsAndCarrySelectedNeighboursTogether)
{
    using Order = std::vector<std::string>;
    Select({"a"});
    m_Editor->BringForward();
    EXPECT_EQ(Names(Front()), (Order{"a", "b", "c", "d", "ghost"}));
    Select({"ghost"});
    m_Editor->SendBackward();
    EXPECT_EQ(Names(Front()), (Order{"a", "b", "c", "d", "ghost"}));

    // Two adjacent selected sprites both pass their neighbour, each in
    // selection order.
    Select({"b", "c"});
    m_Editor->SendBackward();
    EXPECT_EQ(Names(Front()), (Order{"a", "d", "c", "b", "ghost"}));
    m_Editor->BringForward();
    m_Editor->BringForward();
    EXPECT_EQ(Names(Front()), (Order{"b", "c", "a", "d", "ghost"}));

    Select({"d"});
    m_Editor->BringToFront();
    EXPECT_EQ(Names(Front()), (Order{"d", "b", "c", "a", "ghost"}));
    m_Editor->SendToBack();
    EXPECT_EQ(Names(Front()), (Order{"b", "c", "a", "ghost", "d"}));

    // Larger sort Y first to the back: the smallest ends last.
    Sprite("a")->SetPosition(100, 50);
    Sprite("b")->SetPosition(200, 250);
    Select({"a", "b", "ghost"});
    m_Editor->AutomaticZSort();
    EXPECT_EQ(Names(Front()), (Order{"c", "d", "ghost", "b", "a"}));
}

TEST_F(LevelEditor, CopyOfNothingIsNotHandledAndPasteLandsCentredOnTheMouse)
{
    // Nothing selected: Ctrl+X copies nothing and so deletes nothing.
    TypeKey(24);
    EXPECT_EQ(Front().GetSpriteCount(), 5u);

    Select({"a", "b"});
    TypeKey(24); // cut
    EXPECT_EQ(Names(Front()), (std::vector<std::string>{"c", "d", "ghost"}));
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(CLevelOptions::SGetCurrent()->GetRemovedSpriteCount(), 2u) << "kept with the level";

    // The pair spans 100..220 x 100..120: its centre goes to the mouse.
    CMouseState::SGetInstance().SetPosition(600, 500);
    TypeKey(22); // paste
    EXPECT_EQ(Names(Front()), (std::vector<std::string>{"c", "d", "ghost", "a", "b"}));
    EXPECT_EQ(Selected(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(At("a"), (CFPoint{540, 490}));
    EXPECT_EQ(At("b"), (CFPoint{640, 490}));
    EXPECT_EQ(CLevelOptions::SGetCurrent()->GetRemovedSpriteCount(), 2u);

    // A street without their layer takes none and says which layer it lacks.
    CPlayfieldLayer& front = Front();
    front.m_Name = "Elsewhere";
    TypeKey(22);
    front.m_Name = "Front";
    EXPECT_EQ(front.GetSpriteCount(), 5u);
    std::string told;
    for (CJWindow* box = m_Screen->GetFirstChild(); box; box = box->GetNextSibling())
        for (CJWindow* line = dynamic_cast<CJMessageBox*>(box) ? box->GetFirstChild() : nullptr; line;
             line = line->GetNextSibling())
            told += line->GetTitle().GetString();
    EXPECT_NE(told.find("2 pictures were not pasted: this street has no layer \"Front\""), std::string::npos) << told;
}

TEST_F(LevelEditor, ArrowKeysNudgeAndUndoTakesTheMoveBackClosingTheObjectEditor)
{
    Select({"a"});
    TypeKey(12);
    CKeyboardState::SGetInstance().OnKeyDown(kScanShiftLeft);
    TypeKey(10);
    CKeyboardState::SGetInstance().OnKeyUp(kScanShiftLeft);
    EXPECT_EQ(At("a"), (CFPoint{101, 110}));

    TypeKey(kKeyEnter);
    ASSERT_NE(GetCurrentObjectEditor(), nullptr);
    EXPECT_EQ(GetCurrentObjectEditorObject(), Sprite("a"));
    EXPECT_EQ(GetCurrentObjectEditor()->GetParent(), m_Editor) << "in front of the editor's children";
    // An open object editor follows a single selection and goes for two.
    m_Editor->SelectObject(Sprite("b"), CJString("Front"), false);
    EXPECT_EQ(GetCurrentObjectEditorObject(), Sprite("b"));
    m_Editor->SelectObject(Sprite("c"), CJString("Front"), true);
    EXPECT_EQ(GetCurrentObjectEditor(), nullptr);
    TypeKey(kKeyEnter);

    TypeKey(26); // Ctrl+Z: both nudges were one dragging checkpoint
    EXPECT_EQ(GetCurrentObjectEditor(), nullptr);
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(At("a"), (CFPoint{100, 100}));
    TypeKey(25); // Ctrl+Y
    EXPECT_EQ(At("a"), (CFPoint{101, 110}));

    // An open object editor shows where a drag put the sprite.
    Select({"a"});
    TypeKey(kKeyEnter);
    ASSERT_NE(GetCurrentObjectEditor(), nullptr);
    GetCurrentObjectEditor()->MoveTo(600, 400);
    Drag(CPoint{111, 120}, CPoint{141, 120});
    ASSERT_EQ(At("a"), (CFPoint{131, 110}));
    auto* row = dynamic_cast<CFPointPropertyEditor*>(
        FindPropertyEditor(Sprite("a"), Sprite("a")->GetClassInfo()->FindProperty("Position"), 0));
    ASSERT_NE(row, nullptr);
    EXPECT_STREQ(row->GetXSpin()->GetTitle().GetString(), "131");
}

TEST_F(LevelEditor, SelectedSpritesAreDrawnWithTheirMarksOnlyWhileTheEditorIsOpen)
{
    std::unique_ptr<CFrame> canvas = CFrame::MakeOwned(64, 64, 32);
    CSprite* a = Sprite("a");
    EXPECT_TRUE(GetScriptingHooks().DrawSpriteInEditor(*a, *canvas));
    m_Editor->Destroy();
    EXPECT_FALSE(GetScriptingHooks().DrawSpriteInEditor(*a, *canvas));
}

// The demo data's stored levels, edited in mode 0.
class StoredLevelEditor : public EditorInput {
protected:
    void SetUp() override
    {
        EditorInput::SetUp();
        if (IsSkipped())
            return;
        const std::string source = OMBRISALT_SOURCE_DIR;
        // The fixture's own "!default.ttf" may already stand there.
        std::filesystem::copy(source + "/data/Data/Resources", "Resources",
                              std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
        // The rules name songs, which the song list takes from "Music/".
        ASSERT_EQ(RunCommand("python3 " + source + "/tools/make_demo_music.py made"), 0);
        std::filesystem::rename("made/Data/Music", "Music");
        GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
        GetFrameLibrary().SetSource(nullptr, "Resources/Frames", 0);
        GetAudioList().SetSource("Resources/Audio");
        for (CObjectFileArray* list : DataLists())
            list->SetSource(nullptr, "Resources", 0);
        // An earlier test's browser may have listed the sets over its own folder.
        InitFrameOverlayOptionsList();
        SetCurrentLevelIndex(0);
        InitGeneralObjects();
        m_File = "Resources/Levels.Object.txt";
    }
    void TearDown() override
    {
        if (CLevelEditorWindow* editor = GetLevelEditorWindow())
            editor->Destroy();
        GetLevelHolder().Release();
        SetCurrentLevelIndex(0);
        for (CObjectFileArray* list : DataLists())
            list->SetSource(nullptr, "Nowhere", 0);
        GetGeneralObjects().SetSource("General Objects", "Nowhere", 0);
        GetFrameLibrary().SetSource(nullptr, "Nowhere", 0);
        GetSequenceList().SetSource(nullptr, "Nowhere", 0);
        GetAudioList().SetSource("Nowhere");
        EditorInput::TearDown();
    }
    static std::vector<CObjectFileArray*> DataLists()
    {
        return {&GetBuildPhaseList(), &GetPeriodList(),      &GetBackgroundStyleSheetList(),
                &GetUpgradeList(),    &GetUpgradeSlotList(), &GetCustomerStyleSheetList(),
                &GetTutorialList(),   &GetGameStateList()};
    }
    // The set as the file now holds it.
    std::unique_ptr<CObject> Reread() const
    {
        return std::unique_ptr<CObject>(
            LoadObjectFromFile(m_File.c_str(), 0, IdMode::WithoutIds, ReportUnknownClass::Quiet));
    }
    CLevelEditorWindow* Open()
    {
        CLevelEditorWindow* editor = OpenLevelEditor(CLevelEditorWindow::kModeStoredLevel);
        EverythingEditable();
        Frame();
        return editor;
    }
    // The first sprite of the first non-empty layer: its screen point.
    static CPoint SomeSpritePoint(CLevelEditorWindow& editor, CSprite*& found)
    {
        CPlayfield* playfield = GetCurrentPlayfield();
        for (uint32_t i = playfield->GetLayerCount(); i > 0; --i) {
            CPlayfieldLayer* layer = playfield->GetLayer(i - 1);
            for (uint32_t s = 0; s < layer->GetSpriteCount(); ++s) {
                CSprite* sprite = layer->GetSprite(s);
                CRect bounds{0, 0, 0, 0};
                sprite->GetBounds(bounds);
                const CFPoint at = layer->LayerToScreen(sprite->GetPosition());
                for (int32_t y = bounds.top; y < bounds.bottom; ++y)
                    for (int32_t x = bounds.left; x < bounds.right; ++x) {
                        const CPoint p{int32_t(at.x) + x, int32_t(at.y) + y};
                        if (p.x < 0 || p.y < 0 || p.x >= 800 || p.y >= 600)
                            continue;
                        CJString name;
                        if (editor.PickSprite(p, &name) == sprite) {
                            found = sprite;
                            return p;
                        }
                    }
            }
        }
        found = nullptr;
        return CPoint{-1, -1};
    }

    std::string m_File;
};

TEST_F(StoredLevelEditor, ADemoLevelChangedAndClosedReadsBackEqualAndAnUnchangedOneIsNotRewritten)
{
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(48);
    std::filesystem::last_write_time(m_File, old);
    Open();
    TypeKey(27);
    EXPECT_EQ(std::filesystem::last_write_time(m_File), old) << "an unchanged level is not rewritten";

    CLevelEditorWindow* editor = Open();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(IsLevelEditorOnStoredLevel());
    EXPECT_EQ(CLevelOptions::SGetCurrent(), GetLevels()->GetLevel(0)) << "the stored level itself";
    CSprite* sprite = nullptr;
    const CPoint p = SomeSpritePoint(*editor, sprite);
    ASSERT_NE(sprite, nullptr);
    const CFPoint before = sprite->GetPosition();
    Drag(p, CPoint{p.x + 20, p.y + 10});
    EXPECT_EQ(sprite->GetPosition(), (CFPoint{before.x + 20, before.y + 10}));
    // Ctrl+wheel on the dragged (so selected) sprite: one click turns it 5
    // degrees with the rotate-and-scale tool.
    ASSERT_EQ(editor->GetSelectedCount(), 1u);
    const float angle = sprite->GetAngle();
    CKeyboardState::SGetInstance().OnKeyDown(kScanControlRight);
    EXPECT_TRUE(editor->OnMouseWheel(1, CPoint{p.x + 20, p.y + 10}));
    CKeyboardState::SGetInstance().OnKeyUp(kScanControlRight);
    EXPECT_NEAR(sprite->GetAngle(), angle + 0.08726646f, 1e-6f);
    editor->SendToBack();
    TypeKey(3); // copy
    CMouseState::SGetInstance().SetPosition(300, 300);
    TypeKey(22); // paste
    GetLevels()->GetLevel(0)->m_Customers = 9;
    // Where the turned sprite now lies in the level (the paste may add in
    // front of it).
    uint32_t layerIndex = 0, spriteIndex = 0;
    bool located = false;
    CPlayfield& edited = GetLevels()->GetLevel(0)->GetPlayfield();
    for (uint32_t i = 0; i < edited.GetLayerCount() && !located; ++i)
        for (uint32_t s = 0; s < edited.GetLayer(i)->GetSpriteCount() && !located; ++s)
            if (edited.GetLayer(i)->GetSprite(s) == sprite) {
                layerIndex = i;
                spriteIndex = s;
                located = true;
            }
    ASSERT_TRUE(located) << "the turned sprite is in the stored level";
    TypeKey(27);

    std::unique_ptr<CObject> reread = Reread();
    ASSERT_NE(reread, nullptr);
    EXPECT_TRUE(reread->IsEqualTo(GetLevels())) << "the file holds the level as edited";
    auto* levels = dynamic_cast<CLevelSet*>(reread.get());
    ASSERT_NE(levels, nullptr);
    ASSERT_NE(levels->GetLevel(0), nullptr);
    CPlayfieldLayer* layer = levels->GetLevel(0)->GetPlayfield().GetLayer(layerIndex);
    ASSERT_NE(layer, nullptr);
    ASSERT_NE(layer->GetSprite(spriteIndex), nullptr);
    EXPECT_NEAR(layer->GetSprite(spriteIndex)->GetAngle(), angle + 0.08726646f, 1e-5f)
        << "the reloaded level holds the turn";
    EXPECT_NE(std::filesystem::last_write_time(m_File), old);
}

TEST_F(StoredLevelEditor, AKeyTheReaderDroppedIsReportedAtTheOpeningBeforeAnySave)
{
    Open();
    TypeKey(27);
    EXPECT_EQ(CountMessageBoxes(*m_Screen), 0u) << "the demo levels read whole";

    std::string text = ReadBytes(m_File);
    const std::string marker = "Customers=";
    const size_t at = text.find(marker);
    ASSERT_NE(at, std::string::npos);
    text.insert(at, "Weather=Rain\r\n");
    WriteBytes(m_File, text);
    ForgetDroppedKeys();
    GetGeneralObjects().SetSource("General Objects", "Nowhere", 0);
    testing::internal::CaptureStderr();
    InitGeneralObjects();
    Open();
    const std::string said = testing::internal::GetCapturedStderr();
    CJString file;
    FindObjectFileName(GetLevels(), &file);
    std::string title;
    EXPECT_EQ(CountMessageBoxes(*m_Screen, &title), 1u);
    EXPECT_EQ(title, "Warning") << said << " / " << file.GetString();
    ForgetDroppedKeys();
}

// A sequence dragged from the sprite palette becomes scenery at the front of
// the top layer both shown and pickable, where it was dropped.
TEST_F(StoredLevelEditor, ADroppedPaletteItemBecomesSceneryOnTheTopEditableLayer)
{
    CLevelEditorWindow* editor = Open();
    ASSERT_NE(editor, nullptr);
    auto* palette = new CImageBrowserFrameWindow(m_Screen, "Sprite Palette", CImageBrowserFrameWindow::kModeOneList,
                                                 nullptr, nullptr, &GetSequenceList());
    m_Screen->AddChild(palette);
    const int32_t item = GetSequenceList().GetCount() - 1;
    palette->SelectValue(item);
    ASSERT_EQ(palette->GetSelectedValue(), item);

    CPlayfieldLayer* top = GetCurrentPlayfield()->GetTopEditableLayer();
    ASSERT_NE(top, nullptr);
    const uint32_t count = top->GetSpriteCount();
    CBrowserItemDroppedMessage drop(palette, CPoint{300, 200});
    m_Screen->ForwardToChildren(drop);
    ASSERT_EQ(top->GetSpriteCount(), count + 1);
    CSprite* made = top->GetSprite(0);
    EXPECT_NE(dynamic_cast<CScenery*>(made->GetAI()), nullptr);
    EXPECT_EQ(made->GetImageSequenceIndex(), uint32_t(item));
    EXPECT_EQ(made->GetPosition(), top->ScreenToLayer(CFPoint{300, 200}));

    // With no layer both shown and pickable nothing is made.
    for (uint32_t i = 0; i < GetCurrentPlayfield()->GetLayerCount(); ++i)
        GetCurrentPlayfield()->GetLayer(i)->m_SelectableInEditor = false;
    m_Screen->ForwardToChildren(drop);
    EXPECT_EQ(top->GetSpriteCount(), count + 1);
    palette->Destroy();
}

// A designer with no editor settings file can place scenery: the lots are the
// one layer pickable by default.
TEST_F(StoredLevelEditor, WithNoSettingsFileADroppedPaletteItemIsPlacedAmongTheLots)
{
    ASSERT_FALSE(std::filesystem::exists("Quenthal Editor.ini"));
    ASSERT_NE(OpenLevelEditor(CLevelEditorWindow::kModeStoredLevel), nullptr);
    Frame();
    CPlayfieldLayer* top = GetCurrentPlayfield()->GetTopEditableLayer();
    ASSERT_NE(top, nullptr);
    EXPECT_TRUE(top->IsKindOf(CLotPlayfieldLayer::SGetClassInfo()));
    auto* palette = new CImageBrowserFrameWindow(m_Screen, "Sprite Palette", CImageBrowserFrameWindow::kModeOneList,
                                                 nullptr, nullptr, &GetSequenceList());
    m_Screen->AddChild(palette);
    palette->SelectValue(int32_t(GetSequenceList().GetCount()) - 1);
    const uint32_t count = top->GetSpriteCount();
    CBrowserItemDroppedMessage drop(palette, CPoint{300, 200});
    m_Screen->ForwardToChildren(drop);
    EXPECT_EQ(top->GetSpriteCount(), count + 1);
    palette->Destroy();
}

// On a street scaled to nothing the lot layer stands nowhere on screen: a
// click picks nothing there, not even scenery, which is tested pixel by pixel.
TEST_F(StoredLevelEditor, OnAStreetScaledToNothingAClickPicksNothing)
{
    CLevelEditorWindow* editor = OpenLevelEditor(CLevelEditorWindow::kModeStoredLevel);
    ASSERT_NE(editor, nullptr);
    auto* scenery = new CSprite;
    scenery->AddAI(new CScenery);
    scenery->SetImageSequence(GetSequenceList().GetCount() - 1);
    GetCurrentPlayfield()->GetTopEditableLayer()->InsertSpriteFirst(scenery);
    CLevelOptions::SGetCurrent()->m_ScalePercent = 0.0f;
    Frame();
    Click(CPoint{300, 200});
    EXPECT_EQ(editor->GetSelectedCount(), 0u);
}

TEST_F(StoredLevelEditor, ALevelThatCannotBeSavedSaysSoOnceAfterTheReleaseAndKeepsTheEdits)
{
    std::filesystem::permissions(m_File, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
    CLevelEditorWindow* editor = Open();
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(editor->IsEditable());
    CSprite* sprite = nullptr;
    const CPoint p = SomeSpritePoint(*editor, sprite);
    ASSERT_NE(sprite, nullptr);
    const CFPoint before = sprite->GetPosition();

    Press(p);
    Hold(CPoint{p.x + 20, p.y});
    Hold(CPoint{p.x + 30, p.y});
    EXPECT_EQ(CountMessageBoxes(*m_Screen), 0u) << "not while the button is held";
    Release(CPoint{p.x + 30, p.y});
    Frame();
    std::string title;
    EXPECT_EQ(CountMessageBoxes(*m_Screen, &title), 1u);
    EXPECT_EQ(title, "Can't edit");
    EXPECT_EQ(sprite->GetPosition(), before);
    TypeKey(kKeyEnter); // the box's OK
    Frame();
    EXPECT_EQ(CountMessageBoxes(*m_Screen), 0u) << "said once";

    // Delete and paste leave the level alone; delete still empties the selection.
    const uint32_t count = GetCurrentPlayfield()->FindLayerOfSprite(sprite)->GetSpriteCount();
    editor->SelectAll();
    TypeKey(17);
    EXPECT_EQ(editor->GetSelectedCount(), 0u);
    EXPECT_EQ(GetCurrentPlayfield()->FindLayerOfSprite(sprite)->GetSpriteCount(), count);

    // A change made another way fails to save at the close: said, and kept.
    GetLevels()->GetLevel(0)->m_Customers = 9;
    TypeKey(27);
    EXPECT_EQ(CountMessageBoxes(*m_Screen, &title), 1u);
    EXPECT_EQ(title, "Error");
    EXPECT_EQ(GetLevels()->GetLevel(0)->m_Customers, 9u);
    std::filesystem::permissions(m_File, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
}

} // namespace
