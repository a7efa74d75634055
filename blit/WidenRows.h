#pragma once
// Rows that widen smaller pixels to 4-byte blue, green, red, alpha pixels
// (RowFunction form). Each runs on SSE2 unless the plain kernels are chosen
// (KernelTable.h); both give the same bytes.

#include "blit/BlitArgs.h"

#include <cstdint>

// Blue, green, red from 3-byte pixels, alpha 255.
void RowRgb24To32(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count);
// args.tables.palette32[index] for every pixel, index 0 included; nothing
// drawn (reported once) without that table.
void RowIndex8To32(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count);
