#include "game/scripting/CAudio.h"
#include "game/world/program/WorldShowcase.h"

#include "game/scripting/CSprite.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CGoal.h"
#include "game/world/CGoalOptions.h"
#include "game/world/CGoalTypes.h"
#include "game/world/CLevelSet.h"
#include "game/world/CLevelSorter.h"
#include "game/world/CPeriod.h"
#include "game/world/CPlayfield.h"
#include "game/world/CRules.h"
#include "game/world/CTutorial.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeSlot.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "images/CFontList.h"
#include "images/CFrameList.h"
#include "objects/CClassInfo.h"
#include "objects/CListProperty.h"
#include "objects/CPropertyArrayProperty.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CSequenceList.h"
#include "sequences/HueRemap.h"
#include "sound/CSoundList.h"
#include "sequences/SequenceTestSupport.h"
#include "shell/CKeyboardState.h"
#include "shell/CMouseState.h"
#include "shell/program/CStandInGame.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJFrameWindow.h"
#include "ui/CJListBox.h"
#include "ui/CScreenWindow.h"
#include "ui/SkinResources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr float kShowcaseStep = 1.0f / 60.0f;
constexpr uint32_t kTown = 10;

// The showcase over the checked-in data with freshly drawn frames, as the
// program runs it.
class WorldShowcase : public SequenceFolderTest {
protected:
    void SetUp() override
    {
        SequenceFolderTest::SetUp();
        // The periods and rules name songs, which the song list takes from "Music/".
        std::filesystem::create_directories("Data");
        for (const char* folder : {"Resources", "Music"})
            std::filesystem::copy(std::string(OMBRISALT_DEMO_DATA "/Data/") + folder, std::string("Data/") + folder,
                                  std::filesystem::copy_options::recursive);
        std::vector<std::filesystem::path> none;
        for (const auto& entry : std::filesystem::recursive_directory_iterator("Data"))
            if (m_WithoutNoneFiles && entry.path().filename().string().find("!None") <= 1)
                none.push_back(entry.path());
        for (const auto& path : none)
            std::filesystem::remove_all(path);
        std::filesystem::current_path("Data");
        // The lot options name the balloon's set, whose texts take the data's font.
        if (!WriteDefaultFont())
            GTEST_SKIP() << "DejaVuSans is missing (Debian package fonts-dejavu-core)";
        GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
        GetFrameLibrary().SetSource(nullptr, "Resources/Frames", 0);
        // The town's HUD draws the goal panels in the data's fonts.
        EnumerateFontFiles();
        GetFontList().SetSource(nullptr, "Resources|Fonts", 0);
        for (CObjectFileArray* list : DataLists())
            list->SetSource(nullptr, "Resources", 0);
        // The lot layer draws with the lot options, which name the balloon's set.
        GetFrameOverlayOptionsList().SetSource(nullptr, "Resources/Frame Overlay Options", 0);
        // The showcase reads no themes; a game an earlier test ran listed its own.
        GetSkinThemeList().SetSource(nullptr, "Nowhere", 0);
        // The showcase plays the town, the tutorial's first street after
        // the ten of the career.
        SetCurrentLevelIndex(kTown);
        SetStandInHooks(SStandInHooks());
        InstallWorldShowcase();
        GetStandInHooks().init();
        m_Playfield = GetWorldShowcasePlayfield();
        ASSERT_NE(m_Playfield, nullptr);
        m_Screen = CFrame::MakeOwned(1024, 768, 32);
    }
    void TearDown() override
    {
        GetAudioList().SetSource("Nowhere");
        CMouseState::SGetInstance().ResetForTesting();
        SetStandInHooks(SStandInHooks());
        SetCurrentPlayfield(nullptr);
        GetLevelHolder().Release();
        SetCurrentLevelIndex(0);
        for (CObjectFileArray* list : DataLists())
            list->SetSource(nullptr, "Nowhere", 0);
        GetGeneralObjects().SetSource("General Objects", "Nowhere", 0);
        GetFrameLibrary().SetSource(nullptr, "Nowhere", 0);
        GetFontList().SetSource(nullptr, "Nowhere", 0);
        GetSequenceList().SetSource(nullptr, "Nowhere", 0);
        SequenceFolderTest::TearDown();
    }

    static std::vector<CObjectFileArray*> DataLists()
    {
        return {&GetBuildPhaseList(), &GetPeriodList(),      &GetBackgroundStyleSheetList(),
                &GetUpgradeList(),    &GetUpgradeSlotList(), &GetCustomerStyleSheetList(),
                &GetTutorialList(),   &GetGameStateList(),   &GetHueRemapperStyleSheetList()};
    }
    void Draw()
    {
        for (uint32_t y = 0; y < 768; ++y)
            std::fill_n(reinterpret_cast<uint32_t*>(m_Screen->Row(y)), 1024, 0u);
        GetStandInHooks().draw(*m_Screen);
    }
    uint32_t Pixel(int32_t x, int32_t y) { return reinterpret_cast<const uint32_t*>(m_Screen->Row(uint32_t(y)))[x]; }
    uint32_t CountOf(uint32_t colour, int32_t left, int32_t top, int32_t right, int32_t bottom)
    {
        uint32_t n = 0;
        for (int32_t y = top; y < bottom; ++y)
            for (int32_t x = left; x < right; ++x)
                n += (Pixel(x, y) & 0xFFFFFFu) == colour;
        return n;
    }
    CPlayfieldLayer& Layer(const char* name)
    {
        CPlayfieldLayer* layer = m_Playfield->FindLayer(name);
        EXPECT_NE(layer, nullptr) << name;
        return *layer;
    }

    CPlayfield* m_Playfield = nullptr;
    std::unique_ptr<CFrame> m_Screen;
    bool m_WithoutNoneFiles = false; // the data's "!None" files taken out before the lists read it
};

class WorldShowcaseWithoutNoneFiles : public WorldShowcase {
protected:
    void SetUp() override
    {
        m_WithoutNoneFiles = true;
        WorldShowcase::SetUp();
    }
};

TEST_F(WorldShowcase, DrawsTheTownTintedAndMarksTheSpriteUnderTheMouse)
{
    // The town is the tutorial's first street, played on a held copy.
    EXPECT_EQ(GetCurrentPlayfield(), m_Playfield);
    EXPECT_NE(m_Playfield, &GetLevels()->GetLevel(GetCurrentLevelIndex())->GetPlayfield());
    ASSERT_EQ(m_Playfield->GetLayerCount(), 14u);
    EXPECT_EQ(Layer("Houses").GetSpriteCount(), 3u);
    // Lots draw their ground and the sign its box through their AI; every
    // other sprite shows a sequence.
    EXPECT_EQ(Layer("Lot").GetSpriteCount(), 6u);
    for (uint32_t i = 0; i < m_Playfield->GetLayerCount(); ++i) {
        CPlayfieldLayer& layer = *m_Playfield->GetLayer(i);
        const bool lots = layer.m_Name.CompareNoCase(CJString("Lot")) == 0 ||
                          layer.m_Name.CompareNoCase(CJString("Signs")) == 0;
        for (uint32_t j = 0; j < layer.GetSpriteCount(); ++j)
            EXPECT_EQ(layer.GetSprite(j)->GetImageSequence() == nullptr, lots) << i << " " << j;
    }
    EXPECT_EQ(Layer("Autumn Trees").GetSprite(0)->GetColor().GetRed(), 255);
    EXPECT_LT(Layer("Far Trees").GetSprite(0)->GetColor().GetAlpha(), 255);

    // The plain house at (718, 228): its walls are cream, its windows blue.
    CMouseState::SGetInstance().OnWindowPosition(718, 228);
    GetStandInHooks().update(kShowcaseStep);
    Draw();
    EXPECT_GT(CountOf(0xEBD7AA, 678, 180, 758, 280), 100u);
    // The mark: a yellow box around the house, none around the others.
    EXPECT_GT(CountOf(0xFFF050, 668, 170, 768, 290), 100u);
    EXPECT_EQ(CountOf(0xFFF050, 800, 0, 1024, 768), 0u);

    // Nothing under the mouse: no mark.
    CMouseState::SGetInstance().OnWindowPosition(300, 300);
    GetStandInHooks().update(kShowcaseStep);
    Draw();
    EXPECT_EQ(CountOf(0xFFF050, 0, 0, 1024, 768), 0u);
}

TEST_F(WorldShowcase, APressSendsABirdThatEndsInABurst)
{
    CPlayfieldLayer& effects = Layer("Effects");
    CMouseState& mouse = CMouseState::SGetInstance();
    mouse.OnWindowPosition(340, 660);
    mouse.SetButtons(1);
    GetStandInHooks().update(kShowcaseStep);
    // Held down, it sends no second bird.
    GetStandInHooks().update(kShowcaseStep);
    mouse.SetButtons(0);
    ASSERT_EQ(effects.GetSpriteCount(), 1u);
    CSprite* bird = effects.GetSprite(0);
    EXPECT_EQ(bird->GetImageSequence(), GetSequenceList().GetObjectByName("Swallow"));

    // 300 pixels a second from (40, 60): about 671 pixels, 135 steps.
    int32_t steps = 2;
    while (effects.GetSpriteCount() && effects.GetSprite(effects.GetSpriteCount() - 1) == bird && steps < 400) {
        GetStandInHooks().update(kShowcaseStep);
        ++steps;
    }
    EXPECT_NEAR(steps, 135, 2);
    ASSERT_EQ(effects.GetSpriteCount(), 1u);
    CSprite* burst = effects.GetSprite(0);
    EXPECT_EQ(burst->GetImageSequence(), GetSequenceList().GetObjectByName("Spark Burst"));
    EXPECT_EQ(burst->GetPosition(), (CFPoint{340.0f, 660.0f}));
    GetStandInHooks().update(kShowcaseStep);
    Draw();
    uint32_t lit = 0;
    for (int32_t y = 630; y < 690; ++y)
        for (int32_t x = 310; x < 370; ++x)
            lit += (Pixel(x, y) & 0xFFFFFFu) != 0;
    EXPECT_GT(lit, 20u);

    // Ten frames at twenty a second: gone after half a second.
    for (int i = 0; i < 40 && effects.GetSpriteCount(); ++i)
        GetStandInHooks().update(kShowcaseStep);
    EXPECT_EQ(effects.GetSpriteCount(), 0u);
}

// Every object the demo data names resolves: the rules with every default
// name, the ten career streets and the two tutorial streets after them with
// their periods and backgrounds, the state.
TEST_F(WorldShowcase, TheDemoDataLoadsWhole)
{
    GetFrameOverlayOptionsList().SetSource(nullptr, "Resources/Frame Overlay Options", 0);
    EXPECT_NE(GetGeneralObjectAs<CRules>("Rules").GetClassInfo(), nullptr);
    EXPECT_GE(GetGameStateList().Find("Initial"), 0);
    CLevelSet* levels = GetLevels();
    ASSERT_EQ(levels->GetCount(), 12u);
    EXPECT_EQ(levels->GetFirstTutorialLevelIndex(), 10u);
    EXPECT_EQ(levels->GetLastTutorialLevelIndex(), 11u);
    const char* periods[] = {"Period 1", "Period 1", "Period 1", "Period 1", "Period 1", "Period 2",
                             "Period 2", "Period 2", "Period 2", "Period 2", "Period 1", "Period 1"};
    const char* backgrounds[] = {"Harbour", "Harbour", "Harbour", "Harbour", "Harbour", "Hill",
                                 "Hill",    "Hill",    "Hill",    "Hill",    "Town",    "Town"};
    for (uint32_t i = 0; i < 12; ++i) {
        CLevelOptions& level = *levels->GetLevel(i);
        EXPECT_STREQ(GetPeriodList().GetItemName(level.m_Period), periods[i]) << i;
        EXPECT_STREQ(GetBackgroundStyleSheetList().GetItemName(level.m_Background), backgrounds[i]) << i;
        EXPECT_EQ(level.m_BuildPhaseFrequency.GetCount(), 4u) << i << ": one per build phase";
        CBackgroundStyleSheet* sheet = GetBackgroundStyleSheetList().GetObject(level.m_Background);
        ASSERT_NE(sheet, nullptr);
        EXPECT_NE(GetFrameLibrary().GetObject(sheet->m_BackgroundImage), nullptr) << i;
    }
    EXPECT_FLOAT_EQ(levels->GetLevel(0)->m_BuildPhaseFrequency[uint32_t(FindBuildPhase("Garage"))], 0.65f);
    EXPECT_EQ(levels->GetLevel(5)->GetMaxCustomersInLine(), 2);
}

// Every list a class refers into by row begins with its none entry, with no
// game program and no "!None" file: the showcase reads the rows the game
// does. Build phases, periods and general objects keep their rows as they
// are (every house's parts, the decade's tabs, no reference).
TEST_F(WorldShowcaseWithoutNoneFiles, EveryListTheDataNamesByRowBeginsWithItsNoneEntry)
{
    const std::vector<CObjectFileArray*> asIs = {&GetBuildPhaseList(), &GetPeriodList(), &GetGeneralObjects()};
    std::vector<CObjectFileArray*> checked;
    // As the program reads the sounds.
    CSoundList::SGetGlobal().Load("Sounds", "Resources", ".wav", ".ogg");
    CClassInfoList& classes = CClassInfoList::SGetInstance();
    for (int32_t c = 0; c < classes.GetCount(); ++c)
        for (int32_t p = 0; p < classes.GetAt(c)->GetPropertyCount(); ++p) {
            CProperty* property = classes.GetAt(c)->GetProperty(p);
            if (auto* array = dynamic_cast<CPropertyArrayProperty*>(property))
                property = array->GetElementProperty();
            auto* reference = dynamic_cast<CListPropertyABC*>(property);
            auto* list = reference ? dynamic_cast<CObjectFileArray*>(reference->GetList()) : nullptr;
            // Lists of no data the showcase reads (the toolkit's themes) are left.
            if (!list || list->GetCount() == 0 || std::count(asIs.begin(), asIs.end(), list)
                || std::count(checked.begin(), checked.end(), list))
                continue;
            checked.push_back(list);
            const std::string name = std::string(classes.GetAt(c)->GetName()) + " " + property->GetNameString().GetString();
            EXPECT_EQ(list->FirstRealRow(), 1) << name;
            EXPECT_STREQ(list->GetItemName(0), "!None") << name;
            EXPECT_EQ(list->GetItemObject(0), nullptr) << name;
        }
    CSoundList::SGetGlobal().RemoveAll();
    for (CObjectFileArray* list : {static_cast<CObjectFileArray*>(&GetBackgroundStyleSheetList()),
                                   static_cast<CObjectFileArray*>(&GetTutorialList()),
                                   static_cast<CObjectFileArray*>(&GetSequenceList()),
                                   static_cast<CObjectFileArray*>(&GetFrameLibrary()),
                                   static_cast<CObjectFileArray*>(&CSoundList::SGetGlobal())})
        EXPECT_EQ(std::count(checked.begin(), checked.end(), list), 1);
}

TEST_F(WorldShowcase, TheLevelsBackgroundLiesBehindTheTownAndF9OpensTheSorterOverIt)
{
    // The town's sky in the top right corner, and at the far left: the
    // picture fills the screen.
    Draw();
    const uint32_t sky = Pixel(1020, 4) & 0xFFFFFFu;
    EXPECT_NEAR(int(sky >> 16), 0x79, 2) << std::hex << sky;
    EXPECT_NEAR(int((sky >> 8) & 0xFF), 0xAA, 2) << std::hex << sky;
    EXPECT_NEAR(int(sky & 0xFF), 0xE6, 2) << std::hex << sky;
    EXPECT_EQ(Pixel(4, 4) & 0xFFFFFFu, sky);

    if (!WriteDefaultFont())
        GTEST_SKIP() << "DejaVuSans is missing (Debian package fonts-dejavu-core)";
    EnumerateFontFiles();
    auto font = std::make_unique<CFont>();
    CJWindow::SetDefaultFont(font.get());
    CFrameList skins(nullptr);
    skins.SetSource(nullptr, "Interface", 0);
    SetSkinResources(nullptr, &skins);
    CScreenWindow windows(m_Screen.get(), font.get());
    CKeyboardState& keys = CKeyboardState::SGetInstance();
    keys.OnKeyDown(67);
    GetStandInHooks().update(kShowcaseStep);
    keys.OnKeyUp(67);
    CLevelSorterWindow* sorter = nullptr;
    for (CJWindow* child = windows.GetFirstChild(); child; child = child->GetNextSibling())
        if ((sorter = dynamic_cast<CLevelSorterWindow*>(child)))
            break;
    ASSERT_NE(sorter, nullptr);
    EXPECT_EQ(sorter->GetList()->GetRowCount(), 12);
    // A new level at the top leaves the showcase on the street it held.
    ASSERT_NE(GetWorldShowcasePlayfield(), nullptr);
    const uint32_t layers = GetWorldShowcasePlayfield()->GetLayerCount();
    sorter->GetList()->SelectItem(0, true);
    sorter->Insert();
    GetStandInHooks().update(kShowcaseStep);
    ASSERT_NE(GetWorldShowcasePlayfield(), nullptr);
    EXPECT_EQ(GetWorldShowcasePlayfield()->GetLayerCount(), layers);
    EXPECT_NE(layers, 0u);
    keys.ResetForTesting();
    SetSkinResources(nullptr, nullptr);
    CJWindow::SetDefaultFont(nullptr);
}


// A window that fills itself with one colour.
class CSwatch final : public CJWindow {
public:
    CSwatch(CJWindow* parent, CColor colour)
        : CJWindow(parent, "Swatch")
        , m_Colour(colour)
    {
    }
    void Draw(CFrameInterface& frame) override
    {
        frame.FillRect(CRect{0, 0, GetWidth(), GetHeight()}, m_Colour);
        CJWindow::Draw(frame);
    }

private:
    CColor m_Colour;
};

// What the sorter's "Properties" opens stands in front once the sorter has
// closed; it must not fall under the level.
class CEditorStandIn final : public CLevelSorterHooks {
public:
    void OpenObjectEditor(CObject*) override
    {
        CScreenWindow* screen = CScreenWindow::GetScreenWindow();
        opened = &screen->AddFirst<CSwatch>({.dx = 0, .dy = 0}, CColor(255, 0, 255, 255));
        opened->SetRect(CRect{0, 0, 300, 200});
    }
    CJWindow* opened = nullptr;
};

TEST_F(WorldShowcase, WindowsOpenedOverTheLevelStayOverItAfterTheSorterCloses)
{
    if (!WriteDefaultFont())
        GTEST_SKIP() << "DejaVuSans is missing (Debian package fonts-dejavu-core)";
    EnumerateFontFiles();
    auto font = std::make_unique<CFont>();
    CJWindow::SetDefaultFont(font.get());
    CFrameList skins(nullptr);
    skins.SetSource(nullptr, "Interface", 0);
    SetSkinResources(nullptr, &skins);
    CEditorStandIn editors;
    CLevelSorterHooks* previous = SetLevelSorterHooks(&editors);
    {
        CScreenWindow windows(m_Screen.get(), font.get());
        // A window of the layers below, there before the level: covered.
        auto* panel = &windows.Add<CSwatch>({.dx = 0, .dy = 0}, CColor(0, 255, 0, 255));
        panel->SetRect(CRect{400, 300, 500, 400});
        GetStandInHooks().init();
        Draw();
        EXPECT_EQ(CountOf(0x00FF00, 0, 0, 1024, 768), 0u);

        CKeyboardState& keys = CKeyboardState::SGetInstance();
        keys.OnKeyDown(67);
        GetStandInHooks().update(kShowcaseStep);
        keys.OnKeyUp(67);
        auto* sorter = dynamic_cast<CLevelSorterWindow*>(windows.GetFirstChild());
        ASSERT_NE(sorter, nullptr);
        sorter->Properties();
        windows.Update(kShowcaseStep);
        ASSERT_NE(editors.opened, nullptr);
        EXPECT_EQ(windows.GetFirstChild(), editors.opened);
        for (const CJWindow* child = windows.GetFirstChild(); child; child = child->GetNextSibling())
            EXPECT_EQ(dynamic_cast<const CLevelSorterWindow*>(child), nullptr) << "the sorter closes";
        GetStandInHooks().update(kShowcaseStep);
        Draw();
        EXPECT_EQ(CountOf(0xFF00FF, 0, 0, 300, 200), 300u * 200u) << "the editor lies over the level";

        // Closed, the level covers the windows again.
        editors.opened->Destroy();
        Draw();
        EXPECT_EQ(CountOf(0xFF00FF, 0, 0, 1024, 768), 0u);
        EXPECT_EQ(CountOf(0x00FF00, 0, 0, 1024, 768), 0u);
        keys.ResetForTesting();
    }
    SetLevelSorterHooks(previous);
    SetSkinResources(nullptr, nullptr);
    CJWindow::SetDefaultFont(nullptr);
}

TEST_F(WorldShowcase, TheFirstLevelsGoalsShowInTheGameplayOverlay)
{
    if (!WriteDefaultFont())
        GTEST_SKIP() << "DejaVuSans is missing (Debian package fonts-dejavu-core)";
    EnumerateFontFiles();
    GetFontList().SetSource(nullptr, "Resources|Fonts", 0);
    GetFrameOverlayOptionsList().SetSource(nullptr, "Resources/Frame Overlay Options", 0);
    const CGoalOptions& options = *CGoalOptions::SGetInstance();
    for (int32_t sequence : {options.m_BackgroundSequence, options.m_AchievedSequence, options.m_FailedSequence,
                             options.m_RevenueSequence, options.m_TimerSequence, options.m_FullHeartSequence})
        EXPECT_NE(CGoalOptions::GetSequence(sequence), nullptr);
    EXPECT_NE(CGoalOptions::GetFont(options.m_Font), nullptr);
    EXPECT_GE(GetSequenceList().Find("StarGoalEffect"), 0);

    CLevelOptions& town = *GetLevels()->GetLevel(0);
    ASSERT_EQ(town.m_OptionalGoals.GetCount(), 2u);
    ASSERT_NE(dynamic_cast<CRevenueGoal*>(town.m_OptionalGoals[0]), nullptr);
    ASSERT_NE(dynamic_cast<CTimeGoal*>(town.m_OptionalGoals[1]), nullptr);
    GetLevelHolder().HoldCopyOf(&town);

    CFrameOverlayOptionsList& sets = GetFrameOverlayOptionsList();
    CFrameOverlayOptions* gameplay = sets.GetObject(sets.Find("Gameplay Overlay"));
    ASSERT_NE(gameplay, nullptr);
    for (uint32_t y = 0; y < 768; ++y)
        std::fill_n(reinterpret_cast<uint32_t*>(m_Screen->Row(y)), 1024, 0u);
    gameplay->DrawOnFrame(*m_Screen, nullptr, false, nullptr);
    // Two goal plates side by side along the top; the goal lines' bright
    // text inside them.
    EXPECT_EQ(CountOf(0, 294, 22, 504, 58), 0u);
    EXPECT_EQ(CountOf(0, 532, 22, 742, 58), 0u);
    // The money panel at the top left, and nothing else outside the panels.
    EXPECT_EQ(CountOf(0, 8, 8, 268, 72), 0u);
    EXPECT_EQ(CountOf(0, 0, 80, 1024, 768), 1024u * 688u) << "nothing outside the panels";
    uint32_t bright = 0;
    for (int32_t y = 16; y < 64; ++y)
        for (int32_t x = 330; x < 1000; ++x)
            bright += ((Pixel(x, y) >> 8) & 0xFF) > 200;
    EXPECT_GT(bright, 40u) << "the goal lines are written";
    GetFontList().SetSource(nullptr, "Nowhere", 0);
    sets.SetSource(nullptr, "Nowhere", 0);
}

} // namespace
