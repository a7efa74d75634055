#include "tests/support/objects/ObjectRoundTrip.h"

#include "foundation/CMemFileBuf.h"
#include "foundation/FatalError.h"
#include "objects/CNetMessageStream.h"
#include "objects/CObject.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

std::string BytesOf(CMemFileBuf& buffer)
{
    return std::string(reinterpret_cast<const char*>(buffer.GetData()), size_t(buffer.GetSize()));
}

} // namespace

CMemFileBuf* CopyOfBytes(const void* data, size_t size)
{
    // One spare byte: an empty copy is still a block the buffer owns.
    auto* copy = static_cast<uint8_t*>(std::malloc(size + 1));
    if (size)
        std::memcpy(copy, data, size);
    return CMemFileBuf::Adopt(copy, uint32_t(size));
}

std::string ObjectToText(CObject* object, IdMode ids)
{
    auto* buffer = new CMemFileBuf();
    CObjectStream stream;
    stream.Attach(buffer, FILE_CREATE | FILE_WRITE, ids);
    WriteObjectText(object, stream, WriteHeader::With);
    stream.Finish();
    return BytesOf(*buffer);
}

CObject* ObjectFromText(const void* data, size_t size, IdMode ids, StreamReports reports, CJString* error)
{
    CObjectStream stream;
    stream.Attach(CopyOfBytes(data, size), FILE_READ, ids);
    stream.SetQuiet(reports == StreamReports::Quiet);
    CObject* object = ReadObjectFromStream(stream);
    stream.Finish();
    if (error)
        *error = stream.GetErrorText();
    return object;
}

std::string ObjectToBinary(CObject* object, IdMode ids)
{
    auto* buffer = new CMemFileBuf();
    CObjectStream stream;
    stream.Attach(buffer, FILE_CREATE | FILE_WRITE, ids);
    object->WriteBin(stream);
    stream.Finish();
    return BytesOf(*buffer);
}

bool ObjectFromBinary(CObject& object, const void* data, size_t size, IdMode ids, StreamReports reports,
                      CJString* error)
{
    CObjectStream stream;
    stream.Attach(CopyOfBytes(data, size), FILE_READ, ids);
    stream.SetQuiet(reports == StreamReports::Quiet);
    const bool ok = object.ReadBin(stream);
    stream.Finish();
    if (error)
        *error = stream.GetErrorText();
    return ok;
}

std::string ObjectToPacked(CObject* object, CObject* reference)
{
    CNetMessageStream stream;
    object->WritePacked(stream, reference);
    return std::string(reinterpret_cast<const char*>(stream.GetData()), stream.GetLength());
}

void CheckTextReadsBackAlike(const uint8_t* data, size_t size, const std::function<void(CObject&)>& inspect)
{
    for (IdMode ids : {IdMode::WithIds, IdMode::WithoutIds}) {
        std::unique_ptr<CObject> object;
        try {
            object.reset(ObjectFromText(data, size, ids, StreamReports::Quiet));
        } catch (const CFatalErrorException&) {
            continue;
        }
        if (!object)
            continue;
        if (inspect)
            inspect(*object);
        const std::string first = ObjectToText(object.get(), IdMode::WithoutIds);
        std::unique_ptr<CObject> again(ObjectFromText(first, IdMode::WithoutIds, StreamReports::Quiet));
        if (!again || ObjectToText(again.get(), IdMode::WithoutIds) != first)
            std::abort();
    }
}
