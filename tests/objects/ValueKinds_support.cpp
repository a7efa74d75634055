#include "ValueKinds.h"

OMBRISALT_IMPLEMENT_CLASS(CValueKindsHolder, 1)

void CValueKindsHolder::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CValueKindsHolder::m_Name, "Name", "");
    d.Add(&CValueKindsHolder::m_Title, "Title", "");
    d.Add(&CValueKindsHolder::m_Spot, "Spot", CPoint{0, 0});
    d.Add(&CValueKindsHolder::m_Place, "Place", CFPoint{0, 0});
}

CValueKindsHolder::CValueKindsHolder() { InitDeclaredProperties(); }
CValueKindsHolder::~CValueKindsHolder() { DestroyDeclaredProperties(); }

CProperty* HolderProperty(const char* name)
{
    return CValueKindsHolder::SGetClassInfo()->FindProperty(name);
}
