#pragma once
// Every file the engine reads or writes goes through a CFile. A CFile names
// the file and owns one CFileBuf, the byte-level buffer chosen at open: a C
// stream on disk, a member of a mounted archive, a memory block, or a buffer
// that already exists and whose registered name was given (MakeBufferName).
//
// Names are 8-bit engine text, "\" or "/" separated, looked up case-blind on
// disk (platform/FileSystem.h). Names relative to the data folder are also
// looked up in the mounted archives (ArchiveSeam.h) in this order: members an
// enumeration listed, then the disk, then the archive tree.
//
// Text files are CRLF, with one tab per indent level after each line end;
// UTF-16 files begin with FF FE. Binary fields are little-endian.

#include "foundation/CJString.h"
#include "foundation/CMemoryPool.h"
#include "foundation/FilePaths.h" // the name helpers every user of the FILE_ flags needs
#include "foundation/UpwardHook.h"

#include <cstdint>
#include <cstdio>
#include <memory>

namespace plat {
class CReplacementFile;
}

// Open flags.
inline constexpr uint32_t FILE_CREATE = 0x1;
inline constexpr uint32_t FILE_WRITE = 0x2;
inline constexpr uint32_t FILE_READ = 0x4;
inline constexpr uint32_t FILE_OWN_ARCHIVE_HANDLE = 0x10;
inline constexpr uint32_t FILE_USER_FOLDER = 0x20;
inline constexpr uint32_t FILE_ARCHIVES_ONLY = 0x40;
inline constexpr uint32_t FILE_NO_NOTIFY = 0x80;
inline constexpr uint32_t FILE_MAKE_FOLDERS = 0x100;
inline constexpr uint32_t FILE_IN_MEMORY = 0x200;
inline constexpr uint32_t FILE_ARCHIVE_HOST = 0x400;
inline constexpr uint32_t FILE_COMPRESSED = 0x800;
inline constexpr uint32_t FILE_CLEAR_READONLY = 0x1000;
inline constexpr uint32_t FILE_APPEND = 0x2000;
inline constexpr uint32_t FILE_FOLDER_B = 0x4000;
inline constexpr uint32_t FILE_PREENUMERATED = 0x8000;
inline constexpr uint32_t FILE_FOLDER_C = 0x10000;
// Any of these: the name is not relative to the data folder and never
// reaches the archives.
inline constexpr uint32_t FILE_BASE_FOLDER_MASK = FILE_USER_FOLDER | FILE_FOLDER_B | FILE_FOLDER_C;

// Names on the open path are at most this long (without the terminator).
inline constexpr int kMaxOpenNameLength = 1023;

// The byte-level buffer. The base class is the disk buffer over a C stream;
// archive members and memory blocks derive from it.
class CFileBuf : public CPooledClassBase {
public:
    CFileBuf() = default;
    // Takes the stream; owns says whether Close closes it.
    CFileBuf(std::FILE* stream, bool owns);
    CFileBuf(const CFileBuf&) = delete;
    CFileBuf& operator=(const CFileBuf&) = delete;
    virtual ~CFileBuf();

    virtual bool IsMemory() const { return false; }
    virtual uint32_t Write(const void* bytes, uint32_t count);
    virtual uint32_t Read(void* bytes, uint32_t count);
    virtual bool SeekRelative(int64_t offset);
    virtual bool Seek(int64_t position);
    virtual int64_t Tell();                // -1 without a stream
    virtual int64_t GetSize();             // 0 without a stream
    virtual int32_t SetSize(int64_t size); // 0 on success, -1 on failure
    // False when flushing, closing or committing the stream failed.
    virtual bool Close();
    // Closes without keeping a whole file being created: the old file stays.
    void Discard();
    virtual bool IsMemoryBacked() const { return false; }
    // A pointer to count bytes at the position, advancing; null when the
    // buffer cannot (disk) or the bytes are not all there.
    virtual const uint8_t* ReadInPlace(uint32_t count);
    // Hands the memory block to the caller; null for disk buffers.
    virtual uint8_t* DetachMemory();
    virtual uint32_t Control(uint32_t, uint32_t) { return 0; }
    // One 8-bit text line without its line end; false at the end.
    virtual bool ReadLine8(CJString& line);
    // One UTF-16 line; disk buffers cannot and answer false.
    virtual bool ReadLineWide(CJString& line);
    // One 8-bit line without its leading tabs and spaces, when the rest is at
    // most `most` bytes (Whole). A longer one is never held: `line` gets its
    // first `most` bytes after the blanks (Longer), and the rest is passed
    // over to the next line, or left where the head ends for a reader that
    // refuses the line (and reads no further).
    enum class LineHead { End, Whole, Longer };
    enum class LineRest { PassOver, Leave };
    virtual LineHead ReadLine8Head(CJString& line, uint32_t most, LineRest rest = LineRest::PassOver);
    // A line read whole, without its leading blanks and cut at most bytes.
    static LineHead CutLineHead(CJString& line, uint32_t most);

    // Opens the resolved name with the mode the flags choose. Creating a
    // whole file (FILE_WRITE with FILE_CREATE, not FILE_APPEND) writes a
    // replacement that Close renames over the old file.
    bool OpenDisk(const char* name, uint32_t flags);
    // Bytes ReadLine8 took ahead are given back to the stream first.
    std::FILE* GetStream()
    {
        GiveBackReadAhead();
        return m_Stream;
    }

private:
    // Puts the stream back at the end of the last line read, so that every
    // other operation sees the position the lines left.
    void GiveBackReadAhead();
    // Moves the unread bytes to the front and reads more; false when no byte
    // was added.
    bool RefillReadAhead();
    // The byte at m_AheadPos + offset, reading more when needed; EOF past the end.
    int PeekAhead(size_t offset);

    std::FILE* m_Stream = nullptr;
    // Line reading takes blocks of the stream into its own buffer and scans
    // them with memchr; [m_AheadPos, m_AheadEnd) is read but not yet used.
    std::unique_ptr<char[]> m_Ahead;
    size_t m_AheadPos = 0;
    size_t m_AheadEnd = 0;
    bool m_OwnsStream = false;
    plat::CReplacementFile* m_Replacement = nullptr; // set while creating a whole file

    friend class CFileBufRegistry;
    bool m_Registered = false; // named by MakeBufferName
};

class CMemFileBuf;

class CFile : public CPooledClassBase {
public:
    CFile() = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    virtual ~CFile();

    [[nodiscard]] bool Open(const char* name, uint32_t flags);
    // Closes the current file and takes the buffer; false for null.
    bool AttachFileBuf(CFileBuf* buffer, uint32_t flags);
    CFileBuf* DetachFileBuf();
    // False when anything written since the open was lost: a short write,
    // a failed flush or close, or a compressed file that could not be stored
    // (the old file is then left as it was). True for a closed file.
    virtual bool Close();
    bool IsOpen() const { return m_Buffer != nullptr; }
    CFileBuf* GetFileBuf() const { return m_Buffer; }

    uint32_t Write(const void* bytes, uint32_t count);
    void WriteChar(char c);
    void WriteString(const char* text);
    void WriteJString(const CJString& text);
    void WriteJStringRaw(const CJString& text);
    void WriteLine(const char* text = nullptr);
    void WriteJStringLine(const CJString& text);
    void Indent();
    void Unindent();
    void SetIndenting(bool indenting) { m_Indenting = indenting; }
    bool GetIndenting() const { return m_Indenting; }
    uint32_t GetIndentLevel() const { return m_IndentLevel; }

    uint32_t Read(void* bytes, uint32_t count);
    bool ReadLine(CJString& line);
    bool ReadNonBlankLine(CJString& line);
    // ReadLine8Head on the buffer: a line without its leading blanks, or the
    // head of one longer than most (then Longer); a UTF-16 line is read whole
    // and cut. Blank lines are passed over by the NonBlank form.
    CFileBuf::LineHead ReadLineHead(CJString& line, uint32_t most,
                                    CFileBuf::LineRest rest = CFileBuf::LineRest::PassOver);
    CFileBuf::LineHead ReadNonBlankLineHead(CJString& line, uint32_t most,
                                            CFileBuf::LineRest rest = CFileBuf::LineRest::PassOver);
    // Reads a line into one shared string and copies it out when it fits.
    bool ReadLineIntoStatic(char* buffer, uint32_t size);

    CJString GetFileName() const { return m_OpenName; }
    uint32_t GetLineCount() const { return m_LineCount; }
    uint32_t GetFlags() const { return m_Flags; }
    bool IsUnicode() const { return m_Unicode; }
    // Set when a write was short or made a line past the limit; Close reports it.
    bool HasError() const { return m_Error; }
    // A line (the bytes between CR or LF) written longer than most bytes is
    // an error; 0 sets no limit.
    void SetLineLimit(uint32_t most)
    {
        m_LineLimit = most;
        m_LineLength = 0;
    }

    bool SeekRelative(int64_t offset);
    bool Seek(int64_t position);
    int64_t GetPosition();
    int64_t GetSize();
    int32_t SetSize(int64_t size);

    // Readers may take data in place instead of copying while this is set;
    // it can only be set while the buffer is in memory.
    bool GetInPlace() const { return m_InPlace; }
    void SetInPlace(bool inPlace);
    // A pointer to count bytes at the position, advancing; null unless the
    // buffer is in memory and holds them all.
    const uint8_t* ReadInPlace(uint32_t count);
    // Whether the first two bytes are FF FE; the position is kept.
    bool HasUnicodeMark();

    CFile& WriteUint32(uint32_t value);
    CFile& WriteUint8(uint8_t value);
    CFile& WriteCountedString(const char* text);
    // A short read leaves the value untouched.
    CFile& ReadUint32(uint32_t& value);
    // The same, answering whether the four bytes were there.
    bool TryReadUint32(uint32_t& value);
    CFile& ReadUint8(uint8_t& value);
    // Reads a u32 length, then that many bytes and a terminator. A length
    // past the end of the file or beyond the room (size includes the
    // terminator) sets errno to ERANGE and leaves the buffer untouched.
    CFile& ReadCountedString(char* buffer, uint32_t size);
    // A u32 length and that many bytes, up to the first zero byte, into out.
    // False, out untouched, when the length runs past the end of the file: a
    // hostile length is never allocated.
    bool ReadCountedText(CJString& out);

    // Copies count bytes from source down to a lower destination.
    bool MoveBlock(int64_t destination, int64_t source, int64_t count);
    using ProgressCallback = void (*)(float progress);
    // Rewinds both and copies the whole of this file; false on a short read
    // or write.
    bool CopyTo(CFile& destination, ProgressCallback progress = nullptr);
    bool IsSameContent(CFile& other);

protected:
    enum class MemoryFill { Whole, OnDemand };
    // Opens the file into a memory buffer, read whole at once or, on demand,
    // only as far as reads reach (CDemandFileBuf).
    bool OpenInMemory(const char* name, uint32_t flags, MemoryFill fill = MemoryFill::Whole);

private:
    bool OpenCompressedForRead(const char* name, uint32_t flags);
    bool StoreCompressed();
    void ReplaceBuffer(CFileBuf* buffer);
    void NoteWrite(uint32_t written, uint32_t count)
    {
        if (written != count)
            m_Error = true;
    }

    void NoteLines(const void* bytes, uint32_t count);

    CFileBuf* m_Buffer = nullptr;
    uint32_t m_LineLimit = 0;
    uint64_t m_LineLength = 0;
    uint32_t m_IndentLevel = 0;
    bool m_Indenting = true;
    uint32_t m_Flags = 0;
    bool m_InPlace = false;
    bool m_Unicode = false;
    bool m_Error = false;
    CJString m_OpenName;
    CJString m_TargetName;
    uint32_t m_LineCount = 0;
};

// What a file holds, told from any other contents without holding them: its
// size and a checksum (FNV-1a, 64 bits) of its bytes, read a block at a time.
struct SFileContentsNote {
    bool exists = false;
    uint64_t size = 0;
    uint64_t checksum = 0;
    bool operator==(const SFileContentsNote&) const = default;
};
SFileContentsNote NoteFileContents(const char* name);

// File-open notifications: a hook told the names opened for reading, once
// archive mounting has switched notifications on.
using FileOpenHook = void (*)(const char* name);
FileOpenHook SetFileOpenHook(FileOpenHook hook);
OMBRISALT_UPWARD_HOOK(SetFileOpenHook);
void SetFileOpenNotificationsEnabled(bool enabled);
void SuspendFileOpenNotifications(const char* label);
void ResumeFileOpenNotifications();
