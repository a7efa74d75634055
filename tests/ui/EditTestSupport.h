#pragma once
// A screen window with the real default font over a frame, a probe parent
// that logs what its edit tells it, an ear for the interface sounds, and
// keys typed through the keyboard state one frame each.

#include "ButtonTestSupport.h"
#include "SkinTestSupport.h"
#include "UiTestSupport.h"

#include "images/CFont.h"
#include "images/CFrame.h"
#include "shell/CClipboard.h"
#include "shell/CKeyboardState.h"
#include "ui/CJEdit.h"

#include <memory>
#include <string>

// The edits' parent: logs their notices and passes clipboard operations
// on to them, as any plain window does.
class CNoticeWindow : public CJWindow {
public:
    explicit CNoticeWindow(CEventLog* log)
        : CJWindow(nullptr, "parent")
        , m_Log(log)
    {
    }
    void OnNotify(CJWindow* sender, int32_t code) override
    {
        m_Log->push_back("parent: notify " + std::to_string(code) + " from "
                         + (sender ? sender->GetTitle().GetString() : "none"));
    }

private:
    CEventLog* m_Log;
};

class EditTest : public ScreenInputTestOn<SkinFrameTest> {
protected:
    void SetUp() override
    {
        ScreenInputTestOn::SetUp();
        if (IsSkipped())
            return;
        CJEdit::SetInsertMode(true);
        m_Screen = std::make_unique<CScreenWindow>(m_ScreenFrame.get(), m_Font.get());
        m_Parent = new CNoticeWindow(&m_Log);
        m_Parent->SetRect(CRect{0, 0, 620, 460});
        m_Screen->AddChild(m_Parent, kAsIsNoGrow);
        Frame();
    }
    void TearDown() override
    {
        m_Screen.reset();
        CJEdit::SetInsertMode(true);
        ScreenInputTestOn::TearDown();
    }

    // An edit in the parent at (x, y), raised so it has the focus.
    CJEdit* AddEdit(const char* text, int32_t x = 10, int32_t y = 10)
    {
        auto* edit = new CJEdit(m_Parent, text);
        edit->MoveTo(x, y);
        m_Parent->AddChild(edit, kAsIsNoGrow);
        m_Parent->BringChildToFront(edit);
        Take();
        return edit;
    }

    void Frame(float seconds = 1.0f / 60.0f) { m_Screen->Update(seconds); }
    using ScreenInputTestOn::Type;
    void Type(const char* text)
    {
        for (const char* c = text; *c; ++c)
            Type(uint32_t(uint8_t(*c)));
    }
    // key typed with a modifier (scan index) held.
    void TypeWith(uint32_t scan, uint32_t key)
    {
        CKeyboardState& keyboard = CKeyboardState::SGetInstance();
        keyboard.OnKeyDown(scan);
        Type(key);
        keyboard.OnKeyUp(scan);
    }
    // The parent's change notices since the last call.
    int Changes()
    {
        int changes = 0;
        for (const std::string& line : Take())
            if (line.rfind("parent: notify 1", 0) == 0)
                ++changes;
        return changes;
    }
    static std::string Text(const CJWindow& window) { return window.GetTitle().GetString(); }
    static std::string Selected(const CJEdit& edit)
    {
        const uint32_t a = std::min(edit.GetSelectionAnchor(), edit.GetSelectionEnd());
        const uint32_t b = std::max(edit.GetSelectionAnchor(), edit.GetSelectionEnd());
        return edit.GetTitle().Mid(int(a), int(b - a)).GetString();
    }
    static void PutOnClipboard(const char* text) { CClipboard::SGetInstance().SetText(CJString(text)); }
    static std::string Clipboard()
    {
        CJString text;
        return CClipboard::SGetInstance().GetText(text) ? text.GetString() : "<none>";
    }
    // Screen x of the left edge of character i of a one-line edit.
    int32_t CharacterX(const CJEdit& edit, int i)
    {
        return edit.GetScreenRect().left + edit.GetBorderWidth() + m_Font->GetTextWidth(edit.GetTitle(), i);
    }
    int32_t MiddleY(const CJEdit& edit) { return (edit.GetScreenRect().top + edit.GetScreenRect().bottom) / 2; }

    std::unique_ptr<CFrame> m_ScreenFrame = CFrame::MakeOwned(640, 480, 32);
    CNoticeWindow* m_Parent = nullptr;
    CSoundEar m_Ear;
};

inline constexpr uint32_t kShift = kScanShiftLeft;
inline constexpr uint32_t kControl = kScanControlLeft;
