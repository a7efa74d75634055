#pragma once
// The "Lot" layer: lots drawn scaled by the level's "Scale Percent" and
// clipped to the lot grid's draw rectangle; mouse points reach its sprites
// in layer coordinates.
#include "foundation/CPoint.h"
#include "foundation/UpwardHook.h"
#include "game/world/CPlayfield.h"

class CLot;

class CLotPlayfieldLayer : public CPlayfieldLayer {
    OMBRISALT_REFLECTED(CLotPlayfieldLayer, CPlayfieldLayer)
public:
    CLotPlayfieldLayer();
    ~CLotPlayfieldLayer() override;

    void Draw(CFrameInterface& frame) override;
    void HandleMessage(CMessage& message) override;
    CFPoint ScreenToLayer(CFPoint point) override;
    CFPoint LayerToScreen(CFPoint point) override;
    virtual void DrawEditorGrid(CFrameInterface& frame);
    virtual void DrawLotOutline(CFrameInterface& frame, CSprite* lot, int32_t column, int32_t row);

    // The first lot in layer order at (column, row); null when none.
    CLot* FindLot(int32_t column, int32_t row);
    // The lot the given steps away from a grid coordinate; null when none,
    // or when the steps lead past the coordinates a lot can have.
    CLot* FindLotFrom(CPoint grid, int32_t columns, int32_t rows);
};

// Whether the level editor's "Show Lot Grid Connections" is set; the
// editor installs it. Uninstalled: never.
using LotGridConnectionsQuery = bool (*)();
LotGridConnectionsQuery SetLotGridConnectionsQuery(LotGridConnectionsQuery query);
OMBRISALT_UPWARD_HOOK(SetLotGridConnectionsQuery);

// The current playfield's "Lot" layer when it is a lot layer, else null.
CLotPlayfieldLayer* GetLotLayer();
