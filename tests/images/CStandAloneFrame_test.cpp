#include "images/CStandAloneFrame.h"

#include "blit/CBlitTypeList.h"
#include "images/CFilterChangeBitDepth.h"
#include "images/CFrameFilter.h"
#include "images/CFrameList.h"
#include "images/CFrameProperties.h"
#include "images/CTGAFileIO.h"
#include "images/DataPixelBudget.h"
#include "images/FrameCache.h"
#include "objects/CBoolProperty.h"
#include "objects/CClassInfo.h"
#include "objects/CNewFileOptions.h"
#include "support/ScopedHooks.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include <string>
#include <vector>

namespace {

std::vector<int32_t> Kinds(const CFrameFilter& chain)
{
    std::vector<int32_t> kinds;
    for (const CFrameFilter* f = chain.GetNext(); f; f = f->GetNext())
        kinds.push_back(f->GetKind());
    return kinds;
}

struct SChainCase {
    const char* name;
    uint32_t set, clear, buildDepth;
    std::vector<int32_t> kinds;
};

class LoadChain : public testing::TestWithParam<SChainCase> {
protected:
    void SetUp() override { RegisterImagesClasses(); }
};

TEST_P(LoadChain, FollowsTheOptions)
{
    const SChainCase c = GetParam();
    const CScopedGlobalBitDepth depth(c.buildDepth);
    CStandAloneFrame frame;
    for (uint32_t bit = 1; bit <= 0x100; bit <<= 1) {
        if (c.set & bit)
            frame.SetOptionQuietly(bit, true);
        if (c.clear & bit)
            frame.SetOptionQuietly(bit, false);
    }
    CFrameFilter chain;
    frame.BuildLoadChain(chain, nullptr);
    EXPECT_EQ(Kinds(chain), c.kinds);
}

INSTANTIATE_TEST_SUITE_P(
    Options, LoadChain,
    testing::Values(
        SChainCase{"Defaults", 0, 0, 16, {3, 6, 7, 8, 11}},
        SChainCase{"CentredNotCropped", kFrameOptionCenterHotSpot, kFrameOptionCropColor0, 16, {2, 3, 7, 8, 11}},
        SChainCase{"BlackBiasedAt16", kFrameOptionBlackBiased, 0, 16, {3, 4, 6, 7, 8, 11}},
        SChainCase{"BlackBiasedAt8", kFrameOptionBlackBiased, 0, 8, {3, 4, 6, 8, 11}},
        SChainCase{"NotBlendedWithBlack", 0, kFrameOptionBlendedWithBlack, 16, {3, 6, 8, 11}},
        SChainCase{"NoRunLengthNoDepth", 0, kFrameOptionRunLength | kFrameOptionChangeBitDepth, 16, {3, 6, 7}}),
    [](const testing::TestParamInfo<SChainCase>& param) { return std::string(param.param.name); });

TEST(StandAloneFrame, DefaultChainDithers)
{
    RegisterImagesClasses();
    const CScopedGlobalBitDepth buildDepth(16);
    CStandAloneFrame frame;
    CFrameFilter chain;
    frame.BuildLoadChain(chain, nullptr);
    const auto* depth = dynamic_cast<const CFilterChangeBitDepth*>(chain.FindFilter(11));
    ASSERT_TRUE(depth);
    EXPECT_EQ(depth->GetDither(), Dither::On);
    frame.SetOptionQuietly(kFrameOptionDither, false);
    CFrameFilter plain;
    frame.BuildLoadChain(plain, nullptr);
    EXPECT_EQ(dynamic_cast<const CFilterChangeBitDepth*>(plain.FindFilter(11))->GetDither(), Dither::Off);
}

TEST(StandAloneFrame, BlitTypeAndBlackBiasFollowEachOther)
{
    RegisterImagesClasses();
    CStandAloneFrame frame;
    CBlitTypeList& list = CBlitTypeList::SGetInstance();
    EXPECT_EQ(frame.GetBlitType(), &GetTransparentMaskBlitType());
    frame.SetBlitType(list.FindValue(&GetBlackBiasBlitType()));
    EXPECT_TRUE(frame.HasOption(kFrameOptionBlackBiased));
    frame.SetBlitType(list.FindValue(&GetNormalBlitType()));
    EXPECT_FALSE(frame.HasOption(kFrameOptionBlackBiased));
    frame.SetLoadBlackBiased(1);
    EXPECT_EQ(frame.GetBlitType(), &GetBlackBiasBlitType());
    frame.SetLoadBlackBiased(0);
    EXPECT_EQ(frame.GetBlitType(), &GetTransparentMaskBlitType());
}

class StandAloneLoad : public CTempFolderTest {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        RegisterImagesClasses();
        CFrame source;
        ASSERT_TRUE(source.Create(8, 8, 32));
        for (uint32_t i = 0; i < 64; ++i)
            source.GetPixels()[i * 4 + 3] = 255;
        CTGAFileIO writer;
        ASSERT_TRUE(writer.WriteImageFile(source, "Art/ball.tga", FILE_MAKE_FOLDERS));
        ASSERT_TRUE(writer.WriteImageFile(source, "Art/Sub/cube.tga", FILE_MAKE_FOLDERS));
    }

    CScopedGlobalBitDepth m_Depth{32};
};

TEST_F(StandAloneLoad, RestoresTheCacheWriterSettingsWhateverItsOwnOptions)
{
    CStandAloneFrame frame;
    frame.SetOptionQuietly(kFrameOptionLossLess, true);
    frame.SetOptionQuietly(kFrameOptionRunLength, false);
    ASSERT_TRUE(frame.Load("Art", "ball", nullptr, 0, 0));
    EXPECT_FALSE(GetFrameLossless());
    EXPECT_EQ(GetFrameJPEGQuality(), 65u);
    EXPECT_TRUE(DiskHas("Cache/Art/ball.Frame"));
}

TEST_F(StandAloneLoad, FrameObjectsComeFromTheirPropertiesFile)
{
    WriteBytes("Art/ball.txt", "CStandAloneFrame\r\n{\r\n\tCenter Hot Spot=1\r\n\tRun Length Encode=0\r\n}\r\n");
    std::unique_ptr<CFrame> frame(CFrame::SLoadFrame("Art", "ball", 0, nullptr));
    ASSERT_TRUE(frame);
    auto* standAlone = dynamic_cast<CStandAloneFrame*>(frame.get());
    ASSERT_TRUE(standAlone);
    EXPECT_TRUE(standAlone->HasOption(kFrameOptionCenterHotSpot));
    EXPECT_EQ(frame->GetOffsetX(), -4);
    EXPECT_EQ(CFrame::SLoadFrame("Art", "missing", 0, nullptr), nullptr);
}

// A PNG is never built blended with black, however the frame came to be
// (built from the picture, read from its cache, copied by Duplicate): its box
// shows the blend clear and takes no tick, and its file keeps the value it
// holds, written by hand or by an older build. A TGA keeps its option.
TEST_F(StandAloneLoad, TheBlendShownIsTheBlendBuiltAndTheFileKeepsItsOwn)
{
    ASSERT_EQ(RunCommand("python3 " OMBRISALT_TEST_IMAGES "/make_images.py ."), 0);
    std::filesystem::rename("png_rgba8.png", "Art/glass.png");
    WriteBytes("Art/glass.txt", "CStandAloneFrame\r\n{\r\n\tBlended With Black=1\r\n}\r\n");
    const auto* blend
        = dynamic_cast<const CBitProperty*>(CStandAloneFrame::SGetClassInfo()->FindProperty("Blended With Black"));
    ASSERT_TRUE(blend);
    const auto written = [](CStandAloneFrame& frame) {
        EXPECT_TRUE(frame.SaveToFile("Saved/frame.txt", FILE_MAKE_FOLDERS));
        return ReadBytes("Saved/frame.txt").find("Blended With Black=1") != std::string::npos;
    };
    for (const char* from : {"from the picture", "from the cache"}) {
        CFrameList list(CStandAloneFrame::SGetClassInfo());
        list.SetSource(nullptr, "Art", 0);
        auto* glass = dynamic_cast<CStandAloneFrame*>(list.GetObject(list.Find("glass")));
        auto* ball = dynamic_cast<CStandAloneFrame*>(list.GetObject(list.Find("ball")));
        ASSERT_TRUE(glass && ball) << from;
        EXPECT_FALSE(blend->IsShownSet(glass)) << from;
        EXPECT_TRUE(blend->IsShownSet(ball)) << from;
        blend->SetValueFromText(glass, CJString("1"), nullptr);
        EXPECT_FALSE(blend->IsShownSet(glass)) << from << ": a tick would not be built";
        blend->SetValueFromText(glass, CJString("0"), nullptr);
        blend->SetValueFromText(ball, CJString("0"), nullptr);
        EXPECT_FALSE(blend->IsShownSet(ball)) << from;
        glass->SetCenterHotSpot(1);
        EXPECT_TRUE(written(*glass)) << from << ": an unrelated edit keeps the file's value";
        EXPECT_FALSE(written(*ball)) << from;
    }

    // Duplicate, as the browser makes it.
    CFrameList list(CStandAloneFrame::SGetClassInfo());
    list.SetSource(nullptr, "Art", 0);
    std::unique_ptr<CNewFileOptions> options(list.GetNewFileOptions());
    ASSERT_TRUE(options);
    options->m_Name.Set("pane");
    options->SetTemplateObject(list.GetItemObject(list.Find("glass"))->Clone());
    options->m_TemplateItem.Set("glass");
    const int32_t copied = list.AddItemFromNewFileOptions(*options);
    ASSERT_GE(copied, 0);
    EXPECT_TRUE(DiskHas("Art/pane.png"));
    auto* pane = dynamic_cast<CStandAloneFrame*>(list.GetItemObject(copied));
    ASSERT_TRUE(pane);
    EXPECT_FALSE(blend->IsShownSet(pane));
    blend->SetValueFromText(pane, CJString("1"), nullptr);
    EXPECT_FALSE(blend->IsShownSet(pane));
    EXPECT_NE(ReadBytes("Art/pane.txt").find("Blended With Black=1"), std::string::npos);
}

TEST_F(StandAloneLoad, FrameListsFindFramesByNameAndFallBackToTheCache)
{
    WriteBytes("Art/BALL.png", "");
    CFrameList list(CStandAloneFrame::SGetClassInfo());
    list.SetSource(nullptr, "Art", 0);
    ASSERT_EQ(list.GetCount(), 2) << "ball.tga and BALL.png are one entry";
    std::remove("Art/BALL.png");
    list.SetSource(nullptr, "Art", 0);
    EXPECT_STREQ(list.GetItemNameString(0).GetString(), "ball");
    EXPECT_STREQ(list.GetItemNameString(1).GetString(), "Sub/cube");
    CFrame* first = list.GetObject(0);
    ASSERT_TRUE(first);
    EXPECT_EQ(list.GetObjectAt(list.GetCount()), first);
    ASSERT_TRUE(list.GetObject(1));
    CJString file;
    ASSERT_TRUE(list.GetObjectFileName(first, file));
    EXPECT_STREQ(file.GetString(), "Art/ball.txt");

    std::remove("Art/ball.tga");
    std::remove("Art/Sub/cube.tga");
    CFrameList shipped(CStandAloneFrame::SGetClassInfo());
    shipped.SetSource(nullptr, "Art", 0);
    ASSERT_EQ(shipped.GetCount(), 2);
    EXPECT_STREQ(shipped.GetItemNameString(0).GetString(), "ball");
    CFrame* cached = shipped.GetObject(0);
    ASSERT_TRUE(cached);
    EXPECT_EQ(cached->GetWidth(), 8u);
}

// A frame list's frames share the data's budget: one past it is not loaded,
// and the list's error names it; a frame destroyed gives its share back.
TEST_F(StandAloneLoad, AFramePastTheDataBudgetIsRefusedWithItsFileNamed)
{
    const uint64_t held = GetDataPixelBytesHeld();
    const uint64_t budget = SetDataPixelBudget(held + 100 * 4);
    CFrameList list(CStandAloneFrame::SGetClassInfo());
    list.SetSource(nullptr, "Art", 0);
    ASSERT_EQ(list.GetCount(), 2);
    ASSERT_TRUE(list.GetObject(0));
    EXPECT_EQ(GetDataPixelBytesHeld(), held + 64 * 4);
    EXPECT_EQ(list.GetObject(1), nullptr);
    EXPECT_NE(std::string(list.GetLastLoadError().GetString()).find("Art/Sub/cube"), std::string::npos)
        << list.GetLastLoadError().GetString();
    list.RemoveAll();
    EXPECT_EQ(GetDataPixelBytesHeld(), held);
    SetDataPixelBudget(budget);
}

TEST_F(StandAloneLoad, ABarFolderListsTheSubfolderRelativeToTheBase)
{
    CFrameList list(nullptr);
    list.SetSource(nullptr, "Art|Sub", 0);
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_STREQ(list.GetItemNameString(0).GetString(), "Sub/cube");
}

struct SMipCase {
    const char* name;
    uint32_t w, h;
    std::vector<std::pair<uint32_t, uint32_t>> levels;
};

class MipMaps : public testing::TestWithParam<SMipCase> {};

// Levels halve while both sides are even; the visible-pixel crop then
// rounds each distinct level up to a multiple of 4 above 4. The source is
// never changed.
TEST_P(MipMaps, HalveWhileBothSidesAreEven)
{
    RegisterImagesClasses();
    const SMipCase c = GetParam();
    CFrame frame;
    ASSERT_TRUE(frame.Create(c.w, c.h, 32));
    for (uint32_t i = 0; i < c.w * c.h; ++i)
        frame.GetPixels()[i * 4 + 3] = 255;
    CMipMapFrameProperty* mips = CMipMapFrameProperty::SGet(frame);
    ASSERT_TRUE(mips);
    for (uint32_t k = 0; k < CMipMapFrameProperty::kLevelCount; ++k) {
        const auto& expected = c.levels[std::min<size_t>(k, c.levels.size() - 1)];
        EXPECT_EQ(mips->GetLevel(k)->GetWidth(), expected.first) << k;
        EXPECT_EQ(mips->GetLevel(k)->GetHeight(), expected.second) << k;
    }
    EXPECT_EQ(CMipMapFrameProperty::SGet(frame), mips);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, MipMaps,
    testing::Values(SMipCase{"SixtyFourByThirtyTwo", 64, 32, {{32, 16}, {16, 8}, {8, 4}, {4, 2}, {2, 1}}},
                    SMipCase{"ThirtyByThirty", 30, 30, {{16, 16}}}, SMipCase{"OddWidthRepeatsTheUntouchedSource", 31, 20, {{31, 20}}}),
    [](const testing::TestParamInfo<SMipCase>& param) { return std::string(param.param.name); });

// Levels of a frame with nothing visible keep their size, and asking for
// them leaves the frame's pixels, size and hot spot as they were.
TEST(MipMapLevels, NeverChangeTheirSource)
{
    RegisterImagesClasses();
    for (const bool visible : {false, true}) {
        CFrame frame;
        ASSERT_TRUE(frame.Create(16, 8, 32));
        frame.SetOffset(-8, -4);
        if (visible)
            frame.GetPixels()[(3 * 16 + 5) * 4 + 3] = 255; // one pixel at (5, 3)
        const std::vector<uint8_t> before(frame.GetPixels(), frame.GetPixels() + 16 * 8 * 4);
        CMipMapFrameProperty* mips = CMipMapFrameProperty::SGet(frame);
        ASSERT_TRUE(mips);
        ASSERT_NE(frame.GetPixels(), nullptr) << visible;
        EXPECT_EQ(frame.GetWidth(), 16u);
        EXPECT_EQ(frame.GetHeight(), 8u);
        EXPECT_EQ(frame.GetOffsetX(), -8);
        EXPECT_EQ(frame.GetOffsetY(), -4);
        EXPECT_EQ(std::vector<uint8_t>(frame.GetPixels(), frame.GetPixels() + 16 * 8 * 4), before);
        if (!visible) {
            EXPECT_EQ(mips->GetLevel(0)->GetWidth(), 8u);
            EXPECT_EQ(mips->GetLevel(0)->GetHeight(), 4u);
            EXPECT_EQ(mips->GetLevel(3)->GetWidth(), 2u); // 2 x 1 repeats
            EXPECT_EQ(mips->GetLevel(3)->GetHeight(), 1u);
        }
    }
}

TEST(MipMapPick, DoublesTheScalesPerHalving)
{
    RegisterImagesClasses();
    CFrame frame;
    ASSERT_TRUE(frame.Create(64, 64, 32));
    for (uint32_t i = 0; i < 64 * 64; ++i)
        frame.GetPixels()[i * 4 + 3] = 255;
    CMipMapFrameProperty* mips = CMipMapFrameProperty::SGet(frame);
    float sx = 0.3f, sy = 0.3f;
    EXPECT_EQ(mips->PickLevel(sx, sy), mips->GetLevel(0));
    EXPECT_FLOAT_EQ(sx, 0.6f);
    sx = sy = 0.1f;
    EXPECT_EQ(mips->PickLevel(sx, sy), mips->GetLevel(2));
    EXPECT_FLOAT_EQ(sx, 0.8f);
    sx = sy = 0.7f;
    EXPECT_EQ(mips->PickLevel(sx, sy), &frame);
    CFrame odd;
    ASSERT_TRUE(odd.Create(31, 20, 32));
    sx = sy = 0.01f;
    EXPECT_EQ(CMipMapFrameProperty::SGet(odd)->PickLevel(sx, sy), &odd);
}

TEST(MaxAlpha, IsTheHighestAlphaOfThirtyTwoBitFramesOnly)
{
    RegisterImagesClasses();
    CFrame clear, some, sixteen;
    ASSERT_TRUE(clear.Create(4, 4, 32));
    EXPECT_EQ(CMaxAlphaFrameProperty::SGet(clear)->GetMaxAlpha(), 0u);
    ASSERT_TRUE(some.Create(4, 4, 32));
    some.GetPixels()[7] = 90;
    some.GetPixels()[11] = 40;
    EXPECT_EQ(CMaxAlphaFrameProperty::SGet(some)->GetMaxAlpha(), 90u);
    ASSERT_TRUE(sixteen.Create(4, 4, 16));
    EXPECT_EQ(CMaxAlphaFrameProperty::SGet(sixteen)->GetMaxAlpha(), 255u);
}

} // namespace
