#pragma once
// Archives and folders for the zip and enumeration tests: a small stored-zip
// writer with the variants standard tools do not make, and a fixture that
// works in a fresh temporary folder with the fatal path throwing.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace ziptest {

struct Member {
    std::string name;
    std::string data;
    uint16_t method = 0;
    std::string localExtra;
    std::string centralExtra;
    std::string comment;
    uint32_t sizeOverride = 0; // when non-zero, written as both sizes
};

struct ZipOptions {
    uint32_t endSignature = 0x06054B50;
    std::string archiveComment;
    std::string leading;         // bytes before the first member (offsets stay absolute)
    int64_t directoryOffsetShift = 0;
};

std::string BuildZip(const std::vector<Member>& members, const ZipOptions& options = ZipOptions());

std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);
uint16_t Le16(const std::string& bytes, size_t at);
uint32_t Le32(const std::string& bytes, size_t at);
// Runs a shell command; answers its exit status.
int RunCommand(const std::string& command);

class ArchiveFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // The path below the temporary root; folders are made.
    std::filesystem::path Put(const std::string& relative, const std::string& bytes);
    std::filesystem::path m_Root;
    std::filesystem::path m_OldFolder;
};

} // namespace ziptest
