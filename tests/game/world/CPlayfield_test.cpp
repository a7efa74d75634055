#include "game/world/CPlayfield.h"

#include "foundation/CArrayPOD.h"
#include "game/scripting/CScriptPosition.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/CSpriteAI.h"
#include "game/world/CHUD.h"
#include "game/world/WorldHooks.h"
#include "images/CFrame.h"
#include "objects/CMessage.h"
#include "support/ScopedHooks.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A layer that writes down what reaches it.
class CRecordingLayer : public CPlayfieldLayer {
public:
    CRecordingLayer(const char* name, std::vector<std::string>& log)
        : m_Log(log)
    {
        m_Name = name;
    }
    void Update(float seconds) override
    {
        m_Log.push_back("update " + std::string(m_Name.GetString()));
        CPlayfieldLayer::Update(seconds);
    }
    void Draw(CFrameInterface& frame) override
    {
        m_Log.push_back("draw " + std::string(m_Name.GetString()));
        CPlayfieldLayer::Draw(frame);
    }
    void HandleMessage(CMessage& message) override
    {
        m_Log.push_back("message " + std::string(m_Name.GetString()));
        CPlayfieldLayer::HandleMessage(message);
    }

private:
    std::vector<std::string>& m_Log;
};

class CRecordingPlayfieldHooks final : public CGameScreensHooks {
public:
    void AdvanceAchievementTimers(float seconds) override { advanced += seconds; }
    CObject* GetViewedLevel() override { return viewed; }

    float advanced = 0.0f;
    CObject* viewed = nullptr;
};

CSprite* NamedSprite(const char* name, float x, float y)
{
    auto* sprite = new CSprite;
    sprite->SetName(CJString(name));
    sprite->SetPosition(x, y);
    return sprite;
}

// A target reference of a name, usable as a temporary argument.
class Reference {
public:
    explicit Reference(const char* name) { m_Reference.m_Name = name; }
    operator const CScriptReferenceToTarget&() const { return m_Reference; }

private:
    CScriptReferenceToTarget m_Reference;
};

std::vector<std::string> LayerNames(CPlayfield& playfield)
{
    std::vector<std::string> names;
    for (uint32_t i = 0; i < playfield.GetLayerCount(); ++i)
        names.push_back(playfield.GetLayer(i)->m_Name.GetString());
    return names;
}

TEST(Playfield, LayersUpdateAndDrawBottomUpAndHearMessagesTopDown)
{
    std::vector<std::string> log;
    CRecordingPlayfieldHooks hooks;
    CScopedHook<SetGameScreensHooks> installed(&hooks);
    CPlayfield playfield;
    playfield.AppendLayer(new CRecordingLayer("Lot", log));
    playfield.AppendLayer(new CRecordingLayer("Crew", log));
    playfield.AppendLayer(new CRecordingLayer("UI", log));
    playfield.GetLayer(1)->m_VisibleInEditor = false;

    std::unique_ptr<CFrame> frame(CFrame::MakeOwned(8, 8, 32));
    playfield.Update(0.25f);
    playfield.Draw(*frame);
    CMessage message = CMessage::CMessageByName("PlayfieldOrderProbe");
    playfield.BroadcastMessage(message);

    // A layer hidden in the editor still updates and hears messages.
    const std::vector<std::string> expected = {"update Lot", "update Crew", "update UI",    "draw Lot",
                                               "draw UI",    "message UI",  "message Crew", "message Lot"};
    EXPECT_EQ(log, expected);
    EXPECT_FLOAT_EQ(hooks.advanced, 0.25f);

    CPlayfield empty;
    log.clear();
    empty.Update(0.5f);
    empty.Draw(*frame);
    EXPECT_FLOAT_EQ(hooks.advanced, 0.75f);
    EXPECT_TRUE(log.empty());
}

TEST(Playfield, LayersAreFoundCaseBlindAndMadeAtTheEnd)
{
    CPlayfield playfield;
    playfield.FindOrAddLayer("Junk");
    playfield.FillDefaultLayers();
    EXPECT_EQ(LayerNames(playfield), (std::vector<std::string>{"Lot", "Customers", "HUD", "Crew", "Effects", "UI"}));
    EXPECT_EQ(playfield.FindLayer("customers"), playfield.GetLayer(1));
    EXPECT_EQ(playfield.FindLayer("Junk"), nullptr);
    EXPECT_EQ(playfield.GetLayer(6), nullptr);
    EXPECT_EQ(static_cast<CPlayfieldLayer*>(playfield.GetHUD()), playfield.GetLayer(2));

    CPlayfieldLayer* sky = playfield.FindOrAddLayer("Sky");
    EXPECT_EQ(playfield.GetLayerCount(), 7u);
    EXPECT_EQ(playfield.GetLayer(6), sky);
    EXPECT_EQ(playfield.FindOrAddLayer("SKY"), sky);
    EXPECT_TRUE(sky->m_VisibleInEditor);

    // Sprites go to the named layer, made when missing; first means on top.
    CSprite* a = NamedSprite("a", 0, 0);
    CSprite* b = NamedSprite("b", 0, 0);
    playfield.AddSprite(a, "effects");
    EXPECT_EQ(playfield.InsertSpriteFirst(b, "Effects"), 0u);
    CPlayfieldLayer* effects = playfield.FindLayer("Effects");
    ASSERT_EQ(effects->GetSpriteCount(), 2u);
    EXPECT_EQ(effects->GetSprite(0), b);
    EXPECT_EQ(effects->GetSprite(1), a);
    EXPECT_EQ(effects->GetSprite(2), nullptr);
    EXPECT_EQ(playfield.FindLayerOfSprite(a), effects);
    playfield.AddSprite(NamedSprite("c", 0, 0), "Weather");
    EXPECT_EQ(LayerNames(playfield).back(), "Weather");

    CSprite stray;
    EXPECT_EQ(playfield.FindLayerOfSprite(&stray), nullptr);
    playfield.DeleteAllLayers();
    EXPECT_EQ(playfield.GetLayerCount(), 0u);
}

TEST(Playfield, ReferencesMatchByNameLayersAndSpritesInOrder)
{
    CPlayfield playfield;
    CSprite* ground = NamedSprite("Bird", 1, 2);
    CSprite* spaced = NamedSprite("Blue Bird", 3, 4);
    CSprite* top = NamedSprite("bird", 5, 6);
    playfield.AddSprite(ground, "Lot");
    playfield.AddSprite(spaced, "UI");
    playfield.AddSprite(top, "UI");
    playfield.AddSprite(NamedSprite("", 7, 8), "UI");

    EXPECT_EQ(playfield.FindSpriteByReference(Reference("BIRD")), ground);
    EXPECT_EQ(playfield.FindSpriteByReference(Reference("")), nullptr);
    EXPECT_EQ(playfield.FindSpriteByReference(Reference("bluebird")), nullptr);

    CArrayPOD<CSprite*> found;
    playfield.FindSpritesByReference(Reference("bird"), found, false);
    ASSERT_EQ(found.GetCount(), 2u);
    EXPECT_EQ(found[0], ground);
    EXPECT_EQ(found[1], top);
    found.RemoveAll();
    playfield.FindSpritesByReference(Reference("BLUEBIRD"), found, true);
    ASSERT_EQ(found.GetCount(), 1u);
    EXPECT_EQ(found[0], spaced);

    CFPoint where{0, 0};
    EXPECT_TRUE(playfield.GetReferencePosition(Reference("Blue Bird"), where, nullptr));
    EXPECT_EQ(where, (CFPoint{3, 4}));
    // "this" falls back to the own sprite only when no sprite has that name.
    CSprite own;
    own.SetPosition(9, 10);
    EXPECT_TRUE(playfield.GetReferencePosition(Reference("This"), where, &own));
    EXPECT_EQ(where, (CFPoint{9, 10}));
    EXPECT_FALSE(playfield.GetReferencePosition(Reference("this"), where, nullptr));
    EXPECT_FALSE(playfield.GetReferencePosition(Reference("Crow"), where, &own));
    top->SetName(CJString("this"));
    EXPECT_TRUE(playfield.GetReferencePosition(Reference("THIS"), where, &own));
    EXPECT_EQ(where, (CFPoint{5, 6}));
}

class PlayfieldEditorFlags : public CTempFolderTest {};

TEST_F(PlayfieldEditorFlags, DefaultToShownAndOnlyTheLotsPickableAndComeBackFromTheSettingsFile)
{
    CPlayfield playfield;
    playfield.FillDefaultLayers();
    playfield.LoadLayerFlags();
    CPlayfieldLayer* lots = playfield.FindLayer("Lot");
    ASSERT_NE(lots, nullptr);
    for (uint32_t i = 0; i < playfield.GetLayerCount(); ++i) {
        CPlayfieldLayer* layer = playfield.GetLayer(i);
        EXPECT_TRUE(layer->m_VisibleInEditor) << i;
        EXPECT_EQ(layer->m_SelectableInEditor, layer == lots) << i;
    }
    EXPECT_EQ(playfield.GetTopEditableLayer(), lots);
    // A plain layer that happens to be named "Lot" is still a plain layer.
    CPlayfield plain;
    plain.FindOrAddLayer("Lot");
    plain.LoadLayerFlags();
    EXPECT_EQ(plain.GetTopEditableLayer(), nullptr);
    lots->m_SelectableInEditor = false;

    CPlayfieldLayer* crew = playfield.FindLayer("Crew");
    CPlayfieldLayer* ui = playfield.FindLayer("UI");
    crew->m_SelectableInEditor = true;
    ui->m_VisibleInEditor = false;
    ui->m_SelectableInEditor = true;
    EXPECT_EQ(playfield.GetTopEditableLayer(), crew);

    playfield.SaveLayerFlagsAndShowAll();
    for (uint32_t i = 0; i < playfield.GetLayerCount(); ++i) {
        EXPECT_TRUE(playfield.GetLayer(i)->m_VisibleInEditor) << i;
        EXPECT_TRUE(playfield.GetLayer(i)->m_SelectableInEditor) << i;
    }
    EXPECT_EQ(playfield.GetTopEditableLayer(), ui);
    const std::string ini = ReadBytes("Quenthal Editor.ini");
    EXPECT_NE(ini.find("[Editor Visible Layers]"), std::string::npos);
    EXPECT_NE(ini.find("UI=0"), std::string::npos);
    EXPECT_NE(ini.find("[Editor Selectable Layers]"), std::string::npos);
    EXPECT_NE(ini.find("Crew=1"), std::string::npos);

    playfield.LoadLayerFlags();
    EXPECT_FALSE(ui->m_VisibleInEditor);
    EXPECT_TRUE(ui->m_SelectableInEditor);
    EXPECT_TRUE(crew->m_VisibleInEditor);
    EXPECT_TRUE(crew->m_SelectableInEditor);
    EXPECT_FALSE(playfield.FindLayer("Lot")->m_SelectableInEditor);
    EXPECT_EQ(playfield.GetTopEditableLayer(), crew);
}

TEST(LevelHolder, HoldsAFreshCopyAndTheViewerComesFirst)
{
    CLevelHolder holder;
    EXPECT_EQ(holder.GetLevel(), nullptr);
    CPlayfield level;
    level.m_Name = "First";
    holder.HoldCopyOf(&level);
    auto* held = dynamic_cast<CPlayfield*>(holder.GetLevel());
    ASSERT_NE(held, nullptr);
    EXPECT_NE(held, &level);
    EXPECT_STREQ(held->m_Name.GetString(), "First");

    // A copy of the held level itself is taken before the old copy goes.
    holder.HoldCopyOf(held);
    auto* again = dynamic_cast<CPlayfield*>(holder.GetLevel());
    ASSERT_NE(again, nullptr);
    EXPECT_STREQ(again->m_Name.GetString(), "First");

    CRecordingPlayfieldHooks hooks;
    CPlayfield viewed;
    hooks.viewed = &viewed;
    {
        CScopedHook<SetGameScreensHooks> installed(&hooks);
        EXPECT_EQ(holder.GetLevel(), &viewed);
    }
    holder.Release();
    EXPECT_EQ(holder.GetLevel(), nullptr);
}

TEST(CurrentPlayfield, IsTheOneSetUntilItGoes)
{
    auto* playfield = new CPlayfield;
    CPlayfield* before = SetCurrentPlayfield(playfield);
    EXPECT_EQ(GetCurrentPlayfield(), playfield);
    delete playfield;
    EXPECT_EQ(GetCurrentPlayfield(), nullptr);
    SetCurrentPlayfield(before);
}

} // namespace
