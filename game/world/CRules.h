#pragma once
// The rules: the one object (named "Rules" among the general objects) that
// names each screen's overlay set and holds the game's tuning numbers, its
// event sounds and songs. References are indices into their lists, saved by
// name.
#include "foundation/CPoint.h"
#include "game/scripting/CSpritePlugInContainers.h"
#include "objects/CObject.h"
#include "objects/CPropertyArrayProperty.h"

#include <cstdint>

class CFrameOverlayPositionMarker;

class CRules : public CObject {
    OMBRISALT_REFLECTED(CRules, CObject)
public:
    CRules();
    ~CRules() override;

    // The "Rules" general object; a data set without one stops with the
    // missing-item report here.
    static CRules& SGetInstance();
    // The same object, or null where the data set has none (tools, the
    // editor's palette, bare playfields) and a missing one is no error.
    static CRules* SFindInstance();

    // The overlay set of the gameplay screen for the current game state:
    // set 3 when its slot holds an upgrade, else set 2 likewise, else set 1.
    int32_t GetGameplayOverlay() const;

    int32_t m_MainMenuOverlay = 0;
    int32_t m_GameplayOverlay1 = 0;
    int32_t m_GameplayOverlay2UpgradeSlotToCheck = 0;
    int32_t m_GameplayOverlay2 = 0;
    int32_t m_GameplayOverlay3UpgradeSlotToCheck = 0;
    int32_t m_GameplayOverlay3 = 0;
    int32_t m_GameplayOverlayMenuButton = 0;
    int32_t m_ShoppingOverlay = 0;
    int32_t m_ShoppingNewUpgradeOverlay = 0;
    int32_t m_ShoppingOldUpgradeOverlay = 0;
    int32_t m_ShoppingUnaffordableUpgradeOverlay = 0;
    int32_t m_ShoppingTutorial = 0;
    int32_t m_EndOfLevelOverlay = 0;
    int32_t m_EndOfLevelHiddenOverlay = 0;
    int32_t m_EndOfTutorialLevelOverlay = 0;
    int32_t m_LevelSelectMenuFrameOverlay = 0;
    int32_t m_OptionsMenuOverlay = 0;
    int32_t m_OptionsMenuFromPauseOverlay = 0;
    int32_t m_LevelIntroductionMenuOverlay = 0;
    int32_t m_InitialGameState = 0;
    CPropertyArray<float> m_MoveinBonusByHearts;
    CPropertyArray<float> m_MoveInBonusBy3InARows;
    float m_SpendableProfit = 0.1f;
    float m_RevenueCountUp = 2.6f;
    uint32_t m_NumberOf3InARowHighlightFlashes = 3;
    float m_SecondsPer3InARowHighlightFlash = 1.0f;
    bool m_DisableDiagonalMatches = false;
    bool m_DisableVerticalMatches = false;
    int32_t m_GoalAchievedAudio = 0;
    int32_t m_LevelFinishedAudio = 0;
    int32_t m_LevelFailedAudio = 0;
    int32_t m_OpenLifeRewardsAudio = 0;
    int32_t m_OpenDecadeTransitionAudio = 0;
    int32_t m_PageTurnAudio = 0;
    int32_t m_UpgradePurchasedAudio = 0;
    int32_t m_UpgradeSoldAudio = 0;
    CSpritePlugInSimultaneous m_Signpost;
    float m_BuildPercentPerClick = 0.01f;
    int32_t m_LotMouseHoverSequence = 0;
    float m_SecondsBetweenBuildAssistClicks = 0.25f;
    bool m_ResetLevelSelectPositionsOnStartup = false;
    CFrameOverlayPositionMarker* m_pPositionMarkerToClone = nullptr; // owned
    uint32_t m_PeriodRadius = 100;
    float m_AngleBetweenLevels = 18.0f;
    int32_t m_LevelSelectedFrameIndex = 0;
    CPoint m_LevelSelectedFrameOffset{10, 10};
    float m_SecondsToMoveHighlight = 1.0f;
    int32_t m_MoveHighlightAudio = 0;
    float m_SecondsToSpawnRewardsFlier = 0.5f;
    int32_t m_RewardsFlierOverlay = 0;
    float m_RewardsFlierPixelsPerSecond = 200.0f;
    int32_t m_RewardsFlierAudio = 0;
    float m_SecondsToSpawnRewardsUnlockEffectAfterFlier = 0.1f;
    float m_SecondsToUnlockRewardsButton = 0.5f;
    float m_SecondsToOpenRewardsScreen = 1.5f;
    int32_t m_UnlockingLevelButtonSequence = 0;
    float m_SecondsToSpawnUnlockEffect = 0.5f;
    int32_t m_UnlockEffectAudio = 0;
    float m_SecondsForNewTownToShow = 2.0f;
    float m_FlashNewTownDuration = 1.0f;
    int32_t m_FlashNewTownAudio = 0;
    int32_t m_FinishedFlashingNewTownAudio = 0;
    int32_t m_IntermissionSong = 0;
    int32_t m_LevelWinSong = 0;
    int32_t m_LevelLoseSong = 0;
    int32_t m_GoalAchievedSequence = 0;
    CPoint m_GoalAchievedSequencePos{0, 0};
    float m_PokePixelsToGrowBy = 10.0f;
    float m_MinPokeGrowFraction = 0.001f;
    float m_MaxPokeGrowFraction = 0.2f;
    float m_PokeDuration = 1.5f;
};
