#pragma once
// The skin objects a theme makes for frame windows, buttons and static
// texts: they draw the control's look (background, frame, title bar,
// pressed and hover states) and answer a few size questions. Classic skins
// use the shared window textures and bevels; alpha skins the borders and
// values of their theme's CAlphaSkinData.
//
// A skin reads the state it draws from its control through a small client
// interface (the frame-window and button classes implement it); a control
// without one is drawn in the default state.

#include "foundation/CRect.h"
#include "ui/CJWindowSkin.h"

#include <cstdint>

class CAlphaSkinData;
class CFont;
class CFrameInterface;
class CJWindow;
class CJWindowAlphaTheme;

// What a frame window's skin draws beyond the window's own fields.
struct SFrameWindowSkinState {
    bool hasCloseButton = false;
    CFrameInterface* icon = nullptr; // drawn by alpha skins beside the title
};

class CFrameWindowSkinClient {
public:
    virtual ~CFrameWindowSkinClient() = default;
    virtual const SFrameWindowSkinState& GetFrameWindowSkinState() const = 0;
};

// A button's state as its skin sees it.
struct SButtonSkinState {
    bool pushed = false;  // held down with the mouse over it
    bool latched = false; // stays down
    bool checked = false;
    bool hovered = false;
    CFrameInterface* normalImage = nullptr;
    CFrameInterface* pressedImage = nullptr;
    CFrameInterface* disabledImage = nullptr;
    CFrameInterface* overlayImage = nullptr;
    bool overlayBehind = false;  // the overlay is drawn under the images
    bool centreImage = false;    // images centred on the button, else at the border
    int32_t textAlignment = 1;   // 0 left, 1 centre, 2 right
    bool showTextWithImage = false;

    // Pushed with the mouse over it, latched or checked: the content moves
    // by one pixel right and down.
    bool IsPressed() const { return pushed || latched || checked; }
};

class CButtonSkinClient {
public:
    virtual ~CButtonSkinClient() = default;
    virtual const SButtonSkinState& GetButtonSkinState() const = 0;
};

class CFrameWindowSkin : public CWindowSkin {
public:
    explicit CFrameWindowSkin(CJWindow& window);
    // Before the children; content coordinates.
    virtual void DrawBack(CFrameInterface& frame) = 0;
    // After the children.
    virtual void DrawFront(CFrameInterface& frame) = 0;
    // The window's font.
    virtual CFont* GetTitleFont();
    // 0 for an empty title.
    virtual int32_t GetTitleBarHeight() = 0;
    // How far the frame is drawn above the window's rectangle.
    virtual int32_t GetReachAbove() { return 0; }

    CJWindow& GetWindow() const { return m_Window; }

protected:
    const SFrameWindowSkinState& State() const;

    CJWindow& m_Window;
};

class CButtonSkin : public CWindowSkin {
public:
    explicit CButtonSkin(CJWindow& button);
    virtual void DrawButton(CFrameInterface& frame) = 0;
    // Sizes the button to its title and border.
    virtual void SizeToContent() = 0;

    CJWindow& GetButton() const { return m_Button; }

protected:
    const SButtonSkinState& State() const;
    // Disabled image and dimmed drawing, pressed or normal image.
    void DrawImages(CFrameInterface& frame, bool dimmed, int32_t d);
    void DrawImage(CFrameInterface& frame, CFrameInterface& image, int32_t x, int32_t y);
    // The title at the alignment's x, moved by d, its top at y.
    void DrawText(CFrameInterface& frame, int32_t y, int32_t d);

    CJWindow& m_Button;
};

class CStaticTextSkin : public CWindowSkin {
public:
    explicit CStaticTextSkin(CJWindow& text)
        : m_Static(text)
    {
    }

protected:
    CJWindow& m_Static;
};

class CJWindowClassicFrameWindowSkin : public CFrameWindowSkin {
public:
    using CFrameWindowSkin::CFrameWindowSkin;
    void DrawBack(CFrameInterface& frame) override;
    void DrawFront(CFrameInterface&) override {}
    int32_t GetTitleBarHeight() override;
};

class CJWindowClassicButtonSkin : public CButtonSkin {
public:
    using CButtonSkin::CButtonSkin;
    void DrawButton(CFrameInterface& frame) override;
    void SizeToContent() override;
};

class CJWindowClassicStaticSkin : public CStaticTextSkin {
public:
    using CStaticTextSkin::CStaticTextSkin;
};

class CJWindowAlphaFrameWindowSkin : public CFrameWindowSkin {
public:
    CJWindowAlphaFrameWindowSkin(CJWindow& window, CJWindowAlphaTheme& theme);
    void DrawBack(CFrameInterface& frame) override;
    void DrawFront(CFrameInterface& frame) override;
    CFont* GetTitleFont() override;
    int32_t GetTitleBarHeight() override;
    int32_t GetReachAbove() override;

private:
    CJWindowAlphaTheme& m_Theme;
};

class CJWindowAlphaButtonSkin : public CButtonSkin {
public:
    // Clears the button's outline flag; its border becomes "Button/Space
    // Around Text" font units.
    CJWindowAlphaButtonSkin(CJWindow& button, CJWindowAlphaTheme& theme);
    void DrawButton(CFrameInterface& frame) override;
    void SizeToContent() override;
    // "Remove Button Border": no background from now on, and the button
    // (with its children) transparent.
    bool OnMessage(CMessage& message) override;

    bool DrawsNoBackground() const { return m_NoBackground; }

private:
    CJWindowAlphaTheme& m_Theme;
    bool m_NoBackground = false;
};

class CJWindowAlphaStaticTextSkin : public CStaticTextSkin {
public:
    // Gives the text the data's static-text font.
    CJWindowAlphaStaticTextSkin(CJWindow& text, CJWindowAlphaTheme& theme);

private:
    CJWindowAlphaTheme& m_Theme;
};
