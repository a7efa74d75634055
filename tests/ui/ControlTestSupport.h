#pragma once
// A screen window with the default font over a 320 x 240 frame, a probe
// parent filling most of it, the pointer and keys driven frame by frame,
// and an ear for the sounds the controls ask for.

#include "ButtonTestSupport.h"
#include "SkinTestSupport.h"

#include "images/CFrame.h"

#include <memory>

class ControlTest : public UiTestOn<SkinFrameTest> {
protected:
    void SetUp() override
    {
        UiTestOn<SkinFrameTest>::SetUp();
        if (IsSkipped())
            return;
        m_Canvas = Canvas(320, 240);
        m_Screen = std::make_unique<CScreenWindow>(m_Canvas.get(), m_Font.get());
        m_Parent = Add(*m_Screen, "parent", CRect{0, 0, 300, 220});
        m_Screen->BringChildToFront(m_Parent);
        Frame();
    }
    void TearDown() override
    {
        m_Screen.reset();
        UiTestOn<SkinFrameTest>::TearDown();
    }

    // A control in the parent at (x, y), raised to the front (and the focus).
    template <typename T>
    T* Put(T* control, int32_t x, int32_t y)
    {
        m_Parent->AddChild(control, 0, nullptr, kDefaultOffset, kDefaultOffset, kPlaceNoGrow);
        control->MoveTo(x, y);
        m_Parent->BringChildToFront(control);
        return control;
    }
    void Frame() { m_Screen->Update(0.0f); }
    void MoveTo(int32_t x, int32_t y)
    {
        Mouse().SetPosition(x, y);
        Frame();
    }
    void Press(uint32_t button = 0)
    {
        Mouse().SetButtons(Mouse().GetButtons() | (1u << button));
        Frame();
    }
    void Release(uint32_t button = 0)
    {
        Mouse().SetButtons(Mouse().GetButtons() & ~(1u << button));
        Frame();
    }
    void ClickAt(int32_t x, int32_t y)
    {
        MoveTo(x, y);
        Press();
        Release();
    }
    void Type(uint32_t key)
    {
        CKeyboardState::SGetInstance().OnCharacter(key);
        Frame();
    }
    void Type(EngineKey key) { Type(uint32_t(key)); }
    void Draw()
    {
        CColor black(0, 0, 0, 255);
        m_Canvas->Fill(black);
        m_Screen->DrawToScreen();
    }
    // The parent's change notices since the last call.
    int Changes()
    {
        int changes = 0;
        for (const std::string& line : Take())
            if (line.find("notify 1") != std::string::npos)
                ++changes;
        return changes;
    }
    int32_t Unit() const { return int32_t(m_Font->GetHeight()) / 5; }
    static CMouseState& Mouse() { return CMouseState::SGetInstance(); }

    std::unique_ptr<CFrame> m_Canvas;
    std::unique_ptr<CScreenWindow> m_Screen;
    CProbeWindow* m_Parent = nullptr;
    CSoundEar m_Ear;
};
