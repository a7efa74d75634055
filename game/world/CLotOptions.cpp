#include "game/world/CLotOptions.h"

#include "foundation/SaturatingArithmetic.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CGoalOptions.h"
#include "images/CFontList.h"
#include "objects/CFloatProperty.h"
#include "objects/CObjectProperty.h"
#include "objects/CPointProperty.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CSequenceList.h"

OMBRISALT_IMPLEMENT_CLASS(CLotOptions, 1.0)

void CLotOptions::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CLotOptions;
    d.AddListReference<CGoalLookReferenceProperty>(&C::m_TimeWaitedFont, "Time Waited Font", &GetFontList(), nullptr);
    d.Add(&C::m_TimeWaitedOffset, "Time Waited Offset", CPoint{0, 0});
    d.Add(&C::m_FirstLotPosition, "First Lot Position", CPoint{375, 80});
    d.Add(&C::m_LotPositionRowOffset, "Lot Position Row Offset", CPoint{0, 160});
    d.Add(&C::m_LotPositionColumnOffset, "Lot Position Column Offset", CPoint{173, 0});
    d.AddListReference<CGoalLookReferenceProperty>(&C::m_MoveInEffectSequence, "Move In Effect Sequence",
                                                   &GetSequenceList(), nullptr);
    d.AddListReference<CGoalLookReferenceProperty>(&C::m_ScoreBalloonFoo, "Score Balloon Foo",
                                                   &GetFrameOverlayOptionsList(), "Move In Baloon");
    d.Add(&C::m_ScoreBalloonDuration, "Score Balloon Duration", 2.0f).Units("Seconds");
    d.Add(&C::m_ScoreBalloonPosition, "Score Balloon Position", CPoint{0, 0});
    d.Add(&C::m_LotGridDrawRectUpperLeft, "Lot Grid Draw Rect Upper Left", CPoint{0, 0});
    d.Add(&C::m_LotGridDrawRectLowerRight, "Lot Grid Draw Rect Lower Right", CPoint{1024, 768});
    d.Add(&C::m_ScenicBonus, "Scenic Lot/Scenic Bonus", 0.2f).Units("fraction").AlternateName("Premium Bonus");
    d.AddListReference<CGoalLookReferenceProperty>(&C::m_ScenicLotImage, "Scenic Lot/Scenic Lot Image",
                                                   &GetSequenceList(), nullptr)
        .AlternateName("Premium Lot Sequence");
    d.Add(&C::m_ScenicLotImageOffset, "Scenic Lot/Scenic Lot Image Offset", CPoint{0, 0})
        .AlternateName("Premium Lot Sequence Offset");
    d.AddEmbedded(&C::m_LotPlugIn, "Scripting/Lot Plug In");
}

CLotOptions::CLotOptions()
{
    InitDeclaredProperties();
}

CLotOptions::~CLotOptions()
{
    DestroyDeclaredProperties();
}

CLotOptions* CLotOptions::SGetInstance()
{
    return &GetGeneralObjectAs<CLotOptions>("Lot Options");
}

CPoint CLotOptions::GetLotPosition(CPoint grid) const
{
    return {SaturatingGridPlace(m_FirstLotPosition.x, grid.x, m_LotPositionColumnOffset.x, grid.y,
                                m_LotPositionRowOffset.x),
            SaturatingGridPlace(m_FirstLotPosition.y, grid.x, m_LotPositionColumnOffset.y, grid.y,
                                m_LotPositionRowOffset.y)};
}
