#pragma once

// The overlay classes, and the list of overlay sets entered among the named
// lists so that start-up points it at "Resources/Frame Overlay Options".
void RegisterOverlaysClasses();
