#include "game/world/CLotPlayfieldLayer.h"

#include "blit/CColor.h"
#include "foundation/SaturatingArithmetic.h"
#include "game/business/CSignpost.h"
#include "game/business/CUpgradeButton.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/ScriptingHooks.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLot.h"
#include "game/world/CLotOptions.h"
#include "game/world/CPlayfieldMouseMessage.h"
#include "objects/CMessage.h"
#include "render/CProxyFrame.h"
#include "render/CScaledOffsetProxyFrame.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

OMBRISALT_IMPLEMENT_CLASS(CLotPlayfieldLayer, 1.0)

namespace {

LotGridConnectionsQuery g_GridConnectionsQuery = nullptr;

float ScaleFactor()
{
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    return level ? level->m_ScalePercent / 100.0f : 1.0f;
}

CPoint Rounded(CFPoint point)
{
    return {ClampToInt32(std::lround(point.x)), ClampToInt32(std::lround(point.y))};
}

} // namespace

LotGridConnectionsQuery SetLotGridConnectionsQuery(LotGridConnectionsQuery query)
{
    LotGridConnectionsQuery previous = g_GridConnectionsQuery;
    g_GridConnectionsQuery = query;
    return previous;
}

void CLotPlayfieldLayer::DeclareProperties(CPropertyDeclarer&)
{
}

CLotPlayfieldLayer::CLotPlayfieldLayer()
{
    InitDeclaredProperties();
}

CLotPlayfieldLayer::~CLotPlayfieldLayer()
{
    DestroyDeclaredProperties();
}

void CLotPlayfieldLayer::Draw(CFrameInterface& frame)
{
    const CLotOptions& options = *CLotOptions::SGetInstance();
    CClippedProxyFrame clipped(&frame);
    // Corners kept far inside the int32 range, so the clip's width and
    // height can be had: damaged options clip to nothing or everything.
    auto corner = [](int32_t v) { return std::clamp(v, -(1 << 28), 1 << 28); };
    clipped.SetClipRect({corner(options.m_LotGridDrawRectUpperLeft.x), corner(options.m_LotGridDrawRectUpperLeft.y),
                         corner(options.m_LotGridDrawRectLowerRight.x), corner(options.m_LotGridDrawRectLowerRight.y)});
    const float scale = ScaleFactor();
    CScaledOffsetProxyFrame scaled(&clipped);
    scaled.SetCentre(0.0f, 0.0f);
    scaled.Set(scale, 0.0f, 0.0f);
    // At full size the scaling stage maps nothing; drawing past it keeps
    // plain blits plain.
    CFrameInterface& target = scale == 1.0f ? static_cast<CFrameInterface&>(clipped) : scaled;
    CPlayfieldLayer::Draw(target);
    if (IsLevelEditorOpen())
        DrawEditorGrid(target);
}

void CLotPlayfieldLayer::HandleMessage(CMessage& message)
{
    const uint32_t type = message.GetType();
    if (type == CPlayfieldMouseMessage::SGetMouseDownType() || type == CPlayfieldMouseMessage::SGetMouseUpType()) {
        auto& mouse = static_cast<CPlayfieldMouseMessage&>(message);
        const CPoint kept = mouse.GetPosition();
        mouse.SetPosition(Rounded(ScreenToLayer({float(kept.x), float(kept.y)})));
        CPlayfieldLayer::HandleMessage(message);
        if (!message.IsHandled() && GetDraggedSprite() && IsDraggedSignpostButton()) {
            if (CSignpost* signpost = FindSignpost()) {
                CMessage remove = CMessage::CMessageByName("RemoveSignpost");
                signpost->HandleMessage(remove);
            }
            ClearDraggedSprite();
        }
        mouse.SetPosition(kept);
    } else if (type == CPlayfieldMouseMessage::SGetMouseMovedType()) {
        auto& mouse = static_cast<CPlayfieldMouseMessage&>(message);
        const CPoint kept = mouse.GetPosition();
        const CPoint keptSecond = mouse.GetSecondPoint();
        mouse.SetPosition(Rounded(ScreenToLayer({float(kept.x), float(kept.y)})));
        mouse.SetSecondPoint(Rounded(ScreenToLayer({float(keptSecond.x), float(keptSecond.y)})));
        CPlayfieldLayer::HandleMessage(message);
        mouse.SetPosition(kept);
        mouse.SetSecondPoint(keptSecond);
    } else {
        CPlayfieldLayer::HandleMessage(message);
    }
}

CFPoint CLotPlayfieldLayer::ScreenToLayer(CFPoint point)
{
    const float scale = ScaleFactor();
    return {point.x / scale, point.y / scale};
}

CFPoint CLotPlayfieldLayer::LayerToScreen(CFPoint point)
{
    const float scale = ScaleFactor();
    return {point.x * scale, point.y * scale};
}

void CLotPlayfieldLayer::DrawEditorGrid(CFrameInterface& frame)
{
    if (!g_GridConnectionsQuery || !g_GridConnectionsQuery())
        return;
    for (uint32_t i = 0; i < GetSpriteCount(); ++i) {
        CSprite* sprite = GetSprite(i);
        CLot* lot = CLot::SFromSprite(sprite);
        if (!lot)
            continue;
        const CPoint grid = lot->GetGridCoordinate();
        // A damaged coordinate at the edge of the range has no neighbour.
        if (grid.x < INT32_MAX)
            DrawLotOutline(frame, sprite, grid.x + 1, grid.y);
        if (grid.y < INT32_MAX)
            DrawLotOutline(frame, sprite, grid.x, grid.y + 1);
    }
}

void CLotPlayfieldLayer::DrawLotOutline(CFrameInterface& frame, CSprite* lot, int32_t column, int32_t row)
{
    CLot* neighbour = FindLot(column, row);
    if (!lot || !neighbour || !neighbour->GetSprite())
        return;
    CColor colour(50, 255, 50, 255);
    const CFPoint& from = lot->GetPosition();
    const CFPoint& to = neighbour->GetSprite()->GetPosition();
    const CPoint a = Rounded(from), b = Rounded(to);
    frame.DrawLine(a.x, a.y, b.x, b.y, colour);
}

CLot* CLotPlayfieldLayer::FindLot(int32_t column, int32_t row)
{
    for (uint32_t i = 0; i < GetSpriteCount(); ++i) {
        CLot* lot = CLot::SFromSprite(GetSprite(i));
        if (lot && lot->m_GridCoordinate.x == column && lot->m_GridCoordinate.y == row)
            return lot;
    }
    return nullptr;
}

CLot* CLotPlayfieldLayer::FindLotFrom(CPoint grid, int32_t columns, int32_t rows)
{
    const int64_t column = int64_t(grid.x) + columns, row = int64_t(grid.y) + rows;
    if (column < INT32_MIN || column > INT32_MAX || row < INT32_MIN || row > INT32_MAX)
        return nullptr;
    return FindLot(int32_t(column), int32_t(row));
}

CLotPlayfieldLayer* GetLotLayer()
{
    CPlayfield* playfield = GetCurrentPlayfield();
    CPlayfieldLayer* layer = playfield ? playfield->FindLayer("Lot") : nullptr;
    return layer && layer->IsKindOf(CLotPlayfieldLayer::SGetClassInfo()) ? static_cast<CLotPlayfieldLayer*>(layer)
                                                                        : nullptr;
}
