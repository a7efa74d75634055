// Every class the program registers, with its computed version. A property
// added to or dropped from a class changes its version, and saved binary data
// of the old version then loads as defaults: a change here must be
// deliberate.
#include "support/RegisteredClassCheck.h"
#include "support/TestOnlyClasses.h"
#include "support/TestSupport.h"

#include "program/RegisterAllClasses.h"
#include "images/CFont.h"
#include "objects/CClassInfo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

namespace {

struct ProgramClass {
    const char* name;
    float version;
};

constexpr ProgramClass kProgramClasses[] = {
    {"CAchievement", 85.0f},
    {"CAchievementFrameOverlayOverlay", 123.0f},
    {"CAchievementHistory", 36.0f},
    {"CAchievementOptions", 127.0f},
    {"CAchievementWorkVariables", 50.0f},
    {"CAction", 22.0f},
    {"CActionBroadcastMessage", 74.0f},
    {"CActionSendMessage", 81.0f},
    {"CAdvice", 57.0f},
    {"CAdviceAverageValueTooLowForPhase", 186.0f},
    {"CAdviceGetMoreOptionalGoals", 179.0f},
    {"CAdviceHadToBulldoze", 172.0f},
    {"CAdviceHadToPaintAgainForGarage", 172.0f},
    {"CAdviceHaveMoneyButNoUpgradeForPhase", 186.0f},
    {"CAdviceHistory", 36.0f},
    {"CAdviceNotDoing3InARowMatching", 172.0f},
    {"CAdviceNotMultitasking", 186.0f},
    {"CAdviceNotUsingClickAssist", 172.0f},
    {"CAdviceNotUsingMegaClickAssist", 172.0f},
    {"CAdviceNotUsingUpgradeInSlot", 179.0f},
    {"CAdviceOptions", 29.0f},
    {"CAdviceShouldPurchaseUpgradeForPhase", 179.0f},
    {"CAdviceShouldPurchaseUpgradeForSlot", 186.0f},
    {"CAdviceWorkVariables", 36.0f},
    {"CAlphaSkinBorder", 266.0f},
    {"CAlphaSkinData", 168.0f},
    {"CArrayIndexFrameOverlay", 123.0f},
    {"CArrayOfFramesFrameOverlayOverlay", 130.0f},
    {"CArrayOfImagesFrameOverlayOverlay", 130.0f},
    {"CAudio", 21.0f},
    {"CAudioAdjustFrequency", 77.0f},
    {"CAudioAdjustVolume", 77.0f},
    {"CAudioRandomFrequency", 84.0f},
    {"CAudioRandomFromSet", 210.0f},
    {"CAudioRandomVolume", 84.0f},
    {"CAudioSeriesFromSet", 217.0f},
    {"CAudioSet", 70.0f},
    {"CAudioShuffledFromSet", 651.0f},
    {"CAudioSound", 70.0f},
    {"CBackgroundStyleSheet", 50.0f},
    {"CBasePointerToBeNulledArray", 21.0f},
    {"CBatchedProxyFrame", 210.0f},
    {"CBlitXParams", 67.0f},
    {"CBlurRenderer", 67.0f},
    {"CBoxFrameOverlay", 144.0f},
    {"CBroadcastMessageSpritePlugIn", 74.0f},
    {"CBuildableAtLocationGoal", 200.0f},
    {"CBuildablePackage", 50.0f},
    {"CBuildablePart", 585.0f},
    {"CBuildPhase", 141.0f},
    {"CBuildableItemFrameOverlay", 137.0f},
    {"CBulldozerUpgrade", 529.0f},
    {"CCircleRenderer", 67.0f},
    {"CClassicSkinBorder", 140.0f},
    {"CClassThatCanNotBeConstructedOrDerivedFrom", 21.0f},
    {"CClearMustBuildAtGridCoordinateSpritePlugIn", 67.0f},
    {"CClippedProxyFrame", 210.0f},
    {"CColorBuildablePart", 1784.0f},
    {"CConditionalFrameOverlay", 130.0f},
    {"CControlCustomerDeliverySpritePlugIn", 74.0f},
    {"CControlCustomerSpawningSpritePlugIn", 74.0f},
    {"CControlPacifierPickupSpritePlugIn", 74.0f},
    {"CCrew", 81.0f},
    {"CCrewQuantityUpgrade", 1609.0f},
    {"CCrewSkillUpgrade", 1616.0f},
    {"CCrewState", 29.0f},
    {"CCrewUpgrade", 536.0f},
    {"CCustomer", 123.0f},
    {"CCustomerAtLocationGoal", 200.0f},
    {"CCustomerOptions", 246.0f},
    {"CCustomerStyleSheet", 141.0f},
    {"CDecadeTransition", 50.0f},
    {"CDelivererUpgrade", 543.0f},
    {"CDelivererUpgradeButton", 223.0f},
    {"CEndOfLevelOptions", 64.0f},
    {"CEveryHeartGoal", 158.0f},
    {"CExpression", 22.0f},
    {"CExpressionAdd", 265.0f},
    {"CExpressionAnd", 265.0f},
    {"CExpressionAppendText", 265.0f},
    {"CExpressionAsciiValue", 74.0f},
    {"CExpressionAsOffsetAngle0to360", 81.0f},
    {"CExpressionAsRomanNumerals", 74.0f},
    {"CExpressionBinaryOperator", 88.0f},
    {"CExpressionConcatenate", 265.0f},
    {"CExpressionCountTextCharacters", 74.0f},
    {"CExpressionDisplayableText", 74.0f},
    {"CExpressionDivide", 265.0f},
    {"CExpressionForeignVariable", 81.0f},
    {"CExpressionGetInteger", 74.0f},
    {"CExpressionIfBetweenInclusive", 88.0f},
    {"CExpressionIfEqualTo", 265.0f},
    {"CExpressionIfGreaterThan", 265.0f},
    {"CExpressionIfGreaterThanOrEqualTo", 265.0f},
    {"CExpressionIfLessThan", 265.0f},
    {"CExpressionIfLessThanOrEqualTo", 265.0f},
    {"CExpressionIfNotEqualTo", 265.0f},
    {"CExpressionIfThen", 88.0f},
    {"CExpressionLocalVariable", 74.0f},
    {"CExpressionMax", 74.0f},
    {"CExpressionMin", 74.0f},
    {"CExpressionModulo", 265.0f},
    {"CExpressionMultiply", 265.0f},
    {"CExpressionNot", 74.0f},
    {"CExpressionNumber", 74.0f},
    {"CExpressionOr", 265.0f},
    {"CExpressionPartOfText", 88.0f},
    {"CExpressionRandomFloat", 81.0f},
    {"CExpressionRandomInteger", 81.0f},
    {"CExpressionScale", 109.0f},
    {"CExpressionScriptingText", 74.0f},
    {"CExpressionSubtract", 265.0f},
    {"CFont", 76.0f},
    {"CFontBitmap", 259.0f},
    {"CForeman", 88.0f},
    {"CForemanUpgrade", 557.0f},
    {"CFrame", 71.0f},
    {"CFrameAsMipMapTexture", 22.0f},
    {"CFrameEffect", 22.0f},
    {"CFrameEffectBlit", 81.0f},
    {"CFrameEffectBlur", 251.0f},
    {"CFrameEffectExpand", 81.0f},
    {"CFrameEffectLayer", 81.0f},
    {"CFrameEffectStretchTexture", 74.0f},
    {"CFrameEffectTextureMapPolicy", 22.0f},
    {"CFrameEffectTexturize", 88.0f},
    {"CFrameEffectTileTexture", 74.0f},
    {"CFrameFrameSelector", 209.0f},
    {"CFrameImageIO", 22.0f},
    {"CFrameInfo", 66.0f},
    {"CFrameInterface", 23.0f},
    {"CFrameOverlay", 36.0f},
    {"CFrameOverlayButton", 524.0f},
    {"CFrameOverlayFrameOverlay", 123.0f},
    {"CFrameOverlayGoalOverlay", 123.0f},
    {"CFrameOverlayJButtonOverlay", 130.0f},
    {"CFrameOverlayJWindowOverlay", 151.0f},
    {"CFrameOverlayMilestoneABC", 36.0f},
    {"CFrameOverlayOffsetMilestone", 116.0f},
    {"CFrameOverlayOpacityMilestone", 116.0f},
    {"CFrameOverlayOptions", 50.0f},
    {"CFrameOverlayPositionMarker", 137.0f},
    {"CFrameOverlayRotationMilestone", 116.0f},
    {"CFrameOverlayScaleMilestone", 116.0f},
    {"CFrameOverlaySequenceOverlay", 144.0f},
    {"CFrameOverlayTextMadeOfImagesOverlay", 151.0f},
    {"CFrameOverlayTextOverlay", 207.0f},
    {"CFrameOverlayTimeline", 235.0f},
    {"CFrameSelector", 22.0f},
    {"CFrameSelectorFromSequence", 74.0f},
    {"CGameState", 78.0f},
    {"CGoal", 50.0f},
    {"CGoalOptions", 239.0f},
    {"CGreeterUpgrade", 557.0f},
    {"CGreeterUpgradeButton", 223.0f},
    {"CHasUpgradeExpression", 74.0f},
    {"CHeartGoal", 158.0f},
    {"CHUD", 109.0f},
    {"CHideAndRevealAfterDelaySpritePlugIn", 74.0f},
    {"CHideSpritePlugIn", 74.0f},
    {"CHudOptions", 22.0f},
    {"CHudPosition", 29.0f},
    {"CHueRemapData", 71.0f},
    {"CHueRemapFrameProperty", 22.0f},
    {"CHueRemapperStyleSheet", 36.0f},
    {"CIllegalMoveMessage", 36.0f},
    {"CIllegalMoveMessageOptions", 43.0f},
    {"CJPEGFileIO", 67.0f},
    {"CJWindowAlphaTheme", 70.0f},
    {"CJWindowClassicTheme", 63.0f},
    {"CLevelEditorOptions", 113.0f},
    {"CLevelExpression", 67.0f},
    {"CLevelOptions", 295.0f},
    {"CLevelPlayStats", 281.0f},
    {"CLevelSet", 22.0f},
    {"CLevelSetUserMade", 74.0f},
    {"CLevelTimer", 67.0f},
    {"CLevelTimerOptions", 50.0f},
    {"CLifeRewards", 57.0f},
    {"CLoadingFeedbackDisplayOptions", 71.0f},
    {"CLocalVariable", 43.0f},
    {"CLocalVariables", 29.0f},
    {"CLot", 130.0f},
    {"CLotOptions", 127.0f},
    {"CLotPlayfieldLayer", 109.0f},
    {"CLoopFrameSelector", 237.0f},
    {"CLotHasItemExpression", 81.0f},
    {"CMaxAlphaFrameProperty", 22.0f},
    {"CMipMapFrameProperty", 22.0f},
    {"CNestedFooFrameOverlay", 123.0f},
    {"CNonAnimatedFrameSelector", 67.0f},
    {"CObject", 7.0f},
    {"COffsetClippedProxyFrame", 211.0f},
    {"COffsetProxyFrame", 210.0f},
    {"COffsetRotateScaleProxyFrame", 211.0f},
    {"COffsetScaledAmountFrameOverlay", 151.0f},
    {"COpacityProxyFrame", 211.0f},
    {"CPacifierUpgrade", 578.0f},
    {"CPacifierUpgradeButton", 223.0f},
    {"CPaletteHolder", 22.0f},
    {"CPeriod", 99.0f},
    {"CPingPongFrameSelector", 244.0f},
    {"CPlayAnimationOnceSpriteAI", 67.0f},
    {"CPNGFileIO", 67.0f},
    {"CPlayerStats", 85.0f},
    {"CPlayerStatsForLevel", 85.0f},
    {"CPlayfield", 36.0f},
    {"CPlayfieldLayer", 36.0f},
    {"CPointerToBeNulledArray", 63.0f},
    {"CPowerUpTextDisplayOptions", 63.0f},
    {"CPrintPlugIn", 22.0f},
    {"CPrintPlugInDrawDots", 88.0f},
    {"CPrintPlugInNone", 67.0f},
    {"CPrintPlugInPrintFont", 116.0f},
    {"CPrintPowerUpTextAI", 88.0f},
    {"CProxyFrame", 70.0f},
    {"CRenderableObject", 22.0f},
    {"CRespectDestAlphaProxyFrame", 210.0f},
    {"CRevealSpritePlugIn", 74.0f},
    {"CRevenueGoal", 158.0f},
    {"CRewardsUnlockFlierAI", 74.0f},
    {"CRotateAndScaleToolHandleOptions", 50.0f},
    {"CRotateAndScaleToolOptions", 29.0f},
    {"CRules", 519.0f},
    {"CScaledOffsetProxyFrame", 211.0f},
    {"CScenery", 88.0f},
    {"CScoreBalloonAI", 95.0f},
    {"CScrapBookData", 29.0f},
    {"CScreenFrame", 214.0f},
    {"CScriptPosition", 22.0f},
    {"CScriptPositionAbsolutePoint", 74.0f},
    {"CScriptPositionCalculatedPoint", 81.0f},
    {"CScriptPositionNamedObject", 74.0f},
    {"CScriptPositionThisSprite", 67.0f},
    {"CScriptReferenceToTarget", 29.0f},
    {"CSegmentedImageSkinBorder", 182.0f},
    {"CSelectedObjectInfo", 36.0f},
    {"CSelectedObjects", 29.0f},
    {"CSequence", 253.0f},
    {"CSequenceFrameInfoList", 58.0f},
    {"CSequenceOfCoordinates", 28.0f},
    {"CSetForeignVariable", 88.0f},
    {"CSetForeignVariableAction", 88.0f},
    {"CSetLevelTextSpritePlugIn", 74.0f},
    {"CSetLocalVariable", 81.0f},
    {"CSetMustBuildAtGridCoordinateSpritePlugIn", 74.0f},
    {"CSetMustBuildWhatCustomerWantsSpritePlugIn", 74.0f},
    {"CSetWhatNextCustomerWillOrderSpritePlugIn", 74.0f},
    {"CShape2DFillRenderer", 67.0f},
    {"CShape2DOutlineRenderer", 67.0f},
    {"CShape2DTexturedShapeRenderer", 67.0f},
    {"CShoppingPositionMarkerFrameOverlay", 461.0f},
    {"CShoppingUpgradeButton", 74.0f},
    {"CShowTutorialPopUpSpritePlugIn", 81.0f},
    {"CSignpost", 67.0f},
    {"CSignpostUpgrade", 536.0f},
    {"CSkinBorder", 35.0f},
    {"CSkinTheme", 21.0f},
    {"CSpawnOneCustomerSpritePlugIn", 67.0f},
    {"CSprite", 78.0f},
    {"CSpriteAI", 22.0f},
    {"CSpriteAIPlayAnimationOnce", 88.0f},
    {"CSpritePlugIn", 22.0f},
    {"CSpritePlugInDeleteSelf", 67.0f},
    {"CSpritePlugInDisplayValue", 81.0f},
    {"CSpritePlugInExpressionTester", 81.0f},
    {"CSpritePlugInFastForward", 635.0f},
    {"CSpritePlugInIf", 237.0f},
    {"CSpritePlugInLocalVariableOverTime", 95.0f},
    {"CSpritePlugInOpacityOverTime", 88.0f},
    {"CSpritePlugInPlayAudio", 74.0f},
    {"CSpritePlugInPlaySequence", 102.0f},
    {"CSpritePlugInPlaySongLooping", 74.0f},
    {"CSpritePlugInPlaySongOnceAndQueueNextSong", 88.0f},
    {"CSpritePlugInProxy", 67.0f},
    {"CSpritePlugInRandomOrderSequence", 670.0f},
    {"CSpritePlugInRevealOptionalGoals", 88.0f},
    {"CSpritePlugInSequence", 223.0f},
    {"CSpritePlugInSimultaneous", 209.0f},
    {"CSpritePlugInSpawnAnimation", 88.0f},
    {"CSpritePlugInSpawnFloatingText", 81.0f},
    {"CSpritePlugInSpawnSprite", 95.0f},
    {"CSpritePlugInStateMachine", 209.0f},
    {"CSpritePlugInStopMusic", 67.0f},
    {"CSpritePlugInTriggerActionEveryXSeconds", 88.0f},
    {"CSpritePlugInTriggerActionWhenDestroyed", 74.0f},
    {"CSpritePlugInWaitForExpression", 74.0f},
    {"CSpritePlugInWaitForMessage", 74.0f},
    {"CSpritePlugInWaitXSeconds", 81.0f},
    {"CStandAloneFrame", 306.0f},
    {"CState", 36.0f},
    {"CStats", 15.0f},
    {"CStillFrameSelector", 216.0f},
    {"CStoryOptions", 36.0f},
    {"CStringWrappedInAnObject", 29.0f},
    {"CTextSubstitution", 36.0f},
    {"CTextSubstitutionList", 29.0f},
    {"CTGAFileIO", 67.0f},
    {"CTheoraPlayer", 214.0f},
    {"CThermometerFrameOverlay", 158.0f},
    {"CThreeInARowCounter", 74.0f},
    {"CThreeInARowCounterOptions", 190.0f},
    {"CTimeGoal", 158.0f},
    {"CTipsOptions", 57.0f},
    {"CTransformedFrame", 22.0f},
    {"CTransformedFrameCache", 22.0f},
    {"CTransformedFrameCacheProxyFrame", 211.0f},
    {"CTutorial", 106.0f},
    {"CTutorialDisplayOptions", 57.0f},
    {"CTutorialHistory", 29.0f},
    {"CTutorialPopUpSpriteAI", 74.0f},
    {"CUpgrade", 176.0f},
    {"CUpgradeButton", 74.0f},
    {"CUpgradeOnCursorExpression", 88.0f},
    {"CUpgradeSlot", 78.0f},
    {"CWorkInProgress", 81.0f},
    {"CXInARowGoal", 165.0f},
};

// Fonts are made with the default font file, which a program folder has.
class EveryProgramClass : public CTempFolderTest, public testing::WithParamInterface<ProgramClass> {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        if (!WriteDefaultFont())
            GTEST_SKIP() << "DejaVuSans.ttf is missing (Debian package fonts-dejavu-core)";
        RegisterAllClasses();
        EnumerateFontFiles();
    }
};

TEST_P(EveryProgramClass, HasItsCheckedInVersion)
{
    CClassInfo* info = CClassInfoList::SGetInstance().Find(GetParam().name);
    ASSERT_NE(info, nullptr);
    EXPECT_STREQ(info->GetName(), GetParam().name);
    EXPECT_EQ(info->GetVersion(), GetParam().version);
}

TEST_P(EveryProgramClass, IsMadeAtItsDefaultsAndTravelsUnchanged)
{
    // A reset profile takes a random number and the running channel.
    if (std::strcmp(GetParam().name, "CPlayerStats") == 0)
        ExpectMadeAtDefaultsAndTravelsUnchanged(GetParam().name, {"ID", "Channel"});
    else
        ExpectMadeAtDefaultsAndTravelsUnchanged(GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Program, EveryProgramClass, testing::ValuesIn(kProgramClasses),
                         [](const testing::TestParamInfo<ProgramClass>& param) {
                             return std::string(param.param.name);
                         });

TEST(ProgramClassTable, NamesEveryRegisteredClass)
{
    RegisterAllClasses();
    CClassInfoList& registry = CClassInfoList::SGetInstance();
    for (int32_t i = 0; i < registry.GetCount(); ++i) {
        CClassInfo* info = registry.GetAt(i);
        if (TestOnlyClassNames().count(info->GetName()) != 0)
            continue;
        const bool listed
            = std::any_of(std::begin(kProgramClasses), std::end(kProgramClasses),
                          [&](const ProgramClass& c) { return std::strcmp(c.name, info->GetName()) == 0; });
        EXPECT_TRUE(listed) << "{\"" << info->GetName() << "\", " << info->GetVersion()
                            << "f}, is registered but missing from the version table";
    }
}

// A test's own class must not share a name with one of the program's, which
// the check above would then pass over.
TEST(ProgramClassTable, NamesNoTestOnlyClass)
{
    for (const ProgramClass& c : kProgramClasses)
        EXPECT_EQ(TestOnlyClassNames().count(c.name), 0u) << c.name << " is also a test's own class";
}

} // namespace
