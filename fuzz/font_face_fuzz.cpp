// Opens arbitrary bytes as a font face through the engine's file layer and
// renders a few glyphs: FreeType reads every byte through the face's stream
// callbacks, and a file it refuses must end in the font report, never a
// crash or a read past the data.
#include "blit/CColor.h"
#include "foundation/BufferNames.h"
#include "foundation/CMemFileBuf.h"
#include "foundation/FatalError.h"
#include "images/CFontFace.h"
#include "images/CFrame.h"
#include "program/RegisterAllClasses.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        RegisterAllClasses();
        SetFatalTerminator(ThrowingFatalTerminator);
        return true;
    }();
    (void)ready;
    if (size > (1u << 20))
        return 0;
    std::vector<uint8_t> bytes(data, data + size);
    CJString name;
    // The face's file takes the buffer and frees it when the face ends.
    MakeBufferName(name, CMemFileBuf::WrapReadOnly(bytes.data(), uint32_t(bytes.size())), "fuzz.ttf");
    try {
        CFontFace face(name.GetString(), 11.0f);
        const CColor colour(200, 100, 50, 255);
        for (uint32_t code : {0x41u, 0x67u, 0x3A9u, 0x416u, 0x4E2Du}) {
            CFrame frame;
            if (face.RenderGlyph(frame, code, colour) && frame.GetBitDepth() != 32)
                __builtin_trap();
        }
    } catch (const CFatalErrorException&) {
    }
    if (CFontFace::SGetOpenFaceCount() != 0)
        __builtin_trap();
    return 0;
}
