#include "foundation/SettingsTestSupport.h"

#include "platform/FileSystem.h"
#include "platform/Process.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/syscall.h>
#include <unistd.h>

void CSettingsFolderTest::SetUp()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "ombrisalt_settings_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    m_Folder = pattern;
    m_PreviousFolder = std::filesystem::current_path().string();
    std::filesystem::current_path(m_Folder);
}

void CSettingsFolderTest::TearDown()
{
    if (m_Folder.empty())
        return;
    std::filesystem::current_path(m_PreviousFolder);
    // Read-only bits left by a test must not stop the clean-up.
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(m_Folder, error))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(m_Folder, error);
}

namespace settings_test {

void WriteDiskBytes(const std::string& path, const std::string& bytes)
{
    const std::filesystem::path target(path);
    if (target.has_parent_path())
        std::filesystem::create_directories(target.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good()) << path;
}

std::string ReadDiskBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool DiskHas(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

void SetDiskWriteTime(const std::string& path, long long unixSeconds)
{
    const auto system = std::chrono::system_clock::time_point(std::chrono::seconds(unixSeconds));
    std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::from_sys(system));
}

bool WaitForProcessEnd(int pid)
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
    const bool ended = WaitForProcessEnd(child.id);
    plat::IsProcessRunning(child); // reaps it
    return ended;
}

} // namespace settings_test
