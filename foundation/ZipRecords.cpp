#include "foundation/ZipRecords.h"

namespace {

// Sequential little-endian fields over a record's bytes.
class FieldReader {
public:
    explicit FieldReader(const uint8_t* bytes)
        : m_Bytes(bytes)
    {
    }
    void Get(uint16_t& value)
    {
        value = uint16_t(m_Bytes[0] | m_Bytes[1] << 8);
        m_Bytes += 2;
    }
    void Get(uint32_t& value)
    {
        value = uint32_t(m_Bytes[0]) | uint32_t(m_Bytes[1]) << 8 | uint32_t(m_Bytes[2]) << 16
            | uint32_t(m_Bytes[3]) << 24;
        m_Bytes += 4;
    }

private:
    const uint8_t* m_Bytes;
};

class FieldWriter {
public:
    explicit FieldWriter(uint8_t* bytes)
        : m_Bytes(bytes)
    {
    }
    void Put(uint16_t value)
    {
        *m_Bytes++ = uint8_t(value);
        *m_Bytes++ = uint8_t(value >> 8);
    }
    void Put(uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            *m_Bytes++ = uint8_t(value >> (8 * i));
    }

private:
    uint8_t* m_Bytes;
};

} // namespace

bool IsZipEndSignature(uint32_t signature)
{
    return signature == kZipEndSignature || signature == kZipAlternativeEndSignature;
}

void ZipLocalHeader::Read(const uint8_t* bytes)
{
    FieldReader in(bytes);
    in.Get(signature);
    in.Get(versionNeeded);
    in.Get(flags);
    in.Get(method);
    in.Get(time);
    in.Get(date);
    in.Get(crc);
    in.Get(compressedSize);
    in.Get(size);
    in.Get(nameLength);
    in.Get(extraLength);
}

void ZipLocalHeader::Write(uint8_t* bytes) const
{
    FieldWriter out(bytes);
    out.Put(signature);
    out.Put(versionNeeded);
    out.Put(flags);
    out.Put(method);
    out.Put(time);
    out.Put(date);
    out.Put(crc);
    out.Put(compressedSize);
    out.Put(size);
    out.Put(nameLength);
    out.Put(extraLength);
}

void ZipCentralRecord::Read(const uint8_t* bytes)
{
    FieldReader in(bytes);
    in.Get(signature);
    in.Get(versionMadeBy);
    in.Get(versionNeeded);
    in.Get(flags);
    in.Get(method);
    in.Get(time);
    in.Get(date);
    in.Get(crc);
    in.Get(compressedSize);
    in.Get(size);
    in.Get(nameLength);
    in.Get(extraLength);
    in.Get(commentLength);
    in.Get(diskStart);
    in.Get(internalAttributes);
    in.Get(externalAttributes);
    in.Get(localHeaderOffset);
}

void ZipCentralRecord::Write(uint8_t* bytes) const
{
    FieldWriter out(bytes);
    out.Put(signature);
    out.Put(versionMadeBy);
    out.Put(versionNeeded);
    out.Put(flags);
    out.Put(method);
    out.Put(time);
    out.Put(date);
    out.Put(crc);
    out.Put(compressedSize);
    out.Put(size);
    out.Put(nameLength);
    out.Put(extraLength);
    out.Put(commentLength);
    out.Put(diskStart);
    out.Put(internalAttributes);
    out.Put(externalAttributes);
    out.Put(localHeaderOffset);
}

void ZipEndRecord::Read(const uint8_t* bytes)
{
    FieldReader in(bytes);
    in.Get(signature);
    in.Get(diskNumber);
    in.Get(directoryDisk);
    in.Get(diskEntries);
    in.Get(totalEntries);
    in.Get(directorySize);
    in.Get(directoryOffset);
    in.Get(commentLength);
}

void ZipEndRecord::Write(uint8_t* bytes) const
{
    FieldWriter out(bytes);
    out.Put(signature);
    out.Put(diskNumber);
    out.Put(directoryDisk);
    out.Put(diskEntries);
    out.Put(totalEntries);
    out.Put(directorySize);
    out.Put(directoryOffset);
    out.Put(commentLength);
}
