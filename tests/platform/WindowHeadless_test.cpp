#include "platform/CPlatformHeadless.h"
#include "platform/Clock.h"
#include "platform/InstanceLock.h"
#include "platform/Signals.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace plat {
namespace {

using Kind = WindowEvent::Kind;

WindowEvent Of(Kind kind)
{
    WindowEvent event;
    event.kind = kind;
    return event;
}

TEST(WindowHeadless, FocusAndMinimisingFollowTheEventsTaken)
{
    CWindowHeadless window;
    ASSERT_TRUE(window.Create("Title", 640, 480));
    EXPECT_TRUE(window.HasFocus());
    window.PushEvent(Of(Kind::Deactivated));
    window.PushEvent(Of(Kind::Minimised));
    EXPECT_TRUE(window.HasFocus()); // nothing taken yet
    WindowEvent event;
    ASSERT_TRUE(window.PollEvent(event));
    EXPECT_EQ(event.kind, Kind::Deactivated);
    EXPECT_FALSE(window.HasFocus());
    ASSERT_TRUE(window.PollEvent(event));
    EXPECT_TRUE(window.IsMinimised());
    EXPECT_FALSE(window.PollEvent(event));
}

TEST(WindowHeadless, ATerminationSignalArrivesAsQuitBeforeQueuedInput)
{
    CWindowHeadless window;
    ASSERT_TRUE(window.Create("Title", 640, 480));
    window.PushEvent(Of(Kind::Char));
    std::raise(SIGTERM);
    WindowEvent event;
    ASSERT_TRUE(window.PollEvent(event));
    EXPECT_EQ(event.kind, Kind::Quit);
    ASSERT_TRUE(window.PollEvent(event));
    EXPECT_EQ(event.kind, Kind::Char);
    // Nobody may be there to answer a box now.
    EXPECT_TRUE(window.IsEndingOnQuit());

    // The desktop follows a closed last window with a Quit: the user is there.
    window.Destroy();
    ASSERT_TRUE(window.Create("Title", 640, 480));
    EXPECT_FALSE(window.IsEndingOnQuit());
    window.PushEvent(Of(Kind::Close));
    window.PushEvent(Of(Kind::Quit));
    while (window.PollEvent(event)) {
    }
    EXPECT_FALSE(window.IsEndingOnQuit());
}

TEST(WindowHeadless, KeepsTheLastPicturePacked)
{
    CWindowHeadless window;
    const uint32_t pixels[] = {1, 2, 99, 3, 4, 99};
    PictureView view{pixels, 2, 2, 3};
    EXPECT_FALSE(window.Present(view));
    ASSERT_TRUE(window.Create("Title", 2, 2));
    EXPECT_TRUE(window.Present(view));
    EXPECT_EQ(window.GetLastPicture(), (std::vector<uint32_t>{1, 2, 3, 4}));
    EXPECT_EQ(window.GetPresentCount(), 1u);
}

TEST(PlatformHeadless, TheHandDrivenClockMovesOnlyWhenAdvancedOrSlept)
{
    CPlatformHeadless platform;
    platform.StartManualClock(0xFFFFFFF0u);
    EXPECT_EQ(GetMillisecondTick(), 0xFFFFFFF0u);
    platform.AdvanceClock(0x20);
    EXPECT_EQ(GetMillisecondTick(), 0x10u);
    platform.Sleep(100);
    EXPECT_EQ(GetMillisecondTick(), 0x74u);
    EXPECT_EQ(platform.GetSleptMilliseconds(), 100u);
    platform.StopManualClock();
    EXPECT_NE(GetMillisecondTick(), 0x74u);
}

using FolderLock = CTempFolderTest;

TEST(InstanceLock, IsHeldForTheLifeOfTheProcess)
{
    const std::string name = "OmbrisaltLockTest-" + std::to_string(::getpid());
    const std::string path = GetInstanceLockPath(name);
    EXPECT_TRUE(AcquireInstanceLock(name));
    EXPECT_TRUE(AcquireInstanceLock(name));
    // Another process cannot take it.
    EXPECT_EQ(RunCommand("flock -n '" + path + "' true"), 1);
    EXPECT_EQ(RunCommand("flock -n '" + path + "-other' true"), 0);
    ::unlink(path.c_str());
    ::unlink((path + "-other").c_str());
}

// How a copy started by another account fares: the child takes the lock of
// the working folder as that account.
enum class OtherAccount { MayRun, HeldElsewhere, Refused };

OtherAccount StartAsAnotherAccount()
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            std::_Exit(9);
        std::string refusal;
        const bool mayRun = AcquireFolderLock(".", "Test", refusal);
        std::_Exit(mayRun ? 0 : refusal.empty() ? 1 : 2);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) <= 2) << "status " << status;
    return OtherAccount(WEXITSTATUS(status));
}

// Root opens any file, so the second account is a child that gave that up.
TEST_F(FolderLock, AnotherAccountIsRefusedWhileTheFirstHoldsItAndMayRunOnceItEnds)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can start a copy as another account";
    ASSERT_EQ(::mkdir("Folder", 0777), 0);
    ASSERT_EQ(::chmod("Folder", 0777), 0);
    ASSERT_EQ(::chdir("Folder"), 0);
    // The last build made its lock 0600 and a kill left it: nobody can tell
    // whether its copy runs.
    const int old = ::open(".Test.lock", O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(old, 0);
    ::close(old);
    EXPECT_EQ(StartAsAnotherAccount(), OtherAccount::Refused);

    std::string refusal;
    EXPECT_TRUE(AcquireFolderLock(".", "Test", refusal));
    EXPECT_EQ(StartAsAnotherAccount(), OtherAccount::HeldElsewhere);
    // An account that cannot write the folder is told as well.
    ASSERT_EQ(::chmod(".", 0755), 0);
    EXPECT_EQ(StartAsAnotherAccount(), OtherAccount::HeldElsewhere);
    ReleaseFolderLocks();
    EXPECT_EQ(StartAsAnotherAccount(), OtherAccount::MayRun);
    ASSERT_EQ(::chmod(".", 0777), 0);
    EXPECT_EQ(StartAsAnotherAccount(), OtherAccount::MayRun);
    // Nothing there and nothing can be made: nobody can have run on it.
    ASSERT_EQ(::unlink(".Test.lock"), 0);
    ASSERT_EQ(::chmod(".", 0755), 0);
    EXPECT_EQ(StartAsAnotherAccount(), OtherAccount::MayRun);
    ASSERT_EQ(::chdir(".."), 0);
}

// The lock is the flock, not the file: a copy that opened the file before
// the first ended holds the lock on it, and the next must find that.
TEST_F(FolderLock, StaysAtAnOrderlyEndSoACopyThatOpenedItMeanwhileExcludesTheNext)
{
    ASSERT_EQ(::mkdir("Folder", 0700), 0);
    std::string refusal;
    ASSERT_TRUE(AcquireFolderLock("Folder", "Test", refusal));
    const int meanwhile = ::open("Folder/.Test.lock", O_RDONLY);
    ASSERT_GE(meanwhile, 0);
    ReleaseFolderLocks();
    ASSERT_EQ(::flock(meanwhile, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(AcquireFolderLock("Folder", "Test", refusal));
    EXPECT_EQ(refusal, "");
    ::close(meanwhile);
    EXPECT_TRUE(AcquireFolderLock("Folder", "Test", refusal));
    ReleaseFolderLocks();
}

// Something at the lock's name that is not a file would let every copy run:
// the start is refused and told what is there. A link in its place makes no
// file where it points, and a pipe does not wait for a writer.
TEST_F(FolderLock, SomethingOtherThanAFileAtItsNameRefusesTheStartAndSaysWhat)
{
    ASSERT_EQ(::mkdir("Folder", 0700), 0);
    const std::string lock = PathOf("Folder/.Test.lock");
    const std::pair<std::function<int()>, const char*> cases[] = {
        {[&] { return ::mkdir(lock.c_str(), 0700); }, "it is a folder"},
        {[&] { return ::mkfifo(lock.c_str(), 0600); }, "it is a named pipe"},
        {[&] { return ::symlink(PathOf("Outside.txt").c_str(), lock.c_str()); }, "it is a symbolic link"},
    };
    for (const auto& [make, why] : cases) {
        ASSERT_EQ(make(), 0) << why;
        std::string refusal;
        EXPECT_FALSE(AcquireFolderLock(PathOf("Folder"), "Test", refusal)) << why;
        EXPECT_EQ(refusal,
                  "Could not open \"" + lock + "\": " + why
                      + ".\n\nThis file keeps two copies of the program from running on this folder at once, so the "
                        "program does not start without it. Once no copy runs on the folder, remove it and start "
                        "again.");
        std::filesystem::remove(lock);
    }
    EXPECT_FALSE(DiskHas("Outside.txt"));
}

} // namespace
} // namespace plat
