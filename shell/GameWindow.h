#pragma once
// The game window's message pump and the handling of what the window reports:
// RunMessageLoop drains the window device's events once per main-loop pass
// and feeds the mouse state (CMouseState) and the keyboard state
// (CKeyboardState);
// activation, minimising and closing change the shell's state and the game
// object's.
//
// Per key-down the typed control code (MapVirtualKeyToKeyCode) goes first,
// then the key-down by scan index; typed characters follow as their own
// events. A Close or Quit event starts no shutdown itself: it raises the
// shutdown request the main loop takes (IsShutdownRequested). One that
// follows input in the same drain raises it at the next drain, so that the
// pass between hands that input to the game.

#include "platform/WindowDevice.h"
#include "shell/CKeyboardState.h"

#include <cstdint>

// What the pump asks of the application object: it is told when the window
// comes to the front or goes and when Alt+Enter switched the window's mode,
// and asked whether the game runs on behind it.
class CMessagePumpClient {
public:
    virtual void OnWindowActivation(bool activeAndShown) = 0;
    virtual bool KeepsRunningInBackground() const = 0;
    virtual void OnDisplayModeChanged() = 0;

protected:
    ~CMessagePumpClient() = default;
};

// The client of the pump, or null: the application object sets itself while
// it lives.
void SetMessagePumpClient(CMessagePumpClient* client);
CMessagePumpClient* GetMessagePumpClient();

// Engine control key codes of virtual keys: page and arrow keys, Insert,
// Delete and the function keys; Tab only while Control is held; None for
// every other key.
EngineKey MapVirtualKeyToKeyCode(uint16_t virtualKey, bool controlDown);

// Drains the window's events. Not re-entered: a call made while it runs
// returns at once. While the window is inactive it first sleeps 1 ms (the
// game keeps running in the background) or 100 ms.
void RunMessageLoop();

// Handles one event as the pump does (tests drive it directly).
void HandleWindowEvent(const plat::WindowEvent& event);

// A part of the keyboard state to clear; All is pressed, down, then pending.
enum class KeyboardClear : uint8_t { Pressed, Down, Pending, All };
// Drains the window's waiting messages before each clear, so that what is
// already queued is counted before it goes.
void PumpThenClearKeyboard(KeyboardClear what);

bool IsWindowActive();
bool IsWindowMinimised();
// Set when the window is created (it starts in front, not minimised).
void SetWindowState(bool active, bool minimised);

bool IsShutdownRequested();
void RequestShutdown();
void ClearShutdownRequest();

// The system cursor: shown as the arrow, or hidden while the engine draws its own.
void ShowSystemCursor();
void HideSystemCursor();

// Auto-repeat times in seconds, from the keyboard settings a desktop starts
// with (a delay setting of 1 of 0..3, a speed of 31 of 0..31).
float GetKeyRepeatDelay();
float GetKeyRepeatInterval();
