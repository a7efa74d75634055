#include "game/scripting/CSprite.h"

#include "blit/CBlitTypeList.h"
#include "foundation/MathHelpers.h"
#include "foundation/SaturatingArithmetic.h"
#include "game/scripting/CSpriteAI.h"
#include "game/scripting/ScriptingClassBody.h"
#include "game/scripting/ScriptingHooks.h"
#include "game/scripting/SpriteOverlap.h"
#include "images/CFrame.h"
#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CFloatProperty.h"
#include "objects/CListProperty.h"
#include "objects/CMessage.h"
#include "objects/CObjectProperty.h"
#include "objects/CPObjectProperty.h"
#include "objects/CPointProperty.h"
#include "render/CBlitXParams.h"
#include "render/CPointPath.h"
#include "render/CProxyFrame.h"
#include "render/CScaledOffsetProxyFrame.h"
#include "render/SurfaceHelpers.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "sequences/HueRemap.h"

#include <cassert>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>

namespace {

constexpr float kFullTurn = 6.2831854820251465f;
// The step every sprite update stands for.
constexpr float kStepSeconds = 1.0f / 60.0f;

// The editor shows a sprite's turn in degrees; files keep radians.
const CMultipleFormula<float>& RadiansAsDegrees()
{
    static const CMultipleFormula<float> formula(float(180.0 / 3.14159265358979323846));
    return formula;
}

CSprite* g_SpriteBeingUpdated = nullptr;
CWatchedSprites* g_InnermostWatchedSprites = nullptr;
CSprite* g_DraggedSprite = nullptr;
CFPoint g_DragOffset{0.0f, 0.0f};

float IntoFullTurn(float angle)
{
    if (angle < 0.0f)
        angle += kFullTurn;
    else if (angle >= kFullTurn)
        angle -= kFullTurn;
    return angle;
}

// Neither turned nor scaled, and near enough for whole-pixel arithmetic.
bool IsStraight(float angle, const CFPoint& scale, const CFPoint& position)
{
    return angle == 0.0f && scale.x == 1.0f && scale.y == 1.0f && std::fabs(position.x) < 1e9f
        && std::fabs(position.y) < 1e9f;
}

const CProperty* YSortProperty()
{
    static const CProperty* property
        = CSequence::SGetClassInfo()->GetDynamicPropertyList().FindByName("Y-Sort"); // "Image/Y-Sort" in files
    return property;
}

// The proxy through which a sprite's passes draw, so that (0, 0) is the
// sprite's position and drawing turns and scales with it.
void SetUpSpriteSpace(COffsetRotateScaleProxyFrame& proxy, CFrameInterface& destination, const CFPoint& position,
                      float angle, const CFPoint& scale)
{
    proxy.SetFrame(&destination);
    proxy.SetRotation(angle);
    proxy.SetScale(scale);
    proxy.SetOffset(position);
}

// The one-pixel frame the pixel hit test draws into.
CFrame& HitProbe()
{
    static std::unique_ptr<CFrame> probe = CFrame::MakeOwned(1, 1, 32);
    return *probe;
}

void DrawPlugIns(CSpritePlugInSimultaneous& block, void (CSpritePlugIn::*pass)(CPlugInDrawRecord&),
                 CFrameInterface& spriteSpace, CFrameInterface& destination)
{
    CPlugInDrawRecord record{&spriteSpace, &destination};
    (block.*pass)(record);
}

} // namespace

// --- CSprite ----------------------------------------------------------------

OMBRISALT_IMPLEMENT_CLASS(CSprite, 1.0)
void CSprite::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddEmbedded(&CSprite::m_PlugIns, "PlugIns").OmitWhenDefault();
    d.AddOwned(&CSprite::m_AI, "AI");
    d.AddListReference(&CSprite::m_ImageSequence, "Image Sequence", &GetSequenceList(), nullptr).DefaultWhenMissing();
    d.Add(&CSprite::m_Position, "Position", CFPoint{0.0f, 0.0f});
    d.Add(&CSprite::m_Angle, "Angle", 0.0f).Units("Rad").Formula(&RadiansAsDegrees(), "Degrees");
    d.Add(&CSprite::m_Scale, "Scale", CFPoint{1.0f, 1.0f});
    d.Add(&CSprite::m_Flags, "Flags", kSpriteVisible | kSpriteSolid);
    d.Add(&CSprite::m_RestartDone, "Has Restart From Begining Been Called", false);
}

CSprite::CSprite()
    : m_BlitType(&GetNormalBlitType())
{
    InitDeclaredProperties();
    m_PlugIns.SetSprite(this);
}

CSprite::~CSprite()
{
    ReleaseDraggedSpriteIfIs(this);
    if (g_SpriteBeingUpdated == this)
        g_SpriteBeingUpdated = nullptr;
    for (CWatchedSprites* list = g_InnermostWatchedSprites; list; list = list->m_Outer)
        list->Forget(this);
    // The chain is owned through "AI" and deleted with the properties.
    DestroyDeclaredProperties();
}

void CSprite::OnLoaded(CUntypedCObjectPointer* holder)
{
    CSprite::BaseClass::OnLoaded(holder);
    m_PlugIns.SetSprite(this);
}

bool CSprite::ReadExtraBinary(CObjectStream& stream)
{
    m_PlugIns.SetSprite(this);
    return CSprite::BaseClass::ReadExtraBinary(stream);
}

void CSprite::CopyFrom(CObject* other)
{
    CSprite::BaseClass::CopyFrom(other);
    m_PlugIns.SetSprite(this);
}

CSprite* CSprite::GetSpriteBeingUpdated()
{
    return g_SpriteBeingUpdated;
}

void CSprite::Update()
{
    if (!m_RestartDone) {
        m_RestartDone = true;
        m_PlugIns.SetSprite(this);
        CPlugInUpdateRecord restart;
        m_PlugIns.Restart(restart);
    }
    g_SpriteBeingUpdated = this;
    if (m_AI) {
        m_AI->SetSprite(this);
        CSpriteUpdateRecord record{this, kStepSeconds};
        m_AI->Update(record);
    }
    // The AI destroyed its sprite: nothing of it may be touched again.
    if (!g_SpriteBeingUpdated)
        return;
    if (!(m_Flags & kSpriteNoMotion)) {
        m_Velocity.x += m_Acceleration.x;
        m_Velocity.y += m_Acceleration.y;
        m_Position.x += m_Velocity.x;
        m_Position.y += m_Velocity.y;
    }
    if (!GetScriptingHooks().IsNeighborhoodViewerOpen()) {
        CPlugInUpdateRecord record{kStepSeconds, false};
        m_PlugIns.Update(record);
    }
    g_SpriteBeingUpdated = nullptr;
}

void CSprite::PreDraw(CFrameInterface& destination)
{
    DrawHookPass(destination, &CSpriteAI::PreDraw, &CSpritePlugIn::PreDraw);
}

void CSprite::DrawImage(CFrameInterface& destination)
{
    if (!(m_Flags & kSpriteVisible))
        return;
    const bool straight = IsStraight(m_Angle, m_Scale, m_Position);
    const bool hooks = HasDrawHooks();
    // Built only when something draws through it.
    std::optional<COffsetRotateScaleProxyFrame> proxy;
    if (!straight || hooks) {
        proxy.emplace();
        SetUpSpriteSpace(*proxy, destination, m_Position, m_Angle, m_Scale);
    }
    if (CFrame* frame = GetCurrentFrame()) {
        if (m_HueStyle != -1)
            frame = GetHueRemappedFrame(*frame, m_HueStyle);
        const bool opaqueWhite = m_Color.GetRed() == 255 && m_Color.GetGreen() == 255 && m_Color.GetBlue() == 255
            && m_Color.GetAlpha() == 255;
        CBlitType& blitType = m_BlitType ? *m_BlitType : GetNormalBlitType();
        if (straight) {
            // Unturned and unscaled: whole pixels, so the image is copied, not resampled.
            const int32_t x = RoundToIntHeld(m_Position.x), y = RoundToIntHeld(m_Position.y);
            if (opaqueWhite) {
                BlitAt(destination, *frame, x, y, blitType);
            } else {
                CBlitXParams params(frame, float(x), float(y), 0.0f, 1.0f, 1.0f, m_Color, 0, 0.0f, 0.0f, true);
                destination.Render(params);
            }
        } else if (opaqueWhite) {
            BlitAt(*proxy, *frame, 0, 0, blitType);
        } else {
            CBlitXParams params(frame, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, m_Color, 0, 0.0f, 0.0f, true);
            proxy->Render(params);
        }
    }
    if (!hooks)
        return;
    if (m_AI) {
        CSpriteDrawRecord record{this, &*proxy, &destination};
        m_AI->Draw(record);
    }
    DrawPlugIns(m_PlugIns, &CSpritePlugIn::Draw, *proxy, destination);
}

void CSprite::PostDraw(CFrameInterface& destination)
{
    DrawHookPass(destination, &CSpriteAI::PostDraw, &CSpritePlugIn::PostDraw);
}

void CSprite::DrawHookPass(CFrameInterface& destination, void (CSpriteAI::*aiPass)(CSpriteDrawRecord&),
                           void (CSpritePlugIn::*plugInPass)(CPlugInDrawRecord&))
{
    if (!(m_Flags & kSpriteVisible) || !HasDrawHooks())
        return;
    COffsetRotateScaleProxyFrame proxy;
    SetUpSpriteSpace(proxy, destination, m_Position, m_Angle, m_Scale);
    if (m_AI) {
        CSpriteDrawRecord record{this, &proxy, &destination};
        (m_AI->*aiPass)(record);
    }
    DrawPlugIns(m_PlugIns, plugInPass, proxy, destination);
}

bool CSprite::HasDrawHooks()
{
    return m_AI || m_PlugIns.GetChildCount() != 0;
}

void CSprite::DrawAllPasses(CFrameInterface& destination)
{
    PreDraw(destination);
    DrawImage(destination);
    PostDraw(destination);
}

void CSprite::DrawPlain(CFrameInterface& destination)
{
    if ((m_Flags & (kSpriteVisible | kSpriteNoPlainDraw)) != kSpriteVisible)
        return;
    if (CFrame* frame = GetCurrentFrame())
        BlitAt(destination, *frame, RoundToIntHeld(m_Position.x) + 10, RoundToIntHeld(m_Position.y) + 10,
               m_BlitType ? *m_BlitType : GetNormalBlitType());
    if (m_AI)
        m_AI->OnPlainDraw(this, destination);
}

void CSprite::NotifyAI(intptr_t value)
{
    if (m_AI)
        m_AI->OnNotify(this, value);
}

CFrame* CSprite::GetDrawnFrame()
{
    return (m_Flags & kSpriteVisible) ? GetCurrentFrame() : nullptr;
}

void CSprite::HandleMessage(CMessage& message)
{
    if (m_AI)
        m_AI->HandleMessage(message);
    m_PlugIns.HandleMessage(message);
}

void CSprite::FillMotionRecord(CSpriteMotionRecord& record)
{
    record.direction = {0.0f, 0.0f};
    record.velocity = m_Velocity;
    record.factors[0] = 1.0f;
    record.factors[1] = 0.0f;
    record.factors[2] = 0.0f;
    record.factors[3] = 0.1f;
}

void CSprite::CopyVelocity(CSprite* other)
{
    if (other)
        m_Velocity = other->m_Velocity;
}

void CSprite::ScaleAbout(float sx, float sy, const CFPoint& pivot, bool keepScale)
{
    if (!keepScale) {
        m_Scale.x *= sx;
        m_Scale.y *= sy;
        // A mirror is a turn the other way at a positive scale.
        if (m_Scale.x < 0.0f) {
            m_Scale.x = -m_Scale.x;
            m_Angle = IntoFullTurn(-m_Angle);
        }
        if (m_Scale.y < 0.0f) {
            m_Scale.y = -m_Scale.y;
            m_Angle = IntoFullTurn(-m_Angle);
        }
    }
    m_Position.x = (m_Position.x - pivot.x) * sx + pivot.x;
    m_Position.y = (m_Position.y - pivot.y) * sy + pivot.y;
}

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

bool CSprite::QueryAI(intptr_t a, intptr_t b)
{
    if (!(m_Flags & kSpriteSolid))
        return true;
    return m_AI && m_AI->Query(this, a, b);
}

void CSprite::GetBounds(CRect& out)
{
    out = {0, 0, 0, 0};
    if (CFrame* frame = GetCurrentFrame())
        frame->GetBounds(out);
    if (m_AI)
        m_AI->GetBounds(out);
}

CFPoint* CSprite::GetPositionRef()
{
    return &m_Position;
}

bool CSprite::IsNear(CSprite* other)
{
    if (!other || !IsAliveAndSolid() || !other->IsAliveAndSolid())
        return false;
    const CFPoint& a = m_Position;
    const CFPoint& b = other->m_Position;
    return a.x - 8.0f <= b.x + 16.0f && a.x + 8.0f >= b.x - 16.0f && a.y - 8.0f <= b.y + 9.0f
        && a.y + 8.0f >= b.y - 9.0f;
}

bool CSprite::OverlapsSprite(CSprite* other)
{
    if (!other || !IsAliveAndSolid() || !other->IsAliveAndSolid())
        return false;
    const uint32_t parts = other->GetPartCount();
    for (uint32_t i = 0; i < parts; ++i) {
        if (!other->PartHasFlags(i, kSpriteSolid))
            continue;
        CFrame* frame = other->GetPartFrame(i);
        if (!frame)
            continue;
        const CFPoint offset = other->GetPartOffset(i);
        if (OverlapsFrame(*frame, RoundToIntHeld(other->m_Position.x + offset.x),
                          RoundToIntHeld(other->m_Position.y + offset.y)))
            return true;
    }
    return false;
}

bool CSprite::OverlapsFrame(CFrame& frame, int32_t x, int32_t y)
{
    const uint32_t parts = GetPartCount();
    for (uint32_t i = 0; i < parts; ++i) {
        if (!PartHasFlags(i, kSpriteSolid))
            continue;
        CFrame* own = GetPartFrame(i);
        if (!own)
            continue;
        const CFPoint offset = GetPartOffset(i);
        const int32_t ownX = RoundToIntHeld(m_Position.x + offset.x), ownY = RoundToIntHeld(m_Position.y + offset.y);
        if (FramesOverlap(*own, ownX, ownY, frame, x, y))
            return true;
    }
    return false;
}

CPointPath* CSprite::GetHitArea()
{
    return m_AI ? m_AI->GetHitArea(this) : nullptr;
}

CFrame* CSprite::GetPartFrame(uint32_t)
{
    return GetCurrentFrame();
}

CFrame* CSprite::GetCurrentFrame()
{
    CSequence* sequence = GetImageSequence();
    if (!sequence || m_FrameIndex >= sequence->GetFrameCount())
        return nullptr;
    return sequence->GetFrame(m_FrameIndex);
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

void CSprite::SetVisible(bool visible)
{
    m_Flags = visible ? (m_Flags | kSpriteVisible) : (m_Flags & ~kSpriteVisible);
}

void CSprite::SetNoPlainDraw(bool noPlainDraw)
{
    m_Flags = noPlainDraw ? (m_Flags | kSpriteNoPlainDraw) : (m_Flags & ~kSpriteNoPlainDraw);
}

void CSprite::AddAI(CSpriteAI* ai)
{
    if (!ai)
        return;
    ai->SetSprite(this);
    if (!m_AI) {
        m_AI = ai;
    } else {
        CSpriteAI* last = m_AI;
        while (last->GetNextAI())
            last = last->GetNextAI();
        last->SetNextAI(ai);
    }
    ai->OnAddedToSprite(this);
}

CSpriteAI* CSprite::FindAI(const CClassInfo* info)
{
    for (CSpriteAI* ai = m_AI; ai; ai = ai->GetNextAI())
        if (ai->IsKindOf(info))
            return ai;
    return nullptr;
}

void CSprite::AddPlugIn(CSpritePlugIn* plugIn)
{
    if (!plugIn)
        return;
    m_PlugIns.AddPlugIn(plugIn);
    plugIn->SetSprite(this);
    CPlugInUpdateRecord restart;
    plugIn->Restart(restart);
}

void CSprite::RestartPlugIns()
{
    m_RestartDone = true;
    m_PlugIns.SetSprite(this);
    CPlugInUpdateRecord restart;
    m_PlugIns.Restart(restart);
}

CSequence* CSprite::GetImageSequence() const
{
    if (m_ImageSequence <= 0)
        return nullptr;
    CSequenceList& list = GetSequenceList();
    return m_ImageSequence < list.GetCount() ? list.GetObject(m_ImageSequence) : nullptr;
}

void CSprite::SetFramePosition(float position)
{
    m_FramePosition = position;
    // Below 0 (or not a number) there is no frame to round down to.
    m_FrameIndex = position >= 0.0f && position < 4294967296.0f ? uint32_t(position) : 0;
}

void CSprite::SetOpacity(float fraction)
{
    const float alpha = fraction * 255.0f;
    const uint8_t a = alpha >= 255.0f ? 255 : alpha > 0.0f ? uint8_t(std::nearbyintf(alpha)) : 0;
    m_Color.Set(m_Color.GetRed(), m_Color.GetGreen(), m_Color.GetBlue(), a);
}

void CSprite::MoveToward(const CFPoint& target, float step)
{
    float dx = target.x - m_Position.x;
    float dy = target.y - m_Position.y;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (length > step) {
        dx = dx / length * step;
        dy = dy / length * step;
    }
    m_Position.x += dx;
    m_Position.y += dy;
}

void CSprite::RotateAbout(float angle, const CFPoint& pivot, bool keepAngle)
{
    if (!keepAngle)
        m_Angle = IntoFullTurn(m_Angle + angle);
    const float x = m_Position.x - pivot.x;
    const float y = m_Position.y - pivot.y;
    const float c = std::cos(angle), s = std::sin(angle);
    m_Position.x = x * c - y * s + pivot.x;
    m_Position.y = x * s + y * c + pivot.y;
}

float CSprite::GetSortY() const
{
    CSequence* sequence = GetImageSequence();
    if (!sequence)
        return m_Position.y;
    const CProperty* ySort = YSortProperty();
    const void* value = ySort ? sequence->GetDynamicValue(ySort) : nullptr;
    return m_Position.y - (value ? *static_cast<const float*>(value) : 0.0f);
}

bool CSprite::HitTest(int32_t x, int32_t y)
{
    if (!(m_Flags & kSpriteVisible))
        return false;
    if (CPointPath* area = GetHitArea())
        return area->ContainsPoint(float(x) - m_Position.x, float(y) - m_Position.y);
    CFrame& probe = HitProbe();
    probe.Clear();
    COffsetClippedProxyFrame place(&probe);
    place.SetOffset(x, y);
    // Moved with held sums: a pick through a layer scaled to nothing comes
    // at the int32 maximum, where the pixel is empty and hits nothing.
    place.SetClipRect(MoveRect(SizeToRect(1, 1), x, y));
    DrawAllPasses(place);
    return probe.GetRawPixel(0, 0) != 0;
}

bool CSprite::HitTestFrames(int32_t x, int32_t y)
{
    // A sprite scaled to nothing covers no point.
    if (!(m_Flags & kSpriteVisible) || m_Scale.x == 0.0f || m_Scale.y == 0.0f)
        return false;
    // Into sprite space: about the position, turned back and unscaled.
    const float rx = float(x) - m_Position.x;
    const float ry = float(y) - m_Position.y;
    const float c = std::cos(-m_Angle), s = std::sin(-m_Angle);
    const float px = (rx * c - ry * s) / m_Scale.x + m_Position.x;
    const float py = (rx * s + ry * c) / m_Scale.y + m_Position.y;
    const uint32_t parts = GetPartCount();
    for (uint32_t i = 0; i < parts; ++i) {
        if (!PartHasFlags(i, kSpriteSolid))
            continue;
        CFrame* frame = GetPartFrame(i);
        if (!frame)
            continue;
        const CFPoint offset = GetPartOffset(i);
        if (frame->HitTest(RoundToIntHeld(px - (offset.x + m_Position.x)),
                           RoundToIntHeld(py - (offset.y + m_Position.y))))
            return true;
    }
    return false;
}

// --- CSpriteArray ------------------------------------------------------------

namespace {

// The array's storage is an array property's: blocks from ::operator new.
CSprite** Slots(const CSpriteArray& array)
{
    return static_cast<CSprite**>(array.data);
}

} // namespace

CSpriteArray::~CSpriteArray()
{
    while (count)
        delete Slots(*this)[--count];
    ::operator delete(data);
    data = nullptr;
    capacity = 0;
}

void CSpriteArray::Grow()
{
    const uint32_t grown = capacity ? capacity * 2 : 8;
    auto** fresh = static_cast<CSprite**>(::operator new(size_t(grown) * sizeof(CSprite*)));
    if (count)
        std::memcpy(fresh, data, count * sizeof(CSprite*));
    ::operator delete(data);
    data = fresh;
    capacity = grown;
}

void CSpriteArray::Add(CSprite* sprite)
{
    if (count == capacity)
        Grow();
    Slots(*this)[count++] = sprite;
}

void CSpriteArray::InsertAtFront(CSprite* sprite)
{
    if (count == capacity)
        Grow();
    CSprite** slots = Slots(*this);
    std::memmove(slots + 1, slots, count * sizeof(CSprite*));
    slots[0] = sprite;
    ++count;
}

bool CSpriteArray::Remove(CSprite* sprite)
{
    CSprite** slots = Slots(*this);
    for (uint32_t i = 0; i < count; ++i) {
        if (slots[i] == sprite) {
            std::memmove(slots + i, slots + i + 1, (count - i - 1) * sizeof(CSprite*));
            --count;
            return true;
        }
    }
    return false;
}

// --- CWatchedSprites ----------------------------------------------------------

CWatchedSprites::CWatchedSprites()
    : m_Outer(g_InnermostWatchedSprites)
{
    g_InnermostWatchedSprites = this;
}

CWatchedSprites::~CWatchedSprites()
{
    // Lists live on their holders' stacks, so they end innermost first.
    g_InnermostWatchedSprites = m_Outer;
}

void CWatchedSprites::Watch()
{
    m_MarkedBefore.assign(m_Sprites.GetCount(), false);
    for (uint32_t i = 0; i < m_Sprites.GetCount(); ++i)
        m_MarkedBefore[i] = m_Sprites[i] && m_Sprites[i]->IsMarkedForDeletion();
}

CSprite* CWatchedSprites::GetLive(uint32_t i) const
{
    CSprite* sprite = i < m_Sprites.GetCount() ? m_Sprites[i] : nullptr;
    if (!sprite)
        return nullptr;
    const bool markedBefore = i < m_MarkedBefore.size() && m_MarkedBefore[i];
    return sprite->IsMarkedForDeletion() && !markedBefore ? nullptr : sprite;
}

void CWatchedSprites::Forget(const CSprite* sprite)
{
    for (uint32_t i = 0; i < m_Sprites.GetCount(); ++i)
        if (m_Sprites[i] == sprite)
            m_Sprites[i] = nullptr;
}

// --- CSpriteArray -------------------------------------------------------------

CSprite* CSpriteArray::GetAt(uint32_t index) const
{
    assert(index < count);
    return Slots(*this)[index];
}

void CSpriteArray::Update()
{
    uint32_t i = 0;
    while (i < count) {
        CSprite* sprite = Slots(*this)[i];
        sprite->Update();
        if (i < count && Slots(*this)[i] == sprite) {
            ++i;
            continue;
        }
        // The array changed under the update: go on after the sprite's new place.
        if (i + 1 < count && Slots(*this)[i + 1] == sprite) {
            i += 2;
            continue;
        }
        uint32_t found = count;
        for (uint32_t j = 0; j < count; ++j) {
            if (Slots(*this)[j] == sprite) {
                found = j;
                break;
            }
        }
        // Gone: the sprite that followed it now stands at i.
        if (found < count)
            i = found + 1;
    }
    for (uint32_t j = count; j-- > 0;) {
        CSprite* sprite = Slots(*this)[j];
        if (!sprite->IsMarkedForDeletion())
            continue;
        CSprite** slots = Slots(*this);
        std::memmove(slots + j, slots + j + 1, (count - j - 1) * sizeof(CSprite*));
        --count;
        delete sprite;
    }
}

void CSpriteArray::Draw(CFrameInterface& destination)
{
    const bool editor = IsLevelEditorOpen();
    for (uint32_t i = count; i-- > 0;)
        Slots(*this)[i]->PreDraw(destination);
    for (uint32_t i = count; i-- > 0;) {
        CSprite* sprite = Slots(*this)[i];
        if (!editor || !GetScriptingHooks().DrawSpriteInEditor(*sprite, destination))
            sprite->DrawImage(destination);
    }
    for (uint32_t i = count; i-- > 0;)
        Slots(*this)[i]->PostDraw(destination);
}

void CSpriteArray::BroadcastMessage(CMessage& message)
{
    for (uint32_t i = 0; i < count; ++i)
        Slots(*this)[i]->HandleMessage(message);
}

// --- The held sprite -----------------------------------------------------------

void SetDraggedSprite(CSprite* sprite, const CFPoint& grabOffset)
{
    g_DraggedSprite = sprite;
    g_DragOffset = grabOffset;
}

void StartDraggingSprite(CSprite* sprite, int32_t mouseX, int32_t mouseY)
{
    if (!sprite) {
        ClearDraggedSprite();
        return;
    }
    const CFPoint& position = sprite->GetPosition();
    SetDraggedSprite(sprite, {position.x - float(mouseX), position.y - float(mouseY)});
}

CSprite* GetDraggedSprite()
{
    return g_DraggedSprite;
}

CSpriteAI* GetDraggedSpriteAI()
{
    return g_DraggedSprite ? g_DraggedSprite->GetAI() : nullptr;
}

void ReleaseDraggedSpriteIfIs(CSprite* sprite)
{
    if (sprite && g_DraggedSprite == sprite)
        ClearDraggedSprite();
}

void ClearDraggedSprite()
{
    g_DraggedSprite = nullptr;
    g_DragOffset = {0.0f, 0.0f};
}

void DrawDraggedSprite(CFrameInterface& destination, int32_t x, int32_t y)
{
    CSprite* sprite = g_DraggedSprite;
    if (!sprite)
        return;
    const CFPoint kept = sprite->GetPosition();
    sprite->SetPosition(float(SaturatingAdd(TruncateToInt32(g_DragOffset.x), x)),
                        float(SaturatingAdd(TruncateToInt32(g_DragOffset.y), y)));
    sprite->DrawImage(destination);
    sprite->SetPosition(kept.x, kept.y);
}
