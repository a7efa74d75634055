#include "images/CFrameImageIO.h"

#include "foundation/CFile.h"
#include "foundation/FatalError.h"
#include "images/CFrame.h"
#include "images/CFrameFilter.h"
#include "images/CJPEGFileIO.h"
#include "images/CPNGFileIO.h"
#include "images/CTGAFileIO.h"
#include "support/ScopedHooks.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <zlib.h>
// jpeglib.h needs FILE and size_t declared first.
#include <cstdio>
#include <jpeglib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct SRgba {
    uint8_t r, g, b, a;
};

// The formulas of make_images.py.
SRgba Expected(uint32_t x, uint32_t y, uint32_t run = 1)
{
    x /= run;
    return {uint8_t(x * 37 + y * 11), uint8_t(x * 5 + y * 71), uint8_t((x * 13) ^ (y * 29)),
            uint8_t(x * 7 + y * 3 + 1)};
}

enum class Channels { Rgb, Rgba, Grey, GreyAlpha, Palette };

struct SFileCase {
    const char* name;
    const char* file;
    uint32_t width, height, depth, run;
    Channels channels;
};

SRgba ExpectedFor(const SFileCase& c, uint32_t x, uint32_t y)
{
    const SRgba p = Expected(x, y, c.run);
    switch (c.channels) {
    case Channels::Rgb:
        return {p.r, p.g, p.b, 255};
    case Channels::Rgba:
        return p;
    case Channels::Grey:
        return {p.r, p.r, p.r, 255};
    case Channels::GreyAlpha:
        return {p.r, p.r, p.r, p.a};
    case Channels::Palette: {
        const uint32_t i = (x + y * 3) % 16;
        return {uint8_t(i * 16), uint8_t(255 - i * 16), uint8_t(i * 8), uint8_t(i * 17)};
    }
    }
    return {};
}

std::string TgaHeader(uint8_t type, uint16_t w, uint16_t h, uint8_t depth, uint8_t mapType = 0)
{
    std::string s(18, '\0');
    s[1] = char(mapType);
    s[2] = char(type);
    s[12] = char(w);
    s[13] = char(w >> 8);
    s[14] = char(h);
    s[15] = char(h >> 8);
    s[16] = char(depth);
    return s;
}

class ImageFiles : public CTempFolderTest {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        RegisterImagesClasses();
        ASSERT_EQ(RunCommand("python3 " OMBRISALT_TEST_IMAGES "/make_images.py ."), 0);
    }

    // Decodes through the reader of the file's extension, no filters.
    static bool Decode(const char* file, CFrame& frame)
    {
        const char* dot = std::strrchr(file, '.');
        std::string ext(dot);
        for (char& c : ext)
            c = char(std::toupper(c));
        std::unique_ptr<CFrameImageIO> reader(CFrameImageIO::CreateForExtension(ext.c_str()));
        if (!reader)
            return false;
        const uint8_t* data = nullptr;
        uint32_t size = 0;
        if (!ReadWholeFileIntoLoadBuffer(file, 0, data, size))
            return false;
        return reader->DecodeFromMemory(frame, data, size, file, reader->GetHeaderBitDepth(data, size));
    }
};

class IndependentFiles : public ImageFiles, public testing::WithParamInterface<SFileCase> {};

TEST_P(IndependentFiles, LoadPixelExactly)
{
    const SFileCase c = GetParam();
    CFrame frame;
    ASSERT_TRUE(Decode(c.file, frame));
    ASSERT_EQ(frame.GetWidth(), c.width);
    ASSERT_EQ(frame.GetHeight(), c.height);
    ASSERT_EQ(frame.GetBitDepth(), c.depth);
    const uint32_t bytes = c.depth / 8;
    for (uint32_t y = 0; y < c.height; ++y)
        for (uint32_t x = 0; x < c.width; ++x) {
            const uint8_t* p = frame.Row(y) + x * bytes;
            const SRgba e = ExpectedFor(c, x, y);
            ASSERT_EQ(p[0], e.b) << x << "," << y;
            ASSERT_EQ(p[1], e.g) << x << "," << y;
            ASSERT_EQ(p[2], e.r) << x << "," << y;
            if (bytes == 4) {
                ASSERT_EQ(p[3], e.a) << x << "," << y;
            }
        }
}

INSTANTIATE_TEST_SUITE_P(
    Files, IndependentFiles,
    testing::Values(
        SFileCase{"Tga24BottomFirst", "tga24_bottom.tga", 13, 6, 24, 1, Channels::Rgb},
        SFileCase{"Tga32TopFirst", "tga32_top.tga", 13, 6, 32, 1, Channels::Rgba},
        SFileCase{"Tga32PacketsAndIdField", "tga32_rle_id.tga", 13, 6, 32, 3, Channels::Rgba},
        SFileCase{"Tga24PacketsLongRuns", "tga24_rle_top.tga", 300, 3, 24, 150, Channels::Rgb},
        SFileCase{"Tga24BottomFirstRightToLeft", "tga24_bottom_right.tga", 13, 6, 24, 1, Channels::Rgb},
        SFileCase{"Tga32TopFirstRightToLeft", "tga32_top_right.tga", 13, 6, 32, 1, Channels::Rgba},
        SFileCase{"Tga32PacketsBottomFirstRightToLeft", "tga32_rle_bottom_right.tga", 13, 6, 32, 3, Channels::Rgba},
        SFileCase{"Tga24PacketsTopFirstRightToLeft", "tga24_rle_top_right.tga", 13, 6, 24, 2, Channels::Rgb},
        SFileCase{"PngRgb", "png_rgb8.png", 13, 6, 24, 1, Channels::Rgb},
        SFileCase{"PngRgba", "png_rgba8.png", 13, 6, 32, 1, Channels::Rgba},
        SFileCase{"PngRgb16", "png_rgb16.png", 13, 6, 24, 1, Channels::Rgb},
        SFileCase{"PngRgba16", "png_rgba16.png", 13, 6, 32, 1, Channels::Rgba},
        SFileCase{"PngGrey", "png_grey8.png", 13, 6, 24, 1, Channels::Grey},
        SFileCase{"PngGreyAlpha", "png_greyalpha8.png", 13, 6, 32, 1, Channels::GreyAlpha},
        SFileCase{"PngPaletteWithTransparency", "png_palette8.png", 13, 6, 32, 1, Channels::Palette}),
    [](const testing::TestParamInfo<SFileCase>& param) { return std::string(param.param.name); });

TEST_F(ImageFiles, UncompressedTgaIsRewrittenWithPacketsAndTheSamePixels)
{
    CFrame before;
    ASSERT_TRUE(Decode("tga32_top.tga", before));
    std::unique_ptr<CFrameImageIO> reader(CFrameImageIO::SCreateForFile(nullptr, "tga32_top", ".tga"));
    ASSERT_TRUE(reader);
    CFrameFilter none;
    CFrame frame;
    ASSERT_TRUE(reader->LoadFrame(frame, &none, 0));
    const std::string bytes = ReadBytes("tga32_top.tga");
    ASSERT_GE(bytes.size(), 18u);
    EXPECT_EQ(bytes[2], 10);
    EXPECT_FALSE(reader->NeedsRecompress("tga32_top.tga"));
    CFrame after;
    ASSERT_TRUE(Decode("tga32_top.tga", after));
    ASSERT_EQ(after.GetWidth(), before.GetWidth());
    EXPECT_EQ(std::memcmp(after.GetPixels(), before.GetPixels(), 13 * 6 * 4), 0);
}

// Loading a right-to-left file rewrites it with packets, left to right, as
// the picture it holds, never mirrored.
TEST_F(ImageFiles, RightToLeftTgaIsRewrittenUnmirrored)
{
    std::unique_ptr<CFrameImageIO> reader(CFrameImageIO::SCreateForFile(nullptr, "tga24_bottom_right", ".tga"));
    ASSERT_TRUE(reader);
    CFrameFilter none;
    CFrame frame;
    ASSERT_TRUE(reader->LoadFrame(frame, &none, 0));
    const std::string bytes = ReadBytes("tga24_bottom_right.tga");
    ASSERT_GE(bytes.size(), 18u);
    EXPECT_EQ(bytes[2], 10);
    EXPECT_EQ(bytes[17] & 0x10, 0);
    CFrame after;
    ASSERT_TRUE(Decode("tga24_bottom_right.tga", after));
    for (const CFrame* f : {&frame, &after})
        for (uint32_t y = 0; y < 6; ++y)
            for (uint32_t x = 0; x < 13; ++x) {
                const SRgba e = Expected(x, y);
                const uint8_t* p = f->Row(y) + x * 3;
                ASSERT_EQ(p[0] | p[1] << 8 | p[2] << 16, e.b | e.g << 8 | e.r << 16)
                    << (f == &frame ? "loaded " : "rewritten ") << x << "," << y;
            }
}

// Two pixels stored right to left, red then lime: the picture is lime, red.
TEST_F(ImageFiles, TwoPixelsStoredRightToLeftLoadAsLimeThenRed)
{
    const std::string red("\x00\x00\xFF", 3), lime("\x00\xFF\x00", 3);
    for (const bool packets : {false, true}) {
        std::string file = TgaHeader(packets ? 10 : 2, 2, 1, 24);
        file[17] = 0x10;
        file += packets ? std::string("\x01", 1) + red + lime : red + lime;
        WriteBytes("pair.tga", file);
        std::unique_ptr<CFrameImageIO> reader(CFrameImageIO::SCreateForFile(nullptr, "pair", ".tga"));
        CFrameFilter none;
        CFrame frame;
        ASSERT_TRUE(reader->LoadFrame(frame, &none, 0));
        ASSERT_EQ(frame.GetBitDepth(), 24u);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(frame.Row(0)), 6), lime + red) << packets;
        CFrame again;
        ASSERT_TRUE(Decode("pair.tga", again));
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(again.Row(0)), 6), lime + red) << packets;
    }
    // Into an 8-bit frame only black takes the transparent index.
    const std::string three = TgaHeader(2, 3, 1, 24) + red + lime + std::string("\xFF\x00\x00", 3);
    CTGAFileIO reader;
    CFrame eight;
    ASSERT_TRUE(reader.DecodeFromMemory(eight, reinterpret_cast<const uint8_t*>(three.data()), uint32_t(three.size()),
                                        "three", 8));
    EXPECT_TRUE(eight.Row(0)[0] && eight.Row(0)[1] && eight.Row(0)[2]) << "pure red, lime and blue stay opaque";
}

struct SKeptHeader {
    const char* name;
    uint32_t offset; // the header byte set
    uint8_t value;
};

class KeptTga : public ImageFiles, public testing::WithParamInterface<SKeptHeader> {};

// An uncompressed file whose header holds what the reader skips or ignores
// loads, and stays byte for byte as it was.
TEST_P(KeptTga, IsLoadedButNeverRewritten)
{
    std::string file = ReadBytes("tga24_bottom.tga");
    ASSERT_GE(file.size(), 18u);
    file[GetParam().offset] = char(GetParam().value);
    if (GetParam().offset == 0)
        file.insert(18, std::string(GetParam().value, 'i'));
    WriteBytes("kept.tga", file);
    std::unique_ptr<CFrameImageIO> reader(CFrameImageIO::SCreateForFile(nullptr, "kept", ".tga"));
    EXPECT_FALSE(reader->NeedsRecompress("kept.tga"));
    CFrameFilter none;
    CFrame frame;
    ASSERT_TRUE(reader->LoadFrame(frame, &none, 0));
    EXPECT_EQ(ReadBytes("kept.tga"), file);
}

INSTANTIATE_TEST_SUITE_P(Headers, KeptTga,
                         testing::Values(SKeptHeader{"IdField", 0, 5}, SKeptHeader{"ColourMapLength", 5, 16},
                                         SKeptHeader{"ColourMapEntrySize", 7, 24}, SKeptHeader{"OriginY", 10, 6},
                                         SKeptHeader{"Interleaved", 17, 0x40},
                                         SKeptHeader{"AlphaBitsAtTwentyFour", 17, 8}),
                         [](const testing::TestParamInfo<SKeptHeader>& param) {
                             return std::string(param.param.name);
                         });

// A version 2 footer (or any bytes after the pixels) would be lost by the
// rewrite.
TEST_F(ImageFiles, AnUncompressedTgaWithBytesAfterItsPixelsIsNeverRewritten)
{
    std::string file = ReadBytes("tga24_bottom.tga");
    ASSERT_GE(file.size(), 18u);
    file += std::string(8, '\0') + std::string("TRUEVISION-XFILE.\0", 18);
    WriteBytes("footer.tga", file);
    std::unique_ptr<CFrameImageIO> reader(CFrameImageIO::SCreateForFile(nullptr, "footer", ".tga"));
    EXPECT_FALSE(reader->NeedsRecompress("footer.tga"));
    CFrameFilter none;
    CFrame frame;
    ASSERT_TRUE(reader->LoadFrame(frame, &none, 0));
    EXPECT_EQ(ReadBytes("footer.tga"), file);
}

TEST_F(ImageFiles, EngineTgaReadsBackInAnIndependentReader)
{
    CFrame frame;
    ASSERT_TRUE(Decode("tga32_rle_id.tga", frame));
    CTGAFileIO writer;
    ASSERT_TRUE(writer.WriteImageFile(frame, "out.tga", 0));
    // Python decodes the packets and prints the pixels as r,g,b,a top row first.
    ASSERT_EQ(
        RunCommand(
            "python3 -c \"\n"
            "import struct\n"
            "d = open('out.tga','rb').read()\n"
            "w, h, depth, desc = struct.unpack('<HHBB', d[12:18])\n"
            "assert d[2] == 10 and depth == 32 and desc & 15 == 8\n"
            "p = 18 + d[0]; rows = []\n"
            "for y in range(h):\n"
            "    row = []\n"
            "    while len(row) < w:\n"
            "        c = d[p]; n = (c & 127) + 1; p += 1\n"
            "        if c & 128: row += [d[p:p+4]] * n; p += 4\n"
            "        else: row += [d[p+4*i:p+4*i+4] for i in range(n)]; p += 4 * n\n"
            "    rows.append(row)\n"
            "rows.reverse()\n"
            "open('out.txt','w').write(' '.join('%d,%d,%d,%d' % (q[2],q[1],q[0],q[3]) for r in rows for q in r))\n"
            "\""),
        0);
    std::string expected;
    for (uint32_t y = 0; y < 6; ++y)
        for (uint32_t x = 0; x < 13; ++x) {
            const SRgba e = Expected(x, y, 3);
            expected += (expected.empty() ? "" : " ") + std::to_string(e.r) + "," + std::to_string(e.g) + ","
                + std::to_string(e.b) + "," + std::to_string(e.a);
        }
    EXPECT_EQ(ReadBytes("out.txt"), expected);
}

TEST(TgaRows, ARunOf300PixelsIsThreePacketsOf128128And44)
{
    std::vector<uint8_t> row(300 * 4, 0x5A);
    std::vector<uint8_t> out(300 * 5 + 16);
    const uint32_t n = EncodeTgaRow(row.data(), 300, 4, out.data());
    ASSERT_EQ(n, 15u);
    EXPECT_EQ(out[0], 0xFF);
    EXPECT_EQ(out[5], 0xFF);
    EXPECT_EQ(out[10], 0x80 | 43);
}

TEST(TgaRows, LiteralPacketsStopBeforeTheLastPixel)
{
    const uint8_t row[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    uint8_t out[64];
    ASSERT_EQ(EncodeTgaRow(row, 3, 3, out), 11u);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[7], 0);
}

TEST_F(ImageFiles, EightBitFramesAreWrittenWithAColourMapAndSixteenBitAsTwentyFour)
{
    CFrame eight;
    ASSERT_TRUE(eight.Create(4, 2, 8));
    CTGAFileIO writer;
    ASSERT_TRUE(writer.WriteImageFile(eight, "eight.tga", 0));
    std::string bytes = ReadBytes("eight.tga");
    EXPECT_EQ(bytes[1], 1);
    EXPECT_EQ(bytes[2], 9);
    EXPECT_EQ(uint8_t(bytes[5]) | uint8_t(bytes[6]) << 8, 256);
    EXPECT_EQ(bytes[7], 24);
    CFrame sixteen;
    ASSERT_TRUE(sixteen.Create(4, 2, 16));
    ASSERT_TRUE(writer.WriteImageFile(sixteen, "sixteen.tga", 0));
    bytes = ReadBytes("sixteen.tga");
    EXPECT_EQ(bytes[2], 10);
    EXPECT_EQ(bytes[16], 24);
}

struct SBadCase {
    const char* name;
    std::string bytes;
};

class BadTga : public testing::TestWithParam<SBadCase> {};

TEST_P(BadTga, IsRefusedWithoutTouchingMemoryPastTheFile)
{
    RegisterImagesClasses();
    CTGAFileIO reader;
    // A heap block of exactly the file's size, so the sanitizers see any read past it.
    const std::vector<uint8_t> b(GetParam().bytes.begin(), GetParam().bytes.end());
    CFrame frame;
    EXPECT_FALSE(reader.DecodeFromMemory(frame, b.data(), uint32_t(b.size()), "bad",
                                         reader.GetHeaderBitDepth(b.data(), uint32_t(b.size()))));
}

INSTANTIATE_TEST_SUITE_P(Headers, BadTga,
                         testing::Values(SBadCase{"Empty", ""}, SBadCase{"ShortHeader", std::string(17, '\0')},
                                         SBadCase{"ZeroWidth", TgaHeader(2, 0, 4, 32)},
                                         SBadCase{"ZeroHeight", TgaHeader(10, 4, 0, 24)},
                                         SBadCase{"ColourMapped", TgaHeader(2, 1, 1, 24, 1) + "abc"},
                                         SBadCase{"SixteenBit", TgaHeader(2, 1, 1, 16) + "ab"},
                                         SBadCase{"Largest", TgaHeader(2, 65535, 65535, 32) + "abcd"},
                                         SBadCase{"LargestPackets",
                                                  TgaHeader(10, 65535, 65535, 32)
                                                      + std::string("\xFF"
                                                                    "abcd",
                                                                    5)},
                                         SBadCase{"RawRowsShort", TgaHeader(2, 4, 4, 24) + std::string(47, 'x')},
                                         SBadCase{"PacketsShort",
                                                  TgaHeader(10, 4, 2, 24)
                                                      + std::string("\x83"
                                                                    "abc\x81",
                                                                    5)},
                                         // Each passes the size check made before decoding: the second
                                         // row's packet is cut inside its pixels.
                                         SBadCase{"RepeatCutInsideItsPixel",
                                                  TgaHeader(10, 2, 2, 24)
                                                      + std::string("\x01"
                                                                    "abcdef"
                                                                    "\x81"
                                                                    "ab",
                                                                    10)},
                                         SBadCase{"LiteralCutInsideItsPixels",
                                                  TgaHeader(10, 2, 2, 24)
                                                      + std::string("\x01"
                                                                    "abcdef"
                                                                    "\x01"
                                                                    "abcde",
                                                                    13)},
                                         SBadCase{"IdPastTheEnd",
                                                  [] {
                                                      std::string s = TgaHeader(2, 1, 1, 24);
                                                      s[0] = char(200);
                                                      return s + "abc";
                                                  }()}),
                         [](const testing::TestParamInfo<SBadCase>& param) { return std::string(param.param.name); });

TEST(BadTgaFatal, APacketAcrossTheRowEndIsTheCorruptFileReport)
{
    RegisterImagesClasses();
    CScopedHook<SetFatalTerminator> fatal(&ThrowingFatalTerminator);
    CTGAFileIO reader;
    // 2 x 2, bottom first: the first file row is frame row 1; its packet covers 3.
    const std::string b = TgaHeader(10, 2, 2, 24)
        + std::string("\x82"
                      "abc"
                      "\x81"
                      "abc",
                      8);
    CFrame frame;
    try {
        reader.DecodeFromMemory(frame, reinterpret_cast<const uint8_t*>(b.data()), uint32_t(b.size()), "x.tga", 24);
        FAIL() << "no report";
    } catch (const CFatalErrorException& e) {
        EXPECT_EQ(e.caption, "FATAL ERROR");
        EXPECT_EQ(e.message, "The TGA you loaded 'x.tga' is corrupt (line 1).");
    }
}

TEST_F(ImageFiles, APacketEndingExactlyAtTheRowEndIsValid)
{
    const std::string b = TgaHeader(10, 3, 1, 24)
        + std::string("\x82"
                      "abc",
                      4);
    CTGAFileIO reader;
    CFrame frame;
    EXPECT_TRUE(
        reader.DecodeFromMemory(frame, reinterpret_cast<const uint8_t*>(b.data()), uint32_t(b.size()), "x", 24));
}

TEST_F(ImageFiles, TwoImagesOfOneNameAreTheFatalReport)
{
    WriteBytes("Art/a.tga", "x");
    WriteBytes("Art/a.png", "x");
    CScopedHook<SetFatalTerminator> fatal(&ThrowingFatalTerminator);
    try {
        delete CFrameImageIO::FindImageFile("Art", "a", 0);
        FAIL() << "no report";
    } catch (const CFatalErrorException& e) {
        EXPECT_EQ(e.caption, "Fatal Error loading a frame");
        EXPECT_NE(e.message.find("has more than one image file of the same name"), std::string::npos);
    }
}

TEST_F(ImageFiles, TruncatedAndCorruptPngsAreRefused)
{
    std::string png = ReadBytes("png_rgba8.png");
    CPNGFileIO reader;
    CFrame frame;
    for (size_t cut : {size_t(0), size_t(8), size_t(30), png.size() / 2, png.size() - 13}) {
        const std::string part = png.substr(0, cut);
        EXPECT_FALSE(reader.DecodeFromMemory(frame, reinterpret_cast<const uint8_t*>(part.data()),
                                             uint32_t(part.size()), "p", 32))
            << cut;
    }
    png[40] = char(png[40] ^ 0x55); // inside IDAT: its CRC no longer matches
    EXPECT_FALSE(
        reader.DecodeFromMemory(frame, reinterpret_cast<const uint8_t*>(png.data()), uint32_t(png.size()), "p", 32));
}

TEST_F(ImageFiles, PngsThatDecodePastTheByteLimitAreRefused)
{
    CFrame frame;
    const uint64_t bytes = 13 * 6 * 3; // of decoded pixels
    {
        CScopedHook<SetImageDecodeByteLimit> limit(bytes - 1);
        EXPECT_FALSE(Decode("png_rgb8.png", frame));
    }
    CScopedHook<SetImageDecodeByteLimit> limit(bytes);
    EXPECT_TRUE(Decode("png_rgb8.png", frame));
}

class JpegFiles : public ImageFiles {
protected:
    // A 32 x 16 gradient written by the engine at quality 90.
    void WriteGradient(const char* path)
    {
        ASSERT_TRUE(m_Source.Create(32, 16, 24));
        for (uint32_t y = 0; y < 16; ++y)
            for (uint32_t x = 0; x < 32; ++x) {
                uint8_t* p = m_Source.Row(y) + x * 3;
                p[0] = uint8_t(x * 8);
                p[1] = uint8_t(y * 16);
                p[2] = uint8_t(128 + x * 2);
            }
        CJPEGFileIO writer;
        ASSERT_TRUE(writer.WriteImageFile(m_Source, path, 0));
    }
    CFrame m_Source;
};

TEST_F(JpegFiles, RoundTripStaysWithinTolerance)
{
    WriteGradient("g.jpg");
    CFrame frame;
    ASSERT_TRUE(LoadJPEGFile(frame, "g.jpg", 0));
    ASSERT_EQ(frame.GetBitDepth(), 24u);
    ASSERT_EQ(frame.GetWidth(), 32u);
    int worst = 0;
    for (uint32_t i = 0; i < 32 * 16 * 3; ++i)
        worst = std::max(worst, std::abs(int(frame.GetPixels()[i]) - int(m_Source.GetPixels()[i])));
    EXPECT_LE(worst, 12);
}

TEST_F(JpegFiles, EngineJpegOpensInAnIndependentDecoder)
{
    if (RunCommand("command -v djpeg") != 0) {
        std::printf("djpeg is not installed (scripts/setup installs it): the outside check is not tried.\n");
        GTEST_SKIP() << "no djpeg";
    }
    WriteGradient("g.jpg");
    ASSERT_EQ(RunCommand("djpeg -pnm -outfile g.ppm g.jpg"), 0);
    const std::string ppm = ReadBytes("g.ppm");
    const std::string header = "P6\n32 16\n255\n";
    ASSERT_EQ(ppm.substr(0, header.size()), header);
    ASSERT_EQ(ppm.size(), header.size() + 32 * 16 * 3);
    int worst = 0;
    for (uint32_t i = 0; i < 32 * 16; ++i)
        for (uint32_t c = 0; c < 3; ++c) {
            // The outside file is red first; frames keep blue first.
            const int outside = uint8_t(ppm[header.size() + i * 3 + c]);
            worst = std::max(worst, std::abs(outside - int(m_Source.GetPixels()[i * 3 + 2 - c])));
        }
    EXPECT_LE(worst, 12);
}

TEST_F(JpegFiles, ImagesThatDecodePastTheByteLimitAreRefused)
{
    WriteGradient("g.jpg");
    CFrame frame;
    const uint64_t bytes = 32 * 16 * 3; // of decoded pixels
    {
        CScopedHook<SetImageDecodeByteLimit> limit(bytes - 1);
        EXPECT_FALSE(LoadJPEGFile(frame, "g.jpg", 0));
    }
    CScopedHook<SetImageDecodeByteLimit> limit(bytes);
    EXPECT_TRUE(LoadJPEGFile(frame, "g.jpg", 0));
}

TEST_F(JpegFiles, TruncatedBeforeTheEndMarkerStillDecodesAndEmptyIsRefused)
{
    WriteGradient("g.jpg");
    std::string bytes = ReadBytes("g.jpg");
    WriteBytes("cut.jpg", bytes.substr(0, bytes.size() - 2));
    CFrame frame;
    EXPECT_TRUE(LoadJPEGFile(frame, "cut.jpg", 0));
    WriteBytes("empty.jpg", "");
    EXPECT_FALSE(LoadJPEGFile(frame, "empty.jpg", 0));
    WriteBytes("junk.jpg", "not a jpeg at all");
    EXPECT_FALSE(LoadJPEGFile(frame, "junk.jpg", 0));
}

// A progressive 64 x 64 colour file of the library's usual ten scans.
std::string ProgressiveJpeg()
{
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* bytes = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &bytes, &size);
    info.image_width = info.image_height = 64;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(64 * 3);
    while (info.next_scanline < 64) {
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = (unsigned char)(i * 5 + info.next_scanline * 3);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string out(reinterpret_cast<const char*>(bytes), size);
    std::free(bytes);
    return out;
}

// Each scan walks the whole picture however few bytes it has: a file that
// repeats one is refused, not walked once per repeat.
TEST_F(JpegFiles, AProgressiveFileRepeatingAScanIsRefused)
{
    std::string jpeg = ProgressiveJpeg();
    WriteBytes("p.jpg", jpeg);
    CFrame frame;
    ASSERT_TRUE(LoadJPEGFile(frame, "p.jpg", 0));
    const size_t last = jpeg.rfind("\xFF\xDA");
    const std::string scan = jpeg.substr(last, jpeg.size() - 2 - last);
    for (int i = 0; i < 100; ++i)
        jpeg.insert(jpeg.size() - 2, scan);
    WriteBytes("repeats.jpg", jpeg);
    ClearLastImageRefusal();
    EXPECT_FALSE(LoadJPEGFile(frame, "repeats.jpg", 0));
    EXPECT_NE(std::string(GetLastImageRefusal().GetString()).find("more scans than any image needs"),
              std::string::npos);
}

} // namespace

namespace {

// Hand-made baseline files (one 8 x 8 block per component, DC 0 with unit
// quantisers): every pixel decodes to mid grey.
class HandMadeJpeg : public testing::TestWithParam<const char*> {};

TEST_P(HandMadeJpeg, DecodesToMidGrey)
{
    RegisterImagesClasses();
    CFrame frame;
    ASSERT_TRUE(LoadJPEGFile(frame,
                             (std::string(OMBRISALT_TEST_IMAGES "/../../fuzz/corpus/jpeg_file/") + GetParam()).c_str(),
                             FILE_USER_FOLDER));
    ASSERT_EQ(frame.GetWidth(), 8u);
    ASSERT_EQ(frame.GetHeight(), 8u);
    for (uint32_t i = 0; i < 8 * 8 * 3; ++i)
        ASSERT_NEAR(frame.GetPixels()[i], 128, 1) << i;
}

INSTANTIATE_TEST_SUITE_P(Files, HandMadeJpeg, testing::Values("grey_8x8", "colour_8x8", "colour_8x8_no_end"));

} // namespace

namespace {

// png_rgb8.png with its header's width and height replaced (CRC fixed).
std::string PngWithSize(const std::string& png, uint32_t w, uint32_t h)
{
    std::string s = png;
    for (int i = 0; i < 4; ++i) {
        s[16 + i] = char(w >> (24 - 8 * i));
        s[20 + i] = char(h >> (24 - 8 * i));
    }
    const uint32_t crc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(s.data() + 12), 17));
    for (int i = 0; i < 4; ++i)
        s[29 + i] = char(crc >> (24 - 8 * i));
    return s;
}

TEST_F(ImageFiles, HostilePngSizesAreRefusedBeforeAllocating)
{
    const std::string png = ReadBytes("png_rgb8.png");
    CPNGFileIO reader;
    for (const auto& [w, h] :
         {std::pair<uint32_t, uint32_t>{65536, 1}, {1, 65536}, {65535, 65535}, {60000, 60000}, {0x7FFFFFFF, 1}}) {
        const std::string bad = PngWithSize(png, w, h);
        CFrame frame;
        EXPECT_FALSE(
            reader.DecodeFromMemory(frame, reinterpret_cast<const uint8_t*>(bad.data()), uint32_t(bad.size()), "p", 24))
            << w << "x" << h;
        EXPECT_EQ(frame.GetPixels(), nullptr);
    }
    const std::string same = PngWithSize(png, 13, 6);
    CFrame frame;
    EXPECT_TRUE(
        reader.DecodeFromMemory(frame, reinterpret_cast<const uint8_t*>(same.data()), uint32_t(same.size()), "p", 24));
}

} // namespace
