#include "ui/CSkinTheme.h"

#include "objects/CMessage.h"
#include "ui/CJWindow.h"
#include "ui/CControlSkins.h"
#include "ui/CJWindowSkin.h"

OMBRISALT_IMPLEMENT_ABSTRACT_CLASS(CSkinTheme, 0.0)
OMBRISALT_IMPLEMENT_CLASS(CJWindowClassicTheme, 0.0)

bool CWindowSkin::OnMessage(CMessage&)
{
    return false;
}

void CSkinTheme::DeclareProperties(CPropertyDeclarer&) {}

CFrame* CSkinTheme::GetWindowSkinFrame(CJWindow&)
{
    return nullptr;
}

void CJWindowClassicTheme::DeclareProperties(CPropertyDeclarer&) {}

void CJWindowClassicTheme::SetUpWindow(CJWindow& window, CJWindow* parent)
{
    if (parent)
        window.SetFont(parent->GetFont());
}

std::unique_ptr<CWindowSkin> CJWindowClassicTheme::CreateButtonSkin(CJWindow& window)
{
    return std::make_unique<CJWindowClassicButtonSkin>(window);
}

std::unique_ptr<CWindowSkin> CJWindowClassicTheme::CreateStaticSkin(CJWindow& window)
{
    return std::make_unique<CJWindowClassicStaticSkin>(window);
}

std::unique_ptr<CWindowSkin> CJWindowClassicTheme::CreateFrameWindowSkin(CJWindow& window)
{
    return std::make_unique<CJWindowClassicFrameWindowSkin>(window);
}

CSkinTheme* GetDefaultTheme()
{
    static const std::unique_ptr<CJWindowClassicTheme> theme = std::make_unique<CJWindowClassicTheme>();
    return theme.get();
}
