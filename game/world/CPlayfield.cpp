#include "game/world/CPlayfield.h"

#include "blit/CFrameInterface.h"
#include "foundation/CArrayPOD.h"
#include "objects/CMessage.h"
#include "objects/CPObjectProperty.h"
#include "objects/CStringProperty.h"
#include "sequences/CTextSubstitutionList.h"

#include <cmath>

OMBRISALT_IMPLEMENT_CLASS(CPlayfieldLayer, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CPlayfield, 1.0)

void CPlayfieldLayer::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CPlayfieldLayer::m_Name, "Name", "");
}

CPlayfieldLayer::CPlayfieldLayer()
{
    InitDeclaredProperties();
}

CPlayfieldLayer::~CPlayfieldLayer()
{
    DestroyDeclaredProperties();
}

void CPlayfieldLayer::Update(float) {}
void CPlayfieldLayer::Draw(CFrameInterface&) {}
void CPlayfieldLayer::HandleMessage(CMessage&) {}

CFPoint CPlayfieldLayer::LayerToScreen(CFPoint point)
{
    return point;
}

CFPoint CPlayfieldLayer::ScreenToLayer(CFPoint point)
{
    return point;
}

CRect CPlayfieldLayer::LayerRectToScreen(const CRect&)
{
    return {};
}

CRect CPlayfieldLayer::ScreenRectToLayer(const CRect&)
{
    return {};
}

bool CPlayfieldLayer::ContainsSprite(const CSprite*)
{
    return false;
}

void CPlayfieldLayer::AddSprite(CSprite*) {}
void CPlayfieldLayer::InsertSpriteFirst(CSprite*) {}

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
    DestroyDeclaredProperties();
}

void CPlayfield::Update(float) {}
void CPlayfield::Draw(CFrameInterface&) {}
void CPlayfield::BroadcastMessage(CMessage&) {}
CPlayfieldLayer* CPlayfield::FindLayer(const char*)
{
    return nullptr;
}
CPlayfieldLayer* CPlayfield::FindOrAddLayer(const char*)
{
    return nullptr;
}
void CPlayfield::AddSprite(CSprite*, const char*) {}
uint32_t CPlayfield::InsertSpriteFirst(CSprite*, const char*)
{
    return 0;
}
CPlayfieldLayer* CPlayfield::GetLayer(uint32_t)
{
    return nullptr;
}
CPlayfieldLayer* CPlayfield::GetHUD()
{
    return nullptr;
}
CPlayfieldLayer* CPlayfield::GetTopEditableLayer()
{
    return nullptr;
}
CPlayfieldLayer* CPlayfield::FindLayerOfSprite(const CSprite*)
{
    return nullptr;
}
CSprite* CPlayfield::FindSpriteByReference(const CScriptReferenceToTarget&)
{
    return nullptr;
}
void CPlayfield::FindSpritesByReference(const CScriptReferenceToTarget&, CArrayPOD<CSprite*>&, bool) {}
bool CPlayfield::GetReferencePosition(const CScriptReferenceToTarget&, CFPoint&, const CSprite*)
{
    return false;
}
void CPlayfield::DeleteAllLayers() {}
void CPlayfield::FillDefaultLayers() {}
void CPlayfield::SaveLayerFlagsAndShowAll() {}
void CPlayfield::LoadLayerFlags() {}

CPlayfieldHooks* SetPlayfieldHooks(CPlayfieldHooks* hooks)
{
    return hooks;
}

CPlayfield* GetCurrentPlayfield()
{
    return nullptr;
}

CPlayfield* SetCurrentPlayfield(CPlayfield*)
{
    return nullptr;
}

CLevelHolder::~CLevelHolder() = default;
CObject* CLevelHolder::GetLevel()
{
    return m_Level;
}
void CLevelHolder::HoldCopyOf(CObject*) {}
void CLevelHolder::Release() {}

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
