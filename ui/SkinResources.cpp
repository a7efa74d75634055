#include "ui/SkinResources.h"

#include "foundation/CVirtualArray.h"
#include "images/CFontList.h"
#include "images/CFrameList.h"
#include "objects/CObjectStream.h"
#include "sound/CSoundList.h"

namespace {

CVirtualArray* g_SkinResourceList = nullptr;
CFrameList* g_SkinFrames = nullptr;
CFrame* g_SharedFrames[4] = {};
bool g_SharedFramesLoaded = false;

} // namespace

void SetSkinResources(CVirtualArray* first, CFrameList* frames)
{
    g_SkinResourceList = first;
    g_SkinFrames = frames;
    g_SharedFramesLoaded = false;
    for (CFrame*& frame : g_SharedFrames)
        frame = nullptr;
}

void LoadSharedWindowFrames()
{
    if (g_SharedFramesLoaded)
        return;
    g_SharedFramesLoaded = true;
    CFrame* texture = FindSkinFrame("Window Texture");
    CFrame* title = FindSkinFrame("Window Title Tile");
    CFrame* inactiveTexture = FindSkinFrame("Inactive Window Texture");
    CFrame* inactiveTitle = FindSkinFrame("Inactive Window Title Tile");
    g_SharedFrames[int(SharedFrame::WindowTexture)] = texture;
    g_SharedFrames[int(SharedFrame::WindowTitleTile)] = title;
    g_SharedFrames[int(SharedFrame::InactiveWindowTexture)] = inactiveTexture ? inactiveTexture : texture;
    g_SharedFrames[int(SharedFrame::InactiveWindowTitleTile)] = inactiveTitle ? inactiveTitle : title;
}

CFrame* GetSharedWindowFrame(SharedFrame which)
{
    return g_SharedFrames[int(which)];
}

CVirtualArray* GetSkinResourceList()
{
    return g_SkinResourceList;
}

CFrameList* GetSkinFrameList()
{
    return g_SkinFrames;
}

CFrame* GetSkinFrame(int32_t index)
{
    if (!g_SkinFrames || index < 0 || index >= g_SkinFrames->GetCount())
        return nullptr;
    return g_SkinFrames->GetObject(index);
}

CFrame* FindSkinFrame(const char* name)
{
    if (!g_SkinFrames || !name)
        return nullptr;
    return GetSkinFrame(g_SkinFrames->Find(name));
}

CFont* GetListFont(int32_t index)
{
    CFontList& fonts = GetFontList();
    if (index < 0 || index >= fonts.GetCount())
        return nullptr;
    return fonts.GetObject(index);
}

int32_t CSkinListProperty::Resolve(const CJString& text) const
{
    CVirtualArray* list = GetList();
    if (!list || text.IsEmpty())
        return -1;
    CJString narrow(text);
    if (narrow.IsWide())
        narrow.ToNarrow();
    return list->Find(narrow.GetString());
}

void CSkinListProperty::SetValueFromText(CObject* object, const CJString& text, CObjectStream*) const
{
    Store(object, Resolve(text));
}

bool CSkinListProperty::ReadBinary(CObject* object, CObjectStream& stream) const
{
    CJString name;
    if (!stream.ReadCountedText(name))
        return false;
    Store(object, Resolve(name));
    return true;
}

CVirtualArray* SkinFrameListGetter()
{
    return g_SkinFrames;
}

CVirtualArray* FontListGetter()
{
    return &GetFontList();
}

CVirtualArray* SoundListGetter()
{
    return &CSoundList::SGetGlobal();
}
