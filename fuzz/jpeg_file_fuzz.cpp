// Decodes arbitrary bytes as a JPEG file: library errors jump back and are
// a refused decode; a success is always a 24-bit frame.
#include "images/CFrame.h"
#include "images/CJPEGFileIO.h"
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
    CJPEGFileIO reader;
    CFrame frame;
    if (reader.DecodeFromMemory(frame, bytes.data(), uint32_t(bytes.size()), "fuzz.jpg", 24)
        && frame.GetBitDepth() != 24)
        __builtin_trap();
    return 0;
}
