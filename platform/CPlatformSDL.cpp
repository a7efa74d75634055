#include "platform/CPlatformSDL.h"

#include "platform/MessageBox.h"
#include "platform/Signals.h"

#include <SDL.h>

#include <cstdio>
#include <string>

namespace plat {

void CPlatformSDL::ShowMessageBox(std::string_view caption, std::string_view text)
{
    const std::string captionText(caption);
    const std::string bodyText = FitMessageBoxText(text);
    // SDL waits for its box in a process of its own and through any signal:
    // a termination signal ends the box, and then the program as a close of
    // the window does.
    int shown = -1;
    const bool ended = RunEndingChildrenOnSignal([&] {
        // One that came just before the watch began went to SDL's handler.
        if (!m_Window.IsEndingOnQuit())
            shown
                = SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, captionText.c_str(), bodyText.c_str(), nullptr);
    });
    if (shown == 0 || ended)
        return;
    // A box that cannot be shown must still reach someone.
    std::fprintf(stderr, "%s\n%s\n", captionText.c_str(), bodyText.c_str());
    std::fflush(stderr);
}

} // namespace plat
