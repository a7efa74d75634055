#include "game/world/CLevelSet.h"

#include "game/world/CGeneralObjects.h"
#include "objects/CPObjectProperty.h"
#include "objects/ObjectFileCallbacks.h"

OMBRISALT_IMPLEMENT_ABSTRACT_CLASS(CLevelSet, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CLevelSetUserMade, 1.0)

namespace {

// Kept for the whole run; an edit of a set forgets them.
bool g_FirstTutorialKnown = false;
uint32_t g_FirstTutorial = CLevelSet::kNoTutorialLevel;
bool g_LastTutorialKnown = false;
uint32_t g_LastTutorial = CLevelSet::kNoTutorialLevel;
uint32_t g_CurrentLevelIndex = 0;

CPropertyArrayProperty& LevelListProperty()
{
    return *static_cast<CPropertyArrayProperty*>(CLevelSetUserMade::SGetClassInfo()->FindProperty("Level List"));
}

template <typename Marked>
uint32_t FindMarkedLevel(CLevelSet& set, Marked marked)
{
    const uint32_t count = set.GetCount();
    for (uint32_t i = 0; i < count; ++i)
        if (CLevelOptions* level = set.GetLevel(i); level && marked(*level))
            return i;
    return CLevelSet::kNoTutorialLevel;
}

// A level set that is a general object is saved to the file it came from,
// so the sorter and the editors can write "Levels" back.
bool FindFileOfGeneralLevelSet(const CObject* object, CJString* name)
{
    if (!object || !object->IsKindOf(CLevelSet::SGetClassInfo()))
        return false;
    CGeneralObjectsList& list = GetGeneralObjects();
    if (!list.IsEnumerated())
        return false;
    const int32_t index = list.FindObjectIndex(object);
    if (index < 0)
        return false;
    CJString found(list.GetFolderName());
    found.AppendPath(list.GetItemNameString(index).GetString());
    found.Append(".Object.txt");
    if (name)
        *name = found;
    return true;
}

} // namespace

void CLevelSet::DeclareProperties(CPropertyDeclarer&) {}

CLevelSet::CLevelSet()
{
    InitDeclaredProperties();
}

CLevelSet::~CLevelSet()
{
    DestroyDeclaredProperties();
}

uint32_t CLevelSet::GetCount()
{
    return 0;
}

CLevelOptions* CLevelSet::GetLevel(uint32_t)
{
    return nullptr;
}

void CLevelSet::GetLevelName(CJString& out, uint32_t index)
{
    CLevelOptions* level = GetLevel(index);
    if (!level) {
        out.Set("");
        return;
    }
    const CJString& translated = level->m_DisplayName.GetTranslation();
    out = translated.IsNotEmpty() ? translated : level->m_DisplayName.GetText();
}

void CLevelSet::SwapLevels(uint32_t, uint32_t) {}

void CLevelSet::InsertLevel(uint32_t, CLevelOptions* level)
{
    delete level;
}

void CLevelSet::RemoveLevel(uint32_t) {}

uint32_t CLevelSet::GetFirstTutorialLevelIndex()
{
    if (!g_FirstTutorialKnown) {
        g_FirstTutorial = FindMarkedLevel(*this, [](CLevelOptions& level) { return level.m_IsTutorialLevel; });
        g_FirstTutorialKnown = g_FirstTutorial != kNoTutorialLevel;
    }
    return g_FirstTutorial;
}

uint32_t CLevelSet::GetLastTutorialLevelIndex()
{
    if (!g_LastTutorialKnown) {
        g_LastTutorial = FindMarkedLevel(*this, [](CLevelOptions& level) { return level.m_IsLastTutorialLevel; });
        g_LastTutorialKnown = g_LastTutorial != kNoTutorialLevel;
    }
    return g_LastTutorial;
}

void CLevelSet::SForgetTutorialIndices()
{
    g_FirstTutorialKnown = false;
    g_LastTutorialKnown = false;
    g_FirstTutorial = kNoTutorialLevel;
    g_LastTutorial = kNoTutorialLevel;
}

void CLevelSetUserMade::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddArray<CTypedPObjectProperty<CLevelOptions>>(&CLevelSetUserMade::m_LevelArray, "Levels/Level List", "Level",
                                                     nullptr);
}

CLevelSetUserMade::CLevelSetUserMade()
{
    InitDeclaredProperties();
}

CLevelSetUserMade::~CLevelSetUserMade()
{
    DestroyDeclaredProperties();
}

uint32_t CLevelSetUserMade::GetCount()
{
    return m_LevelArray.GetCount();
}

CLevelOptions* CLevelSetUserMade::GetLevel(uint32_t index)
{
    return index < m_LevelArray.GetCount() ? m_LevelArray[index] : nullptr;
}

void CLevelSetUserMade::SwapLevels(uint32_t i, uint32_t j)
{
    if (i >= m_LevelArray.GetCount() || j >= m_LevelArray.GetCount())
        return;
    std::swap(m_LevelArray[i], m_LevelArray[j]);
    SForgetTutorialIndices();
}

void CLevelSetUserMade::InsertLevel(uint32_t index, CLevelOptions* level)
{
    if (!level) {
        level = new CLevelOptions;
        level->ResetToDefaults();
    }
    const uint32_t count = m_LevelArray.GetCount();
    if (index > count)
        index = count;
    LevelListProperty().ArrayProperty_SetCount(this, count + 1, int32_t(index));
    m_LevelArray[index] = level;
    SForgetTutorialIndices();
}

void CLevelSetUserMade::RemoveLevel(uint32_t index)
{
    const uint32_t count = m_LevelArray.GetCount();
    if (index >= count)
        return;
    CLevelOptions* level = m_LevelArray[index];
    m_LevelArray[index] = nullptr;
    LevelListProperty().ArrayProperty_SetCount(this, count - 1, int32_t(index));
    delete level;
    SForgetTutorialIndices();
}

CLevelSet* GetLevels()
{
    return &GetGeneralObjectAs<CLevelSet>("Levels");
}

CLevelSet* FindLevels()
{
    CGeneralObjectsList& list = GetGeneralObjects();
    const int32_t index = list.Find("Levels");
    if (index < 0)
        return nullptr;
    CObject* object = list.GetObjectAt(index);
    return object && object->IsKindOf(CLevelSet::SGetClassInfo()) ? static_cast<CLevelSet*>(object) : nullptr;
}

uint32_t GetCurrentLevelIndex()
{
    return g_CurrentLevelIndex;
}

void SetCurrentLevelIndex(uint32_t index)
{
    g_CurrentLevelIndex = index;
}

void RegisterLevelSetFileNames()
{
    static bool registered = false;
    if (!registered) {
        registered = true;
        RegisterObjectFileNameCallback(&FindFileOfGeneralLevelSet);
    }
}
