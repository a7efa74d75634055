#pragma once
// What both programs do around their game: hand the program its name, its data
// folder and its command line, register every class, and run the main loop.
//
//   <program> [/DataFolder <folder>] [/Passes <n>]
//
// "/DataFolder" makes the folder the program folder (its working folder,
// settings and archives); without it the program's own folder is. A value
// that names no folder, or one this account cannot enter, refuses the start,
// nothing written. "/Passes"
// ends the program in order after n passes of the main loop.

#include "shell/StartGame.h"

// Classes are registered before installShowcases (may be null) runs.
int RunLauncher(int argc, char** argv, RunGameFunction runGame, void (*installShowcases)());
