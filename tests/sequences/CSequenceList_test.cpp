#include "SequenceTestSupport.h"

#include "foundation/ArchiveSeam.h"
#include "images/CFilterRLEColor0.h"
#include "images/CFrame.h"
#include "images/CFrameFilter.h"
#include "objects/CBoolProperty.h"
#include "objects/CClassInfo.h"
#include "objects/CObject.h"
#include "objects/ObjectFileCallbacks.h"
#include "platform/FileSystem.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceCursor.h"
#include "sequences/CSequenceList.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <zlib.h>

namespace {

class SequenceList : public SequenceFolderTest {
protected:
    static std::vector<std::string> Names(CSequenceList& list)
    {
        std::vector<std::string> names;
        for (int32_t i = 0; i < list.GetCount(); ++i)
            names.push_back(list.GetItemName(i));
        return names;
    }
};

TEST_F(SequenceList, DashFoldersAreTheEntries)
{
    WriteTga("Res/Seqs/-Walk/w1.tga", 8, 8);
    WriteTga("Res/Seqs/-Run/r1.tga", 8, 8);
    WriteTga("Res/Seqs/-Run/r2.tga", 12, 8);
    WriteTga("Res/Seqs/Other/o.tga", 8, 8);
    WriteTga("Res/Seqs/Other/-Nested/n.tga", 8, 8);
    WriteBytes("Res/Seqs/-Stray.txt", "not a folder");
    CSequenceList list;
    list.SetSource(nullptr, "Res/Seqs", 0);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Run", "Walk"}));
    CSequence* run = list.GetObjectByName("Run");
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(run->GetFrameCount(), 2u);
    CJString file;
    EXPECT_TRUE(list.GetObjectFileName(run, file));
    EXPECT_STREQ(file.GetString(), "Res/Seqs/-Run/Properties.txt");
    EXPECT_TRUE(DiskHas("Cache/Res/Seqs/Run.Sequence"));
}

// A folder named with characters the data's 8-bit names cannot hold would be
// looked for under a name that opens nothing: it is left out with a report.
TEST_F(SequenceList, AFolderNamedBeyondTheDataNamesIsLeftOutWithAReport)
{
    WriteTga("Res/Seqs/-Walk/w1.tga", 8, 8);
    WriteTga("Res/Seqs/-Run \xCE\xA9/r1.tga", 8, 8); // "Run Omega" in UTF-8
    CSequenceList list;
    list.SetSource(nullptr, "Res/Seqs", 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Walk"}));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Res/Seqs/-Run ?: its name has characters that the data's file names cannot hold (read as \"?\"); "
              "rename it; left out\n");
}

TEST_F(SequenceList, CacheFilesStandInForMissingFolders)
{
    WriteTga("Res/Seqs/-Coin/c1.tga", 8, 8);
    WriteTga("Res/Seqs/-Coin/c2.tga", 8, 8);
    {
        CSequenceList list;
        list.SetSource(nullptr, "Res/Seqs", 0);
        ASSERT_NE(list.GetObjectByName("Coin"), nullptr);
    }
    std::filesystem::remove_all(PathOf("Res/Seqs/-Coin"));
    CSequenceList shipped;
    shipped.SetSource(nullptr, "Res/Seqs", 0);
    EXPECT_EQ(Names(shipped), (std::vector<std::string>{"Coin"}));
    CSequence* coin = shipped.GetObject(0);
    ASSERT_NE(coin, nullptr);
    EXPECT_EQ(coin->GetFrameCount(), 2u);
}

TEST_F(SequenceList, EachSequenceEditsItsOwnCopyOfTheChain)
{
    WriteTga("Res/Seqs/-Plain/p.tga", 8, 8);
    WriteBytes("Res/Seqs/-Plain/Properties.txt", SequenceProperties("Run Length Encode=0"));
    WriteTga("Res/Seqs/-Packed/p.tga", 8, 8);
    // Frames are run-length encoded for 16-bit screens.
    CFrame::SetGlobalBitDepth(16);
    SetRunLengthEncodingEnabled(true);
    CSequenceList list;
    list.SetSource(nullptr, "Res/Seqs", 0);
    list.LoadAllEntries();
    EXPECT_TRUE(list.GetFilters().HasFilter(8));
    EXPECT_FALSE(list.GetObjectByName("Plain")->GetFrame(0)->IsCompressed());
    EXPECT_TRUE(list.GetObjectByName("Packed")->GetFrame(0)->IsCompressed());
}

TEST_F(SequenceList, ReloadRebuildsFromTheSequencesOwnFolder)
{
    for (const char* name : {"a", "b", "c", "d"})
        WriteTga("Res/Seqs/-Walk/" + std::string(name) + ".tga", 8, 8);
    CSequenceList list;
    list.RegisterList("Test Sequences", "Res/Seqs");
    list.SetSource(nullptr, "Res/Seqs", 0);
    CSequence* walk = list.GetObjectByName("Walk");
    ASSERT_NE(walk, nullptr);
    ASSERT_EQ(walk->GetFrameCount(), 4u);
    // The editor's change, saved after the cache was written.
    WriteBytes("Res/Seqs/-Walk/Properties.txt", SequenceProperties("Use Every=2"));
    SetWriteTime("Res/Seqs/-Walk/Properties.txt", 4000000000LL);
    walk->SetUseEvery(2);
    EXPECT_EQ(walk->GetFrameCount(), 2u);
}

// The editor's edits as its rows make them: the rate as text, the offset
// through its setter.
void EditRateAndOffset(CSequence& sequence, const char* rate, int32_t x)
{
    CSequence::SGetClassInfo()->FindProperty("Frames Per Second")->SetValueFromText(&sequence, CJString(rate), nullptr);
    sequence.SetXOffset(x);
}

// An 8-bit RGBA PNG of one colour, written byte by byte.
void WritePng(const std::string& path, uint32_t width, uint32_t height)
{
    std::string raw;
    for (uint32_t y = 0; y < height; ++y) {
        raw += '\0';
        for (uint32_t x = 0; x < width; ++x)
            raw += std::string("\xC0\x40\x20\xFF", 4);
    }
    uLongf size = compressBound(uLong(raw.size()));
    std::string packed(size, '\0');
    ASSERT_EQ(compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
                       uLong(raw.size())),
              Z_OK);
    packed.resize(size);
    const auto word = [](uint32_t v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; };
    const auto chunk = [&](const std::string& kind, const std::string& data) {
        const std::string body = kind + data;
        const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()));
        return word(uint32_t(data.size())) + body + word(uint32_t(crc));
    };
    const std::string header = word(width) + word(height) + std::string("\x08\x06\x00\x00\x00", 5);
    WriteBytes(path, std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", packed)
                         + chunk("IEND", ""));
}

// PNG images are never built blended with black, from the images or from
// the cache: the sequence's box shows the blend clear and takes no change,
// and an unrelated save keeps the value its file holds. TGA images take it.
TEST_F(SequenceList, APngSequenceShowsTheBlendClearAndItsFileKeepsItsOwn)
{
    WritePng("Res/Seqs/-Glow/g1.png", 8, 8);
    WritePng("Res/Seqs/-Glow/g2.PNG", 8, 8);
    WriteBytes("Res/Seqs/-Glow/Properties.txt", SequenceProperties("Blended With Black=1"));
    WriteTga("Res/Seqs/-Walk/w1.tga", 8, 8);
    const auto* blend
        = dynamic_cast<const CBitProperty*>(CSequence::SGetClassInfo()->FindProperty("Blended With Black"));
    ASSERT_TRUE(blend);
    for (const bool fromCache : {false, true}) {
        const char* from = fromCache ? "from the cache" : "from the images";
        EXPECT_EQ(CSequence().IsCacheStale("Res/Seqs", "Glow"), !fromCache);
        GetSequenceList().SetSource(nullptr, "Res/Seqs", 0);
        CSequence* glow = GetSequenceList().GetObjectByName("Glow");
        CSequence* walk = GetSequenceList().GetObjectByName("Walk");
        ASSERT_TRUE(glow && walk) << from;
        ASSERT_EQ(glow->GetFrameCount(), 2u) << from;
        EXPECT_FALSE(blend->IsShownSet(glow)) << from;
        EXPECT_TRUE(blend->IsShownSet(walk)) << from;
        blend->SetValueFromText(glow, CJString("1"), nullptr);
        EXPECT_FALSE(blend->IsShownSet(glow)) << from;
        blend->SetValueFromText(glow, CJString("0"), nullptr);
        blend->SetValueFromText(walk, CJString("0"), nullptr);
        EXPECT_FALSE(blend->IsShownSet(walk)) << from;
        EditRateAndOffset(*glow, "7", 0);
        EXPECT_TRUE(SaveObjectToOwnFile(glow)) << from;
        EXPECT_NE(ReadBytes("Res/Seqs/-Glow/Properties.txt").find("Blended With Black=1"), std::string::npos)
            << from;
    }
    GetSequenceList().SetSource(nullptr, "Nowhere", 0);
}

// A game shipped with its caches only has no other copy of the frames, so the
// saved settings must reach the cache the next start reads.
TEST_F(SequenceList, SettingsSavedFromTheGameListAreReadAfterARestart)
{
    WriteTga("Res/Seqs/-Build/a.tga", 4, 2);
    WriteTga("Res/Seqs/-Build/b.tga", 8, 4);
    WriteBytes("Res/Seqs/-Build/Properties.txt", SequenceProperties("X Offset=140"));
    GetSequenceList().SetSource(nullptr, "Res/Seqs", 0);
    CSequence* build = GetSequenceList().GetObjectByName("Build");
    ASSERT_NE(build, nullptr);
    EditRateAndOffset(*build, "7", 111);
    const int32_t shownX = build->GetFrame(1)->GetOffsetX();
    EXPECT_TRUE(CanSaveObject(build));
    EXPECT_TRUE(SaveObjectToOwnFile(build));
    // Changed by hand since that save: not written over, the edit kept for
    // the save after the change is undone.
    const std::string saved = ReadBytes("Res/Seqs/-Build/Properties.txt");
    WriteBytes("Res/Seqs/-Build/Properties.txt", saved + "\r\n");
    EditRateAndOffset(*build, "7", 112);
    EXPECT_FALSE(SaveObjectToOwnFile(build));
    EXPECT_STREQ(GetFailedSaveReason().GetString(), kFileChangedOnDisk);
    EXPECT_EQ(ReadBytes("Res/Seqs/-Build/Properties.txt"), saved + "\r\n");
    WriteBytes("Res/Seqs/-Build/Properties.txt", saved);
    EditRateAndOffset(*build, "7", 111);
    EXPECT_TRUE(SaveObjectToOwnFile(build));
    GetSequenceList().SetSource(nullptr, "Nowhere", 0);
    std::filesystem::remove(PathOf("Res/Seqs/-Build/a.tga"));
    std::filesystem::remove(PathOf("Res/Seqs/-Build/b.tga"));

    CSequenceList restarted;
    restarted.SetSource(nullptr, "Res/Seqs", 0);
    CSequence* again = restarted.GetObjectByName("Build");
    ASSERT_NE(again, nullptr);
    ASSERT_EQ(again->GetFrameCount(), 2u);
    EXPECT_EQ(again->GetFramesPerSecond(), 7.0f);
    EXPECT_EQ(again->GetXOffset(), 111);
    EXPECT_EQ(again->GetFrame(1)->GetOffsetX(), shownX);

    // A "Properties.txt" touched or copied after the cache: the cache is
    // still what the next start reads, so a save must reach it.
    SetWriteTime(PathOf("Res/Seqs/-Build/Properties.txt"), 4000000000LL);
    GetSequenceList().SetSource(nullptr, "Res/Seqs", 0);
    CSequence* kept = GetSequenceList().GetObjectByName("Build");
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->GetFramesPerSecond(), 7.0f);
    EditRateAndOffset(*kept, "9", 111);
    EXPECT_TRUE(SaveObjectToOwnFile(kept));
    GetSequenceList().SetSource(nullptr, "Nowhere", 0);
    CSequenceList later;
    later.SetSource(nullptr, "Res/Seqs", 0);
    CSequence* third = later.GetObjectByName("Build");
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->GetFramesPerSecond(), 9.0f);
    EXPECT_EQ(third->GetFrameCount(), 2u);
}

// A reload setting rebuilds under what the editor holds, not under the
// cache's or the file's older copy; the next start plays only what a save
// kept, so an edit never saved, or refused, leaves it as it was.
TEST_F(SequenceList, ReloadBuildsUnderTheSettingsHeld)
{
    for (const char* name : {"a", "b", "c", "d"})
        WriteTga("Res/Seqs/-Walk/" + std::string(name) + ".tga", 8, 8);
    CSequenceList list;
    list.RegisterList("Held Sequences", "Res/Seqs");
    list.SetSource(nullptr, "Res/Seqs", 0);
    CSequence* walk = list.GetObjectByName("Walk");
    ASSERT_NE(walk, nullptr);
    EditRateAndOffset(*walk, "7", 0);
    walk->SetUseEvery(2);
    EXPECT_EQ(walk->GetFrameCount(), 2u);
    EXPECT_EQ(walk->GetFramesPerSecond(), 3.5f);

    const auto framesAtNextStart = [] {
        CSequenceList restarted;
        restarted.SetSource(nullptr, "Res/Seqs", 0);
        CSequence* again = restarted.GetObjectByName("Walk");
        return again ? again->GetFrameCount() : 0u;
    };
    EXPECT_EQ(framesAtNextStart(), 4u) << "never saved";
    const std::string properties = PathOf("Res/Seqs/-Walk/Properties.txt");
    ASSERT_TRUE(plat::SetReadOnly(properties, true));
    EXPECT_FALSE(SaveObjectToOwnFile(walk));
    EXPECT_EQ(framesAtNextStart(), 4u) << "refused";
    ASSERT_TRUE(plat::SetReadOnly(properties, false));
    // A disk that takes "Properties.txt" (320 bytes) but not the cache: the
    // save says so, names the cache, and keeps the old "Properties.txt".
    const std::string before = ReadBytes(properties);
    rlimit usual{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &usual), 0);
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit tight{400, usual.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &tight);
    const bool written = SaveObjectToOwnFile(walk);
    ::setrlimit(RLIMIT_FSIZE, &usual);
    std::signal(SIGXFSZ, handler);
    CJString failed;
    EXPECT_FALSE(written || !FindFailedSaveFile(walk, &failed));
    EXPECT_STREQ(failed.GetString(), "Cache/Res/Seqs/Walk.Sequence");
    EXPECT_EQ(ReadBytes(properties), before);
    EXPECT_EQ(framesAtNextStart(), 4u) << "a full disk";
    EXPECT_TRUE(SaveObjectToOwnFile(walk));
    EXPECT_EQ(framesAtNextStart(), 2u) << "saved";
}

// A layer that holds the cache files as if a mounted archive did.
class CListCacheArchive final : public CArchiveLayer {
public:
    bool IsMounted() const override { return true; }
    bool Contains(const char* name) override { return std::strstr(name, ".Sequence") != nullptr; }
};

// The cache is read whatever "Properties.txt" says: where it cannot be
// rewritten (archived, or read-only) an edit cannot be kept, and saying so is
// the save's failure; nothing is written.
TEST_F(SequenceList, ASequenceWhoseCacheCannotBeWrittenRefusesToSave)
{
    WriteTga("Res/Seqs/-Walk/a.tga", 8, 8);
    WriteTga("Res/Seqs/-Walk/b.tga", 8, 8);
    CSequenceList list;
    list.RegisterList("Archived Sequences", "Res/Seqs");
    list.SetSource(nullptr, "Res/Seqs", 0);
    CSequence* walk = list.GetObjectByName("Walk");
    ASSERT_NE(walk, nullptr);
    const std::string properties = ReadBytes("Res/Seqs/-Walk/Properties.txt");
    ASSERT_TRUE(plat::SetReadOnly(PathOf("Cache/Res/Seqs/Walk.Sequence"), true));
    EXPECT_FALSE(CanSaveObject(walk));
    EditRateAndOffset(*walk, "7", 3);
    EXPECT_FALSE(SaveObjectToOwnFile(walk));
    EXPECT_EQ(ReadBytes("Res/Seqs/-Walk/Properties.txt"), properties);
    ASSERT_TRUE(plat::SetReadOnly(PathOf("Cache/Res/Seqs/Walk.Sequence"), false));

    CListCacheArchive archive;
    CScopedHook<SetArchiveLayer> layer(&archive);
    EXPECT_FALSE(CanSaveObject(walk));
    EditRateAndOffset(*walk, "7", 3);
    walk->SetUseEvery(2);
    EXPECT_EQ(walk->GetFrameCount(), 2u);
    EXPECT_FALSE(SaveObjectToOwnFile(walk));
    EXPECT_EQ(ReadBytes("Res/Seqs/-Walk/Properties.txt"), properties);
}

TEST_F(SequenceList, VideoExportWritesNumberedBitmaps)
{
    WriteTga("Res/Seqs/-Walk/a.tga", 4, 2, 0xFF0000FFu);
    WriteTga("Res/Seqs/-Walk/b.tga", 8, 4, 0xFF00FF00u);
    WriteBytes("Res/Seqs/-Walk/Properties.txt", SequenceProperties("Center Hot Spot=0"));
    CSequenceList list;
    list.RegisterList("Video Sequences", "Res/Seqs");
    list.SetSource(nullptr, "Res/Seqs", 0);
    CSequence* walk = list.GetObjectByName("Walk");
    ASSERT_NE(walk, nullptr);
    ASSERT_TRUE(walk->SaveAsAVI());
    EXPECT_EQ(ListNames("AVIs/-Walk"), "0000.BMP 0001.BMP");
    const std::string bmp = ReadBytes("AVIs/-Walk/0000.BMP");
    ASSERT_EQ(bmp.size(), 54u + 4 * 24);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(uint8_t(bmp[18]), 8); // the bounds' width
    EXPECT_EQ(uint8_t(bmp[22]), 4);
    EXPECT_EQ(uint8_t(bmp[28]), 24);
    // The bottom row comes first: below the 4 x 2 blue frame it is black.
    EXPECT_EQ(bmp.substr(54, 3), std::string(3, '\0'));
    // The top row: blue, then black beside it.
    EXPECT_EQ(bmp.substr(54 + 3 * 24, 3), std::string("\xFF\0\0", 3));
    EXPECT_EQ(bmp.substr(54 + 3 * 24 + 12, 3), std::string(3, '\0'));

    CSequence loose;
    EXPECT_FALSE(loose.SaveAsAVI());
}

TEST_F(SequenceList, SequenceDrawsAsTheCursor)
{
    WriteTga("Res/Seqs/-Cursor/a.tga", 4, 4);
    WriteTga("Res/Seqs/-Cursor/b.tga", 8, 8);
    CSequence sequence;
    ASSERT_TRUE(sequence.Load("Res/Seqs", "Cursor", nullptr));
    CSequenceCursor cursor(sequence);
    EXPECT_EQ(cursor.GetFrameCount(), 2);
    EXPECT_EQ(cursor.GetFrame(1), sequence.GetFrame(1));
    EXPECT_EQ(cursor.GetFrame(-1), nullptr);
    EXPECT_EQ(cursor.GetFrame(2), nullptr);
    s_Tick = 100; // 15 frames a second: frame 1.5, rounded to 2, wraps to 0
    EXPECT_EQ(cursor.GetCurrentFrame(), 0);
    EXPECT_EQ(&cursor.GetBlitType(), &sequence.GetBlitType());
}

} // namespace
