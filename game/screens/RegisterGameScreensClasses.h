#pragma once

// The game screens' reflected classes, the profiles among them: called before
// "Stats.dat" is read. Their hooks are installed apart, by
// InstallGameScreensHooks() (ScreensHooks.h).
void RegisterGameScreensClasses();
