#pragma once
// What the stand-in program shows of the editor's image browser: F8 opens
// it over the registered lists ("Image Browser", the list chooser above the
// folder list), on the overlay sets unless another list was chosen before,
// with every thumbnail of the first folder loaded at once.

// Adds its hooks after those already installed; called by the launcher
// before the game starts.
void InstallImageBrowserShowcase();
