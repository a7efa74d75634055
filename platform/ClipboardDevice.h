#pragma once
// The system clipboard's text, which other programs read and write. Texts
// are UTF-8. Setting text replaces whatever the clipboard held before.

#include <string>
#include <string_view>

namespace plat {

class CClipboardDevice {
public:
    virtual ~CClipboardDevice() = default;
    // False when the system refused; the clipboard is then unchanged.
    virtual bool SetText(std::string_view utf8) = 0;
    // False when the clipboard holds no text.
    virtual bool GetText(std::string& utf8) = 0;
};

// A clipboard in memory: the headless one, and the stand-in where the
// system's cannot be reached.
class CClipboardMemory final : public CClipboardDevice {
public:
    bool SetText(std::string_view utf8) override;
    bool GetText(std::string& utf8) override;
    // Empties it, as another program taking the clipboard for other data would.
    void Clear();

private:
    std::string m_Text;
    bool m_HasText = false;
};

// SDL's clipboard; the memory one while SDL's video is not started.
class CClipboardSDL final : public CClipboardDevice {
public:
    bool SetText(std::string_view utf8) override;
    bool GetText(std::string& utf8) override;

private:
    CClipboardMemory m_Fallback;
};

} // namespace plat
