// Scenery as a level plays it: hidden on a vacant lot at its first update,
// shown with its optional goal, poked with a click (its sound, one count,
// a swell that shrinks back) and the poke cursor over it.
#include "game/world/CScenery.h"

#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/world/CGameApp.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CGoalTypes.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLot.h"
#include "game/world/CPlayfield.h"
#include "game/world/CPlayfieldMouseMessage.h"
#include "game/world/CRules.h"
#include "objects/CPropertyArrayProperty.h"
#include "sequences/CSequenceList.h"
#include "sequences/SequenceTestSupport.h"
#include "shell/CMouseState.h"
#include "sound/CSoundList.h"
#include "sound/SoundTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace {

std::string PokeAudio(const char* audio)
{
    return SequenceProperties(std::string("Dynamic Properties=1\n{\n\tPoke Audio=") + audio + "\n}");
}

constexpr float kSceneryStep = 1.0f / 60.0f;

class Scenery : public SequenceFolderTest {
protected:
    void SetUp() override
    {
        SequenceFolderTest::SetUp();
        ASSERT_TRUE(m_Device.Initialize());
        // A tree 40 x 80 and a pebble 4 x 4 that rustle, a sign that does not.
        WriteTga("Resources/Sequences/-Tree/0001.tga", 40, 80);
        WriteBytes("Resources/Sequences/-Tree/Properties.txt", PokeAudio("Rustle"));
        WriteTga("Resources/Sequences/-Pebble/0001.tga", 4, 4);
        WriteBytes("Resources/Sequences/-Pebble/Properties.txt", PokeAudio("Rustle"));
        WriteTga("Resources/Sequences/-Sign/0001.tga", 40, 80);
        for (const char* name : {"!None", "Tile EmptyLot", "Lot Vacant", "Lot LivedIn", "Poke Cursor", "Mouse Cursor"})
            WriteTga("Resources/Sequences/-" + std::string(name) + "/0001.tga", 8, 8);
        WriteBytes(
            "Resources/Town.Background.txt",
            BareObjectText("CBackgroundStyleSheet",
                           "Vacant Images List=Array\r\n{\r\nItem Count=1\r\nVacant Images=Lot Vacant\r\n}\r\n"));
        WriteBytes("Resources/Rustle.wav", MonoWave(Constant(4000, 1000)));
        m_Sounds = std::make_unique<CSoundList>(m_Device);
        ASSERT_EQ(m_Sounds->Load("Scenery Sounds", "Resources", ".wav", ".ogg"), 1);
        GetAudioList().SetSource("Audio", m_Sounds.get());
        GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
        GetBackgroundStyleSheetList().SetSource(nullptr, "Resources", 0);
        WriteBytes("Resources/Rules.Object.txt",
                   BareObjectText("CRules",
                                  "Poke Pixels To Grow By=10\r\nMin Poke Grow Fraction=0.001\r\n"
                                  "Max Poke Grow Fraction=0.2\r\nPoke Duration=1.5\r\n"));
        GetGeneralObjects().SetSource(nullptr, "Resources", 0);
        InitGeneralObjects();
    }
    void TearDown() override
    {
        ClearDraggedSprite();
        GetLevelHolder().Release();
        for (CObjectFileArray* list : {static_cast<CObjectFileArray*>(&GetGeneralObjects()),
                                       static_cast<CObjectFileArray*>(&GetSequenceList()),
                                       static_cast<CObjectFileArray*>(&GetBackgroundStyleSheetList())}) {
            list->RemoveAll();
            list->SetSource(nullptr, "Nowhere", 0);
        }
        GetAudioList().SetSource("Nowhere", nullptr);
        m_Sounds.reset();
        m_Device.Shutdown();
        CMouseState::SGetInstance().ResetForTesting();
        SequenceFolderTest::TearDown();
    }

    static int32_t Sequence(const char* name) { return GetSequenceList().Find(name); }

    // A held copy of a fresh level with the default layers and goals.
    CLevelOptions& StartLevel(uint32_t goals = 0)
    {
        CLevelOptions level;
        level.ResetToDefaults();
        level.EnsureDefaultLayers();
        level.m_Background = GetBackgroundStyleSheetList().Find("Town");
        auto* list = static_cast<CPropertyArrayProperty*>(CLevelOptions::SGetClassInfo()->FindProperty("Optional Goals List"));
        list->ArrayProperty_SetCount(&level, goals);
        for (uint32_t i = 0; i < goals; ++i) {
            delete level.m_OptionalGoals[i];
            level.m_OptionalGoals[i] = new CRevenueGoal;
        }
        GetLevelHolder().HoldCopyOf(&level);
        CLevelOptions* current = CLevelOptions::SGetCurrent();
        EXPECT_NE(current, nullptr);
        return *current;
    }
    // A scenery sprite of the sequence at (x, y) on the "Effects" layer.
    CSprite* AddScenery(const char* sequence, float x, float y, CScenery** ai = nullptr)
    {
        auto* sprite = new CSprite;
        sprite->SetImageSequence(uint32_t(Sequence(sequence)));
        sprite->SetPosition(x, y);
        auto* scenery = new CScenery;
        sprite->AddAI(scenery);
        CLevelOptions::SGetCurrent()->GetPlayfield().AddSprite(sprite, "Effects");
        if (ai)
            *ai = scenery;
        return sprite;
    }
    CSprite* AddLot(float x, float y, const char* ground)
    {
        auto* sprite = new CSprite;
        sprite->SetPosition(x, y);
        auto* lot = new CLot;
        sprite->AddAI(lot);
        lot->m_BackgroundSequence = Sequence(ground);
        CLevelOptions::SGetCurrent()->GetPlayfield().AddSprite(sprite, "Lot");
        return sprite;
    }
    static void Step(CSprite* sprite, CScenery* ai, float seconds = kSceneryStep)
    {
        CSpriteUpdateRecord record;
        record.sprite = sprite;
        record.seconds = seconds;
        ai->Update(record);
    }
    static bool Click(CSprite* sprite, int32_t x, int32_t y)
    {
        CPlayfieldMouseMessage message = CPlayfieldMouseMessage::MouseDown(0, kLeftMouseButton, CPoint{x, y});
        sprite->HandleMessage(message);
        return message.IsHandled();
    }
    static bool Move(CSprite* sprite, int32_t x, int32_t y)
    {
        CPlayfieldMouseMessage message = CPlayfieldMouseMessage::MouseMoved(0, CPoint{x, y}, CPoint{x, y});
        sprite->HandleMessage(message);
        return message.IsHandled();
    }
    bool RustleIsPlaying()
    {
        for (CSound* s = m_Sounds->GetSoundByName("Rustle"); s; s = s->GetNextCopy())
            if (s->IsPlaying())
                return true;
        return false;
    }

    CScopedDataFolder m_DataFolder{"."};
    plat::CAudioDeviceHeadless m_Audio;
    CSoundDevice m_Device{m_Audio};
    std::unique_ptr<CSoundList> m_Sounds;
};

TEST_F(Scenery, HidesOnAVacantLotAtItsFirstUpdateOnly)
{
    StartLevel();
    AddLot(300.0f, 300.0f, "Lot Vacant");
    AddLot(600.0f, 300.0f, "Lot LivedIn");
    CScenery* onVacant = nullptr;
    CScenery* onLivedIn = nullptr;
    CScenery* beside = nullptr;
    CSprite* a = AddScenery("Tree", 310.0f, 310.0f, &onVacant);
    CSprite* b = AddScenery("Tree", 600.0f, 300.0f, &onLivedIn);
    CSprite* c = AddScenery("Tree", 500.0f, 300.0f, &beside);
    Step(a, onVacant);
    Step(b, onLivedIn);
    Step(c, beside);
    EXPECT_FALSE(a->IsVisible());
    EXPECT_TRUE(b->IsVisible()) << "a lot that is not vacant keeps its scenery";
    EXPECT_TRUE(c->IsVisible()) << "outside the lot's hit area";
    EXPECT_FALSE(onVacant->m_TryToAssociateWithLot);
    EXPECT_FALSE(beside->m_TryToAssociateWithLot);

    // The test runs once: shown again, it stays shown.
    a->SetVisible(true);
    Step(a, onVacant);
    EXPECT_TRUE(a->IsVisible());

    // Without the flag it never looks.
    CScenery* free = nullptr;
    CSprite* d = AddScenery("Tree", 300.0f, 300.0f, &free);
    free->m_TryToAssociateWithLot = false;
    Step(d, free);
    EXPECT_TRUE(d->IsVisible());
}

// A scaled grid's lots lie where the screen shows them: scenery hides on a lot
// it covers on the screen, not on one its unscaled place would hit.
TEST_F(Scenery, OnAScaledLotLayerTheLotIsFoundWhereTheScreenShowsIt)
{
    CLevelOptions& level = StartLevel();
    level.m_ScalePercent = 50.0f;
    AddLot(400.0f, 400.0f, "Lot Vacant");
    CScenery* onScreen = nullptr;
    CScenery* unscaled = nullptr;
    CSprite* a = AddScenery("Tree", 200.0f, 200.0f, &onScreen);
    CSprite* b = AddScenery("Tree", 400.0f, 400.0f, &unscaled);
    Step(a, onScreen);
    Step(b, unscaled);
    EXPECT_FALSE(a->IsVisible());
    EXPECT_TRUE(b->IsVisible());
}

TEST_F(Scenery, ShowsExactlyWhileItsGoalIsAchievedAndIgnoresGoalsTheLevelLacks)
{
    CLevelOptions& level = StartLevel(1);
    CScenery* tied = nullptr;
    CScenery* beyond = nullptr;
    CSprite* a = AddScenery("Tree", 100.0f, 100.0f, &tied);
    CSprite* b = AddScenery("Tree", 200.0f, 100.0f, &beyond);
    tied->m_OptionalGoalToAssociateWith = 1;
    beyond->m_OptionalGoalToAssociateWith = 2;
    Step(a, tied);
    Step(b, beyond);
    EXPECT_FALSE(a->IsVisible());
    EXPECT_TRUE(b->IsVisible()) << "goal 2 of a level with one goal";

    level.m_OptionalGoals[0]->m_AchievedThisTime = true;
    b->SetVisible(false);
    Step(a, tied);
    Step(b, beyond);
    EXPECT_TRUE(a->IsVisible());
    EXPECT_FALSE(b->IsVisible());
    level.m_OptionalGoals[0]->m_AchievedThisTime = false;
    Step(a, tied);
    EXPECT_FALSE(a->IsVisible());
}

TEST_F(Scenery, AClickPlaysThePokeSoundCountsItAndSwellsOnceUntilTheSwellEnds)
{
    StartLevel();
    CScenery* ai = nullptr;
    CSprite* tree = AddScenery("Tree", 200.0f, 200.0f, &ai);
    tree->SetScale(CFPoint{2.0f, 2.0f});
    CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent();
    ASSERT_NE(stats, nullptr);
    const uint32_t pokes = stats->m_PokeSoundsPlayed;

    EXPECT_FALSE(Click(tree, 600, 600)) << "a click beside the tree";
    EXPECT_FALSE(RustleIsPlaying());
    ASSERT_TRUE(Click(tree, 200, 200));
    EXPECT_TRUE(RustleIsPlaying());
    EXPECT_EQ(stats->m_PokeSoundsPlayed, pokes + 1);
    EXPECT_FLOAT_EQ(ai->m_SecondsSincePoke, 0.001f);

    // 10 pixels over the larger side, 80 x 2: g = 1/16.
    Step(tree, ai, 0.5f - 0.001f);
    EXPECT_FLOAT_EQ(tree->GetScale().x, 2.0f * (1.0f + (1.0f - 0.5f / 1.5f) / 16.0f));
    EXPECT_FLOAT_EQ(tree->GetScale().y, tree->GetScale().x);

    // A second click during the swell is left to others and restarts nothing.
    EXPECT_FALSE(Click(tree, 200, 200));
    EXPECT_EQ(stats->m_PokeSoundsPlayed, pokes + 1);
    EXPECT_FLOAT_EQ(ai->m_SecondsSincePoke, 0.5f);

    Step(tree, ai, 1.0f);
    EXPECT_EQ(ai->m_SecondsSincePoke, 0.0f);
    EXPECT_EQ(tree->GetScale().x, 2.0f);
    EXPECT_EQ(tree->GetScale().y, 2.0f);
    Step(tree, ai);
    EXPECT_EQ(tree->GetScale().x, 2.0f);

    // Ended, it may be poked again; hidden or under a held sprite it may not.
    EXPECT_TRUE(Click(tree, 200, 200));
    Step(tree, ai, 2.0f);
    tree->SetVisible(false);
    EXPECT_FALSE(Click(tree, 200, 200));
    tree->SetVisible(true);
    CSprite held;
    SetDraggedSprite(&held, CFPoint{0.0f, 0.0f});
    EXPECT_FALSE(Click(tree, 200, 200));
    ClearDraggedSprite();
    EXPECT_EQ(stats->m_PokeSoundsPlayed, pokes + 2);
}

TEST_F(Scenery, TheGrowFractionStaysWithinTheRulesAndNothingIsDividedByZero)
{
    StartLevel();
    CScenery* ai = nullptr;
    CSprite* pebble = AddScenery("Pebble", 100.0f, 100.0f, &ai);
    ai->m_PokeBaseScale = CFPoint{1.0f, 1.0f};
    EXPECT_FLOAT_EQ(ai->GetGrowFraction(pebble), 0.2f) << "10 / 4 lowered to the most";
    ai->m_PokeBaseScale = CFPoint{1000.0f, 1000.0f};
    EXPECT_FLOAT_EQ(ai->GetGrowFraction(pebble), 0.0025f);
    ai->m_PokeBaseScale = CFPoint{100000.0f, 100000.0f};
    EXPECT_FLOAT_EQ(ai->GetGrowFraction(pebble), 0.001f) << "raised to the least";
    // A tree 40 x 80 grows by its larger side.
    CScenery* treeAI = nullptr;
    CSprite* tree = AddScenery("Tree", 300.0f, 100.0f, &treeAI);
    EXPECT_FLOAT_EQ(treeAI->GetGrowFraction(tree), 0.125f);
    // A sprite without an image, or of no size, takes the most.
    CScenery* emptyAI = nullptr;
    CSprite* empty = AddScenery("Nothing", 500.0f, 100.0f, &emptyAI);
    EXPECT_FLOAT_EQ(emptyAI->GetGrowFraction(empty), 0.2f);
    treeAI->m_PokeBaseScale = CFPoint{0.0f, 0.0f};
    EXPECT_FLOAT_EQ(treeAI->GetGrowFraction(tree), 0.2f);

    // A zero duration ends the swell at its first step.
    CRules::SGetInstance().m_PokeDuration = 0.0f;
    pebble->SetScale(CFPoint{1.5f, 1.5f});
    ASSERT_TRUE(Click(pebble, 100, 100));
    Step(pebble, ai);
    EXPECT_EQ(ai->m_SecondsSincePoke, 0.0f);
    EXPECT_EQ(pebble->GetScale().x, 1.5f);
}

TEST_F(Scenery, ThePokeCursorShowsOverPokeableScenery)
{
    StartLevel();
    CSprite* tree = AddScenery("Tree", 200.0f, 200.0f);
    CSprite* sign = AddScenery("Sign", 400.0f, 200.0f);
    // Only the tree's sequence names a poke sound.
    EXPECT_EQ(GetPokeAudio(tree->GetImageSequence()), GetAudioList().Find("Rustle"));
    EXPECT_GT(GetPokeAudio(tree->GetImageSequence()), 0);
    EXPECT_EQ(GetPokeAudio(sign->GetImageSequence()), 0);
    CMouseState& mouse = CMouseState::SGetInstance();
    CCursorSequence* before = mouse.GetCursor();

    EXPECT_TRUE(Move(tree, 200, 200));
    CCursorSequence* poke = mouse.GetCursor();
    ASSERT_NE(poke, nullptr);
    EXPECT_NE(poke, before);
    EXPECT_EQ(poke->GetFrame(0)->GetWidth(), 8u);

    // A sign without a poke sound never takes the cursor or a click.
    EXPECT_FALSE(Move(sign, 400, 200));
    EXPECT_EQ(mouse.GetCursor(), poke);
    EXPECT_FALSE(Click(sign, 400, 200));
    EXPECT_EQ(sign->GetScale().x, 1.0f);

    // Moving off the tree: the standard cursor (none in this bare test).
    EXPECT_FALSE(Move(tree, 600, 600));
}

// Rules and sizes a designer may leave at 0 or below never make the swell
// "not a number": the sprite keeps a finite scale and the swell ends.
TEST_F(Scenery, NoRuleOrSizeAtZeroMakesTheSwellNotANumber)
{
    StartLevel();
    CRules& rules = CRules::SGetInstance();
    rules.m_PokePixelsToGrowBy = 0.0f;
    CScenery* ai = nullptr;
    CSprite* tree = AddScenery("Tree", 200.0f, 200.0f, &ai);
    // 0 pixels over a side of 0: the most, not 0 / 0.
    ai->m_PokeBaseScale = CFPoint{0.0f, 0.0f};
    EXPECT_FLOAT_EQ(ai->GetGrowFraction(tree), 0.2f);
    ai->m_PokeBaseScale = CFPoint{1.0f, 1.0f};
    EXPECT_FLOAT_EQ(ai->GetGrowFraction(tree), 0.001f) << "0 pixels: the least";
    rules.m_PokePixelsToGrowBy = std::nanf("");
    EXPECT_FLOAT_EQ(ai->GetGrowFraction(tree), 0.001f);
    rules.m_PokePixelsToGrowBy = 0.0f;

    // A swell running on a sprite shrunk to nothing stays finite and ends.
    tree->SetScale(CFPoint{0.0f, 0.0f});
    ai->m_PokeBaseScale = CFPoint{0.0f, 0.0f};
    ai->m_SecondsSincePoke = 0.001f;
    for (int i = 0; i < 120 && ai->m_SecondsSincePoke > 0.0f; ++i) {
        Step(tree, ai);
        ASSERT_TRUE(std::isfinite(tree->GetScale().x) && std::isfinite(tree->GetScale().y));
    }
    EXPECT_EQ(ai->m_SecondsSincePoke, 0.0f);

    // A duration below 0, or not a number, ends the swell at its first step,
    // scale given back.
    for (float duration : {-1.0f, std::nanf("")}) {
        rules.m_PokeDuration = duration;
        tree->SetScale(CFPoint{2.0f, 2.0f});
        ASSERT_TRUE(Click(tree, 200, 200));
        Step(tree, ai);
        EXPECT_EQ(ai->m_SecondsSincePoke, 0.0f);
        EXPECT_EQ(tree->GetScale().x, 2.0f);
        EXPECT_EQ(tree->GetScale().y, 2.0f);
    }
}

} // namespace
