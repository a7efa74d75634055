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
// Both sizes under the reader's bound, with room for the keys a run adds:
// past it the read and write time only the refusal.
constexpr size_t kSmallBytes = plat::kMaxProfileBytes / 4;
constexpr size_t kLargeBytes = plat::kMaxProfileBytes - 4096;
constexpr double kSizeRatio = double(kLargeBytes) / double(kSmallBytes);
constexpr double kSmallMB = double(kSmallBytes) / double(1 << 20);

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
// at a quarter of the largest settings file and near the largest; "ratio" is
// the large over the small per megabyte (about 1 when the cost is linear).
void BM_SettingsReadEveryKey(benchmark::State& state)
{
    const fs::path folder = bench::MakeFolder("settings");
    double smallSeconds = 0.0;
    double largeSeconds = 0.0;
    for (auto _ : state) {
        smallSeconds += SecondsToReadEveryKey(folder / "Small.ini", kSmallBytes);
        largeSeconds += SecondsToReadEveryKey(folder / "Large.ini", kLargeBytes);
    }
    const double runs = double(state.iterations());
    state.counters["ms_per_MB_small"] = 1000.0 * smallSeconds / runs / kSmallMB;
    state.counters["ms_per_MB_large"] = 1000.0 * largeSeconds / runs / (kSmallMB * kSizeRatio);
    state.counters["ratio"] = smallSeconds > 0 ? largeSeconds / kSizeRatio / smallSeconds : 0.0;
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
        smallSeconds += SecondsToSetOneKey(folder / "Small.ini", kSmallBytes, 8);
        largeSeconds += SecondsToSetOneKey(folder / "Large.ini", kLargeBytes, 8);
    }
    const double runs = double(state.iterations());
    state.counters["ms_per_MB_small"] = 1000.0 * smallSeconds / runs / kSmallMB;
    state.counters["ms_per_MB_large"] = 1000.0 * largeSeconds / runs / (kSmallMB * kSizeRatio);
    state.counters["ratio"] = smallSeconds > 0 ? largeSeconds / kSizeRatio / smallSeconds : 0.0;
    fs::remove_all(folder);
}
BENCHMARK(BM_SettingsSetOneKey)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
