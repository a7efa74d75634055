#include "foundation/FileHelpers.h"

#include "support/TestSupport.h"

#include <cstdlib>
#include <ctime>
#include <string>

namespace {

constexpr uint64_t kUnitsPerSecond = 10000000;
constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000;

uint64_t FileTimeOfUnix(long long seconds)
{
    return kUnixEpochAsFileTime + uint64_t(seconds) * kUnitsPerSecond;
}

uint16_t DosDate(int year, int month, int day)
{
    return uint16_t((year - 1980) << 9 | month << 5 | day);
}

uint16_t DosTime(int hour, int minute, int second)
{
    return uint16_t(hour << 11 | minute << 5 | second / 2);
}

// Runs the test body under a fixed time zone and puts the old one back.
class DosTimes : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* previous = std::getenv("TZ");
        m_HadZone = previous != nullptr;
        m_PreviousZone = previous ? previous : "";
        UseZone("UTC0");
    }
    void TearDown() override
    {
        if (m_HadZone)
            ::setenv("TZ", m_PreviousZone.c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }
    static void UseZone(const char* zone)
    {
        ::setenv("TZ", zone, 1);
        ::tzset();
    }

private:
    bool m_HadZone = false;
    std::string m_PreviousZone;
};

// 2024-02-29 13:45:58 UTC.
constexpr long long kLeapDay = 1709214358;

TEST_F(DosTimes, ConvertBothWays)
{
    uint16_t date = 1, time = 1;
    ASSERT_TRUE(FileTimeToDosDateTime(FileTimeOfUnix(kLeapDay), date, time));
    EXPECT_EQ(date, DosDate(2024, 2, 29));
    EXPECT_EQ(time, DosTime(13, 45, 58));
    EXPECT_EQ(DosTimeToFileTime(date, time), FileTimeOfUnix(kLeapDay));

    ASSERT_TRUE(FileTimeToDosDateTime(FileTimeOfUnix(kLeapDay + 1) + 9999999, date, time));
    EXPECT_EQ(time, DosTime(13, 45, 58)) << "odd seconds and fractions drop";

    ASSERT_TRUE(FileTimeToDosDateTime(FileTimeOfUnix(315532800), date, time)); // 1980-01-01
    EXPECT_EQ(date, DosDate(1980, 1, 1));
    EXPECT_EQ(time, 0);
    ASSERT_TRUE(FileTimeToDosDateTime(FileTimeOfUnix(4354819199), date, time)); // 2107-12-31 23:59:59
    EXPECT_EQ(date, DosDate(2107, 12, 31));
    EXPECT_EQ(time, DosTime(23, 59, 58));
    EXPECT_FALSE(FileTimeToDosDateTime(FileTimeOfUnix(315532799), date, time)) << "1979 has no DOS form";
    EXPECT_FALSE(FileTimeToDosDateTime(FileTimeOfUnix(4354819200), date, time)) << "nor has 2108";
    EXPECT_FALSE(FileTimeToDosDateTime(0, date, time));
    EXPECT_EQ(date, 0);

    GetDosDateTimeNow(date, time);
    EXPECT_GE(date >> 9, 2024 - 1980) << "now is after this test was written";
}

TEST_F(DosTimes, AreReadAsLocalTime)
{
    UseZone("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(DosTimeToFileTime(DosDate(2024, 2, 29), DosTime(14, 45, 58)), FileTimeOfUnix(kLeapDay));
    EXPECT_EQ(DosTimeToFileTime(DosDate(2024, 7, 1), DosTime(12, 0, 0)), FileTimeOfUnix(1719828000))
        << "summer time of that date";
}

TEST_F(DosTimes, InvalidDatesGiveTimeZero)
{
    EXPECT_EQ(DosTimeToFileTime(0, 0), 0u) << "the date of appended archive members";
    EXPECT_EQ(DosTimeToFileTime(DosDate(2001, 0, 10), 0), 0u);
    EXPECT_EQ(DosTimeToFileTime(DosDate(2001, 13, 10), 0), 0u);
    EXPECT_EQ(DosTimeToFileTime(DosDate(2001, 2, 29), 0), 0u);
    EXPECT_EQ(DosTimeToFileTime(DosDate(2001, 4, 31), 0), 0u);
    EXPECT_EQ(DosTimeToFileTime(DosDate(2001, 1, 1), DosTime(24, 0, 0)), 0u);
    EXPECT_EQ(DosTimeToFileTime(DosDate(2001, 1, 1), DosTime(0, 60, 0)), 0u);
    EXPECT_EQ(DosTimeToFileTime(DosDate(2001, 1, 1), 30), 0u) << "60 seconds";
    EXPECT_NE(DosTimeToFileTime(DosDate(2000, 2, 29), 0), 0u);
}

using FileHelpers = CTempFolderTest;

TEST_F(FileHelpers, CreatesEveryMissingLevel)
{
    WriteBytes("Top/keep.txt", "");
    EXPECT_TRUE(CreateFolderChain("Top\\Middle\\Bottom"));
    EXPECT_TRUE(DiskHas("Top/Middle/Bottom"));
    EXPECT_FALSE(CreateFolderChain("Top\\Middle\\Bottom\\")) << "every level already exists";
    EXPECT_TRUE(CreateFolderChain("Top/a\\b/c/"));
    EXPECT_TRUE(DiskHas("Top/a/b/c")) << "mixed separators climb one level at a time";
    EXPECT_TRUE(CreateFolderChain((Folder() + "/Abs/One").c_str()));
    EXPECT_TRUE(DiskHas("Abs/One"));
    WriteBytes("File", "");
    EXPECT_FALSE(CreateFolderChain("File/Sub"));
    EXPECT_FALSE(CreateFolderChain(""));
}

TEST_F(FileHelpers, ComparesWriteTimes)
{
    WriteBytes("Source.tga", "");
    WriteBytes("Cache/Source.Frame", "");
    WriteBytes("Cache/.hidden", "");
    SetWriteTime("Source.tga", 2000000000);
    SetWriteTime("Cache/Source.Frame", 1900000000);
    SetWriteTime("Cache/.hidden", 2100000000);

    uint64_t time = 0;
    ASSERT_TRUE(GetFileWriteTime("cache\\*.*", time)) << "skips \".\", \"..\" and dot files";
    EXPECT_EQ(time, FileTimeOfUnix(1900000000));
    EXPECT_FALSE(GetFileWriteTime("*.none", time));
    EXPECT_FALSE(GetFileWriteTime("Cache", time)) << "folders have no write time here";

    EXPECT_TRUE(IsNewerOnDisk("source.TGA", "Cache\\Source.Frame"));
    EXPECT_FALSE(IsNewerOnDisk("Cache\\Source.Frame", "Source.tga"));
    EXPECT_TRUE(IsNewerOnDisk("Cache\\Source.Frame", "Missing.Frame")) << "a missing file counts as time 0";
    EXPECT_FALSE(IsNewerOnDisk("Missing.tga", "Source.tga"));
    EXPECT_TRUE(IsNewerOnDisk("*.tga", "Cache\\Source.Frame"));
    EXPECT_FALSE(IsNewerOnDisk("Cache\\*.*", "Source.tga")) << "the newer dot file does not count";
}

TEST_F(FileHelpers, MakesUniqueNamesFromIntegerPatterns)
{
    WriteBytes("Shot000.tga", "");
    WriteBytes("shot001.TGA", "");
    CJString name;
    ASSERT_TRUE(MakeUniqueName(name, "Shot%03d.tga"));
    EXPECT_STREQ(name.GetString(), "Shot002.tga");
    EXPECT_TRUE(MakeUniqueName(name, "Fresh%d.txt"));
    EXPECT_STREQ(name.GetString(), "Fresh0.txt");
    EXPECT_TRUE(MakeUniqueName(name, "100%%_%x.txt"));
    EXPECT_STREQ(name.GetString(), "100%_0.txt");
    EXPECT_FALSE(MakeUniqueName(name, "Shot000.tga")) << "a pattern without a number never changes";
    EXPECT_FALSE(MakeUniqueName(name, "%s%d"));
    EXPECT_FALSE(MakeUniqueName(name, "%d%d"));
    EXPECT_FALSE(MakeUniqueName(name, "%ld"));
}

TEST_F(FileHelpers, TellsWritablePaths)
{
    WriteBytes("Save/Game.sav", "x");
    EXPECT_TRUE(IsWritablePath("save\\game.sav"));
    SetFileReadOnly("Save\\Game.sav", true);
    EXPECT_TRUE(IsFileReadOnly("SAVE/GAME.SAV"));
    EXPECT_FALSE(IsWritablePath("Save\\Game.sav"));
    SetFileReadOnly("Save\\Game.sav", false);
    EXPECT_FALSE(IsFileReadOnly("Save\\Game.sav"));
    EXPECT_TRUE(IsWritablePath("Save\\New.sav"));
    EXPECT_FALSE(IsWritablePath("NoFolder\\New.sav"));
    EXPECT_TRUE(FolderHasEntries("Save\\"));
    EXPECT_FALSE(FolderHasEntries("NoFolder"));
    EXPECT_TRUE(PatternExists("save/*.SAV"));
    EXPECT_FALSE(PatternExists("save/*.txt"));
    EXPECT_FALSE(IsFileReadOnly("Missing"));
    SetFileReadOnly("Missing", true);
    EXPECT_FALSE(DiskHas("Missing"));
}

TEST(PathHelpers, SplitNamesAtTheLaterSeparator)
{
    EXPECT_STREQ(GetFileNameFromPath("a\\b/c\\Name.txt"), "Name.txt");
    EXPECT_STREQ(GetFileNameFromPath("a/b\\c/Name.txt"), "Name.txt");
    EXPECT_STREQ(GetFileNameFromPath("Name.txt"), "Name.txt");
    EXPECT_STREQ(GetFileNameFromPath("Folder/"), "");
    EXPECT_STREQ(GetFileNameFromPath(nullptr), "In Path Name Null!");

    EXPECT_STREQ(GetExtensionFromPath("Data/Items.v2/Sword"), "") << "a dot in a folder is no extension";
    EXPECT_STREQ(GetExtensionFromPath("Data\\Sword.Upgrade.txt"), ".txt");
    EXPECT_STREQ(GetExtensionFromPath(nullptr), "");

    char path[32] = "Data\\Frames/Hero.tga";
    CutToFolder(path);
    EXPECT_STREQ(path, "Data\\Frames/");
    char bare[8] = "Hero";
    CutToFolder(bare);
    EXPECT_STREQ(bare, "");
    CutToFolder(nullptr);
}

TEST(PathHelpers, JoinWithinTheBuffer)
{
    char path[16] = "";
    ASSERT_TRUE(AppendPath(path, sizeof path, "Data"));
    EXPECT_STREQ(path, "Data");
    ASSERT_TRUE(AppendPath(path, sizeof path, "Frames"));
    EXPECT_STREQ(path, "Data/Frames");
    EXPECT_FALSE(AppendPath(path, sizeof path, "Hero")) << "16 bytes hold 15 characters";
    EXPECT_STREQ(path, "Data/Frames");
    ASSERT_TRUE(JoinPath(path, sizeof path, "Data\\", "X.tga"));
    EXPECT_STREQ(path, "Data\\X.tga");
    ASSERT_TRUE(SetFileExtension(path, sizeof path, ".Frame"));
    EXPECT_STREQ(path, "Data\\X.Frame");
    EXPECT_FALSE(SetFileExtension(path, sizeof path, ".Frame1234"));
    EXPECT_STREQ(path, "Data\\X.Frame");
    ASSERT_TRUE(JoinPath(path, sizeof path, "v1.0/", "Readme"));
    ASSERT_TRUE(SetFileExtension(path, sizeof path, ".txt"));
    EXPECT_STREQ(path, "v1.0/Readme.txt");
}

} // namespace
