#pragma once
// A modal box with a text and a row of buttons.
//
// The first button (titled "OK" unless told otherwise) is the default and
// has the focus as the box opens. Enter presses the button that has the
// focus; Escape presses the default, unless made to cancel. A button
// without a command closes the box; a button's command may close it
// afterwards.

#include "ui/CJFrameWindow.h"

class CCommand;
class CJButton;
class CJStatic;

// Texts wider than this (pixels) are wrapped.
inline constexpr int32_t kMessageBoxWrapWidth = 500;

class CJMessageBox : public CJFrameWindow {
public:
    // buttonTitle null = "OK". The box takes the command; with owner, the
    // owner adds the box centred and in front.
    CJMessageBox(CJWindow* parent, const CJString& title, const CJString& text, CJWindow* owner = nullptr,
                 const char* buttonTitle = nullptr, CCommand* command = nullptr, bool closeAfterCommand = true);

    // A code 0 (a button without a command) closes the box.
    void OnNotify(CJWindow* sender, int32_t code) override;
    // Plain letters act as hot keys; Left, Right and Tab move the focus;
    // Enter presses the focused button, Escape the default (or cancels
    // when told to).
    bool OnKeyDown(uint32_t key) override;

    // A further button of the row; the box closes after its command.
    virtual CJButton* AddButton(const CJString& title, CCommand* command);

    CJButton* GetFirstButton() const { return m_FirstButton; }
    CJButton* GetDefaultButton() const { return m_DefaultButton; }
    void SetDefaultButton(CJButton* button) { m_DefaultButton = button; }
    void SetSameWidthButtons(bool same) { m_SameWidthButtons = same; }
    // Escape closes the box without pressing any button: for a question
    // whose default answer changes something.
    void SetEscapeCancels(bool cancels) { m_EscapeCancels = cancels; }

private:
    // The command the box's buttons run: the given one, optionally followed
    // by closing the box.
    CCommand* WrapCommand(CCommand* command, bool closeAfter);
    void CloseBox();

    CJStatic* m_Text = nullptr;
    CJButton* m_FirstButton = nullptr;
    CJButton* m_DefaultButton = nullptr;
    bool m_SameWidthButtons = true;
    bool m_EscapeCancels = false;
};
