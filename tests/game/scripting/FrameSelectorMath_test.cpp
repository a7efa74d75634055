#include "game/scripting/FrameSelectorMath.h"

#include <gtest/gtest.h>

namespace {

TEST(LoopSelector, WrapsOncePerUpdateInBothDirections)
{
    CSelectorMotion motion{9.5f, 1.0f, false};
    AdvanceLoop(motion, 0.25f, 10.0f, 10);
    EXPECT_EQ(motion.position, 2.0f);
    EXPECT_TRUE(motion.wrapped);
    EXPECT_EQ(LoopFrame(motion.position, 10), 2);

    CSelectorMotion backwards{0.5f, -1.0f, false};
    AdvanceLoop(backwards, 0.1f, 10.0f, 10);
    EXPECT_EQ(backwards.position, 9.5f);
    EXPECT_TRUE(backwards.wrapped);
    EXPECT_EQ(LoopFrame(backwards.position, 10), 9);

    // A jump of more than one turn is corrected once only.
    CSelectorMotion far{0.0f, 1.0f, false};
    AdvanceLoop(far, 2.5f, 10.0f, 10);
    EXPECT_EQ(far.position, 15.0f);
    EXPECT_EQ(LoopFrame(far.position, 10), -1);

    CSelectorMotion inside{1.0f, 1.0f, false};
    AdvanceLoop(inside, 0.1f, 10.0f, 10);
    EXPECT_FALSE(inside.wrapped);
}

TEST(PingPongSelector, TurnsAtBothEnds)
{
    CSelectorMotion motion{8.7f, 1.0f, false};
    AdvancePingPong(motion, 0.05f, 10.0f, 10); // reaches 9.2
    EXPECT_FLOAT_EQ(motion.position, 8.999f);
    EXPECT_EQ(motion.speed, -1.0f);
    EXPECT_TRUE(motion.wrapped);
    EXPECT_EQ(PingPongFrame(motion.position, 30.0f, 10), 9);
    motion.wrapped = false;
    AdvancePingPong(motion, 1.0f, 10.0f, 10);
    EXPECT_EQ(motion.position, 0.0f);
    EXPECT_EQ(motion.speed, 1.0f);
    EXPECT_TRUE(motion.wrapped);
}

TEST(PingPongSelector, EasingSpendsItsShareAtTheEnds)
{
    // Linear without easing: nearest frame.
    EXPECT_EQ(PingPongFrame(4.4f, 0.0f, 10), 4);
    EXPECT_EQ(PingPongFrame(4.6f, 0.0f, 10), 5);
    // Eased: slower than linear near the start, faster in the middle,
    // symmetric about it, and the ends stay where they are.
    for (float ease : {30.0f, 100.0f}) {
        EXPECT_EQ(PingPongFrame(0.0f, ease, 101), 0) << ease;
        EXPECT_EQ(PingPongFrame(100.0f, ease, 101), 100) << ease;
        EXPECT_EQ(PingPongFrame(50.0f, ease, 101), 50) << ease;
        EXPECT_LT(PingPongFrame(10.0f, ease, 101), 10) << ease;
        EXPECT_GT(PingPongFrame(90.0f, ease, 101), 90) << ease;
        EXPECT_EQ(PingPongFrame(10.0f, ease, 101) + PingPongFrame(90.0f, ease, 101), 100) << ease;
    }
    // 100% accelerates over the whole first half: slower at a tenth than 30%.
    EXPECT_LT(PingPongFrame(10.0f, 100.0f, 101), PingPongFrame(10.0f, 30.0f, 101));
}

TEST(SelectorArithmetic, EmptyAndOneFrameSequences)
{
    CSelectorMotion motion{0.0f, 1.0f, false};
    AdvanceLoop(motion, 1.0f, 10.0f, 0);
    AdvancePingPong(motion, 1.0f, 10.0f, 0);
    EXPECT_EQ(motion.position, 0.0f);
    EXPECT_FALSE(motion.wrapped);
    EXPECT_EQ(LoopFrame(0.0f, 0), -1);
    EXPECT_EQ(PingPongFrame(0.0f, 30.0f, 0), -1);
    EXPECT_EQ(StillFrame(0, 0), -1);
    // One frame: the ping-pong would divide by n - 1.
    AdvancePingPong(motion, 0.3f, 10.0f, 1);
    EXPECT_EQ(PingPongFrame(motion.position, 30.0f, 1), 0);
    EXPECT_EQ(PingPongFrame(-0.001f, 0.0f, 1), 0);
    EXPECT_EQ(StillFrame(50, 10), 9);
    EXPECT_EQ(StillFrame(3, 10), 3);
}

} // namespace
