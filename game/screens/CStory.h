#pragma once
// The story: a short sequence of full-screen pages, each an overlay set,
// under one controls set holding the "Continue", "Skip", "Prev" and "Next"
// markers. Played, a page raises the current player's "Num Story Pages
// Viewed"; leafed through as a book, the player may move only between the
// first page and the furthest page reached. Played to its last page the
// story returns to the main menu and rolls the credits.
//
// Leaving by "Continue" runs the continuation, by "Skip" the skip command;
// a story closed or destroyed from outside runs neither.
#include "objects/CObject.h"
#include "objects/CPropertyArrayProperty.h"
#include "ui/CMenuWindow.h"

#include <cstdint>

class CCommand;
class CFrameOverlayOptions;
class CJButton;
class CTextSubstitutionList;

class CStoryOptions : public CObject {
    OMBRISALT_REFLECTED(CStoryOptions, CObject)
public:
    CStoryOptions();
    ~CStoryOptions() override;

    // The "Story Options" entry of the general objects; null when the data
    // has none.
    static CStoryOptions* SGetInstance();

    int32_t m_ControlsOverlay = 0;                   // frame overlay options list
    CPropertyArray<int32_t> m_StoryPageOverlayList; // one set per page
};

class CStoryWindow : public CMenuWindow {
public:
    // page: shown when the story holds it; continuation and skip: owned, may
    // be null (a skip command shows the "Skip" button).
    CStoryWindow(CJWindow* parent, uint32_t page, bool browsing, CCommand* continuation, CCommand* skip);
    ~CStoryWindow() override;

    void Update(float seconds) override;
    void Draw(CFrameInterface& frame) override;

    void Continue();
    void Skip();
    void PreviousPage();
    void NextPage();
    // Rebuilds the buttons for the page shown.
    void CreateControls();

    static constexpr uint32_t kNoPage = 0xFFFFFFFFu;
    uint32_t GetPage() const { return m_Page; }
    bool IsBrowsing() const { return m_Browsing; }
    float GetElapsedTime() const { return m_ElapsedTime; }
    // The pages the data holds.
    static uint32_t GetPageCount();
    // The values the page's sets are drawn with.
    void FillSubstitutions(CTextSubstitutionList& values) const;
    bool HasPrevButton() const;
    bool HasNextButton() const;
    // Null when the page shows no "Skip".
    CJButton* GetSkipButton() const { return m_Skip; }

private:
    CJButton* AddButton(CFrameOverlayOptions& controls, const char* id, CTextSubstitutionList& values,
                        void (CStoryWindow::*action)());

    bool m_Browsing;
    uint32_t m_Page = kNoPage;
    float m_ElapsedTime = 0.0f;
    CCommand* m_Continuation;
    CCommand* m_SkipCommand;
    CJButton* m_Skip = nullptr;
};

// The story window alive now; null when none is.
CStoryWindow* GetStoryWindow();
