#include "ShellTestSupport.h"

#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"
#include "shell/CKeyboardState.h"
#include "shell/CTypedCommandList.h"
#include "shell/GameWindow.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Kind = plat::WindowEvent::Kind;

std::string g_Fired;

void FireMoney()
{
    g_Fired += "[money]";
}
void FireMon()
{
    g_Fired += "[mon]";
}
void FireFps()
{
    g_Fired += "[fps]";
}

struct WordCase {
    const char* name;
    const char* typed;
    bool enabled;
    const char* fired;
};

class Keyboard : public CShellTest {
protected:
    void SetUp() override
    {
        CShellTest::SetUp();
        Keys().ResetForTesting();
        CTypedCommandList::SGetInstance().ResetForTesting();
        g_Fired.clear();
        SetWindowState(true, false);
    }
    void TearDown() override
    {
        Keys().ResetForTesting();
        CTypedCommandList::SGetInstance().ResetForTesting();
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

// A key pressed and released before anyone looked is answered once.
TEST_F(Keyboard, AnyKeyAnswersAReleasedPressOnce)
{
    Keys().OnKeyDown(30);
    Keys().OnKeyUp(30);
    EXPECT_EQ(Keys().TakeAnyKey(), 30u);
    EXPECT_EQ(Keys().TakeAnyKey(), 0u);
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

TEST_F(Keyboard, ClearsCountWhatIsQueuedOnlyWhenThePumpRunsFirst)
{
    Queue(Kind::KeyDown, 'A', 30);
    Queue(Kind::Char, 0, 0, 'a');
    Keys().ClearPressed();
    EXPECT_FALSE(Keys().IsKeyDown(30));
    // The queued key goes down first, then its mark is cleared.
    PumpThenClearKeyboard(KeyboardClear::Pressed);
    EXPECT_TRUE(Keys().IsKeyDown(30));
    EXPECT_EQ(Keys().TakePressedKey(), 0u);
    EXPECT_EQ(Typed(), "a");
    Queue(Kind::Char, 0, 0, 'b');
    PumpThenClearKeyboard(KeyboardClear::All);
    EXPECT_FALSE(Keys().IsKeyDown(30));
    EXPECT_EQ(Typed(), "");
}

TEST_F(Keyboard, DownAndPendingClearsTakeOnlyTheirOwnPart)
{
    Queue(Kind::KeyDown, 'A', 30);
    Queue(Kind::Char, 0, 0, 'a');
    PumpThenClearKeyboard(KeyboardClear::Down);
    EXPECT_FALSE(Keys().IsKeyDown(30));
    EXPECT_EQ(Keys().TakePressedKey(), 30u) << "the press stays";
    Queue(Kind::Char, 0, 0, 'b');
    Queue(Kind::KeyDown, 'C', 46);
    PumpThenClearKeyboard(KeyboardClear::Pending);
    EXPECT_EQ(Typed(), "");
    EXPECT_TRUE(Keys().IsKeyDown(46));
    // Without the pump nothing queued is seen, and only the ring empties.
    Keys().OnCharacter('c');
    Queue(Kind::Char, 0, 0, 'd');
    Keys().ClearPending();
    EXPECT_TRUE(Keys().IsKeyDown(46));
    RunMessageLoop();
    EXPECT_EQ(Typed(), "d");
}

class TypedWords : public Keyboard, public ::testing::WithParamInterface<WordCase> {};

TEST_P(TypedWords, RunTheCommandOfEachWordSpelledInTheTypedStream)
{
    CTypedCommandList& list = CTypedCommandList::SGetInstance();
    list.RegisterFunction("money", &FireMoney);
    list.RegisterFunction("mon", &FireMon);
    list.RegisterFunction("FPS", &FireFps);
    if (GetParam().enabled)
        list.Enable();
    CKeyboardState& keys = Keys();
    std::string log;
    for (const char* c = GetParam().typed; *c; ++c) {
        keys.OnCharacter(uint8_t(*c));
        if (g_Fired.size()) {
            log += std::string(1, *c) + g_Fired;
            g_Fired.clear();
        }
    }
    EXPECT_EQ(log, GetParam().fired);
    // The words never take characters from the ring (it keeps the last 9).
    std::string typed(GetParam().typed);
    if (typed.size() > 9)
        typed = typed.substr(typed.size() - 9);
    std::string ring;
    while (uint32_t c = keys.TakeTypedCharacter())
        ring += char(c);
    EXPECT_EQ(ring, typed);
}

// Each fired command is listed after the character that completed it.
INSTANTIATE_TEST_SUITE_P(
    TypedCommandList, TypedWords,
    ::testing::Values(WordCase{"Disabled", "fps", false, ""}, WordCase{"UpperCaseTyped", "FpS", true, "S[fps]"},
                      WordCase{"LowerCaseTypedForUpperCaseWord", "fps", true, "s[fps]"},
                      WordCase{"TwiceInARow", "fpsfps", true, "s[fps]s[fps]"},
                      WordCase{"InsideOtherText", "xxfpsxx", true, "s[fps]"},
                      WordCase{"PrefixWordRunsInsideTheLongerOne", "money", true, "n[mon]y[money]"},
                      WordCase{"WrongLetterCancelsThenRetypingWorks", "fpxfps", true, "s[fps]"},
                      WordCase{"OverlappingAttempts", "momoney", true, "n[mon]y[money]"},
                      WordCase{"BrokenWordNeverFires", "f p s", true, ""}),
    [](const ::testing::TestParamInfo<WordCase>& param) { return param.param.name; });

TEST_F(Keyboard, TypedWordSubstitutionsChangeWordsRegisteredAfterThemAndDisableStopsMatching)
{
    CTypedCommandList& list = CTypedCommandList::SGetInstance();
    list.AddSubstitution("$", "cash");
    list.RegisterFunction("more$", &FireMoney);
    list.Enable();
    for (char c : std::string("more$morecash"))
        Keys().OnCharacter(uint8_t(c));
    EXPECT_EQ(g_Fired, "[money]");
    list.Disable();
    for (char c : std::string("morecash"))
        Keys().OnCharacter(uint8_t(c));
    EXPECT_EQ(g_Fired, "[money]");
}

// A long load keeps the window alive by pumping its messages; a word typed
// then must not run inside the load, where its command could ask for the
// item being read, but at the next pump after it.
TEST_F(Keyboard, AWordCompletedWhileAnItemLoadsRunsAtTheNextPumpAfterTheLoad)
{
    CTypedCommandList& list = CTypedCommandList::SGetInstance();
    list.RegisterFunction("fps", &FireFps);
    list.RegisterFunction("mon", &FireMon);
    list.Enable();
    class CPumpingList : public CObjectArrayBaseTemplate<CObject> {
    public:
        explicit CPumpingList(plat::CWindowHeadless& window)
            : CObjectArrayBaseTemplate<CObject>("Item.txt")
            , m_Window(window)
        {
        }
        CObject* LoadObject(const CJString&, const CJString&, CObject**) override
        {
            plat::WindowEvent event;
            event.kind = Kind::Char;
            for (char c : std::string("fpsmon")) {
                event.character = uint8_t(c);
                m_Window.PushEvent(event);
            }
            RunMessageLoop();
            firedInside = g_Fired;
            return nullptr;
        }
        std::string firedInside;

    private:
        plat::CWindowHeadless& m_Window;
    } items(m_Platform.GetHeadlessWindow());
    WriteBytes(PathOf("Items/Thing.Item.txt"), "");
    items.SetSource(nullptr, "Items", 0);
    ASSERT_EQ(items.GetCount(), 1);

    items.GetItemObject(0);
    EXPECT_EQ(items.firedInside, "");
    EXPECT_EQ(g_Fired, "") << "nothing runs before the next pump";
    EXPECT_EQ(Typed(), "fpsmon") << "the characters were typed all the same";
    for (char c : std::string("fps"))
        Keys().OnCharacter(uint8_t(c));
    RunMessageLoop();
    EXPECT_EQ(g_Fired, "[fps][mon][fps]") << "in the order typed";
    RunMessageLoop();
    EXPECT_EQ(g_Fired, "[fps][mon][fps]") << "once";
}

} // namespace
