#pragma once
// The compressed block: a whole file as one zlib stream behind a small
// header, little-endian:
//   u8  marker, always 1
//   u32 compressed size C
//   u32 uncompressed size U
//   C bytes of a zlib stream (compress2)
// Level 6 for compressed files, 9 for frame caches. Blocks are malloc'd and
// freed by their owner with std::free.

#include <cstdint>

class CFile;

inline constexpr uint8_t kCompressedBlockMarker = 1;
inline constexpr int kDefaultCompressionLevel = 6;

class CFileCompressor {
public:
    // The compressed size (out receives the block), or 0 on failure (out null).
    static uint32_t Compress(uint8_t*& out, const void* source, uint32_t size, int level);
    // Exactly size bytes from the stream, or false (out null). A stream that
    // does not decode to them costs at most 16 MB before it is refused.
    static bool Uncompress(uint8_t*& out, uint32_t size, const void* source, uint32_t compressedSize);
    // Writes one block. Nothing is written when compression fails.
    [[nodiscard]] static bool WriteCompressed(CFile& file, const void* data, uint32_t size, int level);
    // Reads one block at the file's position; null when the first byte is
    // not the marker, the header lies (sizes beyond the file or beyond what
    // zlib can expand to), U is more than limit (what the caller can use: a
    // block may expand 1032 times, so the file's size bounds nothing) or the
    // stream does not decode to exactly U bytes. A refused header costs no
    // more than its nine bytes.
    static uint8_t* ReadCompressed(CFile& file, uint32_t& size, uint32_t limit);
    // U of the block at the file's position, which stays where it was; 0
    // when its header is none or lies.
    static uint32_t PeekUncompressedSize(CFile& file);
};
