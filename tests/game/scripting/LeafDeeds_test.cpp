// Leaves that place sprites and leaves that draw, through a recording
// stand-in for the playfield.
#include "ExpressionSupport.h"
#include "SpriteFixture.h"

#include "game/scripting/CFrameSelector.h"
#include "game/scripting/CSpritePlugInLeaves.h"
#include "game/scripting/CSpritePlugInPrint.h"
#include "game/scripting/ScriptingClassBody.h"
#include "game/scripting/ScriptingHooks.h"
#include "images/CFrame.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Keeps the texts it is asked to print.
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
    std::vector<std::string> texts;
    CPrintRecord last;
};

OMBRISALT_SCRIPTING_CLASS(CRecordingPrintPlugIn, 1.0)
void CRecordingPrintPlugIn::DeclareProperties(CPropertyDeclarer&) {}

namespace {

// Layers are names; a layer's coordinates sit 100 left of the screen's.
class CRecordingHooks : public CScriptingHooks {
public:
    ~CRecordingHooks() override
    {
        for (CSprite* sprite : placed)
            delete sprite;
    }
    CFPoint ScreenToLayerOfSprite(CSprite*, CFPoint point) override { return {point.x - 100.0f, point.y}; }
    bool AddSpriteToLayer(CSprite* sprite, const char* layerName, LayerEnd end) override
    {
        if (!accept)
            return false;
        placed.push_back(sprite);
        places.push_back(std::string(layerName) + (end == LayerEnd::Back ? " end" : " front"));
        return true;
    }
    std::vector<CSprite*> placed;
    std::vector<std::string> places;
    bool accept = true;
};

class LeafDeeds : public SpriteFixture {
protected:
    void SetUp() override
    {
        SpriteFixture::SetUp();
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
    static void Draw(CSpritePlugIn& plugIn, CFrameInterface& destination)
    {
        CPlugInDrawRecord record{&destination, &destination};
        plugIn.Draw(record);
    }

    CRecordingHooks hooks;
    CScopedHook<SetScriptingHooks> installed{&hooks};
};

TEST_F(LeafDeeds, ASpawnedSpriteGetsItsOwnAIAndLandsAtTheEndOfItsLayerBesideTheSprite)
{
    CSprite sprite;
    sprite.SetPosition(150.7f, 40.2f);
    CSpritePlugInSpawnSprite spawn;
    spawn.m_SpriteAI = new CSpriteAIPlayAnimationOnce();
    spawn.m_Position = CPoint{5, -5};
    spawn.m_LayerName = "Crew";
    Start(spawn, &sprite);
    EXPECT_TRUE(Step(spawn));
    ASSERT_EQ(hooks.placed.size(), 1u);
    EXPECT_EQ(hooks.places[0], "Crew end");
    // (150.7 - 100, 40.2) cut to whole pixels, plus the position.
    EXPECT_EQ(hooks.placed[0]->GetPosition(), (CFPoint{55.0f, 35.0f}));
    EXPECT_NE(hooks.placed[0]->GetAI(), spawn.m_SpriteAI);
    EXPECT_TRUE(hooks.placed[0]->HasRestartBeenCalled());

    // With no playfield to take it nothing is left behind (the sanitizer
    // would see a leak); with no prototype nothing is made.
    hooks.accept = false;
    EXPECT_TRUE(Step(spawn));
    hooks.accept = true;
    delete spawn.m_SpriteAI;
    spawn.m_SpriteAI = nullptr;
    EXPECT_TRUE(Step(spawn));
    EXPECT_EQ(hooks.placed.size(), 1u);
}

TEST_F(LeafDeeds, TheCountdownShowsTheSecondsLeftRoundedUpAndTheWholeWaitInTheEditor)
{
    CSprite sprite;
    sprite.SetPosition(20.0f, 30.0f);
    CSpritePlugInWaitXSeconds wait;
    delete wait.m_CountdownDisplay;
    auto* display = new CRecordingPrintPlugIn();
    wait.m_CountdownDisplay = display;
    delete wait.m_TimeToWait;
    wait.m_TimeToWait = Number(1.0f);
    Start(wait, &sprite);
    auto target = CFrame::MakeOwned(8, 8, 32);
    do
        Draw(wait, *target);
    while (!Step(wait));
    ASSERT_EQ(display->texts.size(), 61u);
    EXPECT_EQ(display->texts[59], "1");
    // The hair of time the float steps leave rounds up to nothing.
    EXPECT_EQ(display->texts[60], "0");
    EXPECT_EQ(display->last.x, 20.0f);
    EXPECT_EQ(display->last.argument, reinterpret_cast<intptr_t>(&sprite));

    CScopedHook<SetLevelEditorOpenQuery> editor([] { return true; });
    static_cast<CExpressionNumber*>(wait.m_TimeToWait)->m_Value = 7.9f;
    Draw(wait, *target);
    EXPECT_EQ(display->texts.back(), "7");
}

TEST_F(LeafDeeds, DisplayValuePrintsItsValueAsText)
{
    CSprite sprite;
    CSpritePlugInDisplayValue value;
    delete value.m_Display;
    auto* display = new CRecordingPrintPlugIn();
    value.m_Display = display;
    value.m_Value = Binary<CExpressionConcatenate>(Text("x"), Integer(12));
    Start(value, &sprite);
    EXPECT_FALSE(Step(value));
    auto target = CFrame::MakeOwned(8, 8, 32);
    Draw(value, *target);
    EXPECT_EQ(display->texts, (std::vector<std::string>{"x12"}));
}

TEST_F(LeafDeeds, PlaySequenceEndsAfterOnePlayAndAnEmptyOrMissingOneDrawsNothing)
{
    CSprite sprite;
    CSpritePlugInPlaySequence play;
    play.m_Sequence = int32_t(Index("TenAtTen"));
    play.m_TimeToDisplay = 0.0f;
    Start(play, &sprite);
    auto target = CFrame::MakeOwned(4, 4, 32);
    Draw(play, *target);
    EXPECT_NE(target->GetRawPixel(1, 1), 0u);
    int steps = 1;
    while (!Step(play) && steps < 1000)
        ++steps;
    EXPECT_EQ(steps, 61) << "one second of float steps";

    for (int32_t sequence : {int32_t(Index("Empty")), 9999}) {
        target->Clear();
        play.m_Sequence = sequence;
        Start(play, &sprite);
        Draw(play, *target);
        EXPECT_EQ(target->GetRawPixel(1, 1), 0u);
        EXPECT_TRUE(Step(play)) << "no frames: one play is over";
    }
}

} // namespace
