#pragma once
// Setting the length of an open C stream, which the C library cannot do.

#include <cstdint>
#include <cstdio>

namespace plat {

// Flushes the stream, then cuts or extends its file to size bytes (an
// extension reads as zeros). The stream position is not moved.
bool SetStreamSize(std::FILE* stream, std::uint64_t size);

} // namespace plat
