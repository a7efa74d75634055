// The demo data's customers: the shared script that takes a customer off the
// playfield (without it no level ends), and the looks and sounds the
// customer options and style sheets name.
#include "../MessageEarAI.h"
#include "../world/DemoGameTest.h"

#include "game/business/CCustomerOptions.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/world/CCustomerStyleSheet.h"
#include "game/world/CPeriod.h"
#include "game/world/CPlayfield.h"
#include "objects/CMessage.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

class DemoCustomers : public CDemoGameTest {
protected:
    // A sprite on the effects layer running a copy of the customers'
    // script, its messages noted in heard.
    CSprite* ScriptedSprite(std::vector<std::string>& heard)
    {
        auto* sprite = new CSprite;
        sprite->AddAI(new CMessageEarAI(heard));
        sprite->AddPlugIn(static_cast<CSpritePlugIn*>(GetCustomerOptions().m_CustomerScript.Clone()));
        GetCurrentPlayfield()->AddSprite(sprite, "Effects");
        return sprite;
    }
    static void Tell(CSprite* sprite, const char* name)
    {
        CMessage message = CMessage::CMessageByName(name);
        sprite->HandleMessage(message);
    }
    static bool OnPlayfield(CSprite* sprite) { return GetCurrentPlayfield()->FindLayerOfSprite(sprite) != nullptr; }
    static bool Heard(const std::vector<std::string>& heard, const char* name)
    {
        return std::find(heard.begin(), heard.end(), name) != heard.end();
    }
    // Runs frames until the game has played the seconds.
    bool PassSeconds(float seconds)
    {
        for (int i = 0; i < int(seconds * 60.0f + 0.5f); ++i)
            if (!Pass(17))
                return false;
        return true;
    }
};

TEST_F(DemoCustomers, TheScriptMovesACustomerInAfterASecondAndTakesItAwayHomeOrLeaving)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Pass(17));
    ASSERT_NE(GetCurrentPlayfield(), nullptr);
    ASSERT_GT(GetCustomerOptions().m_CustomerScript.m_PlugIns.GetCount(), 0u) << "no customer would ever leave";

    std::vector<std::string> mover;
    CSprite* movingIn = ScriptedSprite(mover);
    std::vector<std::string> leaver;
    CSprite* leaving = ScriptedSprite(leaver);
    ASSERT_TRUE(Pass(17));

    Tell(movingIn, "CustomerMovingIn");
    ASSERT_TRUE(PassSeconds(0.8f));
    EXPECT_FALSE(Heard(mover, "MoveCustomerIn")) << "the pose lasts a second";
    ASSERT_TRUE(PassSeconds(0.4f));
    EXPECT_TRUE(Heard(mover, "MoveCustomerIn"));
    EXPECT_TRUE(OnPlayfield(movingIn)) << "still walking home";
    EXPECT_FALSE(Heard(leaver, "MoveCustomerIn")) << "each customer runs its own copy";

    Tell(movingIn, "CustomerArrivedHome");
    ASSERT_TRUE(PassSeconds(0.1f));
    EXPECT_FALSE(OnPlayfield(movingIn));
    EXPECT_TRUE(OnPlayfield(leaving));

    Tell(leaving, "LeavingNow");
    ASSERT_TRUE(PassSeconds(0.1f));
    EXPECT_FALSE(OnPlayfield(leaving));
}

TEST_F(DemoCustomers, TheOptionsAndStyleSheetsNameLooksAndSoundsThatExist)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Pass(17));
    CCustomerOptions& options = GetCustomerOptions();
    EXPECT_GT(options.m_MoveSpeed, 0.0f) << "a refused customer walks back to the line";
    EXPECT_GT(options.m_BuildPhaseDrawOrder.GetCount(), 0u) << "an order shows in the balloon";
    for (int32_t sequence : {options.m_BalloonAppearance, options.m_NeedMenuAppearance, options.m_FullHeartSequence,
                             options.m_EmptyHeartSequence, options.m_EmptyHeartWarningSequence,
                             options.m_CustomerHighlightSequence})
        EXPECT_GT(sequence, 0);

    CAudioList& audio = GetAudioList();
    for (const char* name : {"Customer A", "Customer B"}) {
        SCOPED_TRACE(name);
        const int32_t index = GetCustomerStyleSheetList().Find(name);
        ASSERT_GT(index, 0);
        CCustomerStyleSheet* style = GetCustomerStyleSheet(index);
        ASSERT_NE(style, nullptr);
        CSequence* look = GetSequenceList().GetObject(style->m_Appearance);
        ASSERT_NE(look, nullptr);
        EXPECT_EQ(look->GetFrameCount(), 7u) << "six faces and the pose";
        EXPECT_GT(style->m_AngryBackground, 0);
        for (int32_t sound : {style->m_ThinkingAudio, style->m_ReadyToOrderAudio, style->m_MadFlashingStartedAudio,
                              style->m_ArrivedAudio, style->m_LeavingAudio})
            EXPECT_GT(sound, 0);
    }
    EXPECT_GT(audio.Find("Customer Thinking"), 0);
    for (const char* period : {"Period 1", "Period 2"}) {
        auto* p = static_cast<CPeriod*>(GetPeriodList().GetItemObject(GetPeriodList().Find(period)));
        ASSERT_NE(p, nullptr) << period;
        EXPECT_GT(p->m_PhoneRingAudio, 0) << period;
        EXPECT_GT(p->m_GreeterRingAudio, 0) << period;
    }
}

} // namespace
