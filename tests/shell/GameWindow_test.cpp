#include "ShellTestSupport.h"

#include "shell/CFrameRateCounter.h"
#include "shell/GameWindow.h"

#include <gtest/gtest.h>

#include <ostream>

#include <set>
#include <string>

namespace {

using Kind = plat::WindowEvent::Kind;

struct KeyCase {
    const char* name;
    uint16_t virtualKey;
    bool control;
    uint32_t code;
};

void PrintTo(const KeyCase& c, std::ostream* out)
{
    *out << c.name;
}

class KeyCodes : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyCodes, FollowTheControlKeyTable)
{
    EXPECT_EQ(MapVirtualKeyToKeyCode(GetParam().virtualKey, GetParam().control), GetParam().code);
}

namespace vk = plat::vk;
INSTANTIATE_TEST_SUITE_P(GameWindow, KeyCodes,
                         // Tab depends on Control; F3, F12 and letters have no code; F7 and F10
                         // share theirs with Ctrl+U and Ctrl+Y.
                         ::testing::Values(KeyCase{"TabWithControl", vk::kTab, true, 9},
                                           KeyCase{"TabAlone", vk::kTab, false, 0},
                                           KeyCase{"PageUp", vk::kPrior, false, 7},
                                           KeyCase{"Delete", vk::kDelete, true, 17}, KeyCase{"F3", vk::kF3, false, 0},
                                           KeyCase{"F7", vk::kF7, false, 21}, KeyCase{"F10", vk::kF10, false, 25},
                                           KeyCase{"F12", vk::kF12, false, 0},
                                           KeyCase{"Letter", uint16_t('A'), true, 0}),
                         [](const ::testing::TestParamInfo<KeyCase>& param) { return param.param.name; });

// Writes every call down in order.
class CRecordingInput : public CShellInput {
public:
    void SetButtons(uint32_t set, uint32_t clear) override
    {
        log += "buttons+" + std::to_string(set) + "-" + std::to_string(clear) + " ";
    }
    void SetPosition(int32_t x, int32_t y) override { log += "at" + std::to_string(x) + "," + std::to_string(y) + " "; }
    void AddDoubleClick(uint32_t button) override { log += "double" + std::to_string(button) + " "; }
    void AddWheel(float notches) override { log += "wheel" + std::to_string(int(notches * 10)) + " "; }
    void EndDragAndClip() override { log += "enddrag "; }
    void TypeKey(uint32_t code) override
    {
        log += "type" + std::to_string(code) + " ";
        if (reenter)
            RunMessageLoop();
    }
    void KeyDown(uint16_t scanIndex) override
    {
        held.insert(scanIndex);
        log += "down" + std::to_string(scanIndex) + " ";
    }
    void KeyUp(uint16_t scanIndex) override
    {
        held.erase(scanIndex);
        log += "up" + std::to_string(scanIndex) + " ";
    }
    bool IsKeyDown(uint16_t scanIndex) const override { return held.count(scanIndex) != 0; }
    void ResetKeyboard() override { log += "reset "; }

    std::string log;
    std::set<uint16_t> held;
    bool reenter = false;
};

class Pump : public CShellTest {
protected:
    void SetUp() override
    {
        CShellTest::SetUp();
        SetWindowState(true, false);
    }
    void Queue(plat::WindowEvent event) { m_Platform.GetHeadlessWindow().PushEvent(event); }
    static plat::WindowEvent Key(Kind kind, uint16_t virtualKey, uint16_t scanIndex)
    {
        plat::WindowEvent event;
        event.kind = kind;
        event.virtualKey = virtualKey;
        event.scanIndex = scanIndex;
        return event;
    }
    static plat::WindowEvent Character(Kind kind, uint8_t character)
    {
        plat::WindowEvent event;
        event.kind = kind;
        event.character = character;
        return event;
    }
    CRecordingInput m_Input;
    CScopedShellInput m_InputHook{&m_Input};
};

TEST_F(Pump, TypesTheControlCodeBeforeTheKeyGoesDown)
{
    Queue(Key(Kind::KeyDown, vk::kF7, 65));
    Queue(Key(Kind::KeyDown, uint16_t('Q'), 16));
    Queue(Character(Kind::Char, 'q'));
    Queue(Key(Kind::KeyUp, uint16_t('Q'), 16));
    RunMessageLoop();
    // A letter has no control code: type0 is dropped by the receiver.
    EXPECT_EQ(m_Input.log, "type21 down65 type0 down16 type113 up16 ");
}

TEST_F(Pump, TabTypesItsCodeOnlyWhileAControlKeyIsHeld)
{
    Queue(Key(Kind::KeyDown, vk::kTab, 15));
    Queue(Key(Kind::KeyDown, vk::kControl, 285));
    Queue(Key(Kind::KeyDown, vk::kTab, 15));
    RunMessageLoop();
    EXPECT_EQ(m_Input.log, "type0 down15 type0 down285 type9 down15 ");
}

TEST_F(Pump, AltEnterTypesNothingAndTheMenuKeyTypes18)
{
    Queue(Character(Kind::SysChar, 13));
    Queue(Character(Kind::SysChar, 'f'));
    plat::WindowEvent menu;
    menu.kind = Kind::ContextMenuKey;
    Queue(menu);
    RunMessageLoop();
    EXPECT_EQ(m_Input.log, "type102 type18 ");
}

TEST_F(Pump, MouseEventsSetPositionBeforeButtonsAndClampNegativePositions)
{
    plat::WindowEvent move;
    move.kind = Kind::MouseMove;
    move.x = -5;
    move.y = 40;
    move.heldButtons = 1 | 8; // the extra button is kept as it was
    Queue(move);
    plat::WindowEvent click;
    click.kind = Kind::MouseButton;
    click.x = 3;
    click.y = 4;
    click.button = 2;
    click.down = true;
    click.doubleClick = true;
    Queue(click);
    click.down = false;
    click.doubleClick = false;
    Queue(click);
    plat::WindowEvent wheel;
    wheel.kind = Kind::MouseWheel;
    wheel.wheelNotches = -1.5f;
    Queue(wheel);
    RunMessageLoop();
    EXPECT_EQ(m_Input.log, "buttons+1-6 at0,40 at3,4 double2 buttons+2-0 at3,4 buttons+0-2 wheel-15 ");
    // The engine draws its own cursor over an active window.
    EXPECT_FALSE(m_Platform.GetHeadlessWindow().IsCursorShown());
}

TEST_F(Pump, IsNotReenteredFromAHandler)
{
    m_Input.reenter = true;
    Queue(Character(Kind::Char, 'a'));
    Queue(Character(Kind::Char, 'b'));
    RunMessageLoop();
    EXPECT_EQ(m_Input.log, "type97 type98 ");
}

TEST_F(Pump, DeactivationTellsTheGameResetsKeysAndCountersAndEndsADrag)
{
    CCountingGame game;
    GetFrameRateCounter(FrameRateCounterId::All).Start();
    Queue(Key(Kind::Deactivated, 0, 0));
    RunMessageLoop();
    EXPECT_FALSE(IsWindowActive());
    // The game's own reset and the pump's, then the drag.
    EXPECT_EQ(m_Input.log, "reset enddrag reset enddrag ");
    EXPECT_TRUE(m_Platform.GetHeadlessWindow().IsCursorShown());
    EXPECT_FALSE(game.SetActive(false));
    m_Input.log.clear();
    Queue(Key(Kind::Activated, 0, 0));
    RunMessageLoop();
    EXPECT_EQ(m_Input.log, "reset reset ");
    EXPECT_FALSE(m_Platform.GetHeadlessWindow().IsCursorShown());
}

} // namespace
