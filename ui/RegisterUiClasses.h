#pragma once

// The window toolkit's reflected classes and the hooks it fills below.
void RegisterUiClasses();
