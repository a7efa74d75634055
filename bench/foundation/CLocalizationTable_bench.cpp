#include "foundation/CFile.h"
#include "foundation/CLocalizationTable.h"

#include "bench/BenchSupport.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// One entry whose English and translation run over lines of a few
// characters each, the shape that once cost time in the square of its lines.
std::string OneLongEntry(size_t bytes)
{
    std::string text = "ENGLISH: first";
    while (text.size() < bytes / 2)
        text += "\r\nab cd";
    text += "[END]\r\nLOCALIZED: first";
    while (text.size() < bytes)
        text += "\r\nef gh";
    text += "[END]\r\n";
    return text;
}

double SecondsToRead(const fs::path& path)
{
    const auto start = std::chrono::steady_clock::now();
    CFile file;
    if (!file.Open(path.c_str(), FILE_READ | FILE_IN_MEMORY))
        return -1.0;
    CLocalizationTable table;
    table.ReadEntries(file);
    benchmark::DoNotOptimize(table.GetCount());
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Milliseconds per megabyte at 1 MB and at 4 MB; "ratio" is the large over
// the small (about 1 when the cost is linear).
void BM_LocalTextOneEntryOverManyLines(benchmark::State& state)
{
    const fs::path folder = bench::MakeFolder("local_text");
    const fs::path small = folder / "Small.txt";
    const fs::path large = folder / "Large.txt";
    std::ofstream(small, std::ios::binary) << OneLongEntry(1 << 20);
    std::ofstream(large, std::ios::binary) << OneLongEntry(4 << 20);
    double smallSeconds = 0.0;
    double largeSeconds = 0.0;
    for (auto _ : state) {
        smallSeconds += SecondsToRead(small);
        largeSeconds += SecondsToRead(large);
    }
    const double runs = double(state.iterations());
    state.counters["ms_per_MB_at_1MB"] = 1000.0 * smallSeconds / runs;
    state.counters["ms_per_MB_at_4MB"] = 1000.0 * largeSeconds / runs / 4.0;
    state.counters["ratio"] = smallSeconds > 0 ? largeSeconds / 4.0 / smallSeconds : 0.0;
    fs::remove_all(folder);
}
BENCHMARK(BM_LocalTextOneEntryOverManyLines)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
