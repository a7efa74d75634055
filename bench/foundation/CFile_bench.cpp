#include "bench/BenchSupport.h"
#include "foundation/CFile.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// A 10 MB CRLF text file of lines from 10 to 120 characters, made once.
const std::string& TextFile()
{
    static const std::string path = [] {
        const std::string name = (std::filesystem::temp_directory_path() / "ombrisalt_cfile_bench.txt").string();
        std::ofstream out(name, std::ios::binary | std::ios::trunc);
        uint32_t seed = 12345;
        size_t written = 0;
        while (written < 10u * 1024 * 1024) {
            seed = seed * 1103515245u + 12345u;
            const size_t length = 10 + (seed >> 16) % 111;
            std::string line(length, 'a' + char(written % 26));
            line.push_back('\r');
            line.push_back('\n');
            out << line;
            written += line.size();
        }
        return name;
    }();
    return path;
}

size_t ReadAllReadLine8()
{
    CFile file;
    if (!file.Open(TextFile().c_str(), FILE_READ | FILE_USER_FOLDER))
        return 0;
    CJString line;
    size_t count = 0;
    while (file.ReadLine(line))
        count += size_t(line.GetLength()) + 1;
    return count;
}

size_t ReadAllGetline()
{
    std::ifstream in(TextFile(), std::ios::binary);
    std::string line;
    size_t count = 0;
    while (std::getline(in, line))
        count += line.size(); // keeps the CR
    return count;
}

void BM_ReadLine8(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadAllReadLine8());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(std::filesystem::file_size(TextFile())));
}
BENCHMARK(BM_ReadLine8)->Unit(benchmark::kMillisecond);

void BM_IfstreamGetline(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadAllGetline());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(std::filesystem::file_size(TextFile())));
}
BENCHMARK(BM_IfstreamGetline)->Unit(benchmark::kMillisecond);
OMBRISALT_BENCH_PEER(BM_ReadLine8, BM_IfstreamGetline);

// Both readers in each iteration; the counter is ReadLine8 time over
// getline time (below 1 means ReadLine8 is faster).
void BM_ReadLine8OverGetlineRatio(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    double ours = 0;
    double theirs = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        benchmark::DoNotOptimize(ReadAllReadLine8());
        const auto middle = Clock::now();
        benchmark::DoNotOptimize(ReadAllGetline());
        const auto end = Clock::now();
        ours += std::chrono::duration<double>(middle - start).count();
        theirs += std::chrono::duration<double>(end - middle).count();
    }
    state.counters["ratio"] = theirs > 0 ? ours / theirs : 0;
}
BENCHMARK(BM_ReadLine8OverGetlineRatio)->Unit(benchmark::kMillisecond);

} // namespace
