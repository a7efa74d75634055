#include "images/FrameCache.h"

#include "foundation/CFile.h"
#include "foundation/CMemFileBuf.h"
#include "foundation/CompressedBlock.h"
#include "foundation/FatalError.h"
#include "images/CFrame.h"
#include "images/CFrameFilter.h"
#include "images/CFrameImageIO.h"
#include "images/CJPEGFileIO.h"
#include "images/CPNGFileIO.h"
#include "images/CTGAFileIO.h"
#include "support/ReplacedOperatorNew.h"
#include "support/ScopedHooks.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A 32-bit frame with every pixel distinct and its alpha varied.
void Fill(CFrame& frame, uint32_t w, uint32_t h, uint32_t seed = 0)
{
    ASSERT_TRUE(frame.Create(w, h, 32));
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            uint8_t* p = frame.Row(y) + x * 4;
            p[0] = uint8_t(x * 9 + seed);
            p[1] = uint8_t(y * 13 + seed);
            p[2] = uint8_t(x * y + seed);
            p[3] = uint8_t(255 - x - y);
        }
}

std::string BodyOf(CFrame& frame, uint32_t quality, bool lossless)
{
    CFile file;
    auto* buffer = new CMemFileBuf;
    file.AttachFileBuf(buffer, FILE_READ | FILE_WRITE);
    EXPECT_TRUE(WriteFrameBody(frame, file, quality, lossless));
    return std::string(reinterpret_cast<const char*>(buffer->GetData()), size_t(buffer->GetSize()));
}

bool ReadBody(const std::string& bytes, CFrame& frame)
{
    CFile file;
    file.AttachFileBuf(CMemFileBuf::WrapReadOnly(bytes.data(), uint32_t(bytes.size())), FILE_READ);
    return ReadFrameBody(frame, file);
}

class FrameCache : public CTempFolderTest {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        RegisterImagesClasses();
    }

    CScopedFrameNoJPEG m_NoJpeg{false};
    CScopedFrameOptionFlag m_OptionFlag{true};
    CScopedGlobalBitDepth m_Depth{32};

    // A 32-bit TGA source of the given seed in Art/.
    void WriteSource(const char* name, uint32_t seed)
    {
        CFrame frame;
        Fill(frame, 16, 8, seed);
        CTGAFileIO writer;
        ASSERT_TRUE(writer.WriteImageFile(frame, (std::string("Art/") + name + ".tga").c_str(), FILE_MAKE_FOLDERS));
    }
    // The first blue byte of Art/<name> loaded through the cache; -1 when it fails.
    static int Load(const char* name)
    {
        CFrameFilter none;
        CFrame frame;
        return frame.Load("Art", name, &none, 0, 0) ? frame.Row(0)[0] : -1;
    }
};

TEST_F(FrameCache, LosslessPlanesAreDeltaCodedRedGreenBlueAlpha)
{
    CFrame frame;
    ASSERT_TRUE(frame.Create(2, 1, 32));
    const uint8_t pixels[] = {1, 2, 3, 4, 1, 2, 5, 4};
    std::memcpy(frame.GetPixels(), pixels, 8);
    const std::string body = BodyOf(frame, 65, true);
    ASSERT_EQ(body[0], 1);
    CFile file;
    file.AttachFileBuf(CMemFileBuf::WrapReadOnly(body.data() + 1, uint32_t(body.size() - 1)), FILE_READ);
    uint32_t size = 0;
    uint8_t* planes = CFileCompressor::ReadCompressed(file, size, UINT32_MAX);
    ASSERT_EQ(size, 8u);
    const uint8_t expected[] = {3, 2, 2, 0, 1, 0, 4, 0};
    EXPECT_EQ(std::memcmp(planes, expected, 8), 0);
    std::free(planes);
    uint32_t w = 0, h = 0;
    EXPECT_TRUE(file.TryReadUint32(w) && file.TryReadUint32(h));
    EXPECT_EQ(w, 2u);
    EXPECT_EQ(h, 1u);
}

TEST_F(FrameCache, LosslessBodyReadsBackExactly)
{
    CFrame frame, back;
    Fill(frame, 37, 11);
    ASSERT_TRUE(ReadBody(BodyOf(frame, 65, true), back));
    ASSERT_EQ(back.GetWidth(), 37u);
    EXPECT_EQ(std::memcmp(back.GetPixels(), frame.GetPixels(), 37 * 11 * 4), 0);
}

TEST_F(FrameCache, JpegBodyKeepsAlphaExactAndColourClose)
{
    // A noisy gradient: the planes compress badly, JPEG well.
    CFrame frame, back;
    ASSERT_TRUE(frame.Create(64, 64, 32));
    uint32_t seed = 7;
    for (uint32_t y = 0; y < 64; ++y)
        for (uint32_t x = 0; x < 64; ++x) {
            uint8_t* p = frame.Row(y) + x * 4;
            for (int c = 0; c < 3; ++c) {
                seed = seed * 1103515245u + 12345u;
                p[c] = uint8_t(x * 2 + y + c * 40 + ((seed >> 16) & 7));
            }
            p[3] = uint8_t(x < 32 ? 255 : 0);
        }
    const std::string body = BodyOf(frame, 50, false);
    ASSERT_EQ(body[0], 0);
    ASSERT_TRUE(ReadBody(body, back));
    long total = 0;
    for (uint32_t i = 0; i < 64 * 64 * 4; ++i) {
        if (i % 4 == 3)
            ASSERT_EQ(back.GetPixels()[i], frame.GetPixels()[i]);
        else
            total += std::abs(int(back.GetPixels()[i]) - int(frame.GetPixels()[i]));
    }
    EXPECT_LE(total / (64 * 64 * 3), 6);
}

TEST_F(FrameCache, NoJpegFlagForcesLosslessBodies)
{
    SetFrameNoJPEG(true);
    CFrame frame;
    ASSERT_TRUE(frame.Create(64, 64, 32));
    EXPECT_EQ(BodyOf(frame, 65, false)[0], 1);
}

TEST(FrameCacheChoice, JpegWinsOnlyBelowNinetyFivePercentLessTwoHundred)
{
    EXPECT_FALSE(PrefersJpegBody(1000, 1260));
    EXPECT_TRUE(PrefersJpegBody(1000, 1270));
}

struct SCorruption {
    const char* name;
    size_t offset; // byte changed, or the length kept when cut
    bool cut;
};

class CorruptBody : public FrameCache, public testing::WithParamInterface<SCorruption> {};

TEST_P(CorruptBody, IsAMissNeverACrash)
{
    CFrame frame;
    Fill(frame, 20, 10);
    std::string body = BodyOf(frame, 65, true);
    const SCorruption c = GetParam();
    if (c.cut)
        body.resize(std::min(body.size(), c.offset));
    else
        body[std::min(body.size() - 1, c.offset)] ^= 0x5A;
    CFrame back;
    EXPECT_FALSE(ReadBody(body, back));
    EXPECT_EQ(back.GetPixels(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Bodies, CorruptBody,
                         testing::Values(SCorruption{"Empty", 0, true}, SCorruption{"KindOnly", 1, true},
                                         SCorruption{"HalfBlock", 30, true}, SCorruption{"NoSize", 4096, false},
                                         SCorruption{"UnknownKind", 0, false}, SCorruption{"BlockSizeLies", 6, false},
                                         SCorruption{"WidthLies", 100000, false}),
                         [](const testing::TestParamInfo<SCorruption>& param) {
                             return std::string(param.param.name);
                         });

TEST_F(FrameCache, IsBuiltOnceReusedWhileTheSourceIsOlderAndRebuiltWhenNewer)
{
    WriteSource("star", 1);
    EXPECT_EQ(Load("star"), 1);
    ASSERT_TRUE(DiskHas("Cache/Art/star.Frame"));
    SetWriteTime("Cache/Art/star.Frame", 2000000000);
    WriteSource("star", 2);
    SetWriteTime("Art/star.tga", 1900000000);
    EXPECT_EQ(Load("star"), 1) << "the cache was not reused";
    SetWriteTime("Art/star.tga", 2100000000);
    EXPECT_EQ(Load("star"), 2) << "the newer source was not built";
}

TEST_F(FrameCache, ANewerPropertiesFileRebuildsToo)
{
    WriteSource("star", 1);
    EXPECT_EQ(Load("star"), 1);
    SetWriteTime("Cache/Art/star.Frame", 2000000000);
    WriteSource("star", 3);
    SetWriteTime("Art/star.tga", 1900000000);
    WriteBytes("Art/star.txt", "CStandAloneFrame\r\n{\r\n}\r\n");
    SetWriteTime("Art/star.txt", 2100000000);
    EXPECT_EQ(Load("star"), 3);
}

TEST_F(FrameCache, ACorruptCacheIsRebuiltFromTheSource)
{
    WriteSource("star", 4);
    EXPECT_EQ(Load("star"), 4);
    WriteBytes("Cache/Art/star.Frame", std::string(20, '\x01'));
    SetWriteTime("Cache/Art/star.Frame", 1000000000);
    SetWriteTime("Art/star.tga", 1100000000);
    EXPECT_EQ(Load("star"), 4);
    // Without a source the corrupt cache is a plain failure.
    WriteBytes("Cache/Art/moon.Frame", std::string(20, '\x01'));
    EXPECT_EQ(Load("moon"), -1);
}

TEST_F(FrameCache, ADamagedCacheNewerThanItsSourceIsRebuilt)
{
    WriteSource("star", 4);
    SetWriteTime("Art/star.tga", 1500000000);
    EXPECT_EQ(Load("star"), 4);
    WriteBytes("Cache/Art/star.Frame", std::string(20, '\x01'));
    SetWriteTime("Cache/Art/star.Frame", 1600000000);
    EXPECT_EQ(Load("star"), 4);
    std::remove("Art/star.tga");
    EXPECT_EQ(Load("star"), 4) << "the cache was not written again";
}

// Saves a new picture over the source once, while its cache is being
// written: the cache is read back just after it was written.
bool g_SavedDuringBuild = false;

void SaveSourceDuringBuild(const char* name)
{
    if (g_SavedDuringBuild || !std::strstr(name, "star.Frame"))
        return;
    g_SavedDuringBuild = true;
    CFrame frame;
    Fill(frame, 16, 8, 2);
    CTGAFileIO writer;
    ASSERT_TRUE(writer.WriteImageFile(frame, "Art/star.tga", 0));
    // Saved after the build read it, but before the cache's own time.
    SetWriteTime("Art/star.tga", 1600000000);
}

TEST_F(FrameCache, ASourceSavedWhileItsCacheIsBuiltIsBuiltAgain)
{
    WriteSource("star", 1);
    SetWriteTime("Art/star.tga", 1500000000);
    g_SavedDuringBuild = false;
    {
        const CScopedFileOpenHook hook(SaveSourceDuringBuild);
        const CScopedOpenNotifications enabled(true);
        EXPECT_EQ(Load("star"), 1);
    }
    ASSERT_TRUE(g_SavedDuringBuild);
    EXPECT_EQ(Load("star"), 2) << "the cache of the old picture counts as up to date";
    EXPECT_EQ(Load("star"), 2);
}

TEST_F(FrameCache, AnUnwritableCacheFolderStillLoads)
{
    WriteSource("star", 5);
    WriteBytes("Cache", "a file where the cache folder would be");
    EXPECT_EQ(Load("star"), 5);
}

TEST_F(FrameCache, ShippedWithoutSourcesLoadsFromTheCache)
{
    WriteSource("star", 6);
    EXPECT_EQ(Load("star"), 6);
    std::remove("Art/star.tga");
    EXPECT_EQ(Load("star"), 6);
}

std::string RecordOf(CFrame& frame)
{
    CFile file;
    auto* buffer = new CMemFileBuf;
    file.AttachFileBuf(buffer, FILE_READ | FILE_WRITE);
    EXPECT_TRUE(WriteFrameRecord(frame, file));
    return std::string(reinterpret_cast<const char*>(buffer->GetData()), size_t(buffer->GetSize()));
}

bool ReadRecord(const std::string& bytes, CFrame& frame)
{
    CFile file;
    file.AttachFileBuf(CMemFileBuf::WrapReadOnly(bytes.data(), uint32_t(bytes.size())), FILE_READ);
    return ReadFrameRecord(frame, file);
}

TEST_F(FrameCache, RecordsRoundTripAndRefuseOtherVersionsAndShortFiles)
{
    CFrame frame, back;
    Fill(frame, 5, 3);
    frame.SetOffset(-2, -1);
    std::string record = RecordOf(frame);
    ASSERT_EQ(record.size(), 36u + 5 * 3 * 4 + 3 * 4);
    ASSERT_TRUE(ReadRecord(record, back));
    EXPECT_EQ(back.GetOffsetX(), -2);
    EXPECT_EQ(back.GetOffsetY(), -1);
    EXPECT_EQ(std::memcmp(back.GetPixels(), frame.GetPixels(), 60), 0);
    record[0] = '4';
    CFrame untouched;
    Fill(untouched, 2, 2);
    EXPECT_FALSE(ReadRecord(record, untouched));
    EXPECT_NE(untouched.GetPixels(), nullptr);
    record[0] = '5';
    EXPECT_FALSE(ReadRecord(record.substr(0, record.size() - 1), back));
}

// A plain record's pixel block must be exactly width x height x bytes per
// pixel; the file is cut or grown to match the size it claims, so only
// that check stands between the record and a short or overrun frame.
TEST_F(FrameCache, APlainRecordWhosePixelBlockIsNotTheFramesSizeIsRefused)
{
    CFrame frame;
    Fill(frame, 5, 3);
    const std::string record = RecordOf(frame);
    for (const int32_t change : {-4, 4}) {
        std::string bytes = record;
        const uint32_t size = uint32_t(5 * 3 * 4 + change);
        for (int i = 0; i < 4; ++i)
            bytes[16 + i] = char(size >> (8 * i));
        if (change < 0)
            bytes.erase(36, size_t(-change));
        else
            bytes.insert(36, size_t(change), 'x');
        CFrame back;
        EXPECT_FALSE(ReadRecord(bytes, back)) << change;
        EXPECT_EQ(back.GetPixels(), nullptr) << change;
    }
}

// Notes the largest request of this thread while it lives, and refuses the
// huge ones: a reader that trusts a length its file cannot back fails its
// test here instead of taking gigabytes, in every build.
class CRequestWatch {
public:
    CRequestWatch()
    {
        s_Largest = 0;
        g_RequestObserver = &Observe;
    }
    ~CRequestWatch() { g_RequestObserver = nullptr; }
    CRequestWatch(const CRequestWatch&) = delete;
    CRequestWatch& operator=(const CRequestWatch&) = delete;
    static std::size_t Largest() { return s_Largest; }

private:
    static bool Observe(std::size_t size)
    {
        s_Largest = std::max(s_Largest, size);
        return size < (std::size_t(1) << 28);
    }
    static inline thread_local std::size_t s_Largest = 0;
};

// Below 4 the length field cannot hold itself: refused before a stream of
// about 4 GB is asked for.
TEST_F(FrameCache, AJpegBodyLengthBelowFourIsRefused)
{
    for (const uint8_t length : {0, 1, 3}) {
        std::string body(1, '\0');
        body += std::string(1, char(length)) + std::string(3, '\0') + std::string(64, 'j');
        CFrame back;
        const CRequestWatch watch;
        bool read = false;
        try {
            read = ReadBody(body, back);
        } catch (const std::bad_alloc&) {
            // The watch refused the request; its size is checked below.
        }
        EXPECT_FALSE(read) << int(length);
        EXPECT_LT(CRequestWatch::Largest(), std::size_t(1) << 20) << int(length);
    }
}

TEST_F(FrameCache, AJpegAlphaBlockLargerThanThePictureIsRefusedBeforeItIsInflated)
{
    CFrame frame, back;
    Fill(frame, 8, 8);
    CFile file;
    file.AttachFileBuf(new CMemFileBuf, FILE_READ | FILE_WRITE);
    file.WriteUint8(0).WriteUint32(0);
    ASSERT_TRUE(WriteFrameAsJPEG(frame, file, 65));
    const int64_t alphaAt = file.GetPosition();
    ASSERT_TRUE(file.Seek(1));
    file.WriteUint32(uint32_t(alphaAt - 1));
    ASSERT_TRUE(file.Seek(alphaAt));
    // A thousand times the picture: small here, a gigabyte in a hostile cache.
    const std::string alpha(8 * 8 * 1000, '\0');
    ASSERT_TRUE(CFileCompressor::WriteCompressed(file, alpha.data(), uint32_t(alpha.size()), 9));
    ASSERT_TRUE(file.Seek(0));
    EXPECT_FALSE(ReadFrameBody(back, file));
    EXPECT_EQ(file.GetPosition(), alphaAt + 9) << "only the block's header is read";
}

// The JPEG inside a cache is decoded from memory: its refusal still names
// the cache file, so that the data's author can find it.
TEST_F(FrameCache, AJpegBodyRefusedNamesItsCacheFile)
{
    CFrame frame, back;
    Fill(frame, 8, 8);
    CFile file;
    ASSERT_TRUE(file.Open("Cache/Art/pic.Frame", FILE_CREATE | FILE_WRITE | FILE_MAKE_FOLDERS));
    file.WriteUint32(0).WriteUint32(0).WriteUint8(0).WriteUint32(0);
    ASSERT_TRUE(WriteFrameAsJPEG(frame, file, 65));
    const int64_t alphaAt = file.GetPosition();
    ASSERT_TRUE(file.Seek(9));
    file.WriteUint32(uint32_t(alphaAt - 9));
    ASSERT_TRUE(file.Seek(alphaAt));
    const std::string alpha(8 * 8, '\xFF');
    ASSERT_TRUE(CFileCompressor::WriteCompressed(file, alpha.data(), uint32_t(alpha.size()), 9));
    ASSERT_TRUE(file.Close());
    ASSERT_TRUE(ReadFrameCacheFile(back, "Art", "pic"));

    CScopedHook<SetImageDecodeByteLimit> limit(8 * 8 * 3 - 1);
    ClearLastImageRefusal();
    EXPECT_FALSE(ReadFrameCacheFile(back, "Art", "pic"));
    const std::string refusal = GetLastImageRefusal().GetString();
    EXPECT_NE(refusal.find("Image \"Cache/Art/pic.Frame\" refused"), std::string::npos) << refusal;
}

TEST_F(FrameCache, ARecordBlockAboveSixteenMillionIsFatal)
{
    CFrame frame;
    Fill(frame, 2, 2);
    std::string record = RecordOf(frame);
    record[16] = char(0x01);
    record[17] = char(0x24);
    record[18] = char(0xF4);
    record[19] = char(0x00); // 16,000,001
    CScopedHook<SetFatalTerminator> fatal(&ThrowingFatalTerminator);
    CFrame back;
    try {
        ReadRecord(record, back);
        FAIL() << "no report";
    } catch (const CFatalErrorException& e) {
        EXPECT_EQ(e.caption, "Fatal Error loading a frame");
        EXPECT_EQ(e.message, "The *.frm file is corrupt, change the FRAME_FILE_VERSION number.");
    }
}

TEST_F(FrameCache, RecordExtensionFollowsTheCacheModeAndDepth)
{
    SetFrameOptionFlag(true);
    EXPECT_STREQ(GetFrameRecordExtension(), "FRAME");
    SetFrameOptionFlag(false);
    const std::pair<uint32_t, const char*> cases[]
        = {{0, "frm"}, {8, "frm"}, {16, "frm16"}, {24, "frm24"}, {32, "frm32"}, {12, nullptr}};
    for (const auto& [depth, ext] : cases) {
        CFrame::SetGlobalBitDepth(depth);
        if (ext)
            EXPECT_STREQ(GetFrameRecordExtension(), ext) << depth;
        else
            EXPECT_EQ(GetFrameRecordExtension(), nullptr) << depth;
    }
}

} // namespace
