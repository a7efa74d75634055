// The signpost as a player uses it: dropped on a finished house it walks
// there and fades in; an unfinished house refuses it with its message; the
// sign walks home when its house stops being finished or when it is
// removed; the upgrade's drop and use rules.
#include "game/business/CSignpost.h"

#include "BonusTown.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/business/CUpgradeButton.h"
#include "game/world/CPlayfieldMouseMessage.h"
#include "sequences/CSequenceList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace bonus_town;

namespace {

class Signposts : public BonusTown {
protected:
    void SetUp() override
    {
        BonusTown::SetUp();
        m_SignUpgrade = dynamic_cast<CSignpostUpgrade*>(GetUpgradeByIndex(Upgrade("Sign")));
        ASSERT_NE(m_SignUpgrade, nullptr);
        GetIllegalMoveDisplay().Hide();
    }
    // The signpost sprite of a level start, at its home marker.
    CSignpost* AddSign()
    {
        auto* sprite = new CSprite;
        sprite->SetPosition(40.0f, 500.0f);
        auto* sign = static_cast<CSignpost*>(CreateSignpostAI(*m_SignUpgrade));
        sprite->AddAI(sign);
        Playfield().AddSprite(sprite, "Crew");
        m_SignSprite = sprite;
        return sign;
    }
    void Step(CSignpost& sign)
    {
        CSpriteUpdateRecord record{m_SignSprite, 1.0f / 60.0f};
        sign.Update(record);
    }
    std::string Shown() { return GetIllegalMoveDisplay().GetText().GetString(); }

    CSignpostUpgrade* m_SignUpgrade = nullptr;
    CSprite* m_SignSprite = nullptr;
};

TEST_F(Signposts, TheLevelStartGivesTheSignItsUpgradesChanceAndLooks)
{
    Hold("Sign");
    CSignpost* sign = AddSign();
    EXPECT_EQ(int32_t(m_SignSprite->GetImageSequenceIndex()), GetSequenceList().Find("Sign Post"));
    EXPECT_FLOAT_EQ(sign->m_EffectChance, 0.4f);
    EXPECT_EQ(sign->GetState(), CSignpost::EState::Home);
    EXPECT_EQ(FindSignpost(), sign);
    EXPECT_EQ(FindSignpost(), sign);
    CUpgrade plain;
    EXPECT_EQ(CreateSignpostAI(plain), nullptr);
}

struct SRefusal {
    const char* name;
    bool constructing;
    bool withFrame;
    bool unpainted;
    bool valueless;
};

class SignpostRefusals : public Signposts, public testing::WithParamInterface<SRefusal> {};

TEST_P(SignpostRefusals, AnUnfinishedHouseSendsTheSignHomeWithItsMessage)
{
    const SRefusal& c = GetParam();
    CSignpost* sign = AddSign();
    CLot* good = AddLot({1, 0}, House("Walls", "Blue"));
    sign->PlaceOnLot(good);
    ASSERT_EQ(sign->GetState(), CSignpost::EState::Placed);

    const char* frame = c.valueless ? "Shed" : "Walls";
    CLot* lot = AddLot({2, 0}, House(c.withFrame ? frame : nullptr, c.valueless ? nullptr : "Blue"));
    CBuildablePackage* building = lot->GetBuilding();
    building->m_BeingConstructed = c.constructing ? 1 : 0;
    if (c.unpainted)
        SetParts(*building, "Unpainted Parts List", building->m_UnpaintedParts, {Upgrade("Walls")});
    sign->PlaceOnLot(lot);
    EXPECT_EQ(sign->GetState(), CSignpost::EState::Home);
    EXPECT_EQ(Shown(), "Finish and paint the house first");
    EXPECT_EQ(sign->GetAdvertisedPackage(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Cases, SignpostRefusals,
                         testing::Values(SRefusal{"UnderConstruction", true, true, false, false},
                                         SRefusal{"WithoutFrame", false, false, false, false},
                                         SRefusal{"Unpainted", false, true, true, false},
                                         SRefusal{"NoResaleValue", false, true, false, true}),
                         [](const testing::TestParamInfo<SRefusal>& param) { return std::string(param.param.name); });

TEST_F(Signposts, APlacedSignWalksBesideItsHouseFadingInAndHomeWhenTheHouseGoes)
{
    CSignpost* sign = AddSign();
    CLot* lot = AddLot({1, 0}, House("Walls", "Blue"));
    EXPECT_TRUE(m_SignUpgrade->DropOnLot(Upgrade("Sign"), lot));
    ASSERT_EQ(sign->GetState(), CSignpost::EState::Placed);
    EXPECT_EQ(sign->GetAdvertisedPackage(), lot->GetBuilding());
    EXPECT_EQ(Stats().m_SignMoved, 1u);

    // From (40, 500) toward (300 - 80, 100): at most 30 pixels a step.
    CFPoint before = m_SignSprite->GetPosition();
    for (int i = 0; i < 40; ++i) {
        Step(*sign);
        const CFPoint now = m_SignSprite->GetPosition();
        EXPECT_LE(std::hypot(now.x - before.x, now.y - before.y), 30.0f + 1e-3f);
        before = now;
    }
    EXPECT_NEAR(m_SignSprite->GetPosition().x, 220.0f, 1e-3f);
    EXPECT_NEAR(m_SignSprite->GetPosition().y, 100.0f, 1e-3f);
    EXPECT_NEAR(sign->GetPresence(), 0.5f, 1e-6f) << "fully shown after half a second";

    // The house is bulldozed: home on the next update, fading out.
    SetParts(*lot->GetBuilding(), "Parts List", lot->GetBuilding()->m_Parts, {0, 0, 0});
    Step(*sign);
    EXPECT_EQ(sign->GetState(), CSignpost::EState::Home);
    for (int i = 0; i < 40; ++i)
        Step(*sign);
    EXPECT_NEAR(m_SignSprite->GetPosition().x, 40.0f, 1e-3f);
    EXPECT_NEAR(m_SignSprite->GetPosition().y, 500.0f, 1e-3f);
    EXPECT_EQ(sign->GetPresence(), 0.0f);
    EXPECT_EQ(sign->GetLot(), nullptr);
}

TEST_F(Signposts, ANewPartOnTheHouseOrRemovingTheSignSendsItHome)
{
    CSignpost* sign = AddSign();
    CLot* lot = AddLot({1, 0}, House("Walls", "Blue"));
    sign->PlaceOnLot(lot);
    lot->GetBuilding()->m_BeingConstructed = 1;
    Step(*sign);
    EXPECT_EQ(sign->GetState(), CSignpost::EState::Home);

    lot->GetBuilding()->m_BeingConstructed = 0;
    sign->PlaceOnLot(lot);
    ASSERT_EQ(sign->GetState(), CSignpost::EState::Placed);
    CMessage remove = CMessage::CMessageByName("RemoveSignpost");
    sign->HandleMessage(remove);
    EXPECT_EQ(sign->GetState(), CSignpost::EState::Home);
}

TEST_F(Signposts, TheSignForgetsALotThatLeftThePlayfield)
{
    CSignpost* sign = AddSign();
    CLot* lot = AddLot({1, 0}, House("Walls", "Blue"));
    sign->PlaceOnLot(lot);
    CSprite* lotSprite = lot->GetSprite();
    ASSERT_TRUE(Playfield().FindLayer("Lot")->GetSprites().Remove(lotSprite));
    delete lotSprite;
    EXPECT_EQ(sign->GetAdvertisedPackage(), nullptr);
    Step(*sign);
    EXPECT_EQ(sign->GetState(), CSignpost::EState::Home);
}

TEST_F(Signposts, TheUpgradeDropsWithoutASignAndLooksDisabledWhileTheSignIsOut)
{
    CLot* lot = AddLot({1, 0}, House("Walls", "Blue"));
    EXPECT_TRUE(m_SignUpgrade->DropOnLot(Upgrade("Sign"), lot)) << "no sign: success all the same";
    EXPECT_EQ(Stats().m_SignMoved, 0u);
    EXPECT_TRUE(m_SignUpgrade->IsDraggable());
    EXPECT_TRUE(m_SignUpgrade->IsUsedOnLot());

    CSignpost* sign = AddSign();
    EXPECT_TRUE(m_SignUpgrade->CanUse(false));
    sign->PlaceOnLot(lot);
    EXPECT_FALSE(m_SignUpgrade->CanUse(false)) << "the button looks disabled";
    EXPECT_TRUE(m_SignUpgrade->CanUse(true)) << "but may still be picked up";
}

TEST_F(Signposts, ClickingTheStandingSignPicksItsButtonUpAgain)
{
    Hold("Sign");
    auto* buttonSprite = new CSprite;
    auto* button = new CUpgradeButton;
    button->m_UpgradeSlot = Slot("Signpost");
    buttonSprite->AddAI(button);
    Playfield().AddSprite(buttonSprite, "UI");
    ASSERT_EQ(FindSignpostButton(), buttonSprite);

    CSignpost* sign = AddSign();
    CLot* lot = AddLot({1, 0}, House("Walls", "Blue"));
    sign->PlaceOnLot(lot);
    for (int i = 0; i < 40; ++i)
        Step(*sign);
    const CFPoint at = m_SignSprite->GetPosition();
    const CPoint click{int32_t(at.x) + 3, int32_t(at.y) + 3};
    ASSERT_TRUE(m_SignSprite->HitTestFrames(click.x, click.y));

    CPlayfieldMouseMessage away = CPlayfieldMouseMessage::MouseDown(0, kLeftMouseButton, {click.x + 300, click.y});
    sign->HandleMessage(away);
    EXPECT_FALSE(away.IsHandled());
    EXPECT_EQ(GetDraggedSprite(), nullptr);

    CPlayfieldMouseMessage down = CPlayfieldMouseMessage::MouseDown(0, kLeftMouseButton, click);
    sign->HandleMessage(down);
    EXPECT_TRUE(down.IsHandled());
    EXPECT_EQ(GetDraggedSprite(), buttonSprite) << "the button is back on the cursor";
    CPlayfieldMouseMessage up = CPlayfieldMouseMessage::MouseUp(0, kLeftMouseButton, click);
    sign->HandleMessage(up);
    EXPECT_TRUE(up.IsHandled()) << "the release over the sign drops nothing on the lot below";
    EXPECT_EQ(sign->GetState(), CSignpost::EState::Placed) << "it stands until the button goes elsewhere";
}

} // namespace
