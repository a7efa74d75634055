#pragma once
// What the stand-in program shows of the level world: the current level of
// "Levels", held as a level start holds it, with its background picture in
// the top right corner and its playfield over it (houses, trees and birds in
// layers, some turned or scaled; the far trees tinted blue and faded, the
// autumn trees tinted orange), a box around the sprite under the mouse, and,
// on a press of the left button outside the windows, a bird that flies from
// the top left corner to the point and ends in a one-shot burst. F9 opens
// the Level Sorter over it; a level the sorter makes current is shown.
// Windows opened after the level was taken up (the sorter, an object editor
// its "Properties" opens) lie over it; the windows of the layers below lie
// under it.

// Adds its hooks after those already installed; called by the launcher
// before the game starts.
void InstallWorldShowcase();

class CPlayfield;
// The held level's playfield once its init ran, else null (tests).
CPlayfield* GetWorldShowcasePlayfield();
