#include "game/world/RegisterGameWorldClasses.h"

#include "game/world/CBackgroundStyleSheet.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameExpressions.h"
#include "game/world/CGameState.h"
#include "game/world/CGoal.h"
#include "game/world/CGoalOptions.h"
#include "game/world/CGoalOverlay.h"
#include "game/world/CGoalTypes.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLevelSet.h"
#include "game/world/CLevelTimer.h"
#include "game/world/CLot.h"
#include "game/world/CLotOptions.h"
#include "game/world/CLotPlayfieldLayer.h"
#include "game/world/CPeriod.h"
#include "game/world/CPlayAnimationOnceSpriteAI.h"
#include "game/world/CPlayfieldMouseMessage.h"
#include "game/world/CPlayfield.h"
#include "game/world/CPowerUpText.h"
#include "game/world/CRules.h"
#include "game/world/CScenery.h"
#include "game/world/CTutorial.h"
#include "game/world/CTutorialPlugIns.h"
#include "game/world/PlayfieldScriptingHooks.h"

void RegisterGameWorldClasses()
{
    CPlayfieldLayer::SGetClassInfo();
    CPlayfield::SGetClassInfo();
    CHUD::SGetClassInfo();
    CHudOptions::SGetClassInfo();
    CHudPosition::SGetClassInfo();
    CRules::SGetClassInfo();
    CPeriod::SGetClassInfo();
    CBackgroundStyleSheet::SGetClassInfo();
    CGoal::SGetClassInfo();
    CRevenueGoal::SGetClassInfo();
    CEveryHeartGoal::SGetClassInfo();
    CXInARowGoal::SGetClassInfo();
    CHeartGoal::SGetClassInfo();
    CTimeGoal::SGetClassInfo();
    CBuildableAtLocationGoal::SGetClassInfo();
    CCustomerAtLocationGoal::SGetClassInfo();
    CGoalOptions::SGetClassInfo();
    CFrameOverlayGoalOverlay::SGetClassInfo();
    CLevelOptions::SGetClassInfo();
    CLevelSet::SGetClassInfo();
    CLevelSetUserMade::SGetClassInfo();
    RegisterLevelSetFileNames();
    CTutorial::SGetClassInfo();
    CCrewState::SGetClassInfo();
    CGameState::SGetClassInfo();
    CLevelPlayStats::SGetClassInfo();
    CLevelTimer::SGetClassInfo();
    CLevelTimerOptions::SGetClassInfo();
    CLevelExpression::SGetClassInfo();
    CHasUpgradeExpression::SGetClassInfo();
    CUpgradeOnCursorExpression::SGetClassInfo();
    CLotHasItemExpression::SGetClassInfo();
    CControlCustomerSpawningSpritePlugIn::SGetClassInfo();
    CControlCustomerDeliverySpritePlugIn::SGetClassInfo();
    CControlPacifierPickupSpritePlugIn::SGetClassInfo();
    CSetMustBuildWhatCustomerWantsSpritePlugIn::SGetClassInfo();
    CSetWhatNextCustomerWillOrderSpritePlugIn::SGetClassInfo();
    CSetMustBuildAtGridCoordinateSpritePlugIn::SGetClassInfo();
    CClearMustBuildAtGridCoordinateSpritePlugIn::SGetClassInfo();
    CSpawnOneCustomerSpritePlugIn::SGetClassInfo();
    CLoadingFeedbackDisplayOptions::SGetClassInfo();
    CPlayAnimationOnceSpriteAI::SGetClassInfo();
    CPowerUpTextDisplayOptions::SGetClassInfo();
    CPrintPowerUpTextAI::SGetClassInfo();
    RegisterPlayfieldMouseMessageTypes();
    CSpritePlugInPlaySongOnceAndQueueNextSong::SGetClassInfo();
    CSpritePlugInPlaySongLooping::SGetClassInfo();
    CSpritePlugInStopMusic::SGetClassInfo();
    CLot::SGetClassInfo();
    CLotOptions::SGetClassInfo();
    CLotPlayfieldLayer::SGetClassInfo();
    CCustomerMovedInMessage::SGetType();
    CXInARowCheckMessage::SGetType();
    CScenery::SGetClassInfo();
    DeclarePokeAudioProperty();
    InstallPlayfieldScriptingHooks();
}
