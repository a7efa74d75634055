#pragma once
// The value an expression evaluates into: nothing yet, an integer (booleans
// are the integers 1 and 0), a float or a text. Numbers also have a text
// form ("%d", "%g"); it is made when first asked for, so arithmetic on
// numbers never formats. A text keeps the number bits it had before; they
// are ignored while the value is a text.
//
// Mixed arithmetic (ApplyOperator, a op b):
//     a integer, b integer  integer arithmetic wrapping at 32 bits
//     a integer, b float    float arithmetic
//     a integer, b text     integer arithmetic with b's leading integer when
//                           b reads as a whole number (within 0.00005 above
//                           one), else float arithmetic with b read as a float
//     a float               float arithmetic with b as a float
//     a text                b's text appended, whatever the operator
//     a or b nothing        a unchanged
// '/' and '%' by a b that reads as 0 leave a unchanged.
#include "foundation/CJString.h"

#include <cstdint>

// Whether texts compare with letter case counted.
enum class TextCase { Ignored, Counted };

// A float truncated toward zero; NaN and values outside the int32 range give
// INT32_MIN (the processor's "integer indefinite"), never undefined behaviour.
int32_t TruncToInt32(float value);

// The number a text begins with in plain decimal syntax (blanks, sign,
// digits, point, exponent); 0.0 when it begins with none. "nan", "inf" and
// hexadecimal are not numbers here; beyond the float range it saturates at
// FLT_MAX. complete (when given) tells whether the
// whole text was the number.
float ReadDecimalFloat(const CJString& text, bool* complete = nullptr);

// The shortest of "%g" and "%.9g" that reads back as the same float.
CJString FormatFloatExactly(float value);

class CScriptValue {
public:
    enum Type : uint32_t { kNone = 0, kInteger = 1, kFloat = 2, kText = 3 };

    CScriptValue() = default;
    CScriptValue(const CScriptValue& other);
    CScriptValue& operator=(const CScriptValue& other);
    virtual ~CScriptValue() = default;

    void SetInteger(int32_t value);
    void SetFloat(float value);
    void SetBoolean(bool value) { SetInteger(value ? 1 : 0); }
    void SetText(const CJString& text);
    // Stores the text with the given type; integer and float types also read
    // the number from it.
    void SetFromText(const CJString& text, uint32_t type);

    int32_t AsInteger() const;
    float AsFloat() const;
    bool AsBoolean() const;
    // -1, 0 or 1: as floats when either is a float, else as integers when
    // either is an integer, else as texts (an empty text first).
    int32_t Compare(const CScriptValue& other, TextCase textCase) const;
    // op is one of + - * / %.
    void ApplyOperator(const CScriptValue& other, char op);
    void Subtract(const CScriptValue& other) { ApplyOperator(other, '-'); }
    void Multiply(const CScriptValue& other) { ApplyOperator(other, '*'); }
    void Divide(const CScriptValue& other) { ApplyOperator(other, '/'); }
    void Modulo(const CScriptValue& other) { ApplyOperator(other, '%'); }

    uint32_t GetType() const { return m_Type; }
    const CJString& GetText() const;

private:
    void IntegerArithmetic(int32_t b, char op);
    void FloatArithmetic(float a, float b, char op);

    union {
        int32_t integer;
        float real;
    } m_Number{0};
    uint32_t m_Type = kNone;
    mutable bool m_TextPending = false; // a number whose text is not made yet
    mutable CJString m_Text;
};
