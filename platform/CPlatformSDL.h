#pragma once
// The platform on a real display, through SDL2. No SDL type appears here.

#include "platform/CAudioDeviceSDL.h"
#include "platform/CPlatform.h"
#include "platform/ClipboardDevice.h"
#include "platform/GraphicsDeviceGL.h"
#include "platform/WindowSDL.h"

namespace plat {

class CPlatformSDL final : public CPlatform {
public:
    // Falls back to standard error when SDL cannot show the box.
    void ShowMessageBox(std::string_view caption, std::string_view text) override;
    CWindowDevice& GetWindow() override { return m_Window; }
    CAudioDevice& GetAudioDevice() override { return m_Audio; }
    CGraphicsDevice& GetGraphicsDevice() override { return m_Screen; }
    CClipboardDevice& GetClipboard() override { return m_Clipboard; }

private:
    CWindowSDL m_Window;
    CGraphicsDeviceGL m_Screen{m_Window};
    CAudioDeviceSDL m_Audio;
    CClipboardSDL m_Clipboard;
};

} // namespace plat
