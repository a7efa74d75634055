#include "game/scripting/CSpriteAI.h"

#include "foundation/CCommand.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/ScriptingClassBody.h"
#include "objects/CMessage.h"

OMBRISALT_IMPLEMENT_ABSTRACT_CLASS(CSpriteAI, 1.0)
void CSpriteAI::DeclareProperties(CPropertyDeclarer&) {}

CSpriteAI::CSpriteAI()
{
    InitDeclaredProperties();
}

CSpriteAI::~CSpriteAI()
{
    delete m_Next;
    DestroyDeclaredProperties();
}

void CSpriteAI::PreDraw(CSpriteDrawRecord&) {}
void CSpriteAI::Draw(CSpriteDrawRecord&) {}
void CSpriteAI::PostDraw(CSpriteDrawRecord&) {}
bool CSpriteAI::Query(CSprite*, intptr_t, intptr_t)
{
    return false;
}
void CSpriteAI::HandleMessage(CMessage&) {}
CPointPath* CSpriteAI::GetHitArea(CSprite*)
{
    return nullptr;
}
void CSpriteAI::UpdateNextAI(CSpriteUpdateRecord&) {}

OMBRISALT_SCRIPTING_CLASS(CSpriteAIPlayAnimationOnce, 1.0)
void CSpriteAIPlayAnimationOnce::DeclareProperties(CPropertyDeclarer&) {}
void CSpriteAIPlayAnimationOnce::Update(CSpriteUpdateRecord&) {}

CSpriteAIFlyToPoint::CSpriteAIFlyToPoint(float x, float y, float speed, CCommand* command)
    : m_TargetX(x)
    , m_TargetY(y)
    , m_SpeedPerStep(speed / 60.0f)
    , m_Command(command)
{
}

CSpriteAIFlyToPoint::~CSpriteAIFlyToPoint()
{
    delete m_Command;
}

void CSpriteAIFlyToPoint::Update(CSpriteUpdateRecord&) {}
