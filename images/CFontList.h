#pragma once
// The list of fonts a data folder holds: one object file per font, named
// after the font with the ending ".FONT.TXT" ("Title.FONT.TXT" holds the font
// "Title"), each a CFont or a class derived from it (CFontBitmap). Found by
// name without regard to case and loaded on first use like every object-file
// list.

#include "images/CFont.h"
#include "objects/CObjectFileArray.h"

class CFontList : public CObjectArrayBaseTemplate<CFont, CFont> {
public:
    CFontList();
    ~CFontList() override;

    // "<folder>/<item>.FONT.TXT" for a font the list holds; false while the
    // list is not enumerated and for objects that are not its fonts.
    bool GetObjectFileName(const CObject* object, CJString& name) override;
    ImageBrowserItemFactory GetItemFactory() override;
    // A default font saved at once to "<folder>/<name>.FONT.TXT"; refused
    // (-1) as a new file from the editor would be.
    int32_t Add(const CJString& name) override;
    int32_t Add(const char* name) override;
};

// The game's font list ("Fonts"); its folder is set at start-up.
CFontList& GetFontList();
