#pragma once
// Files from which an object read dropped a key it did not know (names
// compared without regard to case, "/" and "\\" alike): a save over one
// loses those lines, so editors warn first.
bool WasKeyDroppedFromFile(const char* fileName);
void ForgetDroppedKeys();
