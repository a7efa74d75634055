#include "PlugInTestSupport.h"

#include "game/scripting/CSpritePlugInHideReveal.h"
#include "game/scripting/RegisterGameScriptingClasses.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

class HideReveal : public ::testing::Test {
protected:
    void SetUp() override { RegisterGameScriptingClasses(); }

    // The update at which a countdown of seconds, less the fixed step per
    // update in float, first reaches 0 or below: what the plug-ins compute.
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
    static bool Step(CSpritePlugIn& plugIn)
    {
        CPlugInUpdateRecord record;
        plugIn.Update(record);
        return record.done;
    }
    static CExpressionNumber* Seconds(float value)
    {
        auto* number = new CExpressionNumber();
        number->m_Value = value;
        return number;
    }
    static uint8_t Alpha(const CSprite& sprite) { return sprite.GetColor().GetAlpha(); }
};

TEST_F(HideReveal, HideFadesLinearlyThenLeavesTheSpriteHiddenAtFullOpacity)
{
    CSprite sprite;
    CHideSpritePlugIn hide; // "Fade out time" 0.5 by default
    Start(hide, sprite);
    const int updates = UpdatesToRunOut(0.5f);
    EXPECT_EQ(updates, 30);
    std::vector<uint8_t> alphas;
    for (int i = 1; i < updates; ++i) {
        ASSERT_FALSE(Step(hide)) << i;
        ASSERT_TRUE(sprite.IsVisible()) << i;
        alphas.push_back(Alpha(sprite));
    }
    // Falls by 255/30 per update, rounded.
    for (size_t i = 0; i < alphas.size(); ++i)
        EXPECT_NEAR(alphas[i], 255.0 * (29.0 - double(i)) / 30.0, 1.0) << i;
    EXPECT_TRUE(Step(hide));
    EXPECT_FALSE(sprite.IsVisible());
    EXPECT_EQ(Alpha(sprite), 255);
}

TEST_F(HideReveal, RevealShowsAtTheFirstUpdateNearlyTransparentAndEndsOpaque)
{
    CSprite sprite;
    sprite.SetVisible(false);
    CRevealSpritePlugIn reveal;
    delete reveal.m_FadeInTime;
    reveal.m_FadeInTime = Seconds(1.0f);
    Start(reveal, sprite);
    EXPECT_FALSE(sprite.IsVisible()); // nothing happens before the first update

    EXPECT_FALSE(Step(reveal));
    EXPECT_TRUE(sprite.IsVisible());
    EXPECT_EQ(Alpha(sprite), 4); // 1/60 of 255, rounded
    const int updates = UpdatesToRunOut(1.0f);
    EXPECT_EQ(updates, 61);
    for (int i = 2; i < updates; ++i)
        ASSERT_FALSE(Step(reveal)) << i;
    EXPECT_TRUE(Step(reveal));
    EXPECT_TRUE(sprite.IsVisible());
    EXPECT_EQ(Alpha(sprite), 255);
}

TEST_F(HideReveal, HideAndRevealAfterDelayKeepsTheSpriteHiddenUntilItsTimeIsUp)
{
    CSprite sprite;
    CHideAndRevealAfterDelaySpritePlugIn delay; // 1 second
    Start(delay, sprite);
    EXPECT_FALSE(sprite.IsVisible());
    const int updates = UpdatesToRunOut(1.0f);
    for (int i = 1; i < updates; ++i) {
        ASSERT_FALSE(Step(delay)) << i;
        // Showing it meanwhile does not last: every update hides it again.
        sprite.SetVisible(true);
    }
    EXPECT_TRUE(Step(delay));
    EXPECT_TRUE(sprite.IsVisible());
    // A restart hides it again for the whole time.
    Start(delay, sprite);
    EXPECT_FALSE(sprite.IsVisible());
}

TEST_F(HideReveal, FadesOfNoLengthFinishAtOnceAndNothingBreaksWithoutASprite)
{
    CSprite sprite;
    CHideSpritePlugIn hide;
    delete hide.m_FadeOutTime;
    hide.m_FadeOutTime = Seconds(0.0f);
    Start(hide, sprite);
    EXPECT_TRUE(Step(hide));
    EXPECT_FALSE(sprite.IsVisible());
    EXPECT_EQ(Alpha(sprite), 255);

    CRevealSpritePlugIn reveal;
    delete reveal.m_FadeInTime;
    reveal.m_FadeInTime = Seconds(-1.0f);
    Start(reveal, sprite);
    EXPECT_TRUE(Step(reveal));
    EXPECT_TRUE(sprite.IsVisible());
    EXPECT_EQ(Alpha(sprite), 255);

    CHideSpritePlugIn lone;
    CPlugInUpdateRecord record;
    lone.Restart(record);
    EXPECT_FALSE(Step(lone));
}

TEST_F(HideReveal, UnderFastForwardEachRepetitionCountsTheSecondsAgain)
{
    CSprite sprite;
    CSpritePlugInFastForward fast;
    fast.m_Speed = 10;
    auto* hide = new CHideSpritePlugIn(); // 0.5 s: 30 repetitions
    fast.AddPlugIn(hide);
    Start(fast, sprite);
    EXPECT_FALSE(Step(fast));
    EXPECT_FALSE(Step(fast));
    EXPECT_TRUE(sprite.IsVisible());
    EXPECT_TRUE(Step(fast));
    EXPECT_FALSE(sprite.IsVisible());
}

} // namespace
