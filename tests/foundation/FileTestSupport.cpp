#include "FileTestSupport.h"

#include "foundation/CFile.h"
#include "foundation/CMountedArchiveTable.h"
#include "foundation/FatalError.h"

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
}

void ArchiveFixture::TearDown()
{
    CMountedArchiveTable::Get().UnmountAll();
    SetDataFolder(".");
    CTempFolderTest::TearDown();
}

std::filesystem::path ArchiveFixture::Put(const std::string& relative, const std::string& bytes)
{
    const std::filesystem::path path = m_Root / relative;
    WriteBytes(path, bytes);
    return path;
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
    const CScopedThrowingFatal throwing;
    CFatalErrorException report;
    bool reported = false;
    try {
        action();
    } catch (const CFatalErrorException& fatal) {
        report = fatal;
        reported = true;
    }
    EXPECT_TRUE(reported) << "no fatal report";
    return report;
}
