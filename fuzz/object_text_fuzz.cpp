// link: ombrisalt_objects ombrisalt_foundation
// Reads object text from memory, in ID mode (reference list, patches) and
// without identities. Fatal reports end the input. An object that reads
// must write text that reads back to the same text.
#include "foundation/FatalError.h"
#include "objects/CObject.h"
#include "objects/CObjectStream.h"

#include "foundation/CMemFileBuf.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

class CFuzzItem : public CObject {
    OMBRISALT_REFLECTED(CFuzzItem, CObject)
public:
    CFuzzItem() { InitDeclaredProperties(); }
    ~CFuzzItem() override { DestroyDeclaredProperties(); }
    int32_t m_Count;
    bool m_Flag;
    CJString m_Text;
};

OMBRISALT_IMPLEMENT_CLASS(CFuzzItem, 1)

void CFuzzItem::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CFuzzItem::m_Count, "Count", 0).AlternateName("Number");
    d.Add(&CFuzzItem::m_Flag, "Flag", false);
    d.Add(&CFuzzItem::m_Text, "Group/Text", "");
}

std::string WriteText(CObject* object)
{
    uint32_t size = 0;
    uint8_t* data = WriteObjectToMemory(object, size);
    std::string text(reinterpret_cast<char*>(data), size);
    std::free(data);
    return text;
}

CObject* ReadText(const uint8_t* data, size_t size, CObjectStream::Ids ids)
{
    auto* copy = static_cast<uint8_t*>(std::malloc(size + 1));
    if (size)
        std::memcpy(copy, data, size);
    CObjectStream stream;
    stream.Attach(CMemFileBuf::Adopt(copy, uint32_t(size)), FILE_READ, ids);
    stream.SetQuiet(true);
    CObject* object = ReadObjectFromStream(stream);
    stream.Finish();
    return object;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    RegisterObjectClasses();
    CFuzzItem::SGetClassInfo();
    SetFatalTerminator(ThrowingFatalTerminator);
    for (CObjectStream::Ids ids : {CObjectStream::Ids::With, CObjectStream::Ids::Without}) {
        CObject* object = nullptr;
        try {
            object = ReadText(data, size, ids);
        } catch (const CFatalErrorException&) {
            continue;
        }
        if (!object)
            continue;
        const std::string first = WriteText(object);
        delete object;
        CObject* again = ReadText(reinterpret_cast<const uint8_t*>(first.data()), first.size(),
                                  CObjectStream::Ids::Without);
        if (!again)
            std::abort();
        if (WriteText(again) != first)
            std::abort();
        delete again;
    }
    return 0;
}
