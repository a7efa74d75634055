#pragma once
// A point of two signed 32-bit integers.
#include <cstdint>

struct CPoint {
    int32_t x;
    int32_t y;

    friend bool operator==(const CPoint&, const CPoint&) = default;
};
