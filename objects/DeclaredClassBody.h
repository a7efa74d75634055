#pragma once
// The registration, constructor and destructor of a reflected class whose
// constructor and destructor only set up and tear down its declared
// properties. A library's classes use it through their own folder's macros.
#include "objects/CObject.h"

#define OMBRISALT_DECLARED_CONSTRUCTORS(CClass)                                                                        \
    CClass::CClass()                                                                                                   \
    {                                                                                                                  \
        InitDeclaredProperties();                                                                                      \
    }                                                                                                                  \
    CClass::~CClass()                                                                                                  \
    {                                                                                                                  \
        DestroyDeclaredProperties();                                                                                   \
    }
#define OMBRISALT_DECLARED_CLASS(CClass, version)                                                                      \
    OMBRISALT_IMPLEMENT_CLASS(CClass, version)                                                                         \
    OMBRISALT_DECLARED_CONSTRUCTORS(CClass)
#define OMBRISALT_DECLARED_CLASS_WITHOUT_BASE(CClass, version)                                                         \
    OMBRISALT_IMPLEMENT_CLASS_WITHOUT_BASE(CClass, version)                                                            \
    OMBRISALT_DECLARED_CONSTRUCTORS(CClass)
#define OMBRISALT_DECLARED_ABSTRACT_CLASS(CClass, version)                                                             \
    OMBRISALT_IMPLEMENT_ABSTRACT_CLASS(CClass, version)                                                                \
    OMBRISALT_DECLARED_CONSTRUCTORS(CClass)
