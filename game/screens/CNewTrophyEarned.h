#pragma once
// The "New Trophy Earned" menu: shown when a level ends with trophies
// waiting, one trophy at a time from the current player's history. "Done"
// steps to the next; after the last it closes and the game goes on with the
// command the menu holds. "Trophy Room" puts the trophy room in the menu's
// place and destroys the menu, which runs the command then: the game always
// goes on exactly once.
#include "ui/CMenuWindow.h"

class CCommand;
class CFrameOverlayOptions;
class CTextSubstitutionList;

class CNewTrophyEarnedMenu : public CMenuWindow {
public:
    // next: owned, may be null.
    CNewTrophyEarnedMenu(CJWindow* parent, CCommand* next);
    ~CNewTrophyEarnedMenu() override;

    void Update(float seconds) override;
    void Draw(CFrameInterface& frame) override;

    void Done();
    void OpenTrophyRoom();

    // The trophy's texts; nothing with none waiting.
    void FillSubstitutions(CTextSubstitutionList& values) const;
    float GetElapsedTime() const { return m_ElapsedTime; }
    bool HoldsCommand() const { return m_Next != nullptr; }

private:
    void RunNext();

    CCommand* m_Next;
    float m_ElapsedTime = 0.0f;
};

// The menu alive now; null when none is.
CNewTrophyEarnedMenu* GetNewTrophyEarnedMenu();
// The overlay set "New Trophy Earned"; null when the data has none.
CFrameOverlayOptions* FindNewTrophyEarnedOverlay();

// At a level's end: with trophies waiting, the just-earned sound and the
// menu over the screen, holding next; otherwise next runs at once. Takes
// next (may be null).
void AnnounceEarnedTrophies(CCommand* next);

// Ends the level until the results screens come: "LevelComplete" to the
// level and the playfield, the debug switches cleared, the trophies' end
// checks, then the announcement, after which the level starts again.
void CompleteLevelAndAnnounceTrophies();
