#include "game/business/CCustomerOptions.h"

#include "game/business/CBuildPhase.h"
#include "game/world/CGeneralObjects.h"
#include "images/CFontList.h"
#include "objects/CBoolProperty.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CListProperty.h"
#include "objects/CObjectProperty.h"
#include "objects/CPointProperty.h"
#include "sequences/CSequenceList.h"

OMBRISALT_IMPLEMENT_CLASS(CCustomerOptions, 1.0)

void CCustomerOptions::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CCustomerOptions;
    CVirtualArray* sequences = &GetSequenceList();
    d.Add(&C::m_FrontOfLine, "Front Of Line", CFPoint{0.0f, 0.0f});
    d.Add(&C::m_SpaceBetweenPeopleInLine, "Space Between People In Line", CFPoint{0.0f, 0.0f});
    d.Add(&C::m_MoveSpeed, "Move Speed", 0.0f);
    d.AddListReference<CDataReferenceProperty>(&C::m_BalloonAppearance, "Balloon Appearance", sequences, "Caption");
    d.AddListReference<CDataReferenceProperty>(&C::m_NeedMenuAppearance, "Need Menu Appearance", sequences,
                                               "Need Menu");
    d.Add(&C::m_BoxOffset, "Box Offset", CFPoint{0.0f, 0.0f});
    d.Add(&C::m_WantedItemsOffset, "Wanted Items Offset", CFPoint{70.0f, -78.0f});
    d.AddListReference<CDataReferenceProperty>(&C::m_LevelTimeFont, "Level Time Font", &GetFontList(), nullptr);
    d.Add(&C::m_GetMadWhenHeartsReaches, "Get Mad When Hearts Reaches", 2.0f).Units("hearts");
    d.Add(&C::m_ThoughtScale, "Thought Scale", 0.6f).Range(0.0f, 3.0f).SpinStep(0.01f);
    d.Add(&C::m_ThoughtPosition, "Thought Position", CFPoint{0.0f, 0.0f});
    d.Add(&C::m_FirstHeartOffset, "Hearts/First Heart Offset", CFPoint{0.0f, 0.0f});
    d.Add(&C::m_OffsetBetweenHearts, "Hearts/Offset Between Hearts", CFPoint{0.0f, 0.0f});
    d.AddListReference<CDataReferenceProperty>(&C::m_FullHeartSequence, "Hearts/Full Heart Sequence", sequences,
                                               "Heart Full");
    d.AddListReference<CDataReferenceProperty>(&C::m_EmptyHeartSequence, "Hearts/Empty Heart Sequence", sequences,
                                               "Heart Empty");
    d.AddListReference<CDataReferenceProperty>(&C::m_EmptyHeartWarningSequence, "Hearts/Empty Heart Warning Sequence",
                                               sequences, "Heart Empty Warning");
    d.Add(&C::m_SecondsPerHeart, "Hearts/Seconds Per Hearts", 10.0f).Units("seconds");
    d.Add(&C::m_VictoryPoseTime, "Victory Pose Time", 2.5f).Units("Seconds");
    auto phases = d.AddArray<CNoneableListProperty>(&C::m_BuildPhaseDrawOrder, "Build Phase Draw Order", "Build Phase", 0);
    static_cast<CListProperty*>(phases.Get().GetElementProperty())->SetList(&GetBuildPhaseList());
    d.Add(&C::m_AngryFlashDuration, "Angry Flash Duration", 500.0f).Units("Seconds");
    d.Add(&C::m_AngryFlashInterval, "Angry Flash Interval", 1.0f);
    d.Add(&C::m_AngryFlashEaseInOut, "Angry Flash Ease In Out", 0.2f).Range(0.0f, 1.0f).SpinStep(0.01f);
    d.Add(&C::m_PacifierMaxHearts, "Pacifier/Max Number Of Customer Hearts", 6u);
    d.Add(&C::m_PacifierMaxHeartPercentToFill, "Pacifier/Max Heart Percent To Fill", 0.5f);
    d.AddEmbedded(&C::m_CustomerScript, "Scripting/Customer").OmitWhenDefault().OmitWhenEmpty();
    d.Add(&C::m_CustomerMoveInSpeed, "Scripting/Customer Move In Speed", 800.0f).Units("Pix per Sec");
    d.AddListReference<CDataReferenceProperty>(&C::m_CustomerHighlightSequence, "Customer/Customer Highlight Sequence",
                                               sequences, nullptr);
    d.Add(&C::m_CustomerHighlightOffset, "Customer/Customer Highlight Offset", CPoint{0, 0});
    d.Add(&C::m_ShowVictoryPoseInHoverCursor, "Show Victory Pose In Hover Cursor", true);
    d.Add(&C::m_PowerupDecisionSpeedMultiplier, "Powerup Decision Speed Multiplier", 1.0f).Range(1.0f, 99.0f);
    d.Add(&C::m_FirstCustomerDelay, "First Customer Delay ", 1.5f).Units("seconds");
    d.Add(&C::m_CanSelectCustomerDelay, "Can Select Customer Delay ", 3.0f).Units("seconds");
}

CCustomerOptions::CCustomerOptions()
{
    InitDeclaredProperties();
}

CCustomerOptions::~CCustomerOptions()
{
    DestroyDeclaredProperties();
}

CCustomerOptions& GetCustomerOptions()
{
    return GetGeneralObjectAs<CCustomerOptions>("Customer Options");
}

CCustomerOptions* FindCustomerOptions()
{
    if (GetGeneralObjects().Find("Customer Options") < 0)
        return nullptr;
    return &GetCustomerOptions();
}
