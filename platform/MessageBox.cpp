#include "platform/MessageBox.h"

#include "platform/CPlatform.h"
#include "platform/WindowDevice.h"

#include <algorithm>
#include <cstdio>

namespace plat {

namespace {

// The byte after the UTF-8 character that starts at pos.
size_t NextCharacter(std::string_view text, size_t pos)
{
    ++pos;
    while (pos < text.size() && (uint8_t(text[pos]) & 0xC0u) == 0x80u)
        ++pos;
    return pos;
}

void AppendFitted(std::string& out, std::string_view line)
{
    for (;;) {
        size_t pos = 0;
        size_t lastSpace = std::string_view::npos;
        for (int32_t count = 0; pos < line.size() && count < kMessageBoxLineLength; ++count) {
            if (line[pos] == ' ')
                lastSpace = pos;
            pos = NextCharacter(line, pos);
        }
        if (pos >= line.size()) {
            out.append(line);
            return;
        }
        // pos starts the first character past the line.
        const size_t cut = line[pos] != ' ' && lastSpace != std::string_view::npos ? lastSpace : pos;
        std::string_view head = line.substr(0, cut);
        while (!head.empty() && head.back() == ' ')
            head.remove_suffix(1);
        out.append(head);
        out += '\n';
        size_t next = cut;
        while (next < line.size() && line[next] == ' ')
            ++next;
        line.remove_prefix(next);
        if (line.empty())
            return;
    }
}

} // namespace

void ShowMessageBox(std::string_view caption, std::string_view text)
{
    CPlatform& platform = GetPlatform();
    // After a termination signal the end must come: a box would hold it
    // until someone answers, and nobody may be there.
    if (platform.GetWindow().IsEndingOnQuit()) {
        std::fprintf(stderr, "%.*s\n%.*s\n", int(caption.size()), caption.data(), int(text.size()), text.data());
        std::fflush(stderr);
        return;
    }
    platform.ShowMessageBox(caption, text);
}

std::string FitMessageBoxText(std::string_view text)
{
    std::string out;
    for (;;) {
        const size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        AppendFitted(out, line);
        if (end == text.size())
            return out;
        out += '\n';
        text.remove_prefix(end + 1);
    }
}

} // namespace plat
