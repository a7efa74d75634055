#include "SequenceTestSupport.h"

#include "foundation/ArchiveSeam.h"
#include "foundation/CFile.h"
#include "foundation/CMemFileBuf.h"
#include "foundation/CompressedBlock.h"
#include "images/CFilterRLEColor0.h"
#include "images/CFrame.h"
#include "images/DataPixelBudget.h"
#include "images/FrameCache.h"
#include "objects/CObject.h"
#include "platform/FileSystem.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceFrameInfoList.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

std::unique_ptr<CFrame> Solid(uint32_t width, uint32_t height, uint8_t shade, int16_t x = 0, int16_t y = 0)
{
    auto frame = CFrame::MakeOwned(width, height, 32);
    for (uint32_t row = 0; row < height; ++row)
        for (uint32_t column = 0; column < width; ++column) {
            uint8_t* p = frame->Row(row) + column * 4;
            p[0] = shade, p[1] = uint8_t(column), p[2] = uint8_t(row), p[3] = 255;
        }
    frame->SetOffset(x, y);
    return frame;
}

struct SCacheContents {
    std::unique_ptr<CObject> sequence;
    std::unique_ptr<CSequenceFrameInfoList> list;
    std::unique_ptr<CFrame> atlas = std::make_unique<CFrame>();
    bool atlasRead = false;
};

// Reads a cache file's pieces directly.
SCacheContents ReadCacheFile(const char* path)
{
    SCacheContents out;
    CFile file;
    if (!file.Open(path, FILE_READ))
        return out;
    uint32_t size = 0;
    uint8_t* block = CFileCompressor::ReadCompressed(file, size, UINT32_MAX);
    if (!block)
        return out;
    CObjectStream text;
    EXPECT_TRUE(text.Attach(CMemFileBuf::Adopt(block, size), FILE_READ, IdMode::WithoutIds));
    out.sequence.reset(ReadObjectFromStream(text));
    out.list.reset(dynamic_cast<CSequenceFrameInfoList*>(ReadObjectFromStream(text)));
    out.atlasRead = ReadFrameBody(*out.atlas, file);
    return out;
}

std::string Rect(const CFrameInfo* info)
{
    if (!info)
        return "null";
    return std::to_string(info->m_Left) + "," + std::to_string(info->m_Top) + "," + std::to_string(info->m_Right) + ","
        + std::to_string(info->m_Bottom);
}

// The sequence's binary form, as the cache stores it.
std::string BinaryFormOf(CSequence& sequence)
{
    auto* buffer = new CMemFileBuf();
    CObjectStream out;
    if (!out.Attach(buffer, FILE_CREATE | FILE_WRITE, IdMode::WithIds))
        return {};
    out.SetBinary();
    sequence.WriteBin(out);
    out.Finish();
    const uint32_t size = uint32_t(buffer->GetSize());
    out.DetachFileBuf();
    uint8_t* data = buffer->DetachMemory();
    delete buffer;
    std::string bytes(reinterpret_cast<const char*>(data), size);
    std::free(data);
    return bytes;
}

// Reads a binary form into the sequence; false when refused.
bool ReadBinaryForm(const std::string& bytes, CSequence& sequence)
{
    auto* copy = static_cast<uint8_t*>(std::malloc(bytes.size()));
    std::memcpy(copy, bytes.data(), bytes.size());
    CObjectStream in;
    if (!in.Attach(CMemFileBuf::Adopt(copy, uint32_t(bytes.size())), FILE_READ, IdMode::WithIds))
        return false;
    in.SetBinary();
    return sequence.ReadBin(in);
}

class SequenceCache : public SequenceFolderTest {
protected:
    // The object text of a cache file, and the bytes after its block (the atlas).
    static std::pair<std::string, std::string> SplitCache(const std::string& path)
    {
        CFile file;
        EXPECT_TRUE(file.Open(path.c_str(), FILE_READ));
        uint32_t size = 0;
        uint8_t* block = CFileCompressor::ReadCompressed(file, size, UINT32_MAX);
        std::string text(reinterpret_cast<const char*>(block), size);
        std::free(block);
        const std::string whole = ReadBytes(path);
        const uint32_t packed = uint8_t(whole[1]) | uint8_t(whole[2]) << 8 | uint8_t(whole[3]) << 16
                                | uint32_t(uint8_t(whole[4])) << 24;
        return {text, whole.substr(9 + packed)};
    }
    static void WriteCache(const std::string& path, const std::string& text, const std::string& atlas)
    {
        CFile file;
        ASSERT_TRUE(file.Open(path.c_str(), FILE_CREATE | FILE_WRITE));
        ASSERT_TRUE(CFileCompressor::WriteCompressed(file, text.data(), uint32_t(text.size()), 6));
        ASSERT_TRUE(file.Close());
        WriteBytes(path, ReadBytes(path) + atlas);
    }
    void ThreeImages(const std::string& name = "Walk")
    {
        WriteTga("Seqs/-" + name + "/a.tga", 8, 8, 0xFF102030u);
        WriteTga("Seqs/-" + name + "/b.tga", 12, 8, 0xFF405060u);
        WriteTga("Seqs/-" + name + "/c.tga", 16, 4, 0x80708090u);
    }
    // Every file of the sequence ten seconds old, the cache newest.
    void AgeSources(const std::string& name = "Walk")
    {
        for (const char* file : {"a.tga", "b.tga", "c.tga", "Properties.txt"})
            if (DiskHas("Seqs/-" + name + "/" + file))
                SetWriteTime("Seqs/-" + name + "/" + file, 1000000000);
        SetWriteTime("Cache/Seqs/" + name + ".Sequence", 1000000100);
    }
};

TEST_F(SequenceCache, AtlasPlacesFramesSideBySide)
{
    CSequence sequence;
    sequence.ResetToDefaults();
    sequence.AppendFrame(Solid(10, 8, 1, -5, -4).release(), CropColor0::No, CentreHotSpot::No);
    sequence.AppendFrame(Solid(20, 12, 2).release(), CropColor0::No, CentreHotSpot::No);
    sequence.AppendFrame(Solid(5, 4, 3, 7, 9).release(), CropColor0::No, CentreHotSpot::No);
    ASSERT_TRUE(sequence.SaveToCache("L", "S", 80, true, false));
    SCacheContents cache = ReadCacheFile("Cache/L/S.Sequence");
    ASSERT_TRUE(cache.list);
    ASSERT_EQ(cache.list->GetCount(), 3u);
    EXPECT_EQ(Rect(cache.list->GetAt(0)), "0,0,10,8");
    EXPECT_EQ(Rect(cache.list->GetAt(1)), "10,0,30,12");
    EXPECT_EQ(Rect(cache.list->GetAt(2)), "30,0,35,4");
    EXPECT_EQ(cache.list->GetAt(0)->m_UpperLeftXOffset, -5);
    EXPECT_EQ(cache.list->GetAt(2)->m_UpperLeftYOffset, 9);
    ASSERT_TRUE(cache.atlasRead);
    EXPECT_EQ(cache.atlas->GetWidth(), 35u);
    EXPECT_EQ(cache.atlas->GetHeight(), 12u);
    EXPECT_EQ(cache.atlas->Row(3)[(30 + 2) * 4], 3);
    EXPECT_EQ(cache.atlas->Row(11)[(10 + 19) * 4 + 1], 19);
}

// A row ends before the atlas would be wider than any image may be, so
// that the atlas reads back whichever body it is stored in (a JPEG body is
// held to the per-image limits): a cache that did not would be built again
// from the images on every start.
TEST_F(SequenceCache, WideSequencesStartANewAtlasRow)
{
    CSequence sequence;
    sequence.ResetToDefaults();
    for (uint8_t shade : {1, 2, 3})
        sequence.AppendFrame(Solid(9000, 1, shade).release(), CropColor0::No, CentreHotSpot::No);
    sequence.AppendFrame(Solid(2, 3, 4).release(), CropColor0::No, CentreHotSpot::No);
    ASSERT_TRUE(sequence.SaveToCache("L", "Wide", 80, true, false));
    SCacheContents cache = ReadCacheFile("Cache/L/Wide.Sequence");
    ASSERT_TRUE(cache.list);
    EXPECT_EQ(Rect(cache.list->GetAt(1)), "0,1,9000,2");
    EXPECT_EQ(Rect(cache.list->GetAt(2)), "0,2,9000,3");
    EXPECT_EQ(Rect(cache.list->GetAt(3)), "9000,2,9002,5");

    CSequence loaded;
    ASSERT_TRUE(loaded.LoadFromCache("L", "Wide"));
    ASSERT_EQ(loaded.GetFrameCount(), 4u);
    EXPECT_EQ(loaded.GetFrame(2)->GetWidth(), 9000u);
    EXPECT_EQ(loaded.GetFrame(2)->Row(0)[0], 3);

    // The rows share the frames evenly: seven and seven, not eight and six
    // with two frames' room left empty.
    CSequence even;
    even.ResetToDefaults();
    for (int i = 0; i < 14; ++i)
        even.AppendFrame(Solid(2048, 2, uint8_t(i)).release(), CropColor0::No, CentreHotSpot::No);
    ASSERT_TRUE(even.SaveToCache("L", "Even", 80, true, false));
    SCacheContents evenCache = ReadCacheFile("Cache/L/Even.Sequence");
    ASSERT_TRUE(evenCache.atlasRead);
    EXPECT_EQ(evenCache.atlas->GetWidth(), 7u * 2048);
    EXPECT_EQ(evenCache.atlas->GetHeight(), 4u);

    // Noise keeps the JPEG body the smaller one.
    CSequence noisy;
    noisy.ResetToDefaults();
    uint32_t seed = 1;
    for (int i = 0; i < 2; ++i) {
        auto frame = Solid(9000, 8, 0);
        for (uint32_t row = 0; row < 8; ++row)
            for (uint32_t byte = 0; byte < 9000 * 4; ++byte)
                if (byte % 4 != 3)
                    frame->Row(row)[byte] = uint8_t((seed = seed * 1103515245u + 12345u) >> 23);
        noisy.AppendFrame(frame.release(), CropColor0::No, CentreHotSpot::No);
    }
    ASSERT_TRUE(noisy.SaveToCache("L", "Noisy", 80, false, false));
    CSequence read;
    ASSERT_TRUE(read.LoadFromCache("L", "Noisy"));
    ASSERT_EQ(read.GetFrameCount(), 2u);
    ASSERT_NE(read.GetFrame(1), nullptr);
    EXPECT_EQ(read.GetFrame(1)->GetWidth(), 9000u);
}

// An atlas no reader would take back (past the per-image limits) is not
// written: the frames just built are used.
TEST_F(SequenceCache, AnAtlasPastTheImageLimitsIsNotWritten)
{
    CSequence sequence;
    sequence.ResetToDefaults();
    sequence.AppendFrame(Solid(16385, 1, 1).release(), CropColor0::No, CentreHotSpot::No);
    EXPECT_FALSE(sequence.SaveToCache("L", "TooWide", 80, true, false));
    EXPECT_FALSE(FileExists("Cache/L/TooWide.Sequence", 0));
}

// The writer keeps to the reader's bound: the longest sequence cached, its
// frames far apart and far from their hot spots (near the most text a frame
// takes), reads back; one frame more writes no cache.
TEST_F(SequenceCache, TheLongestSequenceCachedReadsBackAndOneMoreFrameWritesNone)
{
    CSequence sequence;
    sequence.ResetToDefaults();
    const auto fill = [&](uint32_t count) {
        sequence.DeleteFrames();
        for (uint32_t i = 0; i < count; ++i) {
            auto frame = Solid(1, 1, 7);
            frame->SetOffset(-32768, -32768);
            sequence.AppendFrame(frame.release(), CropColor0::No, CentreHotSpot::No);
        }
    };
    fill(kMaxSequenceCacheFrames + 1);
    EXPECT_FALSE(sequence.SaveToCache("L", "Many", 80, true, false));
    EXPECT_FALSE(FileExists("Cache/L/Many.Sequence", 0));
    fill(kMaxSequenceCacheFrames);
    ASSERT_TRUE(sequence.SaveToCache("L", "Many", 80, true, false));
    sequence.DeleteFrames();
    CSequence loaded;
    ASSERT_TRUE(loaded.LoadFromCache("L", "Many"));
    ASSERT_EQ(loaded.GetFrameCount(), kMaxSequenceCacheFrames);
    ASSERT_NE(loaded.GetFrame(kMaxSequenceCacheFrames - 1), nullptr);
    EXPECT_EQ(loaded.GetFrame(kMaxSequenceCacheFrames - 1)->Row(0)[0], 7);
    EXPECT_EQ(loaded.GetFrame(kMaxSequenceCacheFrames - 1)->GetOffsetX(), -32768);
}

TEST_F(SequenceCache, NullAndEmptyEntriesKeepTheirPlaces)
{
    CSequence sequence;
    sequence.ResetToDefaults();
    sequence.AppendFrame(Solid(6, 5, 1).release(), CropColor0::No, CentreHotSpot::No);
    sequence.AppendFrame(nullptr, CropColor0::No, CentreHotSpot::No);
    sequence.AppendFrame(Solid(7, 2, 2, 3, 1).release(), CropColor0::No, CentreHotSpot::No);
    ASSERT_TRUE(sequence.SaveToCache("L", "Gap", 80, true, false));
    SCacheContents cache = ReadCacheFile("Cache/L/Gap.Sequence");
    ASSERT_TRUE(cache.list);
    EXPECT_EQ(Rect(cache.list->GetAt(1)), "null");
    EXPECT_EQ(Rect(cache.list->GetAt(2)), "6,0,13,2");

    CSequence loaded;
    ASSERT_TRUE(loaded.LoadFromCache("L", "Gap"));
    ASSERT_EQ(loaded.GetFrameCount(), 3u);
    EXPECT_EQ(loaded.GetFrame(1), nullptr);
    EXPECT_EQ(loaded.GetFrame(2)->GetWidth(), 7u);
    EXPECT_EQ(loaded.GetFrame(2)->GetOffsetX(), 3);
    EXPECT_EQ(loaded.GetFrame(2)->Row(1)[0], 2);

    // Empty frames have no pixels, so a cache of only those has no atlas.
    CSequence empty;
    empty.ResetToDefaults();
    empty.AppendFrame(nullptr, CropColor0::No, CentreHotSpot::No);
    empty.AppendFrame(new CFrame, CropColor0::No, CentreHotSpot::No);
    ASSERT_TRUE(empty.SaveToCache("L", "Empty", 80, true, false));
    ASSERT_TRUE(loaded.LoadFromCache("L", "Empty"));
    ASSERT_EQ(loaded.GetFrameCount(), 2u);
    EXPECT_NE(loaded.GetFrame(1), nullptr);
}

TEST_F(SequenceCache, WrittenAtThirtyTwoBitsLoadsAtSixteen)
{
    ThreeImages();
    CSequence built;
    ASSERT_TRUE(built.Load("Seqs", "Walk", nullptr));
    ASSERT_EQ(built.GetFrame(0)->GetBitDepth(), 32u);
    CFrame::SetGlobalBitDepth(16);
    SetRunLengthEncodingEnabled(true);
    CSequence loaded;
    ASSERT_TRUE(loaded.LoadFromCache("Seqs", "Walk"));
    ASSERT_EQ(loaded.GetFrameCount(), 3u);
    EXPECT_EQ(loaded.GetFrame(0)->GetBitDepth(), 16u);
    // The default chain run-length encodes: so does every load.
    EXPECT_TRUE(loaded.GetFrame(0)->IsCompressed());
}

TEST_F(SequenceCache, CacheWithoutRunLengthLoadsPlainFrames)
{
    ThreeImages();
    WriteBytes("Seqs/-Walk/Properties.txt", SequenceProperties("Run Length Encode=0"));
    CSequence built;
    ASSERT_TRUE(built.Load("Seqs", "Walk", nullptr));
    EXPECT_FALSE(built.GetFrame(0)->IsCompressed());
    SCacheContents cache = ReadCacheFile("Cache/Seqs/Walk.Sequence");
    ASSERT_TRUE(cache.list);
    EXPECT_FALSE(cache.list->m_WasRLE);
}

TEST_F(SequenceCache, StaleByEachReaderExtensionPropertiesAndPalette)
{
    ThreeImages();
    CSequence sequence;
    ASSERT_TRUE(sequence.Load("Seqs", "Walk", nullptr));
    AgeSources();
    EXPECT_FALSE(sequence.IsCacheStale("Seqs", "Walk"));
    WriteBytes("Seqs/-Walk/d.PNG", "png");
    SetWriteTime("Seqs/-Walk/d.PNG", 1000000200);
    EXPECT_TRUE(sequence.IsCacheStale("Seqs", "Walk"));
    SetWriteTime("Seqs/-Walk/d.PNG", 1000000000);
    EXPECT_FALSE(sequence.IsCacheStale("Seqs", "Walk"));
    SetWriteTime("Seqs/-Walk/Properties.txt", 1000000200);
    EXPECT_TRUE(sequence.IsCacheStale("Seqs", "Walk"));
    SetWriteTime("Seqs/-Walk/Properties.txt", 1000000000);
    WriteBytes("Cache/Palettes/GamePalette.pal", "palette");
    SetWriteTime("Cache/Palettes/GamePalette.pal", 1000000200);
    EXPECT_FALSE(sequence.IsCacheStale("Seqs", "Walk"));
    CFrame::SetGlobalBitDepth(8);
    EXPECT_TRUE(sequence.IsCacheStale("Seqs", "Walk"));
}

TEST_F(SequenceCache, TrustedCacheIsReadWithoutDecoding)
{
    ThreeImages();
    CSequence built;
    ASSERT_TRUE(built.Load("Seqs", "Walk", nullptr));
    AgeSources();
    // Images that no longer decode are never read while the cache is trusted.
    WriteBytes("Seqs/-Walk/a.tga", "broken");
    SetWriteTime("Seqs/-Walk/a.tga", 1000000000);
    CSequence loaded;
    ASSERT_TRUE(loaded.Load("Seqs", "Walk", nullptr));
    ASSERT_EQ(loaded.GetFrameCount(), 3u);
    EXPECT_NE(loaded.GetFrame(0), nullptr);
}

TEST_F(SequenceCache, FolderThatLostItsImagesKeepsItsCache)
{
    ThreeImages();
    CSequence built;
    ASSERT_TRUE(built.Load("Seqs", "Walk", nullptr));
    for (const char* file : {"a.tga", "b.tga", "c.tga"})
        std::remove(("Seqs/-Walk/" + std::string(file)).c_str());
    // A saved "Properties.txt" makes the cache look stale.
    SetWriteTime("Cache/Seqs/Walk.Sequence", 1000000000);
    SetWriteTime("Seqs/-Walk/Properties.txt", 1000000100);
    CSequence loaded;
    EXPECT_TRUE(loaded.Load("Seqs", "Walk", nullptr));
    EXPECT_EQ(loaded.GetFrameCount(), 3u);
    EXPECT_TRUE(DiskHas("Cache/Seqs/Walk.Sequence"));
}

TEST_F(SequenceCache, UnwritableCacheLeavesTheBuiltFramesInUse)
{
    ThreeImages();
    WriteBytes("Cache", "a file where the folder would be");
    CSequence sequence;
    ASSERT_TRUE(sequence.Load("Seqs", "Walk", nullptr));
    ASSERT_EQ(sequence.GetFrameCount(), 3u);
    EXPECT_EQ(sequence.GetFrame(1)->GetWidth(), 12u);
    EXPECT_EQ(sequence.GetFrame(1)->GetBitDepth(), 32u);
    EXPECT_EQ(sequence.GetFrame(1)->Row(0)[0], 0x60);
}

// Another account's save, cut short under umask 077, left a journal this
// account may not read: it may name the cache, whose write would keep that
// save from being finished. The load writes none and uses the frames built.
TEST_F(SequenceCache, ACacheAJournalThisAccountMayNotReadMayNameIsNotWritten)
{
    ThreeImages();
    {
        CSequence sequence;
        ASSERT_TRUE(sequence.Load("Seqs", "Walk", nullptr));
    }
    ASSERT_TRUE(std::filesystem::remove("Cache/Seqs/Walk.Sequence"));
    WriteBytes(".Replacements1_1.journal", "Ombrisalt journal 2\n");
    ASSERT_EQ(::chmod(".Replacements1_1.journal", 0600), 0);
    for (const char* folder : {".", "Seqs", "Seqs/-Walk", "Cache", "Cache/Seqs"})
        ASSERT_EQ(::chmod(folder, 0777), 0) << folder;
    EXPECT_EQ(AsAnotherAccount([] {
                  CSequence sequence;
                  const bool built = sequence.Load("Seqs", "Walk", nullptr) && sequence.GetFrameCount() == 3
                      && sequence.GetFrame(1)->GetWidth() == 12u;
                  return std::string(built ? "built" : "not built");
              }),
              "built");
    EXPECT_FALSE(DiskHas("Cache/Seqs/Walk.Sequence"));
}

TEST_F(SequenceCache, LooseCacheWithUnreadableAtlasIsRebuilt)
{
    ThreeImages();
    CSequence built;
    ASSERT_TRUE(built.Load("Seqs", "Walk", nullptr));
    const std::string whole = ReadBytes("Cache/Seqs/Walk.Sequence");
    // Keep the compressed block (its header gives its size), lose the atlas.
    const uint32_t packed
        = uint8_t(whole[1]) | uint8_t(whole[2]) << 8 | uint8_t(whole[3]) << 16 | uint32_t(uint8_t(whole[4])) << 24;
    WriteBytes("Cache/Seqs/Walk.Sequence", whole.substr(0, 9 + packed));
    AgeSources();
    CSequence loaded;
    ASSERT_TRUE(loaded.Load("Seqs", "Walk", nullptr));
    ASSERT_EQ(loaded.GetFrameCount(), 3u);
    EXPECT_NE(loaded.GetFrame(0), nullptr);
    EXPECT_EQ(ReadBytes("Cache/Seqs/Walk.Sequence").size(), whole.size());
}

// Damage that ends the program in the game's own data files: a stray "{"
// after a setting, a class outside the family.
TEST_F(SequenceCache, DamagedCacheTextIsRefusedAndRebuiltFromTheImagesWithoutItsSettings)
{
    ThreeImages();
    CSequence built;
    ASSERT_TRUE(built.Load("Seqs", "Walk", nullptr));
    const auto [text, atlas] = SplitCache("Cache/Seqs/Walk.Sequence");
    const size_t open = text.find("{\r\n");
    const size_t info = text.find("CFrameInfo\r\n");
    ASSERT_NE(open, std::string::npos);
    ASSERT_NE(info, std::string::npos);
    std::string strayOpen = text;
    strayOpen.insert(open + 3, "\tFrames Per Second=99\r\n\tUse Every=1\r\n\t{\r\n");
    std::string strangeClass = text;
    strangeClass.replace(info, 10, "CSequence");
    for (const std::string& damaged : {strayOpen, strangeClass}) {
        WriteCache("Cache/Seqs/Walk.Sequence", damaged, atlas);
        AgeSources();
        CSequence loaded;
        ASSERT_FALSE(loaded.LoadFromCache("Seqs", "Walk"));
        EXPECT_EQ(loaded.GetFramesPerSecond(), 15.0f) << "nothing of the damaged text stays";
        ASSERT_TRUE(loaded.Load("Seqs", "Walk", nullptr));
        ASSERT_EQ(loaded.GetFrameCount(), 3u);
        EXPECT_NE(loaded.GetFrame(0), nullptr);
        EXPECT_EQ(loaded.GetFramesPerSecond(), 15.0f);
        // Rebuilt: the cache reads whole again.
        SCacheContents cache = ReadCacheFile("Cache/Seqs/Walk.Sequence");
        EXPECT_TRUE(cache.list && cache.atlasRead);
    }
}

// Its block may expand a thousand times: a 1 MB cache could ask for a
// gigabyte of text, and no sequence's text is near sixteen megabytes.
TEST_F(SequenceCache, ACacheTextLongerThanAnySequenceNeedsIsRefused)
{
    ThreeImages();
    CSequence built;
    ASSERT_TRUE(built.Load("Seqs", "Walk", nullptr));
    const auto [text, atlas] = SplitCache("Cache/Seqs/Walk.Sequence");
    WriteCache("Cache/Seqs/Walk.Sequence", text + std::string(64 << 20, '\n'), atlas);
    AgeSources();
    CSequence loaded;
    EXPECT_FALSE(loaded.LoadFromCache("Seqs", "Walk"));
}

// The writer puts every frame inside its atlas.
TEST_F(SequenceCache, ACacheRectanglePastItsAtlasIsDamaged)
{
    CSequence sequence;
    sequence.ResetToDefaults();
    sequence.AppendFrame(Solid(4, 4, 1).release(), CropColor0::No, CentreHotSpot::No);
    ASSERT_TRUE(sequence.SaveToCache("L", "Bad", 80, true, false));
    // Rewrite the block with a rectangle past the atlas.
    SCacheContents cache = ReadCacheFile("Cache/L/Bad.Sequence");
    ASSERT_TRUE(cache.list && cache.atlasRead);
    cache.list->GetAt(0)->m_Right = 400;
    CSequence copy;
    copy.ResetToDefaults();
    uint32_t size = 0;
    auto* buffer = new CMemFileBuf();
    {
        CObjectStream text;
        ASSERT_TRUE(text.Attach(buffer, FILE_CREATE | FILE_WRITE, IdMode::WithoutIds));
        WriteObjectText(&copy, text);
        WriteObjectText(cache.list.get(), text);
        text.Finish();
        size = uint32_t(buffer->GetSize());
        text.DetachFileBuf();
    }
    uint8_t* data = buffer->DetachMemory();
    delete buffer;
    CFile file;
    ASSERT_TRUE(file.Open("Cache/L/Bad.Sequence", FILE_CREATE | FILE_WRITE));
    ASSERT_TRUE(CFileCompressor::WriteCompressed(file, data, size, 6));
    std::free(data);
    ASSERT_TRUE(WriteFrameBody(*cache.atlas, file, 80, true));
    ASSERT_TRUE(file.Close());
    CSequence loaded;
    EXPECT_FALSE(loaded.LoadFromCache("L", "Bad"));
    EXPECT_EQ(loaded.GetFrameCount(), 0u);
}

// A short text may list a great many frames of one small cell: the list
// asks for more pixels than its atlas holds, which no cache written does, so
// the cache is damaged and costs nothing (rebuilt from the images).
TEST_F(SequenceCache, AFrameListTheAtlasCannotHoldIsDamaged)
{
    ThreeImages();
    CSequence built;
    ASSERT_TRUE(built.Load("Seqs", "Walk", nullptr));
    const auto [text, atlas] = SplitCache("Cache/Seqs/Walk.Sequence");
    const size_t first = text.find("\t\tFrame Info=CFrameInfo");
    const size_t end = text.find("\t\tFrame Info=CFrameInfo", first + 1);
    ASSERT_NE(end, std::string::npos) << text;
    std::string many = text.substr(0, end);
    for (int i = 0; i < 2000; ++i)
        many += text.substr(first, end - first);
    many += text.substr(end);
    // Frames of no area ask for no pixels: more of them than any cache
    // written holds are as damaged.
    std::string empty = text.substr(0, end);
    for (uint32_t i = 0; i < kMaxSequenceCacheFrames; ++i)
        empty += "Frame Info=CFrameInfo\n{\n}\n";
    empty += text.substr(end);
    for (const std::string& damaged : {many, empty}) {
        WriteCache("Cache/Seqs/Walk.Sequence", damaged, atlas);
        AgeSources();
        const uint64_t held = GetDataPixelBytesHeld();
        CSequence loaded;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(loaded.LoadFromCache("Seqs", "Walk"));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(loaded.GetFrameCount(), 0u);
        EXPECT_EQ(GetDataPixelBytesHeld(), held);
        CSequence rebuilt;
        ASSERT_TRUE(rebuilt.Load("Seqs", "Walk", nullptr));
        EXPECT_EQ(rebuilt.GetFrameCount(), 3u);
    }
}

TEST_F(SequenceCache, MoreThanFiveHundredImages)
{
    for (int i = 0; i < 503; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "Seqs/-Many/m%04d.tga", i);
        WriteTga(name, 1 + uint32_t(i % 3), 1);
    }
    // Temporaries a killed first start left, by another process and by one
    // that had this one's number.
    std::vector<std::string> left;
    for (int i = 100; i < 600; i += 50)
        for (const std::string& maker : {std::string("999999999"), std::to_string(::getpid())})
            WriteBytes(left.emplace_back("Seqs/-Many/.m0" + std::to_string(i) + ".tga.tmp" + maker + "_1"), "");
    // Every picture is rewritten compressed, which changes the folder: it is
    // read in proportion to the pictures, not once or more for each.
    const uint64_t entriesRead = plat::FolderEntriesRead();
    CSequence sequence;
    ASSERT_TRUE(sequence.Load("Seqs", "Many", nullptr));
    EXPECT_EQ(sequence.GetFrameCount(), 503u);
    EXPECT_EQ(sequence.GetFrame(502)->GetWidth(), 2u);
    EXPECT_LT(plat::FolderEntriesRead() - entriesRead, 100u * 503);
    for (const std::string& name : left)
        EXPECT_FALSE(DiskHas(name)) << name;
}

// A layer that holds the cache files as if a mounted archive did.
class CCacheArchive final : public CArchiveLayer {
public:
    bool IsMounted() const override { return true; }
    bool Contains(const char* name) override { return std::strstr(name, ".Sequence") != nullptr; }
};

TEST_F(SequenceCache, ArchivedCacheIsTrustedAndNeverRebuilt)
{
    ThreeImages();
    CSequence built;
    ASSERT_TRUE(built.Load("Seqs", "Walk", nullptr));
    SetWriteTime("Cache/Seqs/Walk.Sequence", 1000000000);
    WriteTga("Seqs/-Walk/d.tga", 20, 20);
    CCacheArchive archive;
    CScopedHook<SetArchiveLayer> layer(&archive);
    CSequence loaded;
    ASSERT_TRUE(loaded.Load("Seqs", "Walk", nullptr));
    EXPECT_EQ(loaded.GetFrameCount(), 3u);

    const auto [text, atlas] = SplitCache("Cache/Seqs/Walk.Sequence");
    WriteBytes("Cache/Seqs/Walk.Sequence", "damaged");
    EXPECT_EXIT(
        {
            CSequence again;
            again.Load("Seqs", "Walk", nullptr);
        },
        testing::ExitedWithCode(255), "could not be re-built because it is storred in an achive");

    // One an older build wrote, longer than this one reads (in text or in
    // frames), gives way to the pictures.
    const size_t end = text.find("\t\tFrame Info=CFrameInfo", text.find("\t\tFrame Info=CFrameInfo") + 1);
    std::string frames = text.substr(0, end);
    for (uint32_t i = 0; i < kMaxSequenceCacheFrames; ++i)
        frames += "Frame Info=CFrameInfo\n{\n}\n";
    for (const std::string& longer : {text + std::string(17 << 20, '\n'), frames + text.substr(end)}) {
        WriteCache("Cache/Seqs/Walk.Sequence", longer, atlas);
        CSequence rebuilt;
        ASSERT_TRUE(rebuilt.Load("Seqs", "Walk", nullptr));
        EXPECT_EQ(rebuilt.GetFrameCount(), 4u);
    }
}

TEST_F(SequenceCache, ASequenceThatNeverHadAFrameHasEmptyBoundsAndWritesThem)
{
    // Built where something else lived: nothing may show through.
    alignas(CSequence) unsigned char storage[sizeof(CSequence)];
    std::memset(storage, 0x5A, sizeof storage);
    auto* sequence = ::new (storage) CSequence;
    EXPECT_TRUE(sequence->GetBounds().IsAllZero());

    auto* buffer = new CMemFileBuf();
    {
        CObjectStream out;
        ASSERT_TRUE(out.Attach(buffer, FILE_CREATE | FILE_WRITE, IdMode::WithoutIds));
        out.SetBinary();
        sequence->WriteBin(out);
        out.Finish();
        out.DetachFileBuf();
    }
    const std::string bytes(reinterpret_cast<const char*>(buffer->GetData()), size_t(buffer->GetSize()));
    delete buffer;
    sequence->~CSequence();
    // Without frames the bounds are the last 16 bytes.
    ASSERT_GE(bytes.size(), 16u);
    EXPECT_EQ(bytes.substr(bytes.size() - 16), std::string(16, '\0'));
}

TEST_F(SequenceCache, BinaryFormCarriesTheFrames)
{
    CSequence sequence;
    sequence.ResetToDefaults();
    sequence.AppendFrame(Solid(3, 2, 7, -1, -1).release(), CropColor0::No, CentreHotSpot::No);
    sequence.AppendFrame(nullptr, CropColor0::No, CentreHotSpot::No);
    std::string bytes = BinaryFormOf(sequence);
    CSequence read;
    ASSERT_TRUE(ReadBinaryForm(bytes, read));
    ASSERT_EQ(read.GetFrameCount(), 2u);
    EXPECT_EQ(read.GetFrame(1), nullptr);
    EXPECT_EQ(read.GetFrame(0)->GetWidth(), 3u);
    EXPECT_EQ(read.GetFrame(0)->Row(1)[0], 7);
    EXPECT_EQ(read.GetBounds().left, -1);

    // A frame count the rest of the stream cannot hold is refused: the count
    // stands before the bounds.
    const std::string countAndLeft("\x02\0\0\0\xFF\xFF\xFF\xFF", 8);
    const size_t at = bytes.find(countAndLeft);
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, 4, "\xFF\xFF\xFF\x0F");
    CSequence refused;
    EXPECT_FALSE(ReadBinaryForm(bytes, refused));
    EXPECT_EQ(refused.GetFrameCount(), 0u);
}

// Adding a frame only widens the bounds; every other change must leave them
// as a count from scratch finds them, whatever came before.
TEST_F(SequenceCache, BoundsAfterAddsAndRemovalsMatchAFreshCount)
{
    CSequence sequence;
    sequence.ResetToDefaults();
    auto expectFresh = [&](const char* step) {
        const CRect kept = sequence.GetBounds();
        sequence.RecomputeBounds();
        EXPECT_EQ(kept, sequence.GetBounds()) << step;
    };
    uint32_t seed = 12345;
    auto next = [&](uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    for (int round = 0; round < 200; ++round) {
        switch (next(8)) {
        case 0:
            sequence.AppendFrame(nullptr, CropColor0::No, CentreHotSpot::No);
            expectFresh("empty slot");
            break;
        case 1:
            sequence.OffsetFrames(int32_t(next(40)) - 20, int32_t(next(40)) - 20);
            sequence.AppendFrame(Solid(2, 2, 1).release(), CropColor0::No, CentreHotSpot::No);
            expectFresh("moved, then added");
            break;
        case 2:
            if (next(4) == 0) {
                sequence.DeleteFrames();
                sequence.AppendFrame(next(2) ? nullptr : Solid(1, 1, 1, 500, 500).release(), CropColor0::No,
                                     CentreHotSpot::No);
                expectFresh("emptied, then added");
            }
            break;
        default:
            sequence.AppendFrame(Solid(1 + next(30), 1 + next(30), 2, int16_t(int32_t(next(200)) - 100),
                                       int16_t(int32_t(next(200)) - 100))
                                     .release(),
                                 CropColor0::No, CentreHotSpot::No);
            expectFresh("added");
        }
    }
    // The whole union, counted here.
    sequence.DeleteFrames();
    sequence.AppendFrame(Solid(4, 3, 1, -7, 2).release(), CropColor0::No, CentreHotSpot::No);
    sequence.AppendFrame(nullptr, CropColor0::No, CentreHotSpot::No);
    sequence.AppendFrame(Solid(10, 1, 1, 5, -9).release(), CropColor0::No, CentreHotSpot::No);
    EXPECT_EQ(sequence.GetBounds(), (CRect{-7, -9, 15, 5}));

    // Bounds read in the binary form are what was stored; a frame added
    // after them still gives the count from scratch.
    CSequence read;
    ASSERT_TRUE(ReadBinaryForm(BinaryFormOf(sequence), read));
    read.AppendFrame(Solid(1, 1, 1, 40, 40).release(), CropColor0::No, CentreHotSpot::No);
    EXPECT_EQ(read.GetBounds(), (CRect{-7, -9, 41, 41}));
}

} // namespace
