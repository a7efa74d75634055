#include "blit/CFrameInterface.h"

OMBRISALT_IMPLEMENT_ABSTRACT_CLASS(CRenderableObject, 1.0)
void CRenderableObject::DeclareProperties(CPropertyDeclarer&) {}

OMBRISALT_IMPLEMENT_ABSTRACT_CLASS(CFrameInterface, 2.0)
void CFrameInterface::DeclareProperties(CPropertyDeclarer&) {}

void RegisterBlitClasses()
{
    RegisterObjectClasses();
    CFrameInterface::SGetClassInfo();
    CRenderableObject::SGetClassInfo();
}
