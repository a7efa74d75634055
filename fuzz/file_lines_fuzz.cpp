// Line reading over arbitrary bytes: the first byte picks 8-bit lines from
// memory, 8-bit lines from a C stream (the disk reader's chunking), UTF-16
// lines from memory, or counted strings and fields.
#include "foundation/CFile.h"
#include "foundation/CMemFileBuf.h"

#include <cstdint>
#include <cstdio>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > (1u << 20))
        return 0;
    const uint8_t mode = data[0] % 4;
    std::vector<uint8_t> bytes(data + 1, data + size);
    CFile file;
    CJString line;
    switch (mode) {
    case 0:
    case 2:
        file.AttachFileBuf(CMemFileBuf::WrapReadOnly(bytes.data(), uint32_t(bytes.size())), FILE_READ);
        if (mode == 2) {
            // Read as UTF-16 regardless of the mark.
            while (file.GetFileBuf()->ReadLineWide(line)) {}
        } else {
            while (file.ReadLine(line)) {}
        }
        break;
    case 1: {
        if (bytes.empty())
            return 0;
        std::FILE* stream = fmemopen(bytes.data(), bytes.size(), "rb");
        if (!stream)
            return 0;
        file.AttachFileBuf(new CFileBuf(stream, true), FILE_READ);
        int64_t last = -1;
        while (file.ReadLine(line)) {
            const int64_t position = file.GetPosition();
            if (position <= last)
                __builtin_trap(); // every line must move forward
            last = position;
        }
        break;
    }
    default: {
        file.AttachFileBuf(CMemFileBuf::WrapReadOnly(bytes.data(), uint32_t(bytes.size())), FILE_READ);
        char text[64];
        uint32_t word = 0;
        uint8_t byte = 0;
        for (int i = 0; i < 64 && file.GetPosition() < file.GetSize(); ++i) {
            file.ReadCountedString(text, sizeof text).ReadUint32(word).ReadUint8(byte);
            if (file.ReadInPlace(byte) == nullptr)
                file.Seek(file.GetPosition() + 1);
        }
        break;
    }
    }
    return 0;
}
