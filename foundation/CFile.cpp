#include "foundation/CFile.h"

#include "foundation/ArchiveSeam.h"
#include "foundation/BufferNames.h"
#include "foundation/CArrayPOD.h"
#include "foundation/CMemFileBuf.h"
#include "foundation/CPerformanceMonitor.h"
#include "foundation/CompressedBlock.h"
#include "foundation/FileHelpers.h"
#include "foundation/FilePaths.h"
#include "foundation/LittleEndian.h"
#include "foundation/TextEncoding.h"
#include "platform/FileSearch.h"
#include "platform/FileSystem.h"
#include "platform/StreamSize.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kMoveChunk = 65536;
constexpr uint32_t kCompareChunk = 65536;
constexpr uint32_t kCopyChunk = 0x80000;

struct NotificationState {
    FileOpenHook hook = nullptr;
    bool enabled = false;
    uint32_t suspended = 0;
};

NotificationState& Notifications()
{
    static NotificationState state;
    return state;
}

bool ArchivesUsable(uint32_t flags)
{
    return (flags & FILE_BASE_FOLDER_MASK) == 0 && GetArchiveLayer().IsMounted();
}

std::string FolderPartOf(const std::string& path)
{
    // Disk paths separate with "/" only.
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

} // namespace

// --- CFileBuf ---

CFileBuf::CFileBuf(std::FILE* stream, bool owns)
    : m_Stream(stream)
    , m_OwnsStream(stream && owns)
{
}

CFileBuf::~CFileBuf()
{
    CFileBuf::Close();
    if (m_Registered)
        ForgetBufferName(this);
}

uint32_t CFileBuf::Write(const void* bytes, uint32_t count)
{
    GiveBackReadAhead();
    return m_Stream && count ? uint32_t(std::fwrite(bytes, 1, count, m_Stream)) : 0;
}

uint32_t CFileBuf::Read(void* bytes, uint32_t count)
{
    if (!m_Stream || count == 0)
        return 0;
    GiveBackReadAhead();
    // A short read answers through its count; an error flag already set by
    // a write is kept, for Close to report (and a replacement to be dropped).
    const bool writeFailed = std::ferror(m_Stream);
    const uint32_t read = uint32_t(std::fread(bytes, 1, count, m_Stream));
    if (read < count && std::ferror(m_Stream) && !writeFailed)
        std::clearerr(m_Stream);
    return read;
}

bool CFileBuf::SeekRelative(int64_t offset)
{
    GiveBackReadAhead();
    return m_Stream && fseeko(m_Stream, off_t(offset), SEEK_CUR) == 0;
}

bool CFileBuf::Seek(int64_t position)
{
    GiveBackReadAhead();
    return m_Stream && position >= 0 && fseeko(m_Stream, off_t(position), SEEK_SET) == 0;
}

int64_t CFileBuf::Tell()
{
    if (!m_Stream)
        return -1;
    const off_t position = ftello(m_Stream);
    return position < 0 ? -1 : int64_t(position) - int64_t(m_AheadEnd - m_AheadPos);
}

int64_t CFileBuf::GetSize()
{
    if (!m_Stream)
        return 0;
    const off_t position = ftello(m_Stream);
    if (position < 0 || fseeko(m_Stream, 0, SEEK_END) != 0)
        return 0;
    const off_t size = ftello(m_Stream);
    fseeko(m_Stream, position, SEEK_SET);
    return size < 0 ? 0 : int64_t(size);
}

int32_t CFileBuf::SetSize(int64_t size)
{
    if (!m_Stream)
        return 0;
    GiveBackReadAhead();
    return size >= 0 && plat::SetStreamSize(m_Stream, uint64_t(size)) ? 0 : -1;
}

void CFileBuf::Discard()
{
    m_AheadPos = m_AheadEnd = 0;
    if (m_Replacement) {
        delete m_Replacement; // removes the temporary; the old file stays
        m_Replacement = nullptr;
        m_Stream = nullptr;
        m_OwnsStream = false;
    }
    Close();
}

bool CFileBuf::Close()
{
    GiveBackReadAhead(); // a stream the buffer does not own goes on where the lines ended
    bool ok = true;
    if (m_Replacement) {
        ok = m_Replacement->Commit();
        delete m_Replacement;
        m_Replacement = nullptr;
    } else if (m_OwnsStream && m_Stream) {
        ok = std::fflush(m_Stream) == 0 && !std::ferror(m_Stream);
        ok = std::fclose(m_Stream) == 0 && ok;
    }
    m_Stream = nullptr;
    m_OwnsStream = false;
    return ok;
}

const uint8_t* CFileBuf::ReadInPlace(uint32_t)
{
    return nullptr;
}

uint8_t* CFileBuf::DetachMemory()
{
    return nullptr;
}

namespace {

constexpr size_t kReadAheadSize = 65536;

} // namespace

void CFileBuf::GiveBackReadAhead()
{
    if (m_AheadPos == m_AheadEnd)
        return;
    if (m_Stream)
        fseeko(m_Stream, -off_t(m_AheadEnd - m_AheadPos), SEEK_CUR);
    m_AheadPos = m_AheadEnd = 0;
}

bool CFileBuf::RefillReadAhead()
{
    if (!m_Ahead)
        m_Ahead = std::make_unique<char[]>(kReadAheadSize);
    const size_t kept = m_AheadEnd - m_AheadPos;
    if (kept == kReadAheadSize)
        return false;
    if (m_AheadPos != 0) {
        std::memmove(m_Ahead.get(), m_Ahead.get() + m_AheadPos, kept);
        m_AheadPos = 0;
        m_AheadEnd = kept;
    }
    const size_t got = std::fread(m_Ahead.get() + m_AheadEnd, 1, kReadAheadSize - m_AheadEnd, m_Stream);
    m_AheadEnd += got;
    return got != 0;
}

int CFileBuf::PeekAhead(size_t offset)
{
    while (m_AheadPos + offset >= m_AheadEnd)
        if (!RefillReadAhead())
            return EOF;
    return uint8_t(m_Ahead[m_AheadPos + offset]);
}

bool CFileBuf::ReadLine8(CJString& line)
{
    if (!m_Stream) {
        line.Empty();
        return false;
    }
    // A NUL byte is data, not the end of the line. A line longer than the
    // buffer collects in longLine.
    const bool writeFailed = std::ferror(m_Stream);
    static thread_local std::string longLine;
    longLine.clear();
    // A line longer than any string ends the text: the rest is damaged data.
    auto refuseLongLine = [&] {
        std::string().swap(longLine);
        m_AheadPos = m_AheadEnd = 0;
        fseeko(m_Stream, 0, SEEK_END);
        line.Empty();
        return false;
    };
    bool any = false;
    for (;;) {
        if (m_AheadPos == m_AheadEnd && !RefillReadAhead()) {
            if (std::ferror(m_Stream) && !writeFailed)
                std::clearerr(m_Stream);
            if (!any) {
                line.Empty();
                return false;
            }
            line.SetText(longLine.data(), int(longLine.size()));
            return true;
        }
        any = true;
        const char* text = m_Ahead.get() + m_AheadPos;
        const size_t count = m_AheadEnd - m_AheadPos;
        const void* lf = std::memchr(text, '\n', count);
        const size_t lfAt = lf ? size_t(static_cast<const char*>(lf) - text) : count;
        const void* cr = std::memchr(text, '\r', lfAt);
        const size_t end = cr ? size_t(static_cast<const char*>(cr) - text) : lfAt;
        if (longLine.size() + end > size_t(kMaxStringLength))
            return refuseLongLine();
        if (end == count) {
            longLine.append(text, count);
            m_AheadPos = m_AheadEnd;
            continue;
        }
        if (longLine.empty()) {
            line.SetText(text, int(end));
        } else {
            longLine.append(text, end);
            line.SetText(longLine.data(), int(longLine.size()));
        }
        // The line end: CR, then CR or LF, then LF is three characters; CR
        // LF or LF CR is two; anything else one.
        const char first = text[end];
        m_AheadPos += end + 1;
        const int second = PeekAhead(0);
        if (first == '\r' && (second == '\r' || second == '\n')) {
            if (PeekAhead(1) == '\n')
                m_AheadPos += 2;
            else if (second == '\n')
                m_AheadPos += 1;
            // CR CR without LF: only the first CR was the line end.
        } else if (first == '\n' && second == '\r') {
            m_AheadPos += 1;
        }
        if (std::ferror(m_Stream) && !writeFailed)
            std::clearerr(m_Stream);
        return true;
    }
}

bool CFileBuf::ReadLineWide(CJString&)
{
    return false;
}

CFileBuf::LineHead CFileBuf::ReadLine8Head(CJString& line, uint32_t most, LineRest rest)
{
    if (!m_Stream) {
        // Buffers without a line scanner of their own read the line whole.
        if (!ReadLine8(line))
            return LineHead::End;
        return CutLineHead(line, most);
    }
    line.Empty();
    std::string head;
    uint64_t length = 0;
    bool any = false;
    bool blanks = true;
    for (;;) {
        if (m_AheadPos == m_AheadEnd && !RefillReadAhead()) {
            if (std::ferror(m_Stream))
                std::clearerr(m_Stream);
            if (!any)
                return LineHead::End;
            break;
        }
        any = true;
        const char* text = m_Ahead.get() + m_AheadPos;
        size_t count = m_AheadEnd - m_AheadPos;
        size_t i = 0;
        while (blanks && i < count && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        blanks = blanks && i == count;
        const void* lf = std::memchr(text + i, '\n', count - i);
        const size_t lfAt = lf ? size_t(static_cast<const char*>(lf) - text) : count;
        const void* cr = std::memchr(text + i, '\r', lfAt - i);
        const size_t end = cr ? size_t(static_cast<const char*>(cr) - text) : lfAt;
        if (length <= most)
            head.append(text + i, std::min<size_t>(end - i, most + 1 - length));
        if (length + (end - i) > most && rest == LineRest::Leave) {
            m_AheadPos += i + (most + 1 - length);
            line.SetText(head.data(), int(most));
            return LineHead::Longer;
        }
        length += end - i;
        m_AheadPos += end;
        if (end < count)
            break;
    }
    // The line end, by the rules of a whole line read from here.
    CJString lineEnd;
    ReadLine8(lineEnd);
    line.SetText(head.data(), int(std::min<uint64_t>(head.size(), most)));
    return length > most ? LineHead::Longer : LineHead::Whole;
}

CFileBuf::LineHead CFileBuf::CutLineHead(CJString& line, uint32_t most)
{
    int blanks = 0;
    const int length = line.GetLength();
    while (blanks < length && (line.GetAt(blanks) == ' ' || line.GetAt(blanks) == '\t'))
        ++blanks;
    const bool longer = uint32_t(length - blanks) > most;
    line = line.Mid(blanks, longer ? int(most) : length - blanks);
    return longer ? LineHead::Longer : LineHead::Whole;
}

bool CFileBuf::OpenDisk(const char* name, uint32_t flags)
{
    static CPerformanceMonitor fopenZone("fopen");
    CPerformanceMonitorScope timed(fopenZone);
    Close();
    char resolved[kMaxOpenNameLength + 1];
    if (!ResolvePathToBuffer(resolved, sizeof resolved, name, flags))
        return false;
    // The length check stays on the 8-bit form; the disk path keeps the base
    // folder's own bytes.
    const std::string diskName = ResolveDiskPath(name, flags);
    std::string openedName = diskName;
    if ((flags & FILE_CLEAR_READONLY) && (flags & FILE_WRITE) && plat::IsReadOnly(diskName))
        plat::SetReadOnly(diskName, false);

    if ((flags & FILE_WRITE) && (flags & (FILE_CREATE | FILE_APPEND))) {
        auto retryWithFolders = [&]() {
            return (flags & FILE_MAKE_FOLDERS) && !plat::PathExists(diskName)
                && CreateDiskFolderChain(FolderPartOf(diskName));
        };
        if (flags & FILE_APPEND) {
            m_Stream = plat::OpenFile(diskName, "ab");
            if (!m_Stream && retryWithFolders())
                m_Stream = plat::OpenFile(diskName, "ab");
        } else {
            // A whole new file: written beside the old one and renamed over
            // it at Close, so a failure never leaves half a file.
            auto* replacement = new plat::CReplacementFile;
            bool begun = replacement->Begin(diskName);
            if (!begun && retryWithFolders())
                begun = replacement->Begin(diskName);
            if (begun) {
                m_Replacement = replacement;
                m_Stream = replacement->Stream();
            } else {
                delete replacement;
            }
        }
    } else {
        const char* mode = (flags & FILE_WRITE) ? "r+b" : "rb";
        m_Stream = plat::OpenFile(diskName, mode);
        if (!m_Stream && std::strcmp(resolved, name) != 0) {
            openedName = DiskNameOf(name);
            m_Stream = plat::OpenFile(openedName, mode);
        }
    }
    // A folder opens as a stream on Linux; it is no file.
    if (m_Stream && !m_Replacement) {
        plat::FileStatus status;
        if (plat::GetFileStatus(openedName, status) && status.isFolder) {
            std::fclose(m_Stream);
            m_Stream = nullptr;
        }
    }
    m_OwnsStream = m_Stream != nullptr;
    return m_Stream != nullptr;
}

// --- Opening ---

namespace {

CFileBuf* OpenFileTryFOpenFirst(const char* name, uint32_t flags)
{
    NotificationState& notify = Notifications();
    if (notify.enabled && notify.hook && (flags & FILE_READ) && !(flags & FILE_NO_NOTIFY) && notify.suspended == 0
        && !std::strstr(name, "Music/"))
        notify.hook(name);

    CArchiveLayer& archives = GetArchiveLayer();
    if (flags & FILE_WRITE) {
        if (flags & FILE_CREATE) {
            if (const char* split = std::strchr(name, ';')) {
                const std::string archivePath(name, split);
                return archives.OpenAppendedMember(archivePath.c_str(), split + 1);
            }
            if (ArchivesUsable(flags)) {
                if (CFileBuf* member = archives.OpenMember(name, flags))
                    return member;
            }
        }
        if (flags & FILE_ARCHIVES_ONLY)
            return nullptr;
        auto* disk = new CFileBuf;
        if (!disk->OpenDisk(name, flags)) {
            delete disk;
            return nullptr;
        }
        return disk;
    }
    if (!(flags & FILE_READ))
        return nullptr;
    if (ArchivesUsable(flags)) {
        if (CFileBuf* member = archives.OpenMember(name, flags | FILE_PREENUMERATED))
            return member;
    }
    if (!(flags & FILE_ARCHIVES_ONLY)) {
        auto* disk = new CFileBuf;
        if (disk->OpenDisk(name, flags))
            return disk;
        delete disk;
    }
    if (ArchivesUsable(flags))
        return archives.OpenMember(name, flags);
    return nullptr;
}

} // namespace

CFile::~CFile()
{
    CFile::Close();
}

bool CFile::Open(const char* name, uint32_t flags)
{
    m_OpenName.Set(name);
    m_LineCount = 0;
    m_Unicode = false;
    m_InPlace = false;

    if (CFileBuf* named = name ? ParseBufferName(name) : nullptr) {
        if (named == m_Buffer)
            m_Buffer = nullptr; // re-opening our own buffer must not delete it
        if (!AttachFileBuf(named, flags))
            return false;
        m_OpenName.Set(name);
        m_Unicode = HasUnicodeMark();
        return true;
    }
    if (!name || !name[0] || std::strlen(name) > size_t(kMaxOpenNameLength))
        return false;

    static CPerformanceMonitor openZone("CFile_Open");
    CPerformanceMonitorScope timed(openZone);
    if ((flags & FILE_COMPRESSED) && (flags & FILE_WRITE)) {
        Close();
        m_OpenName.Set(name);
        m_TargetName.Set(name);
        m_Buffer = new CMemFileBuf;
        m_Flags = flags;
        return true;
    }
    if ((flags & FILE_COMPRESSED) && (flags & FILE_READ))
        return OpenCompressedForRead(name, flags);
    if (flags & FILE_IN_MEMORY)
        return OpenInMemory(name, flags);

    flags |= IsAbsolutePath(name, flags);
    Close();
    m_OpenName.Set(name);
    CFileBuf* buffer = OpenFileTryFOpenFirst(name, flags);
    if (!buffer)
        return false;
    m_Buffer = buffer;
    m_Flags = flags;
    m_Unicode = HasUnicodeMark();
    return true;
}

bool CFile::OpenCompressedForRead(const char* name, uint32_t flags)
{
    if (!Open(name, flags & ~(FILE_COMPRESSED | FILE_IN_MEMORY)))
        return false;
    m_Flags = flags;
    // The caller's whole file: as much as a memory buffer holds.
    uint32_t size = 0;
    if (uint8_t* block = CFileCompressor::ReadCompressed(*this, size, UINT32_MAX)) {
        ReplaceBuffer(CMemFileBuf::Adopt(block, size));
        m_Unicode = false;
        return true;
    }
    // Not a block, or a damaged one: the file is read as it is.
    Seek(0);
    if (flags & FILE_IN_MEMORY) {
        CMemFileBuf* memory = ReadWholeFile(*this);
        if (!memory) {
            Close();
            return false;
        }
        ReplaceBuffer(memory);
        m_Unicode = HasUnicodeMark();
    }
    return true;
}

bool CFile::OpenInMemory(const char* name, uint32_t flags, MemoryFill fill)
{
    CFile inner;
    if (!inner.Open(name, flags & ~FILE_IN_MEMORY))
        return false;
    CMemFileBuf* memory
        = fill == MemoryFill::OnDemand ? new CDemandFileBuf(inner.DetachFileBuf()) : ReadWholeFile(inner);
    inner.Close();
    if (!memory || !AttachFileBuf(memory, flags)) {
        delete memory;
        return false;
    }
    m_OpenName.Set(name);
    m_Unicode = HasUnicodeMark();
    return true;
}

void CFile::ReplaceBuffer(CFileBuf* buffer)
{
    if (m_Buffer) {
        m_Buffer->Close();
        delete m_Buffer;
    }
    m_Buffer = buffer;
}

bool CFile::AttachFileBuf(CFileBuf* buffer, uint32_t flags)
{
    if (!buffer)
        return false;
    if (buffer != m_Buffer)
        Close();
    m_Buffer = buffer;
    m_Flags = flags;
    m_InPlace = false;
    m_Error = false;
    return true;
}

CFileBuf* CFile::DetachFileBuf()
{
    CFileBuf* buffer = m_Buffer;
    m_Buffer = nullptr;
    m_InPlace = false;
    return buffer;
}

bool CFile::StoreCompressed()
{
    auto* memory = static_cast<CMemFileBuf*>(m_Buffer);
    const uint32_t flags = m_Flags & ~FILE_COMPRESSED;
    CFile target;
    // Created whole, so the block replaces the old file only once it is
    // all written; without FILE_CREATE the file must already exist.
    uint32_t openFlags = flags;
    if (!(flags & FILE_APPEND)) {
        if (!(flags & FILE_CREATE) && !FileExists(m_TargetName.GetString(), flags))
            return false;
        openFlags |= FILE_CREATE;
    }
    if (!target.Open(m_TargetName.GetString(), openFlags))
        return false;
    const bool written = CFileCompressor::WriteCompressed(target, memory->GetData(), uint32_t(memory->GetSize()),
                                                          kDefaultCompressionLevel);
    if (!written) {
        // Drop the replacement: the old file stays as it was.
        if (CFileBuf* buffer = target.DetachFileBuf()) {
            buffer->Discard();
            delete buffer;
        }
        return false;
    }
    return target.Close();
}

bool CFile::Close()
{
    if (!m_Buffer)
        return true;
    bool ok = !m_Error;
    // A block missing bytes is not stored: the old file stays.
    if (ok && (m_Flags & FILE_COMPRESSED) && (m_Flags & FILE_WRITE) && m_Buffer->IsMemory())
        ok = StoreCompressed();
    ok = m_Buffer->Close() && ok;
    delete m_Buffer;
    m_Buffer = nullptr;
    m_Error = false;
    m_InPlace = false;
    m_IndentLevel = 0;
    return ok;
}

// --- Writing ---

uint32_t CFile::Write(const void* bytes, uint32_t count)
{
    if (!m_Buffer || count == 0)
        return 0;
    const uint32_t written = m_Buffer->Write(bytes, count);
    NoteWrite(written, count);
    if (m_LineLimit)
        NoteLines(bytes, count);
    return written;
}

void CFile::NoteLines(const void* bytes, uint32_t count)
{
    auto text = static_cast<const char*>(bytes);
    for (;;) {
        const void* lf = std::memchr(text, '\n', count);
        const uint32_t lfAt = lf ? uint32_t(static_cast<const char*>(lf) - text) : count;
        const void* cr = std::memchr(text, '\r', lfAt);
        const uint32_t end = cr ? uint32_t(static_cast<const char*>(cr) - text) : lfAt;
        m_LineLength += end;
        if (m_LineLength > m_LineLimit)
            m_Error = true;
        if (end == count)
            return;
        m_LineLength = 0;
        text += end + 1;
        count -= end + 1;
    }
}

void CFile::WriteChar(char c)
{
    Write(&c, 1);
}

void CFile::WriteString(const char* text)
{
    if (!text)
        return;
    const size_t length = std::strlen(text);
    if (!m_Unicode) {
        Write(text, uint32_t(length));
        return;
    }
    std::string wide(length * 2, '\0');
    for (size_t i = 0; i < length; ++i)
        wide[2 * i] = text[i];
    Write(wide.data(), uint32_t(wide.size()));
}

void CFile::WriteJString(const CJString& text)
{
    if (text.IsWide() && !m_Unicode) {
        const CJString fileForm = text.ToFileForm();
        Write(fileForm.GetString(), uint32_t(fileForm.GetLength()));
        return;
    }
    WriteJStringRaw(text);
}

void CFile::WriteJStringRaw(const CJString& text)
{
    if (!m_Unicode) {
        if (text.IsWide()) {
            CJString narrow(text);
            narrow.ToNarrow();
            Write(narrow.GetString(), uint32_t(narrow.GetLength()));
        } else {
            Write(text.GetString(), uint32_t(text.GetLength()));
        }
        return;
    }
    const int length = text.GetLength();
    std::string bytes(size_t(length) * 2, '\0');
    for (int i = 0; i < length; ++i) {
        const char16_t unit = text.GetAt(i);
        bytes[2 * size_t(i)] = char(unit & 0xFF);
        bytes[2 * size_t(i) + 1] = char(unit >> 8);
    }
    Write(bytes.data(), uint32_t(bytes.size()));
}

void CFile::WriteLine(const char* text)
{
    if (text)
        WriteString(text);
    WriteString("\r\n");
    if (m_Indenting) {
        for (uint32_t i = 0; i < m_IndentLevel; ++i)
            WriteString("\t");
    }
    ++m_LineCount;
}

void CFile::WriteJStringLine(const CJString& text)
{
    WriteJString(text);
    WriteLine();
}

void CFile::Indent()
{
    if (!m_Indenting)
        return;
    ++m_IndentLevel;
    WriteString("\t");
}

void CFile::Unindent()
{
    if (!m_Indenting || m_IndentLevel == 0)
        return;
    --m_IndentLevel;
    // Back over the tab written after the last line end (one character).
    SeekRelative(m_Unicode ? -2 : -1);
}

// --- Reading ---

uint32_t CFile::Read(void* bytes, uint32_t count)
{
    return m_Buffer && count ? m_Buffer->Read(bytes, count) : 0;
}

bool CFile::ReadLine(CJString& line)
{
    if (!m_Buffer)
        return false;
    if (!m_Unicode) {
        if (!m_Buffer->ReadLine8(line))
            return false;
    } else {
        if (!m_Buffer->ReadLineWide(line))
            return false;
        if (line.Find("UNICODE-HEX<") >= 0 && line.IsNarrowable()) {
            line.ToNarrow();
            line.FromFileForm();
        }
    }
    ++m_LineCount;
    return true;
}

bool CFile::ReadNonBlankLine(CJString& line)
{
    while (ReadLine(line)) {
        if (line.HasNonWhitespace())
            return true;
    }
    return false;
}

CFileBuf::LineHead CFile::ReadLineHead(CJString& line, uint32_t most, CFileBuf::LineRest rest)
{
    if (!m_Buffer)
        return CFileBuf::LineHead::End;
    CFileBuf::LineHead read;
    if (m_Unicode)
        read = ReadLine(line) ? CFileBuf::CutLineHead(line, most) : CFileBuf::LineHead::End;
    else if ((read = m_Buffer->ReadLine8Head(line, most, rest)) != CFileBuf::LineHead::End)
        ++m_LineCount;
    return read;
}

CFileBuf::LineHead CFile::ReadNonBlankLineHead(CJString& line, uint32_t most, CFileBuf::LineRest rest)
{
    for (;;) {
        const CFileBuf::LineHead read = ReadLineHead(line, most, rest);
        if (read != CFileBuf::LineHead::Whole || line.HasNonWhitespace())
            return read;
    }
}

bool CFile::ReadLineIntoStatic(char* buffer, uint32_t size)
{
    static CJString shared;
    if (!ReadLine(shared))
        return false;
    if (shared.IsWide())
        shared.ToNarrow();
    const uint32_t length = uint32_t(shared.GetLength());
    if (length + 1 > size)
        return false;
    std::memcpy(buffer, shared.GetString(), length + 1);
    return true;
}

// --- Positions ---

bool CFile::SeekRelative(int64_t offset)
{
    return m_Buffer && m_Buffer->SeekRelative(offset);
}

bool CFile::Seek(int64_t position)
{
    return m_Buffer && m_Buffer->Seek(position);
}

int64_t CFile::GetPosition()
{
    return m_Buffer ? m_Buffer->Tell() : -1;
}

int64_t CFile::GetSize()
{
    return m_Buffer ? m_Buffer->GetSize() : 0;
}

int32_t CFile::SetSize(int64_t size)
{
    return m_Buffer ? m_Buffer->SetSize(size) : 0;
}

void CFile::SetInPlace(bool inPlace)
{
    m_InPlace = inPlace && m_Buffer && m_Buffer->IsMemory();
}

const uint8_t* CFile::ReadInPlace(uint32_t count)
{
    return m_Buffer ? m_Buffer->ReadInPlace(count) : nullptr;
}

bool CFile::HasUnicodeMark()
{
    if (!m_Buffer)
        return false;
    const int64_t position = m_Buffer->Tell();
    uint8_t mark[2] = {0, 0};
    const bool found = m_Buffer->Seek(0) && m_Buffer->Read(mark, 2) == 2 && mark[0] == 0xFF && mark[1] == 0xFE;
    m_Buffer->Seek(position < 0 ? 0 : position);
    return found;
}

// --- Binary fields ---

CFile& CFile::WriteUint32(uint32_t value)
{
    uint8_t bytes[4];
    WriteLE32(bytes, value);
    Write(bytes, 4);
    return *this;
}

CFile& CFile::WriteUint8(uint8_t value)
{
    Write(&value, 1);
    return *this;
}

CFile& CFile::WriteCountedString(const char* text)
{
    if (!m_Buffer)
        return *this;
    const uint32_t length = text ? uint32_t(std::strlen(text)) : 0;
    WriteUint32(length);
    Write(text, length);
    return *this;
}

CFile& CFile::ReadUint32(uint32_t& value)
{
    TryReadUint32(value);
    return *this;
}

bool CFile::ReadCountedText(CJString& out)
{
    uint32_t length = 0;
    if (!TryReadUint32(length) || int64_t(length) > GetSize() - GetPosition())
        return false;
    std::vector<char> text(size_t(length) + 1, 0);
    if (length && Read(text.data(), length) != length)
        return false;
    out.SetText(text.data(), int(std::strlen(text.data())));
    return true;
}

bool CFile::TryReadUint32(uint32_t& value)
{
    uint8_t bytes[4];
    if (Read(bytes, 4) != 4)
        return false;
    value = ReadLE32(bytes);
    return true;
}

CFile& CFile::ReadUint8(uint8_t& value)
{
    uint8_t byte;
    if (Read(&byte, 1) == 1)
        value = byte;
    return *this;
}

CFile& CFile::ReadCountedString(char* buffer, uint32_t size)
{
    if (!m_Buffer)
        return *this;
    uint32_t length = 0;
    if (!TryReadUint32(length)) {
        errno = ERANGE;
        return *this;
    }
    const int64_t left = GetSize() - GetPosition();
    if (int64_t(length) > left || uint64_t(length) + 1 > size) {
        errno = ERANGE;
        return *this;
    }
    const uint32_t read = Read(buffer, length);
    buffer[read] = 0;
    return *this;
}

// --- Whole-file operations ---

bool CFile::MoveBlock(int64_t destination, int64_t source, int64_t count)
{
    if (destination == source || count == 0)
        return true;
    if (!m_Buffer || destination > source || count < 0 || destination < 0)
        return false;
    uint8_t* chunk = static_cast<uint8_t*>(std::malloc(kMoveChunk));
    if (!chunk)
        return false;
    bool ok = true;
    while (count > 0 && ok) {
        const uint32_t part = uint32_t(std::min<int64_t>(count, kMoveChunk));
        ok = Seek(source) && Read(chunk, part) == part && Seek(destination) && Write(chunk, part) == part;
        source += part;
        destination += part;
        count -= part;
    }
    std::free(chunk);
    return ok;
}

bool CFile::CopyTo(CFile& destination, ProgressCallback progress)
{
    if (!m_Buffer || !destination.m_Buffer)
        return false;
    Seek(0);
    destination.Seek(0);
    const int64_t total = GetSize();
    if (progress)
        progress(0.0f);
    uint8_t* chunk = static_cast<uint8_t*>(std::malloc(kCopyChunk));
    if (!chunk)
        return false;
    bool ok = true;
    for (int64_t copied = 0; copied < total && ok;) {
        if (progress)
            progress(float(double(copied) / double(total)));
        const uint32_t part = uint32_t(std::min<int64_t>(total - copied, kCopyChunk));
        ok = Read(chunk, part) == part && destination.Write(chunk, part) == part;
        copied += part;
    }
    std::free(chunk);
    if (progress)
        progress(1.0f);
    return ok;
}

bool CFile::IsSameContent(CFile& other)
{
    if (!m_Buffer || !other.m_Buffer)
        return false;
    const int64_t size = GetSize();
    if (size != other.GetSize())
        return false;
    Seek(0);
    other.Seek(0);
    uint8_t* mine = static_cast<uint8_t*>(std::malloc(2 * size_t(kCompareChunk)));
    if (!mine)
        return false;
    uint8_t* theirs = mine + kCompareChunk;
    bool same = true;
    for (int64_t done = 0; done < size && same;) {
        const uint32_t part = uint32_t(std::min<int64_t>(size - done, kCompareChunk));
        same = Read(mine, part) == part && other.Read(theirs, part) == part && std::memcmp(mine, theirs, part) == 0;
        done += part;
    }
    std::free(mine);
    return same;
}

// --- Notifications ---

FileOpenHook SetFileOpenHook(FileOpenHook hook)
{
    const FileOpenHook previous = Notifications().hook;
    Notifications().hook = hook;
    return previous;
}

void SetFileOpenNotificationsEnabled(bool enabled)
{
    Notifications().enabled = enabled;
}

void SuspendFileOpenNotifications(const char*)
{
    ++Notifications().suspended;
}

void ResumeFileOpenNotifications()
{
    if (Notifications().suspended > 0)
        --Notifications().suspended;
}

SFileContentsNote NoteFileContents(const char* name)
{
    SFileContentsNote note;
    note.checksum = 14695981039346656037ull;
    CFile file;
    if (!name || !FileExists(name, 0) || !file.Open(name, FILE_READ))
        return note;
    note.exists = true;
    uint8_t block[65536];
    for (uint32_t got; (got = file.Read(block, sizeof block)) > 0; note.size += got)
        for (uint32_t i = 0; i < got; ++i)
            note.checksum = (note.checksum ^ block[i]) * 1099511628211ull;
    file.Close();
    return note;
}
