#include "SequenceTestSupport.h"

#include "images/CFrame.h"
#include "sequences/HueRemap.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class HueRemap : public SequenceFolderTest {};

SHueRule Rule(float sourceHue, float hueError, float destHue, float satFactor = 1.0f, float lightFactor = 1.0f)
{
    return SHueRule{sourceHue, hueError, 0.01f, 1.0f, destHue, satFactor, lightFactor};
}

TEST_F(HueRemap, ColourModelExamples)
{
    SHls red = RGBToHLS(255, 0, 0);
    EXPECT_EQ(red.l, 127);
    EXPECT_EQ(red.s, 256);
    EXPECT_EQ(red.h, 0);
    EXPECT_EQ(RGBToHLS(0, 0, 255).h, 240);
    EXPECT_EQ(RGBToHLS(0, 255, 0).h, 120);
    SHls grey = RGBToHLS(128, 128, 128);
    EXPECT_EQ(grey.s, 0);
    EXPECT_EQ(grey.h, 0);
    for (int32_t l : {0, 77, 128, 200, 255}) {
        int32_t r = -1, g = -1, b = -1;
        HLSToRGB(l, 0, 300, r, g, b);
        EXPECT_EQ(r, l);
        EXPECT_EQ(g, l);
        EXPECT_EQ(b, l);
    }
    int32_t r = 0, g = 0, b = 0;
    HLSToRGB(127, 256, 240, r, g, b);
    EXPECT_EQ(b, 254);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(g, 0);
}

TEST_F(HueRemap, HueWindowDoesNotWrapAroundZero)
{
    const SHueRule rule = Rule(355, 10, 120);
    auto matches = [&](int32_t r, int32_t g, int32_t b) { return RemapColour(r, g, b, rule); };
    // Hue 356 is inside; hues 0 and 3 (pure and orange red) are not.
    EXPECT_TRUE(matches(255, 0, 21));
    EXPECT_FALSE(matches(255, 0, 0));
    EXPECT_FALSE(matches(255, 17, 0));
    EXPECT_FALSE(matches(255, 0, 128)); // hue 330
}

TEST_F(HueRemap, GreyStaysGreyAndEverySaturationMatches)
{
    const SHueRule rule = Rule(0, 15, 240);
    int32_t r = 90, g = 90, b = 90;
    EXPECT_TRUE(RemapColour(r, g, b, rule));
    EXPECT_EQ(r, 90);
    EXPECT_EQ(g, 90);
    EXPECT_EQ(b, 90);
    int32_t r2 = 255, g2 = 0, b2 = 0;
    EXPECT_TRUE(RemapColour(r2, g2, b2, rule));
    EXPECT_EQ(r2, 1);
    EXPECT_EQ(g2, 1);
    EXPECT_EQ(b2, 253);
    // Lightness scaled up is limited to 255.
    int32_t r3 = 200, g3 = 200, b3 = 200;
    EXPECT_TRUE(RemapColour(r3, g3, b3, Rule(0, 15, 0, 1.0f, 2.0f)));
    EXPECT_EQ(r3, 255);
}

class HueRemapFrames : public HueRemap {
protected:
    void SetUp() override
    {
        HueRemap::SetUp();
        m_Frame = CFrame::MakeOwned(2, 1, 32);
        uint8_t* p = m_Frame->Row(0);
        const uint8_t pixels[8] = {0, 0, 255, 200, 128, 128, 128, 255}; // red at alpha 200, grey
        std::copy(pixels, pixels + 8, p);
        m_Frame->SetOffset(-1, -2);
        auto* rule = new CHueRemapData;
        rule->m_SourceHue = 0;
        rule->m_SourceSaturation = 0.5f;
        rule->m_DestHue = 120;
        m_Sheet.AddRule(rule);
    }
    std::unique_ptr<CFrame> m_Frame;
    CHueRemapperStyleSheet m_Sheet;
};

TEST_F(HueRemapFrames, CopyIsRecolouredKeptAndRebuiltOnChange)
{
    CFrame* copy = GetHueRemappedFrame(*m_Frame, 2, m_Sheet);
    ASSERT_NE(copy, nullptr);
    ASSERT_NE(copy, m_Frame.get());
    EXPECT_EQ(copy->GetOffsetX(), -1);
    EXPECT_EQ(copy->GetOffsetY(), -2);
    const uint8_t* p = copy->Row(0);
    EXPECT_EQ(p[0], 1);   // blue
    EXPECT_EQ(p[1], 253); // green
    EXPECT_EQ(p[2], 1);   // red
    EXPECT_EQ(p[3], 200); // alpha kept
    EXPECT_EQ(p[4], 128); // grey matches and stays grey
    EXPECT_EQ(p[6], 128);
    // The source is untouched.
    EXPECT_EQ(m_Frame->Row(0)[2], 255);

    EXPECT_EQ(GetHueRemappedFrame(*m_Frame, 2, m_Sheet), copy);
    m_Sheet.m_HueRemapperDataArray[0]->m_DestHue = 240;
    CFrame* rebuilt = GetHueRemappedFrame(*m_Frame, 2, m_Sheet);
    EXPECT_EQ(rebuilt->Row(0)[0], 253);
    // Another sheet index keeps a copy of its own.
    CHueRemapperStyleSheet none;
    CFrame* plain = GetHueRemappedFrame(*m_Frame, 0, none);
    EXPECT_EQ(plain->Row(0)[2], 255);
    EXPECT_EQ(GetHueRemappedFrame(*m_Frame, 2, m_Sheet), rebuilt);
}

TEST_F(HueRemapFrames, IndexOutsideTheListGivesTheFrameItself)
{
    EXPECT_EQ(GetHueRemappedFrame(*m_Frame, 99), m_Frame.get());
    EXPECT_EQ(GetHueRemappedFrame(*m_Frame, -1), m_Frame.get());
}

TEST_F(HueRemapFrames, OtherDepthsAreCopiedOrLeftEmpty)
{
    auto frame24 = CFrame::MakeOwned(1, 1, 24);
    frame24->Row(0)[2] = 255;
    CFrame* copy = GetHueRemappedFrame(*frame24, 0, m_Sheet);
    ASSERT_EQ(copy->GetBitDepth(), 24u);
    EXPECT_EQ(copy->Row(0)[2], 255);
    auto frame16 = CFrame::MakeOwned(1, 1, 16);
    EXPECT_EQ(GetHueRemappedFrame(*frame16, 0, m_Sheet)->GetPixels(), nullptr);
}

TEST_F(HueRemapFrames, CacheIsNeverSavedWithTheFrame)
{
    GetHueRemappedFrame(*m_Frame, 0, m_Sheet);
    uint32_t size = 0;
    uint8_t* data = WriteObjectToMemory(m_Frame.get(), size);
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::free(data);
    EXPECT_EQ(text.find("HueRemap"), std::string::npos);
}

} // namespace
