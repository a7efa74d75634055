#include "ui/CJMessageBox.h"

#include "foundation/CCommand.h"
#include "images/CFont.h"
#include "shell/CKeyboardState.h"
#include "ui/CJButton.h"
#include "ui/CJStatic.h"

namespace {

// Closing deletes the box with the button and its running command, so the
// command only asks; the box goes at its next update.
class CRequestCloseCommand : public CCommand {
public:
    explicit CRequestCloseCommand(CJWindow& window)
        : m_Window(window)
    {
    }
    void Execute() override { m_Window.RequestClose(); }

private:
    CJWindow& m_Window;
};

} // namespace

CJMessageBox::CJMessageBox(CJWindow* parent, const CJString& title, const CJString& text, CJWindow* owner,
                           const char* buttonTitle, CCommand* command, bool closeAfterCommand)
    : CJFrameWindow(parent, title)
{
    m_Modal = true;
    CJString shown = text;
    if (m_Font && m_Font->GetMultiLineTextWidth(text) > kMessageBoxWrapWidth)
        shown = m_Font->WrapText(text, kMessageBoxWrapWidth, TrailingSpaces::Cut);
    m_Text = &Add<CJStatic>(EPlace::TopLeft, shown);
    // A message is text: an '&' in it (a player's name) is no hot-key mark.
    m_Text->SetParseHotKeyMark(false);
    m_Text->SetTitle(shown);

    CJButton& button = Add<CJButton>(EPlace::BelowPreviousCentred, buttonTitle ? buttonTitle : "OK");
    m_FirstButton = &button;
    m_DefaultButton = &button;
    button.SetHotKeyChar(kKeyEnter);
    if (command)
        button.SetCommand(WrapCommand(command, closeAfterCommand));

    if (owner) {
        owner->AddChildFirst(this, EPlace::Centred);
        owner->BringChildToFront(this);
    }
}

CCommand* CJMessageBox::WrapCommand(CCommand* command, bool closeAfter)
{
    if (!closeAfter)
        return command;
    CMultipleCommands* both = new CMultipleCommands(command);
    both->Add(new CRequestCloseCommand(*this));
    return both;
}

CJButton* CJMessageBox::AddButton(const CJString& title, CCommand* command)
{
    CJButton* button = &Add<CJButton>(EPlace::TopLeft, title);
    if (command)
        button->SetCommand(WrapCommand(command, true));
    // Focus moves rotate the child ring and can leave the text between the
    // buttons; the row must hold buttons only.
    if (m_Text)
        SendChildToBack(m_Text);
    ArrangeRow(m_FirstButton, button, 0, true, m_SameWidthButtons, -999, true);
    return button;
}

void CJMessageBox::OnNotify(CJWindow* sender, int32_t code)
{
    if (code == kNotifyClicked) {
        // The clicked button touches nothing of its own after the notice.
        Close();
        return;
    }
    CJFrameWindow::OnNotify(sender, code);
}

bool CJMessageBox::OnKeyDown(uint32_t key)
{
    if (CJWindow::OnKeyDown(key))
        return true;
    // Before the hot keys: the first button's Enter would answer for the
    // button Tab or an arrow moved the focus to.
    if (key == kKeyEnter && m_FirstChild && m_FirstChild->IsTabStop()) {
        m_FirstChild->OnHotKeyActivate();
        return true;
    }
    if (CJWindow::OnHotKey(key))
        return true;
    switch (key) {
    case uint32_t(EngineKey::Left):
        FocusPrevious();
        return true;
    case uint32_t(EngineKey::Right):
        FocusNext();
        return true;
    case kKeyEscape:
        if (m_EscapeCancels) {
            RequestClose();
            return true;
        }
        [[fallthrough]];
    case kKeyEnter:
        if (m_DefaultButton)
            m_DefaultButton->OnHotKeyActivate();
        return true;
    default:
        return false;
    }
}

void CJWindow::ShowMessageBox(const CJString& title, const CJString& text)
{
    CJMessageBox* box = new CJMessageBox(this, title, text);
    box->SetModal(true);
    CJWindow* host = m_Parent ? m_Parent : this;
    host->AddChildFirst(box, EPlace::Centred);
}
