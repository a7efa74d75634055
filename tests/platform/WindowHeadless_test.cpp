#include "platform/CPlatformHeadless.h"
#include "platform/Clock.h"
#include "platform/InstanceLock.h"
#include "platform/Signals.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

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

// A link in the place of a folder's lock makes no file where it points.
TEST_F(FolderLock, ALinkInItsPlaceMakesNoFileOutsideTheFolder)
{
    ASSERT_EQ(::mkdir("Folder", 0700), 0);
    ASSERT_EQ(::symlink(PathOf("Outside.txt").c_str(), "Folder/.Test.lock"), 0);
    EXPECT_TRUE(AcquireFolderLock("Folder", "Test"));
    EXPECT_FALSE(DiskHas("Outside.txt"));
    ReleaseFolderLocks();
}

} // namespace
} // namespace plat
