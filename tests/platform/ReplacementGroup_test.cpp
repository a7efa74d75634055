// What a start does with the journals in its folder: a group a kill cut
// short is finished; anything else (damaged, changed since, not a state a
// kill leaves, naming files outside the folder or not ours, no regular file,
// no journal's) leaves every file as it is.
#include "platform/FileSystem.h"
#include "platform/ReplacementGroup.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <linux/fs.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/user.h>
#include <sys/wait.h>
#include <thread>
#include <fcntl.h>
#include <unistd.h>

namespace {

using ReplacementJournal = CTempFolderTest;

std::string Contents()
{
    return ReadBytes("A.txt") + " " + ReadBytes("Cards/B.txt") + " " + ReadBytes("C.txt");
}

bool ReplaceThree(const char* a = "A.txt")
{
    plat::CReplacementGroup group;
    bool ok = plat::ReplaceFileContents(a, "new", 3);
    ok = plat::ReplaceFileContents("Cards/B.txt", "new", 3) && ok;
    ok = plat::ReplaceFileContents("C.txt", "new", 3) && ok;
    return group.Commit() && ok;
}

// The child runs the save and dies at the sync the observer picks; answers its exit status.
int InChild(plat::SyncObserver observer, const std::function<bool()>& save)
{
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        plat::SetSyncObserver(observer);
        ::_exit(save() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool IsRename(std::string_view path)
{
    return path.find(".tmp") == std::string_view::npos && path.find(".journal") == std::string_view::npos
        && !path.ends_with('/');
}

// The three files' group killed after its first rename: one file new, the journal written.
void StopAtFirstRename()
{
    WriteBytes("A.txt", "old");
    WriteBytes("Cards/B.txt", "old");
    WriteBytes("C.txt", "old");
    ASSERT_EQ(InChild([](std::string_view path) { if (IsRename(path)) ::_exit(9); }, [] { return ReplaceThree(); }), 9);
    ASSERT_EQ(Contents(), "new old old");
}

std::string Journals()
{
    std::string names;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        if (const std::string name = entry.path().filename().string(); name.find("journal") != std::string::npos)
            names += name + " ";
    return names;
}

bool NoTemporaryLeft()
{
    for (const auto& entry : std::filesystem::recursive_directory_iterator("."))
        if (entry.path().filename().string().find(".tmp") != std::string::npos)
            return false;
    return true;
}

std::string BaseName(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

plat::JournalStamp StampOf(const std::string& path)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0)
        return {};
    return {true, std::uint64_t(st.st_size), std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

void SetTimeNs(const std::string& path, std::int64_t ns)
{
    const timespec times[2] = {{0, UTIME_OMIT}, {ns / 1000000000, ns % 1000000000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

// Every file below the folder as a copy that keeps no time (cp -r) or whole
// seconds only (tar) leaves it.
void CopyTimes(bool wholeSeconds)
{
    for (const auto& entry : std::filesystem::recursive_directory_iterator("."))
        if (entry.is_regular_file()) {
            const plat::JournalStamp stamp = StampOf(entry.path().string());
            SetTimeNs(entry.path().string(), wholeSeconds ? stamp.writeTimeNs / 1000000000 * 1000000000 : 86400000000001);
        }
}

TEST_F(ReplacementJournal, AStopIsFinishedAtTheNextStartAndAnyOtherStateIsLeftAsItIs)
{
    // kept: the journal and its temporaries stay, said with what to do; then
    // the user puts the folder back (restore) or removes the journal.
    struct Case {
        const char* name;
        std::function<void(const std::string& journal)> change;
        const char* left;
        bool kept = false;
        bool restore = false;
        const char* after = nullptr;
    };
    const auto touch = [](const std::string& path) { SetTimeNs(path, 86400000000001); };
    const auto waiting = [] {
        for (const auto& e : std::filesystem::directory_iterator("Cards"))
            if (e.path().filename() != "B.txt")
                return e.path().string();
        return std::string();
    };
    const Case cases[] = {
        {"as the kill left it", [](const std::string&) {}, "new new new"},
        {"a byte changed", [](const std::string& j) { std::string t = ReadBytes(j); t[t.find("file") + 1] = 'X'; WriteBytes(j, t); },
         "new old old"},
        {"cut at a line's end", [](const std::string& j) { std::string t = ReadBytes(j); WriteBytes(j, t.substr(0, t.rfind("end"))); },
         "new old old"},
        // The renamed file's former stamp, which nothing on disk is compared with.
        {"a byte changed that only the seal reads", [](const std::string& j) {
             std::string t = ReadBytes(j);
             char& digit = t[t.find('\n', t.find("file\tA.txt")) - 1];
             digit = digit == '1' ? '2' : '1';
             WriteBytes(j, t);
         }, "new old old"},
        {"a target saved since", [](const std::string&) { WriteBytes("C.txt", "mine"); }, "new old mine", true, false,
         "new old mine"},
        {"a temporary gone before one still there", [&](const std::string&) { std::filesystem::remove(waiting()); },
         "new old old", true, false, "new old old"},
        {"a waiting target touched", [&](const std::string&) { touch("C.txt"); }, "new old old", true, true, "new new new"},
        {"a renamed target touched", [&](const std::string&) { touch("A.txt"); }, "new old old", true, true, "new new new"},
        {"a temporary touched", [&](const std::string&) { touch(waiting()); }, "new old old", true, true, "new new new"},
        {"copied without times", [](const std::string&) { CopyTimes(false); }, "new old old", true, false, "new old old"},
        {"copied with whole seconds", [](const std::string&) { CopyTimes(true); }, "new old old", true, true,
         "new new new"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(StopAtFirstRename());
        std::string journal = Journals();
        ASSERT_FALSE(journal.empty());
        journal.pop_back();
        plat::JournalKind kind;
        std::vector<plat::JournalEntry> recorded;
        ASSERT_TRUE(plat::DecodeJournal(ReadBytes(journal), kind, recorded));
        c.change(journal);
        const std::string said = plat::FinishInterruptedReplacements();
        EXPECT_EQ(Contents(), c.left);
        EXPECT_EQ(said.empty(), std::string(c.left) == "new new new") << said;
        EXPECT_EQ(Journals(), c.kept ? journal + " " : "");
        EXPECT_EQ(NoTemporaryLeft(), !c.kept);
        if (!c.kept)
            continue;
        EXPECT_NE(said.find("Cards/B.txt, C.txt. To finish the save, put the folder back as the stop left it"),
                  std::string::npos) << said;
        EXPECT_NE(said.find("remove " + journal), std::string::npos) << said;
        if (c.restore) {
            for (const plat::JournalEntry& entry : recorded) {
                const std::string folder = std::filesystem::path(entry.target).parent_path().string();
                const std::string temporary = (folder.empty() ? "" : folder + "/") + entry.temporary;
                if (DiskHas(temporary))
                    SetTimeNs(temporary, entry.temporaryStamp.writeTimeNs);
                SetTimeNs(entry.target, (DiskHas(temporary) ? entry.targetStamp : entry.temporaryStamp).writeTimeNs);
            }
        } else {
            std::filesystem::remove(journal);
        }
        EXPECT_EQ(plat::FinishInterruptedReplacements(), "");
        EXPECT_EQ(Contents(), c.after);
        EXPECT_EQ(Journals(), "");
        EXPECT_TRUE(NoTemporaryLeft());
    }
}

// Two accounts on one folder, the first saving with umask 077: a stop leaves
// its journal 0600. The second account's start leaves it and every
// temporary it names, and says so; the first account's start finishes it.
TEST_F(ReplacementJournal, AJournalThisAccountMayNotReadIsLeftForTheAccountThatMay)
{
    ASSERT_NO_FATAL_FAILURE(StopAtFirstRename());
    std::string journal = Journals();
    journal.pop_back();
    ASSERT_EQ(::chmod(journal.c_str(), 0600), 0);
    ASSERT_EQ(::chmod(".", 0777) | ::chmod("Cards", 0777), 0);
    const std::string text = AsAnotherAccount([] {
        std::string said = plat::FinishInterruptedReplacements();
        // Which files that journal names cannot be told: the writers of the
        // files a group may hold are told, and refuse; the platform's own
        // writes pass it.
        const plat::WaitingJournal told = plat::JournalWaitingFor("D.txt", plat::UnreadableJournals::Answer);
        said += told.unreadable ? "|" + told.name : "|not told";
        said += plat::JournalWaitingFor("D.txt", plat::UnreadableJournals::Pass).name.empty() ? "|passed" : "|held";
        said += plat::ReplaceFileContents("D.txt", "d", 1) ? "|saved" : "|refused";
        return said;
    });
    EXPECT_NE(text.find("may not read"), std::string::npos) << text;
    EXPECT_NE(text.find(journal), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("|" + BaseName(journal) + "|passed|saved")) << text;
    EXPECT_EQ(ReadBytes("D.txt"), "d");
    EXPECT_EQ(Journals(), journal + " ");
    EXPECT_FALSE(NoTemporaryLeft());
    EXPECT_EQ(plat::FinishInterruptedReplacements(), "");
    EXPECT_EQ(Contents(), "new new new");
}

// The last build's journal, ".Replacements.journal": "replace", then a line
// "<temporary>\t<target>" a file, the paths as that build resolved them.
void WriteOldJournal(const std::string& lines)
{
    WriteBytes(".Replacements.journal", "replace\n" + lines);
}

// A kill under the last build left its first renames made and the rest
// waiting: its start finished them, and so does this one. Any other state
// leaves the files as they are; the last build's kill while its journal was
// written (its lock's empty placeholder at the name) has nothing to finish.
TEST_F(ReplacementJournal, TheLastBuildsJournalIsFinishedInTheOrderAKillLeaves)
{
    const std::string temporaries[] = {".A.txt.tmp7_1", "Cards/.B.txt.tmp7_2", ".C.txt.tmp7_3"};
    const std::string targets[] = {"A.txt", "Cards/B.txt", "C.txt"};
    // A bare name's folder ".", a folder, an absolute path in the program folder.
    const std::string journal = "./.A.txt.tmp7_1\tA.txt\nCards/.B.txt.tmp7_2\tCards/B.txt\n" + PathOf(".C.txt.tmp7_3")
        + "\t" + PathOf("C.txt") + "\n";
    struct Case {
        const char* name;
        int renamed;
        std::function<void()> change;
        const char* left;
        bool refused;
    };
    const auto as = [&](const std::string& text) { return [text] { WriteOldJournal(text); }; };
    const Case cases[] = {
        {"none renamed", 0, as(journal), "new new new", false},
        {"one renamed", 1, as(journal), "new new new", false},
        {"two renamed", 2, as(journal), "new new new", false},
        {"all renamed", 3, as(journal), "new new new", false},
        {"killed while its journal was written", 0,
         [&] {
             WriteBytes(".Replacements.journal", "");
             WriteBytes("..Replacements.journal.tmp7_4", journal);
             for (const std::string& temporary : temporaries)
                 std::filesystem::remove(temporary);
         },
         "old old old", false},
        {"a temporary gone between two still there", 0,
         [&] {
             WriteOldJournal(journal);
             std::filesystem::remove(temporaries[1]);
         },
         "old old old", true},
        {"a renamed target gone", 2,
         [&] {
             WriteOldJournal(journal);
             std::filesystem::remove(targets[1]);
         },
         "new (none) old", true},
        {"a temporary not of its target", 0,
         [&] {
             WriteOldJournal("./.C.txt.tmp7_1\tA.txt\n" + journal.substr(journal.find('\n') + 1));
             std::filesystem::remove(temporaries[0]);
         },
         "old old old", true},
        {"a line cut short", 1, as(journal.substr(0, journal.size() - 1)), "new old old", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int i = 0; i < 3; ++i) {
            WriteBytes(targets[i], i < c.renamed ? "new" : "old");
            if (i >= c.renamed)
                WriteBytes(temporaries[i], "new");
        }
        c.change();
        const std::string said = plat::FinishInterruptedReplacements();
        EXPECT_EQ(ReadBytes("A.txt") + " " + (DiskHas("Cards/B.txt") ? ReadBytes("Cards/B.txt") : "(none)") + " "
                      + ReadBytes("C.txt"),
                  c.left);
        EXPECT_EQ(said.empty(), !c.refused) << said;
        EXPECT_EQ(Journals(), "");
        EXPECT_TRUE(NoTemporaryLeft());
    }
}

// Hundreds of life rewards renumbered by one Insert made a journal of the
// last build longer than one read: it is read whole, not cut at the first.
TEST_F(ReplacementJournal, TheLastBuildsLargeJournalIsReadWhole)
{
    std::string lines;
    for (int i = 0; i < 600; ++i) {
        const std::string name = "Life Rewards/R" + std::to_string(i) + ".LifeRewards.txt";
        const std::string temporary = "Life Rewards/.R" + std::to_string(i) + ".LifeRewards.txt.tmp7_" + std::to_string(i);
        WriteBytes(name, i < 300 ? "new" : "old");
        if (i >= 300)
            WriteBytes(temporary, "new");
        lines += PathOf(temporary) + "\t" + PathOf(name) + "\n";
    }
    ASSERT_GT(lines.size(), size_t(65536));
    WriteOldJournal(lines);
    EXPECT_EQ(plat::FinishInterruptedReplacements(), "");
    EXPECT_EQ(ReadBytes("Life Rewards/R599.LifeRewards.txt"), "new");
    EXPECT_EQ(Journals(), "");
    EXPECT_TRUE(NoTemporaryLeft());
}

enum class Stopped { AtTheChange, Before, CannotTrace };

// A start's recovery in a child killed as it is about to make its k-th change
// to the disk (a rename or an unlink).
Stopped RecoverKilledAtChange(int k)
{
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
        ::raise(SIGSTOP);
        (void)plat::FinishInterruptedReplacements();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (::ptrace(PTRACE_SETOPTIONS, child, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL) != 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        return Stopped::CannotTrace;
    }
    int changes = 0, signal = 0;
    for (bool entering = true;; entering = !entering) {
        ::ptrace(PTRACE_SYSCALL, child, nullptr, reinterpret_cast<void*>(long(signal)));
        ::waitpid(child, &status, 0);
        if (!WIFSTOPPED(status))
            return Stopped::Before;
        signal = WSTOPSIG(status) == (SIGTRAP | 0x80) ? 0 : WSTOPSIG(status);
        if (signal != 0) {
            entering = !entering;
            continue;
        }
        user_regs_struct registers;
        ::ptrace(PTRACE_GETREGS, child, nullptr, &registers);
        const long call = long(registers.orig_rax);
        if (entering && (call == SYS_rename || call == SYS_renameat || call == SYS_renameat2 || call == SYS_unlink
                         || call == SYS_unlinkat) && ++changes == k) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return Stopped::AtTheChange;
        }
    }
}

// A start killed at any step of its recovery leaves what the next start
// finishes, or leaves as it is, as the first would have.
TEST_F(ReplacementJournal, AStartKilledAtAnyStepLeavesWhatTheNextStartCompletes)
{
    struct Case {
        const char* name;
        std::function<void()> prepare;
        const char* left;
    };
    const auto oldJournal = [](int renamed, int gone) {
        return [=] {
            const char* targets[] = {"A.txt", "Cards/B.txt", "C.txt"};
            const char* temporaries[] = {"./.A.txt.tmp7_1", "Cards/.B.txt.tmp7_2", "./.C.txt.tmp7_3"};
            std::string lines;
            for (int i = 0; i < 3; ++i) {
                WriteBytes(targets[i], i < renamed ? "new" : "old");
                std::filesystem::remove(temporaries[i]);
                if (i >= renamed && i != gone)
                    WriteBytes(temporaries[i], "new");
                lines += std::string(temporaries[i]) + "\t" + targets[i] + "\n";
            }
            WriteOldJournal(lines);
        };
    };
    const Case cases[] = {
        {"this build's journal", [] { StopAtFirstRename(); }, "new new new"},
        {"the last build's journal", oldJournal(1, -1), "new new new"},
        {"the last build's journal, refused", oldJournal(0, 1), "old old old"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int k = 1;; ++k) {
            SCOPED_TRACE(k);
            ASSERT_LT(k, 20);
            ASSERT_NO_FATAL_FAILURE(c.prepare());
            const Stopped stopped = RecoverKilledAtChange(k);
            if (stopped == Stopped::CannotTrace)
                GTEST_SKIP() << "no tracing here";
            plat::FinishInterruptedReplacements();
            EXPECT_EQ(Contents(), c.left);
            EXPECT_EQ(Journals(), "");
            if (stopped == Stopped::Before)
                break;
        }
    }
}

// The start's own finishing stopped at each of its syncs: the next start
// finishes it.
TEST_F(ReplacementJournal, AStopDuringTheStartIsFinishedByTheNext)
{
    for (int stop = 1;; ++stop) {
        SCOPED_TRACE(stop);
        ASSERT_LT(stop, 10);
        ASSERT_NO_FATAL_FAILURE(StopAtFirstRename());
        static int s_Left;
        s_Left = stop;
        const int status = InChild([](std::string_view) { if (--s_Left == 0) ::_exit(9); },
                                   [] { return plat::FinishInterruptedReplacements().empty(); });
        EXPECT_EQ(plat::FinishInterruptedReplacements(), "");
        EXPECT_EQ(Contents(), "new new new");
        EXPECT_EQ(Journals(), "");
        EXPECT_TRUE(NoTemporaryLeft());
        if (status == 0)
            break;
    }
}

TEST_F(ReplacementJournal, NothingOutsideTheFolderNorAnyFileNotOursIsTouched)
{
    WriteBytes("Outside/Victim.txt", "safe");
    WriteBytes("Outside/.Victim.txt.tmp1_1", "evil");
    std::filesystem::create_directories("Program");
    std::filesystem::create_directory_symlink("../Outside", "Program/Link");
    WriteBytes("Program/Levels.txt", "levels");
    WriteBytes("Program/Tips.txt", "tips");
    ASSERT_TRUE(plat::SetCurrentFolder("Program"));
    const plat::JournalStamp victim = StampOf("../Outside/Victim.txt"), evil = StampOf("../Outside/.Victim.txt.tmp1_1");
    const std::vector<plat::JournalEntry> hostile = {
        {"../Outside/Victim.txt", ".Victim.txt.tmp1_1", evil, victim},
        {PathOf("Outside/Victim.txt"), ".Victim.txt.tmp1_1", evil, victim},
        {"Link/../../Outside/Victim.txt", ".Victim.txt.tmp1_1", evil, victim},
        {"Levels.txt", "Tips.txt", StampOf("Tips.txt"), StampOf("Levels.txt")}, // no temporary of ours
    };
    for (const plat::JournalEntry& entry : hostile) {
        SCOPED_TRACE(entry.target);
        WriteBytes(".Replacements1_1.journal", plat::EncodeJournal(plat::JournalKind::Replace, {entry}));
        EXPECT_NE(plat::FinishInterruptedReplacements(), "");
        EXPECT_EQ(ReadBytes("../Outside/Victim.txt") + ReadBytes("../Outside/.Victim.txt.tmp1_1"), "safeevil");
        EXPECT_EQ(ReadBytes("Levels.txt") + ReadBytes("Tips.txt"), "levelstips");
    }
    // The last build's journal the same, a file of the folder waiting first.
    WriteBytes(".Levels.txt.tmp1_1", "new");
    for (const std::string& outside : {std::string("../Outside/"), PathOf("Outside/"), std::string("Link/../../Outside/")}) {
        SCOPED_TRACE(outside);
        WriteOldJournal("./.Levels.txt.tmp1_1\tLevels.txt\n" + outside + ".Victim.txt.tmp1_1\t" + outside + "Victim.txt\n");
        EXPECT_NE(plat::FinishInterruptedReplacements(), "");
        EXPECT_EQ(ReadBytes("../Outside/Victim.txt") + ReadBytes("../Outside/.Victim.txt.tmp1_1"), "safeevil");
        EXPECT_EQ(ReadBytes("Levels.txt"), "levels");
    }

    // No regular file, or no journal however large: refused without waiting
    // or reading on (2 GiB, sparse, read whole would take seconds).
    ASSERT_EQ(::mkfifo(".Replacements1_2.journal", 0600), 0);
    std::filesystem::create_symlink("../Outside/Victim.txt", ".Replacements1_3.journal");
    std::filesystem::create_symlink("/dev/zero", ".Replacements1_4.journal");
    const std::string header = "Ombrisalt journal 2\nreplace\n";
    const auto large = [](const std::string& name, const std::string& start) {
        WriteBytes(name, start);
        std::filesystem::resize_file(name, std::uintmax_t(2) << 30);
    };
    large(".Replacements1_5.journal", "");
    large(".Replacements1_6.journal", header);
    large(".Replacements1_7.journal", header + "file\tx\n" + std::string(1 << 20, 'x'));
    large(".Replacements1_8.journal", header + "x\nx\n");
    // Short lines no line-length bound stops: read no further than the first.
    std::string shortLines = header;
    for (int i = 0; i < 8 << 20; ++i)
        shortLines += "x\n";
    WriteBytes(".Replacements1_9.journal", shortLines);
    const auto bytesRead = [] {
        const std::string io = ReadBytes("/proc/self/io");
        return std::stoull(io.substr(io.find("rchar: ") + 7));
    };
    const unsigned long long readBefore = bytesRead();
    EXPECT_NE(plat::FinishInterruptedReplacements(), "");
    EXPECT_LT(bytesRead() - readBefore, 4ull << 20);
    EXPECT_EQ(ReadBytes("../Outside/Victim.txt"), "safe");
    EXPECT_EQ(Journals(), "");
}

// Data/ a link to another disk and a folder in it a link again: the save
// writes through them, and a start after a kill at any step finishes it the
// same way. A file that is a link is no file the save writes through: the
// group is refused, naming it, every file as it was.
TEST_F(ReplacementJournal, AGroupSavedThroughLinkedFoldersIsFinishedAfterAStopAnywhere)
{
    std::filesystem::create_directories("Program");
    std::filesystem::create_directories("Disk/Data");
    std::filesystem::create_directories("Other/Cards");
    WriteBytes("Other/Tip.txt", "old");
    std::filesystem::create_directory_symlink(PathOf("Disk/Data"), "Program/Data");
    std::filesystem::create_directory_symlink("../../Other/Cards", "Disk/Data/Cards");
    ASSERT_TRUE(plat::SetCurrentFolder("Program"));
    for (int stop = 1;; ++stop) {
        SCOPED_TRACE(stop);
        ASSERT_LT(stop, 20);
        std::filesystem::remove("Data/Made.txt");
        WriteBytes("Data/Cards/B.txt", "old");
        WriteBytes("Data/C.txt", "old");
        static int s_Left;
        s_Left = stop;
        const int status = InChild([](std::string_view) { if (--s_Left == 0) ::_exit(9); }, [] {
            plat::CReplacementGroup group;
            bool ok = plat::ReplaceFileContents("Data/Made.txt", "new", 3);
            ok = plat::ReplaceFileContents("Data/Cards/B.txt", "new", 3) && ok;
            ok = plat::ReplaceFileContents("Data/C.txt", "new", 3) && ok;
            return group.Commit() && ok;
        });
        EXPECT_EQ(plat::FinishInterruptedReplacements(), "");
        const std::string seen = (DiskHas("Data/Made.txt") ? ReadBytes("Data/Made.txt") : "none") + " "
            + ReadBytes("Data/Cards/B.txt") + " " + ReadBytes("Data/C.txt");
        EXPECT_TRUE(seen == "none old old" || seen == "new new new") << seen;
        EXPECT_EQ(Journals(), "");
        if (status == 0)
            break;
    }
    std::filesystem::remove("Data/C.txt");
    std::filesystem::create_symlink("../../Other/Tip.txt", "Data/C.txt");
    plat::CReplacementGroup group;
    (void)!plat::ReplaceFileContents("Data/Cards/B.txt", "two", 3);
    (void)!plat::ReplaceFileContents("Data/C.txt", "two", 3);
    std::string failed;
    EXPECT_FALSE(group.Commit(&failed));
    EXPECT_EQ(failed, "Data/C.txt");
    EXPECT_EQ(ReadBytes("Data/Cards/B.txt") + ReadBytes("../Other/Tip.txt"), "newold");
    EXPECT_TRUE(std::filesystem::is_symlink("Data/C.txt"));
}

TEST_F(ReplacementJournal, ARenameThatFailsAtTheStartKeepsTheJournalAndNamesTheFile)
{
    ASSERT_NO_FATAL_FAILURE(StopAtFirstRename());
    const auto immutable = [](bool on) {
        const int fd = ::open("Cards", O_RDONLY | O_DIRECTORY);
        int flags = 0;
        bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return ok;
    };
    if (!immutable(true))
        GTEST_SKIP() << "no immutable folders here";
    const std::string said = plat::FinishInterruptedReplacements();
    ASSERT_TRUE(immutable(false));
    EXPECT_NE(said.find("Could not finish saving Cards/B.txt"), std::string::npos) << said;
    EXPECT_EQ(Contents(), "new old old");
    EXPECT_NE(Journals(), "");
    EXPECT_EQ(plat::FinishInterruptedReplacements(), "");
    EXPECT_EQ(Contents(), "new new new");
}

std::atomic<bool> g_FirstGroupRenaming{false};

TEST_F(ReplacementJournal, TwoGroupsAtOnceEachKeepTheirOwnJournal)
{
    // One thread's group stops at its first rename; another's runs to its
    // end; then the program dies.
    WriteBytes("X1.txt", "old");
    WriteBytes("X2.txt", "old");
    const int status = InChild(
        [](std::string_view path) {
            if (IsRename(path) && path.ends_with("X1.txt")) {
                g_FirstGroupRenaming = true;
                for (;;)
                    ::pause();
            }
        },
        [] {
            std::thread([] {
                plat::CReplacementGroup group;
                (void)!plat::ReplaceFileContents("X1.txt", "new", 3);
                (void)!plat::ReplaceFileContents("X2.txt", "new", 3);
                (void)!group.Commit();
            }).detach();
            while (!g_FirstGroupRenaming)
                ::usleep(1000);
            plat::CReplacementGroup group;
            (void)!plat::ReplaceFileContents("Y1.txt", "new", 3);
            (void)!plat::ReplaceFileContents("Y2.txt", "new", 3);
            return group.Commit();
        });
    ASSERT_EQ(status, 0);
    plat::FinishInterruptedReplacements();
    EXPECT_EQ(ReadBytes("X1.txt") + ReadBytes("X2.txt"), "newnew");
}

TEST_F(ReplacementJournal, ANewFileOfAGroupStoppedAnywhereIsNotLeftBehind)
{
    // The new file first, then last: a stop after the old file's rename
    // leaves the new one's empty placeholder, which its "no file" fits.
    static bool s_MadeFirst;
    for (const bool madeFirst : {true, false}) {
        s_MadeFirst = madeFirst;
        for (int stop = 1;; ++stop) {
            SCOPED_TRACE(std::to_string(madeFirst) + " " + std::to_string(stop));
            ASSERT_LT(stop, 20);
            WriteBytes("Old.txt", "old");
            std::filesystem::remove("Made.txt");
            static int s_Left;
            s_Left = stop;
            const int status = InChild([](std::string_view) { if (--s_Left == 0) ::_exit(9); }, [] {
                plat::CReplacementGroup group;
                bool ok = !s_MadeFirst || plat::ReplaceFileContents("Made.txt", "new", 3);
                ok = plat::ReplaceFileContents("Old.txt", "new", 3) && ok;
                ok = s_MadeFirst || (plat::ReplaceFileContents("Made.txt", "new", 3) && ok);
                return group.Commit() && ok;
            });
            EXPECT_EQ(plat::FinishInterruptedReplacements(), "");
            const std::string seen = ReadBytes("Old.txt") + " " + (DiskHas("Made.txt") ? ReadBytes("Made.txt") : "none");
            EXPECT_TRUE(seen == "old none" || seen == "new new") << seen;
            EXPECT_EQ(Journals(), "");
            if (status == 0)
                break;
        }
    }
    // A begun journal's file that holds data since (made by hand after the
    // stop) is kept; only an empty placeholder goes.
    WriteBytes("Made.txt", "mine");
    WriteBytes("Empty.txt", "");
    WriteBytes(".Replacements1_1.journal",
               plat::EncodeJournal(plat::JournalKind::Begun, {{"Made.txt", {}, {}, {}}, {"Empty.txt", {}, {}, {}}}));
    EXPECT_EQ(plat::FinishInterruptedReplacements(), "");
    EXPECT_EQ(ReadBytes("Made.txt"), "mine");
    EXPECT_FALSE(DiskHas("Empty.txt"));
    EXPECT_EQ(Journals(), "");
    // The same in a journal kept (its files touched since): its temporaries
    // stay, and of the files it was making only an empty placeholder goes.
    WriteBytes("Empty.txt", "");
    WriteBytes(".Made.txt.tmp1_1", "new");
    WriteBytes(".Empty.txt.tmp1_2", "new");
    const plat::JournalStamp touched{true, 3, 1};
    WriteBytes(".Replacements1_1.journal",
               plat::EncodeJournal(
                   plat::JournalKind::Replace,
                   {{"Made.txt", ".Made.txt.tmp1_1", touched, {}}, {"Empty.txt", ".Empty.txt.tmp1_2", touched, {}}}));
    EXPECT_NE(plat::FinishInterruptedReplacements(), "");
    EXPECT_EQ(ReadBytes("Made.txt") + ReadBytes(".Made.txt.tmp1_1") + ReadBytes(".Empty.txt.tmp1_2"), "minenewnew");
    EXPECT_FALSE(DiskHas("Empty.txt"));
    EXPECT_EQ(Journals(), ".Replacements1_1.journal ");
}

TEST_F(ReplacementJournal, AGroupFileWhoseFolderIsMadeOnTheRetryIsSaved)
{
    WriteBytes("C.txt", "old");
    plat::CReplacementGroup group;
    EXPECT_FALSE(plat::ReplaceFileContents("Cache/New.txt", "new", 3));
    ASSERT_TRUE(plat::CreateFolder("Cache"));
    EXPECT_TRUE(plat::ReplaceFileContents("Cache/New.txt", "new", 3));
    EXPECT_TRUE(plat::ReplaceFileContents("C.txt", "new", 3));
    EXPECT_TRUE(group.Commit());
    EXPECT_EQ(ReadBytes("Cache/New.txt") + ReadBytes("C.txt"), "newnew");
}

// The journal cannot be written (a full disk): the save is named by its data file.
TEST_F(ReplacementJournal, ARefusedJournalNamesTheSavesFile)
{
    WriteBytes("A.txt", "old");
    WriteBytes("Cards/B.txt", "old");
    WriteBytes("C.txt", "old");
    const auto save = [] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64, 64};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        plat::CReplacementGroup group;
        for (const char* name : {"A.txt", "Cards/B.txt", "C.txt"})
            (void)!plat::ReplaceFileContents(name, "new", 3);
        std::string failed;
        std::fprintf(stderr, "%d %s\n", int(group.Commit(&failed)), failed.c_str());
        ::_exit(0);
    };
    EXPECT_EXIT(save(), testing::ExitedWithCode(0), "^0 A.txt\n$");
    EXPECT_EQ(Contents(), "old old old");
}

} // namespace

// The largest group the program saves (hundreds of files renumbered by one
// Insert, long names in deep folders): its journal, over any former bound
// (256 files, 256 KiB), is written, and a stop after its first rename is
// finished by the next start.
TEST_F(ReplacementJournal, TheLargestGroupIsSavedAndFinishedAfterAStop)
{
    std::string folder;
    for (const char c : std::string("abcdef"))
        folder += std::string(200, c) + "/";
    std::filesystem::create_directories(folder);
    const auto name = [&](int i) { return folder + std::to_string(i) + std::string(150, 'n'); };
    for (int i = 0; i < 400; ++i)
        WriteBytes(name(i), "old");
    const int status = InChild([](std::string_view path) { if (IsRename(path)) ::_exit(9); }, [&] {
        plat::CReplacementGroup group;
        bool ok = true;
        for (int i = 0; i < 400; ++i)
            ok = plat::ReplaceFileContents(name(i), "new", 3) && ok;
        return group.Commit() && ok;
    });
    ASSERT_EQ(status, 9);
    EXPECT_GT(ReadBytes(Journals().substr(0, Journals().size() - 1)).size(), 256u * 1024);
    EXPECT_EQ(plat::FinishInterruptedReplacements(), "");
    for (int i = 0; i < 400; ++i)
        ASSERT_EQ(ReadBytes(name(i)), "new") << i;
    EXPECT_EQ(Journals(), "");
}

// Names as users give them. Those the journal's lines carry are finished after
// a stop; a tab or a line end, which no line carries, refuses the save before
// anything is renamed, naming the file.
TEST_F(ReplacementJournal, NamesAreCarriedOrTheSaveIsRefusedNamingTheFile)
{
    const std::string carried[] = {"with space.txt", "\xc3\xa9t\xc3\xa9 \xe2\x98\x83.txt", ".leading dot.txt",
                                   "-leading dash.txt", std::string(200, 'n') + ".txt", "Folder\rname/B.txt"};
    for (const std::string& name : carried) {
        SCOPED_TRACE(name);
        WriteBytes("A.txt", "old");
        WriteBytes(name, "old");
        ASSERT_EQ(InChild([](std::string_view path) { if (IsRename(path)) ::_exit(9); }, [&] {
            plat::CReplacementGroup group;
            bool ok = plat::ReplaceFileContents("A.txt", "new", 3);
            ok = plat::ReplaceFileContents(name, "new", 3) && ok;
            return group.Commit() && ok;
        }), 9);
        EXPECT_EQ(plat::FinishInterruptedReplacements(), "");
        EXPECT_EQ(ReadBytes("A.txt") + ReadBytes(name), "newnew");
    }
    for (const std::string name : {"Tab\tname.txt", "Line\nend.txt", "Folder\twith tab/B.txt"}) {
        SCOPED_TRACE(name);
        WriteBytes("A.txt", "old");
        for (const bool made : {false, true}) {
            if (made)
                std::filesystem::remove(name);
            else
                WriteBytes(name, "old");
            plat::CReplacementGroup group;
            bool ok = plat::ReplaceFileContents("A.txt", "new", 3);
            ok = plat::ReplaceFileContents(name, "new", 3) && ok;
            std::string failed;
            EXPECT_FALSE(group.Commit(&failed) && ok);
            EXPECT_EQ(failed, name);
            EXPECT_EQ(ReadBytes("A.txt") + (DiskHas(name) ? ReadBytes(name) : "none"), made ? "oldnone" : "oldold");
            EXPECT_EQ(Journals(), "");
        }
    }
}

// A rename that fails while the program runs (here: its temporary made
// immutable) keeps the journal, and the files after it wait; the new file's
// placeholder goes with its lock, and the next start still finishes the group.
TEST_F(ReplacementJournal, ARenameThatFailsAtRunTimeOnANewFileIsFinishedAtTheNextStart)
{
    WriteBytes("A.txt", "old");
    WriteBytes("C.txt", "old");
    plat::CReplacementGroup group;
    bool ok = plat::ReplaceFileContents("A.txt", "new", 3);
    ok = plat::ReplaceFileContents("Made.txt", "new", 3) && ok;
    ok = plat::ReplaceFileContents("C.txt", "new", 3) && ok;
    ASSERT_TRUE(ok);
    std::string temporary;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        if (entry.path().filename().string().starts_with(".Made.txt.tmp"))
            temporary = entry.path().string();
    const auto immutable = [&](bool on) {
        const int fd = ::open(temporary.c_str(), O_RDONLY);
        int flags = 0;
        bool set = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        set = set && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return set;
    };
    if (!immutable(true))
        GTEST_SKIP() << "no immutable files here";
    std::string failed;
    EXPECT_FALSE(group.Commit(&failed));
    ASSERT_TRUE(immutable(false));
    EXPECT_EQ(failed, "Made.txt");
    EXPECT_NE(Journals(), "");
    // The files after it wait as a kill leaves them: none is renamed past a gap.
    EXPECT_EQ(ReadBytes("A.txt") + ReadBytes("C.txt"), "newold");
    EXPECT_EQ(plat::FinishInterruptedReplacements(), "");
    EXPECT_EQ(ReadBytes("A.txt") + ReadBytes("Made.txt") + ReadBytes("C.txt"), "newnewnew");
}

// A group whose first rename fails has put nothing in place: it ends there,
// its journal and temporaries gone, every file as it was, and it is not
// told as one the next start finishes.
TEST_F(ReplacementJournal, AGroupWhoseFirstRenameFailsLeavesEveryFileAsItWas)
{
    WriteBytes("A.txt", "old");
    WriteBytes("Cards/B.txt", "old");
    plat::CReplacementGroup group;
    bool ok = plat::ReplaceFileContents("A.txt", "new", 3);
    ok = plat::ReplaceFileContents("Cards/B.txt", "new", 3) && ok;
    ok = plat::ReplaceFileContents("Made.txt", "new", 3) && ok;
    ASSERT_TRUE(ok);
    // A folder in the first file's place, which no file is renamed over.
    std::filesystem::remove("A.txt");
    WriteBytes("A.txt/Mine.txt", "mine");
    std::string failed;
    bool left = true;
    EXPECT_FALSE(group.Commit(&failed, &left));
    EXPECT_EQ(failed, "A.txt");
    EXPECT_FALSE(left);
    EXPECT_EQ(Journals(), "");
    EXPECT_TRUE(NoTemporaryLeft());
    EXPECT_EQ(ReadBytes("Cards/B.txt") + ReadBytes("A.txt/Mine.txt"), "oldmine");
    EXPECT_FALSE(DiskHas("Made.txt"));
}

// A journal the start keeps (its files touched since), its temporaries named
// with this run's own process number, as where every run has the same one.
// Later saves in its folders remove none of them and write, rename or remove
// none of its files, each refused by name; other files are saved.
TEST_F(ReplacementJournal, AKeptJournalIsLeftWholeByEveryLaterSave)
{
    const std::string pid = std::to_string(::getpid());
    const std::string waitingA = ".A.txt.tmp" + pid + "_1", waitingB = "Cards/.B.txt.tmp" + pid + "_2";
    WriteBytes("A.txt", "old");
    WriteBytes(waitingA, "new");
    WriteBytes("Cards/B.txt", "old");
    WriteBytes(waitingB, "new");
    const plat::JournalStamp touched{true, 3, 1};
    const std::string journal = ".Replacements1_1.journal";
    WriteBytes(journal,
               plat::EncodeJournal(plat::JournalKind::Replace,
                                   {{"A.txt", BaseName(waitingA), touched, touched},
                                    {"Cards/B.txt", BaseName(waitingB), touched, touched}}));
    const std::string text = ReadBytes(journal);
    EXPECT_NE(plat::FinishInterruptedReplacements().find("remove " + journal), std::string::npos);
    const auto untouched = [&] {
        return ReadBytes(journal) == text
            && ReadBytes("A.txt") + ReadBytes(waitingA) + ReadBytes("Cards/B.txt") + ReadBytes(waitingB)
            == "oldnewoldnew";
    };

    EXPECT_TRUE(plat::ReplaceFileContents("D.txt", "new", 3));
    EXPECT_TRUE(plat::ReplaceFileContents("Cards/E.txt", "new", 3));
    EXPECT_TRUE(untouched());
    EXPECT_EQ(plat::JournalWaitingFor(plat::ResolvePath("cards/b.txt"), plat::UnreadableJournals::Answer).name,
              journal);
    EXPECT_EQ(plat::JournalWaitingFor(PathOf(waitingA), plat::UnreadableJournals::Answer).name, journal);
    EXPECT_EQ(plat::JournalWaitingFor("D.txt", plat::UnreadableJournals::Answer).name, "");
    EXPECT_FALSE(plat::ReplaceFileContents("A.txt", "mine", 4));
    EXPECT_FALSE(plat::ReplaceFileContents("cards/b.txt", "mine", 4));
    EXPECT_FALSE(plat::DeleteFile("A.txt"));
    EXPECT_FALSE(plat::DeleteFile(waitingB));
    const plat::JournalStamp timeBefore = StampOf("A.txt");
    EXPECT_FALSE(plat::SetFileWriteTime("A.txt", plat::UnixTimeToFileTime(86400, 0)));
    EXPECT_EQ(StampOf("A.txt").writeTimeNs, timeBefore.writeTimeNs);
    for (const char* mode : {"wb", "ab", "r+b"})
        if (std::FILE* opened = plat::OpenFile("A.txt", mode)) {
            ADD_FAILURE() << mode;
            std::fclose(opened);
        }
    EXPECT_FALSE(plat::RenameFile("D.txt", "A.txt"));
    EXPECT_EQ(plat::KeepFileAside("Cards/B.txt"), "");
    {
        plat::CReplacementGroup group;
        (void)!plat::ReplaceFileContents("D.txt", "two", 3);
        (void)!plat::ReplaceFileContents("A.txt", "two", 3);
        std::string failed;
        EXPECT_FALSE(group.Commit(&failed));
        EXPECT_EQ(failed, "A.txt");
    }
    EXPECT_TRUE(untouched());
    EXPECT_EQ(ReadBytes("D.txt"), "new");

    // The user removes it: the files are the program's to save again.
    std::filesystem::remove(journal);
    EXPECT_EQ(plat::JournalWaitingFor("A.txt", plat::UnreadableJournals::Answer).name, "");
    EXPECT_TRUE(plat::ReplaceFileContents("A.txt", "mine", 4));
    EXPECT_FALSE(DiskHas(waitingA));
}

// Where every run has the same process number, a kept journal may stand at
// the name this run's next group would give its own: the group takes
// another, and the kept one stays as it was.
TEST_F(ReplacementJournal, AGroupNeverTakesTheNameOfAJournalThatStands)
{
    const plat::JournalStamp touched{true, 3, 1};
    const std::string kept
        = plat::EncodeJournal(plat::JournalKind::Replace, {{"Other.txt", ".Other.txt.tmp1_1", touched, touched}});
    const auto name
        = [](int n) { return ".Replacements" + std::to_string(::getpid()) + "_" + std::to_string(n) + ".journal"; };
    for (int n = 1; n <= 1000; ++n)
        WriteBytes(name(n), kept);
    WriteBytes("X1.txt", "old");
    plat::CReplacementGroup group;
    bool ok = plat::ReplaceFileContents("X1.txt", "new", 3);
    ok = plat::ReplaceFileContents("X2.txt", "new", 3) && ok;
    EXPECT_TRUE(group.Commit() && ok);
    EXPECT_EQ(ReadBytes("X1.txt") + ReadBytes("X2.txt"), "newnew");
    for (int n = 1; n <= 1000; ++n)
        ASSERT_EQ(DiskHas(name(n)) ? ReadBytes(name(n)) : "(none)", kept) << name(n);
}

// A journal refused after a stop leaves the files as they are, and a file the
// group was making as it was before: none, not its lock's empty placeholder.
TEST_F(ReplacementJournal, ARefusedJournalLeavesNoEmptyNewFile)
{
    WriteBytes("Old.txt", "old");
    ASSERT_EQ(InChild([](std::string_view path) { if (IsRename(path)) ::_exit(9); }, [] {
        plat::CReplacementGroup group;
        bool ok = plat::ReplaceFileContents("Old.txt", "new", 3);
        ok = plat::ReplaceFileContents("Made.txt", "new", 3) && ok;
        return group.Commit() && ok;
    }), 9);
    ASSERT_TRUE(DiskHas("Made.txt"));
    const std::string journal = Journals().substr(0, Journals().size() - 1);
    std::string text = ReadBytes(journal);
    text[text.find("file") + 1] = 'X';
    WriteBytes(journal, text);
    EXPECT_NE(plat::FinishInterruptedReplacements(), "");
    EXPECT_EQ(ReadBytes("Old.txt"), "new");
    EXPECT_FALSE(DiskHas("Made.txt"));
    EXPECT_TRUE(NoTemporaryLeft());
}

// A stop at each sync before the journal is written leaves temporaries no
// journal names: the next start removes them, and only temporaries of ours
// whose maker is gone (not another copy's, saving in a folder of its own).
TEST_F(ReplacementJournal, TemporariesOfAStopBeforeTheJournalGoAtTheNextStart)
{
    WriteBytes("Another copy/.Levels.txt.tmp1_1", "theirs");
    WriteBytes("Mine/.notes.tmp", "mine");
    WriteBytes("Mine/notes.tmp1_1", "mine");
    for (int stop = 1; stop <= 3; ++stop) {
        SCOPED_TRACE(stop);
        WriteBytes("A.txt", "old");
        WriteBytes("Cards/B.txt", "old");
        WriteBytes("C.txt", "old");
        static int s_Left;
        s_Left = stop;
        ASSERT_EQ(InChild([](std::string_view) { if (--s_Left == 0) ::_exit(9); }, [] { return ReplaceThree(); }), 9);
        ASSERT_EQ(Journals(), "");
        ASSERT_FALSE(NoTemporaryLeft());
        EXPECT_EQ(plat::FinishInterruptedReplacements(), "");
        EXPECT_EQ(Contents(), "old old old");
        EXPECT_EQ(ReadBytes("Mine/.notes.tmp") + ReadBytes("Mine/notes.tmp1_1"), "minemine");
        EXPECT_EQ(ReadBytes("Another copy/.Levels.txt.tmp1_1"), "theirs");
        std::filesystem::remove_all("Mine");
        std::filesystem::remove_all("Another copy");
        EXPECT_TRUE(NoTemporaryLeft());
        WriteBytes("Another copy/.Levels.txt.tmp1_1", "theirs");
        WriteBytes("Mine/.notes.tmp", "mine");
        WriteBytes("Mine/notes.tmp1_1", "mine");
    }
}

// A folder at a journal's name is no journal: left as it is, and not said
// at every start.
TEST_F(ReplacementJournal, AFolderAtAJournalsNameIsLeftUnsaid)
{
    WriteBytes(".Replacements1_1.journal/Mine.txt", "mine");
    EXPECT_EQ(plat::FinishInterruptedReplacements(), "");
    EXPECT_EQ(plat::FinishInterruptedReplacements(), "");
    EXPECT_EQ(ReadBytes(".Replacements1_1.journal/Mine.txt"), "mine");
}

int g_JournalFolderSyncs = 0;

// Many refused journals (10,000 of junk): the start says so in a few lines,
// and syncs the folder once, not once a journal.
TEST_F(ReplacementJournal, ManyRefusedJournalsAreSaidShortlyAndSyncedOnce)
{
    for (int i = 0; i < 10000; ++i)
        WriteBytes(".Replacements1_" + std::to_string(i) + ".journal", "junk");
    g_JournalFolderSyncs = 0;
    std::string said;
    const plat::SyncObserver previous = plat::SetSyncObserver([](std::string_view) { ++g_JournalFolderSyncs; });
    said = plat::FinishInterruptedReplacements();
    plat::SetSyncObserver(previous);
    EXPECT_LT(said.size(), 400u) << said.substr(0, 400);
    EXPECT_NE(said.find("and 9995 more"), std::string::npos) << said.substr(0, 400);
    // They are removed, and the message says so rather than that they were left.
    EXPECT_NE(said.find("could not be read, so it was removed"), std::string::npos) << said.substr(0, 400);
    EXPECT_EQ(g_JournalFolderSyncs, 1);
    EXPECT_EQ(Journals(), "");
}

namespace {

int g_RenameError = 0;

// The save in a child whose system answers renameat2 with g_RenameError (an
// older kernel, a sandbox's filter, a file system without the flag) and
// refuses hard links (some network and FUSE file systems); 3 when no filter
// could be set.
int WithoutNoReplaceRenameOrLinks(plat::SyncObserver observer, const std::function<bool()>& save)
{
    return InChild(observer, [&] {
        if (!RefuseSystemCalls({{SYS_renameat2, g_RenameError}, {SYS_link, EPERM}, {SYS_linkat, EPERM}}))
            ::_exit(3);
        return save();
    });
}

std::string KeptJournalName(int n)
{
    return ".Replacements" + std::to_string(::getpid()) + "_" + std::to_string(n) + ".journal";
}

} // namespace

// Without them a group's first journal takes a name it has seen free: a
// group of files, and one that makes a file, are saved, journals kept from an
// earlier run at the names its groups are given stay as they were, and a stop
// at any step is finished by the next start.
TEST_F(ReplacementJournal, WithoutANoReplaceRenameOrLinksGroupsAreSavedAndFinishedAfterAStop)
{
    const std::string kept = plat::EncodeJournal(plat::JournalKind::Replace,
                                                 {{"Other.txt", ".Other.txt.tmp1_1", {true, 3, 1}, {true, 3, 1}}});
    for (const int error : {EINVAL, ENOSYS, EPERM}) {
        SCOPED_TRACE(error);
        g_RenameError = error;
        WriteBytes("A.txt", "old");
        WriteBytes("Cards/B.txt", "old");
        std::filesystem::remove("Made.txt");
        const int status = WithoutNoReplaceRenameOrLinks(nullptr, [&kept] {
            for (int n = 1; n <= 1000; ++n)
                WriteBytes(KeptJournalName(n), kept);
            plat::CReplacementGroup two;
            bool ok = plat::ReplaceFileContents("A.txt", "new", 3);
            ok = plat::ReplaceFileContents("Cards/B.txt", "new", 3) && ok;
            ok = two.Commit() && ok;
            plat::CReplacementGroup making;
            ok = plat::ReplaceFileContents("Made.txt", "new", 3) && ok;
            ok = plat::ReplaceFileContents("A.txt", "two", 3) && ok;
            return making.Commit() && ok;
        });
        if (status == 3)
            GTEST_SKIP() << "no system-call filter here";
        EXPECT_EQ(status, 0);
        EXPECT_EQ(ReadBytes("A.txt") + ReadBytes("Cards/B.txt") + ReadBytes("Made.txt"), "twonewnew");
        int standing = 0;
        for (const auto& entry : std::filesystem::directory_iterator(".")) {
            const std::string name = entry.path().filename().string();
            if (name.ends_with(".journal")) {
                ASSERT_EQ(ReadBytes(name), kept) << name;
                std::filesystem::remove(name);
                ++standing;
            }
        }
        EXPECT_EQ(standing, 1000);

        for (int stop = 1;; ++stop) {
            SCOPED_TRACE(stop);
            ASSERT_LT(stop, 20);
            WriteBytes("Old.txt", "old");
            std::filesystem::remove("Made.txt");
            static int s_Left;
            s_Left = stop;
            const int stopped = WithoutNoReplaceRenameOrLinks([](std::string_view) { if (--s_Left == 0) ::_exit(9); }, [] {
                plat::CReplacementGroup group;
                bool ok = plat::ReplaceFileContents("Made.txt", "new", 3);
                ok = plat::ReplaceFileContents("Old.txt", "new", 3) && ok;
                return group.Commit() && ok;
            });
            ASSERT_TRUE(stopped == 0 || stopped == 9) << stopped;
            EXPECT_EQ(plat::FinishInterruptedReplacements(), "");
            const std::string seen = ReadBytes("Old.txt") + " " + (DiskHas("Made.txt") ? ReadBytes("Made.txt") : "none");
            EXPECT_TRUE(seen == "new new" || (stopped == 9 && seen == "old none")) << seen;
            EXPECT_EQ(Journals(), "");
            EXPECT_TRUE(NoTemporaryLeft());
            if (stopped == 0)
                break;
        }
    }
}

// A group the program folder cannot take the journal of (this account may
// not write there), for files it replaces or one it makes: refused, every
// file as it was, saying the folder, why, and what to do.
TEST_F(ReplacementJournal, AGroupRefusedForItsJournalSaysWhy)
{
    WriteBytes("Cards/B.txt", "old");
    WriteBytes("Cards/C.txt", "old");
    ASSERT_EQ(::chmod("Cards", 0777) | ::chmod("Cards/B.txt", 0666) | ::chmod("Cards/C.txt", 0666), 0);
    ASSERT_EQ(::chmod(".", 0555), 0);
    const std::string text = AsAnotherAccount([] {
        std::string said;
        for (const char* second : {"Cards/C.txt", "Cards/Made.txt"}) {
            plat::CReplacementGroup group;
            (void)!plat::ReplaceFileContents("Cards/B.txt", "new", 3);
            (void)!plat::ReplaceFileContents(second, "new", 3);
            std::string failed;
            const bool saved = group.Commit(&failed);
            said += (saved ? "saved " : "refused ") + failed + ": " + group.WhyRefused() + "\n";
        }
        return said;
    });
    ::chmod(".", 0755);
    const std::string why = "the program folder \"" + Folder()
        + "\" cannot be written, and files saved together are recorded there before any of them is replaced. "
          "Make the folder writable";
    EXPECT_EQ(text, "refused Cards/B.txt: " + why + "\nrefused Cards/Made.txt: " + why + "\n");
    EXPECT_EQ(ReadBytes("Cards/B.txt") + ReadBytes("Cards/C.txt"), "oldold");
    EXPECT_FALSE(DiskHas("Cards/Made.txt"));
    EXPECT_TRUE(NoTemporaryLeft());
}
