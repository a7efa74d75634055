#pragma once

// Registers the expression, audio and frame-selector classes and the old
// class names data may still use, in a fixed order; idempotent.
void RegisterGameScriptingClasses();
