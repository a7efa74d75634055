#include "blit/CBlitTypeList.h"

#include "blit/NamedBlitTypes.h"

namespace {

enum class Named : int32_t { TransparentMask = 0, BlackBias = 1, Normal = 4 };

} // namespace

CBlitTypeList::CBlitTypeList()
{
    // The order is the stored index of each type: never reorder.
    Add("Transparent Mask", std::make_unique<CBlitTrans>());
    Add("Blend Black Bias", std::make_unique<CBlitBlackBias>());
    Add("Blend Test Light", std::make_unique<CBlitBlackBias>());
    Add("Blit As Shadow", std::make_unique<CBlitAsShadow>());
    Add("Normal", std::make_unique<CBlitNormal>());
    Add("Blend Amplify Light", std::make_unique<CBlitAmplifyLight>(*m_Entries[1].type, *m_Entries[0].type));
    Add("Normal Scale", std::make_unique<CBlitNormalScale>());
}

CBlitTypeList& CBlitTypeList::SGetInstance()
{
    static CBlitTypeList list;
    return list;
}

const char* CBlitTypeList::GetItemName(int32_t i)
{
    return i >= 0 && i < GetCount() ? m_Entries[size_t(i)].name.GetString() : "";
}

CJString CBlitTypeList::GetItemNameString(int32_t i)
{
    return i >= 0 && i < GetCount() ? m_Entries[size_t(i)].name : CJString();
}

int32_t CBlitTypeList::Add(const char* name, std::unique_ptr<CBlitType> type)
{
    m_Entries.push_back({CJString(name), std::move(type)});
    return GetCount() - 1;
}

CBlitType* CBlitTypeList::GetBlitType(int32_t index) const
{
    return index >= 0 && size_t(index) < m_Entries.size() ? m_Entries[size_t(index)].type.get() : nullptr;
}

int32_t CBlitTypeList::FindValue(const CBlitType* type) const
{
    for (size_t i = 0; i < m_Entries.size(); ++i)
        if (m_Entries[i].type.get() == type)
            return int32_t(i);
    return -1;
}

CBlitType& GetTransparentMaskBlitType()
{
    return *CBlitTypeList::SGetInstance().GetBlitType(int32_t(Named::TransparentMask));
}

CBlitType& GetBlackBiasBlitType()
{
    return *CBlitTypeList::SGetInstance().GetBlitType(int32_t(Named::BlackBias));
}

CBlitType& GetNormalBlitType()
{
    return *CBlitTypeList::SGetInstance().GetBlitType(int32_t(Named::Normal));
}
