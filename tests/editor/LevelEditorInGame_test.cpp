// The level editor in the running demo game, reached as a designer reaches
// it: F7 during a level, then presses and drags that come through the
// window's event queue; a tutorial message open in the object editor is
// previewed over the level; the palette's File > Exit gives the street back;
// on a scaled street a moved or pasted picture follows the pointer;
// a level property edited over the played street lasts for that play only,
// and one edited over the stored street is saved to the level file, as is
// the undo of such an edit.
#include "../game/screens/ScreensGameTest.h"

#include "editor/CEditorToolPalette.h"
#include "editor/CImageBrowser.h"
#include "editor/CListBrowserWindow.h"
#include "editor/COverlayTestEditor.h"
#include "editor/CImageBrowserFrameWindow.h"
#include "editor/CLevelEditorWindow.h"
#include "editor/CObjectEditor.h"
#include "editor/CScrapBook.h"
#include "editor/ValuePropertyEditors.h"
#include "game/business/CCustomer.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/screens/CAchievement.h"
#include "game/screens/CEndOfLevel.h"
#include "game/screens/CLifeRewards.h"
#include "game/screens/CTutorialPopUp.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlay.h"
#include "game/world/CLevelSet.h"
#include "game/world/CLevelSorter.h"
#include "game/world/CLotPlayfieldLayer.h"
#include "game/world/CPlayfield.h"
#include "game/world/CTutorial.h"
#include "game/world/CTypedCommands.h"
#include "images/CFrame.h"
#include "objects/CFileListList.h"
#include "objects/CFloatProperty.h"
#include "objects/CObject.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "shell/CKeyboardState.h"
#include "platform/WindowDevice.h"
#include "ui/CJButton.h"
#include "ui/CJComboBox.h"
#include "ui/CJEdit.h"
#include "ui/CJMenu.h"
#include "ui/CJMessageBox.h"
#include "ui/CJSpin.h"
#include "ui/CJStatic.h"
#include "ui/CJTabControl.h"
#include "ui/CScreenWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <memory>
#include <string>

namespace {

class LevelEditorInGame : public CScreensGameTest {
protected:
    void SetUp() override
    {
        CScreensGameTest::SetUp();
        if (IsSkipped())
            return;
        ReadProcessLists();
        InstallLevelEditorHooks();
    }
    void TearDown() override
    {
        if (CLevelEditorWindow* editor = GetLevelEditorWindow())
            editor->Destroy();
        CScreensGameTest::TearDown();
    }
    void PushKey(uint16_t virtualKey)
    {
        plat::WindowEvent event;
        event.virtualKey = virtualKey;
        event.kind = plat::WindowEvent::Kind::KeyDown;
        m_Platform.GetHeadlessWindow().PushEvent(event);
        event.kind = plat::WindowEvent::Kind::KeyUp;
        m_Platform.GetHeadlessWindow().PushEvent(event);
    }
    void PushMouse(plat::WindowEvent::Kind kind, CPoint at, bool down)
    {
        plat::WindowEvent event;
        event.kind = kind;
        event.x = at.x;
        event.y = at.y;
        event.button = 1;
        event.down = down;
        event.heldButtons = down ? 1u : 0u;
        m_Platform.GetHeadlessWindow().PushEvent(event);
    }
    void Click(CPoint at)
    {
        PushMouse(plat::WindowEvent::Kind::MouseMove, at, false);
        PushMouse(plat::WindowEvent::Kind::MouseButton, at, true);
        PushMouse(plat::WindowEvent::Kind::MouseButton, at, false);
        Passes(3);
    }
    void ClickOn(const CJWindow* window)
    {
        ASSERT_NE(window, nullptr);
        const CRect& r = window->GetScreenRect();
        Click(CPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }
    void Type(const char* text)
    {
        for (const char* c = text; *c; ++c) {
            plat::WindowEvent event;
            event.kind = plat::WindowEvent::Kind::Char;
            event.character = uint8_t(*c);
            m_Platform.GetHeadlessWindow().PushEvent(event);
        }
        Passes(2);
    }
    static CJMenuItem* Entry(const CJMenu& menu, const char* title)
    {
        for (CJWindow* child = menu.GetFirstChild(); child; child = child->GetNextSibling())
            if (std::string(child->GetTitle().GetString()) == title)
                return dynamic_cast<CJMenuItem*>(child);
        return nullptr;
    }
    // "Goals/Required Revenue" typed anew in the object editor open on the
    // level: its tab clicked, the old number erased, the new one typed.
    void TypeRequiredRevenue(const char* value)
    {
        CObjectEditor* objectEditor = GetCurrentObjectEditor();
        ASSERT_NE(objectEditor, nullptr);
        CObject* level = objectEditor->GetEditedObject();
        CJTabControl* tabs = objectEditor->GetTabControl();
        ASSERT_NE(tabs, nullptr);
        for (uint32_t i = 0; i < tabs->GetPageCount(); ++i)
            if (std::string(tabs->GetPage(i)->GetTitle().GetString()) == "Goals") {
                const CRect tab = tabs->GetTabRect(i);
                const CRect& at = tabs->GetScreenRect();
                Click(CPoint{at.left + (tab.left + tab.right) / 2, at.top + (tab.top + tab.bottom) / 2});
            }
        auto* row = dynamic_cast<CNumberSpinPropertyEditor<CFloatProperty>*>(
            FindPropertyEditor(level, level->GetClassInfo()->FindProperty("Required Revenue"), 0));
        ASSERT_NE(row, nullptr);
        ASSERT_TRUE(row->GetSpin()->IsShownOnScreen()) << "the Goals tab shows the row";
        ClickOn(row->GetSpin()->GetEdit());
        PushKey(plat::vk::kEnd);
        Type("\b\b\b\b\b\b\b\b\b\b\b\b");
        Type(value);
        PushKey(plat::vk::kReturn);
        Passes(2);
    }
    static std::string LevelsFile() { return "Data/Resources/Levels.Object.txt"; }
    // Every file under the folder ("Data" or the whole program folder) with its bytes.
    std::map<std::string, std::string> DataFiles(const char* folder = "Data")
    {
        std::map<std::string, std::string> files;
        const std::filesystem::path root = PathOf(folder);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
            if (entry.is_regular_file())
                files[entry.path().lexically_relative(root).string()] = ReadBytes(entry.path().string());
        return files;
    }
    // A settings file's "[section]key" lines and their values.
    static std::map<std::string, std::string> SettingsLines(const std::string& text)
    {
        std::map<std::string, std::string> lines;
        std::string section;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            const size_t equals = line.find('=');
            if (!line.empty() && line[0] == '[')
                section = line;
            else if (equals != std::string::npos)
                lines[section + line.substr(0, equals)] = line.substr(equals + 1);
        }
        return lines;
    }
    // What a run with no edit may add to a settings file: a window's place
    // recorded at its first close (the game's own options are no window's)
    // and, in the editor's file, a list chosen and the layers shown. A value
    // already there stays as it was, since nothing moved.
    static bool MayBeAddedByTheRun(const std::string& line, bool editors)
    {
        static const std::set<std::string> kPlaces{"Width",      "Height",      "Position X",
                                                   "Position Y", "Show Window", "Transparent Window"};
        static const std::set<std::string> kChoices{"Selected List", "Selected Foo", "Split Bar Pos"};
        const size_t close = line.find(']');
        const std::string section = line.substr(0, close + 1);
        const std::string key = line.substr(close + 1);
        if (section != "[Options]" && (kPlaces.count(key) || key.find(" Column Width") != std::string::npos))
            return true;
        return editors && (kChoices.count(key) || section.rfind("[Editor ", 0) == 0);
    }
    // The list's first entry that is not its placeholder for none.
    static int32_t FirstNamed(CVirtualArray& list)
    {
        for (int32_t n = 0; n < list.GetCount(); ++n)
            if (const std::string name = list.GetItemName(n); name[name.find_last_of('/') + 1] != '!')
                return n;
        return -1;
    }
    // The frame window of that class in front of the editor's children.
    template <typename Window>
    static Window* EditorChild()
    {
        for (CJWindow* child = GetLevelEditorWindow()->GetFirstChild(); child; child = child->GetNextSibling())
            if (auto* window = dynamic_cast<Window*>(child))
                return window;
        return nullptr;
    }
    // Closed by its close button, as the designer closes it.
    void CloseByItsButton(CJFrameWindow* window)
    {
        ASSERT_NE(window, nullptr);
        ClickOn(window->GetCloseButton());
        Passes(2);
    }
    // A screen point where the editor picks a sprite of the played level.
    // F7 over the street (or F6): the editor's tool palette, or null.
    CEditorToolPalette* OpenEditorPalette(uint16_t key = plat::vk::kF7)
    {
        PushKey(key);
        Passes(2);
        CLevelEditorWindow* editor = GetLevelEditorWindow();
        return editor ? dynamic_cast<CEditorToolPalette*>(editor->GetToolPalette()) : nullptr;
    }
    static CPoint SpritePoint(CLevelEditorWindow& editor, CSprite*& found)
    {
        for (int32_t y = 200; y < 700; y += 7)
            for (int32_t x = 100; x < 924; x += 7) {
                CJString layer;
                if ((found = editor.PickSprite(CPoint{x, y}, &layer)) != nullptr)
                    return CPoint{x, y};
            }
        return CPoint{-1, -1};
    }
};

TEST_F(LevelEditorInGame, F7OverThePlayedLevelOpensTheEditorWhereADragMovesASpriteAndF7ClosesIt)
{
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    CLevelOptions* played = CLevelOptions::SGetCurrent();
    ASSERT_NE(played, nullptr);
    const std::string stored = ReadBytes(PathOf("Data/Resources/Levels.Object.txt"));

    PushKey(plat::vk::kF7);
    Passes(2);
    CLevelEditorWindow* editor = GetLevelEditorWindow();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(IsLevelEditorOnPlayedLevel());
    EXPECT_EQ(CLevelOptions::SGetCurrent(), played) << "the played copy stays held";

    // Every layer ticked pickable, as the designer does in the layer panel.
    CPlayfield* playfield = GetCurrentPlayfield();
    for (uint32_t i = 0; i < playfield->GetLayerCount(); ++i)
        playfield->GetLayer(i)->m_SelectableInEditor = true;
    CSprite* sprite = nullptr;
    const CPoint p = SpritePoint(*editor, sprite);
    ASSERT_NE(sprite, nullptr) << "nothing pickable on the played level";
    const CFPoint before = sprite->GetPosition();
    PushMouse(plat::WindowEvent::Kind::MouseMove, p, false);
    PushMouse(plat::WindowEvent::Kind::MouseButton, p, true);
    Passes(1);
    PushMouse(plat::WindowEvent::Kind::MouseMove, CPoint{p.x + 30, p.y + 20}, true);
    Passes(1);
    PushMouse(plat::WindowEvent::Kind::MouseButton, CPoint{p.x + 30, p.y + 20}, false);
    Passes(2);
    EXPECT_EQ(editor->GetSelectedObject(0), sprite);
    EXPECT_EQ(sprite->GetPosition(), (CFPoint{before.x + 30, before.y + 20}));

    PushKey(plat::vk::kF7);
    Passes(2);
    EXPECT_EQ(GetLevelEditorWindow(), nullptr);
    EXPECT_EQ(CLevelOptions::SGetCurrent(), played) << "the game goes on with the played level as edited";
    EXPECT_EQ(ReadBytes(PathOf("Data/Resources/Levels.Object.txt")), stored) << "mode 1 saves nothing";
}

// The message being edited shows over the level as it will pop up in play,
// under the editor's own windows.
TEST_F(LevelEditorInGame, ATutorialMessageInTheObjectEditorIsPreviewedOverTheLevel)
{
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    PushKey(plat::vk::kF7);
    Passes(2);
    CLevelEditorWindow* editor = GetLevelEditorWindow();
    ASSERT_NE(editor, nullptr);
    constexpr int32_t kWidth = 1024;
    constexpr int32_t kHeight = 768;
    CTutorial* message = GetTutorialList().GetObject(GetTutorialList().Find("Town Welcome"));
    ASSERT_NE(message, nullptr);
    auto draw = [&](auto&& paint) {
        std::unique_ptr<CFrame> canvas = CFrame::MakeOwned(kWidth, kHeight, 32);
        canvas->Clear();
        paint(*canvas);
        return canvas;
    };
    const auto popUp = draw([&](CFrame& canvas) { DrawTutorialPopUp(*message, canvas, 0.0f); });
    const auto plain = draw([&](CFrame& canvas) { editor->Draw(canvas); });

    OpenObjectEditor(message, message);
    ASSERT_NE(GetCurrentObjectEditor(), nullptr);
    GetCurrentObjectEditor()->MoveTo(kWidth - 100, kHeight - 80);
    Passes(1);
    const auto previewed = draw([&](CFrame& canvas) { editor->Draw(canvas); });
    auto covered = [&](int32_t x, int32_t y) {
        for (CJWindow* child = editor->GetFirstChild(); child; child = child->GetNextSibling()) {
            const CRect& r = child->GetRect();
            if (child->IsVisible() && x >= r.left - 4 && x < r.right + 4 && y >= r.top - 4 && y < r.bottom + 4)
                return true;
        }
        return false;
    };
    auto pixel = [](const CFrame& frame, int32_t x, int32_t y) {
        CColor colour;
        frame.GetPixel(x, y, colour);
        return colour;
    };
    int32_t shown = 0;
    int32_t differ = 0;
    int32_t drawnAlone = 0;
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x) {
            const CColor expected = pixel(*popUp, x, y);
            if (expected.GetAlpha() != 255 || covered(x, y))
                continue;
            const CColor seen = pixel(*previewed, x, y);
            ++shown;
            if (seen.GetRed() != expected.GetRed() || seen.GetGreen() != expected.GetGreen()
                || seen.GetBlue() != expected.GetBlue())
                ++differ;
            if (pixel(*plain, x, y).GetAlpha() == 255)
                ++drawnAlone;
        }
    EXPECT_GT(shown, 1000);
    EXPECT_EQ(differ, 0);
    EXPECT_EQ(drawnAlone, 0) << "the editor alone draws nothing there";

    // With the object editor closed: no preview.
    OpenObjectEditor(nullptr, nullptr);
    Passes(1);
    const auto closed = draw([&](CFrame& canvas) { editor->Draw(canvas); });
    int32_t left = 0;
    for (int32_t y = 0; y < kHeight; y += 7)
        for (int32_t x = 0; x < kWidth; x += 7)
            if (!covered(x, y) && pixel(*closed, x, y).GetAlpha() != pixel(*plain, x, y).GetAlpha())
                ++left;
    EXPECT_EQ(left, 0);
}

// Exit leaves the designer in the street as it was before F7: the editor is
// gone with its palette, a click on a waiting customer answers it, and the
// street still ends, and pays once.
TEST_F(LevelEditorInGame, FileExitClosesTheEditorAndTheStreetTakesClicksAgain)
{
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    CEditorToolPalette* palette = OpenEditorPalette();
    ASSERT_NE(palette, nullptr);
    // Before any is chosen, the stored state shown is the one a new game starts with.
    EXPECT_STREQ(GetGameStateList().GetItemName(palette->GetGameStatePopUp()->GetSelectedItem()), "Initial");
    const auto fileExit = [&](CEditorToolPalette* tools) {
        CJMenuItem* file = Entry(*tools->GetMenuBar(), "File");
        ASSERT_NE(file, nullptr);
        ClickOn(file);
        ASSERT_NE(file->GetOpenSubMenu(), nullptr);
        ClickOn(Entry(*file->GetOpenSubMenu(), "Exit"));
        Passes(2);
    };
    ASSERT_NO_FATAL_FAILURE(fileExit(palette));
    EXPECT_EQ(GetLevelEditorWindow(), nullptr) << "no editor window left covering the street";

    CCustomer* waiting = nullptr;
    for (int i = 0; i < 60 * 40 && !waiting; ++i) {
        ASSERT_TRUE(Pass(17));
        CPlayfieldLayer* line = GetCurrentPlayfield()->FindLayer("Customers");
        for (uint32_t n = 0; line && n < line->GetSpriteCount() && !waiting; ++n)
            if (auto* customer = dynamic_cast<CCustomer*>(line->GetSprite(n)->FindAI(CCustomer::SGetClassInfo())))
                if (customer->IsWaitingToBeAnswered())
                    waiting = customer;
    }
    ASSERT_NE(waiting, nullptr) << "no customer came to the line";
    const CFPoint at = GetCurrentPlayfield()->FindLayer("Customers")->LayerToScreen(waiting->GetSprite()->GetPosition());
    Click(CPoint{int32_t(at.x), int32_t(at.y)});
    EXPECT_FALSE(waiting->IsWaitingToBeAnswered()) << "the click reached the street";

    // Three alike in a row as the last family is housed (what the finishing
    // word does): the bonus pays out and the street ends.
    ASSERT_NE(GetThreeInARowCounter(), nullptr);
    GetThreeInARowCounter()->AddBonus();
    CompletePlayerInteraction();
    GetTypedCommandSwitches().levelFinishedByCommand = true;
    const auto ended
        = [] { return GetEndOfLevelWindow() || GetTutorialEndOfLevelWindow() || GetNewTrophyEarnedMenu(); };
    Passes(30);
    EXPECT_FALSE(ended()) << "the bonus left is paid out first";
    for (int i = 0; i < 60 * 20 && !ended(); ++i)
        ASSERT_TRUE(Pass(17));
    EXPECT_TRUE(ended()) << "the street never ended";

    // The results hidden ("Look at the town"), F7 and File > Exit: the
    // ended street takes nobody new and shows its results again, paid once,
    // whether every family has moved in or the word ended it.
    for (int i = 0; i < 20 && GetNewTrophyEarnedMenu(); ++i)
        ClickOn(GetNewTrophyEarnedMenu()->GetDefaultButton());
    const float spendable = CGameState::SGetCurrent()->m_SpendableMoneyK;
    for (const bool everyoneHome : {true, false}) {
        SCOPED_TRACE(everyoneHome ? "every family home" : "ended by the word");
        ASSERT_NE(GetEndOfLevelWindow(), nullptr);
        if (everyoneHome) {
            CLevelOptions::SGetCurrent()->m_CustomersSpawned = int32_t(CLevelOptions::SGetCurrent()->m_Customers);
            CSpriteArray& line = GetCurrentPlayfield()->FindLayer("Customers")->GetSprites();
            while (line.GetCount() > 0) {
                CSprite* customer = line.GetAt(line.GetCount() - 1);
                line.Remove(customer);
                delete customer;
            }
        }
        GetEndOfLevelWindow()->HideResults();
        ASSERT_NO_FATAL_FAILURE(fileExit(OpenEditorPalette()));
        Passes(30);
        EXPECT_NE(GetEndOfLevelWindow(), nullptr) << "the street came back to life without its results";
        EXPECT_EQ(CGameState::SGetCurrent()->m_SpendableMoneyK, spendable);
        EXPECT_EQ(Player().FindLevelStats(GetCurrentLevelIndex())->GetTimesCompleted(), 1u);
    }
}

// With no editor settings file the lots are pickable, so a picture dragged
// out of the sprite palette lands on the street where it is let go.
TEST_F(LevelEditorInGame, APictureDraggedFromTheSpritePaletteIsPlacedOnTheStreet)
{
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    CEditorToolPalette* palette = OpenEditorPalette();
    ASSERT_NE(palette, nullptr);
    // The palette opens wholly on the screen, its lot row in sight.
    EXPECT_LE(palette->GetScreenRect().bottom, CScreenWindow::GetScreenWindow()->GetHeight());
    CLevelEditorWindow* editor = GetLevelEditorWindow();
    palette->OpenSpritePalette();
    Passes(2);
    CImageBrowserFrameWindow* browser = nullptr;
    for (CJWindow* child = editor->GetFirstChild(); child && !browser; child = child->GetNextSibling())
        browser = dynamic_cast<CImageBrowserFrameWindow*>(child);
    ASSERT_NE(browser, nullptr);
    CImageBrowser* grid = browser->GetGrid();
    ASSERT_NE(grid, nullptr);
    int32_t cell = -1;
    for (int32_t i = 0; i < grid->GetCellCount() && cell < 0; ++i)
        if (!grid->GetCell(i).folder && std::string(grid->GetCell(i).caption.GetString()) == "Apple Tree")
            cell = i;
    ASSERT_GE(cell, 0);
    const CRect rect = grid->GetCell(cell).rect;
    const CRect client = grid->GetScreenRect();
    const CPoint from{client.left + rect.left + 20 - grid->GetScrollOffsetX(),
                      client.top + (rect.top + rect.bottom) / 2 - grid->GetScrollOffsetY()};
    const CPoint to{860, 250};
    ASSERT_FALSE(browser->GetScreenRect().ContainsPoint(to.x, to.y));

    CPlayfieldLayer* lots = GetCurrentPlayfield()->GetTopEditableLayer();
    ASSERT_NE(lots, nullptr);
    EXPECT_TRUE(lots->IsKindOf(CLotPlayfieldLayer::SGetClassInfo()));
    const uint32_t count = lots->GetSpriteCount();
    PushMouse(plat::WindowEvent::Kind::MouseMove, from, false);
    PushMouse(plat::WindowEvent::Kind::MouseButton, from, true);
    Passes(1);
    for (int step = 1; step <= 8; ++step) {
        PushMouse(plat::WindowEvent::Kind::MouseMove,
                  CPoint{from.x + (to.x - from.x) * step / 8, from.y + (to.y - from.y) * step / 8}, true);
        Passes(1);
    }
    PushMouse(plat::WindowEvent::Kind::MouseButton, to, false);
    Passes(2);
    ASSERT_EQ(lots->GetSpriteCount(), count + 1);
    EXPECT_EQ(lots->GetSprite(0)->GetImageSequenceIndex(), uint32_t(GetSequenceList().Find("Apple Tree")));
    // Its hot spot lands under the pointer, wherever in the cell it was taken.
    EXPECT_EQ(lots->GetSprite(0)->GetPosition(), lots->ScreenToLayer(CFPoint{float(to.x), float(to.y)}));
}

// Hill Top is drawn at 78 %: a moved or pasted picture follows the pointer
// on the screen, not the street's own pixels.
TEST_F(LevelEditorInGame, OnAScaledStreetAMovedOrPastedPictureFollowsThePointer)
{
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    CLevelSet* levels = FindLevels();
    uint32_t index = 0;
    while (index < levels->GetCount() && levels->GetLevel(index)->m_DisplayName.GetText().Compare("Hill Top") != 0)
        ++index;
    ASSERT_LT(index, levels->GetCount());
    App()->StartLevelByIndex(index);
    App()->CloseAllOverlayScreens();
    Passes(2);
    ASSERT_EQ(CLevelOptions::SGetCurrent()->m_ScalePercent, 78.0f);
    ASSERT_NE(OpenEditorPalette(), nullptr);
    CLevelEditorWindow* editor = GetLevelEditorWindow();
    CPlayfieldLayer* lots = GetCurrentPlayfield()->FindLayer("Lot");
    CSprite* sprite = lots->GetSprite(0);
    editor->SelectObject(sprite, lots->m_Name, false);
    const auto onScreen = [&](CObject* picked) {
        return lots->LayerToScreen(dynamic_cast<CSprite*>(picked)->GetPosition());
    };
    const CFPoint before = onScreen(sprite);
    editor->MoveSelection(90, 40);
    EXPECT_NEAR(onScreen(sprite).x - before.x, 90.0f, 0.5f);
    EXPECT_NEAR(onScreen(sprite).y - before.y, 40.0f, 0.5f);
    // Its layer renamed since it was picked: it still moves through it, and
    // is ordered in it.
    lots->m_Name = "Renamed";
    editor->MoveSelection(-90, -40);
    ASSERT_GT(lots->m_Sprites.GetCount(), 1u);
    editor->SendToBack();
    EXPECT_EQ(lots->GetSprite(lots->m_Sprites.GetCount() - 1), sprite);
    // Copied, it pastes into the layer it is in; the paste deletes.
    const uint32_t held = lots->m_Sprites.GetCount();
    ASSERT_TRUE(editor->ClipboardCopy(1));
    editor->PasteSelection();
    EXPECT_EQ(lots->m_Sprites.GetCount(), held + 1);
    editor->ClipboardDelete(1);
    EXPECT_EQ(lots->m_Sprites.GetCount(), held);
    editor->SelectObject(sprite, lots->m_Name, false);
    lots->m_Name = "Lot";
    EXPECT_NEAR(onScreen(sprite).x, before.x, 0.5f);

    // A drag there and back puts a lot back exactly, leaving nothing to save,
    // even from where the way through the street's scale and back is not.
    CSprite* dragged = nullptr;
    const CPoint p = SpritePoint(*editor, dragged);
    ASSERT_TRUE(dragged && lots->ContainsSprite(dragged));
    CFPoint start = dragged->GetPosition();
    for (int i = 0; i < 100 && lots->ScreenToLayer(lots->LayerToScreen(start)) == start; ++i)
        start = CFPoint{start.x + 0.01f, start.y + 0.01f};
    ASSERT_NE(lots->ScreenToLayer(lots->LayerToScreen(start)), start);
    dragged->SetPosition(start.x, start.y);
    PushMouse(plat::WindowEvent::Kind::MouseMove, p, false);
    PushMouse(plat::WindowEvent::Kind::MouseButton, p, true);
    Passes(1);
    for (const CPoint to : {CPoint{p.x + 37, p.y + 23}, CPoint{p.x + 81, p.y - 12}, p}) {
        PushMouse(plat::WindowEvent::Kind::MouseMove, to, true);
        Passes(1);
    }
    PushMouse(plat::WindowEvent::Kind::MouseButton, p, false);
    Passes(1);
    ASSERT_EQ(editor->GetSelectedObject(0), dragged);
    EXPECT_EQ(dragged->GetPosition(), start);

    const CPoint to{820, 620};
    Type("\x03");
    PushMouse(plat::WindowEvent::Kind::MouseMove, to, false);
    Passes(1);
    Type("\x16");
    ASSERT_EQ(editor->GetSelectedCount(), 1u);
    ASSERT_NE(editor->GetSelectedObject(0), sprite);
    const CRect frame = editor->GetSelectionScreenFrame();
    EXPECT_NEAR((frame.left + frame.right) / 2.0f, float(to.x), 1.0f);
    EXPECT_NEAR((frame.top + frame.bottom) / 2.0f, float(to.y), 1.0f);
    // A key step is a screen pixel too.
    const float x = onScreen(editor->GetSelectedObject(0)).x;
    PushKey(plat::vk::kRight);
    Passes(2);
    EXPECT_NEAR(onScreen(editor->GetSelectedObject(0)).x - x, 1.0f, 0.01f);
}

// Over the played street (F7) an edit changes the running street only: the
// level file keeps its bytes and the palette tells the designer so.
TEST_F(LevelEditorInGame, ALevelPropertyEditedOverThePlayedStreetLastsForThisPlayAndLeavesTheFile)
{
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    const std::string stored = ReadBytes(PathOf(LevelsFile()));
    const float storedRevenue = FindLevels()->GetLevel(GetCurrentLevelIndex())->m_RequiredRevenue;
    ASSERT_NE(storedRevenue, 5.0f);
    // A session over the stored street first, whose palette has no warning.
    PushKey(plat::vk::kF6);
    Passes(2);
    PushKey(plat::vk::kF6);
    Passes(3);
    ASSERT_EQ(GetLevelEditorWindow(), nullptr);

    PushKey(plat::vk::kF7);
    Passes(2);
    ASSERT_NE(GetLevelEditorWindow(), nullptr);
    CJWindow* palette = GetLevelEditorWindow()->GetToolPalette();
    ASSERT_NE(palette, nullptr);
    bool told = false;
    for (CJWindow* child = palette->GetFirstChild(); child; child = child->GetNextSibling())
        told = told
               || (std::string(child->GetTitle().GetString()).find("not saved") != std::string::npos
                   && child->IsShownOnScreen() && child->GetVisibleRect().right <= 1024
                   && child->GetVisibleRect().right == child->GetScreenRect().right);
    EXPECT_TRUE(told) << "the palette shows that the edits are not kept";
    ClickOn(dynamic_cast<CEditorToolPalette*>(palette)->GetLevelPropertiesButton());
    ASSERT_NE(GetCurrentObjectEditor(), nullptr);
    EXPECT_EQ(GetCurrentObjectEditor()->GetEditedObject(), CLevelOptions::SGetCurrent()) << "the played copy";
    // Its whole frame shows, with the title plate the skin stands on its top edge.
    const CObjectEditor& opened = *GetCurrentObjectEditor();
    const CRect& frame = opened.GetScreenRect();
    EXPECT_GT(opened.GetReachAbove(), 0) << "the demo's editor skin";
    EXPECT_TRUE(frame.left >= 0 && frame.top - opened.GetReachAbove() >= 0 && frame.right <= 1024
                && frame.bottom <= 768)
        << "(" << frame.left << "," << frame.top << ")-(" << frame.right << "," << frame.bottom << ") reaching "
        << opened.GetReachAbove() << " above";
    ASSERT_NO_FATAL_FAILURE(TypeRequiredRevenue("5"));
    EXPECT_EQ(CLevelOptions::SGetCurrent()->m_RequiredRevenue, 5.0f);
    // Letters the number field refuses stop there: "a" would select every
    // lot (closing this editor), "z" sort the selection.
    Type("az");
    ASSERT_NE(GetCurrentObjectEditor(), nullptr);
    EXPECT_EQ(GetLevelEditorWindow()->GetSelectedCount(), 0u);
    ClickOn(GetCurrentObjectEditor()->GetCloseButton());
    EXPECT_EQ(GetCurrentObjectEditor(), nullptr);
    EXPECT_TRUE(ReadBytes(PathOf(LevelsFile())) == stored) << "closing the object editor saves nothing";

    PushKey(plat::vk::kF7);
    Passes(2);
    EXPECT_EQ(GetLevelEditorWindow(), nullptr);
    EXPECT_TRUE(ReadBytes(PathOf(LevelsFile())) == stored) << "nor does closing the editor";
    EXPECT_EQ(CLevelOptions::SGetCurrent()->m_RequiredRevenue, 5.0f) << "the street goes on as edited";
    EXPECT_EQ(FindLevels()->GetLevel(GetCurrentLevelIndex())->m_RequiredRevenue, storedRevenue);
}

// Nor does any other path from the palette write the levels over the played
// street: File > List Browser opens "Levels", the tips, a card and a reward
// to be looked at only, Shift held or not (the set's Delete greyed with its
// rows); a trophy still edits.
TEST_F(LevelEditorInGame, OverThePlayedStreetTheListBrowserOpensTheLevelsAndWhatTheirNumbersOrderToBeLookedAtOnly)
{
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    const std::map<std::string, std::string> before = DataFiles();
    CEditorToolPalette* palette = OpenEditorPalette();
    ASSERT_NE(palette, nullptr);
    palette->OpenListBrowserWindow();
    CListBrowserWindow* browser = EditorChild<CListBrowserWindow>();
    ASSERT_NE(browser, nullptr);
    auto edit = [&](const char* list, int32_t entry, bool shift) {
        browser->ShowList(CFileListList::SGetInstance().Find(list));
        browser->SelectEntry(entry < 0 ? FirstNamed(*browser->GetList()) : entry);
        if (shift)
            CKeyboardState::SGetInstance().OnKeyDown(kScanShiftLeft);
        browser->EditSelected();
        CKeyboardState::SGetInstance().OnKeyUp(kScanShiftLeft);
        Passes(2);
        return GetCurrentObjectEditor();
    };
    CGeneralObjectsList& general = GetGeneralObjects();
    for (bool shift : {false, true}) {
        SCOPED_TRACE(shift ? "Shift" : "no Shift");
        for (auto [list, entry] : std::vector<std::pair<const char*, int32_t>>{
                 {"General Objects", general.Find("Levels")},
                 {"General Objects", general.Find("Tips Options")},
                 {"DecadeTransition", -1},
                 {"LifeRewards", -1}}) {
            CObjectEditor* opened = edit(list, entry, shift);
            ASSERT_NE(opened, nullptr) << list;
            EXPECT_FALSE(opened->CanEdit()) << list << " " << browser->GetList()->GetItemName(browser->GetSelectedEntry());
            ASSERT_NO_FATAL_FAILURE(CloseByItsButton(opened));
        }
        CObjectEditor* trophy = edit("Achievement", -1, shift);
        ASSERT_NE(trophy, nullptr);
        EXPECT_TRUE(trophy->CanEdit());
        ASSERT_NO_FATAL_FAILURE(CloseByItsButton(trophy));
    }
    ASSERT_NO_FATAL_FAILURE(CloseByItsButton(browser));
    PushKey(plat::vk::kF7);
    Passes(3);
    ASSERT_EQ(GetLevelEditorWindow(), nullptr);
    for (const auto& [name, bytes] : DataFiles())
        EXPECT_TRUE(name.rfind("Cache/", 0) == 0 || (before.count(name) && before.at(name) == bytes)) << name;
}

// Over the stored street (F6) the level file is written only for an edit:
// looking at the level's properties leaves the designer's file as it was;
// an edit is saved as the level set the game writes with that one value
// changed (a hand edit made after that save stays), and the street starts
// again asking the new revenue.
TEST_F(LevelEditorInGame, ALevelPropertyEditedOverTheStoredStreetIsSavedAndPlayed)
{
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    const uint32_t index = GetCurrentLevelIndex();
    const float storedRevenue = FindLevels()->GetLevel(index)->m_RequiredRevenue;
    ASSERT_NE(storedRevenue, 5.0f);
    const std::string designers = ReadBytes(PathOf(LevelsFile()));
    CObject* expected = FindLevels()->Clone();
    static_cast<CLevelSet*>(expected)->GetLevel(index)->m_RequiredRevenue = 5.0f;
    ASSERT_TRUE(expected->SaveToFile(PathOf("Expected.txt").c_str(), 0));
    delete expected;
    const std::string written = ReadBytes(PathOf("Expected.txt"));

    auto openLevelProperties = [&] {
        PushKey(plat::vk::kF6);
        Passes(2);
        ASSERT_NE(GetLevelEditorWindow(), nullptr);
        ClickOn(dynamic_cast<CEditorToolPalette*>(GetLevelEditorWindow()->GetToolPalette())->GetLevelPropertiesButton());
        ASSERT_NE(GetCurrentObjectEditor(), nullptr);
    };
    auto closeAll = [&] {
        ClickOn(GetCurrentObjectEditor()->GetCloseButton());
        PushKey(plat::vk::kF6);
        Passes(3);
        ASSERT_EQ(GetLevelEditorWindow(), nullptr);
    };
    ASSERT_NO_FATAL_FAILURE(openLevelProperties());
    ASSERT_NO_FATAL_FAILURE(closeAll());
    EXPECT_TRUE(ReadBytes(PathOf(LevelsFile())) == designers) << "nothing edited, nothing written";

    // An edit the object editor wrote on closing, then undone (Ctrl+Z):
    // the close writes what the designer sees.
    ASSERT_TRUE(FindLevels()->SaveToFile(PathOf("Unedited.txt").c_str(), 0));
    ASSERT_NO_FATAL_FAILURE(openLevelProperties());
    ASSERT_NO_FATAL_FAILURE(TypeRequiredRevenue("5"));
    ClickOn(GetCurrentObjectEditor()->GetCloseButton());
    ASSERT_TRUE(ReadBytes(PathOf(LevelsFile())) == written);
    Type("\x1a");
    PushKey(plat::vk::kF6);
    Passes(3);
    EXPECT_TRUE(ReadBytes(PathOf(LevelsFile())) == ReadBytes(PathOf("Unedited.txt"))) << "the undo is kept";
    EXPECT_EQ(CLevelOptions::SGetCurrent()->m_RequiredRevenue, storedRevenue);

    ASSERT_NO_FATAL_FAILURE(openLevelProperties());
    ASSERT_NO_FATAL_FAILURE(TypeRequiredRevenue("5"));
    ClickOn(GetCurrentObjectEditor()->GetCloseButton());
    const std::string saved = ReadBytes(PathOf(LevelsFile()));
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), std::count(written.begin(), written.end(), '\n'));
    EXPECT_TRUE(saved == written) << "the save holds the level set and the one edit";
    // Edited by hand after that save: the close has nothing left to write.
    WriteBytes(PathOf(LevelsFile()), written + "\n");
    PushKey(plat::vk::kF6);
    Passes(3);
    ASSERT_EQ(GetLevelEditorWindow(), nullptr);
    EXPECT_TRUE(ReadBytes(PathOf(LevelsFile())) == written + "\n") << "the hand edit is kept";
    ASSERT_NE(CLevelOptions::SGetCurrent(), nullptr);
    EXPECT_EQ(CLevelOptions::SGetCurrent()->m_RequiredRevenue, 5.0f) << "the street started again as saved";

    PushKey(plat::vk::kF6);
    Passes(3);
    EXPECT_TRUE(ReadBytes(PathOf(LevelsFile())) == written + "\n") << "the undo is kept";
    EXPECT_EQ(CLevelOptions::SGetCurrent()->m_RequiredRevenue, 5.0f);

    // Another street edited by hand while the editor is open, then this one
    // in the editor: the save writes the editor's street onto the file as
    // the hand left it.
    ASSERT_NE(GetLevelEditorWindow(), nullptr);
    std::unique_ptr<CLevelSet> hand(static_cast<CLevelSet*>(FindLevels()->Clone()));
    hand->GetLevel(index == 0 ? 1 : 0)->m_Comment.Set("by hand");
    ASSERT_TRUE(hand->SaveToFile(PathOf(LevelsFile()).c_str(), 0));
    ClickOn(dynamic_cast<CEditorToolPalette*>(GetLevelEditorWindow()->GetToolPalette())->GetLevelPropertiesButton());
    ASSERT_NO_FATAL_FAILURE(TypeRequiredRevenue("7"));
    ASSERT_NO_FATAL_FAILURE(closeAll());
    hand->GetLevel(index)->m_RequiredRevenue = 7.0f;
    ASSERT_TRUE(hand->SaveToFile(PathOf("Expected.txt").c_str(), 0));
    EXPECT_TRUE(ReadBytes(PathOf(LevelsFile())) == ReadBytes(PathOf("Expected.txt"))) << "both edits are kept";
}

// An edit refused because the hand changed the same street meanwhile waits
// in memory: once the hand's change is undone, the next close of Level
// Properties writes it, nothing edited there; refused again and the level
// editor closed, the exit writes it.
TEST_F(LevelEditorInGame, ARefusedStreetEditIsWrittenByTheNextCloseOrTheExitOnceTheHandsChangeIsUndone)
{
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    const uint32_t index = GetCurrentLevelIndex();
    std::string unedited;
    auto boxSays = [&](const char* words, const char* more = "") {
        CJWindow* box = CScreenWindow::GetScreenWindow()->GetFirstChild();
        ASSERT_NE(box, nullptr);
        std::string said;
        for (CJWindow* text = box->GetFirstChild(); text; text = text->GetNextSibling())
            said += text->GetTitle().GetString();
        box->Destroy();
        Passes(2);
        EXPECT_NE(said.find(words), std::string::npos) << said;
        EXPECT_NE(said.find(more), std::string::npos) << said;
    };
    // The revenue typed in Level Properties, the street's comment by hand.
    auto editRefused = [&](const char* revenue) {
        ASSERT_NE(OpenEditorPalette(plat::vk::kF6), nullptr);
        unedited = ReadBytes(PathOf(LevelsFile()));
        std::unique_ptr<CLevelSet> hand(static_cast<CLevelSet*>(FindLevels()->Clone()));
        hand->GetLevel(index)->m_Comment.Set("by hand");
        ClickOn(dynamic_cast<CEditorToolPalette*>(GetLevelEditorWindow()->GetToolPalette())->GetLevelPropertiesButton());
        ASSERT_NO_FATAL_FAILURE(TypeRequiredRevenue(revenue));
        ASSERT_TRUE(hand->SaveToFile(PathOf(LevelsFile()).c_str(), 0));
        const std::string byHand = ReadBytes(PathOf(LevelsFile()));
        ASSERT_NO_FATAL_FAILURE(CloseByItsButton(GetCurrentObjectEditor()));
        ASSERT_NO_FATAL_FAILURE(boxSays("Levels.Object.txt: it was changed on disk"));
        EXPECT_TRUE(ReadBytes(PathOf(LevelsFile())) == byHand);
    };
    auto savedRevenue = [&] {
        std::unique_ptr<CObject> read(ReadObjectFileWhole(PathOf(LevelsFile()).c_str()));
        auto* levels = dynamic_cast<CLevelSet*>(read.get());
        return levels ? levels->GetLevel(index)->m_RequiredRevenue : -1.0f;
    };
    ASSERT_NE(savedRevenue(), 5.0f);

    ASSERT_NO_FATAL_FAILURE(editRefused("5"));
    WriteBytes(PathOf(LevelsFile()), unedited);
    ClickOn(dynamic_cast<CEditorToolPalette*>(GetLevelEditorWindow()->GetToolPalette())->GetLevelPropertiesButton());
    ASSERT_NO_FATAL_FAILURE(CloseByItsButton(GetCurrentObjectEditor()));
    EXPECT_EQ(savedRevenue(), 5.0f) << "Level Properties closed unedited";
    PushKey(plat::vk::kF6);
    Passes(3);
    ASSERT_EQ(GetLevelEditorWindow(), nullptr);

    // Refused by Level Properties and by the editor's close, then undone
    // with no editor open.
    ASSERT_NO_FATAL_FAILURE(editRefused("7"));
    PushKey(plat::vk::kF6);
    Passes(3);
    ASSERT_EQ(GetLevelEditorWindow(), nullptr);
    ASSERT_NO_FATAL_FAILURE(boxSays("changed on disk"));
    WriteBytes(PathOf(LevelsFile()), unedited);
    EndRun();
    EXPECT_EQ(savedRevenue(), 7.0f) << "the exit";

    // The file made read-only before Level Properties closes: the box says
    // so and that the edit is kept. Refused again by the editor's close, the
    // editor opened again with nothing edited and the file made writable,
    // the exit writes the edit.
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    ASSERT_NE(OpenEditorPalette(plat::vk::kF6), nullptr);
    ClickOn(dynamic_cast<CEditorToolPalette*>(GetLevelEditorWindow()->GetToolPalette())->GetLevelPropertiesButton());
    ASSERT_NO_FATAL_FAILURE(TypeRequiredRevenue("9"));
    namespace fs = std::filesystem;
    const fs::perms writable = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    fs::permissions(PathOf(LevelsFile()), writable, fs::perm_options::remove);
    ASSERT_NO_FATAL_FAILURE(CloseByItsButton(GetCurrentObjectEditor()));
    ASSERT_NO_FATAL_FAILURE(boxSays("Levels.Object.txt: it is read-only", "kept"));
    PushKey(plat::vk::kF6);
    Passes(3);
    ASSERT_EQ(GetLevelEditorWindow(), nullptr);
    ASSERT_NO_FATAL_FAILURE(boxSays("read-only"));
    ASSERT_NE(OpenEditorPalette(plat::vk::kF6), nullptr);
    fs::permissions(PathOf(LevelsFile()), fs::perms::owner_write, fs::perm_options::add);
    EndRun();
    EXPECT_EQ(savedRevenue(), 9.0f) << "the exit with the editor open";
}

// A line of the levels file not understood at the start keeps every save of
// the levels from writing over it: F6 says so and names the line, as does
// the refused save, and once the line is removed the editor's close writes
// the edit that waited.
TEST_F(LevelEditorInGame, F6OverALevelsFileWithALineNotUnderstoodNamesTheLineAndTheSaveWaitsForItsMend)
{
    const std::string file = PathOf(LevelsFile());
    const std::string asMade = ReadBytes(file);
    std::string typed = asMade;
    typed.insert(typed.find('\n', typed.find("Display Name=")) + 1, "\t\t\tCustomer Count=4\r\n");
    WriteBytes(file, typed);
    const std::string named = "Resources/Levels.Object.txt: it cannot be read whole: line "
        + std::to_string(std::count(typed.begin(), typed.begin() + typed.find("Customer Count"), '\n') + 1)
        + " is not understood (\"Customer Count=4\")";
    auto boxSays = [&] {
        std::string said;
        if (auto* box = dynamic_cast<CJMessageBox*>(CScreenWindow::GetScreenWindow()->GetFirstChild())) {
            for (CJWindow* text = box->GetFirstChild(); text; text = text->GetNextSibling())
                if (dynamic_cast<CJStatic*>(text))
                    said += text->GetTitle().GetString();
            std::replace(said.begin(), said.end(), '\n', ' ');
            box->Destroy();
            Passes(2);
        }
        return said;
    };
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    const uint32_t index = GetCurrentLevelIndex();
    ASSERT_NE(OpenEditorPalette(plat::vk::kF6), nullptr);
    EXPECT_EQ(boxSays(),
              named
                  + ". The levels are not saved until that line is corrected or removed in the file; "
                    "then your edits are saved at the next save, close or exit.");

    ClickOn(dynamic_cast<CEditorToolPalette*>(GetLevelEditorWindow()->GetToolPalette())->GetLevelPropertiesButton());
    ASSERT_NO_FATAL_FAILURE(TypeRequiredRevenue("7"));
    ASSERT_NO_FATAL_FAILURE(CloseByItsButton(GetCurrentObjectEditor()));
    EXPECT_EQ(boxSays(),
              "Could not save " + named
                  + ". Correct or remove that line in the file and your edits are saved at the next save, "
                    "close or exit; until then they are kept here only.");
    EXPECT_TRUE(ReadBytes(file) == typed);

    WriteBytes(file, asMade);
    PushKey(plat::vk::kF6);
    Passes(3);
    ASSERT_EQ(GetLevelEditorWindow(), nullptr);
    EXPECT_EQ(boxSays(), "");
    std::unique_ptr<CObject> read(ReadObjectFileWhole(file.c_str()));
    auto* levels = dynamic_cast<CLevelSet*>(read.get());
    ASSERT_NE(levels, nullptr);
    EXPECT_EQ(levels->GetLevel(index)->m_RequiredRevenue, 7.0f);
}

// A save that merges streets changed by hand ends the editor's undo steps of
// those streets: Town and Garden Lane swapped and Harbour Row's comment
// changed by hand, each looked at in the editor before, while Far Side is
// edited. Ctrl+Z on the last row and Edit > Undo on the first leave what the
// file brought in, and the close writes every street once.
TEST_F(LevelEditorInGame, AnUndoAfterAMergeLeavesWhatTheFileBroughtIn)
{
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    CEditorToolPalette* palette = OpenEditorPalette(plat::vk::kF6);
    ASSERT_NE(palette, nullptr);
    CLevelSet* levels = FindLevels();
    const uint32_t last = levels->GetCount() - 1;
    auto names = [](CLevelSet& set) {
        std::vector<std::string> out;
        for (uint32_t i = 0; i < set.GetCount(); ++i)
            out.push_back(set.GetLevel(i)->m_DisplayName.GetText().GetString());
        return out;
    };
    // The pointer over the street, where the editor watches the level for changes.
    auto hover = [&] {
        PushMouse(plat::WindowEvent::Kind::MouseMove, CPoint{600, 500}, false);
        Passes(2);
    };
    auto step = [&](CJButton* button, uint32_t times) {
        for (uint32_t i = 0; i < times; ++i) {
            ClickOn(button);
            hover();
        }
    };
    hover();
    step(palette->GetNextButton(), last);
    step(palette->GetPreviousButton(), 2);
    ASSERT_EQ(names(*levels)[last - 1], "Town");
    ASSERT_EQ(names(*levels)[GetCurrentLevelIndex()], "Far Side");

    std::unique_ptr<CLevelSet> hand(static_cast<CLevelSet*>(levels->Clone()));
    hand->SwapLevels(last - 1, last);
    hand->GetLevel(0)->m_Comment.Set("by hand");
    ASSERT_TRUE(hand->SaveToFile(PathOf(LevelsFile()).c_str(), 0));
    ClickOn(palette->GetLevelPropertiesButton());
    ASSERT_NO_FATAL_FAILURE(TypeRequiredRevenue("5"));
    ASSERT_NO_FATAL_FAILURE(CloseByItsButton(GetCurrentObjectEditor()));
    ASSERT_EQ(names(*levels), names(*hand)) << "the merge keeps the hand's order";
    const float edited = levels->GetLevel(last - 2)->m_RequiredRevenue;
    ASSERT_NE(edited, hand->GetLevel(last - 2)->m_RequiredRevenue);

    step(palette->GetNextButton(), 2);
    Type("\x1a");
    hover();
    EXPECT_EQ(names(*levels)[last], "Town");
    step(palette->GetPreviousButton(), last);
    palette->Undo();
    hover();
    EXPECT_STREQ(levels->GetLevel(0)->m_Comment.GetString(), "by hand");
    PushKey(plat::vk::kF6);
    Passes(3);
    ASSERT_EQ(GetLevelEditorWindow(), nullptr);
    std::unique_ptr<CObject> read(ReadObjectFileWhole(PathOf(LevelsFile()).c_str()));
    auto* written = dynamic_cast<CLevelSet*>(read.get());
    ASSERT_NE(written, nullptr);
    EXPECT_EQ(names(*written), names(*hand));
    EXPECT_STREQ(written->GetLevel(0)->m_Comment.GetString(), "by hand");
    EXPECT_EQ(written->GetLevel(last - 2)->m_RequiredRevenue, edited);
}

// A trophy or a tutorial changed by hand while the program runs is not
// written over by the object editor's save: the box names the file, the edit
// waits in memory and a later close writes it once the hand's change is
// undone. The program's own save is no hand's change.
TEST_F(LevelEditorInGame, AnObjectFileChangedByHandIsNotWrittenOverAndItsEditIsSavedOnceTheChangeIsUndone)
{
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    // Opened, edited (nothing: a close alone), closed: what the box said.
    auto editAndClose = [&](CObject* object, const std::function<void()>& edit = [] {}) {
        OpenObjectEditor(object, object);
        Passes(2);
        edit();
        CloseByItsButton(GetCurrentObjectEditor());
        std::string said;
        if (auto* box = dynamic_cast<CJMessageBox*>(CScreenWindow::GetScreenWindow()->GetFirstChild())) {
            for (CJWindow* text = box->GetFirstChild(); text; text = text->GetNextSibling())
                said += text->GetTitle().GetString();
            std::replace(said.begin(), said.end(), '\n', ' ');
            box->Destroy();
            Passes(2);
        }
        return said;
    };
    CAchievement* trophy = GetAchievementList().GetObjectByName("AccomplishedBuilder");
    ASSERT_NE(trophy, nullptr);
    const std::string file = PathOf("Data/Resources/AccomplishedBuilder.Achievement.txt");
    const std::string asRead = ReadBytes(file);
    std::string byHand = asRead;
    byHand.replace(byHand.find("Description=Move"), 16, "Description=By hand, move");
    WriteBytes(file, byHand);
    const std::string said = editAndClose(trophy, [&] { trophy->m_Description.SetText(CJString("Edited here")); });
    EXPECT_NE(said.find("Could not save Resources/AccomplishedBuilder.Achievement.txt: it was changed on disk since "
                        "the program read or saved it. Undo the change on disk and your edits are saved when an "
                        "object editor on it next closes"),
              std::string::npos)
        << said;
    EXPECT_TRUE(ReadBytes(file) == byHand);
    EXPECT_STREQ(trophy->m_Description.GetText().GetString(), "Edited here") << "the edit is kept";
    EXPECT_NE(editAndClose(trophy).find("changed on disk"), std::string::npos) << "still changed: refused again";
    WriteBytes(file, asRead);
    EXPECT_EQ(editAndClose(trophy), "") << "undone: a close with no edit writes the waiting one";
    EXPECT_NE(ReadBytes(file).find("Description=Edited here"), std::string::npos);
    EXPECT_EQ(editAndClose(trophy, [&] { trophy->m_Description.SetText(CJString("Again")); }), "")
        << "the program's own save is as on disk";
    EXPECT_NE(ReadBytes(file).find("Description=Again"), std::string::npos);

    // A tutorial's arrow turned by hand.
    CTutorialList& lessons = GetTutorialList();
    CTutorial* lesson = lessons.GetObject(lessons.Find("Garden Garage"));
    ASSERT_NE(lesson, nullptr);
    const std::string lessonFile = PathOf("Data/Resources/Garden Garage.Tutorial.txt");
    std::string turned = ReadBytes(lessonFile);
    turned.replace(turned.find("Arrow Angle=90"), 14, "Arrow Angle=45");
    WriteBytes(lessonFile, turned);
    EXPECT_NE(editAndClose(lesson, [&] { lesson->m_Text.SetText(CJString("Build it.")); })
                  .find("Garden Garage.Tutorial.txt: it was changed on disk"),
              std::string::npos);
    EXPECT_TRUE(ReadBytes(lessonFile) == turned);

    // A folder that takes no write, or a full disk: the box names the cause,
    // and the edit waits for the next close once the cause is gone.
    const std::string resources = PathOf("Data/Resources");
    std::string locked;
    {
        if (::geteuid() == 0) {
            ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
        }
        // The test's folder is the program's, open to all as an install is.
        std::filesystem::permissions(Folder(), std::filesystem::perms(0755));
        std::filesystem::permissions(resources, std::filesystem::perms(0555));
        CActingAsNobody nobody;
        if (nobody.Acting())
            locked = editAndClose(trophy, [&] { trophy->m_Description.SetText(CJString("Kept while locked")); });
    }
    std::filesystem::permissions(resources, std::filesystem::perms(0755));
    std::filesystem::permissions(Folder(), std::filesystem::perms::owner_all);
    EXPECT_NE(locked.find("Could not save Resources/AccomplishedBuilder.Achievement.txt: the folder cannot be "
                          "written. Once the cause is gone, your edits are saved when an object editor on it next "
                          "closes, edited there or not; until then they are kept here only, and the program's end "
                          "loses them."),
              std::string::npos)
        << locked;
    EXPECT_EQ(editAndClose(trophy), "");
    EXPECT_NE(ReadBytes(file).find("Description=Kept while locked"), std::string::npos);
    CLevelSet* levels = GetLevels();
    const std::string levelsRead = ReadBytes(PathOf(LevelsFile()));
    std::string full;
    {
        CFullDisk disk;
        m_Platform.SetFreeDiskSpace(0);
        full = editAndClose(levels, [&] { levels->GetLevel(0)->m_RequiredRevenue += 1000; });
        m_Platform.SetFreeDiskSpace(std::nullopt);
    }
    EXPECT_NE(full.find("Could not save Resources/Levels.Object.txt: the disk is full. Once the cause is gone, "
                        "your edits are saved at the next save, close or exit; until then they are kept here only."),
              std::string::npos)
        << full;
    EXPECT_TRUE(ReadBytes(PathOf(LevelsFile())) == levelsRead);
    EXPECT_EQ(editAndClose(levels), "");
    EXPECT_FALSE(levels->HasUnsavedEdits());

    // At the program's end the open editor's refusal is told in the end's
    // one box: alone; with the levels' (the disk full); so with the level
    // editor open on the stored levels, which it saves.
    const std::string trophyLost = "Could not save Resources/AccomplishedBuilder.Achievement.txt: it was changed on "
                                   "disk since the program read or saved it. The edits made here since the last "
                                   "save are lost.";
    const std::string levelsLost = "\n\nCould not save Resources/Levels.Object.txt: the disk is full. The edits made "
                                   "here since the last save are lost.";
    const std::string levelsWritten = ReadBytes(PathOf(LevelsFile()));
    for (const char* end : {"alone", "with the levels", "with the level editor"}) {
        SCOPED_TRACE(end);
        const bool alone = end == std::string("alone");
        if (!alone) {
            ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
            if (end == std::string("with the level editor")) {
                ASSERT_NE(OpenEditorPalette(plat::vk::kF6), nullptr);
            }
            trophy = GetAchievementList().GetObjectByName("AccomplishedBuilder");
            ASSERT_NE(trophy, nullptr);
            GetLevels()->GetLevel(0)->m_RequiredRevenue += 1000;
        }
        OpenObjectEditor(trophy, trophy);
        Passes(2);
        trophy->m_Description.SetText(CJString("At the end"));
        const std::string changed = ReadBytes(file) == byHand ? asRead : byHand;
        WriteBytes(file, changed);
        const size_t before = m_Platform.GetMessageBoxes().size();
        {
            std::unique_ptr<CFullDisk> disk(alone ? nullptr : new CFullDisk);
            m_Platform.SetFreeDiskSpace(alone ? std::nullopt : std::optional<uint64_t>(0));
            EndRun();
            m_Platform.SetFreeDiskSpace(std::nullopt);
        }
        std::vector<std::string> told;
        for (size_t i = before; i < m_Platform.GetMessageBoxes().size(); ++i)
            if (m_Platform.GetMessageBoxes()[i].text.find("Resources/") != std::string::npos)
                told.push_back(m_Platform.GetMessageBoxes()[i].text);
        EXPECT_EQ(told, std::vector<std::string>{trophyLost + (alone ? "" : levelsLost)});
        EXPECT_TRUE(ReadBytes(file) == changed);
        EXPECT_TRUE(ReadBytes(PathOf(LevelsFile())) == levelsWritten);
    }
}

// Opening and closing every editor and tool a designer reaches, with no edit,
// writes nothing to the data folder; and a hand edit of the levels file made
// while the level editor is open outlives the editor's close.
TEST_F(LevelEditorInGame, OpeningAndClosingEveryEditorWithNoEditWritesNothing)
{
    // What a player's folder holds after a run: Stats.dat, the settings
    // files, the caches; "Walk" kept as its cache alone (its pictures gone),
    // a frame with its own settings file beside ones without.
    WriteBytes(PathOf("Data/Resources/Frames/Hill Background.txt"),
               ObjectText("CStandAloneFrame", "JPEG Quality 2=90\r\nMipmap For Native Version=0\r\n"));
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    {
        CSequence walk;
        ASSERT_TRUE(walk.Load("Resources/Sequences", "Walk", nullptr));
    }
    for (const auto& entry : std::filesystem::directory_iterator(PathOf("Data/Resources/Sequences/-Walk")))
        if (entry.path().extension() == ".png")
            std::filesystem::remove(entry.path());
    EndRun();
    const std::string walkCache = "Data/Cache/Resources/Sequences/Walk.Sequence";
    // The designer's own: a window placed, the image browser's bar moved and
    // its list chosen, a layer hidden, the editor's options as typed by hand.
    const std::string designSettings = "[Designer]\r\nKept=1\r\n";
    const std::map<std::string, std::string> designerKept{
        {"Ombrisalt.CFG", "[CEditorToolPalette 2]\r\nPosition X=41\r\nPosition Y=401\r\n"},
        {"Quenthal Editor.ini", "[Image Browser]\r\nSplit Bar Pos=151\r\nSelected List=Frame Overlay Options\r\n"
                                "[Editor Visible Layers]\r\nCustomers=0\r\n"}};
    // The editors' file is made here when the first run had no cause to.
    for (const auto& [name, kept] : designerKept)
        WriteBytes(PathOf(name), (DiskHas(PathOf(name)) ? ReadBytes(PathOf(name)) : "") + designSettings + kept);
    WriteBytes(PathOf("EditorOptions.txt"), ObjectText("CLevelEditorOptions", "Show Y Sort=1\r\n"));
    std::map<std::string, std::string> before = DataFiles(".");
    for (const std::string& name : {walkCache, LevelsFile(), std::string("Stats.dat"), std::string("Ombrisalt.CFG"),
                                    std::string("Quenthal Editor.ini")})
        ASSERT_FALSE(before[name].empty()) << name;

    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    const std::string stats = ReadBytes(PathOf("Stats.dat"));
    ASSERT_FALSE(stats.empty());
    for (uint16_t key : {plat::vk::kF6, plat::vk::kF7}) {
        SCOPED_TRACE(key == plat::vk::kF6 ? "F6" : "F7");
        CEditorToolPalette* palette = OpenEditorPalette(key);
        ASSERT_NE(palette, nullptr);
        // M opens Level Properties; M again and the sorter's key stay hot
        // keys, typing nothing into the name shown.
        Type("m");
        ASSERT_NE(GetCurrentObjectEditor(), nullptr);
        auto* level = dynamic_cast<CLevelOptions*>(GetCurrentObjectEditor()->GetEditedObject());
        ASSERT_NE(level, nullptr);
        std::unique_ptr<CObject> unedited(level->Clone());
        Type("m");
        EXPECT_EQ(GetCurrentObjectEditor() ? GetCurrentObjectEditor()->GetEditedObject() : nullptr, level);
        Type("`");
        EXPECT_EQ(GetCurrentObjectEditor(), nullptr);
        ASSERT_NO_FATAL_FAILURE(CloseByItsButton(EditorChild<CLevelSorterWindow>()));
        EXPECT_TRUE(level->IsEqualTo(unedited.get())) << level->m_DisplayName.GetText().GetString();
        palette->EditActiveGameState();
        ASSERT_NO_FATAL_FAILURE(CloseByItsButton(GetCurrentObjectEditor()));
        palette->EditActivePlayfield();
        ASSERT_NO_FATAL_FAILURE(CloseByItsButton(GetCurrentObjectEditor()));
        // The tools and the lists are the same over either street: once.
        if (key == plat::vk::kF6) {
            palette->OpenFooEditor();
            // Its whole frame shows, the title plate on its top edge too.
            const CFooEditFrame* foo = EditorChild<CFooEditFrame>();
            ASSERT_NE(foo, nullptr);
            const CRect& fooFrame = foo->GetScreenRect();
            EXPECT_TRUE(fooFrame.left >= 0 && fooFrame.top - foo->GetReachAbove() >= 0 && fooFrame.right <= 1024
                        && fooFrame.bottom <= 768)
                << fooFrame.top << " reaching " << foo->GetReachAbove() << " above";
            ASSERT_NO_FATAL_FAILURE(CloseByItsButton(EditorChild<CFooEditFrame>()));
            palette->OpenImageBrowser();
            ASSERT_NO_FATAL_FAILURE(CloseByItsButton(EditorChild<CImageBrowserFrameWindow>()));
            palette->OpenScrapBookWindow();
            ASSERT_NO_FATAL_FAILURE(CloseByItsButton(EditorChild<CScrapBookWindow>()));
            palette->EditOptions();
            ASSERT_NE(GetCurrentObjectEditor(), nullptr);
            ASSERT_NO_FATAL_FAILURE(CloseByItsButton(GetCurrentObjectEditor()));
            // Each kind of entry of each list of the browser's chooser: its
            // first, its first named, one loaded before and one not, one with
            // a settings file of its own; each shown a while, as a designer
            // sees it (the frame, font and sequence previews drawn).
            palette->OpenListBrowserWindow();
            CListBrowserWindow* browser = EditorChild<CListBrowserWindow>();
            ASSERT_NE(browser, nullptr);
            CFileListList& registry = CFileListList::SGetInstance();
            for (int32_t i = 0; i < registry.GetCount(); ++i) {
                SCOPED_TRACE(registry.GetItemName(i));
                browser->ShowList(i);
                CVirtualArray* list = browser->GetList();
                std::set<int32_t> kinds{0, FirstNamed(*list)};
                std::map<std::pair<bool, bool>, int32_t> firstOfKind;
                for (int32_t n = std::max(FirstNamed(*list), 0); n < list->GetCount(); ++n) {
                    const bool own = list->GetFolderName()
                        && DiskHas(PathOf(std::string("Data/") + list->GetFolderName() + "/" + list->GetItemName(n)
                                          + ".txt"));
                    firstOfKind.insert({{list->IsItemLoaded(n), own}, n});
                }
                for (const auto& [kind, entry] : firstOfKind)
                    kinds.insert(entry);
                for (int32_t entry : kinds) {
                    if (entry < 0 || entry >= list->GetCount() || !browser->GetEditButton()->IsEnabled())
                        continue;
                    SCOPED_TRACE(list->GetItemName(entry));
                    browser->SelectEntry(entry);
                    browser->EditSelected();
                    if (GetCurrentObjectEditor()) {
                        Passes(2);
                        ASSERT_NO_FATAL_FAILURE(CloseByItsButton(GetCurrentObjectEditor()));
                    }
                }
            }
            ASSERT_NO_FATAL_FAILURE(CloseByItsButton(browser));
            // The sequence editor, as the sprite palette's Open reaches it,
            // on a sequence with its pictures and on the one kept as its cache.
            for (int32_t entry : {FirstNamed(GetSequenceList()), GetSequenceList().Find("Walk")}) {
                CSequence* sequence = GetSequenceList().GetObject(entry);
                ASSERT_NE(sequence, nullptr);
                OpenObjectEditor(sequence, sequence);
                Passes(2);
                ASSERT_NO_FATAL_FAILURE(CloseByItsButton(GetCurrentObjectEditor()));
            }
        }
        PushKey(key);
        Passes(3);
        ASSERT_EQ(GetLevelEditorWindow(), nullptr);
    }
    EXPECT_TRUE(ReadBytes(PathOf("Stats.dat")) == stats) << "Stats.dat";

    // A hand edit of the levels file made while the editor is open outlives its close.
    EXPECT_TRUE(ReadBytes(PathOf(LevelsFile())) == before.at(LevelsFile())) << "the levels file";
    const std::string hand = before.at(LevelsFile()) + "\n";
    ASSERT_NE(OpenEditorPalette(plat::vk::kF6), nullptr);
    WriteBytes(PathOf(LevelsFile()), hand);
    ClickOn(dynamic_cast<CEditorToolPalette*>(GetLevelEditorWindow()->GetToolPalette())->GetLevelPropertiesButton());
    ASSERT_NO_FATAL_FAILURE(CloseByItsButton(GetCurrentObjectEditor()));
    PushKey(plat::vk::kF6);
    Passes(3);
    ASSERT_EQ(GetLevelEditorWindow(), nullptr);
    EXPECT_TRUE(ReadBytes(PathOf(LevelsFile())) == hand) << "the hand edit is kept";
    EndRun();

    // Caches the run needed are made; a cache kept is kept as it was; the
    // settings hold every value they held, adding only windows' places,
    // lists and layers; Stats.dat is the exit's to write; nothing else is
    // made or changed.
    before[LevelsFile()] = hand;
    const std::map<std::string, std::string> after = DataFiles(".");
    for (const auto& [name, bytes] : after) {
        if (name == "Stats.dat" || (name.rfind("Data/Cache/", 0) == 0 && !before.count(name)))
            continue;
        if (designerKept.count(name)) {
            EXPECT_TRUE(bytes.find(designSettings) != std::string::npos) << name;
            const bool editors = name == "Quenthal Editor.ini";
            std::map<std::string, std::string> lines = SettingsLines(bytes);
            // The test itself chose every list of the list browser.
            if (editors)
                lines.erase("[List Browser]Selected List");
            for (const auto& [line, value] : SettingsLines(before.at(name))) {
                EXPECT_TRUE(lines.count(line) && lines.at(line) == value) << name << ": " << line << "=" << value;
                lines.erase(line);
            }
            for (const auto& [line, value] : lines)
                EXPECT_TRUE(MayBeAddedByTheRun(line, editors)) << name << ": " << line << "=" << value;
            continue;
        }
        EXPECT_TRUE(before.count(name) && before.at(name) == bytes) << name;
    }
    for (const auto& [name, bytes] : before)
        EXPECT_TRUE(after.count(name)) << name << " removed";
}

} // namespace
