#pragma once
// The start-up progress log that loading code reports to. It shows nothing
// in this system; callers must not rely on it showing anything.

#include <cstdint>

enum class LogLineEnd { Continue, EndLine };

class CStartupTextLog {
public:
    static CStartupTextLog& Instance();

    // Called by the game base with the size of the window area.
    void Enable(uint32_t width, uint32_t height);
    bool IsEnabled() const { return m_Enabled; }

    // One progress text; indent is in pixels. Answers 0.
    uint32_t Print(const char* text, LogLineEnd lineEnd, int32_t indent);

private:
    CStartupTextLog() = default;

    bool m_Enabled = false;
    uint32_t m_Width = 0;
    uint32_t m_Height = 0;
};
