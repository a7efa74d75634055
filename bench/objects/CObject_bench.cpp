#include "foundation/CMemFileBuf.h"
#include "objects/CObject.h"
#include "objects/CObjectStream.h"
#include "tests/support/objects/ObjectRoundTrip.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

class CBenchItem : public CObject {
    OMBRISALT_REFLECTED(CBenchItem, CObject)
public:
    CBenchItem() { InitDeclaredProperties(); }
    ~CBenchItem() override { DestroyDeclaredProperties(); }
    int32_t m_Cost;
    int32_t m_Level;
    bool m_Unlocked;
    CJString m_Title;
    CJString m_Icon;
};

OMBRISALT_IMPLEMENT_CLASS(CBenchItem, 1)

void CBenchItem::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CBenchItem::m_Cost, "Cost", 0);
    d.Add(&CBenchItem::m_Level, "Shop/Level", 1);
    d.Add(&CBenchItem::m_Unlocked, "Unlocked", false);
    d.Add(&CBenchItem::m_Title, "Title", "");
    d.Add(&CBenchItem::m_Icon, "Icon", "");
}

constexpr int kObjects = 10000;

std::string MakeText()
{
    RegisterObjectClasses();
    CBenchItem::SGetClassInfo();
    auto* buffer = new CMemFileBuf();
    CObjectStream stream;
    stream.Attach(buffer, FILE_CREATE | FILE_WRITE, IdMode::WithoutIds);
    CBenchItem item;
    for (int i = 0; i < kObjects; ++i) {
        item.m_Cost = i * 3;
        item.m_Unlocked = i & 1;
        item.m_Title.Format("Item number %d", i);
        item.m_Icon.Format("Icons/Item%d.tga", i % 50);
        WriteObjectText(&item, stream, WriteHeader::With);
    }
    stream.Finish();
    return std::string(reinterpret_cast<const char*>(buffer->GetData()), size_t(buffer->GetSize()));
}

void BM_ReadObjectsFromText(benchmark::State& state)
{
    const std::string text = MakeText();
    for (auto _ : state) {
        CObjectStream stream;
        stream.Attach(CopyOfBytes(text), FILE_READ, IdMode::WithoutIds);
        int read = 0;
        while (CObject* object = ReadObjectFromStream(stream)) {
            ++read;
            delete object;
        }
        if (read != kObjects)
            state.SkipWithError("short read");
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kObjects);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_ReadObjectsFromText)->Unit(benchmark::kMillisecond);

void BM_WriteObjectsToText(benchmark::State& state)
{
    const std::string text = MakeText();
    CBenchItem item;
    item.m_Title = "Item number 1234";
    item.m_Icon = "Icons/Item12.tga";
    for (auto _ : state) {
        auto* buffer = new CMemFileBuf();
        CObjectStream stream;
        stream.Attach(buffer, FILE_CREATE | FILE_WRITE, IdMode::WithoutIds);
        for (int i = 0; i < kObjects; ++i)
            WriteObjectText(&item, stream, WriteHeader::With);
        stream.Finish();
        benchmark::DoNotOptimize(buffer->GetData());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kObjects);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_WriteObjectsToText)->Unit(benchmark::kMillisecond);

// One item's binary record into an object and back.
void BM_BinaryRoundTrip(benchmark::State& state)
{
    MakeText();
    CBenchItem item;
    item.m_Title = "Item number 1234";
    item.m_Icon = "Icons/Item12.tga";
    const std::string bytes = ObjectToBinary(&item, IdMode::WithoutIds);
    for (auto _ : state) {
        CBenchItem read;
        if (!ObjectFromBinary(read, bytes, IdMode::WithoutIds, StreamReports::Fatal))
            state.SkipWithError("refused");
        benchmark::DoNotOptimize(ObjectToBinary(&read, IdMode::WithoutIds));
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(BM_BinaryRoundTrip);

void BM_CreateByName(benchmark::State& state)
{
    MakeText();
    CClassInfoList& registry = CClassInfoList::SGetInstance();
    for (auto _ : state) {
        CObject* object = registry.CreateObjectByName("BenchItem", 0, -1, ReportUnknownClass::Quiet);
        benchmark::DoNotOptimize(object);
        delete object;
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
}
BENCHMARK(BM_CreateByName);

} // namespace
