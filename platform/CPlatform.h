#pragma once
// The devices of the machine the program runs on, behind one interface with
// two backends: CPlatformSDL for a real display and CPlatformHeadless for
// tests, CI and machines without a display. The backend is chosen once, on
// first use, and engine code never asks which one it got.
//
// Devices are separate objects the platform owns and hands out; the few
// machine services that tests must steer (free disk space, sleeping) are
// calls of the platform itself.

#include <cstdint>
#include <memory>
#include <string_view>

namespace plat {

class CAudioDevice;
class CClipboardDevice;
class CGraphicsDevice;
class CWindowDevice;

class CPlatform {
public:
    virtual ~CPlatform() = default;

    // The game window, made on first use and closed only by Destroy.
    virtual CWindowDevice& GetWindow() = 0;

    // What the screen is drawn with, in the game window.
    // A platform without a display answers one that draws in memory.
    virtual CGraphicsDevice& GetGraphicsDevice();

    // The sound output; closed until the sound code opens it. A platform
    // without one answers a device that no thread pulls.
    virtual CAudioDevice& GetAudioDevice();

    // The system clipboard's text. A platform without one answers one in memory.
    virtual CClipboardDevice& GetClipboard();

    // Free bytes for the caller on the file system holding the folder;
    // false when it cannot be had.
    virtual bool GetFreeDiskSpace(std::string_view folder, uint64_t& freeBytes);

    // Waits; a signal does not cut the wait short.
    virtual void Sleep(uint32_t milliseconds);

    // A modal box with an OK button; returns when the user dismissed it, or
    // at once where no user can see it. Texts are UTF-8.
    virtual void ShowMessageBox(std::string_view caption, std::string_view text) = 0;
};

enum class PlatformKind { SDL, Headless };

// The headless backend is chosen when OMBRISALT_HEADLESS is "1", when CI is
// set, or when there is no display (neither DISPLAY nor WAYLAND_DISPLAY).
PlatformKind ChoosePlatformKind();

// The process's platform, created on first call from ChoosePlatformKind.
CPlatform& GetPlatform();

// Installs another platform (tests); returns the one it replaces. The caller
// keeps ownership of both; pass the returned one back to restore it.
CPlatform* ReplacePlatform(CPlatform* platform);

std::unique_ptr<CPlatform> CreatePlatform(PlatformKind kind);

} // namespace plat
