#include "game/scripting/CSpriteAI.h"

#include "foundation/CCommand.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/ScriptingClassBody.h"
#include "objects/CFloatProperty.h"
#include "objects/CListProperty.h"
#include "objects/CMessage.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"

#include <algorithm>
#include <cmath>

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

void CSpriteAI::PreDraw(CSpriteDrawRecord& record)
{
    OnPreDraw(record.sprite, *record.destination);
    if (m_Next)
        m_Next->PreDraw(record);
}

void CSpriteAI::Draw(CSpriteDrawRecord& record)
{
    OnDraw(record.sprite, *record.destination);
    if (m_Next)
        m_Next->Draw(record);
}

void CSpriteAI::PostDraw(CSpriteDrawRecord& record)
{
    OnPostDraw(record.sprite, *record.destination);
    if (m_Next)
        m_Next->PostDraw(record);
}

bool CSpriteAI::Query(CSprite* sprite, intptr_t a, intptr_t b)
{
    return m_Next && m_Next->Query(sprite, a, b);
}

void CSpriteAI::HandleMessage(CMessage& message)
{
    if (m_Next)
        m_Next->HandleMessage(message);
}

CPointPath* CSpriteAI::GetHitArea(CSprite* sprite)
{
    return m_Next ? m_Next->GetHitArea(sprite) : nullptr;
}

void CSpriteAI::UpdateNextAI(CSpriteUpdateRecord& record)
{
    if (m_Next)
        m_Next->Update(record);
}

// --- Play an animation once ---

OMBRISALT_SCRIPTING_CLASS(CSpriteAIPlayAnimationOnce, 1.0)
void CSpriteAIPlayAnimationOnce::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CSpriteAIPlayAnimationOnce::m_FadeFraction, "Fraction Of Life Spent Fading Out", 0.0f);
    d.AddListReference(&CSpriteAIPlayAnimationOnce::m_Sequence, "Sequence", &GetSequenceList(), nullptr)
        .DefaultWhenMissing();
    d.Add(&CSpriteAIPlayAnimationOnce::m_SecondsToPlay, "Seconds To Play", 0.0f);
}

void CSpriteAIPlayAnimationOnce::Update(CSpriteUpdateRecord& record)
{
    CSprite* sprite = record.sprite;
    if (!sprite || m_Sequence <= 0)
        return;
    if (sprite->GetImageSequenceIndex() == 0)
        sprite->SetImageSequence(uint32_t(m_Sequence));
    if (CSequence* sequence = sprite->GetImageSequence()) {
        const float count = float(sequence->GetFrameCount());
        float rate = sequence->GetFramesPerSecond();
        if (m_SecondsToPlay > 0.0f)
            rate = count / m_SecondsToPlay;
        const float f = std::clamp(sprite->GetFramePosition() + record.seconds * rate, 0.0f, count);
        sprite->SetFramePosition(f);
        if (f >= count)
            sprite->MarkForDeletion();
        // Fades over the last fraction of the play, from opaque to clear.
        if (m_FadeFraction > 0.0f && count > 0.0f) {
            const float left = 1.0f - f / count;
            if (left < m_FadeFraction)
                sprite->SetOpacity(std::clamp(left / m_FadeFraction, 0.0f, 1.0f));
        }
    }
    UpdateNextAI(record);
}

// --- Fly to a point ---

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

void CSpriteAIFlyToPoint::Update(CSpriteUpdateRecord& record)
{
    UpdateNextAI(record);
    CSprite* sprite = record.sprite;
    if (!sprite)
        return;
    const CFPoint position = sprite->GetPosition();
    const float dx = m_TargetX - position.x;
    const float dy = m_TargetY - position.y;
    const float length = std::sqrt(dx * dx + dy * dy);
    const bool arrived = !(m_SpeedPerStep < length);
    if (!arrived) {
        sprite->SetPosition(position.x + dx / length * m_SpeedPerStep, position.y + dy / length * m_SpeedPerStep);
    } else {
        sprite->SetPosition(m_TargetX, m_TargetY);
        sprite->MarkForDeletion();
    }
    if (m_AnimationSequence != 0) {
        if (sprite->GetImageSequenceIndex() == 0)
            sprite->SetImageSequence(m_AnimationSequence);
        if (CSequence* sequence = sprite->GetImageSequence()) {
            const float count = float(sequence->GetFrameCount());
            const float f
                = std::clamp(sprite->GetFramePosition() + record.seconds * sequence->GetFramesPerSecond(), 0.0f, count);
            sprite->SetFramePosition(f >= count ? 0.0f : f);
        }
    }
    // Last: the command may end the sprite, and this AI with it.
    if (arrived && m_Command)
        m_Command->Execute();
}
