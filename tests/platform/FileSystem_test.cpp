#include "platform/FileSystem.h"
#include "platform/ReplacementGroup.h"

#include "support/ScopedHooks.h"
#include "support/TestSupport.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using FileSystem = CTempFolderTest;

// A folder last changed well in the past, as a game's installed data is.
void AgeFolder(const std::string& folder)
{
    SetWriteTime(folder, static_cast<long long>(std::time(nullptr)) - 3600);
}

// Runs in a death-test child: exits 0 when the replacement reports failure.
void ReplaceUnderFileSizeLimit(const char* name, rlim_t limitBytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{limitBytes, limitBytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const std::string bytes(100000, 'x');
    // _exit: the leak check at exit would run under the 4-byte limit, in a
    // child forked from a process with threads.
    ::_exit(plat::ReplaceFileContents(name, bytes.data(), bytes.size()) ? 1 : 0);
}

TEST_F(FileSystem, ResolvesEveryComponentCaseBlindWithEitherSeparator)
{
    WriteBytes("Data/Images/Hero.TGA", "tga");
    EXPECT_EQ(plat::ResolvePath("data\\IMAGES\\hero.tga"), "Data/Images/Hero.TGA");
    EXPECT_EQ(plat::ResolvePath("./DATA/images/HERO.tga"), "./Data/Images/Hero.TGA");
    EXPECT_EQ(plat::ResolvePath("data\\images\\"), "Data/Images/");
    EXPECT_EQ(plat::ResolvePath(Folder() + "\\DATA\\images"), Folder() + "/Data/Images");
    // Nothing below a missing component exists, so the rest keeps its spelling.
    EXPECT_EQ(plat::ResolvePath("data\\Sounds\\Boom.WAV"), "Data/Sounds/Boom.WAV");

    std::FILE* file = plat::OpenFile("DATA\\images\\HERO.TGA", "rb");
    ASSERT_NE(file, nullptr);
    char bytes[4] = {};
    EXPECT_EQ(std::fread(bytes, 1, sizeof bytes, file), 3u);
    std::fclose(file);
    EXPECT_STREQ(bytes, "tga");
}

// A Linux folder may hold "\\" in its name: such a folder on the way keeps
// it, while in names that match no such entry "\\" still separates.
TEST_F(FileSystem, ABackslashThatIsPartOfARealNameSurvivesAndSeparatesElsewhere)
{
    WriteBytes("a\\b/Save.txt", "saved");
    WriteBytes("p\\q/r.txt", "r");
    WriteBytes("Data/Images/Hero.TGA", "tga");
    EXPECT_EQ(plat::ResolvePath("a\\b/Save.txt"), "a\\b/Save.txt");
    EXPECT_EQ(plat::ResolvePath(Folder() + "/A\\B/save.TXT"), Folder() + "/a\\b/Save.txt");
    EXPECT_EQ(plat::ResolvePath("P\\Q\\R.TXT"), "p\\q/r.txt") << "the longest real entry, then separators";
    EXPECT_EQ(plat::ResolvePath("data\\images\\hero.tga"), "Data/Images/Hero.TGA");
    EXPECT_EQ(plat::ResolvePath("a\\b/New Folder\\New.txt"), "a\\b/New Folder/New.txt")
        << "below a missing component every \\ separates";

    std::FILE* file = plat::OpenFile(Folder() + "/a\\b/Save.txt", "rb");
    ASSERT_NE(file, nullptr);
    char bytes[8] = {};
    EXPECT_EQ(std::fread(bytes, 1, sizeof bytes, file), 5u);
    std::fclose(file);
    EXPECT_STREQ(bytes, "saved");
    EXPECT_TRUE(plat::CreateFolder(Folder() + "/a\\b/Saves"));
    EXPECT_TRUE(std::filesystem::is_directory(Folder() + "/a\\b/Saves"));
}

TEST_F(FileSystem, NamesDifferingOnlyInCaseResolveToTheFirstSortedWhateverCaseIsAsked)
{
    WriteBytes("Pics/abC", "3");
    WriteBytes("Pics/aBC", "2");
    WriteBytes("Pics/Abc", "1");
    // While the folder is changing, a spelling that exists is taken as it
    // is; any other is the first case-blind equal name in byte order.
    EXPECT_EQ(plat::ResolvePath("pics/aBC"), "Pics/aBC");
    EXPECT_EQ(plat::ResolvePath("PICS/ABC"), "Pics/Abc");
    // Once it has settled, every spelling gives the same twin.
    AgeFolder("Pics");
    for (const char* asked : {"pics/aBC", "pics/abC", "PICS/ABC", "pics/abc", "Pics/Abc"})
        EXPECT_EQ(plat::ResolvePath(asked), "Pics/Abc") << asked;
    std::FILE* file = plat::OpenFile("Pics/abC", "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(std::fgetc(file), '1');
    std::fclose(file);
    // Twins made in either order: the order the folder lists them in decides nothing.
    for (int i = 0; i < 8; ++i) {
        const std::string twins[] = {"Twin" + std::to_string(i), "twin" + std::to_string(i)};
        WriteBytes("Twins/" + twins[i % 2], "");
        WriteBytes("Twins/" + twins[1 - i % 2], "");
    }
    AgeFolder("Twins");
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(plat::ResolvePath("twins/TWIN" + std::to_string(i)), "Twins/Twin" + std::to_string(i));
}

TEST_F(FileSystem, ChangesByOtherRoutesAreSeenAtTheNextLookup)
{
    WriteBytes("Box/Keep.txt", "k");
    // Created straight after a lookup: where directory times are coarse this
    // is mostly within the same clock tick, which leaves the folder's time
    // as it was.
    for (int i = 0; i < 20; ++i) {
        const std::string name = "New" + std::to_string(i) + ".txt";
        ASSERT_EQ(plat::ResolvePath("box/" + name), "Box/" + name);
        std::ofstream(PathOf("Box/NEW" + std::to_string(i) + ".TXT")) << "n";
        ASSERT_EQ(plat::ResolvePath("box/" + name), "Box/NEW" + std::to_string(i) + ".TXT") << i;
    }

    // An old folder's listing is kept; a change of the folder drops it.
    WriteBytes("Old/Twin.txt", "1");
    WriteBytes("Old/twin.txt", "2");
    AgeFolder("Old");
    EXPECT_EQ(plat::ResolvePath("old/TWIN.TXT"), "Old/Twin.txt");
    std::remove(PathOf("Old/Twin.txt").c_str());
    EXPECT_EQ(plat::ResolvePath("old/TWIN.TXT"), "Old/twin.txt");
    std::remove(PathOf("Old/twin.txt").c_str());
    EXPECT_EQ(plat::ResolvePath("old/TWIN.TXT"), "Old/TWIN.TXT");
    AgeFolder("Old");
    EXPECT_EQ(plat::ResolvePath("old/Other.txt"), "Old/Other.txt");
    std::ofstream(PathOf("Old/OTHER.txt")) << "o";
    EXPECT_EQ(plat::ResolvePath("old/Other.txt"), "Old/OTHER.txt");
}

TEST_F(FileSystem, OwnCreateRenameAndDeleteAreSeenAtOnce)
{
    WriteBytes("Box/Keep.txt", "k");
    AgeFolder("Box");
    EXPECT_EQ(plat::ResolvePath("box/new.txt"), "Box/new.txt");
    std::FILE* file = plat::OpenFile("Box/New.TXT", "wb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    EXPECT_EQ(plat::ResolvePath("box/new.txt"), "Box/New.TXT");

    AgeFolder("Box");
    EXPECT_EQ(plat::ResolvePath("box/moved.txt"), "Box/moved.txt");
    ASSERT_TRUE(plat::RenameFile("box/new.txt", "Box/Moved.txt"));
    EXPECT_EQ(plat::ResolvePath("box/moved.txt"), "Box/Moved.txt");
    EXPECT_EQ(plat::ResolvePath("box/new.txt"), "Box/new.txt");

    AgeFolder("Box");
    EXPECT_EQ(plat::ResolvePath("box/MOVED.txt"), "Box/Moved.txt");
    ASSERT_TRUE(plat::DeleteFile("box/moved.TXT"));
    EXPECT_EQ(plat::ResolvePath("box/MOVED.txt"), "Box/MOVED.txt");
    EXPECT_FALSE(plat::PathExists("box/moved.txt"));

    AgeFolder("Box");
    EXPECT_EQ(plat::ResolvePath("box/sub/x"), "Box/sub/x");
    ASSERT_TRUE(plat::CreateFolder("Box/Sub"));
    EXPECT_EQ(plat::ResolvePath("box/sub/x"), "Box/Sub/x");

    const std::string content = "r";
    AgeFolder("Box");
    ASSERT_TRUE(plat::ReplaceFileContents("Box/Replaced.txt", content.data(), content.size()));
    EXPECT_EQ(plat::ResolvePath("box/replaced.TXT"), "Box/Replaced.txt");
}

TEST_F(FileSystem, WritesGoToTheExistingFileOfAnotherCaseAndNewNamesKeepTheirSpelling)
{
    WriteBytes("Save/Config.INI", "old");
    std::FILE* file = plat::OpenFile("save\\config.ini", "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("new", file);
    std::fclose(file);
    EXPECT_EQ(ReadBytes("Save/Config.INI"), "new");

    file = plat::OpenFile("SAVE\\Fresh.Txt", "wb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    EXPECT_EQ(ListNames("Save"), "Config.INI Fresh.Txt");

    EXPECT_TRUE(plat::CreateFolder("save\\Sub"));
    EXPECT_FALSE(plat::CreateFolder("SAVE\\sub")) << "exists in another case";
    EXPECT_FALSE(plat::CreateFolder("Save\\No\\Deeper")) << "one level only";
    EXPECT_EQ(ListNames("Save"), "Config.INI Fresh.Txt Sub");
}

TEST_F(FileSystem, StatusReportsKindSizeTimeAndReadOnly)
{
    WriteBytes("Folder/File.bin", "12345");
    // The Unix epoch in file time units, plus 1.5 s.
    const timespec times[2] = {{1, 500000000}, {1, 500000000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, "Folder/File.bin", times, 0), 0);

    plat::FileStatus status;
    ASSERT_TRUE(plat::GetFileStatus("folder\\file.BIN", status));
    EXPECT_FALSE(status.isFolder);
    EXPECT_FALSE(status.isReadOnly);
    EXPECT_EQ(status.size, 5u);
    EXPECT_EQ(status.writeTime, 116444736000000000ull + 15000000ull);

    EXPECT_TRUE(plat::IsFolder("FOLDER"));
    EXPECT_FALSE(plat::IsFolder("folder/file.bin"));
    EXPECT_TRUE(plat::PathExists("folder/file.bin"));
    EXPECT_FALSE(plat::PathExists("folder/missing.bin"));
    EXPECT_FALSE(plat::GetFileStatus("", status));
}

TEST_F(FileSystem, ReadOnlyIsTheOwnerWriteBitAndProtectsFromDeletion)
{
    WriteBytes("Locked.txt", "x");
    ASSERT_EQ(::chmod("Locked.txt", 0664), 0);
    EXPECT_TRUE(plat::SetReadOnly("locked.TXT", true));
    struct stat st;
    ASSERT_EQ(::stat("Locked.txt", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0464u) << "other permission bits are kept";
    EXPECT_TRUE(plat::IsReadOnly("LOCKED.txt"));
    EXPECT_FALSE(plat::DeleteFile("locked.txt"));
    EXPECT_TRUE(DiskHas("Locked.txt"));

    EXPECT_TRUE(plat::SetReadOnly("locked.txt", false));
    EXPECT_FALSE(plat::IsReadOnly("locked.txt"));
    EXPECT_TRUE(plat::DeleteFile("locked.txt"));
    EXPECT_FALSE(DiskHas("Locked.txt"));

    EXPECT_FALSE(plat::IsReadOnly("missing"));
    EXPECT_FALSE(plat::SetReadOnly("missing", true));
    EXPECT_FALSE(plat::DeleteFile("missing"));
}

TEST_F(FileSystem, RenameReplacesAnExistingTargetOfAnyCase)
{
    WriteBytes("A.tmp", "new");
    WriteBytes("Target.dat", "old");
    EXPECT_TRUE(plat::RenameFile("a.TMP", "TARGET.DAT"));
    EXPECT_EQ(ListNames("."), "Target.dat");
    EXPECT_EQ(ReadBytes("Target.dat"), "new");
    EXPECT_FALSE(plat::RenameFile("a.tmp", "b.tmp"));
}

TEST_F(FileSystem, CurrentFolderProgramPathAndDiskSpace)
{
    WriteBytes("Work/Place/x", "");
    ASSERT_TRUE(plat::SetCurrentFolder("work\\PLACE"));
    EXPECT_EQ(plat::GetCurrentFolder(), Folder() + "/Work/Place");
    EXPECT_FALSE(plat::SetCurrentFolder("nowhere"));

    const std::string program = plat::GetProgramPath();
    ASSERT_FALSE(program.empty());
    EXPECT_EQ(program.front(), '/');
    EXPECT_TRUE(plat::PathExists(program));

    std::uint64_t freeBytes = 0;
    EXPECT_TRUE(plat::GetFreeDiskSpace(".", freeBytes));
    EXPECT_FALSE(plat::GetFreeDiskSpace("no/such/folder", freeBytes));
}

TEST_F(FileSystem, FileTimesCountFrom1601)
{
    EXPECT_EQ(plat::UnixTimeToFileTime(0, 0), 116444736000000000ull);
    EXPECT_EQ(plat::UnixTimeToFileTime(-11644473600, 0), 0u);
    EXPECT_EQ(plat::UnixTimeToFileTime(-11644473601, 0), 0u) << "before 1601 clamps";
    EXPECT_EQ(plat::UnixTimeToFileTime(0, 199), 116444736000000001ull);
    // 2020-01-01 onwards, as a sanity bound on the clock.
    EXPECT_GT(plat::GetSystemFileTime(), plat::UnixTimeToFileTime(1577836800, 0));
}

TEST_F(FileSystem, AtomicReplaceWritesNewContentsAndKeepsPermissions)
{
    WriteBytes("Prefs/Stats.dat", "old contents");
    ASSERT_EQ(::chmod("Prefs/Stats.dat", 0640), 0);
    ASSERT_TRUE(plat::ReplaceFileContents("prefs\\STATS.DAT", "new", 3));
    EXPECT_EQ(ReadBytes("Prefs/Stats.dat"), "new");
    EXPECT_EQ(ListNames("Prefs"), "Stats.dat") << "no temporary left, no second file";
    struct stat st;
    ASSERT_EQ(::stat("Prefs/Stats.dat", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    ASSERT_TRUE(plat::ReplaceFileContents("Prefs/Empty.dat", "", 0));
    EXPECT_EQ(ReadBytes("Prefs/Empty.dat"), "");
}

TEST_F(FileSystem, AtomicReplaceRefusesWhatItMustNotOverwrite)
{
    WriteBytes("Keep.dat", "old");
    ASSERT_TRUE(plat::SetReadOnly("Keep.dat", true));
    EXPECT_FALSE(plat::ReplaceFileContents("keep.dat", "new", 3));
    EXPECT_EQ(ReadBytes("Keep.dat"), "old");

    WriteBytes("Dir/x", "");
    EXPECT_FALSE(plat::ReplaceFileContents("dir", "new", 3));
    EXPECT_FALSE(plat::ReplaceFileContents("Missing/File.dat", "new", 3));

    // A file that is a link to one elsewhere: the link is not replaced by a
    // file of its own, nor written through.
    WriteBytes("Elsewhere/Levels.txt", "old");
    std::filesystem::create_symlink("Elsewhere/Levels.txt", "Levels.txt");
    EXPECT_FALSE(plat::ReplaceFileContents("levels.txt", "new", 3));
    EXPECT_TRUE(std::filesystem::is_symlink("Levels.txt"));
    EXPECT_EQ(ReadBytes("Elsewhere/Levels.txt"), "old");
    EXPECT_EQ(ListNames("."), "Dir Elsewhere Keep.dat Levels.txt");
}

TEST_F(FileSystem, AbandonedReplacementLeavesTheOldFileAndNoTemporary)
{
    WriteBytes("Save.dat", "old");
    {
        plat::CReplacementFile file;
        ASSERT_TRUE(file.Begin("save.dat"));
        std::fputs("half written", file.Stream());
    }
    EXPECT_EQ(ReadBytes("Save.dat"), "old");
    EXPECT_EQ(ListNames("."), "Save.dat");
}

// What the target and the synced file held when the sync was reported.
struct SyncSighting {
    std::string path;
    std::string synced;
    std::string target;
};
std::vector<SyncSighting> g_Syncs;

TEST_F(FileSystem, AtomicReplaceSyncsTheTemporaryBeforeTheRename)
{
    WriteBytes("Save.dat", "old");
    g_Syncs.clear();
    {
        const CScopedSyncObserver observer([](std::string_view path) {
            g_Syncs.push_back({std::string(path), ReadBytes(std::string(path)), ReadBytes("Save.dat")});
        });
        ASSERT_TRUE(plat::ReplaceFileContents("save.dat", "new", 3));
    }
    ASSERT_EQ(g_Syncs.size(), 1u);
    EXPECT_NE(g_Syncs[0].path, PathOf("Save.dat"));
    EXPECT_EQ(g_Syncs[0].synced, "new");
    EXPECT_EQ(g_Syncs[0].target, "old");
    EXPECT_EQ(ReadBytes("Save.dat"), "new");
}

TEST_F(FileSystem, FailedCommitLeavesNoTemporary)
{
    // The target becomes a folder holding a file after the temporary was
    // made: the rename fails, and the temporary must go with it.
    WriteBytes("Save.dat", "old");
    plat::CReplacementFile file;
    ASSERT_TRUE(file.Begin("Save.dat"));
    std::fputs("new", file.Stream());
    ASSERT_EQ(std::remove("Save.dat"), 0);
    WriteBytes("Save.dat/inside", "x");
    EXPECT_FALSE(file.Commit());
    EXPECT_EQ(ListNames("."), "Save.dat");
    EXPECT_EQ(ListNames("Save.dat"), "inside");
}

TEST_F(FileSystem, FailedTemporaryWriteLeavesTheOldFileUntouched)
{
    WriteBytes("Big.dat", "the old file");
    // The child may write at most 4 bytes; the replacement must fail cleanly.
    EXPECT_EXIT(ReplaceUnderFileSizeLimit("big.dat", 4), testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadBytes("Big.dat"), "the old file");
    EXPECT_EQ(ListNames("."), "Big.dat");
}

// A group's three files, one in a sub-folder: what each holds, in order.
std::string GroupContents()
{
    return ReadBytes("Levels.txt") + " " + ReadBytes("Cards/Card.txt") + " " + ReadBytes("Tips.txt");
}

bool ReplaceTheGroup(std::string* failedPath = nullptr)
{
    plat::CReplacementGroup group;
    bool ok = plat::ReplaceFileContents("levels.txt", "new", 3);
    ok = plat::ReplaceFileContents("CARDS/card.txt", "stale", 5) && ok;
    ok = plat::ReplaceFileContents("Cards/Card.txt", "new", 3) && ok; // the later write wins
    ok = plat::ReplaceFileContents("Tips.txt", "new", 3) && ok;
    return group.Commit(failedPath) && ok;
}

int g_StopAtStep = 0;

TEST_F(FileSystem, FilesReplacedTogetherAreAllOldOrAllNewWhereverTheProgramStops)
{
    int step = 1;
    for (;; ++step) {
        SCOPED_TRACE("stopped at step " + std::to_string(step));
        WriteBytes("Levels.txt", "old");
        WriteBytes("Cards/Card.txt", "old");
        WriteBytes("Tips.txt", "old");
        g_StopAtStep = step;
        std::fflush(nullptr);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            plat::SetSyncObserver([](std::string_view) {
                if (--g_StopAtStep == 0)
                    ::_exit(9);
            });
            ::_exit(ReplaceTheGroup() ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        // The next start.
        plat::FinishInterruptedReplacements();
        const std::string seen = GroupContents();
        EXPECT_TRUE(seen == "old old old" || seen == "new new new") << seen;
        EXPECT_EQ(ListNames(".").find("journal"), std::string::npos);
        if (WEXITSTATUS(status) != 9) {
            EXPECT_EQ(WEXITSTATUS(status), 0);
            EXPECT_EQ(seen, "new new new");
            break;
        }
    }
    // Four temporaries, their two folders and the journal synced, three renames.
    EXPECT_EQ(step, 11);
}

TEST_F(FileSystem, AGroupWithAFileThatCannotBeWrittenReplacesNoneAndNamesIt)
{
    WriteBytes("Levels.txt", "old");
    WriteBytes("Cards/Card.txt", "old");
    WriteBytes("Tips.txt", "old");
    ASSERT_TRUE(plat::SetReadOnly("Tips.txt", true));
    std::string failed;
    EXPECT_FALSE(ReplaceTheGroup(&failed));
    EXPECT_EQ(failed, "Tips.txt");
    EXPECT_EQ(GroupContents(), "old old old");
    EXPECT_EQ(ListNames("."), "Cards Levels.txt Tips.txt");
    EXPECT_EQ(ListNames("Cards"), "Card.txt") << "no temporary left";

    // Abandoned, or given up inside an inner group: nothing changes either.
    ASSERT_TRUE(plat::SetReadOnly("Tips.txt", false));
    {
        plat::CReplacementGroup group;
        ASSERT_TRUE(plat::ReplaceFileContents("Levels.txt", "new", 3));
    }
    {
        plat::CReplacementGroup outer;
        ASSERT_TRUE(plat::ReplaceFileContents("Levels.txt", "new", 3));
        {
            plat::CReplacementGroup inner;
            ASSERT_TRUE(plat::ReplaceFileContents("Tips.txt", "new", 3));
        }
        EXPECT_FALSE(outer.Commit());
    }
    EXPECT_EQ(GroupContents(), "old old old");
    EXPECT_EQ(ListNames("."), "Cards Levels.txt Tips.txt");
}

} // namespace
