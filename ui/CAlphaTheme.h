#pragma once
// The alpha theme (all its values from its CAlphaSkinData), the list of
// theme files ("*.JWindowSkin", pointed by the application at
// "Resources/Interface/JWindowSkins") and the theme specifier, a parentless
// window that lends a named theme to the windows built under it.

#include "objects/CObjectFileArray.h"
#include "objects/CPObjectProperty.h"
#include "ui/CJWindow.h"
#include "ui/CSkinTheme.h"

class CAlphaSkinData;

class CJWindowAlphaTheme : public CSkinTheme {
    OMBRISALT_REFLECTED(CJWindowAlphaTheme, CSkinTheme)
public:
    CJWindowAlphaTheme();
    ~CJWindowAlphaTheme() override;

    // Font, text colour, colours 0 and 4, spacings and margin from the data.
    void SetUpWindow(CJWindow& window, CJWindow* parent) override;
    // The window border's background texture; null when none.
    CFrame* GetWindowSkinFrame(CJWindow& window) override;
    std::unique_ptr<CWindowSkin> CreateButtonSkin(CJWindow& window) override;
    std::unique_ptr<CWindowSkin> CreateStaticSkin(CJWindow& window) override;
    std::unique_ptr<CWindowSkin> CreateFrameWindowSkin(CJWindow& window) override;

    // The "Options" record; a file that empties it gets a default one.
    CAlphaSkinData& GetData();

    CAlphaSkinData* m_Options = nullptr;
};

class CSkinThemeList : public CObjectArrayBaseTemplate<CSkinTheme> {
public:
    CSkinThemeList()
        : CObjectArrayBaseTemplate<CSkinTheme>("JWindowSkin")
    {
    }
    // CSkinThemeBrowserItem.
    ImageBrowserItemFactory GetItemFactory() override;
};

// The process-wide theme list, made on first use.
CSkinThemeList& GetSkinThemeList();

class CThemeSpecifier : public CJWindow {
public:
    // A name the list lacks leaves the default theme.
    explicit CThemeSpecifier(const char* themeName);
};
