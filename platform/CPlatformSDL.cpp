#include "platform/CPlatformSDL.h"

#include <SDL.h>

#include <cstdio>
#include <string>

namespace plat {

void CPlatformSDL::ShowMessageBox(std::string_view caption, std::string_view text)
{
    const std::string captionText(caption);
    const std::string bodyText(text);
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, captionText.c_str(), bodyText.c_str(), nullptr) == 0)
        return;
    // A box that cannot be shown must still reach someone.
    std::fprintf(stderr, "%s\n%s\n", captionText.c_str(), bodyText.c_str());
    std::fflush(stderr);
}

} // namespace plat
