// The Ogg Vorbis reader over arbitrary bytes, as the reader factory hands it
// anything that is not a WAVE file. An opened reader must describe a format
// the mixer plays and never hand out more than was asked; reading to the end
// and seeking back must not fail in memory.
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
    COggSoundReader reader;
    if (!reader.Open(std::move(file)))
        return 0;
    const plat::PcmFormat format = reader.GetFormat();
    if (!format.IsValid() || format.bits != 16)
        std::abort();
    // No file claims more frames than its bytes can carry.
    if (reader.GetSize() / format.BlockAlign() > size * CSoundReader::kMaxVorbisFramesPerByte)
        std::abort();
    std::vector<uint8_t> out(8192);
    // A hostile stream may claim hours; a few megabytes of it say enough.
    for (uint64_t total = 0; total < (4u << 20);) {
        const uint32_t got = reader.Read(out.data(), uint32_t(out.size()));
        if (got > out.size())
            std::abort();
        if (got == 0)
            break;
        total += got;
    }
    reader.Seek(0);
    reader.Seek(reader.GetSize() / 3);
    if (reader.ReadSplit(out.data(), 100, out.data() + 100, 300) > 400)
        std::abort();
    reader.Tell();
    return 0;
}
