#include "ui/CAlphaSkinData.h"

#include "ui/CJWindow.h"
#include "ui/CSkinBorder.h"
#include "ui/SkinResources.h"
#include "ui/UiClassBody.h"

namespace {

using C = CAlphaSkinData;

template <typename Getter>
void AddReference(CPropertyDeclarer& d, int32_t C::*member, const char* name, Getter getter)
{
    d.Add<CSkinListProperty>(member, name, -1).Get().SetListGetter(getter);
}

} // namespace

OMBRISALT_UI_CLASS(CAlphaSkinData, 0.0)
void CAlphaSkinData::DeclareProperties(CPropertyDeclarer& d)
{
    AddReference(d, &C::m_GeneralFont, "General Font", &FontListGetter);
    d.Add(&C::m_ShortcutKeyHighlightColor, "Shortcut Key Highlight Color", CColor(63, 154, 255, 255));
    d.Add(&C::m_BackgroundColor, "Background Color", CColor(0, 0, 0, 255));
    d.Add(&C::m_SelectColor, "Select Color", CColor(101, 91, 85, 255));
    AddReference(d, &C::m_StaticTextFont, "Static Text Control", &FontListGetter);
    AddReference(d, &C::m_HeadingFont, "Window/Window Heading Font", &FontListGetter);
    d.Add(&C::m_HeadingOffset, "Window/Window Heading Offset", 0);
    d.Add(&C::m_ContentsOffsetWithTitle, "Window/Window Contents Offset When Title Present", -1).Units("Pixels");
    d.Add(&C::m_IconOffset, "Window/Frame Window Icon Offset", CPoint{0, 0});
    d.Add(&C::m_VerticalSpace, "Window/Vertical Space Between Controls", 8).Units("Pixels");
    d.Add(&C::m_HorizontalSpace, "Window/Horizontal Space Between Controls", 8).Units("Pixels");
    d.Add(&C::m_Margin, "Window/Margin", 8).Units("Pixels");
    d.AddOwned(&C::m_WindowBorder, "Window/Window Border").DefaultClass(CAlphaSkinBorder::SGetClassInfo());
    d.AddOwned(&C::m_ListBoxBorder, "ListBox/ListBox Border").DefaultClass(CClassicSkinBorder::SGetClassInfo());
    d.AddOwned(&C::m_ButtonBorder, "Button/Button Border").DefaultClass(CClassicSkinBorder::SGetClassInfo());
    d.AddOwned(&C::m_PressedButtonBorder, "Button/Pressed Button Border");
    d.AddOwned(&C::m_HoverButtonBorder, "Button/Hover Button Border");
    d.Add(&C::m_SpaceAroundText, "Button/Space Around Text", 2).Units("Dialog Pixels");
    d.Add(&C::m_ApplyTextOffsetWhenPressed, "Button/Apply Button Text Offset When Pressed", true);
    AddReference(d, &C::m_EnterHoverSound, "Button/Enter Hover Sound", &SoundListGetter);
    AddReference(d, &C::m_ExitHoverSound, "Button/Exit Hover Sound", &SoundListGetter);
}

void CAlphaSkinData::ReadCustomProperties(const CJString& name, const CJString& value, CObjectStream& stream)
{
    if (name.CompareNoCase("Space Between Controls") == 0) {
        m_VerticalSpace = m_HorizontalSpace = value.ToInt();
        return;
    }
    CObject::ReadCustomProperties(name, value, stream);
}

CFont* CAlphaSkinData::GetGeneralFont() const
{
    if (CFont* font = GetListFont(m_GeneralFont))
        return font;
    return CJWindow::GetDefaultFont();
}

CFont* CAlphaSkinData::GetStaticTextFont() const
{
    if (CFont* font = GetListFont(m_StaticTextFont))
        return font;
    return GetGeneralFont();
}

CFont* CAlphaSkinData::GetHeadingFont() const
{
    if (CFont* font = GetListFont(m_HeadingFont))
        return font;
    return GetGeneralFont();
}
