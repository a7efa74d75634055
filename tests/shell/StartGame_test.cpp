#include "ShellTestSupport.h"

#include "foundation/CFile.h"
#include "foundation/CMountedArchiveTable.h"
#include "objects/ObjectFileCallbacks.h"
#include "platform/InstanceLock.h"
#include "platform/ReplacementGroup.h"
#include "shell/CClipboard.h"
#include "shell/GameWindow.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace {

using Kind = plat::WindowEvent::Kind;

constexpr char kNotWritable[]
    = "Executable path is not writable.  If you launched the application directly from the CD, please run the "
      "installer to install the application.";

class StartUpAndLoop : public CShellTest {};

// The step counts of steady passes are the frame driver's own tests; here
// the loop only has to drive it.
TEST_F(StartUpAndLoop, StartsTheGameAndItsPassesDriveTheFrame)
{
    ASSERT_TRUE(Start());
    EXPECT_EQ(m_ExitCode, 0);
    ASSERT_NE(Game(), nullptr);
    EXPECT_EQ(m_Platform.GetHeadlessWindow().GetTitle(), "Ombrisalt");
    EXPECT_FALSE(DiskHas("TestDestinationReadibility.txt"));
    // The first pass catches up to the cap: five steps.
    ASSERT_TRUE(Pass(0));
    EXPECT_EQ(Game()->updates.size(), 5u);
    EXPECT_EQ(Game()->draws, 1u);
    ASSERT_TRUE(Pass(17));
    EXPECT_EQ(Game()->updates.size(), 6u);
    EXPECT_EQ(Game()->draws, 2u);
}

// Sleeping for the time left, less a millisecond, only leaves out passes
// that would have found nothing to do.
TEST_F(StartUpAndLoop, SleepingBetweenStepsChangesNoCount)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Pass(0));
    const auto runOneSecond = [this](IdleWait wait) {
        SetIdleWait(wait);
        const size_t before = Game()->updates.size();
        const uint32_t drawsBefore = Game()->draws;
        const uint64_t end = m_Platform.GetSleptMilliseconds() + 1000;
        uint64_t elapsed = 0;
        uint32_t passes = 0;
        while (elapsed + m_Platform.GetSleptMilliseconds() < end) {
            EXPECT_TRUE(Pass(1));
            ++elapsed;
            ++passes;
        }
        return std::make_tuple(Game()->updates.size() - before, Game()->draws - drawsBefore, passes);
    };
    const auto [spinUpdates, spinDraws, spinPasses] = runOneSecond(IdleWait::Spin);
    const auto [sleepUpdates, sleepDraws, sleepPasses] = runOneSecond(IdleWait::Sleep);
    EXPECT_EQ(spinUpdates, 60u);
    EXPECT_EQ(sleepUpdates, spinUpdates);
    EXPECT_EQ(sleepDraws, spinDraws);
    EXPECT_LT(sleepPasses, spinPasses / 4);
}

// A draw that takes longer than a step leaves the pass behind schedule: it
// goes straight on to the next pass, and the steps still catch up.
TEST_F(StartUpAndLoop, APassBehindScheduleDoesNotSleep)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Pass(0));
    SetIdleWait(IdleWait::Sleep);
    Game()->onDraw = [this] { m_Platform.AdvanceClock(25); };
    ASSERT_TRUE(Pass(17));
    const uint64_t slept = m_Platform.GetSleptMilliseconds();
    const size_t updates = Game()->updates.size();
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(Pass(0));
    EXPECT_EQ(m_Platform.GetSleptMilliseconds(), slept);
    // 20 draws of 25 ms: half a second of steps.
    EXPECT_GE(Game()->updates.size() - updates, 29u);
    Game()->onDraw = nullptr;
    ASSERT_TRUE(Pass(0));
    ASSERT_TRUE(Pass(0));
    EXPECT_GT(m_Platform.GetSleptMilliseconds(), slept);
}

struct InactiveCase {
    const char* name;
    Kind event;
    bool keepRunning;
    size_t updates;
    uint32_t draws;
    uint64_t sleptPerPass;
};

class InactiveWindow : public CShellTest, public ::testing::WithParamInterface<InactiveCase> {};

TEST_P(InactiveWindow, SkipsUpdateAndDrawUnlessTheGameKeepsRunning)
{
    const InactiveCase& c = GetParam();
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Pass(0));
    Game()->SetKeepRunningInBackground(c.keepRunning);
    Game()->updates.clear();
    Game()->draws = 0;
    Push(c.event);
    ASSERT_TRUE(Pass(0)); // takes the event
    const uint64_t slept = m_Platform.GetSleptMilliseconds();
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(Pass(20));
    EXPECT_EQ(Game()->updates.size(), c.updates);
    EXPECT_EQ(Game()->draws, c.draws);
    // The pump's sleep moves the hand-driven clock as well.
    EXPECT_EQ(m_Platform.GetSleptMilliseconds() - slept, 10 * c.sleptPerPass);
    Push(c.event == Kind::Minimised ? Kind::Restored : Kind::Activated);
    ASSERT_TRUE(Pass(20));
    EXPECT_GT(Game()->updates.size(), c.updates);
}

INSTANTIATE_TEST_SUITE_P(StartUpAndLoop, InactiveWindow,
                         ::testing::Values(InactiveCase{"Deactivated", Kind::Deactivated, false, 0, 0, 100},
                                           InactiveCase{"Minimised", Kind::Minimised, false, 0, 0, 100},
                                           // 10 passes of 20 ms and the 1 ms sleeps: 210 ms, 12 steps.
                                           InactiveCase{"KeepsRunning", Kind::Deactivated, true, 12, 10, 1}),
                         [](const ::testing::TestParamInfo<InactiveCase>& param) { return param.param.name; });

enum class EndBy { Close, Quit, Signal };

struct EndCase {
    const char* name;
    EndBy by;
};

class OrderlyShutdown : public CShellTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(OrderlyShutdown, SavesSettingsClosesArchivesAndEndsWithZero)
{
    WriteBytes("Data/readme.txt", "archived");
    ASSERT_EQ(RunCommand("cd Data && zip -q -0 Extra.zip readme.txt && rm readme.txt"), 0);
    ASSERT_TRUE(Start());
    EXPECT_TRUE(CMountedArchiveTable::Get().IsMounted());
    Game()->saveOnExit = true;
    ASSERT_TRUE(Pass(20));
    const size_t updates = Game()->updates.size();
    switch (GetParam().by) {
    case EndBy::Close:
        Push(Kind::Close);
        break;
    case EndBy::Quit:
        Push(Kind::Quit);
        break;
    case EndBy::Signal:
        std::raise(SIGTERM);
        break;
    }
    Push(Kind::Char); // never reaches the game: the pass ends at the close
    EXPECT_FALSE(Pass(20));
    EXPECT_EQ(Game()->updates.size(), updates);
    EXPECT_TRUE(IsShutdownRequested());
    EXPECT_EQ(ShutDownStarted(), 0);
    EXPECT_EQ(CGameBase::SGetInstance(), nullptr);
    EXPECT_TRUE(CGameBase::SIsShuttingDown());
    EXPECT_FALSE(CMountedArchiveTable::Get().IsMounted());
    EXPECT_FALSE(m_Platform.GetHeadlessWindow().IsCreated());
    EXPECT_EQ(ReadBytes("Ombrisalt.CFG"),
              "[Options]\r\nScreen Width=1024\r\nScreen Height=768\r\nFull Screen=1\r\nSaved On Exit=1\r\n");
    // Written whole through a temporary: nothing else is left behind but
    // the folder's lock, which stays for the next copy.
    EXPECT_EQ(ListNames(Folder()), ".OmbrisaltTest-" + std::to_string(::getpid()) + ".lock Data Ombrisalt.CFG");
}

INSTANTIATE_TEST_SUITE_P(StartUpAndLoop, OrderlyShutdown,
                         ::testing::Values(EndCase{"WindowClosed", EndBy::Close}, EndCase{"QuitEvent", EndBy::Quit},
                                           EndCase{"Sigterm", EndBy::Signal}),
                         [](const ::testing::TestParamInfo<EndCase>& param) { return param.param.name; });

TEST_F(StartUpAndLoop, AFullDiskIsReportedAndNoWindowOpens)
{
    m_Platform.SetFreeDiskSpace(uint64_t(150999999));
    EXPECT_FALSE(Start());
    EXPECT_EQ(m_ExitCode, 255);
    ASSERT_EQ(m_Platform.GetMessageBoxes().size(), 1u);
    EXPECT_EQ(m_Platform.GetMessageBoxes()[0].caption, "Insufficient Space");
    EXPECT_EQ(m_Platform.GetMessageBoxes()[0].text,
              "ombrisalt requires at least 200 MB available hard drive space to run.\nYou only have 150 MB "
              "Available.\nPlease free up more space in order to run ombrisalt.");
    EXPECT_FALSE(m_Platform.GetHeadlessWindow().IsCreated());
    EXPECT_EQ(CGameBase::SGetInstance(), nullptr);
}

TEST_F(StartUpAndLoop, ExactlyTheRequiredSpaceIsEnough)
{
    m_Platform.SetFreeDiskSpace(kRequiredFreeBytes);
    EXPECT_TRUE(Start());
    EXPECT_TRUE(m_Platform.GetMessageBoxes().empty());
    // A folder whose space cannot be had never stops the start.
    m_Platform.SetFreeDiskSpace(std::nullopt);
    EXPECT_EQ(CheckFreeDiskSpace("/no/such/folder/"), kRequiredFreeBytes);
}

// Root writes anywhere: the start runs in a child that has given that up.
void StartAsNobody(const std::string& folder)
{
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
        std::_Exit(3);
    plat::CPlatformHeadless platform;
    plat::ReplacePlatform(&platform);
    SLauncherRecord record;
    record.gameName = "Ombrisalt";
    const std::string program = folder + "/ombrisalt";
    record.programPath = program.c_str();
    int32_t code = 0;
    std::unique_ptr<CGameBase> game;
    const bool started = StartUp(record, "ombrisalt", code, game);
    std::_Exit(started ? 4 : code);
}

TEST_F(StartUpAndLoop, AReadOnlyProgramFolderIsReportedAndRefused)
{
    std::filesystem::permissions(Folder(), std::filesystem::perms(0555));
    const std::string folder = Folder();
    EXPECT_EXIT(StartAsNobody(folder), ::testing::ExitedWithCode(255),
                std::string("Error\n") + kNotWritable + "\n\nThe folder is \"" + folder + "\"\\.\n");
}

const CObject* g_Card = nullptr;

bool CardFile(const CObject* object, CJString* name)
{
    if (object != g_Card)
        return false;
    if (name)
        name->Set("Card.Object.txt");
    return true;
}

// Two accounts share the program folder; the first one's save, cut short
// under umask 077, left a journal only it may read. The second account's
// start runs and says so; the journal holds back the saves of the files a
// group may hold (object files), by name, and neither the start's own check,
// the settings nor any other file. The first account's start then finishes
// its save.
TEST_F(StartUpAndLoop, AnotherAccountsJournalIsToldAndHoldsBackOnlyTheFilesAGroupMayHold)
{
    // The start reads and writes below Data/.
    WriteBytes("Data/Card.Object.txt", "old");
    WriteBytes("Data/.Card.Object.txt.tmp1_1", "new");
    const auto stamp = [](const char* path) {
        struct stat st;
        EXPECT_EQ(::stat(path, &st), 0) << path;
        return plat::JournalStamp{true, std::uint64_t(st.st_size),
                                  std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
    };
    const std::string journal = ".Replacements1_1.journal";
    WriteBytes(journal,
               plat::EncodeJournal(plat::JournalKind::Replace,
                                   {{"Data/Card.Object.txt", ".Card.Object.txt.tmp1_1",
                                     stamp("Data/.Card.Object.txt.tmp1_1"), stamp("Data/Card.Object.txt")}}));
    ASSERT_EQ(::chmod(journal.c_str(), 0600) | ::chmod(Folder().c_str(), 0777) | ::chmod("Data", 0777), 0);
    const std::string said = AsAnotherAccount([this] {
        std::string text = Start() ? "started" : "refused " + std::to_string(m_ExitCode);
        for (const auto& box : m_Platform.GetMessageBoxes())
            text += "|" + box.caption + ": " + box.text;
        RegisterObjectFileNameCallback(&CardFile);
        CStringWrappedInAnObject card;
        g_Card = &card;
        CJString name;
        text += SaveObjectToOwnFile(&card)     ? std::string("|card saved")
            : FindFailedSaveFile(&card, &name) ? "|" + std::string(FailedSaveMessage(name).GetString())
                                               : "|card refused unnamed";
        CFile stats;
        text += stats.Open("Stats.dat", FILE_CREATE | FILE_WRITE) && stats.Write("s", 1) == 1 && stats.Close()
            ? "|stats saved"
            : "|stats refused";
        if (Game()) {
            Game()->saveOnExit = true;
            text += ShutDownStarted() == 0 ? "|ended" : "|not ended";
        }
        return text;
    });
    EXPECT_EQ(said,
              "started|Error: A save cut short left a record this account may not read, so it and the files it "
              "names were left for the account that made it: "
                  + journal
                  + ". Start the program as that account to finish the save.|Could not save "
                    "Card.Object.txt: a save cut short left "
                  + journal
                  + " in the program folder, which this account may not read, so whether that save waits for this "
                    "file cannot be told. Start the program as the account that made it to finish that save. Until "
                    "then this file cannot be saved: your edits are kept here only, and ending the program loses "
                    "them.|stats saved|ended");
    EXPECT_EQ(ReadBytes("Data/Stats.dat"), "s");
    EXPECT_NE(ReadBytes("Ombrisalt.CFG").find("Saved On Exit=1"), std::string::npos);
    EXPECT_FALSE(DiskHas("TestDestinationReadibility.txt"));
    EXPECT_EQ(ReadBytes("Data/Card.Object.txt"), "old");

    ASSERT_TRUE(Start());
    EXPECT_TRUE(m_Platform.GetMessageBoxes().empty());
    EXPECT_EQ(ReadBytes("Data/Card.Object.txt"), "new");
    EXPECT_FALSE(DiskHas(journal));
    EXPECT_FALSE(DiskHas("Data/.Card.Object.txt.tmp1_1"));
}

// A folder at the lock's name would let every copy run on the folder.
TEST_F(StartUpAndLoop, SomethingElseAtTheFolderLocksNameIsReportedAndRefused)
{
    const std::string lock = PathOf(".OmbrisaltTest-" + std::to_string(::getpid()) + ".lock");
    std::filesystem::create_directory(lock);
    EXPECT_FALSE(Start());
    EXPECT_EQ(m_ExitCode, 255);
    ASSERT_EQ(m_Platform.GetMessageBoxes().size(), 1u);
    EXPECT_EQ(m_Platform.GetMessageBoxes()[0].caption, "Error");
    EXPECT_EQ(m_Platform.GetMessageBoxes()[0].text.rfind("Could not open \"" + lock + "\": it is a folder.", 0), 0u)
        << m_Platform.GetMessageBoxes()[0].text;
    EXPECT_FALSE(m_Platform.GetHeadlessWindow().IsCreated());
    EXPECT_EQ(CGameBase::SGetInstance(), nullptr);
}

TEST_F(StartUpAndLoop, AWindowThatCannotOpenIsFatal)
{
    // A fork of this process holds none of its locks, so it would meet the
    // earlier tests' start as another copy: the start runs in a fresh one.
    const std::string style = GTEST_FLAG_GET(death_test_style);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    m_Platform.GetHeadlessWindow().FailCreation(true);
    EXPECT_EXIT(Start(), ::testing::ExitedWithCode(255), "FATAL ERROR\nCan't allocate my window");
    GTEST_FLAG_SET(death_test_style, style);
}

// Two processes of the program share one lock folder.
class SecondProgram : public CTempFolderTest {};

bool LockIsHeld(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return held;
}

TEST_F(SecondProgram, IsRefusedWithTheMessageWhileTheFirstRuns)
{
    const std::map<std::string, std::string> environment{{"XDG_RUNTIME_DIR", Folder()}, {"OMBRISALT_HEADLESS", "1"}};
    std::filesystem::create_directories(PathOf("first"));
    std::filesystem::create_directories(PathOf("second"));
    const int first = SpawnProgram({"/DataFolder", PathOf("first")}, environment, {}, PathOf("first.err"));
    ASSERT_GT(first, 0);
    const CEndsWithTest guard(first);
    const std::string lock = PathOf("Quenthal Running.lock");
    // The first copy takes the lock early in its start; wait for it without a deadline of our own.
    for (int tries = 0; tries < 60000 && !LockIsHeld(lock); ++tries)
        ::usleep(1000);
    ASSERT_TRUE(LockIsHeld(lock));

    const int second = SpawnProgram({"/DataFolder", PathOf("second")}, environment, {}, PathOf("second.err"));
    EXPECT_EQ(WaitForExitStatus(second), 255);
    EXPECT_EQ(ReadBytes(PathOf("second.err")),
              "Program Already Running\nThis program is already running.  Switch to its window to use it.\n");
    EXPECT_FALSE(DiskHas(PathOf("second/Ombrisalt.CFG")));
    // Another login's copy on the first's folder is refused too: its start
    // would finish the first's saves under it.
    std::filesystem::create_directories(PathOf("other login"));
    const int third = SpawnProgram({"/DataFolder", PathOf("first")},
                                   {{"XDG_RUNTIME_DIR", PathOf("other login")}, {"OMBRISALT_HEADLESS", "1"}}, {},
                                   PathOf("third.err"));
    const CEndsWithTest thirdGuard(third);
    EXPECT_EQ(WaitForExitStatus(third), 255);
    EXPECT_EQ(ReadBytes(PathOf("third.err")),
              "Program Already Running\nThis program is already running.  Switch to its window to use it.\n");

    // A termination signal ends the first in its orderly shutdown, once its
    // game is set up (the settings file is written then).
    for (int tries = 0; tries < 60000 && !DiskHas(PathOf("first/Ombrisalt.CFG")); ++tries)
        ::usleep(1000);
    ::kill(first, SIGTERM);
    EXPECT_EQ(WaitForExitStatus(first), 0);
    EXPECT_EQ(ReadBytes(PathOf("first/Ombrisalt.CFG")),
              "[Options]\r\nScreen Width=1024\r\nScreen Height=768\r\nFull Screen=1\r\nDisplay FPS=1\r\n");
    EXPECT_EQ(ReadBytes(PathOf("first.err")), "");
}

// The lock is the flock: the file a killed or ended copy leaves refuses nobody.
TEST_F(SecondProgram, RunsOnceTheFirstWasKilledOrHasEnded)
{
    const std::map<std::string, std::string> environment{{"XDG_RUNTIME_DIR", Folder()}, {"OMBRISALT_HEADLESS", "1"}};
    const std::string lock = PathOf(".Quenthal Running.lock");
    const int first = SpawnProgram({"/DataFolder", Folder()}, environment, {}, PathOf("first.err"));
    ASSERT_GT(first, 0);
    const CEndsWithTest guard(first);
    ASSERT_TRUE(WaitUntilReady(first, [&] { return LockIsHeld(lock); }));
    ::kill(first, SIGKILL);
    EXPECT_EQ(WaitForExitStatus(first), -1);
    for (const char* copy : {"second", "third"}) {
        const int next = SpawnProgram({"/DataFolder", Folder(), "/Passes", "5"}, environment, {},
                                      PathOf(std::string(copy) + ".err"));
        EXPECT_EQ(WaitForExitStatus(next), 0) << copy;
        EXPECT_EQ(ReadBytes(PathOf(std::string(copy) + ".err")), "") << copy;
        EXPECT_TRUE(DiskHas(lock)) << copy;
    }
}

// The start must not fall back to the working folder: it would write the
// settings and the lock where nobody asked for them.
TEST_F(SecondProgram, ADataFolderThatIsNoFolderIsRefusedByNameAndNothingIsWritten)
{
    const std::map<std::string, std::string> environment{{"XDG_RUNTIME_DIR", PathOf("runtime")},
                                                         {"OMBRISALT_HEADLESS", "1"}};
    std::filesystem::create_directories(PathOf("runtime"));
    WriteBytes(PathOf("a file"), "x");
    const std::vector<std::pair<std::vector<std::string>, std::string>> starts{
        {{"/DataFolder", PathOf("missing"), "/Passes", "1"}, "\"" + PathOf("missing") + "\" is not there"},
        {{"/DataFolder", PathOf("missing/"), "/Passes", "1"}, "\"" + PathOf("missing/") + "\" is not there"},
        {{"/DataFolder", "a file", "/Passes", "1"}, "\"a file\" is not there"},
        {{"/DataFolder", "", "/Passes", "1"}, "\"\" is not there"},
        {{"/Passes", "1", "/DataFolder"}, "\"\" is not there"},
    };
    for (const auto& [arguments, named] : starts) {
        const int pid = SpawnProgram(arguments, environment, {}, PathOf("runtime/err"));
        const CEndsWithTest guard(pid);
        EXPECT_EQ(WaitForExitStatus(pid), 255);
        EXPECT_EQ(ReadBytes(PathOf("runtime/err")),
                  "Error\nThe program folder " + named
                      + " or is not a folder (given after /DataFolder).\n\nNothing was written. Start the program "
                        "with the folder that holds its data, or without /DataFolder for its own folder.\n");
        EXPECT_EQ(ListNames(Folder()), "a file runtime");
        EXPECT_EQ(ListNames(PathOf("runtime")), "err");
    }

    // A folder this account cannot enter: another account starts, over a
    // working folder it may write.
    std::filesystem::create_directories(PathOf("locked"));
    std::filesystem::permissions(PathOf("locked"), std::filesystem::perms::owner_all);
    for (const char* folder : {"", "runtime"})
        std::filesystem::permissions(PathOf(folder), std::filesystem::perms::all);
    const pid_t other = ::fork();
    if (other == 0) {
        // The program is opened before the account changes: the folders
        // above the build may be closed to the other account.
        const int program = ::open(OMBRISALT_PROGRAM, O_RDONLY);
        const int errors = ::open(PathOf("runtime/err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (program < 0 || errors < 0 || ::dup2(errors, 2) < 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            std::_Exit(3);
        ::setenv("XDG_RUNTIME_DIR", PathOf("runtime").c_str(), 1);
        ::setenv("OMBRISALT_HEADLESS", "1", 1);
        ::setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
        const std::string locked = PathOf("locked");
        const char* const arguments[]
            = {OMBRISALT_PROGRAM, "/DataFolder", locked.c_str(), "/Passes", "1", nullptr};
        ::fexecve(program, const_cast<char* const*>(arguments), environ);
        std::_Exit(4);
    }
    const CEndsWithTest otherGuard{int(other)};
    EXPECT_EQ(WaitForExitStatus(int(other)), 255);
    EXPECT_EQ(ReadBytes(PathOf("runtime/err")),
              "Error\nThe program folder \"" + PathOf("locked")
                  + "\" cannot be entered by this account (Permission denied; given after /DataFolder).\n\nNothing "
                    "was written. Start the program with a folder this account may enter, or without /DataFolder for "
                    "its own folder.\n");
    EXPECT_EQ(ListNames(Folder()), "a file locked runtime");
    EXPECT_EQ(ListNames(PathOf("runtime")), "err");

    // A relative name with a space and a trailing slash is the folder it names.
    std::filesystem::create_directories(PathOf("my data"));
    const int pid = SpawnProgram({"/DataFolder", "my data/", "/Passes", "1"}, environment, {}, PathOf("err"));
    EXPECT_EQ(WaitForExitStatus(pid), 0);
    EXPECT_EQ(ReadBytes(PathOf("err")), "");
    EXPECT_TRUE(DiskHas(PathOf("my data/Ombrisalt.CFG")));
    EXPECT_FALSE(DiskHas(PathOf("Ombrisalt.CFG")));
}

TEST_F(SecondProgram, RunsHeadlessForTheGivenPassesAndEndsWithZero)
{
    const std::map<std::string, std::string> environment{{"XDG_RUNTIME_DIR", Folder()}, {"OMBRISALT_HEADLESS", "1"}};
    const int pid = SpawnProgram({"/DataFolder", Folder(), "/Passes", "50"}, environment, {}, PathOf("err"));
    EXPECT_EQ(WaitForExitStatus(pid), 0);
    EXPECT_EQ(ReadBytes(PathOf("err")), "");
}

} // namespace
