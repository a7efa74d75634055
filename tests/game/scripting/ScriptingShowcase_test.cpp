#include "game/scripting/program/ScriptingShowcase.h"

#include "game/scripting/CAudio.h"
#include "game/scripting/RegisterGameScriptingClasses.h"
#include "images/CFrame.h"
#include "sequences/CSequenceList.h"
#include "sequences/SequenceTestSupport.h"
#include "sound/CSoundList.h"
#include "shell/CKeyboardState.h"
#include "shell/program/CStandInGame.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

// The showcase over the checked-in data with freshly drawn frames, as the
// program runs it: every name it uses is found and every piece draws.
class ScriptingShowcase : public SequenceFolderTest {
protected:
    void SetUp() override
    {
        SequenceFolderTest::SetUp();
        RegisterGameScriptingClasses();
        std::filesystem::create_directories("Data");
        std::filesystem::copy(OMBRISALT_DEMO_DATA "/Data/Resources", "Data/Resources",
                              std::filesystem::copy_options::recursive);
        std::filesystem::current_path("Data");
        // As the game base loads them at start.
        ASSERT_EQ(CSoundList::SGetGlobal().Load("Sounds", "Resources", ".wav", ".ogg"), CountSoundFiles("Resources"));
        GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
    }
    void TearDown() override
    {
        CKeyboardState::SGetInstance().ResetForTesting();
        SetStandInHooks(SStandInHooks());
        GetAudioList().SetSource("Audio", nullptr);
        CSoundList::SGetGlobal().RemoveAll();
        GetSequenceList().SetSource(nullptr, "Nowhere", 0);
        SequenceFolderTest::TearDown();
    }

    static bool AnyLit(CFrame& frame, int32_t left, int32_t top, int32_t right, int32_t bottom)
    {
        for (int32_t y = top; y < bottom; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(frame.Row(uint32_t(y)));
            for (int32_t x = left; x < right; ++x)
                if (row[x] & 0xFFFFFFu)
                    return true;
        }
        return false;
    }
};

TEST_F(ScriptingShowcase, DrawsTheThreeSelectorsAndTheYearAfterTheHooksBeforeIt)
{
    static int previousDraws = 0;
    SStandInHooks before;
    before.draw = [](CFrameInterface&) { ++previousDraws; };
    SetStandInHooks(before);
    InstallScriptingShowcase();
    const SStandInHooks& hooks = GetStandInHooks();
    ASSERT_NE(hooks.init, nullptr);
    hooks.init();
    EXPECT_GT(GetAudioList().Find("Shuffled Chimes"), 0);
    for (int i = 0; i < 30; ++i)
        hooks.update(1.0f / 60.0f);

    std::unique_ptr<CFrame> screen(CFrame::MakeOwned(1024, 768, 32));
    for (uint32_t y = 0; y < 768; ++y)
        std::fill_n(reinterpret_cast<uint32_t*>(screen->Row(y)), 1024, 0u);
    hooks.draw(*screen);
    EXPECT_EQ(previousDraws, 1);
    // Still, loop and ping-pong, each a flag above its hot spot.
    for (int32_t x : {260, 420, 580})
        EXPECT_TRUE(AnyLit(*screen, x - 10, 440, x + 70, 545)) << x;
    // The year in Roman numerals.
    EXPECT_TRUE(AnyLit(*screen, 760, 620, 960, 636));

    // Space plays the shuffled set once per press, however long it is held.
    auto* shuffled
        = dynamic_cast<CAudioShuffledFromSet*>(GetAudioList().GetAudio(GetAudioList().Find("Shuffled Chimes")));
    ASSERT_NE(shuffled, nullptr);
    constexpr uint32_t kSpace = 0x39;
    CKeyboardState& keyboard = CKeyboardState::SGetInstance();
    for (int press = 0; press < 2; ++press) {
        keyboard.OnKeyDown(kSpace);
        hooks.update(1.0f / 60.0f);
        hooks.update(1.0f / 60.0f);
        keyboard.OnKeyUp(kSpace);
        hooks.update(1.0f / 60.0f);
    }
    EXPECT_EQ(shuffled->m_NextIndex, 2u);
}

} // namespace
