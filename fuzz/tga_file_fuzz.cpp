// Decodes arbitrary bytes as a TGA file into fresh frames of each depth. A
// packet across a row end ends the input through the fatal report.
#include "foundation/FatalError.h"
#include "images/CFrame.h"
#include "images/CTGAFileIO.h"
#include "program/RegisterAllClasses.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        RegisterAllClasses();
        SetFatalTerminator(&ThrowingFatalTerminator);
        return true;
    }();
    (void)ready;
    if (size > (1u << 20))
        return 0;
    std::vector<uint8_t> bytes(data, data + size);
    CTGAFileIO reader;
    const uint32_t depth = reader.GetHeaderBitDepth(bytes.data(), uint32_t(bytes.size()));
    for (uint32_t target : {depth, 8u, 16u}) {
        CFrame frame;
        if (target != depth && !frame.Create(1, 1, target))
            continue;
        try {
            reader.DecodeFromMemory(frame, bytes.data(), uint32_t(bytes.size()), "fuzz.tga", target ? target : 24);
        } catch (const CFatalErrorException&) {
        }
    }
    return 0;
}
