// Playfields with their sprites, AIs and scripts through the object text
// (with and without identities) and the binary stream, and a loaded
// playfield played against its own layers.
#include "game/scripting/CAction.h"
#include "game/scripting/CScriptPosition.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/CSpriteAI.h"
#include "game/scripting/CSpritePlugInContainers.h"
#include "game/scripting/ScriptingHooks.h"
#include "game/world/CPlayfield.h"
#include "objects/CMessage.h"
#include "sequences/CSequenceList.h"
#include "sequences/SequenceTestSupport.h"
#include "tests/support/objects/ObjectRoundTrip.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class PlayfieldFiles : public SequenceFolderTest {
protected:
    void SetUp() override
    {
        SequenceFolderTest::SetUp();
        // Sprites take the list's first entry for none.
        for (const char* name : {"Aaa Unused", "House", "Spark"})
            for (int i = 0; i < 4; ++i)
                WriteTga("Seqs/-" + std::string(name) + "/f" + std::to_string(i) + ".tga", 6, 6);
        GetSequenceList().SetSource(nullptr, "Seqs", 0);
    }
    void TearDown() override
    {
        SetCurrentPlayfield(nullptr);
        GetSequenceList().SetSource(nullptr, "Nowhere", 0);
        SequenceFolderTest::TearDown();
    }

    static uint32_t Sequence(const char* name) { return uint32_t(GetSequenceList().Find(name)); }

    // Two layers; sprites turned, scaled, flagged and given AIs and scripts.
    std::unique_ptr<CPlayfield> MakeTown()
    {
        auto playfield = std::make_unique<CPlayfield>();
        playfield->m_Name = "Town";
        auto* house = new CSprite;
        house->SetImageSequence(Sequence("House"));
        house->SetPosition(120.5f, -3.25f);
        house->SetAngle(0.3f);
        house->SetScale({1.5f, 0.75f});
        house->SetFlags(kSpriteVisible | kSpriteSolid | kSpriteNoMotion);
        auto* once = new CSpriteAIPlayAnimationOnce;
        once->m_Sequence = int32_t(Sequence("Spark"));
        once->m_FadeFraction = 0.25f;
        once->m_SecondsToPlay = 2.0f;
        house->AddAI(once);

        auto* steps = new CSpritePlugInSequence;
        auto* trigger = new CSpritePlugInTriggerActionEveryXSeconds;
        trigger->m_TimeToWait = 0.5f;
        trigger->m_RepeatLimit = 0;
        auto* send = new CActionSendMessage;
        send->m_Message = "Knock";
        send->m_SpriteToSendTo.m_Name = "Neighbour";
        trigger->m_Action = send;
        steps->AddStep(trigger);
        auto* fast = new CSpritePlugInFastForward;
        fast->m_Speed = 7;
        auto* destroyed = new CSpritePlugInTriggerActionWhenDestroyed;
        auto* broadcast = new CActionBroadcastMessage;
        broadcast->m_Message = "Gone";
        destroyed->m_Action = broadcast;
        fast->AddPlugIn(destroyed);
        steps->AddStep(fast);
        steps->m_WhenDone = int32_t(WhenDone::Stop);
        house->AddPlugIn(steps);
        playfield->AddSprite(house, "Houses");

        auto* spark = new CSprite;
        spark->SetImageSequence(Sequence("Spark"));
        spark->SetPosition(1.0f, 2.0f);
        playfield->AddSprite(spark, "Effects");
        playfield->FindOrAddLayer("Empty");
        return playfield;
    }
};

TEST_F(PlayfieldFiles, TextAndBinaryFormsReadBackToTheSamePlayfield)
{
    std::unique_ptr<CPlayfield> town = MakeTown();
    const std::string text = ObjectToText(town.get(), IdMode::WithoutIds);
    for (const char* line : {"Image Sequence=House", "Position=120.5,-3.25", "Flags=11", "Name=Neighbour",
                             "Message=Gone", "Speed=7", "Fraction Of Life Spent Fading Out=0.25"})
        EXPECT_NE(text.find(line), std::string::npos) << line;

    for (IdMode ids : {IdMode::WithoutIds, IdMode::WithIds}) {
        std::unique_ptr<CObject> read(ObjectFromText(ObjectToText(town.get(), ids), ids, StreamReports::Fatal));
        ASSERT_NE(dynamic_cast<CPlayfield*>(read.get()), nullptr);
        EXPECT_EQ(ObjectToText(read.get(), IdMode::WithoutIds), text);

        CPlayfield fromBinary;
        ASSERT_TRUE(ObjectFromBinary(fromBinary, ObjectToBinary(town.get(), ids), ids, StreamReports::Fatal));
        EXPECT_EQ(ObjectToText(&fromBinary, IdMode::WithoutIds), text);
    }

    // What the text cannot say is what a fresh object has.
    std::unique_ptr<CObject> read(ObjectFromText(text, IdMode::WithoutIds, StreamReports::Fatal));
    auto& copy = static_cast<CPlayfield&>(*read);
    ASSERT_EQ(copy.GetLayerCount(), 3u);
    CSprite* house = copy.FindLayer("Houses")->GetSprite(0);
    ASSERT_NE(house, nullptr);
    EXPECT_EQ(house->GetImageSequence(), GetSequenceList().GetObjectByName("House"));
    EXPECT_FLOAT_EQ(house->GetAngle(), 0.3f);
    EXPECT_EQ(house->GetScale(), (CFPoint{1.5f, 0.75f}));
    auto* once = dynamic_cast<CSpriteAIPlayAnimationOnce*>(house->GetAI());
    ASSERT_NE(once, nullptr);
    EXPECT_EQ(once->m_Sequence, int32_t(Sequence("Spark")));
    EXPECT_TRUE(copy.GetLayer(2)->m_VisibleInEditor);
}

// A count larger than the elements given and an element without an object
// leave empty slots, which the layer drops.
TEST_F(PlayfieldFiles, EmptySlotsAreDroppedWhenALayerIsRead)
{
    const std::string text = "CPlayfieldLayer\r\n{\r\n\tName=UI\r\n\tSprites List=Array\r\n\t{\r\n"
                             "\t\tItem Count=3\r\n\t\tSprites=\r\n\t\tSprites=CSprite\r\n\t\t{\r\n"
                             "\t\t\tPosition=5,6\r\n\t\t}\r\n\t}\r\n}\r\n";
    std::unique_ptr<CObject> read(ObjectFromText(text, IdMode::WithoutIds, StreamReports::Quiet));
    auto* layer = dynamic_cast<CPlayfieldLayer*>(read.get());
    ASSERT_NE(layer, nullptr);
    ASSERT_EQ(layer->GetSpriteCount(), 1u);
    EXPECT_EQ(layer->GetSprite(0)->GetPosition(), (CFPoint{5.0f, 6.0f}));
    layer->Update(1.0f / 60.0f);
    CMessage message = CMessage::CMessageByName("Knock");
    layer->HandleMessage(message);

    CPlayfieldLayer holed;
    holed.AddSprite(nullptr);
    holed.AddSprite(new CSprite);
    CPlayfieldLayer back;
    ASSERT_TRUE(
        ObjectFromBinary(back, ObjectToBinary(&holed, IdMode::WithoutIds), IdMode::WithoutIds, StreamReports::Quiet));
    ASSERT_EQ(back.GetSpriteCount(), 1u);
    EXPECT_NE(back.GetSprite(0), nullptr);
}

// A loaded playfield, made current, runs its scripts against its own layers:
// a trigger's broadcast reaches the top layer first, whose sprite's sequence
// takes "AdvanceToNextItemInSequence", so the sprite below keeps its step.
TEST_F(PlayfieldFiles, ALoadedPlayfieldPlaysItsScriptsTopLayerFirst)
{
    auto makeWaiter = [] {
        auto* sprite = new CSprite;
        auto* steps = new CSpritePlugInSequence;
        for (int i = 0; i < 2; ++i) {
            auto* never = new CSpritePlugInTriggerActionEveryXSeconds;
            never->m_TimeToWait = 1000.0f;
            steps->AddStep(never);
        }
        sprite->AddPlugIn(steps);
        return sprite;
    };
    CPlayfield made;
    made.AddSprite(makeWaiter(), "Ground");
    auto* caller = new CSprite;
    auto* trigger = new CSpritePlugInTriggerActionEveryXSeconds;
    trigger->m_TimeToWait = 0.5f;
    trigger->m_RepeatLimit = 0;
    auto* broadcast = new CActionBroadcastMessage;
    broadcast->m_Message = "AdvanceToNextItemInSequence";
    trigger->m_Action = broadcast;
    caller->AddPlugIn(trigger);
    made.AddSprite(caller, "Middle");
    made.AddSprite(makeWaiter(), "Sky");

    std::unique_ptr<CObject> read(
        ObjectFromText(ObjectToText(&made, IdMode::WithoutIds), IdMode::WithoutIds, StreamReports::Fatal));
    auto& playfield = static_cast<CPlayfield&>(*read);
    auto stepOf = [&](const char* layer) {
        CSprite* sprite = playfield.FindLayer(layer)->GetSprite(0);
        auto* steps = dynamic_cast<CSpritePlugInSequence*>(sprite->GetPlugIns().GetChild(0));
        return steps ? steps->m_CurrentStepIndex : 99u;
    };
    // Not current: the broadcast reaches no one.
    for (int i = 0; i < 30; ++i)
        playfield.Update(1.0f / 60.0f);
    EXPECT_EQ(stepOf("Sky"), 0u);

    SetCurrentPlayfield(&playfield);
    for (int i = 0; i < 30; ++i)
        playfield.Update(1.0f / 60.0f);
    EXPECT_EQ(stepOf("Sky"), 1u);
    EXPECT_EQ(stepOf("Ground"), 0u);
}

// What scripts ask of the current playfield through the scripting hooks.
TEST_F(PlayfieldFiles, ScriptsPlaceSpritesInTheCurrentPlayfield)
{
    CScriptingHooks& hooks = GetScriptingHooks();
    CSprite kept;
    EXPECT_FALSE(hooks.AddSpriteToLayer(&kept, "Effects", LayerEnd::Back));

    CPlayfield playfield;
    SetCurrentPlayfield(&playfield);
    auto* first = new CSprite;
    auto* second = new CSprite;
    EXPECT_TRUE(hooks.AddSpriteToLayer(first, "Effects", LayerEnd::Back));
    EXPECT_TRUE(hooks.AddSpriteToLayer(second, "effects", LayerEnd::Front));
    CPlayfieldLayer* effects = playfield.FindLayer("Effects");
    ASSERT_EQ(playfield.GetLayerCount(), 1u);
    EXPECT_EQ(effects->GetSprite(0), second);
    EXPECT_EQ(effects->GetSprite(1), first);
    EXPECT_EQ(hooks.ScreenToLayerOfSprite(first, {3.0f, 4.0f}), (CFPoint{3.0f, 4.0f}));
}

} // namespace
