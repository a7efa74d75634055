#pragma once

// Installs the window toolkit's demo in the stand-in game: a window in the
// classic theme and one in the demo alpha theme, with buttons that take hot
// keys, Tab and clicks, and a tool tip. Chains to the hooks installed before.
void InstallUiShowcase();
