#include "game/world/CPowerUpText.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "foundation/MathHelpers.h"
#include "foundation/SaturatingArithmetic.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CPlayfield.h"
#include "images/CFont.h"
#include "images/CFontList.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CListProperty.h"
#include "objects/CStringProperty.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

uint32_t g_CreationCount = 0;

} // namespace

// --- Options ---

OMBRISALT_IMPLEMENT_CLASS(CPowerUpTextDisplayOptions, 0.0)

void CPowerUpTextDisplayOptions::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CPowerUpTextDisplayOptions;
    d.AddListReference(&C::m_FontToPrintWith, "Font To Print With", &GetFontList(), nullptr).DefaultWhenMissing();
    d.Add(&C::m_DisplayTime, "Display Time", 2.0f).Units("Seconds").Range(0.0f, 50.0f).SpinStep(0.1f);
    d.Add(&C::m_RemainOpaque, "Remain Opaque", 75.0f).Units("Percent").Range(0.0f, 100.0f).SpinStep(0.1f);
    d.Add(&C::m_Speed, "Speed", 10.0f).Units("Pixels Per Second").Range(0.0f, 1000.0f).SpinStep(1.0f);
    d.Add(&C::m_SpeedIncreasePerMultipleItems, "Speed Increase Per Multiple Items", 1.0f)
        .Range(0.0f, 100.0f)
        .SpinStep(0.1f);
    d.Add(&C::m_MaxHeightToDrawAt, "Max Height To Draw At", 600);
}

CPowerUpTextDisplayOptions::CPowerUpTextDisplayOptions()
{
    InitDeclaredProperties();
}

CPowerUpTextDisplayOptions::~CPowerUpTextDisplayOptions()
{
    DestroyDeclaredProperties();
}

CPowerUpTextDisplayOptions& CPowerUpTextDisplayOptions::SGetInstance()
{
    return GetGeneralObjectAs<CPowerUpTextDisplayOptions>("Power Up Text Display Options");
}

CFont* CPowerUpTextDisplayOptions::GetFont() const
{
    CFontList& fonts = GetFontList();
    if (m_FontToPrintWith <= 0 || m_FontToPrintWith >= fonts.GetCount())
        return nullptr;
    return fonts.GetObject(m_FontToPrintWith);
}

// --- The rising text ---

OMBRISALT_IMPLEMENT_CLASS(CPrintPowerUpTextAI, 1.0)

void CPrintPowerUpTextAI::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CPrintPowerUpTextAI;
    d.Add(&C::m_PowerUpName, "Power Up Name", "default");
    d.Add(&C::m_NumSecondsLeft, "Num Seconds Left", 0.0f);
    d.Add(&C::m_Creation, "Creation", 0u);
}

CPrintPowerUpTextAI::CPrintPowerUpTextAI()
{
    InitDeclaredProperties();
}

CPrintPowerUpTextAI::CPrintPowerUpTextAI(const CJString& name)
{
    InitDeclaredProperties();
    m_PowerUpName = name;
    m_Creation = ++g_CreationCount;
}

CPrintPowerUpTextAI::~CPrintPowerUpTextAI()
{
    DestroyDeclaredProperties();
}

uint32_t CPrintPowerUpTextAI::SGetCreationCount()
{
    return g_CreationCount;
}

CPowerUpTextDisplayOptions& CPrintPowerUpTextAI::Options() const
{
    return CPowerUpTextDisplayOptions::SGetInstance();
}

void CPrintPowerUpTextAI::OnAddedToSprite(CSprite* sprite)
{
    CPowerUpTextDisplayOptions& options = Options();
    if (sprite) {
        const CFPoint& at = sprite->GetPosition();
        const int32_t y = std::min(RoundToIntHeld(at.y), options.m_MaxHeightToDrawAt);
        sprite->SetPosition(float(RoundToIntHeld(at.x)), float(y));
    }
    m_NumSecondsLeft = options.m_DisplayTime;
}

void CPrintPowerUpTextAI::Update(CSpriteUpdateRecord& record)
{
    const uint32_t later = g_CreationCount - m_Creation;
    const float rate = float(later) * Options().m_SpeedIncreasePerMultipleItems + 1.0f;
    m_NumSecondsLeft -= rate * record.seconds;
    if (m_NumSecondsLeft < 0.0f && record.sprite)
        record.sprite->MarkForDeletion();
}

float CPrintPowerUpTextAI::GetOpacity() const
{
    const CPowerUpTextDisplayOptions& options = Options();
    const float fading = (1.0f - options.m_RemainOpaque / 100.0f) * options.m_DisplayTime;
    // No time to fade in (all of it opaque, or no display time): opaque
    // until deleted, where the division would give infinity or NaN.
    if (!(fading > 0.0f))
        return 1.0f;
    const float opacity = m_NumSecondsLeft / fading;
    return std::clamp(opacity, 0.0f, 1.0f);
}

void CPrintPowerUpTextAI::GetTextPosition(int32_t& x, int32_t& y) const
{
    const CPowerUpTextDisplayOptions& options = Options();
    CSprite* sprite = GetSprite();
    const CFPoint at = sprite ? sprite->GetPosition() : CFPoint{0.0f, 0.0f};
    const CFont* font = options.GetFont();
    const int32_t rise = TruncateToInt32((options.m_DisplayTime - m_NumSecondsLeft) * options.m_Speed);
    const int32_t top = SaturatingSub(std::min(options.m_MaxHeightToDrawAt, TruncateToInt32(at.y)), rise);
    y = SaturatingSub(top, font ? font->GetPointSize() : 0);
    x = RoundToIntHeld(at.x);
}

void CPrintPowerUpTextAI::Draw(CSpriteDrawRecord& record)
{
    CFont* font = Options().GetFont();
    if (font && record.destination) {
        int32_t x = 0, y = 0;
        GetTextPosition(x, y);
        // The font's blit type is the one text is drawn with; it is shared,
        // so the next caller finds the opacity it left.
        CBlitType& blitType = font->GetBlitType() ? *font->GetBlitType() : GetNormalBlitType();
        CScopedBlitOpacity fade(blitType, GetOpacity());
        font->DrawText(*record.destination, x, y, m_PowerUpName, TextAlign::Centre);
    }
    if (CSpriteAI* next = GetNextAI())
        next->Draw(record);
}

void SpawnPowerUpText(CFPoint position, const CJString& name)
{
    CPlayfield* playfield = GetCurrentPlayfield();
    if (!playfield)
        return;
    auto sprite = std::make_unique<CSprite>();
    sprite->AddAI(new CPrintPowerUpTextAI(name));
    sprite->SetPosition(position.x, position.y);
    CSequenceList& sequences = GetSequenceList();
    if (sequences.GetCount() > 0)
        if (CSequence* first = sequences.GetObject(0))
            sprite->SetBlitType(&first->GetBlitType());
    playfield->AddSprite(sprite.release(), "Effects");
}
