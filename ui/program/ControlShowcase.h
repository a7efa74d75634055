#pragma once
// What the small controls show in the stand-in: a frame window with a
// slider and its value, a spin, labels (one of two lines) and a view
// scrolled by real scroll bars. Installed after the toolkit's own showcase,
// whose textures and theme it uses.
void InstallControlShowcase();
