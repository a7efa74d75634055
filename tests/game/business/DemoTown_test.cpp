// The game program over the demo data, as the launcher starts it: the player
// drags the town's buttons with the mouse and sees a house go up, get
// painted, a refusal's text and the bonus meter.
#include "../world/DemoGameTest.h"

#include "game/business/CBuildablePackage.h"
#include "game/business/CCrew.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelPlay.h"
#include "game/world/CLot.h"
#include "game/world/CLotPlayfieldLayer.h"
#include "game/world/CTypedCommands.h"
#include "sequences/HueRemap.h"
#include "support/ScopedHooks.h"

namespace {

class DemoTown : public CDemoGameTest {
protected:

    void Move(int32_t x, int32_t y, bool held, uint32_t milliseconds = 17)
    {
        plat::WindowEvent event;
        event.kind = plat::WindowEvent::Kind::MouseMove;
        event.x = x;
        event.y = y;
        event.heldButtons = held ? 1u : 0u;
        m_Platform.GetHeadlessWindow().PushEvent(event);
        ASSERT_TRUE(Pass(milliseconds));
    }
    void Button(int32_t x, int32_t y, bool down)
    {
        plat::WindowEvent event;
        event.kind = plat::WindowEvent::Kind::MouseButton;
        event.x = x;
        event.y = y;
        event.button = 1;
        event.down = down;
        m_Platform.GetHeadlessWindow().PushEvent(event);
        ASSERT_TRUE(Pass(17));
    }
    // Presses on the button, carries it over in steps and lets go.
    void Drag(CPoint from, CPoint to, int32_t steps = 12)
    {
        Move(from.x, from.y, false);
        Button(from.x, from.y, true);
        // As long as a person's drag: a lot takes no drop within 0.15 s of a press.
        for (int32_t step = 1; step <= steps; ++step)
            Move(from.x + (to.x - from.x) * step / steps, from.y + (to.y - from.y) * step / steps, true, 204 / steps);
        Button(to.x, to.y, false);
        Move(to.x + 1, to.y, false);
    }
    // Runs frames until the building stops being built (at most the count).
    bool PassUntilBuilt(CBuildablePackage& building, int frames)
    {
        for (int i = 0; i < frames && building.IsBeingConstructed(); ++i)
            if (!Pass(17))
                return false;
        return !building.IsBeingConstructed();
    }
    static CPoint OnScreen(CLot& lot)
    {
        const CFPoint at = GetLotLayer()->LayerToScreen(lot.GetSprite()->GetPosition());
        return CPoint{int32_t(at.x), int32_t(at.y)};
    }
    static int32_t Upgrade(const char* name) { return GetUpgradeList().Find(name); }
    uint32_t CountPixels(int32_t left, int32_t top, int32_t right, int32_t bottom, bool (*pick)(int, int, int))
    {
        // What the last frame presented.
        const std::vector<uint32_t>& shown = m_Platform.GetHeadlessScreen().GetPresented();
        const int32_t width = int32_t(m_Platform.GetHeadlessScreen().GetBackBufferWidth());
        uint32_t count = 0;
        for (int32_t y = top; y < bottom; ++y)
            for (int32_t x = left; x < right; ++x) {
                const size_t at = size_t(y) * size_t(width) + size_t(x);
                const uint32_t p = at < shown.size() ? shown[at] : 0u;
                count += pick(int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF));
            }
        return count;
    }

};

// The buttons along the bottom bar, at their slots' markers.
constexpr CPoint kCottageButton{52, 730};
constexpr CPoint kGarageButton{116, 730};
constexpr CPoint kLemonPaintButton{244, 730};
constexpr CPoint kBulldozerButton{388, 730};

// On the tutorial street that teaches the garage and paint.
TEST_F(DemoTown, AFramePartDraggedOntoALotRaisesAHouseAGarageFollowsAndPaintColoursBoth)
{
    ASSERT_TRUE(StartInTown());
    App()->StartLevelByIndex(GetLevels()->GetFirstTutorialLevelIndex() + 1);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Pass(17));
    CLot* lot = GetLotLayer() ? GetLotLayer()->FindLot(1, 0) : nullptr;
    ASSERT_NE(lot, nullptr);
    ASSERT_NE(lot->GetBuilding(), nullptr);
    CBuildablePackage& building = *lot->GetBuilding();
    EXPECT_FALSE(building.HasParts());
    const CPoint at = OnScreen(*lot);
    const auto yellow = [](int r, int g, int b) { return r > 200 && g > 170 && b < 140; };
    const uint32_t yellowBefore = CountPixels(at.x - 70, at.y - 100, at.x + 70, at.y + 10, yellow);

    Drag(kCottageButton, at);
    const int32_t cottage = Upgrade("Cottage");
    ASSERT_GT(cottage, 0);
    EXPECT_EQ(building.m_BeingConstructed, cottage) << "the frame crew took the job";
    EXPECT_EQ(GetCrewsWorking(), 1u);
    // Four seconds at the crew's speed, sooner with the foreman who comes over.
    ASSERT_TRUE(PassUntilBuilt(building, 60 * 5));
    EXPECT_TRUE(building.HasPart(cottage));
    EXPECT_FALSE(building.IsFullyPainted()) << "the frame waits for paint";

    Drag(kGarageButton, at);
    const int32_t garage = Upgrade("Single Garage");
    EXPECT_EQ(building.m_BeingConstructed, garage);
    ASSERT_TRUE(PassUntilBuilt(building, 60 * 4));
    EXPECT_TRUE(building.HasPart(garage));
    EXPECT_EQ(building.m_UnpaintedParts.GetCount(), 2u);

    Drag(kLemonPaintButton, at);
    const int32_t lemon = Upgrade("Lemon Paint");
    EXPECT_EQ(building.m_BeingConstructed, lemon);
    ASSERT_TRUE(PassUntilBuilt(building, 60 * 3));
    EXPECT_TRUE(building.HasColor(lemon));
    EXPECT_TRUE(building.IsFullyPainted());
    ASSERT_TRUE(Pass(17));
    EXPECT_GT(CountPixels(at.x - 70, at.y - 100, at.x + 70, at.y + 10, yellow), yellowBefore + 500)
        << "lemon walls stand on the lot";

    // The bulldozer clears the finished house.
    Drag(kBulldozerButton, at);
    ASSERT_TRUE(Pass(17));
    EXPECT_FALSE(building.HasParts()) << "the lot stands empty again";

    // So it does on every lot of every street, each by its own script.
    uint32_t cleared = 0;
    for (uint32_t level = 0; level < GetLevels()->GetCount(); ++level) {
        App()->StartLevelByIndex(level);
        ASSERT_TRUE(Pass(17));
        CPlayfieldLayer* lots = GetLotLayer();
        ASSERT_NE(lots, nullptr);
        for (uint32_t i = 0; i < lots->GetSpriteCount(); ++i) {
            CLot* built = CLot::SFromSprite(lots->GetSprite(i));
            if (!built)
                continue;
            built->m_Building->SizeToBuildPhases();
            built->m_Building->m_Parts[uint32_t(GetBuildablePart(cottage)->m_BuildPhase)] = cottage;
            Drag(kBulldozerButton, OnScreen(*built), 3);
            ASSERT_TRUE(Pass(17));
            EXPECT_FALSE(built->m_Building->HasParts()) << "street " << level << ", lot sprite " << i;
            ++cleared;
        }
    }
    EXPECT_GE(cleared, 80u);
}

TEST_F(DemoTown, ARefusedMoveShowsItsTextAndTheBonusWordStartsTheMeter)
{
    ASSERT_TRUE(StartInTown());
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Pass(17));
    CLot* empty = GetLotLayer() ? GetLotLayer()->FindLot(0, 1) : nullptr;
    ASSERT_NE(empty, nullptr);
    Drag(kBulldozerButton, OnScreen(*empty));
    EXPECT_STREQ(GetIllegalMoveDisplay().GetText().GetString(), "There is nothing here to bulldoze.");

    ASSERT_NE(GetThreeInARowCounter(), nullptr) << "the counter stands at its marker";
    EXPECT_FALSE(GetThreeInARowCounter()->IsBonusActive());
    for (const char* c = "zorp3trelkin"; *c; ++c) {
        plat::WindowEvent event;
        event.kind = plat::WindowEvent::Kind::Char;
        event.character = uint8_t(*c);
        m_Platform.GetHeadlessWindow().PushEvent(event);
    }
    ASSERT_TRUE(Pass(17));
    ASSERT_TRUE(Pass(17));
    EXPECT_TRUE(GetThreeInARowCounter()->IsBonusActive());
}

} // namespace
