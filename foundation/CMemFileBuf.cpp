#include "foundation/CMemFileBuf.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// Bytes before the first CR or LF (all of them when there is none).
size_t LineLength(const uint8_t* text, size_t count)
{
    const void* lf = std::memchr(text, '\n', count);
    const size_t lfAt = lf ? size_t(static_cast<const uint8_t*>(lf) - text) : count;
    const void* cr = std::memchr(text, '\r', lfAt);
    return cr ? size_t(static_cast<const uint8_t*>(cr) - text) : lfAt;
}

} // namespace

CMemFileBuf::CMemFileBuf(uint8_t* data, uint32_t size, Ownership ownership)
    : m_Size(data ? size : 0)
    , m_Capacity(data ? size : 0)
    , m_Data(data)
    , m_OwnsData(ownership == Ownership::Owned && data)
    , m_ReadOnly(ownership == Ownership::BorrowedReadOnly)
{
}

CMemFileBuf* CMemFileBuf::Adopt(uint8_t* data, uint32_t size)
{
    return new CMemFileBuf(data, size, Ownership::Owned);
}

CMemFileBuf* CMemFileBuf::Wrap(uint8_t* data, uint32_t size)
{
    return new CMemFileBuf(data, size, Ownership::Borrowed);
}

CMemFileBuf* CMemFileBuf::WrapReadOnly(const void* data, uint32_t size)
{
    // Never written through: Write refuses every byte.
    auto* bytes = static_cast<uint8_t*>(const_cast<void*>(data));
    return new CMemFileBuf(bytes, size, Ownership::BorrowedReadOnly);
}

CMemFileBuf* CMemFileBuf::Copy(const void* data, uint32_t size)
{
    auto* block = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    if (!block)
        return nullptr;
    if (size)
        std::memcpy(block, data, size);
    return Adopt(block, size);
}

CMemFileBuf::~CMemFileBuf()
{
    CMemFileBuf::Close();
}

bool CMemFileBuf::Reserve(uint64_t needed)
{
    if (needed <= m_Capacity)
        return true;
    if ((m_Capacity > 0 && !m_OwnsData) || needed > UINT32_MAX)
        return false;
    uint64_t capacity = uint64_t(m_Capacity) + m_Capacity / 2;
    if (capacity < uint64_t(m_Capacity) + 4)
        capacity = uint64_t(m_Capacity) + 4;
    if (capacity < needed)
        capacity = needed;
    if (capacity > UINT32_MAX)
        capacity = UINT32_MAX;
    // An owned block grows in place where it can: a large one is never held
    // twice while it is copied.
    auto* block = static_cast<uint8_t*>(m_OwnsData ? std::realloc(m_Data, capacity) : std::malloc(capacity));
    if (!block)
        return false;
    if (!m_OwnsData && m_Size > 0)
        std::memcpy(block, m_Data, m_Size);
    m_Data = block;
    m_Capacity = uint32_t(capacity);
    m_OwnsData = true;
    return true;
}

uint32_t CMemFileBuf::Write(const void* bytes, uint32_t count)
{
    if (count == 0 || m_ReadOnly)
        return 0;
    uint64_t end = uint64_t(m_Position) + count;
    if (end > m_Capacity && !Reserve(end)) {
        // A block we may not grow takes what fits.
        if (m_Position >= m_Capacity)
            return 0;
        count = m_Capacity - m_Position;
        end = m_Capacity;
    }
    if (m_Position > m_Size)
        std::memset(m_Data + m_Size, 0, m_Position - m_Size);
    std::memcpy(m_Data + m_Position, bytes, count);
    m_Position = uint32_t(end);
    if (m_Position > m_Size)
        m_Size = m_Position;
    return count;
}

bool CMemFileBuf::FetchTo(uint64_t end)
{
    while (m_Size < end)
        if (!Fetch(end))
            return false;
    return true;
}

bool CMemFileBuf::AppendFrom(CFileBuf& source, uint32_t count)
{
    if (count == 0 || !Reserve(uint64_t(m_Size) + count))
        return false;
    const uint32_t read = source.Read(m_Data + m_Size, count);
    m_Size += read;
    return read != 0;
}

uint32_t CMemFileBuf::Read(void* bytes, uint32_t count)
{
    Holds(uint64_t(m_Position) + count);
    if (m_Position >= m_Size)
        return 0;
    if (count > m_Size - m_Position)
        count = m_Size - m_Position;
    std::memcpy(bytes, m_Data + m_Position, count);
    m_Position += count;
    return count;
}

bool CMemFileBuf::SeekRelative(int64_t offset)
{
    return Seek(int64_t(m_Position) + offset);
}

bool CMemFileBuf::Seek(int64_t position)
{
    if (position < 0 || position > int64_t(UINT32_MAX))
        return false;
    m_Position = uint32_t(position);
    return true;
}

bool CMemFileBuf::Close()
{
    if (m_OwnsData)
        std::free(m_Data);
    m_Data = nullptr;
    m_OwnsData = false;
    m_ReadOnly = false;
    m_Position = m_Size = m_Capacity = 0;
    return true;
}

const uint8_t* CMemFileBuf::ReadInPlace(uint32_t count)
{
    if (m_Position > m_Size || count > m_Size - m_Position)
        return nullptr;
    const uint8_t* bytes = m_Data + m_Position;
    m_Position += count;
    return bytes;
}

uint8_t* CMemFileBuf::DetachMemory()
{
    uint8_t* data = m_Data;
    m_Data = nullptr;
    m_OwnsData = false;
    Close();
    return data;
}

bool CMemFileBuf::ReadLine8(CJString& line)
{
    if (!Holds(uint64_t(m_Position) + 1))
        return false;
    // The block may move while a long line is fetched: offsets, not pointers.
    uint32_t length = 0;
    for (;;) {
        const uint8_t* start = m_Data + m_Position;
        const uint32_t left = m_Size - m_Position;
        while (length < left && start[length] != '\r' && start[length] != '\n')
            ++length;
        if (length < left || length > uint32_t(kMaxStringLength) || !Holds(uint64_t(m_Position) + length + 1))
            break;
    }
    // A line longer than any string ends the text: the rest is damaged data.
    if (length > uint32_t(kMaxStringLength)) {
        StopFetching();
        m_Position = m_Size;
        line.Empty();
        return false;
    }
    line.SetText(reinterpret_cast<const char*>(m_Data + m_Position), int(length));
    m_Position += length;
    if (Holds(uint64_t(m_Position) + 1) && m_Data[m_Position] == '\r')
        ++m_Position;
    if (Holds(uint64_t(m_Position) + 1) && m_Data[m_Position] == '\n')
        ++m_Position;
    return true;
}

bool CMemFileBuf::ReadLineWide(CJString& line)
{
    auto unitAt
        = [this](uint32_t position) -> char16_t { return char16_t(m_Data[position] | m_Data[position + 1] << 8); };
    auto hasUnit = [this](uint32_t position) { return Holds(uint64_t(position) + 2); };
    if (!hasUnit(m_Position)) {
        // A lone trailing byte is no character.
        if (m_Position < m_Size)
            m_Position = m_Size;
        return false;
    }
    if (unitAt(m_Position) == 0xFEFF)
        m_Position += 2;
    uint32_t end = m_Position;
    while (hasUnit(end) && unitAt(end) != u'\r' && unitAt(end) != u'\n'
           && (end - m_Position) / 2 <= uint32_t(kMaxStringLength))
        end += 2;
    if ((end - m_Position) / 2 > uint32_t(kMaxStringLength)) {
        StopFetching();
        m_Position = m_Size;
        line.Empty();
        return false;
    }
    const int count = int((end - m_Position) / 2);
    char16_t* units = static_cast<char16_t*>(std::malloc(sizeof(char16_t) * (size_t(count) + 1)));
    for (int i = 0; i < count; ++i)
        units[i] = unitAt(m_Position + 2 * uint32_t(i));
    units[count] = 0;
    line.Set(units, count);
    std::free(units);
    m_Position = end;
    if (hasUnit(m_Position) && unitAt(m_Position) == u'\r')
        m_Position += 2;
    if (hasUnit(m_Position) && unitAt(m_Position) == u'\n')
        m_Position += 2;
    return true;
}

CFileBuf::LineHead CMemFileBuf::ReadLine8Head(CJString& line, uint32_t most, LineRest rest)
{
    line.Empty();
    ForgetRead();
    if (!Holds(uint64_t(m_Position) + 1))
        return LineHead::End;
    std::string head;
    uint64_t length = 0;
    bool blanks = true;
    // What is passed over is let go as the scan goes.
    while (Holds(uint64_t(m_Position) + 1)) {
        const uint8_t* text = m_Data + m_Position;
        const uint32_t count = m_Size - m_Position;
        uint32_t i = 0;
        while (blanks && i < count && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        blanks = blanks && i == count;
        const uint32_t end = i + uint32_t(LineLength(text + i, count - i));
        if (end < count && length == 0 && end - i <= most && head.empty()) {
            // The usual line: whole in the block, taken from it at once.
            line.SetText(reinterpret_cast<const char*>(text + i), int(end - i));
            m_Position += end;
            SkipLineEnd();
            return LineHead::Whole;
        }
        if (length <= most)
            head.append(reinterpret_cast<const char*>(text + i), std::min<uint64_t>(end - i, most + 1 - length));
        if (length + (end - i) > most && rest == LineRest::Leave) {
            m_Position += i + uint32_t(most + 1 - length);
            line.SetText(head.data(), int(most));
            return LineHead::Longer;
        }
        length += end - i;
        m_Position += end;
        if (end < count)
            break;
        ForgetRead();
    }
    SkipLineEnd();
    line.SetText(head.data(), int(std::min<uint64_t>(head.size(), most)));
    return length > most ? LineHead::Longer : LineHead::Whole;
}

void CMemFileBuf::SkipLineEnd()
{
    if (Holds(uint64_t(m_Position) + 1) && m_Data[m_Position] == '\r')
        ++m_Position;
    if (Holds(uint64_t(m_Position) + 1) && m_Data[m_Position] == '\n')
        ++m_Position;
}

void CMemFileBuf::DropFront(uint32_t count)
{
    count = std::min(count, m_Size);
    if (count == 0)
        return;
    std::memmove(m_Data, m_Data + count, m_Size - count);
    m_Size -= count;
    m_Position = m_Position > count ? m_Position - count : 0;
}

void CMemFileBuf::SetMemory(uint8_t* data, uint32_t size)
{
    Close();
    m_Data = data;
    m_Size = m_Capacity = data ? size : 0;
}

int32_t CMemFileBuf::Empty()
{
    m_Position = m_Size = 0;
    return 0;
}

void CMemFileBuf::CopyFrom(const CMemFileBuf& other)
{
    if (&other == this)
        return;
    m_Position = m_Size = 0;
    if (other.m_Size > 0)
        Write(other.m_Data, other.m_Size);
}

bool CMemFileBuf::IsSameContent(const CMemFileBuf& other) const
{
    return m_Data && other.m_Data && m_Size == other.m_Size && std::memcmp(m_Data, other.m_Data, m_Size) == 0;
}

CMemFileBuf* ReadWholeFile(CFile& file)
{
    if (!file.IsOpen())
        return nullptr;
    const int64_t size = file.GetSize();
    const int64_t position = file.GetPosition();
    if (size < 0 || position < 0 || size > int64_t(UINT32_MAX))
        return nullptr;
    const uint32_t left = position < size ? uint32_t(size - position) : 0;
    auto* block = static_cast<uint8_t*>(std::malloc(left ? left : 1));
    if (!block)
        return nullptr;
    const uint32_t read = file.Read(block, left);
    return CMemFileBuf::Adopt(block, read);
}

CMemFileBuf* LoadFileToMemory(const char* name, uint32_t flags)
{
    CFile file;
    if (!file.Open(name, flags))
        return nullptr;
    CMemFileBuf* buffer = ReadWholeFile(file);
    file.Close();
    return buffer;
}

CDemandFileBuf::CDemandFileBuf(CFileBuf* source, uint32_t step)
    : m_Source(source)
    , m_Origin(std::max<int64_t>(source->Tell(), 0))
    , m_SourceLeft(std::max<int64_t>(source->GetSize() - m_Origin, 0))
    , m_Step(step ? step : 1)
{
}

CDemandFileBuf::~CDemandFileBuf()
{
    CDemandFileBuf::Close();
}

int64_t CDemandFileBuf::GetSize()
{
    const int64_t held = int64_t(m_Base) + BlockSize();
    return m_Stopped ? held : std::max<int64_t>(m_SourceLeft, held);
}

bool CDemandFileBuf::Fetch(uint64_t end)
{
    const uint64_t have = BlockSize();
    if (m_Stopped || !m_Source || m_Base + have >= UINT32_MAX)
        return false;
    const uint64_t want = std::min<uint64_t>(std::max<uint64_t>(end, have + m_Step), UINT32_MAX - m_Base);
    if (want <= have || (m_SourceAt != m_Base + have && !m_Source->Seek(m_Origin + int64_t(m_Base + have))))
        return false;
    m_SourceAt = m_Base + have;
    const bool added = AppendFrom(*m_Source, uint32_t(want - have));
    m_SourceAt = m_Base + BlockSize();
    return added;
}

uint32_t CDemandFileBuf::ReadSource(uint64_t offset, void* bytes, uint32_t count)
{
    if (m_Stopped || !m_Source || (m_SourceAt != offset && !m_Source->Seek(m_Origin + int64_t(offset))))
        return 0;
    const uint32_t read = m_Source->Read(bytes, count);
    m_SourceAt = offset + read;
    return read;
}

void CDemandFileBuf::StopFetching()
{
    m_Stopped = true;
}

void CDemandFileBuf::ForgetRead()
{
    const uint32_t read = BlockPosition();
    if (read < m_Step || read > BlockSize())
        return;
    m_Base += read;
    DropFront(read);
}

void CDemandFileBuf::MoveTo(uint64_t offset)
{
    Empty();
    m_Base = offset;
}

bool CDemandFileBuf::Seek(int64_t position)
{
    if (position < 0 || position > int64_t(UINT32_MAX))
        return false;
    const uint64_t at = uint64_t(position);
    // Within the window or a step past it: kept; elsewhere the window moves.
    if (at >= m_Base && at - m_Base <= uint64_t(BlockSize()) + m_Step)
        return CMemFileBuf::Seek(int64_t(at - m_Base));
    MoveTo(at);
    return true;
}

uint32_t CDemandFileBuf::Read(void* bytes, uint32_t count)
{
    ForgetRead();
    return CMemFileBuf::Read(bytes, count);
}

int64_t CDemandFileBuf::MeasureLine8()
{
    uint32_t scan = BlockPosition();
    if (!Holds(uint64_t(scan) + 1))
        return -1;
    int64_t length = 0;
    while (Holds(uint64_t(scan) + 1)) {
        const uint8_t* data = GetData();
        const uint32_t size = BlockSize();
        const uint32_t end = scan + uint32_t(LineLength(data + scan, size - scan));
        length += end - scan;
        if (end < size || length > int64_t(m_MaxLine))
            break;
        scan = size;
        if (length > int64_t(m_Step)) {
            // A long line: what is measured is let go.
            m_Base += size;
            DropFront(size);
            scan = 0;
        }
    }
    return length;
}

bool CDemandFileBuf::ReadLine8(CJString& line)
{
    ForgetRead();
    const uint64_t start = uint64_t(Tell());
    const int64_t length = MeasureLine8();
    if (length < 0) {
        line.Empty();
        return false;
    }
    if (length > int64_t(m_MaxLine)) {
        // Longer than any line may be: the rest is damaged data.
        StopFetching();
        CMemFileBuf::Seek(BlockSize());
        line.Empty();
        return false;
    }
    if (start >= m_Base)
        return CMemFileBuf::ReadLine8(line);
    // Its start was let go: it goes from the source into the string alone.
    MoveTo(start);
    line = CJString();
    char* text = line.GetBufferDiscard(int(length));
    const uint32_t read = ReadSource(start, text, uint32_t(length));
    line.ReleaseBuffer(int(read));
    m_Base = start + read;
    if (read != uint64_t(length)) {
        StopFetching();
        return true;
    }
    SkipLineEnd();
    return true;
}

bool CDemandFileBuf::ReadLineWide(CJString& line)
{
    ForgetRead();
    return CMemFileBuf::ReadLineWide(line);
}

bool CDemandFileBuf::Close()
{
    if (m_Source) {
        m_Source->Close();
        delete m_Source;
        m_Source = nullptr;
    }
    m_Base = m_SourceAt = 0;
    m_Stopped = false;
    return CMemFileBuf::Close();
}

uint8_t* CDemandFileBuf::DetachMemory()
{
    if (m_Base != 0)
        MoveTo(0);
    Holds(UINT32_MAX);
    return CMemFileBuf::DetachMemory();
}
