#pragma once
// The SSE2 twin of ConvertYCbCrRowPlain: eight pixels at a time from an even
// column, the odd first pixel and the tail through the plain function; the
// same bytes as the plain function.

#include <cstdint>

void ConvertYCbCrRowSse2(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint32_t x, uint32_t count,
                         uint32_t* out);
