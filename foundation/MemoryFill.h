#pragma once
// Word-at-a-time fills of byte ranges.

#include <cstddef>
#include <cstdint>

// Fills count bytes with the low byte of pattern: single bytes up to 4-byte
// alignment, whole pattern words, then the last 0-3 bytes. The caller passes
// the byte repeated into all four bytes of the word.
void FastMemset(void* destination, uint32_t pattern, size_t count);
