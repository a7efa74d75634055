#pragma once
// Background style sheets: a level's look, the picture behind its playfield
// and the animations its lots show while vacant, under construction and
// lived in. Levels name theirs by index.
#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"
#include "objects/CPropertyArrayProperty.h"

#include <cstdint>

class CBackgroundStyleSheet : public CObject {
    OMBRISALT_REFLECTED(CBackgroundStyleSheet, CObject)
public:
    CBackgroundStyleSheet();
    ~CBackgroundStyleSheet() override;

    int32_t m_BackgroundImage = 0;
    CPropertyArray<int32_t> m_VacantImages;
    CPropertyArray<int32_t> m_ConstructionImages;
    CPropertyArray<int32_t> m_LivedInImages;
};

class CBackgroundStyleSheetList : public CObjectArrayBaseTemplate<CBackgroundStyleSheet> {
public:
    CBackgroundStyleSheetList();
    // The browser's item (StyleSheetBrowserItems.h).
    ImageBrowserItemFactory GetItemFactory() override;
};

// "Background" under "Resources", made on first use.
CBackgroundStyleSheetList& GetBackgroundStyleSheetList();
// The style sheet of the current level (the first for an index past the
// list); null without a current level or style sheets.
CBackgroundStyleSheet* GetCurrentBackgroundStyleSheet();
