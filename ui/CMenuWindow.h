#pragma once
// The base of the game's and the editor's menu screens.
//
// A menu window may stand in for another window: SwitchTo puts a new
// window where this one was and hands this one to it as its replaced
// window, hidden; when the new window dies it puts the replaced one back
// at its old rectangle. Enter and Escape press the default and cancel
// buttons. Menu windows stay where they are placed.

#include "ui/CJFrameWindow.h"

// The engine's "activate the default" key code.
inline constexpr uint32_t kKeyActivateDefault = 250;

class CMenuWindow : public CJFrameWindow {
public:
    explicit CMenuWindow(CJWindow* parent);
    CMenuWindow(CJWindow* parent, const CJString& title);
    CMenuWindow(CJWindow* parent, const char* title);
    // Gives the replaced window back to the parent (or deletes it without
    // one).
    ~CMenuWindow() override;

    bool OnKeyDown(uint32_t key) override;
    bool IsMenuWindow() const override { return true; }
    void ReleaseReplacedWindow() override;

    // Removes this window from its parent and puts window there in front;
    // window keeps this one hidden until it dies.
    virtual void SwitchTo(CMenuWindow* window, bool centred);
    // Deletes a window replaced before, keeps window and its rectangle and
    // hides it.
    virtual void SetReplacedWindow(CJWindow* window);

    CJWindow* GetReplacedWindow() const { return m_ReplacedWindow; }
    const CRect& GetReplacedRect() const { return m_ReplacedRect; }
    void SetDefaultButton(CJWindow* button) { m_DefaultButton = button; }
    CJWindow* GetDefaultButton() const { return m_DefaultButton; }
    void SetCancelButton(CJWindow* button) { m_CancelButton = button; }
    CJWindow* GetCancelButton() const { return m_CancelButton; }

protected:
    CJWindow* m_ReplacedWindow = nullptr;
    CJWindow* m_DefaultButton = nullptr;
    CJWindow* m_CancelButton = nullptr;
    CRect m_ReplacedRect{};

private:
    void Construct();
};
