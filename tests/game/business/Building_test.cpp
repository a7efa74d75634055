// Buildings as the player raises them: what may be built where, progress
// with crew skill and click assists, the start and finish messages and
// sounds, the random wish, the move-in refusals with their texts, the paint
// and the build frames as they reach the screen.
#include "game/business/CBuildablePackage.h"
#include "game/business/CCrew.h"
#include "game/business/CCustomer.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/business/CBuildPhase.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CPlayfield.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/business/CUpgrade.h"
#include "game/world/CLot.h"
#include "game/business/CUpgradeButton.h"
#include "game/business/CUpgradeSlot.h"
#include "foundation/CRandomGenerator.h"
#include "images/CFrame.h"
#include "objects/CMessage.h"
#include "objects/CPropertyArrayProperty.h"
#include "platform/CAudioDevice.h"
#include "render/SurfaceHelpers.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "sequences/HueRemap.h"
#include "sequences/SequenceTestSupport.h"
#include "sound/CSoundDevice.h"
#include "sound/CSoundList.h"
#include "sound/SoundTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

void SetParts(CBuildablePackage& package, const std::vector<int32_t>& parts)
{
    auto* property = static_cast<CPropertyArrayProperty*>(package.GetClassInfo()->FindProperty("Parts List"));
    property->ArrayProperty_SetCount(&package, uint32_t(parts.size()));
    for (size_t i = 0; i < parts.size(); ++i)
        package.m_Parts[uint32_t(i)] = parts[i];
}

void SetUnpainted(CBuildablePackage& package, const std::vector<int32_t>& parts)
{
    auto* property =
        static_cast<CPropertyArrayProperty*>(package.GetClassInfo()->FindProperty("Unpainted Parts List"));
    property->ArrayProperty_SetCount(&package, uint32_t(parts.size()));
    for (size_t i = 0; i < parts.size(); ++i)
        package.m_UnpaintedParts[uint32_t(i)] = parts[i];
}

// A sprite or a layer that notes the messages it hears.
class CListeningSprite : public CSprite {
public:
    explicit CListeningSprite(std::function<void(const char*)> note)
        : m_Note(std::move(note))
    {
    }
    void HandleMessage(CMessage& message) override
    {
        m_Note(GetMessageTypeName(message.GetType()));
        CSprite::HandleMessage(message);
    }

private:
    std::function<void(const char*)> m_Note;
};

class CListeningLayer : public CPlayfieldLayer {
public:
    explicit CListeningLayer(std::function<void(const char*)> note)
        : m_Note(std::move(note))
    {
    }
    void HandleMessage(CMessage& message) override { m_Note(GetMessageTypeName(message.GetType())); }

private:
    std::function<void(const char*)> m_Note;
};

// Each refusal's text names its key and shows its variables.
const char* const kRefusals[][2] = {
    {"CantBuildHereWorking", "Working"},
    {"CantMoveInWrongPart", "Wrong part: wanted %s[DesiredPart], got %s[ActualPart]"},
    {"CantMoveInWrongPaint", "Wrong paint: wanted %s[DesiredColor], got %s[ActualColor]"},
    {"CantMoveInMissingPart", "Missing %s[MissingPart]"},
    {"CantMoveInUnpaintedGeneric", "Unpainted"},
    {"CantMoveInUnpaintedSpecific", "Paint the %s[UnpaintedPart]"},
    {"CrewNotAvailable", "No %s[CrewType] crew"},
    {"MustFallowScriptedTutorial", "Follow the tutorial"},
    {"NotWhatWasOrdered", "Not ordered"},
};

} // namespace

class Building : public SequenceFolderTest {
protected:
    void SetUp() override
    {
        SequenceFolderTest::SetUp();
        ASSERT_TRUE(m_Device.Initialize());
        WriteBytes("Resources/Sounds/Hammer.wav", MonoWave(Constant(40000, 900)));
        WriteBytes("Resources/Sounds/Start.wav", MonoWave(Constant(40000, 1000)));
        WriteBytes("Resources/Sounds/Done.wav", MonoWave(Constant(40000, 1100)));
        WriteBytes("Resources/Sounds/Crew Start.wav", MonoWave(Constant(40000, 1200)));
        m_Sounds = std::make_unique<CSoundList>(m_Device);
        ASSERT_EQ(m_Sounds->Load("Building Sounds", "Resources/Sounds", ".wav", ".ogg"), 4);
        GetAudioList().SetSource("Resources/Audio", m_Sounds.get());

        // Four build frames of rising red; the last of a colourable part is
        // its painted look.
        for (int i = 0; i < 4; ++i)
            WriteTga("Resources/Sequences/-House/000" + std::to_string(i + 1) + ".tga", 40, 40,
                     0xFF000000u | uint32_t(40 + 50 * i) << 16);
        WriteTga("Resources/Sequences/-Car/0001.tga", 40, 40, 0xFF00C000u);
        WriteTga("Resources/Sequences/-Glow/0001.tga", 40, 40, 0xFF0000C0u);
        WriteTga("Resources/Sequences/-Tile EmptyLot/0001.tga", 40, 40);
        GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);

        WriteBytes("Resources/Slots/!None.UpgradeSlot.txt", BareObjectText("CUpgradeSlot", ""));
        for (const char* slot : {"Frame Crew", "Walls", "Garage", "Add On", "Paint"})
            WriteBytes("Resources/Slots/" + std::string(slot) + ".UpgradeSlot.txt", BareObjectText("CUpgradeSlot", ""));
        WriteBytes(
            "Resources/Phases/Frame.BuildPhase.txt",
            BareObjectText("CBuildPhase",
                           "Name=Frame\r\nOption Index=Required\r\nGets Colored=1\r\n"
                           "Upgrade Slot List=Array\r\n{\r\nUpgrade Slot=Frame Crew\r\n}\r\n"
                           "Default Part Values=CBuildablePart\r\n{\r\nStart Building Audio=Crew Start\r\n}\r\n"));
        WriteBytes("Resources/Phases/Garage.BuildPhase.txt",
                   BareObjectText("CBuildPhase", "Name=Garage\r\nGets Colored=1\r\nCan Be ReDone=1\r\n"));
        WriteBytes("Resources/Phases/Add On.BuildPhase.txt", BareObjectText("CBuildPhase", "Name=Add On\r\n"));
        WriteBytes("Resources/Phases/Color.BuildPhase.txt",
                   BareObjectText("CBuildPhase", "Name=Color\r\nCan Be ReDone=1\r\n"));
        WriteBytes("Resources/Phases/Fence.BuildPhase.txt", BareObjectText("CBuildPhase", "Name=Fence\r\n"));
        WriteBytes("Resources/Upgrades/!None.Upgrade.txt", BareObjectText("CUpgrade", "Upgrade Cost=0\r\n"));
        WriteBytes("Resources/Upgrades/Walls.Upgrade.txt",
                   BareObjectText("CBuildablePart",
                                  "Name=Walls\r\nAppearance=House\r\nBuild Phase=Frame\r\nUpgrade Slot=Walls\r\n"
                                  "Time to Build=2\r\nStart Building Sound Index=Hammer.wav\r\n"
                                  "Done Building Audio=Done\r\nPart Bonus Sequence=Glow\r\n"));
        WriteBytes("Resources/Upgrades/Tower.Upgrade.txt",
                   BareObjectText("CBuildable",
                                  "Name=Tower\r\nAppearance=House\r\nBuild Phase=Frame\r\nTime to Build=0\r\n"
                                  "Start Building Audio=Start\r\n"));
        WriteBytes("Resources/Upgrades/Carport.Upgrade.txt",
                   BareObjectText("CBuildablePart",
                                  "Name=Carport\r\nAppearance=Car\r\nBuild Phase=Garage\r\nUpgrade Slot=Garage\r\n"));
        WriteBytes("Resources/Upgrades/Shed.Upgrade.txt",
                   BareObjectText("CBuildablePart",
                                  "Name=Shed\r\nAppearance=Car\r\nBuild Phase=Garage\r\nUpgrade Slot=Garage\r\n"));
        WriteBytes("Resources/Upgrades/Pool.Upgrade.txt",
                   BareObjectText("CBuildablePart", "Name=Pool\r\nBuild Phase=Add On\r\nUpgrade Slot=Add On\r\n"));
        WriteBytes("Resources/Upgrades/Porch.Upgrade.txt",
                   BareObjectText("CBuildablePart", "Name=Porch\r\nBuild Phase=Add On\r\nUpgrade Slot=Add On\r\n"));
        WriteBytes("Resources/Upgrades/Blue.Upgrade.txt",
                   BareObjectText("CColorBuildablePart",
                                  "Name=Blue\r\nBuild Phase=Color\r\nUpgrade Slot=Paint\r\nHue Remap=Blue\r\n"));
        WriteBytes("Resources/Upgrades/Red.Upgrade.txt",
                   BareObjectText("CColorBuildablePart",
                                  "Name=Red\r\nBuild Phase=Color\r\nUpgrade Slot=Paint\r\nHue Remap=Red\r\n"));
        WriteBytes("Resources/Upgrades/Skilled.Upgrade.txt",
                   BareObjectText("CCrewSkillUpgrade",
                                  "Name=Skilled\r\nBuild Phase=Frame\r\nUpgrade Slot=Frame Crew\r\nBuild Speed=2\r\n"));
        std::string messages;
        for (const auto& refusal : kRefusals)
            messages += "Message=CIllegalMoveMessage\r\n{\r\nMessage ID=" + std::string(refusal[0]) + "\r\nMessage="
                + refusal[1] + "\r\n}\r\n";
        WriteBytes("Resources/Illegal Move Options.Object.txt",
                   BareObjectText("CIllegalMoveMessageOptions", "Message List=Array\r\n{\r\n" + messages + "}\r\n"));
        GetGeneralObjects().SetSource(nullptr, "Resources", 0);
        InitGeneralObjects();
        GetIllegalMoveDisplay() = CIllegalMoveDisplay();
        WriteBytes("Resources/0 Unpainted.HueRemap.txt", BareObjectText("CHueRemapperStyleSheet", ""));
        WriteBytes("Resources/Blue.HueRemap.txt", BareObjectText("CHueRemapperStyleSheet", ""));
        WriteBytes("Resources/Red.HueRemap.txt", BareObjectText("CHueRemapperStyleSheet", ""));
        for (CObjectFileArray* list : Lists())
            list->SetSource(nullptr, "Resources", 0);
        for (const char* name : {"Walls", "Tower", "Carport", "Shed", "Pool", "Porch", "Blue", "Red", "Skilled"}) {
            m_Part[name] = GetUpgradeList().Find(name);
            ASSERT_GT(m_Part[name], 0) << name;
        }

        CLevelOptions level;
        level.ResetToDefaults();
        level.EnsureDefaultLayers();
        GetLevelHolder().HoldCopyOf(&level);
        m_Level = CLevelOptions::SGetCurrent();
        ASSERT_NE(m_Level, nullptr);
        m_Playfield = &m_Level->GetPlayfield();
        m_State = CGameState::SGetCurrent();
        // Each broadcast notes the building sounds already started with it.
        m_Playfield->AppendLayer(new CListeningLayer([this](const char* name) {
            std::string heard = name;
            for (const char* file : {"Crew Start.wav", "Done.wav"})
                if (IsSounding(file))
                    heard += std::string(" + ") + file;
            m_Heard.push_back(heard);
        }));
    }
    void TearDown() override
    {
        m_Package.reset();
        for (const auto& [name, id] : m_Part)
            m_State->RemoveUpgrade(id);
        GetLevelHolder().Release();
        GetIllegalMoveDisplay() = CIllegalMoveDisplay();
        GetGeneralObjects().RemoveAll();
        GetGeneralObjects().SetSource(nullptr, "Nowhere", 0);
        for (CObjectFileArray* list : Lists()) {
            list->RemoveAll();
            list->SetSource(nullptr, "Nowhere", 0);
        }
        // The style sheets are found where the program starts them.
        GetHueRemapperStyleSheetList().SetSource("Hue Remapper Style Sheets", "Resources", 0);
        GetSequenceList().RemoveAll();
        GetSequenceList().SetSource(nullptr, "Nowhere", 0);
        GetAudioList().SetSource("Nowhere", nullptr);
        m_Sounds.reset();
        m_Device.Shutdown();
        SequenceFolderTest::TearDown();
    }
    static std::vector<CObjectFileArray*> Lists()
    {
        return {&GetUpgradeSlotList(), &GetBuildPhaseList(), &GetUpgradeList(), &GetHueRemapperStyleSheetList()};
    }

    // Parts listed as Frame, Garage, Add On, Color, Fence, placed by phase.
    static std::vector<int32_t> Order(std::vector<int32_t> parts)
    {
        std::vector<int32_t> byPhase(size_t(GetBuildPhaseList().GetCount()), 0);
        const char* names[] = {"Frame", "Garage", "Add On", "Color", "Fence"};
        for (size_t i = 0; i < parts.size(); ++i)
            byPhase[size_t(FindBuildPhase(names[i]))] = parts[i];
        if (parts.size() < 5)
            byPhase.pop_back();
        return byPhase;
    }
    CBuildablePart& Part(const char* name) { return *GetBuildablePart(m_Part[name]); }
    int32_t Id(const char* name) { return m_Part[name]; }
    CBuildablePackage& Package()
    {
        if (!m_Package) {
            m_Package = std::make_unique<CBuildablePackage>();
            m_Package->ResetToDefaults();
        }
        return *m_Package;
    }
    void Start(const char* name, CSprite* lot = nullptr) { Package().StartBuilding(Part(name), Id(name), lot); }
    CLevelPlayStats& Stats() { return *CLevelPlayStats::SGetCurrent(); }
    // The refusal text on show, and clears it; "" when none was shown.
    std::string Shown()
    {
        CIllegalMoveDisplay& display = GetIllegalMoveDisplay();
        std::string text = display.GetSecondsShown() < 0.0f ? "" : display.GetText().GetString();
        display = CIllegalMoveDisplay();
        return text;
    }
    bool IsSounding(const char* file)
    {
        for (CSound* s = m_Sounds->GetSoundByName(file); s; s = s->GetNextCopy())
            if (s->IsPlaying())
                return true;
        return false;
    }
    // Sixtieths of a second.
    void Step(int frames, float speed = 1.0f)
    {
        for (int i = 0; i < frames; ++i)
            Package().Update(speed / 60.0f);
    }

    plat::CAudioDeviceHeadless m_Audio;
    CSoundDevice m_Device{m_Audio};
    std::unique_ptr<CSoundList> m_Sounds;
    std::map<std::string, int32_t> m_Part;
    std::unique_ptr<CBuildablePackage> m_Package;
    CLevelOptions* m_Level = nullptr;
    CPlayfield* m_Playfield = nullptr;
    CGameState* m_State = nullptr;
    std::vector<std::string> m_Heard;
};

TEST_F(Building, OldClassNameStillReadsAndPhasesCarryTheirData)
{
    EXPECT_EQ(Part("Tower").GetClassInfo(), CBuildablePart::SGetClassInfo()) << "\"CBuildable\" is read as a part";
    CBuildPhase* frame = GetBuildPhaseAt(GetFramePhase());
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->m_GetsColored);
    EXPECT_FALSE(frame->m_CanBeReDone);
    EXPECT_FLOAT_EQ(frame->m_SpaceBetweenIdleCrews, 55.0f);
    ASSERT_NE(frame->m_DefaultPartValues, nullptr);
    EXPECT_EQ(frame->m_DefaultPartValues->m_StartBuildingAudio, GetAudioList().Find("Crew Start"));
    EXPECT_EQ(GetBuildPhaseAt(99), nullptr) << "a phase outside the list reads as none";
    EXPECT_EQ(Package().GetPartInPhase(7), 0);
    EXPECT_FLOAT_EQ(Package().GetPartResaleValue(7), 0.0f);
}

TEST_F(Building, CanBuildCases)
{
    CBuildablePackage& package = Package();
    EXPECT_TRUE(package.CanBuild(Part("Walls"), true));
    EXPECT_FALSE(package.CanBuild(Part("Blue"), true)) << "nothing to paint";
    EXPECT_EQ(Shown(), "") << "a paint with nothing to paint is refused silently";

    Start("Walls");
    EXPECT_FALSE(package.CanBuild(Part("Walls"), true));
    EXPECT_EQ(Shown(), "Working");
    EXPECT_FALSE(package.CanBuild(Part("Carport"), false)) << "another phase waits for the crew";
    Step(200);
    ASSERT_FALSE(package.IsBeingConstructed());
    EXPECT_FALSE(package.CanBuild(Part("Tower"), true)) << "a frame cannot be redone";

    // A garage may be redone: a different one replaces the one in progress.
    Start("Carport");
    EXPECT_TRUE(package.CanBuild(Part("Shed"), true));
    EXPECT_FALSE(package.CanBuild(Part("Carport"), false));
    Step(300);
    EXPECT_FALSE(package.CanBuild(Part("Carport"), false)) << "the same part again";
    EXPECT_TRUE(package.CanBuild(Part("Shed"), false));

    // Paint: the same colour again counts, a different one repaints all.
    Start("Blue");
    Step(300);
    ASSERT_TRUE(package.IsFullyPainted());
    EXPECT_FALSE(package.CanBuild(Part("Blue"), true)) << "already that colour";
    Start("Shed");
    Step(300);
    const uint32_t same = Stats().m_RepaintSameColor;
    EXPECT_TRUE(package.CanBuild(Part("Blue"), true));
    EXPECT_EQ(Stats().m_RepaintSameColor, same + 1);
    const uint32_t different = Stats().m_RepaintDifferentColor;
    EXPECT_TRUE(package.CanBuild(Part("Red"), false));
    EXPECT_EQ(Stats().m_RepaintDifferentColor, different) << "only shown drops count";
    EXPECT_TRUE(package.CanBuild(Part("Red"), true));
    EXPECT_EQ(Stats().m_RepaintDifferentColor, different + 1);
    EXPECT_FALSE(package.HasAnyColor());
    ASSERT_EQ(package.m_UnpaintedParts.GetCount(), 2u) << "every colourable part waits again, in phase order";
    EXPECT_EQ(package.m_UnpaintedParts[0], Id("Walls"));
    EXPECT_EQ(package.m_UnpaintedParts[1], Id("Shed"));
}

TEST_F(Building, ProgressFollowsBuildTimeAndCrewSkillAndZeroTimeFinishesAtOnce)
{
    Start("Walls"); // 2 s
    Step(60);
    EXPECT_NEAR(Package().m_ConstructionProgress, 0.5f, 1e-3f) << "no crew skill upgrade means speed 1.0";
    Step(60);
    EXPECT_FALSE(Package().IsBeingConstructed());
    EXPECT_FLOAT_EQ(Package().m_ConstructionProgress, 0.0f);

    m_State->ReceiveUpgrade(Id("Skilled"));
    Package().ResetToDefaults();
    Start("Walls"); // 2 s at twice the speed, sped up half again by a foreman
    Step(20, 1.5f);
    EXPECT_NEAR(Package().m_ConstructionProgress, 0.5f, 1e-3f);
    Start("Carport"); // another phase's crew has no skill
    Step(60);
    EXPECT_NEAR(Package().m_ConstructionProgress, 0.25f, 1e-3f);
    m_State->RemoveUpgrade(Id("Skilled"));

    Package().ResetToDefaults();
    Start("Tower"); // no build time
    Package().Update(1.0f / 60.0f);
    EXPECT_FALSE(Package().IsBeingConstructed());
    EXPECT_TRUE(std::isfinite(Package().m_ConstructionProgress));
    EXPECT_EQ(Package().GetPartInPhase(GetFramePhase()), Id("Tower"));

    // A part the upgrade list no longer holds leaves no building stuck.
    Package().m_BeingConstructed = 999;
    Package().Update(1.0f / 60.0f);
    EXPECT_FALSE(Package().IsBeingConstructed());
}

TEST_F(Building, ClickAssistStallsNearThreeQuartersAndClicksFinish)
{
    m_Level->m_RequireClickAssist = true;
    Start("Walls");
    Step(60 * 60);
    const float stalled = Package().m_ConstructionProgress;
    EXPECT_TRUE(Package().IsBeingConstructed());
    EXPECT_GT(stalled, 0.74f);
    EXPECT_LT(stalled, 0.76f);
    Package().AddProgress(0.1f);
    EXPECT_NEAR(Package().m_ConstructionProgress, stalled + 0.1f, 1e-5f);
    Step(1);
    EXPECT_TRUE(Package().IsBeingConstructed()) << "past 0.9 the rate is whole again, but 0.85 needs time";
    Package().AddProgress(0.5f);
    EXPECT_FLOAT_EQ(Package().m_ConstructionProgress, 1.0f) << "a click never overshoots";
    Step(1);
    EXPECT_FALSE(Package().IsBeingConstructed()) << "finished on the next update";
}

TEST_F(Building, ClickedToNinetyPercentAPartFinishesWithoutMoreClicks)
{
    m_Level->m_RequireClickAssist = true;
    Start("Walls"); // 2 s
    Package().m_ConstructionProgress = 0.89f;
    Step(60 * 60);
    EXPECT_TRUE(Package().IsBeingConstructed()) << "just short of 0.9 the crew stands still";
    EXPECT_FLOAT_EQ(Package().m_ConstructionProgress, 0.89f);

    Package().m_ConstructionProgress = 0.9f;
    Step(15); // the last tenth takes 0.2 s at the whole rate
    EXPECT_FALSE(Package().IsBeingConstructed());
    EXPECT_EQ(Package().GetPartInPhase(GetFramePhase()), Id("Walls"));
}

TEST_F(Building, StartAndFinishSendMessagesBeforeTheirSounds)
{
    std::vector<std::string> lotHeard;
    CListeningSprite lot([&](const char* name) { lotHeard.push_back(name); });
    Start("Walls", &lot);
    ASSERT_EQ(m_Heard.size(), 1u);
    EXPECT_EQ(m_Heard[0], "Frame Work Started") << "heard before the start sound";
    ASSERT_EQ(lotHeard.size(), 1u);
    EXPECT_EQ(lotHeard[0], "Frame Work Started Here");
    EXPECT_TRUE(IsSounding("Crew Start.wav")) << "the phase's default stands in for the part's";
    ASSERT_NE(Package().GetBuildingSound(), nullptr);
    EXPECT_TRUE(Package().GetBuildingSound()->IsPlaying()) << "the building sound loops while built";
    EXPECT_EQ(m_Sounds->GetLiveCopies(m_Sounds->Find("Hammer.wav")), 1);

    Step(110);
    ASSERT_EQ(m_Heard.size(), 1u);
    m_Device.StopAllSounds();
    Step(15);
    ASSERT_EQ(m_Heard.size(), 2u);
    EXPECT_EQ(m_Heard[1], "Frame Work Finished") << "heard before the done sound";
    EXPECT_TRUE(IsSounding("Done.wav"));
    EXPECT_EQ(Package().GetBuildingSound(), nullptr);
    EXPECT_EQ(m_Sounds->GetLiveCopies(m_Sounds->Find("Hammer.wav")), 0) << "released with the part";

    // A reset while building stops the building sound too.
    m_Device.StopAllSounds();
    Package().ResetToDefaults();
    Start("Tower");
    EXPECT_TRUE(IsSounding("Start.wav"));
    Start("Walls");
    ASSERT_NE(Package().GetBuildingSound(), nullptr);
    EXPECT_TRUE(Package().GetBuildingSound()->IsPlaying());
    Package().ResetToDefaults();
    EXPECT_EQ(Package().GetBuildingSound(), nullptr);
    EXPECT_EQ(m_Sounds->GetLiveCopies(m_Sounds->Find("Hammer.wav")), 0);
}

TEST_F(Building, RandomWishIsSizedToThePhasesSoAFinishedLotMatchesIt)
{
    for (const char* name : {"Walls", "Carport", "Blue"})
        m_State->ReceiveUpgrade(Id(name));
    CRandomGenerator random;
    random.Seed(7);
    int withGarage = 0;
    for (int i = 0; i < 200; ++i) {
        CBuildablePackage wish;
        wish.ResetToDefaults();
        wish.MakeRandomWish(random);
        ASSERT_EQ(wish.m_Parts.GetCount(), 5u) << "one entry per phase, the empty fence included";
        EXPECT_EQ(wish.GetPartInPhase(GetFramePhase()), Id("Walls")) << "a required phase always gets a part";
        EXPECT_EQ(wish.GetPartInPhase(GetAddOnPhase()), 0) << "nothing owned for it";
        withGarage += wish.GetPartInPhase(GetGaragePhase()) != 0;
    }
    EXPECT_GT(withGarage, 90);
    EXPECT_LT(withGarage, 150);

    // Built on a lot, the same parts compare equal to the wish.
    CBuildablePackage wish;
    wish.ResetToDefaults();
    SetParts(wish, Order({Id("Walls"), 0, 0, 0, 0}));
    Start("Walls");
    Step(200);
    EXPECT_TRUE(Package().HasSamePartsAs(&wish));
    SetParts(wish, Order({Id("Walls"), 0, 0, 0}));
    EXPECT_FALSE(Package().HasSamePartsAs(&wish)) << "a different count of phases is not the same";
    EXPECT_TRUE(Package().ContainsPartsOf(&wish));
    EXPECT_TRUE(Package().ContainsPartsOf(nullptr));

    // A lot built in the editor with a short list is sized when its lot
    // starts, and then takes the customer whose wish has every phase.
    auto* sprite = new CSprite;
    auto* lot = new CLot;
    sprite->AddAI(lot);
    m_Playfield->FindOrAddLayer("Lot")->AddSprite(sprite);
    CBuildablePackage& prebuilt = *lot->GetBuilding();
    SetParts(prebuilt, Order({Id("Walls"), 0, 0, 0}));
    SetParts(wish, Order({Id("Walls"), 0, 0, 0, 0}));
    ASSERT_FALSE(prebuilt.HasSamePartsAs(&wish));
    sprite->Update();
    EXPECT_TRUE(prebuilt.HasSamePartsAs(&wish));
}

TEST_F(Building, AnOrderIsContainedWhateverStandsInThePhasesItLeavesEmpty)
{
    CBuildablePackage lot;
    lot.ResetToDefaults();
    SetParts(lot, Order({Id("Walls"), Id("Carport"), 0, Id("Blue"), 0}));
    CBuildablePackage order;
    order.ResetToDefaults();

    SetParts(order, Order({Id("Walls"), 0, 0, Id("Blue"), 0}));
    EXPECT_TRUE(lot.ContainsPartsOf(&order)) << "no garage ordered, one built";
    SetParts(order, Order({Id("Walls"), Id("Carport"), 0, Id("Blue"), 0}));
    EXPECT_TRUE(lot.ContainsPartsOf(&order));
    SetParts(order, Order({Id("Walls"), Id("Shed"), 0, 0, 0}));
    EXPECT_FALSE(lot.ContainsPartsOf(&order)) << "another garage";
    SetParts(order, Order({Id("Walls"), 0, Id("Pool"), 0, 0}));
    EXPECT_FALSE(lot.ContainsPartsOf(&order)) << "an add-on the lot lacks";
    SetParts(order, Order({0, 0, 0, Id("Red"), 0}));
    EXPECT_FALSE(lot.ContainsPartsOf(&order)) << "another paint";
}

TEST_F(Building, PaintRemapAndQueries)
{
    CBuildablePackage& package = Package();
    const int32_t unpainted = GetHueRemapperStyleSheetList().Find("0 Unpainted");
    const int32_t blue = GetHueRemapperStyleSheetList().Find("Blue");
    SetParts(package, Order({Id("Walls"), Id("Carport"), 0, 0, 0}));
    SetUnpainted(package, {Id("Walls"), Id("Carport")});
    EXPECT_EQ(package.GetPaintRemap(Id("Walls"), false), unpainted);
    EXPECT_TRUE(package.HasColorablePart());
    EXPECT_FALSE(package.HasAnyColor());

    SetParts(package, Order({Id("Walls"), Id("Carport"), 0, Id("Blue"), 0}));
    SetUnpainted(package, {Id("Carport")});
    EXPECT_EQ(package.GetPaintRemap(Id("Walls"), false), blue);
    EXPECT_EQ(package.GetPaintRemap(Id("Carport"), false), unpainted) << "waiting for paint";
    EXPECT_EQ(package.GetPaintRemap(Id("Carport"), true), blue) << "the preview shows the paint to come";
    EXPECT_TRUE(package.HasColor(Id("Blue")));
    EXPECT_TRUE(package.HasPart(Id("Carport")));
    EXPECT_FALSE(package.HasPart(Id("Shed")));

    // A button shows the part unpainted, found by name: a sheet that sorts
    // first moves its row.
    auto picture = CFrame::MakeOwned(4, 4, 32);
    EXPECT_EQ(GetButtonPictureFrame(Part("Walls"), picture.get()), GetHueRemappedFrame(*picture, unpainted));
    WriteBytes("Resources/!Rose.HueRemap.txt", BareObjectText("CHueRemapperStyleSheet", ""));
    GetHueRemapperStyleSheetList().SetSource(nullptr, "Resources", 0);
    ASSERT_EQ(GetHueRemapperStyleSheetList().Find("0 Unpainted"), unpainted + 1);
    EXPECT_EQ(GetButtonPictureFrame(Part("Walls"), picture.get()), GetHueRemappedFrame(*picture, unpainted + 1));

    CBuildablePackage other;
    other.ResetToDefaults();
    SetParts(other, Order({Id("Walls"), Id("Carport"), Id("Pool"), Id("Blue"), 0}));
    EXPECT_TRUE(package.MatchesIgnoringAddOn(other));
    SetParts(other, Order({Id("Walls"), Id("Shed"), Id("Pool"), Id("Blue")}));
    EXPECT_FALSE(package.MatchesIgnoringAddOn(other));

    // Owned upgrades replace the parts of their slots; an empty slot keeps
    // the prebuilt part.
    m_State->ReceiveUpgrade(Id("Shed"));
    package.UpgradeGarageToOwned();
    EXPECT_EQ(package.GetPartInPhase(GetGaragePhase()), Id("Shed"));
    m_State->ReceiveUpgrade(Id("Red"));
    ASSERT_EQ(m_State->GetUpgradeInSlot(Part("Walls").m_UpgradeSlot), 0);
    package.UpgradePartsToOwned();
    EXPECT_EQ(package.GetPartInPhase(GetFramePhase()), Id("Walls"));
    EXPECT_EQ(package.GetPartInPhase(GetColorPhase()), Id("Red"));
}

TEST_F(Building, HighlightIsATriangleWaveAndEndsWithTheBonus)
{
    EXPECT_FLOAT_EQ(GetHighlightOpacity(0.0f, 1.0f), 0.0f);
    EXPECT_FLOAT_EQ(GetHighlightOpacity(0.25f, 1.0f), 0.5f);
    EXPECT_FLOAT_EQ(GetHighlightOpacity(0.5f, 1.0f), 1.0f);
    EXPECT_FLOAT_EQ(GetHighlightOpacity(0.75f, 1.0f), 0.5f);
    EXPECT_NEAR(GetHighlightOpacity(1.25f, 1.0f), 0.5f, 1e-6f) << "the wave repeats";
    EXPECT_FLOAT_EQ(GetHighlightOpacity(3.0f, 0.0f), 1.0f) << "no period: steady";

    auto counter = std::make_unique<CThreeInARowCounter>();
    counter->m_SecondsBonusLeft = 5.0f;
    SetParts(Package(), {Id("Walls"), 0, 0, 0, 0});
    Package().MarkThreeInARowPart(Id("Walls"));
    ASSERT_EQ(Package().m_HighlightParts.size(), 5u);
    EXPECT_EQ(Package().m_HighlightParts[size_t(GetFramePhase())], Id("Walls"));
    Step(30);
    EXPECT_TRUE(Package().m_HighlightActive);
    EXPECT_NEAR(Package().m_HighlightTimer, 0.5f, 1e-4f);
    counter->m_SecondsBonusLeft = 0.0f;
    Step(1);
    EXPECT_FALSE(Package().m_HighlightActive) << "ends on the first frame after the bonus";
    EXPECT_EQ(Package().m_HighlightParts[size_t(GetFramePhase())], 0);
}

class BuildingFrames : public Building {
protected:
    // The red the building shows at its anchor (100, 100) on black.
    // painting: the walls wait for the blue going up.
    int Red(float progress, bool paintWaiting = false, bool building = true, bool painting = false)
    {
        CBuildablePackage& package = Package();
        package.ResetToDefaults();
        SetParts(package, Order({Id("Walls"), 0, 0, painting ? Id("Blue") : 0, 0}));
        SetUnpainted(package, paintWaiting ? std::vector<int32_t>{Id("Walls")} : std::vector<int32_t>{});
        package.m_BeingConstructed = painting ? Id("Blue") : building ? Id("Walls") : 0;
        package.m_ConstructionProgress = progress;
        CFrame target;
        target.Create(200, 200, 32);
        target.Clear();
        package.Draw(target, 100, 100, 1.0f);
        CColor pixel;
        target.GetPixel(102, 102, pixel);
        return pixel.GetRed();
    }
};

TEST_F(BuildingFrames, FloorCrossFadeAndPaintedLastFrame)
{
    // Frames of red 40, 90, 140, 190; f = 4 x progress - 1.
    EXPECT_EQ(Red(0.5f), 90) << "f = 1: frame 1 alone";
    EXPECT_NEAR(Red(0.6f), 90 * 0.6 + 140 * 0.4, 2) << "f = 1.4: frame 2 over frame 1 at 0.4";
    EXPECT_NEAR(Red(0.1f), 40 * 0.4, 2) << "f = -0.6: only frame 0, fading in";
    EXPECT_EQ(Red(0.0f, false, false), 190) << "finished: the last frame";
    EXPECT_EQ(Red(0.0f, true, false), 140) << "waiting for paint: the frame before the painted one";
    EXPECT_NEAR(Red(0.9f, true), 90 * 0.3 + 140 * 0.7, 3) << "unpainted: 3 frames, f = 1.7, never the painted one";
    EXPECT_NEAR(Red(0.5f, true, false, true), 140 * 0.5 + 190 * 0.5, 3) << "the painted look fades in with the paint";
    EXPECT_NEAR(Red(0.2f, true, false, true), 140 * 0.8 + 190 * 0.2, 3);
}

TEST_F(BuildingFrames, TheWishBubbleShowsThePaintedLook)
{
    CBuildablePackage& wish = Package();
    SetParts(wish, Order({Id("Walls"), 0, 0, 0, 0}));
    SetUnpainted(wish, {Id("Walls")});
    CFrame* frame = wish.GetWishFrame(GetFramePhase(), true);
    ASSERT_NE(frame, nullptr);
    CFrame bubble;
    bubble.Create(100, 100, 32);
    bubble.Clear();
    BlitAt(bubble, *frame, 50, 50, GetSequenceList().GetObject(Part("Walls").m_Appearance)->GetBlitType());
    CColor pixel;
    bubble.GetPixel(50, 50, pixel);
    EXPECT_EQ(pixel.GetRed(), 190) << "the last frame, the paint previewed";
    EXPECT_EQ(wish.GetWishFrame(GetGaragePhase(), true), nullptr) << "no part";
    EXPECT_EQ(wish.GetWishFrame(42, true), nullptr) << "no such phase";
}

TEST_F(BuildingFrames, ProgressBarFillsFromTheLeftOverTheBackground)
{
    CBuildablePackage& package = Package();
    SetParts(package, Order({Id("Walls"), 0, 0, 0, 0}));
    package.m_BeingConstructed = Id("Walls");
    package.m_ConstructionProgress = 0.5f;
    CFrame target;
    target.Create(200, 200, 32);
    target.Clear();
    package.Draw(target, 100, 100, 1.0f);
    CColor pixel;
    target.GetPixel(100 - 51 + 50, 100 - 50, pixel);
    EXPECT_EQ(pixel.GetRed(), 255) << "filled to left + round(103 x 0.5)";
    target.GetPixel(100 - 51 + 53, 100 - 50, pixel);
    EXPECT_EQ(pixel.GetRed(), 0) << "the background beyond";
    EXPECT_EQ(pixel.GetAlpha(), 255);
}

TEST_F(Building, MoveInRefusalsComeInOrderWithTheirVariables)
{
    CBuildablePackage& lot = Package();
    CBuildablePackage order;
    order.ResetToDefaults();
    SetParts(order, Order({Id("Walls"), Id("Carport"), 0, Id("Blue"), 0}));

    EXPECT_FALSE(lot.ShowMoveInRefusal(nullptr)) << "no order, nothing to check";
    // A wrong garage waiting for paint beats the missing paint and frame.
    SetParts(lot, Order({0, 0, 0, 0, 0}));
    SetUnpainted(lot, {Id("Shed")});
    EXPECT_TRUE(lot.ShowMoveInRefusal(&order));
    EXPECT_EQ(Shown(), "Wrong part: wanted Carport, got Shed");

    SetParts(lot, Order({Id("Walls"), Id("Carport"), 0, Id("Red"), 0}));
    SetUnpainted(lot, {});
    EXPECT_TRUE(lot.ShowMoveInRefusal(&order));
    EXPECT_EQ(Shown(), "Wrong paint: wanted Blue, got Red");

    SetParts(lot, Order({0, Id("Carport"), 0, 0, 0}));
    EXPECT_TRUE(lot.ShowMoveInRefusal(&order));
    EXPECT_EQ(Shown(), "Missing Walls");

    // An order without an add-on takes any; one with an add-on wants it.
    SetParts(lot, Order({Id("Walls"), Id("Carport"), Id("Porch"), Id("Blue"), 0}));
    EXPECT_FALSE(lot.ShowMoveInRefusal(&order));
    EXPECT_EQ(Shown(), "");
    order.m_Parts[uint32_t(GetAddOnPhase())] = Id("Pool");
    EXPECT_TRUE(lot.ShowMoveInRefusal(&order));
    EXPECT_EQ(Shown(), "Wrong part: wanted Pool, got Porch");
    lot.m_Parts[uint32_t(GetAddOnPhase())] = 0;
    EXPECT_TRUE(lot.ShowMoveInRefusal(&order));
    EXPECT_EQ(Shown(), "Missing Pool");

    // Every part right but still waiting for paint.
    order.m_Parts[uint32_t(GetAddOnPhase())] = 0;
    SetParts(lot, Order({Id("Walls"), Id("Carport"), 0, 0, 0}));
    SetUnpainted(lot, {Id("Carport"), Id("Walls")});
    EXPECT_TRUE(lot.ShowMoveInRefusal(&order));
    EXPECT_EQ(Shown(), "Unpainted");
    lot.m_Parts[uint32_t(GetColorPhase())] = Id("Blue");
    EXPECT_TRUE(lot.ShowMoveInRefusal(&order));
    EXPECT_EQ(Shown(), "Paint the Carport");
    // A lot refusing a customer for its paint tells it without the order.
    auto* sprite = new CSprite;
    auto* onLot = new CLot;
    sprite->AddAI(onLot);
    m_Playfield->FindOrAddLayer("Lot")->AddSprite(sprite);
    SetParts(*onLot->GetBuilding(), Order({Id("Walls"), Id("Carport"), 0, Id("Blue"), 0}));
    SetUnpainted(*onLot->GetBuilding(), {Id("Carport"), Id("Walls")});
    CCustomer customer;
    onLot->MoveIn(&customer, false);
    EXPECT_EQ(Shown(), "Paint the Carport") << "the lot's report without the order tells the paint";
}

TEST_F(Building, DropOnLotRefusalsInOrder)
{
    auto* sprite = new CSprite;
    auto* lot = new CLot;
    sprite->AddAI(lot);
    lot->ResetToDefaults();
    lot->m_GridCoordinate = {2, 1};
    m_Playfield->FindOrAddLayer("Lot")->AddSprite(sprite);

    m_Level->m_MustBuildAtGridCoordinate = {1, 1};
    EXPECT_FALSE(Part("Walls").DropOnLot(Id("Walls"), lot));
    EXPECT_EQ(Shown(), "Follow the tutorial");
    m_Level->m_MustBuildAtGridCoordinate = {2, 1};
    m_Level->m_MustBuildWhatCustomerWants = true;
    EXPECT_FALSE(Part("Walls").DropOnLot(Id("Walls"), lot));
    EXPECT_EQ(Shown(), "Not ordered") << "no customer waits with it";
    m_Level->m_MustBuildWhatCustomerWants = false;
    m_Level->ClearMustBuildCoordinate();

    const uint32_t cant = Stats().m_CantBuildThatHere;
    EXPECT_FALSE(Part("Blue").DropOnLot(Id("Blue"), lot));
    EXPECT_EQ(Stats().m_CantBuildThatHere, cant + 1);
    EXPECT_EQ(Shown(), "");

    EXPECT_FALSE(Part("Walls").DropOnLot(Id("Walls"), lot));
    EXPECT_EQ(Shown(), "No Frame crew") << "no crew stands idle";
    auto* crew = new CSprite;
    crew->AddAI(CreateCrewAI(GetFramePhase()));
    m_Playfield->FindOrAddLayer("Crew")->AddSprite(crew);

    EXPECT_TRUE(Part("Walls").DropOnLot(Id("Walls"), lot));
    EXPECT_TRUE(lot->GetBuilding()->IsBeingConstructed());
    EXPECT_EQ(FindIdleCrew(GetFramePhase()), nullptr) << "the crew took the job";
    EXPECT_EQ(lot->GetBuilding()->m_Parts.GetCount(), 5u) << "sized to the phases when building starts";
    EXPECT_FALSE(Part("Walls").DropOnLot(Id("Walls"), lot));
    EXPECT_EQ(Shown(), "Working");
    EXPECT_EQ(Stats().m_CantBuildThatHere, cant + 2);
}
