#include "shell/YCbCrConversion.h"
#include "shell/YCbCrConversion_SSE2.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

struct SKnownColour {
    const char* name;
    uint8_t y, cb, cr;
    uint8_t red, green, blue;
};

class YCbCrKnownValues : public testing::TestWithParam<SKnownColour> {};

TEST_P(YCbCrKnownValues, ConvertsToTheIntegerStudioRangeColour)
{
    const SKnownColour& c = GetParam();
    EXPECT_EQ(YCbCrToBgra(c.y, c.cb, c.cr),
              uint32_t(c.blue) | uint32_t(c.green) << 8 | uint32_t(c.red) << 16 | 0xFF000000u);
}

INSTANTIATE_TEST_SUITE_P(
    Colours, YCbCrKnownValues,
    testing::Values(SKnownColour{"Black", 16, 128, 128, 0, 0, 0}, SKnownColour{"White", 235, 128, 128, 255, 255, 255},
                    SKnownColour{"Grey", 126, 128, 128, 128, 128, 128}, SKnownColour{"Red", 81, 90, 240, 255, 0, 0},
                    SKnownColour{"Green", 145, 54, 34, 0, 255, 1}, SKnownColour{"Blue", 41, 240, 110, 0, 0, 255},
                    SKnownColour{"BelowBlackClampsToZero", 0, 128, 128, 0, 0, 0},
                    SKnownColour{"AboveWhiteClampsTo255", 255, 128, 128, 255, 255, 255},
                    SKnownColour{"ExtremeChroma", 128, 255, 0, 0, 185, 255}),
    [](const testing::TestParamInfo<SKnownColour>& p) { return std::string(p.param.name); });

// A frame of the three planes, the picture the whole of it.
SYCbCrPicture Picture(uint32_t width, uint32_t height, const std::vector<uint8_t>& y, const std::vector<uint8_t>& cb,
                      const std::vector<uint8_t>& cr)
{
    SYCbCrPicture picture;
    picture.y = {y.data(), int32_t(width)};
    picture.cb = {cb.data(), int32_t(width / 2)};
    picture.cr = {cr.data(), int32_t(width / 2)};
    picture.frameWidth = picture.picWidth = width;
    picture.frameHeight = picture.picHeight = height;
    return picture;
}

// Chroma belongs to frame columns, so a picture starting at an odd column
// pairs its first pixel with the chroma of the column before.
TEST(YCbCrConversion, ChromaFollowsFrameColumnsAndRows)
{
    constexpr uint32_t kPictureWidth = 40, kPictureHeight = 6;
    std::vector<uint8_t> y(kPictureWidth * kPictureHeight, 126), cb(kPictureWidth / 2 * kPictureHeight / 2),
        cr(kPictureWidth / 2 * kPictureHeight / 2, 128);
    for (uint32_t r = 0; r < kPictureHeight / 2; ++r)
        for (uint32_t c = 0; c < kPictureWidth / 2; ++c)
            cb[r * kPictureWidth / 2 + c] = uint8_t(100 + c + 20 * r);
    SYCbCrPicture picture = Picture(kPictureWidth, kPictureHeight, y, cb, cr);
    picture.picX = 1;
    picture.picY = 1;
    picture.picWidth = kPictureWidth - 2;
    picture.picHeight = kPictureHeight - 2;
    for (bool plain : {true, false}) {
        const CScopedPlainYCbCrRows rows(plain);
        std::vector<uint32_t> out(picture.picWidth * picture.picHeight);
        ConvertYCbCrPicture(picture, reinterpret_cast<uint8_t*>(out.data()), picture.picWidth * 4, picture.picWidth,
                            picture.picHeight);
        for (uint32_t r = 0; r < picture.picHeight; ++r)
            for (uint32_t c = 0; c < picture.picWidth; ++c) {
                const uint32_t fx = c + 1, fy = r + 1;
                EXPECT_EQ(out[r * picture.picWidth + c],
                          YCbCrToBgra(126, cb[(fy / 2) * kPictureWidth / 2 + fx / 2], 128))
                    << "row " << r << " column " << c << (plain ? " plain" : " chosen");
            }
    }
}

struct SRegionCase {
    const char* name;
    uint32_t picX, picY, picWidth, picHeight; // may overrun the 32 x 16 frame
    uint32_t outWidth, outHeight;
    uint32_t expectColumns, expectRows;
};

class YCbCrRegion : public testing::TestWithParam<SRegionCase> {};

// Only the intersection of the region, the frame and the output is written;
// the guard pixels around the output stay untouched.
TEST_P(YCbCrRegion, WritesOnlyWhereRegionFrameAndOutputMeet)
{
    const SRegionCase& k = GetParam();
    constexpr uint32_t kFrameWidth = 32, kFrameHeight = 16, kGuard = 0x12345678u;
    std::vector<uint8_t> y(kFrameWidth * kFrameHeight, 235), cb(kFrameWidth * kFrameHeight / 4, 128),
        cr(kFrameWidth * kFrameHeight / 4, 128);
    SYCbCrPicture picture = Picture(kFrameWidth, kFrameHeight, y, cb, cr);
    picture.picX = k.picX;
    picture.picY = k.picY;
    picture.picWidth = k.picWidth;
    picture.picHeight = k.picHeight;
    // One guard column at the right of each row and a guard row below.
    const uint32_t pitch = k.outWidth + 1;
    std::vector<uint32_t> out(pitch * (k.outHeight + 1), kGuard);
    ConvertYCbCrPicture(picture, reinterpret_cast<uint8_t*>(out.data()), pitch * 4, k.outWidth, k.outHeight);
    for (uint32_t r = 0; r <= k.outHeight; ++r)
        for (uint32_t c = 0; c < pitch; ++c) {
            const bool written = r < k.expectRows && c < k.expectColumns;
            EXPECT_EQ(out[r * pitch + c], written ? 0xFFFFFFFFu : kGuard) << "row " << r << " column " << c;
        }
}

INSTANTIATE_TEST_SUITE_P(Regions, YCbCrRegion,
                         testing::Values(SRegionCase{"PictureFitsOutput", 0, 0, 32, 16, 40, 20, 32, 16},
                                         SRegionCase{"PictureLargerThanOutput", 2, 2, 30, 14, 10, 5, 10, 5},
                                         SRegionCase{"RegionOverrunsFrame", 20, 10, 100, 100, 40, 20, 12, 6},
                                         SRegionCase{"RegionOutsideFrame", 40, 0, 8, 8, 10, 10, 0, 0},
                                         SRegionCase{"EmptyOutput", 0, 0, 32, 16, 0, 0, 0, 0}),
                         [](const testing::TestParamInfo<SRegionCase>& p) { return std::string(p.param.name); });

// Every (Y, Cb, Cr): the SSE2 row gives the bytes of the plain row, and both
// those of the formula.
TEST(YCbCrConversion, Sse2RowMatchesPlainAndTheFormulaForEveryTriple)
{
    std::vector<uint8_t> y(512), cb(256), cr(256);
    std::vector<uint32_t> plain(512), sse2(512);
    for (uint32_t i = 0; i < 256; ++i)
        cr[i] = uint8_t(i);
    for (uint32_t luma = 0; luma < 256; ++luma) {
        std::fill(y.begin(), y.end(), uint8_t(luma));
        for (uint32_t blue = 0; blue < 256; ++blue) {
            std::fill(cb.begin(), cb.end(), uint8_t(blue));
            ConvertYCbCrRowPlain(y.data(), cb.data(), cr.data(), 0, 512, plain.data());
            ConvertYCbCrRowSse2(y.data(), cb.data(), cr.data(), 0, 512, sse2.data());
            ASSERT_EQ(plain, sse2) << "Y " << luma << " Cb " << blue;
            for (uint32_t red = 0; red < 256; ++red)
                ASSERT_EQ(plain[2 * red], YCbCrToBgra(int32_t(luma), int32_t(blue), int32_t(red)))
                    << "Y " << luma << " Cb " << blue << " Cr " << red;
        }
    }
}

// Odd starts, short rows and tails: the same bytes, and nothing written past
// the count.
TEST(YCbCrConversion, Sse2RowMatchesPlainAtEveryStartAndWidth)
{
    std::mt19937 random(7);
    std::vector<uint8_t> y(200), cb(100), cr(100);
    for (auto* plane : {&y, &cb, &cr})
        for (uint8_t& v : *plane)
            v = uint8_t(random());
    for (uint32_t start : {0u, 1u, 2u, 3u})
        for (uint32_t count : {0u, 1u, 3u, 4u, 5u, 7u, 8u, 9u, 15u, 16u, 17u, 63u, 64u, 65u}) {
            std::vector<uint32_t> plain(count + 1, 0xABCDEF01u), sse2(count + 1, 0xABCDEF01u);
            ConvertYCbCrRowPlain(y.data(), cb.data(), cr.data(), start, count, plain.data());
            ConvertYCbCrRowSse2(y.data(), cb.data(), cr.data(), start, count, sse2.data());
            EXPECT_EQ(plain, sse2) << "start " << start << " count " << count;
            EXPECT_EQ(sse2[count], 0xABCDEF01u);
        }
}

} // namespace
