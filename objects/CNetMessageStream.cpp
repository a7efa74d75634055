#include "objects/CNetMessageStream.h"

#include "foundation/CVirtualArray.h"
#include "foundation/CurrentLoadFile.h"
#include "foundation/FatalError.h"
#include "objects/CObjectStream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr uint8_t kPastEndByte = 0xCF;
constexpr uint32_t kMaxListCount = 50000;
constexpr uint32_t kNotSent = 0xFFFFFFFF;

// Bits needed for r (0 for 0).
uint32_t BitLength(uint32_t r)
{
    uint32_t bits = 0;
    while (r) {
        ++bits;
        r >>= 1;
    }
    return bits;
}

} // namespace

CNetMessageStream::CNetMessageStream(const uint8_t* data, uint32_t size)
{
    Reserve(size);
    if (size)
        std::memcpy(m_Buffer, data, size);
    m_Length = size;
}

CNetMessageStream::~CNetMessageStream()
{
    std::free(m_Buffer);
}

void CNetMessageStream::RewindForReading()
{
    m_ReadPosition = 0;
    m_ReadBitsLeft = 0;
}

void CNetMessageStream::Reserve(uint32_t extra)
{
    if (uint64_t(m_Length) + extra <= m_Capacity)
        return;
    const uint32_t capacity = std::max(m_Capacity + extra, 2 * m_Capacity);
    auto* grown = static_cast<uint8_t*>(std::malloc(capacity ? capacity : 1));
    if (m_Length)
        std::memcpy(grown, m_Buffer, m_Length);
    std::free(m_Buffer);
    m_Buffer = grown;
    m_Capacity = capacity;
}

void CNetMessageStream::AppendByte(uint8_t value)
{
    if (m_Length == m_Capacity) {
        const uint32_t capacity = std::max(m_Capacity + 1, 2 * m_Capacity);
        auto* grown = static_cast<uint8_t*>(std::malloc(capacity));
        if (m_Length)
            std::memcpy(grown, m_Buffer, m_Length);
        std::free(m_Buffer);
        m_Buffer = grown;
        m_Capacity = capacity;
    }
    m_Buffer[m_Length++] = value;
}

void CNetMessageStream::NetStreamWriteBits(uint32_t value, uint32_t n)
{
    uint64_t rest = n < 32 ? value & ((1u << n) - 1) : value;
    if (m_WriteBitsFree > 0 && n > 0) {
        const uint32_t k = std::min(m_WriteBitsFree, n);
        const uint32_t bits = uint32_t(rest & ((1u << k) - 1));
        m_Buffer[m_Length - 1] |= uint8_t(bits << (8 - m_WriteBitsFree));
        m_WriteBitsFree -= k;
        rest >>= k;
        n -= k;
    }
    while (n >= 8) {
        AppendByte(uint8_t(rest & 0xFF));
        rest >>= 8;
        n -= 8;
        m_WriteBitsFree = 0;
    }
    if (n > 0) {
        AppendByte(uint8_t(rest));
        m_WriteBitsFree = 8 - n;
    }
}

uint32_t CNetMessageStream::NetStreamReadBits(uint32_t n)
{
    uint64_t value = 0;
    uint32_t got = 0;
    if (m_ReadBitsLeft > 0 && n > 0) {
        const uint32_t k = std::min(m_ReadBitsLeft, n);
        const uint8_t byte = m_Buffer[m_ReadPosition - 1];
        value = (byte >> (8 - m_ReadBitsLeft)) & ((1u << k) - 1);
        m_ReadBitsLeft -= k;
        got = k;
        n -= k;
    }
    while (n > 0) {
        uint8_t byte = kPastEndByte;
        bool fresh = false;
        if (m_ReadPosition < m_Length) {
            byte = m_Buffer[m_ReadPosition++];
            fresh = true;
        }
        const uint32_t k = std::min<uint32_t>(8, n);
        value |= uint64_t(byte & ((1u << k) - 1)) << got;
        got += k;
        n -= k;
        if (fresh)
            m_ReadBitsLeft = 8 - k;
    }
    return uint32_t(value);
}

void CNetMessageStream::WriteRanged(int32_t value, int32_t minimum, int32_t maximum)
{
    if (maximum <= minimum)
        return;
    value = std::clamp(value, minimum, maximum);
    const uint32_t v = uint32_t(value) - uint32_t(minimum);
    const uint32_t r = uint32_t(maximum) - uint32_t(minimum);
    const uint32_t b = BitLength(r);
    if (r == 0)
        return;
    if (b == 32 || r == (1u << b) - 1) {
        NetStreamWriteBits(v, b);
        return;
    }
    const uint32_t h = 1u << (b - 1);
    NetStreamWriteBits(v & (h - 1), b - 1);
    if (v < r + 1 - h || v >= h)
        NetStreamWriteBits(v >= h ? 1 : 0, 1);
}

int32_t CNetMessageStream::ReadRanged(int32_t minimum, int32_t maximum)
{
    const uint32_t r = uint32_t(maximum) - uint32_t(minimum);
    const uint32_t b = BitLength(r);
    if (r == 0 || maximum < minimum)
        return minimum;
    if (b == 32 || r == (1u << b) - 1)
        return int32_t(uint32_t(minimum) + NetStreamReadBits(b));
    const uint32_t h = 1u << (b - 1);
    uint32_t u = NetStreamReadBits(b - 1);
    if (u < r + 1 - h && NetStreamReadBits(1))
        u += h;
    return int32_t(uint32_t(minimum) + u);
}

void CNetMessageStream::AlignRead()
{
    m_ReadBitsLeft = 0;
}

void CNetMessageStream::WriteByte(uint8_t value)
{
    m_WriteBitsFree = 0;
    AppendByte(value);
}

uint8_t CNetMessageStream::ReadByte()
{
    AlignRead();
    return m_ReadPosition < m_Length ? m_Buffer[m_ReadPosition++] : kPastEndByte;
}

void CNetMessageStream::WriteUint32(uint32_t value)
{
    m_WriteBitsFree = 0;
    Reserve(4);
    for (int i = 0; i < 4; ++i)
        m_Buffer[m_Length++] = uint8_t(value >> (8 * i));
}

uint32_t CNetMessageStream::ReadUint32()
{
    AlignRead();
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= uint32_t(ReadByte()) << (8 * i);
    return value;
}

void CNetMessageStream::WriteEightBytes(uint32_t first, uint32_t second)
{
    WriteUint32(first);
    WriteUint32(second);
}

void CNetMessageStream::ReadEightBytes(uint32_t& first, uint32_t& second)
{
    first = ReadUint32();
    second = ReadUint32();
}

void CNetMessageStream::WriteString(const char* text)
{
    m_WriteBitsFree = 0;
    if (!text)
        text = "";
    const uint32_t length = uint32_t(std::strlen(text)) + 1;
    Reserve(length);
    std::memcpy(m_Buffer + m_Length, text, length);
    m_Length += length;
}

void CNetMessageStream::WriteText(const CJString& text)
{
    if (!text.IsWide()) {
        WriteString(text.GetString());
        return;
    }
    m_WriteBitsFree = 0;
    const int count = text.GetLength();
    Reserve(uint32_t(count) * 2 + 4);
    auto put16 = [this](uint16_t unit) {
        m_Buffer[m_Length++] = uint8_t(unit);
        m_Buffer[m_Length++] = uint8_t(unit >> 8);
    };
    put16(0xFEFF);
    for (int i = 0; i < count; ++i)
        put16(text.GetAt(i));
    put16(0);
}

const char* CNetMessageStream::ReadString()
{
    AlignRead();
    if (m_ReadPosition + 1 < m_Length && m_Buffer[m_ReadPosition] == 0xFF && m_Buffer[m_ReadPosition + 1] == 0xFE)
        FatalDataError("Programming BUG", kUnicodeWhereAsciiExpected);
    const uint8_t* start = m_Buffer + m_ReadPosition;
    const void* end = m_ReadPosition < m_Length ? std::memchr(start, 0, m_Length - m_ReadPosition) : nullptr;
    if (!end)
        return "";
    m_ReadPosition = uint32_t(static_cast<const uint8_t*>(end) - m_Buffer) + 1;
    return reinterpret_cast<const char*>(start);
}

bool CNetMessageStream::ReadText(CJString& out)
{
    AlignRead();
    if (m_ReadPosition + 1 < m_Length && m_Buffer[m_ReadPosition] == 0xFF && m_Buffer[m_ReadPosition + 1] == 0xFE) {
        uint32_t position = m_ReadPosition + 2;
        std::u16string units;
        for (;;) {
            if (position + 1 >= m_Length)
                return false;
            const char16_t unit = char16_t(m_Buffer[position] | m_Buffer[position + 1] << 8);
            position += 2;
            if (unit == 0)
                break;
            units.push_back(unit);
        }
        m_ReadPosition = position;
        out = CJString(units.c_str(), int(units.size()));
        if (!out.IsWide())
            out.ToWide();
        return true;
    }
    out.Set(ReadString());
    return true;
}

CNetMessageStream::Table* CNetMessageStream::FindTable(std::vector<Table>& tables, CVirtualArray& list)
{
    const int32_t slot = list.GetId();
    if (slot < 0)
        return nullptr;
    if (size_t(slot) >= tables.size())
        tables.resize(size_t(slot) + 1);
    Table& table = tables[size_t(slot)];
    return table.list == &list ? &table : nullptr;
}

void CNetMessageStream::NetStreamWriteStringListValue(int32_t index, CVirtualArray& list)
{
    Table* table = FindTable(m_WriteTables, list);
    if (!table) {
        const int32_t count = list.GetCount();
        WriteUint32(uint32_t(count));
        table = &m_WriteTables[size_t(list.GetId())];
        table->list = &list;
        table->entries.assign(size_t(std::max(count, 0)), kNotSent);
        m_TablesChanged = true;
    }
    const int32_t count = int32_t(table->entries.size());
    if (count == 0)
        return;
    // An index outside the list goes as the item the reader will take it
    // for, with that item's text, so the stream stays in step.
    index = std::clamp(index, 0, count - 1);
    if (count > 1)
        WriteRanged(index, 0, count - 1);
    if (table->entries[size_t(index)] == kNotSent) {
        WriteString(list.GetItemName(index));
        table->entries[size_t(index)] = 0;
        m_TablesChanged = true;
    }
}

int32_t CNetMessageStream::NetStreamReadStringListValue(CVirtualArray& list)
{
    Table* table = FindTable(m_ReadTables, list);
    if (!table) {
        AlignRead();
        const uint32_t count = m_Length - m_ReadPosition >= 4 ? ReadUint32() : 0;
        if (count > kMaxListCount)
            NetStreamFatalError(&list, "");
        table = &m_ReadTables[size_t(list.GetId())];
        table->list = &list;
        table->entries.assign(count, kNotSent);
    }
    const int32_t count = int32_t(table->entries.size());
    // A value from a list that has no items can not be sent.
    if (count == 0)
        NetStreamFatalError(nullptr, "");
    const int32_t index = count > 1 ? ReadRanged(0, count - 1) : 0;
    if (table->entries[size_t(index)] == kNotSent) {
        const char* name = ReadString();
        const int32_t local = list.Find(name);
        if (local < 0)
            NetStreamFatalError(&list, name);
        table->entries[size_t(index)] = uint32_t(local);
    }
    return int32_t(table->entries[size_t(index)]);
}

CNetMessageStream::CNestedObject::CNestedObject(CNetMessageStream& stream)
    : m_Stream(stream)
{
    if (m_Stream.m_Nesting >= kMaxObjectNesting)
        m_Stream.NetStreamFatalError(nullptr, "");
    ++m_Stream.m_Nesting;
}

void CNetMessageStream::NetStreamFatalError(CVirtualArray* list, const char* text)
{
    const char* messageName = m_CurrentMessageName ? m_CurrentMessageName : "(NULL)";
    if (!text)
        text = "";
    if (list && list != m_MessageTypeList) {
        CJString previous = GetCurrentLoadFileName();
        GetCurrentLoadFileName().Set("Networked Computer ");
        GetCurrentLoadFileName().Append(messageName);
        list->FindOrReportMissing(text);
        // A list that answered after all: still a message that can not be used.
        GetCurrentLoadFileName() = previous;
    }
    bool printable = std::strlen(text) >= 2;
    for (const char* c = text; *c && printable; ++c)
        printable = uint8_t(*c) >= 32 && uint8_t(*c) <= 126;
    CJString message("Encountered fatal error while trying to process a message from a networked computer.  ");
    const char* caption;
    if (list && list == m_MessageTypeList && printable) {
        caption = "Missing network message handler";
        message.Append("A message of type \"");
        message.Append(text);
        message.Append("\" was received but no handler for such a message could be found.  ");
        message.Append("This usually means you do not have the same version of the game as the other networked "
                       "computer.  ");
        message.Append("But this could also mean there is an error in the \"");
        message.Append(messageName);
        message.Append("\" message handler code.");
    } else {
        caption = "Improperly formatted network message";
        message.Append("Received an improperly formatted message of type \"");
        message.Append(messageName);
        message.Append("\"  This usually means there is a bug in the code that generates and/or handles message of "
                       "that type.");
    }
    message.Append("\r\n\r\nThis error could also be caused by a disruption in the network link.");
    FatalDataError(caption, message.GetString());
}
