#include "game/world/CLevelSet.h"

#include "foundation/FilePaths.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/WorldHooks.h"
#include "objects/CObjectStream.h"
#include "objects/CPObjectProperty.h"
#include "objects/ObjectFileCallbacks.h"
#include "platform/ReplacementGroup.h"

#include <string>

OMBRISALT_IMPLEMENT_ABSTRACT_CLASS(CLevelSet, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CLevelSetUserMade, 1.0)

namespace {

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

// "Levels" and what the screens renumbered with it, replaced as one so the
// files agree on which level a number means whatever stops the save.
bool SaveLevelsTogether(CLevelSet& levels, CJString& failedFile)
{
    CJString name;
    if (!FindObjectFileName(&levels, &name)) {
        failedFile = "Levels";
        return false;
    }
    std::unique_ptr<CLevelSet> merged;
    if (!levels.MergeWithFile(name.GetString(), merged)) {
        failedFile = name;
        return false;
    }
    plat::CReplacementGroup group;
    if (!(merged ? *merged : levels).SaveToFile(name.GetString(), 0)) {
        failedFile = name;
        return false;
    }
    if (!GetGameScreensHooks().SaveRenumberedLevelData(failedFile))
        return false;
    std::string failedPath;
    if (!group.Commit(&failedPath)) {
        // A disk path: named below the data folder where it lies there.
        const std::string data = GetBaseDiskFolder(0);
        const bool inData = !data.empty() && failedPath.compare(0, data.size(), data) == 0;
        failedFile = (inData ? failedPath.substr(data.size()) : failedPath).c_str();
        return false;
    }
    GetGameScreensHooks().RenumberedLevelDataSaved();
    levels.SetUnsavedOrder(false);
    levels.NoteAsOnDisk();
    return true;
}

bool SaveLevelsWithRenumberedData(const CObject* object, bool& saved)
{
    CLevelSet* levels = FindLevels();
    if (!levels || object != levels)
        return false;
    CJString failed;
    saved = SaveLevelsTogether(*levels, failed);
    if (!saved)
        NoteFailedSaveFile(failed);
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
    if (!m_FirstTutorialKnown) {
        m_FirstTutorial = FindMarkedLevel(*this, [](CLevelOptions& level) { return level.m_IsTutorialLevel; });
        m_FirstTutorialKnown = m_FirstTutorial != kNoTutorialLevel;
    }
    return m_FirstTutorial;
}

uint32_t CLevelSet::GetLastTutorialLevelIndex()
{
    if (!m_LastTutorialKnown) {
        m_LastTutorial = FindMarkedLevel(*this, [](CLevelOptions& level) { return level.m_IsLastTutorialLevel; });
        m_LastTutorialKnown = m_LastTutorial != kNoTutorialLevel;
    }
    return m_LastTutorial;
}

void CLevelSet::ForgetTutorialIndices()
{
    m_FirstTutorialKnown = false;
    m_LastTutorialKnown = false;
    m_FirstTutorial = kNoTutorialLevel;
    m_LastTutorial = kNoTutorialLevel;
}

void CLevelSet::NoteAsOnDisk()
{
    m_AsOnDisk.reset(Clone());
    m_RowOnDisk.resize(GetCount());
    for (uint32_t i = 0; i < GetCount(); ++i)
        m_RowOnDisk[i] = int32_t(i);
}

bool CLevelSet::MergeWithFile(const char* fileName, std::unique_ptr<CLevelSet>& merged)
{
    merged.reset();
    auto* noted = static_cast<CLevelSet*>(m_AsOnDisk.get());
    if (!noted || m_RowOnDisk.size() != GetCount() || !FileExists(fileName, 0))
        return true;
    // Read as any outside text: a hand's mistake must not end the program.
    CObjectStream stream;
    if (!stream.Open(fileName, FILE_READ | FILE_IN_MEMORY, IdMode::WithoutIds))
        return false;
    stream.SetQuiet(true);
    stream.SetUntrusted(true);
    std::unique_ptr<CObject> read(LoadObjectFromStream(stream, ReportUnknownClass::Quiet));
    stream.Finish();
    stream.Close();
    auto* file = dynamic_cast<CLevelSet*>(read.get());
    if (!file)
        return false;
    if (file->IsEqualTo(noted))
        return true;
    if (file->GetCount() != noted->GetCount())
        return false;
    merged.reset(static_cast<CLevelSet*>(Clone()));
    for (uint32_t i = 0; i < GetCount(); ++i) {
        const int32_t row = m_RowOnDisk[i];
        CLevelOptions* level = GetLevel(i);
        CLevelOptions* was = row >= 0 ? noted->GetLevel(uint32_t(row)) : nullptr;
        CLevelOptions* now = row >= 0 ? file->GetLevel(uint32_t(row)) : nullptr;
        if (!level || !was || !now || !level->IsEqualTo(was))
            continue;
        merged->RemoveLevel(i);
        merged->InsertLevel(i, static_cast<CLevelOptions*>(now->Clone()));
    }
    return true;
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
    if (m_RowOnDisk.size() == m_LevelArray.GetCount())
        std::swap(m_RowOnDisk[i], m_RowOnDisk[j]);
    OrderChanged();
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
    if (m_RowOnDisk.size() == count)
        m_RowOnDisk.insert(m_RowOnDisk.begin() + index, -1);
    LevelListProperty().ArrayProperty_SetCount(this, count + 1, int32_t(index));
    m_LevelArray[index] = level;
    OrderChanged();
}

void CLevelSetUserMade::RemoveLevel(uint32_t index)
{
    const uint32_t count = m_LevelArray.GetCount();
    if (index >= count)
        return;
    CLevelOptions* level = m_LevelArray[index];
    m_LevelArray[index] = nullptr;
    if (m_RowOnDisk.size() == count)
        m_RowOnDisk.erase(m_RowOnDisk.begin() + index);
    LevelListProperty().ArrayProperty_SetCount(this, count - 1, int32_t(index));
    delete level;
    OrderChanged();
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

bool SaveLevelSetToOwnFile(CLevelSet& set, CJString& failedFile)
{
    if (&set == FindLevels())
        return SaveLevelsTogether(set, failedFile);
    if (!SaveObjectToOwnFile(&set)) {
        if (!FindObjectFileName(&set, &failedFile))
            failedFile = "Levels";
        return false;
    }
    set.SetUnsavedOrder(false);
    return true;
}

void RegisterLevelSetFileNames()
{
    static bool registered = false;
    if (!registered) {
        registered = true;
        RegisterObjectFileNameCallback(&FindFileOfGeneralLevelSet);
        RegisterObjectSaveCallback(&SaveLevelsWithRenumberedData);
    }
}
