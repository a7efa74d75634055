#include "objects/CDynamicPropertyRegistry.h"

#include "objects/CClassInfo.h"
#include "objects/CObject.h"
#include "objects/CProperty.h"

#include <algorithm>
#include <cstring>

CDynamicPropertyRegistry::~CDynamicPropertyRegistry()
{
    if (m_Owns) {
        for (uint32_t i = 0; i < m_Count; ++i)
            delete m_Entries[i].property;
    }
    if (m_Entries)
        PoolFree(m_Entries, sizeof(Entry) * m_Capacity);
}

CDynamicPropertyRegistry& CDynamicPropertyRegistry::SGetGlobal()
{
    static CDynamicPropertyRegistry global(Ownership::Owned);
    return global;
}

const char* CDynamicPropertyRegistry::GetItemName(int32_t i)
{
    return i >= 0 && uint32_t(i) < m_Count ? m_Entries[i].property->GetName() : "";
}

CJString CDynamicPropertyRegistry::GetItemNameString(int32_t i)
{
    return CJString(GetItemName(i));
}

int32_t CDynamicPropertyRegistry::IndexOf(const CProperty* property) const
{
    for (uint32_t i = 0; i < m_Count; ++i) {
        if (m_Entries[i].property == property)
            return int32_t(i);
    }
    return -1;
}

void CDynamicPropertyRegistry::Add(CProperty* property, DynamicKind kind)
{
    if (!property || IndexOf(property) >= 0)
        return;
    if (m_Count == m_Capacity) {
        const uint32_t capacity = std::max(m_Count + 1, 2 * m_Capacity);
        auto* grown = static_cast<Entry*>(PoolAllocate(sizeof(Entry) * capacity));
        if (m_Count)
            std::memcpy(grown, m_Entries, sizeof(Entry) * m_Count);
        if (m_Entries)
            PoolFree(m_Entries, sizeof(Entry) * m_Capacity);
        m_Entries = grown;
        m_Capacity = capacity;
    }
    m_Entries[m_Count++] = Entry{property, kind};
    std::stable_sort(m_Entries, m_Entries + m_Count, [](const Entry& a, const Entry& b) {
        return CompareNameNoCase(a.property->GetName(), b.property->GetName()) < 0;
    });
    SetSorted(true);
    if (!m_Owns)
        SGetGlobal().Add(property, kind);
}

CProperty* CDynamicPropertyRegistry::FindByName(const char* name) const
{
    int32_t low = 0;
    int32_t high = int32_t(m_Count) - 1;
    while (low <= high) {
        const int32_t middle = (low + high) / 2;
        const int order = CompareNameNoCase(m_Entries[middle].property->GetName(), name);
        if (order == 0)
            return m_Entries[middle].property;
        if (order < 0)
            low = middle + 1;
        else
            high = middle - 1;
    }
    for (uint32_t i = 0; i < m_Count; ++i) {
        const char* alternate = m_Entries[i].property->GetAlternateName();
        if (alternate[0] && CompareNameNoCase(alternate, name) == 0)
            return m_Entries[i].property;
    }
    return nullptr;
}

CProperty* CDynamicPropertyRegistry::FindByName(const CJString& name) const
{
    if (name.IsWide()) {
        CJString narrow(name);
        narrow.ToNarrow();
        return FindByName(narrow.GetString());
    }
    return FindByName(name.GetString());
}

// --- Attaching ---

namespace {

void AttachToFamily(CClassInfo* info, CProperty* property, DynamicKind kind)
{
    info->GetDynamicPropertyList().Add(property, kind);
    for (CClassInfo* derived : info->GetDerivedClasses())
        AttachToFamily(derived, property, kind);
    for (CClassInfo* heir : info->GetDynamicHeirs())
        AttachToFamily(heir, property, kind);
}

} // namespace

void CProperty::AddAsDynamicProperty(CClassInfo* info, DynamicKind kind)
{
    SetIsDynamic(true);
    if (info)
        AttachToFamily(info, this, kind);
}

CAutoRegisterDynamicProperty::CAutoRegisterDynamicProperty(CClassInfo* info, CProperty* property, DynamicKind kind,
                                                           const char* description)
{
    property->AddAsDynamicProperty(info, kind);
    if (description)
        property->SetDescription(CJString(description));
}

void CClassInfo::InheritDynamicProperties()
{
    CClassInfo* from = m_Base ? m_Base : m_ObjectRoot;
    if (!from)
        return;
    CDynamicPropertyRegistry& base = from->GetDynamicPropertyList();
    for (int32_t i = 0; i < base.GetCount(); ++i)
        AttachToFamily(this, base.GetProperty(i), base.GetKind(i));
}
