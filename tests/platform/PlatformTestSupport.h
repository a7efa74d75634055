#pragma once
// Shared equipment for the platform tests: a fresh temporary folder that is
// also the working folder for the test's duration, and small file helpers
// that talk to the disk directly (not through the layer under test).

#include <gtest/gtest.h>

#include <string>

class CTempFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    const std::string& Folder() const { return m_Folder; }

private:
    std::string m_Folder;
    std::string m_PreviousFolder;
};

// Paths are relative to the working folder; folders on the way are made.
void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool DiskHas(const std::string& path);
// Names in a folder, sorted byte-wise, without "." and "..".
std::string ListNames(const std::string& folder);

// Blocks until the process has ended without reaping it, or until a
// generous guard expires (false). No timing is asserted.
bool WaitForExit(int pid);
