#include "PlugInTestSupport.h"

#include "game/scripting/CScriptPosition.h"
#include "game/scripting/RegisterGameScriptingClasses.h"
#include "support/ScopedHooks.h"
#include "support/objects/ObjectRoundTrip.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class Actions : public ::testing::Test {
protected:
    void SetUp() override { RegisterGameScriptingClasses(); }

    CFakePlayfieldHooks m_Playfield;
    CScopedHook<SetScriptingHooks> m_Hooks{&m_Playfield};
};

CActionSendMessage* SendTo(const char* target, const char* message)
{
    auto* action = new CActionSendMessage();
    action->m_SpriteToSendTo.m_Name = target;
    action->m_Message = message;
    return action;
}

TEST_F(Actions, AnActionThatSetsItselfOffStopsAtTheFourthLevel)
{
    CScriptedSprite sprite("hero");
    std::unique_ptr<CActionSendMessage> echo(SendTo("this", "Echo"));
    std::vector<uint32_t> depths;
    sprite.m_OnMessage = [&](CMessage&) {
        depths.push_back(echo->GetDepth());
        CActionRecord again{&sprite, false};
        echo->Execute(again);
    };
    CActionRecord record{&sprite, false};
    echo->Execute(record);
    EXPECT_EQ(depths, (std::vector<uint32_t>{1, 2, 3, 4}));
    EXPECT_EQ(echo->GetDepth(), 0u);

    // The bound is per action object: another action still runs.
    CCountingAction other;
    sprite.m_OnMessage = [&](CMessage&) {
        CActionRecord inner{&sprite, false};
        other.Execute(inner);
    };
    echo->Execute(record);
    EXPECT_EQ(other.m_Performed, 1u);
}

TEST_F(Actions, ThisMeansTheTriggeringSpriteOnlyWhenWrittenExactly)
{
    CScriptedSprite trigger("trigger");
    CScriptedSprite impostor("this");
    m_Playfield.m_Sprites = {&impostor};

    std::unique_ptr<CActionSendMessage> toSelf(SendTo("this", "Hello"));
    CActionRecord record{&trigger, false};
    toSelf->Execute(record);
    EXPECT_EQ(trigger.m_Messages, 1u);
    EXPECT_EQ(impostor.m_Messages, 0u);
    EXPECT_TRUE(m_Playfield.m_LooseFlags.empty());

    // "This" is a sprite name like any other: the playfield is searched.
    std::unique_ptr<CActionSendMessage> byName(SendTo("This", "Hello"));
    byName->Execute(record);
    EXPECT_EQ(trigger.m_Messages, 1u);
    EXPECT_EQ(impostor.m_Messages, 1u);
    EXPECT_EQ(m_Playfield.m_LooseFlags, (std::vector<bool>{false}));
}

TEST_F(Actions, EverySpriteOfTheNameGetsAFreshMessageAndAnyHandlingIsReported)
{
    CScriptedSprite first("Door");
    CScriptedSprite second("door");
    CScriptedSprite stranger("Window");
    m_Playfield.m_Sprites = {&first, &stranger, &second};
    std::vector<bool> arrivedHandled;
    auto taker = [&](CMessage& message) {
        arrivedHandled.push_back(message.IsHandled());
        message.SetHandled();
    };
    first.m_OnMessage = taker;
    second.m_OnMessage = taker;

    std::unique_ptr<CActionSendMessage> open(SendTo("DOOR", "Open"));
    CActionRecord record{&stranger, false};
    open->Execute(record);
    EXPECT_EQ(first.m_Messages, 1u);
    EXPECT_EQ(second.m_Messages, 1u);
    EXPECT_EQ(stranger.m_Messages, 0u);
    EXPECT_EQ(arrivedHandled, (std::vector<bool>{false, false}));
    EXPECT_TRUE(record.handled);

    // A message sent to a plug-in script: a wait-for-message style leaf
    // takes it through the sprite's block.
    CCountingPlugIn* leaf = Counting("leaf");
    leaf->m_TakesMessages = true;
    stranger.m_Block->AddPlugIn(leaf);
    std::unique_ptr<CActionSendMessage> toWindow(SendTo("window", "Knock"));
    CActionRecord knocked{&first, false};
    toWindow->Execute(knocked);
    EXPECT_EQ(leaf->m_Messages, 1u);
    EXPECT_TRUE(knocked.handled);
}

// The first target's handler deletes two later ones: one freed at once (a
// sprite made right after takes its memory), one marked for deletion. Both
// are skipped; a target marked before the action began still hears it.
TEST_F(Actions, ATargetDeletedByAnEarlierTargetsHandlerIsSkippedNeverTouched)
{
    auto first = std::make_unique<CScriptedSprite>("Crow");
    auto* freed = new CScriptedSprite("Crow");
    auto marked = std::make_unique<CScriptedSprite>("Crow");
    auto dying = std::make_unique<CScriptedSprite>("Crow");
    dying->MarkForDeletion();
    m_Playfield.m_Sprites = {first.get(), freed, marked.get(), dying.get()};
    std::unique_ptr<CScriptedSprite> newcomer;
    first->m_OnMessage = [&](CMessage&) {
        m_Playfield.m_Sprites.erase(m_Playfield.m_Sprites.begin() + 1);
        delete freed;
        newcomer = std::make_unique<CScriptedSprite>("Newcomer");
        marked->MarkForDeletion();
    };

    std::unique_ptr<CActionSendMessage> caw(SendTo("crow", "Caw"));
    CActionRecord record{first.get(), false};
    caw->Execute(record);
    EXPECT_EQ(first->m_Messages, 1u);
    ASSERT_NE(newcomer, nullptr);
    EXPECT_EQ(newcomer->m_Messages, 0u);
    EXPECT_EQ(marked->m_Messages, 0u);
    EXPECT_EQ(dying->m_Messages, 1u);
}

TEST_F(Actions, ABroadcastReachesThePlayfieldAndNothingWithoutOne)
{
    CScriptedSprite a("a");
    CScriptedSprite b("b");
    m_Playfield.m_Sprites = {&a, &b};
    b.m_OnMessage = [](CMessage& message) { message.SetHandled(); };
    CActionBroadcastMessage broadcast;
    broadcast.m_Message = "Ring";
    CActionRecord record{&a, false};
    broadcast.Execute(record);
    EXPECT_EQ(m_Playfield.m_Broadcasts, 1u);
    EXPECT_EQ(a.m_Messages, 1u);
    EXPECT_TRUE(record.handled);

    // With the do-nothing hooks nothing is reached and nothing reported.
    CScopedHook<SetScriptingHooks> none(nullptr);
    CActionRecord quiet{&a, false};
    broadcast.Execute(quiet);
    std::unique_ptr<CActionSendMessage> send(SendTo("a", "Ring"));
    send->Execute(quiet);
    EXPECT_FALSE(quiet.handled);
    EXPECT_EQ(a.m_Messages, 1u);
}

TEST(TargetReferences, StrictAndLooseComparisons)
{
    CScriptReferenceToTarget reference;
    struct Case {
        const char* reference;
        const char* sprite;
        bool strict;
        bool loose;
    };
    const Case cases[] = {
        {"Red Door", "red door", true, true},
        {"Red Door", "RED\tDOOR", false, true},
        {"Red Door", "reddoor", false, true},
        {" Red\r\nDoor ", "RedDoor", false, true},
        {"Red Door", "Red Doors", false, false},
        {"", "", true, false},
        {"", "Door", false, false},
        {"   ", "", false, false},
        {"Door", "", false, false},
    };
    for (const Case& c : cases) {
        reference.m_Name = c.reference;
        EXPECT_EQ(reference.Matches(CJString(c.sprite), false), c.strict) << c.reference << " / " << c.sprite;
        EXPECT_EQ(reference.Matches(CJString(c.sprite), true), c.loose) << c.reference << " / " << c.sprite;
    }
    CSprite sprite;
    sprite.SetName("Red Door");
    reference.m_Name = "reddoor";
    EXPECT_FALSE(reference.Matches(&sprite, false));
    EXPECT_TRUE(reference.Matches(&sprite, true));
    EXPECT_FALSE(reference.Matches(static_cast<CSprite*>(nullptr), true));
}

TEST_F(Actions, PositionsFollowTheirTargetsAndKeepTheLastAnswer)
{
    CSprite own;
    own.SetPosition(5.0f, 6.0f);
    CSprite target;
    target.SetName("Target");
    target.SetPosition(100.0f, 200.0f);
    m_Playfield.m_Sprites = {&target};

    CScriptPositionAbsolutePoint absolute;
    absolute.m_Position = {7.0f, 8.0f};
    EXPECT_EQ(absolute.GetPosition(&own), (CFPoint{7.0f, 8.0f}));
    EXPECT_EQ(absolute.GetPosition(nullptr), (CFPoint{7.0f, 8.0f}));

    CScriptPositionNamedObject named;
    EXPECT_EQ(named.GetPosition(&own), (CFPoint{-1.0f, -1.0f})); // nothing named yet
    named.m_Position.m_Name = "target";
    EXPECT_EQ(named.GetPosition(&own), (CFPoint{100.0f, 200.0f}));
    target.SetPosition(110.0f, 210.0f);
    EXPECT_EQ(named.GetPosition(&own), (CFPoint{110.0f, 210.0f}));
    m_Playfield.m_Sprites.clear(); // the target is gone
    EXPECT_EQ(named.GetPosition(&own), (CFPoint{110.0f, 210.0f}));
    named.m_Position.m_Name = "THIS";
    EXPECT_EQ(named.GetPosition(&own), (CFPoint{5.0f, 6.0f}));

    CScriptPositionThisSprite self;
    EXPECT_EQ(self.GetPosition(nullptr), (CFPoint{-1.0f, -1.0f}));
    EXPECT_EQ(self.GetPosition(&own), (CFPoint{5.0f, 6.0f}));
    EXPECT_EQ(self.GetPosition(nullptr), (CFPoint{5.0f, 6.0f}));

    CScriptPositionCalculatedPoint calculated;
    EXPECT_EQ(EvaluateExpressionAsFloat(calculated.m_X, nullptr), 100.0f);
    EXPECT_EQ(EvaluateExpressionAsFloat(calculated.m_Y, nullptr), 100.0f);
    EXPECT_EQ(calculated.GetPosition(&own), (CFPoint{5.0f, 6.0f}));
}

TEST_F(Actions, OlderNamesOfTheNamedPositionStillRead)
{
    const std::string text = "CScriptPositionNammedObject\r\n{\r\n\tPosition Name=Chimney\r\n}\r\n";
    CJString error;
    std::unique_ptr<CObject> read(ObjectFromText(text, IdMode::WithoutIds, StreamReports::Quiet, &error));
    ASSERT_NE(read, nullptr) << error.GetString();
    auto* named = dynamic_cast<CScriptPositionNamedObject*>(read.get());
    ASSERT_NE(named, nullptr);
    EXPECT_STREQ(named->m_Position.m_Name.GetString(), "Chimney");
    const std::string written = ObjectToText(named, IdMode::WithoutIds);
    EXPECT_NE(written.find("CScriptPositionNamedObject"), std::string::npos) << written;
    EXPECT_NE(written.find("Name=Chimney"), std::string::npos) << written;
}

} // namespace
