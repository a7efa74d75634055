#pragma once
// Private to overlays/: the registration, constructor and destructor every
// reflected class of the folder has.
#include "objects/DeclaredClassBody.h"

#define OMBRISALT_OVERLAY_CONSTRUCTORS(CClass) OMBRISALT_DECLARED_CONSTRUCTORS(CClass)
#define OMBRISALT_OVERLAY_CLASS(CClass, version) OMBRISALT_DECLARED_CLASS(CClass, version)
#define OMBRISALT_OVERLAY_ABSTRACT_CLASS(CClass, version) OMBRISALT_DECLARED_ABSTRACT_CLASS(CClass, version)
