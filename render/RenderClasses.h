#pragma once

// Registers the classes of render/, in a fixed order, and installs the
// probe surface renderables hit-test against; idempotent.
void RegisterRenderClasses();
