#include "platform/CPlatform.h"
#include "platform/GraphicsDeviceHeadless.h"

#include "platform/CAudioDevice.h"
#include "platform/CPlatformHeadless.h"
#include "platform/CPlatformSDL.h"
#include "platform/ClipboardDevice.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"

#include <cstdlib>
#include <cstring>

namespace plat {

namespace {

bool IsSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

CPlatform*& CurrentPlatform()
{
    static CPlatform* current = nullptr;
    return current;
}

} // namespace

CAudioDevice& CPlatform::GetAudioDevice()
{
    static CAudioDeviceHeadless* const silent = new CAudioDeviceHeadless;
    return *silent;
}

CGraphicsDevice& CPlatform::GetGraphicsDevice()
{
    static CGraphicsDeviceHeadless* const memory = new CGraphicsDeviceHeadless;
    return *memory;
}

CClipboardDevice& CPlatform::GetClipboard()
{
    static CClipboardMemory* const memory = new CClipboardMemory;
    return *memory;
}

bool CPlatform::GetFreeDiskSpace(std::string_view folder, uint64_t& freeBytes)
{
    return plat::GetFreeDiskSpace(folder, freeBytes);
}

void CPlatform::Sleep(uint32_t milliseconds)
{
    SleepMs(milliseconds);
}

PlatformKind ChoosePlatformKind()
{
    const char* headless = std::getenv("OMBRISALT_HEADLESS");
    if (headless && std::strcmp(headless, "1") == 0)
        return PlatformKind::Headless;
    if (IsSet("CI"))
        return PlatformKind::Headless;
    if (!IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY"))
        return PlatformKind::Headless;
    return PlatformKind::SDL;
}

std::unique_ptr<CPlatform> CreatePlatform(PlatformKind kind)
{
    if (kind == PlatformKind::SDL)
        return std::make_unique<CPlatformSDL>();
    return std::make_unique<CPlatformHeadless>();
}

CPlatform& GetPlatform()
{
    // Never destroyed: exit-time destructors of objects made before the first
    // call may still show a box.
    static CPlatform* const chosen = CreatePlatform(ChoosePlatformKind()).release();
    CPlatform* current = CurrentPlatform();
    return current ? *current : *chosen;
}

CPlatform* ReplacePlatform(CPlatform* platform)
{
    CPlatform* previous = &GetPlatform();
    CurrentPlatform() = platform;
    return previous;
}

} // namespace plat
