// The level editor in the running demo game, reached as a designer reaches
// it: F7 during a level, then presses and drags that come through the
// window's event queue.
#include "../game/screens/ScreensGameTest.h"

#include "editor/CLevelEditorWindow.h"
#include "game/scripting/CSprite.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CPlayfield.h"
#include "platform/WindowDevice.h"

#include <gtest/gtest.h>

namespace {

class LevelEditorInGame : public CScreensGameTest {
protected:
    void SetUp() override
    {
        CScreensGameTest::SetUp();
        if (IsSkipped())
            return;
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

} // namespace
