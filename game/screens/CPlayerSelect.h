#pragma once
// The profile windows: "Change Player" lists the profiles of the running
// channel with a summary of each career and selects, edits or deletes one;
// the new-player dialog creates a profile or edits one ("New Player" /
// "Edit Player"). Only Save writes "Stats.dat".
#include "ui/CMenuWindow.h"

class CCommand;
class CPlayerStats;

class CNewPlayerDialog : public CMenuWindow {
public:
    // A null profile makes a fresh one owned by the dialog until Save hands
    // it to the profiles; the completion command runs after a good Save and
    // is owned either way.
    CNewPlayerDialog(CJWindow* parent, const CJString& title, CPlayerStats* profile, CCommand* onSaved);
    ~CNewPlayerDialog() override;
};

class CChangePlayerWindow : public CMenuWindow {
public:
    // The completion command runs once a profile was selected or created.
    CChangePlayerWindow(CJWindow* parent, CCommand* onDone);
    ~CChangePlayerWindow() override;
};

// Opens the dialog modal and centred over parent (the game's screen window
// when null); null when none could be made. The dialog owns onSaved.
CNewPlayerDialog* OpenNewPlayerDialog(CJWindow* parent, const CJString& title, CPlayerStats* profile,
                                      CCommand* onSaved);
// Opens "Change Player" modal and centred over parent (the game's screen
// window when null); null when none could be made. The window owns onDone.
CChangePlayerWindow* OpenChangePlayerWindow(CJWindow* parent, CCommand* onDone);
