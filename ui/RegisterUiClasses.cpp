#include "ui/RegisterUiClasses.h"

#include "shell/CGameBase.h"
#include "ui/CScreenWindow.h"
#include "ui/CSkinTheme.h"

void RegisterUiClasses()
{
    CSkinTheme::SGetClassInfo();
    CJWindowClassicTheme::SGetClassInfo();
    // Installed once: a test may have put its own in since.
    [[maybe_unused]] static const bool hooksInstalled = [] {
        SetScreenWindowFactory(&MakeScreenWindow);
        return true;
    }();
}
