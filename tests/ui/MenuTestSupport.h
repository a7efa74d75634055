#pragma once
// An 800 x 600 screen window over the test font, driven one frame at a time
// by injected pointer positions, the left button and typed keys.

#include "SkinTestSupport.h"
#include "UiTestSupport.h"

#include "images/CFrame.h"

#include <memory>

class ScreenTest : public UiTestOn<SkinFrameTest> {
protected:
    void SetUp() override
    {
        UiTestOn<SkinFrameTest>::SetUp();
        if (!IsSkipped())
            m_Screen = new CScreenWindow(m_ScreenFrame.get(), m_Font.get());
    }
    void TearDown() override
    {
        delete m_Screen;
        UiTestOn<SkinFrameTest>::TearDown();
    }
    void Step(CPoint p, bool held)
    {
        CMouseState::SGetInstance().SetPosition(p.x, p.y);
        CMouseState::SGetInstance().SetButtons(held ? 1u : 0u);
        Advance(16);
        m_Screen->Update(0.016f);
    }
    void Click(CPoint p)
    {
        Step(p, true);
        Step(p, false);
    }
    void Click(const CJWindow& window) { Click(Centre(window)); }
    void TypeKey(uint32_t key)
    {
        CKeyboardState::SGetInstance().OnCharacter(key);
        Advance(16);
        m_Screen->Update(0.016f);
    }
    static CPoint Centre(const CJWindow& window)
    {
        const CRect& r = window.GetScreenRect();
        return CPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    bool InTree(const CJWindow* window) const
    {
        for (const CJWindow* child = m_Screen->GetFirstChild(); child; child = child->GetNextSibling())
            if (child == window)
                return true;
        return false;
    }

    std::unique_ptr<CFrame> m_ScreenFrame = CFrame::MakeOwned(800, 600, 32);
    CScreenWindow* m_Screen = nullptr;
};
