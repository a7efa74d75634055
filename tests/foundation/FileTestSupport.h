#pragma once
// Equipment for the file tests: a fresh temporary folder that is also the
// data folder for the test's duration, and raw helpers that reach the disk
// directly (not through the code under test).

#include <gtest/gtest.h>

#include <string>

class CFileFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The absolute path of a name inside the folder.
    std::string PathOf(const std::string& name) const { return m_Folder + "/" + name; }

private:
    std::string m_Folder;
};

// Paths are absolute; folders on the way are made.
void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool DiskHas(const std::string& path);
