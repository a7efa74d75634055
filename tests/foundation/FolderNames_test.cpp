// Folders the system names with characters the 8-bit form cannot hold
// (Greek, Chinese, an emoji) or with a "\" in a name: the base folders and
// the program's folder keep their bytes, and every file operation under them
// reaches the very folder on disk.
#include "FileTestSupport.h"
#include "foundation/CFileList.h"
#include "foundation/EnumerateFiles.h"
#include "foundation/FileHelpers.h"
#include "foundation/FilePaths.h"
#include "foundation/PlatformWrappers.h"
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kFolderNames = {"Ωμέγα", "数据", "🎮", "a\\b"};

using FolderNames = CTempFolderTest;

TEST_F(FolderNames, FilesUnderBaseFoldersOfAnyNameAreWrittenFoundAndReadThere)
{
    for (const std::string& name : kFolderNames) {
        SCOPED_TRACE(name);
        const std::string root = Folder() + "/" + name;
        WriteBytes(root + "/Data/Levels/One.txt", "one");
        CScopedDataFolder data((root + "/Data").c_str());
        CScopedFolderB saves((root + "/Saves").c_str());

        EXPECT_EQ(ReadThroughFile("Levels\\One.txt"), "one");
        EXPECT_TRUE(FileExists("levels/one.TXT", 0));
        EXPECT_TRUE(FolderExists("Levels", 0));
        CFile save;
        ASSERT_TRUE(save.Open("Profiles/Stats.dat", FILE_CREATE | FILE_WRITE | FILE_FOLDER_B | FILE_MAKE_FOLDERS));
        save.Write("ok", 2);
        ASSERT_TRUE(save.Close());
        EXPECT_EQ(ReadBytes(root + "/Saves/Profiles/Stats.dat"), "ok");
        EXPECT_TRUE(CreateFolderForName("Cache/Frames", 0));
        EXPECT_TRUE(fs::is_directory(root + "/Data/Cache/Frames"));
        EXPECT_FALSE(fs::exists(Folder() + "/a")) << "no folder made from part of a name";

        CEnumerateFilesOptions options;
        options.SetFilesWithExtension("Levels/", "txt");
        CFileNameArray found;
        found.Enumerate(options, 0);
        ASSERT_EQ(found.GetCount(), 1);
        EXPECT_STREQ(found.GetItemName(0), "Levels/One.txt") << "names stay relative to the data folder";

        char unique[64];
        WriteBytes(root + "/Data/Shot000.tga", "taken");
        ASSERT_TRUE(MakeUniqueFileName(unique, sizeof unique, "Shot%03d.tga", 0));
        EXPECT_STREQ(unique, "Shot001.tga");
        EXPECT_TRUE(IsNewer("Levels/One.txt", 0, "Levels/Missing.txt", 0));
        EXPECT_EQ(DiskPathOf("LEVELS/one.txt", 0), root + "/Data/Levels/One.txt");
        EXPECT_TRUE(DeleteFileByName("Levels/One.txt", 0));
        EXPECT_FALSE(fs::exists(root + "/Data/Levels/One.txt"));
    }
}

TEST_F(FolderNames, TheProgramFolderOfAnyNameBecomesTheWorkingFolder)
{
    CScopedProgramModulePath module(nullptr);
    for (const std::string& name : kFolderNames) {
        SCOPED_TRACE(name);
        const std::string folder = Folder() + "/" + name;
        fs::create_directories(folder);
        SetProgramModulePath((folder + "/ombrisalt").c_str());
        EXPECT_EQ(GetProgramDiskFolder(), folder + "/");
        ASSERT_TRUE(SetWorkingFolderToProgram());
        EXPECT_EQ(plat::GetCurrentFolder(), folder);
        fs::current_path(Folder());
    }
}

TEST_F(FolderNames, AFolderThatCannotBeListedIsNamedWholeOnDisk)
{
    const std::string root = Folder() + "/数据";
    WriteBytes(root + "/Data/Levels/One.txt", "one");
    CScopedDataFolder data((root + "/Data").c_str());
    EXPECT_EQ(UnreadableFolderPath("Levels", 0), "");
    EXPECT_EQ(UnreadableFolderPath("Sounds", 0), root + "/Data/Sounds");
    // A relative data folder is named from the working folder.
    CScopedDataFolder relative("数据/Data");
    EXPECT_EQ(UnreadableFolderPath("Levels", 0), "");
    EXPECT_EQ(UnreadableFolderPath("Sounds\\Effects", 0), root + "/Data/Sounds/Effects");
}

} // namespace
