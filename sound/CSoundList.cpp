#include "sound/CSoundList.h"

#include "sound/CMusicPlayer.h"
#include "sound/CSoundDevice.h"

#include "foundation/CDirectoryTree.h"
#include "foundation/CPerformanceMonitor.h"
#include "foundation/EnumerateFiles.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// Lower-case ASCII, "\" as "/".
std::string Normalised(const char* name)
{
    std::string out = FoldName(name ? name : "");
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

} // namespace

CSoundList::CSoundList(CSoundDevice& device)
    : m_Device(device)
{
}

CSoundList::~CSoundList()
{
    m_Tree.reset();
    RemoveAll();
}

CSoundList& CSoundList::SGetGlobal()
{
    static CSoundList& list = []() -> CSoundList& {
        static CSoundList made(CSoundDevice::SGetInstance());
        made.SetKeepsNoneEntry(true); // data refers into it by row, 0 for none
        return made;
    }();
    return list;
}

void CSoundList::RemoveAll()
{
    m_Entries.clear();
    InvalidateFileNameIndex();
}

int32_t CSoundList::Load(const char* listName, const char* folder, const char* extension, const char* secondExtension)
{
    m_Root.Set(folder ? folder : "");
    if (!m_Registered) {
        RegisterList(listName, "");
        m_Registered = true;
    }
    // Enumerations take a folder as a path prefix: it ends in a separator.
    m_Folder = m_Root;
    const char* root = m_Root.GetString();
    const size_t rootLength = std::strlen(root);
    if (rootLength && root[rootLength - 1] != '/' && root[rootLength - 1] != '\\')
        m_Folder.Append("/");
    m_Tree.reset();
    RemoveAll();

    CEnumerateFilesOptions options;
    options.SetFilesWithExtension(m_Folder.GetString(), extension);
    options.AddExtension(secondExtension);
    CEnumerateFilesCallbackTemplate<CSoundList> callback(*this);
    EnumerateFiles(callback, options, 0);

    const std::string prefix = m_Folder.GetString();
    for (Entry& entry : m_Entries) {
        const char* name = entry.name.GetString();
        if (!prefix.empty() && StartsWithNoCase(name, prefix.c_str(), prefix.size())) {
            name += prefix.size();
            while (*name == '/' || *name == '\\')
                ++name;
            entry.name.Set(CJString(name).GetString());
        }
        entry.sound = m_Device.CreateSound();
        entry.sound->Load(PathOf(entry).GetString(), SoundLoop::Once, SoundLoad::Deferred, 0);
    }
    std::stable_sort(m_Entries.begin(), m_Entries.end(),
                     [](const Entry& a, const Entry& b) { return SSortsBefore(a.name, b.name); });
    SPlaceNoneEntryFirst(m_Entries.begin(), m_Entries.end(), [](const Entry& e) { return e.name; });
    // Data without its "!None.wav" gets the entry all the same, with no sound.
    if (HasNoneEntry() && !SIsNoneEntryName(m_Entries[0].name)) {
        Entry none;
        none.name.Set(kNoneEntryName);
        m_Entries.insert(m_Entries.begin(), std::move(none));
    }
    SetSorted(true);
    // Entries were added, renamed and sorted: a file-name index built
    // before (even on the empty list) would answer from the old ones.
    InvalidateFileNameIndex();
    m_Tree = std::make_unique<CDirectoryTree>(*this);
    return GetCount();
}

void CSoundList::AddName(const char* name, const CEnumerateFilesInfo&)
{
    Entry entry;
    entry.name.Set(name);
    m_Entries.push_back(std::move(entry));
    SetSorted(false);
    InvalidateFileNameIndex();
}

bool CSoundList::HasName(const char* name)
{
    for (const Entry& entry : m_Entries)
        if (CompareNameNoCase(entry.name.GetString(), name) == 0)
            return true;
    return false;
}

CJString CSoundList::PathOf(const Entry& entry) const
{
    CJString path(m_Root);
    path.Append("/");
    path.Append(entry.name.GetString());
    return path;
}

CSoundList::Entry* CSoundList::EntryAt(int32_t index)
{
    return index >= 0 && size_t(index) < m_Entries.size() ? &m_Entries[size_t(index)] : nullptr;
}

CSound* CSoundList::Touch(int32_t index)
{
    Entry* entry = EntryAt(index);
    if (!entry || !entry->sound)
        return nullptr;
    entry->usage.NoteUsed();
    entry->sound->SetListIndex(index);
    return entry->sound.get();
}

int32_t CSoundList::FindNormalised(const char* name)
{
    const std::string key = Normalised(name);
    for (size_t i = 0; i < m_Entries.size(); ++i)
        if (Normalised(m_Entries[i].name.GetString()) == key)
            return int32_t(i);
    return -1;
}

int32_t CSoundList::Find(const char* name, int32_t hint)
{
    int32_t found = CObjectFileArray::Find(name, hint);
    if (found >= 0 || !name)
        return found;
    static CPerformanceMonitor zone("SoundReFinding");
    CPerformanceMonitorScope timed(zone);
    std::string alternative;
    if (AlternativeSoundName(name, alternative))
        found = CObjectFileArray::Find(alternative.c_str(), -1);
    if (found < 0)
        found = FindNormalised(name);
    if (found < 0) {
        static CPerformanceMonitor missZone("SoundReFinding_NeverFound");
        CPerformanceMonitorScope timedMiss(missZone);
    }
    return found;
}

bool CSoundList::PlayByName(const char* name)
{
    if (!m_Enabled)
        return true;
    const int32_t index = Find(name);
    CSound* sound = Touch(index);
    if (!sound)
        return false;
    sound->Play(CSound::kPlayCopyWhenBusy);
    return true;
}

bool CSoundList::PlayByIndex(int32_t index)
{
    if (!m_Enabled)
        return true;
    CSound* sound = Touch(index);
    if (!sound)
        return false;
    sound->Play(CSound::kPlayCopyWhenBusy);
    return true;
}

CSound* CSoundList::GetSoundByIndex(int32_t index)
{
    return Touch(index);
}

CSound* CSoundList::GetSoundByName(const char* name)
{
    if (m_Entries.empty())
        return nullptr;
    return Touch(Find(name));
}

std::unique_ptr<CSound> CSoundList::NewCopyByIndex(int32_t index)
{
    if (!m_Enabled)
        return nullptr;
    CSound* source = Touch(index);
    if (!source)
        return nullptr;
    std::unique_ptr<CSound> copy = m_Device.CreateSound();
    copy->CopyFrom(source);
    ++m_Entries[size_t(index)].liveCopies;
    return copy;
}

void CSoundList::DecrementCopyCount(int32_t index)
{
    if (Entry* entry = EntryAt(index))
        --entry->liveCopies;
}

int32_t CSoundList::GetLiveCopies(int32_t index) const
{
    return index >= 0 && size_t(index) < m_Entries.size() ? m_Entries[size_t(index)].liveCopies : 0;
}

void CSoundList::PreloadAll()
{
    for (Entry& entry : m_Entries)
        if (entry.sound)
            entry.sound->PreloadData();
}

const char* CSoundList::GetItemName(int32_t i)
{
    const Entry* entry = EntryAt(i);
    return entry ? entry->name.GetString() : nullptr;
}

CJString CSoundList::GetItemNameString(int32_t i)
{
    const Entry* entry = EntryAt(i);
    return entry ? entry->name : CJString();
}

void CSoundList::GetListName(CJString& out)
{
    out.Set("Sound List");
}

bool CSoundList::IsItemLoaded(int32_t i)
{
    const Entry* entry = EntryAt(i);
    return entry && entry->sound && entry->sound->IsLoaded();
}

void CSoundList::TouchItem(int32_t i)
{
    Touch(i);
}

CItemUsageStats* CSoundList::GetUsageStats(int32_t i)
{
    Entry* entry = EntryAt(i);
    return entry ? &entry->usage : nullptr;
}

void CSoundList::PreloadItem(int32_t index)
{
    Entry* entry = EntryAt(index);
    if (!entry || !entry->sound)
        return;
    entry->sound->PreloadData();
    entry->preloaded = true;
    entry->sound->SetListIndex(index);
}

bool CSoundList::IsItemPreloaded(int32_t index) const
{
    return index >= 0 && size_t(index) < m_Entries.size() && m_Entries[size_t(index)].preloaded;
}

void CSoundList::DoItemAction(int32_t index)
{
    if (Entry* entry = EntryAt(index))
        if (entry->sound)
            entry->sound->Play(CSound::kPlayCopyWhenBusy);
}

void CSoundList::ReadItem(int32_t index)
{
    if (Entry* entry = EntryAt(index))
        if (entry->sound)
            entry->sound->PreloadData();
}

void CSoundList::UnloadItem(int32_t i)
{
    Entry* entry = EntryAt(i);
    if (!entry || !entry->sound || !entry->sound->IsLoaded())
        return;
    entry->usage.NoteUnloaded();
    entry->sound->Load(PathOf(*entry).GetString(), SoundLoop::Once, SoundLoad::Deferred, 0);
}

uint32_t CSoundList::GetItemMemorySize(int32_t index)
{
    const Entry* entry = EntryAt(index);
    return entry && entry->sound ? entry->sound->GetSize() : 0;
}
