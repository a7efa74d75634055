#pragma once
// Private to overlays/: the registration, constructor and destructor every
// reflected class of the folder has.
#include "objects/CObject.h"

#define OMBRISALT_OVERLAY_CONSTRUCTORS(CClass)                                                                         \
    CClass::CClass()                                                                                                   \
    {                                                                                                                  \
        InitDeclaredProperties();                                                                                      \
    }                                                                                                                  \
    CClass::~CClass()                                                                                                  \
    {                                                                                                                  \
        DestroyDeclaredProperties();                                                                                   \
    }
#define OMBRISALT_OVERLAY_CLASS(CClass, version)                                                                       \
    OMBRISALT_IMPLEMENT_CLASS(CClass, version)                                                                         \
    OMBRISALT_OVERLAY_CONSTRUCTORS(CClass)
#define OMBRISALT_OVERLAY_ABSTRACT_CLASS(CClass, version)                                                              \
    OMBRISALT_IMPLEMENT_ABSTRACT_CLASS(CClass, version)                                                                \
    OMBRISALT_OVERLAY_CONSTRUCTORS(CClass)
