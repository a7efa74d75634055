#pragma once
// What sprites and scripts ask of the layers above them (the playfield, the
// game screens, the editors), which this library may not include. The game
// world installs a CScriptingHooks at start-up; until then every question
// gets the do-nothing answer written here: no sprite found, no layer, no
// editor, nothing broadcast.
#include "foundation/CArrayPOD.h"
#include "foundation/CFPoint.h"
#include "foundation/CJString.h"
#include "foundation/UpwardHook.h"

class CFrameInterface;
class CMessage;
class CScriptReferenceToTarget;
class CSprite;

enum class LayerEnd { Front, Back };

class CScriptingHooks {
public:
    virtual ~CScriptingHooks() = default;

    // The current playfield.
    // Appends every sprite of every layer, layers and sprites in order, that
    // the reference matches (loose: the loose comparison).
    virtual void FindSpritesByReference(const CScriptReferenceToTarget&, CArrayPOD<CSprite*>& /*out*/, bool /*loose*/)
    {
    }
    // Every layer, last first; each layer's sprites in order.
    virtual void BroadcastToCurrentPlayfield(CMessage&) {}
    // The position of the sprite the reference names; for "this" without a
    // match, the own sprite's. False when there is none.
    virtual bool GetReferencePosition(const CScriptReferenceToTarget&, CFPoint& /*out*/, CSprite* /*own*/)
    {
        return false;
    }
    // Through ScreenToLayer of the layer holding the sprite; unchanged when
    // no layer holds it.
    virtual CFPoint ScreenToLayerOfSprite(CSprite*, CFPoint point) { return point; }
    // Puts the sprite into the named layer (made when missing) at that end
    // and answers true; false when there is no playfield: the caller still
    // owns the sprite.
    virtual bool AddSpriteToLayer(CSprite*, const char* /*layerName*/, LayerEnd) { return false; }
    // The current level's message handler.
    virtual void SendToCurrentLevel(CMessage&) {}
    // A rising power-up text showing the text at the layer position, on the
    // current playfield's "Effects" layer; nothing without a playfield.
    virtual void SpawnPowerUpText(CFPoint /*position*/, const CJString& /*text*/) {}

    // Game screens: while the neighbourhood viewer shows, scripts pause.
    virtual bool IsNeighborhoodViewerOpen() { return false; }

    // Editors: draws the sprite's image pass with the level editor's marks
    // and answers true; false: the sprite draws itself.
    virtual bool DrawSpriteInEditor(CSprite&, CFrameInterface&) { return false; }
};

// Installs hooks (null: the defaults); returns the previous ones. The caller
// keeps ownership.
CScriptingHooks* SetScriptingHooks(CScriptingHooks* hooks);
OMBRISALT_UPWARD_HOOK(SetScriptingHooks);

// The installed hooks, or the defaults.
CScriptingHooks& GetScriptingHooks();

// Whether the level editor is open, through SetLevelEditorOpenQuery
// (CFrameSelector.h); false until the editor installs it.
bool IsLevelEditorOpen();
