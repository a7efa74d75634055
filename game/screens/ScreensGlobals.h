#pragma once
// What the game screens share and set up at start-up, in one fixed order
// (RegisterGameScreensClasses calls RegisterGameScreensTexts): every text a
// screen shows is a registered localised string made here, before the
// localisation table loads, because a string first made after the load
// would stay English for the whole run.
#include "blit/CColor.h"
#include "foundation/CJString.h"

// Red, green and blue 0, alpha 255: what the screens that black out the
// playfield fill with.
CColor& GetOpaqueBlack();

// The text of a circular execution.
const CJString& GetCircularExecutionText();

// Registers the screens' texts, grouped by screen, then those no screen
// shows yet. Called again it registers nothing more.
void RegisterGameScreensTexts();

// Each screen's own texts, made by its file.
void RegisterTownMapTexts();
void RegisterLifeRewardsTexts();
void RegisterMainMenuTexts();
void RegisterProfileTexts();
void RegisterStoryTexts();
void RegisterTrophyRoomTexts();
void RegisterCreditsTexts();
