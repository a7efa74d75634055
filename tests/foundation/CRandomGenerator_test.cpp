#include "foundation/CRandomGenerator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

namespace {

// Expected values come from a separate model of the generator (seeding with the
// 64-bit LCG from the last word down, the 32 masked words, the XOR tap 103
// ahead) written in Python and run once; they are not produced by this code.
// seed 0xDEADBEEF: the first 400 words, across the points where the tap
// (draw 147) and the table (draw 250) wrap.
const uint32_t kWordsDeadBeef[400] = {
    0x4ED712D3, 0x3A6087ED, 0xEBBBFB5A, 0x65F2ECC7, 0xA51C009A, 0x7CB08E99, 0x2FF0B99C, 0xC0856E97, 0x1F1FB6D7,
    0x496CC3E7, 0x92D6300E, 0x39444390, 0xD75985FB, 0xDC1CDAB7, 0xACFEF4E9, 0x0268570C, 0xD7896AC2, 0xDB3C373D,
    0x041C6893, 0xB94E807F, 0xA9511DFC, 0x0E12AC64, 0x2F2F89E4, 0xB5E9ED19, 0x2ABCE43B, 0x71F9BBD3, 0x3BD3E881,
    0xD51A887F, 0x13F0A10A, 0x42030CD3, 0x69E9D7CC, 0xDD2BD8BC, 0x0D9CCDFC, 0x00DBC1C4, 0xEF96E2E3, 0x8D27E9C2,
    0xDD985BE1, 0xE0013201, 0x721A5767, 0x4D125BB0, 0xCA442504, 0xECFFBF73, 0x16889809, 0x56741B0F, 0x98B41D74,
    0x6E1AE8E3, 0xE7E64FBC, 0x904C276C, 0x0FC974DD, 0x440761F5, 0x83F92FB7, 0xB6B6A2BD, 0xAF1DE487, 0x46A4E04A,
    0xD6300CBA, 0x878D9307, 0x9DEECC0E, 0xB49C8FCA, 0x2B76557A, 0x3DAFFFC1, 0xD537924D, 0xAF57FDF0, 0xA082C54C,
    0xC6F8DDF8, 0xA0B7A415, 0x425AC854, 0x4E86D389, 0x80966667, 0x62E23834, 0x9FDBAB2F, 0x52989810, 0x808F6E78,
    0x10DEF37C, 0x84FA44A2, 0x6E7DF838, 0xC260914D, 0xDEB08F76, 0xE14DD526, 0xF51546F7, 0x926332A6, 0x4F6BE259,
    0xE0C07145, 0xCA663CE9, 0xA5F177BC, 0x4F6F7C41, 0x1EE660D4, 0x25AC30EB, 0x8EDA81B0, 0xA149E097, 0xAD08C6E6,
    0x85473204, 0x3EC2657A, 0x75F3F439, 0xA8B4CFE5, 0xE4066CC2, 0xAF456F98, 0x8249186F, 0x7C5A3C9C, 0x10F6F25C,
    0x69858205, 0x3EB22606, 0x9C63D1E4, 0xFD371A56, 0x2818EE48, 0x675C542F, 0x825F8BBF, 0x61E35A52, 0xF73C2B03,
    0xF4BF5E9E, 0x6D418CBE, 0xF56E4CFF, 0x360CBFD7, 0x10907ED4, 0x4CA91A4D, 0x77045148, 0x3F49F509, 0xC8EA0A4F,
    0x5D5804A8, 0x6AA8BB42, 0x62CD75FF, 0x176455A0, 0xF5013B6F, 0x91CBDCB8, 0xD119B537, 0xA46E95E7, 0x1DFD9AD1,
    0x940A814E, 0x0F0F624A, 0x94F5C4DB, 0xC4204114, 0x82FF3D53, 0x1ADB2682, 0x40DF5310, 0x24EF2B73, 0xA0E6C7E1,
    0x114895B7, 0x6A1073B1, 0x280490FC, 0xF372CB4E, 0xFBF4F1FD, 0xCD2BBCCE, 0xA474177C, 0x44B50C91, 0x27BF7461,
    0xA6C98302, 0xD2FC4EED, 0xEF320016, 0x5DCB0EC1, 0x57BE0D79, 0xBFB9D885, 0x65F2EA56, 0x45F28A72, 0xD04FE76A,
    0x3D5AA904, 0xBAFC66E8, 0xB193CF1E, 0xEA5A89B4, 0x92D633DE, 0x093400F7, 0x323BFA84, 0x832A3566, 0x654807BF,
    0x3F2E0D13, 0x01E97A2A, 0xDB3C36C7, 0x5A1C9CC1, 0x60172A84, 0x9FC7D8D7, 0x0A8CFF35, 0x61F872B3, 0x6ABDF2B5,
    0x2ABCE490, 0xD5B7845E, 0x0C79A9B6, 0x4A2D769C, 0x56A88DB6, 0xC6D61570, 0xB05DC159, 0xDD2BD8C5, 0xA09E57E4,
    0x45DFB943, 0x96F48ADE, 0x977E9F0C, 0x92EC27EE, 0xBB414BB0, 0x721A5754, 0x095A3E83, 0xA9E59385, 0x5AD1B312,
    0x8DC0B985, 0xD8A48A07, 0x6F8095F8, 0x6E1AE8F0, 0x7BEEFABC, 0x1B82A089, 0x03A662D8, 0x007B2FE7, 0x67FB638C,
    0xED4C6847, 0xAF1DE48E, 0x7D5FE616, 0x9B5C1142, 0xE4E4C7F1, 0x3EFFC001, 0x28FC2843, 0xCE7479B6, 0x3DAFFFC5,
    0x669AF929, 0x5E859C0B, 0x7EE5A78E, 0x8154EE9E, 0x5409EBC3, 0xE4ADEE60, 0x4E86D38A, 0xFF649456, 0x80AEF0F8,
    0x1705E574, 0xA67EEA23, 0xBFC62EED, 0x6C760DA7, 0x84FA44A3, 0x02999B8B, 0x56D0E31F, 0x356BF90F, 0xB1F75BB5,
    0x64DED83D, 0x4ECCE21A, 0x33B82D37, 0xF21EA402, 0x28CE2C43, 0x9565CF5F, 0xC28BC94E, 0xDAC602A3, 0xD7FA35D9,
    0x785ADEC2, 0xEB2A93BD, 0x6D8EA490, 0xF0165FBB, 0xCDA33B22, 0x1FE39786, 0x18CBD4F0, 0xBCD4CE01, 0x17639FB0,
    0xA68E311B, 0xAD1F4BF9, 0x8FFF864F, 0x4E3AFF44, 0xE5FF4CC0, 0x9A004EDD, 0x61230657, 0x66CFFC9B, 0x5D3CD3C2,
    0x69E470E5, 0x0411B695, 0x52202B99, 0x880FD007, 0x42B13522, 0x35EB2268, 0x29130900, 0x59FCBD33, 0xDE7F2A43,
    0x4E4012D8, 0xE81070F2, 0x14F6D0F8, 0xF1A6F041, 0x68C0EC4E, 0xB5441F3D, 0xCC58629D, 0xF11D53FC, 0x28855CC7,
    0x7848A8CB, 0xAA7C3983, 0x32D21335, 0x21E36C57, 0x25B38671, 0xE50C7F08, 0xFFF3A995, 0x57E5B52C, 0x092B8788,
    0x02DC5FC3, 0x4D06FCBF, 0x7DCD1F5D, 0x1CD4584B, 0x6ACBB275, 0xC792721F, 0x7E55228C, 0x266CAA1C, 0x2D2A8ECF,
    0xD66E401B, 0x09A75721, 0xEDFB5165, 0x4A363C71, 0xC474D6E4, 0xB9461B19, 0xC57F13B5, 0x39A4E59A, 0x585F9739,
    0xF5BECD3A, 0x4A3BFEAF, 0x9448869F, 0xBEA386B3, 0x0C4AC455, 0x1E8E2B99, 0xACFE69FE, 0x44E63F64, 0x8EB993F0,
    0xAFD5368A, 0x37B6BAAC, 0x4E3E52C5, 0x0281F2D2, 0xD4DEE867, 0x746BCB37, 0xFA9E598D, 0xA6EFF77C, 0x3F707CC2,
    0x48D63761, 0x2F7EA13A, 0xEA2B94D2, 0x485EDCA4, 0x4A6C2F71, 0x5EE131A6, 0xCAA218E4, 0x46767ECA, 0x422C51D2,
    0xDE203961, 0x1F4B4988, 0x7E2ED892, 0xA4926C65, 0x63E1CC29, 0x051DADAA, 0xDD87C5B7, 0x5B813AF5, 0xB87C6BBD,
    0xACAB493F, 0xE68AEFC4, 0x4437D3C6, 0xA86C896E, 0x567E0BB7, 0xCEC9756F, 0xC3122E16, 0xFEA9C8B8, 0x2540C5F3,
    0x765596E1, 0xA8CFE002, 0x83FD0F4E, 0x420907DF, 0x2D54FCE1, 0x0105DA8A, 0x8BAAE31E, 0x8D6145F4, 0x004DE607,
    0xB49FF9A7, 0x334363E0, 0x15B7118D, 0x01C6AD06, 0xDCDA17B4, 0x1F06FDDC, 0x7668C59D, 0xA0B6B55D, 0x89EC62DE,
    0xBBE89F75, 0xC9682B81, 0x903E8E2C, 0x5BACFF39, 0xD17ABB6B, 0x808FDBE4, 0xA49C07E8, 0xD9A2400B, 0x683120C9,
    0x341D96E0, 0x220FACAF, 0x44F660DA, 0xF5150485, 0x9FD5572D, 0x97D6B8D0, 0xEFE33ED3, 0xBCC4AD0D, 0x9A6AAD15,
    0x567E0D95, 0x1EE643B7, 0x5505088A, 0x6281F840, 0xABF5C0AD, 0x49618FE3, 0x50F0985A, 0xDCEBAE95, 0x75F3E437,
    0x30CF440C, 0x4FA6054F, 0xEC976E4D, 0x6BA58DD5, 0x096B5C85, 0xCB4A8ADE, 0x69858B25, 0x4336CFC2, 0x48FC0030,
    0x8E110641, 0x3B04F25A, 0x0A82DEBB, 0xD65DA860,
};
// seed 7, the first Next(1000) draws
const uint32_t kNext1000Seed7[16] = {
    159, 7, 902, 838, 284, 264, 255, 641, 686, 150, 634, 958, 16, 838, 347, 228,
};
// seed 1, the first NextInRange(100, 105) draws
const uint32_t kRange100To105Seed1[16] = {
    101, 104, 102, 103, 104, 101, 103, 100, 102, 100, 102, 101, 105, 100, 101, 104,
};

TEST(RandomGenerator, DrawsMatchIndependentModelAcrossTableWrap)
{
    CRandomGenerator random;
    random.Seed(0xDEADBEEF);
    for (uint32_t i = 0; i < 400; ++i)
        ASSERT_EQ(random.NextInRange(0, 0xFFFFFFFF), kWordsDeadBeef[i]) << "draw " << i;
    EXPECT_EQ(random.GetDrawCount(), 400u);
}

TEST(RandomGenerator, RangesMapByMultiplicationNotRemainder)
{
    CRandomGenerator random;
    random.Seed(7);
    for (uint32_t i = 0; i < 16; ++i)
        ASSERT_EQ(random.Next(1000), kNext1000Seed7[i]) << "draw " << i;
    random.Seed(1);
    for (uint32_t i = 0; i < 16; ++i)
        ASSERT_EQ(random.NextInRange(100, 105), kRange100To105Seed1[i]) << "draw " << i;
    // The mapping holds for every word: the high part of range * word.
    random.Seed(0xDEADBEEF);
    for (uint32_t i = 0; i < 16; ++i)
        ASSERT_EQ(random.NextInRange(100, 105), 100 + uint32_t((uint64_t(6) * kWordsDeadBeef[i]) >> 32)) << i;
}

TEST(RandomGenerator, RangeZeroAnswersZeroWithoutDrawing)
{
    CRandomGenerator random;
    random.Seed(0xDEADBEEF);
    EXPECT_EQ(random.Next(0), 0u);
    EXPECT_EQ(random.GetDrawCount(), 0u);
    EXPECT_EQ(random.Next(0xFFFFFFFF), uint32_t((uint64_t(0xFFFFFFFF) * kWordsDeadBeef[0]) >> 32));
}

TEST(RandomGenerator, FullSpanGivesRawWordPlusLow)
{
    CRandomGenerator random;
    random.Seed(0xDEADBEEF);
    EXPECT_EQ(random.NextInRange(5, 4), kWordsDeadBeef[0] + 5);
}

TEST(RandomGenerator, NextFloatScalesTheWordAndNeverReturnsHigh)
{
    // At 2^24 floats are two apart, so every word past the middle rounds the
    // sum up to hi: the excluded bound is hit on about half the draws.
    const float cases[][2] = {{2.0f, 6.0f}, {16777216.0f, 16777218.0f}, {-1.0f, 0.0f}};
    for (const auto& [lo, hi] : cases) {
        CRandomGenerator random;
        random.Seed(0xDEADBEEF);
        for (uint32_t i = 0; i < 64; ++i) {
            float expected = lo + (hi - lo) * float(kWordsDeadBeef[i]) * 0x1p-32f;
            if (expected >= hi)
                expected = std::nextafter(hi, lo);
            ASSERT_EQ(random.NextFloat(lo, hi), expected) << lo << ".." << hi << " draw " << i;
        }
    }
}

TEST(RandomGenerator, ChanceIsTrueExactlyBelowTheTruncatedThreshold)
{
    // For each drawn value, probabilities whose threshold truncates to the
    // value itself (false) and to one above it (true).
    for (const float offset : {0.5f, 1.5f}) {
        CRandomGenerator random;
        random.Seed(0xDEADBEEF);
        for (uint32_t i = 0; i < 64; ++i) {
            const uint32_t drawn = uint32_t((uint64_t(65535) * kWordsDeadBeef[i]) >> 32);
            const float probability = (float(drawn) + offset) / 65535.0f;
            ASSERT_EQ(random.Chance(probability), offset > 1.0f) << "draw " << i << " offset " << offset;
        }
    }
    // The ends: never below zero, always at one and above; each still draws.
    CRandomGenerator random;
    random.Seed(0xDEADBEEF);
    EXPECT_FALSE(random.Chance(0.0f));
    EXPECT_FALSE(random.Chance(-2.0f));
    for (int i = 0; i < 64; ++i)
        ASSERT_TRUE(random.Chance(1.0f)) << i;
    EXPECT_TRUE(random.Chance(3.0f));
    EXPECT_EQ(random.GetDrawCount(), 67u);
}

} // namespace
