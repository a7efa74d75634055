#pragma once
// The window's two modes, full screen and windowed, and the switch between
// them (Alt+Enter, the display settings, the game). A mode the screen device
// refuses falls back once to the other; each mode that failed stays failed
// for the run, and when both have failed the program ends with the fatal
// screen message. Before the screen device is ready a switch only records
// the wish: nothing is asked of the device.
//
// A mode set resets the device, which builds every live texture again, so
// the game's frames keep drawing after the switch.

// Full screen; falls back to windowed when the device refuses it.
void SwitchToFullScreen(bool noFallback = false);
// Windowed; falls back to full screen unless noFallback is set.
void SwitchToWindowed(bool noFallback = false);

// Alt+Enter: once the screen device is ready, the other mode, then the
// game's display-mode hook. Nothing before.
void ToggleWindowModeByKey();

// Tests: forgets the failed modes.
void ResetWindowModeFailures();
