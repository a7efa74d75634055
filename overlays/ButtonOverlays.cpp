#include "overlays/ButtonOverlays.h"

#include "foundation/CStaticContentsList.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "objects/CBoolProperty.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CListProperty.h"
#include "objects/CPointProperty.h"
#include "overlays/OverlayClassBody.h"
#include "overlays/OverlayDrawing.h"
#include "render/CProxyFrame.h"
#include "render/CScaledOffsetProxyFrame.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJButton.h"
#include "ui/CJCheckBox.h"
#include "ui/CJFrameWindow.h"
#include "ui/CSkinTheme.h"

#include <algorithm>
#include <memory>

namespace {

CSkinTheme* ThemeAt(int32_t index)
{
    CSkinThemeList& list = GetSkinThemeList();
    return index >= 0 && index < list.GetCount() ? list.GetObject(index) : nullptr;
}

// The parent a control is built with: controls take their skin from it
// (its theme, else the default one). It holds no children.
class CThemeParent {
public:
    explicit CThemeParent(int32_t themeIndex)
    {
        if (CSkinTheme* theme = ThemeAt(themeIndex)) {
            m_pWindow = new CJWindow(nullptr);
            m_pWindow->SetSkinTheme(theme);
        }
    }
    ~CThemeParent()
    {
        if (m_pWindow)
            m_pWindow->Destroy();
    }
    CThemeParent(const CThemeParent&) = delete;
    CThemeParent& operator=(const CThemeParent&) = delete;
    CJWindow* Get() const { return m_pWindow; }

private:
    CJWindow* m_pWindow = nullptr;
};

CFrame* OptionalFrame(int32_t index)
{
    return GetFrameLibrary().IsNoneRow(index) ? nullptr : GetOverlayFrame(index);
}

void AddButtonPicture(CPropertyDeclarer& d, int32_t CFrameOverlayButton::*member, const char* name)
{
    d.AddListReference(member, name, &GetFrameLibrary(), nullptr).DefaultWhenMissing();
}

// Draws a control that lives outside any tree with its top-left at its
// rectangle's, as the tree's pass would place it.
void DrawControlAtItsPlace(CJWindow& control, CFrameInterface& target)
{
    const CRect& rect = control.GetRect();
    COffsetClippedProxyFrame placed(&target);
    placed.SetOffset(-rect.left, -rect.top);
    placed.SetClipRect(CRect{0, 0, rect.right - rect.left, rect.bottom - rect.top});
    control.Draw(placed);
}

// The same, with the images it draws proxied about its centre.
void DrawControlWithItsImages(CJWindow& control, CFrameOverlayDrawContext& context)
{
    const CRect& rect = control.GetRect();
    COverlayImageProxies proxies(context, float(rect.left + (rect.right - rect.left) / 2),
                                 float(rect.top + (rect.bottom - rect.top) / 2));
    DrawControlAtItsPlace(control, *context.m_pTarget);
}

// Places and sizes from data, held where window geometry stays in int32.
constexpr int32_t kFarthestPlace = 1000000;
constexpr int32_t kLargestSize = 65535;

int32_t Place(int32_t value)
{
    return std::clamp(value, -kFarthestPlace, kFarthestPlace);
}

int32_t Size(int32_t value)
{
    return std::clamp(value, 0, kLargestSize);
}

// The window is destroyed through the toolkit, never deleted in place.
struct SDestroyWindow {
    void operator()(CJWindow* window) const { window->Destroy(); }
};

} // namespace

// --- The look of a push button ---

OMBRISALT_OVERLAY_CLASS(CFrameOverlayJButtonOverlay, 1.0)

void CFrameOverlayJButtonOverlay::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CFrameOverlayJButtonOverlay;
    d.AddListReference(&C::m_SkinTheme, "Skin Theme", &GetSkinThemeList(), nullptr).DefaultWhenMissing();
    d.Add(&C::m_Position, "Position", CPoint{0, 0});
    d.Add(&C::m_Title, "Title", "");
}

void CFrameOverlayJButtonOverlay::Draw(CFrameOverlayDrawContext& context)
{
    CThemeParent themed(m_SkinTheme);
    std::unique_ptr<CJButton, SDestroyWindow> button(
        new CJButton(themed.Get(), context.Substitute(ShownText(m_Title))));
    button->MoveTo(Place(m_Position.x), Place(m_Position.y));
    DrawControlWithItsImages(*button, context);
}

void CFrameOverlayJButtonOverlay::MoveBy(int32_t dx, int32_t dy)
{
    MovePoint(m_Position, dx, dy);
}

void CFrameOverlayJButtonOverlay::GetDescription(CJString& out, const char*)
{
    Describe(out, m_Title.GetText());
}

// --- The look of a frame window ---

OMBRISALT_OVERLAY_CLASS(CFrameOverlayJWindowOverlay, 1.0)

void CFrameOverlayJWindowOverlay::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CFrameOverlayJWindowOverlay;
    d.AddListReference(&C::m_SkinTheme, "Skin Theme", &GetSkinThemeList(), nullptr).DefaultWhenMissing();
    d.Add(&C::m_Position, "Position", CPoint{0, 0});
    d.Add(&C::m_Size, "Size", CPoint{100, 100});
    d.Add(&C::m_bTransparentBackground, "Transparent Background", false);
    d.Add(&C::m_Title, "Title", "");
    d.AddListReference(&C::m_IconSequence, "Icon Sequence", &GetSequenceList(), nullptr).DefaultWhenMissing();
}

void CFrameOverlayJWindowOverlay::Draw(CFrameOverlayDrawContext& context)
{
    CThemeParent themed(m_SkinTheme);
    std::unique_ptr<CJFrameWindow, SDestroyWindow> window(
        new CJFrameWindow(themed.Get(), context.Substitute(ShownText(m_Title))));
    window->SetSize(Size(m_Size.x), Size(m_Size.y));
    window->MoveTo(Place(m_Position.x), Place(m_Position.y));
    window->SetTransparent(m_bTransparentBackground);
    window->SetIconSequenceIndex(m_IconSequence);
    DrawControlWithItsImages(*window, context);
}

void CFrameOverlayJWindowOverlay::MoveBy(int32_t dx, int32_t dy)
{
    MovePoint(m_Position, dx, dy);
}

void CFrameOverlayJWindowOverlay::GetDescription(CJString& out, const char*)
{
    Describe(out, m_Title.GetText());
}

// --- The real button ---

OMBRISALT_OVERLAY_CLASS(CFrameOverlayButton, 1.0)

void CFrameOverlayButton::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CFrameOverlayButton;
    d.Add(&C::m_bSizeAutomatically, "Size Automatically", false);
    d.AddListReference(&C::m_HotSpotJustification, "Hot Spot Justification", &GetOverlayJustificationList(),
                       "Justify Left");
    d.AddListReference(&C::m_TextJustification, "Text Justification", &GetOverlayJustificationList(), "Justify Center");
    d.AddListReference(&C::m_SkinTheme, "Skin Theme", &GetSkinThemeList(), nullptr).DefaultWhenMissing();
    AddButtonPicture(d, &C::m_NormalImage, "Normal Image");
    AddButtonPicture(d, &C::m_HoverImage, "Hover Image");
    AddButtonPicture(d, &C::m_PressedImage, "Pressed Image");
    d.Add(&C::m_bDrawTitleAndImage, "Draw Title And Image", false);
    d.Add(&C::m_bGetPositionFromImages, "Get Position From Images", false);
    d.Add(&C::m_bDrawHoverInBack, "Draw Hover In Back", false);
    d.Add(&C::m_bIsAToggleableCheckBox, "Is A Toggleable Check Box", false);
    AddButtonPicture(d, &C::m_CheckBoxCheckedImage, "Check Box Checked Image");
    AddButtonPicture(d, &C::m_CheckBoxUncheckedImage, "Check Box Unchecked Image");
    d.Add(&C::m_MaximumSize, "Maximum Size", CPoint{0, 0});
    d.Add(&C::m_HoverScaleMultiplier, "Hover Scale Multiplier", 0.0f).Range(0.0f, 1.0f);
    d.Add(&C::m_HoverScaleAdjustTime, "Hover Scale Adjust Time", 0.1f).Units("seconds");
}

void CFrameOverlayButton::AttachProxyWindow(CJWindowControlProxyDrawMixIn* mixIn)
{
    m_ProxyWindow.Set(mixIn);
}

CJButton* CFrameOverlayButton::CreateButtonWindow(CTextSubstitutionList* substitutions, CJButton* partner)
{
    return BuildControl(substitutions, partner, ControlKind::AsPlaced);
}

CJButton* CFrameOverlayButton::BuildControl(CTextSubstitutionList* substitutions, CJButton* partner, ControlKind kind)
{
    auto substitute
        = [substitutions](const CJString& text) { return substitutions ? substitutions->Apply(text) : text; };
    const CJString title = substitute(ShownText(m_Title));
    const CJString tip = substitute(ShownText(m_ToolTip));
    const bool proxy = kind == ControlKind::AsPlaced && IsControlledByTimeline() && !IsOverlayEditorOpen();
    CFrame* checkedImage = OptionalFrame(m_CheckBoxCheckedImage);
    CFrame* uncheckedImage = OptionalFrame(m_CheckBoxUncheckedImage);

    CThemeParent themed(m_SkinTheme);
    CJWindow* parent = themed.Get();
    CJButton* button = nullptr;
    CJWindowControlProxyDrawMixIn* mixIn = nullptr;
    if (!m_bIsAToggleableCheckBox) {
        if (proxy) {
            auto* made = new CJButtonProxyDrawTemplate<CJButton>(parent, title);
            button = made;
            mixIn = made;
        } else {
            button = new CJButton(parent, title);
        }
    } else if (checkedImage && uncheckedImage) {
        CJImageCheckBox* box = nullptr;
        if (proxy) {
            auto* made = new CJButtonProxyDrawTemplate<CJImageCheckBox>(parent, title, partner);
            box = made;
            mixIn = made;
        } else {
            box = new CJImageCheckBox(parent, title, partner);
        }
        box->SetCheckedImage(checkedImage);
        box->SetBoxImage(uncheckedImage);
        box->SetUncheckedImage(uncheckedImage);
        button = box;
    } else if (proxy) {
        auto* made = new CJButtonProxyDrawTemplate<CJCheckBox>(parent, title, partner);
        button = made;
        mixIn = made;
    } else {
        button = new CJCheckBox(parent, title, partner);
    }
    if (mixIn)
        AttachProxyWindow(mixIn);

    button->SetTitleAlignment(m_TextJustification);
    if (!m_bSizeAutomatically)
        button->SetSize(Size(m_Size.x), Size(m_Size.y));
    int32_t width = button->GetWidth();
    int32_t height = button->GetHeight();
    if (m_MaximumSize.x > 5 && width > m_MaximumSize.x)
        width = m_MaximumSize.x;
    if (m_MaximumSize.y > 5 && height > m_MaximumSize.y)
        height = m_MaximumSize.y;
    if (width != button->GetWidth() || height != button->GetHeight())
        button->SetSize(width, height);

    const int32_t x = Place(m_Position.x);
    const int32_t top = Place(m_Position.y);
    int32_t left = x;
    if (m_HotSpotJustification == int32_t(OverlayJustification::Center))
        left = x - width / 2;
    else if (m_HotSpotJustification == int32_t(OverlayJustification::Right))
        left = x - width;
    button->MoveTo(left, top);

    if (CFrame* normal = OptionalFrame(m_NormalImage))
        button->SetImages(normal, OptionalFrame(m_PressedImage), OptionalFrame(m_HoverImage), m_bGetPositionFromImages,
                          left, top);
    if (m_bDrawHoverInBack)
        button->SetSkinFlag1(true);
    if (m_bDrawTitleAndImage) {
        button->SetShowTitleWithIcon(true);
        button->SetTitle(title);
    }
    if (tip.IsNotEmpty())
        button->SetToolTip(&tip, true);
    if (m_HoverScaleMultiplier > 0.0f)
        button->SetHoverZoom(m_HoverScaleMultiplier, m_HoverScaleAdjustTime);
    return button;
}

void CFrameOverlayButton::Draw(CFrameOverlayDrawContext& context)
{
    if (context.m_bShowMarkers) {
        // A plain look: the live control, if any, keeps its registration.
        std::unique_ptr<CJButton, SDestroyWindow> look(
            BuildControl(context.m_pSubstitutions, nullptr, ControlKind::Plain));
        DrawControlAtItsPlace(*look, *context.m_pTarget);
        return;
    }
    CJWindowControlProxyDrawMixIn* control = m_ProxyWindow.Get();
    if (!control)
        return;
    if (!context.m_bAnimating)
        control->SetProxyActive(true);
    CFrameInterface* target = context.m_pTarget;
    COffsetRotateScaleProxyFrame moved;
    if (!context.IsAtRest()) {
        moved.SetFrame(target);
        moved.SetPivot(control->GetProxyCenter());
        moved.SetOffset(CFPoint{context.m_OffsetX, context.m_OffsetY});
        moved.SetScale(CFPoint{context.m_ScaleX, context.m_ScaleY});
        moved.SetRotationDegrees(context.m_Rotation);
        if (context.m_Opacity < 1.0f)
            moved.SetOpacity(context.m_Opacity);
        target = &moved;
    }
    // The control's rectangle already holds the containers' positions,
    // which their own proxies add again.
    COffsetProxyFrame back(target, context.m_WindowOffsetX, context.m_WindowOffsetY);
    COffsetClippedProxyFrame drawn(&back);
    control->DrawProxy(drawn);
}

// --- The set's lookup ---

CJButton* CFrameOverlayOptions::CreateButtonWindow(const CJString& name, CTextSubstitutionList* substitutions)
{
    CPoint accumulator{0, 0};
    auto* overlay = dynamic_cast<CFrameOverlayButton*>(FindOverlay(name, substitutions, &accumulator));
    if (!overlay)
        return nullptr;
    CJButton* button = overlay->CreateButtonWindow(substitutions, nullptr);
    const CRect& rect = button->GetRect();
    button->MoveTo(Place(rect.left + Place(accumulator.x)), Place(rect.top + Place(accumulator.y)));
    return button;
}
