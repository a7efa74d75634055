#pragma once
// The window toolkit in an overlay set. The window-look and button-look
// overlays only paint a skinned frame window or push button at a place. A button overlay is a real control: the
// screen that owns the set asks the set for it by ID (CreateButtonWindow),
// gets a new push button, check box or image check box built from the
// overlay's properties and adds it to its window tree. Inside a timeline the
// control is proxy-drawn: the tree routes input to it, the overlay draws it
// with the timeline's movement, scale, turn and fading, and it takes input
// only once no milestone is running. The overlay holds the control weakly:
// when the control dies the overlay stops drawing it.

#include "overlays/ImageOverlays.h"
#include "ui/CJButtonProxyDraw.h"

#include <array>
#include <cstdint>

class CJButton;

class CFrameOverlayJWindowOverlay : public CFrameOverlay {
    OMBRISALT_REFLECTED(CFrameOverlayJWindowOverlay, CFrameOverlay)
public:
    CFrameOverlayJWindowOverlay();
    ~CFrameOverlayJWindowOverlay() override;
    void Draw(CFrameOverlayDrawContext& context) override;
    void MoveBy(int32_t dx, int32_t dy) override;
    void GetDescription(CJString& out, const char* wordToRemove) override;

    int32_t m_SkinTheme = 0;
    CPoint m_Position{0, 0};
    CPoint m_Size{100, 100};
    bool m_bTransparentBackground = false;
    CTranslatedText m_Title;
    int32_t m_IconSequence = 0;
};

class CFrameOverlayJButtonOverlay : public CFrameOverlay {
    OMBRISALT_REFLECTED(CFrameOverlayJButtonOverlay, CFrameOverlay)
public:
    CFrameOverlayJButtonOverlay();
    ~CFrameOverlayJButtonOverlay() override;
    void Draw(CFrameOverlayDrawContext& context) override;
    void MoveBy(int32_t dx, int32_t dy) override;
    void GetDescription(CJString& out, const char* wordToRemove) override;

    int32_t m_SkinTheme = 0;
    CPoint m_Position{0, 0};
    CTranslatedText m_Title;
};

class CFrameOverlayButton : public CFrameOverlayPositionMarker {
    OMBRISALT_REFLECTED(CFrameOverlayButton, CFrameOverlayPositionMarker)
public:
    CFrameOverlayButton();
    ~CFrameOverlayButton() override;
    void Draw(CFrameOverlayDrawContext& context) override;

    // A new control (the caller's to add to a window tree); partner: the
    // radio ring a check box joins.
    virtual CJButton* CreateButtonWindow(CTextSubstitutionList* substitutions, CJButton* partner);
    // Drops the registration with the old control's mix-in, registers with
    // the new one (null: none).
    virtual void AttachProxyWindow(CJWindowControlProxyDrawMixIn* mixIn);
    CJWindowControlProxyDrawMixIn* GetProxyWindow() const { return m_ProxyWindow.Get(); }
    // The five picture rows, 0 for none.
    std::array<int32_t*, 5> Pictures()
    {
        return {&m_NormalImage, &m_HoverImage, &m_PressedImage, &m_CheckBoxCheckedImage, &m_CheckBoxUncheckedImage};
    }

    bool m_bSizeAutomatically = false;
    int32_t m_HotSpotJustification = 0;
    int32_t m_TextJustification = 1;
    int32_t m_SkinTheme = 0;
    int32_t m_NormalImage = 0;
    int32_t m_HoverImage = 0;
    int32_t m_PressedImage = 0;
    bool m_bDrawTitleAndImage = false;
    bool m_bGetPositionFromImages = false;
    bool m_bDrawHoverInBack = false;
    bool m_bIsAToggleableCheckBox = false;
    int32_t m_CheckBoxCheckedImage = 0;
    int32_t m_CheckBoxUncheckedImage = 0;
    CPoint m_MaximumSize{0, 0};
    float m_HoverScaleMultiplier = 0.0f;
    float m_HoverScaleAdjustTime = 0.1f;

private:
    // AsPlaced: proxy-drawn inside a timeline (and registered); Plain: never.
    enum class ControlKind { AsPlaced, Plain };
    CJButton* BuildControl(CTextSubstitutionList* substitutions, CJButton* partner, ControlKind kind);

    CProxyDrawPointer m_ProxyWindow;
};
