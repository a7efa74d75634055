#pragma once
// What the stand-in program shows of the overlay layer: the loading picture
// "LoadingScreen_Background" with its progress drawn by the set "Splash"
// while the other showcases load their data behind it, then the set "HUD"
// filled every frame (clock, score, gauge, tool tips) with the set "Panel"
// sliding in on a timeline with motion blur.

// Fills the stand-in's hooks around those installed before; called by the
// launcher last, so its loading picture covers the others' loading and its
// sets are drawn over their scenes.
void InstallOverlayShowcase();
