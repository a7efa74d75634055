#include "VirtualDisplay.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr char kXvfb[] = "/usr/bin/Xvfb";

int WaitWithGuard(int pid, int seconds)
{
    for (int waited = 0; waited < seconds * 1000; waited += 10) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        ::usleep(10000);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return -1;
}

} // namespace

CVirtualDisplay::~CVirtualDisplay()
{
    if (m_Pid > 0) {
        ::kill(m_Pid, SIGTERM);
        ::waitpid(m_Pid, nullptr, 0);
    }
}

bool CVirtualDisplay::IsInstalled()
{
    if (::access(kXvfb, X_OK) == 0)
        return true;
    std::printf("Xvfb is not installed (scripts/setup installs it): the real window is not tried.\n");
    return false;
}

bool CVirtualDisplay::Start(const std::string& errorFile)
{
    // Xvfb picks a free display and writes its number to a pipe once it
    // accepts clients.
    int ends[2];
    if (::pipe(ends) != 0)
        return false;
    char* const argv[] = {const_cast<char*>(kXvfb),       const_cast<char*>("-displayfd"), const_cast<char*>("3"),
                          const_cast<char*>("-screen"),   const_cast<char*>("0"),          const_cast<char*>(m_Screen),
                          const_cast<char*>("-nolisten"), const_cast<char*>("tcp"),        nullptr};
    m_Pid = ::fork();
    if (m_Pid == 0) {
        std::freopen(errorFile.c_str(), "w", stderr);
        ::dup2(ends[1], 3);
        ::execv(kXvfb, argv);
        std::_Exit(127);
    }
    ::close(ends[1]);
    std::string number;
    pollfd wait{ends[0], POLLIN, 0};
    char c = 0;
    while (::poll(&wait, 1, 60000) == 1 && ::read(ends[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(ends[0]);
    m_Display = ":" + number;
    return !number.empty();
}

std::map<std::string, std::string> DisplayEnvironment(const CVirtualDisplay& display, const std::string& folder)
{
    // System libraries keep some memory to the end; only the program's own
    // errors count.
    return {{"DISPLAY", display.Display()}, {"XDG_RUNTIME_DIR", folder}, {"ASAN_OPTIONS", "detect_leaks=0"}};
}

const std::vector<std::string>& VariablesOffTheDisplay()
{
    static const std::vector<std::string> names{"OMBRISALT_HEADLESS", "CI", "WAYLAND_DISPLAY"};
    return names;
}

std::string XtestScript()
{
    // ctest's environment may lack the source folder; the build knows it.
    if (const char* source = std::getenv("OMBRISALT_TEST_SOURCE"))
        return std::string(source) + "/tests/support/xtest-input.py";
    return std::string(OMBRISALT_TEST_SUPPORT_DIR) + "/xtest-input.py";
}

int RunChildOnDisplay(const CVirtualDisplay& display, const std::string& folder, const char* childTest,
                      const std::string& outputFile, int seconds)
{
    const std::string script = XtestScript();
    const int pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        for (const auto& [name, value] : DisplayEnvironment(display, folder))
            ::setenv(name.c_str(), value.c_str(), 1);
        ::setenv("OMBRISALT_XTEST_SCRIPT", script.c_str(), 1);
        for (const std::string& name : VariablesOffTheDisplay())
            ::unsetenv(name.c_str());
        std::freopen(outputFile.c_str(), "w", stdout);
        ::dup2(::fileno(stdout), 2);
        const std::string filter = std::string("--gtest_filter=") + childTest;
        char* const argv[] = {const_cast<char*>("/proc/self/exe"), const_cast<char*>(filter.c_str()), nullptr};
        ::execv("/proc/self/exe", argv);
        std::_Exit(127);
    }
    return WaitWithGuard(pid, seconds);
}

bool PlayInputInBackground(const std::string& title, const std::string& steps)
{
    const char* script = std::getenv("OMBRISALT_XTEST_SCRIPT");
    const char* display = std::getenv("DISPLAY");
    if (!script || !display)
        return false;
    const std::string command
        = std::string("python3 '") + script + "' '" + display + "' '" + title + "' " + steps + " &";
    return std::system(command.c_str()) == 0;
}

namespace {

uint32_t BigEndian32(const std::string& bytes, size_t at)
{
    return uint32_t(uint8_t(bytes[at])) << 24 | uint32_t(uint8_t(bytes[at + 1])) << 16
        | uint32_t(uint8_t(bytes[at + 2])) << 8 | uint32_t(uint8_t(bytes[at + 3]));
}

int LowestBit(uint32_t mask)
{
    int bit = 0;
    while (mask && !(mask & 1u))
        mask >>= 1, ++bit;
    return bit;
}

} // namespace

bool GrabDisplay(const std::string& display, const std::string& dumpFile, SDisplayPicture& picture)
{
    if (::access("/usr/bin/xwd", X_OK) != 0)
        return false;
    const std::string command = "/usr/bin/xwd -root -silent -display " + display + " -out '" + dumpFile + "'";
    if (std::system(command.c_str()) != 0)
        return false;
    // The dump's header: 25 big-endian words, then the colour map, then rows.
    const std::string bytes = ReadBytes(dumpFile);
    if (bytes.size() < 100)
        return false;
    const uint32_t headerSize = BigEndian32(bytes, 0);
    const int width = int(BigEndian32(bytes, 16));
    const int height = int(BigEndian32(bytes, 20));
    const bool lsbFirst = BigEndian32(bytes, 28) == 0;
    const uint32_t bitsPerPixel = BigEndian32(bytes, 44);
    const uint32_t bytesPerLine = BigEndian32(bytes, 48);
    const uint32_t masks[3] = {BigEndian32(bytes, 56), BigEndian32(bytes, 60), BigEndian32(bytes, 64)};
    const uint32_t colours = BigEndian32(bytes, 76);
    const size_t start = size_t(headerSize) + size_t(colours) * 12;
    const uint32_t step = bitsPerPixel / 8;
    if ((step != 3 && step != 4) || bytesPerLine < uint32_t(width) * step
        || start + size_t(bytesPerLine) * size_t(height) > bytes.size())
        return false;
    picture.width = width;
    picture.height = height;
    picture.pixels.assign(size_t(width) * size_t(height), 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t at = start + size_t(y) * bytesPerLine + size_t(x) * step;
            uint32_t value = 0;
            for (uint32_t i = 0; i < step; ++i)
                value |= uint32_t(uint8_t(bytes[at + i])) << (lsbFirst ? 8 * i : 8 * (step - 1 - i));
            uint32_t rgb = 0;
            for (int c = 0; c < 3; ++c)
                rgb |= ((value & masks[c]) >> LowestBit(masks[c]) & 0xFFu) << (16 - 8 * c);
            picture.pixels[size_t(y) * size_t(width) + size_t(x)] = rgb;
        }
    return true;
}

bool CRealWindowTest::RunChildOnOwnDisplay(const char* childTest)
{
    if (!CVirtualDisplay::IsInstalled()) {
        [] { GTEST_SKIP() << "no Xvfb"; }();
        return false;
    }
    CVirtualDisplay display;
    if (!display.Start(PathOf("xvfb.err"))) {
        ADD_FAILURE() << ReadBytes(PathOf("xvfb.err"));
        return false;
    }
    EXPECT_EQ(RunChildOnDisplay(display, Folder(), childTest, PathOf("child.out")), 0) << ChildOutput();
    return true;
}
