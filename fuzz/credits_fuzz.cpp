// The credits reader over arbitrary file bytes, then its scroll drawn at a
// spread of clock times into a small canvas: no line may crash the parser or
// the drawing, the restart included, and the shared opacities end whole.
#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "foundation/BufferNames.h"
#include "foundation/CMemFileBuf.h"
#include "foundation/FatalError.h"
#include "foundation/FilePaths.h"
#include "foundation/MillisecondClock.h"
#include "game/screens/CCredits.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "platform/Clock.h"
#include "program/RegisterAllClasses.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Removed when the process ends.
struct CFolder {
    fs::path path;
    ~CFolder()
    {
        std::error_code error;
        if (!path.empty())
            fs::remove_all(path, error);
    }
} g_Folder;

// DejaVu Sans (Debian package fonts-dejavu-core) as the default face in a
// data folder of its own; without it the text is measured as empty.
CFont* MakeFont()
{
    std::ifstream face("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", std::ios::binary);
    if (!face)
        return nullptr;
    char pattern[] = "/tmp/credits-fuzz-XXXXXX";
    if (!mkdtemp(pattern))
        return nullptr;
    g_Folder.path = pattern;
    fs::create_directories(g_Folder.path / "Resources");
    std::ofstream(g_Folder.path / "Resources" / "!default.ttf", std::ios::binary) << face.rdbuf();
    SetDataFolder(pattern);
    EnumerateFontFiles();
    return new CFont;
}

uint32_t g_Tick = 0;
uint32_t Tick()
{
    return g_Tick;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        RegisterAllClasses();
        SetFatalTerminator(ThrowingFatalTerminator);
        plat::SetMillisecondTickSource(&Tick);
        GetFrameLibrary().SetSource(nullptr, "Nowhere", 0);
        return true;
    }();
    static CFont* font = [] {
        try {
            return MakeFont();
        } catch (const CFatalErrorException&) {
            return static_cast<CFont*>(nullptr);
        }
    }();
    (void)ready;
    if (size > (1u << 16))
        return 0;
    std::vector<uint8_t> bytes(data, data + size);
    CJString name;
    MakeBufferName(name, CMemFileBuf::WrapReadOnly(bytes.data(), uint32_t(bytes.size())), "Credits.txt");
    g_Tick = 1000;
    ResetMillisecondClock();
    try {
        CCreditsText credits(name.GetString(), font);
        CFrame canvas;
        canvas.Create(64, 48, 32);
        for (uint32_t step = 0; step < 24; ++step) {
            g_Tick += 37 + step * step * 211;
            credits.Draw(canvas);
        }
    } catch (const CFatalErrorException&) {
    }
    if (GetTransparentMaskBlitType().GetOpacity() != 1.0f || GetBlackBiasBlitType().GetOpacity() != 1.0f)
        __builtin_trap();
    return 0;
}
