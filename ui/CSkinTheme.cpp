#include "ui/CSkinTheme.h"

#include "objects/CMessage.h"
#include "ui/CJWindow.h"
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

// The classic skins come with the frame-window, button and static controls.
std::unique_ptr<CWindowSkin> CJWindowClassicTheme::CreateButtonSkin(CJWindow&)
{
    return nullptr;
}

std::unique_ptr<CWindowSkin> CJWindowClassicTheme::CreateStaticSkin(CJWindow&)
{
    return nullptr;
}

std::unique_ptr<CWindowSkin> CJWindowClassicTheme::CreateFrameWindowSkin(CJWindow&)
{
    return nullptr;
}

CSkinTheme* GetDefaultTheme()
{
    static const std::unique_ptr<CJWindowClassicTheme> theme = std::make_unique<CJWindowClassicTheme>();
    return theme.get();
}
