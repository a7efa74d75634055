#include "game/world/CRules.h"

#include "game/business/CUpgradeSlot.h"
#include "game/scripting/CAudio.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CTutorial.h"
#include "images/CFrameList.h"
#include "objects/CBoolProperty.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CListProperty.h"
#include "objects/CObjectProperty.h"
#include "objects/CPObjectProperty.h"
#include "objects/CPointProperty.h"
#include "objects/CSlotProperty.h"
#include "overlays/CFrameOverlay.h"
#include "overlays/ImageOverlays.h"
#include "sequences/CSequenceList.h"
#include "sound/CMusicPlayer.h"

OMBRISALT_IMPLEMENT_CLASS(CRules, 1)

void CRules::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CRules;
    CVirtualArray* overlays = &GetFrameOverlayOptionsList();
    CVirtualArray* audio = &GetAudioList();
    CVirtualArray* songs = &GetSongList();
    CVirtualArray* sequences = &GetSequenceList();
    CVirtualArray* slots = &GetUpgradeSlotList();
    d.AddListReference<CDataReferenceProperty>(&C::m_MainMenuOverlay, "Main Menu Overlay", overlays, "Main Menu Overlay");
    d.AddListReference<CDataReferenceProperty>(&C::m_GameplayOverlay1, "Gameplay Overlay 1", overlays, "Gameplay Overlay");
    d.AddListReference<CDataReferenceProperty>(&C::m_GameplayOverlay2UpgradeSlotToCheck, "Gameplay Overlay 2 Upgrade Slot To Check", slots,
                       "Garage A");
    d.AddListReference<CDataReferenceProperty>(&C::m_GameplayOverlay2, "Gameplay Overlay 2", overlays, "Gameplay Overlay");
    d.AddListReference<CDataReferenceProperty>(&C::m_GameplayOverlay3UpgradeSlotToCheck, "Gameplay Overlay 3 Upgrade Slot To Check", slots,
                       "Add-On A");
    d.AddListReference<CDataReferenceProperty>(&C::m_GameplayOverlay3, "Gameplay Overlay 3", overlays, "Gameplay Overlay");
    d.AddListReference<CDataReferenceProperty>(&C::m_GameplayOverlayMenuButton, "Gameplay Overlay Menu Button", overlays,
                       "Gameplay Overlay Menu Button");
    d.AddListReference<CDataReferenceProperty>(&C::m_ShoppingOverlay, "Shopping Overlay", overlays, "Shopping Overlay");
    d.AddListReference<CDataReferenceProperty>(&C::m_ShoppingNewUpgradeOverlay, "Shopping New Upgrade Overlay", overlays,
                       "Shopping New Upgrade Overlay");
    d.AddListReference<CDataReferenceProperty>(&C::m_ShoppingOldUpgradeOverlay, "Shopping Old Upgrade Overlay", overlays,
                       "Shopping Old Upgrade Overlay");
    d.AddListReference<CDataReferenceProperty>(&C::m_ShoppingUnaffordableUpgradeOverlay, "Shopping Unaffordable Upgrade Overlay", overlays,
                       "Shopping Unaffordable Upgrade Overlay");
    d.AddListReference<CDataReferenceProperty>(&C::m_ShoppingTutorial, "Shopping Tutorial", &GetTutorialList(), "Shopping Tutorial");
    d.AddListReference<CDataReferenceProperty>(&C::m_EndOfLevelOverlay, "End Of Level Overlay", overlays, "End Of Level Overlay");
    d.AddListReference<CDataReferenceProperty>(&C::m_EndOfLevelHiddenOverlay, "End Of Level Hidden Overlay", overlays,
                       "End Of Level Hidden Overlay");
    d.AddListReference<CDataReferenceProperty>(&C::m_EndOfTutorialLevelOverlay, "End Of Tutorial Level Overlay", overlays,
                       "End Of Tutorial Level Overlay");
    d.AddListReference<CDataReferenceProperty>(&C::m_LevelSelectMenuFrameOverlay, "Level Select Menu Frame Overlay", overlays,
                       "Level Select Overlay");
    d.AddListReference<CDataReferenceProperty>(&C::m_OptionsMenuOverlay, "Options Menu Overlay", overlays, "Options Menu Overlay");
    d.AddListReference<CDataReferenceProperty>(&C::m_OptionsMenuFromPauseOverlay, "Options Menu From Pause Overlay", overlays,
                       "Options Menu From Pause Overlay");
    d.AddListReference<CDataReferenceProperty>(&C::m_LevelIntroductionMenuOverlay, "Level Introduction Menu Overlay", overlays,
                       "Level Introduction Menu Overlay");
    d.AddListReference<CDataReferenceProperty>(&C::m_InitialGameState, "Initial Game State", &GetGameStateList(), "Initial");
    d.AddArray<CFloatProperty>(&C::m_MoveinBonusByHearts, "Movein Bonus By Hearts List", "Movein Bonus By Hearts",
                               0.0f)
        .Get()
        .GetElementProperty()
        ->SetUnits("fraction");
    d.AddArray<CFloatProperty>(&C::m_MoveInBonusBy3InARows, "3 In A Row/Move In Bonus By 3 In ARows List",
                               "Move In Bonus By 3 In ARows", 0.0f)
        .Get()
        .GetElementProperty()
        ->SetUnits("fraction");
    d.Add(&C::m_SpendableProfit, "Spendable Profit", 0.1f)
        .Units("fraction")
        .Description("Specified what percentage of the resale value of each house ends up being spendable money in "
                     "the store between levels");
    d.Add(&C::m_RevenueCountUp, "Revenue Count Up", 2.6f).Units("Second");
    d.Add(&C::m_NumberOf3InARowHighlightFlashes, "3 In A Row/Number Of 3 In A Row Highlight Flashes", 3u);
    d.Add(&C::m_SecondsPer3InARowHighlightFlash, "3 In A Row/Seconds Per 3 In A Row Highlight Flash", 1.0f);
    d.Add(&C::m_DisableDiagonalMatches, "3 In A Row/Disable Diagonal Matches", false);
    d.Add(&C::m_DisableVerticalMatches, "3 In A Row/Disable Vertical Matches", false);
    d.AddListReference<CDataReferenceProperty>(&C::m_GoalAchievedAudio, "Sounds/Goal Achieved Audio", audio, nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_LevelFinishedAudio, "Sounds/Level Finished Audio", audio, nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_LevelFailedAudio, "Sounds/Level Failed Audio", audio, nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_OpenLifeRewardsAudio, "Sounds/Open Life Rewards Audio", audio, nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_OpenDecadeTransitionAudio, "Sounds/Open Decade Transition Audio", audio, nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_PageTurnAudio, "Sounds/Page Turn Audio", audio, nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_UpgradePurchasedAudio, "Sounds/Upgrade Purchased Audio", audio, nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_UpgradeSoldAudio, "Sounds/Upgrade Sold Audio", audio, nullptr);
    d.AddEmbedded(&C::m_Signpost, "Signpost/Signpost");
    d.Add(&C::m_BuildPercentPerClick, "Build Percent Per Click", 0.01f);
    d.AddListReference<CDataReferenceProperty>(&C::m_LotMouseHoverSequence, "Lot/Lot Mouse Hover Sequence", sequences, nullptr);
    d.Add(&C::m_SecondsBetweenBuildAssistClicks, "Lot/Seconds Between Build Assist Clicks", 0.25f);
    d.Add(&C::m_ResetLevelSelectPositionsOnStartup, "Level Select/Reset Level Select Positions On Startup", false);
    d.AddOwned(&C::m_pPositionMarkerToClone, "Level Select/Position Marker To Clone");
    d.Add(&C::m_PeriodRadius, "Level Select/Period Radius", 100u);
    d.Add(&C::m_AngleBetweenLevels, "Level Select/Angle Between Levels", 18.0f);
    d.AddListReference<CDataReferenceProperty>(&C::m_LevelSelectedFrameIndex, "Level Select/Level Selected Frame Index", &GetFrameLibrary(),
                       nullptr);
    d.Add(&C::m_LevelSelectedFrameOffset, "Level Select/Level Selected Frame Offset", CPoint{10, 10});
    d.Add(&C::m_SecondsToMoveHighlight, "Level Select/Seconds To Move Highlight", 1.0f);
    d.AddListReference<CDataReferenceProperty>(&C::m_MoveHighlightAudio, "Level Select/Move Highlight Audio", audio, nullptr);
    d.Add(&C::m_SecondsToSpawnRewardsFlier, "Level Select/Seconds To Spawn Rewards Flier", 0.5f);
    d.AddListReference<CDataReferenceProperty>(&C::m_RewardsFlierOverlay, "Level Select/Rewards Flier Overlay", overlays, "RewardFlierOverlay");
    d.Add(&C::m_RewardsFlierPixelsPerSecond, "Level Select/Rewards Flier Pixels Per Second", 200.0f);
    d.AddListReference<CDataReferenceProperty>(&C::m_RewardsFlierAudio, "Level Select/Rewards Flier Audio", audio, nullptr);
    d.Add(&C::m_SecondsToSpawnRewardsUnlockEffectAfterFlier,
          "Level Select/Seconds To Spawn Rewards Unlock Effect After Flier", 0.1f);
    d.Add(&C::m_SecondsToUnlockRewardsButton, "Level Select/Seconds To Unlock Rewards Button", 0.5f);
    d.Add(&C::m_SecondsToOpenRewardsScreen, "Level Select/Seconds To Open Rewards Screen", 1.5f);
    d.AddListReference<CDataReferenceProperty>(&C::m_UnlockingLevelButtonSequence, "Level Select/Unlocking Level Button Sequence", sequences,
                       nullptr);
    d.Add(&C::m_SecondsToSpawnUnlockEffect, "Level Select/Seconds To Spawn Unlock Effect", 0.5f);
    d.AddListReference<CDataReferenceProperty>(&C::m_UnlockEffectAudio, "Level Select/Unlock Effect Audio", audio, nullptr);
    d.Add(&C::m_SecondsForNewTownToShow, "Level Select/Seconds For New Town To Show", 2.0f);
    d.Add(&C::m_FlashNewTownDuration, "Level Select/Flash New Town Duration", 1.0f);
    d.AddListReference<CDataReferenceProperty>(&C::m_FlashNewTownAudio, "Level Select/Flash New Town Audio", audio, nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_FinishedFlashingNewTownAudio, "Level Select/Finished Flashing New Town Audio", audio,
                       nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_IntermissionSong, "Music/Intermission Song", songs, nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_LevelWinSong, "Music/Level Win Song", songs, nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_LevelLoseSong, "Music/Level Lose Song", songs, nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_GoalAchievedSequence, "Goal Achieved Sequence", sequences, nullptr);
    d.Add(&C::m_GoalAchievedSequencePos, "Goal Achieved Sequence Pos", CPoint{0, 0});
    d.Add(&C::m_PokePixelsToGrowBy, "Poke Pixels To Grow By", 10.0f).Units("pixels");
    d.Add(&C::m_MinPokeGrowFraction, "Min Poke Grow Fraction", 0.001f);
    d.Add(&C::m_MaxPokeGrowFraction, "Max Poke Grow Fraction", 0.2f);
    d.Add(&C::m_PokeDuration, "Poke Duration", 1.5f).Units("seconds");
}

CRules::CRules()
{
    InitDeclaredProperties();
}

CRules::~CRules()
{
    DestroyDeclaredProperties();
}

CRules& CRules::SGetInstance()
{
    return GetGeneralObjectAs<CRules>("Rules");
}

CRules* CRules::SFindInstance()
{
    CGeneralObjectsList& list = GetGeneralObjects();
    const int32_t index = list.Find("Rules");
    CObject* object = index < 0 ? nullptr : list.GetObjectAt(index);
    return object && object->IsKindOf(CRules::SGetClassInfo()) ? static_cast<CRules*>(object) : nullptr;
}

int32_t CRules::GetGameplayOverlay() const
{
    const CGameState* state = CGameState::SGetCurrent();
    if (state && state->HasUpgradeInSlot(m_GameplayOverlay3UpgradeSlotToCheck))
        return m_GameplayOverlay3;
    if (state && state->HasUpgradeInSlot(m_GameplayOverlay2UpgradeSlotToCheck))
        return m_GameplayOverlay2;
    return m_GameplayOverlay1;
}
