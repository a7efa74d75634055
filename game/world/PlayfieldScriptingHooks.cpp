#include "game/world/PlayfieldScriptingHooks.h"

#include "game/scripting/ScriptingHooks.h"
#include "game/world/CGameApp.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CPlayfield.h"
#include "game/world/CPowerUpText.h"

namespace {

class CPlayfieldScriptingHooks final : public CScriptingHooks {
public:
    void FindSpritesByReference(const CScriptReferenceToTarget& reference, CArrayPOD<CSprite*>& out,
                                bool loose) override
    {
        if (CPlayfield* playfield = GetCurrentPlayfield())
            playfield->FindSpritesByReference(reference, out, loose);
    }
    void BroadcastToCurrentPlayfield(CMessage& message) override
    {
        if (CPlayfield* playfield = GetCurrentPlayfield())
            playfield->BroadcastMessage(message);
    }
    bool GetReferencePosition(const CScriptReferenceToTarget& reference, CFPoint& out, CSprite* own) override
    {
        CPlayfield* playfield = GetCurrentPlayfield();
        return playfield && playfield->GetReferencePosition(reference, out, own);
    }
    CFPoint ScreenToLayerOfSprite(CSprite* sprite, CFPoint point) override
    {
        CPlayfield* playfield = GetCurrentPlayfield();
        CPlayfieldLayer* layer = playfield ? playfield->FindLayerOfSprite(sprite) : nullptr;
        return layer ? layer->ScreenToLayer(point) : point;
    }
    bool AddSpriteToLayer(CSprite* sprite, const char* layerName, LayerEnd end) override
    {
        CPlayfield* playfield = GetCurrentPlayfield();
        if (!playfield || !sprite)
            return false;
        if (end == LayerEnd::Front)
            playfield->InsertSpriteFirst(sprite, layerName);
        else
            playfield->AddSprite(sprite, layerName);
        return true;
    }
    void SpawnPowerUpText(CFPoint position, const CJString& text) override { ::SpawnPowerUpText(position, text); }
    void SendToCurrentLevel(CMessage& message) override
    {
        if (CLevelOptions* level = CLevelOptions::SGetCurrent())
            level->HandleMessage(message);
    }
    // The screens fill the screen table; asking it keeps this table the
    // world's one.
    bool IsNeighborhoodViewerOpen() override
    {
        return GetGameScreensHooks().IsScreenOpen(EGameScreen::NeighbourhoodViewer);
    }
};

} // namespace

void InstallPlayfieldScriptingHooks()
{
    // Kept for the whole run, as every installed hook is.
    static CPlayfieldScriptingHooks hooks;
    SetScriptingHooks(&hooks);
}
