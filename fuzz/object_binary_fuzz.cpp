// Reads a binary object record from memory, with identities (reference list
// word and table) and without. Fatal reports end the input. A record that
// reads must write bytes that read back and write the same bytes again.
//
// OMBRISALT_FUZZ_WRITE_SEEDS=<folder> writes the seed records there on the
// first input.
#include "FuzzClasses.h"
#include "foundation/FatalError.h"
#include "tests/support/objects/ObjectRoundTrip.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

namespace {

void WriteSeeds(const char* folder)
{
    auto save = [&](const char* name, CObject* object, IdMode ids) {
        const std::string bytes = ObjectToBinary(object, ids);
        std::ofstream(std::string(folder) + "/" + name, std::ios::binary)
            .write(bytes.data(), std::streamsize(bytes.size()));
    };
    CFuzzRecord plain;
    save("defaults", &plain, IdMode::WithoutIds);
    std::unique_ptr<CFuzzRecord> full = MakeFullFuzzRecord();
    save("full", full.get(), IdMode::WithoutIds);
    save("full_with_ids", full.get(), IdMode::WithIds);
    save("defaults_with_ids", &plain, IdMode::WithIds);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        SetFatalTerminator(ThrowingFatalTerminator);
        RegisterFuzzClasses();
        if (const char* folder = std::getenv("OMBRISALT_FUZZ_WRITE_SEEDS"))
            WriteSeeds(folder);
        return true;
    }();
    (void)ready;
    if (size > (1u << 20))
        return 0;
    for (IdMode ids : {IdMode::WithIds, IdMode::WithoutIds}) {
        std::string first;
        try {
            auto record = std::make_unique<CFuzzRecord>();
            if (!ObjectFromBinary(*record, data, size, ids, StreamReports::Quiet))
                continue;
            first = ObjectToBinary(record.get(), ids);
        } catch (const CFatalErrorException&) {
            continue;
        }
        auto again = std::make_unique<CFuzzRecord>();
        if (!ObjectFromBinary(*again, first, ids, StreamReports::Quiet))
            std::abort();
        if (ObjectToBinary(again.get(), ids) != first)
            std::abort();
    }
    return 0;
}
