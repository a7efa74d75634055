#pragma once
// The trophy room: every trophy of the achievement list at the place the
// "Trophy Screen Overlay" set gives it, earned or not, with the text panel
// of the trophy under the mouse, the player's name and career earnings.
//
// Each trophy is a CAchievementFrameOverlayOverlay of that set. Drawn, it
// marks itself as the hovered trophy; the room reads the mark one frame
// later (the set is drawn after the texts it fills) and clears it.
#include "foundation/CPoint.h"
#include "overlays/CFrameOverlay.h"
#include "ui/CMenuWindow.h"

#include <cstdint>

class CAchievement;
class CCommand;
class CJButton;
class CPlayerStats;
class CTextSubstitutionList;

class CAchievementFrameOverlayOverlay : public CFrameOverlay {
    OMBRISALT_REFLECTED(CAchievementFrameOverlayOverlay, CFrameOverlay)
public:
    CAchievementFrameOverlayOverlay();
    ~CAchievementFrameOverlayOverlay() override;

    void Draw(CFrameOverlayDrawContext& context) override;
    void MoveBy(int32_t dx, int32_t dy) override;

    // Owned; runs when the left button is down over the trophy. The room
    // binds none.
    void SetCommand(CCommand* command);
    CCommand* GetCommand() const { return m_pCommand; }

    int32_t m_Achievement = 0; // achievement list entry
    CPoint m_Position{};

private:
    CCommand* m_pCommand = nullptr;
};

// The achievement index under the mouse at the last draw of a trophy; -1
// when none.
int32_t GetHoveredTrophy();
void SetHoveredTrophy(int32_t achievement);

class CTrophyRoomWindow : public CMenuWindow {
public:
    // Full screen over parent (which may be null: the caller then adds the
    // window or switches a menu to it). Counts as an open game screen while
    // it lives.
    explicit CTrophyRoomWindow(CJWindow* parent);
    ~CTrophyRoomWindow() override;

    void Update(float seconds) override;
    void Draw(CFrameInterface& frame) override;

    // The neighbourhood viewer of the level before the selected one when the
    // player kept scrap-book lots of it; else the message box saying there
    // is none.
    void OpenScrapbook();
    void Continue();
    // The "%s[Key]" values of one draw; takes the hovered trophy and clears
    // it. mouse: in the room's coordinates.
    void FillSubstitutions(CTextSubstitutionList& values, CPoint mouse);
    // The level whose scrap-book lots the button shows: "Selected Level"
    // minus one, 0 below that.
    static uint32_t GetScrapbookLevel(const CPlayerStats& player);

    float GetElapsedTime() const { return m_ElapsedTime; }
    CJButton* GetContinueButton() const { return m_ContinueButton; }
    CJButton* GetScrapbookButton() const { return m_ScrapbookButton; }

private:
    float m_ElapsedTime = 0.0f;
    CJButton* m_ContinueButton = nullptr;
    CJButton* m_ScrapbookButton = nullptr;
};

// The trophy room alive now; null when none is.
CTrophyRoomWindow* GetTrophyRoomWindow();

// Opens the trophy room. With a menu in the window tree, the room replaces
// it, centred (the "TrophyRoom" buttons of the map screen and of the "New
// Trophy Earned" menu); otherwise it joins the screen window. Returns the
// room.
CTrophyRoomWindow* OpenTrophyRoom(CMenuWindow* replacing);
