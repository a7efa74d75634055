// link: ombrisalt_objects ombrisalt_foundation
// Reads a binary object record from memory, with identities (reference list
// word and table) and without. Fatal reports end the input. A record that
// reads must write bytes that read back and write the same bytes again.
//
// OMBRISALT_FUZZ_WRITE_SEEDS=<folder> writes the seed records there on the
// first input.
#include "FuzzClasses.h"
#include "foundation/CMemFileBuf.h"
#include "foundation/FatalError.h"
#include "objects/CObjectStream.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

namespace {

std::string WriteBinary(CObject* object, CObjectStream::Ids ids)
{
    auto* buffer = new CMemFileBuf();
    CObjectStream stream;
    stream.Attach(buffer, FILE_CREATE | FILE_WRITE, ids);
    object->WriteBin(stream);
    stream.Finish();
    return std::string(reinterpret_cast<const char*>(buffer->GetData()), size_t(buffer->GetSize()));
}

bool ReadBinary(CObject* object, const uint8_t* data, size_t size, CObjectStream::Ids ids)
{
    auto* copy = static_cast<uint8_t*>(std::malloc(size + 1));
    if (size)
        std::memcpy(copy, data, size);
    CObjectStream stream;
    stream.Attach(CMemFileBuf::Adopt(copy, uint32_t(size)), FILE_READ, ids);
    stream.SetQuiet(true);
    const bool ok = object->ReadBin(stream);
    stream.Finish();
    return ok;
}

void WriteSeeds(const char* folder)
{
    const CFuzzDynamic& dynamic = RegisterFuzzClasses();
    auto save = [&](const char* name, CObject* object, CObjectStream::Ids ids) {
        const std::string bytes = WriteBinary(object, ids);
        std::ofstream(std::string(folder) + "/" + name, std::ios::binary).write(bytes.data(),
                                                                                  std::streamsize(bytes.size()));
    };
    CFuzzRecord plain;
    save("defaults", &plain, CObjectStream::Ids::Without);

    CFuzzRecord full;
    full.m_Count = -42;
    full.m_Ranged = 9;
    full.m_Flag = true;
    full.m_Text = "binary";
    full.m_Scale = 2.25f;
    full.m_Spot = CPoint{3, -4};
    full.m_Place = CFPoint{1.5f, -0.25f};
    auto* leaf = new CFuzzLeaf();
    leaf->m_Count = 5;
    leaf->m_Weight = 3.0f;
    leaf->m_Flag = false;
    full.m_Child = leaf;
    full.m_Kind = 2;
    SetFuzzArrayCount(full, "Sizes", 3);
    for (uint32_t i = 0; i < 3; ++i)
        full.m_Sizes[i] = int32_t(i * 10);
    SetFuzzArrayCount(full, "Labels", 2);
    full.m_Labels[0] = "first";
    full.m_Labels[1] = "second";
    SetFuzzArrayCount(full, "Parts", 2);
    full.m_Parts[0] = new CFuzzPart();
    full.m_Parts[1] = new CFuzzLeaf();
    *static_cast<int32_t*>(full.GetOrAddDynamicValue(dynamic.tag)) = 99;
    *static_cast<CJString*>(full.GetOrAddDynamicValue(dynamic.note)) = "noted";
    save("full", &full, CObjectStream::Ids::Without);
    save("full_with_ids", &full, CObjectStream::Ids::With);
    save("defaults_with_ids", &plain, CObjectStream::Ids::With);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        SetFatalTerminator(ThrowingFatalTerminator);
        RegisterFuzzClasses();
        if (const char* folder = std::getenv("OMBRISALT_FUZZ_WRITE_SEEDS"))
            WriteSeeds(folder);
        return true;
    }();
    (void)ready;
    if (size > (1u << 20))
        return 0;
    for (CObjectStream::Ids ids : {CObjectStream::Ids::With, CObjectStream::Ids::Without}) {
        std::string first;
        try {
            auto record = std::make_unique<CFuzzRecord>();
            if (!ReadBinary(record.get(), data, size, ids))
                continue;
            first = WriteBinary(record.get(), ids);
        } catch (const CFatalErrorException&) {
            continue;
        }
        auto again = std::make_unique<CFuzzRecord>();
        if (!ReadBinary(again.get(), reinterpret_cast<const uint8_t*>(first.data()), first.size(), ids))
            std::abort();
        if (WriteBinary(again.get(), ids) != first)
            std::abort();
    }
    return 0;
}
