#pragma once
// Skin themes decide how windows look: every window's constructor hands the
// window to its theme (SetUpWindow), which sets the font and colours; the
// theme gives the window's background skin frame and makes the skin objects
// of buttons, static texts and frame windows. A window inherits its parent's
// theme; a window without one takes the process-wide classic theme.

#include "objects/CObject.h"

#include <memory>

class CFrame;
class CJWindow;
class CWindowSkin;

class CSkinTheme : public CObject {
    OMBRISALT_REFLECTED(CSkinTheme, CObject)
public:
    // parent: the window given to the constructor (may be null).
    virtual void SetUpWindow(CJWindow& window, CJWindow* parent) = 0;
    // The frame the window tiles as its skin; null = the shared textures.
    virtual CFrame* GetWindowSkinFrame(CJWindow& window);
    virtual std::unique_ptr<CWindowSkin> CreateButtonSkin(CJWindow& window) = 0;
    virtual std::unique_ptr<CWindowSkin> CreateStaticSkin(CJWindow& window) = 0;
    virtual std::unique_ptr<CWindowSkin> CreateFrameWindowSkin(CJWindow& window) = 0;
};

class CJWindowClassicTheme : public CSkinTheme {
    OMBRISALT_REFLECTED(CJWindowClassicTheme, CSkinTheme)
public:
    // With a parent, the window takes the parent's font.
    void SetUpWindow(CJWindow& window, CJWindow* parent) override;
    std::unique_ptr<CWindowSkin> CreateButtonSkin(CJWindow& window) override;
    std::unique_ptr<CWindowSkin> CreateStaticSkin(CJWindow& window) override;
    std::unique_ptr<CWindowSkin> CreateFrameWindowSkin(CJWindow& window) override;
};

// The process-wide classic theme, made on first use, gone at exit.
CSkinTheme* GetDefaultTheme();
