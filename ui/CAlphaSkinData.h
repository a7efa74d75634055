#pragma once
// The record of an alpha theme: fonts, colours, spacings and the borders of
// windows, list boxes and buttons. Fonts are font-list references, sounds
// sound-list references, -1 for none.

#include "blit/CColor.h"
#include "foundation/CPoint.h"
#include "blit/CColorProperty.h"
#include "objects/CObject.h"
#include "objects/CPObjectProperty.h"
#include "objects/CPointProperty.h"

#include <cstdint>

class CFont;
class CSkinBorder;

class CAlphaSkinData : public CObject {
    OMBRISALT_REFLECTED(CAlphaSkinData, CObject)
public:
    CAlphaSkinData();
    ~CAlphaSkinData() override;

    // "General Font", else the toolkit's default font.
    CFont* GetGeneralFont() const;
    // "Static Text Control", else the general font.
    CFont* GetStaticTextFont() const;
    // "Window/Window Heading Font", else the general font.
    CFont* GetHeadingFont() const;

    // The older "Space Between Controls" sets both spacings.
    void ReadCustomProperties(const CJString& name, const CJString& value, CObjectStream& stream) override;

    int32_t m_GeneralFont = 0;
    CColor m_ShortcutKeyHighlightColor;
    CColor m_BackgroundColor;
    CColor m_SelectColor;
    int32_t m_StaticTextFont = 0;
    int32_t m_HeadingFont = 0;
    int32_t m_HeadingOffset = 0;
    int32_t m_ContentsOffsetWithTitle = 0; // -1: computed
    CPoint m_IconOffset{};
    int32_t m_VerticalSpace = 0;
    int32_t m_HorizontalSpace = 0;
    int32_t m_Margin = 0;
    CSkinBorder* m_WindowBorder = nullptr;
    CSkinBorder* m_ListBoxBorder = nullptr;
    CSkinBorder* m_ButtonBorder = nullptr;
    CSkinBorder* m_PressedButtonBorder = nullptr;
    CSkinBorder* m_HoverButtonBorder = nullptr;
    int32_t m_SpaceAroundText = 0;
    bool m_ApplyTextOffsetWhenPressed = false;
    int32_t m_EnterHoverSound = 0;
    int32_t m_ExitHoverSound = 0;
};
