#pragma once
// What the stand-in program shows of the scripting layer: a still, a loop and
// an eased ping-pong frame selector side by side over the "Flag" sequence, a
// random year in Roman numerals from "Resources/Expressions/Roman Year.txt",
// and the "Shuffled Chimes" audio set played on Space.

// Adds its hooks after those already installed; called by the launcher
// before the game starts.
void InstallScriptingShowcase();
