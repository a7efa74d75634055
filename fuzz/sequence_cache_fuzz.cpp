// Reads arbitrary bytes as a sequence cache file, first as a loose cache
// (the atlas required) and then as an archived one. Either the read is
// refused or every frame it gives has the pixels its size promises; a
// damaged object text may end the input through the fatal report.
#include "foundation/CFile.h"
#include "foundation/CMemFileBuf.h"
#include "foundation/FatalError.h"
#include "images/CFrame.h"
#include "images/CPNGFileIO.h"
#include "sequences/CSequence.h"
#include "program/RegisterAllClasses.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        RegisterAllClasses();
        CFrame::SetGlobalBitDepth(32);
        SetFatalTerminator(&ThrowingFatalTerminator);
        SetImageDecodeByteLimit(64u << 20);
        return true;
    }();
    (void)ready;
    if (size > (1u << 20))
        return 0;
    std::vector<uint8_t> bytes(data, data + size);
    for (bool atlasRequired : {true, false}) {
        CFile file;
        file.AttachFileBuf(CMemFileBuf::WrapReadOnly(bytes.data(), uint32_t(bytes.size())), FILE_READ);
        CSequence sequence;
        try {
            if (!sequence.ReadCacheFrom(file, atlasRequired))
                continue;
        } catch (const CFatalErrorException&) {
            continue;
        }
        for (uint32_t i = 0; i < sequence.GetFrameCount(); ++i) {
            CFrame* frame = sequence.GetFrame(i);
            if (!frame || frame->GetWidth() == 0 || frame->GetHeight() == 0)
                continue;
            const uint8_t* last = frame->Row(frame->GetHeight() - 1);
            if (!last)
                __builtin_trap();
            volatile uint8_t byte = last[frame->GetWidth() * frame->GetBytesPerPixel() - 1];
            (void)byte;
        }
    }
    return 0;
}
