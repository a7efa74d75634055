// Tips in the running demo game: what the HUD is told from "Tips Options"
// (and without it), and the tips menu paging over empty tips, from a stale
// "Selected Level" and with no tips at all.
#include "../world/DemoGameTest.h"

#include "game/business/BusinessHooks.h"
#include "game/screens/CDecadeTransition.h"
#include "game/screens/CStats.h"
#include "game/screens/CTips.h"
#include "game/screens/ScreensHooks.h"
#include "game/world/CThreeInARowCounter.h"
#include "game/world/CTypedCommands.h"
#include "game/world/LotHooks.h"
#include "game/world/WorldHooks.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CTextSubstitutionList.h"
#include "support/ScopedHooks.h"
#include "ui/CJButton.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr const char* kMenuSet =
    "CFrameOverlayOptions\r\n{\r\n\tText Font=Fonts/Body\r\n\tText Overlays=Array\r\n\t{\r\n\t\tItem Count=3\r\n"
    "\t\tArray Item=CFrameOverlayButton\r\n\t\t{\r\n\t\t\tID=Done\r\n\t\t\tTitle=Done\r\n"
    "\t\t\tPosition=824,700\r\n\t\t\tSize=160,40\r\n\t\t}\r\n"
    "\t\tArray Item=CFrameOverlayButton\r\n\t\t{\r\n\t\t\tID=Prev\r\n\t\t\tTitle=< Prev\r\n"
    "\t\t\tPosition=360,700\r\n\t\t\tSize=120,40\r\n\t\t}\r\n"
    "\t\tArray Item=CFrameOverlayButton\r\n\t\t{\r\n\t\t\tID=Next\r\n\t\t\tTitle=Next >\r\n"
    "\t\t\tPosition=544,700\r\n\t\t\tSize=120,40\r\n\t\t}\r\n\t}\r\n}\r\n";

class Tips : public CDemoGameTest {
protected:
    // tips: the "Tips List" elements; none writes no "Tips Options" at all.
    void StartWith(const std::vector<std::string>* tips)
    {
        WriteBytes(PathOf("Data/Resources/Frame Overlay Options/Tips Menu Overlay.FOO"), kMenuSet);
        if (tips) {
            std::string text = "CTipsOptions\r\n{\r\n\tFrame Overlay=Tips Menu Overlay\r\n"
                               "\tSeconds To Show Tips=7\r\n\tFront Of Line Offset=75\r\n\tTips List=Array\r\n\t{\r\n"
                               "\t\tItem Count=" +
                               std::to_string(tips->size()) + "\r\n";
            for (const std::string& tip : *tips)
                text += "\t\tTip=" + tip + "\r\n";
            WriteBytes(PathOf("Data/Resources/Tips Options.Object.txt"), text + "\t}\r\n}\r\n");
        }
        InstallGameBusinessHooks();
        InstallGameScreensHooks();
        ASSERT_TRUE(Start());
        ASSERT_TRUE(Pass(17));
        if (CDecadeTransitionWindow* opening = GetDecadeTransitionWindow())
            opening->Destroy();
    }
    void TearDown() override
    {
        if (CTipsMenu* menu = GetTipsMenu())
            menu->Destroy();
        CDemoGameTest::TearDown();
        CStats::SShutdown();
    }
    static CTipsMenu* OpenOn(uint32_t selectedLevel)
    {
        CStats::SGetInstance().GetCurrentPlayer()->m_SelectedLevel = selectedLevel;
        return OpenTipsMenu(nullptr);
    }
    static std::string Shown(const CTipsMenu& menu)
    {
        CTextSubstitutionList values;
        menu.FillSubstitutions(values);
        return values.Apply(CJString("%s[Tip]|%s[CanDoPrevious]|%s[CanDoNext]")).GetString();
    }
    static CJButton* Button(CJWindow* window, const char* title)
    {
        for (CJWindow* child = window->GetFirstChild(); child; child = child->GetNextSibling())
            if (std::string(child->GetTitleText()) == title)
                return dynamic_cast<CJButton*>(child);
        return nullptr;
    }
    void Click(CJButton* button)
    {
        ASSERT_NE(button, nullptr);
        const CRect at = button->GetScreenRect();
        PushClick((at.left + at.right) / 2, (at.top + at.bottom) / 2);
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(Pass(17));
    }

    CScopedHook<SetLotHooks> m_Lot{nullptr};
    CScopedHook<SetHudHooks> m_Hud{nullptr};
    CScopedHook<SetCurrentLevelHooks> m_Level{nullptr};
    CScopedHook<SetGameAppHooks> m_App{nullptr};
    CScopedHook<SetTypedCommandHooks> m_Typed{nullptr};
    CScopedHook<SetGameSongHooks> m_Songs{nullptr};
    CScopedHook<SetThreeInARowCounterHooks> m_Counter{nullptr};
    CScopedHook<SetWorldHooks> m_World{nullptr};
    CScopedHook<SetGoalHooks> m_Goal{nullptr};
    CScopedHook<SetLevelOptionsHooks> m_LevelOptions{nullptr};
};

TEST_F(Tips, TheHudIsToldEachLevelsTipItsTimeSetAndTheLinesOffset)
{
    const std::vector<std::string> tips = {"Drag a frame onto a lot.", "Paint before they move in."};
    StartWith(&tips);
    CHudHooks& hud = GetHudHooks();
    EXPECT_STREQ(hud.GetTipText(1).GetString(), "Paint before they move in.");
    EXPECT_TRUE(hud.GetTipText(2).IsEmpty());
    EXPECT_TRUE(hud.GetTipText(0xFFFFFFFFu).IsEmpty());
    EXPECT_FLOAT_EQ(hud.GetTipDuration(), 7.0f);
    EXPECT_FLOAT_EQ(hud.GetTipFrontOfLineOffset(), 75.0f);
    EXPECT_EQ(hud.GetTipOverlay(), GetFrameOverlayOptionsList().Find("Tips Menu Overlay"));

    // A fresh object: the defaults, with no tips.
    CTipsOptions fresh;
    EXPECT_FLOAT_EQ(fresh.m_SecondsToShowTips, 10.0f);
    EXPECT_FLOAT_EQ(fresh.m_FrontOfLineOffset, 200.0f);
    EXPECT_EQ(fresh.GetTipCount(), 0u);
    EXPECT_TRUE(fresh.GetTipText(0).IsEmpty());
}

TEST_F(Tips, DataWithoutTipsShowsNoneAndKeepsTheLineWhereItWas)
{
    StartWith(nullptr);
    CHudHooks& hud = GetHudHooks();
    EXPECT_EQ(CTipsOptions::SGetInstance(), nullptr);
    EXPECT_TRUE(hud.GetTipText(0).IsEmpty());
    EXPECT_FLOAT_EQ(hud.GetTipDuration(), 0.0f);
    EXPECT_EQ(hud.GetTipOverlay(), -1);
    EXPECT_FLOAT_EQ(hud.GetTipFrontOfLineOffset(), 200.0f);
}

TEST_F(Tips, TheMenuPagesOverEmptyTipsButMayLandOnAnEmptyEnd)
{
    const std::vector<std::string> tips = {"First", "", "Third", "", ""};
    StartWith(&tips);
    // A "Selected Level" past the list opens on the last non-empty tip.
    CTipsMenu* menu = OpenOn(9);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->GetIndex(), 2u);
    EXPECT_EQ(Shown(*menu), "Third|1|1");
    EXPECT_NE(Button(menu, "< Prev"), nullptr);

    // Nothing non-empty lies beyond: "Next" lands on the empty last tip.
    Click(Button(menu, "Next >"));
    EXPECT_EQ(menu->GetIndex(), 4u);
    EXPECT_EQ(Shown(*menu), "|1|0");
    EXPECT_EQ(Button(menu, "Next >"), nullptr);
    menu->Next();
    EXPECT_EQ(menu->GetIndex(), 4u);

    menu->Prev();
    EXPECT_EQ(menu->GetIndex(), 2u);
    Click(Button(menu, "< Prev"));
    EXPECT_EQ(menu->GetIndex(), 0u);
    EXPECT_EQ(Shown(*menu), "First|0|1");
    EXPECT_EQ(Button(menu, "< Prev"), nullptr);
    menu->Prev();
    EXPECT_EQ(menu->GetIndex(), 0u);

    // Its timer runs with the updates; "Done" closes it.
    EXPECT_GT(menu->GetTimer(), 0.0f);
    Click(Button(menu, "Done"));
    EXPECT_EQ(GetTipsMenu(), nullptr);

    // On an empty tip it steps back to the one before.
    menu = OpenOn(1);
    EXPECT_EQ(menu->GetIndex(), 0u);
    EXPECT_TRUE(menu->OnKeyDown(kKeyEscape));
    EXPECT_EQ(GetTipsMenu(), nullptr);
}

TEST_F(Tips, AnEmptyListOpensOnNothingWithOnlyDone)
{
    const std::vector<std::string> none;
    StartWith(&none);
    CTipsMenu* menu = OpenOn(3);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->GetIndex(), 0u);
    EXPECT_EQ(Shown(*menu), "|0|0");
    EXPECT_NE(Button(menu, "Done"), nullptr);
    EXPECT_EQ(Button(menu, "< Prev"), nullptr);
    EXPECT_EQ(Button(menu, "Next >"), nullptr);
    menu->Next();
    menu->Prev();
    EXPECT_EQ(menu->GetIndex(), 0u);
    EXPECT_EQ(Button(menu, "Next >"), nullptr);
    ASSERT_TRUE(Pass(17));
    EXPECT_TRUE(menu->OnKeyDown(kKeyEnter));
    EXPECT_EQ(GetTipsMenu(), nullptr);
}

} // namespace
