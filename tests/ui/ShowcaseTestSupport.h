#pragma once
// The demos over the checked-in data with freshly drawn textures, as the
// program runs them: a 1024 x 768 screen under a screen window, the stand-in
// game's hooks drawing each frame, and mouse and keys injected.

#include "DemoInterfaceFolder.h"
#include "SkinTestSupport.h"

#include "images/CFontList.h"
#include "images/CFrame.h"
#include "shell/CKeyboardState.h"
#include "shell/CMouseState.h"
#include "shell/program/CStandInGame.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJWindow.h"
#include "ui/CScreenWindow.h"

#include <filesystem>
#include <memory>
#include <string>

class ShowcaseTest : public SkinFrameTest {
protected:
    void SetUp() override
    {
        SkinFrameTest::SetUp();
        if (IsSkipped())
            return;
        ASSERT_NO_FATAL_FAILURE(MakeDemoInterfaceFolder());
        EnumerateFontFiles();
        GetFontList().SetSource(nullptr, "Resources|Fonts", 0);
        CMouseState::SGetInstance().ResetForTesting();
        CKeyboardState::SGetInstance().ResetForTesting();
        m_Screen = CFrame::MakeOwned(1024, 768, 32);
        m_Root = new CScreenWindow(m_Screen.get(), m_Font.get());
    }
    void TearDown() override
    {
        DestroyRoot();
        SetStandInHooks(SStandInHooks());
        GetSkinThemeList().RemoveAll();
        GetSkinThemeList().SetSource(nullptr, "Nowhere", 0);
        GetFontList().RemoveAll();
        GetFontList().SetSource(nullptr, "Nowhere", 0);
        CJWindow::SetSkinResources(nullptr, nullptr);
        CMouseState::SGetInstance().ResetForTesting();
        CKeyboardState::SGetInstance().ResetForTesting();
        SkinFrameTest::TearDown();
    }
    void DestroyRoot()
    {
        if (m_Root)
            m_Root->Destroy();
        m_Root = nullptr;
    }

    // One pass of the game's loop: the tree, then the stand-in's drawing.
    void Frame()
    {
        m_Root->Update(1.0f / 60.0f);
        CColor black(0, 0, 0, 255);
        m_Screen->Fill(black);
        GetStandInHooks().draw(*m_Screen);
    }
    void Click(int32_t x, int32_t y)
    {
        CMouseState& mouse = CMouseState::SGetInstance();
        mouse.SetPosition(x, y);
        mouse.SetButtons(1);
        Frame();
        mouse.SetButtons(0);
        Frame();
    }
    void Click(CPoint p) { Click(p.x, p.y); }

    static CPoint Centre(const CJWindow& window)
    {
        const CRect& r = window.GetScreenRect();
        return CPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    // The first child of parent titled title, or of type T.
    static CJWindow* ChildTitled(const CJWindow& parent, const char* title)
    {
        for (CJWindow* child = parent.GetFirstChild(); child; child = child->GetNextSibling())
            if (child->GetTitle().Compare(title) == 0)
                return child;
        return nullptr;
    }
    // Whether the window is parent or lies anywhere below it.
    static bool Contains(const CJWindow& parent, const CJWindow* window)
    {
        if (&parent == window)
            return true;
        for (CJWindow* child = parent.GetFirstChild(); child; child = child->GetNextSibling())
            if (Contains(*child, window))
                return true;
        return false;
    }
    template <class T>
    static T* ChildOf(const CJWindow& parent)
    {
        for (CJWindow* child = parent.GetFirstChild(); child; child = child->GetNextSibling())
            if (auto* found = dynamic_cast<T*>(child))
                return found;
        return nullptr;
    }
    // A demo window's status line: its child whose title starts with one of
    // the two prefixes; empty when none does.
    static std::string StatusLine(const CJWindow& window, const char* prefix, const char* otherPrefix)
    {
        for (CJWindow* child = window.GetFirstChild(); child; child = child->GetNextSibling()) {
            const std::string title = child->GetTitleText();
            if (title.rfind(prefix, 0) == 0 || title.rfind(otherPrefix, 0) == 0)
                return title;
        }
        return "";
    }

    std::unique_ptr<CFrame> m_Screen;
    CScreenWindow* m_Root = nullptr;
};
