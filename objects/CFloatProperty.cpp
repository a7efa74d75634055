#include "objects/CFloatProperty.h"

#include "objects/CNetMessageStream.h"
#include "objects/CObject.h"
#include "objects/CObjectStream.h"

#include <algorithm>
#include <cfloat>
#include <cstdlib>
#include <string>

void CStringFloatConverter::ToText(float value, CJString& out)
{
    out.Format("%.12g", double(value));
}

float CStringFloatConverter::FromText(const CJString& text)
{
    CJString narrow(text);
    if (narrow.IsWide())
        narrow.ToNarrow();
    // Only the decimal form reads; strtod alone would also take "inf", "nan"
    // and hexadecimal numbers, which the data never meant.
    const char* s = narrow.GetString();
    while (*s == ' ' || (*s >= '\t' && *s <= '\r'))
        ++s;
    std::string number;
    if (*s == '+' || *s == '-')
        number += *s++;
    size_t digits = 0;
    for (; *s >= '0' && *s <= '9'; ++s, ++digits)
        number += *s;
    if (*s == '.') {
        number += *s++;
        for (; *s >= '0' && *s <= '9'; ++s, ++digits)
            number += *s;
    }
    if (digits == 0)
        return 0.0f;
    if (*s == 'e' || *s == 'E') {
        const char* exponent = s + 1;
        if (*exponent == '+' || *exponent == '-')
            ++exponent;
        if (*exponent >= '0' && *exponent <= '9') {
            number.append(s, size_t(exponent - s));
            for (; *exponent >= '0' && *exponent <= '9'; ++exponent)
                number += *exponent;
        }
    }
    // Past the float range a number saturates: an infinity would be written
    // as "inf", which reads as 0.
    const double parsed = std::strtod(number.c_str(), nullptr);
    return float(std::clamp(parsed, -double(FLT_MAX), double(FLT_MAX)));
}

template <typename T, typename Converter>
CTemplateValueProperty<T, Converter>::CTemplateValueProperty(const CTemplateValueProperty& other)
    : CNumberProperty<T>(other)
    , m_SpecialValues(other.m_SpecialValues ? new CTypedDynamicList<T>(*other.m_SpecialValues) : nullptr)
{
}

template <typename T, typename Converter>
CTemplateValueProperty<T, Converter>::~CTemplateValueProperty()
{
    delete m_SpecialValues;
}

template <typename T, typename Converter>
T CTemplateValueProperty<T, Converter>::GetDynamicValue(CObject* object) const
{
    const void* storage = object->GetDynamicValue(this);
    return storage ? *static_cast<const T*>(storage) : this->GetDefault();
}

template <typename T, typename Converter>
void CTemplateValueProperty<T, Converter>::AddSpecialValueName(T value, const char* name)
{
    if (!m_SpecialValues)
        m_SpecialValues = new CTypedDynamicList<T>();
    m_SpecialValues->AddWithValue(name, value);
}

template <typename T, typename Converter>
void CTemplateValueProperty<T, Converter>::GetValueText(CObject* object, CJString& out) const
{
    const T value = this->Value(object);
    if (m_SpecialValues) {
        const int32_t i = m_SpecialValues->FindValue(value);
        if (i >= 0) {
            out.Set(m_SpecialValues->GetItemName(i));
            return;
        }
    }
    Converter::ToText(value, out);
}

template <typename T, typename Converter>
void CTemplateValueProperty<T, Converter>::SetValueFromText(CObject* object, const CJString& text,
                                                            CObjectStream* stream) const
{
    T value = Converter::FromText(text);
    const T minimum = this->m_Min;
    const T maximum = this->m_Max;
    if (!(minimum != maximum && m_SpecialValues && m_SpecialValues->Find(text) >= 0))
        NoteNumberReadInPart(text, NumberText::Decimal, stream);
    if (minimum != maximum) {
        if (m_SpecialValues) {
            if (m_SpecialValues->FindValue(value) >= 0) {
                this->Store(object, value);
                return;
            }
            const int32_t named = m_SpecialValues->Find(text);
            if (named >= 0) {
                this->Store(object, m_SpecialValues->GetValue(named));
                return;
            }
        }
        value = std::clamp(value, minimum, maximum);
    }
    this->Store(object, value);
}

template <typename T, typename Converter>
void CTemplateValueProperty<T, Converter>::WriteBinary(CObject* object, CObjectStream& stream) const
{
    stream.WriteUint32(std::bit_cast<uint32_t>(this->Value(object)));
}

template <typename T, typename Converter>
bool CTemplateValueProperty<T, Converter>::ReadBinary(CObject* object, CObjectStream& stream) const
{
    uint32_t bits = 0;
    if (!stream.TryReadUint32(bits))
        return false;
    this->Value(object) = std::bit_cast<T>(bits);
    return true;
}

template <typename T, typename Converter>
void CTemplateValueProperty<T, Converter>::WritePacked(CObject* object, CNetMessageStream& stream, CObject*) const
{
    stream.WriteUint32(std::bit_cast<uint32_t>(this->Value(object)));
}

template <typename T, typename Converter>
void CTemplateValueProperty<T, Converter>::ReadPacked(CObject* object, CNetMessageStream& stream) const
{
    this->Value(object) = std::bit_cast<T>(stream.ReadUint32());
}

template <typename T, typename Converter>
void CTemplateValueProperty<T, Converter>::SetValueFromFormulaText(CObject* object, const CJString& text) const
{
    this->Store(object, this->GetFormula().FromDisplay(Converter::FromText(text)));
}

template class CTemplateValueProperty<float, CStringFloatConverter>;
