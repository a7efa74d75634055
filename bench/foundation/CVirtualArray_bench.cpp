#include "bench/BenchSupport.h"
#include "foundation/CVirtualArray.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kItems = 20000;

enum class FileNameIndex { Kept, None };

class CSortedNames : public CSimpleVirtualArray {
public:
    explicit CSortedNames(FileNameIndex index = FileNameIndex::Kept)
    {
        if (index == FileNameIndex::Kept)
            KeepFileNameIndex();
        for (int i = 0; i < kItems; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "Item_%05d_Data", i * 7919 % 100000);
            m_Names.emplace_back(name);
        }
        std::sort(m_Names.begin(), m_Names.end(), [](const std::string& a, const std::string& b) {
            return CompareNameNoCase(a.c_str(), b.c_str()) < 0;
        });
        SetSorted(true);
    }
    const char* GetItemName(int32_t i) override { return m_Names[size_t(i)].c_str(); }
    CJString GetItemNameString(int32_t i) override { return CJString(GetItemName(i)); }
    int32_t GetCount() override { return int32_t(m_Names.size()); }

    std::vector<std::string> m_Names;
};

CSortedNames& Names()
{
    static CSortedNames names;
    return names;
}

// Keys visited in a scattered order, so that hints do not help.
std::vector<std::string> Keys()
{
    std::vector<std::string> keys;
    const auto& names = Names().m_Names;
    for (size_t i = 0; i < names.size(); ++i)
        keys.push_back(names[i * 4099 % names.size()]);
    return keys;
}

void BM_SortedFindByName(benchmark::State& state)
{
    CSortedNames& names = Names();
    const std::vector<std::string> keys = Keys();
    size_t k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(names.Find(keys[k].c_str()));
        k = k + 1 == keys.size() ? 0 : k + 1;
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
}
BENCHMARK(BM_SortedFindByName);

void BM_SortedFindWithGoodHint(benchmark::State& state)
{
    CSortedNames& names = Names();
    int32_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(names.Find(names.m_Names[size_t(i)].c_str(), i));
        i = i + 1 == kItems ? 0 : i + 1;
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
}
BENCHMARK(BM_SortedFindWithGoodHint);

CSortedNames& NamesWithoutIndex()
{
    static CSortedNames names(FileNameIndex::None);
    return names;
}

// A miss falls back to the file-name search: from the index built once.
void BM_SortedFindMiss(benchmark::State& state)
{
    CSortedNames& names = Names();
    for (auto _ : state)
        benchmark::DoNotOptimize(names.Find("Folder/NoSuchItem"));
    state.SetItemsProcessed(int64_t(state.iterations()));
}
BENCHMARK(BM_SortedFindMiss);

// The same miss on a list without the index compares every item.
void BM_SortedFindMissScanningEveryItem(benchmark::State& state)
{
    CSortedNames& names = NamesWithoutIndex();
    for (auto _ : state)
        benchmark::DoNotOptimize(names.Find("Folder/NoSuchItem"));
    state.SetItemsProcessed(int64_t(state.iterations()));
}
BENCHMARK(BM_SortedFindMissScanningEveryItem);

// Both in each iteration; the counter is scan time over index time.
void BM_SortedFindMissScanOverIndexRatio(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    CSortedNames& indexed = Names();
    CSortedNames& scanned = NamesWithoutIndex();
    double index = 0;
    double scan = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        for (int i = 0; i < 100; ++i)
            benchmark::DoNotOptimize(indexed.Find("Folder/NoSuchItem"));
        const auto middle = Clock::now();
        benchmark::DoNotOptimize(scanned.Find("Folder/NoSuchItem"));
        const auto end = Clock::now();
        index += std::chrono::duration<double>(middle - start).count() / 100;
        scan += std::chrono::duration<double>(end - middle).count();
    }
    state.counters["ratio"] = index > 0 ? scan / index : 0;
}
BENCHMARK(BM_SortedFindMissScanOverIndexRatio);

struct LessNoCase {
    bool operator()(const std::string& a, const std::string& b) const
    {
        return CompareNameNoCase(a.c_str(), b.c_str()) < 0;
    }
};

void BM_StdMapFindByName(benchmark::State& state)
{
    std::map<std::string, int32_t, LessNoCase> map;
    const auto& names = Names().m_Names;
    for (size_t i = 0; i < names.size(); ++i)
        map.emplace(names[i], int32_t(i));
    const std::vector<std::string> keys = Keys();
    size_t k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(map.find(keys[k]));
        k = k + 1 == keys.size() ? 0 : k + 1;
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
}
BENCHMARK(BM_StdMapFindByName);
OMBRISALT_BENCH_PEER(BM_SortedFindByName, BM_StdMapFindByName);

} // namespace
