#pragma once
// The indexed, named collection every list, registry and resource list of the
// engine is built on. Items have names (compared ignoring ASCII case) and are
// found by name: a hint first, then a binary search on sorted lists or a
// linear one otherwise, and as a last resort a match on the file-name part of
// the names, so that "Folder/Bar" finds an item "Other/Bar" or "Bar". Data
// relies on that last rule.
//
// Sorted lists must be sorted by the comparison their search uses: 8-bit
// names fold ASCII letters to lower case ("_" sorts after the letters).
//
// Every array can take a small process-wide identifier (GetId) that other
// parts use to index per-array tables; identifiers are given back and reused.

#include "foundation/CJString.h"
#include "foundation/CMemoryPool.h"
#include "foundation/UpwardHook.h"

#include <cstdint>
#include <memory>
#include <string>

class CNewFileOptions;
class CObject;
class CVirtualTree;

class CVirtualArray : public CPooledClassBase {
public:
    CVirtualArray();
    CVirtualArray(const CVirtualArray&) = delete;
    CVirtualArray& operator=(const CVirtualArray&) = delete;
    // Gives an assigned identifier back.
    virtual ~CVirtualArray();

    // The item's name as 8-bit text.
    virtual const char* GetItemName(int32_t i) = 0;
    virtual CJString GetItemNameString(int32_t i) = 0;
    // Empty unless the list keeps a second text per item.
    virtual const CJString& GetSecondText(int32_t i);
    CJString& GetNameCopy(CJString& out, int32_t i);
    virtual void SetSecondText(int32_t i, const CJString& text);

    // Lookups answer -1 when nothing matches; a hint outside the array is ignored.
    virtual int32_t Find(const CJString& name, int32_t hint = -1) = 0;
    virtual int32_t Find(const char* name, int32_t hint = -1) = 0;
    // As Find, but a missing item ends the program with a report for the data
    // author ("Fatal Not Found Error").
    virtual int32_t FindOrReportMissing(const CJString& name, int32_t hint = -1);
    virtual int32_t FindOrReportMissing(const char* name, int32_t hint = -1);

    // The list's display name; empty by default.
    virtual void GetListName(CJString& out);
    // The folder the items live in, or null.
    virtual const char* GetFolderName();
    // The disk path of the list's folder when the list is empty because that
    // folder could not be read; empty otherwise.
    virtual std::string GetUnreadableFolder() { return std::string(); }

    virtual bool IsItemLoaded(int32_t i);
    virtual bool IsItemLoading(int32_t i);
    // Notes that item i is in use.
    virtual void TouchItem(int32_t i);

    virtual void RemoveAll();
    // Index of the new item; -1 when the list does not take additions.
    virtual int32_t Add(const CJString& name);
    virtual int32_t Add(const char* name);
    virtual void RemoveAt(int32_t i);
    virtual void Swap(int32_t i, int32_t j);
    virtual int32_t GetCount() = 0;
    virtual bool GetItemFlag(int32_t i);
    virtual void SetItemFlag(int32_t i, bool flag);
    virtual bool IsObjectFileList();
    // False makes lists skip the item and refuse to select it.
    virtual bool CanSelectItem(int32_t) { return true; }
    // The editor's new-file dialog: fresh options the caller owns (null when
    // the list makes no files), and the item made from accepted options (-1
    // when none was made).
    virtual CNewFileOptions* GetNewFileOptions() { return nullptr; }
    virtual int32_t AddItemFromNewFileOptions(CNewFileOptions&) { return -1; }

    // What the editor's list row asks of the list it offers; every answer
    // is "nothing" here.
    virtual bool AreItemsObjects() { return false; }
    virtual CObject* GetItemObject(int32_t) { return nullptr; }
    // The object whose file holds item i.
    virtual CObject* GetItemOwnerObject(int32_t) { return nullptr; }
    // Null: shown flat. Tree ids below the count are the items.
    virtual CVirtualTree* GetItemTree() { return nullptr; }
    virtual bool HasExtraButton() { return false; }
    virtual CJString GetExtraButtonTitle() { return CJString(); }
    virtual void OnExtraButton(int32_t /*current*/) {}
    // Told after a row stored item i as its new choice.
    virtual void OnItemChosen(int32_t /*i*/) {}
    // Makes an item at once; its index, or -1.
    virtual int32_t CreateItem(int32_t /*kind*/) { return -1; }
    // Whether the list makes items at once; enabled says whether it can now.
    virtual bool CanCreateItem(bool& enabled)
    {
        enabled = false;
        return false;
    }

    // Probes the hint first, index 0 first for keys beginning with "!", else
    // the middle.
    virtual int32_t BinarySearch(const CJString& name, int32_t hint = -1);
    virtual int32_t BinarySearch(const char* name, int32_t hint = -1);
    // BinarySearch, then FindByFileName.
    virtual int32_t SortedFind(const CJString& name, int32_t hint = -1);
    virtual int32_t SortedFind(const char* name, int32_t hint = -1);
    // The first item whose file-name part (after the last "/" or "\") equals
    // the key's, in index order: the last resort of every Find. Lists that
    // keep a file-name index answer from it; others compare every item.
    virtual int32_t FindByFileName(const CJString& name);
    virtual int32_t FindByFileName(const char* name);

    // The identifier, taken on first request.
    int32_t GetId();
    // Tells the message dispatch that item i was added; true when a receiver
    // handled it. Lists call it after adding an item.
    bool BroadcastItemAdded(int32_t i);

protected:
    // The hint when it names the key, else the first equal name, else -1.
    int32_t LinearSearch(const CJString& name, int32_t hint);
    int32_t LinearSearch(const char* name, int32_t hint);
    enum class KeyKind { JString, Narrow };
    // Builds the missing-item report for key and ends the program.
    [[noreturn]] void ReportMissing(const char* key, KeyKind kind);
    // Ends the program naming the folder when an empty list's folder could
    // not be read; returns otherwise.
    void ReportUnreadableFolder(const char* key, const CJString& listName);

    // Opts in to the file-name index: built on the first FindByFileName
    // after a change, it gives the same answers as comparing every item. A
    // list that keeps it calls InvalidateFileNameIndex whenever an item is
    // added, removed, renamed or moved, and makes GetCount bring its items
    // up to date first.
    void KeepFileNameIndex() { m_KeepsFileNameIndex = true; }
    void InvalidateFileNameIndex();

private:
    struct CFileNameIndex;
    int32_t FindByFileNameScan(const CJString& fileName, int32_t count);

    int32_t m_Id = -1;
    bool m_KeepsFileNameIndex = false;
    std::unique_ptr<CFileNameIndex> m_FileNameIndex; // null until needed
};

// An array whose sorted flag chooses the search: binary when sorted, linear
// otherwise; both end with the file-name search.
class CSimpleVirtualArray : public CVirtualArray {
public:
    using CVirtualArray::Find;
    int32_t Find(const CJString& name, int32_t hint = -1) override;
    // Runs in the zone "VirtualArray_Find" while zone timing is on.
    int32_t Find(const char* name, int32_t hint = -1) override;

    bool IsSorted() const { return m_Sorted; }
    void SetSorted(bool sorted) { m_Sorted = sorted; }

private:
    bool m_Sorted = false;
};

// Case-blind comparison of two 8-bit names, ASCII letters folded to lower
// case as the C library does; null counts as empty. Only the sign is defined.
int CompareNameNoCase(const char* a, const char* b);

// The message-dispatch seam for BroadcastItemAdded: the dispatcher installs
// a function that sends the item-added message; without one nobody handles it.
using ItemAddedBroadcaster = bool (*)(CVirtualArray& array, int32_t index);
ItemAddedBroadcaster SetItemAddedBroadcaster(ItemAddedBroadcaster broadcaster);
OMBRISALT_UPWARD_HOOK(SetItemAddedBroadcaster);

// Forgets every identifier handed out, as at process start (tests).
void ResetVirtualArrayIdentifiers();
