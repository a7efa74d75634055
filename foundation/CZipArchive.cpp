#include "foundation/CZipArchive.h"

#include "foundation/CJString.h"
#include "foundation/CStartupTextLog.h"
#include "foundation/EnumerateFiles.h"
#include "foundation/FatalError.h"
#include "foundation/FileHelpers.h"
#include "foundation/LittleEndian.h"
#include "foundation/TextEncoding.h"
#include "platform/FileSystem.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr uint32_t kChunk = 64 * 1024;
constexpr int64_t kMaxZipOffset = 0xFFFFFFFFLL;
constexpr uint32_t kDescriptorSignature = 0x08074B50;

bool ReadAt(CFile& file, int64_t position, void* bytes, uint32_t count)
{
    return file.Seek(position) && file.Read(bytes, count) == count;
}

bool WriteAt(CFile& file, int64_t position, const void* bytes, uint32_t count)
{
    return file.Seek(position) && file.Write(bytes, count) == count;
}

bool ReadU32At(CFile& file, int64_t position, uint32_t& value)
{
    uint8_t bytes[4];
    if (!ReadAt(file, position, bytes, 4))
        return false;
    value = ReadLE32(bytes);
    return true;
}

bool IsEndSignature(uint32_t signature)
{
    return signature == kZipEndSignature || signature == kZipAlternativeEndSignature;
}

// The disk name of an archive path resolved with its open flags.
std::string DiskPathOf(const char* path, uint32_t flags)
{
    CJString resolved;
    ResolveFileName(resolved, path, flags);
    if (resolved.IsWide())
        resolved.ToNarrow();
    return plat::ResolvePath(Windows1252ToUtf8(resolved.GetString()));
}

// A hidden name beside the target for its working copy; listings skip
// names beginning with ".".
std::string TempPathFor(const std::string& target)
{
    static uint32_t counter = 0;
    const size_t slash = target.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::string candidate = folder + "." + base + ".tmp" + std::to_string(++counter);
        if (!plat::PathExists(candidate))
            return candidate;
    }
    return std::string();
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

// A new read-write stream on a disk name, attached to file.
bool CreateWorkingFile(CFile& file, const std::string& diskPath)
{
    std::FILE* stream = plat::OpenFile(diskPath, "w+b");
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

// --- CZipArchiveEntry ---

uint32_t CZipArchiveEntry::GetU32(uint32_t at) const
{
    return ReadLE32(record + at);
}

void CZipArchiveEntry::SetU16(uint32_t at, uint16_t value)
{
    WriteLE16(record + at, value);
}

void CZipArchiveEntry::SetU32(uint32_t at, uint32_t value)
{
    WriteLE32(record + at, value);
}

// --- CZipArchive ---

CZipArchive::CZipArchive(const char* path, const char* mountPoint, uint32_t flags, bool writable)
    : m_Writable(writable), m_Path(path ? path : ""), m_MountPoint(mountPoint && mountPoint[0] != '/' ? mountPoint : ""),
      m_Flags(flags)
{
}

CZipArchive::~CZipArchive()
{
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
    if (!OpenSharedFile(0))
        return false;
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
    return ReadDirectory(m_File);
}

bool CZipArchive::ReadDirectory(CFile& file)
{
    m_Loaded = false;
    m_Entries.clear();
    m_NameIndex.clear();
    const int64_t size = file.GetSize();
    m_FileSize = size;
    if (size < int64_t(kZipEndRecordSize))
        return false;

    int64_t directoryStart = -1;
    int64_t directoryEnd = -1;
    uint32_t expected = 0;
    uint8_t end[kZipEndRecordSize];
    if (ReadAt(file, size - kZipEndRecordSize, end, kZipEndRecordSize) && IsEndSignature(ReadLE32(end))) {
        // The usual archive: no comment, so the end record closes the file.
        m_EndSignature = ReadLE32(end);
        expected = ReadLE16(end + 10);
        const int64_t directorySize = ReadLE32(end + 12);
        directoryStart = ReadLE32(end + 16);
        directoryEnd = directoryStart + directorySize;
        // A directory lying outside the file is refused, never read.
        if (directoryEnd > size - int64_t(kZipEndRecordSize))
            return false;
    } else {
        // Walk the records from the start up to the end record.
        int64_t position = 0;
        uint8_t header[kZipCentralRecordSize];
        for (;;) {
            uint32_t signature = 0;
            if (!ReadU32At(file, position, signature))
                return false;
            if (signature == kZipLocalSignature) {
                if (directoryStart >= 0 || !ReadAt(file, position + 4, header, 26))
                    return false;
                position += 30 + int64_t(ReadLE16(header + 22)) + ReadLE16(header + 24) + ReadLE32(header + 14);
            } else if (signature == kZipCentralSignature) {
                if (directoryStart < 0)
                    directoryStart = position;
                if (!ReadAt(file, position + 4, header, kZipCentralRecordSize))
                    return false;
                position += 4 + kZipCentralRecordSize + int64_t(ReadLE16(header + 24)) + ReadLE16(header + 26) + ReadLE16(header + 28);
                ++expected;
            } else if (IsEndSignature(signature)) {
                m_EndSignature = signature;
                if (directoryStart < 0)
                    directoryStart = position;
                directoryEnd = position;
                break;
            } else {
                return false;
            }
            if (position > size)
                return false;
        }
    }

    // Member data must lie before the directory.
    const int64_t dataLimit = directoryStart;
    int64_t position = directoryStart;
    for (uint32_t i = 0; i < expected; ++i) {
        uint32_t signature = 0;
        if (position + 4 > directoryEnd + int64_t(kZipEndRecordSize) || !ReadU32At(file, position, signature))
            return false;
        if (IsEndSignature(signature))
            break;
        auto entry = std::make_unique<CZipArchiveEntry>();
        if (signature != kZipCentralSignature || position + 4 + kZipCentralRecordSize > directoryEnd
            || !ReadAt(file, position + 4, entry->record, kZipCentralRecordSize))
            return false;
        const uint32_t nameLength = entry->GetNameLength();
        const uint32_t extraLength = entry->GetU16(26);
        const uint32_t commentLength = entry->GetU16(28);
        position += 4 + kZipCentralRecordSize;
        if (position + int64_t(nameLength) + extraLength + commentLength > directoryEnd)
            return false;
        std::string stored(nameLength, '\0');
        entry->extra.resize(extraLength);
        entry->comment.resize(commentLength);
        if ((nameLength && file.Read(stored.data(), nameLength) != nameLength)
            || (extraLength && file.Read(entry->extra.data(), extraLength) != extraLength)
            || (commentLength && file.Read(entry->comment.data(), commentLength) != commentLength))
            return false;
        position += int64_t(nameLength) + extraLength + commentLength;
        if (entry->GetMethod() != 0) {
            CJString message;
            message.Format("%s has been created using an unsupported type of compression.  All zip archives must be "
                           "created with compression set to none or a type of compression supported by the game "
                           "engine.",
                           m_Path.c_str());
            FatalDataError("Compressed Zip File Found", message.GetString());
        }
        const int64_t least = int64_t(entry->GetOffset()) + kZipLocalHeaderSize + nameLength;
        if (least + entry->GetSize() > dataLimit || least + entry->GetU32(16) > dataLimit)
            return false;
        stored.erase(std::find(stored.begin(), stored.end(), '\0'), stored.end());
        entry->fullName = m_MountPoint + stored;
        m_Entries.push_back(std::move(entry));
    }
    m_Loaded = true;
    Sort();
    return true;
}

void CZipArchive::Sort()
{
    std::stable_sort(m_Entries.begin(), m_Entries.end(),
                     [](const auto& a, const auto& b) { return a->GetOffset() < b->GetOffset(); });
    m_NameIndex.resize(m_Entries.size());
    for (uint32_t i = 0; i < m_NameIndex.size(); ++i)
        m_NameIndex[i] = i;
    std::stable_sort(m_NameIndex.begin(), m_NameIndex.end(), [this](uint32_t a, uint32_t b) {
        return CompareNameNoCase(m_Entries[a]->fullName.c_str(), m_Entries[b]->fullName.c_str()) < 0;
    });
}

void CZipArchive::EnsureLoaded()
{
    if (!m_Loaded && !Load())
        DamagedArchive(m_Path);
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
    stored.resize(entry.GetNameLength(), '\0');
    return stored;
}

int64_t CZipArchive::LocateData(CFile& file, CZipArchiveEntry& entry)
{
    uint8_t header[kZipLocalHeaderSize];
    const int64_t offset = entry.GetOffset();
    if (!ReadAt(file, offset, header, kZipLocalHeaderSize) || ReadLE32(header) != kZipLocalSignature)
        return -1;
    const int64_t start = offset + kZipLocalHeaderSize + ReadLE16(header + 26) + ReadLE16(header + 28);
    const int64_t size = (&file == &m_File && !m_Writing && m_FileSize > 0) ? m_FileSize : file.GetSize();
    if (start + int64_t(entry.GetSize()) > size)
        return -1;
    entry.dataStart = start;
    return start;
}

int64_t CZipArchive::MemberEnd(CFile& file, CZipArchiveEntry& entry)
{
    if (entry.dataStart < 0 && LocateData(file, entry) < 0)
        return -1;
    int64_t end = entry.dataStart + entry.GetSize();
    if (entry.GetFlags() & 0x8) {
        uint32_t signature = 0;
        end += (ReadU32At(file, end, signature) && signature == kDescriptorSignature) ? 16 : 12;
    }
    return end;
}

bool CZipArchive::MakeWritable()
{
    if (!m_Writable || m_OpenMembers != 0 || m_FromBuffer)
        return false;
    if (m_Writing)
        return true;
    CFile original;
    if (!original.Open(m_Path.c_str(), m_Flags | FILE_READ | FILE_ARCHIVE_HOST))
        return false;
    // Members inside other archives cannot be replaced.
    if (original.GetFileBuf()->IsMemory() || dynamic_cast<CZipFileBuf*>(original.GetFileBuf()))
        return false;
    int64_t copyEnd = 0;
    for (auto& entry : m_Entries) {
        const int64_t end = MemberEnd(original, *entry);
        if (end < 0)
            return false;
        copyEnd = std::max(copyEnd, end);
    }
    m_DiskPath = DiskPathOf(m_Path.c_str(), m_Flags);
    m_TempDiskPath = TempPathFor(m_DiskPath);
    if (m_TempDiskPath.empty())
        return false;
    CFile working;
    if (!CreateWorkingFile(working, m_TempDiskPath))
        return false;
    if (!CopyPrefix(original, working, copyEnd)) {
        working.Close();
        plat::DeleteFile(m_TempDiskPath);
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
    const int64_t distance = int64_t(next.GetOffset()) - entry.GetOffset();
    if (!m_File.MoveBlock(entry.GetOffset(), next.GetOffset(), lastEnd - next.GetOffset()))
        return false;
    for (size_t i = at + 1; i < m_Entries.size(); ++i) {
        CZipArchiveEntry& later = *m_Entries[i];
        later.SetOffset(uint32_t(later.GetOffset() - distance));
        if (later.dataStart >= 0)
            later.dataStart -= distance;
    }
    entry.SetOffset(uint32_t(lastEnd - distance));
    entry.dataStart = -1;
    Sort();
    return true;
}

bool CZipArchive::WriteLocalHeader(CZipArchiveEntry& entry)
{
    const std::string stored = StoredName(entry);
    std::vector<uint8_t> header(kZipLocalHeaderSize + stored.size());
    WriteLE32(header.data(), kZipLocalSignature);
    WriteLE16(&header[4], entry.GetU16(2));  // version needed
    WriteLE16(&header[6], entry.GetFlags());
    WriteLE16(&header[8], entry.GetMethod());
    WriteLE16(&header[10], entry.GetU16(8)); // time
    WriteLE16(&header[12], entry.GetU16(10)); // date
    WriteLE32(&header[14], entry.GetCrc());
    WriteLE32(&header[18], entry.GetU32(16));
    WriteLE32(&header[22], entry.GetSize());
    WriteLE16(&header[26], uint16_t(stored.size()));
    WriteLE16(&header[28], 0);
    std::memcpy(&header[30], stored.data(), stored.size());
    if (!WriteAt(m_File, entry.GetOffset(), header.data(), uint32_t(header.size())))
        return false;
    entry.dataStart = int64_t(entry.GetOffset()) + int64_t(header.size());
    return true;
}

CFileBuf* CZipArchive::OpenMember(const char* name, uint32_t flags)
{
    EnsureLoaded();
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
        if (!MakeWritable() || !MoveMemberToEnd(*entry))
            return nullptr;
        uint16_t date = 0;
        uint16_t time = 0;
        GetDosDateTimeNow(date, time);
        entry->SetSizes(0);
        entry->SetU32(12, 0);
        entry->SetU16(26, 0);
        entry->extra.clear();
        entry->SetU16(4, uint16_t(entry->GetFlags() & ~0x8)); // sizes live in the header now
        entry->SetU16(8, time);
        entry->SetU16(10, date);
        m_Dirty = true;
        if (!WriteLocalHeader(*entry))
            return nullptr;
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
    if (m_Entries.size() > 0xFFFF || !m_File.Seek(start))
        return false;
    int64_t written = 0;
    for (auto& entry : m_Entries) {
        uint8_t signature[4];
        WriteLE32(signature, kZipCentralSignature);
        const std::string stored = StoredName(*entry);
        bool ok = m_File.Write(signature, 4) == 4 && m_File.Write(entry->record, kZipCentralRecordSize) == kZipCentralRecordSize
                  && m_File.Write(stored.data(), uint32_t(stored.size())) == stored.size();
        ok = ok && (entry->extra.empty() || m_File.Write(entry->extra.data(), uint32_t(entry->extra.size())) == entry->extra.size());
        ok = ok && (entry->comment.empty() || m_File.Write(entry->comment.data(), uint32_t(entry->comment.size())) == entry->comment.size());
        if (!ok)
            return false;
        written += 4 + kZipCentralRecordSize + int64_t(stored.size() + entry->extra.size() + entry->comment.size());
    }
    return WriteEndRecord(start, written);
}

bool CZipArchive::WriteEndRecord(int64_t directoryStart, int64_t directorySize)
{
    if (directoryStart + directorySize + kZipEndRecordSize > kMaxZipOffset)
        return false;
    uint8_t end[kZipEndRecordSize] = {};
    WriteLE32(end, m_EndSignature);
    WriteLE16(end + 8, uint16_t(m_Entries.size()));
    WriteLE16(end + 10, uint16_t(m_Entries.size()));
    WriteLE32(end + 12, uint32_t(directorySize));
    WriteLE32(end + 16, uint32_t(directoryStart));
    if (m_File.Write(end, kZipEndRecordSize) != kZipEndRecordSize)
        return false;
    // Cut whatever the old, longer archive left behind.
    return m_File.SetSize(directoryStart + directorySize + kZipEndRecordSize) == 0;
}

bool CZipArchive::FinishWriting(bool ok)
{
    ok = !m_File.HasError() && ok;
    ok = m_File.Close() && ok;
    m_Writing = false;
    m_Dirty = false;
    if (ok)
        ok = plat::SyncFileToDisk(m_TempDiskPath) && plat::RenameFile(m_TempDiskPath, m_DiskPath);
    if (!ok) {
        plat::DeleteFile(m_TempDiskPath);
        // The offsets in memory describe the dropped copy.
        Load();
    }
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

// --- CZipFileBuf ---

CZipFileBuf::CZipFileBuf(CZipArchive& archive, CZipArchiveEntry& entry, uint32_t flags)
    : m_Archive(&archive), m_Entry(&entry), m_Flags(flags), m_Writing((flags & FILE_CREATE) != 0)
{
}

CZipFileBuf::~CZipFileBuf()
{
    CZipFileBuf::Close();
}

bool CZipFileBuf::Open()
{
    if ((m_Flags & FILE_OWN_ARCHIVE_HANDLE) && !m_Writing) {
        m_OwnFile = new CFile;
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
    if (m_Position + count > kMaxZipOffset)
        return 0;
    if (!File().Seek(m_Position))
        return 0;
    const uint32_t written = File().Write(bytes, count);
    m_Position += written;
    if (m_Position > m_DataStart + int64_t(m_Entry->GetSize()))
        m_Entry->SetSizes(uint32_t(m_Position - m_DataStart));
    return written;
}

uint32_t CZipFileBuf::Read(void* bytes, uint32_t count)
{
    if (!m_Entry)
        return 0;
    const int64_t left = m_DataStart + int64_t(m_Entry->GetSize()) - m_Position;
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
    if (target < m_DataStart || target >= m_DataStart + int64_t(m_Entry->GetSize()))
        return false;
    m_Position = target;
    return true;
}

bool CZipFileBuf::Seek(int64_t position)
{
    if (!m_Entry || position < 0 || position > int64_t(m_Entry->GetSize()))
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
    return m_Entry ? int64_t(m_Entry->GetSize()) : -1;
}

int32_t CZipFileBuf::SetSize(int64_t size)
{
    if (!m_Entry || !m_Writing || size < 0 || m_DataStart + size > kMaxZipOffset)
        return -1;
    m_Entry->SetSizes(uint32_t(size));
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
        Seek(start);
        if (chunk > (1 << 29)) {
            line.ReleaseBuffer(0);
            return false;
        }
        chunk *= 2;
    }
}

bool CZipFileBuf::Close()
{
    if (!m_Entry)
        return true;
    bool ok = true;
    if (m_Writing) {
        // CRC-32 of what was written, read back in chunks.
        std::vector<uint8_t> chunk(kChunk);
        uLong crc = crc32(0L, Z_NULL, 0);
        int64_t left = m_Entry->GetSize();
        int64_t position = m_DataStart;
        while (left > 0 && ok) {
            const uint32_t part = uint32_t(std::min<int64_t>(left, kChunk));
            ok = ReadAt(File(), position, chunk.data(), part);
            crc = crc32(crc, chunk.data(), part);
            position += part;
            left -= part;
        }
        m_Entry->SetU32(12, uint32_t(crc));
        ok = ok && m_Archive->WriteLocalHeader(*m_Entry);
    }
    if (m_OwnFile) {
        m_OwnFile->Close();
        delete m_OwnFile;
        m_OwnFile = nullptr;
    }
    CZipArchiveEntry* entry = m_Entry;
    m_Entry = nullptr;
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
    m_Open = false;
}

bool CFileAppendedToZipArchiveFileBuf::Open(const char* archivePath, const char* memberName)
{
    if (m_Open || !archivePath || !memberName)
        return false;
    m_MemberName = memberName;
    if (m_MemberName.empty() || m_MemberName.size() > 255)
        return false;
    CFile original;
    if (!original.Open(archivePath, FILE_USER_FOLDER | FILE_READ | FILE_ARCHIVE_HOST))
        return false;
    const int64_t size = original.GetSize();
    uint8_t end[kZipEndRecordSize];
    if (size < int64_t(kZipEndRecordSize) || !ReadAt(original, size - kZipEndRecordSize, end, kZipEndRecordSize)
        || !IsEndSignature(ReadLE32(end)))
        return false;
    std::memcpy(m_EndRecord, end + 4, sizeof(m_EndRecord));
    const int64_t directorySize = ReadLE32(end + 12);
    const int64_t directoryOffset = ReadLE32(end + 16);
    if (directoryOffset + directorySize > size - int64_t(kZipEndRecordSize))
        return false;
    m_OldDirectory.resize(size_t(directorySize));
    if (directorySize && !ReadAt(original, directoryOffset, m_OldDirectory.data(), uint32_t(directorySize)))
        return false;

    m_TargetDiskPath = DiskPathOf(archivePath, FILE_USER_FOLDER);
    m_TempDiskPath = TempPathFor(m_TargetDiskPath);
    if (m_TempDiskPath.empty() || !CreateWorkingFile(m_File, m_TempDiskPath)) {
        m_TempDiskPath.clear();
        return false;
    }
    m_Open = true;
    m_HeaderOffset = directoryOffset;
    std::vector<uint8_t> header(kZipLocalHeaderSize + m_MemberName.size(), 0);
    WriteLE32(header.data(), kZipLocalSignature);
    WriteLE16(&header[4], 10);
    WriteLE16(&header[26], uint16_t(m_MemberName.size()));
    std::memcpy(&header[30], m_MemberName.data(), m_MemberName.size());
    if (!CopyPrefix(original, m_File, directoryOffset) || m_File.Write(header.data(), uint32_t(header.size())) != header.size()) {
        Abandon();
        return false;
    }
    m_DataStart = m_HeaderOffset + int64_t(header.size());
    return true;
}

uint32_t CFileAppendedToZipArchiveFileBuf::Write(const void* bytes, uint32_t count)
{
    if (!m_Open || m_File.GetPosition() + count > kMaxZipOffset)
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
    if (!m_Open || size < 0 || m_DataStart + size > kMaxZipOffset)
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
    const uint32_t recordSize = 46 + uint32_t(m_MemberName.size());
    const uint16_t entries = ReadLE16(m_EndRecord + 6);
    const int64_t directorySize = int64_t(ReadLE32(m_EndRecord + 8)) + recordSize;
    bool ok = memberSize >= 0 && entries < 0xFFFF && ReadLE16(m_EndRecord + 4) < 0xFFFF
              && directoryOffset + directorySize + kZipEndRecordSize <= kMaxZipOffset;
    if (ok) {
        uint8_t sizes[8];
        WriteLE32(sizes, uint32_t(memberSize));
        WriteLE32(sizes + 4, uint32_t(memberSize));
        ok = WriteAt(m_File, m_HeaderOffset + 18, sizes, 8);
    }
    if (ok) {
        std::vector<uint8_t> record(recordSize + 0, 0);
        WriteLE32(record.data(), kZipCentralSignature);
        WriteLE16(&record[4], 42);
        WriteLE16(&record[6], 10);
        WriteLE32(&record[20], uint32_t(memberSize));
        WriteLE32(&record[24], uint32_t(memberSize));
        WriteLE16(&record[28], uint16_t(m_MemberName.size()));
        WriteLE32(&record[42], uint32_t(m_HeaderOffset));
        std::memcpy(&record[46], m_MemberName.data(), m_MemberName.size());
        uint8_t end[kZipEndRecordSize];
        WriteLE32(end, kZipAlternativeEndSignature);
        std::memcpy(end + 4, m_EndRecord, sizeof(m_EndRecord));
        WriteLE16(end + 8, uint16_t(ReadLE16(m_EndRecord + 4) + 1));
        WriteLE16(end + 10, uint16_t(entries + 1));
        WriteLE32(end + 12, uint32_t(directorySize));
        WriteLE32(end + 16, uint32_t(directoryOffset));
        ok = m_File.Seek(directoryOffset)
             && (m_OldDirectory.empty() || m_File.Write(m_OldDirectory.data(), uint32_t(m_OldDirectory.size())) == m_OldDirectory.size())
             && m_File.Write(record.data(), recordSize) == recordSize && m_File.Write(end, kZipEndRecordSize) == kZipEndRecordSize;
    }
    ok = !m_File.HasError() && ok;
    ok = m_File.Close() && ok;
    ok = ok && plat::SyncFileToDisk(m_TempDiskPath) && plat::RenameFile(m_TempDiskPath, m_TargetDiskPath);
    if (!ok)
        plat::DeleteFile(m_TempDiskPath);
    m_TempDiskPath.clear();
    m_Open = false;
    return ok;
}

// --- The mount tree ---

std::string CArchiveNode::GetPath() const
{
    std::string path;
    for (const CArchiveNode* node = this; node && node->parent; node = node->parent)
        path = path.empty() ? node->name : node->name + "/" + path;
    return path;
}

namespace {

// The layer the file layer asks once archives are mounted.
class CMountedArchiveLayer : public CArchiveLayer {
public:
    bool IsMounted() const override { return CMountedArchiveTable::Get().IsMounted(); }
    CFileBuf* OpenMember(const char* name, uint32_t flags) override
    {
        return CMountedArchiveTable::Get().OpenMember(name, flags);
    }
    CFileBuf* OpenAppendedMember(const char* archivePath, const char* memberName) override
    {
        auto* buffer = new CFileAppendedToZipArchiveFileBuf;
        if (!buffer->Open(archivePath, memberName)) {
            delete buffer;
            return nullptr;
        }
        return buffer;
    }
    bool Contains(const char* name) override { return CMountedArchiveTable::Get().Contains(name); }
    bool IsWritable(const char* name, bool& writable) override
    {
        return CMountedArchiveTable::Get().IsWritable(name, writable);
    }
    bool IsNewer(const char* nameA, const char* nameB) override
    {
        return CMountedArchiveTable::Get().IsNewer(nameA, nameB);
    }
    bool GetArchivePath(const char* name, CJString& path) override
    {
        return CMountedArchiveTable::Get().GetArchivePath(name, path);
    }
};

CArchiveNode* FindChild(CArchiveNode& node, const char* name, size_t length)
{
    for (auto& child : node.children)
        if (child->name.size() == length && StartsWithNoCase(child->name.c_str(), name, length))
            return child.get();
    return nullptr;
}

} // namespace

CArchiveLayer& GetMountedArchiveLayer()
{
    static CMountedArchiveLayer layer;
    return layer;
}

CMountedArchiveTable& CMountedArchiveTable::Get()
{
    static CMountedArchiveTable table;
    return table;
}

bool CMountedArchiveTable::Mount(const char* path, bool newRoot, bool writable, const char* mountPoint, bool defer,
                                 uint32_t flags)
{
    std::unique_ptr<CArchiveNode> root;
    CArchiveNode* node = nullptr;
    if (newRoot || m_Roots.empty()) {
        root = std::make_unique<CArchiveNode>();
        node = root.get();
    } else {
        node = m_Roots.back().get();
    }
    if (!mountPoint)
        mountPoint = "/";
    // Each "/"-terminated component is a tree level; "/" is the node itself.
    std::vector<CArchiveNode*> created;
    for (const char* start = mountPoint; *start;) {
        const char* slash = std::strchr(start, '/');
        if (!slash)
            break;
        const size_t length = size_t(slash - start);
        if (length > 0) {
            CArchiveNode* child = FindChild(*node, start, length);
            if (!child) {
                auto made = std::make_unique<CArchiveNode>();
                made->parent = node;
                made->name.assign(start, length);
                child = made.get();
                node->children.push_back(std::move(made));
                created.push_back(child);
            }
            node = child;
        }
        start = slash + 1;
    }
    auto archive = std::make_unique<CZipArchive>(path, mountPoint, flags, writable);
    if (!defer) {
        archive->SetKeepOpen(true);
        if (!archive->Load()) {
            // Take back the nodes made for the failed mount, deepest first.
            for (auto it = created.rbegin(); it != created.rend(); ++it) {
                CArchiveNode* parent = (*it)->parent;
                auto& siblings = parent->children;
                siblings.erase(std::remove_if(siblings.begin(), siblings.end(),
                                              [&](const auto& c) { return c.get() == *it; }),
                               siblings.end());
            }
            return false;
        }
    }
    // A second archive on one node replaces the first.
    node->archive = std::move(archive);
    if (root)
        m_Roots.push_back(std::move(root));
    m_Mounted = true;
    return true;
}

void CMountedArchiveTable::UnmountAll()
{
    m_Roots.clear();
    m_Mounted = false;
}

CZipArchive* CMountedArchiveTable::ArchiveForName(CArchiveNode& root, const char* name)
{
    CArchiveNode* node = &root;
    CZipArchive* found = root.archive.get();
    for (const char* start = name; *start;) {
        const char* slash = std::strchr(start, '/');
        if (!slash)
            break;
        node = FindChild(*node, start, size_t(slash - start));
        if (!node)
            break;
        if (node->archive)
            found = node->archive.get();
        start = slash + 1;
    }
    return found;
}

CFileBuf* CMountedArchiveTable::OpenMember(const char* name, uint32_t flags)
{
    if (!name)
        return nullptr;
    for (size_t i = m_Roots.size(); i-- > 0;) {
        if (CZipArchive* archive = ArchiveForName(*m_Roots[i], name))
            if (CFileBuf* buffer = archive->OpenMember(name, flags))
                return buffer;
    }
    return nullptr;
}

bool CMountedArchiveTable::Contains(const char* name)
{
    if (!name)
        return false;
    for (size_t i = m_Roots.size(); i-- > 0;) {
        if (CZipArchive* archive = ArchiveForName(*m_Roots[i], name)) {
            archive->EnsureLoaded();
            if (archive->Find(name))
                return true;
        }
    }
    return false;
}

bool CMountedArchiveTable::IsWritable(const char* name, bool& writable)
{
    for (size_t i = m_Roots.size(); i-- > 0;) {
        if (CZipArchive* archive = ArchiveForName(*m_Roots[i], name)) {
            archive->EnsureLoaded();
            if (!archive->Find(name))
                return false;
            writable = archive->IsWritable() && IsFileWritable(archive->GetPath().c_str(), archive->GetFlags());
            return true;
        }
    }
    return false;
}

bool CMountedArchiveTable::IsNewer(const char* nameA, const char* nameB)
{
    for (size_t i = m_Roots.size(); i-- > 0;) {
        CZipArchive* archive = ArchiveForName(*m_Roots[i], nameA);
        if (archive && !archive->GetMountPoint().empty())
            return IsNewerFile(archive->GetPath().c_str(), nameB);
    }
    return false;
}

bool CMountedArchiveTable::GetArchivePath(const char* name, CJString& path)
{
    for (size_t i = m_Roots.size(); i-- > 0;) {
        if (CZipArchive* archive = ArchiveForName(*m_Roots[i], name)) {
            archive->EnsureLoaded();
            if (archive->Find(name)) {
                path.Set(archive->GetPath().c_str());
                return true;
            }
        }
    }
    return false;
}

// --- MountArchives ---

namespace {

constexpr uint32_t kMaxProgramArchives = 200;
constexpr uint32_t kProgramArchiveNameWidth = 80;

bool MountProgramArchive(const char* path)
{
    return CMountedArchiveTable::Get().Mount(path, true, false, "/", false, FILE_USER_FOLDER);
}

} // namespace

void MountArchives(const char* name, bool skipProgramFolder, bool, bool skipZipScan)
{
    CMountedArchiveTable& table = CMountedArchiveTable::Get();
    if (table.IsMounted())
        FatalDataError("FATAL ERROR IN ZIP", "The archives are already mounted.");
    SetFileOpenNotificationsEnabled(!skipProgramFolder);
    bool mounted = false;
    if (!skipProgramFolder) {
        SetDataFolder(".");
        CEnumerateFilesOptions options;
        options.SetFilesWithExtension("", "QVX");
        options.SetRecurse(2);
        options.namesOnly = 1;
        std::vector<char> names(kMaxProgramArchives * kProgramArchiveNameWidth, 0);
        const uint32_t count = EnumerateFilesToStaticArray(options, names.data(), nullptr, kProgramArchiveNameWidth,
                                                           kMaxProgramArchives, FILE_USER_FOLDER);
        std::vector<const char*> sorted;
        for (uint32_t i = 0; i < count; ++i)
            sorted.push_back(&names[i * kProgramArchiveNameWidth]);
        std::sort(sorted.begin(), sorted.end(),
                  [](const char* a, const char* b) { return CompareNameNoCase(a, b) < 0; });

        const std::string module = Utf8ToWindows1252(plat::GetProgramPath());
        if (!module.empty())
            mounted = MountProgramArchive(module.c_str()) || MountProgramArchive((module + ".ZIP").c_str())
                      || MountProgramArchive((module + ".DAT").c_str());
        for (const char* archive : sorted)
            mounted = MountProgramArchive(archive) || mounted;
    }
    (void)mounted;
    SetDataFolder(name);
    if (skipZipScan)
        return;
    CStartupTextLog& log = CStartupTextLog::Instance();
    log.Print("Enumerating Zip Files", LogLineEnd::EndLine, 0);
    CFileNameArray zips;
    CEnumerateFilesOptions options;
    options.SetFilesWithExtension("", "zip");
    options.SetRecurse(1);
    zips.Enumerate(options, 0);
    if (zips.GetCount() == 0) {
        log.Print("No zip files found", LogLineEnd::EndLine, 0);
        return;
    }
    log.Print("Opening Zip Files and Retrieving File Lists", LogLineEnd::EndLine, 0);
    for (int32_t i = 0; i < zips.GetCount(); ++i) {
        const char* zip = zips.GetItemName(i);
        const size_t length = std::strlen(zip);
        if (length <= 4)
            continue;
        const std::string mountPoint = std::string(zip, length - 4) + "/";
        table.Mount(zip, i == 0, true, mountPoint.c_str(), true, 0);
    }
    log.Print("Done Opening Zip Files and Retrieving File Lists", LogLineEnd::EndLine, 0);
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
                const uint64_t time = DosTimeToFileTime(entry.GetU16(10), entry.GetU16(8));
                CEnumerateFilesInfo info;
                info.size = entry.GetSize();
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

void CMountedArchiveTable::Enumerate(CEnumerateFilesCallback& callback, const CEnumerateFilesOptions& options)
{
    const char* folder = options.folder ? options.folder : "";
    for (size_t r = m_Roots.size(); r-- > 0;) {
        CArchiveNode* node = m_Roots[r].get();
        CArchiveNode* withArchive = node->archive ? node : nullptr;
        for (const char* start = folder; *start;) {
            const char* slash = std::strchr(start, '/');
            if (!slash)
                break;
            CArchiveNode* child = FindChild(*node, start, size_t(slash - start));
            if (!child)
                break;
            node = child;
            if (node->archive)
                withArchive = node;
            start = slash + 1;
        }
        EnumerateNode(withArchive ? *withArchive : *node, false, callback, options);
    }
}

void CMountedArchiveTable::EnumerateNode(CArchiveNode& node, bool, CEnumerateFilesCallback& callback,
                                         const CEnumerateFilesOptions& options)
{
    const char* folder = options.folder ? options.folder : "";
    const size_t folderLength = std::strlen(folder);
    const size_t prefixLength = std::strlen(options.prefix ? options.prefix : "");
    std::string nodePath = node.GetPath();
    if (!nodePath.empty())
        nodePath += "/";
    for (auto& child : node.children) {
        const std::string childPath = nodePath + child->name + "/";
        if (childPath.size() <= folderLength) {
            // Still above the folder: follow only the way down to it.
            if (StartsWithNoCase(folder, childPath.c_str(), childPath.size()))
                EnumerateNode(*child, false, callback, options);
            continue;
        }
        if (!StartsWithNoCase(childPath.c_str(), folder, folderLength))
            continue;
        if (options.folders == 1 && StartsWithNoCase(child->name.c_str(), options.prefix, prefixLength)) {
            const std::string reported = options.namesOnly ? child->name : childPath.substr(0, childPath.size() - 1);
            if (!callback.HasEntry(reported.c_str()))
                callback.AddEntry(reported.c_str(), CEnumerateFilesInfo());
        }
        if (options.recursion == 0 || (options.recursion == 1 && child->name[0] != '-'))
            EnumerateNode(*child, false, callback, options);
    }
    if (node.archive)
        node.archive->Enumerate(callback, options);
}
