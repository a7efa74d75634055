#pragma once
// Private to ui/: the registration, constructor and destructor every
// reflected class of the folder has.
#include "objects/CObject.h"

#define OMBRISALT_UI_CONSTRUCTORS(CClass)                                                                              \
    CClass::CClass()                                                                                                   \
    {                                                                                                                  \
        InitDeclaredProperties();                                                                                      \
    }                                                                                                                  \
    CClass::~CClass()                                                                                                  \
    {                                                                                                                  \
        DestroyDeclaredProperties();                                                                                   \
    }
#define OMBRISALT_UI_CLASS(CClass, version)                                                                            \
    OMBRISALT_IMPLEMENT_CLASS(CClass, version)                                                                         \
    OMBRISALT_UI_CONSTRUCTORS(CClass)
#define OMBRISALT_UI_ABSTRACT_CLASS(CClass, version)                                                                   \
    OMBRISALT_IMPLEMENT_ABSTRACT_CLASS(CClass, version)                                                                \
    OMBRISALT_UI_CONSTRUCTORS(CClass)
