#pragma once
// What the screens keep by level number: tip N belongs to level index N, and
// a decade transition names the 1-based level it comes before. When the
// Level Sorter reorders "Levels" these follow their levels, and they are
// written when "Levels" is.
#include <cstdint>

void InsertLevelNumberedData(uint32_t at, uint32_t count);
// The removed level's tip goes; a transition before it now comes before the
// level that takes its number.
void RemoveLevelNumberedData(uint32_t at);
void SwapLevelNumberedData(uint32_t i, uint32_t j);
// Saves the objects changed above to their own files; false when one could
// not be written (kept for the next try).
bool SaveLevelNumberedData();
