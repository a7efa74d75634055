#pragma once
// The toolkit benchmarks' working folder: DejaVu Sans as the default font
// (Debian's fonts-dejavu-core), whatever else the benchmark writes, and the
// classes the toolkit draws with registered. Made once per process.

#include "bench/BenchSupport.h"
#include "blit/ColorTables.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "objects/CObject.h"
#include "ui/RegisterUiClasses.h"

#include <filesystem>
#include <functional>

namespace bench {

// False when the font is not installed (the benchmark then skips itself).
// fill writes the benchmark's own files into the folder before it becomes
// the working folder.
inline bool PrepareUiFolder(const char* name, const std::function<void(const std::filesystem::path&)>& fill = {})
{
    const std::filesystem::path font = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    if (!std::filesystem::exists(font))
        return false;
    const std::filesystem::path folder = MakeFolder(name);
    std::filesystem::create_directories(folder / "Resources");
    std::filesystem::copy_file(font, folder / "Resources" / "!default.ttf");
    if (fill)
        fill(folder);
    std::filesystem::current_path(folder);
    RegisterObjectClasses();
    RegisterImagesClasses();
    InitBlitTables();
    RegisterUiClasses();
    CFrame::SetGlobalBitDepth(32);
    EnumerateFontFiles();
    return true;
}

} // namespace bench
