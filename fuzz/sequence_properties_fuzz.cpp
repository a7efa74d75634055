// Reads the input as a sequence's "Properties.txt" and builds the sequence
// from three small images beside it, as a start with a stale cache does:
// the properties pick the filters, offsets, frames kept and the cache's
// form, and the frames are then read back from the cache just written.
// Every frame built must hold the pixels its size promises; a fatal report
// ends the input.
#include "foundation/FatalError.h"
#include "images/CFrame.h"
#include "images/CPNGFileIO.h"
#include "platform/CPlatform.h"
#include "platform/WindowHeadless.h"
#include "program/RegisterAllClasses.h"
#include "sequences/CSequence.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Reports of a properties file that does not read would be shown as message
// boxes; no one reads them here.
class CSilentPlatform final : public plat::CPlatform {
public:
    plat::CWindowDevice& GetWindow() override { return m_Window; }
    void ShowMessageBox(std::string_view, std::string_view) override {}

private:
    plat::CWindowHeadless m_Window;
};

void Write(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// A 32-bit TGA, rows top to bottom, with clear and black pixels at its edges
// so that cropping, dead-alpha and black-blending filters find work.
std::string Tga(uint32_t width, uint32_t height, uint8_t shade)
{
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = char(width);
    bytes[14] = char(height);
    bytes[16] = 32;
    bytes[17] = 0x28;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const bool edge = x == 0 || y == 0 || x + 1 == width;
            const uint8_t alpha = edge ? 0 : uint8_t(60 + 40 * ((x + y) % 5));
            const uint8_t value = edge ? 0 : uint8_t(shade + 9 * x);
            bytes += char(value);
            bytes += char(shade);
            bytes += char(255 - value);
            bytes += char(alpha);
        }
    return bytes;
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
        plat::ReplacePlatform(new CSilentPlatform);
        RegisterAllClasses();
        CFrame::SetGlobalBitDepth(32);
        SetFatalTerminator(&ThrowingFatalTerminator);
        SetImageDecodeByteLimit(64u << 20);
        std::string pattern = (fs::temp_directory_path() / "ombrisalt_sequence_properties_XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        folder.path = pattern;
        // The cache folder is relative to the working folder.
        fs::current_path(folder.path);
        fs::create_directories("Seq/-Fuzz");
        Write("Seq/-Fuzz/Fuzz 1.tga", Tga(6, 5, 40));
        Write("Seq/-Fuzz/Fuzz 2.tga", Tga(7, 4, 120));
        Write("Seq/-Fuzz/Fuzz 3.tga", Tga(3, 3, 200));
        return true;
    }();
    (void)ready;
    if (size > (1u << 16))
        return 0;
    Write("Seq/-Fuzz/Properties.txt", std::string(reinterpret_cast<const char*>(data), size));
    std::error_code error;
    fs::remove_all("Cache", error);
    CSequence sequence;
    try {
        if (!sequence.BuildFromImages("Seq", "Fuzz", nullptr))
            return 0;
    } catch (const CFatalErrorException&) {
        return 0;
    }
    for (uint32_t i = 0; i < sequence.GetFrameCount(); ++i) {
        CFrame* frame = sequence.GetFrame(i);
        if (!frame || frame->GetWidth() == 0 || frame->GetHeight() == 0)
            continue;
        const uint8_t* last = frame->Row(frame->GetHeight() - 1);
        if (!last)
            __builtin_trap();
        volatile uint8_t byte = last[frame->GetWidth() * frame->GetBytesPerPixel() - 1];
        (void)byte;
    }
    return 0;
}
