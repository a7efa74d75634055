#include "ui/CJSpin.h"

#include "foundation/CCommand.h"
#include "images/CFont.h"
#include "objects/CMessage.h"
#include "shell/CKeyboardState.h"
#include "ui/CJButton.h"
#include "ui/CJEdit.h"
#include "ui/CJSlider.h"
#include "ui/CScreenWindow.h"

namespace {

constexpr int32_t kCursorDragValue = 10;

void PlayErrorSound()
{
    CPlaySoundMessage sound(CJString("Player Error.wav"));
    BroadcastMessageToPlugIns(sound);
}

CJButton* MakeArrowButton(CJSpin& spin, char16_t glyph, int32_t height)
{
    const char16_t title[] = {glyph, 0};
    auto* button = new CJButton(&spin, CJString(title));
    button->SetTabStop(false);
    button->SetDrawOutline(false);
    button->SetAutoRepeat(true);
    button->SetSize(height * 3 / 4, (height + 2) / 2);
    return button;
}

} // namespace

CJSpin::CJSpin(CJWindow* parent)
    : CJWindow(parent)
{
    Construct(CJString(), nullptr);
}

CJSpin::CJSpin(CJWindow* parent, const CJString& title, const char* sample)
    : CJWindow(parent)
{
    Construct(title, sample);
}

CJSpin::~CJSpin()
{
    delete m_ChangeCommand;
}

void CJSpin::Construct(const CJString& title, const char* sample)
{
    m_TabStop = true;
    m_Edit = new CJEdit(this, title);
    m_Edit->SetTabStop(false);
    m_Edit->SetDrawOutline(false);
    m_Edit->SetNumbersOnly(true);
    const int32_t sampleWidth = m_Font ? m_Font->GetTextWidth(CJString(sample ? sample : "19999")) : 0;
    m_Edit->SetWidth(sampleWidth + 4);
    const int32_t height = m_Edit->GetHeight();
    m_UpButton = MakeArrowButton(*this, char16_t(0x25B2), height);
    m_DownButton = MakeArrowButton(*this, char16_t(0x25BC), height);
    const uint32_t flags = kPlacePixels | kPlaceGrowNoMargin;
    AddChild(m_Edit, {EPlace::AsIs, nullptr, 0, 0, flags});
    AddChild(m_UpButton, {EPlace::RightOfPrevious, m_Edit, 0, 0, flags});
    AddChild(m_DownButton, {EPlace::BelowPrevious, nullptr, 0, 0, flags});
    m_Minimum = m_Maximum = 0.0f;
    m_Step = 1.0f;
    CJWindow::BringChildToFront(m_Edit);
}

void CJSpin::SetTitle(const CJString& title)
{
    if (m_Edit)
        m_Edit->SetTitle(title);
    else
        CJWindow::SetTitle(title);
}

const char* CJSpin::GetTitleText() const
{
    return m_Edit ? m_Edit->GetTitleText() : CJWindow::GetTitleText();
}

const CJString& CJSpin::GetTitle() const
{
    return m_Edit ? m_Edit->GetTitle() : CJWindow::GetTitle();
}

int32_t CJSpin::GetTitleAsInt() const
{
    return m_Edit ? m_Edit->GetTitleAsInt() : CJWindow::GetTitleAsInt();
}

float CJSpin::GetTitleAsFloat() const
{
    return m_Edit ? m_Edit->GetTitleAsFloat() : CJWindow::GetTitleAsFloat();
}

void CJSpin::BringChildToFront(CJWindow*)
{
    CJWindow::BringChildToFront(m_Edit);
}

float CJSpin::GetValue() const
{
    return m_Edit ? m_Edit->GetTitleAsFloat() : 0.0f;
}

void CJSpin::SetChangeCommand(CCommand* command)
{
    if (command == m_ChangeCommand)
        return;
    delete m_ChangeCommand;
    m_ChangeCommand = command;
}

void CJSpin::RunChangeCommand()
{
    if (m_ChangeCommand)
        m_ChangeCommand->Execute();
}

void CJSpin::ChangeValue(float delta)
{
    float value = GetValue() + delta;
    if (m_Minimum != 0.0f || m_Maximum != 0.0f) {
        if (value < m_Minimum) {
            value = m_Minimum;
            PlayErrorSound();
        }
        if (value > m_Maximum) {
            value = m_Maximum;
            PlayErrorSound();
        }
    }
    m_Edit->SetTitleFromFloat(value);
    RunChangeCommand();
    NotifyParent(kNotifyChanged);
}

void CJSpin::OnNotify(CJWindow* sender, int32_t code)
{
    if (sender && sender == m_UpButton) {
        if (code == kNotifyClicked)
            ChangeValue(m_Step);
        return;
    }
    if (sender && sender == m_DownButton) {
        if (code == kNotifyClicked)
            ChangeValue(-m_Step);
        return;
    }
    if (sender && sender == m_Edit) {
        if (code == kNotifyChanged)
            RunChangeCommand();
        NotifyParent(code);
        return;
    }
    CJWindow::OnNotify(sender, code);
}

bool CJSpin::OnKeyDown(uint32_t key)
{
    if (key == uint32_t(EngineKey::Up))
        return m_UpButton->OnHotKeyActivate();
    if (key == uint32_t(EngineKey::Down))
        return m_DownButton->OnHotKeyActivate();
    return CJWindow::OnKeyDown(key);
}

bool CJSpin::OnMouseWheel(int32_t delta, CPoint)
{
    (delta <= 0 ? m_DownButton : m_UpButton)->Click();
    return true;
}

bool CJSpin::OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*& cursor)
{
    if (!(buttons & 2))
        return CJWindow::OnMouseDrag(point, movement, buttons, cursor);
    cursor = GetStandardCursor(kCursorDragValue);
    if (movement.y != 0)
        ChangeValue(-float(movement.y) * m_Step);
    return true;
}

bool CJSpin::OnHover(CPoint point)
{
    if (m_ToolTipText.IsEmpty() || !m_ToolTipShown)
        return CJWindow::OnHover(point);
    CJWindow* root = GetRootWindow();
    if (root && root->IsScreenWindow())
        static_cast<CScreenWindow*>(root)->ShowToolTip(this, -1, m_ToolTipText);
    return true;
}
