#pragma once
// A numeric edit with up and down arrow buttons that step its value, kept
// within a range when one is set (minimum and maximum not both 0); a step
// that leaves the range stops at its end with the error sound. The edit
// holds the value: title operations, numeric ones included, go to it. The
// spin, not its edit, is the tab stop, as a combo box is for its list: the
// focus it takes passes to the edit.

#include "ui/CJWindow.h"

#include <cstdint>

class CCommand;
class CJButton;
class CJEdit;

class CJSpin : public CJWindow {
public:
    explicit CJSpin(CJWindow* parent);
    // sample: the text whose width the edit is given ("19999" when null).
    CJSpin(CJWindow* parent, const CJString& title, const char* sample = nullptr);
    ~CJSpin() override;

    void SetTitle(const CJString& title) override;
    const char* GetTitleText() const override;
    const CJString& GetTitle() const override;
    int32_t GetTitleAsInt() const override;
    float GetTitleAsFloat() const override;
    // Always brings the edit.
    void BringChildToFront(CJWindow* child) override;
    void OnNotify(CJWindow* sender, int32_t code) override;
    // Up and Down click the arrow buttons.
    bool OnKeyDown(uint32_t key) override;
    bool OnMouseWheel(int32_t delta, CPoint point) override;
    // The right button held: vertical moves change the value.
    bool OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*& cursor) override;
    bool OnHover(CPoint point) override;

    // The edit's value + delta, kept in the range; the edit shows it, the
    // command runs and the parent is told.
    virtual void ChangeValue(float delta);

    // Both 0: no range.
    void SetRange(float minimum, float maximum)
    {
        m_Minimum = minimum;
        m_Maximum = maximum;
    }
    float GetMinimum() const { return m_Minimum; }
    float GetMaximum() const { return m_Maximum; }
    void SetStep(float step) { m_Step = step; }
    float GetStep() const { return m_Step; }
    float GetValue() const;
    // Takes the command (deletes the old one); null clears.
    void SetChangeCommand(CCommand* command);
    void SetToolTipText(const CJString& text, bool show)
    {
        m_ToolTipText = text;
        m_ToolTipShown = show;
    }

    CJEdit* GetEdit() const { return m_Edit; }
    CJButton* GetUpButton() const { return m_UpButton; }
    CJButton* GetDownButton() const { return m_DownButton; }

private:
    void Construct(const CJString& title, const char* sample);
    void RunChangeCommand();

    CJEdit* m_Edit = nullptr;
    CJButton* m_UpButton = nullptr;
    CJButton* m_DownButton = nullptr;
    float m_Minimum = 0.0f;
    float m_Maximum = 0.0f;
    float m_Step = 1.0f;
    CCommand* m_ChangeCommand = nullptr;
    CJString m_ToolTipText;
    bool m_ToolTipShown = false;
};
