#include "foundation/CObjectFileArray.h"

#include "foundation/CFile.h"
#include "foundation/CZipArchive.h"
#include "objects/CObject.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

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

// kItems item files in 50 folders below folder/Items.
void WriteItems(const fs::path& folder)
{
    for (int i = 0; i < kItems; ++i) {
        char relative[64];
        std::snprintf(relative, sizeof(relative), "Items/Group%02d/Item%04d.Upgrade.txt", i % 50, i);
        const fs::path path = folder / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << "CBenchItem\r\n{\r\n\tCost=" << i << "\r\n\tWeight=" << i % 7
                                              << "\r\n\tTitle=Item number " << i << "\r\n}\r\n";
    }
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
    const fs::path root = fs::temp_directory_path() / "ombrisalt_bench_objectlists";
    fs::remove_all(root);
    const bool archived = state.range(0) != 0;
    if (archived) {
        // A stored archive: Data/Packed.zip mounted as "Packed/".
        WriteItems(root / "staging");
        fs::create_directories(root / "Data");
        const std::string command = "cd '" + (root / "staging").string() + "' && zip -0 -q -r '"
                                    + (root / "Data/Packed.zip").string() + "' Items";
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("zip is not available");
            fs::remove_all(root);
            return;
        }
        SetDataFolder((root / "Data").c_str());
        CMountedArchiveTable::Get().Mount("Packed.zip", true, false, "Packed/", false, 0);
        LoadAll(state, "Packed/Items");
        CMountedArchiveTable::Get().UnmountAll();
    } else {
        WriteItems(root / "Data");
        SetDataFolder((root / "Data").c_str());
        LoadAll(state, "Items");
    }
    SetDataFolder(".");
    fs::remove_all(root);
}
// Goal: 5,000 objects in under 0.5 s (10,000 objects/s) from either source.
BENCHMARK(BM_ObjectFileListFirstUse)->ArgName("archive")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
