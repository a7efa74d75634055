#include "platform/CPlatform.h"

#include "platform/CPlatformHeadless.h"
#include "platform/InstanceLock.h"
#include "platform/MessageBox.h"
#include "platform/Signals.h"
#include "support/ScopedHooks.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Sets environment variables for one test and puts them back afterwards.
class CEnvironment {
public:
    ~CEnvironment()
    {
        for (const auto& [name, value] : m_Saved) {
            if (value.first)
                ::setenv(name.c_str(), value.second.c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }
    void Set(const char* name, const char* value)
    {
        if (m_Saved.find(name) == m_Saved.end()) {
            const char* old = std::getenv(name);
            m_Saved[name] = {old != nullptr, old ? old : ""};
        }
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }

private:
    std::map<std::string, std::pair<bool, std::string>> m_Saved;
};

TEST(Platform, HeadlessUnlessADisplayIsThereAndNothingAsksOtherwise)
{
    CEnvironment env;
    env.Set("OMBRISALT_HEADLESS", nullptr);
    env.Set("CI", nullptr);
    env.Set("WAYLAND_DISPLAY", nullptr);
    env.Set("DISPLAY", nullptr);
    EXPECT_EQ(plat::ChoosePlatformKind(), plat::PlatformKind::Headless);
    env.Set("DISPLAY", ":0");
    EXPECT_EQ(plat::ChoosePlatformKind(), plat::PlatformKind::SDL);
    env.Set("OMBRISALT_HEADLESS", "0");
    EXPECT_EQ(plat::ChoosePlatformKind(), plat::PlatformKind::SDL);
    env.Set("OMBRISALT_HEADLESS", "1");
    EXPECT_EQ(plat::ChoosePlatformKind(), plat::PlatformKind::Headless);
    env.Set("OMBRISALT_HEADLESS", nullptr);
    env.Set("CI", "true");
    EXPECT_EQ(plat::ChoosePlatformKind(), plat::PlatformKind::Headless);
}

TEST(Platform, HeadlessMessageBoxWritesToStandardErrorAndReturns)
{
    plat::CPlatformHeadless headless;
    plat::CPlatform* const previous = &plat::GetPlatform();
    std::string written;
    {
        const CScopedPlatform installed(&headless);
        testing::internal::CaptureStderr();
        plat::ShowMessageBox("Illegal file name", "\"x\" is too long");
        written = testing::internal::GetCapturedStderr();
    }

    EXPECT_EQ(written, "Illegal file name\n\"x\" is too long\n");
    ASSERT_EQ(headless.GetMessageBoxes().size(), 1u);
    EXPECT_EQ(headless.GetMessageBoxes()[0].caption, "Illegal file name");
    EXPECT_EQ(&plat::GetPlatform(), previous);
}

// A box on the display shows its text in lines that fit a screen: the
// system's boxes do not wrap (the missing-folder report was wider than
// 1280 pixels, cut at both edges).
TEST(Platform, ABoxOnTheDisplayBreaksLongLinesAtSpacesAndLongWordsInside)
{
    const std::string text = "Can not read \"/games/" + std::string(90, 'x') + "/Data\".\r\n\r\nCheck that the folder is "
        "there and may be read: the data are missing, or the game was started elsewhere. \xC3\xA9" + std::string(79, 'e')
        + "\xC3\xA9";
    const std::string fitted = plat::FitMessageBoxText(text);
    std::istringstream lines(fitted);
    std::string line, kept, joined;
    while (std::getline(lines, line)) {
        size_t characters = 0;
        for (const char c : line)
            characters += (uint8_t(c) & 0xC0u) != 0x80u;
        EXPECT_LE(characters, size_t(plat::kMessageBoxLineLength)) << line;
        EXPECT_TRUE(line.empty() || (uint8_t(line[0]) & 0xC0u) != 0x80u) << "a character cut in two: " << line;
        kept += line;
    }
    // Breaks take only the spaces they stand on; "\r\n" ends a line as "\n".
    for (const char c : text)
        joined += c == ' ' || c == '\r' || c == '\n' ? "" : std::string(1, c);
    kept.erase(std::remove(kept.begin(), kept.end(), ' '), kept.end());
    EXPECT_EQ(kept, joined);
    EXPECT_NE(fitted.find("/Data\".\n\nCheck that"), std::string::npos) << fitted;
}

volatile std::sig_atomic_t g_SignalSeenAfterTheBox = 0;
extern "C" void RecordSignalAfterTheBox(int signal)
{
    g_SignalSeenAfterTheBox = signal;
}

// SDL shows its box from a process of its own and waits for it through
// every signal, as this call does; a termination signal ends the box, and
// the handler in place before (SDL's, which makes it a quit) still gets it.
TEST(Platform, ATerminationSignalEndsABoxWaitedForInAChildProcess)
{
    struct sigaction recording {}, previous {};
    recording.sa_handler = RecordSignalAfterTheBox;
    ASSERT_EQ(sigaction(SIGTERM, &recording, &previous), 0);
    std::atomic<int> box{0};
    int status = 0;
    std::thread user([&] {
        box.wait(0);
        ::kill(::getpid(), SIGTERM);
    });
    const bool ended = plat::RunEndingChildrenOnSignal([&] {
        const pid_t child = ::fork();
        if (child == 0) {
            ::sleep(30); // the box, up until someone answers
            std::_Exit(0);
        }
        box = int(child);
        box.notify_one();
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    });
    user.join();
    sigaction(SIGTERM, &previous, nullptr);
    EXPECT_TRUE(ended);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the box was ended, status " << status;
    EXPECT_EQ(g_SignalSeenAfterTheBox, SIGTERM);
}

// Whether the process has ended: gone, or a zombie nobody reaped yet.
bool HasEnded(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return true;
    const size_t name = line.rfind(')');
    return name != std::string::npos && line.compare(name, 3, ") Z") == 0;
}

// The files a process has open, by the paths they were opened at.
std::vector<std::string> OpenFilesOf(pid_t pid)
{
    std::vector<std::string> files;
    const std::string folder = "/proc/" + std::to_string(pid) + "/fd";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        files.push_back(std::filesystem::read_symlink(entry.path(), error).string());
    return files;
}

using BoxOfAKilledProgram = CTempFolderTest;

// A box SDL shows from a copy of the program must not outlive a kill of the
// program, nor hold its locks meanwhile: the next start would be refused as
// "already running" with no window to switch to.
TEST_F(BoxOfAKilledProgram, EndsWithItAndHoldsNoLockOfIt)
{
    int boxPid[2];
    ASSERT_EQ(::pipe(boxPid), 0);
    const pid_t program = ::fork();
    if (program == 0) {
        std::string refusal;
        if (!plat::AcquireFolderLock(".", "Test", refusal))
            std::_Exit(2);
        plat::RunEndingChildrenOnSignal([&] {
            const pid_t box = ::fork();
            if (box == 0) {
                const pid_t self = ::getpid(); // once the box runs: the fork is done
                (void)!::write(boxPid[1], &self, sizeof self);
                ::sleep(30); // the box, up until someone answers
                std::_Exit(0);
            }
            while (::waitpid(box, nullptr, 0) < 0 && errno == EINTR) {
            }
        });
        std::_Exit(0);
    }
    ::close(boxPid[1]);
    pid_t box = 0;
    ASSERT_EQ(::read(boxPid[0], &box, sizeof box), ssize_t(sizeof box));
    ::close(boxPid[0]);
    for (const std::string& file : OpenFilesOf(box))
        EXPECT_EQ(file.find(".Test.lock"), std::string::npos) << "the box holds " << file;

    ::kill(program, SIGKILL);
    while (::waitpid(program, nullptr, 0) < 0 && errno == EINTR) {
    }
    bool ended = false;
    for (int tries = 0; tries < 5000 && !(ended = HasEnded(box)); ++tries)
        ::usleep(1000);
    EXPECT_TRUE(ended);
    if (!ended)
        ::kill(box, SIGKILL);
    std::string refusal;
    EXPECT_TRUE(plat::AcquireFolderLock(".", "Test", refusal));
    plat::ReleaseFolderLocks();
}

// Exit-time destructors may still report (a fatal data error found while
// closing): the platform must outlive them, whenever it was first asked for.
struct CBoxAtExit {
    ~CBoxAtExit() { plat::ShowMessageBox("Closing", "reported at exit"); }
};

TEST(PlatformDeathTest, MessageBoxFromAnExitTimeDestructorIsShown)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe"); // a fresh process: the box object comes first
    EXPECT_EXIT(
        {
            static CBoxAtExit box;
            plat::GetPlatform();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "reported at exit");
}

} // namespace
