#pragma once
// The game's add-window step for its full-screen screens: the window joins
// the screen window's tree as its front child. Without a screen window (no
// display tree yet) the window is destroyed, so nothing is left unowned.
class CJWindow;

void AddGameScreenWindow(CJWindow* window);
