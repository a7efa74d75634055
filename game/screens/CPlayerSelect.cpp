#include "game/screens/CPlayerSelect.h"

#include "foundation/CCommand.h"

CNewPlayerDialog::CNewPlayerDialog(CJWindow* parent, const CJString& title, CPlayerStats*, CCommand* onSaved)
    : CMenuWindow(parent, title)
{
    delete onSaved;
}

CNewPlayerDialog::~CNewPlayerDialog() = default;

CChangePlayerWindow::CChangePlayerWindow(CJWindow* parent, CCommand* onDone)
    : CMenuWindow(parent, "Change Player")
{
    delete onDone;
}

CChangePlayerWindow::~CChangePlayerWindow() = default;

// Not built yet: callers get null and must cope.
CNewPlayerDialog* OpenNewPlayerDialog(CJWindow*, const CJString&, CPlayerStats*, CCommand* onSaved)
{
    delete onSaved;
    return nullptr;
}

CChangePlayerWindow* OpenChangePlayerWindow(CJWindow*, CCommand* onDone)
{
    delete onDone;
    return nullptr;
}
