#include "game/world/CGameState.h"

OMBRISALT_IMPLEMENT_CLASS(CCrewState, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CGameState, 1.0)

void CCrewState::DeclareProperties(CPropertyDeclarer&) {}
CCrewState::CCrewState()
{
    InitDeclaredProperties();
}
CCrewState::~CCrewState()
{
    DestroyDeclaredProperties();
}

void CGameState::DeclareProperties(CPropertyDeclarer&) {}
CGameState::CGameState()
{
    InitDeclaredProperties();
}
CGameState::~CGameState()
{
    DestroyDeclaredProperties();
}
void CGameState::OnLoaded(CUntypedCObjectPointer*) {}
CGameState* CGameState::SGetCurrent()
{
    static CGameState state;
    return &state;
}
