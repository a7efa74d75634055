#include "game/scripting/CSprite.h"

#include "game/scripting/CSpriteAI.h"
#include "game/scripting/ScriptingClassBody.h"

OMBRISALT_SCRIPTING_CLASS(CSprite, 1.0)
void CSprite::DeclareProperties(CPropertyDeclarer&) {}

void CSprite::DrawImage(CFrameInterface&) {}
void CSprite::PreDraw(CFrameInterface&) {}
void CSprite::PostDraw(CFrameInterface&) {}
void CSprite::DrawAllPasses(CFrameInterface&) {}
void CSprite::DrawPlain(CFrameInterface&) {}
void CSprite::NotifyAI(intptr_t) {}
CFrame* CSprite::GetDrawnFrame()
{
    return nullptr;
}
void CSprite::Update() {}
void CSprite::HandleMessage(CMessage&) {}
void CSprite::FillMotionRecord(CSpriteMotionRecord&) {}
void CSprite::CopyVelocity(CSprite*) {}
void CSprite::ScaleAbout(float, float, const CFPoint&, bool) {}
void CSprite::SetScale(const CFPoint& scale)
{
    m_Scale = scale;
}
void CSprite::SetUniformScale(float scale)
{
    m_Scale = {scale, scale};
}
CFPoint CSprite::GetScale()
{
    return m_Scale;
}
bool CSprite::QueryAI(intptr_t, intptr_t)
{
    return false;
}
void CSprite::GetBounds(CRect& out)
{
    out = {};
}
CFPoint* CSprite::GetPositionRef()
{
    return &m_Position;
}
bool CSprite::IsNear(CSprite*)
{
    return false;
}
bool CSprite::OverlapsSprite(CSprite*)
{
    return false;
}
CPointPath* CSprite::GetHitArea()
{
    return nullptr;
}
CFrame* CSprite::GetPartFrame(uint32_t)
{
    return nullptr;
}
CFrame* CSprite::GetCurrentFrame()
{
    return nullptr;
}
uint32_t CSprite::GetPartCount()
{
    return 1;
}
CFPoint CSprite::GetPartOffset(uint32_t)
{
    return {0.0f, 0.0f};
}
bool CSprite::PartHasFlags(uint32_t, uint32_t mask)
{
    return (m_Flags & mask) == mask;
}
void CSprite::SetVisible(bool) {}
void CSprite::SetNoPlainDraw(bool) {}
void CSprite::AddAI(CSpriteAI*) {}
CSpriteAI* CSprite::FindAI(const CClassInfo*)
{
    return nullptr;
}
void CSprite::AddPlugIn(CSpritePlugIn*) {}
void CSprite::RestartPlugIns() {}
CSequence* CSprite::GetImageSequence() const
{
    return nullptr;
}
void CSprite::SetFramePosition(float) {}
void CSprite::SetOpacity(float) {}
void CSprite::MoveToward(const CFPoint&, float) {}
void CSprite::RotateAbout(float, const CFPoint&, bool) {}
float CSprite::GetSortY() const
{
    return m_Position.y;
}
bool CSprite::HitTest(float, float)
{
    return false;
}
bool CSprite::HitTestFrames(float, float)
{
    return false;
}
bool CSprite::OverlapsFrame(CFrame&, int32_t, int32_t)
{
    return false;
}
CSprite* CSprite::GetSpriteBeingUpdated()
{
    return nullptr;
}

CSpriteArray::~CSpriteArray() {}
void CSpriteArray::Add(CSprite*) {}
void CSpriteArray::InsertAtFront(CSprite*) {}
bool CSpriteArray::Remove(CSprite*)
{
    return false;
}
CSprite* CSpriteArray::GetAt(uint32_t index) const
{
    return (*this)[index];
}
void CSpriteArray::Update() {}
void CSpriteArray::Draw(CFrameInterface&) {}
void CSpriteArray::BroadcastMessage(CMessage&) {}
void CSpriteArray::Grow() {}

void SetDraggedSprite(CSprite*, const CFPoint&) {}
void StartDraggingSprite(CSprite*, int32_t, int32_t) {}
CSprite* GetDraggedSprite()
{
    return nullptr;
}
CSpriteAI* GetDraggedSpriteAI()
{
    return nullptr;
}
void ReleaseDraggedSpriteIfIs(CSprite*) {}
void ClearDraggedSprite() {}
void DrawDraggedSprite(CFrameInterface&, int32_t, int32_t) {}
