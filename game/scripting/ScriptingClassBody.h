#pragma once
// Private to game/scripting: the registration, constructor and destructor
// every reflected class of the folder has.
#include "objects/CObject.h"

#define OMBRISALT_SCRIPTING_CONSTRUCTORS(CClass)                                                                       \
    CClass::CClass()                                                                                                   \
    {                                                                                                                  \
        InitDeclaredProperties();                                                                                      \
    }                                                                                                                  \
    CClass::~CClass()                                                                                                  \
    {                                                                                                                  \
        DestroyDeclaredProperties();                                                                                   \
    }
#define OMBRISALT_SCRIPTING_CLASS(CClass, version)                                                                     \
    OMBRISALT_IMPLEMENT_CLASS(CClass, version)                                                                         \
    OMBRISALT_SCRIPTING_CONSTRUCTORS(CClass)
#define OMBRISALT_SCRIPTING_ABSTRACT_CLASS(CClass, version)                                                            \
    OMBRISALT_IMPLEMENT_ABSTRACT_CLASS(CClass, version)                                                                \
    OMBRISALT_SCRIPTING_CONSTRUCTORS(CClass)
