#pragma once
// The platform without a user, and the tests' equipment: message boxes go to
// standard error (caption line, then text) and the most recent ones are kept;
// the window is a CWindowHeadless fed by the test; the millisecond clock can
// be switched to a hand-driven one that only moves when the test (or a
// Sleep) advances it; free disk space can be set; sound is mixed only when
// the caller pulls it (CAudioDeviceHeadless::Render); the clipboard is in
// memory.

#include "platform/CAudioDevice.h"
#include "platform/CPlatform.h"
#include "platform/ClipboardDevice.h"
#include "platform/GraphicsDeviceHeadless.h"
#include "platform/WindowHeadless.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace plat {

class CPlatformHeadless final : public CPlatform {
public:
    CPlatformHeadless() = default;
    ~CPlatformHeadless() override;

    struct MessageBoxRecord {
        std::string caption;
        std::string text;
    };

    void ShowMessageBox(std::string_view caption, std::string_view text) override;
    CWindowDevice& GetWindow() override { return m_Window; }
    CWindowHeadless& GetHeadlessWindow() { return m_Window; }
    bool GetFreeDiskSpace(std::string_view folder, uint64_t& freeBytes) override;
    // With the hand-driven clock a sleep advances it instead of waiting.
    void Sleep(uint32_t milliseconds) override;
    CAudioDevice& GetAudioDevice() override { return m_Audio; }
    CGraphicsDevice& GetGraphicsDevice() override { return m_Screen; }
    CGraphicsDeviceHeadless& GetHeadlessScreen() { return m_Screen; }
    CAudioDeviceHeadless& GetHeadlessAudio() { return m_Audio; }
    CClipboardDevice& GetClipboard() override { return m_Clipboard; }
    CClipboardMemory& GetHeadlessClipboard() { return m_Clipboard; }

    // A long headless run must not grow without bound.
    static constexpr std::size_t kKeptMessageBoxes = 64;
    const std::vector<MessageBoxRecord>& GetMessageBoxes() const { return m_MessageBoxes; }

    // The millisecond tick reads start and moves only by AdvanceClock and
    // Sleep until StopManualClock (or this platform's end) restores the
    // system clock.
    void StartManualClock(uint32_t start);
    void AdvanceClock(uint32_t milliseconds);
    void StopManualClock();
    uint64_t GetSleptMilliseconds() const { return m_Slept; }

    // Empty: the real file system is asked.
    void SetFreeDiskSpace(std::optional<uint64_t> freeBytes) { m_FreeBytes = freeBytes; }

private:
    std::vector<MessageBoxRecord> m_MessageBoxes;
    CWindowHeadless m_Window;
    std::optional<uint64_t> m_FreeBytes;
    uint64_t m_Slept = 0;
    bool m_ManualClock = false;
    CAudioDeviceHeadless m_Audio;
    CGraphicsDeviceHeadless m_Screen;
    CClipboardMemory m_Clipboard;
};

} // namespace plat
