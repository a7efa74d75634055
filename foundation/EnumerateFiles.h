#pragma once
// Listing files or folders by folder, name prefix and extension: first on
// disk, then in the mounted archives. Each entry goes to a callback object;
// a name already accepted (HasEntry) is dropped, so an entry found loose and
// in an archive is reported once, from the disk.
//
// Symbolic links on disk are followed, also to folders outside the data
// folder (data may be installed that way), but every real folder is listed
// once, by the first path that reaches it: links back into the tree never
// repeat files and never make the walk endless.

#include "foundation/CJString.h"
#include "foundation/CVirtualArray.h"

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

struct CEnumerateFilesInfo {
    uint32_t size = 0;
    uint32_t reserved = 0;
    uint32_t timeLow = 0; // file time, low and high halves
    uint32_t timeHigh = 0;
    // The name on disk (or a folder on its way) has characters the 8-bit
    // form cannot hold: the name reported, with "?" for them, opens nothing.
    bool nameLost = false;
    // Neither a regular file nor a folder: a named pipe, a device.
    bool notRegular = false;
};

// Why an entry found cannot be read as data ("its name has characters ...",
// "it is not a regular file ..."); null when it can.
const char* WhyEntryIsUnreadable(const CEnumerateFilesInfo& info);

inline constexpr uint32_t kEnumerateMaxExtensions = 5;

struct CEnumerateFilesOptions {
    // 0: every subfolder; 1: not into folders beginning with "-"; 2: this folder only.
    uint32_t recursion = 1;
    uint32_t folders = 0;   // 0 files, 1 folders
    uint32_t namesOnly = 0; // bare names instead of paths relative to the base folder
    const char* folder = "";
    const char* prefix = "";
    uint32_t extensionCount = 0;
    CJString extensions[kEnumerateMaxExtensions]; // without "."; empty matches any

    CEnumerateFilesOptions() = default;
    void SetFolder(const char* name) { folder = name ? name : ""; }
    void SetRecurse(uint32_t mode) { recursion = mode; }
    // Drops a leading "."; a sixth extension is ignored.
    void AddExtension(const char* extension);
    void SetFilesWithExtension(const char* name, const char* extension);
    void SetFolderMode(const char* name, bool dashPrefixOnly);
};

class CEnumerateFilesCallback {
public:
    virtual ~CEnumerateFilesCallback() = default;
    virtual uint32_t GetCount() = 0;
    virtual void AddEntry(const char* name, const CEnumerateFilesInfo& info) = 0;
    virtual bool HasEntry(const char* name) = 0;
};

// Timed as "EnumerateFiles". Answers the callback's count.
uint32_t EnumerateFiles(CEnumerateFilesCallback& callback, const CEnumerateFilesOptions& options, uint32_t flags);

class CRoughFileCounter : public CEnumerateFilesCallback {
public:
    uint32_t GetCount() override { return m_Count; }
    void AddEntry(const char*, const CEnumerateFilesInfo&) override { ++m_Count; }
    bool HasEntry(const char*) override { return false; }

private:
    uint32_t m_Count = 0;
};

// Fills a caller's table of fixed-width names (slot i at byte i * width)
// and, when given, the sizes as u32 at byte i * width of a second table.
class CEnumerateFilesToStaticArray : public CEnumerateFilesCallback {
public:
    CEnumerateFilesToStaticArray(char* names, uint8_t* values, uint32_t width, uint32_t slots);
    uint32_t GetCount() override { return m_Count; }
    // A name longer than width - 1 is fatal ("Illegal file name").
    void AddEntry(const char* name, const CEnumerateFilesInfo& info) override;
    bool HasEntry(const char* name) override;

private:
    char* m_Names;
    uint8_t* m_Values;
    uint32_t m_Width;
    uint32_t m_Slots;
    uint32_t m_Count = 0;
};

uint32_t EnumerateFilesToStaticArray(const CEnumerateFilesOptions& options, char* names, uint8_t* values,
                                     uint32_t width, uint32_t slots, uint32_t flags);

// Names with sizes and times, in the order found.
class CFileNameArray : public CSimpleVirtualArray {
public:
    struct Record {
        CJString name;
        uint32_t size = 0;
        uint32_t timeLow = 0;
        uint32_t timeHigh = 0;
        bool nameLost = false;
        bool notRegular = false;
    };

    const char* GetItemName(int32_t i) override;
    CJString GetItemNameString(int32_t i) override;
    int32_t GetCount() override { return int32_t(m_Records.size()); }
    void RemoveAll() override
    {
        m_Records.clear();
        m_Folded.clear();
    }

    void AddName(const char* name, const CEnumerateFilesInfo& info);
    bool HasName(const char* name);
    const Record& GetRecord(int32_t i) const { return m_Records[size_t(i)]; }
    // Empties the array, then lists into it.
    uint32_t Enumerate(const CEnumerateFilesOptions& options, uint32_t flags);

private:
    std::vector<Record> m_Records;
    std::unordered_set<std::string> m_Folded; // names with ASCII letters lowered, for HasName
};

// Forwards to a list that collects names itself.
template <class T>
class CEnumerateFilesCallbackTemplate : public CEnumerateFilesCallback {
public:
    explicit CEnumerateFilesCallbackTemplate(T& target)
        : m_Target(target)
    {
    }
    uint32_t GetCount() override { return uint32_t(m_Target.GetCount()); }
    void AddEntry(const char* name, const CEnumerateFilesInfo& info) override { m_Target.AddName(name, info); }
    bool HasEntry(const char* name) override { return m_Target.HasName(name); }

private:
    T& m_Target;
};

// "Cache": the folder below the data folder holding built caches.
const char* GetCacheFolderName();

// The name with ASCII letters lowered: equal for names CompareNameNoCase
// calls equal.
std::string FoldName(const char* name);

// Case-blind (ASCII letters folded to lower case) prefix test on 8-bit names.
bool StartsWithNoCase(const char* text, const char* prefix, size_t prefixLength);
