#pragma once
// Zip archives mounted into the file name space.
//
// Only stored members are read; whole-file compression is the compressed
// block's job. Records, little-endian, signatures as u32:
//   local header    0x04034B50, 26 bytes, name, extra, data
//   central record  0x02014B50, 42 bytes, name, extra, comment
//   end record      0x06054B50 (or the engine's own 0x06055651), 18 bytes
//
// Archives hang in a tree of mount points; the archive of the deepest node
// along a name's folder is the one asked. Writable archives are never edited
// in place: the first writer copies the archive to a hidden temporary beside
// it, members are moved and rewritten there, and the copy replaces the
// archive when the directory is written at the close of the writer. A crash
// or fatal exit in between leaves the archive as it was.

#include "foundation/ArchiveSeam.h"
#include "foundation/CFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CEnumerateFilesCallback;
struct CEnumerateFilesOptions;

inline constexpr uint32_t kZipLocalSignature = 0x04034B50;
inline constexpr uint32_t kZipCentralSignature = 0x02014B50;
inline constexpr uint32_t kZipEndSignature = 0x06054B50;
inline constexpr uint32_t kZipAlternativeEndSignature = 0x06055651; // "QV56"
inline constexpr uint32_t kZipCentralRecordSize = 42;               // after the signature
inline constexpr uint32_t kZipLocalHeaderSize = 30;                 // with the signature
inline constexpr uint32_t kZipEndRecordSize = 22;                   // with the signature

// One member. The central record is kept as read so that it is written back
// unchanged; extra and comment bytes likewise.
struct CZipArchiveEntry {
    std::string fullName;             // mount point + stored name
    uint8_t record[kZipCentralRecordSize] = {};
    std::vector<uint8_t> extra;
    std::vector<uint8_t> comment;
    int64_t dataStart = -1;           // from the local header; -1 until read
    bool open = false;                // read through the shared archive file
    bool listed = false;              // reported by the last enumeration visiting it

    uint16_t GetU16(uint32_t at) const { return uint16_t(record[at] | record[at + 1] << 8); }
    uint32_t GetU32(uint32_t at) const;
    void SetU16(uint32_t at, uint16_t value);
    void SetU32(uint32_t at, uint32_t value);

    uint16_t GetFlags() const { return GetU16(4); }
    uint16_t GetMethod() const { return GetU16(6); }
    uint32_t GetCrc() const { return GetU32(12); }
    uint32_t GetSize() const { return GetU32(20); } // uncompressed
    uint16_t GetNameLength() const { return GetU16(24); }
    uint32_t GetOffset() const { return GetU32(38); }
    void SetSizes(uint32_t size) { SetU32(16, size); SetU32(20, size); }
    void SetOffset(uint32_t offset) { SetU32(38, offset); }
};

class CZipArchive {
public:
    CZipArchive(const char* path, const char* mountPoint, uint32_t flags, bool writable);
    ~CZipArchive();
    CZipArchive(const CZipArchive&) = delete;
    CZipArchive& operator=(const CZipArchive&) = delete;

    // Reads the directory from the archive file; false for a damaged one
    // (a member stored compressed is fatal).
    bool Load();
    // The same over a buffer the archive takes and keeps open (tests, fuzzing).
    bool LoadFromFileBuf(CFileBuf* buffer);
    // Loads a deferred archive; a damaged one is fatal.
    void EnsureLoaded();
    void SetKeepOpen(bool keepOpen) { m_KeepOpen = keepOpen; }

    CZipArchiveEntry* Find(const char* name);
    // The first index of the name index whose name is not below name.
    uint32_t FindInsertionPoint(const char* name) const;
    // A buffer for the member, or null (see OpenMember in the layer).
    CFileBuf* OpenMember(const char* name, uint32_t flags);
    // The archive pass of the enumeration for this archive.
    void Enumerate(CEnumerateFilesCallback& callback, const CEnumerateFilesOptions& options);

    const std::string& GetPath() const { return m_Path; }
    const std::string& GetMountPoint() const { return m_MountPoint; }
    uint32_t GetFlags() const { return m_Flags; }
    bool IsWritable() const { return m_Writable; }
    bool IsLoaded() const { return m_Loaded; }
    bool IsDirty() const { return m_Dirty; }
    uint32_t GetEndSignature() const { return m_EndSignature; }
    uint32_t GetEntryCount() const { return uint32_t(m_Entries.size()); }
    // In local-header-offset order.
    CZipArchiveEntry* GetEntry(uint32_t i) { return m_Entries[i].get(); }
    // Where the member's data starts, from its own local header; -1 when the
    // header is missing or the data would pass the end of the file.
    int64_t LocateData(CFile& file, CZipArchiveEntry& entry);

private:
    friend class CZipFileBuf;

    bool ReadDirectory(CFile& file);
    void Sort();
    bool OpenSharedFile(uint32_t extraFlags);
    bool MakeWritable();
    bool MoveMemberToEnd(CZipArchiveEntry& entry);
    bool WriteLocalHeader(CZipArchiveEntry& entry);
    // Data end plus a data descriptor, when the member has one.
    int64_t MemberEnd(CFile& file, CZipArchiveEntry& entry);
    bool WriteDirectory();
    // At the file's position, with the signature the archive was read with.
    bool WriteEndRecord(int64_t directoryStart, int64_t directorySize);
    // Replaces the archive by the working copy; on failure the copy is
    // dropped and the directory read again from the untouched archive.
    bool FinishWriting(bool ok);
    void MemberClosed(CZipArchiveEntry& entry);
    std::string StoredName(const CZipArchiveEntry& entry) const;

    bool m_Loaded = false;
    bool m_Dirty = false;
    bool m_KeepOpen = false;
    bool m_Writable = false;
    bool m_Writing = false;      // the shared file is the working copy
    bool m_FromBuffer = false;   // loaded over a caller's buffer: never reopened
    CFile m_File;
    std::string m_Path;
    std::string m_MountPoint;
    std::string m_TempDiskPath;
    std::string m_DiskPath;
    std::vector<std::unique_ptr<CZipArchiveEntry>> m_Entries;
    std::vector<uint32_t> m_NameIndex;
    int64_t m_FileSize = 0;      // of the archive file as last read; 0 when unknown
    uint32_t m_OpenMembers = 0;
    uint32_t m_Flags = 0;
    uint32_t m_EndSignature = kZipEndSignature;
};

// One member read (or rewritten) through an archive file. Positions are
// absolute in the archive file.
class CZipFileBuf : public CFileBuf {
public:
    CZipFileBuf(CZipArchive& archive, CZipArchiveEntry& entry, uint32_t flags);
    ~CZipFileBuf() override;

    // Opens the archive file to use; false when the member's data cannot be found.
    bool Open();
    uint32_t Write(const void* bytes, uint32_t count) override;
    uint32_t Read(void* bytes, uint32_t count) override;
    bool SeekRelative(int64_t offset) override;
    bool Seek(int64_t position) override;
    int64_t Tell() override;
    int64_t GetSize() override;
    int32_t SetSize(int64_t size) override;
    bool Close() override;
    bool ReadLine8(CJString& line) override;
    bool ReadLineWide(CJString&) override { return false; }

private:
    CFile& File() { return m_OwnFile ? *m_OwnFile : m_Archive->m_File; }

    CZipArchive* m_Archive;
    CZipArchiveEntry* m_Entry;
    CFile* m_OwnFile = nullptr;
    uint32_t m_Flags;
    int64_t m_Position = 0;
    int64_t m_DataStart = 0;
    bool m_Writing = false;
    bool m_Counted = false;
};

// A new member added behind the members of an existing archive, named
// "archive path;member name". The archive is copied to a hidden temporary up
// to its directory, the member is written there, and the copy with the
// directory and end record replaces the archive at close, so a failed append
// leaves the archive as it was.
class CFileAppendedToZipArchiveFileBuf : public CFileBuf {
public:
    CFileAppendedToZipArchiveFileBuf() = default;
    ~CFileAppendedToZipArchiveFileBuf() override;

    bool Open(const char* archivePath, const char* memberName);
    uint32_t Write(const void* bytes, uint32_t count) override;
    uint32_t Read(void* bytes, uint32_t count) override;
    bool SeekRelative(int64_t offset) override;
    bool Seek(int64_t position) override;
    int64_t Tell() override;
    int64_t GetSize() override;
    int32_t SetSize(int64_t size) override;
    bool Close() override;
    bool ReadLineWide(CJString&) override { return false; }

private:
    void Abandon();

    bool m_Open = false;
    CFile m_File;                    // the working copy
    std::string m_TargetDiskPath;
    std::string m_TempDiskPath;
    std::string m_MemberName;
    std::vector<uint8_t> m_OldDirectory;
    uint8_t m_EndRecord[18] = {};
    int64_t m_HeaderOffset = 0;
    int64_t m_DataStart = 0;
};

// The mount tree.
struct CArchiveNode {
    CArchiveNode* parent = nullptr;
    std::string name;                // one path component; "" for a root
    std::vector<std::unique_ptr<CArchiveNode>> children;
    std::unique_ptr<CZipArchive> archive;

    std::string GetPath() const;     // components joined by "/", no trailing "/"
};

class CMountedArchiveTable {
public:
    static CMountedArchiveTable& Get();

    bool Mount(const char* path, bool newRoot, bool writable, const char* mountPoint, bool defer, uint32_t flags);
    void UnmountAll();
    bool IsMounted() const { return m_Mounted; }

    CFileBuf* OpenMember(const char* name, uint32_t flags);
    bool Contains(const char* name);
    bool IsWritable(const char* name, bool& writable);
    bool IsNewer(const char* nameA, const char* nameB);
    bool GetArchivePath(const char* name, CJString& path);
    void Enumerate(CEnumerateFilesCallback& callback, const CEnumerateFilesOptions& options);

    uint32_t GetRootCount() const { return uint32_t(m_Roots.size()); }
    CArchiveNode* GetRoot(uint32_t i) { return m_Roots[i].get(); }
    // The archive of the deepest node along the name's folder part.
    static CZipArchive* ArchiveForName(CArchiveNode& root, const char* name);

private:
    CMountedArchiveTable() = default;
    void EnumerateNode(CArchiveNode& node, bool folderReached, CEnumerateFilesCallback& callback,
                       const CEnumerateFilesOptions& options);

    std::vector<std::unique_ptr<CArchiveNode>> m_Roots;
    bool m_Mounted = false;
};

// Mounts the program's archives and every zip under the data folder (name).
// Called once at start; a second call while mounted is fatal.
void MountArchives(const char* name, bool skipProgramFolder, bool unused, bool skipZipScan);

// The archive layer of the file layer over this table (ArchiveSeam.h).
CArchiveLayer& GetMountedArchiveLayer();
