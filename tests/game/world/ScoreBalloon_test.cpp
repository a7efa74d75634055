// Score balloons as the player sees them: the overlay set lands on the
// sprite, filled from the balloon's own texts, fades over the last second
// and the sprite goes once the time is up.
#include "blit/CColor.h"
#include "game/business/CScoreBalloonAI.h"
#include "game/scripting/CSprite.h"
#include "game/world/CPlayfield.h"
#include "images/CFrame.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CTextSubstitutionList.h"
#include "sequences/SequenceTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Notes the texts and clock it is drawn with.
class CSeenOverlay : public CFrameOverlay {
public:
    void Draw(CFrameOverlayDrawContext& context) override
    {
        texts.push_back(context.Substitute(CJString("%s[Revenue]")).GetString());
        times.push_back(context.m_Time);
    }
    void MoveBy(int32_t, int32_t) override {}
    std::vector<std::string> texts;
    std::vector<float> times;
};

class ScoreBalloon : public SequenceFolderTest {
protected:
    void SetUp() override
    {
        SequenceFolderTest::SetUp();
        // A red 4 x 4 square at the designers' balloon origin.
        WriteBytes("Resources/Frame Overlay Options/Balloon.FOO",
                   ObjectText("CFrameOverlayOptions",
                              "Text Overlays=Array\n{\nItem Count=1\nArray Item=CBoxFrameOverlay\n{\nPositon=200,200\n"
                              "Size=4,4\nOutline Width=0\nFill Color=255,0,0,255\n}\n}"));
        GetFrameOverlayOptionsList().SetSource(nullptr, "Resources/Frame Overlay Options", 0);
        m_Set = GetFrameOverlayOptionsList().Find("Balloon");
        ASSERT_GE(m_Set, 0);
    }
    void TearDown() override
    {
        GetFrameOverlayOptionsList().RemoveAll();
        InitFrameOverlayOptionsList(); // where the game keeps it
        SequenceFolderTest::TearDown();
    }

    // A sprite at (x, y) carrying a balloon of that duration.
    CSprite* NewBalloon(float x, float y, float duration, CTextSubstitutionList* texts = nullptr)
    {
        auto* sprite = new CSprite;
        sprite->SetPosition(x, y);
        new CScoreBalloonAI(sprite, texts, m_Set, duration);
        return sprite;
    }
    static uint8_t Red(CFrame& frame, int32_t x, int32_t y)
    {
        CColor pixel;
        frame.GetPixel(x, y, pixel);
        return pixel.GetRed();
    }
    // The red of the square's corner after drawing the sprite on a fresh frame.
    static uint8_t DrawnRed(CSprite& sprite, int32_t x, int32_t y)
    {
        auto frame = CFrame::MakeOwned(64, 64, 32);
        sprite.DrawAllPasses(*frame);
        return Red(*frame, x, y);
    }

    int32_t m_Set = -1;
};

TEST_F(ScoreBalloon, TheSetLandsOnTheSpriteAtWholePixelsAndFadesOverTheLastSecond)
{
    std::unique_ptr<CSprite> sprite(NewBalloon(10.7f, 20.2f, 2.0f));
    auto* balloon = static_cast<CScoreBalloonAI*>(sprite->GetAI());
    auto frame = CFrame::MakeOwned(64, 64, 32);
    sprite->DrawAllPasses(*frame);
    EXPECT_EQ(Red(*frame, 10, 20), 255) << "position truncated, not rounded";
    EXPECT_EQ(Red(*frame, 13, 23), 255);
    EXPECT_EQ(Red(*frame, 9, 20), 0);
    EXPECT_EQ(Red(*frame, 14, 20), 0);

    CSpriteUpdateRecord step{sprite.get(), 1.0f};
    balloon->Update(step);
    EXPECT_EQ(DrawnRed(*sprite, 10, 20), 255) << "fully opaque until one second is left";
    step.seconds = 0.5f;
    balloon->Update(step);
    EXPECT_FLOAT_EQ(balloon->GetOpacity(), 0.5f);
    const uint8_t half = DrawnRed(*sprite, 10, 20);
    EXPECT_GT(half, 100);
    EXPECT_LT(half, 160);
    EXPECT_FALSE(sprite->IsMarkedForDeletion());
    balloon->Update(step);
    EXPECT_TRUE(sprite->IsMarkedForDeletion()) << "deleted on the first update at two seconds";
    EXPECT_EQ(DrawnRed(*sprite, 10, 20), 0) << "nothing is left to see at its end";
}

TEST_F(ScoreBalloon, AShortBalloonStartsFadedAndAZeroOneGoesAtItsFirstUpdate)
{
    std::unique_ptr<CSprite> shortOne(NewBalloon(0.0f, 0.0f, 0.5f));
    EXPECT_FLOAT_EQ(static_cast<CScoreBalloonAI*>(shortOne->GetAI())->GetOpacity(), 0.5f);
    const uint8_t half = DrawnRed(*shortOne, 0, 0);
    EXPECT_GT(half, 100);
    EXPECT_LT(half, 160);

    CPlayfieldLayer layer;
    layer.AddSprite(NewBalloon(0.0f, 0.0f, 0.0f));
    layer.Update(1.0f / 60.0f);
    EXPECT_EQ(layer.GetSpriteCount(), 0u);
}

TEST_F(ScoreBalloon, TheOverlaysReadTheBalloonsOwnTextsAndAgeAndACopyOwnsItsOwnTexts)
{
    auto* texts = new CTextSubstitutionList;
    texts->AddText("%s[Revenue]", CJString("12,000"));
    CPlayfieldLayer layer;
    layer.AddSprite(NewBalloon(5.0f, 5.0f, 2.0f, texts));
    auto* seen = new CSeenOverlay;
    GetFrameOverlayOptionsList().GetObject(m_Set)->Append(seen);
    for (int i = 0; i < 6; ++i)
        layer.Update(1.0f / 60.0f);
    auto frame = CFrame::MakeOwned(32, 32, 32);
    layer.Draw(*frame);
    ASSERT_EQ(seen->texts.size(), 1u);
    EXPECT_EQ(seen->texts[0], "12,000");
    EXPECT_NEAR(seen->times[0], 0.1f, 1e-5f) << "the overlays' clock is the balloon's age";

    // A copy owns a list of its own: the original may go first.
    auto* original = static_cast<CScoreBalloonAI*>(layer.GetSprite(0)->GetAI());
    std::unique_ptr<CScoreBalloonAI> copy(static_cast<CScoreBalloonAI*>(original->Clone()));
    ASSERT_NE(copy->m_pTextSubstitutionList, nullptr);
    EXPECT_NE(copy->m_pTextSubstitutionList, original->m_pTextSubstitutionList);
    layer.GetSprite(0)->MarkForDeletion();
    layer.Update(1.0f / 60.0f);
    EXPECT_STREQ(copy->m_pTextSubstitutionList->Apply(CJString("%s[Revenue]")).GetString(), "12,000");
}

} // namespace
