#pragma once
// SDL keyboard and text input turned into the Windows-shaped window events of
// WindowDevice.h. Private to the SDL backend (and its tests): SDL types
// appear here and nowhere above the platform.

#include "platform/WindowDevice.h"

#include <SDL.h>

#include <cstdint>
#include <string_view>
#include <vector>

namespace plat {

// The set-1 scan code, plus 256 for the extended keys; 0 for keys without one.
uint16_t ScanIndexFromScancode(SDL_Scancode scancode);

// The virtual key: characters follow the layout (the key's character),
// everything else the key's position.
uint16_t VirtualKeyFromKey(SDL_Scancode scancode, SDL_Keycode key);

// The control character a key-down types with these modifiers; 0 for none.
uint8_t ControlCharacterFor(SDL_Keycode key, uint16_t modifiers);

// Key-down (repeats included): KeyDown, then the Char of a control
// character, or the SysChar of the key's character while Alt (without Ctrl)
// is held, then ContextMenuKey for the Menu key.
void TranslateKeyDown(SDL_Scancode scancode, SDL_Keycode key, uint16_t modifiers, std::vector<WindowEvent>& out);
void TranslateKeyUp(SDL_Scancode scancode, SDL_Keycode key, uint16_t modifiers, std::vector<WindowEvent>& out);
// Typed text (UTF-8): one Char per character Windows-1252 can hold; the rest
// are dropped. Text typed while Alt (without Ctrl) is held is dropped too,
// since the key-down already gave its SysChar.
void TranslateText(std::string_view utf8, uint16_t modifiers, std::vector<WindowEvent>& out);

} // namespace plat
