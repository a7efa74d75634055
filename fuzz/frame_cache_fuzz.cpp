// Reads arbitrary bytes as a ".Frame" body and as a frame record. Either is
// refused or gives a frame whose pixels match its size; an impossible
// record block ends the input through the fatal report.
#include "foundation/CFile.h"
#include "foundation/CMemFileBuf.h"
#include "foundation/FatalError.h"
#include "images/CFrame.h"
#include "images/CPNGFileIO.h"
#include "images/FrameCache.h"
#include "program/RegisterAllClasses.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        RegisterAllClasses();
        SetFatalTerminator(&ThrowingFatalTerminator);
        SetImageDecodeByteLimit(64u << 20);
        return true;
    }();
    (void)ready;
    if (size > (1u << 20))
        return 0;
    std::vector<uint8_t> bytes(data, data + size);
    {
        CFile file;
        file.AttachFileBuf(CMemFileBuf::WrapReadOnly(bytes.data(), uint32_t(bytes.size())), FILE_READ);
        CFrame frame;
        if (ReadFrameBody(frame, file)) {
            if (frame.GetBitDepth() != 32 || !frame.Row(frame.GetHeight() - 1))
                __builtin_trap();
            volatile uint8_t last = frame.Row(frame.GetHeight() - 1)[frame.GetWidth() * 4 - 1];
            (void)last;
        }
    }
    CFile file;
    file.AttachFileBuf(CMemFileBuf::WrapReadOnly(bytes.data(), uint32_t(bytes.size())), FILE_READ);
    CFrame frame;
    try {
        ReadFrameRecord(frame, file);
    } catch (const CFatalErrorException&) {
    }
    return 0;
}
