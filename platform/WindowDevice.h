#pragma once
// The game window and its input, as the shell's message pump sees them.
//
// Who calls what: the shell creates the window once at start-up (Create),
// drains the events once per main-loop pass (PollEvent, until it answers
// false), presents each finished picture (Present) and asks for the cursor
// and the window state around activation. Everything runs on the main thread.
//
// Events carry the values the engine's input code was written against, so
// its tables apply as they are: keys by virtual-key number and by scan index
// (the PC set-1 scan code, plus 256 for extended keys, 0..511), typed
// characters as Windows-1252 bytes with the control characters a keyboard
// produces (Backspace 8, Tab 9, Enter 13, Ctrl+Enter 10, Escape 27, Ctrl+A..Z
// 1..26, Ctrl+[ 27, Ctrl+\ 28, Ctrl+] 29, Ctrl+Backspace 127), and mouse
// buttons as the bits 1 left, 2 right, 4 middle, 8 and 16 the extra buttons.
// A key held down repeats its KeyDown (and its control character).

#include <cstdint>
#include <string_view>

namespace plat {

struct WindowEvent {
    enum class Kind : uint8_t {
        None,
        MouseMove,   // x, y, heldButtons
        MouseButton, // x, y, button, down, doubleClick
        MouseWheel,  // wheelNotches (positive away from the user)
        KeyDown,     // virtualKey, scanIndex
        KeyUp,       // virtualKey, scanIndex
        Char,        // character
        SysChar,     // character typed with Alt held
        ContextMenuKey,
        Activated,   // the window got the keyboard focus
        Deactivated, // the window lost it
        Minimised,
        Restored,
        MouseLeft, // the pointer left the window's client area
        Close,     // the user closed the window
        Quit,      // the process was asked to end (signal, session end)
        Resized,   // x, y: the client area's new width and height
        Moved      // x, y: the client area's new top-left on the desktop
    };

    Kind kind = Kind::None;
    int32_t x = 0; // client pixels; may be negative
    int32_t y = 0;
    uint32_t heldButtons = 0; // button bits held during a move
    uint32_t button = 0;      // one button bit
    bool down = false;
    bool doubleClick = false;
    float wheelNotches = 0.0f;
    uint16_t virtualKey = 0;
    uint16_t scanIndex = 0;
    bool altHeld = false;  // with KeyDown and KeyUp
    uint8_t character = 0; // Windows-1252
};

// Windows virtual-key numbers the shell's tables read.
namespace vk {
inline constexpr uint16_t kBack = 0x08, kTab = 0x09, kReturn = 0x0D, kShift = 0x10, kControl = 0x11, kMenu = 0x12,
                          kPause = 0x13, kCapital = 0x14, kEscape = 0x1B, kSpace = 0x20, kPrior = 0x21, kNext = 0x22,
                          kEnd = 0x23, kHome = 0x24, kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28,
                          kSnapshot = 0x2C, kInsert = 0x2D, kDelete = 0x2E, kLWin = 0x5B, kRWin = 0x5C, kApps = 0x5D,
                          kNumpad0 = 0x60, kMultiply = 0x6A, kAdd = 0x6B, kSubtract = 0x6D, kDecimal = 0x6E,
                          kDivide = 0x6F, kF1 = 0x70, kF2 = 0x71, kF3 = 0x72, kF4 = 0x73, kF5 = 0x74, kF6 = 0x75,
                          kF7 = 0x76, kF8 = 0x77, kF9 = 0x78, kF10 = 0x79, kF11 = 0x7A, kF12 = 0x7B, kNumLock = 0x90,
                          kScroll = 0x91;
} // namespace vk

// A finished picture: 32-bit pixels, blue, green, red, alpha in memory order.
struct PictureView {
    const uint32_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t pitch = 0; // pixels from one row to the next
};

class CWindowDevice {
public:
    virtual ~CWindowDevice() = default;

    // Opens the window with the title (UTF-8) and the client size.
    // False when no window can be had; the reason is in GetLastError.
    [[nodiscard]] virtual bool Create(std::string_view title, int32_t width, int32_t height) = 0;
    virtual bool IsCreated() const = 0;
    virtual void Destroy() = 0;
    // Sizes the client area.
    virtual void SetClientSize(int32_t width, int32_t height) = 0;

    // The next event, oldest first; false when none is waiting.
    virtual bool PollEvent(WindowEvent& event) = 0;

    virtual bool HasFocus() const = 0;
    virtual bool IsMinimised() const = 0;

    // Shows the picture in the client area, scaled to fill it. False when it
    // could not be shown (no window, lost surface).
    virtual bool Present(const PictureView& picture) = 0;

    // The system's arrow cursor over the window, or none (the engine draws its own).
    virtual void ShowSystemCursor(bool show) = 0;
    // Moves the pointer to the window point (the coordinates of mouse events).
    virtual void WarpCursor(int32_t x, int32_t y) { (void)x, (void)y; }

    // Why the last Create or Present failed.
    virtual std::string_view GetLastError() const = 0;

    // A Quit was handed out since Create, and no Close before it (the
    // desktop follows a closed last window with one), or a termination
    // signal came that no Quit tells yet (once the end has begun no events
    // are taken): the process was asked to end, and nobody may be there to
    // answer a box.
    bool IsEndingOnQuit() const { return m_EndingOnQuit || IsTerminationWaiting(); }

protected:
    // A termination signal caught and not yet handed out as a Quit.
    virtual bool IsTerminationWaiting() const { return false; }
    // Create calls Forget; PollEvent notes each event it hands out.
    void ForgetHandedOut() { m_Closed = m_EndingOnQuit = false; }
    void NoteHandedOut(const WindowEvent& event)
    {
        m_Closed = m_Closed || event.kind == WindowEvent::Kind::Close;
        m_EndingOnQuit = m_EndingOnQuit || (event.kind == WindowEvent::Kind::Quit && !m_Closed);
    }

private:
    bool m_Closed = false;
    bool m_EndingOnQuit = false;
};

} // namespace plat
