#include "PlugInTestSupport.h"

#include "game/scripting/CSpritePlugInHideReveal.h"
#include "game/scripting/RegisterGameScriptingClasses.h"

#include <gtest/gtest.h>

namespace {

class HideReveal : public ::testing::Test {
protected:
    void SetUp() override { RegisterGameScriptingClasses(); }

    // The update at which seconds, less the fixed step per update in float,
    // first reach 0 or below: what the plug-ins compute.
    static int UpdatesToRunOut(float seconds)
    {
        int n = 0;
        do {
            seconds -= kPlugInStepSeconds;
            ++n;
        } while (seconds > 0.0f);
        return n;
    }
    static void Start(CSpritePlugIn& plugIn, CSprite& sprite)
    {
        plugIn.SetSprite(&sprite);
        CPlugInUpdateRecord record;
        plugIn.Restart(record);
    }
    // The update at which the plug-in reported done (0: not within 200),
    // checking the sprite after each update before that.
    template <typename Check>
    static int RunUntilDone(CSpritePlugIn& plugIn, Check check)
    {
        for (int i = 1; i <= 200; ++i) {
            CPlugInUpdateRecord record;
            plugIn.Update(record);
            if (record.done)
                return i;
            check(i);
        }
        return 0;
    }
    static void SetSeconds(CExpression*& property, float value)
    {
        auto* number = new CExpressionNumber();
        number->m_Value = value;
        delete property;
        property = number;
    }
    static int Alpha(const CSprite& sprite) { return sprite.GetColor().GetAlpha(); }
};

TEST_F(HideReveal, HideFadesLinearlyThenLeavesTheSpriteHiddenAtFullOpacity)
{
    CSprite sprite;
    CHideSpritePlugIn hide; // 0.5 s by default
    Start(hide, sprite);
    const int done = RunUntilDone(hide, [&](int i) {
        EXPECT_TRUE(sprite.IsVisible());
        EXPECT_NEAR(Alpha(sprite), 255.0 * (30 - i) / 30.0, 1.0) << i;
    });
    EXPECT_EQ(done, UpdatesToRunOut(0.5f));
    EXPECT_EQ(done, 30);
    EXPECT_FALSE(sprite.IsVisible());
    EXPECT_EQ(Alpha(sprite), 255);

    // A fade of no length ends at once, without dividing.
    SetSeconds(hide.m_FadeOutTime, 0.0f);
    sprite.SetVisible(true);
    Start(hide, sprite);
    EXPECT_EQ(RunUntilDone(hide, [](int) {}), 1);
    EXPECT_FALSE(sprite.IsVisible());
}

TEST_F(HideReveal, RevealShowsAtTheFirstUpdateNearlyTransparentAndEndsOpaque)
{
    CSprite sprite;
    sprite.SetVisible(false);
    CRevealSpritePlugIn reveal;
    SetSeconds(reveal.m_FadeInTime, 1.0f);
    Start(reveal, sprite);
    EXPECT_FALSE(sprite.IsVisible());
    const int done = RunUntilDone(reveal, [&](int i) {
        EXPECT_TRUE(sprite.IsVisible());
        if (i == 1) {
            EXPECT_EQ(Alpha(sprite), 4); // 1/60 of 255
        }
    });
    EXPECT_EQ(done, UpdatesToRunOut(1.0f)); // the 61st, by float arithmetic
    EXPECT_TRUE(sprite.IsVisible());
    EXPECT_EQ(Alpha(sprite), 255);
}

TEST_F(HideReveal, HideAndRevealAfterDelayStaysHiddenUntilItsTimeIsUp)
{
    CSprite sprite;
    CHideAndRevealAfterDelaySpritePlugIn delay; // 1 s
    Start(delay, sprite);
    EXPECT_FALSE(sprite.IsVisible());
    const int done = RunUntilDone(delay, [&](int) {
        EXPECT_FALSE(sprite.IsVisible());
        sprite.SetVisible(true); // hidden again by the next update
    });
    EXPECT_EQ(done, UpdatesToRunOut(1.0f));
    EXPECT_TRUE(sprite.IsVisible());
}

TEST_F(HideReveal, UnderFastForwardEachRepetitionCountsTheSecondsAgain)
{
    CSprite sprite;
    CSpritePlugInFastForward fast;
    fast.m_Speed = 10;
    fast.AddPlugIn(new CHideSpritePlugIn()); // 30 repetitions
    Start(fast, sprite);
    EXPECT_EQ(RunUntilDone(fast, [&](int) { EXPECT_TRUE(sprite.IsVisible()); }), 3);
    EXPECT_FALSE(sprite.IsVisible());
}

} // namespace
