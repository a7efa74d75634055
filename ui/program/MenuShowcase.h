#pragma once

// The demo's menu bar along the top of the screen, with sub-menus, and the
// windows it opens: a message box, the sound options window, a tool palette
// and a picture window. The menus' music plays while it runs.
void InstallMenuShowcase();
