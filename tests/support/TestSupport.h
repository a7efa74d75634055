#pragma once
// Equipment shared by every test program: a fresh temporary folder that is
// the working folder for the test's duration, file helpers that reach the
// disk directly (not through the code under test), and child processes.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class CTempFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    const std::string& Folder() const { return m_Folder; }
    // The absolute path of a name inside the folder.
    std::string PathOf(const std::string& name) const { return m_Folder + "/" + name; }

private:
    std::string m_Folder;
    std::string m_PreviousFolder;
};

// Relative paths start at the working folder; folders on the way are made.
// Reading a missing file fails the test.
void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool DiskHas(const std::string& path);
// Sets a file's last-write time to Unix seconds.
void SetWriteTime(const std::string& path, long long unixSeconds);
// Names in a folder, sorted byte-wise, without "." and "..".
std::string ListNames(const std::string& folder);
// Files below the folder, at any depth, whose extension is ".wav" or ".ogg"
// in any case: what a sound list loads from there.
int CountSoundFiles(const std::string& folder);
// A width x height 32-bit TGA, rows top to bottom; pixel(x, y) gives
// 0xAARRGGBB.
void WritePixelsTga(const std::string& path, uint32_t width, uint32_t height,
                    const std::function<uint32_t(uint32_t x, uint32_t y)>& pixel);
// The text "<Class>\r\n{\r\n<lines>}\r\n" with each line tab-indented.
std::string ObjectText(const std::string& className, const std::string& lines);
// The same with the lines as they are, each ending in its own "\r\n".
std::string BareObjectText(const std::string& className, const std::string& lines);
// A level block of a level set file, and the user-made level set holding such
// blocks.
std::string LevelText(const std::string& name, const std::string& lines = "");
std::string LevelSetText(const std::vector<std::string>& levels);
// Copies DejaVuSans (Debian package fonts-dejavu-core) to the program's
// default font, "Resources/!default.ttf"; false when the system lacks it.
bool WriteDefaultFont();

// Blocks until the process has ended without reaping it, or until a
// generous guard expires (false). No timing is asserted.
bool WaitForExit(int pid);
// Runs this test program again in the folder with only the named test.
// False when it could not be started or did not end.
bool RunThisProgramWithTest(const std::string& testName, const std::string& folder);
// Runs a shell command quietly; answers its exit status.
int RunCommand(const std::string& command);
// Installs in this process, for good (a forked child's), a filter under
// which each system call listed fails with its error number, as a sandbox
// or an older kernel answers it; false when the system refuses the filter.
bool RefuseSystemCalls(const std::vector<std::pair<long, int>>& callsAndErrors);
// Runs what in a forked child as another account (uid and gid 65534; root
// ignores file modes): answers the text it returned, or how the child ended.
std::string AsAnotherAccount(const std::function<std::string()>& what);
// Upper-case hex of the bytes, two digits each.
std::string Hex(const void* data, size_t size);
