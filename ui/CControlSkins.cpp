#include "ui/CControlSkins.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "foundation/SaturatingArithmetic.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "objects/CMessage.h"
#include "render/CProxyFrame.h"
#include "render/SurfaceHelpers.h"
#include "ui/CAlphaSkinData.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJWindow.h"
#include "ui/CSkinBorder.h"
#include "ui/SkinResources.h"
#include "ui/SkinTiling.h"

#include <optional>

namespace {

const SFrameWindowSkinState& DefaultFrameWindowState()
{
    static const SFrameWindowSkinState state;
    return state;
}

const SButtonSkinState& DefaultButtonState()
{
    static const SButtonSkinState state;
    return state;
}

int32_t FontHeight(CFont* font)
{
    return font ? int32_t(font->GetHeight()) : 0;
}

CRect WholeRect(const CJWindow& window)
{
    return CRect{0, 0, window.GetWidth(), window.GetHeight()};
}

// Swaps the window's font for the call (alpha titles use the heading font).
class CScopedWindowFont {
public:
    CScopedWindowFont(CJWindow& window, CFont* font)
        : m_Window(window)
        , m_Previous(window.GetFont())
    {
        if (font)
            window.SetFont(font);
    }
    CScopedWindowFont(const CScopedWindowFont&) = delete;
    CScopedWindowFont& operator=(const CScopedWindowFont&) = delete;
    ~CScopedWindowFont() { m_Window.SetFont(m_Previous); }

private:
    CJWindow& m_Window;
    CFont* m_Previous;
};

// Widens the clip of a tree drawing target by 100 pixels to the left and
// top for the call: title plates and icons may stick out above a window.
class CScopedWidenedClip {
public:
    explicit CScopedWidenedClip(CFrameInterface& frame)
        : m_Proxy(dynamic_cast<COffsetClippedProxyFrame*>(&frame))
    {
        if (!m_Proxy)
            return;
        m_Proxy->GetBounds(m_Saved);
        m_Proxy->SetClipRect(CRect{SaturatingSub(m_Saved.left, 100), SaturatingSub(m_Saved.top, 100), m_Saved.right,
                                   m_Saved.bottom});
    }
    CScopedWidenedClip(const CScopedWidenedClip&) = delete;
    CScopedWidenedClip& operator=(const CScopedWidenedClip&) = delete;
    ~CScopedWidenedClip()
    {
        if (m_Proxy)
            m_Proxy->SetClipRect(m_Saved);
    }

private:
    COffsetClippedProxyFrame* m_Proxy;
    CRect m_Saved{};
};

} // namespace

CFrameWindowSkin::CFrameWindowSkin(CJWindow& window)
    : m_Window(window)
{
}

CFont* CFrameWindowSkin::GetTitleFont()
{
    return m_Window.GetFont();
}

const SFrameWindowSkinState& CFrameWindowSkin::State() const
{
    const auto* client = dynamic_cast<const CFrameWindowSkinClient*>(&m_Window);
    return client ? client->GetFrameWindowSkinState() : DefaultFrameWindowState();
}

int32_t CJWindowClassicFrameWindowSkin::GetTitleBarHeight()
{
    if (m_Window.GetTitle().IsEmpty())
        return 0;
    return FontHeight(m_Window.GetFont()) + 4 * m_Window.GetFontUnit() + 2;
}

void CJWindowClassicFrameWindowSkin::DrawBack(CFrameInterface& frame)
{
    const int32_t w = m_Window.GetWidth(), h = m_Window.GetHeight();
    const int32_t u = m_Window.GetFontUnit(), fh = FontHeight(m_Window.GetFont());
    const bool transparent = m_Window.IsTransparent();
    if (!transparent)
        if (CFrame* skin = m_Window.GetSkin())
            TileTexture(frame, *skin, CRect{0, 0, w, h});
    CJWindow::DrawBevelBox(m_Window.GetFont(), frame, CRect{0, 0, w, h}, true, 15, false);
    if (m_Window.GetTitle().IsEmpty())
        return;
    if (GetSharedWindowFrame(SharedFrame::WindowTitleTile) && !transparent) {
        CFrame* tile = GetSharedWindowFrame(m_Window.IsActive() ? SharedFrame::WindowTitleTile
                                                                : SharedFrame::InactiveWindowTitleTile);
        const CRect bar{3, 3, w - 3, fh + 4 * u};
        if (tile && bar.right > bar.left && bar.bottom > bar.top)
            TileTexture(frame, *tile, bar);
    }
    m_Window.DrawTitle(frame, w / 2, 2 * u + 1, 1);
    const int32_t y = fh + 4 * u + 1;
    CColor shadow, light;
    if (CFrame::SGetBitDepth() == 8) {
        shadow.SetCurrentPaletteColor(80, 80, 80, 255);
        light.SetCurrentPaletteColor(200, 200, 200, 255);
    } else {
        shadow = CColor(0, 0, 0, 128);
        light = CColor(255, 255, 255, 24);
    }
    frame.FillRect(CRect{1, y, w - 1, y + 1}, shadow);
    frame.FillRect(CRect{1, y + 1, w - 1, y + 2}, light);
}

CButtonSkin::CButtonSkin(CJWindow& button)
    : m_Button(button)
{
}

const SButtonSkinState& CButtonSkin::State() const
{
    const auto* client = dynamic_cast<const CButtonSkinClient*>(&m_Button);
    return client ? client->GetButtonSkinState() : DefaultButtonState();
}

void CButtonSkin::DrawImage(CFrameInterface& frame, CFrameInterface& image, int32_t x, int32_t y)
{
    BlitAt(frame, image, x, y, GetTransparentMaskBlitType());
}

void CButtonSkin::DrawImages(CFrameInterface& frame, bool dimmed, int32_t d)
{
    const SButtonSkinState& state = State();
    const int32_t border = m_Button.GetBorderWidth();
    std::optional<CScopedBlitOpacity> dim;
    if (dimmed) {
        if (state.disabledImage)
            DrawImage(frame, *state.disabledImage, border, border);
        dim.emplace(GetTransparentMaskBlitType(), 0.4f);
    }
    CFrameInterface* image = state.IsPressed() && state.pressedImage ? state.pressedImage : state.normalImage;
    if (image) {
        if (state.centreImage) {
            CRect b;
            image->GetBounds(b);
            const int32_t x = (m_Button.GetWidth() - (b.right - b.left)) / 2 - b.left;
            const int32_t y = (m_Button.GetHeight() - (b.bottom - b.top)) / 2 - b.top;
            DrawImage(frame, *image, x + d, y + d);
        } else {
            DrawImage(frame, *image, border + d, border + d);
        }
    }
}

void CButtonSkin::DrawText(CFrameInterface& frame, int32_t y, int32_t d)
{
    const int32_t border = m_Button.GetBorderWidth(), w = m_Button.GetWidth();
    switch (State().textAlignment) {
    case 0:
        m_Button.DrawTitle(frame, border + 1 + d, y, 0);
        break;
    case 2:
        m_Button.DrawTitle(frame, w - border - 1 + d, y, 2);
        break;
    default:
        m_Button.DrawTitle(frame, w / 2 + d, y, 1);
        break;
    }
}

void CJWindowClassicButtonSkin::SizeToContent()
{
    CFont* font = m_Button.GetFont();
    const int32_t border = m_Button.GetBorderWidth();
    int32_t width = 0;
    if (font)
        width = m_Button.GetTitle().IsEmpty() ? font->GetTextWidth(CJString("XXX")) : font->GetTextWidth(m_Button.GetTitle());
    m_Button.SetSize(width + 2 + 2 * border, FontHeight(font) + 2 + 2 * border);
}

void CJWindowClassicButtonSkin::DrawButton(CFrameInterface& frame)
{
    const SButtonSkinState& state = State();
    const bool pressed = state.IsPressed();
    const int32_t d = pressed ? 1 : 0;
    const int32_t w = m_Button.GetWidth(), h = m_Button.GetHeight(), border = m_Button.GetBorderWidth();
    const bool withText = !state.normalImage || state.showTextWithImage;
    if (withText && !m_Button.IsTransparent())
        if (CFrame* skin = m_Button.GetSkin())
            TileTexture(frame, *skin, CRect{d, d, w + d, h + d});
    DrawImages(frame, !m_Button.IsEnabled(), d);
    if (withText)
        DrawText(frame, (h - FontHeight(m_Button.GetFont())) / 2 + d, d);
    if (!state.pressedImage) {
        if (state.overlayImage)
            DrawImage(frame, *state.overlayImage, border, border);
        else
            CJWindow::DrawBevelBox(m_Button.GetFont(), frame, CRect{0, 0, w, h}, !pressed, 15, false);
    }
}

CJWindowAlphaFrameWindowSkin::CJWindowAlphaFrameWindowSkin(CJWindow& window, CJWindowAlphaTheme& theme)
    : CFrameWindowSkin(window)
    , m_Theme(theme)
{
}

CFont* CJWindowAlphaFrameWindowSkin::GetTitleFont()
{
    if (CFont* font = m_Theme.GetData().GetHeadingFont())
        return font;
    return m_Window.GetFont();
}

int32_t CJWindowAlphaFrameWindowSkin::GetTitleBarHeight()
{
    if (m_Window.GetTitle().IsEmpty())
        return 0;
    const int32_t offset = m_Theme.GetData().m_ContentsOffsetWithTitle;
    if (offset != -1)
        return ClampSkinValue(offset);
    return FontHeight(GetTitleFont()) + 4 * m_Window.GetFontUnit() + 2;
}

// The title is drawn from its heading offset (raised by 5), and the border's
// top pieces may stand above the edge.
int32_t CJWindowAlphaFrameWindowSkin::GetReachAbove()
{
    CAlphaSkinData& data = m_Theme.GetData();
    int32_t reach = 0;
    if (!m_Window.GetTitle().IsEmpty())
        reach = std::max(reach, -(ClampSkinValue(data.m_HeadingOffset) + 5));
    if (auto* border = dynamic_cast<CAlphaSkinBorder*>(data.m_WindowBorder))
        reach = std::max(reach, border->GetReachAbove());
    return reach;
}

void CJWindowAlphaFrameWindowSkin::DrawBack(CFrameInterface& frame)
{
    DrawBorderLayers(&m_Theme, &m_Window, frame, WholeRect(m_Window), m_Theme.GetData().m_WindowBorder,
                     !m_Window.IsTransparent(), false, false);
}

void CJWindowAlphaFrameWindowSkin::DrawFront(CFrameInterface& frame)
{
    const SFrameWindowSkinState& state = State();
    CAlphaSkinData& data = m_Theme.GetData();
    DrawBorderLayers(&m_Theme, &m_Window, frame, WholeRect(m_Window), data.m_WindowBorder, false,
                     state.hasCloseButton, true);
    if (m_Window.GetTitle().IsEmpty() && !state.icon)
        return;
    CScopedWidenedClip widened(frame);
    {
        CScopedWindowFont heading(m_Window, GetTitleFont());
        m_Window.DrawTitle(frame, m_Window.GetWidth() / 2, ClampSkinValue(data.m_HeadingOffset) + 5, 1);
    }
    if (state.icon)
        BlitAt(frame, *state.icon, ClampSkinValue(data.m_IconOffset.x), ClampSkinValue(data.m_IconOffset.y),
               GetTransparentMaskBlitType());
}

CJWindowAlphaButtonSkin::CJWindowAlphaButtonSkin(CJWindow& button, CJWindowAlphaTheme& theme)
    : CButtonSkin(button)
    , m_Theme(theme)
{
    button.SetDrawOutline(false);
    button.SetBorderWidth(SaturatingMul(ClampSkinValue(theme.GetData().m_SpaceAroundText), button.GetFontUnit()));
}

void CJWindowAlphaButtonSkin::SizeToContent()
{
    CFont* font = m_Button.GetFont();
    const int32_t border = m_Button.GetBorderWidth();
    const int32_t width = font ? font->GetTextWidth(m_Button.GetTitle()) : 0;
    m_Button.SetSize(width + 2 + 2 * border, FontHeight(font) + 2 + 2 * border);
}

void CJWindowAlphaButtonSkin::DrawButton(CFrameInterface& frame)
{
    const SButtonSkinState& state = State();
    CAlphaSkinData& data = m_Theme.GetData();
    const bool pressed = state.IsPressed();
    const bool greyed = m_Button.IsGrayed();
    const bool hovered = state.hovered && !greyed;
    const int32_t d = pressed ? 1 : 0;
    const int32_t w = m_Button.GetWidth(), h = m_Button.GetHeight(), border = m_Button.GetBorderWidth();
    if (!m_NoBackground && !state.overlayImage) {
        CSkinBorder* skin = data.m_ButtonBorder;
        if (pressed && data.m_PressedButtonBorder)
            skin = data.m_PressedButtonBorder;
        else if (hovered && m_Button.IsEnabled() && data.m_HoverButtonBorder)
            skin = data.m_HoverButtonBorder;
        DrawBorderLayers(&m_Theme, &m_Button, frame, CRect{0, 0, w, h}, skin, !m_Button.IsTransparent(), false,
                         true);
    }
    if (state.overlayImage && state.overlayBehind && hovered)
        DrawImage(frame, *state.overlayImage, border, border);
    DrawImages(frame, !m_Button.IsEnabled() || greyed, d);
    if (state.overlayImage && !state.overlayBehind && hovered)
        DrawImage(frame, *state.overlayImage, border, border);
    if (!state.normalImage || state.showTextWithImage) {
        const int32_t td = data.m_ApplyTextOffsetWhenPressed ? d : 0;
        DrawText(frame, (h - FontHeight(m_Button.GetFont())) / 2 + td, td);
    }
}

bool CJWindowAlphaButtonSkin::OnMessage(CMessage& message)
{
    if (!message.IsType("Remove Button Border"))
        return false;
    m_NoBackground = true;
    m_Button.SetTransparent(true);
    return true;
}

CJWindowAlphaStaticTextSkin::CJWindowAlphaStaticTextSkin(CJWindow& text, CJWindowAlphaTheme& theme)
    : CStaticTextSkin(text)
    , m_Theme(theme)
{
    if (CFont* font = theme.GetData().GetStaticTextFont())
        text.SetFont(font);
}
