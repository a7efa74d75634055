#include "objects/CPointerToBeNulledArray.h"

OMBRISALT_IMPLEMENT_ABSTRACT_CLASS(CBasePointerToBeNulledArray, 0)
OMBRISALT_IMPLEMENT_CLASS(CPointerToBeNulledArray, 0)

void CBasePointerToBeNulledArray::DeclareProperties(CPropertyDeclarer&) {}
void CPointerToBeNulledArray::DeclareProperties(CPropertyDeclarer&) {}

CBasePointerToBeNulledArray::~CBasePointerToBeNulledArray()
{
    for (uint32_t i = m_Entries.GetCount(); i-- > 0;)
        m_Entries[i]->NullPointer();
    m_Entries.RemoveAll();
    m_Entries.Free();
}
