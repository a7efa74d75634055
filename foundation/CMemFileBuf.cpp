#include "foundation/CMemFileBuf.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

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
    , m_SourceLeft(0)
    , m_Step(step ? step : 1)
{
    const int64_t at = source->Tell();
    m_SourceLeft = std::max<int64_t>(source->GetSize() - std::max<int64_t>(at, 0), 0);
}

CDemandFileBuf::~CDemandFileBuf()
{
    CDemandFileBuf::Close();
}

int64_t CDemandFileBuf::GetSize()
{
    return m_Source ? std::max<int64_t>(m_SourceLeft, CMemFileBuf::GetSize()) : CMemFileBuf::GetSize();
}

bool CDemandFileBuf::Fetch(uint64_t end)
{
    const uint64_t have = uint64_t(CMemFileBuf::GetSize());
    if (!m_Source || have >= UINT32_MAX)
        return false;
    const uint64_t want = std::min<uint64_t>(std::max<uint64_t>(end, have + m_Step), UINT32_MAX);
    if (AppendFrom(*m_Source, uint32_t(want - have)))
        return true;
    StopFetching(); // the source's end, or its read failed
    return false;
}

void CDemandFileBuf::StopFetching()
{
    if (!m_Source)
        return;
    m_Source->Close();
    delete m_Source;
    m_Source = nullptr;
}

bool CDemandFileBuf::Close()
{
    StopFetching();
    return CMemFileBuf::Close();
}

uint8_t* CDemandFileBuf::DetachMemory()
{
    Holds(UINT32_MAX);
    return CMemFileBuf::DetachMemory();
}
