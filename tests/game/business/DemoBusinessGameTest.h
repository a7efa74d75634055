#pragma once
// The demo game, the building business with it, as the launcher starts it.
#include "../world/DemoGameTest.h"

class CDemoBusinessGameTest : public CDemoGameTest {};
