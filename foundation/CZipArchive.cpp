#include "foundation/CZipArchive.h"

#include "foundation/CJString.h"
#include "foundation/EnumerateFiles.h"
#include "foundation/FatalError.h"
#include "foundation/FileHelpers.h"
#include "foundation/TextEncoding.h"
#include "platform/Debug.h"
#include "platform/FileSystem.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr uint32_t kChunk = 64 * 1024;

bool ReadAt(CFile& file, int64_t position, void* bytes, uint32_t count)
{
    return file.Seek(position) && file.Read(bytes, count) == count;
}

bool WriteAt(CFile& file, int64_t position, const void* bytes, uint32_t count)
{
    return file.Seek(position) && file.Write(bytes, count) == count;
}

template <class Record>
bool ReadRecordAt(CFile& file, int64_t position, Record& record)
{
    uint8_t bytes[Record::kSize];
    if (!ReadAt(file, position, bytes, Record::kSize))
        return false;
    record.Read(bytes);
    return true;
}

bool ReadU32At(CFile& file, int64_t position, uint32_t& value)
{
    uint8_t bytes[4];
    if (!ReadAt(file, position, bytes, 4))
        return false;
    value = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
    return true;
}

// Copies [0, count) of source into the start of destination.
bool CopyPrefix(CFile& source, CFile& destination, int64_t count)
{
    std::vector<uint8_t> chunk(kChunk);
    if (!source.Seek(0) || !destination.Seek(0))
        return false;
    while (count > 0) {
        const uint32_t part = uint32_t(std::min<int64_t>(count, kChunk));
        if (source.Read(chunk.data(), part) != part || destination.Write(chunk.data(), part) != part)
            return false;
        count -= part;
    }
    return true;
}

// Locks the archive file for a rewrite and clears what dead writers left
// beside it. False, with the reason, when the lock cannot be had.
bool LockForRewrite(plat::CFileLock& lock, const std::string& diskPath, std::string& error)
{
    switch (lock.Acquire(diskPath)) {
    case plat::LockResult::Locked:
        plat::RemoveStaleTemporaries(lock.GetPath());
        return true;
    case plat::LockResult::HeldByThisProcess:
        error = diskPath + " is being rewritten through another mount; not rewritten.";
        break;
    case plat::LockResult::Failed:
        error = diskPath + " could not be locked for rewriting.";
        break;
    }
    plat::DebugOutput(error + "\n");
    return false;
}

// A new hidden temporary beside the archive, attached to file for reading
// and writing; its disk name goes to tempPath.
bool CreateWorkingFile(CFile& file, const std::string& diskPath, std::string& tempPath)
{
    std::FILE* stream = plat::CreateTemporaryBeside(diskPath, tempPath, "w+b");
    if (!stream)
        return false;
    return file.AttachFileBuf(new CFileBuf(stream, true), FILE_READ | FILE_WRITE);
}

[[noreturn]] void DamagedArchive(const std::string& path)
{
    CJString message;
    message.Format("There is something wrong with %s.  It may be an empty or damaged archive.", path.c_str());
    FatalDataError("FATAL ERROR IN ZIP", message.GetString());
}

} // namespace

// --- CZipArchive ---

CZipArchive::CZipArchive(const char* path, const char* mountPoint, uint32_t flags, ArchiveAccess access)
    : m_Writable(access == ArchiveAccess::Writable)
    , m_Path(path ? path : "")
    , m_MountPoint(mountPoint && mountPoint[0] != '/' ? mountPoint : "")
    , m_Flags(flags)
{
}

CZipArchive::~CZipArchive()
{
    DetachMembers();
    m_File.Close();
    if (m_Writing)
        plat::DeleteFile(m_TempDiskPath);
}

bool CZipArchive::OpenSharedFile(uint32_t extraFlags)
{
    if (m_File.IsOpen())
        return true;
    if (m_FromBuffer)
        return false;
    return m_File.Open(m_Path.c_str(), m_Flags | FILE_READ | FILE_ARCHIVE_HOST | extraFlags);
}

bool CZipArchive::Load()
{
    // Taken before the file is read: a replacement in between shows as a
    // changed file later, never as an unchanged one.
    m_HasIdentity = plat::GetFileIdentity(DiskPathOf(m_Path.c_str(), m_Flags), m_Identity);
    if (!OpenSharedFile(0)) {
        m_LoadError = m_Path + " could not be opened.";
        return false;
    }
    const bool ok = ReadDirectory(m_File);
    if (!m_KeepOpen || !ok)
        m_File.Close();
    return ok;
}

bool CZipArchive::LoadFromFileBuf(CFileBuf* buffer)
{
    m_File.Close();
    if (!m_File.AttachFileBuf(buffer, FILE_READ))
        return false;
    m_FromBuffer = true;
    m_KeepOpen = true;
    m_HasIdentity = false;
    return ReadDirectory(m_File);
}

bool CZipArchive::Refuse(const char* reason)
{
    m_LoadError = m_Path + ": " + reason;
    m_Entries.clear();
    m_NameIndex.clear();
    return false;
}

bool CZipArchive::ReadDirectory(CFile& file)
{
    // The entries are about to go (a failed rewrite reads the directory again).
    DetachMembers();
    m_Loaded = false;
    m_LoadError.clear();
    m_Entries.clear();
    m_NameIndex.clear();
    const int64_t size = file.GetSize();
    m_FileSize = size;
    DirectoryExtent extent;
    if (!FindDirectory(file, size, extent) || !ReadCentralRecords(file, extent) || !CheckMemberExtents(extent))
        return false;
    m_Loaded = true;
    Sort();
    return true;
}

bool CZipArchive::FindDirectory(CFile& file, int64_t fileSize, DirectoryExtent& extent)
{
    if (fileSize < int64_t(ZipEndRecord::kSize))
        return Refuse("too short for an end record.");
    ZipEndRecord end;
    if (!ReadRecordAt(file, fileSize - ZipEndRecord::kSize, end) || !IsZipEndSignature(end.signature))
        return ScanForDirectory(file, fileSize, extent);
    // The usual archive: no comment, so the end record closes the file.
    m_EndSignature = end.signature;
    extent.count = end.totalEntries;
    extent.start = end.directoryOffset;
    extent.end = extent.start + int64_t(end.directorySize);
    // A directory lying outside the file is refused, never read.
    if (extent.end > fileSize - int64_t(ZipEndRecord::kSize))
        return Refuse("the directory lies outside the file.");
    return true;
}

// Walks the records from the start of the file up to the end record.
bool CZipArchive::ScanForDirectory(CFile& file, int64_t fileSize, DirectoryExtent& extent)
{
    int64_t position = 0;
    uint8_t bytes[ZipCentralRecord::kSize];
    for (;;) {
        uint32_t signature = 0;
        if (!ReadU32At(file, position, signature))
            return Refuse("no end record.");
        if (signature == kZipLocalSignature) {
            if (extent.start >= 0 || !ReadAt(file, position, bytes, ZipLocalHeader::kSize))
                return Refuse("a local header inside the directory.");
            ZipLocalHeader header;
            header.Read(bytes);
            position += ZipLocalHeader::kSize + int64_t(header.nameLength) + header.extraLength + header.compressedSize;
        } else if (signature == kZipCentralSignature) {
            if (extent.start < 0)
                extent.start = position;
            if (!ReadAt(file, position, bytes, ZipCentralRecord::kSize))
                return Refuse("a directory record cut short.");
            ZipCentralRecord record;
            record.Read(bytes);
            position
                += ZipCentralRecord::kSize + int64_t(record.nameLength) + record.extraLength + record.commentLength;
            ++extent.count;
        } else if (IsZipEndSignature(signature)) {
            m_EndSignature = signature;
            if (extent.start < 0)
                extent.start = position;
            extent.end = position;
            return true;
        } else {
            return Refuse("an unknown record.");
        }
        if (position > fileSize)
            return Refuse("a record passes the end of the file.");
    }
}

bool CZipArchive::ReadCentralRecords(CFile& file, const DirectoryExtent& extent)
{
    int64_t position = extent.start;
    for (uint32_t i = 0; i < extent.count; ++i) {
        uint32_t signature = 0;
        if (position + 4 > extent.end + int64_t(ZipEndRecord::kSize) || !ReadU32At(file, position, signature))
            return Refuse("a directory record cut short.");
        if (IsZipEndSignature(signature))
            break;
        if (!ReadEntry(file, position, extent))
            return false;
    }
    // Records left over mean the count wrapped: 65,536 members or more need
    // the 64-bit extension, which is not read.
    if (position < extent.end || m_Entries.size() > kZipMaxEntries)
        return Refuse("more members than a zip without the 64-bit extension can count (65,535).");
    return true;
}

bool CZipArchive::ReadEntry(CFile& file, int64_t& position, const DirectoryExtent& extent)
{
    auto entry = std::make_unique<CZipArchiveEntry>();
    ZipCentralRecord& record = entry->central;
    if (position + int64_t(ZipCentralRecord::kSize) > extent.end || !ReadRecordAt(file, position, record)
        || record.signature != kZipCentralSignature)
        return Refuse("a damaged directory record.");
    position += ZipCentralRecord::kSize;
    if (position + int64_t(record.nameLength) + record.extraLength + record.commentLength > extent.end)
        return Refuse("a directory record passes the directory's end.");
    std::string stored(record.nameLength, '\0');
    entry->extra.resize(record.extraLength);
    entry->comment.resize(record.commentLength);
    if ((record.nameLength && file.Read(stored.data(), record.nameLength) != record.nameLength)
        || (record.extraLength && file.Read(entry->extra.data(), record.extraLength) != record.extraLength)
        || (record.commentLength && file.Read(entry->comment.data(), record.commentLength) != record.commentLength))
        return Refuse("a directory record cut short.");
    position += int64_t(record.nameLength) + record.extraLength + record.commentLength;
    if (record.method != kZipMethodStored) {
        CJString message;
        message.Format("%s has been created using an unsupported type of compression.  All zip archives must be "
                       "created with compression set to none or a type of compression supported by the game "
                       "engine.",
                       m_Path.c_str());
        FatalDataError("Compressed Zip File Found", message.GetString());
    }
    stored.erase(std::find(stored.begin(), stored.end(), '\0'), stored.end());
    entry->fullName = m_MountPoint + stored;
    m_Entries.push_back(std::move(entry));
    return true;
}

// Member data must lie before the directory, and no member's data may run
// into the next member's header: rewriting one would overwrite the other.
// The local extra is not known before the member is opened, so the extent
// checked is the least the member can take.
bool CZipArchive::CheckMemberExtents(const DirectoryExtent& extent)
{
    std::vector<std::pair<int64_t, int64_t>> spans; // start, least end
    spans.reserve(m_Entries.size());
    for (const auto& entry : m_Entries) {
        const ZipCentralRecord& record = entry->central;
        const int64_t start = record.localHeaderOffset;
        const int64_t least = start + ZipLocalHeader::kSize + record.nameLength;
        const int64_t end = least + std::max(record.size, record.compressedSize);
        if (end > extent.start)
            return Refuse("a member's data passes the start of the directory.");
        spans.emplace_back(start, end);
    }
    std::sort(spans.begin(), spans.end());
    for (size_t i = 1; i < spans.size(); ++i)
        if (spans[i].first < spans[i - 1].second)
            return Refuse("two members' data overlap.");
    return true;
}

void CZipArchive::Sort()
{
    std::stable_sort(m_Entries.begin(), m_Entries.end(), [](const auto& a, const auto& b) {
        return a->central.localHeaderOffset < b->central.localHeaderOffset;
    });
    m_NameIndex.resize(m_Entries.size());
    for (uint32_t i = 0; i < m_NameIndex.size(); ++i)
        m_NameIndex[i] = i;
    std::stable_sort(m_NameIndex.begin(), m_NameIndex.end(), [this](uint32_t a, uint32_t b) {
        return CompareNameNoCase(m_Entries[a]->fullName.c_str(), m_Entries[b]->fullName.c_str()) < 0;
    });
}

void CZipArchive::EnsureLoaded()
{
    if (!m_Loaded && !Load()) {
        plat::DebugOutput(m_LoadError + "\n");
        DamagedArchive(m_Path);
    }
}

uint32_t CZipArchive::FindInsertionPoint(const char* name) const
{
    uint32_t low = 0;
    uint32_t high = uint32_t(m_NameIndex.size());
    while (low < high) {
        const uint32_t middle = low + (high - low) / 2;
        if (CompareNameNoCase(m_Entries[m_NameIndex[middle]]->fullName.c_str(), name) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

CZipArchiveEntry* CZipArchive::Find(const char* name)
{
    const uint32_t i = FindInsertionPoint(name);
    if (i < m_NameIndex.size() && CompareNameNoCase(m_Entries[m_NameIndex[i]]->fullName.c_str(), name) == 0)
        return m_Entries[m_NameIndex[i]].get();
    return nullptr;
}

std::string CZipArchive::StoredName(const CZipArchiveEntry& entry) const
{
    std::string stored = entry.fullName.substr(std::min(m_MountPoint.size(), entry.fullName.size()));
    stored.resize(entry.central.nameLength, '\0');
    return stored;
}

int64_t CZipArchive::LocateData(CFile& file, CZipArchiveEntry& entry)
{
    ZipLocalHeader header;
    const int64_t offset = entry.central.localHeaderOffset;
    if (!ReadRecordAt(file, offset, header) || header.signature != kZipLocalSignature)
        return -1;
    const int64_t start = offset + ZipLocalHeader::kSize + header.nameLength + header.extraLength;
    const int64_t size = (&file == &m_File && !m_Writing && m_FileSize > 0) ? m_FileSize : file.GetSize();
    if (start + int64_t(entry.central.size) > size)
        return -1;
    entry.dataStart = start;
    return start;
}

int64_t CZipArchive::MemberEnd(CFile& file, CZipArchiveEntry& entry)
{
    if (entry.dataStart < 0 && LocateData(file, entry) < 0)
        return -1;
    int64_t end = entry.dataStart + entry.central.size;
    if (entry.central.flags & kZipDataDescriptorFlag) {
        uint32_t signature = 0;
        end += (ReadU32At(file, end, signature) && signature == kZipDescriptorSignature) ? 16 : 12;
    }
    return end;
}

bool CZipArchive::IsReplacedOnDisk()
{
    plat::FileIdentity now;
    return !m_HasIdentity || !plat::GetFileIdentity(DiskPathOf(m_Path.c_str(), m_Flags), now) || now != m_Identity;
}

bool CZipArchive::Reload()
{
    // Members an enumeration listed stay listed in the new directory.
    std::vector<std::string> listed;
    for (const auto& entry : m_Entries)
        if (entry->listed)
            listed.push_back(entry->fullName);
    m_File.Close();
    if (!Load())
        return false;
    for (const std::string& name : listed)
        if (CZipArchiveEntry* entry = Find(name.c_str()))
            entry->listed = true;
    return true;
}

void CZipArchive::RefreshIfReplaced()
{
    // An open shared file reads the archive its directory came from.
    if (!m_Loaded || m_FromBuffer || m_Writing || m_File.IsOpen() || m_OpenMembers > 0 || m_OwnHandleReaders > 0
        || !m_HasIdentity || !IsReplacedOnDisk())
        return;
    if (!Reload()) {
        plat::DebugOutput(m_LoadError + "\n");
        DamagedArchive(m_Path);
    }
}

bool CZipArchive::MakeWritable()
{
    if (!m_Writable || m_OpenMembers != 0 || m_FromBuffer)
        return false;
    if (m_Writing)
        return true;
    m_DiskPath = DiskPathOf(m_Path.c_str(), m_Flags);
    if (!LockForRewrite(m_Lock, m_DiskPath, m_LoadError))
        return false;
    if (IsReplacedOnDisk()) {
        // Another writer replaced the archive since its directory was read:
        // offsets in memory describe a file that is gone.
        if (m_OwnHandleReaders > 0) {
            m_LoadError = m_Path + " was rewritten by another writer while members are being read; not rewritten.";
            plat::DebugOutput(m_LoadError + "\n");
            m_Lock.Release();
            return false;
        }
        if (!Reload()) {
            plat::DebugOutput(m_LoadError + "\n");
            m_Lock.Release();
            return false;
        }
    }
    CFile original;
    if (!original.Open(m_Path.c_str(), m_Flags | FILE_READ | FILE_ARCHIVE_HOST)) {
        m_Lock.Release();
        return false;
    }
    // Members inside other archives cannot be replaced.
    if (original.GetFileBuf()->IsMemory() || dynamic_cast<CZipFileBuf*>(original.GetFileBuf())) {
        m_Lock.Release();
        return false;
    }
    int64_t copyEnd = 0;
    for (auto& entry : m_Entries) {
        const int64_t end = MemberEnd(original, *entry);
        if (end < 0) {
            m_Lock.Release();
            return false;
        }
        copyEnd = std::max(copyEnd, end);
    }
    CFile working;
    if (!CreateWorkingFile(working, m_DiskPath, m_TempDiskPath)) {
        m_Lock.Release();
        return false;
    }
    if (!CopyPrefix(original, working, copyEnd)) {
        working.Close();
        plat::DeleteFile(m_TempDiskPath);
        m_Lock.Release();
        return false;
    }
    original.Close();
    m_File.Close();
    m_File.AttachFileBuf(working.DetachFileBuf(), FILE_READ | FILE_WRITE);
    m_Writing = true;
    return true;
}

bool CZipArchive::MoveMemberToEnd(CZipArchiveEntry& entry)
{
    size_t at = 0;
    while (at < m_Entries.size() && m_Entries[at].get() != &entry)
        ++at;
    if (at + 1 >= m_Entries.size())
        return true;
    CZipArchiveEntry& next = *m_Entries[at + 1];
    CZipArchiveEntry& last = *m_Entries.back();
    const int64_t lastEnd = MemberEnd(m_File, last);
    if (lastEnd < 0)
        return false;
    const int64_t entryOffset = entry.central.localHeaderOffset;
    const int64_t nextOffset = next.central.localHeaderOffset;
    const int64_t distance = nextOffset - entryOffset;
    if (!m_File.MoveBlock(entryOffset, nextOffset, lastEnd - nextOffset))
        return false;
    for (size_t i = at + 1; i < m_Entries.size(); ++i) {
        CZipArchiveEntry& later = *m_Entries[i];
        later.central.localHeaderOffset = uint32_t(later.central.localHeaderOffset - distance);
        if (later.dataStart >= 0)
            later.dataStart -= distance;
    }
    entry.central.localHeaderOffset = uint32_t(lastEnd - distance);
    entry.dataStart = -1;
    Sort();
    return true;
}

bool CZipArchive::WriteLocalHeader(CZipArchiveEntry& entry)
{
    const std::string stored = StoredName(entry);
    const ZipCentralRecord& record = entry.central;
    ZipLocalHeader header;
    header.versionNeeded = record.versionNeeded;
    header.flags = record.flags;
    header.method = record.method;
    header.time = record.time;
    header.date = record.date;
    header.crc = record.crc;
    header.compressedSize = record.compressedSize;
    header.size = record.size;
    header.nameLength = uint16_t(stored.size());
    header.extraLength = 0;
    std::vector<uint8_t> bytes(ZipLocalHeader::kSize + stored.size());
    header.Write(bytes.data());
    std::memcpy(&bytes[ZipLocalHeader::kSize], stored.data(), stored.size());
    if (!WriteAt(m_File, record.localHeaderOffset, bytes.data(), uint32_t(bytes.size())))
        return false;
    entry.dataStart = int64_t(record.localHeaderOffset) + int64_t(bytes.size());
    return true;
}

CFileBuf* CZipArchive::OpenMember(const char* name, uint32_t flags)
{
    EnsureLoaded();
    RefreshIfReplaced();
    if (!name || !name[0] || m_Entries.empty())
        return nullptr;
    const char* slash = std::strrchr(name, '/');
    const size_t folderLength = slash ? size_t(slash - name + 1) : 0;
    if (folderLength < m_MountPoint.size() || !StartsWithNoCase(name, m_MountPoint.c_str(), m_MountPoint.size()))
        return nullptr;
    CZipArchiveEntry* entry = Find(name);
    if (!entry)
        return nullptr;
    if ((flags & FILE_PREENUMERATED) && !entry->listed)
        return nullptr;

    if (flags & FILE_CREATE) {
        if (!MakeWritable())
            return nullptr;
        // Found again: MakeWritable may have read the directory anew.
        entry = Find(name);
        if (!entry || !MoveMemberToEnd(*entry)) {
            if (!m_Dirty)
                FinishWriting(false);
            return nullptr;
        }
        uint16_t date = 0;
        uint16_t time = 0;
        GetDosDateTimeNow(date, time);
        ZipCentralRecord& record = entry->central;
        record.compressedSize = 0;
        record.size = 0;
        record.crc = 0;
        record.extraLength = 0;
        entry->extra.clear();
        record.flags = uint16_t(record.flags & ~kZipDataDescriptorFlag); // sizes live in the header now
        record.time = time;
        record.date = date;
        m_Dirty = true;
        if (!WriteLocalHeader(*entry)) {
            // Nothing is open on the working copy: drop it.
            FinishWriting(false);
            return nullptr;
        }
    }
    auto* buffer = new CZipFileBuf(*this, *entry, flags);
    if (!buffer->Open()) {
        delete buffer;
        return nullptr;
    }
    return buffer;
}

bool CZipArchive::WriteDirectory()
{
    int64_t start = 0;
    for (auto& entry : m_Entries) {
        const int64_t end = MemberEnd(m_File, *entry);
        if (end < 0)
            return false;
        start = std::max(start, end);
    }
    if (m_Entries.size() > kZipMaxEntries || !m_File.Seek(start))
        return false;
    int64_t written = 0;
    uint8_t bytes[ZipCentralRecord::kSize];
    for (auto& entry : m_Entries) {
        const std::string stored = StoredName(*entry);
        entry->central.signature = kZipCentralSignature;
        entry->central.Write(bytes);
        bool ok = m_File.Write(bytes, ZipCentralRecord::kSize) == ZipCentralRecord::kSize
            && m_File.Write(stored.data(), uint32_t(stored.size())) == stored.size();
        ok = ok
            && (entry->extra.empty()
                || m_File.Write(entry->extra.data(), uint32_t(entry->extra.size())) == entry->extra.size());
        ok = ok
            && (entry->comment.empty()
                || m_File.Write(entry->comment.data(), uint32_t(entry->comment.size())) == entry->comment.size());
        if (!ok)
            return false;
        written += ZipCentralRecord::kSize + int64_t(stored.size() + entry->extra.size() + entry->comment.size());
    }
    return WriteEndRecord(start, written);
}

bool CZipArchive::WriteEndRecord(int64_t directoryStart, int64_t directorySize)
{
    if (directoryStart + directorySize + ZipEndRecord::kSize > kZipMaxOffset)
        return false;
    ZipEndRecord end;
    end.signature = m_EndSignature;
    end.diskEntries = uint16_t(m_Entries.size());
    end.totalEntries = uint16_t(m_Entries.size());
    end.directorySize = uint32_t(directorySize);
    end.directoryOffset = uint32_t(directoryStart);
    uint8_t bytes[ZipEndRecord::kSize];
    end.Write(bytes);
    if (m_File.Write(bytes, ZipEndRecord::kSize) != ZipEndRecord::kSize)
        return false;
    // Cut whatever the old, longer archive left behind.
    return m_File.SetSize(directoryStart + directorySize + ZipEndRecord::kSize) == 0;
}

bool CZipArchive::FinishWriting(bool ok)
{
    ok = !m_File.HasError() && ok;
    ok = m_File.Close() && ok;
    m_Writing = false;
    m_Dirty = false;
    ok = ok && plat::SyncFileToDisk(m_TempDiskPath);
    // The identity before the rename is the replacement's (a rename keeps
    // it); asked by name afterwards it could be the next writer's file.
    plat::FileIdentity written;
    ok = ok && plat::GetFileIdentity(m_TempDiskPath, written);
    ok = ok && plat::RenameFile(m_TempDiskPath, m_DiskPath);
    if (ok) {
        m_Identity = written;
        m_HasIdentity = true;
    } else {
        plat::DeleteFile(m_TempDiskPath);
        // The offsets in memory describe the dropped copy.
        Load();
    }
    m_Lock.Release();
    m_TempDiskPath.clear();
    m_FileSize = 0;
    // Readers still open go on reading the replaced archive.
    if (m_KeepOpen || m_OpenMembers > 0)
        OpenSharedFile(0);
    return ok;
}

void CZipArchive::MemberClosed(CZipArchiveEntry& entry)
{
    entry.open = false;
    if (m_OpenMembers > 0)
        --m_OpenMembers;
    if (m_OpenMembers == 0 && !m_KeepOpen && !m_Writing && !m_FromBuffer)
        m_File.Close();
}

void CZipArchive::DetachMembers()
{
    while (!m_Members.empty())
        m_Members.back()->Detach();
}

// --- CZipFileBuf ---

CZipFileBuf::CZipFileBuf(CZipArchive& archive, CZipArchiveEntry& entry, uint32_t flags)
    : m_Archive(&archive)
    , m_Entry(&entry)
    , m_Flags(flags)
    , m_Writing((flags & FILE_CREATE) != 0)
{
    archive.m_Members.push_back(this);
}

CZipFileBuf::~CZipFileBuf()
{
    CZipFileBuf::Close();
}

bool CZipFileBuf::Open()
{
    if ((m_Flags & FILE_OWN_ARCHIVE_HANDLE) && !m_Writing) {
        m_OwnFile = new CFile;
        ++m_Archive->m_OwnHandleReaders;
        if (!m_OwnFile->Open(m_Archive->m_Path.c_str(), m_Archive->m_Flags | FILE_READ | FILE_ARCHIVE_HOST))
            return false;
    } else {
        if (!m_Archive->OpenSharedFile(0))
            return false;
        ++m_Archive->m_OpenMembers;
        m_Counted = true;
        m_Entry->open = true;
    }
    if (m_Writing) {
        m_DataStart = m_Entry->dataStart;
    } else {
        m_DataStart = m_Archive->LocateData(File(), *m_Entry);
        if (m_DataStart < 0)
            return false;
    }
    m_Position = m_DataStart;
    return true;
}

uint32_t CZipFileBuf::Write(const void* bytes, uint32_t count)
{
    if (!m_Writing || !m_Entry || count == 0)
        return 0;
    if (m_Position + count > kZipMaxOffset)
        return 0;
    if (!File().Seek(m_Position))
        return 0;
    const uint32_t written = File().Write(bytes, count);
    m_Position += written;
    if (m_Position > m_DataStart + int64_t(m_Entry->central.size))
        m_Entry->central.size = m_Entry->central.compressedSize = uint32_t(m_Position - m_DataStart);
    return written;
}

uint32_t CZipFileBuf::Read(void* bytes, uint32_t count)
{
    if (!m_Entry)
        return 0;
    const int64_t left = m_DataStart + int64_t(m_Entry->central.size) - m_Position;
    if (left <= 0)
        return 0;
    count = uint32_t(std::min<int64_t>(count, left));
    // The shared file may have moved for another member; a seek that is not
    // needed would only drop the stream's buffer.
    if (File().GetPosition() != m_Position && !File().Seek(m_Position))
        return 0;
    const uint32_t got = File().Read(bytes, count);
    m_Position += got;
    return got;
}

bool CZipFileBuf::SeekRelative(int64_t offset)
{
    if (!m_Entry)
        return false;
    const int64_t target = m_Position + offset;
    if (target < m_DataStart || target >= m_DataStart + int64_t(m_Entry->central.size))
        return false;
    m_Position = target;
    return true;
}

bool CZipFileBuf::Seek(int64_t position)
{
    if (!m_Entry || position < 0 || position > int64_t(m_Entry->central.size))
        return false;
    m_Position = m_DataStart + position;
    return true;
}

int64_t CZipFileBuf::Tell()
{
    return m_Entry ? m_Position - m_DataStart : -1;
}

int64_t CZipFileBuf::GetSize()
{
    return m_Entry ? int64_t(m_Entry->central.size) : -1;
}

int32_t CZipFileBuf::SetSize(int64_t size)
{
    if (!m_Entry || !m_Writing || size < 0 || m_DataStart + size > kZipMaxOffset)
        return -1;
    m_Entry->central.size = m_Entry->central.compressedSize = uint32_t(size);
    if (m_Position > m_DataStart + size)
        m_Position = m_DataStart + size;
    return 0;
}

bool CZipFileBuf::ReadLine8(CJString& line)
{
    line.Empty();
    const int64_t start = Tell();
    if (start < 0)
        return false;
    int chunk = 256;
    for (;;) {
        char* text = line.GetBufferDiscard(chunk - 1);
        const uint32_t got = Read(text, uint32_t(chunk - 1));
        if (got == 0) {
            line.ReleaseBuffer(0);
            return false;
        }
        const bool atEnd = got < uint32_t(chunk - 1);
        uint32_t i = 0;
        while (i < got && text[i] != '\r' && text[i] != '\n')
            ++i;
        if (i < got && (i + 2 < got || atEnd)) {
            const char first = text[i];
            const char second = i + 1 < got ? text[i + 1] : 0;
            const char third = i + 2 < got ? text[i + 2] : 0;
            uint32_t consumed = 1;
            if (first == '\r' && (second == '\r' || second == '\n') && third == '\n')
                consumed = 3;
            else if ((second == '\r' || second == '\n') && second != first)
                consumed = 2;
            line.ReleaseBuffer(int(i));
            Seek(start + int64_t(i) + consumed);
            return true;
        }
        if (atEnd) {
            line.ReleaseBuffer(int(got));
            return true;
        }
        // A line longer than any string ends the text: the rest is damaged data.
        if (chunk - 1 >= kMaxStringLength) {
            line.ReleaseBuffer(0);
            Seek(GetSize());
            return false;
        }
        Seek(start);
        chunk = int(std::min<int64_t>(int64_t(chunk) * 2, int64_t(kMaxStringLength) + 1));
    }
}

bool CZipFileBuf::Close()
{
    if (!m_Entry) {
        const bool lost = m_WriteLost;
        m_WriteLost = false;
        return !lost;
    }
    bool ok = true;
    if (m_Writing) {
        // CRC-32 of what was written, read back in chunks.
        std::vector<uint8_t> chunk(kChunk);
        uLong crc = crc32(0L, Z_NULL, 0);
        int64_t left = m_Entry->central.size;
        int64_t position = m_DataStart;
        while (left > 0 && ok) {
            const uint32_t part = uint32_t(std::min<int64_t>(left, kChunk));
            ok = ReadAt(File(), position, chunk.data(), part);
            crc = crc32(crc, chunk.data(), part);
            position += part;
            left -= part;
        }
        m_Entry->central.crc = uint32_t(crc);
        ok = ok && m_Archive->WriteLocalHeader(*m_Entry);
    }
    CloseOwnFile();
    CZipArchiveEntry* entry = m_Entry;
    m_Entry = nullptr;
    std::erase(m_Archive->m_Members, this);
    if (m_Counted) {
        m_Counted = false;
        const bool finish = m_Writing && m_Archive->m_Writing && m_Archive->m_Dirty;
        if (finish)
            ok = m_Archive->WriteDirectory() && ok;
        // Before finishing: a failed finish reads the directory again, which
        // frees the entry.
        m_Archive->MemberClosed(*entry);
        if (finish)
            ok = m_Archive->FinishWriting(ok);
    }
    return ok;
}

void CZipFileBuf::CloseOwnFile()
{
    if (!m_OwnFile)
        return;
    m_OwnFile->Close();
    delete m_OwnFile;
    m_OwnFile = nullptr;
    --m_Archive->m_OwnHandleReaders;
}

void CZipFileBuf::Detach()
{
    CloseOwnFile();
    if (m_Counted) {
        // Not MemberClosed: the archive may be reading its directory through
        // the shared file right now.
        m_Counted = false;
        m_Entry->open = false;
        --m_Archive->m_OpenMembers;
    }
    std::erase(m_Archive->m_Members, this);
    m_WriteLost = m_Writing;
    m_Entry = nullptr;
    m_Archive = nullptr;
}

// --- CFileAppendedToZipArchiveFileBuf ---

CFileAppendedToZipArchiveFileBuf::~CFileAppendedToZipArchiveFileBuf()
{
    CFileAppendedToZipArchiveFileBuf::Close();
}

void CFileAppendedToZipArchiveFileBuf::Abandon()
{
    m_File.Close();
    if (!m_TempDiskPath.empty())
        plat::DeleteFile(m_TempDiskPath);
    m_TempDiskPath.clear();
    m_Lock.Release();
    m_Open = false;
}

bool CFileAppendedToZipArchiveFileBuf::Open(const char* archivePath, const char* memberName)
{
    if (m_Open || !archivePath || !memberName)
        return false;
    m_MemberName = memberName;
    if (m_MemberName.empty() || m_MemberName.size() > 255)
        return false;
    // Locked before the archive is read, so the copy is of the archive the
    // replacement will take the place of.
    m_TargetDiskPath = DiskPathOf(archivePath, FILE_USER_FOLDER);
    std::string error;
    if (!LockForRewrite(m_Lock, m_TargetDiskPath, error))
        return false;
    CFile original;
    if (!original.Open(archivePath, FILE_USER_FOLDER | FILE_READ | FILE_ARCHIVE_HOST)) {
        m_Lock.Release();
        return false;
    }
    const int64_t size = original.GetSize();
    if (size < int64_t(ZipEndRecord::kSize) || !ReadRecordAt(original, size - ZipEndRecord::kSize, m_EndRecord)
        || !IsZipEndSignature(m_EndRecord.signature)
        || int64_t(m_EndRecord.directoryOffset) + m_EndRecord.directorySize > size - int64_t(ZipEndRecord::kSize)) {
        m_Lock.Release();
        return false;
    }
    const int64_t directoryOffset = m_EndRecord.directoryOffset;
    m_OldDirectory.resize(m_EndRecord.directorySize);
    if (!m_OldDirectory.empty()
        && !ReadAt(original, directoryOffset, m_OldDirectory.data(), uint32_t(m_OldDirectory.size()))) {
        m_Lock.Release();
        return false;
    }
    if (!CreateWorkingFile(m_File, m_TargetDiskPath, m_TempDiskPath)) {
        m_TempDiskPath.clear();
        m_Lock.Release();
        return false;
    }
    m_Open = true;
    m_HeaderOffset = directoryOffset;
    ZipLocalHeader header;
    header.versionNeeded = 10;
    header.nameLength = uint16_t(m_MemberName.size());
    std::vector<uint8_t> bytes(ZipLocalHeader::kSize + m_MemberName.size(), 0);
    header.Write(bytes.data());
    std::memcpy(&bytes[ZipLocalHeader::kSize], m_MemberName.data(), m_MemberName.size());
    if (!CopyPrefix(original, m_File, directoryOffset)
        || m_File.Write(bytes.data(), uint32_t(bytes.size())) != bytes.size()) {
        Abandon();
        return false;
    }
    m_DataStart = m_HeaderOffset + int64_t(bytes.size());
    return true;
}

uint32_t CFileAppendedToZipArchiveFileBuf::Write(const void* bytes, uint32_t count)
{
    if (!m_Open || m_File.GetPosition() + count > kZipMaxOffset)
        return 0;
    return m_File.Write(bytes, count);
}

uint32_t CFileAppendedToZipArchiveFileBuf::Read(void* bytes, uint32_t count)
{
    return m_Open ? m_File.Read(bytes, count) : 0;
}

bool CFileAppendedToZipArchiveFileBuf::SeekRelative(int64_t offset)
{
    return m_Open && m_File.GetPosition() + offset >= m_DataStart && m_File.SeekRelative(offset);
}

bool CFileAppendedToZipArchiveFileBuf::Seek(int64_t position)
{
    return m_Open && position >= 0 && m_File.Seek(m_DataStart + position);
}

int64_t CFileAppendedToZipArchiveFileBuf::Tell()
{
    return m_Open ? m_File.GetPosition() - m_DataStart : -1;
}

int64_t CFileAppendedToZipArchiveFileBuf::GetSize()
{
    return m_Open ? m_File.GetSize() - m_DataStart : 0;
}

int32_t CFileAppendedToZipArchiveFileBuf::SetSize(int64_t size)
{
    if (!m_Open || size < 0 || m_DataStart + size > kZipMaxOffset)
        return -1;
    return m_File.SetSize(m_DataStart + size);
}

bool CFileAppendedToZipArchiveFileBuf::Close()
{
    if (!m_Open)
        return true;
    // The working copy holds nothing past the data, so its size is the
    // member's: no stale bytes are counted.
    const int64_t memberSize = m_File.GetSize() - m_DataStart;
    const int64_t directoryOffset = m_DataStart + memberSize;
    const uint32_t recordSize = ZipCentralRecord::kSize + uint32_t(m_MemberName.size());
    const int64_t directorySize = int64_t(m_EndRecord.directorySize) + recordSize;
    bool ok = memberSize >= 0 && m_EndRecord.totalEntries < kZipMaxEntries && m_EndRecord.diskEntries < kZipMaxEntries
        && directoryOffset + directorySize + ZipEndRecord::kSize <= kZipMaxOffset;
    ZipLocalHeader header;
    header.versionNeeded = 10;
    header.compressedSize = uint32_t(memberSize);
    header.size = uint32_t(memberSize);
    header.nameLength = uint16_t(m_MemberName.size());
    uint8_t headerBytes[ZipLocalHeader::kSize];
    header.Write(headerBytes);
    ok = ok && WriteAt(m_File, m_HeaderOffset, headerBytes, ZipLocalHeader::kSize);
    if (ok) {
        ZipCentralRecord record;
        record.versionMadeBy = 42;
        record.versionNeeded = 10;
        record.compressedSize = uint32_t(memberSize);
        record.size = uint32_t(memberSize);
        record.nameLength = uint16_t(m_MemberName.size());
        record.localHeaderOffset = uint32_t(m_HeaderOffset);
        std::vector<uint8_t> recordBytes(recordSize, 0);
        record.Write(recordBytes.data());
        std::memcpy(&recordBytes[ZipCentralRecord::kSize], m_MemberName.data(), m_MemberName.size());
        ZipEndRecord end = m_EndRecord;
        end.signature = kZipAlternativeEndSignature;
        end.diskEntries = uint16_t(m_EndRecord.diskEntries + 1);
        end.totalEntries = uint16_t(m_EndRecord.totalEntries + 1);
        end.directorySize = uint32_t(directorySize);
        end.directoryOffset = uint32_t(directoryOffset);
        uint8_t endBytes[ZipEndRecord::kSize];
        end.Write(endBytes);
        ok = m_File.Seek(directoryOffset)
            && (m_OldDirectory.empty()
                || m_File.Write(m_OldDirectory.data(), uint32_t(m_OldDirectory.size())) == m_OldDirectory.size())
            && m_File.Write(recordBytes.data(), recordSize) == recordSize
            && m_File.Write(endBytes, ZipEndRecord::kSize) == ZipEndRecord::kSize;
    }
    ok = !m_File.HasError() && ok;
    ok = m_File.Close() && ok;
    ok = ok && plat::SyncFileToDisk(m_TempDiskPath) && plat::RenameFile(m_TempDiskPath, m_TargetDiskPath);
    if (!ok)
        plat::DeleteFile(m_TempDiskPath);
    m_TempDiskPath.clear();
    m_Lock.Release();
    m_Open = false;
    return ok;
}

// --- Enumeration ---

void CZipArchive::Enumerate(CEnumerateFilesCallback& callback, const CEnumerateFilesOptions& options)
{
    EnsureLoaded();
    const char* folder = options.folder ? options.folder : "";
    const size_t folderLength = std::strlen(folder);
    if (!StartsWithNoCase(folder, m_MountPoint.c_str(), std::min(folderLength, m_MountPoint.size())))
        return;
    const size_t prefixLength = std::strlen(options.prefix ? options.prefix : "");
    const uint32_t extensionCount = std::min(options.extensionCount, kEnumerateMaxExtensions);
    const uint32_t start = FindInsertionPoint(folder);
    for (uint32_t e = 0; e < extensionCount; ++e) {
        const CJString& extension = options.extensions[e];
        const char* extensionText = extension.GetString();
        const size_t extensionLength = std::strlen(extensionText);
        std::string lastReported;
        for (uint32_t i = start; i < m_NameIndex.size(); ++i) {
            CZipArchiveEntry& entry = *m_Entries[m_NameIndex[i]];
            const char* name = entry.fullName.c_str();
            if (!StartsWithNoCase(name, folder, folderLength))
                break;
            const char* rest = name + folderLength;
            if (options.folders == 0) {
                const char* slash = std::strrchr(rest, '/');
                const char* filePart = slash ? slash + 1 : rest;
                const size_t length = std::strlen(name);
                bool accept = filePart[0] != 0 && StartsWithNoCase(filePart, options.prefix, prefixLength);
                if (accept && extensionLength > 0)
                    accept = length > extensionLength && name[length - extensionLength - 1] == '.'
                        && StartsWithNoCase(name + length - extensionLength, extensionText, extensionLength);
                if (accept && options.recursion == 1) {
                    // Skip members below a folder whose name begins with "-".
                    for (const char* component = rest; component < filePart;) {
                        if (component[0] == '-') {
                            accept = false;
                            break;
                        }
                        component = std::strchr(component, '/') + 1;
                    }
                }
                if (!accept)
                    continue;
                const char* reported = options.namesOnly ? filePart : name;
                if (callback.HasEntry(reported)) {
                    entry.listed = false;
                    continue;
                }
                const uint64_t time = DosTimeToFileTime(entry.central.date, entry.central.time);
                CEnumerateFilesInfo info;
                info.size = entry.central.size;
                info.timeLow = uint32_t(time);
                info.timeHigh = uint32_t(time >> 32);
                callback.AddEntry(reported, info);
                entry.listed = true;
            } else {
                for (const char* component = rest;;) {
                    const char* slash = std::strchr(component, '/');
                    if (!slash)
                        break;
                    const size_t componentLength = size_t(slash - component);
                    if (componentLength > 0 && StartsWithNoCase(component, options.prefix, prefixLength)) {
                        const std::string reported = options.namesOnly ? std::string(component, componentLength)
                                                                       : std::string(name, size_t(slash - name));
                        if (reported != lastReported && !callback.HasEntry(reported.c_str()))
                            callback.AddEntry(reported.c_str(), CEnumerateFilesInfo());
                        lastReported = reported;
                    }
                    if (options.recursion == 2 || (options.recursion == 1 && component[0] == '-'))
                        break;
                    component = slash + 1;
                }
            }
        }
    }
}
