// The zip directory and local-header reader over a memory buffer: load the
// directory, then open, read, seek and list every member. Fatal reports end
// the input, not the process.

#include "foundation/CMemFileBuf.h"
#include "foundation/CZipArchive.h"
#include "foundation/EnumerateFiles.h"
#include "foundation/FatalError.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool installed = (SetFatalTerminator(ThrowingFatalTerminator), true);
    (void)installed;
    if (size > (1u << 24))
        return 0;
    auto* block = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    if (!block)
        return 0;
    if (size)
        std::memcpy(block, data, size);
    try {
        CZipArchive archive("fuzz.zip", "Fuzz/", 0, ArchiveAccess::ReadOnly);
        if (!archive.LoadFromFileBuf(CMemFileBuf::Adopt(block, uint32_t(size))))
            return 0;
        std::vector<uint8_t> bytes(4096);
        for (uint32_t i = 0; i < archive.GetEntryCount(); ++i) {
            const std::string name = archive.GetEntry(i)->fullName;
            CFileBuf* member = archive.OpenMember(name.c_str(), FILE_READ);
            if (!member)
                continue;
            while (member->Read(bytes.data(), uint32_t(bytes.size())) > 0) {}
            member->Seek(member->GetSize());
            member->Seek(0);
            CJString line;
            member->ReadLine8(line);
            member->SeekRelative(1);
            delete member;
        }
        CFileNameArray names;
        CEnumerateFilesOptions options;
        options.SetFilesWithExtension("Fuzz/", "");
        options.SetRecurse(1);
        CEnumerateFilesCallbackTemplate<CFileNameArray> callback(names);
        archive.Enumerate(callback, options);
        options.SetFolderMode("Fuzz/", false);
        archive.Enumerate(callback, options);
    } catch (const CFatalErrorException&) {
    }
    return 0;
}
