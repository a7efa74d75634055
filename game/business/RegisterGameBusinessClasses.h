#pragma once

// The building business's reflected classes. Its hooks into the world are
// installed apart, by InstallGameBusinessHooks() (BusinessHooks.h).
void RegisterGameBusinessClasses();
