#include "foundation/CMountedArchiveTable.h"
#include "foundation/CZipArchive.h"
#include "foundation/EnumerateFiles.h"

#include "FileTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using ZipWriters = ArchiveFixture;

CZipArchive* ArchiveAt(uint32_t root, const char* name)
{
    return CMountedArchiveTable::ArchiveForName(*CMountedArchiveTable::Get().GetRoot(root), name);
}

// Every member's CRC and the directory checked by an independent reader.
int CheckWithPython(const std::string& zip)
{
    return RunCommand("python3 -c \"import zipfile; z = zipfile.ZipFile('" + zip + "'); assert z.testzip() is None\"");
}

TEST_F(ZipWriters, StaleMountReadsTheDirectoryAgainAndKeepsTheOtherWrite)
{
    Put("Data/Edit.zip", BuildZip({{"a.txt", "aaaa"}, {"b.txt", "bbbbbbbb"}, {"c.txt", "cc"}}));
    CMountedArchiveTable& table = CMountedArchiveTable::Get();
    ASSERT_TRUE(table.Mount("Edit.zip", MountRoot::New, ArchiveAccess::Writable, "One/", MountLoading::Now, 0));
    ASSERT_TRUE(table.Mount("Edit.zip", MountRoot::New, ArchiveAccess::Writable, "Two/", MountLoading::Now, 0));
    ASSERT_TRUE(WriteThroughFile("One/a.txt", "written through the first mount"));
    // The second mount's directory describes the archive before that write.
    ASSERT_TRUE(WriteThroughFile("Two/b.txt", "through the second"));
    EXPECT_EQ(ReadThroughFile("Two/a.txt"), "written through the first mount");
    EXPECT_EQ(ReadThroughFile("Two/b.txt"), "through the second");
    // And back: the first mount's next rewrite starts from the second's archive.
    ASSERT_TRUE(WriteThroughFile("One/c.txt", "third"));
    EXPECT_EQ(CheckWithPython("Data/Edit.zip"), 0);
    CMountedArchiveTable::Get().UnmountAll();
    ASSERT_TRUE(table.Mount("Edit.zip", MountRoot::New, ArchiveAccess::ReadOnly, "Fresh/", MountLoading::Now, 0));
    EXPECT_EQ(ArchiveAt(0, "Fresh/x")->GetEntryCount(), 3u);
    EXPECT_EQ(ReadThroughFile("Fresh/a.txt"), "written through the first mount");
    EXPECT_EQ(ReadThroughFile("Fresh/b.txt"), "through the second");
    EXPECT_EQ(ReadThroughFile("Fresh/c.txt"), "third");
}

TEST_F(ZipWriters, DeferredMountReadsAReplacedArchiveThroughItsNewDirectory)
{
    Put("Data/Edit.zip", BuildZip({{"a.txt", "aaaa"}, {"b.txt", "bbbbbb"}}));
    CMountedArchiveTable& table = CMountedArchiveTable::Get();
    ASSERT_TRUE(table.Mount("Edit.zip", MountRoot::New, ArchiveAccess::ReadOnly, "Old/", MountLoading::Deferred, 0));
    CFileNameArray listed;
    CEnumerateFilesOptions options;
    options.SetFilesWithExtension("Old/", "txt");
    ASSERT_EQ(listed.Enumerate(options, 0), 2u);
    ASSERT_TRUE(table.Mount("Edit.zip", MountRoot::New, ArchiveAccess::Writable, "New/", MountLoading::Now, 0));
    // Moves a.txt behind b.txt: every offset the first mount read is stale.
    ASSERT_TRUE(WriteThroughFile("New/a.txt", "a longer text than before"));
    EXPECT_EQ(ReadThroughFile("Old/b.txt", FILE_READ | FILE_PREENUMERATED), "bbbbbb");
    EXPECT_EQ(ReadThroughFile("Old/a.txt", FILE_READ | FILE_PREENUMERATED), "a longer text than before");
}

TEST_F(ZipWriters, SecondMountCannotRewriteWhileTheFirstIsWritingAndNothingIsLost)
{
    Put("Data/Edit.zip", BuildZip({{"a.txt", "aaaa"}, {"b.txt", "bb"}}));
    CMountedArchiveTable& table = CMountedArchiveTable::Get();
    ASSERT_TRUE(table.Mount("Edit.zip", MountRoot::New, ArchiveAccess::Writable, "One/", MountLoading::Now, 0));
    ASSERT_TRUE(table.Mount("Edit.zip", MountRoot::New, ArchiveAccess::Writable, "Two/", MountLoading::Now, 0));
    CFile first;
    ASSERT_TRUE(first.Open("One/a.txt", FILE_WRITE | FILE_CREATE));
    ASSERT_EQ(first.Write("new a", 5), 5u);
    CFile second;
    EXPECT_FALSE(second.Open("Two/b.txt", FILE_WRITE | FILE_CREATE | FILE_ARCHIVES_ONLY)) << "refused, not waiting";
    EXPECT_NE(ArchiveAt(1, "Two/x")->GetLoadError().find("another mount"), std::string::npos);
    ASSERT_TRUE(first.Close());
    ASSERT_TRUE(WriteThroughFile("Two/b.txt", "new b"));
    EXPECT_EQ(ReadThroughFile("Two/a.txt"), "new a");
    EXPECT_EQ(ReadThroughFile("Two/b.txt"), "new b");
    EXPECT_EQ(CheckWithPython("Data/Edit.zip"), 0);
}

TEST_F(ZipWriters, TwoProcessesRewritingMembersOfOneArchiveLoseNothing)
{
    constexpr int kRounds = 40;
    Put("Data/Shared.zip", BuildZip({{"parent.txt", "p"}, {"middle.txt", std::string(5000, 'm')}, {"child.txt", "c"}}));
    const auto rewrite = [](const char* member, const char* tag) {
        int failures = 0;
        for (int i = 0; i < kRounds; ++i) {
            const std::string text = std::string(tag) + std::to_string(i) + std::string(size_t(i * 37 % 900), 'x');
            failures += WriteThroughFile(member, text) ? 0 : 1;
        }
        return failures;
    };
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Mounted in the child only, so neither process shares state.
        const bool mounted = CMountedArchiveTable::Get().Mount("Shared.zip", MountRoot::New, ArchiveAccess::Writable,
                                                               "Shared/", MountLoading::Now, 0);
        ::_exit(mounted && rewrite("Shared/child.txt", "child") == 0 ? 0 : 1);
    }
    ASSERT_TRUE(CMountedArchiveTable::Get().Mount("Shared.zip", MountRoot::New, ArchiveAccess::Writable, "Shared/",
                                                  MountLoading::Now, 0));
    const int failures = rewrite("Shared/parent.txt", "parent");
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(CheckWithPython("Data/Shared.zip"), 0);
    CMountedArchiveTable::Get().UnmountAll();
    ASSERT_TRUE(CMountedArchiveTable::Get().Mount("Shared.zip", MountRoot::New, ArchiveAccess::ReadOnly, "Shared/",
                                                  MountLoading::Now, 0));
    const int last = kRounds - 1;
    EXPECT_EQ(ReadThroughFile("Shared/parent.txt"),
              "parent" + std::to_string(last) + std::string(size_t(last * 37 % 900), 'x'));
    EXPECT_EQ(ReadThroughFile("Shared/child.txt"),
              "child" + std::to_string(last) + std::string(size_t(last * 37 % 900), 'x'));
    EXPECT_EQ(ReadThroughFile("Shared/middle.txt"), std::string(5000, 'm'));
    EXPECT_EQ(ListNames(m_Root / "Data"), "Shared.zip");
}

TEST_F(ZipWriters, LeftOverTemporariesAreRemovedAndNeverStopARewrite)
{
    Put("Data/Edit.zip", BuildZip({{"a.txt", "aaaa"}, {"b.txt", "bb"}}));
    for (int i = 1; i <= 1200; ++i)
        Put("Data/.Edit.zip.tmp" + std::to_string(i), "left by a killed save");
    Put("Data/.Edit.zip.tmp" + std::to_string(::getpid()) + "_1", "left by a killed save");
    ASSERT_TRUE(CMountedArchiveTable::Get().Mount("Edit.zip", MountRoot::New, ArchiveAccess::Writable, "Edit/",
                                                  MountLoading::Deferred, 0));
    ASSERT_TRUE(WriteThroughFile("Edit/a.txt", "rewritten"));
    EXPECT_EQ(ListNames(m_Root / "Data"), "Edit.zip");
    EXPECT_EQ(ReadThroughFile("Edit/a.txt"), "rewritten");
    // An appended member takes the same way.
    Put("Data/.Edit.zip.tmp77", "left");
    ASSERT_TRUE(WriteThroughFile("Data/Edit.zip;New.txt", "appended"));
    EXPECT_EQ(ListNames(m_Root / "Data"), "Edit.zip");
}

// --- Directories refused at load ---

// Changes the central record of member i through its named fields.
template <class Change>
void ChangeCentralRecord(std::string& zip, int i, Change change)
{
    ZipEndRecord end;
    end.Read(reinterpret_cast<const uint8_t*>(zip.data() + zip.size() - ZipEndRecord::kSize));
    size_t at = end.directoryOffset;
    ZipCentralRecord record;
    for (;;) {
        record.Read(reinterpret_cast<const uint8_t*>(zip.data() + at));
        if (i-- == 0)
            break;
        at += ZipCentralRecord::kSize + record.nameLength + record.extraLength + record.commentLength;
    }
    change(record);
    record.Write(reinterpret_cast<uint8_t*>(zip.data() + at));
}

struct RefusedCase {
    const char* name;
    std::string (*build)();
    const char* reason; // part of the load error
};

class ZipRefused : public ArchiveFixture, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(ZipRefused, AtLoadWithAReason)
{
    Put("Data/Bad.zip", GetParam().build());
    CZipArchive archive("Bad.zip", "Bad/", 0, ArchiveAccess::Writable);
    EXPECT_FALSE(archive.Load());
    EXPECT_EQ(archive.GetEntryCount(), 0u);
    EXPECT_NE(archive.GetLoadError().find(GetParam().reason), std::string::npos) << archive.GetLoadError();
    EXPECT_FALSE(CMountedArchiveTable::Get().Mount("Bad.zip", MountRoot::New, ArchiveAccess::Writable, "Bad/",
                                                   MountLoading::Now, 0));
}

std::string SharedData()
{
    std::string zip = BuildZip({{"a.txt", "aaaa"}, {"b.txt", "bbbb"}});
    ChangeCentralRecord(zip, 1, [](ZipCentralRecord& record) { record.localHeaderOffset = 0; });
    return zip;
}

std::string DataRunsIntoTheNext()
{
    std::string zip = BuildZip({{"a.txt", "aaaa"}, {"b.txt", "bbbb"}});
    ChangeCentralRecord(zip, 0, [](ZipCentralRecord& record) { record.size = record.compressedSize = 20; });
    return zip; // a's data would reach into b's header
}

std::string WrappedCount()
{
    std::vector<Member> members;
    for (int i = 0; i < 65536; ++i)
        members.push_back({std::to_string(i), ""});
    return BuildZip(members); // the 16-bit count reads 0
}

const RefusedCase kRefused[] = {
    {"MembersSharingData", SharedData, "overlap"},
    {"DataRunningIntoTheNextMember", DataRunsIntoTheNext, "overlap"},
    {"CountWrappedPast65535", WrappedCount, "65,535"},
};
INSTANTIATE_TEST_SUITE_P(Directories, ZipRefused, ::testing::ValuesIn(kRefused),
                         [](const ::testing::TestParamInfo<RefusedCase>& param) {
                             return std::string(param.param.name);
                         });

} // namespace
