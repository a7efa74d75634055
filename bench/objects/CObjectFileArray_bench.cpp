#include "objects/CObjectFileArray.h"

#include "foundation/CFile.h"
#include "foundation/CMountedArchiveTable.h"
#include "objects/CObject.h"

#include "bench/BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

class CBenchItem : public CObject {
    OMBRISALT_REFLECTED(CBenchItem, CObject)
public:
    CBenchItem() { InitDeclaredProperties(); }
    ~CBenchItem() override { DestroyDeclaredProperties(); }
    int32_t m_Cost;
    int32_t m_Weight;
    CJString m_Title;
};

OMBRISALT_IMPLEMENT_CLASS(CBenchItem, 1)

void CBenchItem::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CBenchItem::m_Cost, "Cost", 0);
    d.Add(&CBenchItem::m_Weight, "Weight", 0);
    d.Add(&CBenchItem::m_Title, "Title", "");
}

constexpr int kItems = 5000;

// kItems item files in 50 folders below Items/, as (name, text) pairs.
std::vector<std::pair<std::string, std::string>> MakeItems()
{
    std::vector<std::pair<std::string, std::string>> items;
    for (int i = 0; i < kItems; ++i) {
        char name[64];
        std::snprintf(name, sizeof(name), "Items/Group%02d/Item%04d.Upgrade.txt", i % 50, i);
        items.emplace_back(name,
                           "CBenchItem\r\n{\r\n\tCost=" + std::to_string(i) + "\r\n\tWeight=" + std::to_string(i % 7)
                               + "\r\n\tTitle=Item number " + std::to_string(i) + "\r\n}\r\n");
    }
    return items;
}

// Enumerates the list's folder and loads every item, as the first use after
// start does; objects per second.
void LoadAll(benchmark::State& state, const char* folder)
{
    CBenchItem::SGetClassInfo();
    for (auto _ : state) {
        auto list = std::make_unique<CObjectArrayBaseTemplate<CBenchItem>>("Upgrade.txt");
        list->SetSource(nullptr, folder, 0);
        int32_t loaded = 0;
        for (int32_t i = 0; i < list->GetCount(); ++i)
            loaded += list->GetObject(i) != nullptr;
        if (loaded != kItems) {
            state.SkipWithError("not every item loaded");
            break;
        }
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kItems);
}

void BM_ObjectFileListFirstUse(benchmark::State& state)
{
    const fs::path root = bench::MakeFolder("objectlists");
    SetDataFolder((root / "Data").c_str());
    if (state.range(0) != 0) {
        // A stored archive: Data/Packed.zip mounted as "Packed/".
        bench::WriteZip(root / "Data/Packed.zip", MakeItems());
        CMountedArchiveTable::Get().Mount("Packed.zip", MountRoot::New, ArchiveAccess::ReadOnly, "Packed/",
                                          MountLoading::Now, 0);
        LoadAll(state, "Packed/Items");
        CMountedArchiveTable::Get().UnmountAll();
    } else {
        for (const auto& [name, text] : MakeItems()) {
            fs::create_directories((root / "Data" / name).parent_path());
            std::ofstream(root / "Data" / name, std::ios::binary) << text;
        }
        LoadAll(state, "Items");
    }
    SetDataFolder(".");
    fs::remove_all(root);
}
// Goal: 5,000 objects in under 0.5 s (10,000 objects/s) from either source.
BENCHMARK(BM_ObjectFileListFirstUse)->ArgName("archive")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
