#include "game/scripting/CFrameSelector.h"

#include "game/scripting/RegisterGameScriptingClasses.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "sequences/SequenceTestSupport.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class FrameSelectors : public SequenceFolderTest {
protected:
    void SetUp() override
    {
        SequenceFolderTest::SetUp();
        RegisterGameScriptingClasses();
        for (int i = 0; i < 10; ++i)
            WriteTga("Sel/-Ten/f" + std::to_string(i) + ".tga", 4, 4);
        WriteBytes("Sel/-Ten/Properties.txt", SequenceProperties("Frames Per Second=10"));
        WriteTga("Sel/-One/only.tga", 4, 4);
        WriteBytes("Sel/-Empty/Properties.txt", SequenceProperties("Frames Per Second=10"));
        GetSequenceList().SetSource(nullptr, "Sel", 0);
        m_Ten = GetSequenceList().GetObjectByName("Ten");
        ASSERT_NE(m_Ten, nullptr);
        ASSERT_EQ(m_Ten->GetFrameCount(), 10u);
    }
    void TearDown() override
    {
        GetSequenceList().SetSource(nullptr, "Nowhere", 0);
        SequenceFolderTest::TearDown();
    }

    CSequence* m_Ten = nullptr;
};

TEST_F(FrameSelectors, LoopAdvancesItsStoredPositionAndFollowsTheClockInTheEditor)
{
    CLoopFrameSelector loop;
    loop.SetImageByName("Ten");
    loop.m_StartFrame = 9.5f;
    CSelectorUpdate update;
    update.seconds = 0.25f;
    loop.Update(update);
    EXPECT_EQ(loop.m_StartFrame, 2.0f);
    EXPECT_TRUE(update.wrapped);
    EXPECT_EQ(loop.SelectFrame(0), m_Ten->GetFrame(2));
    CScopedHook<SetLevelEditorOpenQuery> editor([] { return true; });
    EXPECT_EQ(loop.SelectFrame(0), m_Ten->GetCurrentFrame());
    CJString name;
    loop.GetImageName(name);
    EXPECT_STREQ(name.GetString(), "Ten");
}

TEST_F(FrameSelectors, PingPongTurnsAndStoresItsDirection)
{
    CPingPongFrameSelector pingPong;
    pingPong.SetImageByName("Ten");
    pingPong.m_StartFrame = 8.7f;
    CSelectorUpdate update;
    update.seconds = 0.05f;
    pingPong.Update(update);
    EXPECT_FLOAT_EQ(pingPong.m_StartFrame, 8.999f);
    EXPECT_EQ(pingPong.m_Speed, -1.0f);
    EXPECT_EQ(pingPong.SelectFrame(0), m_Ten->GetFrame(9));
}

TEST_F(FrameSelectors, EmptyAndOneFrameSequences)
{
    CPingPongFrameSelector one;
    one.SetImageByName("One");
    CSelectorUpdate update;
    update.seconds = 0.3f;
    one.Update(update);
    ASSERT_NE(GetSequenceList().GetObjectByName("One"), nullptr);
    EXPECT_EQ(one.SelectFrame(0), GetSequenceList().GetObjectByName("One")->GetFrame(0));
    for (CFrameSelector* selector : {static_cast<CFrameSelector*>(new CLoopFrameSelector()),
                                     static_cast<CFrameSelector*>(new CPingPongFrameSelector()),
                                     static_cast<CFrameSelector*>(new CStillFrameSelector())}) {
        selector->SetImageByName("Empty");
        selector->Update(update);
        EXPECT_EQ(selector->SelectFrame(0), nullptr) << selector->GetClassInfo()->GetName();
        delete selector;
    }
    CStillFrameSelector still;
    still.SetImageByName("Ten");
    still.m_Frame = 50;
    EXPECT_EQ(still.SelectFrame(0), m_Ten->GetFrame(9));
}

TEST_F(FrameSelectors, TheImageSurvivesAChangeOfSelectorClass)
{
    CStillFrameSelector still;
    still.SetImageByName("One");
    CLoopFrameSelector loop;
    loop.CopyFrom(&still);
    CJString name;
    loop.GetImageName(name);
    EXPECT_STREQ(name.GetString(), "One");
    loop.SetImageByName("Ten");
    still.CopyFrom(&loop);
    still.GetImageName(name);
    EXPECT_STREQ(name.GetString(), "Ten");
}

} // namespace
