#include "foundation/CMountedArchiveTable.h"
#include "foundation/CZipArchive.h"

#include "FileTestSupport.h"
#include "foundation/CFile.h"
#include "foundation/CMemFileBuf.h"
#include "foundation/EnumerateFiles.h"
#include "foundation/FatalError.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fstream>
#include <sys/resource.h>

namespace {

std::string Pattern(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = char((i * 131 + seed * 7 + (i >> 8)) & 0xFF);
    return bytes;
}

class ZipArchive : public ArchiveFixture {};

} // namespace

TEST_F(ZipArchive, MembersOfArchivesMadeByZipAndPythonReadByteForByte)
{
    Put("src/Sub/Mixed.TXT", "hello\r\nworld\r\n");
    Put("src/big.bin", Pattern(200000, 1));
    Put("src/empty.dat", "");
    ASSERT_EQ(RunCommand("cd src && zip -0 -q -r ../Data/ByZip.zip ."), 0);
    ASSERT_EQ(
        RunCommand("python3 -c \"import zipfile; z = zipfile.ZipFile('Data/ByPython.zip', 'w', zipfile.ZIP_STORED); "
                   "z.writestr('a/b.txt', 'python member'); z.writestr('c.bin', bytes(range(256)) * 40); z.close()\""),
        0);
    CMountedArchiveTable& table = CMountedArchiveTable::Get();
    ASSERT_TRUE(table.Mount("ByZip.zip", MountRoot::New, ArchiveAccess::ReadOnly, "ByZip/", MountLoading::Now, 0));
    ASSERT_TRUE(
        table.Mount("ByPython.zip", MountRoot::Last, ArchiveAccess::ReadOnly, "ByPython/", MountLoading::Deferred, 0));

    EXPECT_EQ(ReadThroughFile("byzip/sub/mixed.txt"), "hello\r\nworld\r\n");
    EXPECT_EQ(ReadThroughFile("BYZIP/BIG.BIN"), Pattern(200000, 1));
    EXPECT_EQ(ReadThroughFile("ByZip/empty.dat"), "");
    EXPECT_EQ(ReadThroughFile("ByPython/a/B.txt"), "python member");
    std::string expected;
    for (int i = 0; i < 40 * 256; ++i)
        expected.push_back(char(i));
    EXPECT_EQ(ReadThroughFile("ByPython/c.bin"), expected);
    EXPECT_EQ(ReadThroughFile("ByPython/missing.bin"), "<missing>");

    // Lines, seeks to the end, and the relative seek that may not reach it.
    CFile file;
    ASSERT_TRUE(file.Open("ByZip/Sub/Mixed.txt", FILE_READ));
    EXPECT_EQ(NextLine(file), "hello");
    EXPECT_EQ(NextLine(file), "world");
    EXPECT_TRUE(file.Seek(14));
    EXPECT_FALSE(file.Seek(15));
    EXPECT_TRUE(file.Seek(10));
    EXPECT_FALSE(file.SeekRelative(4));
    EXPECT_TRUE(file.SeekRelative(3));
}

TEST_F(ZipArchive, ReaderVariantsLoadAlike)
{
    const std::vector<Member> members = {{"x/one.txt", "first"}, {"two.txt", "second member"}};
    Put("Data/Alt.zip", BuildZip(members, {.endSignature = kZipAlternativeEndSignature}));
    Put("Data/Comment.zip", BuildZip(members, {.archiveComment = "a comment forces the scan from the start"}));
    std::vector<Member> extras = members;
    extras[0].localExtra = std::string("\x99\x99\x04\x00wxyz", 8); // local extra longer than the central one
    extras[1].centralExtra = std::string("\x55\x54\x01\x00\x01", 5);
    Put("Data/Extra.zip", BuildZip(extras));

    CMountedArchiveTable& table = CMountedArchiveTable::Get();
    ASSERT_TRUE(table.Mount("Alt.zip", MountRoot::New, ArchiveAccess::ReadOnly, "Alt/", MountLoading::Now, 0));
    ASSERT_TRUE(table.Mount("Comment.zip", MountRoot::Last, ArchiveAccess::ReadOnly, "Comment/", MountLoading::Now, 0));
    ASSERT_TRUE(table.Mount("Extra.zip", MountRoot::Last, ArchiveAccess::ReadOnly, "Extra/", MountLoading::Now, 0));
    for (const char* mount : {"Alt/", "Comment/", "Extra/"}) {
        EXPECT_EQ(ReadThroughFile((std::string(mount) + "X/ONE.txt").c_str()), "first") << mount;
        EXPECT_EQ(ReadThroughFile((std::string(mount) + "two.txt").c_str()), "second member") << mount;
    }
    EXPECT_EQ(CMountedArchiveTable::ArchiveForName(*table.GetRoot(0), "Alt/two.txt")->GetEndSignature(),
              kZipAlternativeEndSignature);
}

TEST_F(ZipArchive, ArchiveAppendedToAnExecutableMounts)
{
    Put("src/inside.txt", "carried by the program");
    ASSERT_EQ(RunCommand("cd src && zip -0 -q ../part.zip inside.txt"), 0);
    Put("Game.bin", std::string(5000, '\x7f') + ReadBytes(m_Root / "part.zip"));
    ASSERT_EQ(RunCommand("zip -q -A Game.bin"), 0);
    ASSERT_TRUE(CMountedArchiveTable::Get().Mount("Game.bin", MountRoot::New, ArchiveAccess::ReadOnly, "/",
                                                  MountLoading::Now, FILE_USER_FOLDER));
    EXPECT_EQ(ReadThroughFile("inside.txt"), "carried by the program");
}

TEST_F(ZipArchive, PreEnumeratedLookupsNeedAListing)
{
    Put("Data/Pack.zip", BuildZip({{"a.txt", "A"}, {"b.txt", "B"}}));
    ASSERT_TRUE(CMountedArchiveTable::Get().Mount("Pack.zip", MountRoot::New, ArchiveAccess::ReadOnly, "Pack/",
                                                  MountLoading::Now, 0));
    CMountedArchiveTable& table = CMountedArchiveTable::Get();
    EXPECT_EQ(table.OpenMember("Pack/a.txt", FILE_READ | FILE_PREENUMERATED), nullptr);
    CFileNameArray names;
    CEnumerateFilesOptions options;
    options.SetFilesWithExtension("Pack/", "txt");
    names.Enumerate(options, 0);
    CFileBuf* member = table.OpenMember("Pack/a.txt", FILE_READ | FILE_PREENUMERATED);
    ASSERT_NE(member, nullptr);
    delete member;
}

TEST_F(ZipArchive, RewrittenMembersLeaveAValidArchive)
{
    // Python writes extra fields and member comments the rewrite must keep.
    ASSERT_EQ(
        RunCommand("python3 -c \"import zipfile; z = zipfile.ZipFile('Data/Edit.zip', 'w', zipfile.ZIP_STORED)\n"
                   "for n, d in (('first.txt', b'1' * 3000), ('second.txt', b'22'), ('third.txt', b'333' * 50)):\n"
                   "  i = zipfile.ZipInfo(n); i.comment = b'note ' + n.encode(); i.extra = b'\\x99\\x99\\x02\\x00ab'\n"
                   "  z.writestr(i, d)\n"
                   "z.close()\""),
        0);
    const std::string before = ReadBytes(m_Root / "Data/Edit.zip");
    ASSERT_TRUE(CMountedArchiveTable::Get().Mount("Edit.zip", MountRoot::New, ArchiveAccess::Writable, "Edit/",
                                                  MountLoading::Deferred, 0));

    {
        CFile file;
        ASSERT_TRUE(file.Open("Edit/First.txt", FILE_WRITE | FILE_CREATE));
        ASSERT_EQ(file.Write("rewritten first member", 22), 22u);
        // Until the directory is written the archive on disk is untouched.
        EXPECT_EQ(ReadBytes(m_Root / "Data/Edit.zip"), before);
        ASSERT_TRUE(file.Close());
    }
    ASSERT_TRUE(WriteThroughFile("Edit/third.txt", Pattern(70000, 3)));

    EXPECT_EQ(RunCommand("unzip -tq Data/Edit.zip"), 0);
    EXPECT_EQ(RunCommand("python3 -c \"import zipfile, sys; z = zipfile.ZipFile('Data/Edit.zip')\n"
                         "assert z.testzip() is None\n"
                         "assert [i.filename for i in z.infolist()] == ['second.txt', 'first.txt', 'third.txt']\n"
                         "assert z.getinfo('second.txt').comment == b'note second.txt'\n"
                         "assert z.getinfo('second.txt').extra == b'\\x99\\x99\\x02\\x00ab'\n"
                         "assert z.read('first.txt') == b'rewritten first member'\""),
              0);
    EXPECT_EQ(ReadThroughFile("Edit/first.txt"), "rewritten first member");
    EXPECT_EQ(ReadThroughFile("Edit/second.txt"), "22");
    EXPECT_EQ(ReadThroughFile("Edit/third.txt"), Pattern(70000, 3));

    // Shrinking the last member leaves no stale tail: the end record closes
    // the file and both tools read the new directory.
    ASSERT_TRUE(WriteThroughFile("Edit/third.txt", "short"));
    const std::string shrunk = ReadBytes(m_Root / "Data/Edit.zip");
    ASSERT_GT(shrunk.size(), 22u);
    EXPECT_EQ(Le32(shrunk, shrunk.size() - 22), kZipEndSignature);
    EXPECT_EQ(Le32(shrunk, shrunk.size() - 6) + Le32(shrunk, shrunk.size() - 10) + 22, shrunk.size());
    EXPECT_EQ(RunCommand("unzip -tq Data/Edit.zip"), 0);
    EXPECT_EQ(RunCommand("python3 -c \"import zipfile; z = zipfile.ZipFile('Data/Edit.zip')\n"
                         "assert z.testzip() is None and z.read('third.txt') == b'short'\""),
              0);
    ASSERT_TRUE(WriteThroughFile("Edit/third.txt", Pattern(70000, 3)));

    // A fresh mount reads the same from disk.
    CMountedArchiveTable::Get().UnmountAll();
    ASSERT_TRUE(CMountedArchiveTable::Get().Mount("Edit.zip", MountRoot::New, ArchiveAccess::Writable, "Edit/",
                                                  MountLoading::Now, 0));
    EXPECT_EQ(ReadThroughFile("Edit/third.txt"), Pattern(70000, 3));
    CZipArchive* archive = CMountedArchiveTable::ArchiveForName(*CMountedArchiveTable::Get().GetRoot(0), "Edit/x");
    ASSERT_EQ(archive->GetEntryCount(), 3u);
    EXPECT_EQ(archive->GetEntry(2)->fullName, "Edit/third.txt");
}

TEST_F(ZipArchive, RewriteKeepsTheAlternativeSignature)
{
    Put("Data/Alt.zip",
        BuildZip({{"a.txt", "aaaa"}, {"b.txt", "bb"}, {"c.txt", "c"}}, {.endSignature = kZipAlternativeEndSignature}));
    ASSERT_TRUE(CMountedArchiveTable::Get().Mount("Alt.zip", MountRoot::New, ArchiveAccess::Writable, "Alt/",
                                                  MountLoading::Now, 0));
    ASSERT_TRUE(WriteThroughFile("Alt/a.txt", "new"));
    const std::string bytes = ReadBytes(m_Root / "Data/Alt.zip");
    EXPECT_EQ(Le32(bytes, bytes.size() - 22), kZipAlternativeEndSignature);
    EXPECT_EQ(ReadThroughFile("Alt/a.txt"), "new");
    EXPECT_EQ(ReadThroughFile("Alt/b.txt"), "bb");
}

TEST_F(ZipArchive, FailedRewriteCloseRestoresTheArchiveSafely)
{
    // The working copy cannot grow past the rewritten member, so the
    // directory cannot be written and the close fails; the directory read
    // back from the untouched archive must not pull the member's entry out
    // from under the closing writer (the sanitizer build catches the use).
    const std::string zip = BuildZip({{"a.txt", "aaaa"}, {"b.txt", "bb"}});
    Put("Data/Tight.zip", zip);
    CMountedArchiveTable& table = CMountedArchiveTable::Get();
    ASSERT_TRUE(table.Mount("Tight.zip", MountRoot::New, ArchiveAccess::Writable, "Tight/", MountLoading::Now, 0));
    CZipArchive* archive = CMountedArchiveTable::ArchiveForName(*table.GetRoot(0), "Tight/x");
    ASSERT_NE(archive, nullptr);
    // A reader on its own handle holds an entry the failed close reads anew.
    CFile reader;
    ASSERT_TRUE(reader.Open("Tight/b.txt", FILE_READ | FILE_OWN_ARCHIVE_HANDLE));
    {
        CFile file;
        ASSERT_TRUE(file.Open("Tight/a.txt", FILE_WRITE | FILE_CREATE));
        ASSERT_EQ(file.Write("new contents", 12), 12u);
        const CZipArchiveEntry* entry = archive->Find("Tight/a.txt");
        ASSERT_NE(entry, nullptr);
        const rlim_t end = rlim_t(entry->dataStart + entry->central.size);
        rlimit saved{};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit tight{end, saved.rlim_max};
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
        const bool closed = file.Close();
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        EXPECT_FALSE(closed);
    }
    char byte = 0;
    EXPECT_EQ(reader.Read(&byte, 1), 0u);
    EXPECT_TRUE(reader.Close());
    EXPECT_EQ(ReadBytes(m_Root / "Data/Tight.zip"), zip);
    EXPECT_EQ(ReadThroughFile("Tight/a.txt"), "aaaa");
    EXPECT_EQ(ReadThroughFile("Tight/b.txt"), "bb");
    // The archive can still be rewritten afterwards.
    ASSERT_TRUE(WriteThroughFile("Tight/b.txt", "later"));
    EXPECT_EQ(ReadThroughFile("Tight/b.txt"), "later");
}

TEST_F(ZipArchive, ReadOnlyMountsRefuseRewrites)
{
    const std::string zip = BuildZip({{"a.txt", "aaaa"}});
    Put("Data/Fixed.zip", zip);
    ASSERT_TRUE(CMountedArchiveTable::Get().Mount("Fixed.zip", MountRoot::New, ArchiveAccess::ReadOnly, "Fixed/",
                                                  MountLoading::Now, 0));
    CMountedArchiveTable& table = CMountedArchiveTable::Get();
    EXPECT_EQ(table.OpenMember("Fixed/a.txt", FILE_WRITE | FILE_CREATE), nullptr);
    EXPECT_EQ(ReadBytes(m_Root / "Data/Fixed.zip"), zip);
}

TEST_F(ZipArchive, AppendedMemberFollowsTheEngineLayout)
{
    Put("Host.zip", BuildZip({{"old.txt", "old data"}}));
    const std::string before = ReadBytes(m_Root / "Host.zip");
    const uint32_t oldDirectory = Le32(before, before.size() - 6);
    const uint32_t oldDirectorySize = Le32(before, before.size() - 10);
    {
        CFile file;
        ASSERT_TRUE(file.Open("Host.zip;New/Member.bin", FILE_WRITE | FILE_CREATE));
        ASSERT_EQ(file.Write("0123456789", 10), 10u);
        ASSERT_TRUE(file.Seek(2));
        ASSERT_EQ(file.Write("ab", 2), 2u);
        EXPECT_EQ(ReadBytes(m_Root / "Host.zip"), before);
        ASSERT_TRUE(file.Close());
    }
    const std::string after = ReadBytes(m_Root / "Host.zip");
    const std::string name = "New/Member.bin";
    // Local header where the old directory was.
    EXPECT_EQ(Le32(after, oldDirectory), kZipLocalSignature);
    EXPECT_EQ(Le16(after, oldDirectory + 4), 10);
    for (size_t at : {6, 8, 10, 12, 14})
        EXPECT_EQ(Le16(after, oldDirectory + at), 0) << at;
    EXPECT_EQ(Le32(after, oldDirectory + 18), 10u);
    EXPECT_EQ(Le32(after, oldDirectory + 22), 10u);
    EXPECT_EQ(Le16(after, oldDirectory + 26), name.size());
    EXPECT_EQ(after.substr(oldDirectory + 30, name.size()), name);
    EXPECT_EQ(after.substr(oldDirectory + 30 + name.size(), 10), "01ab456789");
    // The old directory, then the new record, then the engine's end record.
    const size_t directory = oldDirectory + 30 + name.size() + 10;
    EXPECT_EQ(after.substr(directory, oldDirectorySize), before.substr(oldDirectory, oldDirectorySize));
    const size_t record = directory + oldDirectorySize;
    EXPECT_EQ(Le32(after, record), kZipCentralSignature);
    EXPECT_EQ(Le16(after, record + 4), 42);
    EXPECT_EQ(Le16(after, record + 6), 10);
    EXPECT_EQ(Le32(after, record + 16), 0u);
    EXPECT_EQ(Le32(after, record + 20), 10u);
    EXPECT_EQ(Le32(after, record + 42), oldDirectory);
    const size_t end = record + 46 + name.size();
    ASSERT_EQ(after.size(), end + 22);
    EXPECT_EQ(Le32(after, end), kZipAlternativeEndSignature);
    EXPECT_EQ(Le16(after, end + 10), 2);
    EXPECT_EQ(Le32(after, end + 12), oldDirectorySize + 46 + name.size());
    EXPECT_EQ(Le32(after, end + 16), directory);

    std::rename((m_Root / "Host.zip").c_str(), (m_Root / "Data/Host.zip").c_str());
    ASSERT_TRUE(CMountedArchiveTable::Get().Mount("Host.zip", MountRoot::New, ArchiveAccess::ReadOnly, "Host/",
                                                  MountLoading::Now, 0));
    EXPECT_EQ(ReadThroughFile("Host/new/member.bin"), "01ab456789");
    EXPECT_EQ(ReadThroughFile("Host/old.txt"), "old data");
}

TEST_F(ZipArchive, FailedAppendsChangeNothing)
{
    Put("Host.zip", BuildZip({{"old.txt", "old data"}}));
    Put("NotAZip.bin", std::string(100, 'x'));
    const std::string before = ReadBytes(m_Root / "Host.zip");
    CFile file;
    EXPECT_FALSE(file.Open(("Host.zip;" + std::string(256, 'n')).c_str(), FILE_WRITE | FILE_CREATE));
    EXPECT_FALSE(file.Open("NotAZip.bin;member", FILE_WRITE | FILE_CREATE));
    EXPECT_FALSE(file.Open("Missing.zip;member", FILE_WRITE | FILE_CREATE));

    // A full directory cannot take one more member: the close fails and the
    // archive is left as it was.
    std::vector<Member> many(0xFFFF);
    for (size_t i = 0; i < many.size(); ++i)
        many[i].name = std::to_string(i);
    Put("Full.zip", BuildZip(many));
    const std::string full = ReadBytes(m_Root / "Full.zip");
    ASSERT_TRUE(file.Open("Full.zip;extra", FILE_WRITE | FILE_CREATE));
    file.Write("data", 4);
    EXPECT_FALSE(file.Close());
    EXPECT_EQ(ReadBytes(m_Root / "Full.zip"), full);
    EXPECT_EQ(ReadBytes(m_Root / "Host.zip"), before);
    for (const auto& entry : std::filesystem::directory_iterator(m_Root))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST_F(ZipArchive, DamagedArchivesAreRefused)
{
    const std::string good = BuildZip({{"a.txt", "aaaa"}, {"b.txt", "bbbbbb"}});
    Put("Data/Truncated.zip", good.substr(0, good.size() - 30));
    Put("Data/Past.zip", BuildZip({{"a.txt", "aaaa"}}, {.directoryOffsetShift = 1000}));
    std::vector<Member> huge = {{"a.txt", "aaaa"}};
    huge[0].sizeOverride = 0xFFFFFFF0;
    Put("Data/Huge.zip", BuildZip(huge));
    Put("Data/Empty.zip", "");
    // Sizes that stay inside the file but reach into the directory.
    std::vector<Member> intoDirectory = {{"a.txt", "aaaa"}};
    intoDirectory[0].packedSizeOverride = 14;
    Put("Data/PackedIntoDirectory.zip", BuildZip(intoDirectory));
    intoDirectory[0].packedSizeOverride = 0;
    intoDirectory[0].unpackedSizeOverride = 14;
    Put("Data/UnpackedIntoDirectory.zip", BuildZip(intoDirectory));
    intoDirectory[0].unpackedSizeOverride = 5;
    Put("Data/OneByteIntoDirectory.zip", BuildZip(intoDirectory));
    intoDirectory[0].unpackedSizeOverride = 4;
    Put("Data/Sound.zip", BuildZip(intoDirectory));

    CMountedArchiveTable& table = CMountedArchiveTable::Get();
    ASSERT_TRUE(table.Mount("Sound.zip", MountRoot::New, ArchiveAccess::ReadOnly, "Good/", MountLoading::Now, 0));
    EXPECT_EQ(ReadThroughFile("Good/a.txt"), "aaaa");
    for (const char* zip : {"Truncated.zip", "Past.zip", "Huge.zip", "Empty.zip", "PackedIntoDirectory.zip",
                            "UnpackedIntoDirectory.zip", "OneByteIntoDirectory.zip"})
        EXPECT_FALSE(table.Mount(zip, MountRoot::New, ArchiveAccess::ReadOnly, "Bad/", MountLoading::Now, 0)) << zip;

    // Deferred: the damage shows at first use, as the fatal report.
    ASSERT_TRUE(
        table.Mount("Truncated.zip", MountRoot::New, ArchiveAccess::ReadOnly, "Late/", MountLoading::Deferred, 0));
    const CFatalErrorException error = FatalReportOf([] { ReadThroughFile("Late/a.txt"); });
    EXPECT_EQ(error.caption, "FATAL ERROR IN ZIP");
    EXPECT_EQ(error.message, "There is something wrong with Truncated.zip.  It may be an empty or damaged archive.");
}

TEST_F(ZipArchive, LocalHeadersThatLieAreRefused)
{
    // The directory is sound but the member's local header points past the end.
    std::vector<Member> members = {{"a.txt", "aaaa"}};
    members[0].localExtra = std::string(8, 'e');
    std::string zip = BuildZip(members);
    zip[28] = char(0xF0); // local extra length 0xFFF0
    zip[29] = char(0xFF);
    Put("Data/Lying.zip", zip);
    ASSERT_TRUE(CMountedArchiveTable::Get().Mount("Lying.zip", MountRoot::New, ArchiveAccess::ReadOnly, "Lying/",
                                                  MountLoading::Now, 0));
    EXPECT_EQ(ReadThroughFile("Lying/a.txt"), "<missing>");
}

TEST_F(ZipArchive, CompressedMembersAreFatal)
{
    Put("src/text.txt", std::string(5000, 'z'));
    ASSERT_EQ(RunCommand("cd src && zip -9 -q ../Data/Deflated.zip text.txt"), 0);
    const CFatalErrorException error = FatalReportOf([] {
        CMountedArchiveTable::Get().Mount("Deflated.zip", MountRoot::New, ArchiveAccess::ReadOnly, "D/",
                                          MountLoading::Now, 0);
    });
    EXPECT_EQ(error.caption, "Compressed Zip File Found");
    EXPECT_EQ(error.message,
              "Deflated.zip has been created using an unsupported type of compression.  All zip archives must be "
              "created with compression set to none or a type of compression supported by the game engine.");
}

TEST(ZipArchiveDeathTest, CompressedMemberEndsTheProgramWith255)
{
    const std::string zip = BuildZip({{"a.txt", "aaaa", 8}});
    EXPECT_EXIT(
        {
            SetFatalTerminator(nullptr);
            CZipArchive archive("Packed.zip", "", 0, ArchiveAccess::ReadOnly);
            auto* buffer = new CMemFileBuf;
            buffer->Write(zip.data(), uint32_t(zip.size()));
            buffer->Seek(0);
            archive.LoadFromFileBuf(buffer);
        },
        testing::ExitedWithCode(255), "unsupported type of compression");
}

TEST_F(ZipArchive, MountedArchivesAnswerTheFileLayer)
{
    Put("Data/Pack.zip", BuildZip({{"Sub/a.txt", "A"}}));
    Put("Data/Loose.txt", "loose");
    CMountedArchiveTable& table = CMountedArchiveTable::Get();
    ASSERT_TRUE(table.Mount("Pack.zip", MountRoot::New, ArchiveAccess::Writable, "Pack/", MountLoading::Deferred, 0));
    EXPECT_TRUE(table.Contains("pack/sub/A.TXT"));
    EXPECT_FALSE(table.Contains("Pack/Sub/b.txt"));
    CJString path;
    ASSERT_TRUE(table.GetArchivePath("Pack/Sub/a.txt", path));
    EXPECT_STREQ(path.GetString(), "Pack.zip");
    EXPECT_TRUE(IsFileWritable("Pack/Sub/a.txt", 0));
    EXPECT_TRUE(FileExists("Pack/Sub/a.txt", 0) || ReadThroughFile("Pack/Sub/a.txt") == "A");
    EXPECT_EQ(ReadThroughFile("Loose.txt"), "loose");
}

// Members still open when their archive is unmounted answer as closed files
// instead of reaching into the freed archive (the sanitizer build catches
// any use).
struct OpenAtUnmountCase {
    const char* label;
    uint32_t flags;
    MountLoading loading;
};

class MembersOpenAtUnmount : public ZipArchive, public testing::WithParamInterface<OpenAtUnmountCase> {};

TEST_P(MembersOpenAtUnmount, ReadAsClosedFiles)
{
    Put("Data/Pack.zip", BuildZip({{"a.txt", "first line\nsecond"}, {"b.txt", "bbbb"}}));
    CMountedArchiveTable& table = CMountedArchiveTable::Get();
    ASSERT_TRUE(table.Mount("Pack.zip", MountRoot::New, ArchiveAccess::ReadOnly, "Pack/", GetParam().loading, 0));
    CFile a;
    CFile b;
    ASSERT_TRUE(a.Open("Pack/a.txt", GetParam().flags));
    ASSERT_TRUE(b.Open("Pack/b.txt", GetParam().flags));
    EXPECT_EQ(NextLine(a), "first line");
    table.UnmountAll();

    char bytes[8] = {};
    EXPECT_EQ(a.Read(bytes, sizeof bytes), 0u);
    EXPECT_EQ(NextLine(a), "<end>");
    EXPECT_FALSE(a.Seek(0));
    EXPECT_FALSE(b.SeekRelative(1));
    EXPECT_EQ(b.Read(bytes, sizeof bytes), 0u);
    EXPECT_LT(b.GetSize(), 0);
    EXPECT_TRUE(a.Close());
    EXPECT_TRUE(b.Close());

    ASSERT_TRUE(table.Mount("Pack.zip", MountRoot::New, ArchiveAccess::ReadOnly, "Pack/", GetParam().loading, 0));
    EXPECT_EQ(ReadThroughFile("Pack/b.txt", GetParam().flags), "bbbb");
}

INSTANTIATE_TEST_SUITE_P(
    Zip, MembersOpenAtUnmount,
    testing::Values(OpenAtUnmountCase{"SharedHandle", FILE_READ, MountLoading::Now},
                    OpenAtUnmountCase{"SharedHandleDeferred", FILE_READ, MountLoading::Deferred},
                    OpenAtUnmountCase{"OwnHandle", FILE_READ | FILE_OWN_ARCHIVE_HANDLE, MountLoading::Now}),
    [](const testing::TestParamInfo<OpenAtUnmountCase>& param) { return std::string(param.param.label); });

TEST_F(ZipArchive, WriterOpenAtUnmountReportsTheLoss)
{
    const std::string zip = BuildZip({{"a.txt", "aaaa"}});
    Put("Data/Edit.zip", zip);
    CMountedArchiveTable& table = CMountedArchiveTable::Get();
    ASSERT_TRUE(table.Mount("Edit.zip", MountRoot::New, ArchiveAccess::Writable, "Edit/", MountLoading::Now, 0));
    CFile file;
    ASSERT_TRUE(file.Open("Edit/a.txt", FILE_WRITE | FILE_CREATE));
    ASSERT_EQ(file.Write("new", 3), 3u);
    table.UnmountAll();
    EXPECT_EQ(file.Write("more", 4), 0u);
    EXPECT_FALSE(file.Close());
    EXPECT_EQ(ReadBytes(m_Root / "Data/Edit.zip"), zip);
    size_t files = 0;
    for ([[maybe_unused]] const auto& item : std::filesystem::directory_iterator(m_Root / "Data"))
        ++files;
    EXPECT_EQ(files, 1u); // no working copy left beside the archive
}
