#include "game/world/CLevelSet.h"

#include "foundation/FilePaths.h"
#include "foundation/TextEncoding.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelSorter.h"
#include "game/world/WorldHooks.h"
#include "objects/CObjectStream.h"
#include "objects/CPObjectProperty.h"
#include "objects/ObjectFileCallbacks.h"
#include "platform/MessageBox.h"
#include "platform/ReplacementGroup.h"

#include <algorithm>
#include <string>

OMBRISALT_IMPLEMENT_ABSTRACT_CLASS(CLevelSet, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CLevelSetUserMade, 1.0)

namespace {

uint32_t g_CurrentLevelIndex = 0;

// Why a save over a file changed by hand is refused.
const char* const kChangedOnDisk = "it was changed on disk since it was read, and ";
const char* const kCannotCombine = "the change cannot be combined with the edits made here (the same level changed "
                                   "on both sides, or levels moved, added or removed)";
const char* const kFileGone = "it is no longer there";

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
    NoteFailedSaveReason(CJString());
    CJString name;
    if (!FindObjectFileName(&levels, &name)) {
        failedFile = "Levels";
        return false;
    }
    // The sorter's save comes here directly: a save cut short that may wait
    // for the file holds it back before anything is written.
    if (const CJString refused = WhyWritesAreRefused(ResolveDiskPath(name.GetString(), 0)); refused.IsNotEmpty()) {
        NoteFailedSaveReason(refused);
        failedFile = name;
        return false;
    }
    CJString why;
    const bool merged = levels.MergeWithFile(name.GetString(), why);
    NoteFailedSaveReason(why);
    if (!merged) {
        failedFile = name;
        return false;
    }
    plat::CReplacementGroup group;
    // A group refused for its journal: the cause is the program folder's.
    const auto noteWhyRefused = [&] {
        if (const std::string refused = group.WhyRefused(); !refused.empty() && GetFailedSaveReason().IsEmpty())
            NoteFailedSaveReason(CJString(refused.c_str()));
        NoteWhyWritesAreRefused(failedFile);
    };
    if (!levels.SaveToFile(name.GetString(), 0)) {
        failedFile = name;
        if (FileExists(name.GetString(), 0) && !IsFileWritable(name.GetString(), 0))
            NoteFailedSaveReason(CJString(kFileIsReadOnly));
        noteWhyRefused();
        return false;
    }
    if (!GetGameScreensHooks().SaveRenumberedLevelData(failedFile)) {
        noteWhyRefused();
        return false;
    }
    std::string failedPath;
    bool leftForNextStart = false;
    const bool committed = group.Commit(&failedPath, &leftForNextStart);
    // Left for the next start, the files are taken as it will make them: a
    // later change of the levels is a change, and its save is tried.
    if (committed || leftForNextStart) {
        GetGameScreensHooks().RenumberedLevelDataSaved();
        levels.SetUnsavedOrder(false);
        levels.NoteAsOnDisk(name.GetString());
    }
    if (!committed) {
        if (leftForNextStart)
            NoteFailedSaveReason(CJString(kFinishedAtNextStart));
        // A disk path: named below the data folder where it lies there.
        const std::string data = GetBaseDiskFolder(0);
        const bool inData = !data.empty() && failedPath.compare(0, data.size(), data) == 0;
        failedFile = (inData ? failedPath.substr(data.size()) : failedPath).c_str();
        noteWhyRefused();
    }
    return committed;
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

void CLevelSet::NoteAsOnDisk(const char* fileName)
{
    m_AsOnDisk.reset(Clone());
    m_RowOnDisk.resize(GetCount());
    for (uint32_t i = 0; i < GetCount(); ++i)
        m_RowOnDisk[i] = int32_t(i);
    m_FileOnDisk = NoteFileContents(fileName);
    m_FileOnDiskWhole = ReadWhole::Unknown;
    m_WhyNotWhole.Empty();
}

bool CLevelSet::HasUnsavedEdits()
{
    return m_AsOnDisk && (m_UnsavedOrder || !IsEqualTo(m_AsOnDisk.get()));
}

bool CLevelSet::MergeWithFile(const char* fileName, CJString& why)
{
    why.Empty();
    auto* noted = static_cast<CLevelSet*>(m_AsOnDisk.get());
    if (!noted || m_RowOnDisk.size() != GetCount())
        return true;
    if (const SFileContentsNote now = NoteFileContents(fileName); now.exists && now == m_FileOnDisk) {
        // A hand's edit made while the program was closed: the lines the
        // start did not take would be written over.
        if (m_FileOnDiskWhole == ReadWhole::Unknown)
            m_FileOnDiskWhole = std::unique_ptr<CObject>(ReadObjectFileWhole(fileName, &m_WhyNotWhole)) ? ReadWhole::Yes
                                                                                                        : ReadWhole::No;
        if (m_FileOnDiskWhole == ReadWhole::Yes)
            return true;
        why = m_WhyNotWhole;
        return false;
    }
    why = kChangedOnDisk;
    CJString whyNotWhole;
    std::unique_ptr<CObject> read(ReadObjectFileWhole(fileName, &whyNotWhole));
    auto* file = dynamic_cast<CLevelSet*>(read.get());
    if (!file) {
        if (whyNotWhole.IsEmpty())
            whyNotWhole = FileExists(fileName, 0) ? kNotReadWhole : kFileGone;
        why.Append(whyNotWhole);
        return false;
    }
    why.Append(kCannotCombine);
    if (file->GetCount() != noted->GetCount())
        return false;
    // Where each noted row stands now, and whether the set left it in its
    // place among the others: a row it moved is known by its old number
    // only, which a hand's move gives to another level.
    const uint32_t rows = noted->GetCount();
    std::vector<int32_t> at(rows, -1);
    std::vector<bool> inPlace(rows, false);
    int32_t highest = -1;
    for (uint32_t i = 0; i < GetCount(); ++i) {
        const int32_t row = m_RowOnDisk[i];
        if (row < 0 || uint32_t(row) >= rows)
            continue;
        at[uint32_t(row)] = int32_t(i);
        inPlace[uint32_t(row)] = row > highest;
        highest = std::max(highest, row);
    }
    int32_t lowest = int32_t(rows);
    for (uint32_t i = GetCount(); i-- > 0;) {
        const int32_t row = m_RowOnDisk[i];
        if (row < 0 || uint32_t(row) >= rows)
            continue;
        inPlace[uint32_t(row)] = inPlace[uint32_t(row)] && row < lowest;
        lowest = std::min(lowest, row);
    }
    const bool editorShows = IsLevelEditorOpenOnStoredLevel() && this == FindLevels();
    std::vector<uint32_t> taken;
    for (uint32_t row = 0; row < rows; ++row) {
        CLevelOptions* was = noted->GetLevel(row);
        CLevelOptions* now = file->GetLevel(row);
        if (!was || !now || now->IsEqualTo(was))
            continue;
        CLevelOptions* level = at[row] >= 0 ? GetLevel(uint32_t(at[row])) : nullptr;
        if (!level || !level->IsEqualTo(was) || !inPlace[row]
            || (editorShows && uint32_t(at[row]) == GetCurrentLevelIndex()))
            return false;
        taken.push_back(row);
    }
    // The file's levels go into the set's own objects, which the editors
    // and the game may be holding; an undo step of the editor's would put
    // back what the file replaced.
    for (uint32_t row : taken) {
        CLevelOptions* level = GetLevel(uint32_t(at[row]));
        level->CopyFrom(file->GetLevel(row));
        level->ForgetUndoHistory();
        noted->GetLevel(row)->CopyFrom(file->GetLevel(row));
    }
    ForgetTutorialIndices();
    why.Empty();
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

void SaveLevelsLeftUnsaved(const CJString& refusedBefore)
{
    CJString told(refusedBefore);
    // A set never loaded in this run has nothing to save, and nothing is read
    // at the end.
    CGeneralObjectsList& list = GetGeneralObjects();
    const int32_t index = list.IsEnumerated() ? list.Find("Levels") : -1;
    CLevelSet* levels = index < 0 || !list.IsItemLoaded(index) || IsLevelEditorOpenOnStoredLevel() ? nullptr
                                                                                                   : FindLevels();
    if (levels && levels->HasUnsavedEdits() && !SaveObjectToOwnFile(levels)) {
        CJString name;
        if (!FindFailedSaveFile(levels, &name))
            name.Set("Levels");
        if (told.IsNotEmpty())
            told.Append("\n\n");
        told.Append(FailedSaveMessage(name, true));
    }
    // The program is ending: only the system's box is left to say it in.
    if (told.IsNotEmpty())
        plat::ShowMessageBox("Error", Windows1252ToUtf8(told.GetString()));
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
