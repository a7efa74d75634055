#include "ui/CJButton.h"

#include "blit/CFrameInterface.h"
#include "foundation/CCommand.h"
#include "foundation/SaturatingArithmetic.h"
#include "objects/CMessage.h"
#include "render/CProxyFrame.h"
#include "render/CScaledOffsetProxyFrame.h"
#include "shell/CKeyboardState.h"
#include "sound/CSoundList.h"
#include "ui/CAlphaSkinData.h"
#include "ui/CAlphaTheme.h"
#include "ui/CScreenWindow.h"
#include "ui/CSkinTheme.h"
#include "ui/UiHooks.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr uint32_t kKeySpace = 32;
// A pressed draggable button starts a drag beyond this squared distance.
constexpr int64_t kDragThresholdSquared = 16;

void ReplaceCommand(CCommand*& slot, CCommand* command)
{
    if (slot == command)
        return;
    delete slot;
    slot = command;
}

CScreenWindow* ScreenOf(CJWindow& window)
{
    CJWindow* root = window.GetRootWindow();
    return root && root->IsScreenWindow() ? static_cast<CScreenWindow*>(root) : nullptr;
}

void PlaySoundFromList(CSkinTheme* theme, bool entering)
{
    auto* alpha = dynamic_cast<CJWindowAlphaTheme*>(theme);
    if (!alpha)
        return;
    const CAlphaSkinData& data = alpha->GetData();
    const int32_t index = entering ? data.m_EnterHoverSound : data.m_ExitHoverSound;
    // 0 and the "none" reference stay silent.
    if (index > 0)
        CSoundList::SGetGlobal().PlayByIndex(index);
}

} // namespace

CJButton::CJButton(CJWindow* parent)
    : CJWindow(parent)
{
    Construct(nullptr);
}

CJButton::CJButton(CJWindow* parent, const CJString& title, CJButton* partner)
    : CJWindow(parent, title)
{
    Construct(partner);
}

CJButton::CJButton(CJWindow* parent, const char* title, CJButton* partner)
    : CJWindow(parent, title)
{
    Construct(partner);
}

void CJButton::Construct(CJButton* partner)
{
    m_HoverWithChildren = true;
    m_DrawOutline = true;
    if (CSkinTheme* theme = GetSkinTheme()) {
        m_Skin = theme->CreateButtonSkin(*this);
        m_ButtonSkin = dynamic_cast<CButtonSkin*>(m_Skin.get());
    }
    SizeToSkin();
    if (partner)
        partner->m_TabStop = false;
    else
        m_TabStop = true;
    m_HotKeyTakesFocus = true;
    if (partner) {
        // Right after the partner: a lone partner and this point at each other.
        m_NextInRing = partner->m_NextInRing ? partner->m_NextInRing : partner;
        partner->m_NextInRing = this;
    }
}

CJButton::~CJButton()
{
    UnlinkFromRing();
    delete m_Command;
    delete m_DoubleClickCommand;
    delete m_RightClickCommand;
    delete m_HoverEnterCommand;
    delete m_HoverLeaveCommand;
    m_ButtonSkin = nullptr;
    m_Skin.reset();
}

void CJButton::UnlinkFromRing()
{
    // The survivors must not keep pointing at a dead member.
    if (!m_NextInRing)
        return;
    CJButton* previous = m_NextInRing;
    while (previous->m_NextInRing != this)
        previous = previous->m_NextInRing;
    previous->m_NextInRing = (m_NextInRing == previous) ? nullptr : m_NextInRing;
    m_NextInRing = nullptr;
}

// ---- Commands and tool tip ----------------------------------------------------

void CJButton::SetCommand(CCommand* command)
{
    ReplaceCommand(m_Command, command);
}

void CJButton::SetDoubleClickCommand(CCommand* command)
{
    ReplaceCommand(m_DoubleClickCommand, command);
}

void CJButton::SetRightClickCommand(CCommand* command)
{
    ReplaceCommand(m_RightClickCommand, command);
}

void CJButton::SetHoverEnterCommand(CCommand* command)
{
    ReplaceCommand(m_HoverEnterCommand, command);
}

void CJButton::SetHoverLeaveCommand(CCommand* command)
{
    ReplaceCommand(m_HoverLeaveCommand, command);
}

void CJButton::SetToolTip(const CJString* text, bool show)
{
    if (text)
        m_ToolTipText = *text;
    else
        m_ToolTipText.Empty();
    m_ToolTipShown = show ? 1 : 0;
    m_ToolTipHighlightIndex = -1;
}

void CJButton::SetToolTipText(const char* text, bool show)
{
    const CJString value(text ? text : "");
    SetToolTip(&value, show);
}

void CJButton::SetToolTipWithHotKey(const CJString* text, int32_t highlightIndex, bool show, int32_t highlightLength)
{
    SetToolTip(text, show);
    m_ToolTipHighlightIndex = highlightIndex;
    m_ToolTipHighlightLength = (highlightLength == 0 && highlightIndex != -1) ? 1 : highlightLength;
}

void CJButton::SetShowTitleWithIcon(bool show)
{
    m_ShowTitleWithIcon = show;
    m_ToolTipText.Empty();
}

void CJButton::TitleToToolTip(int32_t hotKeyIndex, int32_t hotKeyLength)
{
    if (m_ToolTipText.IsNotEmpty() || m_Title.IsEmpty())
        return;
    m_ToolTipText = m_Title;
    m_ToolTipShown = 1;
    m_ToolTipHighlightIndex = hotKeyIndex;
    m_ToolTipHighlightLength = hotKeyLength;
}

// ---- Images and zoom ------------------------------------------------------------

void CJButton::SetImage(CFrameInterface* image, bool replacesSkin, bool skinFlag2)
{
    m_SkinFlag2 = skinFlag2;
    (replacesSkin ? m_SkinImage : m_Icon) = image;
    if (!image)
        return;
    if (replacesSkin) {
        m_DrawOutline = false;
        m_BorderWidth = 0;
    }
    const int32_t border = m_BorderWidth;
    SetSize(int32_t(image->GetWidth()) + 2 * border, int32_t(image->GetHeight()) + 2 * border);
    if (m_Parent)
        m_Parent->GrowToFitChild(this, kDefaultOffset);
    const int32_t index = m_HotKeyIndex == 255 ? -1 : int32_t(m_HotKeyIndex);
    TitleToToolTip(index, index != -1 ? 1 : 0);
}

void CJButton::SetImages(CFrameInterface* icon, CFrameInterface* skinImage, CFrameInterface* thirdImage,
                         bool moveToOrigin, int32_t x, int32_t y)
{
    m_Icon = icon;
    m_SkinImage = skinImage;
    m_ThirdImage = thirdImage;
    CRect bounds{};
    for (CFrameInterface* image : {icon, skinImage, thirdImage}) {
        if (!image)
            continue;
        CRect b{};
        image->GetBounds(b);
        UnionRectInPlace(bounds, b);
    }
    if (skinImage) {
        m_DrawOutline = false;
        m_BorderWidth = 0;
    }
    const int32_t border = m_BorderWidth;
    SetSize(2 * border - bounds.left + bounds.right, 2 * border - bounds.top + bounds.bottom);
    if (moveToOrigin) {
        m_DrawOutline = false;
        m_BorderWidth = 0;
        MoveTo(x + bounds.left, y + bounds.top);
        // The images draw from their own top-left, so the content scrolls there.
        SetScrollPosition(bounds.left, bounds.top);
    }
    if (m_Parent)
        m_Parent->GrowToFitChild(this, kDefaultOffset);
    const int32_t index = m_HotKeyIndex > 254 ? -1 : int32_t(m_HotKeyIndex);
    TitleToToolTip(index, m_HotKeyLength);
}

void CJButton::SetHoverZoom(float fraction, float seconds)
{
    m_HoverZoom = std::clamp(fraction, 0.0f, 1.0f);
    if (!(fraction >= 0.0f))
        m_HoverZoom = 0.0f;
    m_HoverZoomTime = seconds > 0.0f ? seconds : 0.0f;
}

float CJButton::GetHoverScale() const
{
    if (!(m_HoverZoom > 0.0f))
        return 1.0f;
    // Without a zoom time the button zooms fully at once.
    if (!(m_HoverZoomTime > 0.0f))
        return m_Hovered ? 1.0f + m_HoverZoom : 1.0f;
    return 1.0f + m_HoverTime * m_HoverZoom / m_HoverZoomTime;
}

void CJButton::SetSkinFlag1(bool flag)
{
    m_SkinFlag1 = flag;
}

// ---- Update and drawing -----------------------------------------------------------

void CJButton::Update(float seconds)
{
    // The zoom first: the base may close (delete) the button.
    if (m_HoverZoom > 0.0f) {
        if (m_Hovered)
            m_HoverTime = std::min(m_HoverTime + seconds, m_HoverZoomTime);
        else
            m_HoverTime = std::max(m_HoverTime - seconds, 0.0f);
    }
    CJWindow::Update(seconds);
}

void CJButton::DrawSkin(CFrameInterface& frame)
{
    if (m_ButtonSkin)
        m_ButtonSkin->DrawButton(frame);
}

void CJButton::Draw(CFrameInterface& frame)
{
    const float scale = GetHoverScale();
    auto* target = dynamic_cast<COffsetClippedProxyFrame*>(&frame);
    if (scale == 1.0f || !target) {
        DrawSkin(frame);
        m_ClickFlash = false;
        CJWindow::Draw(frame);
        return;
    }

    // Widen the clip so that the grown button is not cut off.
    CRect bounds{};
    target->GetBounds(bounds);
    const int32_t w = bounds.GetWidth(), h = bounds.GetHeight();
    // A zoom from data may be huge: the widened clip is held at the int range.
    const int32_t growX = TruncateToInt32(std::ceil((double(w) * scale - double(w)) * 0.5));
    const int32_t growY = TruncateToInt32(std::ceil((double(h) * scale - double(h)) * 0.5));
    target->SetClipRect(CRect{SaturatingSub(bounds.left, growX), SaturatingSub(bounds.top, growY),
                              SaturatingAdd(bounds.right, growX), SaturatingAdd(bounds.bottom, growY)});

    // Everything below draws in the button's content coordinates, scaled
    // about the button's centre. The children get the zoom proxy itself: the
    // tree moves their screen coordinates back into the button's.
    COffsetRotateScaleProxyFrame zoom;
    zoom.SetFrame(target);
    zoom.SetPivot(CFPoint{float(GetScrollOffsetX()) + float(GetWidth()) * 0.5f,
                          float(GetScrollOffsetY()) + float(GetHeight()) * 0.5f});
    zoom.SetUniformScale(scale);
    COffsetClippedProxyFrame wrapper(&zoom);

    DrawSkin(wrapper);
    m_ClickFlash = false;
    CJWindow::Draw(zoom);
    target->SetClipRect(bounds);
}

bool CJButton::IsGrayed() const
{
    return false;
}

const SButtonSkinState& CJButton::GetButtonSkinState() const
{
    SButtonSkinState& s = m_SkinState;
    s.pushed = m_Pressed && m_Hovered;
    s.latched = false;
    s.checked = m_Checked != 0;
    s.hovered = m_Hovered;
    // An image that replaces the skin is the face in every state; beside an
    // icon it is the pressed face.
    s.normalImage = m_Icon ? m_Icon : m_SkinImage;
    s.pressedImage = m_SkinImage;
    s.disabledImage = nullptr;
    s.overlayImage = m_ThirdImage;
    s.overlayBehind = m_SkinFlag1;
    s.centreImage = m_SkinFlag2;
    s.textAlignment = m_TitleAlignment;
    s.showTextWithImage = m_ShowTitleWithIcon;
    return s;
}

// ---- Skin and state ---------------------------------------------------------------

bool CJButton::SkinHandleMessage(CMessage& message)
{
    return m_Skin ? m_Skin->OnMessage(message) : false;
}

void CJButton::SizeToSkin()
{
    if (m_ButtonSkin)
        m_ButtonSkin->SizeToContent();
}

void CJButton::SetTitleAlignment(int32_t alignment)
{
    m_TitleAlignment = alignment;
}

void CJButton::SetChecked(int32_t checked)
{
    m_Checked = checked;
    if (!IsInRing())
        return;
    if (checked == 0) {
        m_TabStop = false;
        return;
    }
    m_TabStop = true;
    for (CJButton* other = m_NextInRing; other && other != this; other = other->m_NextInRing) {
        if (other->m_Checked != 0)
            other->SetChecked(0);
    }
}

int32_t CJButton::IsChecked() const
{
    return m_Checked;
}

bool CJButton::ConsumeClicked()
{
    if (!m_Clicked)
        return false;
    m_Clicked = false;
    return true;
}

void CJButton::Click()
{
    PlayClickSound();
    PerformClick();
}

void CJButton::PerformClick()
{
    RunClickAction();
}

void CJButton::RunClickAction()
{
    m_Clicked = true;
    if (IsShownOnScreen())
        m_ClickFlash = true;
    if (m_Command)
        m_Command->Execute();
    else
        NotifyParent(kNotifyClicked);
}

bool CJButton::HitTestImage(CPoint point, CFrameInterface* image)
{
    if (!image)
        return false;
    const CPoint p = ScreenToClient(point);
    return image->HitTest(p.x, p.y);
}

bool CJButton::HitTest(CPoint point)
{
    const int32_t x = point.x - m_ScreenRect.left, y = point.y - m_ScreenRect.top;
    if (x < 0 || y < 0 || x >= m_ContentWidth || y >= m_ContentHeight)
        return false;
    if (m_SkinImage && m_ThirdImage)
        return HitTestImage(point, m_SkinImage);
    return true;
}

void CJButton::PlayClickSound()
{
    CPlaySoundMessage sound(CJString("UI/Button Action.wav"));
    BroadcastMessageToPlugIns(sound);
}

void CJButton::PlayHoverEnterSound()
{
    PlaySoundFromList(GetSkinTheme(), true);
}

void CJButton::PlayHoverLeaveSound()
{
    PlaySoundFromList(GetSkinTheme(), false);
}

void CJButton::UpdateEnabledState()
{
    if (m_Command && m_Command->HasCanExecuteTest())
        Enable(m_Command->CanExecute());
}

// ---- Input ------------------------------------------------------------------------

bool CJButton::OnMouseDown(uint32_t button, CPoint point)
{
    if (button == 0 && m_Pressed)
        return true;
    if (CJWindow::OnMouseDown(button, point))
        return true;
    if (button == 1) {
        if (!m_RightClickCommand)
            return false;
        m_RightClickCommand->Execute();
        return true;
    }
    if (button != 0 || !HitTest(point))
        return false;
    m_PressPoint = ScreenToClient(point);
    m_Pressed = true;
    m_Hovered = true;
    if (m_AutoRepeat) {
        if (CScreenWindow* screen = ScreenOf(*this))
            screen->StartMouseRepeat(this, 0, 0);
    }
    return true;
}

bool CJButton::OnMouseMove(CPoint point, CPoint movement, CCursorSequence*& cursor)
{
    if (CJWindow::OnMouseMove(point, movement, cursor))
        return true;
    const bool was = m_Hovered;
    m_Hovered = m_VisibleRect.ContainsPoint(point.x, point.y) && HitTest(point);
    if (IsEnabledWithParent() && was != m_Hovered) {
        if (m_Hovered) {
            if (m_HoverEnterCommand)
                m_HoverEnterCommand->Execute();
            PlayHoverEnterSound();
        } else {
            if (m_HoverLeaveCommand)
                m_HoverLeaveCommand->Execute();
            PlayHoverLeaveSound();
        }
    }
    if (m_Draggable && !(m_HeldButtons & 1) && m_Pressed) {
        const CPoint p = ScreenToClient(point);
        const int64_t dx = int64_t(p.x) - m_PressPoint.x, dy = int64_t(p.y) - m_PressPoint.y;
        if (dx * dx + dy * dy > kDragThresholdSquared) {
            CJWindow::m_PressPoint = point;
            m_DragDistanceSquared = 0;
            if (OnMouseDrag(point, CPoint{0, 0}, 1, cursor)) {
                m_HeldButtons = uint8_t(m_HeldButtons | 1);
                m_Pressed = false;
                return true;
            }
        }
    }
    return false;
}

bool CJButton::OnMouseUp(uint32_t button, CPoint point)
{
    const bool taken = CJWindow::OnMouseUp(button, point);
    if (button != 0 || !m_Pressed)
        return taken;
    m_Pressed = false;
    if (!m_Hovered)
        return true;
    if (CScreenWindow* screen = ScreenOf(*this); screen && screen->IsPressCancelled())
        return true;
    Click();
    return true;
}

void CJButton::OnMouseRepeat(uint32_t, CPoint)
{
    Click();
}

bool CJButton::OnMouseDoubleClick(uint32_t button, CPoint point, uint32_t flag)
{
    if (CJWindow::OnMouseDoubleClick(button, point, flag))
        return true;
    if (button != 0 || !m_DoubleClickCommand)
        return false;
    m_DoubleClickCommand->Execute();
    return true;
}

bool CJButton::OnHotKeyActivate()
{
    if (!m_Enabled)
        return false;
    Click();
    return true;
}

bool CJButton::OnKeyDown(uint32_t key)
{
    if (!GetUiHooks().IsLevelEditorOpen())
        return CJWindow::OnKeyDown(key);
    if (key == kKeySpace) {
        Click();
        return true;
    }
    if (IsInRing() && (key == uint32_t(EngineKey::Right) || key == uint32_t(EngineKey::Left))) {
        CJButton* target = m_NextInRing;
        if (key == uint32_t(EngineKey::Left)) {
            target = this;
            while (target->m_NextInRing != this)
                target = target->m_NextInRing;
        }
        if (CJWindow* parent = target->GetParent())
            parent->BringChildToFront(target);
        target->Click();
        return true;
    }
    return CJWindow::OnKeyDown(key);
}

void CJButton::SetFocus(bool focus)
{
    CJWindow::SetFocus(focus);
}

bool CJButton::OnHover(CPoint point)
{
    if (!HitTest(point))
        return m_Parent ? m_Parent->OnHover(point) : false;
    if (m_ToolTipText.IsEmpty() || m_ToolTipShown == 0)
        return CJWindow::OnHover(point);
    if (CScreenWindow* screen = ScreenOf(*this))
        screen->ShowToolTip(this, m_ToolTipHighlightIndex, m_ToolTipText, -1, -1, m_ToolTipHighlightLength);
    return true;
}

bool CJButton::WantsAutoHotKey() const
{
    return true;
}
