#include "ShellTestSupport.h"

#include "shell/CFrameRateCounter.h"
#include "shell/CKeyboardState.h"
#include "shell/CMouseState.h"
#include "shell/GameWindow.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using Kind = plat::WindowEvent::Kind;

namespace vk = plat::vk;

// Writes down what reaches the mouse and keyboard states, in order.
class CRecordingInput : public CMouseEventListenerMixin {
public:
    CRecordingInput()
    {
        CMouseState::SGetInstance().ResetForTesting();
        CKeyboardState::SGetInstance().ResetForTesting();
        CKeyboardState::SGetInstance().AddCharacterFilter(&CRecordingInput::Typed, this);
    }
    ~CRecordingInput() override { CKeyboardState::SGetInstance().ResetForTesting(); }
    void OnMouseEvent(const CMouseEvent& event) override
    {
        static const char* const kNames[] = {"move", "press", "release", "click", "wheel"};
        log += std::string(kNames[int(event.type)]) + std::to_string(event.changed) + "@" + std::to_string(event.x)
            + "," + std::to_string(event.y) + " ";
    }
    static bool Typed(void* context, uint32_t character)
    {
        auto* self = static_cast<CRecordingInput*>(context);
        self->log += "type" + std::to_string(character) + " ";
        if (self->reenter)
            RunMessageLoop();
        return false;
    }

    std::string log;
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
};

TEST_F(Pump, TypesTheControlCodeBeforeTheKeyGoesDown)
{
    Queue(Key(Kind::KeyDown, vk::kF7, 65));
    Queue(Key(Kind::KeyDown, uint16_t('Q'), 16));
    Queue(Character(Kind::Char, 'q'));
    Queue(Key(Kind::KeyUp, uint16_t('Q'), 16));
    RunMessageLoop();
    // A letter has no control code: its 0 is dropped.
    EXPECT_EQ(m_Input.log, "type21 type113 ");
    CKeyboardState& keyboard = CKeyboardState::SGetInstance();
    EXPECT_TRUE(keyboard.IsKeyDown(65));
    EXPECT_FALSE(keyboard.IsKeyDown(16));
    EXPECT_EQ(keyboard.TakePressedKey(), 16u);
    EXPECT_EQ(keyboard.TakePressedKey(), 65u);
}

// The codes the toolkit's key tables switch on, as the typed stream carries
// them; keys without one type nothing.
TEST(MapVirtualKeyToKeyCode, GivesEachControlKeyItsEngineCode)
{
    const struct {
        uint16_t virtualKey;
        EngineKey key;
        uint32_t code;
    } kCases[] = {
        {vk::kPrior, EngineKey::PageUp, 7},   {vk::kNext, EngineKey::PageDown, 15},
        {vk::kEnd, EngineKey::End, 14},       {vk::kHome, EngineKey::Home, 5},
        {vk::kLeft, EngineKey::Left, 11},     {vk::kUp, EngineKey::Up, 6},
        {vk::kRight, EngineKey::Right, 12},   {vk::kDown, EngineKey::Down, 10},
        {vk::kInsert, EngineKey::Insert, 16}, {vk::kDelete, EngineKey::Delete, 17},
        {vk::kF1, EngineKey::F1, 31},         {vk::kF2, EngineKey::F2, 30},
        {vk::kF4, EngineKey::F4, 20},         {vk::kF5, EngineKey::F5, 2},
        {vk::kF6, EngineKey::F6, 28},         {vk::kF7, EngineKey::F7, 21},
        {vk::kF8, EngineKey::F8, 23},         {vk::kF9, EngineKey::F9, 29},
        {vk::kF10, EngineKey::F10, 25},       {vk::kF11, EngineKey::F11, 26},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(MapVirtualKeyToKeyCode(c.virtualKey, false), c.key) << c.code;
        EXPECT_EQ(uint32_t(c.key), c.code);
    }
    EXPECT_EQ(uint32_t(MapVirtualKeyToKeyCode(vk::kTab, true)), 9u);
    for (const uint16_t none : {uint16_t(vk::kTab), uint16_t(vk::kF3), uint16_t(vk::kF12), uint16_t('A')})
        EXPECT_EQ(MapVirtualKeyToKeyCode(none, false), EngineKey::None) << none;
    EXPECT_EQ(uint32_t(EngineKey::ContextMenu), 18u);
}

TEST_F(Pump, TabTypesItsCodeOnlyWhileAControlKeyIsHeld)
{
    Queue(Key(Kind::KeyDown, vk::kTab, 15));
    Queue(Key(Kind::KeyDown, vk::kControl, 285));
    Queue(Key(Kind::KeyDown, vk::kTab, 15));
    RunMessageLoop();
    EXPECT_EQ(m_Input.log, "type9 ");
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

TEST_F(Pump, MouseMovesSetButtonsBeforePositionAndClampNegativePositions)
{
    plat::WindowEvent move;
    move.kind = Kind::MouseMove;
    move.x = -5;
    move.y = 40;
    move.heldButtons = 1 | 8; // moves carry only the three main buttons
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
    EXPECT_EQ(m_Input.log, "press1@0,0 move0@0,40 move0@3,4 click2@3,4 press2@3,4 release2@3,4 wheel0@3,4 ");
    EXPECT_EQ(CMouseState::SGetInstance().TakeWheelSteps(), -1);
    // The engine draws its own cursor over an active window.
    EXPECT_FALSE(m_Platform.GetHeadlessWindow().IsCursorShown());
}

// A drag's last movement and release, then the close (a termination
// signal a moment later, taken in the same pass): the pass hands the input
// to the game and the next one closes, so the drag ends where it was let go.
TEST_F(Pump, AClosingAfterInputInOnePassWaitsForTheNextSoTheInputIsHandled)
{
    plat::WindowEvent move;
    move.kind = Kind::MouseMove;
    move.x = 510;
    move.y = 380;
    move.heldButtons = 1;
    Queue(move);
    move.kind = Kind::MouseButton; // the release
    move.button = 1;
    Queue(move);
    Queue(Key(Kind::Quit, 0, 0));
    Queue(Character(Kind::Char, 'a')); // after the close: never handled
    for (const bool closed : {false, true}) {
        RunMessageLoop();
        EXPECT_EQ(IsShutdownRequested(), closed);
        EXPECT_EQ(m_Input.log, "press1@0,0 move0@510,380 release1@510,380 ");
    }
    ClearShutdownRequest();
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
    CKeyboardState::SGetInstance().OnKeyDown(30);
    CMouseState::SGetInstance().StartTracking();
    Queue(Key(Kind::Deactivated, 0, 0));
    RunMessageLoop();
    EXPECT_FALSE(IsWindowActive());
    // Keys held when the window lost the keyboard never see their key-up.
    EXPECT_FALSE(CKeyboardState::SGetInstance().IsKeyDown(30));
    EXPECT_EQ(CKeyboardState::SGetInstance().TakeAnyKey(), 0u);
    EXPECT_FALSE(CMouseState::SGetInstance().IsTracking());
    EXPECT_TRUE(m_Platform.GetHeadlessWindow().IsCursorShown());
    EXPECT_FALSE(game.SetActive(false));
    Queue(Key(Kind::Activated, 0, 0));
    RunMessageLoop();
    EXPECT_FALSE(m_Platform.GetHeadlessWindow().IsCursorShown());
}

// The pump's client, without a game: what it is told and what it answers.
class CRecordingPumpClient final : public CMessagePumpClient {
public:
    CRecordingPumpClient() { SetMessagePumpClient(this); }
    ~CRecordingPumpClient() { SetMessagePumpClient(nullptr); }
    void OnWindowActivation(bool activeAndShown) override { log += activeAndShown ? "front " : "behind "; }
    bool KeepsRunningInBackground() const override { return runsBehind; }
    void OnDisplayModeChanged() override { log += "mode "; }

    std::string log;
    bool runsBehind = false;
};

TEST_F(Pump, TellsItsClientOfActivationAndSleepsAsTheClientRunsBehind)
{
    CRecordingPumpClient client;
    Queue(Key(Kind::Deactivated, 0, 0));
    Queue(Key(Kind::Activated, 0, 0));
    Queue(Key(Kind::Deactivated, 0, 0));
    RunMessageLoop();
    EXPECT_EQ(client.log, "behind front behind ");
    // Behind: a pass waits 100 ms, or 1 ms for a game that runs on.
    const uint64_t slept = m_Platform.GetSleptMilliseconds();
    RunMessageLoop();
    EXPECT_EQ(m_Platform.GetSleptMilliseconds() - slept, 100u);
    client.runsBehind = true;
    RunMessageLoop();
    EXPECT_EQ(m_Platform.GetSleptMilliseconds() - slept, 101u);
}

} // namespace
