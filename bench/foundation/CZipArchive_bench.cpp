#include "foundation/CFile.h"
#include "foundation/CMountedArchiveTable.h"
#include "foundation/EnumerateFiles.h"

#include "bench/BenchSupport.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

void BM_ZipFindAmong20000(benchmark::State& state)
{
    const fs::path folder = bench::MakeFolder("find");
    std::vector<std::pair<std::string, std::string>> members;
    for (int i = 0; i < 20000; ++i) {
        char name[64];
        std::snprintf(name, sizeof(name), "Folder%03d/Item_%05d.txt", i % 200, i);
        members.emplace_back(name, "x");
    }
    bench::WriteZip(folder / "Many.zip", members);
    CZipArchive archive((folder / "Many.zip").c_str(), "Many/", FILE_USER_FOLDER, ArchiveAccess::ReadOnly);
    if (!archive.Load()) {
        state.SkipWithError("load failed");
        return;
    }
    std::vector<std::string> keys;
    std::mt19937 random(7);
    for (int i = 0; i < 1024; ++i) {
        std::string key = "MANY/" + members[random() % members.size()].first;
        for (char& c : key)
            if (random() % 2)
                c = char(std::tolower(uint8_t(c)));
        keys.push_back(key);
    }
    size_t k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(archive.Find(keys[k++ & 1023].c_str()));
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
    fs::remove_all(folder);
}
BENCHMARK(BM_ZipFindAmong20000);

double ReadAll(const std::vector<std::string>& names, uint32_t flags, std::vector<char>& buffer)
{
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& name : names) {
        CFile file;
        if (!file.Open(name.c_str(), flags | FILE_READ))
            return -1.0;
        while (file.Read(buffer.data(), uint32_t(buffer.size())) > 0) {}
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Reads 100 MB as 400 members of one stored archive and as 400 loose files;
// the ratio counter is archive time over loose time (goal: at most 1.2).
// Unlisted members are looked for on the disk first, as a game that never
// enumerated them does.
void ReadAllAgainstLoose(benchmark::State& state, bool listFirst)
{
    const fs::path folder = bench::MakeFolder("read");
    constexpr int kFiles = 400;
    constexpr size_t kSize = 256 * 1024;
    std::vector<std::pair<std::string, std::string>> members;
    std::string data(kSize, '\0');
    for (size_t i = 0; i < kSize; ++i)
        data[i] = char(i * 2654435761u >> 24);
    fs::create_directories(folder / "Data/Loose");
    std::vector<std::string> zipNames;
    std::vector<std::string> looseNames;
    for (int i = 0; i < kFiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof(name), "file%03d.bin", i);
        members.emplace_back(name, data);
        std::ofstream((folder / "Data/Loose" / name), std::ios::binary).write(data.data(), std::streamsize(kSize));
        zipNames.push_back(std::string("Big/") + name);
        looseNames.push_back(std::string("Loose/") + name);
    }
    bench::WriteZip(folder / "Data/Big.zip", members);
    members.clear();
    // The steady state of a game run from its own folder on old data:
    // folders changed within the last seconds, as the temporary folder
    // above ours always is, are listed again at every lookup.
    const auto past = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const fs::path& written : {folder / "Data/Loose", folder / "Data", folder})
        fs::last_write_time(written, past);
    const fs::path previousFolder = fs::current_path();
    fs::current_path(folder);
    SetDataFolder("Data");
    CMountedArchiveTable::Get().Mount("Big.zip", MountRoot::New, ArchiveAccess::ReadOnly, "Big/", MountLoading::Now, 0);
    // Listed members are found before the disk is asked, as object lists find theirs.
    CFileNameArray listed;
    if (listFirst) {
        CEnumerateFilesOptions options;
        options.SetFilesWithExtension("Big/", "bin");
        listed.Enumerate(options, 0);
    }
    std::vector<char> buffer(64 * 1024);
    double zipTime = 0.0;
    double looseTime = 0.0;
    for (auto _ : state) {
        zipTime += ReadAll(zipNames, 0, buffer);
        looseTime += ReadAll(looseNames, FILE_ARCHIVE_HOST, buffer);
    }
    state.counters["ratio"] = looseTime > 0 ? zipTime / looseTime : 0.0;
    state.SetBytesProcessed(int64_t(state.iterations()) * 2 * kFiles * int64_t(kSize));
    CMountedArchiveTable::Get().UnmountAll();
    SetDataFolder(".");
    fs::current_path(previousFolder);
    fs::remove_all(folder);
}

void BM_ZipReadAllAgainstLoose(benchmark::State& state)
{
    ReadAllAgainstLoose(state, true);
}
BENCHMARK(BM_ZipReadAllAgainstLoose)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ZipReadAllUnlistedAgainstLoose(benchmark::State& state)
{
    ReadAllAgainstLoose(state, false);
}
BENCHMARK(BM_ZipReadAllUnlistedAgainstLoose)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
