#pragma once
// Windows that write what reaches them into a shared log, and a fixture
// that starts every test from quiet devices: no buttons, keys or typed
// characters, the pointer at 0,0, a hand-driven millisecond clock and the
// focus rectangle off.

#include "support/ScopedHooks.h"
#include "support/TestSupport.h"

#include "foundation/MillisecondClock.h"
#include "objects/CMessage.h"
#include "shell/CKeyboardState.h"
#include "shell/CMouseState.h"
#include "ui/CJWindow.h"
#include "ui/CScreenWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using CEventLog = std::vector<std::string>;

class CProbeWindow : public CJWindow {
public:
    CProbeWindow(const char* name, CEventLog* log)
        : CJWindow(nullptr, name)
        , m_Name(name)
        , m_Log(log)
    {
    }
    ~CProbeWindow() override { Note("gone"); }

    bool m_TakesPress = false;       // what OnMouseDrag answers
    bool m_TakesKeys = false;        // OnKeyDown answers true
    bool m_TakesClipboard = false;   // the clipboard operations answer true
    bool m_DestroysOnUpdate = false;
    bool m_RefusesClose = false;
    bool m_LogsUpdates = false;
    bool m_TakesForwards = false; // ForwardToChildren answers true

    void Update(float seconds) override
    {
        if (m_LogsUpdates)
            Note("update");
        if (m_DestroysOnUpdate) {
            Destroy();
            return;
        }
        CJWindow::Update(seconds);
    }
    bool Close() override
    {
        if (m_RefusesClose)
            return false;
        return CJWindow::Close();
    }
    bool OnMouseDown(uint32_t button, CPoint point) override
    {
        Note("down " + std::to_string(button));
        return CJWindow::OnMouseDown(button, point);
    }
    bool OnMouseDoubleClick(uint32_t button, CPoint point, uint32_t flag) override
    {
        Note("double " + std::to_string(button));
        CJWindow::OnMouseDoubleClick(button, point, flag);
        return m_TakesPress;
    }
    bool OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*& cursor) override
    {
        Note("drag " + Point(point) + " by " + Point(movement));
        (void)buttons;
        (void)cursor;
        return m_TakesPress;
    }
    void OnMouseRelease(CPoint point, uint32_t buttons) override
    {
        Note("release " + Point(point) + " mask " + std::to_string(buttons));
    }
    void OnMouseCaptureLost(uint32_t buttons) override { Note("capture lost " + std::to_string(buttons)); }
    void OnMouseRepeat(uint32_t button, CPoint) override { Note("repeat " + std::to_string(button)); }
    bool OnMouseWheel(int32_t delta, CPoint point) override
    {
        Note("wheel " + std::to_string(delta));
        return CJWindow::OnMouseWheel(delta, point);
    }
    bool OnKeyDown(uint32_t key) override
    {
        if (m_TakesKeys) {
            Note("key " + std::to_string(key));
            return true;
        }
        return CJWindow::OnKeyDown(key);
    }
    bool OnHotKeyActivate() override
    {
        Note("activate");
        return true;
    }
    void OnNotify(CJWindow* sender, int32_t code) override
    {
        Note("notify " + std::to_string(code) + " from " + (sender ? sender->GetTitle().GetString() : "none"));
        CJWindow::OnNotify(sender, code);
    }
    bool ForwardToChildren(CMessage& message) override
    {
        const char* type = GetMessageTypeName(message.GetType());
        Note(std::string("forward ") + (type ? type : "?"));
        return CJWindow::ForwardToChildren(message) || m_TakesForwards;
    }
    bool ClipboardCut(intptr_t) override { return Clip("cut"); }
    bool ClipboardCopy(intptr_t) override { return Clip("copy"); }
    bool ClipboardPaste(intptr_t) override { return Clip("paste"); }
    bool ClipboardDelete(intptr_t) override { return Clip("delete"); }

private:
    static std::string Point(CPoint p) { return std::to_string(p.x) + "," + std::to_string(p.y); }
    bool Clip(const char* what)
    {
        Note(what);
        return m_TakesClipboard;
    }
    void Note(const std::string& what)
    {
        if (m_Log)
            m_Log->push_back(m_Name + ": " + what);
    }

    std::string m_Name;
    CEventLog* m_Log;
};

template <class Base>
class UiTestOn : public Base {
protected:
    void SetUp() override
    {
        Base::SetUp();
        CMouseState::SGetInstance().ResetForTesting();
        CKeyboardState::SGetInstance().ResetForTesting();
        ResetMillisecondClock();
        CJWindow::SetKeyboardFocusShown(false);
        CScreenWindow::SetPreviousMouseButtons(0);
        s_Tick = 1000;
    }
    void TearDown() override
    {
        CMouseState::SGetInstance().ResetForTesting();
        CKeyboardState::SGetInstance().ResetForTesting();
        Base::TearDown();
    }

    // A probe added to parent at rect (parent's content coordinates),
    // without growing the parent.
    CProbeWindow* Add(CJWindow& parent, const char* name, CRect rect)
    {
        auto* window = new CProbeWindow(name, &m_Log);
        window->SetRect(rect);
        parent.AddChild(window, kAsIsNoGrow);
        return window;
    }
    static std::string Order(const CJWindow& parent)
    {
        std::string names;
        for (const CJWindow* child = parent.GetFirstChild(); child; child = child->GetNextSibling())
            names += std::string(names.empty() ? "" : " ") + child->GetTitle().GetString();
        return names;
    }
    // The log since the last call.
    CEventLog Take()
    {
        CEventLog taken;
        taken.swap(m_Log);
        return taken;
    }
    static void Advance(uint32_t ms) { s_Tick += ms; }

    CEventLog m_Log;
    static inline uint32_t s_Tick = 1000;
    CScopedTickSource m_Clock{[] { return s_Tick; }};
};
using UiTest = UiTestOn<::testing::Test>;

// With a screen window (the fixture makes it) that takes the pointer and
// keys. Input frames take no time, so hover zooms move only when a test
// says.
template <class Base>
class ScreenInputTestOn : public UiTestOn<Base> {
protected:
    void InputFrame() { m_Screen->Update(0.0f); }
    void MoveTo(int32_t x, int32_t y)
    {
        Mouse().SetPosition(x, y);
        InputFrame();
    }
    void MoveTo(CPoint p) { MoveTo(p.x, p.y); }
    void Press(uint32_t button = 0)
    {
        Mouse().SetButtons(Mouse().GetButtons() | (1u << button));
        InputFrame();
    }
    void Release(uint32_t button = 0)
    {
        Mouse().SetButtons(Mouse().GetButtons() & ~(1u << button));
        InputFrame();
    }
    void ClickAt(int32_t x, int32_t y, uint32_t button = 0)
    {
        MoveTo(x, y);
        Press(button);
        Release(button);
    }
    void ClickAt(CPoint p, uint32_t button = 0) { ClickAt(p.x, p.y, button); }
    void Type(uint32_t key)
    {
        CKeyboardState::SGetInstance().OnCharacter(key);
        InputFrame();
    }
    void Type(EngineKey key) { Type(uint32_t(key)); }
    static CMouseState& Mouse() { return CMouseState::SGetInstance(); }

    std::unique_ptr<CScreenWindow> m_Screen;
};
