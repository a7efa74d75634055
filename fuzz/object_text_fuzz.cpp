// Reads object text from memory, in ID mode (reference list, patches) and
// without identities, over the shared fuzz records (numbers, floats, points,
// list references, owned objects, arrays and dynamic values). Fatal reports
// end the input. An object that reads must write text that reads back to the
// same text.
//
// OMBRISALT_FUZZ_WRITE_SEEDS=<folder> writes the seed texts there on the
// first input.
#include "FuzzClasses.h"
#include "foundation/FatalError.h"
#include "tests/support/objects/ObjectRoundTrip.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

namespace {

void WriteSeeds(const char* folder)
{
    auto save = [&](const char* name, CObject* object, IdMode ids) {
        const std::string text = ObjectToText(object, ids);
        std::ofstream(std::string(folder) + "/" + name, std::ios::binary)
            .write(text.data(), std::streamsize(text.size()));
    };
    CFuzzRecord plain;
    save("record_defaults", &plain, IdMode::WithoutIds);
    std::unique_ptr<CFuzzRecord> full = MakeFullFuzzRecord();
    save("record_full", full.get(), IdMode::WithoutIds);
    save("record_full_with_ids", full.get(), IdMode::WithIds);
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
    CheckTextReadsBackAlike(data, size);
    return 0;
}
