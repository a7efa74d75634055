#pragma once
// Formulas let the editor show a number in another unit than the one stored:
// the number-spin row shows ToDisplay of the member and stores FromDisplay of
// what was typed. Number properties point at a formula they do not own;
// declarations give one with static lifetime (a function-local static).
#include "foundation/MathHelpers.h"

template <typename T>
class CFormula {
public:
    virtual ~CFormula() = default;
    virtual T ToDisplay(T stored) const = 0;
    virtual T FromDisplay(T shown) const = 0;
};

// Shows the value as stored; every number property starts with the shared one.
template <typename T>
class CNullFormula final : public CFormula<T> {
public:
    static const CNullFormula& SGetInstance()
    {
        static const CNullFormula instance;
        return instance;
    }
    T ToDisplay(T stored) const override { return stored; }
    T FromDisplay(T shown) const override { return shown; }
};

// 1 / x both ways (a period shown as a rate).
template <typename T>
class CReciprocalFormula final : public CFormula<T> {
public:
    T ToDisplay(T stored) const override { return T(1) / stored; }
    T FromDisplay(T shown) const override { return T(1) / shown; }
};

// Shows the square; entries go back through the table square root.
template <typename T>
class CSquareFormula final : public CFormula<T> {
public:
    T ToDisplay(T stored) const override { return stored * stored; }
    T FromDisplay(T shown) const override { return T(TableSqrt(float(shown))); }
};

// The inverse of the square formula.
template <typename T>
class CSquareRootFormula final : public CFormula<T> {
public:
    T ToDisplay(T stored) const override { return m_Square.FromDisplay(stored); }
    T FromDisplay(T shown) const override { return m_Square.ToDisplay(shown); }

private:
    CSquareFormula<T> m_Square;
};

template <typename T>
class CMultipleFormula final : public CFormula<T> {
public:
    explicit CMultipleFormula(T factor)
        : m_Factor(factor)
    {
    }
    T ToDisplay(T stored) const override { return m_Factor * stored; }
    T FromDisplay(T shown) const override { return shown / m_Factor; }

private:
    T m_Factor;
};

// Shows x + n (a zero-based index shown counting from 1); unsigned values wrap.
template <typename T>
class CAddFormula final : public CFormula<T> {
public:
    explicit CAddFormula(T n)
        : m_N(n)
    {
    }
    T ToDisplay(T stored) const override { return stored + m_N; }
    T FromDisplay(T shown) const override { return shown - m_N; }

private:
    T m_N;
};
