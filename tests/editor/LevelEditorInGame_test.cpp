// The level editor in the running demo game, reached as a designer reaches
// it: F7 during a level, then presses and drags that come through the
// window's event queue; a tutorial message open in the object editor is
// previewed over the level.
#include "../game/screens/ScreensGameTest.h"

#include "editor/CLevelEditorWindow.h"
#include "editor/CObjectEditor.h"
#include "game/screens/CTutorialPopUp.h"
#include "game/scripting/CSprite.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CPlayfield.h"
#include "game/world/CTutorial.h"
#include "images/CFrame.h"
#include "platform/WindowDevice.h"

#include <gtest/gtest.h>

#include <memory>

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

} // namespace
