#include "editor/SelectionHighlight.h"

#include "blit/CFrameInterface.h"
#include "editor/CLevelEditorOptions.h"
#include "game/scripting/CSprite.h"
#include "render/CPointPath.h"
#include "render/CScaledOffsetProxyFrame.h"

namespace {

constexpr float kSortLineHalfLength = 15.0f;

} // namespace

void DrawSpriteWithEditorMarks(CSprite& sprite, CFrameInterface& target, bool selected,
                               const CLevelEditorOptions& options)
{
    const CFPoint& position = sprite.GetPosition();
    if (selected && options.m_OutlineSelectedItems) {
        // Scaled about the sprite's position, so the silhouette stays centred on it.
        COffsetRotateScaleProxyFrame outline;
        outline.SetFrame(&target);
        outline.SetPivot(position);
        outline.SetUniformScale(options.m_SelectedItemScale);
        outline.SetColor(options.m_SelectedItemTint);
        sprite.DrawImage(outline);
    }
    sprite.DrawImage(target);
    if (options.m_ShowYSort) {
        const float y = sprite.GetSortY();
        CColor colour(255, 255, 100, 255);
        target.DrawLineFloat(position.x - kSortLineHalfLength, y, position.x + kSortLineHalfLength, y, colour, 1.0f);
    }
    if (options.m_ShowPolygons) {
        if (CPointPath* area = sprite.GetHitArea()) {
            CColor white(255, 255, 255, 255);
            area->Draw(target, position.x, position.y, white, false, 0, 0);
        }
    }
}
