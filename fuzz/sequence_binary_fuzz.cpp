// Reads arbitrary bytes as a sequence in the binary object form: the
// properties, then the bounds and the frame records ReadExtraBinary reads.
// A count the data cannot hold, stray flags and damaged records are
// refused; an impossible record block ends the input through the fatal
// report.
#include "foundation/CMemFileBuf.h"
#include "foundation/FatalError.h"
#include "images/CFrame.h"
#include "objects/CObjectStream.h"
#include "sequences/CSequence.h"
#include "program/RegisterAllClasses.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

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
    auto* copy = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    if (size)
        std::memcpy(copy, data, size);
    CObjectStream stream;
    stream.Attach(CMemFileBuf::Adopt(copy, uint32_t(size)), FILE_READ, IdMode::WithIds);
    stream.SetBinary();
    stream.SetQuiet(true);
    CSequence sequence;
    try {
        if (sequence.ReadBin(stream))
            for (uint32_t i = 0; i < sequence.GetFrameCount(); ++i)
                if (CFrame* frame = sequence.GetFrame(i))
                    (void)frame->GetMemorySize();
    } catch (const CFatalErrorException&) {
    }
    return 0;
}
