#pragma once
// The HUD: the "HUD" layer of a level's playfield. It draws the period's
// gameplay overlay set (money, goals, crews, with the period's backdrop put
// into its "PeriodBackdrop" overlay for the draw), the current tip, the
// illegal-move notice and the menu button set. A press on the menu button is
// its alone, taken before any layer sees it; movements over the button and
// presses on the backdrop it marks handled for the layers below it. The
// layer's own sprites are neither updated, drawn nor told anything.
//
// The menu button is a real control built once from the "Menu" overlay of
// the rules' menu-button set; it is never put in the window tree: the HUD
// only uses its rectangle. A set without "Menu" gives no button, a gameplay
// set without "PeriodBackdrop" no backdrop swap, and a data set without
// "Rules" neither set.
#include "foundation/CPoint.h"
#include "game/world/CPlayfield.h"

#include <cstdint>

class CFrameInterface;
class CFrameOverlayOptions;
class CJButton;

class CHUD : public CPlayfieldLayer {
    OMBRISALT_REFLECTED(CHUD, CPlayfieldLayer)
public:
    CHUD();
    ~CHUD() override;

    void Update(float seconds) override;
    void Draw(CFrameInterface& frame) override;
    void HandleMessage(CMessage& message) override;

    // Whether the drawn gameplay set covers the point: one pixel drawn and
    // tested, true unless its four channels are all 0.
    bool HitsPeriodBackdrop(int32_t x, int32_t y);
    // A press or release on the menu button: opens the pause menu and marks
    // the message handled; false for any other message or point.
    bool TakeMenuPress(CMessage& message);
    bool ShouldShowTip();
    void DrawTip(CFrameInterface& frame);

    // Null when the data had no "Menu" button.
    CJButton* GetMenuControl() const { return m_pMenuControl; }
    bool IsHovering() const { return m_bHovering; }

private:
    bool IsOverMenu(CPoint point) const;

    CJButton* m_pMenuControl = nullptr; // owned
    bool m_bHovering = false;
};

// The gameplay screen's set that the rules pick for the game state; null
// without rules or set.
CFrameOverlayOptions* GetGameplayOverlayOptions();

// The position a designer gives a HUD element.
class CHudPosition : public CObject {
    OMBRISALT_REFLECTED(CHudPosition, CObject)
public:
    CHudPosition();
    ~CHudPosition() override;

    CPoint m_Position{0, 0};
};

class CHudOptions : public CObject {
    OMBRISALT_REFLECTED(CHudOptions, CObject)
public:
    CHudOptions();
    ~CHudOptions() override;
};
