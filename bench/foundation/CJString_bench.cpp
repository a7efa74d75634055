// CJString against std::string for the operations the object files lean on:
// copying, appending, comparing and formatting. Each pair runs the same work,
// so the ratio of their times is the cost of the engine string.
#include "bench/BenchSupport.h"
#include "foundation/CJString.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

const char kName[] = "Buildings/Shop/Upgrades/Faster Cash Register";

void CopyJString(benchmark::State& state)
{
    CJString source(kName);
    for (auto _ : state) {
        CJString copy(source);
        benchmark::DoNotOptimize(copy);
    }
}
BENCHMARK(CopyJString);

void CopyStdString(benchmark::State& state)
{
    std::string source(kName);
    for (auto _ : state) {
        std::string copy(source);
        benchmark::DoNotOptimize(copy);
    }
}
BENCHMARK(CopyStdString);

// Growth is exact, so appending piece by piece reallocates every time.
void AppendJString(benchmark::State& state)
{
    for (auto _ : state) {
        CJString text;
        for (int i = 0; i < state.range(0); ++i)
            text.Append("word ");
        benchmark::DoNotOptimize(text);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(AppendJString)->Arg(8)->Arg(64);

void AppendStdString(benchmark::State& state)
{
    for (auto _ : state) {
        std::string text;
        for (int i = 0; i < state.range(0); ++i)
            text.append("word ");
        benchmark::DoNotOptimize(text);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(AppendStdString)->Arg(8)->Arg(64);

void CompareNoCaseJString(benchmark::State& state)
{
    CJString a(kName);
    CJString b("buildings/shop/upgrades/faster cash registry");
    for (auto _ : state)
        benchmark::DoNotOptimize(a.CompareNoCase(b));
}
BENCHMARK(CompareNoCaseJString);

void CompareJString(benchmark::State& state)
{
    CJString a(kName);
    CJString b("Buildings/Shop/Upgrades/Faster Cash Registry");
    for (auto _ : state)
        benchmark::DoNotOptimize(a.Compare(b));
}
BENCHMARK(CompareJString);

void CompareStdString(benchmark::State& state)
{
    std::string a(kName);
    std::string b("Buildings/Shop/Upgrades/Faster Cash Registry");
    for (auto _ : state)
        benchmark::DoNotOptimize(a.compare(b));
}
BENCHMARK(CompareStdString);

void CompareWideJString(benchmark::State& state)
{
    CJString a(kName);
    CJString b("Buildings/Shop/Upgrades/Faster Cash Registry");
    b.ToWide();
    for (auto _ : state)
        benchmark::DoNotOptimize(a.Compare(b));
}
BENCHMARK(CompareWideJString);

void FormatJString(benchmark::State& state)
{
    CJString text;
    for (auto _ : state) {
        text.Format("%s=%d,%d (%.12g)", "Position", 320, 240, 0.25);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(FormatJString);

void FormatStdString(benchmark::State& state)
{
    std::string text;
    for (auto _ : state) {
        int length = std::snprintf(nullptr, 0, "%s=%d,%d (%.12g)", "Position", 320, 240, 0.25);
        text.resize(size_t(length));
        std::snprintf(text.data(), size_t(length) + 1, "%s=%d,%d (%.12g)", "Position", 320, 240, 0.25);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(FormatStdString);
OMBRISALT_BENCH_PEER(CopyJString, CopyStdString);
OMBRISALT_BENCH_PEER(AppendJString, AppendStdString);
OMBRISALT_BENCH_PEER(CompareJString, CompareStdString);
OMBRISALT_BENCH_PEER(FormatJString, FormatStdString);

void FileFormRoundTrip(benchmark::State& state)
{
    CJString wide(u"\u4E2D\u6587 text with some length");
    for (auto _ : state) {
        CJString back = wide.ToFileForm();
        back.FromFileForm();
        benchmark::DoNotOptimize(back);
    }
}
BENCHMARK(FileFormRoundTrip);

} // namespace
