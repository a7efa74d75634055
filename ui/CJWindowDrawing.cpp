// Drawing, titles, colours and settings of the window base.
#include "ui/CJWindow.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "foundation/SaturatingArithmetic.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "render/COpacityProxyFrame.h"
#include "render/CProxyFrame.h"
#include "render/SurfaceHelpers.h"
#include "sequences/CSequenceCursor.h"
#include "sequences/CSequenceList.h"
#include "ui/CScreenWindow.h"
#include "ui/CSkinTheme.h"
#include "ui/CWindowImageCache.h"
#include "ui/SkinResources.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

namespace {

CFont* g_DefaultFont = nullptr;
CCursorSequence* g_StandardCursors[32] = {};
// The cursors made from named sequences, kept for the process.
std::unique_ptr<CSequenceCursor> g_NamedCursors[32];
// Any neutral grey serves between two scroll bars.
CColor g_ScrollCornerColor(128, 128, 128, 255);

struct SBevelColours {
    CColor light, strongLight, shadow, strongShadow;
    // 8-bit screens: palette greys.
    CColor grey40, grey80, grey200, grey245;
};

SBevelColours& BevelColours()
{
    static SBevelColours colours = [] {
        SBevelColours c;
        c.light = CColor(255, 255, 255, 24);
        c.strongLight = CColor(255, 255, 255, 48);
        c.shadow = CColor(0, 0, 0, 128);
        c.strongShadow = CColor(0, 0, 0, 160);
        c.grey40.SetCurrentPaletteColor(40, 40, 40, 255);
        c.grey80.SetCurrentPaletteColor(80, 80, 80, 255);
        c.grey200.SetCurrentPaletteColor(200, 200, 200, 255);
        c.grey245.SetCurrentPaletteColor(245, 245, 245, 255);
        return c;
    }();
    return colours;
}

// The drawing origin and clip of a tree target, put back when it ends.
class CSavedOriginAndClip {
public:
    explicit CSavedOriginAndClip(COffsetClippedProxyFrame& proxy)
        : m_Proxy(proxy)
        , m_Source(proxy.GetFrame())
        , m_OffsetX(proxy.GetOwnOffsetX())
        , m_OffsetY(proxy.GetOwnOffsetY())
    {
        proxy.GetBounds(m_Clip);
    }
    CSavedOriginAndClip(const CSavedOriginAndClip&) = delete;
    CSavedOriginAndClip& operator=(const CSavedOriginAndClip&) = delete;
    ~CSavedOriginAndClip() { Restore(); }

    void Restore()
    {
        if (m_Proxy.GetFrame() != m_Source)
            m_Proxy.SetFrame(m_Source);
        m_Proxy.SetOffset(m_OffsetX, m_OffsetY);
        m_Proxy.SetClipRect(m_Clip);
    }
    CFrameInterface* GetSource() const { return m_Source; }

private:
    COffsetClippedProxyFrame& m_Proxy;
    CFrameInterface* m_Source;
    int32_t m_OffsetX, m_OffsetY;
    CRect m_Clip{};
};

} // namespace

void CJWindow::InitDrawingState()
{
    m_Color0 = CColor{0, 0, 0, 255};
    m_Color1 = CColor{186, 186, 186, 255};
    m_TextColor = CColor{63, 154, 255, 255};
    m_FocusColor = CColor{96, 86, 79, 255};
    m_Color4 = CColor{101, 91, 85, 255};
    m_OutlineColor = CColor{0, 0, 0, 255};
    LoadSharedWindowFrames();
    BevelColours();
}

void CJWindow::ReleaseDrawingState()
{
    if (m_HasSettingsKey)
        SaveWindowSettings(m_SettingsKey.GetString(), m_SaveSizeInSettings);
    delete m_ImageCache;
    m_ImageCache = nullptr;
}

void CJWindow::Draw(CFrameInterface& frame)
{
    DrawChildren(frame, 0);
    DrawChildren(frame, 1);
    if (m_Scroll && m_Scroll->verticalBar && m_Scroll->horizontalBar) {
        const int32_t right = GetWidth() + m_Scroll->scrollX, bottom = GetHeight() + m_Scroll->scrollY;
        frame.FillRect(CRect{right - kScrollBarThickness, bottom - kScrollBarThickness, right, bottom},
                       g_ScrollCornerColor);
    }
    if (!m_Parent)
        ClearFlushCachedWindows();
}

void CJWindow::DrawChildren(CFrameInterface& frame, int32_t layer)
{
    auto* proxy = dynamic_cast<COffsetClippedProxyFrame*>(&frame);
    if (!proxy) {
        // A plain target holds this window's content coordinates: children
        // are placed from screen coordinates, so move those back first.
        COffsetProxyFrame screen(&frame, SaturatingSub(m_ScreenRect.left, GetScrollOffsetX()),
                                 SaturatingSub(m_ScreenRect.top, GetScrollOffsetY()));
        COffsetClippedProxyFrame target(&screen);
        target.SetOffset(SaturatingSub(GetScrollOffsetX(), m_ScreenRect.left),
                         SaturatingSub(GetScrollOffsetY(), m_ScreenRect.top));
        CRect bounds{};
        frame.GetBounds(bounds);
        target.SetClipRect(bounds);
        DrawChildren(target, layer);
        return;
    }
    for (CJWindow* child = m_LastChild; child; child = child->m_PrevSibling) {
        if (child->m_TopLayer != (layer != 0))
            continue;
        if (!child->m_FirstDrawDone) {
            child->m_FirstDrawDone = true;
            child->OnNotify(nullptr, kNotifyFirstDraw);
        }
        if (child->m_VisibleRect.right < 1 || child->m_VisibleRect.bottom < 1 || !child->m_Visible)
            continue;
        CSavedOriginAndClip saved(*proxy);
        CWindowImageCache* cache = IsWindowImageCacheEnabled() ? child->m_ImageCache : nullptr;
        if (cache)
            cache->BeginWindow(*child, *proxy);
        // Fading nests: the proxy fades whatever the target drew into.
        std::optional<COpacityProxyFrame> fade;
        if (child->m_Opacity < 1.0f) {
            fade.emplace(proxy->GetFrame(), child->m_Opacity);
            proxy->SetFrame(&*fade);
        }
        proxy->SetOffset(SaturatingSub(child->GetScrollOffsetX(), child->m_ScreenRect.left),
                         SaturatingSub(child->GetScrollOffsetY(), child->m_ScreenRect.top));
        proxy->SetClipRect(child->m_ClipRect);
        child->Draw(*proxy);
        if (child->m_TabStop || child->m_DrawOutline) {
            saved.Restore();
            if (child->m_HasFocus && IsKeyboardFocusShown())
                child->DrawFocusRect(*proxy, m_FocusColor);
            else if (child->m_DrawOutline)
                child->DrawFocusRect(*proxy, m_OutlineColor);
        }
        if (cache) {
            saved.Restore();
            cache->EndWindow(*child, *proxy);
        }
    }
}

bool CJWindow::IsGrayed() const
{
    return false;
}

void CJWindow::DrawFocusRect(CFrameInterface& frame, const CColor& colour)
{
    CColor c = colour;
    DrawRect(frame,
             CRect{SaturatingSub(m_Rect.left, 1), SaturatingSub(m_Rect.top, 1), SaturatingAdd(m_Rect.right, 1),
                   SaturatingAdd(m_Rect.bottom, 1)},
             c);
}

void CJWindow::DrawTitle(CFrameInterface& frame, int32_t x, int32_t y, int32_t alignment)
{
    // Greyed: the process-wide translucent and black-bias blits are dimmed
    // for the call and left as they were found.
    const bool greyed = !IsEnabledWithParent() || IsGrayed();
    std::optional<CScopedBlitOpacity> dimText, dimBlack;
    if (greyed) {
        dimText.emplace(GetTransparentMaskBlitType(), 0.4f);
        dimBlack.emplace(GetBlackBiasBlitType(), 0.6f);
    }
    if (m_Title.IsEmpty())
        return;
    CColor colour = m_TextColor;
    if (m_Title.Compare("/\\") == 0) {
        frame.DrawLine(x, y - 2, x, y + 1, colour);
        frame.SetPixel(x - 1, y - 1, colour);
        frame.SetPixel(x + 1, y - 1, colour);
        return;
    }
    if (m_Title.Compare("\\/") == 0) {
        frame.DrawLine(x, y - 2, x, y + 1, colour);
        frame.SetPixel(x - 1, y, colour);
        frame.SetPixel(x + 1, y, colour);
        return;
    }
    if (m_Title.Compare("><") == 0) {
        frame.DrawLine(x - 3, y - 2, x + 1, y + 2, colour);
        frame.DrawLine(x + 1, y - 2, x - 3, y + 2, colour);
        return;
    }
    if (!m_Font)
        return;
    const int32_t width = m_Font->GetTextWidth(m_Title);
    if (alignment == 1)
        x -= width / 2;
    else if (alignment == 2)
        x -= width;
    if (m_HotKeyIndex != 255 && !greyed && m_HotKeyIndex < m_Title.GetLength()) {
        const int32_t start = x + m_Font->GetTextWidth(m_Title, m_HotKeyIndex) + 1;
        const int32_t keyWidth = m_Font->GetTextWidth(m_Title.Mid(m_HotKeyIndex, m_HotKeyLength)) - 2;
        int32_t lineY = y + m_Font->GetLineHeight() + m_BorderWidth / 2;
        lineY = std::min(lineY, GetHeight() - 1);
        const float alpha = GetTransparentMaskBlitType().GetOpacity() * 255.0f;
        CColor line(m_TextColor.GetRed(), m_TextColor.GetGreen(), m_TextColor.GetBlue(),
                    uint8_t(std::clamp(alpha, 0.0f, 255.0f)));
        if (keyWidth > 0)
            frame.FillRect(CRect{start, lineY, start + keyWidth, lineY + 1}, line);
    }
    m_Font->DrawText(frame, x, y, m_Title);
}

CFrame* CJWindow::GetSkin()
{
    if (m_SkinTheme)
        if (CFrame* frame = m_SkinTheme->GetWindowSkinFrame(*this))
            return frame;
    return GetSharedWindowFrame(IsActive() ? SharedFrame::WindowTexture : SharedFrame::InactiveWindowTexture);
}

void CJWindow::SetTitle(const CJString& title)
{
    ClearHotKey();
    m_Title = title;
    if (m_ParseHotKeyMark)
        ParseHotKeyMark(m_Title);
}

const char* CJWindow::GetTitleText() const
{
    return m_Title.GetString();
}

const CJString& CJWindow::GetTitle() const
{
    return m_Title;
}

CFont* CJWindow::GetFont() const
{
    return m_Font;
}

void CJWindow::SetFont(CFont* font)
{
    m_Font = font;
}

int32_t CJWindow::GetTitleAsInt() const
{
    return m_Title.ToInt();
}

float CJWindow::GetTitleAsFloat() const
{
    return m_Title.ToFloat();
}

void CJWindow::SetTitleFromInt(int32_t value)
{
    CJString text;
    text.AppendInt(value);
    SetTitle(text);
}

void CJWindow::SetTitleFromFloat(float value)
{
    CJString text;
    text.AppendFloat(value);
    SetTitle(text);
}

void CJWindow::SetColor0(const CColor& colour)
{
    m_Color0 = colour;
}

void CJWindow::SetColor0RGB(uint8_t r, uint8_t g, uint8_t b)
{
    m_Color0 = CColor{r, g, b, 255};
}

const CColor& CJWindow::GetColor0() const
{
    return m_Color0;
}

void CJWindow::SetColor1RGB(uint8_t r, uint8_t g, uint8_t b)
{
    m_Color1 = CColor{r, g, b, 255};
}

void CJWindow::SetTextColor(const CColor& colour)
{
    m_TextColor = colour;
}

const CColor& CJWindow::GetTextColor() const
{
    return m_TextColor;
}

void CJWindow::SetFocusColorRGB(uint8_t r, uint8_t g, uint8_t b)
{
    m_FocusColor = CColor{r, g, b, 255};
}

void CJWindow::SetColor4RGB(uint8_t r, uint8_t g, uint8_t b)
{
    m_Color4 = CColor{r, g, b, 255};
}

void CJWindow::SetOutlineColorRGB(uint8_t r, uint8_t g, uint8_t b)
{
    m_OutlineColor = CColor{r, g, b, 255};
}

void CJWindow::ClearTitle()
{
    SetTitle(CJString());
}

void CJWindow::SetTitleText(const char* text)
{
    SetTitle(CJString(text));
}

void CJWindow::SetBorderWidthUnits(int32_t units)
{
    const int32_t width = std::clamp(units * GetFontUnit(), 0, 255);
    m_BorderWidth = uint8_t(width);
    SetDefaultBorderWidth(width);
}

void CJWindow::SetBorderWidth(int32_t pixels)
{
    m_BorderWidth = uint8_t(std::clamp(pixels, 0, 255));
}

void CJWindow::ShrinkWidthToText(const CJString& text)
{
    if (!m_Font)
        return;
    const int32_t width = m_Font->GetTextWidth(text);
    if (GetWidth() > width)
        SetWidth(width);
}

void CJWindow::DrawBevelBox(CFont* font, CFrameInterface& frame, const CRect& rect, bool raised, uint32_t edges,
                            bool strong)
{
    const int32_t unit = font ? int32_t(font->GetHeight()) / 5 : 0;
    if (rect.right <= rect.left || rect.bottom <= rect.top || unit == 0)
        return;
    SBevelColours& c = BevelColours();
    const bool palette = frame.GetBitDepth() == 8;
    CColor* topLeft;
    CColor* bottomRight;
    if (palette) {
        topLeft = strong ? (raised ? &c.grey245 : &c.grey40) : (raised ? &c.grey200 : &c.grey80);
        bottomRight = strong ? (raised ? &c.grey40 : &c.grey245) : (raised ? &c.grey80 : &c.grey200);
    } else {
        topLeft = strong ? (raised ? &c.strongLight : &c.strongShadow) : (raised ? &c.light : &c.shadow);
        bottomRight = strong ? (raised ? &c.strongShadow : &c.strongLight) : (raised ? &c.shadow : &c.light);
    }
    const int32_t smallest = palette ? 3 : 4;
    CRect r = rect;
    for (int32_t ring = 0; ring < unit; ++ring) {
        if (r.right - r.left < smallest || r.bottom - r.top < smallest)
            break;
        if (edges & 2)
            frame.FillRect(CRect{r.left, r.top, r.right, r.top + 1}, *topLeft);
        if (edges & 1)
            frame.FillRect(CRect{r.left, r.top, r.left + 1, r.bottom}, *topLeft);
        if (edges & 4)
            frame.FillRect(CRect{r.right - 1, r.top + 1, r.right, r.bottom - 1}, *bottomRight);
        if (edges & 8)
            frame.FillRect(CRect{r.left + 1, r.bottom - 1, r.right, r.bottom}, *bottomRight);
        r = CRect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
}

CColor& CJWindow::GetBevelColour(BevelColour which)
{
    SBevelColours& c = BevelColours();
    switch (which) {
    case BevelColour::Light:
        return c.light;
    case BevelColour::StrongLight:
        return c.strongLight;
    case BevelColour::Shadow:
        return c.shadow;
    case BevelColour::StrongShadow:
        break;
    }
    return c.strongShadow;
}

namespace {

void ForEachBevel(const std::function<void(int32_t, CColor&)>& action)
{
    const CJWindow::BevelColour all[4] = {CJWindow::BevelColour::Light, CJWindow::BevelColour::StrongLight,
                                          CJWindow::BevelColour::Shadow, CJWindow::BevelColour::StrongShadow};
    for (int32_t i = 0; i < 4; ++i)
        action(i, CJWindow::GetBevelColour(all[i]));
}

} // namespace

CScopedHalfBevels::CScopedHalfBevels()
{
    ForEachBevel([this](int32_t i, CColor& c) {
        m_Alpha[i] = c.GetAlpha();
        c = CColor(c.GetRed(), c.GetGreen(), c.GetBlue(), uint8_t(c.GetAlpha() / 2));
    });
}

CScopedHalfBevels::~CScopedHalfBevels()
{
    ForEachBevel([this](int32_t i, CColor& c) { c = CColor(c.GetRed(), c.GetGreen(), c.GetBlue(), m_Alpha[i]); });
}

void CJWindow::SetDefaultFont(CFont* font)
{
    // The screen window's font is the default: a program that names its
    // interface font only once the screen window stands (the game, the
    // stand-in) would otherwise leave it without one, and every window built
    // under it in the plain look would inherit none.
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    if (screen && screen->GetFont() == g_DefaultFont)
        screen->SetFont(font);
    g_DefaultFont = font;
}

CFont* CJWindow::GetDefaultFont()
{
    return g_DefaultFont;
}

void CJWindow::SetSkinResources(CFrameList* textureList, CFrameList* skinFrames)
{
    ::SetSkinResources(textureList, skinFrames);
}

void CJWindow::SetStandardCursor(int32_t id, CCursorSequence* cursor)
{
    if (id >= 0 && id < 32)
        g_StandardCursors[id] = cursor;
}

void CJWindow::SetStandardCursor(int32_t id, const char* name, CSequenceList* list)
{
    if (id < 0 || id >= 32)
        return;
    CSequenceList& sequences = list ? *list : GetSequenceList();
    const int32_t index = name ? sequences.Find(name) : -1;
    CSequence* sequence = index >= 0 ? sequences.GetObject(index) : nullptr;
    g_NamedCursors[id] = sequence ? std::make_unique<CSequenceCursor>(*sequence) : nullptr;
    g_StandardCursors[id] = g_NamedCursors[id].get();
}

CCursorSequence* CJWindow::GetStandardCursor(int32_t id)
{
    if (id > 0 && id < 32 && g_StandardCursors[id])
        return g_StandardCursors[id];
    return g_StandardCursors[0];
}
