#pragma once
// What the screens keep by level number: tip N belongs to level index N, a
// decade transition names the 1-based level it comes before and a life
// reward the 1-based level it comes after. When the Level Sorter reorders
// "Levels" these follow their levels, and they are written when "Levels" is.
#include "foundation/CJString.h"

#include <cstdint>

class CObject;

void InsertLevelNumberedData(uint32_t at, uint32_t count);
// The removed level's tip goes; a transition before it now comes before the
// level that takes its number, a reward after it comes after the level
// before (the first level's stays on the first).
void RemoveLevelNumberedData(uint32_t at);
void SwapLevelNumberedData(uint32_t i, uint32_t j);
// The tip text as written (not its translation); empty past the end.
CJString GetLevelNumberedTip(uint32_t level);
// Gives the level its tip, adding empty ones up to it.
void SetLevelNumberedTip(uint32_t level, const CJString& text);
// Writes the objects changed above to their own files, inside the caller's
// replacement group; false with the file that could not be written. They
// stay marked changed until LevelNumberedDataSaved: the group may still fail.
// After levels moved, a card or reward file found in its folder that the
// program did not read refuses the save, named: it would not follow its level.
bool SaveLevelNumberedData(CJString& failedFile);
// The save callback of the objects above: one changed to follow a new order
// of "Levels" is refused on its own (its file would hold an order the levels
// file has not), and written with "Levels".
bool SaveLevelNumberedFileOnlyWithLevels(const CObject* object, bool& saved);
void LevelNumberedDataSaved();
// "Levels", the tips, a decade card or a life reward: what a level's number
// orders, written together.
bool IsOrderedByLevelNumbers(const CObject& object);
// Told of each object the program saved: one saved on its own (the object
// editor's) is as on disk since, for the next save with "Levels".
void LevelNumberedFileSaved(CObject* object);
// Keeps the tips, the level numbers of the cards and rewards and what waits
// to be written, and puts them back: a refused save leaves the game with
// what the files have.
void KeepLevelNumberedData();
void PutBackLevelNumberedData();
