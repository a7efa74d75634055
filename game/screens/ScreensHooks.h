#pragma once
// The game screens' answers to the hooks the lower layers left for them, and
// the one installer the program calls at start-up, after
// InstallGameBusinessHooks(): the tables that also carry business services
// derive from the business layer's classes and override only the screens'.
void InstallGameScreensHooks();
