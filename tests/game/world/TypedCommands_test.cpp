// The typed debug and cheat words in a running game: what each word changes,
// which words exist without cheats, and the confirmation sound after every
// word but the one that sends a customer away.
#include "game/world/CTypedCommands.h"

#include "../../shell/ShellTestSupport.h"
#include "../../sound/SoundTestSupport.h"

#include "game/business/CThreeInARowCounter.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameState.h"
#include "game/world/CPlayfield.h"
#include "game/world/RegisterGameWorldClasses.h"
#include "shell/CKeyboardState.h"
#include "shell/CTypedCommandList.h"
#include "sound/CSoundList.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class CRecordingCommandHooks final : public CTypedCommandHooks {
public:
    void GrantThreeInARowBonus(CThreeInARowCounter& counter) override { granted.push_back(&counter); }
    void ResetAchievements() override { ++resets; }
    void MakeCustomerLeave(CSprite& customer) override { leaving.push_back(&customer); }

    std::vector<CThreeInARowCounter*> granted;
    uint32_t resets = 0;
    std::vector<CSprite*> leaving;
};

class CShopOpen final : public CGameAppHooks {
public:
    bool IsScreenOpen(EGameScreen screen) override { return screen == EGameScreen::Shop; }
};

class TypedWords : public CShellTest {
protected:
    void SetUp() override
    {
        CShellTest::SetUp();
        RegisterGameWorldClasses();
        CKeyboardState::SGetInstance().ResetForTesting();
        CTypedCommandList::SGetInstance().ResetForTesting();
        ResetGameTypedCommandsForTesting();
        WriteBytes("Data/Resources/Customer Moved In.wav", MonoWave(Constant(20000, 1000)));
        ASSERT_TRUE(Start());
        m_Sounds = std::make_unique<CSoundList>(CSoundDevice::SGetInstance());
        ASSERT_EQ(m_Sounds->Load("Word Sounds", "Resources", ".wav", ".ogg"), 1);
        GetAudioList().SetSource("Audio", m_Sounds.get());
        m_Previous = SetCurrentPlayfield(&m_Playfield);
    }
    void TearDown() override
    {
        SetCurrentPlayfield(m_Previous);
        GetAudioList().SetSource("Audio", nullptr);
        m_Sounds.reset();
        CKeyboardState::SGetInstance().ResetForTesting();
        CTypedCommandList::SGetInstance().ResetForTesting();
        ResetGameTypedCommandsForTesting();
        CShellTest::TearDown();
    }
    // Types the text and answers whether the confirmation sound started.
    bool Type(const std::string& text)
    {
        // A sound starts once per step: each word is typed in a step of its own.
        CSoundDevice::SGetInstance().StopAllSounds();
        CSoundDevice::SGetInstance().NextTick();
        for (char c : text)
            CKeyboardState::SGetInstance().OnCharacter(uint8_t(c));
        CSound* sound = m_Sounds->GetSoundByName("Customer Moved In");
        for (CSound* s = sound; s; s = s->GetNextCopy())
            if (s->IsPlaying())
                return true;
        return false;
    }
    static CGameState& State() { return *CGameState::SGetCurrent(); }
    static STypedCommandSwitches& Switches() { return GetTypedCommandSwitches(); }

    std::unique_ptr<CSoundList> m_Sounds;
    CPlayfield m_Playfield;
    CPlayfield* m_Previous = nullptr;
};

TEST_F(TypedWords, WithoutCheatsTheMoneyWordDoesNothingWhileTheFrameRateWordToggles)
{
    RegisterGameTypedCommands(CTypedCommandList::SGetInstance(), false);
    EXPECT_TRUE(CTypedCommandList::SGetInstance().IsEnabled());
    const float money = State().m_SpendableMoneyK;
    EXPECT_FALSE(Type("zorpMelon"));
    EXPECT_FALSE(Type("zorp10Quill zorpHammer"));
    EXPECT_EQ(State().m_SpendableMoneyK, money);
    EXPECT_EQ(State().m_ExtraStarsHack, 0u);
    EXPECT_FALSE(Switches().debugBuild);

    const bool shown = Game()->GetDisplayFps();
    EXPECT_TRUE(Type("GlimVat"));
    EXPECT_NE(Game()->GetDisplayFps(), shown);
    EXPECT_TRUE(Type("glimvat"));
    EXPECT_EQ(Game()->GetDisplayFps(), shown);

    // A second registration adds nothing: the word still toggles once.
    RegisterGameTypedCommands(CTypedCommandList::SGetInstance(), false);
    EXPECT_TRUE(Type("glimvat"));
    EXPECT_NE(Game()->GetDisplayFps(), shown);
}

TEST_F(TypedWords, CheatWordsChangeMoneyStarsAndSwitchesAndEachConfirms)
{
    RegisterGameTypedCommands(CTypedCommandList::SGetInstance(), true);
    const float money = State().m_SpendableMoneyK;
    EXPECT_TRUE(Type("zorpMelon"));
    EXPECT_EQ(State().m_SpendableMoneyK, money + 100.0f);
    const uint32_t stars = State().m_ExtraStarsHack;
    EXPECT_TRUE(Type("zorp1Quill"));
    EXPECT_TRUE(Type("zorp10Quill"));
    EXPECT_EQ(State().m_ExtraStarsHack, stars + 11) << "the ten-star word is not also the one-star word";

    struct Case {
        const char* word;
        bool STypedCommandSwitches::*flag;
        bool after;
    };
    const Case cases[] = {
        {"trunelda", &STypedCommandSwitches::customerCache, true},
        {"trunelbox", &STypedCommandSwitches::customerCache, false},
        {"wobrinet", &STypedCommandSwitches::playfieldCache, true},
        {"wobrinzul", &STypedCommandSwitches::playfieldCache, false},
        {"zorpHammer", &STypedCommandSwitches::debugBuild, true},
        {"zorpHammer", &STypedCommandSwitches::debugBuild, false},
        {"zorpCounsel", &STypedCommandSwitches::adviceDebug, true},
        {"zorpFlunkTiers", &STypedCommandSwitches::levelFailedByCommand, true},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(Type(c.word)) << c.word;
        EXPECT_EQ(Switches().*c.flag, c.after) << c.word;
    }
    EXPECT_TRUE(Switches().levelFinishedByCommand);
}

TEST_F(TypedWords, WordsForCustomersAndAchievementsGoThroughTheHooksAndOnlyDepartingIsSilent)
{
    RegisterGameTypedCommands(CTypedCommandList::SGetInstance(), true);
    CRecordingCommandHooks hooks;
    CScopedHook<SetTypedCommandHooks> installed(&hooks);

    EXPECT_FALSE(Type("zorpDepart")) << "no customers: nothing, and no sound";
    EXPECT_TRUE(hooks.leaving.empty());
    auto* first = new CSprite;
    m_Playfield.AddSprite(first, "Customers");
    m_Playfield.AddSprite(new CSprite, "Customers");
    EXPECT_FALSE(Type("zorpDepart"));
    EXPECT_EQ(hooks.leaving, std::vector<CSprite*>{first});

    EXPECT_TRUE(Type("zorp3trelkin")) << "no counter: only the sound";
    EXPECT_TRUE(hooks.granted.empty());
    {
        CThreeInARowCounter counter;
        EXPECT_TRUE(Type("zorp3trelkin"));
        EXPECT_EQ(hooks.granted, std::vector<CThreeInARowCounter*>{&counter});
    }

    EXPECT_TRUE(Type("zorpWipeAllMedalRecord"));
    EXPECT_EQ(hooks.resets, 1u);

    CShopOpen shop;
    CScopedHook<SetGameAppHooks> screens(&shop);
    EXPECT_TRUE(Type("zorpBarge")) << "the shop is open: only the sound";
}

} // namespace
