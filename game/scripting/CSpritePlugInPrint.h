#pragma once
// Print plug-ins: how a script shows a value next to its sprite. A plug-in
// that shows a value (or a countdown) owns one and hands it the value as
// text each time it draws: nothing, the text in a font (optionally on a
// box), or a row of small images, one per unit of the value.
#include "blit/CColor.h"
#include "foundation/CJString.h"
#include "foundation/CPoint.h"
#include "game/scripting/CSpriteAI.h"
#include "objects/CObject.h"

#include <cstdint>

class CFont;
class CFrameInterface;
class CFrameSelector;

struct CPrintRecord {
    CJString text;                          // the value to show
    CFrameInterface* destination = nullptr; // where to draw
    float x = 0.0f;                         // the anchor
    float y = 0.0f;
    intptr_t argument = 0; // handed on to the dot image
};

class CPrintPlugIn : public CObject {
    OMBRISALT_REFLECTED(CPrintPlugIn, CObject)
public:
    CPrintPlugIn();
    ~CPrintPlugIn() override;

    virtual void Print(CPrintRecord& record) = 0;
    // record.seconds is the time since the last update; sprite the owner's.
    virtual void Update(CSpriteUpdateRecord&) {}
};

class CPrintPlugInNone : public CPrintPlugIn {
    OMBRISALT_REFLECTED(CPrintPlugInNone, CPrintPlugIn)
public:
    CPrintPlugInNone();
    ~CPrintPlugInNone() override;

    void Print(CPrintRecord&) override {}
};

class CPrintPlugInPrintFont : public CPrintPlugIn {
    OMBRISALT_REFLECTED(CPrintPlugInPrintFont, CPrintPlugIn)
public:
    CPrintPlugInPrintFont();
    ~CPrintPlugInPrintFont() override;

    // Through the font list; nothing without a font.
    void Print(CPrintRecord& record) override;
    // The same with the font given.
    void PrintWith(CFont& font, CPrintRecord& record);

    int32_t m_Font = 0; // font-list reference, 0: none
    CPoint m_Offset{};
    int32_t m_Justification = 0; // 0 left, 1 centred, 2 right
    bool m_bDrawBackground = false;
    CColor m_FillColor;
    CColor m_OutlineColor;
    uint32_t m_WrapWidth = 0; // pixels, 0: one line
};

class CPrintPlugInDrawDots : public CPrintPlugIn {
    OMBRISALT_REFLECTED(CPrintPlugInDrawDots, CPrintPlugIn)
public:
    CPrintPlugInDrawDots();
    ~CPrintPlugInDrawDots() override;

    // The row is laid out for the largest count drawn so far, so the dots
    // that remain stay where they were as the value falls (in the level
    // editor: for the count shown).
    void Print(CPrintRecord& record) override;
    void Update(CSpriteUpdateRecord& record) override;

    int32_t GetLargestCount() const { return m_LargestCount; }

    CPoint m_Position{};
    CPoint m_Spacing{};
    CFrameSelector* m_DotImage = nullptr; // owned

private:
    int32_t m_LargestCount = 0;
};
