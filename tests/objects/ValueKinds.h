#pragma once
// A reflected class with one member of each text-like kind.
#include "objects/CObject.h"
#include "objects/CPointProperty.h"
#include "objects/CStringProperty.h"

class CValueKindsHolder : public CObject {
    OMBRISALT_REFLECTED(CValueKindsHolder, CObject)
public:
    CValueKindsHolder();
    ~CValueKindsHolder() override;
    CJString m_Name;
    CTranslatedText m_Title;
    CPoint m_Spot;
    CFPoint m_Place;
};

// The property of the holder with that name.
CProperty* HolderProperty(const char* name);
