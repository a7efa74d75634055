// Decode bombs: files of a few bytes that claim huge images. Each is refused,
// and the heap it costs on the way (the peak of live bytes the decoder asked
// for, counted through the sanitizer's allocation hooks) stays under 64 MB.
#include "foundation/CFile.h"
#include "foundation/CMemFileBuf.h"
#include "images/CFrame.h"
#include "images/CFrameImageIO.h"
#include "images/CJPEGFileIO.h"
#include "images/CPNGFileIO.h"
#include "images/DataPixelBudget.h"
#include "images/FrameCache.h"
#include "images/PlainFrameCopy.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <utility>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define OMBRISALT_HEAP_HOOKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OMBRISALT_HEAP_HOOKS 1
#endif
#endif

#ifdef OMBRISALT_HEAP_HOOKS
// The sanitizer runtime's allocator interface (g++ ships no header for it).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*));
extern "C" size_t __sanitizer_get_allocated_size(const volatile void*);
#endif

namespace {

constexpr int64_t kRefusedCostLimit = int64_t(64) << 20;

// The peak of bytes allocated and not yet freed while a watch runs.
std::atomic<bool> g_Watching{false};
std::atomic<int64_t> g_Live{0};
std::atomic<int64_t> g_Peak{0};

#ifdef OMBRISALT_HEAP_HOOKS
void OnMalloc(const volatile void*, size_t size)
{
    if (!g_Watching)
        return;
    const int64_t live = g_Live += int64_t(size);
    int64_t peak = g_Peak;
    while (live > peak && !g_Peak.compare_exchange_weak(peak, live)) {}
}

void OnFree(const volatile void* block)
{
    if (g_Watching && block)
        g_Live -= int64_t(__sanitizer_get_allocated_size(block));
}
#endif

class HeapPeak {
public:
    HeapPeak()
    {
#ifdef OMBRISALT_HEAP_HOOKS
        static const bool installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
        (void)installed;
#endif
        g_Live = 0;
        g_Peak = 0;
        g_Watching = true;
    }
    ~HeapPeak()
    {
        g_Watching = false;
    }
    HeapPeak(const HeapPeak&) = delete;
    HeapPeak& operator=(const HeapPeak&) = delete;

    static int64_t Peak()
    {
        return g_Peak;
    }
};

void PutBig32(std::string& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += char(v >> shift);
}

void PutLittle32(std::string& out, uint32_t v)
{
    for (int shift = 0; shift <= 24; shift += 8)
        out += char(v >> shift);
}

void PutPngChunk(std::string& out, const char* type, const std::string& body)
{
    PutBig32(out, uint32_t(body.size()));
    std::string typed = std::string(type, 4) + body;
    out += typed;
    PutBig32(out, uint32_t(crc32(0, reinterpret_cast<const Bytef*>(typed.data()), uInt(typed.size()))));
}

// An all-transparent RGBA PNG, deflated row by row at level 9.
std::string ZeroPng(uint32_t width, uint32_t height)
{
    std::string ihdr;
    PutBig32(ihdr, width);
    PutBig32(ihdr, height);
    ihdr += std::string("\x08\x06\x00\x00\x00", 5);
    z_stream stream{};
    EXPECT_EQ(deflateInit(&stream, 9), Z_OK);
    std::vector<Bytef> row(size_t(width) * 4 + 1, 0);
    std::string idat;
    std::vector<Bytef> out(1 << 16);
    for (uint32_t y = 0; y <= height; ++y) {
        const bool last = y == height;
        stream.next_in = row.data();
        stream.avail_in = last ? 0 : uInt(row.size());
        do {
            stream.next_out = out.data();
            stream.avail_out = uInt(out.size());
            deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
            idat.append(reinterpret_cast<const char*>(out.data()), out.size() - stream.avail_out);
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    std::string png("\x89PNG\r\n\x1a\n", 8);
    PutPngChunk(png, "IHDR", ihdr);
    PutPngChunk(png, "IDAT", idat);
    PutPngChunk(png, "IEND", "");
    return png;
}

// A small baseline JPEG whose frame header then claims width x height.
std::string JpegClaiming(uint32_t width, uint32_t height)
{
    std::vector<uint8_t> pixels(16 * 16 * 3, 128);
    CFile file;
    auto* buffer = new CMemFileBuf;
    file.AttachFileBuf(buffer, FILE_READ | FILE_WRITE);
    EXPECT_TRUE(EncodeJPEG(file, pixels.data(), 16, 16, 75));
    std::string jpeg(reinterpret_cast<const char*>(buffer->GetData()), size_t(buffer->GetSize()));
    const size_t sof = jpeg.find("\xFF\xC0");
    EXPECT_NE(sof, std::string::npos);
    jpeg[sof + 5] = char(height >> 8);
    jpeg[sof + 6] = char(height);
    jpeg[sof + 7] = char(width >> 8);
    jpeg[sof + 8] = char(width);
    return jpeg;
}

class ImageSizeLimits : public CTempFolderTest {
protected:
    void SetUp() override
    {
#ifndef OMBRISALT_HEAP_HOOKS
        GTEST_SKIP() << "the heap is measured through the address sanitizer's hooks";
#endif
        CTempFolderTest::SetUp();
        RegisterImagesClasses();
        ClearLastImageRefusal();
    }

    // Decodes the bytes as the reader of ext does; answers whether a frame came out.
    static bool Decode(const char* ext, const std::string& bytes, CFrame& frame)
    {
        CFrameImageIO* reader = ext[1] == 'J' ? new CJPEGFileIO : CFrameImageIO::CreateForExtension(ext);
        EXPECT_TRUE(reader);
        const bool decoded = reader->DecodeFromMemory(frame, reinterpret_cast<const uint8_t*>(bytes.data()),
                                                      uint32_t(bytes.size()), "bomb", 0);
        delete reader;
        return decoded;
    }
    static bool ReadCache(const std::string& bytes, CFrame& frame)
    {
        WriteBytes("Cache/Art/bomb.Frame", bytes);
        return ReadFrameCacheFile(frame, "Art", "bomb");
    }
};

TEST_F(ImageSizeLimits, AreSixteenThousandOnASideAndTwoHundredFiftySixMegabytes)
{
    EXPECT_TRUE(ImageSizeAllowed(16384, 4096));
    EXPECT_FALSE(ImageSizeAllowed(16385, 1));
    EXPECT_FALSE(ImageSizeAllowed(1, 16385));
    EXPECT_TRUE(ImageSizeAllowed(8192, 8192));
    EXPECT_FALSE(ImageSizeAllowed(8192, 8193));
    EXPECT_FALSE(ImageSizeAllowed(0, 1));
}

struct SBomb {
    const char* name;
    const char* ext;
    uint32_t width;
    uint32_t height;
};

class JpegBomb : public ImageSizeLimits, public testing::WithParamInterface<SBomb> {};

TEST_P(JpegBomb, IsRefusedCheaplyAloneAndInAFrameCache)
{
    const SBomb& bomb = GetParam();
    const std::string jpeg = JpegClaiming(bomb.width, bomb.height);
    ASSERT_LT(jpeg.size(), 1000u);
    {
        CFrame frame;
        const HeapPeak watch;
        EXPECT_FALSE(Decode(".JPG", jpeg, frame));
        EXPECT_LT(HeapPeak::Peak(), kRefusedCostLimit);
        EXPECT_EQ(frame.GetPixels(), nullptr);
    }
    EXPECT_NE(std::string(GetLastImageRefusal().GetString()).find("refused"), std::string::npos);

    std::string cache(9, '\0'); // offsets 0, 0; body kind 0, JPEG
    PutLittle32(cache, uint32_t(jpeg.size() + 4));
    cache += jpeg;
    cache += std::string("\x01\x08\x00\x00\x00\x00\x00\x00\x00", 9) + std::string(8, '\0');
    CFrame frame;
    const HeapPeak watch;
    EXPECT_FALSE(ReadCache(cache, frame));
    EXPECT_LT(HeapPeak::Peak(), kRefusedCostLimit);
}

INSTANTIATE_TEST_SUITE_P(Claims, JpegBomb,
                         testing::Values(SBomb{"AboveTheLimits", ".JPG", 30000, 30000},
                                         SBomb{"MoreBlocksThanTheDataHolds", ".JPG", 8000, 8000}),
                         [](const testing::TestParamInfo<SBomb>& param) { return std::string(param.param.name); });

TEST_F(ImageSizeLimits, ALargePngIsDecodedOnlyOnceItsDataChecksOut)
{
    std::string png = ZeroPng(5000, 5000);
    ASSERT_LT(png.size(), 120000u);
    {
        CFrame frame;
        ASSERT_TRUE(Decode(".PNG", png, frame));
        ASSERT_EQ(frame.GetWidth(), 5000u);
        EXPECT_EQ(frame.Row(4999)[4 * 4999 + 3], 0);
    }
    // Damaged near its end: only a full decode could tell.
    png[png.size() - 40] ^= 0x55;
    CFrame frame;
    const HeapPeak watch;
    EXPECT_FALSE(Decode(".PNG", png, frame));
    EXPECT_LT(HeapPeak::Peak(), kRefusedCostLimit);
}

TEST_F(ImageSizeLimits, APngAboveTheLimitsIsRefusedWithAReport)
{
    std::string png = ZeroPng(16, 16);
    // Claimed height 20000, CRC of the header fixed up.
    png[16 + 4] = 0;
    png[16 + 5] = 0;
    png[16 + 6] = char(20000 >> 8);
    png[16 + 7] = char(20000 & 0xFF);
    const uint32_t crc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17));
    for (int i = 0; i < 4; ++i)
        png[29 + i] = char(crc >> (24 - 8 * i));
    CFrame frame;
    const HeapPeak watch;
    EXPECT_FALSE(Decode(".PNG", png, frame));
    EXPECT_LT(HeapPeak::Peak(), kRefusedCostLimit);
}

// A raw TGA holding every byte of its claimed pixels is still bounded by the
// absolute limits (a run-length one may claim 128 times its data).
TEST_F(ImageSizeLimits, ATgaAboveTheLimitsIsRefusedWithAReport)
{
    for (const uint32_t width : {16384u, 16385u}) {
        std::string tga(18, '\0');
        tga[2] = 2;
        tga[12] = char(width & 0xFF);
        tga[13] = char(width >> 8);
        tga[14] = 1;
        tga[16] = 24;
        tga += std::string(size_t(width) * 3, '\x40');
        ClearLastImageRefusal();
        CFrame frame;
        std::unique_ptr<CFrameImageIO> reader(CFrameImageIO::CreateForExtension(".TGA"));
        ASSERT_TRUE(reader);
        EXPECT_EQ(reader->DecodeFromMemory(frame, reinterpret_cast<const uint8_t*>(tga.data()), uint32_t(tga.size()),
                                           "wide", 24),
                  width <= kMaxImageSide)
            << width;
        EXPECT_EQ(GetLastImageRefusal().GetLength() == 0, width <= kMaxImageSide) << width;
    }
}

// Lossless cache body: a compressed block of the four planes, then w, h.
std::string LosslessCache(uint32_t width, uint32_t height, uint32_t compressedSize)
{
    std::string cache(8, '\0');
    cache += '\x01';
    cache += '\x01';
    PutLittle32(cache, compressedSize);
    PutLittle32(cache, width * height * 4);
    std::string stream(compressedSize, '\0');
    for (size_t i = 0; i < stream.size(); ++i)
        stream[i] = char(i * 2654435761u >> 13);
    cache += stream;
    PutLittle32(cache, width);
    PutLittle32(cache, height);
    return cache;
}

struct SLosslessBomb {
    const char* name;
    uint32_t side;
    uint32_t compressedSize; // enough for deflate to reach the claimed planes
};

class LosslessCacheBomb : public ImageSizeLimits, public testing::WithParamInterface<SLosslessBomb> {};

TEST_P(LosslessCacheBomb, IsRefusedBeforeItsPlanesAreAllocated)
{
    const SLosslessBomb& bomb = GetParam();
    CFrame frame;
    const std::string cache = LosslessCache(bomb.side, bomb.side, bomb.compressedSize);
    const HeapPeak watch;
    EXPECT_FALSE(ReadCache(cache, frame));
    EXPECT_LT(HeapPeak::Peak(), kRefusedCostLimit);
}

INSTANTIATE_TEST_SUITE_P(Claims, LosslessCacheBomb,
                         testing::Values(SLosslessBomb{"AboveTheLimits", 16000, 1000000},
                                         SLosslessBomb{"DamagedWithinTheLimits", 5000, 100000}),
                         [](const testing::TestParamInfo<SLosslessBomb>& param) {
                             return std::string(param.param.name);
                         });

// A JPEG-bodied cache is read through a 24-bit frame copied to 32 bits: the
// copy is made once, in its destination (a sequence's atlas may be 256 MB).
TEST_F(ImageSizeLimits, AFrameCopiedToAnotherDepthIsHeldOnce)
{
    CFrame colour;
    ASSERT_TRUE(colour.Create(1024, 1024, 24));
    std::memset(colour.GetPixels(), 0x55, size_t(1024) * 1024 * 3);
    CFrame copy;
    {
        const HeapPeak watch;
        ASSERT_TRUE(CopyPlainFrameToDepth(colour, copy, 32));
        EXPECT_LT(HeapPeak::Peak(), int64_t(1024) * 1024 * 4 * 3 / 2);
    }
    EXPECT_EQ(copy.Row(1023)[4 * 1023 + 2], 0x55);
    EXPECT_EQ(copy.Row(1023)[4 * 1023 + 3], 0xFF);
    ASSERT_TRUE(CopyPlainFrameToDepth(copy, copy, 24));
    EXPECT_EQ(copy.GetBitDepth(), 24u);
    EXPECT_EQ(copy.Row(0)[0], 0x55);
}

// Read for a frame the data's budget is charged for (a frame list's, a
// sequence's), an image past what is left is refused from its header, by
// every reader and the frame cache alike: it is never decoded. The refusal
// holds in every build; the heap it costs is measured in the sanitizer's.
class ImageDataBudget : public ImageSizeLimits {
protected:
    static constexpr uint32_t kSide = 2048; // 16 MB of pixels

    void SetUp() override
    {
        CTempFolderTest::SetUp();
        RegisterImagesClasses();
        ClearLastImageRefusal();
        std::string tga(18, '\0'); // run-length, 24-bit, packets of 128 pixels
        tga[2] = 10;
        tga[12] = char(kSide & 0xFF);
        tga[13] = char(kSide >> 8);
        tga[14] = char(kSide & 0xFF);
        tga[15] = char(kSide >> 8);
        tga[16] = 24;
        for (uint32_t i = 0; i < kSide * kSide / 128; ++i)
            tga += "\xFF\x10\x20\x30";
        std::string jpeg;
        {
            std::vector<uint8_t> pixels(size_t(kSide) * kSide * 3, 128);
            CFile file;
            auto* buffer = new CMemFileBuf;
            file.AttachFileBuf(buffer, FILE_READ | FILE_WRITE);
            ASSERT_TRUE(EncodeJPEG(file, pixels.data(), kSide, kSide, 75));
            jpeg.assign(reinterpret_cast<const char*>(buffer->GetData()), size_t(buffer->GetSize()));
        }
        CFrame frame;
        ASSERT_TRUE(frame.Create(kSide, kSide, 32));
        std::memset(frame.GetPixels(), 0x40, size_t(kSide) * kSide * 4);
        ASSERT_TRUE(WriteFrameCacheFile(frame, "Art", "big", 65, true));
        m_Images = {{".TGA", tga}, {".PNG", ZeroPng(kSide, kSide)}, {".JPG", jpeg}, {"cache", ""}};
    }

    static bool Read(const std::string& ext, const std::string& bytes, CFrame& frame)
    {
        if (ext == "cache")
            return ReadFrameCacheFile(frame, "Art", "big");
        if (ext != ".TGA")
            return Decode(ext.c_str(), bytes, frame);
        std::unique_ptr<CFrameImageIO> reader(CFrameImageIO::CreateForExtension(ext.c_str()));
        return reader->DecodeFromMemory(frame, reinterpret_cast<const uint8_t*>(bytes.data()), uint32_t(bytes.size()),
                                        "big", 24);
    }

    std::vector<std::pair<std::string, std::string>> m_Images; // ending, bytes
};

TEST_F(ImageDataBudget, AnImagePastTheDataBudgetIsRefusedFromItsHeader)
{
    const uint64_t budget = SetDataPixelBudget(GetDataPixelBytesHeld() + 1000 * 4);
    for (const auto& [ext, bytes] : m_Images) {
        const CChargedImageScope charged("Art/big");
        ClearLastImageRefusal();
        CFrame frame;
        EXPECT_FALSE(Read(ext, bytes, frame)) << ext;
        EXPECT_EQ(frame.GetPixels(), nullptr) << ext;
        EXPECT_TRUE(charged.Refused()) << ext;
        EXPECT_NE(std::string(GetLastImageRefusal().GetString()).find("\"Art/big\" refused: the data's images"),
                  std::string::npos)
            << ext << ": " << GetLastImageRefusal().GetString();
    }
    // Outside such a scope (or with room in the budget) each decodes.
    for (const auto& [ext, bytes] : m_Images) {
        CFrame frame;
        EXPECT_TRUE(Read(ext, bytes, frame)) << ext;
        EXPECT_EQ(frame.GetWidth(), kSide) << ext;
    }
    SetDataPixelBudget(budget);
}

class ImageDataBudgetHeap : public ImageDataBudget {
protected:
    void SetUp() override
    {
#ifndef OMBRISALT_HEAP_HOOKS
        GTEST_SKIP() << "the heap is measured through the address sanitizer's hooks";
#endif
        ImageDataBudget::SetUp();
    }
};

TEST_F(ImageDataBudgetHeap, AnImagePastTheDataBudgetIsRefusedBeforeItIsDecoded)
{
    const uint64_t budget = SetDataPixelBudget(GetDataPixelBytesHeld() + 1000 * 4);
    for (const auto& [ext, bytes] : m_Images) {
        const CChargedImageScope charged("Art/big");
        CFrame frame;
        const HeapPeak watch;
        EXPECT_FALSE(Read(ext, bytes, frame)) << ext;
        EXPECT_LT(HeapPeak::Peak(), int64_t(kSide) * kSide) << ext;
    }
    SetDataPixelBudget(budget);
}

} // namespace
