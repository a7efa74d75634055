// The WAVE reader over arbitrary bytes: its chunk walk, the checks on the
// format and sizes, and (for compressed formats) the platform's decoder. An
// opened reader must describe a format the mixer plays, never hand out more
// than its decoded size or than was asked, and decode at most 8 bytes per
// byte of data. Positions must hold after seeks.
#include "sound/CSoundReader.h"

#include "foundation/CFile.h"
#include "foundation/CMemFileBuf.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 20))
        return 0;
    std::vector<uint8_t> bytes(data, data + size);
    auto file = std::make_unique<CFile>();
    file->AttachFileBuf(CMemFileBuf::WrapReadOnly(bytes.data(), uint32_t(bytes.size())), FILE_READ);
    CWaveSoundReader reader;
    if (!reader.Open(std::move(file)))
        return 0;
    const plat::PcmFormat format = reader.GetFormat();
    if (!format.IsValid() || reader.GetSize() % format.BlockAlign() != 0)
        std::abort();
    if (reader.GetSize() > 8ull * size + size)
        std::abort();
    std::vector<uint8_t> out(4096);
    uint64_t total = 0;
    for (;;) {
        const uint32_t got = reader.Read(out.data(), uint32_t(out.size()));
        if (got > out.size())
            std::abort();
        if (got == 0)
            break;
        total += got;
    }
    if (total > reader.GetSize())
        std::abort();
    const uint32_t middle = reader.GetSize() / 2;
    if (reader.Seek(middle) && reader.Tell() != middle)
        std::abort();
    if (reader.Read(out.data(), 16) > 16 || reader.ReadSplit(out.data(), 7, out.data() + 7, 9) > 16)
        std::abort();
    return 0;
}
