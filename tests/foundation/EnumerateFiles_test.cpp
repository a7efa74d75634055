#include "foundation/EnumerateFiles.h"

#include "FileTestSupport.h"
#include "foundation/CDirectoryTree.h"
#include "foundation/CFile.h"
#include "foundation/CFileList.h"
#include "foundation/CMountedArchiveTable.h"
#include "foundation/CRandomGenerator.h"
#include "foundation/FatalError.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::vector<std::string> Names(CFileNameArray& array)
{
    std::vector<std::string> names;
    for (int32_t i = 0; i < array.GetCount(); ++i)
        names.push_back(array.GetItemName(i));
    return names;
}

std::vector<std::string> Listed(CEnumerateFilesOptions& options, int recurse)
{
    options.SetRecurse(recurse);
    CFileNameArray files;
    files.Enumerate(options, 0);
    return Names(files);
}

// Loose files and a zip mixing upper and lower case, "-" folders, a cache
// folder and a name found both loose and in the archive.
class Enumeration : public ArchiveFixture {
protected:
    void SetUp() override
    {
        ArchiveFixture::SetUp();
        Put("Data/Sounds/b.WAV", "bb");
        Put("Data/Sounds/A.wav", "a");
        Put("Data/Sounds/notes.txt", "n");
        Put("Data/Sounds/-Hidden/h.wav", "h");
        Put("Data/Sounds/Sub/c.wav", "ccc");
        Put("Data/Sounds/Sub/Deeper/d.wav", "dddd");
        Put("Data/Cache/Stale.zip", BuildZip({{"never.wav", "x"}}));
        Put("Data/-Old/Skipped.zip", BuildZip({{"never.wav", "x"}}));
        Put("Data/Sounds/Extra.zip",
            BuildZip({{"Z.wav", "zz"},
                      {"a.WAV", "duplicate of the loose file"},
                      {"-Dash/y.wav", "y"},
                      {"In/x.wav", "x"},
                      {"In/Deep/w.wav", "w"},
                      {"readme.txt", "r"}}));
        MountArchives("Data", ProgramArchives::Skip, DataZips::Mount);
    }
};

} // namespace

TEST_F(Enumeration, MountsEveryDataZipOutsideDashAndCacheFolders)
{
    CMountedArchiveTable& table = CMountedArchiveTable::Get();
    ASSERT_TRUE(table.IsMounted());
    EXPECT_EQ(ReadBytes(m_Root / "Data/Sounds/Extra.zip").empty(), false);
    EXPECT_TRUE(table.Contains("Sounds/Extra/Z.wav"));
    EXPECT_FALSE(table.Contains("Cache/Stale/never.wav"));
    EXPECT_FALSE(table.Contains("-Old/Skipped/never.wav"));
    FatalReportOf([] { MountArchives("Data", ProgramArchives::Skip, DataZips::Mount); }); // mounted twice
}

TEST_F(Enumeration, DiskFirstThenArchiveInEachRecursionMode)
{
    CFileNameArray files;
    CEnumerateFilesOptions options;
    options.SetFilesWithExtension("Sounds/", "wav");
    EXPECT_EQ(Listed(options, 2), (std::vector<std::string>{"Sounds/A.wav", "Sounds/b.WAV"}));
    // Inside the archive's own folder files mode does not limit the depth.
    options.SetFolder("Sounds/Extra/");
    EXPECT_EQ(Listed(options, 2),
              (std::vector<std::string>{"Sounds/Extra/-Dash/y.wav", "Sounds/Extra/a.WAV", "Sounds/Extra/In/Deep/w.wav",
                                        "Sounds/Extra/In/x.wav", "Sounds/Extra/Z.wav"}));
    options.SetFolder("Sounds/");
    EXPECT_EQ(Listed(options, 1),
              (std::vector<std::string>{"Sounds/A.wav", "Sounds/b.WAV", "Sounds/Sub/c.wav", "Sounds/Sub/Deeper/d.wav",
                                        "Sounds/Extra/a.WAV", "Sounds/Extra/In/Deep/w.wav", "Sounds/Extra/In/x.wav",
                                        "Sounds/Extra/Z.wav"}));

    options.SetRecurse(0);
    files.Enumerate(options, 0);
    EXPECT_EQ(Names(files),
              (std::vector<std::string>{"Sounds/A.wav", "Sounds/b.WAV", "Sounds/-Hidden/h.wav", "Sounds/Sub/c.wav",
                                        "Sounds/Sub/Deeper/d.wav", "Sounds/Extra/-Dash/y.wav", "Sounds/Extra/a.WAV",
                                        "Sounds/Extra/In/Deep/w.wav", "Sounds/Extra/In/x.wav", "Sounds/Extra/Z.wav"}));
    EXPECT_EQ(files.GetRecord(0).size, 1u);

    // Names only, and options with no extension list nothing.
    options.namesOnly = 1;
    EXPECT_EQ(Listed(options, 1),
              (std::vector<std::string>{"A.wav", "b.WAV", "c.wav", "d.wav", "w.wav", "x.wav", "Z.wav"}));

    // Clean names inside a folder whose name lost characters open nothing either.
    Put("Data/Sounds/Sub \xCE\xA9/In/e.wav", "e");
    options.namesOnly = 0;
    files.Enumerate(options, 0);
    std::vector<std::string> lost;
    for (int32_t i = 0; i < files.GetCount(); ++i)
        if (files.GetRecord(i).nameLost)
            lost.push_back(files.GetItemName(i));
    EXPECT_EQ(lost, (std::vector<std::string>{"Sounds/Sub ?/In/e.wav"}));
    CEnumerateFilesOptions none;
    none.SetFolder("Sounds/");
    EXPECT_EQ(files.Enumerate(none, 0), 0u);
}

TEST_F(Enumeration, LooseFileBeatsTheArchiveMemberOfTheSameName)
{
    Put("Data/Sounds/Extra/a.wav", "loose copy");
    CEnumerateFilesOptions options;
    options.SetFilesWithExtension("Sounds/Extra/", "WAV");
    const std::vector<std::string> names = Listed(options, 2);
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names[0], "Sounds/Extra/a.wav");
    EXPECT_EQ(
        std::count_if(names.begin(), names.end(),
                      [](const std::string& n) { return CompareNameNoCase(n.c_str(), "sounds/extra/A.wav") == 0; }),
        1);
    // The member was dropped as a duplicate, so only a full look-up finds it.
    CMountedArchiveTable& table = CMountedArchiveTable::Get();
    EXPECT_EQ(table.OpenMember("Sounds/Extra/a.wav", FILE_READ | FILE_PREENUMERATED), nullptr);
    CFile file;
    ASSERT_TRUE(file.Open("Sounds/Extra/a.wav", FILE_READ));
    EXPECT_EQ(file.GetSize(), 10); // the loose file
    ASSERT_TRUE(file.Open("Sounds/Extra/z.WAV", FILE_READ));
    EXPECT_EQ(file.GetSize(), 2);
}

TEST_F(Enumeration, FoldersOnDiskAndInArchives)
{
    CEnumerateFilesOptions options;
    options.SetFolderMode("Sounds/", false);
    EXPECT_EQ(Listed(options, 2), (std::vector<std::string>{"Sounds/-Hidden", "Sounds/Sub", "Sounds/Extra"}));
    options.SetFolderMode("Sounds/Extra/", false);
    EXPECT_EQ(Listed(options, 1),
              (std::vector<std::string>{"Sounds/Extra/-Dash", "Sounds/Extra/In", "Sounds/Extra/In/Deep"}));
    options.SetFolderMode("Sounds/", true);
    EXPECT_EQ(Listed(options, 2), (std::vector<std::string>{"Sounds/-Hidden"}));
}

TEST_F(Enumeration, OptionsKeepAtMostFiveExtensions)
{
    CEnumerateFilesOptions options;
    for (const char* extension : {".wav", "txt", "a", "b", "c", "zip"})
        options.AddExtension(extension);
    EXPECT_EQ(options.extensionCount, 5u);
    EXPECT_STREQ(options.extensions[0].GetString(), "wav");
    options.SetFolder("Sounds/");
    EXPECT_EQ(Listed(options, 2), (std::vector<std::string>{"Sounds/A.wav", "Sounds/b.WAV", "Sounds/notes.txt"}));
}

TEST_F(Enumeration, StaticTablesTakeSizesAndRefuseLongNames)
{
    char names[8 * 32] = {};
    uint8_t sizes[8 * 32] = {};
    CEnumerateFilesOptions options;
    options.SetFilesWithExtension("Sounds/", "wav");
    options.SetRecurse(1);
    options.namesOnly = 1;
    EXPECT_EQ(EnumerateFilesToStaticArray(options, names, sizes, 32, 3, 0), 3u);
    EXPECT_STREQ(names, "A.wav");
    EXPECT_STREQ(names + 32, "b.WAV");
    EXPECT_EQ(sizes[32], 2);
    // A five-character name fits six bytes with its terminator, not five.
    EXPECT_EQ(EnumerateFilesToStaticArray(options, names, nullptr, 6, 3, 0), 3u);
    EXPECT_STREQ(names + 6, "b.WAV");
    const CFatalErrorException noRoom
        = FatalReportOf([&] { EnumerateFilesToStaticArray(options, names, nullptr, 5, 3, 0); });
    EXPECT_EQ(noRoom.message, "\"A.wav\" is an illegal file name because it is more than 4 characters long");
    options.namesOnly = 0;
    const CFatalErrorException error
        = FatalReportOf([&] { EnumerateFilesToStaticArray(options, names, nullptr, 10, 8, 0); });
    EXPECT_EQ(error.caption, "Illegal file name");
    EXPECT_EQ(error.message, "\"Sounds/A.wav\" is an illegal file name because it is more than 9 characters long");
    CRoughFileCounter counter;
    EXPECT_EQ(EnumerateFiles(counter, options, 0), 8u);
}

TEST_F(Enumeration, ShuffledListsNeverRepeatAcrossPasses)
{
    GameRandom().Seed(12345);
    CFileList list;
    CEnumerateFilesOptions options;
    options.SetFilesWithExtension("Sounds/Sub/", "wav");
    options.SetRecurse(0);
    Put("Data/Sounds/Sub/e.wav", "e");
    ASSERT_EQ(list.Enumerate(options, CFileList::kShuffled, nullptr, 0), 3u);
    EXPECT_STREQ(list.GetItemName(0), "c.wav");
    EXPECT_STREQ(list.GetItemName(1), "Deeper/d.wav");
    std::string previous;
    for (int pass = 0; pass < 50; ++pass) {
        std::vector<std::string> seen;
        for (int i = 0; i < 3; ++i)
            seen.push_back(list.GetNextName());
        EXPECT_NE(seen[0], previous) << pass;
        std::vector<std::string> sorted = seen;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(std::unique(sorted.begin(), sorted.end()), sorted.end()) << pass;
        previous = seen[2];
    }
    EXPECT_STREQ(list.GetCurrentName(), previous.c_str());
}

TEST_F(Enumeration, PreferredNameIsGivenNowAndTheOrderGoesOn)
{
    CFileList list;
    CEnumerateFilesOptions options;
    options.SetFilesWithExtension("Sounds/", "wav");
    options.SetRecurse(1);
    ASSERT_EQ(list.Enumerate(options, CFileList::kInNameOrder, nullptr, 0), 8u);
    EXPECT_STREQ(list.GetNextName(), "A.wav");
    EXPECT_STREQ(list.GetNextName("extra/z.wav"), "Extra/Z.wav");
    EXPECT_STREQ(list.GetNextName(), "b.WAV");
    EXPECT_STREQ(list.GetNextPath(), "Sounds/Extra/a.WAV");
    EXPECT_STREQ(list.GetNextName(), "Extra/In/Deep/w.wav");
    EXPECT_STREQ(list.GetItemPath(0), "Sounds/A.wav");
    EXPECT_EQ(list.GetItemName(99), nullptr);

    CFileList empty;
    options.SetFilesWithExtension("Nothing/", "wav");
    empty.Enumerate(options, CFileList::kShuffled, nullptr, 0);
    EXPECT_EQ(empty.GetNextName(), nullptr);
}

TEST(DirectoryTree, FilesItemsUnderTheirFolders)
{
    class Paths : public CSimpleVirtualArray {
    public:
        std::vector<std::string> names{"top.txt", "A/one.txt", "a/B/two.txt", "C/three.txt", "A/four.txt"};
        const char* GetItemName(int32_t i) override { return names[size_t(i)].c_str(); }
        CJString GetItemNameString(int32_t i) override { return CJString(names[size_t(i)].c_str()); }
        int32_t GetCount() override { return int32_t(names.size()); }
    } paths;
    CDirectoryTree tree(paths);
    const int32_t root = tree.GetRoot();
    ASSERT_EQ(tree.GetChildCount(root), 3); // top.txt, A, C
    EXPECT_EQ(tree.GetChild(root, 0), 0);
    const int32_t a = tree.GetChild(root, 1);
    EXPECT_TRUE(tree.IsFolder(a));
    EXPECT_STREQ(tree.GetName(a).GetString(), "A");
    ASSERT_EQ(tree.GetChildCount(a), 3); // one.txt, four.txt, B
    EXPECT_EQ(tree.GetChild(a, 0), 1);
    EXPECT_EQ(tree.GetChild(a, 1), 4);
    const int32_t b = tree.GetChild(a, 2);
    EXPECT_STREQ(tree.GetPath(b).GetString(), "A/B");
    EXPECT_STREQ(tree.GetPath(2).GetString(), "A/B/two.txt");
    EXPECT_STREQ(tree.GetName(2).GetString(), "two.txt");
    EXPECT_EQ(tree.GetParent(2), b);
    EXPECT_EQ(tree.GetChildCount(0), 0);
    EXPECT_STREQ(tree.GetPath(root).GetString(), "");

    CVirtualTreeToVirtualArrayBridge bridge(tree);
    EXPECT_EQ(bridge.GetCount(), 3);
    EXPECT_STREQ(bridge.GetItemName(2), "C");
    bridge.SetParent(a);
    EXPECT_EQ(bridge.Find("four.txt"), 1);
}

TEST(ProgramArchives, QvxFilesBesideTheProgramMountAtTheRoot)
{
    class Fixture : public ArchiveFixture {
    public:
        void TestBody() override {}
        using ArchiveFixture::Put;
        using ArchiveFixture::SetUp;
        using ArchiveFixture::TearDown;
    } fixture;
    fixture.SetUp();
    fixture.Put("B.qvx", BuildZip({{"Shared/one.txt", "from B"}}));
    fixture.Put("a.QVX", BuildZip({{"Shared/one.txt", "from a"}, {"Shared/two.txt", "only in a"}}));
    MountArchives("Data", ProgramArchives::Mount, DataZips::Skip);
    SetFileOpenNotificationsEnabled(false);
    ASSERT_EQ(CMountedArchiveTable::Get().GetRootCount(), 2u); // the program itself is no archive
    // Mounted in sorted order, so the later "B.qvx" answers first.
    EXPECT_EQ(ReadThroughFile("Shared/one.txt"), "from B");
    EXPECT_EQ(ReadThroughFile("Shared/Two.txt"), "only in a");
    fixture.TearDown();
}
