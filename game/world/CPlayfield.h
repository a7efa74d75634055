#pragma once
// The playfield: an ordered, named list of layers, each an ordered list of
// sprites. The first layer is the lowest: layers update and draw first to
// last, and messages reach them last to first, so the top layer ("UI") sees
// a click before the ground does. Layer names compare without regard to
// case.
//
// The editor keeps two flags per layer (shown, pickable) in the editor
// settings file, keyed by layer name; entering the editor saves them and
// shows everything, leaving it loads them back.
//
// The level being played is a copy held by the level holder, so play never
// touches the stored level; the current playfield is the one that level
// embeds. A playfield set with SetCurrentPlayfield stands in front of it
// (tools and tests that drive a bare playfield); a playfield that is
// destroyed while set stops being current.
#include "foundation/CFPoint.h"
#include "foundation/CJString.h"
#include "foundation/CRect.h"
#include "game/scripting/CSprite.h"
#include "objects/CObject.h"
#include "objects/CPropertyArrayProperty.h"

#include <cstdint>

class CFrameInterface;
class CHUD;
class CMessage;
class CScriptReferenceToTarget;
class CTextSubstitutionList;
template <typename T>
class CArrayPOD;

// The editor settings file and its two sections.
inline constexpr const char* kEditorSettingsFile = ".\\Quenthal Editor.ini";
inline constexpr const char* kEditorVisibleLayersSection = "Editor Visible Layers";
inline constexpr const char* kEditorSelectableLayersSection = "Editor Selectable Layers";

class CPlayfieldLayer : public CObject {
    OMBRISALT_REFLECTED(CPlayfieldLayer, CObject)
public:
    CPlayfieldLayer();
    ~CPlayfieldLayer() override;

    virtual void Update(float seconds);
    virtual void Draw(CFrameInterface& frame);
    // Every sprite in order gets the message.
    virtual void HandleMessage(CMessage& message);
    // The plain layer does not move its sprites: both maps are the identity.
    virtual CFPoint LayerToScreen(CFPoint point);
    virtual CFPoint ScreenToLayer(CFPoint point);
    // Both corners mapped, each coordinate rounded to the nearest integer.
    virtual CRect LayerRectToScreen(const CRect& rect);
    virtual CRect ScreenRectToLayer(const CRect& rect);
    virtual bool ContainsSprite(const CSprite* sprite);

    // Damaged data may leave empty slots in the sprite list; they are
    // dropped once the layer is read.
    void OnLoaded(CUntypedCObjectPointer* holder) override;
    bool ReadExtraBinary(CObjectStream& stream) override;

    // Appends; the layer owns the sprite from then on.
    void AddSprite(CSprite* sprite);
    void InsertSpriteFirst(CSprite* sprite);
    uint32_t GetSpriteCount() const { return m_Sprites.GetCount(); }
    // Null out of range.
    CSprite* GetSprite(uint32_t index) const { return index < m_Sprites.GetCount() ? m_Sprites.GetAt(index) : nullptr; }
    CSpriteArray& GetSprites() { return m_Sprites; }

    CJString m_Name;
    CSpriteArray m_Sprites; // owned
    bool m_VisibleInEditor = true;
    bool m_SelectableInEditor = true;
};

class CPlayfield : public CObject {
    OMBRISALT_REFLECTED(CPlayfield, CObject)
public:
    CPlayfield();
    ~CPlayfield() override;

    // Each layer first to last, then the player's achievement timers.
    void Update(float seconds);
    // The layers shown in the editor, first to last.
    void Draw(CFrameInterface& frame);
    void BroadcastMessage(CMessage& message);

    CPlayfieldLayer* FindLayer(const char* name);
    // A missing layer is appended after all others.
    CPlayfieldLayer* FindOrAddLayer(const char* name);
    // Appends a layer the playfield then owns (derived layers come this way).
    void AppendLayer(CPlayfieldLayer* layer);
    void AddSprite(CSprite* sprite, const char* layerName);
    // The slot the sprite now holds in its layer (always the first).
    uint32_t InsertSpriteFirst(CSprite* sprite, const char* layerName);
    // Null out of range.
    CPlayfieldLayer* GetLayer(uint32_t index);
    uint32_t GetLayerCount() const { return m_Layers.GetCount(); }
    // The first layer that is a CHUD; null when there is none.
    CHUD* GetHUD();
    // The last layer both shown and pickable in the editor.
    CPlayfieldLayer* GetTopEditableLayer();
    CPlayfieldLayer* FindLayerOfSprite(const CSprite* sprite);

    // The first sprite, layers and sprites in order, whose name equals the
    // reference's; null for an empty reference name.
    CSprite* FindSpriteByReference(const CScriptReferenceToTarget& reference);
    // Appends every match, in the same order; loose ignores blanks as well.
    void FindSpritesByReference(const CScriptReferenceToTarget& reference, CArrayPOD<CSprite*>& out, bool loose);
    // The matching sprite's position; with none, own's for the name "this".
    bool GetReferencePosition(const CScriptReferenceToTarget& reference, CFPoint& out, const CSprite* own);

    void DeleteAllLayers();
    // "Lot", "Customers", "HUD", "Crew", "Effects", "UI", after deleting any.
    void FillDefaultLayers();
    void SaveLayerFlagsAndShowAll();
    // Missing entries: shown, and pickable only for the lot layer.
    void LoadLayerFlags();

    CJString m_Name;
    CPropertyArray<CPlayfieldLayer*> m_Layers; // owned, deleted last first
};

// The playfield set by hand, else the one the current level embeds; null
// when there is neither.
CPlayfield* GetCurrentPlayfield();
// Returns the playfield that was set; the caller keeps ownership.
CPlayfield* SetCurrentPlayfield(CPlayfield* playfield);

// Holds an owned copy of the level being played, and whether its play has
// ended: a street is recorded and paid once, however often the screens over
// it close.
class CLevelHolder {
public:
    CLevelHolder() = default;
    CLevelHolder(const CLevelHolder&) = delete;
    CLevelHolder& operator=(const CLevelHolder&) = delete;
    ~CLevelHolder();

    // The viewed level while the neighbourhood viewer is open, else the held
    // copy, else the entry of "Levels" at the current level index; null when
    // none of them is there.
    CObject* GetLevel();
    // Both start a new play.
    void HoldCopyOf(CObject* level);
    void Release();
    void EndPlay() { m_PlayEnded = true; }
    bool IsPlayEnded() const { return m_PlayEnded; }

private:
    CObject* m_Level = nullptr;
    bool m_PlayEnded = false;
};
CLevelHolder& GetLevelHolder();

// Put here for one frame's display: the game update empties it every frame.
CTextSubstitutionList& GetGlobalTextSubstitutions();
