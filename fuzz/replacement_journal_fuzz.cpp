// The journal a start reads from the program folder, over arbitrary bytes:
// a journal read as whole, written again, reads back the same. The last
// build's journal answers each temporary as a name in its target's folder,
// and each target without an empty or "." step.
#include "platform/ReplacementGroup.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<plat::JournalEntry> old;
    (void)plat::DecodeOldJournal(text, "/program", old);
    for (const plat::JournalEntry& entry : old) {
        const std::string steps = "/" + entry.target + "/";
        if (entry.temporary.empty() || entry.temporary.find('/') != std::string::npos
            || (!entry.target.empty() && entry.target.front() != '/'
                && (steps.find("//") != std::string::npos || steps.find("/./") != std::string::npos)))
            __builtin_trap();
    }
    plat::JournalKind kind;
    std::vector<plat::JournalEntry> entries;
    if (!plat::DecodeJournal(text, kind, entries))
        return 0;
    plat::JournalKind again;
    std::vector<plat::JournalEntry> read;
    if (!plat::DecodeJournal(plat::EncodeJournal(kind, entries), again, read) || again != kind
        || read.size() != entries.size())
        __builtin_trap();
    const auto same = [](const plat::JournalStamp& a, const plat::JournalStamp& b) {
        return a.exists == b.exists && a.size == b.size && a.writeTimeNs == b.writeTimeNs;
    };
    for (size_t i = 0; i < read.size(); ++i)
        if (read[i].target != entries[i].target || read[i].temporary != entries[i].temporary
            || !same(read[i].temporaryStamp, entries[i].temporaryStamp)
            || !same(read[i].targetStamp, entries[i].targetStamp))
            __builtin_trap();
    return 0;
}
