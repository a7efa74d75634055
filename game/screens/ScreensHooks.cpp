#include "game/screens/ScreensHooks.h"

void InstallGameScreensHooks()
{
}
