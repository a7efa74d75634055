#include "FileTestSupport.h"

#include "foundation/CFile.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;

void CFileFolderTest::SetUp()
{
    std::random_device random;
    const fs::path folder = fs::temp_directory_path() / ("ombrisalt_files_" + std::to_string(random()));
    fs::create_directories(folder);
    m_Folder = folder.string();
    SetDataFolder(m_Folder.c_str());
}

void CFileFolderTest::TearDown()
{
    SetDataFolder(".");
    std::error_code error;
    fs::permissions(m_Folder, fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(m_Folder, error);
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool DiskHas(const std::string& path)
{
    return fs::exists(path);
}
