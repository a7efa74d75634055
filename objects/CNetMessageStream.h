#pragma once
// A growable byte buffer written and read bit by bit: the packed form of
// objects. Bits fill each byte from its least significant bit up; an n-bit
// value goes least significant bit first. Ranged integers take only the bits
// their range needs; entries of named lists go by index with each name sent
// once per stream. No transport exists: this is an encoder and a decoder.
#include "foundation/CJString.h"

#include <cstdint>
#include <vector>

class CVirtualArray;

class CNetMessageStream {
public:
    CNetMessageStream() = default;
    // A stream reading the given bytes (copied).
    CNetMessageStream(const uint8_t* data, uint32_t size);
    CNetMessageStream(const CNetMessageStream&) = delete;
    CNetMessageStream& operator=(const CNetMessageStream&) = delete;
    ~CNetMessageStream();

    // 0 <= n <= 32; the value must fit in n bits.
    void NetStreamWriteBits(uint32_t value, uint32_t n);
    // Past the end a byte reads as 0xCF and the position stays.
    uint32_t NetStreamReadBits(uint32_t n);
    void WriteBool(bool value) { NetStreamWriteBits(value ? 1 : 0, 1); }
    bool ReadBool() { return NetStreamReadBits(1) != 0; }
    // Values are clamped into [minimum, maximum].
    void WriteRanged(int32_t value, int32_t minimum, int32_t maximum);
    int32_t ReadRanged(int32_t minimum, int32_t maximum);

    // Aligned to the next whole byte.
    void WriteByte(uint8_t value);
    uint8_t ReadByte();
    void WriteUint32(uint32_t value);
    uint32_t ReadUint32();
    void WriteEightBytes(uint32_t first, uint32_t second);
    void ReadEightBytes(uint32_t& first, uint32_t& second);
    // The bytes and a 0; null is written as "".
    void WriteString(const char* text);
    // 8-bit as WriteString; UTF-16 as 0xFEFF, the units and a 16-bit 0.
    void WriteText(const CJString& text);
    // Points into the buffer; "" (position kept) when unterminated. UTF-16
    // where 8-bit text is expected is fatal.
    const char* ReadString();
    bool ReadText(CJString& out);

    void NetStreamWriteStringListValue(int32_t index, CVirtualArray& list);
    int32_t NetStreamReadStringListValue(CVirtualArray& list);
    [[noreturn]] void NetStreamFatalError(CVirtualArray* list, const char* text);

    // The packed reader of an object holds one while it reads the object's
    // properties; objects nested deeper than kMaxObjectNesting (CObjectStream.h)
    // are a malformed message.
    class CNestedObject {
    public:
        explicit CNestedObject(CNetMessageStream& stream);
        ~CNestedObject() { --m_Stream.m_Nesting; }
        CNestedObject(const CNestedObject&) = delete;
        CNestedObject& operator=(const CNestedObject&) = delete;

    private:
        CNetMessageStream& m_Stream;
    };

    // The list whose misses are reported as missing message handlers, and
    // the type name of the message being handled (may be null).
    void SetMessageTypeList(CVirtualArray* list) { m_MessageTypeList = list; }
    void SetCurrentMessageName(const char* name) { m_CurrentMessageName = name; }

    const uint8_t* GetData() const { return m_Buffer; }
    uint32_t GetLength() const { return m_Length; }
    // Whole bytes a read at the next byte boundary can still take.
    uint32_t GetUnreadByteCount() const { return m_Length - m_ReadPosition; }
    bool GetTablesChanged() const { return m_TablesChanged; }
    // Starts reading from the first byte again.
    void RewindForReading();

private:
    struct Table {
        CVirtualArray* list = nullptr;
        std::vector<uint32_t> entries;
    };
    void Reserve(uint32_t extra);
    void AppendByte(uint8_t value);
    void AlignRead();
    Table* FindTable(std::vector<Table>& tables, CVirtualArray& list);

    CVirtualArray* m_MessageTypeList = nullptr;
    uint8_t* m_Buffer = nullptr;
    uint32_t m_Capacity = 0;
    bool m_TablesChanged = false;
    uint32_t m_ReadPosition = 0;
    uint32_t m_ReadBitsLeft = 0;
    uint32_t m_Length = 0;
    uint32_t m_WriteBitsFree = 0;
    std::vector<Table> m_ReadTables;
    std::vector<Table> m_WriteTables;
    const char* m_CurrentMessageName = nullptr;
    int32_t m_Nesting = 0;
};

// Fatal texts of the stream.
inline constexpr const char* kUnicodeWhereAsciiExpected
    = "Error 368:  A UNICODE string was found where the code was expecting an ASCII string. This is a bug in ht e "
      "programming.";
