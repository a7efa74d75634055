#include "sequences/CSequenceFrameInfoList.h"

#include "blit/CBlitTypeList.h"
#include "objects/CBoolProperty.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CListProperty.h"
#include "objects/CPObjectProperty.h"
#include "objects/CSlotProperty.h"

OMBRISALT_IMPLEMENT_CLASS(CFrameInfo, 3)
OMBRISALT_IMPLEMENT_CLASS(CSequenceFrameInfoList, 2)

void CFrameInfo::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CFrameInfo;
    d.Add(&C::m_Left, "Left", 0).OmitWhenDefault();
    d.Add(&C::m_Top, "Top", 0).OmitWhenDefault();
    d.Add(&C::m_Right, "Right", 0).OmitWhenDefault();
    d.Add(&C::m_Bottom, "Bottom", 0).OmitWhenDefault();
    d.Add(&C::m_UpperLeftXOffset, "UpperLeftXOffset", 0).OmitWhenDefault();
    d.Add(&C::m_UpperLeftYOffset, "UpperLeftYOffset", 0).OmitWhenDefault();
}

CFrameInfo::CFrameInfo()
{
    InitDeclaredProperties();
}

CFrameInfo::~CFrameInfo()
{
    DestroyDeclaredProperties();
}

void CSequenceFrameInfoList::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CSequenceFrameInfoList;
    d.AddArray<CTypedPObjectProperty<CFrameInfo>>(&C::m_ChildList, "Frame Infos", "Frame Info", nullptr);
    d.Add(&C::m_WasRLE, "WasRLE", false);
    d.Add(&C::m_Flags, "Flags", 0u);
    d.AddListReference(&C::m_BlitType, "Blit Type", &CBlitTypeList::SGetInstance(), nullptr);
    d.Add(&C::m_FPS, "FPS", 0.0f);
}

CSequenceFrameInfoList::CSequenceFrameInfoList()
{
    InitDeclaredProperties();
}

CSequenceFrameInfoList::~CSequenceFrameInfoList()
{
    DestroyDeclaredProperties();
}

void CSequenceFrameInfoList::ReadCustomProperties(const CJString& name, const CJString& value, CObjectStream&)
{
    if (name.Compare("BlitType") == 0)
        m_BlitType = value.ToInt();
}

void CSequenceFrameInfoList::Append(CFrameInfo* info)
{
    auto* array = static_cast<CPropertyArrayProperty*>(GetClassInfo()->FindProperty("Frame Infos"));
    const uint32_t count = m_ChildList.GetCount();
    array->ArrayProperty_SetCount(this, count + 1);
    m_ChildList[count] = info;
}
