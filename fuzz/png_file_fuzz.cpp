// Decodes arbitrary bytes as a PNG file: libpng's errors must come back as
// a refused decode, never an abort or a read past the data.
#include "images/CFrame.h"
#include "images/CPNGFileIO.h"
#include "program/RegisterAllClasses.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        RegisterAllClasses();
        SetImageDecodeByteLimit(64u << 20);
        return true;
    }();
    (void)ready;
    if (size > (1u << 20))
        return 0;
    std::vector<uint8_t> bytes(data, data + size);
    CPNGFileIO reader;
    CFrame frame;
    const uint32_t depth = reader.GetHeaderBitDepth(bytes.data(), uint32_t(bytes.size()));
    if (reader.DecodeFromMemory(frame, bytes.data(), uint32_t(bytes.size()), "fuzz.png", depth)
        && frame.GetBitDepth() != 24 && frame.GetBitDepth() != 32)
        __builtin_trap();
    return 0;
}
