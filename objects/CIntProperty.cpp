#include "objects/CIntProperty.h"

#include "foundation/CDynamicList.h"
#include "objects/CNetMessageStream.h"
#include "objects/CObjectStream.h"

#include <algorithm>

namespace {

template <typename T>
T ClampInto(T value, T minimum, T maximum)
{
    return minimum == maximum ? value : std::clamp(value, minimum, maximum);
}

bool IsBlank(char16_t c)
{
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

} // namespace

uint32_t ScanUnsigned(const CJString& text)
{
    const int length = text.GetLength();
    const auto unit = [&](int i) -> char16_t {
        return text.IsWide() ? text.GetWideString()[i] : char16_t(static_cast<unsigned char>(text.GetString()[i]));
    };
    int i = 0;
    while (i < length && IsBlank(unit(i)))
        ++i;
    bool negative = false;
    if (i < length && (unit(i) == u'+' || unit(i) == u'-'))
        negative = unit(i++) == u'-';
    uint64_t value = 0;
    bool overflow = false;
    const int first = i;
    for (; i < length && unit(i) >= u'0' && unit(i) <= u'9'; ++i) {
        value = value * 10 + uint64_t(unit(i) - u'0');
        if (value > 0xFFFFFFFFu) {
            overflow = true;
            value = 0xFFFFFFFFu;
        }
    }
    if (i == first)
        return 0;
    if (overflow)
        return 0xFFFFFFFFu;
    return negative ? uint32_t(0u - uint32_t(value)) : uint32_t(value);
}

// --- Signed ---

void CIntProperty::GetValueText(CObject* object, CJString& out) const
{
    out.Format("%d", Value(object));
}

void CIntProperty::SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const
{
    NoteNumberReadInPart(text, NumberText::Integer, stream);
    Store(object, ClampInto(text.ToInt(), m_Min, m_Max));
}

void CIntProperty::WriteBinary(CObject* object, CObjectStream& stream) const
{
    stream.WriteUint32(uint32_t(Value(object)));
}

bool CIntProperty::ReadBinary(CObject* object, CObjectStream& stream) const
{
    uint32_t value = 0;
    if (!stream.TryReadUint32(value))
        return false;
    Value(object) = int32_t(value);
    return true;
}

void CIntProperty::WritePacked(CObject* object, CNetMessageStream& stream, CObject*) const
{
    if (m_Min == m_Max)
        stream.WriteUint32(uint32_t(Value(object)));
    else
        stream.WriteRanged(Value(object), m_Min, m_Max);
}

void CIntProperty::ReadPacked(CObject* object, CNetMessageStream& stream) const
{
    Value(object) = m_Min == m_Max ? int32_t(stream.ReadUint32()) : stream.ReadRanged(m_Min, m_Max);
}

void CIntProperty::SetValueFromFormulaText(CObject* object, const CJString& text) const
{
    Store(object, GetFormula().FromDisplay(text.ToInt()));
}

// --- Unsigned ---

CUintProperty::CUintProperty(const CUintProperty& other)
    : CNumberProperty(other)
    , m_SpecialValues(other.m_SpecialValues ? new CDynamicList(*other.m_SpecialValues) : nullptr)
{
}

CUintProperty::~CUintProperty()
{
    delete m_SpecialValues;
}

uint32_t CUintProperty::GetMinimum() const
{
    return m_Min == m_Max ? 0 : m_Min;
}

uint32_t CUintProperty::GetMaximum() const
{
    if (m_Min != m_Max)
        return m_Max;
    return GetUnits().IsNotEmpty() ? 0xFFFFFFFEu : 0xFFFFFFFFu;
}

void CUintProperty::AddSpecialValueName(uint32_t value, const char* name)
{
    if (!m_SpecialValues)
        m_SpecialValues = new CDynamicList();
    m_SpecialValues->Add(name, value);
}

bool CUintProperty::IsRanged() const
{
    const bool hasSpecial = m_SpecialValues && m_SpecialValues->GetCount() > 0;
    return GetMinimum() != GetMaximum() && GetMaximum() < 0x7FFFFFFFu && !hasSpecial;
}

void CUintProperty::GetValueText(CObject* object, CJString& out) const
{
    const uint32_t value = Value(object);
    if (m_SpecialValues) {
        const int32_t i = m_SpecialValues->FindValue(value);
        if (i >= 0) {
            out.Set(m_SpecialValues->GetItemName(i));
            return;
        }
    }
    out.Format("%u", value);
}

void CUintProperty::SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const
{
    const uint32_t value = ScanUnsigned(text);
    const uint32_t minimum = GetMinimum();
    const uint32_t maximum = GetMaximum();
    if (!(minimum != maximum && m_SpecialValues && m_SpecialValues->Find(text) >= 0))
        NoteNumberReadInPart(text, NumberText::Integer, stream);
    if (minimum != maximum && m_SpecialValues) {
        if (m_SpecialValues->FindValue(value) >= 0) {
            Store(object, value);
            return;
        }
        const int32_t named = m_SpecialValues->Find(text);
        if (named >= 0) {
            Store(object, m_SpecialValues->GetValue(named));
            return;
        }
    }
    Store(object, ClampInto(value, minimum, maximum));
}

void CUintProperty::WriteBinary(CObject* object, CObjectStream& stream) const
{
    stream.WriteUint32(Value(object));
}

bool CUintProperty::ReadBinary(CObject* object, CObjectStream& stream) const
{
    return stream.TryReadUint32(Value(object));
}

void CUintProperty::WritePacked(CObject* object, CNetMessageStream& stream, CObject*) const
{
    if (IsRanged())
        stream.WriteRanged(int32_t(Value(object)), int32_t(GetMinimum()), int32_t(GetMaximum()));
    else
        stream.WriteUint32(Value(object));
}

void CUintProperty::ReadPacked(CObject* object, CNetMessageStream& stream) const
{
    if (IsRanged())
        Value(object) = uint32_t(stream.ReadRanged(int32_t(GetMinimum()), int32_t(GetMaximum())));
    else
        Value(object) = stream.ReadUint32();
}

void CUintProperty::SetValueFromFormulaText(CObject* object, const CJString& text) const
{
    Store(object, GetFormula().FromDisplay(ScanUnsigned(text)));
}
