#include "foundation/EnumerateFiles.h"

#include "foundation/CFile.h"
#include "foundation/CMountedArchiveTable.h"
#include "foundation/CPerformanceMonitor.h"
#include "foundation/FatalError.h"
#include "foundation/FilePaths.h"
#include "foundation/TextEncoding.h"
#include "platform/FileLock.h"
#include "platform/FileSearch.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace {

int LowerAscii(int c)
{
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
}

bool EqualsNoCase(const char* a, const char* b)
{
    return CompareNameNoCase(a, b) == 0;
}

// Folders are told apart by device and inode, so a folder reached again
// through a symbolic link (a link to "." or to a parent would otherwise be
// walked until the path is too long, or for ever with two such links) is
// listed once, under the first path the sorted walk reaches it by.
struct FolderKey {
    uint64_t device;
    uint64_t inode;
    bool operator==(const FolderKey&) const = default;
};

struct FolderKeyHash {
    size_t operator()(const FolderKey& key) const { return size_t(key.device * 0x9E3779B97F4A7C15ull ^ key.inode); }
};

struct DiskPass {
    CEnumerateFilesCallback& callback;
    size_t prefixLength; // of the data folder, cut from reported paths
    std::string path;    // the one path buffer of the pass
    std::unordered_set<FolderKey, FolderKeyHash> visited;

    // folder is the 8-bit form the reports are made of; diskFolder the same
    // folder on disk, its bytes kept; lost whether the 8-bit form lost any.
    void Folder(const CEnumerateFilesOptions& options, const std::string& folder, const std::string& diskFolder,
                bool lost);
};

void Report(CEnumerateFilesCallback& callback, const char* name, const plat::FindEntry& found, bool lost)
{
    if (callback.HasEntry(name))
        return;
    CEnumerateFilesInfo info;
    info.size = found.size;
    info.timeLow = uint32_t(found.writeTime);
    info.timeHigh = uint32_t(found.writeTime >> 32);
    info.nameLost = lost;
    info.notRegular = !found.isFolder && !found.isRegular;
    callback.AddEntry(name, info);
}

// Whether the 8-bit form of a name on disk stands for it.
bool Holds(const std::string& engine, const std::string& disk)
{
    return Windows1252ToUtf8(engine) == disk;
}

void DiskPass::Folder(const CEnumerateFilesOptions& options, const std::string& folder, const std::string& diskFolder,
                      bool lost)
{
    plat::FileIdentity identity;
    if (plat::GetFileIdentity(diskFolder.empty() ? std::string(".") : diskFolder, identity)
        && !visited.insert(FolderKey{identity.device, identity.inode}).second)
        return;
    const std::string prefix = DiskNameOf(options.prefix);
    const uint32_t extensionCount = std::min(options.extensionCount, kEnumerateMaxExtensions);
    for (uint32_t e = 0; e < extensionCount; ++e) {
        const CJString& extension = options.extensions[e];
        std::string pattern = diskFolder + prefix + "*.";
        pattern += extension.IsEmpty() ? std::string("*") : DiskNameOf(extension.GetString());
        for (const plat::FindEntry& found : plat::FindFiles(pattern)) {
            if (found.isFolder != (options.folders == 1) || found.name.empty() || found.name[0] == '.')
                continue;
            const std::string name = Utf8ToWindows1252(found.name);
            const bool nameLost = lost || !Holds(name, found.name);
            if (options.namesOnly) {
                Report(callback, name.c_str(), found, nameLost);
            } else {
                path = folder.substr(std::min(prefixLength, folder.size())) + name;
                Report(callback, path.c_str(), found, nameLost);
            }
        }
    }
    if (options.recursion == 2)
        return;
    const bool skipCache
        = options.folders == 0 && options.extensionCount == 1 && EqualsNoCase(options.extensions[0].GetString(), "ZIP");
    for (const plat::FindEntry& found : plat::FindFiles(diskFolder + "*.")) {
        if (!found.isFolder || found.name.empty() || found.name[0] == '.')
            continue;
        if (options.recursion == 1 && found.name[0] == '-')
            continue;
        if (skipCache && EqualsNoCase(found.name.c_str(), "cache"))
            continue;
        const std::string name = Utf8ToWindows1252(found.name);
        Folder(options, folder + name + "/", diskFolder + found.name + "/", lost || !Holds(name, found.name));
    }
}

} // namespace

std::string FoldName(const char* name)
{
    std::string folded(name ? name : "");
    for (char& c : folded)
        c = char(LowerAscii(uint8_t(c)));
    return folded;
}

bool StartsWithNoCase(const char* text, const char* prefix, size_t prefixLength)
{
    if (!prefix)
        return true;
    if (!text)
        return prefixLength == 0;
    for (size_t i = 0; i < prefixLength; ++i) {
        if (LowerAscii(uint8_t(text[i])) != LowerAscii(uint8_t(prefix[i])))
            return false;
        if (text[i] == 0)
            return prefix[i] == 0;
    }
    return true;
}

const char* WhyEntryIsUnreadable(const CEnumerateFilesInfo& info)
{
    if (info.nameLost)
        return "its name has characters that the data's file names cannot hold (read as \"?\"); rename it";
    if (info.notRegular)
        return "it is not a regular file (a named pipe or a device, or a link to one)";
    return nullptr;
}

// --- Options ---

void CEnumerateFilesOptions::AddExtension(const char* extension)
{
    if (extensionCount >= kEnumerateMaxExtensions)
        return;
    if (!extension)
        extension = "";
    if (extension[0] == '.')
        ++extension;
    extensions[extensionCount++].Set(extension);
}

void CEnumerateFilesOptions::SetFilesWithExtension(const char* name, const char* extension)
{
    SetFolder(name);
    folders = 0;
    prefix = "";
    extensionCount = 0;
    AddExtension(extension);
}

void CEnumerateFilesOptions::SetFolderMode(const char* name, bool dashPrefixOnly)
{
    SetFolder(name);
    folders = 1;
    prefix = dashPrefixOnly ? "-" : "";
    extensionCount = 0;
    AddExtension("");
}

// --- EnumerateFiles ---

uint32_t EnumerateFiles(CEnumerateFilesCallback& callback, const CEnumerateFilesOptions& options, uint32_t flags)
{
    static CPerformanceMonitor zone("EnumerateFiles");
    static CPerformanceMonitor diskZone("EnumerateFilesNormal");
    static CPerformanceMonitor zipZone("EnumerateFilesZip");
    CPerformanceMonitorScope scope(zone);

    CJString resolved;
    ResolveFileName(resolved, options.folder ? options.folder : "", flags);
    if (resolved.IsWide())
        resolved.ToNarrow();
    size_t prefixLength = 0;
    if ((flags & FILE_BASE_FOLDER_MASK) == 0) {
        const char* folder = options.folder ? options.folder : "";
        const bool absolute = folder[0] == '/' || folder[0] == '\\' || (folder[0] && folder[1] == ':');
        if (!absolute)
            prefixLength = size_t(GetBaseFolder(0).GetLength());
    }
    {
        CPerformanceMonitorScope diskScope(diskZone);
        DiskPass pass{callback, prefixLength, std::string(), {}};
        pass.Folder(options, resolved.GetString(), ResolveDiskPath(options.folder, flags), false);
    }
    if (CMountedArchiveTable::Get().IsMounted()) {
        CPerformanceMonitorScope zipScope(zipZone);
        CMountedArchiveTable::Get().Enumerate(callback, options);
    }
    return callback.GetCount();
}

// --- Fixed-width tables ---

CEnumerateFilesToStaticArray::CEnumerateFilesToStaticArray(char* names, uint8_t* values, uint32_t width, uint32_t slots)
    : m_Names(names)
    , m_Values(values)
    , m_Width(width)
    , m_Slots(slots)
{
}

void CEnumerateFilesToStaticArray::AddEntry(const char* name, const CEnumerateFilesInfo& info)
{
    if (m_Count >= m_Slots || m_Width == 0)
        return;
    const size_t length = std::strlen(name);
    if (length > m_Width - 1) {
        CJString message;
        message.Format("\"%s\" is an illegal file name because it is more than %d characters long", name,
                       int(m_Width - 1));
        FatalDataError("Illegal file name", message.GetString());
    }
    std::memcpy(m_Names + size_t(m_Count) * m_Width, name, length + 1);
    if (m_Values) {
        uint8_t* value = m_Values + size_t(m_Count) * m_Width;
        for (int i = 0; i < 4; ++i)
            value[i] = uint8_t(info.size >> (8 * i));
    }
    ++m_Count;
}

bool CEnumerateFilesToStaticArray::HasEntry(const char* name)
{
    for (uint32_t i = 0; i < m_Count; ++i)
        if (EqualsNoCase(m_Names + size_t(i) * m_Width, name))
            return true;
    return false;
}

uint32_t EnumerateFilesToStaticArray(const CEnumerateFilesOptions& options, char* names, uint8_t* values,
                                     uint32_t width, uint32_t slots, uint32_t flags)
{
    CEnumerateFilesToStaticArray callback(names, values, width, slots);
    return EnumerateFiles(callback, options, flags);
}

// --- CFileNameArray ---

const char* CFileNameArray::GetItemName(int32_t i)
{
    if (i < 0 || size_t(i) >= m_Records.size())
        return nullptr;
    return m_Records[size_t(i)].name.GetString();
}

CJString CFileNameArray::GetItemNameString(int32_t i)
{
    if (i < 0 || size_t(i) >= m_Records.size())
        return CJString();
    return m_Records[size_t(i)].name;
}

void CFileNameArray::AddName(const char* name, const CEnumerateFilesInfo& info)
{
    if (m_Records.size() == m_Records.capacity())
        m_Records.reserve(std::max<size_t>(4, m_Records.capacity() * 2));
    Record record;
    record.name.Set(name);
    record.size = info.size;
    record.timeLow = info.timeLow;
    record.timeHigh = info.timeHigh;
    record.nameLost = info.nameLost;
    record.notRegular = info.notRegular;
    m_Records.push_back(record);
    m_Folded.insert(FoldName(name));
}

bool CFileNameArray::HasName(const char* name)
{
    return m_Folded.count(FoldName(name)) != 0;
}

uint32_t CFileNameArray::Enumerate(const CEnumerateFilesOptions& options, uint32_t flags)
{
    RemoveAll();
    CEnumerateFilesCallbackTemplate<CFileNameArray> callback(*this);
    return EnumerateFiles(callback, options, flags);
}

const char* GetCacheFolderName()
{
    return "Cache";
}
