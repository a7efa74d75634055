#include "game/scripting/CSpriteAI.h"

#include "SpriteFixture.h"
#include "foundation/CCommand.h"
#include "images/CFrame.h"
#include "objects/CMessage.h"
#include "sequences/CSequence.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

using SpriteAIs = SpriteFixture;

// The steps the play-once AI takes with the game's own float operations:
// f = min(f + seconds * rate, count) until f reaches count.
int StepsToPlay(float count, float rate)
{
    float f = 0.0f;
    int steps = 0;
    while (f < count) {
        f = std::fmin(f + (1.0f / 60.0f) * rate, count);
        ++steps;
    }
    return steps;
}

// Runs the sprite in an array until the array deleted it; the number of
// steps, or -1 when it outlives the limit.
int StepsUntilDeleted(CSpriteArray& array, int limit)
{
    for (int step = 1; step <= limit; ++step) {
        array.Update();
        if (array.GetCount() == 0)
            return step;
    }
    return -1;
}

class CCountingCommand : public CCommand {
public:
    CCountingCommand(int& runs, bool& deleted)
        : m_Runs(runs)
        , m_Deleted(deleted)
    {
    }
    ~CCountingCommand() override { m_Deleted = true; }
    void Execute() override { ++m_Runs; }

private:
    int& m_Runs;
    bool& m_Deleted;
};

TEST_F(SpriteAIs, EveryHookReachesEachAIOnceInChainOrder)
{
    std::vector<std::string> log;
    CSprite sprite;
    sprite.AddAI(new CRecordingAI(log, "first"));
    // The middle AI keeps every default but Update, so it only passes calls on.
    auto* middle = new CSpriteAIPlayAnimationOnce;
    middle->m_Sequence = int32_t(Index("Ten"));
    sprite.AddAI(middle);
    sprite.AddAI(new CRecordingAI(log, "last"));
    EXPECT_EQ(middle->GetSprite(), &sprite);
    EXPECT_EQ(sprite.FindAI(CSpriteAIPlayAnimationOnce::SGetClassInfo()), middle);
    EXPECT_EQ(sprite.FindAI(CSpriteAI::SGetClassInfo()), sprite.GetAI());
    EXPECT_EQ(sprite.FindAI(CSprite::SGetClassInfo()), nullptr);

    auto target = CFrame::MakeOwned(4, 4, 32);
    sprite.DrawAllPasses(*target);
    CMessage message = CMessage::CMessageByName("Hello");
    sprite.HandleMessage(message);
    sprite.Update();
    EXPECT_EQ(log,
              (std::vector<std::string>{"first:pre", "last:pre", "first:draw", "last:draw", "first:post", "last:post",
                                        "first:message", "last:message", "first:update", "last:update"}));
    EXPECT_EQ(sprite.GetAI()->GetHitArea(&sprite), nullptr);
    EXPECT_FALSE(sprite.GetAI()->Query(&sprite, 0, 0));
}

TEST_F(SpriteAIs, PlayOncePlaysTheSequenceOnceAtItsRateOrInTheGivenSeconds)
{
    const float count = 10.0f;
    for (float secondsToPlay : {0.0f, 2.0f}) {
        SCOPED_TRACE(secondsToPlay);
        CSpriteArray array;
        auto* sprite = new CSprite;
        auto* ai = new CSpriteAIPlayAnimationOnce;
        ai->m_Sequence = int32_t(Index("Ten"));
        ai->m_SecondsToPlay = secondsToPlay;
        sprite->AddAI(ai);
        array.Add(sprite);
        array.Update();
        EXPECT_EQ(sprite->GetImageSequenceIndex(), Index("Ten")) << "the sprite is given the sequence";
        EXPECT_GT(sprite->GetFramePosition(), 0.0f);
        const float rate = secondsToPlay > 0.0f ? count / secondsToPlay : 20.0f;
        // 10 frames at 20 per second: 31 steps (not 30) with float steps;
        // in 2 seconds: 121 (not 120).
        EXPECT_EQ(StepsUntilDeleted(array, 1000) + 1, StepsToPlay(count, rate));
    }
    EXPECT_EQ(StepsToPlay(count, 20.0f), 31);
    EXPECT_EQ(StepsToPlay(count, 5.0f), 121);

    // Without a sequence to play, nothing happens.
    CSprite idle;
    idle.AddAI(new CSpriteAIPlayAnimationOnce);
    for (int i = 0; i < 100; ++i)
        idle.Update();
    EXPECT_FALSE(idle.IsMarkedForDeletion());
    EXPECT_EQ(idle.GetImageSequenceIndex(), 0u);
}

TEST_F(SpriteAIs, PlayOnceFadesOverItsLastFractionWithinZeroToOne)
{
    CSprite sprite;
    auto* ai = new CSpriteAIPlayAnimationOnce;
    ai->m_Sequence = int32_t(Index("Ten"));
    ai->m_FadeFraction = 0.25f;
    sprite.AddAI(ai);
    int previous = 255;
    int steps = 0;
    while (!sprite.IsMarkedForDeletion() && steps < 100) {
        sprite.Update();
        ++steps;
        const int alpha = sprite.GetColor().GetAlpha();
        const float played = sprite.GetFramePosition() / 10.0f;
        if (played <= 0.75f) {
            EXPECT_EQ(alpha, 255) << "opaque before the last quarter, step " << steps;
        }
        EXPECT_LE(alpha, previous) << "never brighter again, step " << steps;
        if (played > 0.75f && played < 1.0f) {
            const float expected = (1.0f - played) / 0.25f * 255.0f;
            EXPECT_NEAR(alpha, expected, 1.0f) << "step " << steps;
        }
        previous = alpha;
    }
    EXPECT_TRUE(sprite.IsMarkedForDeletion());
    EXPECT_EQ(sprite.GetColor().GetAlpha(), 0) << "gone clear at the end, not below";
}

TEST_F(SpriteAIs, FlyToPointLandsExactlyEndsItsSpriteAndRunsItsCommandOnce)
{
    int runs = 0;
    bool commandDeleted = false;
    {
        CSpriteArray array;
        auto* sprite = new CSprite;
        sprite->SetPosition(0.0f, 0.0f);
        auto* fly = new CSpriteAIFlyToPoint(3.5f, 0.0f, 60.0f, new CCountingCommand(runs, commandDeleted));
        fly->SetAnimationSequence(Index("Ten"));
        sprite->AddAI(fly);
        array.Add(sprite);
        array.Update();
        EXPECT_EQ(sprite->GetPosition(), (CFPoint{1.0f, 0.0f})) << "speed 60 is one pixel a step";
        EXPECT_EQ(sprite->GetImageSequenceIndex(), Index("Ten"));
        array.Update();
        array.Update();
        EXPECT_EQ(sprite->GetPosition(), (CFPoint{3.0f, 0.0f}));
        EXPECT_EQ(runs, 0);
        array.Update();
        EXPECT_EQ(array.GetCount(), 0u) << "arrived: marked and deleted after the pass";
        EXPECT_EQ(runs, 1);
        EXPECT_TRUE(commandDeleted) << "the command goes with its AI";
    }

    // The animation loops on the way: 10 frames at 20 per second wrap to 0.
    CSprite bird;
    auto* fly = new CSpriteAIFlyToPoint(10000.0f, 10000.0f, 60.0f, nullptr);
    fly->SetAnimationSequence(Index("Ten"));
    bird.AddAI(fly);
    float highest = 0.0f;
    bool wrapped = false;
    for (int step = 0; step < 40; ++step) {
        const float before = bird.GetFramePosition();
        bird.Update();
        highest = std::fmax(highest, bird.GetFramePosition());
        wrapped = wrapped || bird.GetFramePosition() < before;
    }
    EXPECT_TRUE(wrapped);
    EXPECT_LT(highest, 10.0f);
    EXPECT_FALSE(bird.IsMarkedForDeletion());
}

// Ends the sprite itself: takes it out of its array and deletes it.
class CDestroyCommand : public CCommand {
public:
    CDestroyCommand(CSpriteArray& array, CSprite*& sprite)
        : m_Array(array)
        , m_Sprite(sprite)
    {
    }
    void Execute() override
    {
        m_Array.Remove(m_Sprite);
        delete m_Sprite;
    }

private:
    CSpriteArray& m_Array;
    CSprite*& m_Sprite;
};

TEST_F(SpriteAIs, ACommandThatDestroysTheArrivingSpriteEndsItsUpdateAtOnce)
{
    std::vector<std::string> log;
    CSpriteArray array;
    CSprite* bird = MakeSprite("Ten", 0.0f, 0.0f);
    auto* fly = new CSpriteAIFlyToPoint(0.5f, 0.0f, 60.0f, new CDestroyCommand(array, bird));
    fly->SetAnimationSequence(Index("Ten"));
    bird->AddAI(fly);
    bird->SetVelocity(3.0f, 0.0f);
    array.Add(bird);
    CSprite* next = MakeSprite("Block", 0.0f, 0.0f);
    next->AddAI(new CRecordingAI(log, "next"));
    array.Add(next);
    array.Update(); // the sanitizer build sees any touch of the deleted sprite
    ASSERT_EQ(array.GetCount(), 1u);
    EXPECT_EQ(array.GetAt(0), next);
    EXPECT_EQ(log, (std::vector<std::string>{"next:update"}));
    EXPECT_EQ(CSprite::GetSpriteBeingUpdated(), nullptr);
}

TEST_F(SpriteAIs, FlyToPointUpdatesTheRestOfTheChainFirst)
{
    std::vector<std::string> log;
    CSprite sprite;
    sprite.AddAI(new CSpriteAIFlyToPoint(0.0f, 0.0f, 60.0f, nullptr));
    auto* after = new CRecordingAI(log, "after");
    CFPoint seen{-1.0f, -1.0f};
    after->m_OnUpdate = [&](CSpriteUpdateRecord& record) { seen = record.sprite->GetPosition(); };
    sprite.AddAI(after);
    sprite.SetPosition(5.0f, 0.0f);
    sprite.Update();
    EXPECT_EQ(seen, (CFPoint{5.0f, 0.0f}));
    EXPECT_EQ(sprite.GetPosition(), (CFPoint{4.0f, 0.0f}));
}

} // namespace
