#include "blit/CFrameInterface.h"

#include "objects/CObject.h"

void RegisterBlitClasses()
{
    RegisterObjectClasses();
    CFrameInterface::SGetClassInfo();
    CRenderableObject::SGetClassInfo();
}
