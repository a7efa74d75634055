// The demo's menu screens as data: every button the main, options, pause and
// viewer screens ask their sets for is there, on the screen and clear of its
// neighbours; the values they fill show in what the sets draw; the option
// and player windows find their images and icons by name.
#include "ScreensGameTest.h"

#include "game/world/CRules.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "overlays/ButtonOverlays.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "ui/CJButton.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr const char* kOptionsButtons[] = {"AudioOptions", "DisplayOptions", "UserManual", "Credits", "Done"};

class DemoMenus : public CScreensGameTest {
protected:
    using Values = std::vector<std::pair<const char*, const char*>>;

    static CFrameOverlayOptions* Set(const char* name)
    {
        CFrameOverlayOptions* set = FindFrameOverlayOptions(name);
        EXPECT_NE(set, nullptr) << name;
        return set;
    }
    // The rectangles of the buttons the set makes at the markers; a missing
    // marker fails.
    static std::vector<CRect> ButtonPlaces(CFrameOverlayOptions& set, const std::vector<const char*>& ids)
    {
        std::vector<CRect> places;
        CTextSubstitutionList values;
        for (const char* id : ids) {
            EXPECT_NE(set.FindPositionMarker(CJString(id)), nullptr) << id;
            std::unique_ptr<CJButton> button(set.CreateButtonWindow(CJString(id), &values));
            if (!button) {
                ADD_FAILURE() << "no button " << id;
                continue;
            }
            EXPECT_NE(std::string(button->GetTitleText()), "") << id;
            places.push_back(button->GetRect());
        }
        return places;
    }
    // Every place lies on the 1024 x 768 screen, is large enough to hit and
    // overlaps no other.
    static void ExpectClearOnScreen(const std::vector<CRect>& places, const char* set)
    {
        for (size_t i = 0; i < places.size(); ++i) {
            const CRect& r = places[i];
            EXPECT_GE(r.left, 0) << set << " " << i;
            EXPECT_GE(r.top, 0) << set << " " << i;
            EXPECT_LE(r.right, 1024) << set << " " << i;
            EXPECT_LE(r.bottom, 768) << set << " " << i;
            EXPECT_GE(r.GetWidth(), 60) << set << " " << i;
            EXPECT_GE(r.GetHeight(), 30) << set << " " << i;
            for (size_t j = 0; j < i; ++j) {
                const CRect& o = places[j];
                const bool apart = r.right <= o.left || o.right <= r.left || r.bottom <= o.top || o.bottom <= r.top;
                EXPECT_TRUE(apart) << set << " buttons " << j << " and " << i << " overlap";
            }
        }
    }
    static std::unique_ptr<CFrame> Drawn(CFrameOverlayOptions& set, const Values& values)
    {
        auto canvas = std::make_unique<CFrame>();
        canvas->Create(1024, 768, 32);
        CTextSubstitutionList list;
        for (const auto& [key, text] : values)
            list.AddText(key, CJString(text));
        set.DrawOnFrame(*canvas, &list, false, nullptr);
        return canvas;
    }
    static bool Same(const CFrame& a, const CFrame& b)
    {
        return std::memcmp(a.GetPixels(), b.GetPixels(), size_t(a.GetPitch()) * a.GetBytesPerPixel() * a.GetHeight()) == 0;
    }
    // Whether changing one value (the others kept) changes the picture.
    static bool Shows(CFrameOverlayOptions& set, Values values, const char* key, const char* a, const char* b)
    {
        values.emplace_back(key, a);
        auto first = Drawn(set, values);
        values.back().second = b;
        auto second = Drawn(set, values);
        return !Same(*first, *second);
    }
};

TEST_F(DemoMenus, EveryScreenFindsItsButtonsOnTheScreenAndClearOfEachOther)
{
    ASSERT_TRUE(Start());
    const CRules& rules = CRules::SGetInstance();
    CFrameOverlayOptionsList& sets = GetFrameOverlayOptionsList();
    EXPECT_STREQ(sets.GetItemName(rules.m_MainMenuOverlay), "Main Menu Overlay");
    EXPECT_STREQ(sets.GetItemName(rules.m_OptionsMenuOverlay), "Options Menu Overlay");
    EXPECT_STREQ(sets.GetItemName(rules.m_OptionsMenuFromPauseOverlay), "Options Menu From Pause Overlay");

    CFrameOverlayOptions* menu = Set("Main Menu Overlay");
    ASSERT_NE(menu, nullptr);
    ExpectClearOnScreen(ButtonPlaces(*menu, {"ChangePlayer", "PlayGame", "Options", "Exit"}), "main menu");
    for (const char* name : {"Options Menu Overlay", "Options Menu From Pause Overlay"}) {
        CFrameOverlayOptions* options = Set(name);
        ASSERT_NE(options, nullptr);
        ExpectClearOnScreen(ButtonPlaces(*options, {std::begin(kOptionsButtons), std::end(kOptionsButtons)}), name);
    }
    CFrameOverlayOptions* viewer = Set("Neighborhood Viewer Overlay");
    ASSERT_NE(viewer, nullptr);
    ExpectClearOnScreen(ButtonPlaces(*viewer, {"Continue", "Next", "Prev"}), "viewer");

    // The pause menu asks by ID, not by marker name.
    CFrameOverlayOptions* pause = Set("Pause Menu");
    ASSERT_NE(pause, nullptr);
    for (const char* id : {"Continue", "Reset", "Tips", "Options", "Quit"})
        EXPECT_NE(dynamic_cast<CFrameOverlayButton*>(pause->FindOverlay(CJString(id), nullptr, nullptr)), nullptr)
            << id;
    ExpectClearOnScreen(ButtonPlaces(*pause, {"Continue", "Reset", "Tips", "Options", "Quit"}), "pause");
}

TEST_F(DemoMenus, TheSetsShowTheValuesTheirScreensFill)
{
    ASSERT_TRUE(Start());
    CFrameOverlayOptions* menu = Set("Main Menu Overlay");
    ASSERT_NE(menu, nullptr);
    // The greeting tells a player who has played from a new one, by name.
    EXPECT_TRUE(Shows(*menu, {{"%s[VerionNumber]", "1.0 Build 24"}, {"%s[PlayerName]", "Anna"}},
                      "%s[ReturningPlayerName]", "", "Anna"));
    EXPECT_TRUE(Shows(*menu, {{"%s[VerionNumber]", "1.0 Build 24"}, {"%s[ReturningPlayerName]", "Anna"}},
                      "%s[PlayerName]", "Anna", "Bert"));
    EXPECT_TRUE(Shows(*menu, {{"%s[PlayerName]", "Anna"}}, "%s[VerionNumber]", "1.0 Build 24", "1.0 Build 25"));

    // Only the pause variant names the street.
    CFrameOverlayOptions* fromPause = Set("Options Menu From Pause Overlay");
    CFrameOverlayOptions* options = Set("Options Menu Overlay");
    ASSERT_NE(fromPause, nullptr);
    ASSERT_NE(options, nullptr);
    const Values street{{"%s[LevelName]", "Town"}, {"%s[Decade]", "1"}};
    EXPECT_TRUE(Shows(*fromPause, {{"%s[Decade]", "1"}}, "%s[LevelName]", "Town", "Far Side"));
    EXPECT_TRUE(Shows(*fromPause, {{"%s[LevelName]", "Town"}}, "%s[Decade]", "1", "2"));
    EXPECT_FALSE(Same(*Drawn(*fromPause, street), *Drawn(*options, street)));
    EXPECT_FALSE(Shows(*options, {{"%s[Decade]", "1"}}, "%s[LevelName]", "Town", "Far Side"));

    CFrameOverlayOptions* pause = Set("Pause Menu");
    ASSERT_NE(pause, nullptr);
    EXPECT_TRUE(Shows(*pause, {{"%s[Decade]", "1"}}, "%s[LevelName]", "Town", "Far Side"));
    EXPECT_TRUE(Shows(*pause, {{"%s[LevelName]", "Town"}}, "%s[Decade]", "1", "2"));

    // The viewer tells which way there is more to see; "0" means none.
    CFrameOverlayOptions* viewer = Set("Neighborhood Viewer Overlay");
    ASSERT_NE(viewer, nullptr);
    const Values base{{"%s[LevelName]", "Town"}, {"%s[Decade]", "1"}, {"%s[HasPrevButton]", "0"}};
    EXPECT_TRUE(Shows(*viewer, base, "%s[HasNextButton]", "0", "1"));
    EXPECT_TRUE(Shows(*viewer, {{"%s[HasNextButton]", "0"}}, "%s[HasPrevButton]", "0", "1"));
    EXPECT_TRUE(Shows(*viewer, {{"%s[HasNextButton]", "0"}}, "%s[LevelName]", "Town", "Far Side"));
}

TEST_F(DemoMenus, TheOptionAndPlayerWindowsFindTheirImagesAndIcons)
{
    ASSERT_TRUE(Start());
    CFrameList& frames = GetFrameLibrary();
    auto frame = [&](const char* name) -> CFrameInterface* {
        const int32_t index = frames.Find(name);
        EXPECT_GT(index, 0) << name;
        return index > 0 ? frames.GetObject(index) : nullptr;
    };
    CFrameInterface* groove = frame("MenuScreen_Slider");
    CFrameInterface* knob = frame("MenuScreen_SliderBar");
    CFrameInterface* box = frame("MenuScreen_SelectBox");
    CFrameInterface* ticked = frame("MenuScreen_SelectBoxRed");
    ASSERT_TRUE(groove && knob && box && ticked);
    // The sliders keep their width: the groove sets it.
    EXPECT_EQ(groove->GetWidth(), 200u);
    EXPECT_LT(knob->GetWidth(), groove->GetWidth() / 4);
    EXPECT_EQ(box->GetWidth(), ticked->GetWidth());
    EXPECT_EQ(box->GetHeight(), ticked->GetHeight());
    // Only the ticked box shows red.
    auto reds = [](CFrameInterface& image) {
        int count = 0;
        for (int32_t y = 0; y < int32_t(image.GetHeight()); ++y)
            for (int32_t x = 0; x < int32_t(image.GetWidth()); ++x) {
                CColor c;
                if (image.GetPixel(x, y, c) && c.GetAlpha() > 0 && c.GetRed() > c.GetGreen() + 100)
                    ++count;
            }
        return count;
    };
    EXPECT_GT(reds(*ticked), 10);
    EXPECT_EQ(reds(*box), 0);

    for (const char* name : {"MenuScreen_Button_Display", "MenuScreen_Button_ChangePlayer", "MenuScreen_Button_Credits",
                             "MenuScreen_Button_Sound"}) {
        const int32_t index = GetSequenceList().Find(name);
        ASSERT_GT(index, 0) << name;
        CSequence* icon = GetSequenceList().GetObject(index);
        ASSERT_GT(icon->GetFrameCount(), 0u) << name;
        EXPECT_LE(icon->GetFrame(0)->GetHeight(), 32u) << name << " fits a title bar";
    }
}

} // namespace
