#pragma once
// Check boxes and radio buttons: buttons that differ only in what a click
// does to the checked state, which sound they play and how they look.
//
//   click on        checked and in a ring     otherwise
//   check box       nothing                   toggle (bound bool first), no sound
//   radio button    nothing                   "UI/Button Switch.wav", check
//   toggle radio    as otherwise              "UI/Button Switch.wav", toggle
//
// A toggle radio button may leave its ring with none checked. Radio buttons
// are drawn by the button skin; check boxes draw their own box and cross (or
// images) beside the title.

#include "ui/CJButton.h"

class CJCheckBox : public CJButton {
public:
    explicit CJCheckBox(CJWindow* parent);
    CJCheckBox(CJWindow* parent, const CJString& title, CJButton* partner = nullptr);
    CJCheckBox(CJWindow* parent, const char* title, CJButton* partner = nullptr);

    void Draw(CFrameInterface& frame) override;
    // Resizes to the new title.
    void SetTitle(const CJString& title) override;
    void Click() override;
    // "UI/Button Switch.wav"; the click itself stays silent.
    void PlayClickSound() override;

    // x, y: the box's top-left in content coordinates.
    virtual void DrawBoxChecked(CFrameInterface& frame, int32_t x, int32_t y);
    virtual void DrawBoxHovered(CFrameInterface& frame, int32_t x, int32_t y);
    virtual void DrawBoxUnchecked(CFrameInterface& frame, int32_t x, int32_t y);
    virtual void DrawCheckMark(CFrameInterface& frame, int32_t x, int32_t y);
    virtual void DrawLabel(CFrameInterface& frame);

    // Every click writes the new state there; the box takes the variable's
    // state now. The variable must outlive the box; null unbinds.
    void BindValue(bool* value);
    bool* GetBoundValue() const { return m_BoundValue; }
    void SetBoxOnRight(bool onRight) { m_BoxOnRight = onRight; }
    bool IsBoxOnRight() const { return m_BoxOnRight; }
    int32_t GetBoxSize() const { return m_BoxSize; }

protected:
    // The box's side from the font, then the size rule.
    void InitCheckBox();
    // Box, title (or "XXX") and one pixel between.
    void SizeToTitle();
    // The title's width, or that of "XXX" when it is empty.
    int32_t GetLabelWidth() const;
    // Toggle (bound bool first) unless checked in a ring, then the click
    // action; no sound.
    void ToggleAndAct();

    bool* m_BoundValue = nullptr;
    bool m_BoxOnRight = false;
    int32_t m_BoxSize = 0;
};

class CJImageCheckBox : public CJCheckBox {
public:
    explicit CJImageCheckBox(CJWindow* parent);
    CJImageCheckBox(CJWindow* parent, const CJString& title, CJButton* partner = nullptr);
    CJImageCheckBox(CJWindow* parent, const char* title, CJButton* partner = nullptr);
    ~CJImageCheckBox() override;

    void DrawBoxChecked(CFrameInterface& frame, int32_t x, int32_t y) override;
    void DrawBoxHovered(CFrameInterface& frame, int32_t x, int32_t y) override;
    void DrawBoxUnchecked(CFrameInterface& frame, int32_t x, int32_t y) override;
    void DrawCheckMark(CFrameInterface& frame, int32_t x, int32_t y) override;
    void DrawLabel(CFrameInterface& frame) override;
    // The box is as large as the largest box image.
    virtual void SizeToImages();

    // Each resizes to the images.
    void SetBoxImage(CFrameInterface* image);
    void SetUncheckedImage(CFrameInterface* image);
    void SetCheckedImage(CFrameInterface* image);

    // Not owned. The hover, third and label images are assigned directly.
    CFrameInterface* m_BoxImage = nullptr;
    CFrameInterface* m_HoverBoxImage = nullptr;
    CFrameInterface* m_ThirdBoxImage = nullptr;
    CFrameInterface* m_UncheckedImage = nullptr;
    CFrameInterface* m_CheckedImage = nullptr;
    CFrameInterface* m_LabelImage = nullptr;
    CFrameInterface* m_CheckedLabelImage = nullptr;

private:
    // Draws image with the "Transparent Mask" blit at (x, y).
    void DrawMasked(CFrameInterface& frame, CFrameInterface& image, int32_t x, int32_t y);
};

class CJRadioButton : public CJButton {
public:
    CJRadioButton(CJWindow* parent, const CJString& title, CJButton* partner = nullptr);
    CJRadioButton(CJWindow* parent, const char* title, CJButton* partner = nullptr);

    // Only an enabled, unchecked radio button answers its hot key.
    bool OnHotKeyActivate() override;
    void Click() override;
    void PlayClickSound() override;
};

class CJToggleRadioButton : public CJButton {
public:
    CJToggleRadioButton(CJWindow* parent, const CJString& title, CJButton* partner = nullptr);
    CJToggleRadioButton(CJWindow* parent, const char* title, CJButton* partner = nullptr);

    void Click() override;
    void PlayClickSound() override;
};
