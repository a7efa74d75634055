#include "game/scripting/RegisterGameScriptingClasses.h"

#include "game/scripting/CAudio.h"
#include "game/scripting/CExpressionOperators.h"
#include "game/scripting/CFrameSelector.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/CSpriteAI.h"
#include "game/scripting/CSpritePlugInContainers.h"
#include "game/scripting/CSpritePlugInHideReveal.h"
#include "game/scripting/CSpritePlugInLeaves.h"
#include "game/scripting/CSpritePlugInPrint.h"
#include "game/scripting/CSpritePlugInStateMachine.h"
#include "game/scripting/CSpriteVariables.h"
#include "game/scripting/CTextExpressions.h"
#include "objects/CObject.h"

void RegisterGameScriptingClasses()
{
    RegisterObjectClasses();
    CExpression::SGetClassInfo();
    CExpressionNumber::SGetClassInfo();
    CExpressionScriptingText::SGetClassInfo();
    CExpressionBinaryOperator::SGetClassInfo();
    CExpressionIfLessThan::SGetClassInfo();
    CExpressionIfLessThanOrEqualTo::SGetClassInfo();
    CExpressionIfGreaterThan::SGetClassInfo();
    CExpressionIfGreaterThanOrEqualTo::SGetClassInfo();
    CExpressionIfEqualTo::SGetClassInfo();
    CExpressionIfNotEqualTo::SGetClassInfo();
    CExpressionIfBetweenInclusive::SGetClassInfo();
    CExpressionNot::SGetClassInfo();
    CExpressionAnd::SGetClassInfo();
    CExpressionOr::SGetClassInfo();
    CExpressionIfThen::SGetClassInfo();
    CExpressionAdd::SGetClassInfo();
    CExpressionSubtract::SGetClassInfo();
    CExpressionMultiply::SGetClassInfo();
    CExpressionDivide::SGetClassInfo();
    CExpressionModulo::SGetClassInfo();
    CExpressionConcatenate::SGetClassInfo();
    CExpressionRandomInteger::SGetClassInfo();
    CExpressionRandomFloat::SGetClassInfo();
    CExpressionMin::SGetClassInfo();
    CExpressionMax::SGetClassInfo();
    CExpressionScale::SGetClassInfo();
    CExpressionAsOffsetAngle0to360::SGetClassInfo();
    CExpressionGetInteger::SGetClassInfo();
    CExpressionAsRomanNumerals::SGetClassInfo();
    CExpressionDisplayableText::SGetClassInfo();
    CExpressionCountTextCharacters::SGetClassInfo();
    CExpressionAsciiValue::SGetClassInfo();
    CExpressionAppendText::SGetClassInfo();
    CExpressionPartOfText::SGetClassInfo();
    RegisterExpressionTranslators();
    CAudio::SGetClassInfo();
    CAudioSound::SGetClassInfo();
    CAudioAdjustFrequency::SGetClassInfo();
    CAudioRandomFrequency::SGetClassInfo();
    CAudioAdjustVolume::SGetClassInfo();
    CAudioRandomVolume::SGetClassInfo();
    CAudioSet::SGetClassInfo();
    CAudioSeriesFromSet::SGetClassInfo();
    CAudioShuffledFromSet::SGetClassInfo();
    CAudioRandomFromSet::SGetClassInfo();
    CFrameSelector::SGetClassInfo();
    CFrameSelectorFromSequence::SGetClassInfo();
    CNonAnimatedFrameSelector::SGetClassInfo();
    CLoopFrameSelector::SGetClassInfo();
    CPingPongFrameSelector::SGetClassInfo();
    CFrameFrameSelector::SGetClassInfo();
    CStillFrameSelector::SGetClassInfo();
    CPrintPlugIn::SGetClassInfo();
    CPrintPlugInNone::SGetClassInfo();
    CPrintPlugInPrintFont::SGetClassInfo();
    CPrintPlugInDrawDots::SGetClassInfo();
    RegisterPlugInClasses();
    CState::SGetClassInfo();
    CSpritePlugInStateMachine::SGetClassInfo();
    CHideAndRevealAfterDelaySpritePlugIn::SGetClassInfo();
    CHideSpritePlugIn::SGetClassInfo();
    CRevealSpritePlugIn::SGetClassInfo();
    RegisterLeafPlugInClasses();
    CSpriteAI::SGetClassInfo();
    CSpriteAIPlayAnimationOnce::SGetClassInfo();
    CSprite::SGetClassInfo();
    RegisterSpriteVariableClasses();
}
