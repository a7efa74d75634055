#pragma once
// The platform without a user: message boxes go to standard error (caption
// line, then text) and the most recent ones are kept for tests to read; sound
// is mixed only when the caller pulls it (CAudioDeviceHeadless::Render).

#include "platform/CAudioDevice.h"
#include "platform/CPlatform.h"

#include <cstddef>
#include <string>
#include <vector>

namespace plat {

class CPlatformHeadless final : public CPlatform {
public:
    struct MessageBoxRecord {
        std::string caption;
        std::string text;
    };

    void ShowMessageBox(std::string_view caption, std::string_view text) override;
    CAudioDevice& GetAudioDevice() override { return m_Audio; }
    CAudioDeviceHeadless& GetHeadlessAudio() { return m_Audio; }

    // A long headless run must not grow without bound.
    static constexpr std::size_t kKeptMessageBoxes = 64;
    const std::vector<MessageBoxRecord>& GetMessageBoxes() const { return m_MessageBoxes; }

private:
    std::vector<MessageBoxRecord> m_MessageBoxes;
    CAudioDeviceHeadless m_Audio;
};

} // namespace plat
