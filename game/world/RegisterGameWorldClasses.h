#pragma once

// The level world's reflected classes and the hooks it fills below.
void RegisterGameWorldClasses();
