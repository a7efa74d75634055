#include "foundation/BufferNames.h"

#include "foundation/CArrayPOD.h"
#include "foundation/CFile.h"

#include <cstring>

namespace {

constexpr char kBufferNamePrefix[] = "~CFileBuf 0x";
constexpr int kBufferNamePrefixLength = sizeof(kBufferNamePrefix) - 1;

} // namespace

class CFileBufRegistry {
public:
    struct Entry {
        CFileBuf* buffer;
        uint32_t id;
    };

    static CFileBufRegistry& Get()
    {
        static CFileBufRegistry registry;
        return registry;
    }

    uint32_t Register(CFileBuf* buffer)
    {
        if (buffer->m_Registered) {
            for (uint32_t i = 0; i < m_Entries.GetCount(); ++i)
                if (m_Entries[i].buffer == buffer)
                    return m_Entries[i].id;
        }
        // Ids are never reused, so a stale name cannot reach a newer buffer.
        const uint32_t id = ++m_LastId;
        m_Entries.Append(Entry{buffer, id});
        buffer->m_Registered = true;
        return id;
    }

    CFileBuf* Find(uint32_t id) const
    {
        for (uint32_t i = 0; i < m_Entries.GetCount(); ++i)
            if (m_Entries[i].id == id)
                return m_Entries[i].buffer;
        return nullptr;
    }

    void Unregister(CFileBuf* buffer)
    {
        for (uint32_t i = 0; i < m_Entries.GetCount(); ++i) {
            if (m_Entries[i].buffer == buffer) {
                m_Entries.RemoveAt(i);
                break;
            }
        }
        buffer->m_Registered = false;
    }

private:
    CArrayPOD<Entry> m_Entries;
    uint32_t m_LastId = 0;
};

void MakeBufferName(CJString& out, CFileBuf* buffer, const char* memberName)
{
    static const char kDigits[] = "0123456789ABCDEF";
    const uint32_t id = buffer ? CFileBufRegistry::Get().Register(buffer) : 0;
    char digits[9];
    for (int i = 0; i < 4; ++i) {
        const uint8_t byte = uint8_t(id >> (8 * i)); // low byte first
        digits[2 * i] = kDigits[byte >> 4];
        digits[2 * i + 1] = kDigits[byte & 15];
    }
    digits[8] = 0;
    CJString name(kBufferNamePrefix);
    name.Append(digits);
    name.Append("/");
    name.Append(memberName ? memberName : "");
    out = name;
}

CFileBuf* ParseBufferName(const char* name)
{
    if (!name || std::strncmp(name, kBufferNamePrefix, kBufferNamePrefixLength) != 0)
        return nullptr;
    const char* digits = name + kBufferNamePrefixLength;
    uint32_t id = 0;
    for (int i = 0; i < 8; ++i) {
        const char c = digits[i];
        uint32_t value;
        if (c >= '0' && c <= '9')
            value = uint32_t(c - '0');
        else if (c >= 'A' && c <= 'F')
            value = uint32_t(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f')
            value = uint32_t(c - 'a' + 10);
        else
            return nullptr; // also the terminator of a short name
        const int byte = i / 2;
        const int shift = 8 * byte + ((i % 2) ? 0 : 4);
        id |= value << shift;
    }
    return id ? CFileBufRegistry::Get().Find(id) : nullptr;
}

void DeleteNamedBuffer(const char* name)
{
    delete ParseBufferName(name);
}

void ForgetBufferName(CFileBuf* buffer)
{
    CFileBufRegistry::Get().Unregister(buffer);
}
