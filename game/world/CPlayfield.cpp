#include "game/world/CPlayfield.h"

#include "blit/CFrameInterface.h"
#include "foundation/CArrayPOD.h"
#include "foundation/MathHelpers.h"
#include "foundation/SettingsFiles.h"
#include "game/scripting/CScriptPosition.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CLotPlayfieldLayer.h"
#include "game/world/WorldHooks.h"
#include "objects/CMessage.h"
#include "objects/CPObjectProperty.h"
#include "objects/CSlotProperty.h"
#include "objects/CStringProperty.h"
#include "sequences/CTextSubstitutionList.h"

#include <cmath>
#include <cstring>

OMBRISALT_IMPLEMENT_CLASS(CPlayfieldLayer, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CPlayfield, 1.0)

namespace {

CPlayfield* g_CurrentPlayfield = nullptr;

// The layer's sprite array as an array property of owned sprites.
class CSpriteListProperty final : public CPropertyArrayProperty {
public:
    explicit CSpriteListProperty(const char* name)
        : CPropertyArrayProperty(name, new CSlotProperty<CTypedPObjectProperty<CSprite>>("Sprites", nullptr),
                                 ArrayCapacity::Kept, ArrayStorage::ElementArrays, nullptr)
    {
    }

    CProperty* Clone() const override { return new CSpriteListProperty(*this); }
    void* GetValueAddress(CObject* owner) const override { return &static_cast<CPlayfieldLayer*>(owner)->m_Sprites; }
    CPropertyArrayStorage& Storage(CObject* owner) const override
    {
        return static_cast<CPlayfieldLayer*>(owner)->m_Sprites;
    }
};

CPropertyArrayProperty& LayersProperty()
{
    return *static_cast<CPropertyArrayProperty*>(CPlayfield::SGetClassInfo()->FindProperty("Layers List"));
}

bool SameName(const CJString& name, const char* text)
{
    return text && name.CompareNoCase(text) == 0;
}

// Only the lot layer is pickable by default: a designer with no settings file
// can still place and move scenery among the lots, never the HUD or the crews.
bool SelectableByDefault(CPlayfieldLayer& layer)
{
    return layer.IsKindOf(CLotPlayfieldLayer::SGetClassInfo());
}

void DropEmptySpriteSlots(CSpriteArray& sprites)
{
    CSprite** slots = static_cast<CSprite**>(sprites.data);
    uint32_t kept = 0;
    for (uint32_t i = 0; i < sprites.count; ++i)
        if (slots[i])
            slots[kept++] = slots[i];
    sprites.count = kept;
}

} // namespace

void CPlayfieldLayer::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CPlayfieldLayer::m_Name, "Name", "");
    d.AddProperty(new CSpriteListProperty("Sprites List"));
}

CPlayfieldLayer::CPlayfieldLayer()
{
    InitDeclaredProperties();
}

CPlayfieldLayer::~CPlayfieldLayer()
{
    // Last first, as the sprite array does; the property then finds it empty.
    while (m_Sprites.GetCount()) {
        const uint32_t last = m_Sprites.GetCount() - 1;
        CSprite* sprite = m_Sprites.GetAt(last);
        m_Sprites[last] = nullptr;
        --m_Sprites.count;
        delete sprite;
    }
    DestroyDeclaredProperties();
}

void CPlayfieldLayer::Update(float)
{
    m_Sprites.Update();
}

void CPlayfieldLayer::Draw(CFrameInterface& frame)
{
    m_Sprites.Draw(frame);
}

void CPlayfieldLayer::HandleMessage(CMessage& message)
{
    m_Sprites.BroadcastMessage(message);
}

CFPoint CPlayfieldLayer::LayerToScreen(CFPoint point)
{
    return point;
}

CFPoint CPlayfieldLayer::ScreenToLayer(CFPoint point)
{
    return point;
}

CRect CPlayfieldLayer::LayerRectToScreen(const CRect& rect)
{
    const CFPoint topLeft = LayerToScreen({float(rect.left), float(rect.top)});
    const CFPoint bottomRight = LayerToScreen({float(rect.right), float(rect.bottom)});
    return {RoundToIntHeld(topLeft.x), RoundToIntHeld(topLeft.y), RoundToIntHeld(bottomRight.x),
            RoundToIntHeld(bottomRight.y)};
}

CRect CPlayfieldLayer::ScreenRectToLayer(const CRect& rect)
{
    const CFPoint topLeft = ScreenToLayer({float(rect.left), float(rect.top)});
    const CFPoint bottomRight = ScreenToLayer({float(rect.right), float(rect.bottom)});
    return {RoundToIntHeld(topLeft.x), RoundToIntHeld(topLeft.y), RoundToIntHeld(bottomRight.x),
            RoundToIntHeld(bottomRight.y)};
}

bool CPlayfieldLayer::ContainsSprite(const CSprite* sprite)
{
    for (uint32_t i = 0; i < m_Sprites.GetCount(); ++i)
        if (m_Sprites.GetAt(i) == sprite)
            return true;
    return false;
}

void CPlayfieldLayer::OnLoaded(CUntypedCObjectPointer* holder)
{
    CPlayfieldLayer::BaseClass::OnLoaded(holder);
    DropEmptySpriteSlots(m_Sprites);
}

bool CPlayfieldLayer::ReadExtraBinary(CObjectStream& stream)
{
    DropEmptySpriteSlots(m_Sprites);
    return CPlayfieldLayer::BaseClass::ReadExtraBinary(stream);
}

void CPlayfieldLayer::AddSprite(CSprite* sprite)
{
    m_Sprites.Add(sprite);
}

void CPlayfieldLayer::InsertSpriteFirst(CSprite* sprite)
{
    m_Sprites.InsertAtFront(sprite);
}

void CPlayfield::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CPlayfield::m_Name, "Name", "");
    d.AddArray<CTypedPObjectProperty<CPlayfieldLayer>>(&CPlayfield::m_Layers, "Layers List", "Layers", nullptr);
}

CPlayfield::CPlayfield()
{
    InitDeclaredProperties();
}

CPlayfield::~CPlayfield()
{
    if (g_CurrentPlayfield == this)
        g_CurrentPlayfield = nullptr;
    DeleteAllLayers();
    DestroyDeclaredProperties();
}

// Each loop reads the count afresh: a sprite's update may add a layer.
void CPlayfield::Update(float seconds)
{
    for (uint32_t i = 0; i < m_Layers.GetCount(); ++i)
        if (CPlayfieldLayer* layer = m_Layers[i])
            layer->Update(seconds);
    GetGameScreensHooks().AdvanceAchievementTimers(seconds);
}

void CPlayfield::Draw(CFrameInterface& frame)
{
    for (uint32_t i = 0; i < m_Layers.GetCount(); ++i) {
        CPlayfieldLayer* layer = m_Layers[i];
        if (layer && layer->m_VisibleInEditor)
            layer->Draw(frame);
    }
}

void CPlayfield::BroadcastMessage(CMessage& message)
{
    for (uint32_t i = m_Layers.GetCount(); i-- > 0;) {
        if (i >= m_Layers.GetCount())
            continue;
        if (CPlayfieldLayer* layer = m_Layers[i])
            layer->HandleMessage(message);
    }
}

CPlayfieldLayer* CPlayfield::FindLayer(const char* name)
{
    for (uint32_t i = 0; i < m_Layers.GetCount(); ++i) {
        CPlayfieldLayer* layer = m_Layers[i];
        if (layer && SameName(layer->m_Name, name))
            return layer;
    }
    return nullptr;
}

CPlayfieldLayer* CPlayfield::FindOrAddLayer(const char* name)
{
    if (CPlayfieldLayer* layer = FindLayer(name))
        return layer;
    auto* layer = new CPlayfieldLayer;
    layer->ResetToDefaults();
    layer->m_Name = name ? name : "";
    AppendLayer(layer);
    return layer;
}

void CPlayfield::AppendLayer(CPlayfieldLayer* layer)
{
    const uint32_t count = m_Layers.GetCount();
    LayersProperty().ArrayProperty_SetCount(this, count + 1);
    m_Layers[count] = layer;
}

void CPlayfield::AddSprite(CSprite* sprite, const char* layerName)
{
    FindOrAddLayer(layerName)->AddSprite(sprite);
}

uint32_t CPlayfield::InsertSpriteFirst(CSprite* sprite, const char* layerName)
{
    FindOrAddLayer(layerName)->InsertSpriteFirst(sprite);
    return 0;
}

CPlayfieldLayer* CPlayfield::GetLayer(uint32_t index)
{
    return index < m_Layers.GetCount() ? m_Layers[index] : nullptr;
}

CHUD* CPlayfield::GetHUD()
{
    for (uint32_t i = 0; i < m_Layers.GetCount(); ++i)
        if (auto* hud = dynamic_cast<CHUD*>(m_Layers[i]))
            return hud;
    return nullptr;
}

CPlayfieldLayer* CPlayfield::GetTopEditableLayer()
{
    for (uint32_t i = m_Layers.GetCount(); i-- > 0;) {
        CPlayfieldLayer* layer = m_Layers[i];
        if (layer && layer->m_VisibleInEditor && layer->m_SelectableInEditor)
            return layer;
    }
    return nullptr;
}

CPlayfieldLayer* CPlayfield::FindLayerOfSprite(const CSprite* sprite)
{
    for (uint32_t i = 0; i < m_Layers.GetCount(); ++i) {
        CPlayfieldLayer* layer = m_Layers[i];
        if (layer && layer->ContainsSprite(sprite))
            return layer;
    }
    return nullptr;
}

CSprite* CPlayfield::FindSpriteByReference(const CScriptReferenceToTarget& reference)
{
    if (reference.m_Name.IsEmpty())
        return nullptr;
    for (uint32_t i = 0; i < m_Layers.GetCount(); ++i) {
        CPlayfieldLayer* layer = m_Layers[i];
        if (!layer)
            continue;
        for (uint32_t j = 0; j < layer->GetSpriteCount(); ++j) {
            CSprite* sprite = layer->GetSprite(j);
            if (sprite && reference.Matches(sprite->GetName(), false))
                return sprite;
        }
    }
    return nullptr;
}

void CPlayfield::FindSpritesByReference(const CScriptReferenceToTarget& reference, CArrayPOD<CSprite*>& out, bool loose)
{
    for (uint32_t i = 0; i < m_Layers.GetCount(); ++i) {
        CPlayfieldLayer* layer = m_Layers[i];
        if (!layer)
            continue;
        for (uint32_t j = 0; j < layer->GetSpriteCount(); ++j) {
            CSprite* sprite = layer->GetSprite(j);
            if (sprite && reference.Matches(sprite->GetName(), loose))
                out.Append(sprite);
        }
    }
}

bool CPlayfield::GetReferencePosition(const CScriptReferenceToTarget& reference, CFPoint& out, const CSprite* own)
{
    if (const CSprite* sprite = FindSpriteByReference(reference)) {
        out = sprite->GetPosition();
        return true;
    }
    if (own && reference.m_Name.CompareNoCase("this") == 0) {
        out = own->GetPosition();
        return true;
    }
    return false;
}

void CPlayfield::DeleteAllLayers()
{
    for (uint32_t i = m_Layers.GetCount(); i-- > 0;) {
        CPlayfieldLayer* layer = m_Layers[i];
        m_Layers[i] = nullptr;
        delete layer;
    }
    LayersProperty().ArrayProperty_SetCount(this, 0);
}

void CPlayfield::FillDefaultLayers()
{
    DeleteAllLayers();
    for (const char* name : {"Lot", "Customers", "HUD", "Crew", "Effects", "UI"}) {
        if (std::strcmp(name, "Lot") == 0) {
            auto* lots = new CLotPlayfieldLayer;
            lots->m_Name = name;
            AppendLayer(lots);
            continue;
        }
        if (std::strcmp(name, "HUD") == 0) {
            auto* hud = new CHUD;
            hud->m_Name = name;
            AppendLayer(hud);
            continue;
        }
        FindOrAddLayer(name);
    }
}

void CPlayfield::SaveLayerFlagsAndShowAll()
{
    for (uint32_t i = 0; i < m_Layers.GetCount(); ++i) {
        CPlayfieldLayer* layer = m_Layers[i];
        if (!layer)
            continue;
        const char* key = layer->m_Name.GetString();
        SetIniInt(kEditorSettingsFile, kEditorVisibleLayersSection, key, layer->m_VisibleInEditor ? 1 : 0);
        SetIniInt(kEditorSettingsFile, kEditorSelectableLayersSection, key, layer->m_SelectableInEditor ? 1 : 0);
        layer->m_VisibleInEditor = true;
        layer->m_SelectableInEditor = true;
    }
}

void CPlayfield::LoadLayerFlags()
{
    for (uint32_t i = 0; i < m_Layers.GetCount(); ++i) {
        CPlayfieldLayer* layer = m_Layers[i];
        if (!layer)
            continue;
        const char* key = layer->m_Name.GetString();
        layer->m_VisibleInEditor = GetIniBool(kEditorSettingsFile, kEditorVisibleLayersSection, key, true);
        layer->m_SelectableInEditor
            = GetIniBool(kEditorSettingsFile, kEditorSelectableLayersSection, key, SelectableByDefault(*layer));
    }
}

CPlayfield* GetCurrentPlayfield()
{
    if (g_CurrentPlayfield)
        return g_CurrentPlayfield;
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    return level ? &level->GetPlayfield() : nullptr;
}

CPlayfield* SetCurrentPlayfield(CPlayfield* playfield)
{
    CPlayfield* previous = g_CurrentPlayfield;
    g_CurrentPlayfield = playfield;
    return previous;
}

CLevelHolder::~CLevelHolder()
{
    Release();
}

CObject* CLevelHolder::GetLevel()
{
    if (CObject* viewed = GetGameScreensHooks().GetViewedLevel())
        return viewed;
    if (m_Level)
        return m_Level;
    CLevelSet* levels = FindLevels();
    return levels ? levels->GetLevel(GetCurrentLevelIndex()) : nullptr;
}

// The copy is made before the old one goes, so holding a copy of the held
// level itself is safe.
void CLevelHolder::HoldCopyOf(CObject* level)
{
    CObject* copy = level ? level->Clone() : nullptr;
    Release();
    m_Level = copy;
}

void CLevelHolder::Release()
{
    CObject* level = m_Level;
    m_Level = nullptr;
    m_PlayEnded = false;
    delete level;
}

CLevelHolder& GetLevelHolder()
{
    static CLevelHolder holder;
    return holder;
}

CTextSubstitutionList& GetGlobalTextSubstitutions()
{
    static CTextSubstitutionList list;
    return list;
}
