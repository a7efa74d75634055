#include "platform/ClipboardDevice.h"

#include <SDL.h>

namespace plat {

bool CClipboardMemory::SetText(std::string_view utf8)
{
    m_Text.assign(utf8);
    m_HasText = true;
    return true;
}

bool CClipboardMemory::GetText(std::string& utf8)
{
    if (!m_HasText)
        return false;
    utf8 = m_Text;
    return true;
}

void CClipboardMemory::Clear()
{
    m_Text.clear();
    m_HasText = false;
}

bool CClipboardSDL::SetText(std::string_view utf8)
{
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0)
        return m_Fallback.SetText(utf8);
    // SDL takes a C string: the text ends at its first zero.
    const std::string copy(utf8.substr(0, utf8.find('\0')));
    return SDL_SetClipboardText(copy.c_str()) == 0;
}

bool CClipboardSDL::GetText(std::string& utf8)
{
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0)
        return m_Fallback.GetText(utf8);
    if (!SDL_HasClipboardText())
        return false;
    char* text = SDL_GetClipboardText();
    if (!text)
        return false;
    utf8 = text;
    SDL_free(text);
    return true;
}

} // namespace plat
