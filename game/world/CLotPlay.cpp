#include "game/world/CLot.h"

#include "foundation/CRect.h"

CLot::~CLot()
{
    DestroyDeclaredProperties();
}

void CLot::Update(CSpriteUpdateRecord& record)
{
    UpdateNextAI(record);
}

void CLot::Draw(CSpriteDrawRecord& record)
{
    CSpriteAI::Draw(record);
}

void CLot::GetBounds(CRect&)
{
}

bool CLot::ClickAssist()
{
    return false;
}

void CLot::PlayAssistEffect()
{
}

void CLot::ShowClickAssistCursor()
{
}

void CLot::ShowScoreBalloon(float)
{
}

bool CLot::CanUseUpgradeHere(CUpgrade*)
{
    return false;
}
