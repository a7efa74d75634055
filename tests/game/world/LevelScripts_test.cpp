// The scripts written into the demo levels, played by the game program over
// a copy of the demo data: the town's flag answers clicks through its state
// machine and counts them in coins, a coin fades and comes back, texts float
// up on their own, and the tutorial holds the customers back for a while.

#include "game/world/CGameApp.h"

#include "DemoGameTest.h"

#include "game/business/CBuildPhase.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeSlot.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/CSpritePlugInLeaves.h"
#include "game/scripting/CSpritePlugInPrint.h"
#include "game/scripting/CSpritePlugInStateMachine.h"
#include "game/scripting/CSpriteVariables.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/world/CGameState.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CPeriod.h"
#include "game/world/CPlayfield.h"
#include "game/world/CPowerUpText.h"
#include "game/world/CTutorial.h"
#include "sequences/CSequenceList.h"
#include "shell/CMouseState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace {

class LevelScripts : public CDemoGameTest {
protected:

    static void Steps(int n)
    {
        for (int i = 0; i < n; ++i)
            App()->Update(1.0f / 60.0f);
    }
    // The first sprite of the layer showing the named sequence whose first
    // plug-in is of the class.
    static CSprite* Find(CPlayfieldLayer& layer, const char* sequence, const CClassInfo* plugIn)
    {
        const uint32_t index = uint32_t(GetSequenceList().Find(sequence));
        for (uint32_t i = 0; i < layer.GetSpriteCount(); ++i) {
            CSprite* sprite = layer.GetSprite(i);
            CSpritePlugIn* first = sprite->GetPlugIns().GetChild(0);
            if (sprite->GetImageSequenceIndex() == index && first && first->IsKindOf(plugIn))
                return sprite;
        }
        return nullptr;
    }
    static uint32_t FloatingTexts(CPlayfieldLayer& layer)
    {
        uint32_t count = 0;
        for (uint32_t i = 0; i < layer.GetSpriteCount(); ++i)
            count += layer.GetSprite(i)->FindAI(CPrintPowerUpTextAI::SGetClassInfo()) ? 1 : 0;
        return count;
    }

};

TEST_F(LevelScripts, TheTownFlagAnswersClicksCountsThemInCoinsAndTextsFloatUp)
{
    ASSERT_TRUE(StartInTown());
    CPlayfield* playfield = GetCurrentPlayfield();
    ASSERT_NE(playfield, nullptr);
    CPlayfieldLayer* effects = playfield->FindLayer("Effects");
    // The flag's layer lies under the lots, so lots and trees hear a click first.
    CPlayfieldLayer* flagLayer = playfield->FindLayer("Flag");
    ASSERT_TRUE(effects && flagLayer);
    EXPECT_EQ(playfield->GetLayer(0), flagLayer);
    CSprite* flag = Find(*flagLayer, "Flag", CSpritePlugInStateMachine::SGetClassInfo());
    ASSERT_NE(flag, nullptr);
    auto& machine = static_cast<CSpritePlugInStateMachine&>(*flag->GetPlugIns().GetChild(0));
    auto* counter = dynamic_cast<CSpritePlugInDisplayValue*>(flag->GetPlugIns().GetChild(1));
    ASSERT_NE(counter, nullptr);
    auto* dots = dynamic_cast<CPrintPlugInDrawDots*>(counter->m_Display);
    ASSERT_NE(dots, nullptr);

    CLevelOptions* level = CLevelOptions::SGetCurrent();
    ASSERT_NE(level, nullptr);
    EXPECT_TRUE(level->m_IsTutorialLevel);
    Steps(30);
    EXPECT_TRUE(level->m_CustomerSpawningDisabled);
    EXPECT_EQ(machine.GetCurrentState(), 0u);
    EXPECT_EQ(FloatingTexts(*effects), 0u);
    CScriptValue clicks;
    EXPECT_FALSE(GetVariable(flag, "Clicks", clicks));

    // Each click on the playfield, as its button comes up: one more coin, a
    // thank-you text, a quick fade out and back in. The press stays with the
    // lots and the trees below.
    for (int click = 1; click <= 2; ++click) {
        App()->RecordPlayfieldMouseEvent(1, 300, 500, 1);
        App()->RecordPlayfieldMouseEvent(2, 300, 500, 0);
        Steps(1);
        EXPECT_EQ(machine.GetCurrentState(), 1u);
        ASSERT_TRUE(GetVariable(flag, "clicks", clicks));
        EXPECT_EQ(clicks.AsInteger(), click);
        bool faded = false;
        for (int i = 0; i < 60; ++i) {
            Steps(1);
            faded = faded || !flag->IsVisible() || flag->GetColor().GetAlpha() < 128;
        }
        EXPECT_TRUE(faded);
        EXPECT_TRUE(flag->IsVisible());
        EXPECT_EQ(flag->GetColor().GetAlpha(), 255);
        ASSERT_TRUE(Pass(17));
        EXPECT_EQ(dots->GetLargestCount(), click);
    }
    EXPECT_GE(FloatingTexts(*effects), 1u);
    // However often the player clicks, the coins stay a short stack by the
    // flag instead of a row running along the top of the street.
    for (int click = 3; click <= 6; ++click) {
        App()->RecordPlayfieldMouseEvent(1, 300, 500, 1);
        App()->RecordPlayfieldMouseEvent(2, 300, 500, 0);
        Steps(70);
    }
    ASSERT_TRUE(GetVariable(flag, "clicks", clicks));
    EXPECT_EQ(clicks.AsInteger(), 6);
    ASSERT_TRUE(Pass(17));
    EXPECT_EQ(dots->GetLargestCount(), 4);
    EXPECT_EQ(dots->m_Spacing.x, 0) << "stacked, not in a row";

    // The coin by the road hides, comes back, fades out and in again.
    CSprite* coin = Find(*playfield->FindLayer("Birds"), "Coin", CSpritePlugInSequence::SGetClassInfo());
    ASSERT_NE(coin, nullptr);
    bool hidden = false, shown = false, half = false;
    uint32_t texts = 0;
    for (int i = 0; i < 8 * 60; ++i) {
        Steps(1);
        texts = std::max(texts, FloatingTexts(*effects));
        hidden = hidden || !coin->IsVisible();
        shown = shown || coin->IsVisible();
        half = half || (coin->IsVisible() && coin->GetColor().GetAlpha() > 64 && coin->GetColor().GetAlpha() < 192);
    }
    EXPECT_TRUE(hidden && shown && half);
    // Meanwhile the welcome text floated up and the customers were let in.
    EXPECT_GE(texts, 1u);
    EXPECT_FALSE(level->m_CustomerSpawningDisabled);
}

} // namespace
