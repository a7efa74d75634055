#include "game/screens/ScreensGlobals.h"

#include "foundation/CLocalizedString.h"

#include <array>

namespace {

// Texts kept for translation that no screen shows yet, a question to beta
// testers among them.
void RegisterUnshownTexts()
{
    static const std::array<CLocalizedString, 10> texts{
        CLocalizedString("Select Fish"),
        CLocalizedString("Tested"),
        CLocalizedString("Errors"),
        CLocalizedString("Error"),
        CLocalizedString("You must enter a player name."),
        CLocalizedString("That name is already being used."),
        CLocalizedString("Name"),
        CLocalizedString("Ok"),
        CLocalizedString("Yes - First Time"),
        CLocalizedString("No - I Have Played Before"),
    };
    (void)texts;
}

} // namespace

CColor& GetOpaqueBlack()
{
    static CColor black(0, 0, 0, 255);
    return black;
}

const CJString& GetCircularExecutionText()
{
    static const CJString text("*ERROR* Circular execution detected!");
    return text;
}

void RegisterGameScreensTexts()
{
    RegisterTownMapTexts();
    RegisterLifeRewardsTexts();
    RegisterMainMenuTexts();
    RegisterProfileTexts();
    RegisterStoryTexts();
    RegisterTrophyRoomTexts();
    RegisterCreditsTexts();
    RegisterUnshownTexts();
    GetCircularExecutionText();
    GetOpaqueBlack();
}
