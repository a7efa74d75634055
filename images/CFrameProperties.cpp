#include "images/CFrameProperties.h"

#include "images/CFrame.h"
#include "images/CFrameFilter.h"
#include "images/CFrameImageIO.h"
#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CPObjectProperty.h"
#include "objects/CSlotProperty.h"

OMBRISALT_IMPLEMENT_CLASS(CMipMapFrameProperty, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CMaxAlphaFrameProperty, 1.0)

void CMipMapFrameProperty::DeclareProperties(CPropertyDeclarer&) {}
void CMaxAlphaFrameProperty::DeclareProperties(CPropertyDeclarer&) {}

namespace {

template <typename T>
CSlotProperty<CTypedPObjectProperty<T>>& FrameSlot(const char* name)
{
    auto* made = new CSlotProperty<CTypedPObjectProperty<T>>(name, nullptr);
    made->SetSavedIn(SavedIn::Nowhere);
    made->AddAsDynamicProperty(CFrameInterface::SGetClassInfo(), DynamicKind::Optional);
    return *made;
}

auto& MipMapSlot()
{
    static auto& slot = FrameSlot<CMipMapFrameProperty>("Mip Map Levels");
    return slot;
}

auto& MaxAlphaSlot()
{
    static auto& slot = FrameSlot<CMaxAlphaFrameProperty>("Max Alpha");
    return slot;
}

} // namespace

void RegisterFramePropertyClasses()
{
    CMipMapFrameProperty::SGetClassInfo();
    CMaxAlphaFrameProperty::SGetClassInfo();
    MipMapSlot();
    MaxAlphaSlot();
}

CMipMapFrameProperty::CMipMapFrameProperty()
{
    InitDeclaredProperties();
}

CMipMapFrameProperty::~CMipMapFrameProperty()
{
    for (uint32_t k = kLevelCount; k-- > 0;)
        if (Owns(k))
            delete m_Levels[k];
    DestroyDeclaredProperties();
}

bool CMipMapFrameProperty::Owns(uint32_t k) const
{
    return m_Levels[k] && m_Levels[k] != m_Source && (k == 0 || m_Levels[k] != m_Levels[k - 1]);
}

CMipMapFrameProperty* CMipMapFrameProperty::SGet(CFrame& frame)
{
    auto& slot = MipMapSlot();
    CObject* value = slot.GetDynamicValue(&frame);
    if (!value) {
        auto* made = new CMipMapFrameProperty;
        slot.SetDynamicValue(&frame, made);
        made->m_Source = &frame;
        made->Build(frame);
        return made;
    }
    return dynamic_cast<CMipMapFrameProperty*>(value);
}

bool CMipMapFrameProperty::Build(CFrame& source)
{
    m_Source = &source;
    CFrame* previous = &source;
    for (uint32_t k = 0; k < kLevelCount; ++k) {
        auto* halved = new CFrame;
        if (HalveFrame(*halved, *previous)) {
            m_Levels[k] = halved;
        } else {
            delete halved;
            m_Levels[k] = previous;
        }
        previous = m_Levels[k];
    }
    // The source is only read: it belongs to its owner, who draws it at
    // full size whatever levels it has.
    CFrameFilter crop;
    crop.AddFilter(kFilterKindCropColor0);
    for (uint32_t k = 0; k < kLevelCount; ++k)
        if (Owns(k))
            crop.ApplyAll(*m_Levels[k]);
    return true;
}

CFrame* CMipMapFrameProperty::PickLevel(float& sx, float& sy)
{
    if (sx > 0.5f || sy > 0.5f || m_Levels[0] == m_Source)
        return m_Source;
    for (uint32_t k = 0; k < kLevelCount; ++k) {
        sx *= 2;
        sy *= 2;
        if (sx > 0.5f || sy > 0.5f)
            return m_Levels[k];
        if (k + 1 < kLevelCount && m_Levels[k + 1] == m_Levels[k])
            return m_Levels[k];
    }
    return m_Levels[kLevelCount - 1];
}

CMaxAlphaFrameProperty::CMaxAlphaFrameProperty()
{
    InitDeclaredProperties();
}

CMaxAlphaFrameProperty::~CMaxAlphaFrameProperty()
{
    DestroyDeclaredProperties();
}

CMaxAlphaFrameProperty* CMaxAlphaFrameProperty::SGet(CFrame& frame)
{
    auto& slot = MaxAlphaSlot();
    CObject* value = slot.GetDynamicValue(&frame);
    if (!value) {
        auto* made = new CMaxAlphaFrameProperty;
        slot.SetDynamicValue(&frame, made);
        made->Compute(frame);
        return made;
    }
    return dynamic_cast<CMaxAlphaFrameProperty*>(value);
}

bool CMaxAlphaFrameProperty::Compute(const CFrame& frame)
{
    if (frame.GetBitDepth() != 32 || frame.IsCompressed())
        return true;
    uint32_t highest = 0;
    for (uint32_t y = 0; y < frame.GetHeight(); ++y) {
        const uint8_t* row = frame.Row(y);
        for (uint32_t x = 0; x < frame.GetWidth(); ++x)
            highest = row[x * 4 + 3] > highest ? row[x * 4 + 3] : highest;
    }
    m_MaxAlpha = highest;
    return true;
}
