#pragma once
// A file buffer over one memory block: whole files loaded at open,
// decompressed blocks, the bytes of a compressed file being written, and a
// growable byte stream in memory. Blocks come from malloc; a block handed out
// by DetachMemory is the caller's to free with std::free.
//
// Reads and in-place reads never go past the valid bytes. Seeks are not
// checked (a reader may park past the end); a write there fills the gap with
// zeros. A buffer over memory it does not own never grows: writes stop at the
// block's end, and one made read-only takes no writes at all.
//
// Who frees the block is chosen at creation: Adopt takes a malloc'd block,
// Wrap and WrapReadOnly borrow one the caller keeps alive, Copy makes its own.
//
// CDemandFileBuf reads a file into its block only as far as reads reach, so
// what lies after the part read costs nothing.

#include "foundation/CFile.h"

#include <algorithm>
#include <cstdint>

class CMemFileBuf : public CFileBuf {
public:
    // An empty growable buffer.
    CMemFileBuf() = default;
    ~CMemFileBuf() override;

    // Over a block from malloc, which the buffer frees.
    static CMemFileBuf* Adopt(uint8_t* data, uint32_t size);
    // Over a block the caller keeps alive and frees; writes stop at its end.
    static CMemFileBuf* Wrap(uint8_t* data, uint32_t size);
    // Over bytes the caller keeps alive; writes are refused.
    static CMemFileBuf* WrapReadOnly(const void* data, uint32_t size);
    // Over its own copy of the bytes; null when memory runs out.
    static CMemFileBuf* Copy(const void* data, uint32_t size);

    bool IsMemory() const override { return true; }
    uint32_t Write(const void* bytes, uint32_t count) override;
    uint32_t Read(void* bytes, uint32_t count) override;
    // False only when the position would leave the 32-bit range.
    bool SeekRelative(int64_t offset) override;
    bool Seek(int64_t position) override;
    int64_t Tell() override { return m_Position; }
    int64_t GetSize() override { return m_Size; }
    int32_t SetSize(int64_t) override { return 0; }
    bool Close() override;
    bool IsMemoryBacked() const override { return true; }
    const uint8_t* ReadInPlace(uint32_t count) override;
    uint8_t* DetachMemory() override;
    // CR or LF ends a line; then one CR and after it one LF are skipped.
    bool ReadLine8(CJString& line) override;
    // The same over UTF-16 units; a leading FEFF unit is skipped.
    bool ReadLineWide(CJString& line) override;
    LineHead ReadLine8Head(CJString& line, uint32_t most, LineRest rest = LineRest::PassOver) override;

    // Closes, then takes the block without owning it.
    void SetMemory(uint8_t* data, uint32_t size);
    // Forgets the contents, keeps the block.
    int32_t Empty();
    void CopyFrom(const CMemFileBuf& other);
    bool IsSameContent(const CMemFileBuf& other) const;

    const uint8_t* GetData() const { return m_Data; }
    uint32_t GetCapacity() const { return m_Capacity; }
    bool OwnsData() const { return m_OwnsData; }

protected:
    // Whether the first `end` bytes are in the block, fetching them if the
    // buffer can.
    bool Holds(uint64_t end) { return end <= m_Size || FetchTo(end); }
    // Adds bytes to the block's end, at least up to `end` when there are
    // that many; false when none was added. Plain buffers have no more.
    virtual bool Fetch(uint64_t) { return false; }
    // The text ended early (a damaged line): nothing more is fetched.
    virtual void StopFetching() {}
    // Appends up to count bytes read from the source; false when none came.
    bool AppendFrom(CFileBuf& source, uint32_t count);
    // Bytes before the position will not be read again from the block.
    virtual void ForgetRead() {}
    // Takes the first count bytes out of the block (the position moves back
    // with the rest, to 0 at the least).
    void DropFront(uint32_t count);
    // One CR, then one LF, at the position.
    void SkipLineEnd();
    uint32_t BlockPosition() const { return m_Position; }
    uint32_t BlockSize() const { return m_Size; }

private:
    enum class Ownership { Owned, Borrowed, BorrowedReadOnly };
    CMemFileBuf(uint8_t* data, uint32_t size, Ownership ownership);

    bool FetchTo(uint64_t end);
    // False when the block cannot hold needed bytes (not owned, or no memory).
    bool Reserve(uint64_t needed);

    uint32_t m_Position = 0;
    uint32_t m_Size = 0;
    uint32_t m_Capacity = 0;
    uint8_t* m_Data = nullptr;
    bool m_OwnsData = false;
    bool m_ReadOnly = false;
};

// A read-only memory buffer over a source buffer's bytes from its position
// on, read in steps as reads and lines reach them. GetSize is the source's;
// the first 4 GiB - 1 bytes are read, the rest reads as the end.
//
// The block is a window: bytes a step behind the position are let go, and a
// seek back before the window reads them from the source again, so the
// block holds about two steps however far the text goes. A line longer than
// a step is measured in the source and read from it straight into its
// string: a line is never held twice. Bytes are never handed out in place.
class CDemandFileBuf : public CMemFileBuf {
public:
    // Takes the source, which it closes and deletes.
    explicit CDemandFileBuf(CFileBuf* source, uint32_t step = 1u << 20);
    ~CDemandFileBuf() override;

    uint32_t Write(const void*, uint32_t) override { return 0; }
    uint32_t Read(void* bytes, uint32_t count) override;
    bool SeekRelative(int64_t offset) override { return Seek(Tell() + offset); }
    bool Seek(int64_t position) override;
    int64_t Tell() override { return int64_t(m_Base) + BlockPosition(); }
    int64_t GetSize() override;
    bool Close() override;
    const uint8_t* ReadInPlace(uint32_t) override { return nullptr; }
    uint8_t* DetachMemory() override;
    bool ReadLine8(CJString& line) override;
    bool ReadLineWide(CJString& line) override;
    // A line longer than most bytes ends the text as damage, unheld (by
    // default one longer than any string).
    void SetMaxLine(uint32_t most) { m_MaxLine = std::min<uint32_t>(most, kMaxStringLength); }

protected:
    bool Fetch(uint64_t end) override;
    void StopFetching() override;
    void ForgetRead() override;

private:
    // The window starts, empty, at the offset.
    void MoveTo(uint64_t offset);
    // Up to count bytes at the offset, straight from the source.
    uint32_t ReadSource(uint64_t offset, void* bytes, uint32_t count);
    // The length of the line at the position (to CR, LF or the end), -1 at
    // the end. A line past a step is measured through the window, which
    // then no longer holds its start; one longer than the most a line may
    // be stops measuring there.
    int64_t MeasureLine8();

    CFileBuf* m_Source;
    int64_t m_Origin;     // the source's position at the start
    int64_t m_SourceLeft; // bytes after it
    uint64_t m_Base = 0;  // offset of the block's first byte
    uint64_t m_SourceAt = 0; // where the source reads next, after the origin
    uint32_t m_Step;
    uint32_t m_MaxLine = kMaxStringLength;
    bool m_Stopped = false;
};

// The bytes from the file's position to its end, in a new owning buffer;
// null when the file is closed, larger than a buffer holds, or memory runs out.
CMemFileBuf* ReadWholeFile(CFile& file);
// Opens the name with the flags and reads it whole; null when the open fails.
CMemFileBuf* LoadFileToMemory(const char* name, uint32_t flags);
