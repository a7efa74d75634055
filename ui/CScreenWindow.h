#pragma once
// The root of the window tree. It covers the screen frame, and once per
// frame turns the mouse state and the keyboard's typed keys into the tree's
// input calls (CJWindow), raises the clipboard operations for the editing
// keys, broadcasts typed characters the tree declines, repeats held mouse
// buttons for controls that ask, and shows the screen's one tool tip. The
// application object makes it (CGameBase::CreateScreenWindow) and calls its
// update and draw every frame.
//
// Mouse buttons are read as "held now" against the mask of the previous
// update; a press the mouse state latched since then counts too, so a press
// and release that both fall between two updates still reach the tree, the
// press first. A double click is not also a press.
//
// Times are the engine's millisecond clock; deadlines compare wrap-safe.

#include "blit/CColor.h"
#include "render/CProxyFrame.h"
#include "shell/CGameBase.h"
#include "ui/CJWindow.h"

#include <cstdint>

class CShellScreen;

class CScreenWindow : public CJWindow, public CShellRootWindow {
public:
    static constexpr uint32_t kButtonCount = 5;

    // font: when given, the process-wide font of new windows.
    CScreenWindow(CFrameInterface* screenFrame, CFont* defaultFont);
    ~CScreenWindow() override;

    // The first screen window built; null when none lives.
    static CScreenWindow* GetScreenWindow();

    // Rectangle = the frame's size; the tree draws into it from now on.
    void AttachFrame(CFrameInterface* frame);
    CFrameInterface* GetScreenFrame() const { return m_ScreenFrame; }

    // Input dispatch, then the tree's update.
    void Update(float seconds) override;
    void Draw(CFrameInterface& target) override;
    bool OnKeyDown(uint32_t key) override;
    // Hides the tool tip.
    bool OnHover(CPoint point) override;
    bool IsScreenWindow() const override;
    // When visible, the whole tree into the screen proxy.
    virtual void DrawToScreen();

    // The shell's view of the root.
    void DrawTree() override { DrawToScreen(); }
    bool HasChildren() const override { return CJWindow::HasChildren(); }
    float GetFirstChildLevel() const override;

    // A control whose held press should repeat; 0 = the system keyboard
    // repeat delay (interval).
    void StartMouseRepeat(CJWindow* window, uint32_t delayMs, uint32_t intervalMs);
    bool HasMouseRepeated() const;
    // Escape came while a mouse button was held; the next press clears it.
    // A button released after it does not click.
    bool IsPressCancelled() const { return m_PressCancelled; }
    // x = -1: below the pointer. hotKeyIndex -1: no underline.
    void ShowToolTip(CJWindow* window, int32_t hotKeyIndex, const CJString& text, int32_t x = -1, int32_t y = -1,
                     int32_t hotKeyLength = 1);
    void HideToolTip();
    const CJString& GetToolTipText() const { return m_ToolTipText; }
    // A window that shows tool-tip texts as its title instead of the tip.
    void SetStatusWindow(CJWindow* window, bool takesAllTips);
    // False without a tip; else the tip grown by one pixel.
    bool GetToolTipRect(CRect& out) const;
    // The hold ended (CancelMouseHold): the tree sees the pointer where it
    // now is.
    void EndMouseHold();
    // A window that dies is forgotten by the repeat records and as status
    // window.
    void ForgetWindow(CJWindow* window);

    void SetInputEnabled(bool enabled) { m_InputEnabled = enabled; }
    void SetMouseEnabled(bool enabled) { m_MouseEnabled = enabled; }
    uint32_t GetLastInputTime() const { return m_LastInputTime; }

    // The buttons held at the last update.
    static uint32_t GetPreviousMouseButtons();
    static void SetPreviousMouseButtons(uint32_t mask);

private:
    struct SRepeatRecord {
        CJWindow* window = nullptr;
        uint32_t nextTime = 0;
        uint32_t interval = 0;
        bool hasRepeated = false;
    };

    void DispatchMouse(uint32_t now);
    void DispatchKeys(uint32_t now);
    // A move dispatch with zero movement, so the cursor follows what changed.
    void RefreshCursor();
    void DispatchMove(CPoint point);

    COffsetClippedProxyFrame m_ScreenProxy;
    CFrameInterface* m_ScreenFrame = nullptr;
    bool m_InputEnabled = true;
    uint32_t m_LastInputTime = 0;
    bool m_SavedCursorShown = false;
    bool m_MouseEnabled = true;
    CFont* m_ToolTipFont = nullptr;
    CColor m_ToolTipBackColor;
    CColor m_ToolTipBorderColor;
    CJString m_ToolTipText;
    CJString m_ToolTipText2;
    CRect m_ToolTipRect{};
    bool m_ToolTipUnderline = false;
    int32_t m_ToolTipUnderlineY = 0;
    int32_t m_ToolTipUnderlineStart = 0;
    int32_t m_ToolTipUnderlineEnd = 0;
    CPoint m_LastMousePoint{0, 0};
    SRepeatRecord m_RepeatRecords[kButtonCount];
    uint32_t m_CurrentButton = 0;
    CJWindow* m_StatusWindow = nullptr;
    bool m_StatusTakesAllTips = false;
    bool m_PressCancelled = false;
};

// Installed by RegisterUiClasses: the application's screen gets a screen
// window over its frame, with the toolkit's default font.
std::unique_ptr<CShellRootWindow> MakeScreenWindow(CShellScreen& screen);
