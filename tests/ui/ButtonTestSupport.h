#pragma once
// A screen window over a small frame with one probe parent in it, driven
// frame by frame through the mouse and keyboard states, and an ear that
// hears the sounds the controls ask for.

#include "UiTestSupport.h"

#include "foundation/CCommand.h"
#include "images/CFrame.h"
#include "objects/CMessage.h"
#include "ui/CJButton.h"

#include <memory>
#include <string>
#include <vector>

class CSoundEar : public CGamePlugIn {
public:
    bool OnMessage(CMessage& message) override
    {
        if (message.GetType() != CPlaySoundMessage::SGetType())
            return false;
        m_Sounds.push_back(static_cast<CPlaySoundMessage&>(message).GetSound().GetString());
        return false;
    }
    std::vector<std::string> Take()
    {
        std::vector<std::string> taken;
        taken.swap(m_Sounds);
        return taken;
    }
    std::vector<std::string> m_Sounds;
};

// Counts its runs; may answer CanExecute.
class CCountingCommand : public CCommand {
public:
    explicit CCountingCommand(int* runs, bool hasTest = false, bool* canRun = nullptr)
        : m_Runs(runs)
        , m_HasTest(hasTest)
        , m_CanRun(canRun)
    {
    }
    void Execute() override
    {
        if (m_Before)
            m_Before();
        ++*m_Runs;
    }
    bool CanExecute() override { return m_CanRun ? *m_CanRun : true; }
    bool HasCanExecuteTest() override { return m_HasTest; }

    void (*m_Before)() = nullptr;

private:
    int* m_Runs;
    bool m_HasTest;
    bool* m_CanRun;
};

class ButtonTest : public ScreenInputTestOn<::testing::Test> {
protected:
    void SetUp() override
    {
        ScreenInputTestOn::SetUp();
        m_Frame = CFrame::MakeOwned(320, 240, 32);
        ASSERT_TRUE(m_Frame);
        m_Screen = std::make_unique<CScreenWindow>(m_Frame.get(), nullptr);
        m_Parent = Add(*m_Screen, "parent", CRect{0, 0, 300, 200});
        Frame();
    }
    void TearDown() override
    {
        m_Screen.reset();
        ScreenInputTestOn::TearDown();
    }

    // A button in the parent at rect.
    template <typename T = CJButton, typename... Args>
    T* Place(CRect rect, Args... args)
    {
        auto* button = new T(m_Parent, args...);
        button->SetRect(rect);
        m_Parent->AddChild(button, kAsIsNoGrow);
        return button;
    }

    void Frame(float seconds = 1.0f / 60.0f) { m_Screen->Update(seconds); }
    // The parent's notices since the last call (its other calls left out).
    CEventLog Notices()
    {
        CEventLog notices;
        for (const std::string& line : Take()) {
            if (line.find("notify") != std::string::npos)
                notices.push_back(line);
        }
        return notices;
    }

    std::unique_ptr<CFrame> m_Frame;
    CProbeWindow* m_Parent = nullptr;
    CSoundEar m_Ear;
};
