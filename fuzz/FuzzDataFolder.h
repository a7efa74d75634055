// A small data set written to a temporary folder for the game-data fuzz
// targets: files, object texts and a tiny image. Each target is one
// translation unit, so this lives in an anonymous namespace; include it from
// one .cpp only.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace {

namespace fs = std::filesystem;

void Write(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

std::string Object(const char* className, const std::string& lines = "")
{
    return std::string(className) + "\r\n{\r\n" + lines + "}\r\n";
}

// A 2 x 2 32-bit TGA, rows top to bottom.
std::string SmallTga()
{
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = 2;
    bytes[14] = 2;
    bytes[16] = 32;
    bytes[17] = 0x28;
    return bytes + std::string(16, '\x7F');
}

// Removes the data folder when the process ends.
struct CDataFolder {
    fs::path path;
    ~CDataFolder()
    {
        std::error_code error;
        fs::remove_all(path, error);
    }
};

} // namespace
