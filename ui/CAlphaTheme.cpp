#include "ui/CAlphaTheme.h"

#include "ui/CAlphaSkinData.h"
#include "ui/CControlSkins.h"
#include "ui/CSkinBorder.h"
#include "ui/SkinResources.h"
#include "ui/SkinTiling.h"
#include "ui/UiClassBody.h"

OMBRISALT_UI_CLASS(CJWindowAlphaTheme, 0.0)
void CJWindowAlphaTheme::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddOwned(&CJWindowAlphaTheme::m_Options, "Options").DefaultClass(CAlphaSkinData::SGetClassInfo());
}

CAlphaSkinData& CJWindowAlphaTheme::GetData()
{
    if (!m_Options)
        m_Options = new CAlphaSkinData;
    return *m_Options;
}

void CJWindowAlphaTheme::SetUpWindow(CJWindow& window, CJWindow*)
{
    CAlphaSkinData& data = GetData();
    if (CFont* font = data.GetGeneralFont())
        window.SetFont(font);
    window.SetTextColor(data.m_ShortcutKeyHighlightColor);
    window.SetColor0(data.m_BackgroundColor);
    window.SetColor4RGB(data.m_SelectColor.GetRed(), data.m_SelectColor.GetGreen(), data.m_SelectColor.GetBlue());
    // Held as the other sizes of a theme are: the hand-made layouts add the
    // spacings to sizes and positions.
    window.SetSpacing(ClampSkinValue(data.m_HorizontalSpace), ClampSkinValue(data.m_VerticalSpace));
    window.SetEdgeMargin(data.m_Margin);
}

CFrame* CJWindowAlphaTheme::GetWindowSkinFrame(CJWindow&)
{
    CSkinBorder* border = GetData().m_WindowBorder;
    return border ? GetSkinFrame(border->m_BackgroundTexture) : nullptr;
}

std::unique_ptr<CWindowSkin> CJWindowAlphaTheme::CreateButtonSkin(CJWindow& window)
{
    return std::make_unique<CJWindowAlphaButtonSkin>(window, *this);
}

std::unique_ptr<CWindowSkin> CJWindowAlphaTheme::CreateStaticSkin(CJWindow& window)
{
    return std::make_unique<CJWindowAlphaStaticTextSkin>(window, *this);
}

std::unique_ptr<CWindowSkin> CJWindowAlphaTheme::CreateFrameWindowSkin(CJWindow& window)
{
    return std::make_unique<CJWindowAlphaFrameWindowSkin>(window, *this);
}

CSkinThemeList& GetSkinThemeList()
{
    static CSkinThemeList list;
    return list;
}

CThemeSpecifier::CThemeSpecifier(const char* themeName)
    : CJWindow(nullptr)
{
    CSkinThemeList& list = GetSkinThemeList();
    const int32_t index = themeName ? list.Find(themeName) : -1;
    if (index >= 0)
        if (CSkinTheme* theme = list.GetObject(index))
            SetSkinTheme(theme);
}
