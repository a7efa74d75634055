#include "platform/WindowSDL.h"

#include "platform/KeyTranslationSDL.h"

#include <SDL.h>

#include <vector>

namespace plat {

namespace {

uint32_t ButtonBit(uint8_t button)
{
    switch (button) {
    case SDL_BUTTON_LEFT:
        return 1;
    case SDL_BUTTON_RIGHT:
        return 2;
    case SDL_BUTTON_MIDDLE:
        return 4;
    case SDL_BUTTON_X1:
        return 8;
    case SDL_BUTTON_X2:
        return 16;
    default:
        return 0;
    }
}

uint32_t HeldButtons(uint32_t state)
{
    uint32_t bits = 0;
    if (state & SDL_BUTTON_LMASK)
        bits |= 1;
    if (state & SDL_BUTTON_RMASK)
        bits |= 2;
    if (state & SDL_BUTTON_MMASK)
        bits |= 4;
    if (state & SDL_BUTTON_X1MASK)
        bits |= 8;
    if (state & SDL_BUTTON_X2MASK)
        bits |= 16;
    return bits;
}

WindowEvent Simple(WindowEvent::Kind kind)
{
    WindowEvent event;
    event.kind = kind;
    return event;
}

} // namespace

CWindowSDL::~CWindowSDL()
{
    Destroy();
}

bool CWindowSDL::Create(std::string_view title, int32_t width, int32_t height)
{
    if (m_Window)
        return true;
    // The double-click rules of the desktop the engine was written for.
    SDL_SetHint(SDL_HINT_MOUSE_DOUBLE_CLICK_TIME, "500");
    SDL_SetHint(SDL_HINT_MOUSE_DOUBLE_CLICK_RADIUS, "4");
    // SDL's quit event then tells a termination signal: the shell ends on the
    // Close itself.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (!m_VideoStarted) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            m_LastError = SDL_GetError();
            return false;
        }
        m_VideoStarted = true;
    }
    const std::string titleText(title);
    // OpenGL where it can be had, for the screen device; a plain window otherwise.
    const uint32_t shown = m_Hidden ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN;
    m_Window = SDL_CreateWindow(titleText.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                shown | SDL_WINDOW_OPENGL);
    if (!m_Window)
        m_Window
            = SDL_CreateWindow(titleText.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, shown);
    if (!m_Window) {
        m_LastError = SDL_GetError();
        return false;
    }
    SDL_RaiseWindow(m_Window);
    SDL_SetWindowInputFocus(m_Window);
    SDL_StartTextInput();
    ForgetHandedOut();
    return true;
}

void CWindowSDL::Destroy()
{
    if (m_Window && m_BeforeDestroy)
        m_BeforeDestroy();
    if (m_Window) {
        SDL_StopTextInput();
        SDL_DestroyWindow(m_Window);
        m_Window = nullptr;
    }
    m_Pending.clear();
    if (m_VideoStarted) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        m_VideoStarted = false;
    }
}

void CWindowSDL::SetClientSize(int32_t width, int32_t height)
{
    if (m_Window)
        SDL_SetWindowSize(m_Window, width, height);
}

void CWindowSDL::PlaceForMode(bool fullScreen, int32_t width, int32_t height)
{
    if (!m_Window)
        return;
    // SDL's own full-screen states are left alone: without a window manager
    // they report the desktop's size while the window keeps its own.
    SDL_SetWindowFullscreen(m_Window, 0);
    SDL_SetWindowBordered(m_Window, fullScreen ? SDL_FALSE : SDL_TRUE);
    SDL_SetWindowAlwaysOnTop(m_Window, fullScreen ? SDL_TRUE : SDL_FALSE);
    int32_t left = SDL_WINDOWPOS_CENTERED, top = SDL_WINDOWPOS_CENTERED;
    if (fullScreen) {
        // The display is not switched to the mode: the window covers it and
        // the picture is stretched over it instead. The first display: its
        // size is the one the device reports as the desktop's.
        SDL_Rect display{0, 0, width, height};
        if (SDL_GetDisplayBounds(0, &display) == 0 && display.w > 0 && display.h > 0)
            width = display.w, height = display.h;
        left = display.x, top = display.y;
    }
    SDL_SetWindowSize(m_Window, width, height);
    SDL_SetWindowPosition(m_Window, left, top);
    if (fullScreen)
        SDL_RaiseWindow(m_Window);
    // A window manager answers in its own time; what it gives arrives as
    // events that update SDL's idea of the window.
    for (int waited = 0; waited < 250; waited += 10) {
        SDL_PumpEvents();
        int32_t x = 0, y = 0, w = 0, h = 0;
        GetClientPlacement(x, y, w, h);
        if (w == width && h == height && (!fullScreen || (x == left && y == top)))
            break;
        SDL_Delay(10);
    }
}

void CWindowSDL::GetClientPlacement(int32_t& x, int32_t& y, int32_t& width, int32_t& height) const
{
    x = y = width = height = 0;
    if (!m_Window)
        return;
    SDL_GetWindowPosition(m_Window, &x, &y);
    SDL_GetWindowSize(m_Window, &width, &height);
}

void CWindowSDL::MoveTo(int32_t x, int32_t y)
{
    if (m_Window)
        SDL_SetWindowPosition(m_Window, x, y);
}

void CWindowSDL::TranslatePending()
{
    std::vector<WindowEvent> out;
    SDL_Event raw;
    while (out.empty() && SDL_PollEvent(&raw)) {
        switch (raw.type) {
        case SDL_QUIT:
            out.push_back(Simple(WindowEvent::Kind::Quit));
            break;
        case SDL_WINDOWEVENT:
            switch (raw.window.event) {
            case SDL_WINDOWEVENT_FOCUS_GAINED:
                out.push_back(Simple(WindowEvent::Kind::Activated));
                break;
            case SDL_WINDOWEVENT_FOCUS_LOST:
                out.push_back(Simple(WindowEvent::Kind::Deactivated));
                break;
            case SDL_WINDOWEVENT_MINIMIZED:
                out.push_back(Simple(WindowEvent::Kind::Minimised));
                break;
            case SDL_WINDOWEVENT_RESTORED:
                out.push_back(Simple(WindowEvent::Kind::Restored));
                break;
            case SDL_WINDOWEVENT_LEAVE:
                out.push_back(Simple(WindowEvent::Kind::MouseLeft));
                break;
            case SDL_WINDOWEVENT_CLOSE:
                out.push_back(Simple(WindowEvent::Kind::Close));
                break;
            case SDL_WINDOWEVENT_SIZE_CHANGED:
            case SDL_WINDOWEVENT_MOVED: {
                WindowEvent event = Simple(raw.window.event == SDL_WINDOWEVENT_MOVED ? WindowEvent::Kind::Moved
                                                                                     : WindowEvent::Kind::Resized);
                event.x = raw.window.data1;
                event.y = raw.window.data2;
                out.push_back(event);
                break;
            }
            default:
                break;
            }
            break;
        case SDL_KEYDOWN:
            TranslateKeyDown(raw.key.keysym.scancode, raw.key.keysym.sym, raw.key.keysym.mod, out);
            break;
        case SDL_KEYUP:
            TranslateKeyUp(raw.key.keysym.scancode, raw.key.keysym.sym, raw.key.keysym.mod, out);
            break;
        case SDL_TEXTINPUT:
            TranslateText(raw.text.text, uint16_t(SDL_GetModState()), out);
            break;
        case SDL_MOUSEMOTION: {
            WindowEvent event = Simple(WindowEvent::Kind::MouseMove);
            event.x = raw.motion.x;
            event.y = raw.motion.y;
            event.heldButtons = HeldButtons(raw.motion.state);
            out.push_back(event);
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            WindowEvent event = Simple(WindowEvent::Kind::MouseButton);
            event.x = raw.button.x;
            event.y = raw.button.y;
            event.button = ButtonBit(raw.button.button);
            event.down = raw.type == SDL_MOUSEBUTTONDOWN;
            // Every second click of a series is the double click; a third is
            // a plain press again.
            event.doubleClick = event.down && raw.button.clicks >= 2 && raw.button.clicks % 2 == 0;
            if (event.button)
                out.push_back(event);
            break;
        }
        case SDL_MOUSEWHEEL: {
            WindowEvent event = Simple(WindowEvent::Kind::MouseWheel);
            event.wheelNotches = raw.wheel.preciseY;
            if (raw.wheel.direction == SDL_MOUSEWHEEL_FLIPPED)
                event.wheelNotches = -event.wheelNotches;
            out.push_back(event);
            break;
        }
        default:
            break;
        }
    }
    m_Pending.insert(m_Pending.end(), out.begin(), out.end());
}

bool CWindowSDL::PollEvent(WindowEvent& event)
{
    if (m_Pending.empty() && m_VideoStarted)
        TranslatePending();
    if (m_Pending.empty())
        return false;
    event = m_Pending.front();
    m_Pending.pop_front();
    NoteHandedOut(event);
    return true;
}

bool CWindowSDL::IsTerminationWaiting() const
{
    if (!m_VideoStarted)
        return false;
    // SDL's handler only marks the signal: a pump makes it the quit event.
    SDL_PumpEvents();
    return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT) > 0;
}

bool CWindowSDL::HasFocus() const
{
    return m_Window && (SDL_GetWindowFlags(m_Window) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

bool CWindowSDL::IsMinimised() const
{
    return m_Window && (SDL_GetWindowFlags(m_Window) & SDL_WINDOW_MINIMIZED) != 0;
}

bool CWindowSDL::Present(const PictureView& picture)
{
    if (!m_Window) {
        m_LastError = "no window";
        return false;
    }
    SDL_Surface* target = SDL_GetWindowSurface(m_Window);
    if (!target) {
        m_LastError = SDL_GetError();
        return false;
    }
    // Blue, green, red, alpha in memory is ARGB8888 on a little-endian machine.
    SDL_Surface* source
        = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(picture.pixels), picture.width, picture.height, 32,
                                             picture.pitch * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!source) {
        m_LastError = SDL_GetError();
        return false;
    }
    SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
    const bool drawn = SDL_BlitScaled(source, nullptr, target, nullptr) == 0 && SDL_UpdateWindowSurface(m_Window) == 0;
    if (!drawn)
        m_LastError = SDL_GetError();
    SDL_FreeSurface(source);
    return drawn;
}

void CWindowSDL::ShowSystemCursor(bool show)
{
    if (show)
        SDL_SetCursor(SDL_GetDefaultCursor());
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

void CWindowSDL::WarpCursor(int32_t x, int32_t y)
{
    if (m_Window)
        SDL_WarpMouseInWindow(m_Window, x, y);
}

} // namespace plat
