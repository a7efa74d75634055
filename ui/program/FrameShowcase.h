#pragma once
// What the frame windows show in the stand-in: a frame window that moves,
// resizes, closes and turns transparent, holding push buttons, check boxes,
// an image check box and a radio ring. Installed after the toolkit's own
// showcase, whose textures and theme it uses.
void InstallFrameShowcase();
