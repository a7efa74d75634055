#pragma once
// The push button, and the base of every clickable control.
//
// A left press inside the button arms it; releasing while the pointer is
// still over it (and the press was not cancelled with Escape) clicks. A
// click plays the button's sound and then runs the bound command or, with
// none, tells the parent (OnNotify with kNotifyClicked), never both. The
// click latch stays set until the owner reads it with ConsumeClicked, so
// owners may poll instead of binding a command.
//
// Buttons built with a partner join the partner's radio ring right after
// it; at most one member of a ring is checked, and that one is the ring's
// tab stop.
//
// The skin the theme makes for the button draws it; it reads the state
// through CButtonSkinClient. Images are not owned; the five commands and
// the skin are.

#include "foundation/CPoint.h"
#include "ui/CControlSkins.h"
#include "ui/CJWindow.h"

#include <cstdint>
#include <memory>

class CCommand;
class CMessage;

class CJButton : public CJWindow, public CButtonSkinClient {
public:
    explicit CJButton(CJWindow* parent);
    CJButton(CJWindow* parent, const CJString& title, CJButton* partner = nullptr);
    CJButton(CJWindow* parent, const char* title, CJButton* partner = nullptr);
    ~CJButton() override;

    // ---- CJWindow ---------------------------------------------------------
    // The hover zoom follows the hover state.
    void Update(float seconds) override;
    // The skin, zoomed while hovered, then the children.
    void Draw(CFrameInterface& frame) override;
    bool IsGrayed() const override;
    bool OnMouseDoubleClick(uint32_t button, CPoint point, uint32_t flag) override;
    bool OnMouseDown(uint32_t button, CPoint point) override;
    bool OnMouseUp(uint32_t button, CPoint point) override;
    void OnMouseRepeat(uint32_t button, CPoint point) override;
    bool OnMouseMove(CPoint point, CPoint movement, CCursorSequence*& cursor) override;
    // Space (and the ring's Left and Right) only while the level editor is
    // open.
    bool OnKeyDown(uint32_t key) override;
    bool OnHotKeyActivate() override;
    void SetFocus(bool focus) override;
    // Enabled as the command's CanExecute answers, when it has a test.
    void UpdateEnabledState() override;
    // Shows the tool tip.
    bool OnHover(CPoint point) override;
    bool WantsAutoHotKey() const override;

    // ---- Button -----------------------------------------------------------
    // False without a skin.
    virtual bool SkinHandleMessage(CMessage& message);
    virtual void SizeToSkin();
    // 0 left, 1 centred, 2 right.
    virtual void SetTitleAlignment(int32_t alignment);
    // A non-zero value in a ring unchecks the other members.
    virtual void SetChecked(int32_t checked);
    virtual int32_t IsChecked() const;
    // True once per run of clicks.
    virtual bool ConsumeClicked();
    // The user's click: sound, then PerformClick.
    virtual void Click();
    // The click without sound: latch, flash, then the command or the notice.
    virtual void PerformClick();
    // point: screen coordinates.
    virtual bool HitTestImage(CPoint point, CFrameInterface* image);
    virtual void PlayClickSound();
    // The alpha theme's hover sounds; silent under other themes.
    virtual void PlayHoverEnterSound();
    virtual void PlayHoverLeaveSound();
    // point: screen coordinates. Inside the content, and on the skin image
    // when it has a hover image beside it.
    virtual bool HitTest(CPoint point);

    // Deletes the command it replaces; null clears.
    void SetCommand(CCommand* command);
    void SetDoubleClickCommand(CCommand* command);
    void SetRightClickCommand(CCommand* command);
    void SetHoverEnterCommand(CCommand* command);
    void SetHoverLeaveCommand(CCommand* command);
    CCommand* GetCommand() const { return m_Command; }

    // text null = empty.
    void SetToolTip(const CJString* text, bool show);
    void SetToolTipText(const char* text, bool show);
    // A length of 0 with an index other than -1 becomes 1.
    void SetToolTipWithHotKey(const CJString* text, int32_t highlightIndex, bool show, int32_t highlightLength);
    const CJString& GetToolTipText() const { return m_ToolTipText; }
    bool IsToolTipShown() const { return m_ToolTipShown != 0; }
    int32_t GetToolTipHighlightIndex() const { return m_ToolTipHighlightIndex; }
    int32_t GetToolTipHighlightLength() const { return m_ToolTipHighlightLength; }
    // Also empties the tool tip.
    void SetShowTitleWithIcon(bool show);

    // replacesSkin: the image is the whole button, without outline or border.
    void SetImage(CFrameInterface* image, bool replacesSkin, bool skinFlag2);
    // Normal, pressed and hover images. moveToOrigin: the button moves to
    // (x, y) plus the images' top-left and draws them from there.
    void SetImages(CFrameInterface* icon, CFrameInterface* skinImage, CFrameInterface* thirdImage, bool moveToOrigin,
                   int32_t x, int32_t y);
    CFrameInterface* GetIcon() const { return m_Icon; }
    CFrameInterface* GetSkinImage() const { return m_SkinImage; }
    CFrameInterface* GetThirdImage() const { return m_ThirdImage; }
    bool HasAnyImage() const { return m_Icon || m_SkinImage || m_ThirdImage; }

    // fraction clamped to [0, 1]; seconds <= 0 zooms at once.
    void SetHoverZoom(float fraction, float seconds);
    // 1 without a zoom.
    float GetHoverScale() const;
    float GetHoverTime() const { return m_HoverTime; }

    void SetDraggable(bool draggable) { m_Draggable = draggable; }
    void SetAutoRepeat(bool autoRepeat) { m_AutoRepeat = autoRepeat; }
    void SetSkinFlag1(bool flag);
    int32_t GetTitleAlignment() const { return m_TitleAlignment; }
    CJButton* GetNextInRing() const { return m_NextInRing; }
    bool IsInRing() const { return m_NextInRing != nullptr && m_NextInRing != this; }
    bool IsPressed() const { return m_Pressed; }
    bool IsHovered() const { return m_Hovered; }
    bool IsClickFlashSet() const { return m_ClickFlash; }
    CWindowSkin* GetButtonSkin() const { return m_Skin.get(); }

    // CButtonSkinClient.
    const SButtonSkinState& GetButtonSkinState() const override;

protected:
    // Latch, flash, then the command or the parent's notice.
    void RunClickAction();
    // The skin (or nothing without one) into the frame.
    void DrawSkin(CFrameInterface& frame);
    // The title becomes the tool tip when the tool tip is empty.
    void TitleToToolTip(int32_t hotKeyIndex, int32_t hotKeyLength);

    CPoint m_PressPoint{0, 0};
    bool m_Draggable = false;
    bool m_Pressed = false;
    bool m_Hovered = false;
    bool m_Clicked = false;
    bool m_ClickFlash = false;
    int32_t m_Checked = 0;
    int32_t m_TitleAlignment = 1;
    CJButton* m_NextInRing = nullptr;
    CFrameInterface* m_Icon = nullptr;
    CFrameInterface* m_SkinImage = nullptr;
    CFrameInterface* m_ThirdImage = nullptr;
    bool m_SkinFlag1 = false;
    bool m_SkinFlag2 = false;
    CJString m_ToolTipText;
    int32_t m_ToolTipShown = 1;
    int32_t m_ToolTipHighlightIndex = -1;
    int32_t m_ToolTipHighlightLength = 0;
    bool m_AutoRepeat = false;
    CCommand* m_Command = nullptr;
    CCommand* m_DoubleClickCommand = nullptr;
    CCommand* m_RightClickCommand = nullptr;
    CCommand* m_HoverEnterCommand = nullptr;
    CCommand* m_HoverLeaveCommand = nullptr;
    bool m_ShowTitleWithIcon = false;
    std::unique_ptr<CWindowSkin> m_Skin;
    float m_HoverZoom = 0.0f;
    float m_HoverZoomTime = 0.1f;
    float m_HoverTime = 0.0f;

private:
    void Construct(CJButton* partner);
    void UnlinkFromRing();

    // m_Skin as a button skin; null when the theme made another kind.
    CButtonSkin* m_ButtonSkin = nullptr;
    mutable SButtonSkinState m_SkinState;
};
