// The demo level's arrivals in the real game: customers come after the
// first delay, and a level ended by the finish switch is played again from
// its start (the stand-in until the results screens), the frame that ended
// it carrying on over the new level.
#include "../world/DemoGameTest.h"

#include "game/business/CCustomer.h"
#include "game/business/CCustomerArrivals.h"
#include "game/scripting/CSprite.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CPlayfield.h"
#include "game/world/CTypedCommands.h"
#include "images/CFrame.h"
#include "support/ScopedHooks.h"

namespace {

class DemoArrivals : public CDemoGameTest {
protected:
    void TearDown() override
    {
        GetTypedCommandSwitches() = STypedCommandSwitches();
        CDemoGameTest::TearDown();
    }
    static uint32_t Waiting()
    {
        CPlayfield* playfield = GetCurrentPlayfield();
        CPlayfieldLayer* layer = playfield ? playfield->FindLayer("Customers") : nullptr;
        return layer ? layer->GetSpriteCount() : 0;
    }
    bool PassFrames(int frames)
    {
        for (int i = 0; i < frames; ++i)
            if (!Pass(17))
                return false;
        return true;
    }
};

TEST_F(DemoArrivals, CustomersComeAfterTheFirstDelayAndAFinishedLevelStartsAgain)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Pass(17));
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(Waiting(), 0u);
    // The tutorial holds customers back for its first five seconds.
    level->m_CustomerSpawningDisabled = false;
    ASSERT_TRUE(PassFrames(150));
    ASSERT_GE(Waiting(), 1u);
    CPlayfieldLayer* layer = GetCurrentPlayfield()->FindLayer("Customers");
    CCustomer* first = FindCustomer(layer->GetSprite(0));
    ASSERT_NE(first, nullptr);
    EXPECT_GT(first->GetSprite()->GetPlugIns().GetChildCount(), 0u) << "the customers' script";

    GetTypedCommandSwitches().levelFinishedByCommand = true;
    ASSERT_TRUE(PassFrames(3));
    EXPECT_FALSE(GetTypedCommandSwitches().levelFinishedByCommand);
    level = CLevelOptions::SGetCurrent();
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(Waiting(), 0u) << "a fresh copy of the level";
    EXPECT_EQ(level->m_CustomersSpawned, 0);
    EXPECT_LT(level->m_SecondsPlayed, 0.1f);
    ASSERT_TRUE(PassFrames(2));
    level->m_CustomerSpawningDisabled = false;
    ASSERT_TRUE(PassFrames(150));
    EXPECT_GE(Waiting(), 1u) << "and it plays again";
}

bool ShowSpawnLimiting()
{
    return true;
}

// Pixels written in the rows of the two lines: the seconds at y 10 and the
// line limit a font height further down.
uint32_t Written(const CFrame& frame, int32_t top, int32_t bottom)
{
    uint32_t written = 0;
    for (int32_t y = top; y < bottom; ++y)
        for (int32_t x = 0; x < int32_t(frame.GetWidth()); ++x) {
            CColor pixel;
            frame.GetPixel(x, y, pixel);
            written += pixel.GetAlpha() != 0 ? 1 : 0;
        }
    return written;
}

TEST_F(DemoArrivals, TheSpawnLimitingDisplayShowsOnlyWhenTheEditorOptionIsOn)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Pass(17));
    CFrame frame;
    frame.Create(120, 120, 32);
    frame.Clear();
    DrawLevelTimeDebugInfo(frame);
    EXPECT_EQ(Written(frame, 0, 120), 0u) << "off until the level editor options say otherwise";

    CScopedHook<SetSpawnLimitingQuery> on{&ShowSpawnLimiting};
    DrawLevelTimeDebugInfo(frame);
    EXPECT_GT(Written(frame, 10, 30), 0u) << "seconds played";
    EXPECT_GT(Written(frame, 40, 70), 0u) << "the line's limit";
    EXPECT_EQ(Written(frame, 0, 8), 0u);
}

} // namespace
