#pragma once
// Object-file lists: every kind of designer-made data object (upgrades,
// fonts, overlay options, general objects...) lives in one, a sorted list of
// named entries, one per data file found below the list's folder. A file is
// named after its item, a dot and the type's ending ("Cannon.Upgrade.txt"
// holds the upgrade "Cannon"); subfolders make part of the name ("Ships/
// Cannon"), folders beginning with "-" are not searched, and a "-" leading
// the file name is not part of the item name.
//
// Nothing is read before it is needed: SetSource only records the folder;
// the first operation that reads entries enumerates it (disk, then mounted
// archives, then the "Cache/" copies when nothing was found), and an item's
// file is read the first time its object is asked for. An item that asks for
// itself while its own file is read is fatal.
//
// Row 0 of a list that data refers into by row stands for none. Its maker
// declares it (SetKeepsNoneEntry), and that one declaration is what every
// caller asks (HasNoneEntry, FirstRealRow): data that lacks a "!None" file
// gets one all the same, holding no object; without it the first real item
// would be what every unset reference names. In any list, the sound list's
// too, an entry named "!None" leads (SPlaceNoneEntryFirst). Saved files and
// profiles name the items they refer to (CListPropertyABC), so the entry
// moves nothing saved; a frame effect's "Texture Frame Index" alone is a
// row, of the frame library, which has always kept its none entry.
//
// CObjectFileArray holds the machinery; CObjectArrayBaseTemplate<T, U>
// binds it to one data type. A data type changes the hooks (priority, load
// flag, LoadObject, second folder) by deriving from its instance.

#include "foundation/CArrayPOD.h"
#include "foundation/CFile.h"
#include "foundation/CJString.h"
#include "foundation/CVirtualArray.h"
#include "objects/CImageBrowserItemBridge.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
#include <vector>

class CClassInfo;
class CDirectoryTree;
class CObject;
struct CEnumerateFilesOptions;

// Tells the data's author on standard error that the item is left out and
// why ("<item>: <why>; left out"): the data goes on without it. Said once
// per start (and working folder), however often the item is met.
void ReportItemLeftOut(const CJString& item, const CJString& why);

// How an item is used, for the editor and diagnostics.
struct CItemUsageStats {
    uint32_t lastUseTime = 0; // milliseconds tick
    uint32_t usesSinceLoad = 0;
    uint32_t totalUses = 0;
    uint32_t loads = 0;
    uint32_t unloads = 0;
    uint32_t reserved = 0;
    bool marked = false;
    bool used = false;
    bool referencesPreloaded = false;

    void NoteUsed();
    void NoteLoaded();
    // Also clears the three flags.
    void NoteUnloaded();
};

struct CObjectArrayFileEntry : public CPooledClassBase {
    CJString name;
    CObject* object = nullptr; // owned; null until loaded
    bool loading = false;      // while the entry's file is being read
    bool loadFailed = false;   // kept until the list enumerates again
    bool placeholder = false;  // the none entry the data lacked: no file, no object
    CJString error;            // why the load failed
    CItemUsageStats usage;
    // The file a save of the object writes, as read or as last written here:
    // a save that finds it otherwise would write over another hand's change.
    bool fileNoted = false;
    SFileContentsNote fileOnDisk;
    bool saveRefused = false; // for that change: the object's edit waits
};

// Old names of items and the index each now stands for.
class CRemapList {
public:
    struct CRemapListItem : public CPooledClassBase {
        CJString name;
        int32_t index = -1;
    };

    CRemapList() = default;
    CRemapList(const CRemapList&) = delete;
    CRemapList& operator=(const CRemapList&) = delete;
    ~CRemapList();

    void Add(const char* name, int32_t index);
    // Case-blind; -1 when the name is not listed.
    int32_t Find(const char* name) const;

private:
    CArrayPOD<CRemapListItem*> m_Items;
};

class CObjectFileArray : public CSimpleVirtualArray {
public:
    CObjectFileArray();
    // Leaves the file-list registry, which never outlives a list it holds.
    ~CObjectFileArray() override;

    // As CSimpleVirtualArray, then the old names of the remap list.
    using CSimpleVirtualArray::Find;
    int32_t Find(const char* name, int32_t hint = -1) override;
    bool IsObjectFileList() override { return true; }

    const char* GetItemName(int32_t i) override;
    CJString GetItemNameString(int32_t i) override;
    // The entry's load error.
    const CJString& GetSecondText(int32_t i) override;
    void GetListName(CJString& out) override;
    const char* GetFolderName() override;
    std::string GetUnreadableFolder() override { return m_UnreadableFolder; }
    bool IsItemLoaded(int32_t i) override;
    bool IsItemLoading(int32_t i) override;
    // Whether some list is reading an item's file now: what runs meanwhile
    // (a message pumped by a long load) must not ask for that item again.
    static bool SIsAnyItemLoading();
    // Marks the item used and loads it; the first time also preloads the
    // items it refers to.
    void TouchItem(int32_t i) override;
    // Deletes every entry and its object.
    void RemoveAll() override;
    void RemoveAt(int32_t i) override { RemoveEntryAt(i); }
    int32_t GetCount() override;

    // Null for an index outside the list.
    virtual CItemUsageStats* GetUsageStats(int32_t i);
    CObject* GetItemObject(int32_t i) override { return GetObjectAt(i); }
    bool AreItemsObjects() override { return true; }
    // Each item is saved to its own file.
    CObject* GetItemOwnerObject(int32_t i) override { return GetItemObject(i); }
    CVirtualTree* GetItemTree() override;
    // How the image browser draws the entries; null: not browsable.
    virtual ImageBrowserItemFactory GetItemFactory() { return nullptr; }
    virtual void UnloadItem(int32_t i);
    // Clears the used and references-preloaded flags of every entry.
    virtual void ClearUsedFlags();
    virtual bool IsItemUsed(int32_t i);
    virtual bool IsItemMarked(int32_t i);
    virtual void SetItemMarked(int32_t i, bool flag);
    virtual CClassInfo* GetItemClassInfo() = 0;
    // Lists that can tell the file one of their objects came from answer true.
    virtual bool GetObjectFileName(const CObject* object, CJString& name);
    // -1 when no entry holds it, the list is empty, or an enumeration is pending.
    virtual int32_t FindObjectIndex(const CObject* object);
    // The file a save of the object writes (GetObjectFileName) is noted as it
    // is on disk now, as the object was read from it or written to it; a
    // file not there is noted as such. Nothing for an object of no entry.
    void NoteObjectFileAsOnDisk(const CObject* object);
    // Refuses a save over that file when it is no longer as noted (changed,
    // made or removed by another hand): true, and the object's edit waits
    // (IsObjectSaveRefused) until the file is noted again. False when nothing
    // was noted.
    bool RefuseSaveOverChangedFile(const CObject* object);
    // A write of the object's file failed: its edit waits as after a refusal.
    void KeepObjectEditWaiting(const CObject* object);
    bool IsObjectSaveRefused(const CObject* object);
    // Whether that file is as noted; false when nothing was noted.
    bool IsObjectFileAsNoted(const CObject* object);
    virtual bool IsEnumerated() { return !m_EnumerationPending; }
    // Records where to enumerate; the list enumerates on its next use. With a
    // name the list also registers under it (with no folder).
    virtual void SetSource(const char* name, const char* folder, uint32_t flags);
    virtual void RegisterList(const char* name, const char* folder);

    // Type hooks.
    virtual uint32_t GetPriority() { return 0; }
    // Set: an item whose file failed to load is fatal when used, and objects
    // of any class are accepted. Clear: it gives null, and objects not of
    // the list's class are refused.
    virtual bool GetLoadFlag() { return false; }
    virtual void LoadEntry(int32_t i);
    // The object read from folder/fileName plus the list's ending; null with
    // the reason in the last load error. slot is where the entry keeps it.
    virtual CObject* LoadObject(const CJString& folder, const CJString& fileName, CObject** slot);
    // The file endings, comma separated ("Upgrade.txt").
    virtual const char* GetListFileNameText() = 0;
    // A folder (below the second base folder) also searched; null for none.
    virtual const char* GetSecondFolder() { return nullptr; }
    // Items are folders (sequences), not files.
    virtual bool EnumeratesFolders() { return false; }
    // Last word on each search's options (a list of folders may take only
    // some of them).
    virtual void AdjustSearch(CEnumerateFilesOptions&) {}
    // The ending of the "Cache/" copies searched when the folder holds no item.
    virtual const char* GetCacheEnding() { return "property"; }

    // The object of entry i, loaded on first use. An index past the end (or
    // negative) gives entry 0; an empty list gives null.
    CObject* GetObjectAt(int32_t i);
    // A missing name is the fatal missing-item report.
    CObject* GetObjectByName(const char* name);
    // "." before each comma-separated ending: ".Upgrade.txt".
    void GetListFileNames(std::vector<CJString>& out);
    void RemoveEntryAt(int32_t i);

    static constexpr const char* kNoneEntryName = "!None";
    // "!None", by the name's file part ("Fonts/!None"), with or without an
    // ending ("!None.wav").
    static bool SIsNoneEntryName(const CJString& name);
    // The order of entries: by name without regard to case, equal names by
    // their bytes (the same one survives every run).
    static bool SSortsBefore(const CJString& a, const CJString& b);
    // Then the first entry named "!None" leads whatever sorts before it
    // ("!Aaa"), which would otherwise stand for none in its place.
    template <typename It, typename NameOf>
    static void SPlaceNoneEntryFirst(It first, It last, NameOf nameOf)
    {
        const It none = std::find_if(first, last, [&](const auto& entry) { return SIsNoneEntryName(nameOf(entry)); });
        if (none != last)
            std::rotate(first, none, std::next(none));
    }
    // The list's maker declares, before its first use, that row 0 is always
    // the none entry.
    void SetKeepsNoneEntry(bool keeps) { m_KeepsNoneEntry = keeps; }
    // Whether row 0 is the none entry: the list keeps one and has rows.
    bool HasNoneEntry();
    // 1 past the none entry, else 0.
    int32_t FirstRealRow() { return HasNoneEntry() ? 1 : 0; }
    // Whether a row names nothing: the none entry, or no row of the list.
    bool IsNoneRow(int32_t i) { return i < FirstRealRow() || i >= GetCount(); }
    // Row 0's name when the list keeps a none entry; empty for a list without.
    CJString NoneEntryName();

    CRemapList& GetRemapList() { return m_RemapList; }
    const CJString& GetLastLoadError() const { return m_LastLoadError; }
    // Options for a file of the list's class under its folder, the extension
    // the dot and first ending, and the none entry a new name must sort
    // after; null when that ending is shorter than 2 or the items are no
    // objects of a class.
    CNewFileOptions* GetNewFileOptions() override;
    // Writes a default object of the chosen class (or a copy of the
    // template) to the options' file and adds it loaded; -1 when the name is
    // taken or sorts before the none entry, the class does not fit or the
    // file can not be written.
    int32_t AddItemFromNewFileOptions(CNewFileOptions& options) override;

    // The folder tree over the items, built at enumeration (editor).
    CDirectoryTree* GetDirectoryTree() { return m_DirectoryTree.get(); }

protected:
    // The file of the entry holding the object: its item name, under the
    // list's folder unless the name is already a path, followed by the
    // ending. False while enumeration is pending or no entry holds it.
    bool ItemFileName(const CObject* object, const char* ending, CJString& name);
    // The same with the first of the list's endings, the one new files get.
    bool ItemFileNameWithFirstEnding(const CObject* object, CJString& name);

    void EnsureEnumerated()
    {
        if (m_EnumerationPending)
            Enumerate();
    }
    CObjectArrayFileEntry* EntryAt(int32_t i);
    CJString m_LastLoadError;

private:
    void Enumerate();
    // Appends an entry for every file (or folder) with the ending below folder.
    void Search(const CJString& folder, const CJString& ending, bool folders, uint32_t flags);
    void MakeNamesRelative(uint32_t first, bool stripEndings);
    void SortAndRemoveDuplicates();
    void DeleteEntries();
    // A list that keeps it gets "!None" at row 0 unless one is there; an
    // enumeration that found nothing leaves the list empty.
    enum class EvenWhenEmpty { No, Yes };
    void EnsureNoneEntry(EvenWhenEmpty empty);
    [[noreturn]] void ReportFailedLoad(CObjectArrayFileEntry& entry);

    CRemapList m_RemapList;
    CArrayPOD<CObjectArrayFileEntry*> m_Entries;
    CJString m_Folder;            // item names are relative to it
    CJString m_EnumerationFolder; // what is searched
    CJString m_ListName;          // empty when set up without a name
    std::unique_ptr<CDirectoryTree> m_DirectoryTree;
    bool m_Enumerated = false;
    bool m_EnumerationPending = false;
    bool m_KeepsNoneEntry = false;
    CJString m_SourceFolder;
    uint32_t m_EnumerationFlags = 0;
    std::vector<CJString> m_ListFileNames; // of the last enumeration, cache ending included
    std::string m_UnreadableFolder;        // when the last enumeration found nothing for it
    int32_t m_LastFound = 0;               // FindObjectIndex looks there first
};

// The list of the data objects of class T (U names the class the list
// reports and checks; the two are the same for every data type).
template <typename T, typename U = T>
class CObjectArrayBaseTemplate : public CObjectFileArray {
public:
    explicit CObjectArrayBaseTemplate(const char* listFileNameText)
        : m_ListFileNameText(listFileNameText)
    {
    }

    CClassInfo* GetItemClassInfo() override { return U::SGetClassInfo(); }
    const char* GetListFileNameText() override { return m_ListFileNameText; }
    // Each entry is an object text file of its own, so the editors can save
    // an edited entry back where it was read.
    bool GetObjectFileName(const CObject* object, CJString& name) override
    {
        return ItemFileNameWithFirstEnding(object, name);
    }

    // Null also for an object of another class (a list with the load flag
    // set accepts those; GetItemObject hands them out).
    T* GetObject(int32_t i) { return AsT(GetObjectAt(i)); }
    T* GetObjectByName(const char* name) { return AsT(CObjectFileArray::GetObjectByName(name)); }

private:
    static T* AsT(CObject* object) { return dynamic_cast<T*>(object); }

    const char* m_ListFileNameText;
};
