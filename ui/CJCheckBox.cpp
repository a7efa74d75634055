#include "ui/CJCheckBox.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "blit/CFrameInterface.h"
#include "images/CFont.h"
#include "objects/CMessage.h"
#include "render/SurfaceHelpers.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

void PlaySwitchSound()
{
    CPlaySoundMessage sound(CJString("UI/Button Switch.wav"));
    BroadcastMessageToPlugIns(sound);
}

int32_t WidthOf(CFrameInterface* image)
{
    return image ? int32_t(image->GetWidth()) : 0;
}

int32_t HeightOf(CFrameInterface* image)
{
    return image ? int32_t(image->GetHeight()) : 0;
}

} // namespace

// ---- Check box ----------------------------------------------------------------------

CJCheckBox::CJCheckBox(CJWindow* parent)
    : CJButton(parent)
{
    InitCheckBox();
}

CJCheckBox::CJCheckBox(CJWindow* parent, const CJString& title, CJButton* partner)
    : CJButton(parent, title, partner)
{
    InitCheckBox();
}

CJCheckBox::CJCheckBox(CJWindow* parent, const char* title, CJButton* partner)
    : CJButton(parent, title, partner)
{
    InitCheckBox();
}

void CJCheckBox::InitCheckBox()
{
    m_BoundValue = nullptr;
    m_BoxSize = m_Font ? int32_t(m_Font->GetHeight()) + 2 : 2;
    m_DrawOutline = false;
    m_BoxOnRight = false;
    SizeToTitle();
}

int32_t CJCheckBox::GetLabelWidth() const
{
    if (!m_Font)
        return 0;
    return m_Font->GetTextWidth(m_Title.IsEmpty() ? CJString("XXX") : m_Title);
}

void CJCheckBox::SizeToTitle()
{
    const int32_t lineHeight = m_Font ? m_Font->GetLineHeight() : 0;
    SetSize(m_BoxSize + GetLabelWidth() + 1, std::max(lineHeight + 2, m_BoxSize));
}

void CJCheckBox::BindValue(bool* value)
{
    m_BoundValue = value;
    if (m_BoundValue)
        SetChecked(*m_BoundValue ? 1 : 0);
}

void CJCheckBox::SetTitle(const CJString& title)
{
    CJWindow::SetTitle(title);
    SizeToTitle();
}

void CJCheckBox::ToggleAndAct()
{
    if (m_Checked != 0 && IsInRing())
        return;
    const bool checked = m_Checked == 0;
    // The owner's variable holds the new state before its command runs.
    if (m_BoundValue)
        *m_BoundValue = checked;
    SetChecked(checked ? 1 : 0);
    RunClickAction();
}

void CJCheckBox::Click()
{
    ToggleAndAct();
}

void CJCheckBox::PlayClickSound()
{
    PlaySwitchSound();
}

void CJCheckBox::Draw(CFrameInterface& frame)
{
    if (HasAnyImage()) {
        CJButton::Draw(frame);
        return;
    }
    std::optional<CScopedBlitOpacity> dimMask, dimBlack;
    if (!IsEnabledWithParent()) {
        dimMask.emplace(GetTransparentMaskBlitType(), 0.4f);
        dimBlack.emplace(GetBlackBiasBlitType(), 0.6f);
    }
    DrawLabel(frame);
    const int32_t x = m_BoxOnRight ? (m_Font ? m_Font->GetTextWidth(m_Title) : 0) + 1 : 0;
    const int32_t y = 0;
    if (m_Hovered && m_Pressed) {
        DrawBoxChecked(frame, x, y);
    } else if (m_Checked != 0) {
        DrawBoxChecked(frame, x, y);
        DrawCheckMark(frame, x, y);
    } else if (m_Hovered) {
        DrawBoxHovered(frame, x, y);
    } else {
        DrawBoxUnchecked(frame, x, y);
    }
    m_ClickFlash = false;
    CJWindow::Draw(frame);
}

void CJCheckBox::DrawBoxChecked(CFrameInterface& frame, int32_t x, int32_t y)
{
    DrawBevelBox(m_Font, frame, CRect{x, y, x + m_BoxSize, y + m_BoxSize}, true, 15, false);
}

void CJCheckBox::DrawBoxHovered(CFrameInterface& frame, int32_t x, int32_t y)
{
    DrawBoxUnchecked(frame, x, y);
}

void CJCheckBox::DrawBoxUnchecked(CFrameInterface& frame, int32_t x, int32_t y)
{
    DrawBevelBox(m_Font, frame, CRect{x, y, x + m_BoxSize, y + m_BoxSize}, true, 15, false);
}

void CJCheckBox::DrawCheckMark(CFrameInterface& frame, int32_t x, int32_t y)
{
    CColor colour = m_Color1;
    const int32_t far = m_BoxSize - 2;
    frame.DrawLine(x + 1, y + 1, x + far, y + far, colour);
    frame.DrawLine(x + far, y + 1, x + 1, y + far, colour);
}

void CJCheckBox::DrawLabel(CFrameInterface& frame)
{
    const int32_t fontHeight = m_Font ? int32_t(m_Font->GetHeight()) : 0;
    DrawTitle(frame, m_BoxOnRight ? -1 : m_BoxSize, (GetHeight() - fontHeight) / 2, 0);
}

// ---- Image check box ---------------------------------------------------------------------

CJImageCheckBox::CJImageCheckBox(CJWindow* parent)
    : CJCheckBox(parent)
{
}

CJImageCheckBox::CJImageCheckBox(CJWindow* parent, const CJString& title, CJButton* partner)
    : CJCheckBox(parent, title, partner)
{
}

CJImageCheckBox::CJImageCheckBox(CJWindow* parent, const char* title, CJButton* partner)
    : CJCheckBox(parent, title, partner)
{
}

CJImageCheckBox::~CJImageCheckBox()
{
    m_BoxImage = m_HoverBoxImage = m_ThirdBoxImage = m_UncheckedImage = nullptr;
    m_CheckedImage = m_LabelImage = m_CheckedLabelImage = nullptr;
}

void CJImageCheckBox::SetBoxImage(CFrameInterface* image)
{
    m_BoxImage = image;
    SizeToImages();
}

void CJImageCheckBox::SetUncheckedImage(CFrameInterface* image)
{
    m_UncheckedImage = image;
    SizeToImages();
}

void CJImageCheckBox::SetCheckedImage(CFrameInterface* image)
{
    m_CheckedImage = image;
    SizeToImages();
}

void CJImageCheckBox::SizeToImages()
{
    int32_t width = 0, height = 0;
    for (CFrameInterface* image : {m_BoxImage, m_HoverBoxImage, m_ThirdBoxImage, m_UncheckedImage, m_CheckedImage}) {
        width = std::max(width, WidthOf(image));
        height = std::max(height, HeightOf(image));
    }
    m_BoxSize = width;
    SetSize(GetLabelWidth() + m_BoxSize + 1, height);
}

void CJImageCheckBox::DrawMasked(CFrameInterface& frame, CFrameInterface& image, int32_t x, int32_t y)
{
    BlitAt(frame, image, x, y, GetTransparentMaskBlitType());
}

void CJImageCheckBox::DrawBoxChecked(CFrameInterface& frame, int32_t x, int32_t y)
{
    if (m_CheckedImage && m_Checked != 0)
        DrawMasked(frame, *m_CheckedImage, x, y);
    else if (m_BoxImage)
        DrawMasked(frame, *m_BoxImage, x, y);
    else
        CJCheckBox::DrawBoxChecked(frame, x, y);
}

void CJImageCheckBox::DrawBoxHovered(CFrameInterface& frame, int32_t x, int32_t y)
{
    if (m_HoverBoxImage)
        DrawMasked(frame, *m_HoverBoxImage, x, y);
    else
        DrawBoxUnchecked(frame, x, y);
}

void CJImageCheckBox::DrawBoxUnchecked(CFrameInterface& frame, int32_t x, int32_t y)
{
    if (m_UncheckedImage)
        DrawMasked(frame, *m_UncheckedImage, x, y);
    else
        CJCheckBox::DrawBoxUnchecked(frame, x, y);
}

void CJImageCheckBox::DrawCheckMark(CFrameInterface& frame, int32_t x, int32_t y)
{
    if (m_CheckedImage)
        DrawMasked(frame, *m_CheckedImage, x, y);
    else
        CJCheckBox::DrawCheckMark(frame, x, y);
}

void CJImageCheckBox::DrawLabel(CFrameInterface& frame)
{
    if (m_LabelImage) {
        CFrameInterface* label = (m_Checked != 0) ? m_CheckedLabelImage : m_LabelImage;
        if (label)
            DrawMasked(frame, *label, 0, 0);
    }
    const int32_t pointSize = m_Font ? m_Font->GetPointSize() : 0;
    const int32_t y = int32_t(std::lround(float(HeightOf(m_CheckedImage) - pointSize) * 0.5f));
    DrawTitle(frame, m_BoxOnRight ? -1 : m_BoxSize, y, 0);
}

// ---- Radio buttons ----------------------------------------------------------------------

CJRadioButton::CJRadioButton(CJWindow* parent, const CJString& title, CJButton* partner)
    : CJButton(parent, title, partner)
{
}

CJRadioButton::CJRadioButton(CJWindow* parent, const char* title, CJButton* partner)
    : CJButton(parent, title, partner)
{
}

bool CJRadioButton::OnHotKeyActivate()
{
    if (m_Checked != 0 || !m_Enabled)
        return false;
    Click();
    return true;
}

void CJRadioButton::Click()
{
    if (m_Checked != 0 && IsInRing())
        return;
    PlayClickSound();
    SetChecked(m_Checked == 0 ? 1 : 0);
    RunClickAction();
}

void CJRadioButton::PlayClickSound()
{
    PlaySwitchSound();
}

CJToggleRadioButton::CJToggleRadioButton(CJWindow* parent, const CJString& title, CJButton* partner)
    : CJButton(parent, title, partner)
{
}

CJToggleRadioButton::CJToggleRadioButton(CJWindow* parent, const char* title, CJButton* partner)
    : CJButton(parent, title, partner)
{
}

void CJToggleRadioButton::Click()
{
    PlayClickSound();
    SetChecked(m_Checked == 0 ? 1 : 0);
    RunClickAction();
}

void CJToggleRadioButton::PlayClickSound()
{
    PlaySwitchSound();
}
