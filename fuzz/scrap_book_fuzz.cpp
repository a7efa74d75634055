// Reads the input as the scrap book's file. Nothing in it may end the
// program: a fatal report aborts. A file that reads must save and read back
// to the same bytes; one that does not must be kept aside byte for byte,
// with nothing left under the name and the empty book saved in its place.
//
// OMBRISALT_FUZZ_WRITE_SEEDS=<folder> writes the seed files there on the
// first input.
#include "editor/CScrapBook.h"
#include "editor/CSelectedObjects.h"
#include "foundation/FatalError.h"
#include "foundation/FilePaths.h"
#include "game/scripting/CSprite.h"
#include "program/RegisterAllClasses.h"
#include "shell/CClipboard.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

fs::path g_Folder;

[[noreturn]] void AbortOnFatal(const char*, const char*)
{
    std::abort();
}

void Write(const fs::path& path, const uint8_t* data, size_t size)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), std::streamsize(size));
}

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteSeeds(const char* folder)
{
    CScrapBookData book;
    CSelectedObjects* selection = new CSelectedObjects;
    for (int s = 0; s < 2; ++s) {
        auto* sprite = new CSprite;
        sprite->SetPosition(float(10 * s), 20.0f);
        selection->Append(sprite, CJString("Scenery"));
    }
    book.InsertScrap(0, selection);
    auto* text = new CStringWrappedInAnObject;
    text->m_String = "A note";
    book.InsertScrap(0, text);
    if (!SaveScrapBook(book))
        std::abort();
    const std::string bytes = Read(g_Folder / kScrapBookFileName);
    std::ofstream(fs::path(folder) / "two_scraps", std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    fs::remove(g_Folder / kScrapBookFileName);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        SetFatalTerminator(AbortOnFatal);
        RegisterAllClasses();
        std::string pattern = (fs::temp_directory_path() / "ombrisalt_scrap_fuzz_XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        g_Folder = pattern;
        SetDataFolder((pattern + "/").c_str());
        std::atexit([] { fs::remove_all(g_Folder); });
        if (const char* folder = std::getenv("OMBRISALT_FUZZ_WRITE_SEEDS"))
            WriteSeeds(folder);
        return true;
    }();
    (void)ready;
    if (size > (1u << 20))
        return 0;
    const fs::path file = g_Folder / kScrapBookFileName;
    const fs::path bad = g_Folder / (std::string(kScrapBookFileName) + ".bad");
    Write(file, data, size);
    CScrapBookData read;
    if (!LoadScrapBook(read)) {
        if (fs::exists(file) || Read(bad) != std::string(reinterpret_cast<const char*>(data), size))
            std::abort();
        if (read.GetScrapCount() != 0 || !SaveScrapBook(read))
            std::abort();
        fs::remove(bad);
        fs::remove(file);
        return 0;
    }
    if (!SaveScrapBook(read))
        std::abort();
    const std::string saved = Read(file);
    CScrapBookData again;
    if (!LoadScrapBook(again) || !SaveScrapBook(again) || Read(file) != saved)
        std::abort();
    fs::remove(file);
    return 0;
}
