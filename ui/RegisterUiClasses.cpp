#include "ui/RegisterUiClasses.h"

#include "shell/CGameBase.h"
#include "ui/CAlphaSkinData.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJScrollBar.h"
#include "ui/CScreenWindow.h"
#include "ui/CSkinBorder.h"
#include "ui/CSkinTheme.h"

void RegisterUiClasses()
{
    CSkinTheme::SGetClassInfo();
    CJWindowClassicTheme::SGetClassInfo();
    CJWindowAlphaTheme::SGetClassInfo();
    CSkinBorder::SGetClassInfo();
    CClassicSkinBorder::SGetClassInfo();
    CAlphaSkinBorder::SGetClassInfo();
    CSegmentedImageSkinBorder::SGetClassInfo();
    CAlphaSkinData::SGetClassInfo();
    // Installed once: a test may have put its own in since.
    [[maybe_unused]] static const bool hooksInstalled = [] {
        SetScreenWindowFactory(&MakeScreenWindow);
        InstallScrollBarFactory();
        return true;
    }();
}
