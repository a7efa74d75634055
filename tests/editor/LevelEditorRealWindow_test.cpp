// The level editor in the demo game running in a real SDL window on a
// virtual X display: F7 pressed on the keyboard over a street in play opens
// the editor, and a sprite dragged with the mouse moves with the pointer.
// The input comes through the XTEST extension, as a person's would.
#include "../game/screens/ScreensGameTest.h"

#include "editor/CLevelEditorWindow.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/ScriptingHooks.h"
#include "game/world/CPlayfield.h"
#include "platform/CPlatform.h"
#include "platform/Clock.h"
#include "support/ScopedHooks.h"
#include "support/VirtualDisplay.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr char kChildTest[] = "ChildProcess.LevelEditorInTheRealGameWindow";

class LevelEditorRealWindow : public CRealWindowTest {};

TEST_F(LevelEditorRealWindow, F7OpensTheEditorOverThePlayedStreetAndARealDragMovesASprite)
{
    if (!CVirtualDisplay::IsInstalled())
        GTEST_SKIP() << "no Xvfb";
    // Larger than the game's 1024 x 768, so the whole window lies on it.
    CVirtualDisplay display("1280x1024x24");
    ASSERT_TRUE(display.Start(PathOf("xvfb.err"))) << ReadBytes(PathOf("xvfb.err"));
    ASSERT_EQ(RunChildOnDisplay(display, Folder(), kChildTest, PathOf("child.out")), 0) << ChildOutput();
    EXPECT_EQ(ReadBytes(PathOf("events.txt")),
              "editor open\n"
              "sprite picked\n"
              "selected\n"
              "moved by 30,20\n")
        << ChildOutput();
}

// The second run: the demo game, with the level editor's hooks as the
// "Editor" option installs them, on the real platform.
class ChildProcess : public CScreensGameTest {
protected:
    void SetUp() override
    {
        if (plat::ChoosePlatformKind() != plat::PlatformKind::SDL)
            GTEST_SKIP() << "no display";
        CScreensGameTest::SetUp();
        if (IsSkipped())
            return;
        InstallLevelEditorHooks();
    }
    // Plays the steps into the game's window and runs the game until done()
    // holds, passes times at most (a pass takes ten milliseconds or more).
    void PlayFor(const std::string& steps, int passes, const std::function<bool()>& done)
    {
        ASSERT_TRUE(PlayInputInBackground("Ombrisalt", steps));
        for (int pass = 0; pass < passes && !done(); ++pass) {
            ASSERT_TRUE(Pass(17));
            plat::SleepMs(10);
        }
    }
    // A screen point where the editor picks a sprite of the played level.
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

TEST_F(ChildProcess, LevelEditorInTheRealGameWindow)
{
    std::vector<std::string> log;
    {
        // The real platform for the game's run, its window on the display,
        // and real time (the loading screen fades by the clock).
        m_Platform.StopManualClock();
        std::unique_ptr<plat::CPlatform> real = plat::CreatePlatform(plat::PlatformKind::SDL);
        ASSERT_NE(real, nullptr);
        CScopedPlatform installed{real.get()};
        // A window of the game's own size, so window points are game points.
        WriteBytes(PathOf("Ombrisalt.CFG"), "[Options]\r\nFull Screen=0\r\nScreen Width=1024\r\nScreen Height=768\r\n");
        ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());

        // F7 on the street in play; once more if the window did not have
        // the keyboard yet, each press given five seconds to open the editor.
        for (int attempt = 0; attempt < 6 && !IsLevelEditorOpen(); ++attempt) {
            ASSERT_NO_FATAL_FAILURE(
                PlayFor(attempt == 0 ? "wait:1000 key:F7" : "key:F7", 500, [] { return IsLevelEditorOpen(); }));
        }
        ASSERT_TRUE(IsLevelEditorOpen()) << "F7 did not open the editor";
        CLevelEditorWindow* editor = GetLevelEditorWindow();
        ASSERT_NE(editor, nullptr);
        log.push_back("editor open");
        ASSERT_NO_FATAL_FAILURE(Passes(3));

        // Every layer ticked pickable, as the designer does in the layer
        // panel.
        CPlayfield* playfield = GetCurrentPlayfield();
        ASSERT_NE(playfield, nullptr);
        for (uint32_t i = 0; i < playfield->GetLayerCount(); ++i)
            playfield->GetLayer(i)->m_SelectableInEditor = true;
        CSprite* sprite = nullptr;
        const CPoint p = SpritePoint(*editor, sprite);
        ASSERT_NE(sprite, nullptr) << "nothing pickable on the played level";
        log.push_back("sprite picked");
        const CFPoint before = sprite->GetPosition();

        const auto at = [](int32_t x, int32_t y) { return "move:" + std::to_string(x) + "," + std::to_string(y); };
        const std::string drag = "wait:500 " + at(p.x, p.y) + " wait:500 down wait:500 " + at(p.x + 10, p.y + 7)
            + " wait:500 " + at(p.x + 20, p.y + 14) + " wait:500 " + at(p.x + 30, p.y + 20) + " wait:500 up";
        // Until the sprite has followed the pointer to its last point.
        bool arrived = false;
        ASSERT_NO_FATAL_FAILURE(PlayFor(drag, 6000, [&] {
            const CFPoint now = sprite->GetPosition();
            arrived = arrived || (now.x == before.x + 30 && now.y == before.y + 20);
            return arrived && GetLevelEditorWindow() == editor && editor->GetSelectedObject(0) == sprite;
        }));
        ASSERT_EQ(GetLevelEditorWindow(), editor) << "the editor went away during the drag";
        if (editor->GetSelectedObject(0) == sprite)
            log.push_back("selected");
        const CFPoint after = sprite->GetPosition();
        log.push_back("moved by " + std::to_string(int(after.x - before.x)) + ","
                      + std::to_string(int(after.y - before.y)));

        editor->Destroy();
        EndRun();
    }
    // The first run's folder, which it hands over as the runtime folder.
    const char* first = std::getenv("XDG_RUNTIME_DIR");
    ASSERT_NE(first, nullptr);
    std::string text;
    for (const std::string& line : log)
        text += line + "\n";
    WriteBytes(std::string(first) + "/events.txt", text);
}

} // namespace
