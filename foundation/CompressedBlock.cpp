#include "foundation/CompressedBlock.h"

#include "foundation/CFile.h"
#include "foundation/LittleEndian.h"

#include <cstdlib>
#include <zlib.h>

namespace {

// deflate never expands more than 1032 to 1; a header claiming more lies,
// and believing it would allocate up to 4 GB for a few bytes of input.
constexpr uint64_t kMaxExpansion = 1032;
constexpr uint64_t kExpansionSlack = 64;
// Larger blocks are decoded once into a small window first, so a damaged
// stream is refused before its whole block is allocated.
constexpr uint32_t kCheckFirstAbove = 16u << 20;

// Whether the zlib stream decodes to exactly size bytes, without keeping them.
bool DecodesToExactly(uint32_t size, const void* source, uint32_t compressedSize)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return false;
    static thread_local Bytef window[64 * 1024];
    stream.next_in = static_cast<Bytef*>(const_cast<void*>(source));
    stream.avail_in = compressedSize;
    uint64_t produced = 0;
    int result = Z_OK;
    while (result == Z_OK && produced <= size) {
        stream.next_out = window;
        stream.avail_out = sizeof window;
        result = inflate(&stream, Z_NO_FLUSH);
        produced += sizeof window - stream.avail_out;
    }
    inflateEnd(&stream);
    return result == Z_STREAM_END && produced == size;
}

} // namespace

uint32_t CFileCompressor::Compress(uint8_t*& out, const void* source, uint32_t size, int level)
{
    out = nullptr;
    const uLong bound = compressBound(uLong(size)); // uLong is 64-bit here
    if (bound > UINT32_MAX)
        return 0;
    auto* block = static_cast<uint8_t*>(std::malloc(bound ? bound : 1));
    if (!block)
        return 0;
    uLongf compressedSize = bound;
    if (compress2(block, &compressedSize, static_cast<const Bytef*>(source), uLong(size), level) != Z_OK
        || compressedSize == 0) {
        std::free(block);
        return 0;
    }
    out = block;
    return uint32_t(compressedSize);
}

bool CFileCompressor::Uncompress(uint8_t*& out, uint32_t size, const void* source, uint32_t compressedSize)
{
    out = nullptr;
    if (size > kCheckFirstAbove && !DecodesToExactly(size, source, compressedSize))
        return false;
    auto* block = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    if (!block)
        return false;
    uLongf produced = size;
    if (uncompress(block, &produced, static_cast<const Bytef*>(source), uLong(compressedSize)) != Z_OK
        || produced != size) {
        std::free(block);
        return false;
    }
    out = block;
    return true;
}

bool CFileCompressor::WriteCompressed(CFile& file, const void* data, uint32_t size, int level)
{
    uint8_t* block = nullptr;
    const uint32_t compressedSize = Compress(block, data, size, level);
    if (compressedSize == 0)
        return false;
    file.WriteUint8(kCompressedBlockMarker).WriteUint32(compressedSize).WriteUint32(size);
    const bool written = file.Write(block, compressedSize) == compressedSize;
    std::free(block);
    return written && !file.HasError();
}

namespace {

// Reads a block's header; false when it is none or it lies.
bool ReadHeader(CFile& file, uint32_t& compressedSize, uint32_t& uncompressedSize)
{
    uint8_t header[9];
    if (file.Read(header, 9) != 9 || header[0] != kCompressedBlockMarker)
        return false;
    compressedSize = ReadLE32(header + 1);
    uncompressedSize = ReadLE32(header + 5);
    const int64_t left = file.GetSize() - file.GetPosition();
    return compressedSize != 0 && int64_t(compressedSize) <= left
        && uncompressedSize <= uint64_t(compressedSize) * kMaxExpansion + kExpansionSlack;
}

} // namespace

uint32_t CFileCompressor::PeekUncompressedSize(CFile& file)
{
    const int64_t at = file.GetPosition();
    uint32_t compressedSize = 0, uncompressedSize = 0;
    const bool holds = ReadHeader(file, compressedSize, uncompressedSize);
    file.Seek(at);
    return holds ? uncompressedSize : 0;
}

uint8_t* CFileCompressor::ReadCompressed(CFile& file, uint32_t& size, uint32_t limit)
{
    uint32_t compressedSize = 0, uncompressedSize = 0;
    if (!ReadHeader(file, compressedSize, uncompressedSize) || uncompressedSize > limit)
        return nullptr;

    auto* stream = static_cast<uint8_t*>(std::malloc(compressedSize));
    if (!stream)
        return nullptr;
    uint8_t* block = nullptr;
    if (file.Read(stream, compressedSize) == compressedSize)
        Uncompress(block, uncompressedSize, stream, compressedSize);
    std::free(stream);
    if (block)
        size = uncompressedSize;
    return block;
}
