#include "shell/CKeyboardState.h"
#include "shell/CTypedCommandList.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

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

void PrintTo(const WordCase& c, std::ostream* out)
{
    *out << c.name;
}

class TypedWords : public ::testing::TestWithParam<WordCase> {
protected:
    void SetUp() override
    {
        CKeyboardState::SGetInstance().ResetForTesting();
        CTypedCommandList::SGetInstance().ResetForTesting();
        g_Fired.clear();
    }
    void TearDown() override
    {
        CKeyboardState::SGetInstance().ResetForTesting();
        CTypedCommandList::SGetInstance().ResetForTesting();
    }
};

TEST_P(TypedWords, RunTheCommandOfEachWordSpelledInTheTypedStream)
{
    CTypedCommandList& list = CTypedCommandList::SGetInstance();
    list.RegisterFunction("money", &FireMoney);
    list.RegisterFunction("mon", &FireMon);
    list.RegisterFunction("FPS", &FireFps);
    if (GetParam().enabled)
        list.Enable();
    CKeyboardState& keys = CKeyboardState::SGetInstance();
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

TEST(TypedCommandList, SubstitutionsChangeWordsRegisteredAfterThemAndDisableStopsMatching)
{
    CKeyboardState::SGetInstance().ResetForTesting();
    CTypedCommandList& list = CTypedCommandList::SGetInstance();
    list.ResetForTesting();
    g_Fired.clear();
    list.AddSubstitution("$", "cash");
    list.RegisterFunction("more$", &FireMoney);
    list.Enable();
    for (char c : std::string("more$morecash"))
        CKeyboardState::SGetInstance().OnCharacter(uint8_t(c));
    EXPECT_EQ(g_Fired, "[money]");
    list.Disable();
    for (char c : std::string("morecash"))
        CKeyboardState::SGetInstance().OnCharacter(uint8_t(c));
    EXPECT_EQ(g_Fired, "[money]");
    list.ResetForTesting();
    CKeyboardState::SGetInstance().ResetForTesting();
}

} // namespace
