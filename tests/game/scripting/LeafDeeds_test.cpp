// The leaves that act on the world around the sprite (spawns, messages,
// deletion) and those that draw (countdowns, values, sequences), through a
// recording stand-in for the playfield.
#include "ExpressionSupport.h"
#include "SpriteFixture.h"

#include "game/scripting/CFrameSelector.h"
#include "game/scripting/CSpritePlugInLeaves.h"
#include "game/scripting/CSpritePlugInPrint.h"
#include "game/scripting/ScriptingClassBody.h"
#include "game/scripting/ScriptingHooks.h"
#include "images/CFrame.h"
#include "objects/CMessage.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// Remembers what it is asked to print and how often it is updated.
class CRecordingPrintPlugIn : public CPrintPlugIn {
    OMBRISALT_REFLECTED(CRecordingPrintPlugIn, CPrintPlugIn)
public:
    CRecordingPrintPlugIn();
    ~CRecordingPrintPlugIn() override;

    void Print(CPrintRecord& record) override
    {
        texts.push_back(record.text.GetString());
        last = record;
    }
    void Update(CSpriteUpdateRecord& record) override
    {
        ++updates;
        updatedFor = record.sprite;
    }

    std::vector<std::string> texts;
    CPrintRecord last;
    int updates = 0;
    CSprite* updatedFor = nullptr;
};

OMBRISALT_SCRIPTING_CLASS(CRecordingPrintPlugIn, 1.0)
void CRecordingPrintPlugIn::DeclareProperties(CPropertyDeclarer&) {}

namespace {

// The playfield as the leaves see it: layers are names, and a layer's
// coordinates sit 100 to the right of the screen's.
class CRecordingHooks : public CScriptingHooks {
public:
    ~CRecordingHooks() override
    {
        for (auto& placed : sprites)
            delete placed.sprite;
    }
    CFPoint ScreenToLayerOfSprite(CSprite* sprite, CFPoint point) override
    {
        return sprite ? CFPoint{point.x - 100.0f, point.y} : point;
    }
    bool AddSpriteToLayer(CSprite* sprite, const char* layerName, LayerEnd end) override
    {
        if (!accept)
            return false;
        sprites.push_back({sprite, layerName, end});
        return true;
    }
    void SendToCurrentLevel(CMessage& message) override { Hear("level", message); }
    void BroadcastToCurrentPlayfield(CMessage& message) override { Hear("playfield", message); }
    void SpawnPowerUpText(CFPoint position, const CJString& text) override
    {
        log.push_back("text " + std::string(text.GetString()) + " at " + std::to_string(int(position.x)) + ","
                      + std::to_string(int(position.y)));
    }

    struct Placed {
        CSprite* sprite;
        std::string layer;
        LayerEnd end;
    };
    std::vector<Placed> sprites;
    std::vector<std::string> log;
    std::vector<const CMessage*> messages;
    bool accept = true;

private:
    void Hear(const char* who, CMessage& message)
    {
        log.push_back(std::string(who) + " " + GetMessageTypeName(message.GetType())
                      + (message.IsHandled() ? " handled" : ""));
        messages.push_back(&message);
        // The level takes what it hears.
        message.SetHandled();
    }
};

class LeafDeeds : public SpriteFixture {
protected:
    void SetUp() override
    {
        SpriteFixture::SetUp();
        // Two frames a second: the first blue, the second red.
        WriteTga("Spr/-Two/a.tga", 4, 4, 0xFF0000FFu);
        WriteTga("Spr/-Two/b.tga", 4, 4, 0xFFFF0000u);
        WriteBytes("Spr/-Two/Properties.txt", SequenceProperties("Frames Per Second=2"));
        for (int i = 0; i < 10; ++i)
            WriteTga("Spr/-TenAtTen/f" + std::to_string(10 + i) + ".tga", 4, 4);
        WriteBytes("Spr/-TenAtTen/Properties.txt", SequenceProperties("Frames Per Second=10"));
        GetSequenceList().SetSource(nullptr, "Spr", 0);
        CRecordingPrintPlugIn::SGetClassInfo();
    }

    static bool Step(CSpritePlugIn& plugIn)
    {
        CPlugInUpdateRecord record;
        plugIn.Update(record);
        return record.done;
    }
    static void Start(CSpritePlugIn& plugIn, CSprite* sprite)
    {
        plugIn.SetSprite(sprite);
        CPlugInUpdateRecord record;
        plugIn.Restart(record);
    }
    // The sprite's draw passes, as the layer runs them.
    static void Draw(CSpritePlugIn& plugIn, CFrameInterface& destination,
                     void (CSpritePlugIn::*pass)(CPlugInDrawRecord&) = &CSpritePlugIn::Draw)
    {
        CPlugInDrawRecord record{&destination, &destination};
        (plugIn.*pass)(record);
    }

    CRecordingHooks hooks;
    CScopedHook<SetScriptingHooks> installed{&hooks};
};

class CMarkerAI : public CSpriteAI {
public:
    void Update(CSpriteUpdateRecord&) override {}
};

TEST_F(LeafDeeds, ASpawnedSpriteGetsAClonedAIAndLandsAtTheEndOfItsLayerBesideTheSprite)
{
    CSprite sprite;
    sprite.SetPosition(150.7f, 40.2f);
    CSpritePlugInSpawnSprite spawn;
    spawn.m_SpriteAI = new CSpriteAIPlayAnimationOnce();
    spawn.m_Position = CPoint{5, -5};
    spawn.m_LayerName = "Crew";
    Start(spawn, &sprite);
    EXPECT_TRUE(Step(spawn));
    EXPECT_TRUE(Step(spawn));

    ASSERT_EQ(hooks.sprites.size(), 2u);
    for (auto& placed : hooks.sprites) {
        EXPECT_EQ(placed.layer, "Crew");
        EXPECT_EQ(placed.end, LayerEnd::Back);
        // (150.7 - 100, 40.2) cut to whole pixels, plus the position.
        EXPECT_EQ(placed.sprite->GetPosition(), (CFPoint{55.0f, 35.0f}));
        ASSERT_NE(placed.sprite->GetAI(), nullptr);
        EXPECT_NE(placed.sprite->GetAI(), spawn.m_SpriteAI) << "each spawn its own copy";
        EXPECT_EQ(placed.sprite->GetAI()->GetSprite(), placed.sprite);
        EXPECT_TRUE(placed.sprite->HasRestartBeenCalled());
    }
    EXPECT_NE(hooks.sprites[0].sprite->GetAI(), hooks.sprites[1].sprite->GetAI());

    // Not beside the sprite: the position as written.
    spawn.m_SpriteCentricPosition = false;
    Step(spawn);
    EXPECT_EQ(hooks.sprites.back().sprite->GetPosition(), (CFPoint{5.0f, -5.0f}));

    // No playfield to take it: nothing is left behind (the sanitizer sees a leak).
    hooks.accept = false;
    EXPECT_TRUE(Step(spawn));
    EXPECT_EQ(hooks.sprites.size(), 3u);

    // No prototype: nothing spawned, still done.
    hooks.accept = true;
    delete spawn.m_SpriteAI;
    spawn.m_SpriteAI = nullptr;
    EXPECT_TRUE(Step(spawn));
    EXPECT_EQ(hooks.sprites.size(), 3u);
}

TEST_F(LeafDeeds, AnAnimationWithoutTheGameWorldsOneShotAIIsNotSpawned)
{
    // Nothing in this library could end it.
    CSprite sprite;
    CSpritePlugInSpawnAnimation spawn;
    spawn.m_Sequence = int32_t(Index("Ten"));
    Start(spawn, &sprite);
    EXPECT_TRUE(Step(spawn));
    EXPECT_TRUE(hooks.sprites.empty());
    EXPECT_STREQ(spawn.m_LayerName.GetString(), "Effects");
}

TEST_F(LeafDeeds, ABroadcastTellsTheLevelThenSendsAFreshMessageToThePlayfield)
{
    CSprite sprite;
    CBroadcastMessageSpritePlugIn broadcast;
    broadcast.m_MessageToSend = "Doors Open";
    Start(broadcast, &sprite);
    EXPECT_TRUE(Step(broadcast));
    EXPECT_EQ(hooks.log, (std::vector<std::string>{"level Doors Open", "playfield Doors Open"}));
    ASSERT_EQ(hooks.messages.size(), 2u);
}

TEST_F(LeafDeeds, AFloatingTextShowsItsMessageBesideTheSprite)
{
    CSprite sprite;
    sprite.SetPosition(130.0f, 50.0f);
    CSpritePlugInSpawnFloatingText text;
    ASSERT_NE(text.m_Message, nullptr);
    EXPECT_EQ(text.m_Message->GetClassInfo(), CExpressionDisplayableText::SGetClassInfo());
    delete text.m_Message;
    text.m_Message = Text("Bonus!");
    text.m_PositionOffset = CFPoint{10.0f, -20.0f};
    Start(text, &sprite);
    EXPECT_TRUE(Step(text));
    EXPECT_EQ(hooks.log, (std::vector<std::string>{"text Bonus! at 40,30"}));
}

TEST_F(LeafDeeds, DeleteSelfMarksTheSpriteAndPlayAudioWithoutASoundIsDone)
{
    CSprite sprite;
    CSpritePlugInDeleteSelf deleteSelf;
    Start(deleteSelf, &sprite);
    EXPECT_TRUE(Step(deleteSelf));
    EXPECT_EQ(sprite.GetFlags() & kSpriteMarkedForDeletion, kSpriteMarkedForDeletion);

    CSpritePlugInPlayAudio audio;
    Start(audio, &sprite);
    EXPECT_TRUE(Step(audio));
    audio.m_SoundFX = 12345;
    EXPECT_TRUE(Step(audio));
}

TEST_F(LeafDeeds, TheCountdownShowsTheSecondsLeftRoundedUpAndTheWholeWaitInTheEditor)
{
    CSprite sprite;
    sprite.SetPosition(20.0f, 30.0f);
    CSpritePlugInWaitXSeconds wait;
    EXPECT_EQ(wait.m_CountdownDisplay->GetClassInfo(), CPrintPlugInNone::SGetClassInfo());
    delete wait.m_CountdownDisplay;
    auto* display = new CRecordingPrintPlugIn();
    wait.m_CountdownDisplay = display;
    delete wait.m_TimeToWait;
    wait.m_TimeToWait = Number(1.0f);
    Start(wait, &sprite);
    auto target = CFrame::MakeOwned(8, 8, 32);

    int steps = 0;
    do {
        Draw(wait, *target);
        ++steps;
    } while (!Step(wait));
    EXPECT_EQ(steps, 61);
    EXPECT_EQ(display->updates, 61);
    EXPECT_EQ(display->updatedFor, &sprite);
    ASSERT_EQ(display->texts.size(), 61u);
    for (int i = 0; i < 60; ++i)
        EXPECT_EQ(display->texts[size_t(i)], "1") << i;
    // The hair of time the float steps leave rounds up to nothing.
    EXPECT_EQ(display->texts[60], "0");
    EXPECT_EQ(display->last.x, 20.0f);
    EXPECT_EQ(display->last.y, 30.0f);
    EXPECT_EQ(display->last.destination, target.get());
    EXPECT_EQ(display->last.argument, reinterpret_cast<intptr_t>(&sprite));

    Draw(wait, *target);
    EXPECT_EQ(display->texts.back(), "0");

    CScopedHook<SetLevelEditorOpenQuery> editor([] { return true; });
    static_cast<CExpressionNumber*>(wait.m_TimeToWait)->m_Value = 7.9f;
    Draw(wait, *target);
    EXPECT_EQ(display->texts.back(), "7");

    // Without a sprite there is nowhere to show it.
    wait.SetSprite(nullptr);
    Draw(wait, *target);
    EXPECT_EQ(display->texts.size(), 63u);
}

TEST_F(LeafDeeds, DisplayValuePrintsTheValueAsTextAndIsNeverDone)
{
    CSprite sprite;
    sprite.SetPosition(3.0f, 4.0f);
    CSpritePlugInDisplayValue value;
    EXPECT_EQ(value.m_Display->GetClassInfo(), CPrintPlugInPrintFont::SGetClassInfo());
    delete value.m_Display;
    auto* display = new CRecordingPrintPlugIn();
    value.m_Display = display;
    Start(value, &sprite);
    auto target = CFrame::MakeOwned(8, 8, 32);
    Draw(value, *target);
    EXPECT_TRUE(display->texts.empty()) << "no value, nothing shown";

    value.m_Value = Binary<CExpressionConcatenate>(Text("x"), Integer(12));
    for (int i = 0; i < 100; ++i)
        EXPECT_FALSE(Step(value));
    Draw(value, *target);
    Draw(value, *target, &CSpritePlugIn::PreDraw);
    Draw(value, *target, &CSpritePlugIn::PostDraw);
    EXPECT_EQ(display->texts, (std::vector<std::string>{"x12"}));
    EXPECT_EQ(display->last.x, 3.0f);
}

TEST_F(LeafDeeds, PlaySequenceShowsTheFrameOfTheElapsedTimeInItsChosenPass)
{
    CSpritePlugInPlaySequence play;
    play.m_Sequence = int32_t(Index("Two"));
    play.m_TimeToDisplay = 5.0f;
    CSprite sprite;
    Start(play, &sprite);
    auto target = CFrame::MakeOwned(4, 4, 32);
    auto shown = [&](void (CSpritePlugIn::*pass)(CPlugInDrawRecord&)) {
        target->Clear();
        Draw(play, *target, pass);
        return target->GetRawPixel(1, 1);
    };
    const uint32_t blue = shown(&CSpritePlugIn::Draw);
    EXPECT_NE(blue, 0u);
    EXPECT_EQ(shown(&CSpritePlugIn::PreDraw), 0u) << "the default pass only";
    for (int i = 0; i < 31; ++i)
        Step(play);
    const uint32_t red = shown(&CSpritePlugIn::Draw);
    EXPECT_NE(red, 0u);
    EXPECT_NE(red, blue);
    for (int i = 0; i < 30; ++i)
        Step(play);
    EXPECT_EQ(shown(&CSpritePlugIn::Draw), blue) << "the play wraps";

    play.m_DrawType = int32_t(PlugInDrawPass::Post);
    EXPECT_EQ(shown(&CSpritePlugIn::Draw), 0u);
    EXPECT_EQ(shown(&CSpritePlugIn::PostDraw), blue);

    // The elapsed time counts the record's seconds, from the restart.
    Start(play, &sprite);
    CPlugInUpdateRecord long_step;
    long_step.seconds = 5.0f;
    play.Update(long_step);
    EXPECT_TRUE(long_step.done);
}

TEST_F(LeafDeeds, PlaySequenceWithNoTimeEndsAfterOnePlayAndAnEmptyOneDrawsNothing)
{
    CSprite sprite;
    CSpritePlugInPlaySequence play;
    play.m_Sequence = int32_t(Index("TenAtTen"));
    play.m_TimeToDisplay = 0.0f;
    Start(play, &sprite);
    int steps = 1;
    while (!Step(play) && steps < 1000)
        ++steps;
    // One second of float steps: the sixty-first.
    EXPECT_EQ(steps, 61);

    auto target = CFrame::MakeOwned(4, 4, 32);
    for (const char* name : {"Empty", "NoSuchSequence"}) {
        CSpritePlugInPlaySequence empty;
        empty.m_Sequence = name == std::string("Empty") ? int32_t(Index("Empty")) : 9999;
        empty.m_TimeToDisplay = 0.0f;
        Start(empty, &sprite);
        EXPECT_TRUE(Step(empty)) << name;
        Draw(empty, *target);
        EXPECT_EQ(target->GetRawPixel(1, 1), 0u) << name;
        empty.m_TimeToDisplay = 2.0f;
        Start(empty, &sprite);
        EXPECT_FALSE(Step(empty)) << name << ": the time rule still holds";
    }
}

} // namespace
