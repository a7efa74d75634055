#include "foundation/CFile.h"

#include "FileTestSupport.h"
#include "foundation/ArchiveSeam.h"
#include "foundation/BufferNames.h"
#include "foundation/CMemFileBuf.h"
#include "foundation/CMountedArchiveTable.h"
#include "foundation/CZipArchive.h"
#include "platform/FileSystem.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

using FileTest = CFileFolderTest;

using Lines = std::vector<std::string>;

Lines ReadAllLines(CFile& file)
{
    Lines lines;
    for (std::string line = NextLine(file); line != "<end>"; line = NextLine(file))
        lines.push_back(line);
    return lines;
}

bool AttachBytes(CFile& file, std::string& bytes)
{
    return file.AttachFileBuf(CMemFileBuf::Wrap(reinterpret_cast<uint8_t*>(bytes.data()), uint32_t(bytes.size())),
                              FILE_READ);
}

Lines MemoryLines(std::string bytes)
{
    CFile file;
    EXPECT_TRUE(AttachBytes(file, bytes));
    return ReadAllLines(file);
}

enum class Through { File, Buffer };

// Opens, writes the text and closes; false when any step failed.
bool WriteText(const char* name, uint32_t flags, const char* text)
{
    CFile file;
    if (!file.Open(name, flags))
        return false;
    file.WriteString(text);
    return file.Close();
}

TEST_F(FileTest, WritesLinesWithCrLfAndOneTabPerIndentLevelWhenIndenting)
{
    CFile file;
    ASSERT_TRUE(file.Open("Text.txt", FILE_WRITE | FILE_CREATE));
    file.WriteLine("Object");
    file.Indent();
    file.Indent();
    file.WriteLine("Deep");
    file.Unindent();
    file.WriteLine("Middle");
    file.Unindent();
    file.WriteString("End");
    EXPECT_EQ(file.GetLineCount(), 3u);
    ASSERT_TRUE(file.Close());
    EXPECT_EQ(ReadBytes(PathOf("Text.txt")), "Object\r\n\t\tDeep\r\n\tMiddle\r\nEnd");

    ASSERT_TRUE(file.Open("Plain.txt", FILE_WRITE | FILE_CREATE));
    file.SetIndenting(false);
    file.Indent();
    file.WriteLine("a");
    file.Unindent();
    file.WriteLine("b");
    ASSERT_TRUE(file.Close());
    EXPECT_EQ(ReadBytes(PathOf("Plain.txt")), "a\r\nb\r\n");
}

// Line ends read alike from a disk file and from a stored archive member:
// CR, then CR or LF, then LF is three characters; CR LF or LF CR two;
// anything else one. The member reader works in 255-byte chunks.
struct LineEndCase {
    const char* label;
    std::string bytes;
    Lines lines;
};

class LineEnds : public ArchiveFixture, public testing::WithParamInterface<LineEndCase> {};

TEST_P(LineEnds, ReadTheSameFromDiskAndFromAnArchive)
{
    Put("Data/Loose.txt", GetParam().bytes);
    Put("Data/Text.zip", BuildZip({{"Member.txt", GetParam().bytes}}));
    ASSERT_TRUE(CMountedArchiveTable::Get().Mount("Text.zip", MountRoot::New, ArchiveAccess::ReadOnly, "Z/",
                                                  MountLoading::Now, 0));
    for (const char* name : {"Loose.txt", "Z/Member.txt"}) {
        CFile file;
        ASSERT_TRUE(file.Open(name, FILE_READ)) << name;
        EXPECT_EQ(ReadAllLines(file), GetParam().lines) << name;
    }
}

const std::string kChunkFill(254, 'x');
const std::string kLong(1000, 'y');

INSTANTIATE_TEST_SUITE_P(
    File, LineEnds,
    testing::Values(
        LineEndCase{"CrLf", "a\r\nb\r\n", {"a", "b"}}, LineEndCase{"LfAlone", "a\nb\nc", {"a", "b", "c"}},
        LineEndCase{"CrAlone", "a\rb\r", {"a", "b"}}, LineEndCase{"CrCrLf", "a\r\r\nb", {"a", "b"}},
        LineEndCase{"CrLfLf", "a\r\n\nc", {"a", "c"}}, LineEndCase{"LfCr", "a\n\rb\r\n\nc", {"a", "b", "c"}},
        LineEndCase{"LfLf", "d\n\ne", {"d", "", "e"}}, LineEndCase{"CrCrWithoutLf", "a\r\rb\r\r", {"a", "", "b", ""}},
        LineEndCase{"CrLfCr", "a\r\n\rb\n\n", {"a", "", "b", ""}}, LineEndCase{"CrEndsTheFile", "a\r", {"a"}},
        LineEndCase{"CrLastInAChunk", kChunkFill + "\r\nb", {kChunkFill, "b"}},
        LineEndCase{"CrCrAcrossAChunk", kChunkFill.substr(1) + "\r\r\nb", {kChunkFill.substr(1), "b"}},
        LineEndCase{"LoneCrLastInAChunk", kChunkFill + "\rb", {kChunkFill, "b"}},
        LineEndCase{"BareCrRun", "a\rb\rc\n", {"a", "b", "c"}},
        LineEndCase{"CrCrThenLf", "a\r\rb\nc\r", {"a", "", "b", "c"}},
        LineEndCase{"OnlyLineEnds", "\n\r\r\n\n", {"", ""}},
        LineEndCase{"LongerThanAChunk", kLong + "\r\n" + kLong.substr(0, 600), {kLong, kLong.substr(0, 600)}}),
    [](const testing::TestParamInfo<LineEndCase>& param) { return std::string(param.param.label); });

// A line longer than any string ends the text, on disk and in an archive:
// it is not read again, and no string is asked to hold it. Its bytes are the
// zeros of sparse files.
using LongLines = ArchiveFixture;

TEST_F(LongLines, EndTheTextOnDiskAndInAnArchive)
{
    const uint64_t over = uint64_t(kMaxStringLength) + 1;
    const std::string tail = "\r\nafter\r\n";
    const auto write
        = [](const std::filesystem::path& path, const std::string& head, uint64_t gap, const std::string& rest) {
              std::ofstream out(path, std::ios::binary);
              out << head;
              out.seekp(std::streamoff(head.size() + gap));
              out << rest;
          };
    write(Put("Data/Loose.txt", ""), "", over, tail);
    // The member's bytes lie between its header and the directory.
    const uint64_t size = over + tail.size();
    Member member{"Long.txt", ""};
    member.sizeOverride = uint32_t(size);
    ZipOptions options;
    options.directoryOffsetShift = int64_t(size);
    const std::string zip = BuildZip({member}, options);
    const size_t header = 30 + std::strlen("Long.txt");
    write(Put("Data/Text.zip", ""), zip.substr(0, header), over, tail + zip.substr(header));
    ASSERT_TRUE(CMountedArchiveTable::Get().Mount("Text.zip", MountRoot::New, ArchiveAccess::ReadOnly, "Z/",
                                                  MountLoading::Now, 0));
    for (const char* name : {"Loose.txt", "Z/Long.txt"}) {
        CFile file;
        ASSERT_TRUE(file.Open(name, FILE_READ)) << name;
        EXPECT_EQ(ReadAllLines(file), Lines{}) << name;
    }
}

TEST_F(FileTest, BytesAfterALineAreReadWhereTheLineEnded)
{
    // A bare CR ends a line inside a run of bytes the reader took at once.
    WriteBytes(PathOf("mixed.txt"), "a\rbc\r\n\nde");
    CFile file;
    ASSERT_TRUE(file.Open(PathOf("mixed.txt").c_str(), FILE_READ));
    EXPECT_EQ(NextLine(file), "a");
    EXPECT_EQ(file.GetPosition(), 2);
    EXPECT_EQ(NextLine(file), "bc");
    EXPECT_EQ(file.GetPosition(), 7);
    char rest[3] = {};
    EXPECT_EQ(file.Read(rest, 2), 2u);
    EXPECT_STREQ(rest, "de");
}

TEST_F(FileTest, MemoryLineEndsSkipOneCrThenOneLf)
{
    EXPECT_EQ(MemoryLines("a\r\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(MemoryLines("a\n\rb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(MemoryLines("a\nb\n"), (Lines{"a", "b"}));
}

TEST_F(FileTest, DiskLinesSurviveNulBytesLongLinesAndChunkBoundaries)
{
    // 78 characters put the CR last in the first 79-byte chunk, its LF in
    // the next; the line end must still be taken whole.
    const std::string edge(78, 'x');
    const std::string longLine(1000, 'y');
    WriteBytes(PathOf("edge.txt"), edge + "\r\nb\r\n" + longLine + "\r\nz" + std::string(1, '\0') + "z\nlast");
    CFile file;
    ASSERT_TRUE(file.Open(PathOf("edge.txt").c_str(), FILE_READ));
    EXPECT_EQ(NextLine(file), edge);
    EXPECT_EQ(NextLine(file), "b");
    EXPECT_EQ(NextLine(file), longLine);
    EXPECT_EQ(NextLine(file), "z"); // the NUL ends the text of the string, not the line
    EXPECT_EQ(NextLine(file), "last");
    EXPECT_EQ(NextLine(file), "<end>");
    EXPECT_EQ(file.GetLineCount(), 5u);
}

TEST_F(FileTest, DiskLinesAcrossTheReadBlocksKeepTheirEnds)
{
    // The reader takes the file in 64 KiB blocks: a line end split between
    // two blocks, and a line longer than a block, read as anywhere else.
    const size_t kBlock = 65536;
    const std::string first(kBlock - 1, 'a');  // its CR ends the first block
    const std::string second(kBlock - 2, 'b'); // CR CR LF across the next edge
    const std::string huge(3 * kBlock + 17, 'c');
    WriteBytes(PathOf("blocks.txt"), first + "\r\n" + second + "\r\r\n" + huge + "\n\rend");
    CFile file;
    ASSERT_TRUE(file.Open(PathOf("blocks.txt").c_str(), FILE_READ));
    EXPECT_EQ(NextLine(file), first);
    EXPECT_EQ(NextLine(file), second);
    EXPECT_EQ(NextLine(file), huge);
    EXPECT_EQ(NextLine(file), "end");
    EXPECT_EQ(NextLine(file), "<end>");
}

TEST_F(FileTest, ReadNonBlankLineSkipsWhitespaceLines)
{
    WriteBytes(PathOf("blank.txt"), "\r\n \t\r\nvalue\r\n\r\n");
    CFile file;
    ASSERT_TRUE(file.Open(PathOf("blank.txt").c_str(), FILE_READ));
    CJString line;
    ASSERT_TRUE(file.ReadNonBlankLine(line));
    EXPECT_STREQ(line.GetString(), "value");
    EXPECT_FALSE(file.ReadNonBlankLine(line));
}

TEST_F(FileTest, ReadLineIntoStaticRefusesALineThatDoesNotFit)
{
    WriteBytes(PathOf("s.txt"), "abcd\r\nab\r\n");
    CFile file;
    ASSERT_TRUE(file.Open(PathOf("s.txt").c_str(), FILE_READ));
    char buffer[4] = "zz";
    EXPECT_FALSE(file.ReadLineIntoStatic(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "zz");
    EXPECT_TRUE(file.ReadLineIntoStatic(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "ab");
}

std::string Utf16(const std::u16string& text)
{
    std::string bytes;
    for (char16_t unit : text) {
        bytes.push_back(char(unit & 0xFF));
        bytes.push_back(char(unit >> 8));
    }
    return bytes;
}

TEST_F(FileTest, Utf16FilesReadInMemoryWithoutTheMark)
{
    WriteBytes(PathOf("wide.txt"), Utf16(u"\xFEFF\x0416x\r\nsecond\nUNICODE-HEX<1604>"));
    CFile file;
    ASSERT_TRUE(file.Open(PathOf("wide.txt").c_str(), FILE_READ | FILE_IN_MEMORY));
    EXPECT_TRUE(file.IsUnicode());
    CJString line;
    ASSERT_TRUE(file.ReadLine(line));
    ASSERT_TRUE(line.IsWide());
    EXPECT_EQ(std::u16string(line.GetWideString()), u"\x0416x");
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(line.Compare("second"), 0);
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(std::u16string(line.GetWideString()), u"\x0416") << "a line in file form comes back decoded";
    EXPECT_FALSE(file.ReadLine(line));
}

TEST_F(FileTest, TextWrittenToAUtf16FileIsWidened)
{
    WriteBytes(PathOf("wide.txt"), Utf16(u"\xFEFF"));
    CFile file;
    ASSERT_TRUE(file.Open(PathOf("wide.txt").c_str(), FILE_READ | FILE_WRITE));
    ASSERT_TRUE(file.IsUnicode());
    ASSERT_TRUE(file.Seek(2));
    file.WriteLine("a");
    file.WriteJString(CJString(u"\x0416"));
    file.Indent();
    file.Unindent();
    file.WriteJStringLine(CJString("b"));
    ASSERT_TRUE(file.Close());
    EXPECT_EQ(ReadBytes(PathOf("wide.txt")),
              Utf16(u"\xFEFF"
                    u"a\r\n\x0416"
                    u"b\r\n"));
}

TEST_F(FileTest, WideStringsGoToEightBitFilesInFileForm)
{
    CFile file;
    ASSERT_TRUE(file.Open("narrow.txt", FILE_WRITE | FILE_CREATE));
    file.WriteJString(CJString(u"\x0416"));
    file.WriteJStringRaw(CJString(u"\x0416"));
    ASSERT_TRUE(file.Close());
    EXPECT_EQ(ReadBytes(PathOf("narrow.txt")), "UNICODE-HEX<1604>*");
}

TEST_F(FileTest, BinaryFieldsAndCountedStringsRoundTrip)
{
    {
        CFile file;
        ASSERT_TRUE(file.Open("bin.dat", FILE_WRITE | FILE_CREATE));
        file.WriteUint32(0x12345678).WriteUint8(0xAB).WriteCountedString("name").WriteCountedString("");
        ASSERT_TRUE(file.Close());
    }
    EXPECT_EQ(ReadBytes(PathOf("bin.dat")), std::string("\x78\x56\x34\x12\xAB\x04\0\0\0name\0\0\0\0", 17));
    CFile file;
    ASSERT_TRUE(file.Open("bin.dat", FILE_READ));
    uint32_t word = 0;
    uint8_t byte = 0;
    char text[8] = "";
    char empty[2] = "x";
    file.ReadUint32(word).ReadUint8(byte).ReadCountedString(text, sizeof text).ReadCountedString(empty, sizeof empty);
    EXPECT_EQ(word, 0x12345678u);
    EXPECT_EQ(byte, 0xAB);
    EXPECT_STREQ(text, "name");
    EXPECT_STREQ(empty, "");
    // At the end, fields are left alone.
    word = 7;
    file.ReadUint32(word);
    EXPECT_EQ(word, 7u);
}

TEST_F(FileTest, CountedStringsCheckTheFileAndTheCallersRoom)
{
    std::string bytes("\x05\0\0\0hello", 9);
    bytes += std::string("\xFF\xFF\0\0abc", 7);
    CFile file;
    ASSERT_TRUE(AttachBytes(file, bytes));
    char small[5] = "keep";
    errno = 0;
    file.ReadCountedString(small, sizeof small); // needs 6 bytes with the terminator
    EXPECT_EQ(errno, ERANGE);
    EXPECT_STREQ(small, "keep");
    ASSERT_TRUE(file.Seek(0));
    char room[6];
    errno = 0;
    file.ReadCountedString(room, sizeof room);
    EXPECT_EQ(errno, 0);
    EXPECT_STREQ(room, "hello");
    char big[100000] = "keep";
    file.ReadCountedString(big, sizeof big); // 65535 claimed, 3 left
    EXPECT_EQ(errno, ERANGE);
    EXPECT_STREQ(big, "keep");
}

TEST_F(FileTest, MissingFilesFoldersAndClosedFilesFailQuietly)
{
    CFile file;
    EXPECT_FALSE(file.Open("missing.txt", FILE_READ));
    EXPECT_FALSE(file.Open("", FILE_READ));
    EXPECT_FALSE(file.Open(nullptr, FILE_READ));
    EXPECT_FALSE(file.Open(std::string(1024, 'a').c_str(), FILE_READ));
    EXPECT_FALSE(FileExists("missing.txt", 0));
    WriteBytes(PathOf("Folder/inside.txt"), "x");
    EXPECT_FALSE(file.Open("Folder", FILE_READ));
    EXPECT_FALSE(file.Open("Folder", FILE_READ | FILE_IN_MEMORY));
    EXPECT_FALSE(file.Open("Folder", FILE_WRITE | FILE_CREATE));
    EXPECT_FALSE(file.Open("Folder", FILE_WRITE));
    EXPECT_FALSE(FileExists("Folder", 0));
    EXPECT_TRUE(FolderExists("Folder/", 0));

    CJString line;
    uint32_t value = 3;
    EXPECT_FALSE(file.ReadLine(line));
    EXPECT_EQ(file.Read(&value, 4), 0u);
    EXPECT_EQ(file.Write(&value, 4), 0u);
    EXPECT_EQ(file.GetPosition(), -1);
    EXPECT_EQ(file.GetSize(), 0);
    EXPECT_FALSE(file.Seek(0));
    EXPECT_EQ(&file.ReadUint32(value), &file);
    EXPECT_EQ(value, 3u);
    EXPECT_TRUE(file.Close());
}

TEST_F(FileTest, NamesAreFoundCaseBlindWithEitherSeparator)
{
    WriteBytes(PathOf("Sub/Deeper/File.TXT"), "found");
    CFile file;
    ASSERT_TRUE(file.Open("sub\\DEEPER\\file.txt", FILE_READ));
    EXPECT_EQ(NextLine(file), "found");
    EXPECT_TRUE(FileExists("SUB/deeper/FILE.txt", 0));
    // Writing reaches the existing file, not a twin in another case.
    ASSERT_TRUE(WriteText("sub\\deeper\\FILE.TXT", FILE_WRITE | FILE_CREATE, "new"));
    EXPECT_EQ(ReadBytes(PathOf("Sub/Deeper/File.TXT")), "new");
    EXPECT_FALSE(DiskHas(PathOf("sub")));
}

TEST_F(FileTest, WriteModesFollowTheFlags)
{
    CFile file;
    EXPECT_FALSE(file.Open("new.txt", FILE_WRITE));
    ASSERT_TRUE(WriteText("new.txt", FILE_WRITE | FILE_CREATE, "abc"));
    ASSERT_TRUE(WriteText("new.txt", FILE_WRITE, "X"));
    EXPECT_EQ(ReadBytes(PathOf("new.txt")), "Xbc");
    ASSERT_TRUE(WriteText("new.txt", FILE_WRITE | FILE_APPEND, "d"));
    EXPECT_EQ(ReadBytes(PathOf("new.txt")), "Xbcd");
}

TEST_F(FileTest, MakeFoldersCreatesTheChainOnlyWhenAsked)
{
    CFile file;
    EXPECT_FALSE(file.Open("a/b/c.txt", FILE_WRITE | FILE_CREATE));
    EXPECT_FALSE(DiskHas(PathOf("a")));
    ASSERT_TRUE(WriteText("a/b/c.txt", FILE_WRITE | FILE_CREATE | FILE_MAKE_FOLDERS, "x"));
    EXPECT_EQ(ReadBytes(PathOf("a/b/c.txt")), "x");
    ASSERT_TRUE(WriteText("q/r/s.txt", FILE_WRITE | FILE_APPEND | FILE_MAKE_FOLDERS, ""));
    EXPECT_TRUE(DiskHas(PathOf("q/r/s.txt")));
}

TEST_F(FileTest, CreatedFileReplacesTheOldOneOnlyAtClose)
{
    WriteBytes(PathOf("save.txt"), "old");
    CFile file;
    ASSERT_TRUE(file.Open("save.txt", FILE_WRITE | FILE_CREATE));
    file.WriteString("new contents");
    EXPECT_EQ(ReadBytes(PathOf("save.txt")), "old");
    ASSERT_TRUE(file.Close());
    EXPECT_EQ(ReadBytes(PathOf("save.txt")), "new contents");
}

TEST_F(FileTest, ShortWritesMakeCloseReportFailure)
{
    WriteBytes(PathOf("ro.txt"), "data");
    CFile file;
    ASSERT_TRUE(file.Open("ro.txt", FILE_READ)); // a read-only stream refuses writes
    file.WriteUint32(1);
    EXPECT_TRUE(file.HasError());
    EXPECT_FALSE(file.Close());
    EXPECT_EQ(ReadBytes(PathOf("ro.txt")), "data");
}

// Writes 10,000 bytes against a 100-byte file size limit, then reads one
// byte (which must not wash the failure out); answers the bytes written.
uint32_t WriteIntoTheSizeLimit(CFile& file, Through through)
{
    rlimit saved{};
    EXPECT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit tight{100, saved.rlim_max};
    EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    const std::string bytes(10000, 'x');
    const uint32_t written = through == Through::File ? file.Write(bytes.data(), uint32_t(bytes.size()))
                                                      : file.GetFileBuf()->Write(bytes.data(), uint32_t(bytes.size()));
    char byte = 0;
    file.Read(&byte, 1);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    return written;
}

TEST_F(FileTest, ShortWriteToACreatedFileKeepsTheOldFile)
{
    WriteBytes(PathOf("save.txt"), "old");
    CFile file;
    ASSERT_TRUE(file.Open("save.txt", FILE_WRITE | FILE_CREATE));
    EXPECT_LT(WriteIntoTheSizeLimit(file, Through::File), 10000u);
    EXPECT_FALSE(file.Close());
    EXPECT_EQ(ReadBytes(PathOf("save.txt")), "old");
}

TEST_F(FileTest, AnEarlierFailedWriteOnTheStreamFailsTheClose)
{
    // Past the file's own error flag: only the stream remembers the failure,
    // and the last flush at close has nothing left to fail on.
    WriteBytes(PathOf("open.bin"), "old");
    CFile file;
    ASSERT_TRUE(file.Open("open.bin", FILE_WRITE | FILE_READ));
    EXPECT_LT(WriteIntoTheSizeLimit(file, Through::Buffer), 10000u);
    EXPECT_FALSE(file.HasError());
    EXPECT_FALSE(file.Close());
}

TEST_F(FileTest, CompressedFilesRoundTripThroughOneBlock)
{
    {
        CFile file;
        ASSERT_TRUE(file.Open("Stats.dat", FILE_WRITE | FILE_CREATE | FILE_COMPRESSED));
        for (int i = 0; i < 200; ++i)
            file.WriteLine("the same line again");
        file.WriteUint32(0xDEADBEEF);
        ASSERT_TRUE(file.Close());
    }
    const std::string bytes = ReadBytes(PathOf("Stats.dat"));
    ASSERT_GT(bytes.size(), 9u);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(Le32(bytes, 1) + 9, bytes.size());
    EXPECT_LT(bytes.size(), 200u);

    CFile file;
    ASSERT_TRUE(file.Open("STATS.DAT", FILE_READ | FILE_COMPRESSED));
    EXPECT_TRUE(file.GetFileBuf()->IsMemory());
    EXPECT_EQ(file.GetSize(), 200 * 21 + 4);
    EXPECT_EQ(NextLine(file), "the same line again");
    ASSERT_TRUE(file.Seek(200 * 21));
    uint32_t tail = 0;
    file.ReadUint32(tail);
    EXPECT_EQ(tail, 0xDEADBEEFu);
}

TEST_F(FileTest, PlainAndDamagedFilesOpenedCompressedReadAsTheyAre)
{
    const std::string lying = std::string("\x01\x04\0\0\0\xFF\xFF\xFF\xFF", 9) + "abcd";
    const std::string truncated = std::string("\x01\x40\0\0\0\x10\0\0\0", 9) + "ab";
    const std::string garbage = std::string("\x01\x04\0\0\0\x04\0\0\0", 9) + "abcd";
    for (const std::string& content : {std::string("plain text\r\n"), std::string("\x01"), lying, truncated, garbage}) {
        WriteBytes(PathOf("p.txt"), content);
        CFile file;
        ASSERT_TRUE(file.Open("p.txt", FILE_READ | FILE_COMPRESSED));
        EXPECT_FALSE(file.GetFileBuf()->IsMemory());
        EXPECT_EQ(file.GetPosition(), 0);
        ASSERT_TRUE(file.Open("p.txt", FILE_READ | FILE_COMPRESSED | FILE_IN_MEMORY));
        EXPECT_TRUE(file.GetFileBuf()->IsMemory());
        EXPECT_EQ(file.GetPosition(), 0);
        EXPECT_EQ(file.GetSize(), int64_t(content.size()));
    }
}

TEST_F(FileTest, FailedCompressedWriteLeavesTheOldFileIntact)
{
    WriteBytes(PathOf("Stats.dat"), "precious");
    ASSERT_TRUE(plat::SetReadOnly(PathOf("Stats.dat"), true));
    CFile file;
    ASSERT_TRUE(file.Open("Stats.dat", FILE_WRITE | FILE_CREATE | FILE_COMPRESSED));
    file.WriteString("replacement");
    EXPECT_FALSE(file.Close());
    EXPECT_EQ(ReadBytes(PathOf("Stats.dat")), "precious");

    // A target folder that does not exist: reported, nothing created.
    ASSERT_TRUE(file.Open("Missing/Stats.dat", FILE_WRITE | FILE_CREATE | FILE_COMPRESSED));
    file.WriteString("lost");
    EXPECT_FALSE(file.Close());
    EXPECT_FALSE(DiskHas(PathOf("Missing")));
}

TEST_F(FileTest, CompressedWriteThatLostBytesLeavesTheOldFileIntact)
{
    // A write past the 32-bit range of the memory buffer is refused; the
    // block must not then store what came before it.
    WriteBytes(PathOf("Stats.dat"), "precious");
    CFile file;
    ASSERT_TRUE(file.Open("Stats.dat", FILE_WRITE | FILE_CREATE | FILE_COMPRESSED));
    file.WriteString("partial");
    ASSERT_TRUE(file.Seek(int64_t(UINT32_MAX) - 4));
    EXPECT_EQ(file.Write("0123456789", 10), 0u);
    EXPECT_FALSE(file.Close());
    EXPECT_EQ(ReadBytes(PathOf("Stats.dat")), "precious");
}

TEST_F(FileTest, ReadOnlyFlagIsClearedOnlyWhenAsked)
{
    WriteBytes(PathOf("ro.txt"), "old");
    ASSERT_TRUE(plat::SetReadOnly(PathOf("ro.txt"), true));
    EXPECT_FALSE(IsFileWritable("ro.txt", 0));
    CFile file;
    EXPECT_FALSE(file.Open("ro.txt", FILE_WRITE | FILE_CREATE));
    ASSERT_TRUE(WriteText("ro.txt", FILE_WRITE | FILE_CREATE | FILE_CLEAR_READONLY, "new"));
    EXPECT_EQ(ReadBytes(PathOf("ro.txt")), "new");
    EXPECT_TRUE(IsFileWritable("ro.txt", 0));
    EXPECT_TRUE(IsFileWritable("not-yet.txt", 0));
    EXPECT_FALSE(IsFileWritable("no-folder/not-yet.txt", 0));
}

TEST_F(FileTest, BufferNamesReachOnlyRegisteredBuffers)
{
    auto* buffer = new CMemFileBuf;
    buffer->Write("member bytes", 12);
    CJString name;
    MakeBufferName(name, buffer, "Sounds/a.wav");
    ASSERT_EQ(name.GetLength(), 12 + 8 + 1 + 12);
    EXPECT_EQ(name.CompareN("~CFileBuf 0x", 12), 0);
    EXPECT_STREQ(name.GetString() + 20, "/Sounds/a.wav");
    EXPECT_EQ(ParseBufferName(name.GetString()), buffer);
    CJString again;
    MakeBufferName(again, buffer, "x");
    EXPECT_EQ(again.CompareN(name, 20), 0);

    CJString lower(name);
    lower.MakeLower();
    lower.ReplaceFirst(CJString("~cfilebuf 0x"), CJString("~CFileBuf 0x"));
    EXPECT_EQ(ParseBufferName(lower.GetString()), buffer);
    EXPECT_EQ(ParseBufferName("~CFileBuf 0x1234"), nullptr);
    EXPECT_EQ(ParseBufferName("~CFileBuf 0xFFFFFFFF/x"), nullptr);
    EXPECT_EQ(ParseBufferName("~CFileBuf 0x00000000/x"), nullptr);

    {
        CFile file;
        ASSERT_TRUE(file.Open(name.GetString(), FILE_READ));
        EXPECT_EQ(file.GetFileBuf(), buffer);
        char text[13] = "";
        ASSERT_TRUE(file.Seek(0));
        EXPECT_EQ(file.Read(text, 12), 12u);
        EXPECT_STREQ(text, "member bytes");
    } // the file owned the buffer and deleted it
    EXPECT_EQ(ParseBufferName(name.GetString()), nullptr);

    auto* other = new CFileBuf;
    MakeBufferName(name, other, "");
    DeleteNamedBuffer(name.GetString());
    EXPECT_EQ(ParseBufferName(name.GetString()), nullptr);

    // Short or unknown buffer names are ordinary file names.
    WriteBytes(PathOf("~CFileBuf 0x12"), "file");
    CFile file;
    EXPECT_TRUE(file.Open("~CFileBuf 0x12", FILE_READ));
    EXPECT_FALSE(file.Open("~CFileBuf 0x01000000/x", FILE_READ));
}

TEST(FilePaths, ResolveAgainstTheBaseFolders)
{
    auto resolved = [](const char* name, uint32_t flags) {
        CJString out;
        ResolveFileName(out, name, flags);
        return std::string(out.GetString());
    };
    EXPECT_EQ(resolved("./x.txt", 0), "./x.txt");
    {
        const CScopedDataFolder data("Data");
        EXPECT_EQ(resolved("./x.txt", 0), "Data/x.txt");
        EXPECT_EQ(resolved("Upgrades/a.txt", 0), "Data/Upgrades/a.txt");
        EXPECT_EQ(resolved("Upgrades/a.txt", FILE_USER_FOLDER), "Upgrades/a.txt");
        const CScopedFolderB saves("Saves");
        EXPECT_EQ(resolved("Stats.dat", FILE_FOLDER_B | FILE_FOLDER_C), "Saves/Stats.dat");
        EXPECT_EQ(resolved("/abs/x", FILE_FOLDER_B), "/abs/x");
        EXPECT_EQ(resolved("C:x", 0), "C:x");
        char small[8];
        EXPECT_FALSE(ResolvePathToBuffer(small, sizeof small, "long name", 0));
    }

    EXPECT_EQ(IsAbsolutePath("a", 0), 0u);
    EXPECT_EQ(IsAbsolutePath("ab/c", 0), 0u);
    EXPECT_EQ(IsAbsolutePath("/x", 0), FILE_NO_NOTIFY | FILE_USER_FOLDER);
    EXPECT_EQ(IsAbsolutePath("C:\\x", 0), FILE_NO_NOTIFY | FILE_USER_FOLDER);
    EXPECT_EQ(IsAbsolutePath("./x", FILE_FOLDER_B), FILE_NO_NOTIFY);
}

TEST_F(FileTest, FileHelpersWorkOnResolvedNames)
{
    WriteBytes(PathOf("Shot0.png"), "x");
    WriteBytes(PathOf("Shot1.png"), "x");
    char name[64];
    ASSERT_TRUE(MakeUniqueFileName(name, sizeof name, "Shot%d.png", 0));
    EXPECT_STREQ(name, "Shot2.png");
    EXPECT_FALSE(MakeUniqueFileName(name, sizeof name, "Shot.png", 0));
    EXPECT_FALSE(MakeUniqueFileName(name, sizeof name, "Shot%s%d.png", 0));
    // The free name and its terminator must fit: nine characters need ten.
    char exact[9] = "x";
    EXPECT_FALSE(MakeUniqueFileName(exact, sizeof exact, "Shot%d.png", 0));
    EXPECT_STREQ(exact, "");
    char room[10];
    ASSERT_TRUE(MakeUniqueFileName(room, sizeof room, "Shot%d.png", 0));
    EXPECT_STREQ(room, "Shot2.png");

    EXPECT_TRUE(FileExists("shot1.PNG", 0));
    EXPECT_TRUE(DeleteFileByName("SHOT1.png", 0));
    EXPECT_FALSE(FileExists("Shot1.png", 0));
    EXPECT_FALSE(DeleteFileByName("Shot1.png", 0));

    EXPECT_FALSE(FolderExists("New/Deep", 0));
    EXPECT_TRUE(CreateFolderForName("New/Deep/", 0));
    EXPECT_TRUE(FolderExists("new/deep/", 0));
    EXPECT_TRUE(CreateFolderForName("New/Deep", 0));

    EXPECT_TRUE(IsNewerFile("Shot0.png", "missing.png"));
    EXPECT_FALSE(IsNewerFile("missing.png", "Shot0.png"));
    EXPECT_TRUE(IsNewer("Shot*.png", 0, "missing.png", 0));

    CJString real;
    GetRealPath(real, "Shot0.png", 0);
    EXPECT_EQ(real.Compare(PathOf("Shot0.png").c_str()), 0);
}

TEST_F(FileTest, MoveBlockCopyToAndIsSameContent)
{
    std::string content(200000, '\0');
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = char(i * 7 + i / 256);
    WriteBytes(PathOf("big.bin"), content);
    CFile source;
    ASSERT_TRUE(source.Open("big.bin", FILE_READ | FILE_WRITE));
    EXPECT_FALSE(source.MoveBlock(10, 5, 3));
    EXPECT_TRUE(source.MoveBlock(5, 5, 100));
    ASSERT_TRUE(source.MoveBlock(100, 70000, 130000));
    std::string expected = content;
    expected.replace(100, 130000, content.substr(70000, 130000));

    CFile copy;
    ASSERT_TRUE(copy.Open("copy.bin", FILE_WRITE | FILE_CREATE));
    std::vector<float> progress;
    static std::vector<float>* sink;
    sink = &progress;
    ASSERT_TRUE(source.CopyTo(copy, [](float p) { sink->push_back(p); }));
    ASSERT_TRUE(copy.Close());
    ASSERT_TRUE(source.Close());
    EXPECT_EQ(ReadBytes(PathOf("big.bin")), expected);
    EXPECT_EQ(ReadBytes(PathOf("copy.bin")), expected);
    EXPECT_EQ(progress, (std::vector<float>{0.0f, 0.0f, 1.0f}));

    CFile a, b;
    ASSERT_TRUE(a.Open("big.bin", FILE_READ));
    ASSERT_TRUE(b.Open("copy.bin", FILE_READ));
    EXPECT_TRUE(a.IsSameContent(b));
    expected[150000] ^= 1;
    WriteBytes(PathOf("copy.bin"), expected);
    ASSERT_TRUE(b.Open("copy.bin", FILE_READ));
    EXPECT_FALSE(a.IsSameContent(b));

    // An empty copy reports its start and end.
    WriteBytes(PathOf("empty.bin"), "");
    progress.clear();
    ASSERT_TRUE(source.Open("empty.bin", FILE_READ));
    ASSERT_TRUE(copy.Open("copy.bin", FILE_WRITE | FILE_CREATE));
    ASSERT_TRUE(source.CopyTo(copy, [](float p) { sink->push_back(p); }));
    EXPECT_EQ(progress, (std::vector<float>{0.0f, 1.0f}));
}

// A fake archive layer that records what it was asked.
class CFakeArchives : public CArchiveLayer {
public:
    bool IsMounted() const override { return true; }
    CFileBuf* OpenMember(const char* name, uint32_t flags) override
    {
        calls.push_back(std::string(name) + ((flags & FILE_PREENUMERATED) ? " listed" : " tree"));
        const bool listedHit = (flags & FILE_PREENUMERATED) && listed == name;
        const bool treeHit = !(flags & FILE_PREENUMERATED) && tree == name;
        if (!listedHit && !treeHit)
            return nullptr;
        auto* buffer = new CMemFileBuf;
        buffer->Write(listedHit ? "listed" : "tree", listedHit ? 6 : 4);
        buffer->Seek(0);
        return buffer;
    }
    CFileBuf* OpenAppendedMember(const char* archivePath, const char* memberName) override
    {
        calls.push_back(std::string("append ") + archivePath + " " + memberName);
        return new CMemFileBuf;
    }
    std::string listed;
    std::string tree;
    std::vector<std::string> calls;
};

class FileArchiveTest : public CFileFolderTest {
protected:
    std::string FirstLine(const char* name, uint32_t flags)
    {
        CFile file;
        return file.Open(name, flags) ? NextLine(file) : "<none>";
    }
    CFakeArchives m_Archives;
    CScopedArchiveLayer m_Layer{&m_Archives};
};

TEST_F(FileArchiveTest, ListedMembersThenDiskThenArchiveTree)
{
    WriteBytes(PathOf("a.txt"), "disk");
    m_Archives.listed = "a.txt";
    m_Archives.tree = "a.txt";
    EXPECT_EQ(FirstLine("a.txt", FILE_READ), "listed");
    m_Archives.listed.clear();
    EXPECT_EQ(FirstLine("a.txt", FILE_READ), "disk");
    m_Archives.tree = "b.txt";
    EXPECT_EQ(FirstLine("b.txt", FILE_READ), "tree");
    EXPECT_EQ(FirstLine("b.txt", FILE_READ | FILE_ARCHIVES_ONLY), "tree");
    EXPECT_EQ(FirstLine("a.txt", FILE_READ | FILE_ARCHIVES_ONLY), "<none>");
    EXPECT_EQ(m_Archives.calls,
              (std::vector<std::string>{"a.txt listed", "a.txt listed", "b.txt listed", "b.txt tree", "b.txt listed",
                                        "b.txt tree", "a.txt listed", "a.txt tree"}));
}

TEST_F(FileArchiveTest, BaseFoldersAndAbsoluteNamesNeverReachTheArchives)
{
    m_Archives.tree = "b.txt";
    EXPECT_EQ(FirstLine("b.txt", FILE_READ | FILE_USER_FOLDER), "<none>");
    EXPECT_EQ(FirstLine("b.txt", FILE_READ | FILE_FOLDER_C), "<none>");
    EXPECT_EQ(FirstLine("./b.txt", FILE_READ), "<none>");
    EXPECT_TRUE(m_Archives.calls.empty());
}

TEST_F(FileArchiveTest, ArchivePathWithMemberAddsAMember)
{
    CFile file;
    ASSERT_TRUE(file.Open("Data/Sounds.zip;a.wav", FILE_WRITE | FILE_CREATE));
    EXPECT_EQ(m_Archives.calls, (std::vector<std::string>{"append Data/Sounds.zip a.wav"}));
    EXPECT_FALSE(file.Open("Data/Sounds.zip;a.wav", FILE_WRITE)); // no create: a disk name
}

std::vector<std::string> g_Notified;

TEST_F(FileTest, OpenNotificationsAreSuspendableAndSkipMusic)
{
    WriteBytes(PathOf("a.txt"), "x");
    WriteBytes(PathOf("Music/b.ogg"), "x");
    g_Notified.clear();
    const CScopedFileOpenHook hook([](const char* name) { g_Notified.emplace_back(name); });
    CFile file;
    EXPECT_TRUE(file.Open("a.txt", FILE_READ));
    EXPECT_TRUE(g_Notified.empty()); // not switched on
    const CScopedOpenNotifications enabled(true);
    EXPECT_TRUE(file.Open("a.txt", FILE_READ));
    EXPECT_TRUE(file.Open("Music/b.ogg", FILE_READ));
    EXPECT_TRUE(file.Open("a.txt", FILE_READ | FILE_NO_NOTIFY));
    EXPECT_TRUE(FileExists("a.txt", 0));
    SuspendFileOpenNotifications("Game Startup");
    EXPECT_TRUE(file.Open("a.txt", FILE_READ));
    ResumeFileOpenNotifications();
    EXPECT_TRUE(file.Open("a.txt", FILE_READ));
    EXPECT_EQ(g_Notified, (std::vector<std::string>{"a.txt", "a.txt"}));
}

} // namespace
