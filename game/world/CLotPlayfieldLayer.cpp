#include "game/world/CLotPlayfieldLayer.h"

#include "game/world/CLot.h"

OMBRISALT_IMPLEMENT_CLASS(CLotPlayfieldLayer, 1.0)

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
    CPlayfieldLayer::Draw(frame);
}

void CLotPlayfieldLayer::HandleMessage(CMessage& message)
{
    CPlayfieldLayer::HandleMessage(message);
}

CFPoint CLotPlayfieldLayer::ScreenToLayer(CFPoint point)
{
    return point;
}

CFPoint CLotPlayfieldLayer::LayerToScreen(CFPoint point)
{
    return point;
}

void CLotPlayfieldLayer::DrawEditorGrid(CFrameInterface&)
{
}

void CLotPlayfieldLayer::DrawLotOutline(CFrameInterface&, CSprite*, int32_t, int32_t)
{
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

CLotPlayfieldLayer* GetLotLayer()
{
    CPlayfield* playfield = GetCurrentPlayfield();
    CPlayfieldLayer* layer = playfield ? playfield->FindLayer("Lot") : nullptr;
    return layer && layer->IsKindOf(CLotPlayfieldLayer::SGetClassInfo()) ? static_cast<CLotPlayfieldLayer*>(layer)
                                                                        : nullptr;
}
