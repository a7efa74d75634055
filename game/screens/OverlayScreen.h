#pragma once
// What the full-screen menus drawn from one overlay set have in common: the
// set's button markers become the window's buttons, the set is drawn with the
// window's values and clock, and a window without buttons still closes on a key.
#include "foundation/CCommand.h"
#include "foundation/CJString.h"
#include "overlays/CFrameOverlay.h"
#include "ui/CJButton.h"

#include <cstdint>

class CFrameInterface;
class CMenuWindow;
class CTextSubstitutionList;

// The button the set makes at marker `id`, running `action` on `window` when
// clicked; it keeps the place the marker gave it. Null (and nothing added)
// when the set has no such marker.
template <class Window>
CJButton* AddOverlayButton(Window& window, CFrameOverlayOptions& set, const char* id, CTextSubstitutionList& values,
                           void (Window::*action)())
{
    CJButton* button = set.CreateButtonWindow(CJString(id), &values);
    if (!button)
        return nullptr;
    button->SetCommand(new CObjectFunctionCommand<Window>(&window, action));
    window.AddChild(button, kAsIsNoGrow);
    return button;
}

// Forgets the default and cancel buttons and destroys every child, before
// the buttons are made again for a new page or state.
void ClearOverlayButtons(CMenuWindow& window);

// Draws the whole set at full opacity, `time` seconds into its timelines;
// no set (a data set without it) draws nothing.
void DrawOverlaySet(CFrameOverlayOptions* set, CFrameInterface& frame, CTextSubstitutionList& values, float time);

// Closes a screen's menu, and with it the windows standing in for it while
// it is held hidden (the tips or options over the pause menu, the trophy
// room over the map); closing it alone would leave them holding it.
void CloseScreenMenu(CMenuWindow& menu);

// Enter, Escape and the activate-default key: the keys that close a menu
// that has no button to take them.
bool IsMenuCloseKey(uint32_t key);
