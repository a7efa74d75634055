#pragma once
// What the stand-in program shows of the level world: the playfield of
// "Resources/Playfields/Town.txt" (houses, trees and birds in layers, some
// turned or scaled; the far trees tinted blue and faded, the autumn trees
// tinted orange), a box around the sprite under the mouse, and, on a press
// of the left button outside the windows, a bird that flies from the top
// left corner to the point and ends in a one-shot burst.

// Adds its hooks after those already installed; called by the launcher
// before the game starts.
void InstallWorldShowcase();

class CPlayfield;
// The showcase's playfield once its init ran, else null (tests).
CPlayfield* GetWorldShowcasePlayfield();
