// Script leaves on the playfield of a level in play: where spawned sprites,
// animations and floating texts land, and who hears a broadcast.
#include "game/scripting/CSprite.h"
#include "game/scripting/CSpriteAI.h"
#include "game/scripting/CSpritePlugInLeaves.h"
#include "game/scripting/CTextExpressions.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlay.h"
#include "game/world/CPlayAnimationOnceSpriteAI.h"
#include "game/world/CPlayfield.h"
#include "game/world/RegisterGameWorldClasses.h"
#include "objects/CMessage.h"
#include "sequences/CSequenceList.h"
#include "sequences/SequenceTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class CHearingAI : public CSpriteAI {
public:
    explicit CHearingAI(std::vector<std::string>& heard)
        : m_Heard(heard)
    {
    }
    void Update(CSpriteUpdateRecord&) override {}
    void HandleMessage(CMessage& message) override
    {
        const char* name = GetMessageTypeName(message.GetType());
        m_Heard.push_back(std::string(name ? name : "") + (message.IsHandled() ? " handled" : ""));
    }

private:
    std::vector<std::string>& m_Heard;
};

class LeafPlugInsInPlay : public SequenceFolderTest {
protected:
    void SetUp() override
    {
        SequenceFolderTest::SetUp();
        RegisterGameWorldClasses();
        WriteTga("Seq/-!None/a.tga", 1, 1);
        for (int i = 0; i < 4; ++i)
            WriteTga("Seq/-Puff/f" + std::to_string(10 + i) + ".tga", 4, 4);
        WriteBytes("Seq/-Puff/Properties.txt", SequenceProperties("Frames Per Second=60"));
        GetSequenceList().SetSource(nullptr, "Seq", 0);
        WriteBytes("Resources/Power Up Text Display Options.Object.txt", "CPowerUpTextDisplayOptions\r\n{\r\n}\r\n");
        GetGeneralObjects().SetSource(nullptr, "Resources", 0);

        CLevelOptions level;
        level.ResetToDefaults();
        level.EnsureDefaultLayers();
        GetLevelHolder().HoldCopyOf(&level);
        current = CLevelOptions::SGetCurrent();
        ASSERT_NE(current, nullptr);
        playfield = &current->GetPlayfield();
        actor = new CSprite;
        actor->SetPosition(40.0f, 60.0f);
        playfield->AddSprite(actor, "Crew");
    }
    void TearDown() override
    {
        GetLevelHolder().Release();
        for (CObjectFileArray* list :
             {static_cast<CObjectFileArray*>(&GetGeneralObjects()), static_cast<CObjectFileArray*>(&GetSequenceList())}) {
            list->RemoveAll();
            list->SetSource(nullptr, "Nowhere", 0);
        }
        SequenceFolderTest::TearDown();
    }

    // Runs the leaf for the actor as its script would, once.
    void RunOnce(CSpritePlugIn* leaf)
    {
        actor->AddPlugIn(leaf);
        actor->Update();
    }
    CPlayfieldLayer& Layer(const char* name)
    {
        CPlayfieldLayer* layer = playfield->FindLayer(name);
        EXPECT_NE(layer, nullptr) << name;
        return *layer;
    }

    CLevelOptions* current = nullptr;
    CPlayfield* playfield = nullptr;
    CSprite* actor = nullptr;
};

TEST_F(LeafPlugInsInPlay, AnimationsGoToTheFrontOfTheirLayerAndSpritesToTheEndOfALayerMadeByName)
{
    CPlayfieldLayer& effects = Layer("Effects");
    auto* earlier = new CSprite;
    effects.AddSprite(earlier);
    auto* animation = new CSpritePlugInSpawnAnimation();
    animation->m_Sequence = GetSequenceList().Find("Puff");
    animation->m_PositionOffset = CFPoint{2.5f, -10.0f};
    RunOnce(animation);
    ASSERT_EQ(effects.GetSpriteCount(), 2u);
    CSprite* puff = effects.GetSprite(0);
    EXPECT_EQ(puff->GetPosition(), (CFPoint{42.5f, 50.0f}));
    // Four frames at sixty a second: gone after four steps.
    for (int i = 0; i < 4; ++i)
        effects.GetSprites().Update();
    EXPECT_EQ(effects.GetSpriteCount(), 1u);

    auto* spawn = new CSpritePlugInSpawnSprite();
    spawn->m_SpriteAI = new CPlayAnimationOnceSpriteAI();
    spawn->m_Position = CPoint{1, 2};
    spawn->m_LayerName = "Visitors";
    RunOnce(spawn);
    CPlayfieldLayer& visitors = Layer("Visitors");
    ASSERT_EQ(visitors.GetSpriteCount(), 1u);
    CSprite* first = visitors.GetSprite(0);
    EXPECT_EQ(first->GetPosition(), (CFPoint{41.0f, 62.0f}));
    actor->Update();
    ASSERT_EQ(visitors.GetSpriteCount(), 2u);
    EXPECT_EQ(visitors.GetSprite(0), first) << "the next one after it";
}

TEST_F(LeafPlugInsInPlay, ABroadcastReachesTheLevelThenEverySpriteAndFloatingTextsRise)
{
    std::vector<std::string> heard;
    auto* listener = new CSprite;
    listener->AddAI(new CHearingAI(heard));
    playfield->AddSprite(listener, "UI");
    auto* broadcast = new CBroadcastMessageSpritePlugIn();
    broadcast->m_MessageToSend = "Disable Customers";
    auto* text = new CSpritePlugInSpawnFloatingText();
    delete text->m_Message;
    auto* message = new CExpressionDisplayableText();
    message->m_Text = "Tip!";
    text->m_Message = message;
    actor->AddPlugIn(text);
    RunOnce(broadcast);
    EXPECT_TRUE(current->m_CustomerSpawningDisabled);
    EXPECT_EQ(heard, (std::vector<std::string>{"Disable Customers"}));
    CPlayfieldLayer& effects = Layer("Effects");
    ASSERT_EQ(effects.GetSpriteCount(), 1u);
    EXPECT_EQ(effects.GetSprite(0)->GetPosition(), (CFPoint{40.0f, 60.0f}));
}

} // namespace
