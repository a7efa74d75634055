#pragma once
// Equipment shared by the benchmarks: a fresh temporary folder and a stored
// zip writer, so no benchmark depends on external tools.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace bench {

// An empty folder of that name below the system's temporary folder.
inline std::filesystem::path MakeFolder(const std::string& name)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("ombrisalt_bench_" + name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

inline void Add16(std::string& out, uint32_t v)
{
    out.push_back(char(v & 0xFF));
    out.push_back(char((v >> 8) & 0xFF));
}

inline void Add32(std::string& out, uint32_t v)
{
    Add16(out, v & 0xFFFF);
    Add16(out, v >> 16);
}

// A stored archive of the named members (name, data), written straight to
// disk; the checksums are left zero, which the reader does not check.
inline void WriteZip(const std::filesystem::path& path,
                     const std::vector<std::pair<std::string, std::string>>& members)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    std::string directory;
    uint32_t offset = 0;
    for (const auto& [name, data] : members) {
        std::string header;
        Add32(header, 0x04034B50);
        Add16(header, 10);
        Add16(header, 0);
        Add16(header, 0);
        Add32(header, 0);
        Add32(header, 0);
        Add32(header, uint32_t(data.size()));
        Add32(header, uint32_t(data.size()));
        Add16(header, uint32_t(name.size()));
        Add16(header, 0);
        header += name;
        out.write(header.data(), std::streamsize(header.size()));
        out.write(data.data(), std::streamsize(data.size()));
        Add32(directory, 0x02014B50);
        Add16(directory, 20);
        Add16(directory, 10);
        for (int i = 0; i < 3; ++i)
            Add16(directory, 0);
        Add16(directory, 0);
        Add32(directory, 0);
        Add32(directory, uint32_t(data.size()));
        Add32(directory, uint32_t(data.size()));
        Add16(directory, uint32_t(name.size()));
        for (int i = 0; i < 4; ++i)
            Add16(directory, 0);
        Add32(directory, 0);
        Add32(directory, offset);
        directory += name;
        offset += uint32_t(header.size() + data.size());
    }
    std::string end;
    Add32(end, 0x06054B50);
    Add32(end, 0);
    Add16(end, uint32_t(members.size()));
    Add16(end, uint32_t(members.size()));
    Add32(end, uint32_t(directory.size()));
    Add32(end, offset);
    Add16(end, 0);
    out.write(directory.data(), std::streamsize(directory.size()));
    out.write(end.data(), std::streamsize(end.size()));
}

} // namespace bench
