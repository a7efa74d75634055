// The compressed-block reader over arbitrary bytes, directly and through a
// compressed open of a named memory buffer (with its plain fallback).
#include "foundation/BufferNames.h"
#include "foundation/CFile.h"
#include "foundation/CMemFileBuf.h"
#include "foundation/CompressedBlock.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 20))
        return 0;
    std::vector<uint8_t> bytes(data, data + size);

    CFile file;
    file.AttachFileBuf(CMemFileBuf::WrapReadOnly(bytes.data(), uint32_t(bytes.size())), FILE_READ);
    // A reader's limit, taken from the input's size so both sides of it are met.
    uint32_t unpacked = 0;
    if (uint8_t* block = CFileCompressor::ReadCompressed(file, unpacked, uint32_t(size) * 64)) {
        volatile uint8_t sink = unpacked ? block[unpacked - 1] : 0;
        (void)sink;
        std::free(block);
    }

    auto* buffer = CMemFileBuf::WrapReadOnly(bytes.data(), uint32_t(bytes.size()));
    CJString name;
    MakeBufferName(name, buffer, "fuzz");
    CFile opened;
    if (opened.Open(name.GetString(), FILE_READ | FILE_COMPRESSED | FILE_IN_MEMORY)) {
        CJString line;
        while (opened.ReadLine(line)) {}
    } else {
        DeleteNamedBuffer(name.GetString());
    }
    return 0;
}
