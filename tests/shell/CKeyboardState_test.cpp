#include "ShellTestSupport.h"

#include "shell/CKeyboardState.h"
#include "shell/GameWindow.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Kind = plat::WindowEvent::Kind;

class Keyboard : public CShellTest {
protected:
    void SetUp() override
    {
        CShellTest::SetUp();
        Keys().ResetForTesting();
        SetWindowState(true, false);
    }
    void TearDown() override
    {
        Keys().ResetForTesting();
        CShellTest::TearDown();
    }
    static CKeyboardState& Keys() { return CKeyboardState::SGetInstance(); }
    void Queue(Kind kind, uint16_t virtualKey, uint16_t scanIndex, uint8_t character = 0)
    {
        plat::WindowEvent event;
        event.kind = kind;
        event.virtualKey = virtualKey;
        event.scanIndex = scanIndex;
        event.character = character;
        m_Platform.GetHeadlessWindow().PushEvent(event);
    }
    static std::string Typed()
    {
        std::string text;
        while (const uint32_t c = Keys().TakeTypedCharacter())
            text += char(c);
        return text;
    }
};

// The window events of holding A (two repeats), typing it each time, then
// Ctrl+C: what the key translation gives for those keys.
TEST_F(Keyboard, HeldKeyRepeatsItsPressedMarkAndTypesEachRepeat)
{
    Queue(Kind::KeyDown, 'A', 30);
    Queue(Kind::Char, 0, 0, 'a');
    RunMessageLoop();
    EXPECT_TRUE(Keys().IsKeyDown(30));
    EXPECT_EQ(Keys().TakePressedKey(), 30u);
    EXPECT_EQ(Keys().TakePressedKey(), 0u);
    Queue(Kind::KeyDown, 'A', 30);
    Queue(Kind::Char, 0, 0, 'a');
    Queue(Kind::KeyDown, 'A', 30);
    Queue(Kind::Char, 0, 0, 'a');
    RunMessageLoop();
    // Two repeats before anyone looked leave one mark.
    EXPECT_EQ(Keys().TakePressedKey(), 30u);
    EXPECT_EQ(Keys().TakePressedKey(), 0u);
    Queue(Kind::KeyUp, 'A', 30);
    Queue(Kind::KeyDown, plat::vk::kControl, 29);
    Queue(Kind::KeyDown, 'C', 46);
    Queue(Kind::Char, 0, 0, 3);
    RunMessageLoop();
    EXPECT_FALSE(Keys().IsKeyDown(30));
    EXPECT_TRUE(Keys().IsKeyDown(29));
    EXPECT_EQ(Typed(), "aaa\x03");
    // The lowest code comes first, not the oldest.
    EXPECT_EQ(Keys().TakePressedKey(), 29u);
    EXPECT_EQ(Keys().TakePressedKey(), 46u);
    // Held keys still count as "any key", without a pressed mark.
    EXPECT_EQ(Keys().TakeAnyKey(), 29u);
    EXPECT_TRUE(Keys().IsKeyDown(0));
}

TEST_F(Keyboard, LeftAndRightControlAreSeparateKeys)
{
    Keys().OnKeyDown(285);
    EXPECT_TRUE(Keys().IsKeyDown(285));
    EXPECT_FALSE(Keys().IsKeyDown(29));
    Keys().OnKeyUp(29);
    EXPECT_TRUE(Keys().IsKeyDown(285));
    // Codes outside 0..511 are no keys.
    Keys().OnKeyDown(512);
    EXPECT_FALSE(Keys().IsKeyDown(512));
}

TEST_F(Keyboard, RingKeepsTheNineNewestCharacters)
{
    for (char c : std::string("abcdefghijkl"))
        Keys().OnCharacter(uint32_t(uint8_t(c)));
    EXPECT_EQ(Typed(), "defghijkl");
    Keys().OnCharacter(0);
    Keys().OnCharacter(0x1E9); // only the low byte is kept
    EXPECT_EQ(Typed(), "\xE9");
}

TEST_F(Keyboard, FirstFilterThatTakesACharacterKeepsItFromTheRing)
{
    std::string seen;
    struct Filter {
        static bool TakeX(void* context, uint32_t c)
        {
            *static_cast<std::string*>(context) += "1" + std::string(1, char(c));
            return c == 'x';
        }
        static bool Watch(void* context, uint32_t c)
        {
            *static_cast<std::string*>(context) += "2" + std::string(1, char(c));
            return false;
        }
    };
    Keys().AddCharacterFilter(&Filter::TakeX, &seen);
    Keys().AddCharacterFilter(&Filter::Watch, &seen);
    Keys().OnCharacter('x');
    Keys().OnCharacter('y');
    EXPECT_EQ(seen, "1x1y2y");
    EXPECT_EQ(Typed(), "y");
}

TEST_F(Keyboard, ClearsCountWhatIsQueuedUnlessToldNotToPump)
{
    Queue(Kind::KeyDown, 'A', 30);
    Queue(Kind::Char, 0, 0, 'a');
    Keys().ClearPressed(KeyboardPump::NoPump);
    EXPECT_FALSE(Keys().IsKeyDown(30));
    // The queued key goes down first, then its mark is cleared.
    Keys().ClearPressed();
    EXPECT_TRUE(Keys().IsKeyDown(30));
    EXPECT_EQ(Keys().TakePressedKey(), 0u);
    EXPECT_EQ(Typed(), "a");
    Queue(Kind::Char, 0, 0, 'b');
    Keys().Reset();
    EXPECT_FALSE(Keys().IsKeyDown(30));
    EXPECT_EQ(Typed(), "");
}

} // namespace
