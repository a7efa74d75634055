#include "support/TestSupport.h"

#include "platform/FileSystem.h"
#include "platform/Process.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <poll.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

void CTempFolderTest::SetUp()
{
    std::string pattern = (fs::temp_directory_path() / "ombrisalt_test_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    m_Folder = pattern;
    m_PreviousFolder = fs::current_path().string();
    fs::current_path(m_Folder);
}

void CTempFolderTest::TearDown()
{
    if (m_Folder.empty())
        return;
    fs::current_path(m_PreviousFolder);
    // Read-only bits left by a test must not stop the clean-up.
    std::error_code error;
    fs::permissions(m_Folder, fs::perms::owner_all, fs::perm_options::add, error);
    for (const auto& entry : fs::recursive_directory_iterator(m_Folder, error))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(m_Folder, error);
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    const fs::path target(path);
    if (target.has_parent_path())
        fs::create_directories(target.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    // A check comparing a missing file's "" would compare nothing.
    EXPECT_TRUE(in.is_open()) << "no file " << path;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool DiskHas(const std::string& path)
{
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

bool WriteDefaultFont()
{
    const char* font = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    if (!DiskHas(font))
        return false;
    WriteBytes("Resources/!default.ttf", ReadBytes(font));
    return true;
}

void SetWriteTime(const std::string& path, long long unixSeconds)
{
    const auto system = std::chrono::system_clock::time_point(std::chrono::seconds(unixSeconds));
    fs::last_write_time(path, fs::file_time_type::clock::from_sys(system));
}

std::string ListNames(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string joined;
    for (const std::string& name : names)
        joined += (joined.empty() ? "" : " ") + name;
    return joined;
}

int CountSoundFiles(const std::string& folder)
{
    int count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        std::string extension = entry.path().extension().string();
        for (char& c : extension)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        count += entry.is_regular_file() && (extension == ".wav" || extension == ".ogg") ? 1 : 0;
    }
    return count;
}

bool WaitForExit(int pid)
{
    const int fd = int(::syscall(SYS_pidfd_open, pid, 0));
    if (fd < 0)
        return false;
    pollfd item{fd, POLLIN, 0};
    const int ready = ::poll(&item, 1, 60000);
    ::close(fd);
    return ready == 1;
}

bool RunThisProgramWithTest(const std::string& testName, const std::string& folder)
{
    plat::ProcessHandle child;
    if (!plat::StartProcess("\"" + plat::GetProgramPath() + "\" --gtest_filter=" + testName, folder, &child))
        return false;
    const bool ended = WaitForExit(child.id);
    plat::IsProcessRunning(child); // reaps it
    return ended;
}

int RunCommand(const std::string& command)
{
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Hex(const void* data, size_t size)
{
    static const char digits[] = "0123456789ABCDEF";
    const auto* bytes = static_cast<const uint8_t*>(data);
    std::string out;
    for (size_t i = 0; i < size; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

void WritePixelsTga(const std::string& path, uint32_t width, uint32_t height,
                    const std::function<uint32_t(uint32_t x, uint32_t y)>& pixel)
{
    std::string bytes;
    const auto put16 = [&bytes](uint32_t v) {
        bytes.push_back(char(v & 0xFF));
        bytes.push_back(char((v >> 8) & 0xFF));
    };
    bytes += std::string("\0\0\2", 3);
    bytes += std::string(5, '\0');
    put16(0);
    put16(0);
    put16(width);
    put16(height);
    bytes.push_back(32);
    bytes.push_back(0x28); // rows top to bottom, 8 alpha bits
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t argb = pixel(x, y);
            for (int shift = 0; shift < 32; shift += 8)
                bytes.push_back(char((argb >> shift) & 0xFF));
        }
    WriteBytes(path, bytes);
}

std::string BareObjectText(const std::string& className, const std::string& lines)
{
    return className + "\r\n{\r\n" + lines + "}\r\n";
}

std::string ObjectText(const std::string& className, const std::string& lines)
{
    std::string text = className + "\r\n{\r\n";
    size_t start = 0;
    while (start < lines.size()) {
        size_t end = lines.find('\n', start);
        if (end == std::string::npos)
            end = lines.size();
        text += "\t" + lines.substr(start, end - start) + "\r\n";
        start = end + 1;
    }
    return text + "}\r\n";
}

std::string LevelText(const std::string& name, const std::string& lines)
{
    return "\t\tLevel=CLevelOptions\r\n\t\t{\r\n\t\t\tDisplay Name=" + name + "\r\n" + lines + "\t\t}\r\n";
}

std::string LevelSetText(const std::vector<std::string>& levels)
{
    std::string text = "CLevelSetUserMade\r\n{\r\n\tLevel List=Array\r\n\t{\r\n";
    if (levels.size() > 1)
        text += "\t\tItem Count=" + std::to_string(levels.size()) + "\r\n";
    for (const std::string& level : levels)
        text += level;
    return text + "\t}\r\n}\r\n";
}

bool RefuseSystemCalls(const std::vector<std::pair<long, int>>& callsAndErrors)
{
    std::vector<sock_filter> filter = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_X86_64, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
    };
    for (const auto& [call, error] : callsAndErrors) {
        filter.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, std::uint32_t(call), 0, 1));
        filter.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (std::uint32_t(error) & SECCOMP_RET_DATA)));
    }
    filter.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    const sock_fprog program{static_cast<unsigned short>(filter.size()), filter.data()};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0
        && ::syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, 0, &program) == 0;
}

std::string AsAnotherAccount(const std::function<std::string()>& what)
{
    int said[2];
    if (::pipe(said) != 0)
        return "no pipe";
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(said[0]);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(3);
        const std::string text = what();
        (void)!::write(said[1], text.data(), text.size());
        ::_exit(0);
    }
    ::close(said[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(said[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, size_t(got));
    ::close(said[0]);
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "the child ended with status " + std::to_string(status);
    return text;
}
