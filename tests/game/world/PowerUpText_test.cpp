// Power-up texts on a playfield driven step by step: how long they live,
// when they fade, how far they rise, how a burst ages its older texts and
// where the height cap puts them.
#include "game/world/CPowerUpText.h"

#include "blit/CBlitType.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/ScriptingHooks.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CPlayfield.h"
#include "game/world/RegisterGameWorldClasses.h"
#include "images/CFont.h"
#include "images/CFontList.h"
#include "images/CFrame.h"
#include "sequences/CSequenceList.h"
#include "sequences/SequenceTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr float kStep = 1.0f / 60.0f;

class PowerUpTexts : public SequenceFolderTest {
protected:
    void SetUp() override
    {
        SequenceFolderTest::SetUp();
        RegisterGameWorldClasses();
        m_Previous = SetCurrentPlayfield(&m_Playfield);
    }
    void TearDown() override
    {
        SetCurrentPlayfield(m_Previous);
        GetGeneralObjects().RemoveAll();
        GetGeneralObjects().SetSource(nullptr, "Nowhere", 0);
        GetFontList().SetSource(nullptr, "Nowhere", 0);
        SequenceFolderTest::TearDown();
    }
    void WriteOptions(const std::string& lines)
    {
        WriteBytes("Resources/Power Up Text Display Options.Object.txt",
                   "CPowerUpTextDisplayOptions\r\n{\r\n" + lines + "}\r\n");
        InitGeneralObjects();
    }
    CSpriteArray& Effects()
    {
        CPlayfieldLayer* layer = m_Playfield.FindLayer("Effects");
        EXPECT_NE(layer, nullptr);
        return layer->GetSprites();
    }
    CPrintPowerUpTextAI& Newest()
    {
        CSpriteArray& sprites = Effects();
        auto* ai = dynamic_cast<CPrintPowerUpTextAI*>(sprites.GetAt(sprites.count - 1)->GetAI());
        EXPECT_NE(ai, nullptr);
        return *ai;
    }
    int32_t TextY(const CPrintPowerUpTextAI& ai) const
    {
        int32_t x = 0, y = 0;
        ai.GetTextPosition(x, y);
        return y;
    }

    CPlayfield m_Playfield;
    CPlayfield* m_Previous = nullptr;
};

TEST_F(PowerUpTexts, ALoneTextLastsTwoSecondsStaysOpaqueForOneAndAHalfAndRisesTwentyPixels)
{
    WriteOptions("");
    SetCurrentPlayfield(nullptr);
    GetScriptingHooks().SpawnPowerUpText({300.0f, 200.0f}, CJString("Lost"));
    SetCurrentPlayfield(&m_Playfield);
    EXPECT_EQ(m_Playfield.FindLayer("Effects"), nullptr) << "no playfield: nothing is made";
    // Scripts spawn through the hooks the world installs.
    GetScriptingHooks().SpawnPowerUpText({300.0f, 200.0f}, CJString("Speedy!"));
    ASSERT_EQ(Effects().count, 1u);
    CPrintPowerUpTextAI& ai = Newest();
    EXPECT_STREQ(ai.m_PowerUpName.GetString(), "Speedy!");
    EXPECT_EQ(ai.m_Creation, CPrintPowerUpTextAI::SGetCreationCount());
    EXPECT_EQ(TextY(ai), 200);

    // The steps the game's own float arithmetic takes to run out.
    uint32_t expected = 0;
    for (float left = 2.0f; !(left < 0.0f); left -= 1.0f * kStep)
        ++expected;

    uint32_t steps = 0, opaqueSteps = 0;
    float lastOpacity = 1.0f;
    int32_t highest = 200;
    bool fadesSteadily = true;
    while (Effects().count != 0 && steps < 1000) {
        m_Playfield.Update(kStep);
        ++steps;
        if (Effects().count == 0)
            break;
        const float opacity = ai.GetOpacity();
        opaqueSteps += opacity == 1.0f;
        fadesSteadily = fadesSteadily && opacity <= lastOpacity;
        lastOpacity = opacity;
        highest = TextY(ai);
    }
    EXPECT_EQ(steps, expected);
    EXPECT_NEAR(float(steps) * kStep, 2.0f, 2 * kStep);
    EXPECT_NEAR(float(opaqueSteps) * kStep, 1.5f, 2 * kStep);
    EXPECT_TRUE(fadesSteadily);
    EXPECT_LT(lastOpacity, 0.05f);
    EXPECT_EQ(highest, 200 - 19) << "the last drawn step, a moment short of the full 20";
}

TEST_F(PowerUpTexts, OlderTextsRunOutFasterForEveryTextMadeAfterThem)
{
    WriteOptions("\tSpeed Increase Per Multiple Items=1\r\n");
    SpawnPowerUpText({100.0f, 100.0f}, "First");
    CPrintPowerUpTextAI& first = Newest();
    m_Playfield.Update(kStep);
    SpawnPowerUpText({100.0f, 100.0f}, "Second");
    CPrintPowerUpTextAI& second = Newest();
    SpawnPowerUpText({100.0f, 100.0f}, "Third");
    CPrintPowerUpTextAI& third = Newest();

    const float before[] = {first.m_NumSecondsLeft, second.m_NumSecondsLeft, third.m_NumSecondsLeft};
    m_Playfield.Update(kStep);
    EXPECT_NEAR(before[0] - first.m_NumSecondsLeft, 3.0f * kStep, 1e-6f);
    EXPECT_NEAR(before[1] - second.m_NumSecondsLeft, 2.0f * kStep, 1e-6f);
    EXPECT_NEAR(before[2] - third.m_NumSecondsLeft, 1.0f * kStep, 1e-6f);

    // The oldest goes first, after about a third of its time.
    uint32_t steps = 2;
    for (; Effects().count == 3 && steps < 1000; ++steps)
        m_Playfield.Update(kStep);
    EXPECT_NEAR(float(steps) * kStep, 2.0f / 3.0f, 3 * kStep);
}

TEST_F(PowerUpTexts, TextsBelowTheHeightCapAreDrawnFromTheCapUpward)
{
    WriteOptions("\tMax Height To Draw At=600\r\n\tSpeed=30\r\n");
    SpawnPowerUpText({10.5f, 700.0f}, "Low");
    CPrintPowerUpTextAI& low = Newest();
    int32_t x = 0, y = 0;
    low.GetTextPosition(x, y);
    EXPECT_EQ(x, 10) << "halves round to even";
    EXPECT_EQ(y, 600);
    low.m_NumSecondsLeft = 1.0f;
    EXPECT_EQ(TextY(low), 600 - 30);
}

TEST_F(PowerUpTexts, AllOfTheTimeOpaqueStaysOpaqueUntilTheTextGoes)
{
    WriteOptions("\tRemain Opaque=100\r\n\tDisplay Time=0.5\r\n");
    SpawnPowerUpText({0.0f, 0.0f}, "Solid");
    CPrintPowerUpTextAI& solid = Newest();
    uint32_t steps = 0;
    while (Effects().count != 0 && steps < 100) {
        EXPECT_EQ(solid.GetOpacity(), 1.0f) << "step " << steps;
        m_Playfield.Update(kStep);
        ++steps;
    }
    EXPECT_LT(steps, 100u);
}

TEST_F(PowerUpTexts, TheTextFadesOnScreenAndLeavesTheFontsBlitAsItFoundIt)
{
    if (!WriteDefaultFont())
        GTEST_SKIP() << "DejaVuSans is missing (Debian package fonts-dejavu-core)";
    EnumerateFontFiles();
    // Index 0 of the font list is "none", as the data keeps it.
    WriteBytes("Resources/Fonts/!None.FONT.TXT", "CFont\r\n{\r\n}\r\n");
    WriteBytes("Resources/Fonts/White.FONT.TXT",
               "CFont\r\n{\r\n\tFont Family=!default.ttf\r\n\tPoint Size=20\r\n"
               "\tGenerated Color=255,255,255,255\r\n}\r\n");
    GetFontList().SetSource(nullptr, "Resources|Fonts", 0);
    WriteOptions("\tFont To Print With=Fonts/White\r\n");
    ASSERT_NE(CPowerUpTextDisplayOptions::SGetInstance().GetFont(), nullptr);

    SpawnPowerUpText({100.0f, 100.0f}, "BONUS");
    CPrintPowerUpTextAI& text = Newest();
    auto frame = CFrame::MakeOwned(200, 160, 32);
    // The brightest green in the frame and how many pixels are lit.
    auto draw = [&](uint32_t& lit) {
        CColor black(0, 0, 0, 255);
        frame->Fill(black);
        m_Playfield.Draw(*frame);
        uint32_t brightest = 0;
        lit = 0;
        for (uint32_t y = 0; y < 160; ++y)
            for (uint32_t x = 0; x < 200; ++x) {
                const uint32_t g = frame->Row(y)[x * 4 + 1];
                brightest = std::max(brightest, g);
                lit += g != 0;
            }
        return brightest;
    };
    CBlitType& blit = *CPowerUpTextDisplayOptions::SGetInstance().GetFont()->GetBlitType();
    const float found = blit.GetOpacity();
    uint32_t lit = 0;
    EXPECT_GT(draw(lit), 240u);
    EXPECT_GT(lit, 30u);
    // Above the anchor: the text rises from the sprite, drawn one point size up.
    for (uint32_t y = 100; y < 160; ++y)
        for (uint32_t x = 0; x < 200; ++x)
            ASSERT_EQ(frame->Row(y)[x * 4 + 1], 0) << x << "," << y;

    text.m_NumSecondsLeft = 0.25f; // half way through the fade
    const uint32_t half = draw(lit);
    EXPECT_GT(half, 90u);
    EXPECT_LT(half, 160u);
    EXPECT_EQ(blit.GetOpacity(), found);
}

} // namespace
