#include "objects/CPointProperty.h"

#include "foundation/LittleEndian.h"
#include "foundation/WideString.h"
#include "objects/CNetMessageStream.h"
#include "objects/CObjectStream.h"

#include <bit>
#include <cstdlib>

namespace {

const char* NarrowText(const CJString& text, CJString& narrow)
{
    if (!text.IsWide())
        return text.GetString();
    narrow = text;
    narrow.ToNarrow();
    return narrow.GetString();
}

int32_t ParseNumber(const char* text, const char** end, int32_t*)
{
    return NarrowToLong(text, end, 10);
}

float ParseNumber(const char* text, const char** end, float*)
{
    char* stop = nullptr;
    const float value = std::strtof(text, &stop);
    *end = stop;
    return value;
}

template <typename V>
int32_t Scan(const CJString& text, V* values, int32_t count)
{
    CJString narrow;
    const char* p = NarrowText(text, narrow);
    int32_t read = 0;
    while (read < count) {
        if (read > 0) {
            if (*p != ',')
                break;
            ++p;
        }
        const char* end = p;
        const V value = ParseNumber(p, &end, values);
        if (end == p)
            break;
        values[read++] = value;
        p = end;
    }
    return read;
}

void WriteEight(CObjectStream& stream, uint32_t x, uint32_t y)
{
    stream.WriteUint32(x);
    stream.WriteUint32(y);
}

bool ReadEight(CObjectStream& stream, uint32_t& x, uint32_t& y)
{
    uint8_t bytes[8];
    if (stream.Read(bytes, 8) != 8)
        return false;
    x = ReadLE32(bytes);
    y = ReadLE32(bytes + 4);
    return true;
}

bool ReadPackedEight(CNetMessageStream& stream, uint32_t& x, uint32_t& y)
{
    // A partly read byte is skipped first, as the read itself would.
    if (stream.GetUnreadByteCount() < 8)
        return false;
    stream.ReadEightBytes(x, y);
    return true;
}

} // namespace

int32_t ScanCommaSeparated(const CJString& text, int32_t* values, int32_t count)
{
    return Scan(text, values, count);
}

int32_t ScanCommaSeparated(const CJString& text, float* values, int32_t count)
{
    return Scan(text, values, count);
}

// --- Integer points ---

void CPointProperty::GetValueText(CObject* object, CJString& out) const
{
    const CPoint& point = Value(object);
    out.Format("%d,%d", point.x, point.y);
}

void CPointProperty::SetValueFromText(CObject* object, const CJString& text, CObjectStream*) const
{
    CPoint& point = Value(object);
    int32_t values[2] = {point.x, point.y};
    ScanCommaSeparated(text, values, 2);
    point = CPoint{values[0], values[1]};
}

void CPointProperty::WriteBinary(CObject* object, CObjectStream& stream) const
{
    WriteEight(stream, uint32_t(Value(object).x), uint32_t(Value(object).y));
}

bool CPointProperty::ReadBinary(CObject* object, CObjectStream& stream) const
{
    uint32_t x = 0;
    uint32_t y = 0;
    if (!ReadEight(stream, x, y))
        return false;
    Value(object) = CPoint{int32_t(x), int32_t(y)};
    return true;
}

void CPointProperty::WritePacked(CObject* object, CNetMessageStream& stream, CObject*) const
{
    stream.WriteEightBytes(uint32_t(Value(object).x), uint32_t(Value(object).y));
}

void CPointProperty::ReadPacked(CObject* object, CNetMessageStream& stream) const
{
    uint32_t x = 0;
    uint32_t y = 0;
    if (ReadPackedEight(stream, x, y))
        Value(object) = CPoint{int32_t(x), int32_t(y)};
}

// --- Float points ---

void CFPointProperty::GetValueText(CObject* object, CJString& out) const
{
    const CFPoint& point = Value(object);
    out.Format("%.12g,%.12g", double(point.x), double(point.y));
}

void CFPointProperty::SetValueFromText(CObject* object, const CJString& text, CObjectStream*) const
{
    CFPoint& point = Value(object);
    float values[2] = {point.x, point.y};
    ScanCommaSeparated(text, values, 2);
    point.x = values[0];
    point.y = values[1];
}

void CFPointProperty::WriteBinary(CObject* object, CObjectStream& stream) const
{
    WriteEight(stream, std::bit_cast<uint32_t>(Value(object).x), std::bit_cast<uint32_t>(Value(object).y));
}

bool CFPointProperty::ReadBinary(CObject* object, CObjectStream& stream) const
{
    uint32_t x = 0;
    uint32_t y = 0;
    if (!ReadEight(stream, x, y))
        return false;
    Value(object).x = std::bit_cast<float>(x);
    Value(object).y = std::bit_cast<float>(y);
    return true;
}

void CFPointProperty::WritePacked(CObject* object, CNetMessageStream& stream, CObject*) const
{
    stream.WriteEightBytes(std::bit_cast<uint32_t>(Value(object).x), std::bit_cast<uint32_t>(Value(object).y));
}

void CFPointProperty::ReadPacked(CObject* object, CNetMessageStream& stream) const
{
    uint32_t x = 0;
    uint32_t y = 0;
    if (!ReadPackedEight(stream, x, y))
        return;
    Value(object).x = std::bit_cast<float>(x);
    Value(object).y = std::bit_cast<float>(y);
}
