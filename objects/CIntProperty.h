#pragma once
// Whole-number kinds: CIntProperty and CLongProperty (32-bit signed; "long"
// members are 32-bit on every platform) and CUintProperty (32-bit unsigned,
// with special value names such as 0 -> "Unlimited").
//
// A range is declared as a minimum and a maximum; equal bounds mean no range.
// Text is clamped into a range, formula entries from the editor are not.
// Stores from text, from another object and from a formula go through the
// setter when there is one; binary and packed reads and defaults write the
// member directly.
#include "objects/CFormula.h"
#include "objects/CProperty.h"

#include <cstdint>

class CDynamicList;

// What the number kinds share: range, spin step and the formula the editor
// shows the value through.
template <typename T>
class CNumberProperty : public CTypedProperty<T> {
public:
    CNumberProperty(const char* declaredName, const T& defaultValue)
        : CTypedProperty<T>(declaredName, defaultValue)
    {
    }

    void SetRange(T minimum, T maximum)
    {
        m_Min = minimum;
        m_Max = maximum;
    }
    void SetSpinStep(float step) { m_SpinStep = step; }
    float GetSpinStep() const { return m_SpinStep; }
    // Not owned; null restores the shared null formula.
    void SetFormula(const CFormula<T>* formula) { m_Formula = formula ? formula : &CNullFormula<T>::SGetInstance(); }
    const CFormula<T>& GetFormula() const { return *m_Formula; }
    // The member as the editor shows it.
    T GetDisplayValue(CObject* object) const { return m_Formula->ToDisplay(this->Value(object)); }
    // The units the editor shows the value in: those given with the formula
    // when there were any (an angle stored in radians is shown in degrees),
    // else the declared units.
    CJString GetShownUnits() const { return m_ShownUnits ? CJString(m_ShownUnits) : this->GetUnits(); }
    // Static text; null: the declared units.
    void SetShownUnits(const char* units) { m_ShownUnits = units; }
    // An edited number: through the formula's FromDisplay, never clamped.
    virtual void SetValueFromFormulaText(CObject* object, const CJString& text) const = 0;

    template <typename Declared>
    class DeclarationWords : public CDeclarationWordsBase<Declared> {
    public:
        // Equal bounds mean no range.
        Declared& Range(T minimum, T maximum)
        {
            return this->Apply([&](auto& p) { p.SetRange(minimum, maximum); });
        }
        Declared& SpinStep(float step)
        {
            return this->Apply([&](auto& p) { p.SetSpinStep(step); });
        }
        // Not owned.
        Declared& Formula(const CFormula<T>* formula)
        {
            return this->Apply([&](auto& p) { p.SetFormula(formula); });
        }
        // The editor shows the formula's values in shownUnits (empty: none);
        // the declared units stay those of the stored value.
        Declared& Formula(const CFormula<T>* formula, const char* shownUnits)
        {
            return this->Apply([&](auto& p) {
                p.SetFormula(formula);
                p.SetShownUnits(shownUnits);
            });
        }
    };

protected:
    T m_Min{};
    T m_Max{};

private:
    float m_SpinStep = 1.0f;
    const CFormula<T>* m_Formula = &CNullFormula<T>::SGetInstance();
    const char* m_ShownUnits = nullptr;
};

// Text "%d"; binary one 32-bit word; packed ranged, or a whole word when no
// range is declared.
class CIntProperty : public CNumberProperty<int32_t> {
public:
    using CNumberProperty::CNumberProperty;
    int32_t GetMinimum() const { return m_Min; }
    int32_t GetMaximum() const { return m_Max; }

    void GetValueText(CObject* object, CJString& out) const override;
    void SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const override;
    void WriteBinary(CObject* object, CObjectStream& stream) const override;
    bool ReadBinary(CObject* object, CObjectStream& stream) const override;
    void WritePacked(CObject* object, CNetMessageStream& stream, CObject* reference) const override;
    void ReadPacked(CObject* object, CNetMessageStream& stream) const override;
    void SetValueFromFormulaText(CObject* object, const CJString& text) const override;
};

class CLongProperty : public CIntProperty {
public:
    using CIntProperty::CIntProperty;
};

// Text "%u" or a special value's name. Read back with the C "%u" scan, so
// every 32-bit value survives text ("-1" reads as 4294967295). Declared
// without a range it takes [0, 0xFFFFFFFE] when it has units text and
// [0, 0xFFFFFFFF] otherwise.
class CUintProperty : public CNumberProperty<uint32_t> {
public:
    using CNumberProperty::CNumberProperty;
    CUintProperty(const CUintProperty& other);
    ~CUintProperty() override;

    uint32_t GetMinimum() const;
    uint32_t GetMaximum() const;
    // Values named in text; they are kept as they are, never clamped.
    void AddSpecialValueName(uint32_t value, const char* name);
    CDynamicList* GetSpecialValues() const { return m_SpecialValues; }

    void GetValueText(CObject* object, CJString& out) const override;
    void SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const override;
    void WriteBinary(CObject* object, CObjectStream& stream) const override;
    bool ReadBinary(CObject* object, CObjectStream& stream) const override;
    void WritePacked(CObject* object, CNetMessageStream& stream, CObject* reference) const override;
    void ReadPacked(CObject* object, CNetMessageStream& stream) const override;
    void SetValueFromFormulaText(CObject* object, const CJString& text) const override;

    template <typename Declared>
    class DeclarationWords : public CNumberProperty::DeclarationWords<Declared> {
    public:
        Declared& SpecialValue(uint32_t value, const char* name)
        {
            return this->Apply([&](auto& p) { p.AddSpecialValueName(value, name); });
        }
    };

private:
    bool IsRanged() const;

    CDynamicList* m_SpecialValues = nullptr;
};

// The C "%u" scan of 8-bit or UTF-16 text: leading blanks, an optional sign
// (a minus negates modulo 2^32), decimal digits; 0 when no digit reads, and
// 0xFFFFFFFF past 32 bits.
uint32_t ScanUnsigned(const CJString& text);

template <>
struct PropertyKindFor<int32_t> {
    using type = CIntProperty;
};
template <>
struct PropertyKindFor<uint32_t> {
    using type = CUintProperty;
};
