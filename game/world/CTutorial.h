#pragma once
// A tutorial pop-up message; the rules name the shop's ("Shopping Tutorial").
// A message is known by its index in the tutorial list, 0 = none.
#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"

class CTutorial : public CObject {
    OMBRISALT_REFLECTED(CTutorial, CObject)
public:
    CTutorial();
    ~CTutorial() override;
};

class CTutorialList : public CObjectArrayBaseTemplate<CTutorial> {
public:
    CTutorialList();
};
// "Tutorial" under "Resources", "Tutorial.txt"; made on first use.
CTutorialList& GetTutorialList();
