#include "foundation/CVirtualArray.h"

#include "foundation/CArrayPOD.h"
#include "foundation/CPerformanceMonitor.h"
#include "foundation/CurrentLoadFile.h"
#include "foundation/FatalError.h"
#include "foundation/TextEncoding.h"

#include <string>
#include <unordered_map>

namespace {

// Identifiers given out and given back. Never destroyed: static lists give
// their identifiers back during exit, in no defined order.
struct IdentifierPool {
    uint32_t next = 0;
    CArrayPOD<uint32_t> givenBack;
};

IdentifierPool& Identifiers()
{
    static IdentifierPool& pool = *new IdentifierPool;
    return pool;
}

ItemAddedBroadcaster g_Broadcaster = nullptr;

CPerformanceMonitor& FindZone()
{
    static CPerformanceMonitor zone("VirtualArray_Find");
    return zone;
}

CPerformanceMonitor& FindSpecialZone()
{
    static CPerformanceMonitor zone("VirtualArray_FindSpecial1");
    return zone;
}

CPerformanceMonitor& FindFailingZone()
{
    static CPerformanceMonitor zone("VirtualArray_FindFailing");
    return zone;
}

char FoldLower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// The text after the last "/" or "\".
const char* FileNamePart(const char* path)
{
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '/' || *p == '\\')
            name = p + 1;
    return name;
}

// The key of the file-name index: ASCII letters folded to lower case, as
// the case-blind comparison of 8-bit text folds them.
std::string FoldedFileName(const char* name)
{
    std::string folded(name);
    for (char& c : folded)
        c = FoldLower(c);
    return folded;
}

// Reports are 8-bit text: UTF-16 units above 255 show as "*".
CJString Narrowed(const CJString& text)
{
    CJString copy(text);
    if (copy.IsWide())
        copy.ToNarrow();
    return copy;
}

// Binary search over items sorted case-blind. keyAgainst(i) is positive when
// item i sorts below the key. The first probe is the hint, or index 0 for keys
// that sort first ("!" names), or the middle when the hint is outside.
template <typename KeyAgainst>
int32_t SearchSorted(int32_t count, int32_t hint, bool keySortsFirst, KeyAgainst keyAgainst)
{
    int32_t low = 0;
    int32_t high = count - 1;
    if (high < 0)
        return -1;
    int32_t probe = keySortsFirst ? 0 : (hint < 0 || hint > high ? high / 2 : hint);
    for (;;) {
        const int order = keyAgainst(probe);
        if (order == 0)
            return probe;
        if (order > 0)
            low = probe + 1;
        else
            high = probe - 1;
        if (high < low)
            return -1;
        probe = low + (high - low) / 2;
    }
}

} // namespace

// Folded file-name part -> the first index that has it.
struct CVirtualArray::CFileNameIndex {
    std::unordered_map<std::string, int32_t> first;
};

int CompareNameNoCase(const char* a, const char* b)
{
    if (!a)
        a = "";
    if (!b)
        b = "";
    for (;; ++a, ++b) {
        const unsigned char ca = uint8_t(FoldLower(*a));
        const unsigned char cb = uint8_t(FoldLower(*b));
        if (ca != cb || ca == 0)
            return int(ca) - int(cb);
    }
}

ItemAddedBroadcaster SetItemAddedBroadcaster(ItemAddedBroadcaster broadcaster)
{
    const ItemAddedBroadcaster previous = g_Broadcaster;
    g_Broadcaster = broadcaster;
    return previous;
}

void ResetVirtualArrayIdentifiers()
{
    IdentifierPool& pool = Identifiers();
    pool.next = 0;
    pool.givenBack.Free();
}

CVirtualArray::CVirtualArray() = default;

CVirtualArray::~CVirtualArray()
{
    if (m_Id < 0)
        return;
    IdentifierPool& pool = Identifiers();
    if (uint32_t(m_Id) + 1 == pool.next)
        pool.next = uint32_t(m_Id);
    else
        pool.givenBack.Append(uint32_t(m_Id));
    m_Id = -1;
}

int32_t CVirtualArray::GetId()
{
    if (m_Id < 0) {
        IdentifierPool& pool = Identifiers();
        const uint32_t count = pool.givenBack.GetCount();
        if (count != 0) {
            m_Id = int32_t(pool.givenBack[count - 1]);
            pool.givenBack.RemoveAt(count - 1);
        } else {
            m_Id = int32_t(pool.next++);
        }
    }
    return m_Id;
}

bool CVirtualArray::BroadcastItemAdded(int32_t i)
{
    return g_Broadcaster ? g_Broadcaster(*this, i) : false;
}

const CJString& CVirtualArray::GetSecondText(int32_t)
{
    static const CJString kEmpty;
    return kEmpty;
}

CJString& CVirtualArray::GetNameCopy(CJString& out, int32_t i)
{
    out = GetItemNameString(i);
    return out;
}

void CVirtualArray::SetSecondText(int32_t, const CJString&) {}
void CVirtualArray::GetListName(CJString& out)
{
    out.Empty();
}
const char* CVirtualArray::GetFolderName()
{
    return nullptr;
}
bool CVirtualArray::IsItemLoaded(int32_t)
{
    return false;
}
bool CVirtualArray::IsItemLoading(int32_t)
{
    return false;
}
void CVirtualArray::TouchItem(int32_t) {}
void CVirtualArray::RemoveAll() {}
int32_t CVirtualArray::Add(const CJString&)
{
    return -1;
}
int32_t CVirtualArray::Add(const char*)
{
    return -1;
}
void CVirtualArray::RemoveAt(int32_t) {}
void CVirtualArray::Swap(int32_t, int32_t) {}
bool CVirtualArray::GetItemFlag(int32_t)
{
    return true;
}
void CVirtualArray::SetItemFlag(int32_t, bool) {}
bool CVirtualArray::IsObjectFileList()
{
    return false;
}

int32_t CVirtualArray::FindOrReportMissing(const CJString& name, int32_t hint)
{
    const int32_t index = Find(name, hint);
    if (index >= 0)
        return index;
    ReportMissing(Narrowed(name).GetString(), KeyKind::JString);
}

int32_t CVirtualArray::FindOrReportMissing(const char* name, int32_t hint)
{
    const int32_t index = Find(name, hint);
    if (index >= 0)
        return index;
    ReportMissing(name ? name : "", KeyKind::Narrow);
}

void CVirtualArray::ReportUnreadableFolder(const char* key, const CJString& listName)
{
    const std::string folder = GetUnreadableFolder();
    if (folder.empty())
        return;
    // The item is only the first thing missed: the report is about where the
    // list is read from. The path is the system's own (UTF-8).
    const std::string list = Windows1252ToUtf8(listName.IsNotEmpty() ? listName.GetString() : "");
    std::string report = "The game can not read the folder \"" + folder + "\".\r\n\r\nThe";
    if (!list.empty())
        report += " \"" + list + "\"";
    report += " list is read from that folder, so it is empty and \"" + Windows1252ToUtf8(key)
        + "\" can not be found.\r\n\r\nCheck that the folder is there and that it may be read: the game's data "
          "are missing, or the game was started from another folder than the one that holds them.";
    FatalDataErrorUtf8("Fatal Folder Error", report);
}

void CVirtualArray::ReportMissing(const char* key, KeyKind kind)
{
    CJString listName;
    GetListName(listName);
    listName = Narrowed(listName);
    const char* folder = GetFolderName();
    const bool hasFolder = folder && *folder;

    CJString report;
    report.Format("The game is looking for some data or a file but can not find it.  "
                  "The item we are looking for is \"%s\"",
                  key);
    if (listName.IsNotEmpty()) {
        report.AppendFormat(" which should be in the \"%s\" list", listName.GetString());
        if (hasFolder && listName.CompareNoCase(folder) != 0)
            report.AppendFormat(" located in the \"%s\" folder", folder);
    } else if (hasFolder) {
        report.AppendFormat(" which should be in the \"%s\" folder", folder);
    }

    const int32_t count = GetCount();
    if (count <= 0)
        ReportUnreadableFolder(key, listName);
    if (count <= 0) {
        report.Append("\r\n\r\n***List contains no items*** ");
    } else {
        report.AppendFormat("\r\n\r\nThat list does contain the following items but \"%s\" is missing:", key);
        for (int32_t i = 0; i < count && i < 10; ++i) {
            const char* itemName = GetItemName(i);
            report.AppendFormat("\r\n %d) %s", int(i), itemName ? itemName : "");
        }
        if (count > 10)
            report.Append("\r\n ...");
    }

    const CJString sourceName = Narrowed(GetCurrentLoadFileName());
    const char* source = sourceName.GetString();
    if (sourceName.IsEmpty())
        report.Append("\r\n\r\nThe item was referenced by an unknown source");
    else
        report.AppendFormat("\r\n\r\nThe item was referenced by \"%s\"", source);

    report.Append("\r\n\r\nThis could mean:");
    if (kind == KeyKind::JString)
        report.AppendFormat(
            "\r\n\r\n   A) You recently got a new file, some art or a new program EXE, possible \"%s\", and the new "
            "file requires some other new file, \"%s\", to make them work.  You should be able to get these other "
            "files by doing a get.  It is also passable that someone else did not check these files in yet.  If "
            "doing a get doesn't fix the problem them find out who changed \"%s\" and ask them to add the new \"%s\" "
            "files.",
            source, key, source, key);
    else
        report.AppendFormat(
            "\r\n\r\n   A) You recently got a new file, some art or a new proram EXE, possible \"%s\", and the new "
            "file requires some other new file, \"%s\", to make them work.  You should be able to get these other "
            "files by doing a get.  It is also possable that someone else did not check these files in yet.  If "
            "doing a get doesn't fix the problem them find out who changed \"%s\" and ask them to add the new \"%s\" "
            "files.",
            source, key, source, key);
    report.Append("\r\n\r\n or");
    report.AppendFormat(
        "\r\n\r\n   B) You (or someone else) deleted \"%s\" but it is being used by \"%s\".  You need "
        "to un-delete \"%s\" or manually edit the text for \"%s\" to make it no longer reference \"%s\"",
        key, source, key, source, key);
    FatalDataError("Fatal Not Found Error", report.GetString());
}

int32_t CVirtualArray::BinarySearch(const CJString& name, int32_t hint)
{
    return SearchSorted(GetCount(), hint, name.GetAtChecked(0) == u'!',
                        [&](int32_t probe) { return name.CompareNoCase(GetItemName(probe)); });
}

int32_t CVirtualArray::BinarySearch(const char* name, int32_t hint)
{
    if (!name)
        name = "";
    return SearchSorted(GetCount(), hint, name[0] == '!',
                        [&](int32_t probe) { return CompareNameNoCase(name, GetItemName(probe)); });
}

int32_t CVirtualArray::SortedFind(const CJString& name, int32_t hint)
{
    const int32_t index = BinarySearch(name, hint);
    return index >= 0 ? index : FindByFileName(name);
}

int32_t CVirtualArray::SortedFind(const char* name, int32_t hint)
{
    const int32_t index = BinarySearch(name, hint);
    return index >= 0 ? index : FindByFileName(name);
}

int32_t CVirtualArray::FindByFileName(const CJString& name)
{
    CJString fileName;
    CJString::SplitPath(name, nullptr, &fileName);
    // Brings a list with pending changes up to date, which drops a stale index.
    const int32_t count = GetCount();
    // 16-bit keys compare unit by unit against the 8-bit names; the scan
    // keeps that rule.
    if (!m_KeepsFileNameIndex || fileName.IsWide())
        return FindByFileNameScan(fileName, count);
    if (!m_FileNameIndex) {
        auto index = std::make_unique<CFileNameIndex>();
        index->first.reserve(size_t(count > 0 ? count : 0));
        for (int32_t i = 0; i < count; ++i) {
            const char* itemName = GetItemName(i);
            index->first.emplace(FoldedFileName(FileNamePart(itemName ? itemName : "")), i);
        }
        m_FileNameIndex = std::move(index);
    }
    const auto found = m_FileNameIndex->first.find(FoldedFileName(fileName.GetString()));
    if (found != m_FileNameIndex->first.end())
        return found->second;
    if (IsPerformanceMonitoringOn()) {
        CPerformanceMonitorScope zone(FindFailingZone());
    }
    return -1;
}

int32_t CVirtualArray::FindByFileNameScan(const CJString& fileName, int32_t count)
{
    const bool timed = IsPerformanceMonitoringOn();
    for (int32_t i = 0; i < count; ++i) {
        CPerformanceMonitorScope zone(timed ? &FindSpecialZone() : nullptr);
        const char* itemName = GetItemName(i);
        if (fileName.CompareNoCase(FileNamePart(itemName ? itemName : "")) == 0)
            return i;
    }
    if (timed) {
        CPerformanceMonitorScope zone(FindFailingZone());
    }
    return -1;
}

void CVirtualArray::InvalidateFileNameIndex()
{
    m_FileNameIndex.reset();
}

int32_t CVirtualArray::FindByFileName(const char* name)
{
    return FindByFileName(CJString(name));
}

int32_t CVirtualArray::LinearSearch(const CJString& name, int32_t hint)
{
    const int32_t count = GetCount();
    if (hint >= 0 && hint < count && name.CompareNoCase(GetItemName(hint)) == 0)
        return hint;
    for (int32_t i = 0; i < count; ++i)
        if (name.CompareNoCase(GetItemName(i)) == 0)
            return i;
    return -1;
}

int32_t CVirtualArray::LinearSearch(const char* name, int32_t hint)
{
    const int32_t count = GetCount();
    if (hint >= 0 && hint < count && CompareNameNoCase(GetItemName(hint), name) == 0)
        return hint;
    for (int32_t i = 0; i < count; ++i)
        if (CompareNameNoCase(GetItemName(i), name) == 0)
            return i;
    return -1;
}

int32_t CSimpleVirtualArray::Find(const CJString& name, int32_t hint)
{
    if (m_Sorted)
        return SortedFind(name, hint);
    const int32_t index = LinearSearch(name, hint);
    return index >= 0 ? index : FindByFileName(name);
}

int32_t CSimpleVirtualArray::Find(const char* name, int32_t hint)
{
    CPerformanceMonitorScope zone(IsPerformanceMonitoringOn() ? &FindZone() : nullptr);
    if (m_Sorted)
        return SortedFind(name, hint);
    const int32_t index = LinearSearch(name, hint);
    return index >= 0 ? index : FindByFileName(name);
}
