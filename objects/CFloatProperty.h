#pragma once
// The kind of 32-bit float members (seconds, speeds, scales):
// CTemplateValueProperty<float, CStringFloatConverter>, named CFloatProperty.
// It shares the shape of the whole-number kinds (range, default, setter,
// spin step, formula) and has special value names like the unsigned kind.
// Text is "%.12g" of the value widened to double, so 0.1f reads
// "0.10000000149"; binary and packed forms are the raw 32 bits.
#include "foundation/CDynamicList.h"
#include "objects/CIntProperty.h"

#include <bit>
#include <cstdint>

// Records of a name and a float; the float's bits are kept in the record's
// value word, so copies carry every value exactly.
template <>
class CTypedDynamicList<float> : public CDynamicList {
public:
    CTypedDynamicList() = default;
    CTypedDynamicList(CTypedDynamicList& source)
        : CDynamicList(source)
    {
    }

    int32_t AddWithValue(const char* name, float value)
    {
        return CDynamicList::Add(name, std::bit_cast<uint32_t>(value));
    }
    using CDynamicList::FindValue; // the search by raw value word stays reachable
    // The first record whose value equals value exactly, or -1.
    int32_t FindValue(float value)
    {
        for (int32_t i = 0; i < GetCount(); ++i)
            if (GetValue(i) == value)
                return i;
        return -1;
    }
    // No bound check.
    float GetValue(int32_t i) const { return std::bit_cast<float>(CDynamicList::GetValue(i)); }
};

// Float text: "%.12g" out; in, a decimal number ("1e+020" included), 0 when
// none reads; numbers past the float range saturate to the largest float.
// Infinities, NaNs and hexadecimal forms do not read.
struct CStringFloatConverter {
    static void ToText(float value, CJString& out);
    static float FromText(const CJString& text);
};

template <typename T, typename Converter>
class CTemplateValueProperty : public CNumberProperty<T> {
public:
    using CNumberProperty<T>::CNumberProperty;
    CTemplateValueProperty(const CTemplateValueProperty& other);
    ~CTemplateValueProperty() override;

    T GetMinimum() const { return this->m_Min; }
    T GetMaximum() const { return this->m_Max; }
    void AddSpecialValueName(T value, const char* name);
    CTypedDynamicList<T>* GetSpecialValues() const { return m_SpecialValues; }
    // The value the object holds for this (dynamic) property; the default
    // while it holds none.
    T GetDynamicValue(CObject* object) const;

    void GetValueText(CObject* object, CJString& out) const override;
    void SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const override;
    void WriteBinary(CObject* object, CObjectStream& stream) const override;
    bool ReadBinary(CObject* object, CObjectStream& stream) const override;
    void WritePacked(CObject* object, CNetMessageStream& stream, CObject* reference) const override;
    void ReadPacked(CObject* object, CNetMessageStream& stream) const override;
    void SetValueFromFormulaText(CObject* object, const CJString& text) const override;

    template <typename Declared>
    class DeclarationWords : public CNumberProperty<T>::template DeclarationWords<Declared> {
    public:
        Declared& SpecialValue(T value, const char* name)
        {
            return this->Apply([&](auto& p) { p.AddSpecialValueName(value, name); });
        }
    };

private:
    CTypedDynamicList<T>* m_SpecialValues = nullptr;
};

extern template class CTemplateValueProperty<float, CStringFloatConverter>;
using CFloatProperty = CTemplateValueProperty<float, CStringFloatConverter>;

template <>
struct PropertyKindFor<float> {
    using type = CFloatProperty;
};
