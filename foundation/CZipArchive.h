#pragma once
// Zip archives mounted into the file name space (CMountedArchiveTable.h).
//
// Only stored members are read; whole-file compression is the compressed
// block's job. Records: ZipRecords.h. A directory is refused when it lies
// outside the file, when its member count does not fill it (65,536 members
// and more wrap the 16-bit count without the 64-bit extension, which is not
// read) or when a member's data would overlap the next member's.
//
// Writable archives are never edited in place: the first writer copies the
// archive to a hidden temporary beside it, members are moved and rewritten
// there, and the copy replaces the archive when the directory is written at
// the close of the writer. A crash or fatal exit in between leaves the
// archive as it was.
//
// Another process (or another mount) may rewrite the same archive file. A
// rewrite therefore holds the archive file's lock from the copy to the
// replacement, and first checks that the file on disk is still the one whose
// directory was read (device, inode, size, time): when it is not, the
// directory is read again from the file now there, or, while members are
// being read through handles of their own, the rewrite is refused with a
// report. An archive whose file is not held open checks the same when a
// member is opened for reading; one held open goes on reading the file its
// directory came from. Temporaries left beside the archive by writers that died are removed
// under the lock.

#include "foundation/ArchiveSeam.h"
#include "foundation/CFile.h"
#include "foundation/ZipRecords.h"
#include "platform/FileLock.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CEnumerateFilesCallback;
class CZipFileBuf;
struct CEnumerateFilesOptions;

enum class ArchiveAccess { ReadOnly, Writable };

// One member. The central record is kept as read so that it is written back
// unchanged; extra and comment bytes likewise.
struct CZipArchiveEntry {
    std::string fullName; // mount point + stored name
    ZipCentralRecord central;
    std::vector<uint8_t> extra;
    std::vector<uint8_t> comment;
    int64_t dataStart = -1; // from the local header; -1 until read
    bool open = false;      // read through the shared archive file
    bool listed = false;    // reported by the last enumeration visiting it
};

class CZipArchive {
public:
    CZipArchive(const char* path, const char* mountPoint, uint32_t flags, ArchiveAccess access);
    ~CZipArchive();
    CZipArchive(const CZipArchive&) = delete;
    CZipArchive& operator=(const CZipArchive&) = delete;

    // Reads the directory from the archive file; false for a damaged one,
    // with the reason in GetLoadError (a member stored compressed is fatal).
    bool Load();
    // The same over a buffer the archive takes and keeps open (tests, fuzzing).
    bool LoadFromFileBuf(CFileBuf* buffer);
    // Loads a deferred archive; a damaged one is fatal.
    void EnsureLoaded();
    void SetKeepOpen(bool keepOpen) { m_KeepOpen = keepOpen; }
    // Why the last load failed or a rewrite was refused; empty after a good load.
    const std::string& GetLoadError() const { return m_LoadError; }

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

    // Where the central directory lies and how many records it claims.
    struct DirectoryExtent {
        int64_t start = -1;
        int64_t end = -1;
        uint32_t count = 0;
    };

    bool ReadDirectory(CFile& file);
    bool FindDirectory(CFile& file, int64_t fileSize, DirectoryExtent& extent);
    bool ScanForDirectory(CFile& file, int64_t fileSize, DirectoryExtent& extent);
    bool ReadCentralRecords(CFile& file, const DirectoryExtent& extent);
    bool ReadEntry(CFile& file, int64_t& position, const DirectoryExtent& extent);
    bool CheckMemberExtents(const DirectoryExtent& extent);
    bool Refuse(const char* reason);
    void Sort();
    bool OpenSharedFile(uint32_t extraFlags);
    // Reads the directory again when the archive file on disk is no longer
    // the one it was read from and nothing holds entries of the old one.
    void RefreshIfReplaced();
    // Load again from the disk, keeping which members were listed.
    bool Reload();
    bool IsReplacedOnDisk();
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
    // Cuts every open member buffer loose from the archive and its entries.
    void DetachMembers();
    std::string StoredName(const CZipArchiveEntry& entry) const;

    bool m_Loaded = false;
    bool m_Dirty = false;
    bool m_KeepOpen = false;
    bool m_Writable = false;
    bool m_Writing = false;     // the shared file is the working copy
    bool m_FromBuffer = false;  // loaded over a caller's buffer: never reopened
    bool m_HasIdentity = false; // m_Identity describes the file the directory came from
    CFile m_File;
    std::string m_Path;
    std::string m_MountPoint;
    std::string m_TempDiskPath;
    std::string m_DiskPath;
    std::string m_LoadError;
    std::vector<std::unique_ptr<CZipArchiveEntry>> m_Entries;
    std::vector<uint32_t> m_NameIndex;
    std::vector<CZipFileBuf*> m_Members; // open, each pointing at an entry here
    plat::FileIdentity m_Identity;
    plat::CFileLock m_Lock; // held while rewriting
    int64_t m_FileSize = 0; // of the archive file as last read; 0 when unknown
    uint32_t m_OpenMembers = 0;
    uint32_t m_OwnHandleReaders = 0;
    uint32_t m_Flags = 0;
    uint32_t m_EndSignature = kZipEndSignature;
};

// One member read (or rewritten) through an archive file. Positions are
// absolute in the archive file. A buffer may outlive its archive (an unmount
// with members still open): it is then detached and behaves as closed, so
// reads give 0, seeks fail and closing succeeds, except for a writer, whose
// member went with the archive's working copy: its close reports the loss.
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
    friend class CZipArchive;

    CFile& File() { return m_OwnFile ? *m_OwnFile : m_Archive->m_File; }
    void CloseOwnFile();
    void Detach();

    CZipArchive* m_Archive;
    CZipArchiveEntry* m_Entry;
    CFile* m_OwnFile = nullptr;
    uint32_t m_Flags;
    int64_t m_Position = 0;
    int64_t m_DataStart = 0;
    bool m_Writing = false;
    bool m_Counted = false;
    bool m_WriteLost = false; // detached while writing
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
    CFile m_File; // the working copy
    std::string m_TargetDiskPath;
    std::string m_TempDiskPath;
    std::string m_MemberName;
    std::vector<uint8_t> m_OldDirectory;
    ZipEndRecord m_EndRecord;
    plat::CFileLock m_Lock; // of the archive file, from open to close
    int64_t m_HeaderOffset = 0;
    int64_t m_DataStart = 0;
};
