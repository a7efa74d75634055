#include "FileTestSupport.h"

#include "foundation/CFile.h"
#include "foundation/CMountedArchiveTable.h"
#include "foundation/FatalError.h"

#include <zlib.h>

void CFileFolderTest::SetUp()
{
    CTempFolderTest::SetUp();
    SetDataFolder(Folder().c_str());
}

void CFileFolderTest::TearDown()
{
    SetDataFolder(".");
    CTempFolderTest::TearDown();
}

void ArchiveFixture::SetUp()
{
    CTempFolderTest::SetUp();
    m_Root = Folder();
    std::filesystem::create_directories(m_Root / "Data");
    SetUserFolder("");
    SetDataFolder("Data");
    SetFatalTerminator(ThrowingFatalTerminator);
}

void ArchiveFixture::TearDown()
{
    CMountedArchiveTable::Get().UnmountAll();
    SetDataFolder(".");
    SetFatalTerminator(nullptr);
    CTempFolderTest::TearDown();
}

std::filesystem::path ArchiveFixture::Put(const std::string& relative, const std::string& bytes)
{
    const std::filesystem::path path = m_Root / relative;
    WriteBytes(path, bytes);
    return path;
}

namespace {

void Add16(std::string& out, uint32_t v)
{
    out.push_back(char(v & 0xFF));
    out.push_back(char((v >> 8) & 0xFF));
}

void Add32(std::string& out, uint32_t v)
{
    Add16(out, v & 0xFFFF);
    Add16(out, v >> 16);
}


// The fields a local header and its directory record share, from the flags
// word to the name length.
void AddSharedFields(std::string& out, const Member& m)
{
    const uint32_t crc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(m.data.data()), uInt(m.data.size())));
    const uint32_t size = m.sizeOverride ? m.sizeOverride : uint32_t(m.data.size());
    Add16(out, 0);
    Add16(out, m.method);
    Add16(out, 0x6000);
    Add16(out, 0x5A21);
    Add32(out, crc);
    Add32(out, size);
    Add32(out, size);
    Add16(out, uint32_t(m.name.size()));
}

} // namespace

std::string BuildZip(const std::vector<Member>& members, const ZipOptions& options)
{
    std::string out = options.leading;
    std::vector<uint32_t> offsets;
    for (const Member& m : members) {
        offsets.push_back(uint32_t(out.size()));
        Add32(out, 0x04034B50);
        Add16(out, 10);
        AddSharedFields(out, m);
        Add16(out, uint32_t(m.localExtra.size()));
        out += m.name + m.localExtra + m.data;
    }
    const uint32_t directory = uint32_t(out.size());
    for (size_t i = 0; i < members.size(); ++i) {
        const Member& m = members[i];
        Add32(out, 0x02014B50);
        Add16(out, 20);
        Add16(out, 10);
        AddSharedFields(out, m);
        Add16(out, uint32_t(m.centralExtra.size()));
        Add16(out, uint32_t(m.comment.size()));
        Add16(out, 0);
        Add16(out, 0);
        Add32(out, 0);
        Add32(out, offsets[i]);
        out += m.name + m.centralExtra + m.comment;
    }
    const uint32_t directorySize = uint32_t(out.size()) - directory;
    Add32(out, options.endSignature);
    Add16(out, 0);
    Add16(out, 0);
    Add16(out, uint32_t(members.size()));
    Add16(out, uint32_t(members.size()));
    Add32(out, directorySize);
    Add32(out, uint32_t(int64_t(directory) + options.directoryOffsetShift));
    Add16(out, uint32_t(options.archiveComment.size()));
    out += options.archiveComment;
    return out;
}

uint16_t Le16(const std::string& bytes, size_t at)
{
    return uint16_t(uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8);
}

uint32_t Le32(const std::string& bytes, size_t at)
{
    return uint32_t(Le16(bytes, at)) | uint32_t(Le16(bytes, at + 2)) << 16;
}

std::string NextLine(CFile& file)
{
    CJString line;
    if (!file.ReadLine(line))
        return "<end>";
    line.ToNarrow();
    return line.GetString();
}

std::string ReadThroughFile(const char* name, uint32_t flags)
{
    CFile file;
    if (!file.Open(name, flags))
        return "<missing>";
    std::string bytes(size_t(file.GetSize()), '\0');
    EXPECT_EQ(file.Read(bytes.data(), uint32_t(bytes.size())), bytes.size());
    return bytes;
}

bool WriteThroughFile(const char* name, const std::string& bytes)
{
    CFile file;
    if (!file.Open(name, FILE_WRITE | FILE_CREATE))
        return false;
    EXPECT_EQ(file.Write(bytes.data(), uint32_t(bytes.size())), bytes.size());
    return file.Close();
}

CFatalErrorException FatalReportOf(const std::function<void()>& action)
{
    const FatalTerminator previous = SetFatalTerminator(ThrowingFatalTerminator);
    CFatalErrorException report;
    bool reported = false;
    try {
        action();
    } catch (const CFatalErrorException& fatal) {
        report = fatal;
        reported = true;
    }
    SetFatalTerminator(previous);
    EXPECT_TRUE(reported) << "no fatal report";
    return report;
}
