// Reads the input as "./EditorOptions.txt", as the level editor does when it
// first asks for its options. The file is the designer's: nothing in it may
// end the program (a fatal report aborts). Options that read must save and
// read back equal; options that do not read must be the defaults, whole.
#include "editor/CLevelEditorOptions.h"
#include "foundation/FatalError.h"
#include "images/CFontList.h"
#include "program/RegisterAllClasses.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

[[noreturn]] void AbortOnFatal(const char*, const char*)
{
    std::abort();
}

struct CFolder {
    fs::path path;
    ~CFolder()
    {
        std::error_code error;
        if (!path.empty())
            fs::remove_all(path, error);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CFolder folder;
    static const bool ready = [] {
        SetFatalTerminator(AbortOnFatal);
        RegisterAllClasses();
        std::string pattern = (fs::temp_directory_path() / "ombrisalt_editor_options_XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        folder.path = pattern;
        // The options file is named relative to the working folder.
        fs::current_path(folder.path);
        // Only the names matter: the list finds fonts without loading them.
        fs::create_directories("Fonts");
        std::ofstream("Fonts/Big Serif.FONT.TXT");
        std::ofstream("Fonts/Plain White 12.FONT.TXT");
        GetFontList().SetSource(nullptr, "Fonts", 0);
        return true;
    }();
    (void)ready;
    if (size > (1u << 20))
        return 0;
    std::ofstream(CLevelEditorOptions::kFileName, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    CLevelEditorOptions read;
    CLevelEditorOptions defaults;
    if (!read.Load()) {
        if (!read.IsEqualTo(&defaults))
            std::abort();
        return 0;
    }
    (void)read.GetEditorFont();
    if (!read.SaveToFile(CLevelEditorOptions::kFileName, 0))
        std::abort();
    CLevelEditorOptions again;
    if (!again.Load() || !again.IsEqualTo(&read))
        std::abort();
    return 0;
}
