#include "foundation/CFPoint.h"

#include "foundation/MathHelpers.h"

#include <cmath>

float CFPoint::GetAngle() const
{
    float angle = std::atan2(y, x);
    if (angle < 0.0f)
        angle += k2Pi;
    if (angle >= k2Pi)
        angle -= k2Pi;
    return angle;
}

void CFPoint::Rotate(float angle)
{
    // The tables are read at -angle, whose sine is -sin(angle); the rotation
    // itself is by +angle, as the inverse mappings of the blitter expect.
    float negSine;
    float cosine;
    LookupSinCos(-angle, negSine, cosine);
    const float oldX = x;
    x = oldX * cosine + y * negSine;
    y = -oldX * negSine + y * cosine;
}
