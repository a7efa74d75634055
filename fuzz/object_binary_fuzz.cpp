// link: ombrisalt_objects ombrisalt_foundation
// Reads a binary object record from memory, with identities (reference list
// word and table) and without. Fatal reports end the input. A record that
// reads must write bytes that read back and write the same bytes again.
//
// OMBRISALT_FUZZ_WRITE_SEEDS=<folder> writes the seed records there on the
// first input.
#include "foundation/CMemFileBuf.h"
#include "foundation/FatalError.h"
#include "objects/CFloatProperty.h"
#include "objects/CObject.h"
#include "objects/CObjectStream.h"
#include "objects/CPObjectProperty.h"
#include "objects/CPointProperty.h"
#include "objects/CPropertyArrayProperty.h"
#include "objects/CSlotProperty.h"
#include "objects/CStringProperty.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

namespace {

class CFuzzPart : public CObject {
    OMBRISALT_REFLECTED(CFuzzPart, CObject)
public:
    CFuzzPart() { InitDeclaredProperties(); }
    ~CFuzzPart() override { DestroyDeclaredProperties(); }
    int32_t m_Count;
    CJString m_Name;
};

class CFuzzLeaf : public CFuzzPart {
    OMBRISALT_REFLECTED(CFuzzLeaf, CFuzzPart)
public:
    CFuzzLeaf() { InitDeclaredProperties(); }
    ~CFuzzLeaf() override { DestroyDeclaredProperties(); }
    float m_Weight;
};

class CFuzzRecord : public CObject {
    OMBRISALT_REFLECTED(CFuzzRecord, CObject)
public:
    CFuzzRecord() { InitDeclaredProperties(); }
    ~CFuzzRecord() override { DestroyDeclaredProperties(); }
    int32_t m_Count;
    int32_t m_Ranged;
    bool m_Flag;
    CJString m_Text;
    float m_Scale;
    CPoint m_Spot;
    CFPoint m_Place;
    CFuzzPart* m_Child;
    CPropertyArray<int32_t> m_Sizes;
    CPropertyArray<CJString> m_Labels;
    CPropertyArray<CFuzzPart*> m_Parts;
};

OMBRISALT_IMPLEMENT_CLASS(CFuzzPart, 1)
OMBRISALT_IMPLEMENT_CLASS(CFuzzLeaf, 2)
OMBRISALT_IMPLEMENT_CLASS(CFuzzRecord, 3)

void CFuzzPart::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CFuzzPart::m_Count, "Count", 1);
    d.Add(&CFuzzPart::m_Name, "Name", "part");
}

void CFuzzLeaf::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CFuzzLeaf::m_Weight, "Weight", 0.5f);
}

void CFuzzRecord::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CFuzzRecord::m_Count, "Count", 0);
    d.Add(&CFuzzRecord::m_Ranged, "Ranged", 5).Range(0, 10);
    d.Add(&CFuzzRecord::m_Flag, "Flag", false);
    d.Add(&CFuzzRecord::m_Text, "Text", "");
    d.Add(&CFuzzRecord::m_Scale, "Scale", 1.0f);
    d.Add(&CFuzzRecord::m_Spot, "Spot", CPoint{0, 0});
    d.Add(&CFuzzRecord::m_Place, "Place", CFPoint{0, 0});
    d.Add<CTypedPObjectProperty<CFuzzPart>>(&CFuzzRecord::m_Child, "Child", nullptr);
    d.AddProperty(NewArrayProperty<CIntProperty>(&CFuzzRecord::m_Sizes, "Sizes", {}, "Size", 0));
    d.AddProperty(NewArrayProperty<CStringProperty>(&CFuzzRecord::m_Labels, "Labels", {ArrayCapacity::None}, "Label",
                                                    ""));
    d.AddProperty(NewArrayProperty<CTypedPObjectProperty<CFuzzPart>>(&CFuzzRecord::m_Parts, "Parts", {}, "Part",
                                                                     nullptr));
}

struct CDynamic {
    CProperty* tag;
    CProperty* note;
};

const CDynamic& Register()
{
    static const CDynamic dynamic = [] {
        RegisterObjectClasses();
        CFuzzPart::SGetClassInfo();
        CFuzzLeaf::SGetClassInfo();
        CFuzzRecord::SGetClassInfo();
        CDynamic made{new CSlotProperty<CIntProperty>("Tag", 7), new CSlotProperty<CStringProperty>("Note", "")};
        made.tag->AddAsDynamicProperty(CFuzzRecord::SGetClassInfo(), 0);
        made.note->AddAsDynamicProperty(CFuzzRecord::SGetClassInfo(), 0);
        return made;
    }();
    return dynamic;
}

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
    stream.Attach(new CMemFileBuf(copy, uint32_t(size), true), FILE_READ, ids);
    stream.SetQuiet(true);
    const bool ok = object->ReadBin(stream);
    stream.Finish();
    return ok;
}

void WriteSeeds(const char* folder)
{
    const CDynamic& dynamic = Register();
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
    full.m_Child = leaf;
    auto* sizes = static_cast<CPropertyArrayProperty*>(CFuzzRecord::SGetClassInfo()->FindProperty("Sizes"));
    sizes->ArrayProperty_SetCount(&full, 3);
    for (uint32_t i = 0; i < 3; ++i)
        full.m_Sizes[i] = int32_t(i * 10);
    auto* labels = static_cast<CPropertyArrayProperty*>(CFuzzRecord::SGetClassInfo()->FindProperty("Labels"));
    labels->ArrayProperty_SetCount(&full, 2);
    full.m_Labels[0] = "first";
    full.m_Labels[1] = "second";
    auto* parts = static_cast<CPropertyArrayProperty*>(CFuzzRecord::SGetClassInfo()->FindProperty("Parts"));
    parts->ArrayProperty_SetCount(&full, 2);
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
        Register();
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
