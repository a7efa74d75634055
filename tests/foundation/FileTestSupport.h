#pragma once
// Folders and archives for the file, zip and enumeration tests: fixtures
// that point the data folder into a fresh temporary folder.

#include "foundation/CFile.h"
#include "foundation/FatalError.h"
#include "support/ScopedHooks.h"
#include "support/TestSupport.h"
#include "support/ZipBuilder.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// The temporary folder is the data folder.
class CFileFolderTest : public CTempFolderTest {
protected:
    void SetUp() override;
    void TearDown() override;
};

// The temporary folder holds "Data", the data folder; the user folder is
// the working folder and the fatal path throws.
class ArchiveFixture : public CTempFolderTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // The path below the temporary root; folders are made.
    std::filesystem::path Put(const std::string& relative, const std::string& bytes);
    std::filesystem::path m_Root;

private:
    CScopedThrowingFatal m_Throwing;
};

// The next line as 8-bit text, or "<end>" when none is left.
std::string NextLine(CFile& file);
// The whole file read through CFile (so archives answer too), or
// "<missing>" when it does not open.
std::string ReadThroughFile(const char* name, uint32_t flags = FILE_READ);
// Creates (or replaces) the file through CFile; false when any step failed.
bool WriteThroughFile(const char* name, const std::string& bytes);
// The fatal report the action raised (the fatal path throws meanwhile); a
// test failure when it raised none.
CFatalErrorException FatalReportOf(const std::function<void()>& action);
