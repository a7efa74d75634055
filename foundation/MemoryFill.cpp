#include "foundation/MemoryFill.h"

#include <cstring>

void FastMemset(void* destination, uint32_t pattern, size_t count)
{
    auto* bytes = static_cast<unsigned char*>(destination);
    const auto low = static_cast<unsigned char>(pattern);
    while (count > 0 && reinterpret_cast<uintptr_t>(bytes) % 4 != 0) {
        *bytes++ = low;
        --count;
    }
    for (; count >= 4; count -= 4, bytes += 4)
        std::memcpy(bytes, &pattern, 4);
    while (count-- > 0)
        *bytes++ = low;
}
