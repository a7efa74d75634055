#include "platform/CPlatformHeadless.h"

#include <cstdio>

namespace plat {

namespace {

void WriteToStandardError(std::string_view caption, std::string_view text)
{
    std::fprintf(stderr, "%.*s\n%.*s\n", int(caption.size()), caption.data(), int(text.size()), text.data());
    std::fflush(stderr);
}

} // namespace

void CPlatformHeadless::ShowMessageBox(std::string_view caption, std::string_view text)
{
    WriteToStandardError(caption, text);
    if (m_MessageBoxes.size() == kKeptMessageBoxes)
        m_MessageBoxes.erase(m_MessageBoxes.begin());
    m_MessageBoxes.push_back({std::string(caption), std::string(text)});
}

} // namespace plat
