#pragma once
// The 32-bit rows of "Normal Scale" four pixels at a time; the same bytes as
// the plain rows.

#include <cstdint>

// dst[j] takes the colour bytes of srcRow[columns[j]] and keeps its alpha.
void ScaleRow32Sse2(uint8_t* dst, const uint8_t* srcRow, const uint32_t* columns, uint32_t width);
// dst[j] takes the colour bytes of above[j] and keeps its alpha.
void MergeColourRow32Sse2(uint8_t* dst, const uint8_t* above, uint32_t width);
