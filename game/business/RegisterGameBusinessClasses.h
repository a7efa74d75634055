#pragma once

// The building business's reflected classes.
void RegisterGameBusinessClasses();
