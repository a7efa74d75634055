#include "objects/CObjectFileArray.h"

#include "foundation/CDirectoryTree.h"
#include "foundation/CFile.h"
#include "foundation/CStartupTextLog.h"
#include "foundation/EnumerateFiles.h"
#include "foundation/FatalError.h"
#include "foundation/FilePaths.h"
#include "objects/CFileListList.h"
#include "objects/CNewFileOptions.h"
#include "objects/CObject.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_set>

namespace {

constexpr uint32_t kSecondFolderFlag = FILE_FOLDER_B;

// Item files being read, across every list (loads nest through references).
int g_ItemsLoading = 0;

bool EndsWithNoCase(const CJString& text, const CJString& ending)
{
    const int length = text.GetLength();
    const int endingLength = ending.GetLength();
    return endingLength > 0 && endingLength <= length
        && CompareNameNoCase(text.GetString() + (length - endingLength), ending.GetString()) == 0;
}

int LastSeparator(const CJString& text)
{
    const char* chars = text.GetString();
    for (int i = text.GetLength(); i-- > 0;)
        if (chars[i] == '/' || chars[i] == '\\')
            return i;
    return -1;
}

// Collects what one enumeration finds into new entries.
class CEntryCollector : public CEnumerateFilesCallback {
public:
    explicit CEntryCollector(CArrayPOD<CObjectArrayFileEntry*>& entries)
        : m_Entries(entries)
    {
    }
    uint32_t GetCount() override { return m_Entries.GetCount(); }
    void AddEntry(const char* name, const CEnumerateFilesInfo& info) override
    {
        // Such an item would be loaded under a name that opens nothing, or
        // from what is no data file: the data's author is told at once.
        if (const char* why = WhyEntryIsUnreadable(info)) {
            ReportItemLeftOut(CJString(name), CJString(why));
            return;
        }
        m_Seen.insert(FoldName(name));
        auto* entry = new CObjectArrayFileEntry;
        entry->name.Set(name);
        m_Entries.Append(entry);
    }
    bool HasEntry(const char* name) override { return m_Seen.count(FoldName(name)) != 0; }

private:
    CArrayPOD<CObjectArrayFileEntry*>& m_Entries;
    std::unordered_set<std::string> m_Seen;
};

} // namespace

// --- Usage record ---

void CItemUsageStats::NoteUsed()
{
    lastUseTime = plat::GetMillisecondTick();
    ++usesSinceLoad;
    ++totalUses;
}

void CItemUsageStats::NoteLoaded()
{
    ++loads;
    usesSinceLoad = 0;
}

void CItemUsageStats::NoteUnloaded()
{
    ++unloads;
    marked = false;
    used = false;
    referencesPreloaded = false;
}

// --- Remap list ---

CRemapList::~CRemapList()
{
    m_Items.DeleteAll();
}

void CRemapList::Add(const char* name, int32_t index)
{
    auto* item = new CRemapListItem;
    item->name.Set(name ? name : "");
    item->index = index;
    m_Items.Append(item);
}

int32_t CRemapList::Find(const char* name) const
{
    for (const CRemapListItem* item : m_Items)
        if (CompareNameNoCase(item->name.GetString(), name) == 0)
            return item->index;
    return -1;
}

// --- The list ---

CObjectFileArray::CObjectFileArray()
{
    // Entries change only in the functions below that drop the index.
    KeepFileNameIndex();
}

CObjectFileArray::~CObjectFileArray()
{
    CFileListList::RemoveList(this);
    DeleteEntries();
}

int32_t CObjectFileArray::Find(const char* name, int32_t hint)
{
    const int32_t found = CSimpleVirtualArray::Find(name, hint);
    return found >= 0 ? found : m_RemapList.Find(name);
}

CObjectArrayFileEntry* CObjectFileArray::EntryAt(int32_t i)
{
    EnsureEnumerated();
    return i >= 0 && uint32_t(i) < m_Entries.GetCount() ? m_Entries[uint32_t(i)] : nullptr;
}

const char* CObjectFileArray::GetItemName(int32_t i)
{
    CObjectArrayFileEntry* entry = EntryAt(i);
    return entry ? entry->name.GetString() : "";
}

CJString CObjectFileArray::GetItemNameString(int32_t i)
{
    CObjectArrayFileEntry* entry = EntryAt(i);
    return entry ? entry->name : CJString();
}

const CJString& CObjectFileArray::GetSecondText(int32_t i)
{
    CObjectArrayFileEntry* entry = EntryAt(i);
    return entry ? entry->error : CVirtualArray::GetSecondText(i);
}

void CObjectFileArray::GetListName(CJString& out)
{
    out = m_ListName;
}

const char* CObjectFileArray::GetFolderName()
{
    return m_Folder.GetString();
}

bool CObjectFileArray::IsItemLoaded(int32_t i)
{
    CObjectArrayFileEntry* entry = EntryAt(i);
    return entry && entry->object;
}

bool CObjectFileArray::IsItemLoading(int32_t i)
{
    CObjectArrayFileEntry* entry = EntryAt(i);
    return entry && entry->loading;
}

void CObjectFileArray::TouchItem(int32_t i)
{
    CObjectArrayFileEntry* entry = EntryAt(i);
    if (!entry)
        return;
    entry->usage.used = true;
    CObject* object = GetObjectAt(i);
    if (entry->usage.referencesPreloaded)
        return;
    entry->usage.referencesPreloaded = true;
    if (object)
        object->PreloadReferencedItems();
}

void CObjectFileArray::RemoveAll()
{
    DeleteEntries();
}

int32_t CObjectFileArray::GetCount()
{
    EnsureEnumerated();
    return int32_t(m_Entries.GetCount());
}

CItemUsageStats* CObjectFileArray::GetUsageStats(int32_t i)
{
    CObjectArrayFileEntry* entry = EntryAt(i);
    return entry ? &entry->usage : nullptr;
}

void CObjectFileArray::UnloadItem(int32_t i)
{
    CObjectArrayFileEntry* entry = EntryAt(i);
    if (!entry)
        return;
    CObject* object = entry->object;
    entry->object = nullptr;
    delete object;
    entry->fileNoted = false;
    entry->saveRefused = false;
    entry->usage.NoteUnloaded();
    entry->loading = false;
}

void CObjectFileArray::ClearUsedFlags()
{
    // A pending enumeration makes fresh entries anyway.
    for (CObjectArrayFileEntry* entry : m_Entries) {
        entry->usage.used = false;
        entry->usage.referencesPreloaded = false;
    }
}

bool CObjectFileArray::IsItemUsed(int32_t i)
{
    CObjectArrayFileEntry* entry = EntryAt(i);
    return entry && entry->usage.used;
}

bool CObjectFileArray::IsItemMarked(int32_t i)
{
    CObjectArrayFileEntry* entry = EntryAt(i);
    return entry && entry->usage.marked;
}

void CObjectFileArray::SetItemMarked(int32_t i, bool flag)
{
    if (CObjectArrayFileEntry* entry = EntryAt(i))
        entry->usage.marked = flag;
}

bool CObjectFileArray::GetObjectFileName(const CObject*, CJString&)
{
    return false;
}

bool CObjectFileArray::ItemFileName(const CObject* object, const char* ending, CJString& name)
{
    if (!IsEnumerated())
        return false;
    const int32_t index = FindObjectIndex(object);
    if (index < 0)
        return false;
    const CJString item = GetItemNameString(index);
    const char first = item.GetString()[0];
    if (first == '.' || first == '/' || first == '\\') {
        name = item;
    } else {
        name = GetFolderName();
        name.AppendPath(item.GetString());
    }
    name += ending;
    return true;
}

bool CObjectFileArray::ItemFileNameWithFirstEnding(const CObject* object, CJString& name)
{
    std::vector<CJString> endings;
    GetListFileNames(endings);
    return !endings.empty() && endings.front().GetLength() > 1 &&
           ItemFileName(object, endings.front().GetString(), name);
}

int32_t CObjectFileArray::FindObjectIndex(const CObject* object)
{
    if (m_EnumerationPending || !object)
        return -1;
    // A load notes its file, and a save looks its object up more than once.
    if (uint32_t(m_LastFound) < m_Entries.GetCount() && m_Entries[uint32_t(m_LastFound)]->object == object)
        return m_LastFound;
    for (uint32_t i = 0; i < m_Entries.GetCount(); ++i)
        if (m_Entries[i]->object == object)
            return m_LastFound = int32_t(i);
    return -1;
}

void CObjectFileArray::NoteObjectFileAsOnDisk(const CObject* object)
{
    CObjectArrayFileEntry* entry = EntryAt(FindObjectIndex(object));
    CJString name;
    if (!entry || !object || !GetObjectFileName(object, name))
        return;
    entry->fileOnDisk = NoteFileContents(name.GetString());
    entry->fileNoted = true;
    entry->saveRefused = false;
}

bool CObjectFileArray::RefuseSaveOverChangedFile(const CObject* object)
{
    CObjectArrayFileEntry* entry = EntryAt(FindObjectIndex(object));
    CJString name;
    if (!entry || !entry->fileNoted || !GetObjectFileName(object, name))
        return false;
    entry->saveRefused = NoteFileContents(name.GetString()) != entry->fileOnDisk;
    return entry->saveRefused;
}

bool CObjectFileArray::IsObjectFileAsNoted(const CObject* object)
{
    CObjectArrayFileEntry* entry = EntryAt(FindObjectIndex(object));
    CJString name;
    return entry && entry->fileNoted && GetObjectFileName(object, name)
        && NoteFileContents(name.GetString()) == entry->fileOnDisk;
}

void CObjectFileArray::KeepObjectEditWaiting(const CObject* object)
{
    if (CObjectArrayFileEntry* entry = EntryAt(FindObjectIndex(object)))
        entry->saveRefused = true;
}

bool CObjectFileArray::IsObjectSaveRefused(const CObject* object)
{
    CObjectArrayFileEntry* entry = EntryAt(FindObjectIndex(object));
    return entry && entry->saveRefused;
}

void CObjectFileArray::SetSource(const char* name, const char* folder, uint32_t flags)
{
    m_SourceFolder.Set(folder ? folder : "");
    m_EnumerationFlags = flags;
    m_EnumerationPending = true;
    if (name) {
        m_ListName.Set(name);
        CFileListList::SGetInstance().AddList(name, nullptr, this, GetPriority(), 0);
    }
}

void CObjectFileArray::RegisterList(const char* name, const char* folder)
{
    m_ListName.Set(name ? name : "");
    CFileListList::SGetInstance().AddList(name, folder, this, GetPriority(), 0);
}

// --- Loading ---

void ReportItemLeftOut(const CJString& item, const CJString& why)
{
    CJString report(item);
    report.Append(": ");
    report.Append(why);
    report.Append("; left out");
    if (report.IsWide())
        report.ToNarrow();
    // Two lists over one folder, two players of one song, the player's
    // folder and the data's reaching one picture: each says it once per
    // start. Names are relative to the working folder. The set outlives
    // static destruction: a report may come from an exit handler.
    static std::mutex mutex;
    static auto* said = new std::unordered_set<std::string>;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!said->insert(plat::GetCurrentFolder() + '\n' + report.GetString()).second)
            return;
    }
    std::fprintf(stderr, "%s\n", report.GetString());
}

bool CObjectFileArray::SIsAnyItemLoading()
{
    return g_ItemsLoading > 0;
}

CObject* CObjectFileArray::GetObjectAt(int32_t i)
{
    EnsureEnumerated();
    if (m_Entries.IsEmpty())
        return nullptr;
    if (i < 0 || uint32_t(i) >= m_Entries.GetCount())
        i = 0;
    CObjectArrayFileEntry& entry = *m_Entries[uint32_t(i)];
    if (entry.loadFailed) {
        m_LastLoadError = entry.error;
        if (!GetLoadFlag())
            return nullptr;
        ReportFailedLoad(entry);
    }
    if (entry.loading) {
        CJString text("Got stuck in an infinite loop while trying to load \"");
        text.Append(entry.name);
        text.Append("\".  This is usually caused by that file refering to itself.  The actions in this file need to "
                    "be re-scripted to go through a canned object or relay or some other indirect method");
        FatalDataError("Fatal Error", text.GetString());
    }
    if (!entry.object) {
        LoadEntry(i);
        // A list that must have its objects never hands out the null of a failed load.
        if (entry.loadFailed && GetLoadFlag())
            ReportFailedLoad(entry);
    }
    entry.usage.NoteUsed();
    return entry.object;
}

void CObjectFileArray::ReportFailedLoad(CObjectArrayFileEntry& entry)
{
    CJString text(entry.error);
    if (text.IsEmpty())
        text.Set("Error loading file");
    FatalDataError("Fatal Error", text.GetString());
}

CObject* CObjectFileArray::GetObjectByName(const char* name)
{
    return GetObjectAt(FindOrReportMissing(name));
}

void CObjectFileArray::LoadEntry(int32_t i)
{
    CObjectArrayFileEntry* entry = EntryAt(i);
    if (!entry || entry->object || entry->loading || entry->placeholder)
        return;
    entry->loading = true;
    ++g_ItemsLoading;
    // A fatal report unwinding through here (tests, fuzzing) leaves the entry idle.
    struct LoadingGuard {
        CObjectArrayFileEntry* entry;
        ~LoadingGuard()
        {
            entry->loading = false;
            --g_ItemsLoading;
        }
    } guard{entry};

    CJString path;
    const char first = entry->name.GetString()[0];
    if (first == '.' || first == '/' || first == '\\' || m_Folder.IsEmpty()) {
        path = entry->name;
    } else {
        path = m_Folder;
        path.Append("/");
        path.Append(entry->name);
    }
    const int split = LastSeparator(path);
    const CJString folder = split >= 0 ? path.Left(split) : CJString();
    const CJString fileName = split >= 0 ? path.Mid(split + 1) : path;

    m_LastLoadError.Empty();
    CObject* object = LoadObject(folder, fileName, &entry->object);
    entry->object = object;
    m_LastFound = i;
    NoteObjectFileAsOnDisk(object);
    if (!object) {
        entry->loadFailed = true;
        entry->error = m_LastLoadError;
        // A list that goes on without the item says why, once: a damaged
        // file must not just leave a hole in the game.
        if (!GetLoadFlag() && m_LastLoadError.IsNotEmpty())
            ReportItemLeftOut(path, m_LastLoadError);
    }
    entry->usage.NoteLoaded();
}

CObject* CObjectFileArray::LoadObject(const CJString& folder, const CJString& fileName, CObject**)
{
    if (m_ListFileNames.empty())
        GetListFileNames(m_ListFileNames);
    // The file is named as the item with the first ending; a name that lost a
    // leading "-", or a cached copy, is found under the other spellings.
    CObject* object = nullptr;
    bool found = false;
    for (size_t e = 0; e < m_ListFileNames.size() && !found; ++e) {
        for (const char* dash : {"", "-"}) {
            CJString path(folder);
            if (folder.IsNotEmpty())
                path.Append("/");
            path.Append(dash);
            path.Append(fileName);
            path.Append(m_ListFileNames[e]);
            m_LastLoadError.Empty();
            object = LoadObjectFromFile(path.GetString(), 0, IdMode::WithoutIds, ReportUnknownClass::Fatal,
                                        &m_LastLoadError);
            found = object || m_LastLoadError.IsNotEmpty() || FileExists(path.GetString(), 0);
            if (found)
                break;
        }
    }
    if (object && !GetLoadFlag() && !object->IsKindOf(GetItemClassInfo())) {
        m_LastLoadError.Set("File contains invalid class type of ");
        m_LastLoadError.Append(object->GetClassInfo()->GetName());
        delete object;
        return nullptr;
    }
    return object;
}

// --- New files ---

bool CObjectFileArray::SIsNoneEntryName(const CJString& name)
{
    const std::string file = name.GetString() + LastSeparator(name) + 1;
    const size_t length = std::strlen(kNoneEntryName);
    return file.size() >= length && CompareNameNoCase(file.substr(0, length).c_str(), kNoneEntryName) == 0
        && (file.size() == length || file[length] == '.');
}

bool CObjectFileArray::SSortsBefore(const CJString& a, const CJString& b)
{
    const int order = CompareNameNoCase(a.GetString(), b.GetString());
    return order != 0 ? order < 0 : std::strcmp(a.GetString(), b.GetString()) < 0;
}

bool CObjectFileArray::HasNoneEntry()
{
    return m_KeepsNoneEntry && GetCount() > 0;
}

CJString CObjectFileArray::NoneEntryName()
{
    // The fonts' is "Fonts/!None": named relative to the folder above theirs.
    if (HasNoneEntry())
        return GetItemNameString(0);
    return CJString(m_KeepsNoneEntry ? kNoneEntryName : "");
}

CNewFileOptions* CObjectFileArray::GetNewFileOptions()
{
    EnsureEnumerated();
    const char* text = GetListFileNameText();
    std::string first(text ? text : "");
    first = first.substr(0, first.find(','));
    CClassInfo* itemClass = GetItemClassInfo();
    if (first.size() < 2 || !itemClass)
        return nullptr;
    auto* options = new CNewFileOptionsCObject(itemClass, itemClass);
    options->m_BaseFolder = m_Folder;
    options->m_Extension.Set(".");
    options->m_Extension.Append(first.c_str());
    options->m_ClassName = itemClass->GetNameWithoutPrefix();
    options->m_NoneEntryName = NoneEntryName();
    return options;
}

int32_t CObjectFileArray::AddItemFromNewFileOptions(CNewFileOptions& options)
{
    EnsureEnumerated();
    if (options.m_Name.IsEmpty())
        return -1;
    // The item is named by its path below the list's folder; a file made
    // elsewhere would not be found by the next scan.
    CJString itemPath;
    CJString location;
    location.SetPath(options.m_BaseFolder, options.m_Location);
    itemPath.SetPath(location, options.m_Name);
    CJString item(itemPath);
    if (m_Folder.IsNotEmpty()) {
        CJString prefix(m_Folder);
        prefix.Append("/");
        if (!StartsWithNoCase(itemPath.GetString(), prefix.GetString(), size_t(prefix.GetLength())))
            return -1;
        item = itemPath.Mid(prefix.GetLength());
    }
    if (HasDotLedPart(item))
        return -1;
    for (uint32_t i = 0; i < m_Entries.GetCount(); ++i)
        if (CompareNameNoCase(m_Entries[i]->name.GetString(), item.GetString()) == 0)
            return -1;
    // Sorted first, the item would become what every unset reference names.
    const CJString none = NoneEntryName();
    if (none.IsNotEmpty() && CompareNameNoCase(item.GetString(), none.GetString()) <= 0)
        return -1;
    CClassInfo* itemClass = GetItemClassInfo();
    if (!itemClass)
        return -1;
    options.MakeRelativePath();
    CJString file;
    file.SetPath(options.m_BaseFolder, options.m_RelativePath);
    if (FileExists(file.GetString(), 0))
        return -1;

    CObject* object = nullptr;
    if (CObject* source = options.GetTemplateObject()) {
        object = source->Clone();
    } else {
        CClassInfo* chosen = itemClass;
        if (auto* withClass = dynamic_cast<CNewFileOptionsCObject*>(&options); withClass && withClass->m_ChosenClass)
            chosen = withClass->m_ChosenClass;
        if (chosen->IsDerivedFrom(itemClass))
            object = chosen->CreateObject(0, 0);
        if (object)
            object->ResetToDefaults();
    }
    if (!object || !object->IsKindOf(itemClass) || !object->SaveToFile(file.GetString(), kSaveSkipWritableTest)) {
        delete object;
        return -1;
    }

    // The first item of an empty list comes after the none entry it gets;
    // nothing referred into the list yet, so nothing moves.
    EnsureNoneEntry(EvenWhenEmpty::Yes);
    auto* entry = new CObjectArrayFileEntry;
    entry->name = item;
    entry->object = object;
    entry->usage.NoteLoaded();
    uint32_t at = 0;
    while (at < m_Entries.GetCount() && SSortsBefore(m_Entries[at]->name, item))
        ++at;
    *m_Entries.InsertAt(at) = entry;
    NoteObjectFileAsOnDisk(object);
    InvalidateFileNameIndex();
    // Rebuilt in place: combo boxes and browsers hold the tree.
    if (m_DirectoryTree)
        m_DirectoryTree->Rebuild(*this);
    else
        m_DirectoryTree = std::make_unique<CDirectoryTree>(*this);
    BroadcastItemAdded(int32_t(at));
    return int32_t(at);
}

CVirtualTree* CObjectFileArray::GetItemTree()
{
    EnsureEnumerated();
    return m_DirectoryTree.get();
}

void CObjectFileArray::GetListFileNames(std::vector<CJString>& out)
{
    out.clear();
    const char* text = GetListFileNameText();
    const std::string endings(text ? text : "");
    size_t start = 0;
    for (;;) {
        const size_t comma = endings.find(',', start);
        CJString ending(".");
        ending.Append(endings.substr(start, comma == std::string::npos ? std::string::npos : comma - start).c_str());
        out.push_back(ending);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
}

void CObjectFileArray::RemoveEntryAt(int32_t i)
{
    EnsureEnumerated();
    if (i < 0 || uint32_t(i) >= m_Entries.GetCount())
        return;
    CObjectArrayFileEntry* entry = m_Entries[uint32_t(i)];
    m_Entries.RemoveAt(uint32_t(i));
    InvalidateFileNameIndex();
    delete entry->object;
    delete entry;
}

void CObjectFileArray::DeleteEntries()
{
    InvalidateFileNameIndex();
    while (!m_Entries.IsEmpty()) {
        CObjectArrayFileEntry* entry = m_Entries[m_Entries.GetCount() - 1];
        m_Entries.RemoveAt(m_Entries.GetCount() - 1);
        delete entry->object;
        delete entry;
    }
}

// --- Enumeration ---

void CObjectFileArray::Enumerate()
{
    m_EnumerationPending = false;
    CJString name(m_ListName);
    if (name.IsEmpty()) {
        CFileListList& registry = CFileListList::SGetInstance();
        name = registry.GetItemNameString(registry.FindIndexOfList(this));
    }
    CJString progress("Enumerating ");
    progress.Append(name);
    progress.Append("...");
    CStartupTextLog::Instance().Print(progress.GetString(), LogLineEnd::EndLine, 0);

    m_Enumerated = true;
    GetListFileNames(m_ListFileNames);
    m_DirectoryTree.reset();
    DeleteEntries();

    m_Folder = m_SourceFolder;
    m_EnumerationFolder = m_SourceFolder;
    const int bar = m_SourceFolder.FindChar('|');
    if (bar >= 0) {
        m_EnumerationFolder.SetAt(bar, '/');
        m_Folder = m_SourceFolder.Left(bar);
    }

    const bool folders = EnumeratesFolders();
    for (const CJString& ending : m_ListFileNames)
        Search(m_EnumerationFolder, ending, folders, m_EnumerationFlags);
    m_UnreadableFolder.clear();
    if (m_Entries.IsEmpty() && m_Folder.IsNotEmpty())
        m_UnreadableFolder = UnreadableFolderPath(m_Folder.GetString(), m_EnumerationFlags);
    if (m_Entries.IsEmpty()) {
        CJString cacheFolder(GetCacheFolderName());
        cacheFolder.Append("/");
        CJString searched(cacheFolder);
        searched.Append(m_EnumerationFolder);
        m_EnumerationFolder = searched;
        cacheFolder.Append(m_Folder);
        m_Folder = cacheFolder;
        if (const char* cacheEnding = GetCacheEnding()) {
            CJString ending;
            ending.Format(".%s", cacheEnding);
            m_ListFileNames.push_back(ending);
            Search(m_EnumerationFolder, ending, false, m_EnumerationFlags);
        }
    }
    MakeNamesRelative(0, false);

    if (const char* second = GetSecondFolder()) {
        const uint32_t first = m_Entries.GetCount();
        for (const CJString& ending : m_ListFileNames)
            Search(CJString(second), ending, folders, m_EnumerationFlags | kSecondFolderFlag);
        MakeNamesRelative(first, true);
    }

    SortAndRemoveDuplicates();
    EnsureNoneEntry(EvenWhenEmpty::No);
    m_DirectoryTree = std::make_unique<CDirectoryTree>(*this);
}

void CObjectFileArray::EnsureNoneEntry(EvenWhenEmpty empty)
{
    if (!m_KeepsNoneEntry || (m_Entries.IsEmpty() && empty == EvenWhenEmpty::No))
        return;
    if (!m_Entries.IsEmpty() && SIsNoneEntryName(m_Entries[0]->name))
        return;
    auto* none = new CObjectArrayFileEntry;
    none->name.Set(kNoneEntryName);
    none->placeholder = true;
    *m_Entries.InsertAt(0) = none;
    InvalidateFileNameIndex();
}

void CObjectFileArray::Search(const CJString& folder, const CJString& ending, bool folders, uint32_t flags)
{
    CJString searched(folder);
    if (searched.IsNotEmpty() && searched.GetString()[searched.GetLength() - 1] != '/')
        searched.Append("/");
    CEnumerateFilesOptions options;
    options.SetFolder(searched.GetString());
    options.SetRecurse(1);
    options.folders = folders ? 1 : 0;
    options.AddExtension(ending.GetString());
    AdjustSearch(options);
    CEntryCollector collector(m_Entries);
    const uint32_t before = m_Entries.GetCount();
    EnumerateFiles(collector, options, flags);
    if (m_Entries.GetCount() != before) {
        SetSorted(false);
        InvalidateFileNameIndex();
    }
}

void CObjectFileArray::MakeNamesRelative(uint32_t first, bool stripEndings)
{
    InvalidateFileNameIndex();
    CJString prefix(m_Folder);
    prefix.Append("/");
    for (uint32_t i = first; i < m_Entries.GetCount(); ++i) {
        CJString& name = m_Entries[i]->name;
        if (!stripEndings) {
            if (m_Folder.IsNotEmpty()
                && StartsWithNoCase(name.GetString(), prefix.GetString(), size_t(prefix.GetLength())))
                name = name.Mid(prefix.GetLength());
        }
        for (const CJString& ending : m_ListFileNames)
            if (EndsWithNoCase(name, ending))
                name = name.Left(name.GetLength() - ending.GetLength());
        if (stripEndings)
            continue;
        const int component = LastSeparator(name) + 1;
        if (name.GetString()[component] == '-')
            name.Delete(component, 1);
    }
}

void CObjectFileArray::SortAndRemoveDuplicates()
{
    InvalidateFileNameIndex();
    CObjectArrayFileEntry** data = m_Entries.GetData();
    std::sort(data, data + m_Entries.GetCount(), [](const CObjectArrayFileEntry* a, const CObjectArrayFileEntry* b) {
        return SSortsBefore(a->name, b->name);
    });
    SPlaceNoneEntryFirst(data, data + m_Entries.GetCount(), [](const CObjectArrayFileEntry* e) { return e->name; });
    SetSorted(true);
    uint32_t kept = 0;
    for (uint32_t i = 0; i < m_Entries.GetCount(); ++i) {
        CObjectArrayFileEntry* entry = data[i];
        if (kept > 0 && CompareNameNoCase(data[kept - 1]->name.GetString(), entry->name.GetString()) == 0) {
            delete entry->object;
            delete entry;
            continue;
        }
        data[kept++] = entry;
    }
    while (m_Entries.GetCount() > kept)
        m_Entries.RemoveAt(m_Entries.GetCount() - 1);
}
