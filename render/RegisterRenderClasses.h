#pragma once

// Registers the classes of render/, in a fixed order, and installs what the
// layers below ask of this one: the probe surface renderables hit-test
// against, the line drawer of 32-bit frames and the frame effects fonts run
// on their glyphs; idempotent.
void RegisterRenderClasses();
