#pragma once
// What the object-file lists take from the sequence and overlay classes:
// two file endings. The sequence classes set the cache options they follow.

#include <cstdint>

// "FOO": the file ending of the frame-overlay options list.
const char* GetFrameOverlayOptionsExtension();

// The ending of sequence cache files: "SEQUENCE" with the fixed-name cache
// option, else by screen depth "seq", "seq16", "seq24", "seq32"; null for any
// other depth.
const char* GetSequenceCacheExtension();
// Set by the owner of the screen depth and the fixed-name cache option.
void SetSequenceCacheOptions(uint32_t screenDepth, bool fixedNameCache);
