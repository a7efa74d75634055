#pragma once
// Equipment for the settings and file-helper tests: a fresh temporary folder
// that is the working folder for the test's duration, and file helpers that
// talk to the disk directly (not through the code under test).

#include <gtest/gtest.h>

#include <string>

class CSettingsFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    const std::string& Folder() const { return m_Folder; }

private:
    std::string m_Folder;
    std::string m_PreviousFolder;
};

namespace settings_test {

// Paths are relative to the working folder; folders on the way are made.
void WriteDiskBytes(const std::string& path, const std::string& bytes);
std::string ReadDiskBytes(const std::string& path);
bool DiskHas(const std::string& path);
// Sets a file's last-write time to Unix seconds.
void SetDiskWriteTime(const std::string& path, long long unixSeconds);

// Blocks until the process has ended, without reaping it, or until a
// generous guard expires (false). No timing is asserted.
bool WaitForProcessEnd(int pid);

// Runs this test program again in the folder with only the named test.
// False when it could not be started or did not end.
bool RunThisProgramWithTest(const std::string& testName, const std::string& folder);

} // namespace settings_test
