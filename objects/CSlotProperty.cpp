#include "objects/CSlotProperty.h"

#include "foundation/CFile.h"

#include <cstring>
#include <vector>

bool ReadCountedText(CFile& file, CJString& out)
{
    uint8_t bytes[4];
    if (file.Read(bytes, 4) != 4)
        return false;
    const uint32_t length =
        uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
    if (int64_t(length) > file.GetSize() - file.GetPosition())
        return false;
    std::vector<char> text(size_t(length) + 1, 0);
    if (length && file.Read(text.data(), length) != length)
        return false;
    out.SetText(text.data(), int(std::strlen(text.data())));
    return true;
}
