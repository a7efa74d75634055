#include "game/screens/CShop.h"

namespace {
ShopTutorialShower g_TutorialShower = nullptr;
} // namespace

CShopWindow* GetShopWindow()
{
    return nullptr;
}

CShopWindow* OpenShop()
{
    return nullptr;
}

ShopTutorialShower SetShopTutorialShower(ShopTutorialShower shower)
{
    ShopTutorialShower previous = g_TutorialShower;
    g_TutorialShower = shower;
    return previous;
}

void InstallShopScreen() {}
