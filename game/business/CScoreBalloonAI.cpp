#include "game/business/CScoreBalloonAI.h"

#include "game/scripting/CSprite.h"
#include "game/world/CGeneralObjects.h"
#include "objects/CFloatProperty.h"
#include "objects/CPObjectProperty.h"
#include "overlays/CFrameOverlay.h"
#include "render/COpacityProxyFrame.h"
#include "render/CProxyFrame.h"
#include "sequences/CTextSubstitutionList.h"

#include <algorithm>
#include <cmath>

namespace {

// Truncated toward zero and held where 200 minus it cannot overflow.
int32_t WholePixels(float value)
{
    if (!(value == value))
        return 0;
    return int32_t(std::clamp(std::trunc(double(value)), -1.0e9, 1.0e9));
}

} // namespace

OMBRISALT_IMPLEMENT_CLASS(CScoreBalloonAI, 1.0)

void CScoreBalloonAI::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CScoreBalloonAI;
    d.AddListReference<CDataReferenceProperty>(&C::m_Foo, "Foo", &GetFrameOverlayOptionsList(), nullptr);
    d.AddOwned(&C::m_pTextSubstitutionList, "Text Substitution List");
    d.Add(&C::m_TimeSinceCreate, "Time Since Create", 0.0f).Units("seconds");
    d.Add(&C::m_Duration, "Duration", 0.0f);
}

CScoreBalloonAI::CScoreBalloonAI()
{
    InitDeclaredProperties();
}

CScoreBalloonAI::CScoreBalloonAI(CSprite* sprite, CTextSubstitutionList* substitutions, int32_t overlay, float duration)
    : CScoreBalloonAI()
{
    m_Duration = duration;
    delete m_pTextSubstitutionList;
    m_pTextSubstitutionList = substitutions;
    m_Foo = overlay;
    m_TimeSinceCreate = 0.0f;
    if (sprite)
        sprite->AddAI(this);
}

CScoreBalloonAI::~CScoreBalloonAI()
{
    DestroyDeclaredProperties();
}

void CScoreBalloonAI::Update(CSpriteUpdateRecord& record)
{
    m_TimeSinceCreate += record.seconds;
    CSprite* sprite = record.sprite ? record.sprite : GetSprite();
    if (sprite && m_Duration <= m_TimeSinceCreate)
        sprite->MarkForDeletion();
}

float CScoreBalloonAI::GetOpacity() const
{
    const float remaining = m_Duration - m_TimeSinceCreate;
    return remaining < 1.0f ? remaining : 1.0f;
}

void CScoreBalloonAI::OnPostDraw(CSprite* sprite, CFrameInterface& destination)
{
    CFrameOverlayOptionsList& sets = GetFrameOverlayOptionsList();
    if (!sprite || m_Foo < 0 || m_Foo >= sets.GetCount())
        return;
    CFrameOverlayOptions* set = sets.GetObject(m_Foo);
    if (!set)
        return;
    const CFPoint& position = sprite->GetPosition();
    COpacityProxyFrame faded(&destination, GetOpacity());
    COffsetProxyFrame placed(&faded, 200 - WholePixels(position.x), 200 - WholePixels(position.y));
    CFrameOverlayDrawContext context;
    context.m_pTarget = &placed;
    context.m_pSubstitutions = m_pTextSubstitutionList;
    context.m_Time = m_TimeSinceCreate;
    set->Draw(context);
}
