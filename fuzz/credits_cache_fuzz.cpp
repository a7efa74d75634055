// Reads arbitrary bytes as "Cache/Credits.bin" from memory: a compressed
// block, or plain text when the bytes are no block. Whatever is read must be
// a proper string no longer than the block said or the file held.
#include "foundation/CFile.h"
#include "foundation/CLocalizationTable.h"
#include "foundation/CMemFileBuf.h"

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
    CJString text;
    const bool read = ReadCreditsCache(file, text);
    if (read != text.IsNotEmpty())
        std::abort();
    if (text.IsWide() || std::strlen(text.GetString()) != size_t(text.GetLength()))
        std::abort();
    return 0;
}
