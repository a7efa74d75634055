#include "game/world/CBuildablePackage.h"

#include "game/scripting/CAudio.h"
#include "game/world/CUpgrade.h"
#include "game/world/ListReferences.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "sound/CSoundDevice.h"
#include "sound/CSoundList.h"

OMBRISALT_IMPLEMENT_CLASS(CBuildablePackage, 1.0)

namespace {

void DeclareUpgradeArray(CPropertyDeclarer& d, CPropertyArray<int32_t> CBuildablePackage::*member, const char* name,
                         const char* elementName)
{
    auto declared = d.AddArray<CNoneableListProperty>(member, name, elementName, 0);
    static_cast<CListProperty*>(declared.Get().GetElementProperty())->SetList(&GetUpgradeList());
}

} // namespace

void CBuildablePackage::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CBuildablePackage;
    DeclareUpgradeArray(d, &C::m_Parts, "Parts List", "Part");
    DeclareUpgradeArray(d, &C::m_UnpaintedParts, "Unpainted Parts List", "Unpainted Part");
    d.AddListReference<CNoneableListProperty>(&C::m_BeingConstructed, "Being Constucted", &GetUpgradeList(), nullptr);
    d.Add(&C::m_ConstructionProgress, "Constuction Progress", 0.0f);
}

CBuildablePackage::CBuildablePackage()
{
    InitDeclaredProperties();
}

CBuildablePackage::~CBuildablePackage()
{
    ReleaseBuildingSound();
    DestroyDeclaredProperties();
}

void CBuildablePackage::ResetToDefaults()
{
    ReleaseBuildingSound();
    CObject::ResetToDefaults();
}

void CBuildablePackage::ReleaseBuildingSound()
{
    if (!m_BuildingSound)
        return;
    m_BuildingSound->Stop();
    m_BuildingSound.reset();
    if (CSoundList* sounds = GetAudioList().GetSoundList())
        sounds->DecrementCopyCount(m_BuildingSoundIndex);
    m_BuildingSoundIndex = 0;
}

void CBuildablePackage::SetBuildingSound(std::unique_ptr<CSound> sound, int32_t soundIndex)
{
    ReleaseBuildingSound();
    m_BuildingSound = std::move(sound);
    m_BuildingSoundIndex = m_BuildingSound ? soundIndex : 0;
}

bool CBuildablePackage::HasParts() const
{
    for (uint32_t i = 0; i < m_Parts.GetCount(); ++i)
        if (m_Parts[i] != 0)
            return true;
    return false;
}

bool CBuildablePackage::HasSamePartsAs(const CBuildablePackage* other) const
{
    if (!other || other->m_Parts.GetCount() != m_Parts.GetCount())
        return false;
    for (uint32_t i = 0; i < m_Parts.GetCount(); ++i)
        if (m_Parts[i] != other->m_Parts[i])
            return false;
    return true;
}

float CBuildablePackage::GetPartResaleValue(uint32_t phase) const
{
    if (phase >= m_Parts.GetCount())
        return 0.0f;
    auto* part = dynamic_cast<CBuildablePart*>(GetUpgradeByIndex(m_Parts[phase]));
    return part ? part->m_ResaleValue : 0.0f;
}

float CBuildablePackage::GetResaleValue() const
{
    float sum = 0.0f;
    for (uint32_t i = 0; i < m_Parts.GetCount(); ++i)
        sum += GetPartResaleValue(i);
    return sum;
}
