#include "platform/FileSystem.h"
#include "platform/Profile.h"

#include "bench/BenchSupport.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr int kKeysPerSection = 50;

std::string KeyName(int i)
{
    return "Key" + std::to_string(i);
}

std::string SectionName(int i)
{
    return "Section" + std::to_string(i / kKeysPerSection);
}

// A settings file of about the given size: sections of short keys.
int WriteSettings(const fs::path& path, size_t bytes)
{
    std::string text;
    int keys = 0;
    while (text.size() < bytes) {
        if (keys % kKeysPerSection == 0)
            text += "[" + SectionName(keys) + "]\r\n";
        text += KeyName(keys) + "=" + std::to_string(keys * 7) + "\r\n";
        ++keys;
    }
    if (!plat::ReplaceFileContents(path.string(), text.data(), text.size()))
        return 0;
    return keys;
}

// Reads every key of a freshly written file once.
double SecondsToReadEveryKey(const fs::path& path, size_t bytes)
{
    const int keys = WriteSettings(path, bytes);
    const std::string name = path.string();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < keys; ++i)
        benchmark::DoNotOptimize(plat::ReadProfileString(name, SectionName(i), KeyName(i), ""));
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Milliseconds per megabyte of settings file when every key is read once,
// at 1 MB and at 4 MB; "ratio" is the large over the small (about 1 when
// the cost is linear).
void BM_SettingsReadEveryKey(benchmark::State& state)
{
    const fs::path folder = bench::MakeFolder("settings");
    double smallSeconds = 0.0;
    double largeSeconds = 0.0;
    for (auto _ : state) {
        smallSeconds += SecondsToReadEveryKey(folder / "Small.ini", 1 << 20);
        largeSeconds += SecondsToReadEveryKey(folder / "Large.ini", 4 << 20);
    }
    const double runs = double(state.iterations());
    state.counters["ms_per_MB_at_1MB"] = 1000.0 * smallSeconds / runs;
    state.counters["ms_per_MB_at_4MB"] = 1000.0 * largeSeconds / runs / 4.0;
    state.counters["ratio"] = smallSeconds > 0 ? largeSeconds / 4.0 / smallSeconds : 0.0;
    fs::remove_all(folder);
}
BENCHMARK(BM_SettingsReadEveryKey)->Unit(benchmark::kMillisecond)->Iterations(3);

// One key set in a file of the size: the whole file is read, changed and
// replaced, so this is time per megabyte of file per write.
double SecondsToSetOneKey(const fs::path& path, size_t bytes, int writes)
{
    WriteSettings(path, bytes);
    const std::string name = path.string();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < writes; ++i)
        benchmark::DoNotOptimize(plat::WriteProfileString(name, "Section0", "Extra" + std::to_string(i), "1"));
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / writes;
}

void BM_SettingsSetOneKey(benchmark::State& state)
{
    const fs::path folder = bench::MakeFolder("settings_set");
    double smallSeconds = 0.0;
    double largeSeconds = 0.0;
    for (auto _ : state) {
        smallSeconds += SecondsToSetOneKey(folder / "Small.ini", 1 << 20, 8);
        largeSeconds += SecondsToSetOneKey(folder / "Large.ini", 4 << 20, 8);
    }
    const double runs = double(state.iterations());
    state.counters["ms_per_MB_at_1MB"] = 1000.0 * smallSeconds / runs;
    state.counters["ms_per_MB_at_4MB"] = 1000.0 * largeSeconds / runs / 4.0;
    state.counters["ratio"] = smallSeconds > 0 ? largeSeconds / 4.0 / smallSeconds : 0.0;
    fs::remove_all(folder);
}
BENCHMARK(BM_SettingsSetOneKey)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
