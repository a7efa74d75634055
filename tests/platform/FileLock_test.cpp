#include "platform/FileLock.h"

#include "platform/FileSystem.h"
#include "platform/Profile.h"
#include "support/TestSupport.h"

#include <cctype>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using FileLock = CTempFolderTest;

TEST_F(FileLock, SecondLockOfThisProcessIsRefusedInsteadOfWaitingForItself)
{
    WriteBytes("Data.zip", "x");
    plat::CFileLock first;
    ASSERT_EQ(first.Acquire("data.ZIP"), plat::LockResult::Locked);
    plat::CFileLock second;
    EXPECT_EQ(second.Acquire("Data.zip"), plat::LockResult::HeldByThisProcess);
    first.Release();
    EXPECT_EQ(second.Acquire("Data.zip"), plat::LockResult::Locked);
}

TEST_F(FileLock, MissingFileIsLockedThroughAPlaceholderThatGoesAgain)
{
    {
        plat::CFileLock lock;
        ASSERT_EQ(lock.Acquire("New.ini"), plat::LockResult::Locked);
        EXPECT_TRUE(DiskHas("New.ini"));
    }
    EXPECT_FALSE(DiskHas("New.ini"));
    // Filled while locked: it stays.
    plat::CFileLock lock;
    ASSERT_EQ(lock.Acquire("Kept.ini"), plat::LockResult::Locked);
    ASSERT_TRUE(plat::ReplaceFileContents("Kept.ini", "a", 1, plat::ReplacementLock::HeldByCaller));
    lock.Release();
    EXPECT_EQ(ReadBytes("Kept.ini"), "a");
}

TEST_F(FileLock, ReplacementTakesTheLockAndFailsWhileThisProcessHoldsIt)
{
    WriteBytes("Stats.dat", "old");
    plat::CFileLock lock;
    ASSERT_EQ(lock.Acquire("Stats.dat"), plat::LockResult::Locked);
    EXPECT_FALSE(plat::ReplaceFileContents("Stats.dat", "new", 3));
    lock.Release();
    EXPECT_TRUE(plat::ReplaceFileContents("Stats.dat", "new", 3));
    EXPECT_EQ(ReadBytes("Stats.dat"), "new");
}

TEST_F(FileLock, IdentityChangesWithEveryReplacement)
{
    WriteBytes("Data.zip", "one");
    plat::FileIdentity before;
    ASSERT_TRUE(plat::GetFileIdentity("DATA.zip", before));
    plat::FileIdentity same;
    ASSERT_TRUE(plat::GetFileIdentity("Data.zip", same));
    EXPECT_EQ(before, same);
    ASSERT_TRUE(plat::ReplaceFileContents("Data.zip", "two", 3)); // same size
    plat::FileIdentity after;
    ASSERT_TRUE(plat::GetFileIdentity("Data.zip", after));
    EXPECT_FALSE(after.SameFile(before));
    EXPECT_FALSE(plat::GetFileIdentity("Missing.zip", after));
}

// --- Left-over temporaries ---

struct LeftOverCase {
    const char* name;
    bool removed;
};

class LeftOverTemporaries : public CTempFolderTest, public ::testing::WithParamInterface<LeftOverCase> {};

TEST_P(LeftOverTemporaries, OnlyOurOwnNamingBesideTheTargetIsRemovedAtTheNextWrite)
{
    WriteBytes("Config.INI", "[A]\r\nk=1\r\n");
    WriteBytes(GetParam().name, "stale");
    ASSERT_TRUE(plat::WriteProfileString("Config.INI", "A", "k", "2"));
    EXPECT_EQ(DiskHas(GetParam().name), !GetParam().removed);
    EXPECT_EQ(ReadBytes("Config.INI"), "[A]\r\nk=2\r\n");
}

const LeftOverCase kLeftOvers[] = {
    {".Config.INI.tmp4242_7", true},   {".Config.INI.tmp13", true}, // the archive writer's older naming
    {".Config.INI.tmpx", false},                                    // not a counter
    {".Config.INI.tmp.tmp1_1", false},                              // the temporary of "Config.INI.tmp"
    {"Config.INI.tmp1_1", false},                                   // not hidden
    {".Other.INI.tmp1_1", false},
};
INSTANTIATE_TEST_SUITE_P(Names, LeftOverTemporaries, ::testing::ValuesIn(kLeftOvers),
                         [](const ::testing::TestParamInfo<LeftOverCase>& param) {
                             std::string name;
                             for (const char* c = param.param.name; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name + "_" + std::to_string(param.index);
                         });

TEST_F(FileLock, AThousandLeftOverTemporariesNeverStopASave)
{
    WriteBytes("Stats.dat", "old");
    for (int i = 0; i < 1000; ++i)
        WriteBytes(".Stats.dat.tmp" + std::to_string(::getpid()) + "_" + std::to_string(i), "");
    ASSERT_TRUE(plat::ReplaceFileContents("Stats.dat", "new", 3));
    EXPECT_EQ(ReadBytes("Stats.dat"), "new");
    EXPECT_EQ(ListNames("."), "Stats.dat");
}

// Other files' temporaries go at the first replacement in the folder when
// their writers are gone; a folder of many entries is then not read again
// at each replacement but once they reach a 64th of its entries, and one
// made again in its place is another folder.
TEST_F(FileLock, ALargeFolderIsSweptAtItsFirstReplacementAndAgainAtItsShare)
{
    const auto make = [this] {
        std::filesystem::create_directory(PathOf("Big"));
        for (int i = 0; i < 256; ++i)
            WriteBytes("Big/f" + std::to_string(i), "");
    };
    const auto replace = [](int first, int last) {
        for (int i = first; i <= last; ++i)
            ASSERT_TRUE(plat::ReplaceFileContents("Big/f" + std::to_string(i), "x", 1));
    };
    make();
    const std::string ours = ".tmp" + std::to_string(::getpid()) + "_1", dead = "Big/.f3.tmp999999999_1";
    const std::string writing = "Big/.f2" + ours, earlier = "Big/.f4" + ours;
    for (const std::string& name : {writing, earlier, dead})
        WriteBytes(name, "");
    plat::CFileLock held;
    ASSERT_EQ(held.Acquire("Big/f2"), plat::LockResult::Locked);
    replace(0, 0);
    EXPECT_TRUE(DiskHas(writing)) << "its file's lock is held by this process";
    held.Release();
    EXPECT_FALSE(DiskHas(earlier));
    EXPECT_FALSE(DiskHas(dead));
    WriteBytes(dead, "");
    replace(1, 2);
    EXPECT_TRUE(DiskHas(dead)) << "swept again at a replacement in every four or so";
    replace(3, 10);
    EXPECT_FALSE(DiskHas(dead));
    EXPECT_FALSE(DiskHas(writing));
    std::filesystem::remove_all(PathOf("Big"));
    make();
    WriteBytes(dead, "");
    replace(0, 0);
    EXPECT_FALSE(DiskHas(dead));
}

// --- Two processes ---

// Each process sets its own keys one by one; every write that answered
// true must be in the file at the end.
TEST_F(FileLock, TwoProcessesWritingKeysLoseNone)
{
    constexpr int kKeys = 150;
    WriteBytes("Shared.ini", "[Start]\r\nx=1\r\n");
    const auto writeKeys = [](const char* prefix) {
        int failures = 0;
        for (int i = 0; i < kKeys; ++i)
            failures += plat::WriteProfileString("Shared.ini", "Keys", prefix + std::to_string(i), std::to_string(i))
                ? 0
                : 1;
        return failures;
    };
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        ::_exit(writeKeys("child") == 0 ? 0 : 1);
    const int parentFailures = writeKeys("parent");
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(parentFailures, 0);
    int missing = 0;
    for (int i = 0; i < kKeys; ++i) {
        missing += plat::ReadProfileString("Shared.ini", "Keys", "child" + std::to_string(i), "") == std::to_string(i)
            ? 0
            : 1;
        missing += plat::ReadProfileString("Shared.ini", "Keys", "parent" + std::to_string(i), "") == std::to_string(i)
            ? 0
            : 1;
    }
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(ListNames("."), "Shared.ini");
}

// --- Named pipes ---

// Runs checks in a child process and answers its exit status: the bits of
// the checks that failed. A child still waiting after a minute is ended and
// answers -1, so a hang fails the test instead of stalling the suite.
int StatusOfAChildThatMustEnd(const std::function<int()>& checks)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(checks());
    int status = 0;
    for (int tenths = 0; child > 0 && tenths < 600; ++tenths) {
        if (::waitpid(child, &status, WNOHANG) == child)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        ::usleep(100000);
    }
    if (child > 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
    }
    return -1;
}

// A named pipe where the settings, the editor's settings or the start-up
// probe are expected is refused at once, never opened and waited on: reads
// fall back to their defaults and writes fail.
TEST_F(FileLock, ANamedPipeInAFilesPlaceIsRefusedWithoutWaiting)
{
    const char* const names[] = {"Ombrisalt.CFG", "Quenthal Editor.ini", "TestDestinationReadibility.txt"};
    for (const char* name : names)
        ASSERT_EQ(::mkfifo(name, 0600), 0) << name;
    const int status = StatusOfAChildThatMustEnd([] {
        int failed = 0;
        if (plat::ReadProfileString(".\\Ombrisalt.CFG", "Options", "Volume", "<default>") != "<default>")
            failed |= 1;
        if (plat::ReadProfileInt(".\\Quenthal Editor.ini", "Editor", "Grid", 7) != 7)
            failed |= 2;
        if (plat::WriteProfileString(".\\Ombrisalt.CFG", "Options", "Volume", "3"))
            failed |= 4;
        plat::CFileLock lock;
        if (lock.Acquire("Quenthal Editor.ini") != plat::LockResult::Failed)
            failed |= 8;
        plat::CReplacementFile replacement;
        if (replacement.Begin("TestDestinationReadibility.txt"))
            failed |= 16;
        if (plat::SyncFileToDisk("Ombrisalt.CFG"))
            failed |= 32;
        return failed;
    });
    EXPECT_EQ(status, 0) << "-1: a child waited on a pipe; else the bits of the checks that failed";
    for (const char* name : names) {
        struct stat st;
        ASSERT_EQ(::stat(name, &st), 0) << name;
        EXPECT_TRUE(S_ISFIFO(st.st_mode)) << name << " was replaced";
    }
}

// --- Settings kept parsed ---

TEST_F(FileLock, SettingsReadAgainOnlyWhenTheFileChanged)
{
    WriteBytes("Config.INI", "[A]\r\nk=1\r\n");
    EXPECT_EQ(plat::ReadProfileString("Config.INI", "A", "k", ""), "1");
    // Replaced by another route, same size: a new file on disk.
    ASSERT_TRUE(plat::ReplaceFileContents("Config.INI", "[A]\r\nk=2\r\n", 10));
    EXPECT_EQ(plat::ReadProfileString("Config.INI", "A", "k", ""), "2");
    // Rewritten in place, longer.
    WriteBytes("Config.INI", "[A]\r\nk=345\r\n");
    EXPECT_EQ(plat::ReadProfileString("Config.INI", "A", "k", ""), "345");
    ASSERT_TRUE(plat::WriteProfileString("Config.INI", "A", "j", "6"));
    EXPECT_EQ(plat::ReadProfileString("Config.INI", "a", "J", ""), "6");
    EXPECT_EQ(ReadBytes("Config.INI"), "[A]\r\nk=345\r\nj=6\r\n");
}

} // namespace
