// The typed debug and cheat words in a running game: what each word changes,
// which words exist without cheats, and the confirmation sound after every
// word but the one that sends a customer away.
#include "game/world/CTypedCommands.h"

#include "../../shell/ShellTestSupport.h"
#include "../../sound/SoundTestSupport.h"

#include "game/business/CCustomer.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CPlayfield.h"
#include "game/world/RegisterGameWorldClasses.h"
#include "game/world/WorldHooks.h"
#include "shell/CKeyboardState.h"
#include "shell/CTypedCommandList.h"
#include "sound/CSoundList.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// The achievements above the game, as the typed words reach them.
class CRecordingAchievements final : public CGameScreensHooks {
public:
    void ResetAchievements() override { ++resets; }
    uint32_t resets = 0;
};

class CShopOpen final : public CGameScreensHooks {
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
        WriteBytes("Data/Resources/Three In A Row Options.Object.txt", "CThreeInARowCounterOptions\r\n{\r\n}\r\n");
        ASSERT_TRUE(Start());
        m_Sounds = std::make_unique<CSoundList>(CSoundDevice::SGetInstance());
        ASSERT_EQ(m_Sounds->Load("Word Sounds", "Resources", ".wav", ".ogg"), 1);
        GetAudioList().SetSource("Audio", m_Sounds.get());
        m_Previous = SetCurrentPlayfield(&m_Playfield);
        GetGeneralObjects().SetSource(nullptr, "Resources", 0);
    }
    void TearDown() override
    {
        GetGeneralObjects().RemoveAll();
        GetGeneralObjects().SetSource(nullptr, "Nowhere", 0);
        SetCurrentPlayfield(m_Previous);
        GetAudioList().SetSource("Audio", nullptr);
        m_Sounds.reset();
        CKeyboardState::SGetInstance().ResetForTesting();
        CTypedCommandList::SGetInstance().ResetForTesting();
        ResetGameTypedCommandsForTesting();
        // The stars and money the words gave stay with the process's state.
        CGameState fresh;
        fresh.ResetToDefaults();
        State().CopyFromAndReset(&fresh);
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

TEST_F(TypedWords, WordsForCustomersTheBonusAndAchievementsReachThemAndOnlyDepartingIsSilent)
{
    RegisterGameTypedCommands(CTypedCommandList::SGetInstance(), true);
    CRecordingAchievements achievements;
    CScopedHook<SetGameScreensHooks> installed(&achievements);

    EXPECT_FALSE(Type("zorpDepart")) << "no customers: nothing, and no sound";
    CSprite* customers[2] = {};
    for (CSprite*& sprite : customers) {
        sprite = new CSprite;
        sprite->AddAI(new CCustomer);
        m_Playfield.AddSprite(sprite, "Customers");
    }
    EXPECT_FALSE(Type("zorpDepart"));
    EXPECT_FALSE(customers[0]->IsVisible()) << "the first customer leaves";
    EXPECT_TRUE(customers[1]->IsVisible());

    EXPECT_TRUE(Type("zorp3trelkin")) << "no counter: only the sound";
    {
        CThreeInARowCounter counter;
        EXPECT_TRUE(Type("zorp3trelkin"));
        EXPECT_EQ(counter.m_SecondsBonusLeft, 5.0f) << "the counter's bonus, granted once";
    }

    EXPECT_TRUE(Type("zorpWipeAllMedalRecord"));
    EXPECT_EQ(achievements.resets, 1u);

    CShopOpen shop;
    CScopedHook<SetGameScreensHooks> screens(&shop);
    EXPECT_TRUE(Type("zorpBarge")) << "the shop is open: only the sound";
}

} // namespace
