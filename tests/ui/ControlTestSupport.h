#pragma once
// A screen window with the default font over a 320 x 240 frame, a probe
// parent filling most of it, the pointer and keys driven frame by frame,
// and an ear for the sounds the controls ask for.

#include "ButtonTestSupport.h"
#include "SkinTestSupport.h"

#include "images/CFrame.h"

#include <memory>

class ControlTest : public ScreenInputTestOn<SkinFrameTest> {
protected:
    void SetUp() override
    {
        ScreenInputTestOn::SetUp();
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
        ScreenInputTestOn::TearDown();
    }

    // A control in the parent at (x, y), raised to the front (and the focus).
    template <typename T>
    T* Put(T* control, int32_t x, int32_t y)
    {
        m_Parent->AddChild(control, kAsIsNoGrow);
        control->MoveTo(x, y);
        m_Parent->BringChildToFront(control);
        return control;
    }
    void Frame() { InputFrame(); }
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

    std::unique_ptr<CFrame> m_Canvas;
    CProbeWindow* m_Parent = nullptr;
    CSoundEar m_Ear;
};
