#include "game/scripting/CScriptValue.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <string>

int32_t TruncToInt32(float value)
{
    // 2^31 is exact as a float; anything at or past it (or NaN) is outside.
    if (!(value > -2147483904.0f && value < 2147483648.0f))
        return INT32_MIN;
    return int32_t(value);
}

float ReadDecimalFloat(const CJString& text, bool* complete)
{
    const int length = text.GetLength();
    int i = 0;
    auto at = [&](int k) -> char16_t { return k < length ? text.GetAt(k) : 0; };
    auto isDigit = [](char16_t c) { return c >= '0' && c <= '9'; };
    while (at(i) == ' ' || (at(i) >= '\t' && at(i) <= '\r'))
        ++i;
    std::string number;
    if (at(i) == '+' || at(i) == '-')
        number.push_back(char(at(i++)));
    int digits = 0;
    while (isDigit(at(i))) {
        number.push_back(char(at(i++)));
        ++digits;
    }
    if (at(i) == '.') {
        number.push_back(char(at(i++)));
        while (isDigit(at(i))) {
            number.push_back(char(at(i++)));
            ++digits;
        }
    }
    if (digits == 0) {
        if (complete)
            *complete = false;
        return 0.0f;
    }
    if (at(i) == 'e' || at(i) == 'E') {
        int k = i + 1;
        if (at(k) == '+' || at(k) == '-')
            ++k;
        if (isDigit(at(k))) {
            number.append(1, 'e');
            for (int j = i + 1; j < k; ++j)
                number.push_back(char(at(j)));
            i = k;
            while (isDigit(at(i)))
                number.push_back(char(at(i++)));
        }
    }
    if (complete)
        *complete = i == length;
    // The C library's reader accepts more than this syntax, never less, and
    // its decimal point is "." in the "C" locale the program keeps. Past the
    // float range it saturates: an infinity would be saved as the word "inf",
    // which reads back as a text.
    const float value = std::strtof(number.c_str(), nullptr);
    if (std::isinf(value))
        return value < 0.0f ? -FLT_MAX : FLT_MAX;
    return value;
}

CJString FormatFloatExactly(float value)
{
    CJString text;
    text.Format("%g", double(value));
    bool complete = false;
    const float back = ReadDecimalFloat(text, &complete);
    // "inf" and "nan" have no decimal form that would read back either.
    if (!complete || back == value)
        return text;
    text.Format("%.9g", double(value));
    return text;
}

CScriptValue::CScriptValue(const CScriptValue& other)
    : m_Number(other.m_Number)
    , m_Type(other.m_Type)
    , m_TextPending(other.m_TextPending)
    , m_Text(other.m_Text)
{
}

CScriptValue& CScriptValue::operator=(const CScriptValue& other)
{
    if (this != &other) {
        m_Number = other.m_Number;
        m_Type = other.m_Type;
        m_TextPending = other.m_TextPending;
        if (!m_TextPending)
            m_Text = other.m_Text;
    }
    return *this;
}

void CScriptValue::SetInteger(int32_t value)
{
    m_Number.integer = value;
    m_Type = kInteger;
    m_TextPending = true;
}

void CScriptValue::SetFloat(float value)
{
    m_Number.real = value;
    m_Type = kFloat;
    m_TextPending = true;
}

void CScriptValue::SetText(const CJString& text)
{
    m_Text = text;
    m_Type = kText;
    m_TextPending = false;
}

void CScriptValue::SetFromText(const CJString& text, uint32_t type)
{
    m_Text = text;
    m_Type = type;
    m_TextPending = false;
    if (type == kInteger)
        m_Number.integer = text.ToInt();
    else if (type == kFloat)
        m_Number.real = ReadDecimalFloat(text);
}

const CJString& CScriptValue::GetText() const
{
    if (m_TextPending) {
        if (m_Type == kInteger)
            m_Text.Format("%d", m_Number.integer);
        else
            m_Text.Format("%g", double(m_Number.real));
        m_TextPending = false;
    }
    return m_Text;
}

int32_t CScriptValue::AsInteger() const
{
    switch (m_Type) {
    case kInteger:
        return m_Number.integer;
    case kFloat:
        return TruncToInt32(m_Number.real);
    case kText:
        return m_Text.ToInt();
    default:
        return 0;
    }
}

float CScriptValue::AsFloat() const
{
    switch (m_Type) {
    case kInteger:
        return float(m_Number.integer);
    case kFloat:
        return m_Number.real;
    case kText:
        return ReadDecimalFloat(m_Text);
    default:
        return 0.0f;
    }
}

bool CScriptValue::AsBoolean() const
{
    switch (m_Type) {
    case kInteger:
        return m_Number.integer != 0;
    case kFloat:
        return m_Number.real != 0.0f;
    case kText:
        return m_Text.ToInt() != 0;
    default:
        return false;
    }
}

namespace {

template <typename T>
int32_t Order(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

int32_t CScriptValue::Compare(const CScriptValue& other, TextCase textCase) const
{
    if (m_Type == kFloat || other.m_Type == kFloat)
        return Order(AsFloat(), other.AsFloat());
    if (m_Type == kInteger || other.m_Type == kInteger)
        return Order(AsInteger(), other.AsInteger());
    const int order
        = textCase == TextCase::Counted ? GetText().Compare(other.GetText()) : GetText().CompareNoCase(other.GetText());
    return Order(order, 0);
}

void CScriptValue::IntegerArithmetic(int32_t b, char op)
{
    // Unsigned arithmetic wraps where signed overflow would be undefined.
    const int32_t a = m_Number.integer;
    const uint32_t ua = uint32_t(a);
    const uint32_t ub = uint32_t(b);
    switch (op) {
    case '+':
        SetInteger(int32_t(ua + ub));
        break;
    case '-':
        SetInteger(int32_t(ua - ub));
        break;
    case '*':
        SetInteger(int32_t(ua * ub));
        break;
    case '/':
    case '%':
        // A text divisor such as "0.00001" reads as whole, and as 0.
        if (b == 0)
            return;
        // The smallest integer over -1 traps on the processor; it wraps.
        if (a == INT32_MIN && b == -1)
            SetInteger(op == '/' ? INT32_MIN : 0);
        else
            SetInteger(op == '/' ? a / b : a % b);
        break;
    default:
        break;
    }
}

void CScriptValue::FloatArithmetic(float a, float b, char op)
{
    switch (op) {
    case '+':
        SetFloat(a + b);
        break;
    case '-':
        SetFloat(a - b);
        break;
    case '*':
        SetFloat(a * b);
        break;
    case '/':
        SetFloat(a / b);
        break;
    case '%':
        SetFloat(std::fmod(a, b));
        break;
    default:
        break;
    }
}

void CScriptValue::ApplyOperator(const CScriptValue& other, char op)
{
    if ((op == '/' || op == '%') && (other.m_Type == kNone || other.AsFloat() == 0.0f))
        return;
    switch (m_Type) {
    case kInteger:
        if (other.m_Type == kInteger) {
            IntegerArithmetic(other.m_Number.integer, op);
        } else if (other.m_Type == kFloat) {
            FloatArithmetic(float(m_Number.integer), other.m_Number.real, op);
        } else if (other.m_Type == kText) {
            const float t = other.AsFloat();
            if (t - std::floor(t) < 0.00005f)
                IntegerArithmetic(other.AsInteger(), op);
            else
                FloatArithmetic(float(m_Number.integer), t, op);
        }
        break;
    case kFloat:
        FloatArithmetic(m_Number.real, other.AsFloat(), op);
        break;
    case kText:
        if (other.m_Type != kNone) {
            CJString appended(m_Text);
            appended.Append(other.GetText());
            m_Text = appended;
        }
        break;
    default:
        break;
    }
}
