#pragma once
// A point or 2-D vector of two floats.

struct CFPoint {
    float x;
    float y;

    // atan2(y, x) brought into [0, 2pi).
    float GetAngle() const;

    // Rotates about the origin by angle radians: (x cos a - y sin a,
    // x sin a + y cos a), with the table sine and cosine (LookupSinCos).
    void Rotate(float angle);

    friend bool operator==(const CFPoint&, const CFPoint&) = default;
};
