// "Stats.dat" on disk: the exact bytes of a small profile, and that no crash,
// kill, full disk, locked folder or damaged file costs the player a profile.
#include "foundation/CDynamicList.h"
#include "foundation/CompressedBlock.h"
#include "foundation/LittleEndian.h"
#include "game/screens/CStats.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameState.h"
#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CListProperty.h"
#include "objects/CSlotProperty.h"
#include "platform/CPlatformHeadless.h"
#include "platform/FileSystem.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A list-reference value every profile may carry, as the trophy history does.
CDynamicList& TrophyNames()
{
    static CDynamicList names;
    return names;
}

CListProperty* TrophyProperty()
{
    static CListProperty* property = [] {
        TrophyNames().Add("Gold Hammer", 0u);
        TrophyNames().Add("Tidy Lots", 0u);
        auto* p = new CSlotProperty<CListProperty>("Test Trophy", 0);
        p->SetList(&TrophyNames());
        p->AddAsDynamicProperty(CPlayerStats::SGetClassInfo(), DynamicKind::Optional);
        return p;
    }();
    return property;
}

std::string Float(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    std::string bytes(4, '\0');
    WriteLE32(reinterpret_cast<uint8_t*>(bytes.data()), bits);
    return bytes;
}
std::string U32(uint32_t value)
{
    std::string bytes(4, '\0');
    WriteLE32(reinterpret_cast<uint8_t*>(bytes.data()), value);
    return bytes;
}
std::string Text(const std::string& text)
{
    return U32(uint32_t(text.size())) + text;
}
std::string Bool(bool value)
{
    return std::string(1, value ? '\1' : '\0');
}

std::string Unpack(const std::string& file)
{
    if (file.size() < 9 || uint8_t(file[0]) != kCompressedBlockMarker)
        return {};
    const uint32_t size = ReadLE32(reinterpret_cast<const uint8_t*>(file.data()) + 5);
    uint8_t* out = nullptr;
    if (!CFileCompressor::Uncompress(out, size, file.data() + 9, uint32_t(file.size() - 9)))
        return {};
    std::string bytes(reinterpret_cast<char*>(out), size);
    std::free(out);
    return bytes;
}

std::string Pack(const std::string& stream)
{
    uint8_t* block = nullptr;
    const uint32_t size = CFileCompressor::Compress(block, stream.data(), uint32_t(stream.size()), 6);
    std::string file(1, char(kCompressedBlockMarker));
    file += U32(size) + U32(uint32_t(stream.size()));
    file.append(reinterpret_cast<char*>(block), size);
    std::free(block);
    return file;
}

// Runs body in a child process and answers its exit status (-signal when killed).
template <typename Body>
int InChild(Body body)
{
    const pid_t child = ::fork();
    if (child == 0)
        std::_Exit(body());
    int status = 0;
    if (::waitpid(child, &status, 0) != child)
        return 1000;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

// Root writes anywhere: a child gives that up before testing a locked folder.
bool BecomeNobody()
{
    return ::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0);
}

class StatsFile : public CTempFolderTest {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        TrophyProperty();
    }

    // One profile of the running channel with one level record.
    static void FillSmallProfile(CStats& stats)
    {
        auto* player = new CPlayerStats;
        player->ResetToDefaults();
        player->m_Name = "Ann";
        player->m_ID = 1234;
        player->m_Channel = "Ombrisalt";
        player->m_SelectedLevel = 1;
        player->m_SecondsProgramRunning = 1.5f;
        player->m_SecondsPlaying = 2.0f;
        player->m_BuildNumberCreatedWith = 24;
        player->m_IsFirstTimePlaying = true;
        auto* record = new CPlayerStatsForLevel;
        record->m_HasBeenPlayed = true;
        record->m_HasBeenCompleted = true;
        record->SetOptionalGoalAchieved(0);
        record->m_TimesCompleted = 1;
        AppendRecord(*player, record);
        AppendPlayer(stats, player);
        stats.m_CurrentPlayer = 0;
    }
    static void AppendRecord(CPlayerStats& player, CPlayerStatsForLevel* record)
    {
        auto* array = static_cast<CPropertyArrayProperty*>(
            CPlayerStats::SGetClassInfo()->FindProperty("Stats For Level List"));
        const uint32_t n = player.m_pStatsForLevel.GetCount();
        array->ArrayProperty_SetCount(&player, n + 1);
        player.m_pStatsForLevel[n] = record;
    }
    static void AppendPlayer(CStats& stats, CPlayerStats* player)
    {
        auto* array = static_cast<CPropertyArrayProperty*>(CStats::SGetClassInfo()->FindProperty("Players"));
        const uint32_t n = stats.m_Players.GetCount();
        array->ArrayProperty_SetCount(&stats, n + 1);
        stats.m_Players[n] = player;
    }
    // Several profiles with everything a profile holds, a name beyond
    // 8-bit text among them.
    static void FillRichProfiles(CStats& stats)
    {
        FillSmallProfile(stats);
        auto* player = new CPlayerStats;
        player->ResetToDefaults();
        player->m_Name = CJString(u"Zo\u00eb \u5c71\u7530 \u0416");
        player->m_Difficulty = 0;
        player->m_NumStoryPagesViewed = 3;
        *static_cast<int32_t*>(player->GetOrAddDynamicValue(TrophyProperty())) = TrophyNames().Find("Tidy Lots");
        for (uint32_t i = 0; i < 3; ++i) {
            auto* record = new CPlayerStatsForLevel;
            record->m_TimesFailed = i;
            record->SetOptionalGoalAchieved(i);
            record->AdoptGameStateBeforeLevelStarted(new CGameState);
            record->m_pGameStateBeforeLevelStarted->m_RevenueK = 12.5f * float(i);
            AppendRecord(*player, record);
        }
        AppendPlayer(stats, player);
        stats.m_CurrentPlayer = 1;
    }

    static std::string SavedStream()
    {
        CStats stats;
        FillRichProfiles(stats);
        EXPECT_TRUE(stats.Save());
        return Unpack(ReadBytes("Stats.dat"));
    }

    // Loads whatever "Stats.dat" holds into a fresh object.
    static bool LoadInto(CStats& stats) { return stats.Load(); }
};

// The small profile's stream with the class versions of the profile and the
// file object given.
std::string SmallProfileStream(float playerVersion, float statsVersion)
{
    const std::string format = Float(27.0f);
    const std::string noDynamicValues = U32(0);
    const std::string record = Text("CPlayerStatsForLevel") + format + Float(85.0f) + noDynamicValues
                               + Bool(true) + Bool(true) + Bool(false) // played, completed, marked completed
                               + U32(1) + Bool(true)                   // optional goals achieved
                               + Text("")                              // no game state
                               + Bool(false) + U32(1) + U32(0)         // expert, completed, failed
                               + U32(0);                               // no scrapbook lots
    const std::string player = Text("CPlayerStats") + format + Float(playerVersion) + noDynamicValues + Text("Ann")
        + U32(1234) + Text("Ombrisalt") + U32(2) + U32(1) + U32(0) // difficulty .. story
        + U32(1) + record + Float(1.5f) + Float(2.0f) + U32(24) + Bool(true) + Bool(false);
    return format + Float(statsVersion) + noDynamicValues + U32(1) + player + U32(0);
}

// The profile and the file object register with no base: 1 + 7 x 12 and
// 1 + 7 x 2.
TEST_F(StatsFile, ASmallProfileIsWrittenAsTheseExactBytes)
{
    CStats stats;
    FillSmallProfile(stats);
    ASSERT_TRUE(stats.Save());
    const std::string file = ReadBytes("Stats.dat");
    ASSERT_EQ(uint8_t(file[0]), kCompressedBlockMarker);
    EXPECT_EQ(Unpack(file), SmallProfileStream(85.0f, 15.0f));
    EXPECT_EQ(CPlayerStats::SGetClassInfo()->GetBase(), nullptr);
    EXPECT_EQ(CStats::SGetClassInfo()->GetBase(), nullptr);
}

// Written while the two classes had base CObject (3 x 7 more each).
TEST_F(StatsFile, AFileWrittenWithTheFormerClassVersionsStillReadsAndIsSavedWithTheNewOnes)
{
    WriteBytes("Stats.dat", Pack(SmallProfileStream(106.0f, 36.0f)));
    CStats read;
    ASSERT_TRUE(LoadInto(read));
    ASSERT_EQ(read.GetPlayerCount(), 1u);
    CStats small;
    FillSmallProfile(small);
    EXPECT_TRUE(read.IsEqualTo(&small));
    ASSERT_NE(read.GetPlayer(0)->FindLevelStats(0), nullptr);
    EXPECT_EQ(read.GetPlayer(0)->FindLevelStats(0)->GetTimesCompleted(), 1u);
    ASSERT_TRUE(read.Save());
    EXPECT_EQ(Unpack(ReadBytes("Stats.dat")), SmallProfileStream(85.0f, 15.0f));

    // Other versions are still refused, and the file kept aside.
    WriteBytes("Stats.dat", Pack(SmallProfileStream(99.0f, 15.0f)));
    CStats refused;
    EXPECT_FALSE(LoadInto(refused));
}

TEST_F(StatsFile, ProfilesReadBackWholeWithNamesBeyondEightBitText)
{
    CStats saved;
    FillRichProfiles(saved);
    ASSERT_TRUE(saved.Save());

    CStats read;
    ASSERT_TRUE(LoadInto(read));
    EXPECT_TRUE(read.IsEqualTo(&saved));
    ASSERT_EQ(read.GetPlayerCount(), 2u);
    EXPECT_EQ(read.GetCurrentPlayerIndex(), 1u);
    EXPECT_EQ(read.GetPlayer(1)->m_Name.Compare(CJString(u"Zo\u00eb \u5c71\u7530 \u0416")), 0);
    ASSERT_NE(read.GetPlayer(1)->FindLevelStats(2), nullptr);
    ASSERT_NE(read.GetPlayer(1)->FindLevelStats(2)->GetGameStateBeforeLevelStarted(), nullptr);
    EXPECT_EQ(read.GetPlayer(1)->FindLevelStats(2)->GetGameStateBeforeLevelStarted()->m_RevenueK, 25.0f);
}

TEST_F(StatsFile, ATrophyNameTheDataNoLongerHoldsKeepsTheRestOfTheProfile)
{
    std::string stream = SavedStream();
    const size_t at = stream.find("Tidy Lots");
    ASSERT_NE(at, std::string::npos);
    stream.replace(at, 9, "Lost Lots");
    WriteBytes("Stats.dat", Pack(stream));

    CStats read;
    testing::internal::CaptureStderr();
    const bool ok = LoadInto(read);
    const std::string log = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(ok);
    EXPECT_NE(log.find("Lost Lots"), std::string::npos) << log;
    ASSERT_EQ(read.GetPlayerCount(), 2u);
    EXPECT_EQ(TrophyProperty()->GetDynamicValue(read.GetPlayer(1)), TrophyProperty()->GetDefaultIndex());
    EXPECT_EQ(read.GetPlayer(1)->m_NumStoryPagesViewed, 3u);
    EXPECT_EQ(read.GetPlayer(1)->m_pStatsForLevel.GetCount(), 3u);
    EXPECT_FALSE(DiskHas("Stats.dat.bad"));
}

// Every damaged file: refused without a crash or an exit, the object left as
// it was, the file kept aside byte for byte and never over an earlier one.
TEST_F(StatsFile, DamagedFilesAreKeptAsideAndNeverWrittenOver)
{
    const std::string stream = SavedStream();
    const std::string good = ReadBytes("Stats.dat");
    int refused = 0;
    auto check = [&](const std::string& file) {
        std::filesystem::remove("Stats.dat.bad");
        WriteBytes("Stats.dat", file);
        CStats read;
        if (LoadInto(read))
            return; // a flipped value can still be a valid profile
        ++refused;
        EXPECT_EQ(read.GetPlayerCount(), 0u);
        EXPECT_FALSE(DiskHas("Stats.dat"));
        if (file.empty()) { // what a killed first save leaves: deleted, nothing kept
            EXPECT_FALSE(DiskHas("Stats.dat.bad"));
        } else {
            EXPECT_EQ(ReadBytes("Stats.dat.bad"), file);
        }
    };
    testing::internal::CaptureStderr();
    for (size_t cut = 0; cut < good.size(); ++cut)
        check(good.substr(0, cut));
    for (size_t cut = 0; cut < stream.size(); ++cut)
        check(Pack(stream.substr(0, cut)));
    for (size_t i = 0; i < stream.size(); ++i) {
        std::string flipped = stream;
        flipped[i] = char(flipped[i] ^ 0xA5);
        check(Pack(flipped));
    }
    check(Pack(stream + "tail"));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_GE(refused, int(good.size() + stream.size()));
    EXPECT_NE(log.find("kept as Stats.dat.bad"), std::string::npos);

    // A second damaged file goes beside the first; a save then writes a new file.
    WriteBytes("Stats.dat.bad", "first");
    WriteBytes("Stats.dat", "second");
    CStats fresh;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(LoadInto(fresh));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(ReadBytes("Stats.dat.bad"), "first");
    EXPECT_EQ(ReadBytes("Stats.dat.bad.1"), "second");
    FillSmallProfile(fresh);
    EXPECT_TRUE(fresh.Save());
    EXPECT_EQ(ReadBytes("Stats.dat.bad"), "first");

    // No file at all is a first run, not damage.
    std::filesystem::remove("Stats.dat");
    CStats firstRun;
    EXPECT_FALSE(LoadInto(firstRun));
    EXPECT_EQ(ListNames(Folder()), "Stats.dat.bad Stats.dat.bad.1");

    // A pipe at the name is no empty file a killed first save left: kept aside too.
    std::filesystem::remove("Stats.dat.bad.1");
    ASSERT_EQ(::mkfifo((Folder() + "/Stats.dat").c_str(), 0644), 0);
    CStats pipe;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(LoadInto(pipe));
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(std::filesystem::is_fifo(Folder() + "/Stats.dat.bad.1"));
}

TEST_F(StatsFile, AnUnreadableFileThatCannotBeMovedAsideIsNotWrittenOver)
{
    WriteBytes("Stats.dat", "damaged");
    std::filesystem::permissions(Folder(), std::filesystem::perms(0555));
    const int status = InChild([] {
        if (!BecomeNobody())
            return 3;
        CStats stats;
        if (stats.Load())
            return 4;
        stats.AddNewPlayer();
        return stats.Save() ? 5 : 0;
    });
    std::filesystem::permissions(Folder(), std::filesystem::perms::owner_all);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadBytes("Stats.dat"), "damaged");
}

// Another account's file, made 0600 on a folder both use, is no damage:
// moved aside, its owner's next start would find no player.
TEST_F(StatsFile, AFileThisAccountMayNotOpenIsNamedAndNeitherMovedNorWrittenOver)
{
    CStats saved;
    FillSmallProfile(saved);
    ASSERT_TRUE(saved.Save());
    const std::string owners = ReadBytes("Stats.dat");
    std::filesystem::permissions("Stats.dat", std::filesystem::perms(0600));
    std::filesystem::permissions(Folder(), std::filesystem::perms::all);
    const std::string shown = (std::filesystem::canonical(Folder()) / "Stats.dat").string();
    const int status = InChild([&] {
        if (!BecomeNobody())
            return 3;
        plat::CPlatformHeadless platform;
        plat::ReplacePlatform(&platform);
        CStats stats;
        if (stats.Load())
            return 4;
        stats.AddNewPlayer();
        if (stats.Save())
            return 5;
        const auto& boxes = platform.GetMessageBoxes();
        return boxes.size() == 1 && boxes[0].text.rfind("Could not open " + shown + ": Permission denied.", 0) == 0
            ? 0
            : 6;
    });
    std::filesystem::permissions(Folder(), std::filesystem::perms::owner_all);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ListNames(Folder()), "Stats.dat");
    EXPECT_EQ(ReadBytes("Stats.dat"), owners);
    CStats read;
    ASSERT_TRUE(LoadInto(read));
    EXPECT_TRUE(read.IsEqualTo(&saved));
}

TEST_F(StatsFile, AChildKilledBetweenWriteAndRenameLeavesTheOldFile)
{
    CStats saved;
    FillSmallProfile(saved);
    ASSERT_TRUE(saved.Save());
    const std::string old = ReadBytes("Stats.dat");

    const int status = InChild([] {
        CStats stats;
        if (!stats.Load())
            return 3;
        FillRichProfiles(stats);
        // The new file is whole and synced; the process dies before the rename.
        plat::SetSyncObserver([](std::string_view) { ::raise(SIGKILL); });
        stats.Save();
        return 4;
    });
    EXPECT_EQ(status, -SIGKILL);
    EXPECT_EQ(ReadBytes("Stats.dat"), old);
    CStats read;
    ASSERT_TRUE(LoadInto(read));
    EXPECT_TRUE(read.IsEqualTo(&saved));
}

TEST_F(StatsFile, AFullDiskOrALockedFolderReportsFailureAndLosesNothing)
{
    CStats saved;
    FillSmallProfile(saved);
    ASSERT_TRUE(saved.Save());
    const std::string old = ReadBytes("Stats.dat");
    auto saveMore = [] {
        CStats stats;
        if (!stats.Load())
            return 3;
        FillRichProfiles(stats);
        const uint32_t players = stats.GetPlayerCount();
        if (stats.Save())
            return 4;
        // Nothing is lost in memory either.
        return stats.GetPlayerCount() == players ? 0 : 5;
    };

    // A file size limit fails writes as a full disk does.
    EXPECT_EQ(InChild([&] {
                  std::signal(SIGXFSZ, SIG_IGN);
                  const rlimit limit{16, 16};
                  ::setrlimit(RLIMIT_FSIZE, &limit);
                  return saveMore();
              }),
              0);
    EXPECT_EQ(ReadBytes("Stats.dat"), old);

    std::filesystem::permissions(Folder(), std::filesystem::perms(0555));
    EXPECT_EQ(InChild([&] { return BecomeNobody() ? saveMore() : 6; }), 0);
    std::filesystem::permissions(Folder(), std::filesystem::perms::owner_all);
    EXPECT_EQ(ReadBytes("Stats.dat"), old);
    EXPECT_EQ(ListNames(Folder()), "Stats.dat");

    // A read-only file is made writable and written.
    plat::SetReadOnly("Stats.dat", true);
    CStats more;
    FillRichProfiles(more);
    EXPECT_TRUE(more.Save());
    EXPECT_FALSE(plat::IsReadOnly("Stats.dat"));
    EXPECT_NE(ReadBytes("Stats.dat"), old);

    // A link to a file elsewhere is neither written through nor replaced,
    // and the box says so rather than that writing failed.
    std::filesystem::rename("Stats.dat", "Elsewhere.dat");
    std::filesystem::create_symlink("Elsewhere.dat", "Stats.dat");
    const std::string elsewhere = ReadBytes("Elsewhere.dat");
    CStats linked;
    FillSmallProfile(linked);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(linked.Save());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("Stats.dat: it is a symbolic link, and the program does not write through a link. Put a "
                        "copy of the file it points to in its place."),
              std::string::npos)
        << said;
    EXPECT_TRUE(std::filesystem::is_symlink("Stats.dat"));
    EXPECT_EQ(ReadBytes("Elsewhere.dat"), elsewhere);
}

} // namespace
