#pragma once
// The blitter's plain byte copy, for rows that need no conversion.

#include <cstdint>
#include <cstring>

inline void CopyBytes(void* destination, const void* source, uint32_t count)
{
    if (count != 0)
        std::memcpy(destination, source, count);
}
