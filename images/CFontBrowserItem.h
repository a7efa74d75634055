#pragma once
// The thumbnail of one font: its "A".

#include "objects/CImageBrowserItemBridge.h"

class CFont;

class CFontBrowserItem : public CImageBrowserItemBridge {
public:
    // Entry 0 of a list whose first name is "none" shows no font.
    CFontBrowserItem(CVirtualArray* list, uint32_t index);

    void Draw(CFrameInterface& target, CPoint point) override;
    // The "A" glyph's bounds; empty without a font or glyph.
    void GetBounds(CRect& out) override;

    CFont* GetFont() const { return m_Font; }

    static std::unique_ptr<CImageBrowserItemBridge> SCreate(CVirtualArray* list, uint32_t index);

private:
    CFont* m_Font = nullptr;
};
