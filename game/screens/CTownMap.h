#pragma once
// The map screen: one button per level on the "Level Select Menu Frame
// Overlay" map, the highlight on the selected level, the towns and star
// beams earned, and the progression effects of a level just completed (the
// highlight gliding to the newly unlocked level, its unlock effect, a new
// town flashing, the rewards flier and the life rewards screen).
#include "ui/CMenuWindow.h"

class CJWindow;

// Adds a new map screen to the game's windows (the results' "Continue", the
// shop's "Back", the intro of level 0, the pause menu's "Quit"). Returns the
// window, or null when none could be made.
CMenuWindow* OpenTownMap();
